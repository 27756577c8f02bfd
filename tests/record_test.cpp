// SPDX-License-Identifier: GPL-3.0-or-later
// A game's record read back: the record as written plays its game again; a changed, a cut
// and another game's record are refused with words for the player.
#include <sstream>

#include "cli/headless.h"
#include "model/country_file.h"
#include "rules_support.h"
#include "session/game_record.h"
#include "test_support.h"
#include "test_world.h"

class RecordTest : public RulesTest {
protected:
    // Twenty years of the strong player's game with the clock from clock, saved as name
    // with its record beside it.
    void PlayAndRecord(std::int64_t clock, const std::string& name)
    {
        WorldRecord strong = MakeTestWorld();
        strong.countries[0].soldiers = 1000000;
        strong.countries[0].training = 100;
        strong.countries[0].provisions = 2000000000;
        ASSERT_TRUE(WriteCountryFile(dir.Path("strong.txt"), strong, nullptr));
        HeadlessOptions options;
        options.loadFile = dir.Path("strong.txt");
        options.months = 240;
        options.clockStart = clock;
        options.saveFile = dir.Path(name);
        options.recordFile = RecordFileName(options.saveFile);
        std::ostringstream out, err;
        ASSERT_EQ(RunHeadless(options, out, err), kHeadlessDone) << err.str();
    }
    TempDir dir;
};

TEST_F(RecordTest, OnlyAWholeRecordBesideItsOwnSaveIsRead)
{
    PlayAndRecord(31, "game.txt");
    PlayAndRecord(32, "other.txt");
    const std::string record = ReadFileBytes(RecordFileName(dir.Path("game.txt")));
    const std::string save = ReadFileBytes(dir.Path("game.txt"));
    ASSERT_GT(record.size(), 1000u);
    std::string changed = record;
    changed[record.size() / 2] ^= 0x01;
    const struct {
        const char* label;
        std::string record;
        std::string save;
        const char* says; // nullptr: read
    } cases[] = {
        {"as written, beside its save", record, save, nullptr},
        {"one byte changed", changed, save, "記録が壊れているか途中で切れています"},
        {"cut short", record.substr(0, record.size() * 2 / 3), save, "記録が壊れているか途中で切れています"},
        {"beside another game's save", record, ReadFileBytes(dir.Path("other.txt")), "別のｹﾞｰﾑの記録です"},
    };
    for (const auto& c : cases) {
        WriteFileBytes(dir.Path("read.record"), c.record);
        platform::Message why;
        const std::optional<RecordedGame> read = ReadRecordFile(dir.Path("read.record"), &why, &c.save);
        EXPECT_EQ(read.has_value(), c.says == nullptr) << c.label;
        if (c.says) {
            EXPECT_EQ(why.Text(), c.says) << c.label;
        }
    }

    // Played again, the record gives its save byte for byte.
    HeadlessOptions replay;
    replay.replayFile = RecordFileName(dir.Path("game.txt"));
    replay.months = -1;
    replay.saveFile = dir.Path("replayed.txt");
    std::ostringstream out, err;
    ASSERT_EQ(RunHeadless(replay, out, err), kHeadlessDone) << err.str();
    EXPECT_EQ(ReadFileBytes(replay.saveFile), save);
}
