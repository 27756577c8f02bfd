// SPDX-License-Identifier: GPL-3.0-or-later
// The seats' seams: each seat class against one table, a seat changing hands during a
// game (recorded, played again to the same bytes, kept through a save), and a command
// from a seat whose turn it is not.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <thread>
#include <variant>
#include <vector>

#include <unistd.h>

#include "conduct/game_conductor.h"
#include "conduct/seat_role.h"
#include "model/country_file.h"
#include "model/scenario_file.h"

namespace {

const std::string kSeatsData = VELCOR_SOURCE_DIR "/data";

std::vector<RulerId> OfferedRulers(int scenario) { return ReadScenarioFile(ScenarioFilePath(kSeatsData, scenario)).rulers; }

// A few quick trials: the advisor's choice, not its quality, is what is tried here.
foresight::AdviceOptions QuickAdvice()
{
    foresight::AdviceOptions advice;
    advice.rollouts = 2;
    advice.horizon = 3;
    advice.threads = 1;
    return advice;
}

// Each kind of seat, where its persons sit, against what it does: the turn waits for
// it (as the rules read the seat), it plays at this screen, its game is ranked, its
// commands come from outside; and what it chooses itself at a person's turn of a
// game begun: nothing (its commands come from outside), the rest, or a command the
// session allows.
TEST(SeatRole, EachKindDoesWhatItsRowSays)
{
    enum class Chooses { Outside, Rests, Command };
    struct Row {
        const char* name;
        Seat seat;
        PersonSeats persons;
        bool waits, handedOver, ranked;
        Chooses chooses;
    };
    const Row rows[] = {
        {"a person at the screen", Seat::Person(), PersonSeats::AtScreen, true, true, true, Chooses::Outside},
        {"a person resting", Seat::Person(), PersonSeats::Resting, true, false, true, Chooses::Rests},
        {"the computer", Seat::Computer(), PersonSeats::AtScreen, false, false, false, Chooses::Rests},
        {"the computer at a level", Seat::Computer(Difficulty::Master), PersonSeats::Resting, false, false, false,
         Chooses::Rests},
        {"the advisor", Seat::Advisor(), PersonSeats::AtScreen, true, false, false, Chooses::Command},
        {"a person at another machine", Seat::Remote(), PersonSeats::AtScreen, true, false, false, Chooses::Outside},
    };
    GameConductor game;
    const RulerId ruler = OfferedRulers(1).front();
    platform::Message why;
    ASSERT_TRUE(game.NewGame(CountryFilePath(kSeatsData, 1), OnePersonSeats(ruler), ruler, &why)) << why.Text();
    ASSERT_EQ(game.Describe().stage, TurnStage::Command);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const SeatRole& role = RoleOf(row.seat, row.persons);
        EXPECT_EQ(role.WaitsForTurn(), row.waits);
        EXPECT_EQ(role.WaitsForTurn(), row.seat.Plays());
        EXPECT_EQ(role.HandedOver(), row.handedOver);
        EXPECT_EQ(role.Ranked(), row.ranked);
        EXPECT_EQ(role.GivenFromOutside(), row.chooses == Chooses::Outside);
        SeatDecisionOptions options;
        options.advice = QuickAdvice();
        for (const bool background : {false, true}) {
            options.background = background;
            const std::unique_ptr<SeatDecision> decision = role.Choose(game.World(), options);
            ASSERT_EQ(decision == nullptr, row.chooses == Chooses::Outside);
            if (!decision)
                continue;
            while (!decision->Ready())
                std::this_thread::yield();
            const std::optional<PlayerCommand> command = decision->Command();
            if (row.chooses == Chooses::Rests) {
                EXPECT_FALSE(command.has_value());
            } else if (command) {
                EXPECT_EQ(game.Session().Check(*command).refusal, CommandRefusal::None);
            }
        }
    }
}

} // namespace
