// SPDX-License-Identifier: GPL-3.0-or-later
// A game played again from its record: each start sets the world up as it began, the
// clock gives back the recorded readings, and the player's commands are applied at his
// turns, so the game goes exactly where it went. The headless replay, the window's
// going back a turn and its replay are built on these.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/message.h"
#include "rules/turn.h"
#include "session/game_record.h"
#include "session/game_session.h"

// A host that shows nothing: the computer's turns and the players' battles are played
// at once, as the headless game plays them.
class QuietHost : public TurnHost {
public:
    void TurnBegin(int) override {}
    void PlayerTurn(int) override {}
    void ShowMessage(const platform::Message&, int) override {}
    bool Present(BattleScript& script) override
    {
        script.Start();
        script.Finish();
        return !StopRequested();
    }
};

// A game of its own played off screen with a QuietHost, the computer's turns on the
// calling thread: a replay's, while the game being shown stays as it is.
class QuietGame {
public:
    GameSession& Session() { return m_session; }

private:
    QuietHost m_host; // made first and let go last: the session's worker calls it
    GameSession m_session{m_host};
};

// Sets the session's world up as a start of a record says (its world, who plays, the
// difficulty and the generators), its clock fed from the readings from the start's
// on, and begins the game (its start reported). The computer's first turns are the
// caller's. False, with the reason, when the start's world is no country file.
bool BeginRecordedStart(GameSession& session, const RecordStart& start,
                        std::shared_ptr<const std::vector<std::int64_t>> readings, platform::Message* why);

// How far a replay has come.
struct ReplayPoint {
    std::size_t steps = 0;       // steps of the record carried out
    std::size_t readings = 0;    // readings of the record taken
    std::size_t playerTurns = 0; // turns of the players reached, this one included
    std::int64_t months = 0;     // months the calendar turned (as the headless game counts them)
    RulerId turnRuler = 0;       // the player whose turn the last reached was (0: none, the game had ended)
};

// Where a synchronous replay stops: at a player's first turn after so many months, at
// the players' turn of this number (0 the first; each rest ends one), or at the first
// of their turns the world there is wanted at (the turn country's ruler is the player
// whose turn it is); before the commands of that turn. Else at the end.
struct ReplayStop {
    std::optional<std::int64_t> months;
    std::optional<std::size_t> playerTurn;
    std::function<bool(const GameState&)> wanted;
};

struct ReplayOutcome {
    bool played = false;   // false: the record could not be played (words say why)
    bool stopped = false;  // stopped where asked, before the record's end
    platform::Message words;
    ReplayPoint at;
};

// Plays the record on the session, all on the calling thread (the host presents the
// battles; QuietHost fights them at once). atLastStep, when given, is called as the
// record's last step is about to be carried out (never when the replay stops before
// it): what the host is asked after it is of the record's last turn, and of the
// computer's turns after it when that step is a rest or a start.
ReplayOutcome ReplayRecord(GameSession& session, const RecordedGame& record, const ReplayStop& stop,
                           const std::function<void()>& atLastStep = {});

// Whether world, saved with the tie's cursor, gives the very save the tie names (its
// CRC-32 and size): where a replay meets the save its record was written beside.
bool IsTiedSave(const GameState& world, const RecordTie& tie);

// The record up to a point of its replay: the later steps and readings dropped.
RecordedGame RecordUpTo(const RecordedGame& record, const ReplayPoint& point);
