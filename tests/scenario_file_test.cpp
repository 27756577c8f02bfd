#include <gtest/gtest.h>

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
    EXPECT_EQ(FromText("abc\n 4x\n").rulers, (std::vector<RulerId>{0, 4}));
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
    for (const char* bad : {"16", "-1", "99999999999"}) {
        ScenarioList list = FromText(std::string("1\r\n") + bad + "\r\n");
        EXPECT_EQ(list.status, ScenarioStatus::Refused) << bad;
        EXPECT_TRUE(list.rulers.empty());
        EXPECT_NE(list.message.find("scenario9.txt の 2 行目"), std::string::npos) << list.message;
    }
}

TEST(ScenarioFile, AMissingFileIsReportedWithItsPath)
{
    TempDir dir;
    ScenarioList list = ReadScenarioFile(dir.Path("scenario1.txt"));
    EXPECT_EQ(list.status, ScenarioStatus::CannotOpen);
    EXPECT_EQ(list.openError, platform::OpenError::NotFound);
    EXPECT_EQ(list.message, dir.Path("scenario1.txt") + " が見つかりませんでした。");

    WriteFileBytes(dir.Path("scenario2.txt"), "2\r\n5\r\n");
    EXPECT_EQ(ReadScenarioFile(dir.Path("scenario2.txt")).rulers, (std::vector<RulerId>{2, 5}));
}
