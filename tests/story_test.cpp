// SPDX-License-Identifier: GPL-3.0-or-later
// A game played through the window is recorded as it goes: its record plays it again to
// the same bytes, and going back a turn and giving the same commands again gives the
// same game.
#include <gtest/gtest.h>

#include "gui_test_support.h"
#include "platform/text_file.h"
#include "rules/commands.h"
#include "session/game_replay.h"
#include "view_fixture.h"

namespace {

std::string SaveBytes(const GameState& world, int cursor)
{
    return platform::JoinLines(FormatCountryFile(CaptureWorld(world, cursor)));
}

} // namespace

class StoryTest : public KivViewTest {
protected:
    bool AtPlayersTurn()
    {
        return WaitUntil([&] { return view->mode != ViewMode::ComputerTurns && game->CanStartGame(); }, 20000) &&
               view->mode == ViewMode::PlayerTurn;
    }
    // The scripted player's command of his turn number turn, given through the view as a
    // click would give it; then he rests.
    void PlayTurn(int turn)
    {
        const int c = W().turnCountry;
        const std::vector<int> targets = AttackTargets(W(), c);
        const std::vector<int> friends = MoveTargets(W(), c);
        switch (turn % 4) {
        case 0:
            view->OnTrain();
            break;
        case 1:
            if (!friends.empty())
                game->Give(command::Move{c, friends.front(), W().countries[c].GetSoldiers() / 2,
                                         W().countries[c].GetProvisions() / 3, 7});
            break;
        case 2:
            if (!targets.empty() && WarBlock(W(), c) == CommandBlock::None) {
                view->OnWar();
                view->PickCountry(targets.back());
            }
            break;
        default:
            view->OnConscript();
            break;
        }
        if (view->mode == ViewMode::PlayerTurn)
            view->OnRest();
    }
};

TEST_F(StoryTest, AWindowGameReplaysToItsBytesAndGoesBackATurnToTheSameGame)
{
    WorldRecord start = MakeTestWorld();
    start.playerRuler = 2;
    start.countries[1].soldiers = 60000;
    start.countries[1].training = 90;
    start.countries[1].provisions = 900000;
    start.countries[1].funds = 90000;
    platform::FixClock(1700000000);
    LoadTestWorld(start);
    view->OnRest(); // the computer's first turns, as a new game starts them
    int turn = 0;
    for (; turn < 16 && AtPlayersTurn(); ++turn)
        PlayTurn(turn);
    ASSERT_TRUE(AtPlayersTurn()) << "the scripted player still plays after " << turn << " turns";
    const RecordedGame played = game->Recorder().Record();
    EXPECT_TRUE(std::any_of(played.steps.begin(), played.steps.end(), [](const RecordStep& s) {
        return std::holds_alternative<PlayerCommand>(s) && std::holds_alternative<command::War>(std::get<PlayerCommand>(s));
    })) << "the scripted player makes war";

    // Back a turn, then the same command again: the same game.
    const int current = game->CurrentTurn();
    ASSERT_GE(current, 1);
    const std::string atTurn = SaveBytes(W(), game->SaveCursor());
    PlayTurn(turn);
    ASSERT_TRUE(AtPlayersTurn());
    const std::string afterIt = SaveBytes(W(), game->SaveCursor());
    QString why;
    ASSERT_TRUE(game->GoBack(ReplayStop{std::nullopt, static_cast<std::size_t>(current), {}}, &why))
        << why.toStdString();
    EXPECT_EQ(game->CurrentTurn(), current);
    EXPECT_EQ(SaveBytes(W(), game->SaveCursor()), atTurn);
    PlayTurn(turn);
    ASSERT_TRUE(AtPlayersTurn());
    EXPECT_EQ(SaveBytes(W(), game->SaveCursor()), afterIt);

    // The record, branch and all, plays the game again off screen to the same bytes.
    QuietGame replay;
    const ReplayOutcome outcome = ReplayRecord(replay.Session(), game->Recorder().Record(), {});
    ASSERT_TRUE(outcome.played) << outcome.words.Text();
    EXPECT_EQ(SaveBytes(replay.Session().world, game->SaveCursor()), afterIt);
}
