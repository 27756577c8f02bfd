// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "conduct/game_conductor.h"
#include "model/country_file.h"
#include "session/save_bundle.h"
#include "session/save_companions.h"
#include "test_support.h"
#include "web/web_game.h"

namespace {

// A save and each companion, some with bytes a text reader would change (CR LF, a NUL,
// no line end at the end).
struct Files {
    std::string save;
    std::vector<std::string> companions; // SaveCompanions' order; empty: none
};

void Put(const std::string& savePath, const Files& files)
{
    WriteFileBytes(savePath, files.save);
    const std::vector<std::string> beside = SaveCompanions(savePath);
    for (std::size_t i = 0; i < beside.size(); ++i)
        if (!files.companions[i].empty())
            WriteFileBytes(beside[i], files.companions[i]);
}

Files Taken(const std::string& savePath)
{
    Files files{ReadFileBytes(savePath), {}};
    for (const std::string& path : SaveCompanions(savePath))
        files.companions.push_back(std::filesystem::exists(path) ? ReadFileBytes(path) : std::string());
    return files;
}

// The bytes of the page's answer's field key (a JSON string of one character a byte).
std::string AnswerBytes(const std::string& answer, const std::string& key)
{
    const std::size_t at = answer.find("\"" + key + "\":\"");
    std::string bytes;
    for (std::size_t i = at == std::string::npos ? answer.size() : at + key.size() + 4; i < answer.size() && answer[i] != '"'; ++i) {
        if (answer[i] != '\\') {
            bytes += answer[i];
        } else if (answer[++i] == 'n') {
            bytes += '\n';
        } else if (answer[i] == 'u') {
            bytes += static_cast<char>(std::stoi(answer.substr(i + 1, 4), nullptr, 16));
            i += 4;
        } else {
            bytes += answer[i];
        }
    }
    return bytes;
}

} // namespace

TEST(SaveBundle, ThePageAndTheWindowsOpenEachOthersBundles)
{
    // A hot-seat game at a level of the windows' conductor, bundled, is the page's game
    // to the save's and the seats' bytes; the page's bundle of it opens in the windows'
    // conductor to the same bytes again.
    const std::string data = VELCOR_SOURCE_DIR "/data";
    TempDir dir;
    Seats seats{};
    seats[1] = Seat::Person();
    seats[2] = Seat::Person();
    seats[3] = Seat::Computer(Difficulty::Hard);
    GameConductor windows;
    platform::Message why;
    ASSERT_TRUE(windows.NewGame(CountryFilePath(data, 1), seats, 1, &why)) << why.Text();
    ASSERT_TRUE(windows.SaveGame(dir.Path("w.txt"), &why)) << why.Text();
    std::string made;
    std::string error;
    ASSERT_TRUE(bundle::BundleSave(dir.Path("w.txt"), made, &error)) << error;

    std::filesystem::create_directories(dir.Path("page"));
    web::WebGame page(data, dir.Path("page"));
    const std::string loaded = page.LoadBundle(made, "w.velcor");
    ASSERT_EQ(loaded.find("\"error\""), std::string::npos) << loaded.substr(0, 300);
    const std::string answer = page.Bundle();
    const std::string back = AnswerBytes(answer, "bundle");
    ASSERT_TRUE(bundle::Read(back, &why)) << why.Text() << answer.substr(0, 300);
    ASSERT_TRUE(bundle::Unpack(back, dir.Path("p.txt"), &why)) << why.Text();
    for (const auto& [ours, theirs] : {std::pair{dir.Path("w.txt"), dir.Path("p.txt")},
                                       std::pair{SeatsFileName(dir.Path("w.txt")), SeatsFileName(dir.Path("p.txt"))}})
        EXPECT_EQ(ReadFileBytes(theirs), ReadFileBytes(ours)) << theirs;

    GameConductor again;
    ASSERT_TRUE(again.LoadGame(dir.Path("p.txt"), &why)) << why.Text();
    EXPECT_EQ(again.World().seats, seats);
    ASSERT_TRUE(again.SaveGame(dir.Path("a.txt"), &why)) << why.Text();
    EXPECT_EQ(ReadFileBytes(dir.Path("a.txt")), ReadFileBytes(dir.Path("w.txt")));

    // A bundle the page cannot trust is refused with the game it plays as it was.
    const std::string cut = page.LoadBundle(made.substr(0, made.size() - 1), "cut.velcor");
    EXPECT_NE(cut.find("\"error\""), std::string::npos);
    EXPECT_EQ(AnswerBytes(page.Bundle(), "bundle"), back);
}

TEST(SaveBundle, CarriesTheSaveAndItsCompanionsByteForByte)
{
    // Bundled and unpacked over a save with every companion of another game: the same
    // files' bytes, and no companion of the other game left beside it.
    const std::string save = "1\r\n2\r\n\x82\xa0\0x";
    const Files cases[] = {
        {save, {"", "", "", ""}},
        {save, {"{\"a\":1}\n{\"b\":2}\n", "HARD\r\n1 2\r\n", "", ""}},
        {save, {"c\n", "d", "s\r\n", std::string("r\0\r\n", 4)}},
    };
    for (const Files& files : cases) {
        TempDir from;
        TempDir to;
        Put(from.Path("a.txt"), files);
        Put(to.Path("b.txt"), {"old", {"old", "old", "old", "old"}});
        std::string made;
        std::string error;
        ASSERT_TRUE(bundle::BundleSave(from.Path("a.txt"), made, &error)) << error;
        platform::Message why;
        ASSERT_TRUE(bundle::Unpack(made, to.Path("b.txt"), &why)) << why;
        const Files back = Taken(to.Path("b.txt"));
        EXPECT_EQ(back.save, files.save);
        EXPECT_EQ(back.companions, files.companions);
    }
}

TEST(SaveBundle, RefusesWhatItCannotTrustAndWritesNothing)
{
    TempDir dir;
    const Files kept{"kept", {"k", "k", "k", "k"}};
    const std::string good = bundle::Write({{"save", "abc"}, {"seats", "s"}});
    const std::string big(bundle::kMaxPartSize + 1, 'x');
    struct Case {
        const char* name;
        std::string bytes;
    };
    const Case cases[] = {
        {"a plain save", "abc\r\n"},
        {"another version", "VELCOR-BUNDLE 2\nsave 3 352441c2\n\nabc"},
        {"version not a number", "VELCOR-BUNDLE -1\nsave 3 352441c2\n\nabc"},
        {"cut in the head", good.substr(0, 20)},
        {"cut in a part", good.substr(0, good.size() - 1)},
        {"bytes left over", good + "z"},
        {"size that disagrees", bundle::Write({{"save", "abc"}}).replace(21, 1, "2")},
        {"crc that disagrees", bundle::Write({{"save", "abc"}}).replace(25, 1, "0")},
        {"bytes that disagree", bundle::Write({{"save", "abc"}}).replace(33, 1, "x")},
        {"part named twice", bundle::Write({{"save", "abc"}, {"save", "abc"}})},
        {"unknown part", bundle::Write({{"save", "abc"}, {"../x", "y"}})},
        {"no save", bundle::Write({{"seats", "s"}})},
        {"signed size", "VELCOR-BUNDLE 1\nsave +3 352441c2\n\nabc"},
        {"size spelled otherwise", "VELCOR-BUNDLE 1\nsave 03 352441c2\n\nabc"},
        {"crc spelled otherwise", "VELCOR-BUNDLE 1\nsave 3 352441C2\n\nabc"},
        {"head without end", "VELCOR-BUNDLE 1\n" + std::string(2000, 'a')},
        {"oversized part", bundle::Write({{"save", big}})},
        {"oversized whole", std::string("VELCOR-BUNDLE 1\n") + std::string(bundle::kMaxBundleSize, '\n')},
    };
    ASSERT_EQ(bundle::Write({{"save", "abc"}}).substr(16, 18), "save 3 352441c2\n\na") << "the cases' offsets";
    std::set<std::string> reasons;
    for (const Case& c : cases) {
        Put(dir.Path("g.txt"), kept);
        platform::Message why;
        EXPECT_FALSE(bundle::Unpack(c.bytes, dir.Path("g.txt"), &why)) << c.name;
        EXPECT_FALSE(why.empty()) << c.name;
        reasons.insert(why.Text());
        const Files after = Taken(dir.Path("g.txt"));
        EXPECT_EQ(after.save, kept.save) << c.name;
        EXPECT_EQ(after.companions, kept.companions) << c.name;
    }
    // Each kind of fault told in its own words (the two cuts alike, the sizes alike).
    EXPECT_GE(reasons.size(), 10u);
}
