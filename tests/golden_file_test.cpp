// SPDX-License-Identifier: GPL-3.0-or-later
// The country file against a file written by hand (tests/golden/world.txt): the writer
// must produce its bytes and the reader must find in it the world written out below,
// item by item. Neither side is checked against the other.
#include <gtest/gtest.h>

#include "model/country_file.h"
#include "platform/text_file.h"
#include "test_support.h"
#include "world_fixture.h"

namespace {

std::string GoldenPath() { return std::string(VELCOR_SOURCE_DIR) + "/tests/golden/world.txt"; }

// The world of the golden file, typed in from its lines. The names are the Shift-JIS
// bytes of the file; country 6's name has 0x5C as the second byte of its first
// character, and country 9 has an empty neighbour line.
WorldRecord GoldenWorld()
{
    struct Row {
        const char* name;
        std::vector<std::uint32_t> neighbours;
        std::int32_t ruler, population, cultivation, commerce, soldiers, training, provisions, funds, mapX, mapY;
    };
    const Row rows[kCountryCount] = {
        {"\x8e\x69\x97\xea", {1, 2, 5, 6, 7, 10, 13}, 9, 520000, 70, 80, 42000, 70, 60000, 16000, 168, 139},
        {"\x98\xac\x8f\x42", {0, 2, 3, 9, 10}, 2, 400000, 61, 55, 22000, 50, 30000, 12000, 248, 165},
        {"\x92\xc2\x97\xaf", {0, 1, 3, 4, 7}, 0, 300000, 50, 45, 0, 0, 24001, 9000, 263, 141},
        {"\x8f\x99\x8f\x42", {1, 2, 4, 9}, 13, 2147483647, 1, 2, 10000, 100, 7, 8, 330, 170},
        {"\x90\xc2\x8f\x42", {2, 3, 7}, 4, 123456, 0, 0, 9999, 1, 0, 1000, 320, 110},
        {"\x97\xc1\x8f\x42", {0, 6, 11, 13}, 8, 210000, 33, 21, 15000, 45, 17000, 7100, 40, 100},
        {"\x94\x5c\x8f\x42", {0, 5, 7, 8}, 7, 190000, 44, 39, 16500, 60, 20500, 6600, 180, 80},
        {"\x99\x62\x8f\x42", {0, 2, 4, 6, 8}, 7, 350000, 58, 62, 30000, 75, 41000, 15500, 260, 70},
        {"\x97\x48\x8f\x42", {6, 7}, 11, 150000, 30, 25, 12000, 35, 9000, 4400, 330, 30},
        {"\x97\x67\x8f\x42", {}, 15, 260000, 52, 57, 18000, 40, 26000, 13300, 320, 260},
        {"\x8c\x74\x8f\x42", {0, 1, 9, 11, 12, 13}, 6, 330000, 64, 48, 21000, 55, 33000, 11100, 200, 240},
        {"\x89\x76\x8f\x42", {5, 10, 12, 13}, 10, 280000, 47, 36, 14000, 30, 21000, 8800, 90, 230},
        {"\x8c\xf0\x8f\x42", {10, 11}, 0, 90000, 20, 18, 3000, 10, 4000, 2000, 230, 330},
        {"\x8a\xbf\x92\x86", {0, 5, 10, 11}, 12, 70000, 25, 22, 8000, 65, 12000, 5000, 120, 170},
    };
    WorldRecord w;
    w.playerRuler = 7;
    w.turnCountry = -1;
    w.year = 196;
    w.month = 11;
    for (int i = 0; i < kCountryCount; ++i) {
        const Row& r = rows[i];
        w.countries[i] = {r.name,     r.neighbours, r.ruler,      r.population, r.cultivation, r.commerce,
                          r.soldiers, r.training,   r.provisions, r.funds,      r.mapX,        r.mapY};
    }
    return w;
}

std::vector<std::string> GoldenLines()
{
    platform::TextFileReader reader;
    std::vector<std::string> lines;
    if (!reader.Open(GoldenPath()))
        return lines;
    for (std::string line; reader.ReadLine(line);)
        lines.push_back(line);
    return lines;
}

std::string CrLf(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

} // namespace

class GoldenFileTest : public WorldTest {
protected:
    TempDir dir;
};

TEST_F(GoldenFileTest, TheFileIsWhatItShouldBe)
{
    // Guards the golden file itself against an editor's conversions.
    const std::string bytes = ReadFileBytes(GoldenPath());
    ASSERT_FALSE(bytes.empty()) << GoldenPath();
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 172);
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\r'), 172);
    EXPECT_EQ(bytes.substr(0, 16), "7\r\n-1\r\n196\r\n11\r\n");
    EXPECT_NE(bytes.find("\r\n\x94\x5c\x8f\x42\r\n"), std::string::npos) << "the name with a 0x5C trail byte";
    EXPECT_NE(bytes.find("\x97\x67\x8f\x42\r\n\r\n15\r\n"), std::string::npos) << "the empty neighbour line";
}

TEST_F(GoldenFileTest, TheWriterWritesItByteForByte)
{
    std::string error;
    ASSERT_TRUE(WriteCountryFile(dir.Path("out.txt"), GoldenWorld(), &error)) << error;
    const std::string written = ReadFileBytes(dir.Path("out.txt"));
    const std::string golden = ReadFileBytes(GoldenPath());
    ASSERT_FALSE(golden.empty());
    if (written != golden) {
        // Name the first line that differs.
        const std::vector<std::string> expected = GoldenLines();
        const std::vector<std::string> actual = FormatCountryFile(GoldenWorld());
        for (std::size_t i = 0; i < std::min(expected.size(), actual.size()); ++i)
            ASSERT_EQ(actual[i], expected[i]) << "line " << i + 1;
        FAIL() << "the line ends or the number of lines differ";
    }

    // The save writes the world in play with the cursor it is given.
    ApplyWorld(world, GoldenWorld());
    world.countries[9].ClearNeighbours(); // as the file has it, not as it reads
    world.turnCountry = 9;
    ASSERT_TRUE(SaveCountryFile(world, dir.Path("save.txt"), -1, &error)) << error;
    EXPECT_EQ(ReadFileBytes(dir.Path("save.txt")), golden);
}

TEST_F(GoldenFileTest, TheReaderFindsEveryItemInItsLine)
{
    // The ids come from the places in the file, not from what the world held.
    for (Country& c : world.countries)
        c.SetId(-7);
    ASSERT_EQ(LoadCountryFile(world, GoldenPath()).status, LoadStatus::Loaded);
    WorldRecord expected = GoldenWorld();
    expected.countries[9].neighbours = {0}; // an empty list reads as country 0
    EXPECT_EQ(world.playerRuler, 7);
    EXPECT_EQ(world.turnCountry, -1);
    EXPECT_EQ(world.year, 196);
    EXPECT_EQ(world.month, 11);
    for (int i = 0; i < kCountryCount; ++i) {
        SCOPED_TRACE("country " + std::to_string(i));
        const Country& c = world.countries[i];
        const CountryRecord& e = expected.countries[i];
        EXPECT_EQ(c.id, i);
        EXPECT_EQ(c.GetName(), e.name);
        EXPECT_EQ(c.GetNeighbours(), e.neighbours);
        EXPECT_EQ(c.GetRuler(), e.ruler);
        EXPECT_EQ(c.GetPopulation(), e.population);
        EXPECT_EQ(c.GetCultivation(), e.cultivation);
        EXPECT_EQ(c.GetCommerce(), e.commerce);
        EXPECT_EQ(c.GetSoldiers(), e.soldiers);
        EXPECT_EQ(c.GetTraining(), e.training);
        EXPECT_EQ(c.GetProvisions(), e.provisions);
        EXPECT_EQ(c.GetFunds(), e.funds);
        EXPECT_EQ(c.GetMapX(), e.mapX);
        EXPECT_EQ(c.GetMapY(), e.mapY);
    }

    // The same text without CR reads the same.
    const std::string lf = dir.Path("lf.txt");
    std::string text;
    for (const std::string& line : GoldenLines())
        text += line + "\n";
    WriteFileBytes(lf, text);
    ASSERT_EQ(LoadCountryFile(world, lf).status, LoadStatus::Loaded);
    EXPECT_EQ(CaptureWorld(world, world.turnCountry), expected);
}

TEST_F(GoldenFileTest, EveryNumberIsCheckedAgainstItsRange)
{
    struct Item {
        const char* what;
        int line; // 1-based, in the golden file
        std::int64_t lowest;
        std::int64_t highest; // 2147483647: no upper bound but the figure's
    };
    constexpr std::int64_t kAny = 2147483647;
    // Line of item k (1..12) of country i.
    auto at = [](int country, int item) { return 4 + 12 * country + item; };
    const Item items[] = {
        {"player ruler", 1, 1, 15}, // a saved game must name the player's ruler
        {"turn cursor", 2, -1, 13},
        {"year", 3, 0, kAny},
        {"month", 4, 1, 12},
        {"ruler", at(3, 3), 0, 15},
        {"population", at(3, 4), 0, kAny},
        {"cultivation", at(5, 5), 0, kAny},
        {"commerce", at(6, 6), 0, kAny},
        {"soldiers", at(7, 7), 0, kAny},
        {"training", at(8, 8), 0, 100},
        {"provisions", at(10, 9), 0, kAny},
        {"funds", at(11, 10), 0, kAny},
        {"marker x", at(12, 11), 0, kAny},
        {"marker y", at(13, 12), 0, kAny},
    };
    const std::vector<std::string> golden = GoldenLines();
    ASSERT_EQ(golden.size(), 172u);
    auto load = [&](int line, std::int64_t value) {
        std::vector<std::string> lines = golden;
        lines[static_cast<std::size_t>(line - 1)] = std::to_string(value);
        return LoadCountryText(world, CrLf(lines), "range.txt");
    };
    for (const Item& item : items) {
        SCOPED_TRACE(item.what);
        ASSERT_EQ(LoadCountryFile(world, GoldenPath()).status, LoadStatus::Loaded);
        const WorldRecord before = CaptureWorld(world, world.turnCountry);

        const LoadOutcome below = load(item.line, item.lowest - 1);
        EXPECT_EQ(below.status, LoadStatus::Refused);
        EXPECT_NE(below.words.Text().find(std::to_string(item.line) + " 行目"), std::string::npos) << below.words.Text();
        EXPECT_EQ(CaptureWorld(world, world.turnCountry), before) << "a refused file changes nothing";
        if (item.highest != kAny) {
            EXPECT_EQ(load(item.line, item.highest + 1).status, LoadStatus::Refused);
        }

        for (std::int64_t edge : {item.lowest, item.highest}) {
            ASSERT_EQ(load(item.line, edge).status, LoadStatus::Loaded) << edge;
            const WorldRecord after = CaptureWorld(world, world.turnCountry);
            const std::vector<std::string> written = FormatCountryFile(after);
            EXPECT_EQ(written[static_cast<std::size_t>(item.line - 1)], std::to_string(edge))
                << "the value reaches its place in the world";
        }
    }
}
