// SPDX-License-Identifier: GPL-3.0-or-later
// The data checker: it passes the shipped data, and each kind of fault planted in a
// copy is reported with its file and line.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QImage>

#include "content_paths.h"
#include "foresight/random_scenario.h"
#include "mapkit/data_check.h"
#include "mapkit/map_image_qt.h"
#include "model/country_file.h"
#include "model/scenario_file.h"
#include "model/scenario_pair.h"
#include "platform/text_file.h"
#include "test_support.h"

namespace {

using mapkit::CheckReport;
using mapkit::Fault;

std::string Listing(const CheckReport& report)
{
    std::string out;
    for (const Fault& f : report.faults)
        out += mapkit::FormatFault(f) + "\n";
    return out;
}

// Line of item (1..12) of country i in a country file.
int ItemLine(int country, int item) { return 4 + 12 * country + item; }

TEST(DataCheck, ShippedDataHolds)
{
    const CheckReport report = mapkit::CheckData(ShippedData(), ShippedRes());
    EXPECT_TRUE(report.faults.empty()) << Listing(report);
    EXPECT_TRUE(report.mapRead);
    ASSERT_EQ(report.scenarios.size(), 3u);
    const mapkit::ScenarioSummary& third = report.scenarios[2];
    EXPECT_EQ(third.year, 219);
    EXPECT_EQ(third.month, 5);
    EXPECT_EQ(third.countriesHeld[2], 9); // 曹操
    EXPECT_EQ(third.countriesHeld[1], 3); // 劉備
    EXPECT_EQ(third.countriesHeld[15], 2); // 孫権
}

TEST(DataCheck, RandomScenariosWrittenAsAPairOfTheirOwnPassTheChecker)
{
    const ScenarioPairRead bundled =
        ReadScenarioPair(ScenarioFilePath(ShippedData(), 1), CountryFilePath(ShippedData(), 1));
    ASSERT_TRUE(bundled.read);
    for (std::uint32_t seed : {3u, 19u, 4294967295u}) {
        const std::optional<foresight::RandomScenario> made = foresight::MakeRandomScenario(seed, bundled.pair.world);
        ASSERT_TRUE(made) << seed;
        TempDir dir;
        std::string error;
        ASSERT_TRUE(WriteScenarioPair(dir.Path(), 1, made->pair, &error)) << error;
        const CheckReport report = mapkit::CheckData(dir.Path(), ShippedRes(), {1});
        EXPECT_TRUE(report.faults.empty()) << seed << "\n" << Listing(report);
        EXPECT_EQ(report.scenarios.size(), 1u);
    }
}

TEST(DataCheck, FaultsReadFileColonLine)
{
    EXPECT_EQ(mapkit::FormatFault({"data/country1.txt", 48, "too high"}), "data/country1.txt:48: too high");
    EXPECT_EQ(mapkit::FormatFault({"res/130.png", 0, "split"}), "res/130.png: split");
}

// A copy of the shipped data and map in a scratch directory, to break.
class PlantedFaults : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::copy(ShippedData(), m_dir.Path("data"));
        std::filesystem::create_directory(m_dir.Path("res"));
        std::filesystem::copy(ShippedRes() + "/130.png", m_dir.Path("res/130.png"));
    }

    std::string Data(const std::string& name) const { return m_dir.Path("data/" + name); }
    std::string Map() const { return m_dir.Path("res/130.png"); }

    std::vector<std::string> Lines(const std::string& name) const
    {
        const std::string bytes = ReadFileBytes(Data(name));
        std::vector<std::string> lines;
        std::size_t start = 0;
        while (start < bytes.size()) {
            const std::size_t end = bytes.find("\r\n", start);
            lines.push_back(bytes.substr(start, end - start));
            start = end + 2;
        }
        return lines;
    }

    void Write(const std::string& name, const std::vector<std::string>& lines, const char* end = "\r\n")
    {
        std::string bytes;
        for (const std::string& l : lines)
            bytes += l + end;
        WriteFileBytes(Data(name), bytes);
    }

    void SetLine(const std::string& name, int line, const std::string& text)
    {
        auto lines = Lines(name);
        lines.at(line - 1) = text;
        Write(name, lines);
    }

    CheckReport Check() const { return mapkit::CheckData(m_dir.Path("data"), m_dir.Path("res")); }

    // The faults reported for (file, line) whose message contains text.
    static int Count(const CheckReport& r, const std::string& file, int line, const std::string& text)
    {
        int n = 0;
        for (const Fault& f : r.faults)
            n += f.file == file && f.line == line && f.message.find(text) != std::string::npos;
        return n;
    }

    void EditMap(const std::function<void(mapkit::MapImage&)>& edit)
    {
        mapkit::MapImage map;
        ASSERT_TRUE(mapkit::LoadMapImage(Map(), map, nullptr));
        edit(map);
        ASSERT_TRUE(mapkit::ToQImage(map).save(QString::fromStdString(Map())));
    }

    TempDir m_dir;
};

TEST_F(PlantedFaults, EveryValueOutOfRangeIsReportedOnItsLine)
{
    SetLine("country1.txt", 4, "13");                     // month
    SetLine("country1.txt", ItemLine(3, 8), "120");       // training of 徐州
    SetLine("country1.txt", ItemLine(6, 4), "-5");        // population of 并州
    SetLine("country1.txt", ItemLine(9, 2), "1,3,10,14"); // a neighbour that does not exist
    const CheckReport r = Check();
    const std::string file = Data("country1.txt");
    EXPECT_EQ(Count(r, file, 4, "月"), 1) << Listing(r);
    EXPECT_EQ(Count(r, file, ItemLine(3, 8), "訓練"), 1) << Listing(r);
    EXPECT_EQ(Count(r, file, ItemLine(6, 4), "人口"), 1) << Listing(r);
    EXPECT_EQ(Count(r, file, ItemLine(9, 2), "14"), 1) << Listing(r);
    EXPECT_EQ(r.faults.size(), 4u) << Listing(r);
}

TEST_F(PlantedFaults, TheFormatOfTheCountryFile)
{
    // One line short.
    auto lines = Lines("country2.txt");
    lines.pop_back();
    Write("country2.txt", lines);
    // Bare LF line ends.
    Write("country3.txt", Lines("country3.txt"), "\n");
    // Numbers not as the game writes them, a malformed list, a name twice, no name.
    SetLine("country1.txt", ItemLine(0, 4), "0520000");
    SetLine("country1.txt", ItemLine(0, 5), " 70");
    SetLine("country1.txt", ItemLine(1, 2), "0,,2,3");
    SetLine("country1.txt", ItemLine(2, 1), Lines("country1.txt")[ItemLine(1, 1) - 1]);
    SetLine("country1.txt", ItemLine(3, 1), "");
    const CheckReport r = Check();
    EXPECT_EQ(Count(r, Data("country2.txt"), 0, "171 lines"), 1) << Listing(r);
    EXPECT_EQ(Count(r, Data("country3.txt"), 1, "CR LF"), 1) << Listing(r);
    EXPECT_EQ(Count(r, Data("country1.txt"), ItemLine(0, 4), "not a plain number"), 1) << Listing(r);
    EXPECT_EQ(Count(r, Data("country1.txt"), ItemLine(0, 5), "not a plain number"), 1) << Listing(r);
    EXPECT_EQ(Count(r, Data("country1.txt"), ItemLine(1, 2), "not a list"), 1) << Listing(r);
    EXPECT_EQ(Count(r, Data("country1.txt"), ItemLine(2, 1), "same name as country 1"), 1) << Listing(r);
    EXPECT_EQ(Count(r, Data("country1.txt"), ItemLine(3, 1), "no name"), 1) << Listing(r);
}

TEST_F(PlantedFaults, NeighbourListsMustBeThoseOfTheMap)
{
    // 司隷 (0) borders 1,2,5,6,7,10,13 on the map.
    SetLine("country1.txt", ItemLine(0, 2), "1,5,6,7,10,13,12,0");
    const CheckReport r = Check();
    const std::string file = Data("country1.txt");
    EXPECT_EQ(Count(r, file, ItemLine(0, 2), "borders country 2 on the map, but its list lacks 2 (country 2 lists 0)"),
              1)
        << Listing(r);
    EXPECT_EQ(Count(r, file, ItemLine(0, 2), "lists 12, but their areas do not meet"), 1) << Listing(r);
    EXPECT_EQ(Count(r, file, ItemLine(0, 2), "lists itself"), 1) << Listing(r);
    EXPECT_EQ(r.faults.size(), 3u) << Listing(r);
}

TEST_F(PlantedFaults, MarkerCellsMustLieInTheirCountry)
{
    SetLine("country1.txt", ItemLine(4, 11), "0");   // 青州's cell moved to the left edge
    SetLine("country2.txt", ItemLine(5, 11), "420"); // 涼州's cell under the status panel
    SetLine("country3.txt", ItemLine(12, 12), "400"); // 交州's cell down on the buttons
    const CheckReport r = Check();
    EXPECT_EQ(Count(r, Data("country1.txt"), ItemLine(4, 11), "256 pixels outside"), 1) << Listing(r);
    EXPECT_EQ(Count(r, Data("country2.txt"), ItemLine(5, 11), "under the status panel"), 1) << Listing(r);
    EXPECT_EQ(Count(r, Data("country3.txt"), ItemLine(12, 11), "under the command buttons"), 1) << Listing(r);
}

TEST_F(PlantedFaults, ScenarioFileRules)
{
    // 呂布 (7) holds nothing in 189; 16 is no ruler; 0 is "no ruler"; 2 twice.
    Write("scenario1.txt", {"1", "16", "0", "2", "2", "7", "abc", "", "3"});
    // Fourteen rulers for thirteen places.
    std::vector<std::string> many;
    for (int id = 1; id <= 14; ++id)
        many.push_back(std::to_string(id));
    Write("scenario2.txt", many);
    // Empty.
    Write("scenario3.txt", {});
    const CheckReport r = Check();
    const std::string s1 = Data("scenario1.txt");
    EXPECT_EQ(Count(r, s1, 2, "outside 0..15"), 1) << Listing(r);
    EXPECT_EQ(Count(r, s1, 3, "非統治"), 1) << Listing(r);
    EXPECT_EQ(Count(r, s1, 5, "offered twice (also on line 4)"), 1) << Listing(r);
    EXPECT_EQ(Count(r, s1, 6, "holds no country in country1.txt"), 1) << Listing(r);
    EXPECT_EQ(Count(r, s1, 7, "not a ruler id"), 1) << Listing(r);
    EXPECT_EQ(Count(r, s1, 9, "never reads it"), 1) << Listing(r);
    EXPECT_EQ(Count(r, Data("scenario2.txt"), 14, "13 the ruler dialog has places for"), 1) << Listing(r);
    EXPECT_EQ(Count(r, Data("scenario2.txt"), 7, "呂布"), 1) << Listing(r);
    EXPECT_EQ(Count(r, Data("scenario3.txt"), 0, "offers no ruler"), 1) << Listing(r);
}

// Each kind of path that is no plain file of a sensible size, in place of the map, a
// country file and a scenario file at once: each is refused as unreadable, and the
// check goes on without waiting for a writer or reading without end.
TEST_F(PlantedFaults, UnreadableFilesAreRefused)
{
    const std::vector<std::string> targets = {Data("country2.txt"), Data("scenario3.txt"), Map()};
    const std::vector<std::pair<const char*, std::function<void(const std::string&)>>> kinds = {
        {"missing", [](const std::string&) {}},
        {"a FIFO", [](const std::string& path) { ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0); }},
        {"a folder", [](const std::string& path) { std::filesystem::create_directory(path); }},
        {"a link to /dev/zero", [](const std::string& path) { std::filesystem::create_symlink("/dev/zero", path); }},
        {"too large",
         [](const std::string& path) {
             WriteFileBytes(path, "");
             std::filesystem::resize_file(path, platform::TextFileReader::kMaxSize + 1);
         }},
    };
    for (const auto& [kind, make] : kinds) {
        SCOPED_TRACE(kind);
        for (const std::string& target : targets) {
            std::filesystem::remove_all(target);
            make(target);
        }
        // A checker that opens a FIFO waits for a writer: it is given one with nothing
        // to say, so that it goes on, and is caught by what it reports then.
        std::atomic<bool> checked{false};
        std::thread writer([&] {
            while (!checked) {
                for (const std::string& target : targets) {
                    const int fd = ::open(target.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
                    if (fd >= 0)
                        ::close(fd);
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
        });
        const CheckReport r = Check();
        checked = true;
        writer.join();
        EXPECT_EQ(Count(r, Data("country2.txt"), 0, "cannot be read"), 1) << Listing(r);
        EXPECT_EQ(Count(r, Data("scenario3.txt"), 0, "cannot be read"), 1) << Listing(r);
        EXPECT_EQ(Count(r, Map(), 0, "cannot read the map"), 1) << Listing(r);
        EXPECT_FALSE(r.mapRead);
        EXPECT_EQ(r.faults.size(), targets.size()) << Listing(r);
    }
}

TEST_F(PlantedFaults, MapRules)
{
    mapkit::Point brokenBorder{};
    EditMap([&](mapkit::MapImage& m) {
        // A speck of 徐州's colour out at sea.
        m.Set(370, 300, kRegionKeyColours[3]);
        // Part of a border line between two countries painted over.
        for (int y = 0; y < m.height && brokenBorder.x == 0; ++y) {
            for (int x = 1; x + 1 < m.width; ++x) {
                const int left = mapkit::KeyIndexOf(m.At(x - 1, y));
                const int right = mapkit::KeyIndexOf(m.At(x + 1, y));
                if (m.At(x, y) == mapkit::kOutlineColour && left >= 0 && right >= 0 && left != right) {
                    m.Set(x, y, m.At(x - 1, y));
                    brokenBorder = {x, y};
                    break;
                }
            }
        }
        // Something drawn where the status panel goes.
        m.Set(450, 200, mapkit::kOutlineColour);
    });
    CheckReport r = Check();
    EXPECT_EQ(Count(r, Map(), 0, "country 3 (key colour 0,128,0) is split into 2 areas; a stray piece at (370,300)"), 1)
        << Listing(r);
    EXPECT_EQ(Count(r, Map(), 0,
                    "touch with no border line, first at (" + std::to_string(brokenBorder.x) + "," +
                        std::to_string(brokenBorder.y) + ")"),
              1)
        << Listing(r);
    EXPECT_EQ(Count(r, Map(), 0, "under the status panel"), 1) << Listing(r);
    EXPECT_EQ(Count(r, Map(), 0, "the first (450,200) is not background"), 1) << Listing(r);

    // Coast without its outline, and too little background.
    EditMap([](mapkit::MapImage& m) {
        for (int y = 0; y < m.height; ++y) {
            for (int x = 0; x < m.width; ++x) {
                if (m.At(x, y) == mapkit::kOutlineColour)
                    m.Set(x, y, mapkit::kBackgroundColour);
                else if (x > 400 && m.At(x, y) == mapkit::kBackgroundColour)
                    m.Set(x, y, MakeColour(255, 255, 255));
            }
        }
    });
    r = Check();
    EXPECT_EQ(Count(r, Map(), 0, "touch the background with no outline"), 1) << Listing(r);
    EXPECT_EQ(Count(r, Map(), 0, "no pixel has the outline colour"), 1) << Listing(r);
    EXPECT_EQ(Count(r, Map(), 0, "should cover between 50% and 85%"), 1) << Listing(r);
}

} // namespace
