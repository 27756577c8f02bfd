// SPDX-License-Identifier: GPL-3.0-or-later
// The view's side of the game's story: going back to an earlier turn of the player by
// playing the record again off screen, and the commands of a record played back.
#include <QPushButton>

#include "session/game_replay.h"
#include "view/kiv_view.h"
#include "view/shown_text.h"

std::size_t CKivView::RecordedTurns() { return m_recorder.PlayerTurns(); }

int CKivView::CurrentTurn()
{
    if (mode != ViewMode::PlayerTurn && mode != ViewMode::ChooseMoveTarget && mode != ViewMode::ChooseAttackTarget)
        return -1;
    return static_cast<int>(RecordedTurns()) - 1;
}

bool CKivView::GoBack(const ReplayStop& stop, QString* why)
{
    auto refuse = [why](QString reason) {
        if (why)
            *why = std::move(reason);
        return false;
    };
    if (CurrentTurn() < 0 || !CanStartGame())
        return refuse(tr("ﾌﾟﾚｲﾔｰの手番にだけ戻れます"));
    const RecordedGame record = m_recorder.Record();
    if (stop.playerTurn && *stop.playerTurn >= PlayerTurnsOf(record))
        return refuse(tr("その手番は記録にありません"));

    // The game again from its start on a world of its own, its events told to whoever
    // hears this game's (the chronicle begins again).
    emit worldReplaced(QString());
    QuietGame replay;
    replay.Session().Host().planner = planner; // a game at 達人 looks ahead as it did
    for (EventObserver* observer : m_session.events.Observers())
        replay.Session().events.Add(observer);
    // Each turn of the player's passed over is told, as it would be when played.
    ReplayStop passing = stop;
    passing.wanted = [this, &stop](const GameState& at) {
        if (stop.wanted && stop.wanted(at))
            return true;
        emit playerTurnPassed();
        return false;
    };
    const ReplayOutcome outcome = ReplayRecord(replay.Session(), record, passing);
    replay.Session().events.Clear();
    if (!outcome.played)
        return refuse(shown::Text(outcome.words));
    if (!outcome.stopped) // the record's end: the game as it stands
        return refuse(tr("その手番は記録にありません"));

    // From here the game goes on as it went then: the clock after the last reading taken,
    // the record without what followed.
    GameState& world = replay.Session().world;
    world.clock.EndFeed();
    GetWorld() = world;
    m_session.Resume();
    m_recorder.Replace(RecordUpTo(record, outcome.at));
    marks.Reset();
    marks.shownCountry = GetWorld().turnCountry.Get(); // the panel shows whose turn it is
    m_workerHandedOver = true;
    emit turnTakenBack();
    OnPlayerTurn(GetWorld().turnCountry);
    return true;
}

bool CKivView::BeginRecordedGame(const RecordStart& start, std::shared_ptr<const std::vector<std::int64_t>> readings,
                                 QString* why)
{
    if (!CanStartGame()) {
        if (why)
            *why = tr("ｺﾝﾋﾟｭｰﾀｰの手番が終わるまでお待ちください");
        return false;
    }
    emit worldReplaced(QString());
    platform::Message words;
    if (!BeginRecordedStart(m_session, start, std::move(readings), &words)) {
        if (why)
            *why = shown::Text(words);
        return false;
    }
    GameBegun();
    statusText.clear();
    StartComputerPlay();
    return true;
}

void CKivView::PlayRecordedCommand(const PlayerCommand& command)
{
    if (const auto* order = std::get_if<command::Domestic>(&command)) {
        DoDomestic(order->what);
    } else if (const auto* move = std::get_if<command::Move>(&command)) {
        marks.shownCountry = move->to;
        const CommandResult moved = m_session.Apply(command);
        SetStatus(moved.words);
        if (moved.done)
            ShowMessage(statusText, kResultMessageMs);
    } else if (const auto* war = std::get_if<command::War>(&command)) {
        marks.shownCountry = war->target;
        update();
        if (AttackSelected() && !StopRequested())
            ShowVictoryIfUnified();
    } else {
        StartComputerPlay();
        return;
    }
    DisableCommands();
    restButton->setEnabled(false);
    update();
}
