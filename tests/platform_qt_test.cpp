// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QSettings>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QThread>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "gui_test_support.h"
#include "platform/dialog_units.h"
#include "platform/fonts.h"
#include "platform/settings.h"
#include "platform/sjis.h"
#include "platform/sync_call.h"

using platform::UiCaller;

TEST(UiCaller, RunsTheFunctionOnTheInterfaceThreadWhileTheCallerWaits)
{
    UiCaller caller;
    QThread* interfaceThread = QThread::currentThread();
    int value = 0; // written on the interface thread, read by the worker after the call
    std::atomic<bool> ranOnInterface{false};
    std::atomic<bool> workerDone{false};
    int seenByWorker = -1;
    std::thread worker([&] {
        const bool ok = caller.Call([&] {
            ranOnInterface = QThread::currentThread() == interfaceThread;
            value = 42;
        });
        seenByWorker = ok ? value : -2;
        workerDone = true;
    });
    EXPECT_TRUE(WaitUntil([&] { return workerDone.load(); }));
    worker.join();
    EXPECT_TRUE(ranOnInterface);
    EXPECT_EQ(seenByWorker, 42);

    // On the interface thread itself the function simply runs.
    bool direct = false;
    EXPECT_TRUE(caller.Call([&] { direct = true; }));
    EXPECT_TRUE(direct);
}

TEST(UiCaller, CancelDropsACallThatHasNotStarted)
{
    UiCaller caller;
    std::atomic<bool> ran{false};
    std::atomic<int> result{-1};
    std::thread worker([&] { result = caller.Call([&] { ran = true; }) ? 1 : 0; });
    // The interface thread does not process events: the call stays pending.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    caller.Cancel();
    worker.join(); // returns without the interface thread's help
    EXPECT_EQ(result, 0);
    QApplication::processEvents();
    EXPECT_FALSE(ran) << "a cancelled call must never run later";
    EXPECT_FALSE(caller.Call([] {})) << "calls after a cancel are refused";
    caller.Resume();
    EXPECT_TRUE(caller.Call([] {}));
}

TEST(UiCaller, CancelWaitsForACallThatIsRunning)
{
    UiCaller caller;
    std::vector<int> order;
    std::mutex orderMutex;
    auto note = [&](int step) {
        std::lock_guard lock(orderMutex);
        order.push_back(step);
    };
    std::atomic<bool> workerDone{false};
    std::thread worker([&] {
        caller.Call([&] {
            // The program is closing while this window is open.
            caller.Cancel();
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            note(1);
        });
        note(2);
        workerDone = true;
    });
    EXPECT_TRUE(WaitUntil([&] { return workerDone.load(); }));
    worker.join();
    EXPECT_EQ(order, (std::vector<int>{1, 2})) << "the worker's data must outlive the running call";
}

TEST(Fonts, AJapaneseGothicWithEightAndSixteenPixelCells)
{
    ASSERT_FALSE(platform::FixedFamily().isEmpty());
    ASSERT_FALSE(platform::ProportionalFamily().isEmpty());
    const QFont system = platform::Font(platform::GameFont::System);
    EXPECT_EQ(QFontInfo(system).family(), platform::FixedFamily());
    QFontMetrics metrics(system);
    EXPECT_EQ(metrics.horizontalAdvance(QStringLiteral("国")), 16);
    EXPECT_EQ(metrics.horizontalAdvance(QStringLiteral("8")), 8);
    EXPECT_EQ(QFontMetrics(platform::Font(platform::GameFont::BattleCounts)).horizontalAdvance(QStringLiteral("0")), 10);
}

TEST(DialogUnits, FollowTheFontsAverageWidthAndHeight)
{
    const QFont dialog = platform::Font(platform::GameFont::Dialog);
    platform::DialogUnits du(dialog);
    EXPECT_EQ(du.BaseY(), QFontMetrics(dialog).height());
    EXPECT_GE(du.BaseX(), 4);
    EXPECT_LE(du.BaseX(), 9);
    EXPECT_EQ(du.X(4), du.BaseX());
    EXPECT_EQ(du.Y(8), du.BaseY());
    EXPECT_EQ(du.Rect(7, 7, 102, 8), QRect(du.X(7), du.Y(7), du.X(102), du.Y(8)));
    // A larger font gives larger units.
    platform::DialogUnits large(platform::Font(platform::GameFont::DialogLarge));
    EXPECT_GT(large.Size(116, 22).width(), du.Size(116, 22).width());
}

TEST(Sjis, AgreesWithTheSystemsCodePage932)
{
    // Every defined code decodes to the same character as the system converter (ICU's
    // Windows mapping, through Qt), and every such character encodes to the same bytes.
    int compared = 0;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (lead > 0x9F && lead < 0xE0)
            continue;
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            const QByteArray code{static_cast<char>(lead), static_cast<char>(trail)};
            const std::string ours = platform::SjisToUtf8(code.toStdString());
            if (ours.rfind("\xEF\xBF\xBD", 0) == 0)
                continue;
            QStringDecoder decoder("windows-31j");
            const QString theirs = decoder.decode(code);
            ASSERT_FALSE(decoder.hasError()) << lead << "," << trail;
            EXPECT_EQ(QString::fromStdString(ours), theirs) << lead << "," << trail;
            QStringEncoder encoder("windows-31j");
            const QByteArray encoded = encoder.encode(theirs);
            EXPECT_EQ(platform::Utf8ToSjis(ours), encoded.toStdString()) << lead << "," << trail;
            ++compared;
        }
    }
    EXPECT_GT(compared, 9000);
}

TEST(Settings, RecentFilesKeepTheNewestFourWithoutRepeats)
{
    namespace s = platform::settings;
    s::SetRecentFiles({});
    for (const char* f : {"/a.txt", "/b.txt", "/c.txt", "/d.txt", "/e.txt"})
        s::AddRecentFile(QString::fromLatin1(f));
    EXPECT_EQ(s::RecentFiles(), (QStringList{"/e.txt", "/d.txt", "/c.txt", "/b.txt"}));
    s::AddRecentFile(QStringLiteral("/c.txt")); // used again: moves to the front, no copy
    EXPECT_EQ(s::RecentFiles(), (QStringList{"/c.txt", "/e.txt", "/d.txt", "/b.txt"}));
    s::SetRecentFiles({});
    EXPECT_TRUE(s::RecentFiles().isEmpty());
}

TEST(Settings, StoredValuesOutsideTheirRangeReadAsTheDefault)
{
    namespace s = platform::settings;
    QSettings raw;
    raw.setValue("Settings/Zoom", 7);
    raw.setValue("Settings/Speed", -1);
    raw.setValue("Settings/Language", "fr");
    EXPECT_EQ(s::Zoom(), 0);
    EXPECT_EQ(s::Speed(), s::GameSpeed::Normal);
    EXPECT_EQ(s::Language(), QString());
    s::SetZoom(9); // a setter keeps the value in range
    EXPECT_EQ(s::Zoom(), s::kMaxZoom);
    s::SetSpeed(s::GameSpeed::Fastest);
    EXPECT_EQ(s::Speed(), s::GameSpeed::Fastest);
    raw.remove("Settings");
}
