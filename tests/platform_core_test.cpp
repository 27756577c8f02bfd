// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/clock.h"
#include "platform/message.h"
#include "platform/numbers.h"
#include "platform/random.h"
#include "platform/sjis.h"
#include "platform/text_file.h"
#include "save_faults.h"
#include "test_support.h"

using namespace platform;

TEST(Random, MatchesTheCLibrarySequence)
{
    // The well-known first draws of the C library generator after srand(1).
    Random r(1);
    const int expected[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464};
    for (int value : expected)
        EXPECT_EQ(r.Draw(), value);

    // After srand(12345): the state after one step is 12345 * 214013 + 2531011.
    r.Seed(12345);
    std::uint32_t state = 12345u * 214013u + 2531011u;
    EXPECT_EQ(r.Draw(), static_cast<int>((state >> 16) & 0x7FFF));
    EXPECT_EQ(r.State(), state);
}

TEST(Clock, FixedClockAdvancesOneSecondPerReading)
{
    FixClock(1000);
    EXPECT_EQ(ClockSeconds(), 1000);
    EXPECT_EQ(ClockSeconds(), 1001);
    Random rng;
    GameClock processClock;
    SeedFromClock(rng, processClock);
    EXPECT_EQ(rng.State(), 1002u);

    // A game's own fixed clock goes on from its own readings, whatever the process's
    // clock reads meanwhile.
    GameClock own;
    own.FixFrom(50);
    SeedFromClock(rng, own);
    EXPECT_EQ(rng.State(), 50u);
    EXPECT_EQ(ClockSeconds(), 1003);
    EXPECT_EQ(own.Read(), 51);
    UseRealClock();
    EXPECT_GT(ClockSeconds(), 1'600'000'000);
}

TEST(AtoI, ReadsLikeTheCLibrary)
{
    EXPECT_EQ(AtoI("  42abc"), 42);
    EXPECT_EQ(AtoI("-"), 0);
    EXPECT_EQ(AtoI("+7"), 7);
    EXPECT_EQ(AtoI("abc"), 0);
    EXPECT_EQ(AtoI(""), 0);
    EXPECT_EQ(AtoI("\t\r\n\v\f -13 5"), -13);
    EXPECT_EQ(AtoI("- 5"), 0);
    EXPECT_EQ(AtoI("0x1F"), 0);
    EXPECT_EQ(AtoI("007"), 7);
    EXPECT_FALSE(ParseLeadingInt("abc").hasDigits);
    EXPECT_TRUE(ParseLeadingInt("-0").hasDigits);
}

TEST(AtoI, SaturatesInsteadOfOverflowing)
{
    EXPECT_EQ(AtoI("2147483647"), 2147483647);
    EXPECT_FALSE(ParseLeadingInt("2147483647").overflow);
    EXPECT_EQ(AtoI("-2147483648"), -2147483647 - 1);
    EXPECT_FALSE(ParseLeadingInt("-2147483648").overflow);
    EXPECT_TRUE(ParseLeadingInt("2147483648").overflow);
    EXPECT_TRUE(ParseLeadingInt("-2147483649").overflow);

    const std::string thousandDigits(1000, '9');
    LeadingInt big = ParseLeadingInt(thousandDigits);
    EXPECT_TRUE(big.overflow);
    EXPECT_EQ(big.value, 2147483647);
    EXPECT_EQ(AtoI("-" + thousandDigits), -2147483647 - 1);
    EXPECT_EQ(AtoI(std::string(1000, '0') + "12"), 12);
}

namespace {
std::vector<std::string> ReadAllLines(TextFileReader& reader)
{
    std::vector<std::string> lines;
    std::string line;
    while (reader.ReadLine(line))
        lines.push_back(line);
    return lines;
}
} // namespace

TEST(TextFile, ReadsCrLfAndBareLfAlike)
{
    TextFileReader crlf, lf;
    crlf.OpenText("a\r\n\r\nb c \r\nlast");
    lf.OpenText("a\n\nb c \nlast\n");
    const std::vector<std::string> expected = {"a", "", "b c ", "last"};
    EXPECT_EQ(ReadAllLines(crlf), expected);
    EXPECT_EQ(ReadAllLines(lf), expected);

    TextFileReader empty;
    empty.OpenText("");
    std::string line = "unchanged";
    EXPECT_FALSE(empty.ReadLine(line));

    TextFileReader innerCr;
    innerCr.OpenText("x\ry\r\n");
    EXPECT_EQ(ReadAllLines(innerCr), std::vector<std::string>{"x\ry"});
}

TEST(TextFile, ReportsWhyAFileCannotBeOpened)
{
    TempDir dir;
    TextFileReader reader;
    EXPECT_FALSE(reader.Open(dir.Path("missing.txt")));
    EXPECT_EQ(reader.Error(), OpenError::NotFound);
    EXPECT_FALSE(reader.Open(dir.Path()));
    EXPECT_EQ(reader.Error(), OpenError::NotAFile);
    EXPECT_FALSE(reader.Open(dir.Path("no-such-dir/file.txt")));
    EXPECT_EQ(reader.Error(), OpenError::NotFound);

    WriteFileBytes(dir.Path("ok.txt"), "1\r\n2\r\n");
    ASSERT_TRUE(reader.Open(dir.Path("ok.txt")));
    EXPECT_EQ(ReadAllLines(reader), (std::vector<std::string>{"1", "2"}));
}

TEST(TextFile, RefusesWhatIsNotAPlainFileWithoutWaitingAndSaysWhy)
{
    TempDir dir;
    ASSERT_EQ(::mkfifo(dir.Path("fifo").c_str(), 0600), 0);
    // Should the reader wait for a writer on the pipe, one comes after two seconds, so
    // that the test fails instead of hanging.
    std::atomic<bool> finished{false};
    std::thread rescue([&] {
        for (int i = 0; i < 200 && !finished; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        const int fd = ::open(dir.Path("fifo").c_str(), O_WRONLY | O_NONBLOCK);
        if (fd >= 0)
            ::close(fd);
    });
    const auto start = std::chrono::steady_clock::now();
    TextFileReader reader;
    const bool opened = reader.Open(dir.Path("fifo"));
    const auto waited = std::chrono::steady_clock::now() - start;
    finished = true;
    rescue.join();
    EXPECT_FALSE(opened);
    EXPECT_EQ(reader.Error(), OpenError::NotAFile);
    EXPECT_EQ(reader.ErrorReason(), "通常のファイルではありません");
    EXPECT_LT(waited, std::chrono::milliseconds(1000));

    // A socket, a device that never ends, a folder, a loop of links, a sparse file of
    // 2 GB, a path through a file.
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketPath = dir.Path("socket");
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    std::filesystem::create_symlink("b", dir.Path("a"));
    std::filesystem::create_symlink("a", dir.Path("b"));
    WriteFileBytes(dir.Path("huge"), "");
    std::filesystem::resize_file(dir.Path("huge"), 2ULL << 30);
    WriteFileBytes(dir.Path("plain"), "1\r\n");
    const struct {
        std::string path;
        OpenError error;
        const char* reason;
    } cases[] = {
        {socketPath, OpenError::NotAFile, "通常のファイルではありません"},
        {"/dev/zero", OpenError::NotAFile, "通常のファイルではありません"},
        {dir.Path(), OpenError::NotAFile, "フォルダは読み込めません"},
        {dir.Path("a"), OpenError::Other, "シンボリックリンクが循環しています"},
        {dir.Path("huge"), OpenError::TooLarge, "ファイルが大きすぎます (16 MB まで)"},
        {dir.Path("plain/x"), OpenError::NotFound, "フォルダが見つかりません"},
        {dir.Path("missing"), OpenError::NotFound, "ファイルがありません"},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(reader.Open(c.path)) << c.path;
        EXPECT_EQ(reader.Error(), c.error) << c.path;
        EXPECT_EQ(reader.ErrorReason(), c.reason) << c.path;
    }
    ::close(sock);
    ASSERT_TRUE(reader.Open(dir.Path("plain")));
    EXPECT_EQ(reader.ErrorReason(), "");
}

TEST(TextFile, ASaveThroughALinkWritesTheFileItNamesAndKeepsTheLink)
{
    TempDir dir;
    namespace fs = std::filesystem;
    fs::create_directory(dir.Path("saves"));
    WriteFileBytes(dir.Path("saves/live.txt"), kPreviousSave);
    fs::create_symlink("saves/live.txt", dir.Path("live-link"));         // names a file that exists
    fs::create_symlink("saves/new.txt", dir.Path("dangling-link"));      // names none yet
    fs::create_symlink(dir.Path("dangling-link"), dir.Path("chain-link")); // a link to a link
    fs::create_symlink("nowhere/x.txt", dir.Path("no-folder-link"));     // its folder is missing
    fs::create_symlink("loop-b", dir.Path("loop-a"));
    fs::create_symlink("loop-a", dir.Path("loop-b"));

    std::string error;
    ASSERT_TRUE(WriteLinesAtomically(dir.Path("live-link"), {"live"}, &error)) << error;
    EXPECT_EQ(ReadFileBytes(dir.Path("saves/live.txt")), "live\r\n");
    ASSERT_TRUE(WriteLinesAtomically(dir.Path("dangling-link"), {"new"}, &error)) << error;
    EXPECT_EQ(ReadFileBytes(dir.Path("saves/new.txt")), "new\r\n");
    ASSERT_TRUE(WriteLinesAtomically(dir.Path("chain-link"), {"chained"}, &error)) << error;
    EXPECT_EQ(ReadFileBytes(dir.Path("saves/new.txt")), "chained\r\n");
    for (const char* link : {"live-link", "dangling-link", "chain-link"})
        EXPECT_TRUE(fs::is_symlink(dir.Path(link))) << link << " is still a link";

    const std::vector<std::string> before = Listing(dir.Path());
    EXPECT_FALSE(WriteLinesAtomically(dir.Path("no-folder-link"), {"x"}, &error));
    EXPECT_EQ(error, "フォルダが見つかりません");
    EXPECT_FALSE(WriteLinesAtomically(dir.Path("loop-a"), {"x"}, &error));
    EXPECT_EQ(error, "シンボリックリンクが循環しています");
    EXPECT_EQ(Listing(dir.Path()), before) << "the links stay as they were and nothing is created";
    EXPECT_EQ(TempFilesIn(dir.Path("saves")), std::vector<std::string>{});
}

TEST(TextFile, ASaveRemovesTheTemporaryFilesOfAKilledSaveOfTheSameFile)
{
    TempDir dir;
    // The id of a process that has ended.
    const pid_t gone = ::fork();
    if (gone == 0)
        ::_exit(0);
    ASSERT_GT(gone, 0);
    ASSERT_EQ(::waitpid(gone, nullptr, 0), gone);
    const std::string deadId = std::to_string(gone);
    const std::string liveId = std::to_string(::getppid()); // runs while we do
    const std::vector<std::string> stale = {".save.txt.tmp-" + deadId + "-0", ".save.txt.tmp-" + deadId + "-17"};
    const std::vector<std::string> kept = {
        ".save.txt.tmp-" + liveId + "-0",  // a save in progress elsewhere
        ".other.txt.tmp-" + deadId + "-0", // another file's
        ".save.txt.tmp-" + deadId + "-x",  // not a name the writer makes
        "save.txt.tmp-" + deadId + "-0",
    };
    for (const std::string& name : stale)
        WriteFileBytes(dir.Path(name), std::string(1000, 'x'));
    for (const std::string& name : kept)
        WriteFileBytes(dir.Path(name), "keep");
    std::string error;
    ASSERT_TRUE(WriteLinesAtomically(dir.Path("save.txt"), {"1"}, &error)) << error;
    for (const std::string& name : stale)
        EXPECT_FALSE(std::filesystem::exists(dir.Path(name))) << name;
    for (const std::string& name : kept)
        EXPECT_EQ(ReadFileBytes(dir.Path(name)), "keep") << name;
    EXPECT_EQ(ReadFileBytes(dir.Path("save.txt")), "1\r\n");
}

TEST(TextFile, AReplacedFileKeepsItsOwnerAndPermissions)
{
    TempDir dir;
    const std::string path = dir.Path("save.txt");
    WriteFileBytes(path, kPreviousSave);
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    // Only the superuser may give a file to someone else; the game run as root over a
    // player's save must leave it the player's.
    const bool root = ::geteuid() == 0;
    const uid_t owner = root ? 65534 : ::geteuid();
    const gid_t group = root ? 65534 : ::getegid();
    ASSERT_EQ(::chown(path.c_str(), owner, group), 0);
    std::string error;
    ASSERT_TRUE(WriteLinesAtomically(path, {"2"}, &error)) << error;
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, owner);
    EXPECT_EQ(st.st_gid, group);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(ReadFileBytes(path), "2\r\n");
}

TEST(TextFile, WritesCrLfAndReplacesTheFileWhole)
{
    TempDir dir;
    const std::string path = dir.Path("save.txt");
    std::string error;
    ASSERT_TRUE(WriteLinesAtomically(path, {"1", "", "名前"}, &error)) << error;
    EXPECT_EQ(ReadFileBytes(path), "1\r\n\r\n名前\r\n");

    ASSERT_TRUE(WriteLinesAtomically(path, {"2"}, &error)) << error;
    EXPECT_EQ(ReadFileBytes(path), "2\r\n");
    // No temporary file is left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);

    // A name as long as the file system allows (255 bytes) is written and replaced too:
    // the temporary name beside it must not be longer.
    const std::string longest = dir.Path(std::string(251, 'n') + ".txt");
    ASSERT_TRUE(WriteLinesAtomically(longest, {"1"}, &error)) << error;
    ASSERT_TRUE(WriteLinesAtomically(longest, {"2"}, &error)) << error;
    EXPECT_EQ(ReadFileBytes(longest), "2\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2);
}

TEST(TextFile, FailedWritesKeepThePreviousFileAndLeaveNothingBehind)
{
    TempDir dir;
    for (const SaveFault& fault : MakeSaveFaults(dir)) {
        SCOPED_TRACE(fault.what);
        const std::vector<std::string> before = Listing(dir.Path());
        std::string error;
        EXPECT_FALSE(WriteLinesAtomically(fault.target, {"new"}, &error));
        EXPECT_NE(error.find(fault.reason), std::string::npos) << error;
        if (!fault.previous.empty()) {
            EXPECT_EQ(ReadFileBytes(fault.previous), kPreviousSave);
        }
        EXPECT_EQ(Listing(dir.Path()), before) << "no temporary file, nothing changed";
    }
    EXPECT_EQ(TempFilesIn("/dev"), std::vector<std::string>{});
    struct stat st {};
    ASSERT_EQ(::stat("/dev/full", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode)) << "the device is still a device";

    // A device is never replaced, even one that takes every write.
    std::string error;
    EXPECT_FALSE(WriteLinesAtomically("/dev/null", {"x"}, &error));
    EXPECT_NE(error.find("通常のファイルではない"), std::string::npos) << error;

    // A write that fails half-way, as on a full disk: the temporary file goes, the
    // previous file stays, and the reason is the disk's.
    const std::string save = dir.Path("save.txt");
    WriteFileBytes(save, kPreviousSave);
    const std::vector<std::string> before = Listing(dir.Path());
    const std::vector<std::string> lines(100, std::string(50, 'x')); // 5200 bytes
    {
        FileSizeLimit limit(1000);
        ASSERT_TRUE(limit.Active());
        error.clear();
        EXPECT_FALSE(WriteLinesAtomically(save, lines, &error));
    }
    EXPECT_EQ(error, "ディスクの空き容量が不足しています");
    EXPECT_EQ(ReadFileBytes(save), kPreviousSave);
    EXPECT_EQ(Listing(dir.Path()), before);
    // With room again the same write goes through.
    ASSERT_TRUE(WriteLinesAtomically(save, lines, &error)) << error;
    EXPECT_EQ(ReadFileBytes(save).size(), 5200u);
}

TEST(Sjis, ConvertsTheCodePageBothWays)
{
    // Second bytes of 0x5C and the single bytes of the Windows variant.
    const std::string hyou("\x95\x5C", 2), sou("\x83\x5C\x83\x45", 4), game("\xB9\xDE\xB0\xD1", 4);
    EXPECT_EQ(SjisToUtf8(hyou), "表");
    EXPECT_EQ(SjisToUtf8(sou), "ソウ");
    EXPECT_EQ(SjisToUtf8(game), "ｹﾞｰﾑ");
    EXPECT_EQ(SjisToUtf8("a\\b~"), "a\\b~");
    EXPECT_EQ(Utf8ToSjis("表"), hyou);
    EXPECT_EQ(Utf8ToSjis("ソウ"), sou);
    EXPECT_EQ(Utf8ToSjis("ｹﾞｰﾑ開始(&N)"), std::string("\xB9\xDE\xB0\xD1\x8A\x4A\x8E\x6E(&N)"));
    EXPECT_EQ(Utf8ToSjis("a\\b~"), "a\\b~");
    // Ruler names are kept in Unicode: 瓚 has no code in the code page.
    std::string unused;
    EXPECT_FALSE(Utf8ToSjis("公孫瓚", unused));
    for (std::string_view name : {"劉備", "公孫", "孫権", "中国全土を統一しました", "ﾃﾞｰﾀﾌｧｲﾙが見つかりません"}) {
        std::string bytes;
        EXPECT_TRUE(Utf8ToSjis(name, bytes)) << name;
        EXPECT_EQ(SjisToUtf8(bytes), name);
    }
}

TEST(Sjis, EveryDefinedDoubleByteCodeSurvivesARoundTrip)
{
    int defined = 0;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (lead > 0x9F && lead < 0xE0)
            continue;
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            const std::string code{static_cast<char>(lead), static_cast<char>(trail)};
            const std::string text = SjisToUtf8(code);
            if (text.rfind("\xEF\xBF\xBD", 0) == 0)
                continue; // undefined: the lead byte alone became U+FFFD
            ++defined;
            // Characters with two codes (the NEC and IBM rows) encode to one of them;
            // either way the character itself comes back.
            std::string back;
            ASSERT_TRUE(Utf8ToSjis(text, back)) << lead << "," << trail;
            EXPECT_EQ(SjisToUtf8(back), text);
        }
    }
    EXPECT_EQ(defined, 9604);
}

TEST(Sjis, BadInputNeverBreaksTheOutput)
{
    // A lead byte at the end, a lead byte before an invalid trail, undefined codes.
    EXPECT_EQ(SjisToUtf8(std::string("\x81", 1)), "\xEF\xBF\xBD");
    EXPECT_EQ(SjisToUtf8(std::string("\x81\x7F" "A", 3)), "\xEF\xBF\xBD\x7F" "A");
    EXPECT_EQ(SjisToUtf8(std::string("a\0b", 3)), std::string("a\0b", 3));
    EXPECT_EQ(SjisToUtf8("\xFF"), "\xEF\xA3\xB3"); // U+F8F3, as Windows maps it

    std::string out;
    EXPECT_FALSE(Utf8ToSjis("한국", out)); // Hangul is not in the code page
    EXPECT_EQ(out, "??");
    EXPECT_FALSE(Utf8ToSjis("\xE8\xA1", out)); // truncated UTF-8
    EXPECT_EQ(out, "??");
    EXPECT_FALSE(Utf8ToSjis("\xC0\x80", out)); // overlong form
    EXPECT_EQ(out, "??");
}

TEST(Message, ArgumentsGoInByTheirNumbersAndTheRestStaysAsWritten)
{
    using platform::FillPattern;
    using platform::Message;
    EXPECT_EQ(FillPattern("%1 から %2 へ移動", {"司隷", "荊州"}), "司隷 から 荊州 へ移動");
    EXPECT_EQ(FillPattern("%2 / %1", {"a", "b"}), "b / a");
    // An argument holding "%1" is not filled again.
    EXPECT_EQ(FillPattern("%1 と %2", {"%2", "x"}), "%2 と x");
    // A number without an argument, a percent sign of its own, one at the end, %0.
    EXPECT_EQ(FillPattern("%3 100% %0 %", {"a"}), "%3 100% %0 %");
    EXPECT_EQ(FillPattern("", {"a"}), "");

    const Message turn(VELCOR_TEXT("Message", "%1 %2 の番です"), {Message::Number(10), Message::Plain("荊州")});
    EXPECT_EQ(turn.Text(), "10 荊州 の番です");
    EXPECT_TRUE(turn == "10 荊州 の番です");
    // Plain texts are never patterns: their percent signs stay.
    EXPECT_EQ(Message(VELCOR_TEXT("Message", "%1 を開けません。\n%2"), {Message::Plain("100%1.txt"), Message("理由")}).Text(),
              "100%1.txt を開けません。\n理由");
    // Worded arguments are filled in turn.
    const Message nested(VELCOR_TEXT("Message", "%1 行目: %2"),
                         {Message::Number(7), Message(VELCOR_TEXT("Message", "隣国の数が多すぎます (%1)"), {Message::Number(-3)})});
    EXPECT_EQ(nested.Text(), "7 行目: 隣国の数が多すぎます (-3)");
    EXPECT_TRUE(Message().empty());
    EXPECT_TRUE(Message::Plain("x").plain);
    EXPECT_FALSE(turn.plain);
}
