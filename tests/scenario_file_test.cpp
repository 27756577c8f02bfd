// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "model/scenario_file.h"
#include "test_support.h"

namespace {
ScenarioList FromText(const std::string& text)
{
    platform::TextFileReader reader;
    reader.OpenText(text);
    return ParseScenarioFile(reader, "scenario9.txt");
}
} // namespace

TEST(ScenarioFile, ListsTheRulersUpToTheFirstEmptyLine)
{
    ScenarioList list = FromText("3\r\n7\r\n12\r\n");
    EXPECT_EQ(list.status, ScenarioStatus::Read);
    EXPECT_EQ(list.rulers, (std::vector<RulerId>{3, 7, 12}));

    EXPECT_EQ(FromText("3\n7\n\n12\n").rulers, (std::vector<RulerId>{3, 7}));
    EXPECT_TRUE(FromText("").rulers.empty());
    EXPECT_TRUE(FromText("\r\n5\r\n").rulers.empty());
    EXPECT_EQ(FromText(" 4x\n+12\n").rulers, (std::vector<RulerId>{4, 12}));
}

TEST(ScenarioFile, OffersAtMostThirteenRulers)
{
    std::string text;
    for (int i = 1; i <= 15; ++i)
        text += std::to_string(i) + "\r\n";
    ScenarioList list = FromText(text + "99\r\n");
    EXPECT_EQ(list.status, ScenarioStatus::Read);
    ASSERT_EQ(list.rulers.size(), 13u);
    EXPECT_EQ(list.rulers.back(), 13);
}

TEST(ScenarioFile, RefusesAnIdWithoutARuler)
{
    // 0 is no ruler: a player without one would never come to his turn. A line that is
    // not empty but holds no number reads as 0.
    for (const char* bad : {"16", "-1", "99999999999", "0", " ", "abc", "\xEF\xBB\xBF" "1"}) {
        ScenarioList list = FromText(std::string("1\r\n") + bad + "\r\n");
        EXPECT_EQ(list.status, ScenarioStatus::Refused) << bad;
        EXPECT_TRUE(list.rulers.empty());
        EXPECT_NE(list.words.Text().find("scenario9.txt の 2 行目"), std::string::npos) << list.words.Text();
    }
}

TEST(ScenarioFile, AMissingFileIsReportedWithItsPath)
{
    TempDir dir;
    ScenarioList list = ReadScenarioFile(dir.Path("scenario1.txt"));
    EXPECT_EQ(list.status, ScenarioStatus::CannotOpen);
    EXPECT_EQ(list.openError, platform::OpenError::NotFound);
    EXPECT_EQ(list.words.Text(), dir.Path("scenario1.txt") + " が見つかりませんでした。");

    WriteFileBytes(dir.Path("scenario2.txt"), "2\r\n5\r\n");
    EXPECT_EQ(ReadScenarioFile(dir.Path("scenario2.txt")).rulers, (std::vector<RulerId>{2, 5}));
}

TEST(ScenarioFile, AFileThatIsNotPlainIsRefusedWithoutWaiting)
{
    TempDir dir;
    ASSERT_EQ(::mkfifo(dir.Path("scenario1.txt").c_str(), 0600), 0);
    const ScenarioList list = ReadScenarioFile(dir.Path("scenario1.txt"));
    EXPECT_EQ(list.status, ScenarioStatus::CannotOpen);
    EXPECT_EQ(list.openError, platform::OpenError::NotAFile);
    EXPECT_EQ(list.words.Text(), dir.Path("scenario1.txt") + " を開けません。\n通常のファイルではありません");
}

TEST(ScenarioFile, TellsWhetherARulerIsOffered)
{
    TempDir dir;
    WriteFileBytes(dir.Path("scenario1.txt"), "1\r\n2\r\n15\r\n");
    WriteFileBytes(dir.Path("scenario2.txt"), "1\r\n16\r\n");
    std::string message = "unchanged";
    EXPECT_TRUE(ScenarioOffersRuler(dir.Path("scenario1.txt"), 15, message));
    EXPECT_EQ(message, "unchanged");
    EXPECT_FALSE(ScenarioOffersRuler(dir.Path("scenario1.txt"), 0, message));
    EXPECT_EQ(message, dir.Path("scenario1.txt") + " does not offer ruler 0; it offers 1 (劉備) 2 (曹操) 15 (孫権)");
    EXPECT_FALSE(ScenarioOffersRuler(dir.Path("scenario1.txt"), 7, message));
    EXPECT_NE(message.find("does not offer ruler 7"), std::string::npos);
    // A file that cannot be read or is refused says so, whatever ruler is asked for.
    EXPECT_FALSE(ScenarioOffersRuler(dir.Path("scenario2.txt"), 1, message));
    EXPECT_EQ(message, dir.Path("scenario2.txt") + " の 2 行目: 君主の番号 16 は範囲外です (1..15)");
    EXPECT_FALSE(ScenarioOffersRuler(dir.Path("scenario3.txt"), 1, message));
    EXPECT_EQ(message, dir.Path("scenario3.txt") + " が見つかりませんでした。");
}
