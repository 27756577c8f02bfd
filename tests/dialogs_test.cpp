// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QTest>

#include "dialogs/move_dlg.h"
#include "dialogs/ruler_dlg.h"
#include "dialogs/scenario_dlg.h"
#include "gui_test_support.h"
#include "test_support.h"

namespace {

QPushButton* ButtonWithText(QWidget* parent, const QString& text)
{
    for (QPushButton* button : parent->findChildren<QPushButton*>())
        if (button->text() == text)
            return button;
    ADD_FAILURE() << "no button " << text.toStdString();
    return nullptr;
}

void Click(QWidget* parent, const char* text) { QTest::mouseClick(ButtonWithText(parent, QString::fromUtf8(text)), Qt::LeftButton); }


} // namespace

TEST(ScenarioDlg, AsksForAChoiceThenReturnsIt)
{
    CScenarioDlg dlg;
    QStringList messages;
    ModalScript script;
    script.Then<CScenarioDlg>([](CScenarioDlg* d) { Click(d, "選択"); })
        .Then<QMessageBox>(NoteAndClose(messages))
        .Then<CScenarioDlg>([](CScenarioDlg* d) {
            QTest::mouseClick(Child<QPushButton>(d, "scenario0"), Qt::LeftButton);
            QTest::mouseClick(Child<QPushButton>(d, "scenario1"), Qt::LeftButton);
            EXPECT_FALSE(Child<QPushButton>(d, "scenario0")->isChecked()) << "one radio group";
            Click(d, "選択");
        });
    script.Start();
    EXPECT_EQ(dlg.exec(), QDialog::Accepted);
    EXPECT_TRUE(script.Done());
    EXPECT_EQ(messages, QStringList{QStringLiteral("シナリオを選択してください")});
    EXPECT_EQ(dlg.m_nScenario, 1);
    EXPECT_EQ(Child<QPushButton>(&dlg, "scenario2")->text(), QStringLiteral("219年 5月    三国鼎立"));
}

TEST(ScenarioDlg, CancelReturnsNothing)
{
    for (bool byKey : {false, true}) {
        CScenarioDlg dlg;
        ModalScript script;
        script.Then<CScenarioDlg>([byKey](CScenarioDlg* d) {
            QTest::mouseClick(Child<QPushButton>(d, "scenario2"), Qt::LeftButton);
            if (byKey)
                QTest::keyClick(d, Qt::Key_Escape);
            else
                Click(d, "ｷｬﾝｾﾙ");
        });
        script.Start();
        EXPECT_EQ(dlg.exec(), QDialog::Rejected);
    }
}

class RulerDlgTest : public ::testing::Test {
protected:
    TempDir dir;
    // Shows the dialog for scenario index 1 over the given file text; the script acts.
    int Run(CRulerDlg& dlg, const std::string* scenarioText, ModalScript& script)
    {
        if (scenarioText)
            WriteFileBytes(dir.Path("scenario2.txt"), *scenarioText);
        dlg.m_strDataDir = QString::fromStdString(dir.Path());
        dlg.m_nScenario = 1;
        script.Start();
        return dlg.exec();
    }
};

TEST_F(RulerDlgTest, OffersTheScenariosRulersInFileOrder)
{
    CRulerDlg dlg;
    QStringList messages;
    ModalScript script;
    script.Then<CRulerDlg>([](CRulerDlg* d) { Click(d, "選択"); })
        .Then<QMessageBox>(NoteAndClose(messages))
        .Then<CRulerDlg>([](CRulerDlg* d) {
            QTest::mouseClick(Child<QPushButton>(d, "ruler1"), Qt::LeftButton);
            Click(d, "選択");
        });
    const std::string text = "3\r\n7\r\n12\r\n";
    EXPECT_EQ(Run(dlg, &text, script), QDialog::Accepted);
    EXPECT_EQ(messages, QStringList{QStringLiteral("君主を選択してください")});
    EXPECT_EQ(dlg.SlotCount(), 3);
    EXPECT_EQ(dlg.m_nRuler, 1);
    EXPECT_EQ(dlg.m_rulerIds[1], 7);
    EXPECT_EQ(Child<QPushButton>(&dlg, "ruler0")->text(), QStringLiteral("孫堅"));
    EXPECT_EQ(Child<QPushButton>(&dlg, "ruler2")->text(), QStringLiteral("張魯"));
    EXPECT_FALSE(Child<QPushButton>(&dlg, "ruler3")->isVisibleTo(&dlg));
    EXPECT_FALSE(Child<QLabel>(&dlg, "portrait3")->isVisibleTo(&dlg));
}

TEST_F(RulerDlgTest, ThirteenLinesFillEverySlotAndABlankLineStops)
{
    {
        CRulerDlg dlg;
        ModalScript script;
        script.Then<CRulerDlg>([](CRulerDlg* d) { d->reject(); });
        std::string text;
        for (int i = 1; i <= 14; ++i)
            text += std::to_string(i) + "\r\n";
        Run(dlg, &text, script);
        EXPECT_EQ(dlg.SlotCount(), 13);
        // The third row holds three slots under the first three columns.
        const QRect first = Child<QPushButton>(&dlg, "ruler0")->geometry();
        const QRect last = Child<QPushButton>(&dlg, "ruler12")->geometry();
        EXPECT_EQ(last.x(), Child<QPushButton>(&dlg, "ruler2")->geometry().x());
        EXPECT_EQ(last.y(), dlg.Du().Y(276));
        EXPECT_EQ(first.topLeft(), QPoint(dlg.Du().X(7), dlg.Du().Y(96)));
        EXPECT_TRUE(Child<QPushButton>(&dlg, "ruler12")->isVisibleTo(&dlg));
    }
    {
        CRulerDlg dlg;
        ModalScript script;
        script.Then<CRulerDlg>([](CRulerDlg* d) { d->reject(); });
        const std::string text = "2\r\n\r\n5\r\n";
        Run(dlg, &text, script);
        EXPECT_EQ(dlg.SlotCount(), 1);
    }
}

TEST_F(RulerDlgTest, AFileItCannotUseLeavesOnlyCancel)
{
    struct Case {
        const char* what;
        std::string text; // empty: no file at all
        const char* mentions;
    };
    const Case cases[] = {
        {"missing", "", "が見つかりませんでした。"},
        {"id out of range", "2\r\n16\r\n", "2 行目"},
    };
    for (const Case& c : cases) {
        CRulerDlg dlg;
        QStringList messages;
        ModalScript script;
        script.Then<QMessageBox>(NoteAndClose(messages))
            .Then<CRulerDlg>([](CRulerDlg* d) { Click(d, "選択"); })
            .Then<QMessageBox>(NoteAndClose(messages))
            .Then<CRulerDlg>([](CRulerDlg* d) { Click(d, "ｷｬﾝｾﾙ"); });
        EXPECT_EQ(Run(dlg, c.text.empty() ? nullptr : &c.text, script), QDialog::Rejected) << c.what;
        ASSERT_EQ(messages.size(), 2) << c.what;
        EXPECT_TRUE(messages[0].contains(QString::fromUtf8(c.mentions))) << messages[0].toStdString();
        EXPECT_EQ(messages[1], QStringLiteral("君主を選択してください"));
        EXPECT_EQ(dlg.SlotCount(), 0);
    }
}

class MoveDlgTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dlg.SetMaxProvisions(901);
        dlg.SetMaxFunds(0);
        dlg.SetMaxSoldiers(600);
        dlg.m_strTitle = QStringLiteral("益州 から 漢中 へ移動");
    }
    // Moves a slider to a position and lets it report its release.
    static void Release(QSlider* slider, int position)
    {
        slider->setValue(position);
        QTest::mouseRelease(slider, Qt::LeftButton);
        QApplication::processEvents();
    }
    static QString Text(QWidget* d, const char* edit) { return Child<QLineEdit>(d, edit)->text(); }
    CMoveDlg dlg;
};

TEST_F(MoveDlgTest, OpensAtZeroWithTheMaximaShown)
{
    ModalScript script;
    script.Then<CMoveDlg>([](CMoveDlg* d) {
        EXPECT_EQ(Child<QLabel>(d, "maxProvisions")->text(), QStringLiteral("/ 901"));
        EXPECT_EQ(Child<QLabel>(d, "maxFunds")->text(), QStringLiteral("/ 0"));
        EXPECT_EQ(Child<QLabel>(d, "maxSoldiers")->text(), QStringLiteral("/ 600"));
        EXPECT_EQ(Child<QLabel>(d, "title")->text(), QStringLiteral("益州 から 漢中 へ移動"));
        for (const char* edit : {"editProvisions", "editFunds", "editSoldiers"})
            EXPECT_EQ(Text(d, edit), QStringLiteral("0"));
        Click(d, "決定");
    });
    script.Start();
    EXPECT_EQ(dlg.exec(), QDialog::Accepted);
    EXPECT_EQ(dlg.m_nProvisions + dlg.m_nFunds + dlg.m_nSoldiers, 0);
}

TEST_F(MoveDlgTest, ReleasingASliderSetsItsRowsAmount)
{
    ModalScript script;
    script.Then<CMoveDlg>([](CMoveDlg* d) {
        Release(d->m_sliderProvisions, 50);
        EXPECT_EQ(Text(d, "editProvisions"), QStringLiteral("450"));
        Release(d->m_sliderProvisions, 100);
        EXPECT_EQ(Text(d, "editProvisions"), QStringLiteral("901"));
        Release(d->m_sliderFunds, 70); // a stock of 0 gives 0 anywhere
        EXPECT_EQ(Text(d, "editFunds"), QStringLiteral("0"));
        // A typed amount is kept when another slider is released.
        Child<QLineEdit>(d, "editProvisions")->setText(QStringLiteral("300"));
        Release(d->m_sliderSoldiers, 33);
        EXPECT_EQ(Text(d, "editProvisions"), QStringLiteral("300"));
        EXPECT_EQ(Text(d, "editSoldiers"), QStringLiteral("198"));
        // Moving a slider without releasing it changes nothing.
        d->m_sliderSoldiers->setValue(100);
        QApplication::processEvents();
        EXPECT_EQ(Text(d, "editSoldiers"), QStringLiteral("198"));
        Click(d, "決定");
    });
    script.Start();
    EXPECT_EQ(dlg.exec(), QDialog::Accepted);
    EXPECT_EQ(dlg.m_nProvisions, 300);
    EXPECT_EQ(dlg.m_nSoldiers, 198);
    EXPECT_EQ(dlg.m_nFunds, 0);
    EXPECT_EQ(CMoveDlg::AmountAt(99, 2'000'000'000), 1'980'000'000) << "no 32-bit overflow";
}

TEST_F(MoveDlgTest, RefusesTextAndAmountsOutsideTheStock)
{
    StderrCapture stderrText;
    QStringList messages;
    ModalScript script;
    auto type = [](const char* edit, const char* text) {
        return [edit, text](CMoveDlg* d) {
            for (const char* e : {"editProvisions", "editFunds", "editSoldiers"})
                Child<QLineEdit>(d, e)->setText(QStringLiteral("0"));
            Child<QLineEdit>(d, edit)->setText(QString::fromUtf8(text));
            Click(d, "決定");
        };
    };
    script.Then<CMoveDlg>(type("editSoldiers", "abc"))
        .Then<QMessageBox>(NoteAndClose(messages))
        .Then<CMoveDlg>(type("editSoldiers", "601"))
        .Then<QMessageBox>(NoteAndClose(messages))
        .Then<CMoveDlg>(type("editProvisions", "-5"))
        .Then<QMessageBox>(NoteAndClose(messages))
        .Then<CMoveDlg>(type("editFunds", "1"))
        .Then<QMessageBox>(NoteAndClose(messages))
        .Then<CMoveDlg>(type("editSoldiers", " 600 "));
    script.Start();
    EXPECT_EQ(dlg.exec(), QDialog::Accepted);
    ASSERT_EQ(messages.size(), 4);
    EXPECT_EQ(messages[0], QStringLiteral("整数を入力してください。"));
    EXPECT_TRUE(messages[1].contains(QStringLiteral("600")));
    EXPECT_TRUE(messages[2].contains(QStringLiteral("兵糧")));
    EXPECT_TRUE(messages[3].contains(QStringLiteral("資金")));
    EXPECT_EQ(dlg.m_nSoldiers, 600);
    EXPECT_EQ(PrintedRefusals(stderrText, messages), "");
}

TEST_F(MoveDlgTest, CancelIgnoresWhatTheEditsHold)
{
    ModalScript script;
    script.Then<CMoveDlg>([](CMoveDlg* d) {
        Child<QLineEdit>(d, "editSoldiers")->setText(QStringLiteral("abc"));
        Click(d, "ｷｬﾝｾﾙ");
    });
    script.Start();
    EXPECT_EQ(dlg.exec(), QDialog::Rejected);
}

TEST(DialogInteger, ReadsLikeTheFrameworksExchange)
{
    int v = -1;
    EXPECT_TRUE(platform::ParseDialogInteger(QStringLiteral(" 42 "), v));
    EXPECT_EQ(v, 42);
    EXPECT_TRUE(platform::ParseDialogInteger(QStringLiteral("-2147483648"), v));
    EXPECT_EQ(v, -2147483647 - 1);
    for (const char* bad : {"", "-", "4 2", "42abc", "abc", "2147483648", "1e3", "0x10"})
        EXPECT_FALSE(platform::ParseDialogInteger(QString::fromUtf8(bad), v)) << bad;
}
