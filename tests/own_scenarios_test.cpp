// SPDX-License-Identifier: GPL-3.0-or-later
// A player's own scenarios: written as the bundled pairs are, read back whole, listed
// after the bundled three, and listed with the reason when they cannot be read.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include <sys/stat.h>

#include "model/scenario_file.h"
#include "model/scenario_folder.h"
#include "test_support.h"

namespace {

std::string Data() { return std::string(VELCOR_SOURCE_DIR) + "/data"; }

ScenarioPair Bundled(int number)
{
    const ScenarioPairRead read = ReadScenarioPair(ScenarioFilePath(Data(), number), CountryFilePath(Data(), number));
    EXPECT_TRUE(read.read) << read.words.Text();
    return read.pair;
}

} // namespace

TEST(OwnScenarios, AWrittenScenarioReadsBackWithItsFiguresAfterTheBundledOnes)
{
    TempDir own;
    // Scenario 2 changed as an editor changes it: another date, an owner, every
    // figure of a country, the rulers offered in another order.
    ScenarioPair pair = Bundled(2);
    pair.world.year = 201;
    pair.world.month = 11;
    pair.world.countries[12].ruler = pair.offered.back();
    CountryRecord& c = pair.world.countries[5];
    c.population = 123456;
    c.cultivation = 7;
    c.commerce = 8;
    c.soldiers = 9;
    c.training = 100;
    c.provisions = 0;
    c.funds = 2147483647;
    std::reverse(pair.offered.begin(), pair.offered.end());
    std::string error;
    ASSERT_TRUE(WriteOwnScenario(own.Path(), "官渡 改", pair, &error)) << error;
    ASSERT_TRUE(WriteOwnScenario(own.Path(), "1 a first", Bundled(3), &error)) << error;

    const std::vector<ScenarioEntry> list = ListScenarios(Data(), own.Path());
    ASSERT_EQ(list.size(), 5u);
    for (int n = 1; n <= 3; ++n) {
        EXPECT_FALSE(list[n - 1].own);
        EXPECT_EQ(list[n - 1].number, n);
        EXPECT_TRUE(list[n - 1].playable) << list[n - 1].reason.Text();
    }
    EXPECT_EQ(list[3].name, "1 a first");
    const ScenarioEntry& mine = list[4];
    EXPECT_TRUE(mine.own);
    EXPECT_EQ(mine.name, "官渡 改");
    ASSERT_TRUE(mine.playable) << mine.reason.Text();
    // A starting world's header: the first ruler offered plays, the cursor before country 0.
    pair.world.playerRuler = pair.offered.front();
    pair.world.turnCountry = -1;
    EXPECT_EQ(mine.pair, pair);
}

TEST(OwnScenarios, OnesThatCannotBeReadAreListedWithTheirReason)
{
    TempDir own;
    const ScenarioPair good = Bundled(1);
    const RulerId landless = good.offered.front();
    const struct {
        const char* name;
        std::function<void(const std::string& dir)> spoil;
        std::string reasonNames; // a part of the reason: the file or the ruler at fault
    } cases[] = {
        {"no country file", [](const std::string& dir) { std::filesystem::remove(dir + "/country1.txt"); },
         "country1.txt"},
        {"no scenario file", [](const std::string& dir) { std::filesystem::remove(dir + "/scenario1.txt"); },
         "scenario1.txt"},
        {"training too high",
         [](const std::string& dir) {
             std::string text = ReadFileBytes(dir + "/country1.txt");
             text.replace(text.find("\r\n65\r\n"), 6, "\r\n101\r\n");
             WriteFileBytes(dir + "/country1.txt", text);
         },
         "country1.txt"},
        {"a pipe", [](const std::string& dir) {
             std::filesystem::remove(dir + "/country1.txt");
             ASSERT_EQ(::mkfifo((dir + "/country1.txt").c_str(), 0600), 0);
         }, "country1.txt"},
        {"landless ruler offered",
         [&](const std::string& dir) {
             ScenarioPair pair = good;
             for (CountryRecord& c : pair.world.countries)
                 if (c.ruler == landless)
                     c.ruler = 0;
             std::string error;
             ASSERT_TRUE(WriteScenarioPair(dir, 1, pair, &error)) << error;
         },
         std::string(kRulerNames[static_cast<std::size_t>(landless)])},
    };
    std::string error;
    for (const auto& c : cases) {
        ASSERT_TRUE(WriteOwnScenario(own.Path(), c.name, good, &error)) << error;
        c.spoil(OwnScenarioDirectory(own.Path(), c.name));
    }
    // Passed over: a file beside the folders, a hidden folder.
    WriteFileBytes(own.Path("notes.txt"), "x");
    ASSERT_TRUE(WriteOwnScenario(own.Path(), "kept", good, &error)) << error;
    std::filesystem::rename(own.Path("kept"), own.Path(".hidden"));

    const std::vector<ScenarioEntry> list = ListScenarios(Data(), own.Path());
    ASSERT_EQ(list.size(), 3 + std::size(cases));
    for (const auto& c : cases) {
        const auto entry =
            std::find_if(list.begin(), list.end(), [&](const ScenarioEntry& e) { return e.name == c.name; });
        ASSERT_NE(entry, list.end()) << c.name;
        EXPECT_FALSE(entry->playable) << c.name;
        EXPECT_NE(entry->reason.Text().find(c.reasonNames), std::string::npos) << c.name << ": " << entry->reason.Text();
    }
}

TEST(OwnScenarios, NamesNoFolderCanHaveAreRefusedAndNothingIsWritten)
{
    TempDir own;
    using namespace std::string_literals;
    for (const std::string& name : {""s, ".x"s, " x"s, "a/b"s, "a\\b"s, "a:b"s, "a\x01"s,
                                    std::string(kMaxScenarioNameBytes + 1, 'a'), "\xff"s}) {
        EXPECT_FALSE(ScenarioNameRefusal(name).empty()) << name;
        std::string error;
        EXPECT_FALSE(WriteOwnScenario(own.Path(), name, Bundled(1), &error)) << name;
        EXPECT_FALSE(error.empty());
    }
    EXPECT_TRUE(std::filesystem::is_empty(own.Path()));
    for (const std::string& name : {"赤壁"s, "208 赤壁の戦い"s, std::string(kMaxScenarioNameBytes, 'a')})
        EXPECT_TRUE(ScenarioNameRefusal(name).empty()) << name;
}
