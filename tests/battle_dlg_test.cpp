// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QLabel>
#include <QTest>

#include <algorithm>
#include <map>

#include "gui_test_support.h"
#include "model/country_file.h"
#include "platform/clock.h"
#include "platform/resources.h"
#include "test_world.h"
#include "view/battle/battle_dlg.h"
#include "world_fixture.h"

namespace {

QString LabelText(QWidget* w, const char* name) { return w->findChild<QLabel*>(QString::fromLatin1(name))->text(); }
QString Line(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<int>(s.size())); }

struct Outcome {
    int attackerSoldiers;
    int targetSoldiers;
    QString attackerLine;
    QString targetLine;
};

// The same battle fought by the script alone, from the same second of the clock.
Outcome Reference(GameState& world, int attacker, int target, std::int64_t clock)
{
    platform::FixClock(clock);
    BattleScript script(world, attacker, target, world.random);
    script.Start();
    script.Finish();
    return {script.m_nAttackerSoldiers, script.m_nTargetSoldiers, QString::fromStdString(script.m_strAttackerLine),
            QString::fromStdString(script.m_strTargetLine)};
}

} // namespace

class BattleDlgTest : public WorldTest {
protected:
    void SetUp() override
    {
        WorldTest::SetUp();
        ApplyWorld(world, MakeTestWorld());
        BuildRulerTable(world);
    }
    void TearDown() override
    {
        platform::UseRealClock();
        WorldTest::TearDown();
    }
    // Fights attacker against target in the window; the window's labels at the end.
    Outcome Fight(int attacker, int target, std::int64_t clock, int stepMs, std::function<void(CBattleDlg*)> act = {})
    {
        platform::FixClock(clock);
        BattleScript script(world, attacker, target, world.random);
        CBattleDlg dlg(script);
        dlg.SetStepInterval(stepMs);
        ModalScript driver;
        if (act) {
            driver.Then<CBattleDlg>(act);
            driver.Start();
        }
        dlg.exec();
        EXPECT_FALSE(dlg.Abandoned());
        return {script.m_nAttackerSoldiers, script.m_nTargetSoldiers, LabelText(&dlg, "attackerLine"),
                LabelText(&dlg, "targetLine")};
    }
};

TEST_F(BattleDlgTest, ShowsBothSidesAndSpeaksTheScriptsLines)
{
    // Different clocks give different fights; each must match the script fought alone.
    for (std::int64_t clock : {1'700'000'000, 1'700'000'123, 1'700'004'567}) {
        const Outcome expected = Reference(world, 1, 0, clock);
        const Outcome shown = Fight(1, 0, clock, 1);
        EXPECT_EQ(shown.attackerSoldiers, expected.attackerSoldiers);
        EXPECT_EQ(shown.targetSoldiers, expected.targetSoldiers);
        EXPECT_EQ(shown.attackerLine, expected.attackerLine);
        EXPECT_EQ(shown.targetLine, expected.targetLine);
        // The closing lines follow the outcome.
        const bool taken = expected.targetSoldiers == 0;
        const bool repelled = !taken && expected.attackerSoldiers == 0;
        const int v = expected.attackerLine == Line(kBattleEndLines[1]) || expected.attackerLine == Line(kBattleEndLines[5]) ||
                              expected.targetLine == Line(kBattleEndLines[7]) || expected.targetLine == Line(kBattleEndLines[11])
                          ? 1
                          : 0;
        if (taken)
            EXPECT_EQ(shown.targetLine, Line(kBattleEndLines[6 + v]));
        else if (repelled)
            EXPECT_EQ(shown.attackerLine, Line(kBattleEndLines[8 + v]));
        else
            EXPECT_EQ(shown.targetLine, Line(kBattleEndLines[10 + v]));
    }

    platform::FixClock(1'700'000'000);
    BattleScript script(world, 1, 0, world.random);
    CBattleDlg dlg(script);
    dlg.SetStepInterval(1);
    ModalScript driver;
    driver.Then<CBattleDlg>([](CBattleDlg* d) {
        EXPECT_EQ(d->windowTitle(), QStringLiteral("戦争"));
        EXPECT_EQ(LabelText(d, "attacker"), QStringLiteral("1"));
        EXPECT_EQ(LabelText(d, "target"), QStringLiteral("0"));
        EXPECT_EQ(LabelText(d, "attackerName"), QStringLiteral("豫州"));
        EXPECT_EQ(LabelText(d, "targetName"), QStringLiteral("司隷"));
        EXPECT_EQ(LabelText(d, "attackerRuler"), QStringLiteral("曹操"));
        EXPECT_EQ(LabelText(d, "targetRuler"), QStringLiteral("劉備"));
    });
    driver.Start();
    dlg.exec();
    EXPECT_TRUE(driver.Done());
}

TEST_F(BattleDlgTest, EnterOrEscapeFinishesTheBattleAsTheTimerWould)
{
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        const Outcome expected = Reference(world, 1, 0, 1'700'000'042);
        QElapsedTimer timer;
        timer.start();
        const Outcome shown = Fight(1, 0, 1'700'000'042, 60'000, [key](CBattleDlg* d) { QTest::keyClick(d, key); });
        EXPECT_LT(timer.elapsed(), 5000);
        EXPECT_EQ(shown.attackerSoldiers, expected.attackerSoldiers);
        EXPECT_EQ(shown.targetSoldiers, expected.targetSoldiers);
        EXPECT_EQ(shown.targetLine, expected.targetLine);
    }
}

TEST_F(BattleDlgTest, ASideWithoutSoldiersClosesAtTheFirstStepUnfought)
{
    world.countries[0].SetSoldiers(0);
    QElapsedTimer timer;
    timer.start();
    const Outcome shown = Fight(1, 0, 1'700'000'000, 200);
    EXPECT_GE(timer.elapsed(), 190);
    EXPECT_LT(timer.elapsed(), 2000);
    EXPECT_EQ(shown.targetSoldiers, 0);
    EXPECT_EQ(shown.attackerSoldiers, world.countries[1].GetSoldiers());
    EXPECT_TRUE(shown.attackerLine.isEmpty());
    EXPECT_TRUE(shown.targetLine.isEmpty());
}

TEST_F(BattleDlgTest, AbandoningChangesNothingAndCountsArePaddedToSix)
{
    platform::FixClock(1'700'000'000);
    BattleScript script(world, 1, 0, world.random);
    const int before = script.m_nTargetSoldiers;
    CBattleDlg dlg(script);
    dlg.SetStepInterval(60'000);
    ModalScript driver;
    driver.Then<CBattleDlg>([](CBattleDlg* d) { d->Abandon(); });
    driver.Start();
    dlg.exec();
    EXPECT_TRUE(dlg.Abandoned());
    EXPECT_EQ(script.m_nTargetSoldiers, before);
    EXPECT_EQ(CBattleDlg::CountText(1234), QStringLiteral("  1234"));
    EXPECT_EQ(CBattleDlg::CountText(1234567), QStringLiteral("1234567"));
}

TEST_F(BattleDlgTest, CountsStayClearOfThePortraitsAndInsideTheWindow)
{
    platform::FixClock(1'700'000'000);
    for (const int soldiers : {0, 43'776, 999'999, 2'147'483'647}) {
        world.countries[0].SetSoldiers(soldiers);
        world.countries[1].SetSoldiers(soldiers);
        BattleScript script(world, 1, 0, world.random);
        CBattleDlg dlg(script);
        dlg.SetStepInterval(60'000);
        QList<QRect> portraits;
        ModalScript driver;
        driver.Then<CBattleDlg>([&](CBattleDlg* d) {
            for (QLabel* label : d->findChildren<QLabel*>())
                if (!label->pixmap().isNull())
                    portraits << label->geometry();
            for (int side = 0; side < 2; ++side) {
                const QRect count = d->CountRect(side);
                EXPECT_TRUE(d->rect().contains(count)) << soldiers << " side " << side;
                for (const QRect& portrait : portraits)
                    EXPECT_FALSE(count.intersects(portrait)) << soldiers << " side " << side;
            }
            d->Abandon();
        });
        driver.Start();
        dlg.exec();
        EXPECT_EQ(portraits.size(), 2);
    }
}

TEST_F(BattleDlgTest, TheAttackerStandsOnTheLeftAndTheDefenderOnTheRight)
{
    // 豫州 (1) of 曹操 (ruler 2) attacks 司隷 (0) of 劉備 (ruler 1).
    platform::FixClock(1'700'000'000);
    BattleScript script(world, 1, 0, world.random);
    CBattleDlg dlg(script);
    dlg.SetStepInterval(60'000);
    bool checked = false;
    ModalScript driver;
    driver.Then<CBattleDlg>([&](CBattleDlg* d) {
        const platform::DialogUnits& du = d->Du();
        const struct {
            const char* name;
            QRect place;
        } places[] = {
            {"attacker", du.Rect(91, 7, 11, 11)},     {"attackerName", du.Rect(103, 7, 25, 11)},
            {"attackerRuler", du.Rect(91, 20, 25, 11)}, {"target", du.Rect(216, 7, 11, 11)},
            {"targetName", du.Rect(228, 7, 25, 11)},  {"targetRuler", du.Rect(216, 20, 25, 11)},
        };
        for (const auto& p : places)
            EXPECT_EQ(d->findChild<QLabel*>(QString::fromLatin1(p.name))->geometry(), p.place) << p.name;
        // The lines: the attacker's starts at the left of his half, the defender's ends
        // at the right of his, both on the same row.
        const QRect attackerLine = d->findChild<QLabel*>(QStringLiteral("attackerLine"))->geometry();
        const QRect targetLine = d->findChild<QLabel*>(QStringLiteral("targetLine"))->geometry();
        EXPECT_EQ(attackerLine.topLeft(), du.Rect(62, 33, 85, 11).topLeft());
        EXPECT_EQ(targetLine.right(), du.Rect(172, 33, 81, 11).right());
        EXPECT_EQ(targetLine.y(), attackerLine.y());
        // The side labels and the portraits: the attacker's ruler on the left.
        std::map<QString, QRect> labels;
        QList<QLabel*> pictures;
        for (QLabel* label : d->findChildren<QLabel*>()) {
            if (!label->text().isEmpty())
                labels[label->text()] = label->geometry();
            if (!label->pixmap().isNull())
                pictures << label;
        }
        EXPECT_EQ(labels[QStringLiteral("攻撃側")].topLeft(), du.Rect(62, 9, 22, 8).topLeft());
        EXPECT_EQ(labels[QStringLiteral("守備側")].topLeft(), du.Rect(187, 10, 22, 8).topLeft());
        ASSERT_EQ(pictures.size(), 2);
        std::sort(pictures.begin(), pictures.end(), [](QLabel* a, QLabel* b) { return a->x() < b->x(); });
        EXPECT_EQ(pictures[0]->pos(), du.Rect(7, 7, 49, 71).topLeft());
        EXPECT_EQ(pictures[1]->pos(), du.Rect(259, 7, 49, 71).topLeft());
        EXPECT_EQ(pictures[0]->pixmap().toImage(), platform::LoadResourceImage(135 + 2).convertToFormat(
                                                       pictures[0]->pixmap().toImage().format()));
        EXPECT_EQ(pictures[1]->pixmap().toImage(), platform::LoadResourceImage(135 + 1).convertToFormat(
                                                       pictures[1]->pixmap().toImage().format()));
        EXPECT_LT(d->CountRect(0).right(), d->width() / 2) << "the attacker's count on the left";
        EXPECT_GT(d->CountRect(1).left(), d->width() / 2);
        // A caption and no close box.
        EXPECT_TRUE(d->windowFlags() & Qt::WindowTitleHint);
        EXPECT_FALSE(d->windowFlags() & Qt::WindowCloseButtonHint);
        checked = true;
        d->Abandon();
    });
    driver.Start();
    dlg.exec();
    EXPECT_TRUE(checked);
}

TEST_F(BattleDlgTest, EachSidesTrainingStandsUnderItsCount)
{
    // 豫州 (1) attacks 司隷 (0): the test world's training is 30 + 3 x index.
    platform::FixClock(1'700'000'000);
    BattleScript script(world, 1, 0, world.random);
    CBattleDlg dlg(script);
    dlg.SetStepInterval(60'000);
    ModalScript driver;
    driver.Then<CBattleDlg>([](CBattleDlg* d) {
        const char* const names[] = {"attackerTraining", "targetTraining"};
        const QString expected[] = {QStringLiteral("訓練 33"), QStringLiteral("訓練 30")};
        for (int side = 0; side < 2; ++side) {
            auto* line = d->findChild<QLabel*>(QString::fromLatin1(names[side]));
            ASSERT_NE(line, nullptr);
            EXPECT_EQ(line->text(), expected[side]);
            const QRect count = d->CountRect(side);
            EXPECT_GT(line->y(), count.bottom() - 2) << "under the count, not over it";
            EXPECT_TRUE(d->rect().contains(line->geometry()));
            EXPECT_LE(line->fontMetrics().horizontalAdvance(line->text()), line->width()) << "whole";
            // On the count's side of the window.
            EXPECT_EQ(line->geometry().center().x() < d->width() / 2, side == 0);
        }
        d->Abandon();
    });
    driver.Start();
    dlg.exec();
    EXPECT_TRUE(driver.Done());
}

TEST_F(BattleDlgTest, AfterEnterTheFinalCountsStayAMomentOrUntilTheNextKey)
{
    const Outcome expected = Reference(world, 1, 0, 1'700'000'042);
    for (bool nextKey : {false, true}) {
        SCOPED_TRACE(nextKey);
        platform::FixClock(1'700'000'042);
        BattleScript script(world, 1, 0, world.random);
        CBattleDlg dlg(script);
        dlg.SetStepInterval(60'000); // the battle's own steps never come
        QElapsedTimer sinceEnter;
        qint64 closedAfter = -1;
        QString shownAfterEnter[2];
        ModalScript driver;
        driver.Then<CBattleDlg>([&](CBattleDlg* d) {
            QTest::keyClick(d, Qt::Key_Return);
            sinceEnter.start();
            EXPECT_TRUE(d->Holding());
            EXPECT_TRUE(d->isVisible()) << "the window waits";
            for (int side = 0; side < 2; ++side)
                shownAfterEnter[side] = CBattleDlg::CountText(side == 0 ? d->Script().m_nAttackerSoldiers
                                                                        : d->Script().m_nTargetSoldiers);
            // A repeat of the held-down Enter does not close it.
            QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QString(), true);
            QApplication::sendEvent(d, &repeat);
            EXPECT_TRUE(d->isVisible());
            if (nextKey)
                QTimer::singleShot(200, d, [d] { QTest::keyClick(d, Qt::Key_Space); });
        });
        driver.Start();
        dlg.exec();
        closedAfter = sinceEnter.elapsed();
        EXPECT_EQ(shownAfterEnter[0], CBattleDlg::CountText(expected.attackerSoldiers)) << "the final counts";
        EXPECT_EQ(shownAfterEnter[1], CBattleDlg::CountText(expected.targetSoldiers));
        EXPECT_EQ(script.m_nAttackerSoldiers, expected.attackerSoldiers) << "the same fight as the timer's";
        EXPECT_EQ(script.m_nTargetSoldiers, expected.targetSoldiers);
        EXPECT_FALSE(dlg.Abandoned());
        if (nextKey) {
            EXPECT_GE(closedAfter, 190);
            EXPECT_LT(closedAfter, 1000) << "the next key closes it";
        } else {
            EXPECT_GE(closedAfter, 1400) << "a moment to read the counts";
            EXPECT_LT(closedAfter, 3000);
        }
    }
}
