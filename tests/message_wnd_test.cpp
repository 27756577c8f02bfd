// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QLabel>
#include <QTest>

#include "dialogs/message_wnd.h"
#include "gui_test_support.h"

namespace {
// Shows the window with the given time and returns how long exec took.
qint64 TimedExec(CMessageWnd& wnd, int* result = nullptr)
{
    QElapsedTimer timer;
    timer.start();
    const int r = wnd.exec();
    if (result)
        *result = r;
    return timer.elapsed();
}
} // namespace

TEST(MessageWnd, ClosesByItselfAfterItsTime)
{
    for (int elapse : {100, 300}) {
        CMessageWnd wnd;
        wnd.m_strText = QStringLiteral("移動先を選択してください");
        wnd.m_nElapse = elapse;
        int result = -1;
        const qint64 took = TimedExec(wnd, &result);
        EXPECT_GE(took, elapse - 5);
        EXPECT_LT(took, elapse + 500);
        EXPECT_EQ(result, QDialog::Accepted);
        EXPECT_FALSE(wnd.TimerActive());
        EXPECT_EQ(wnd.findChild<QLabel*>(QStringLiteral("text"))->text(), wnd.m_strText);
    }
    CMessageWnd defaults;
    EXPECT_EQ(defaults.m_nElapse, 1000);
    EXPECT_TRUE(defaults.m_strText.isEmpty());
}

TEST(MessageWnd, AClickOrAKeyClosesItAtOnce)
{
    struct Case {
        const char* what;
        std::function<void(QWidget*)> input;
        int expected;
    };
    const Case cases[] = {
        {"click on the text",
         [](QWidget* w) { QTest::mouseClick(w->findChild<QLabel*>(QStringLiteral("text")), Qt::LeftButton); },
         QDialog::Accepted},
        {"click beside the text", [](QWidget* w) { QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(2, 2)); },
         QDialog::Accepted},
        {"Enter", [](QWidget* w) { QTest::keyClick(w, Qt::Key_Return); }, QDialog::Accepted},
        {"Escape", [](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); }, QDialog::Rejected},
    };
    for (const Case& c : cases) {
        CMessageWnd wnd;
        wnd.m_strText = QStringLiteral("益州 が攻撃されています");
        wnd.m_nElapse = 5000;
        OnModal(c.input);
        int result = -1;
        EXPECT_LT(TimedExec(wnd, &result), 2000) << c.what;
        EXPECT_EQ(result, c.expected) << c.what;
        EXPECT_FALSE(wnd.TimerActive()) << c.what;
    }

    // A right click does nothing: the window waits for its time.
    CMessageWnd wnd;
    wnd.m_nElapse = 300;
    OnModal([](QWidget* w) { QTest::mouseClick(w, Qt::RightButton); });
    EXPECT_GE(TimedExec(wnd), 295);
}

TEST(MessageWnd, IsCentredOnItsOwnerAndFitsItsLine)
{
    QWidget owner;
    owner.setGeometry(100, 100, 616, 440);
    owner.show();
    CMessageWnd wnd(&owner);
    wnd.m_strText = QString(30, QChar(0x56FD)); // thirty full-width characters
    wnd.m_nElapse = 50;
    QRect shownAt;
    QRect label;
    OnModal([&](QWidget* w) {
        shownAt = w->frameGeometry();
        label = w->findChild<QLabel*>(QStringLiteral("text"))->geometry();
    });
    wnd.exec();
    ASSERT_TRUE(shownAt.isValid());
    EXPECT_LE((shownAt.center() - owner.frameGeometry().center()).manhattanLength(), 2);
    EXPECT_GE(label.width(), QFontMetrics(wnd.font()).horizontalAdvance(wnd.m_strText));
}
