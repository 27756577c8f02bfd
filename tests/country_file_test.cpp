// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "model/country_file.h"
#include "platform/sjis.h"
#include "platform/text_file.h"
#include "save_faults.h"
#include "test_support.h"
#include "world_fixture.h"

namespace {

// A world with every kind of value a file can hold.
WorldRecord SampleWorld()
{
    WorldRecord w;
    w.playerRuler = 4;
    w.turnCountry = -1;
    w.year = 189;
    w.month = 12;
    for (int i = 0; i < kCountryCount; ++i) {
        CountryRecord& c = w.countries[i];
        c.name = platform::Utf8ToSjis("国" + std::to_string(i));
        c.neighbours = {static_cast<std::uint32_t>((i + 1) % kCountryCount),
                        static_cast<std::uint32_t>((i + kCountryCount - 1) % kCountryCount)};
        c.ruler = i % kRulerCount;
        c.population = 100000 + i;
        c.cultivation = 50 + i;
        c.commerce = 40 + i;
        c.soldiers = 10000 * i;
        c.training = i * 7;
        c.provisions = 30000 + i;
        c.funds = 5000 + i;
        c.mapX = 10 * i;
        c.mapY = 20 + 10 * i;
    }
    w.countries[0].name = platform::Utf8ToSjis("表ソ"); // second bytes 0x5C
    w.countries[1].name = std::string("a\0\xFF b  ", 7); // odd bytes and trailing blanks
    w.countries[2].neighbours = {1, 3, 12};
    return w;
}

std::string FileText(const WorldRecord& w)
{
    std::string text;
    for (const std::string& line : FormatCountryFile(w))
        text += line + "\r\n";
    return text;
}

// The lines of a file, so a test can change one.
std::vector<std::string> Lines(const WorldRecord& w) { return FormatCountryFile(w); }

std::string Join(const std::vector<std::string>& lines, const char* end = "\r\n")
{
    std::string text;
    for (const std::string& line : lines)
        text += line + end;
    return text;
}

// Line numbers (1-based) of a country's items.
int CountryLine(int country, int item) { return kHeaderLines + kLinesPerCountry * country + item; }

} // namespace

class CountryFileTest : public WorldTest {
protected:
    TempDir dir;
    std::string Write(const std::string& name, const std::string& bytes)
    {
        WriteFileBytes(dir.Path(name), bytes);
        return dir.Path(name);
    }
};

TEST_F(CountryFileTest, RoundTripKeepsEveryByte)
{
    const std::string text = FileText(SampleWorld());
    const std::string path = Write("in.txt", text);
    ASSERT_EQ(LoadCountryFile(world, path).status, LoadStatus::Loaded);
    EXPECT_EQ(world.turnCountry, -1);
    EXPECT_EQ(world.countries[0].GetName(), platform::Utf8ToSjis("表ソ"));
    EXPECT_EQ(world.countries[13].id, 13);

    std::string error;
    ASSERT_TRUE(SaveCountryFile(world, dir.Path("out.txt"), world.turnCountry, &error)) << error;
    EXPECT_EQ(ReadFileBytes(dir.Path("out.txt")), text);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), kCountryFileLines);
}

TEST_F(CountryFileTest, EmptyNeighbourListComesBackAsCountryZero)
{
    WorldRecord w = SampleWorld();
    w.countries[5].neighbours.clear();
    ASSERT_EQ(LoadCountryFile(world, Write("w.txt", FileText(w))).status, LoadStatus::Loaded);
    EXPECT_EQ(world.countries[5].GetNeighbours(), std::vector<std::uint32_t>{0});
    // Loading again replaces the lists instead of appending to them.
    ASSERT_EQ(LoadCountryFile(world, dir.Path("w.txt")).status, LoadStatus::Loaded);
    EXPECT_EQ(world.countries[2].GetNeighbours(), (std::vector<std::uint32_t>{1, 3, 12}));
    EXPECT_EQ(world.countries[5].GetNeighbours(), std::vector<std::uint32_t>{0});
    // So does a record read again from another file.
    WorldRecord record;
    ASSERT_EQ(ReadCountryRecord(dir.Path("w.txt"), record, CountryFileUse::SavedGame).status, LoadStatus::Loaded);
    w.countries[2].neighbours = {4};
    ASSERT_EQ(ReadCountryRecord(Write("other.txt", FileText(w)), record, CountryFileUse::SavedGame).status,
              LoadStatus::Loaded);
    EXPECT_EQ(record.countries[2].neighbours, std::vector<std::uint32_t>{4});
}

TEST_F(CountryFileTest, BareLfAndCrLfGiveTheSameWorld)
{
    const std::vector<std::string> lines = Lines(SampleWorld());
    ASSERT_EQ(LoadCountryFile(world, Write("crlf.txt", Join(lines, "\r\n"))).status, LoadStatus::Loaded);
    const WorldRecord fromCrLf = CaptureWorld(world, world.turnCountry);
    world = GameState();
    ASSERT_EQ(LoadCountryFile(world, Write("lf.txt", Join(lines, "\n"))).status, LoadStatus::Loaded);
    EXPECT_EQ(CaptureWorld(world, world.turnCountry), fromCrLf);
    EXPECT_EQ(fromCrLf, SampleWorld());
}

TEST_F(CountryFileTest, AFileCutShortIsRefusedAndNamesItsLastLine)
{
    ASSERT_EQ(LoadCountryFile(world, Write("good.txt", FileText(SampleWorld()))).status, LoadStatus::Loaded);
    const WorldRecord before = CaptureWorld(world, world.turnCountry);
    const std::vector<std::string> lines = Lines(SampleWorld());

    // Every cut at a line end, with and without the line end of the last line kept:
    // the game always writes all 172 lines, so a shorter file is a broken one.
    for (int kept = 0; kept < kCountryFileLines; ++kept) {
        const std::vector<std::string> head(lines.begin(), lines.begin() + kept);
        std::string withEnd = Join(head);
        std::string withoutEnd = withEnd.size() >= 2 ? withEnd.substr(0, withEnd.size() - 2) : withEnd;
        for (const std::string& text : {withEnd, withoutEnd}) {
            for (CountryFileUse use : {CountryFileUse::SavedGame, CountryFileUse::StartingWorld}) {
                const LoadOutcome outcome = LoadCountryText(world, text, "cut.txt", use);
                ASSERT_EQ(outcome.status, LoadStatus::Refused) << kept << " lines";
                const std::string expected =
                    kept == 0 ? "ﾃﾞｰﾀﾌｧｲﾙが空です"
                              : "ﾃﾞｰﾀﾌｧｲﾙが途中で終わっています (" + std::to_string(kept) + " 行目まで)";
                EXPECT_EQ(outcome.words.Text(), "ﾃﾞｰﾀﾌｧｲﾙが正しくありません\ncut.txt\n" + expected);
                ASSERT_EQ(CaptureWorld(world, world.turnCountry), before) << kept << " lines";
            }
        }
    }

    // A cut in the middle of a line: the piece of the line counts as a line.
    const std::string text = FileText(SampleWorld());
    // (From a file on disk, as a player's cut save would be.)
    for (std::size_t cut : {std::size_t{1}, std::size_t{3}, std::size_t{500}, text.size() - 5}) {
        const std::string piece = text.substr(0, cut);
        const long present = std::count(piece.begin(), piece.end(), '\n') + (piece.back() == '\n' ? 0 : 1);
        const LoadOutcome outcome = LoadCountryFile(world, Write("piece.txt", piece));
        EXPECT_EQ(outcome.status, LoadStatus::Refused) << cut;
        EXPECT_NE(outcome.words.Text().find("(" + std::to_string(present) + " 行目まで)"), std::string::npos)
            << outcome.words.Text();
    }

    // The last line without its line end is a whole file.
    ASSERT_EQ(LoadCountryFile(world, Write("172.txt", text.substr(0, text.size() - 2))).status, LoadStatus::Loaded);
    EXPECT_EQ(CaptureWorld(world, world.turnCountry), SampleWorld());

    // 173 lines: whatever follows the last block is ignored.
    std::vector<std::string> long173 = lines;
    long173.push_back("garbage that is not a number");
    world = GameState();
    ASSERT_EQ(LoadCountryFile(world, Write("173.txt", Join(long173))).status, LoadStatus::Loaded);
    EXPECT_EQ(CaptureWorld(world, world.turnCountry), SampleWorld());
}

TEST_F(CountryFileTest, ASavedGameMustNameThePlayersRuler)
{
    // A first line of 0 would make every unruled country the player's, and the computer
    // would never hand the turn back. An editor's byte-order mark or a blank line reads
    // as 0 too.
    WorldRecord w = SampleWorld();
    w.countries[3].ruler = 0;
    const WorldRecord before = SampleWorld();
    ASSERT_EQ(LoadCountryFile(world, Write("good.txt", FileText(before))).status, LoadStatus::Loaded);
    for (const std::string first : {"0", "", " ", "\xEF\xBB\xBF" "4", "abc"}) {
        std::vector<std::string> lines = Lines(w);
        lines[0] = first;
        const std::string path = Write("p0.txt", Join(lines));
        const LoadOutcome saved = LoadCountryFile(world, path, CountryFileUse::SavedGame);
        EXPECT_EQ(saved.status, LoadStatus::Refused) << first;
        EXPECT_NE(saved.words.Text().find("\n1 行目: プレイヤーの君主"), std::string::npos) << saved.words.Text();
        EXPECT_EQ(CaptureWorld(world, world.turnCountry), before);
        if (first.rfind("\xEF\xBB\xBF", 0) == 0) {
            EXPECT_NE(saved.words.Text().find("BOM"), std::string::npos) << saved.words.Text();
        }

        // A scenario's starting world may keep any player in its header: a new game sets
        // its own.
        const LoadOutcome starting = LoadCountryFile(world, path, CountryFileUse::StartingWorld);
        EXPECT_EQ(starting.status, LoadStatus::Loaded) << starting.words.Text();
        EXPECT_EQ(world.playerRuler, 0);
        EXPECT_EQ(world.countries[3].GetRuler(), 0);
        ASSERT_EQ(LoadCountryFile(world, dir.Path("good.txt")).status, LoadStatus::Loaded);
    }
    // The default is the stricter reading: a file the player hands the game.
    std::vector<std::string> lines = Lines(w);
    lines[0] = "0";
    EXPECT_EQ(LoadCountryText(world, Join(lines), "p0.txt").status, LoadStatus::Refused);
    lines[0] = "15";
    EXPECT_EQ(LoadCountryText(world, Join(lines), "p15.txt").status, LoadStatus::Loaded);
}

TEST_F(CountryFileTest, NumbersAreReadLikeAtoi)
{
    std::vector<std::string> lines = Lines(SampleWorld());
    lines[CountryLine(0, 4) - 1] = " 42abc"; // population
    lines[CountryLine(0, 5) - 1] = "abc";    // cultivation
    lines[CountryLine(0, 6) - 1] = "-";      // commerce
    lines[CountryLine(0, 7) - 1] = "+7";     // soldiers
    lines[CountryLine(1, 2) - 1] = "";       // neighbours
    lines[CountryLine(2, 2) - 1] = "3,5,";
    lines[CountryLine(3, 2) - 1] = ",,";
    ASSERT_EQ(LoadCountryFile(world, Write("n.txt", Join(lines))).status, LoadStatus::Loaded);
    const Country& c = world.countries[0];
    EXPECT_EQ(c.GetPopulation(), 42);
    EXPECT_EQ(c.GetCultivation(), 0);
    EXPECT_EQ(c.GetCommerce(), 0);
    EXPECT_EQ(c.GetSoldiers(), 7);
    EXPECT_EQ(world.countries[1].GetNeighbours(), std::vector<std::uint32_t>{0});
    EXPECT_EQ(world.countries[2].GetNeighbours(), (std::vector<std::uint32_t>{3, 5, 0}));
    EXPECT_EQ(world.countries[3].GetNeighbours(), (std::vector<std::uint32_t>{0, 0, 0}));
}

TEST_F(CountryFileTest, LongNamesAndOddBytesSurvive)
{
    WorldRecord w = SampleWorld();
    w.countries[7].name = std::string(10000, '\x88') + "x";
    const std::string text = FileText(w);
    ASSERT_EQ(LoadCountryFile(world, Write("long.txt", text)).status, LoadStatus::Loaded);
    EXPECT_EQ(world.countries[7].GetName().size(), 10001u);
    std::string error;
    ASSERT_TRUE(SaveCountryFile(world, dir.Path("out.txt"), world.turnCountry, &error)) << error;
    EXPECT_EQ(ReadFileBytes(dir.Path("out.txt")), text);
}

TEST_F(CountryFileTest, OutOfRangeValuesRefuseTheFileAndChangeNothing)
{
    // A world already in play, which a refused load must leave alone.
    ASSERT_EQ(LoadCountryFile(world, Write("good.txt", FileText(SampleWorld()))).status, LoadStatus::Loaded);
    const WorldRecord before = CaptureWorld(world, world.turnCountry);

    struct Case {
        int line;
        std::string value;
        std::string mentions; // the value as the message names it
    };
    const std::string thousandDigits(1000, '7');
    const Case cases[] = {
        {1, "16", "16"},
        {1, "-1", "-1"},
        {2, "-2", "-2"},
        {2, "14", "14"},
        {4, "0", "0"},
        {4, "13", "13"},
        {CountryLine(0, 3), "16", "16"},
        {CountryLine(13, 3), "-1", "-1"},
        {CountryLine(4, 8), "101", "101"},
        {CountryLine(5, 7), "-5", "-5"},
        {CountryLine(6, 10), "-1000", "-1000"},
        {CountryLine(8, 4), thousandDigits, "大きすぎる"},
        {CountryLine(9, 2), "99", "99"},
        {CountryLine(10, 2), "1,-1", "-1"},
        {CountryLine(11, 2), "1,14", "14"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> lines = Lines(SampleWorld());
        lines[c.line - 1] = c.value;
        LoadOutcome outcome = LoadCountryFile(world, Write("bad.txt", Join(lines)));
        EXPECT_EQ(outcome.status, LoadStatus::Refused) << "line " << c.line << " = " << c.value;
        EXPECT_NE(outcome.words.Text().find(std::to_string(c.line) + " 行目"), std::string::npos) << outcome.words.Text();
        EXPECT_NE(outcome.words.Text().find(c.mentions), std::string::npos) << outcome.words.Text();
        EXPECT_EQ(CaptureWorld(world, world.turnCountry), before);
    }


    // Too many neighbour entries to describe a map.
    std::vector<std::string> lines = Lines(SampleWorld());
    std::string many = "1";
    for (int i = 0; i < kMaxNeighbourEntries; ++i)
        many += ",1";
    lines[CountryLine(3, 2) - 1] = many;
    EXPECT_EQ(LoadCountryFile(world, Write("many.txt", Join(lines))).status, LoadStatus::Refused);
    EXPECT_EQ(CaptureWorld(world, world.turnCountry), before);
}

TEST_F(CountryFileTest, TextInMemoryLoadsLikeAFile)
{
    const std::string text = FileText(SampleWorld());
    ASSERT_EQ(LoadCountryText(world, text, "memory").status, LoadStatus::Loaded);
    EXPECT_EQ(CaptureWorld(world, world.turnCountry), SampleWorld());
    EXPECT_EQ(platform::JoinLines(FormatCountryFile(SampleWorld())), text);

    // A refusal names the text as it names a file, and keeps the world.
    std::vector<std::string> lines = Lines(SampleWorld());
    lines[CountryLine(2, 8) - 1] = "101"; // training
    const WorldRecord before = CaptureWorld(world, world.turnCountry);
    const LoadOutcome fromText = LoadCountryText(world, Join(lines), "memory");
    const std::string path = Write("bad.txt", Join(lines));
    const LoadOutcome fromFile = LoadCountryFile(world, path);
    EXPECT_EQ(fromText.status, LoadStatus::Refused);
    EXPECT_EQ(fromFile.status, LoadStatus::Refused);
    std::string expected = fromFile.words.Text();
    ASSERT_NE(expected.find(path), std::string::npos);
    expected.replace(expected.find(path), path.size(), "memory");
    EXPECT_EQ(fromText.words.Text(), expected);
    EXPECT_NE(fromText.words.Text().find(std::to_string(CountryLine(2, 8)) + " 行目"), std::string::npos);
    EXPECT_EQ(CaptureWorld(world, world.turnCountry), before);
}

TEST_F(CountryFileTest, AFileThatCannotBeReadIsReportedWithItsPathAndWhy)
{
    ASSERT_EQ(LoadCountryFile(world, Write("good.txt", FileText(SampleWorld()))).status, LoadStatus::Loaded);
    const WorldRecord before = CaptureWorld(world, world.turnCountry);
    ASSERT_EQ(::mkfifo(dir.Path("fifo").c_str(), 0600), 0);
    std::filesystem::create_symlink("loop-b", dir.Path("loop-a"));
    std::filesystem::create_symlink("loop-a", dir.Path("loop-b"));
    // Sparse: larger than any game file, without taking the room.
    std::filesystem::resize_file(Write("huge.txt", ""), 2ULL << 30);
    const struct {
        std::string path;
        std::string reason;
    } cases[] = {
        {dir.Path("missing.txt"), "ファイルがありません"},
        {dir.Path(), "フォルダは読み込めません"},
        {dir.Path("fifo"), "通常のファイルではありません"},
        {"/dev/zero", "通常のファイルではありません"},
        {dir.Path("loop-a"), "シンボリックリンクが循環しています"},
        {dir.Path("huge.txt"), "ファイルが大きすぎます (16 MB まで)"},
        {dir.Path("good.txt/x.txt"), "フォルダが見つかりません"},
    };
    for (const auto& c : cases) {
        const LoadOutcome outcome = LoadCountryFile(world, c.path);
        EXPECT_EQ(outcome.status, LoadStatus::NotFound) << c.path;
        // The first line is the one players know.
        EXPECT_EQ(outcome.words.Text(), "ﾃﾞｰﾀﾌｧｲﾙが見つかりません\n" + c.path + "\n" + c.reason);
        EXPECT_EQ(CaptureWorld(world, world.turnCountry), before);
    }
}

TEST_F(CountryFileTest, ASaveThatFailsHalfWayKeepsThePreviousSaveAndTheWorld)
{
    ASSERT_EQ(LoadCountryFile(world, Write("good.txt", FileText(SampleWorld()))).status, LoadStatus::Loaded);
    const std::string save = dir.Path("save.txt");
    std::string error;
    ASSERT_TRUE(SaveCountryFile(world, save, 5, &error)) << error;
    const std::string previous = ReadFileBytes(save);
    ASSERT_GT(previous.size(), 512u);

    // The world moves on; the next save runs out of room after 512 bytes.
    world.year = 250;
    world.countries[3].SetFunds(123456);
    const WorldRecord record = CaptureWorld(world, 7);
    const std::vector<std::string> before = Listing(dir.Path());
    {
        FileSizeLimit limit(512);
        ASSERT_TRUE(limit.Active());
        EXPECT_FALSE(SaveCountryFile(world, save, 7, &error));
    }
    EXPECT_EQ(error, "ディスクの空き容量が不足しています");
    EXPECT_EQ(ReadFileBytes(save), previous);
    EXPECT_EQ(Listing(dir.Path()), before) << "no temporary file left behind";
    EXPECT_EQ(CaptureWorld(world, 7), record);

    // With room again the save goes through and loads as the world.
    ASSERT_TRUE(SaveCountryFile(world, save, 7, &error)) << error;
    world = GameState();
    ASSERT_EQ(LoadCountryFile(world, save).status, LoadStatus::Loaded);
    EXPECT_EQ(CaptureWorld(world, world.turnCountry), record);
}

TEST_F(CountryFileTest, ASaveToAFullOrReadOnlyFileSystemKeepsThePreviousSave)
{
    SmallFileSystem small(dir.Path("small"), 64);
    if (!small.Mounted())
        GTEST_SKIP() << small.Reason();
    ASSERT_EQ(LoadCountryFile(world, Write("good.txt", FileText(SampleWorld()))).status, LoadStatus::Loaded);
    const std::string save = dir.Path("small/save.txt");
    std::string error;
    ASSERT_TRUE(SaveCountryFile(world, save, 5, &error)) << error;
    const std::string previous = ReadFileBytes(save);
    world.year = 250;

    ASSERT_TRUE(small.Fill());
    const std::vector<std::string> before = Listing(dir.Path("small"));
    EXPECT_FALSE(SaveCountryFile(world, save, 5, &error));
    EXPECT_EQ(error, "ディスクの空き容量が不足しています");
    EXPECT_EQ(ReadFileBytes(save), previous);
    EXPECT_EQ(Listing(dir.Path("small")), before) << "no temporary file left behind";

    // Room again: the save goes through.
    std::filesystem::remove(dir.Path("small/filler"));
    ASSERT_TRUE(SaveCountryFile(world, save, 5, &error)) << error;
    const std::string saved = ReadFileBytes(save);
    EXPECT_NE(saved, previous);

    // Read-only: refused before anything is written.
    ASSERT_TRUE(small.MakeReadOnly());
    world.year = 260;
    EXPECT_FALSE(SaveCountryFile(world, save, 5, &error));
    EXPECT_NE(error.find("読み取り専用"), std::string::npos) << error;
    EXPECT_FALSE(SaveCountryFile(world, dir.Path("small/new.txt"), 5, &error));
    EXPECT_EQ(error, "読み取り専用の場所です");
    EXPECT_EQ(ReadFileBytes(save), saved);
    EXPECT_EQ(TempFilesIn(dir.Path("small")), std::vector<std::string>{});
}

TEST_F(CountryFileTest, PathsOfTheScenarioFiles)
{
    EXPECT_EQ(CountryFilePath("/data", 2), "/data/country2.txt");
    EXPECT_EQ(ScenarioFilePath("/data", 3), "/data/scenario3.txt");
}
