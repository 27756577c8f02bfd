// SPDX-License-Identifier: GPL-3.0-or-later
// How the main view answers clicks and commands in each of its modes, and the
// message windows the commands show, with their times.
#include <gtest/gtest.h>

#include <QLabel>
#include <QTableWidget>
#include <QTest>

#include "dialogs/message_wnd.h"
#include "dialogs/move_dlg.h"
#include "gui_test_support.h"
#include "message_log.h"
#include "view/battle/battle_dlg.h"
#include "view/commands/command_table.h"
#include "view/windows/own_countries_wnd.h"
#include "words/shown_text.h"
#include "view_fixture.h"

// Country 1 (豫州, ruler 2) is the player's and has the turn. It borders 0 (司隷,
// ruler 1), 2 (冀州, ruler 2, his own) and 8 (益州, ruler 5).
class ViewModesTest : public KivViewTest {
protected:
    void SetUp() override
    {
        KivViewTest::SetUp();
        StartTurnOfCountry1();
        // Every window keeps its real time (the log closes the message windows); the
        // battle steps pass at once.
        view->SetWindowTimes(0, 1);
    }
    QPoint Inside(int country) const { return QPoint(SquareX(country) + 5, kSquareTop + 5); }
    // A point on the outline between country and the next.
    QPoint Border(int country) const { return QPoint(SquareX(country) + kSquareSize, kSquareTop + 5); }
    std::vector<bool> Enabled() const
    {
        std::vector<bool> enabled;
        for (QPushButton* b : Buttons())
            enabled.push_back(b->isEnabled());
        return enabled;
    }
    MessageLog log;
};

TEST_F(ViewModesTest, ARightClickOnlyCancelsAChoice)
{
    const ViewMode others[] = {ViewMode::NoGame, ViewMode::PlayerTurn, ViewMode::ComputerTurns, ViewMode::Victory,
                               ViewMode::GameOver};
    for (ViewMode mode : others) {
        SCOPED_TRACE(static_cast<int>(mode));
        view->mode = mode;
        view->statusText = QStringLiteral("そのまま");
        view->DisableCommands();
        view->landButton->setEnabled(true); // an arrangement no handler would make
        const std::vector<bool> before = Enabled();
        QTest::mouseClick(view.get(), Qt::RightButton, {}, Inside(4));
        EXPECT_EQ(view->mode, mode);
        EXPECT_EQ(view->statusText, QStringLiteral("そのまま"));
        EXPECT_EQ(Enabled(), before);
        EXPECT_EQ(view->marks.shownCountry, 1) << "a right click selects nothing";
    }
    for (ViewMode mode : {ViewMode::ChooseMoveTarget, ViewMode::ChooseAttackTarget}) {
        SCOPED_TRACE(static_cast<int>(mode));
        Choose(mode);
        log.entries.clear();
        view->statusText = QStringLiteral("選択中");
        QTest::mouseClick(view.get(), Qt::RightButton, {}, Inside(4));
        EXPECT_EQ(view->mode, ViewMode::PlayerTurn);
        EXPECT_EQ(view->statusText, QStringLiteral("1 豫州 の番です"));
        EXPECT_EQ(EnabledButtons(), 7);
        EXPECT_EQ(view->marks.shownCountry, 1);
    }
    EXPECT_TRUE(log.entries.empty()) << Show(log.entries);
}

TEST_F(ViewModesTest, AChoiceIgnoresClicksOutsideTheMapAndTakesTheShownCountryOnABorder)
{
    for (ViewMode mode : {ViewMode::ChooseMoveTarget, ViewMode::ChooseAttackTarget}) {
        SCOPED_TRACE(static_cast<int>(mode));
        Choose(mode);
        log.entries.clear();
        view->statusText = QStringLiteral("選択中");
        for (QPoint outside : {QPoint(616, 120), QPoint(20, 440), QPoint(-1, 120), QPoint(700, 500)}) {
            view->OnLButtonDown(outside);
            EXPECT_EQ(view->mode, mode) << outside.x() << "," << outside.y();
            EXPECT_EQ(view->statusText, QStringLiteral("選択中"));
            EXPECT_EQ(EnabledButtons(), 0);
        }
        EXPECT_TRUE(log.entries.empty()) << Show(log.entries);

        // A border is no country: the choice falls on the country shown, the turn
        // country itself, which is no target.
        view->OnLButtonDown(Border(4));
        EXPECT_EQ(view->marks.shownCountry, 1);
        EXPECT_EQ(view->mode, ViewMode::PlayerTurn);
        EXPECT_EQ(EnabledButtons(), 7);
        const bool moving = mode == ViewMode::ChooseMoveTarget;
        EXPECT_EQ(view->statusText, moving ? QStringLiteral("豫州 には移動できません") : QStringLiteral("豫州 には攻撃できません"));
        log.entries.clear();
    }

    // A country shown before the command is the one a border click chooses.
    view->OnLButtonDown(Inside(2));
    ASSERT_EQ(view->marks.shownCountry, 2);
    QString title;
    ModalScript script;
    script.Then<CMoveDlg>([&](CMoveDlg* d) {
        title = d->findChild<QLabel*>(QStringLiteral("title"))->text();
        d->reject();
    });
    script.Start();
    view->OnMove();
    view->OnLButtonDown(Border(5));
    EXPECT_TRUE(script.Done());
    EXPECT_EQ(title, QStringLiteral("豫州 から 冀州 へ移動"));
    EXPECT_EQ(view->statusText, QStringLiteral("1 豫州 の番です"));
}

TEST_F(ViewModesTest, AZeroMoveIsAMoveAndSpendsTheTurn)
{
    Country& source = W().countries[1];
    Country& destination = W().countries[2];
    source.SetTraining(80);
    destination.SetSoldiers(0);
    destination.SetTraining(45);
    const WorldRecord before = CaptureWorld(W(), -1);
    ModalScript script;
    script.Then<CMoveDlg>([](CMoveDlg* d) { QTest::mouseClick(FindButton(d, "決定"), Qt::LeftButton); });
    script.Start();
    view->OnMove();
    view->OnLButtonDown(Inside(2));
    EXPECT_TRUE(script.Done());
    EXPECT_EQ(view->statusText, QStringLiteral("冀州 に物資を移動しました"));
    EXPECT_EQ(view->mode, ViewMode::PlayerTurn);
    EXPECT_EQ(EnabledButtons(), 1);
    EXPECT_TRUE(view->restButton->isEnabled());
    EXPECT_EQ(destination.GetTraining(), 0) << "no soldiers, no training";
    WorldRecord after = CaptureWorld(W(), -1);
    after.countries[2].training = 45;
    EXPECT_EQ(after, before) << "nothing else moved";
}

TEST_F(ViewModesTest, UnificationIsTestedAfterARefusedTarget)
{
    for (Country& c : W().countries)
        c.SetRuler(2);
    W().countries[1].SetFunds(5000);
    W().countries[1].SetProvisions(W().countries[1].GetSoldiers());
    view->OnWar();
    ASSERT_EQ(view->mode, ViewMode::ChooseAttackTarget);
    view->OnLButtonDown(Inside(2)); // his own: no target
    EXPECT_EQ(view->mode, ViewMode::Victory);
    EXPECT_EQ(view->statusText, QStringLiteral("中国全土を統一しました"));
    EXPECT_FALSE(view->restButton->isEnabled());
    // At the end no command is offered.
    for (QPushButton* b : {view->moveButton, view->warButton, view->landButton, view->commerceButton,
                           view->conscriptButton, view->trainButton})
        EXPECT_FALSE(b->isEnabled()) << b->text().toStdString();
    const std::vector<MessageLog::Entry> expected = {M("攻撃先を選択してください", 1000), M("冀州 には攻撃できません", 1500),
                                                     M("中国全土を統一しました", 1500)};
    EXPECT_EQ(log.entries, expected) << Show(log.entries);
    // Their commands do nothing outside the player's turn.
    const WorldRecord before = CaptureWorld(W(), -1);
    QTest::mouseClick(view->landButton, Qt::LeftButton);
    EXPECT_EQ(CaptureWorld(W(), -1), before);
    EXPECT_EQ(view->mode, ViewMode::Victory);
}

TEST_F(ViewModesTest, PromptsStayASecondAndResultsASecondAndAHalf)
{
    // Move: refused, then carried out.
    view->OnMove();
    view->OnLButtonDown(Inside(0));
    ModalScript accept;
    accept.Then<CMoveDlg>([](CMoveDlg* d) { QTest::keyClick(d, Qt::Key_Return); });
    accept.Start();
    view->OnMove();
    view->OnLButtonDown(Inside(2));
    EXPECT_TRUE(accept.Done());

    // War: refused, then fought (益州 has no soldiers and falls).
    ReachTurn(1);
    Country& a = W().countries[1];
    a.SetFunds(5000);
    a.SetProvisions(a.GetSoldiers());
    view->OnWar();
    view->OnLButtonDown(Inside(2));
    W().countries[8].SetSoldiers(0);
    view->OnWar();
    view->OnLButtonDown(Inside(8));
    ASSERT_EQ(W().countries[8].GetRuler(), 2);

    // The player's last country falls.
    for (Country& c : W().countries)
        if (c.GetRuler() == 2)
            c.SetRuler(3);
    view->mode = ViewMode::ComputerTurns;
    ReachTurn(4);

    const std::vector<MessageLog::Entry> expected = {
        M("移動先を選択してください", 1000), M("司隷 には移動できません", 1500),
        M("移動先を選択してください", 1000), M("冀州 に物資を移動しました", 1500),
        M("攻撃先を選択してください", 1000), M("冀州 には攻撃できません", 1500),
        M("攻撃先を選択してください", 1000), M("益州 の攻略は成功です", 1500),
        M("ゲームオーバーです", 1000),
    };
    EXPECT_EQ(log.entries, expected) << Show(log.entries);
}

TEST_F(ViewModesTest, TheOwnCountriesListFollowsTheGameAndPointsTheMap)
{
    OwnCountriesWindow wnd(*view, nullptr);
    wnd.show();
    QTableWidget& table = wnd.Table();
    auto listed = [&] {
        std::vector<int> countries;
        for (int row = 0; row < table.rowCount(); ++row)
            countries.push_back(wnd.CountryOf(row));
        return countries;
    };
    auto rowOf = [&](int country) {
        for (int row = 0; row < table.rowCount(); ++row)
            if (wnd.CountryOf(row) == country)
                return row;
        return -1;
    };
    // Each step changes the game as the player would, then the list must show exactly
    // his countries, the turn's marked, with what the country of a row could do.
    struct Step {
        const char* what;
        std::function<void()> act;
        std::vector<int> countries;
        int turn;
        int shortOfProvisions = -1; // a country the war column must say so of
    };
    const Step steps[] = {
        {"his turn at 豫州", [] {}, {1, 2}, 1},
        {"益州 taken by war",
         [&] {
             W().countries[1].SetFunds(5000);
             W().countries[1].SetProvisions(W().countries[1].GetSoldiers());
             W().countries[8].SetSoldiers(0);
             view->OnWar();
             view->OnLButtonDown(Inside(8));
             ASSERT_EQ(W().countries[8].GetRuler(), 2);
         },
         {1, 2, 8}, 1},
        {"his turn at 冀州, 益州 short of provisions",
         [&] {
             W().countries[8].SetSoldiers(100);
             W().countries[8].SetProvisions(0);
             ReachTurn(2);
         },
         {1, 2, 8}, 2, 8},
        {"豫州 lost to 司隷's ruler",
         [&] {
             W().countries[1].SetRuler(1);
             ReachTurn(8);
         },
         {2, 8}, 8, 8},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.act();
        EXPECT_EQ(listed(), step.countries);
        ASSERT_GE(wnd.TurnRow(), 0);
        EXPECT_EQ(wnd.CountryOf(wnd.TurnRow()), step.turn);
        // The war column says what the war command's own test says.
        if (step.shortOfProvisions >= 0) {
            EXPECT_EQ(table.item(rowOf(step.shortOfProvisions), 9)->text(),
                      shown::Text(RefusalWords(CommandBlock::Provisions)));
        }
        // A click on a row, or Enter on it, shows its country in the status panel.
        for (int country : step.countries) {
            const int row = rowOf(country);
            view->marks.shownCountry = -1;
            if (country % 2 == 0) {
                QTest::mouseClick(table.viewport(), Qt::LeftButton, {}, table.visualItemRect(table.item(row, 1)).center());
            } else {
                table.setFocus();
                table.setCurrentCell(row, 1);
                QTest::keyClick(&table, Qt::Key_Return);
            }
            EXPECT_EQ(view->marks.shownCountry.Get(), country);
        }
    }
}
