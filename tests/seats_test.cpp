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
#include "rules/names.h"
#include "rules_support.h"
#include "session/game_record.h"
#include "session/save_companions.h"
#include "test_support.h"
#include "web/web_game.h"

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

class SeatsTest : public RulesTest {
protected:
    TempDir dir;
};

// A person's ruler handed to the computer at a level, or to the advisor, at month 12
// and taken back at month 24: each change a step of the record (of the version that
// has them), the record played again to the same save, and a save made while his
// ruler is another's seat loads with that seat. A game without a change of hands
// keeps the record's first version.
TEST_F(SeatsTest, AHandedSeatIsRecordedPlayedAgainAndKeptThroughASave)
{
    const RulerId ruler = OfferedRulers(1).front();
    const std::string r = std::to_string(ruler);
    struct Row {
        const char* name;
        std::string kind; // as --seat-change names it
        Seat seat;
    };
    const Row rows[] = {
        {"to the computer at a level", "computer:hard", Seat::Computer(Difficulty::Hard)},
        {"to the advisor", "advisor", Seat::Advisor()},
        {"nobody's hands", "", Seat::Person()},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        auto play = [&](const std::string& name, int months) {
            std::vector<std::string> args = {"--data",  kSeatsData,    "--scenario", "1",
                                             "--ruler", r,        "--months",   std::to_string(months),
                                             "--clock", "7",      "--save",     dir.Path(name),
                                             "--record", RecordFileName(dir.Path(name))};
            if (row.seat == Seat::Advisor())
                args.insert(args.end(), {"--rollouts", "2", "--horizon", "3"});
            if (!row.kind.empty())
                for (const std::string& change : {"12:" + r + "=" + row.kind, "24:" + r + "=person"})
                    args.insert(args.end(), {"--seat-change", change});
            const HeadlessRun run = Headless(args);
            EXPECT_EQ(run.status, kHeadlessDone) << run.err;
        };
        play("full.txt", 36);
        const std::string text = ReadFileBytes(RecordFileName(dir.Path("full.txt")));
        platform::Message why;
        const std::optional<RecordedGame> record = ParseRecord(text, &why);
        ASSERT_TRUE(record) << why.Text();
        std::vector<SeatChange> changes;
        for (const RecordStep& step : record->steps)
            if (const auto* change = std::get_if<SeatChange>(&step))
                changes.push_back(*change);
        if (row.kind.empty()) {
            EXPECT_TRUE(changes.empty());
            EXPECT_TRUE(text.starts_with("VELCOR-RECORD 1\n"));
        } else {
            EXPECT_EQ(changes, (std::vector<SeatChange>{{ruler, row.seat}, {ruler, Seat::Person()}}));
            EXPECT_TRUE(text.starts_with("VELCOR-RECORD 3\n"));
        }
        const HeadlessRun replayed =
            Headless({"--replay", RecordFileName(dir.Path("full.txt")), "--save", dir.Path("replayed.txt")});
        ASSERT_EQ(replayed.status, kHeadlessDone) << replayed.err;
        EXPECT_EQ(ReadFileBytes(dir.Path("replayed.txt")), ReadFileBytes(dir.Path("full.txt")));

        // Saved while handed away: loaded with the seat he has then, the game's story
        // going on from its record.
        play("half.txt", 18);
        GameConductor loaded;
        ASSERT_TRUE(loaded.LoadGame(dir.Path("half.txt"), &why)) << why.Text();
        EXPECT_EQ(loaded.World().seats[static_cast<std::size_t>(ruler)], row.seat);
        EXPECT_EQ(loaded.Recorder()->Record().steps.size(),
                  ReadRecordFile(RecordFileName(dir.Path("half.txt")), &why)->steps.size() + 1);
    }
}

// A command from a seat whose turn it is not is refused with its own reason, and
// changes nothing: from another person, from no ruler, from this screen at the turn
// of a seat that plays itself; through the conductor and the page's JSON.
TEST_F(SeatsTest, ACommandFromASeatWhoseTurnItIsNotIsRefused)
{
    const std::vector<RulerId> offered = OfferedRulers(1);
    const RulerId first = offered.front(), second = offered.back();
    struct Row {
        const char* name;
        Seat secondSeat; // the seat of the other ruler
        Seat firstSeat;
        RulerId from;
        bool refused;
    };
    const Row rows[] = {
        {"the person whose turn it is", Seat::Person(), Seat::Person(), first, false},
        {"this screen at a person's turn", Seat::Person(), Seat::Person(), GameConductor::kThisScreen, false},
        {"another person", Seat::Person(), Seat::Person(), second, true},
        {"a ruler out of the table", Seat::Person(), Seat::Person(), 99, true},
        {"another machine's seat, its own turn", Seat::Person(), Seat::Remote(), first, false},
        {"this screen at another machine's turn", Seat::Person(), Seat::Remote(), GameConductor::kThisScreen, true},
        {"this screen at the advisor's turn", Seat::Computer(), Seat::Advisor(), GameConductor::kThisScreen, true},
        {"the advisor's own ruler from outside", Seat::Computer(), Seat::Advisor(), first, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        GameConductor game;
        Seats seats{};
        seats[static_cast<std::size_t>(first)] = row.firstSeat;
        seats[static_cast<std::size_t>(second)] = row.secondSeat;
        platform::Message why;
        ASSERT_TRUE(game.NewGame(CountryFilePath(kSeatsData, 1), seats, first, &why)) << why.Text();
        // The first ruler's turn (the second's countries may come first).
        for (int i = 0; i < 40 && game.Session().TurnRuler() != first; ++i)
            game.Rest();
        ASSERT_EQ(game.Session().TurnRuler(), first);
        const CommandResult result = game.Give(game.CommandOf(TurnCommand::DevelopLand), row.from);
        EXPECT_EQ(result.refusal == CommandRefusal::NotYourTurn, row.refused) << result.words.Text();
        EXPECT_EQ(result.refusal == CommandRefusal::None, !row.refused) << result.words.Text();
        EXPECT_EQ(game.Session().Phase(), row.refused ? TurnPhase::AwaitingCommand : TurnPhase::CommandGiven);
        if (row.refused) {
            EXPECT_EQ(game.StatusWords().Text(), result.words.Text());
        }
        if (row.refused && row.from == second) {
            EXPECT_EQ(result.words.Text(), RulerNameUtf8(game.World(), second) + " の番ではありません");
        }
    }

    // The page's command carries the seat it comes from.
    web::WebGame page(kSeatsData, dir.Path(""));
    page.NewGame(1, first, 1);
    ASSERT_EQ(page.Command("L", 0, 0, 0, 0, second).find("\"commandGiven\":true"), std::string::npos);
    const std::string refused = page.Command("R", 0, 0, 0, 0, second);
    EXPECT_NE(refused.find("の番ではありません"), std::string::npos) << refused.substr(0, 300);
    EXPECT_NE(page.Command("L", 0, 0, 0, 0, first).find("\"commandGiven\":true"), std::string::npos);
}
