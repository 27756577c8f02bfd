// SPDX-License-Identifier: GPL-3.0-or-later
// Test main for suites that need a QApplication: Qt's offscreen platform unless the
// environment asks for another one, so the tests run without a display. Beside the
// platform's own 800 x 800 screen, the primary one, lies a 1920 x 1080 screen to its
// right ("wide") and a 1366 x 768 one below both ("laptop"), for the windows that
// must fit the screen that shows them.
#include <QApplication>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include "gui_test_support.h"
#include "private_home.h"

namespace {

// Ends the waits for a modal window that a test left behind.
class ModalWaitsReaper : public ::testing::EmptyTestEventListener {
    void OnTestEnd(const ::testing::TestInfo&) override
    {
        qDeleteAll(PendingModalActions().findChildren<QTimer*>(Qt::FindDirectChildrenOnly));
    }
};

} // namespace

int main(int argc, char** argv)
{
    // Each test process has folders of its own, so that runs at the same time never
    // meet in Qt's per-user test folders.
    const PrivateHome home;
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new ModalWaitsReaper);
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (platform.isEmpty() || platform == "offscreen")
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" VELCOR_TEST_SCREENS);
    // The windows speak the game's own Japanese unless a test chooses English; the
    // system's language is read from LANGUAGE first.
    qputenv("LANGUAGE", "ja");
    QApplication app(argc, argv);
    // Settings the tests write go to a test location, never the player's.
    QStandardPaths::setTestModeEnabled(true);
    QApplication::setOrganizationName(QStringLiteral("Brakka"));
    QApplication::setApplicationName(QStringLiteral("VelcorTests"));
    return RUN_ALL_TESTS();
}
