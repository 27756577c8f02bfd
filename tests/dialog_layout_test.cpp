// SPDX-License-Identifier: GPL-3.0-or-later
// The dialogs as the player meets them: titles, sizes and places in dialog units, the
// prompts, where the focus starts and where Tab takes it, Enter and Escape, the
// message box of a refusal, and where a dialog without an owner appears.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QVBoxLayout>

#include "app/about_dlg.h"
#include "dialogs/message_wnd.h"
#include "dialogs/move_dlg.h"
#include "dialogs/ruler_dlg.h"
#include "dialogs/scenario_dlg.h"
#include "gui_test_support.h"
#include "model/country_file.h"
#include "platform/fonts.h"
#include "platform/windows.h"
#include "test_support.h"
#include "test_world.h"
#include "view/battle/battle_dlg.h"
#include "world_fixture.h"

namespace {

// A widget's place, or an empty one when the widget was not found (already reported).
QRect GeometryOf(const QWidget* w) { return w ? w->geometry() : QRect(); }
bool IsDefault(const QPushButton* b) { return b && b->isDefault(); }

// A ruler dialog reading "scenario1.txt" of dir.
void PrepareRulerDlg(CRulerDlg& dlg, const TempDir& dir, const std::string& text = "1\r\n2\r\n15\r\n")
{
    WriteFileBytes(dir.Path("scenario1.txt"), text);
    dlg.m_strDataDir = QString::fromStdString(dir.Path());
    dlg.m_nScenario = 0;
}

// The widget that takes Tab next, from the focus widget, as the key would move it.
QWidget* TabFrom(QWidget* dialog)
{
    QTest::keyClick(dialog->focusWidget(), Qt::Key_Tab);
    return dialog->focusWidget();
}

} // namespace

class DialogLayoutTest : public WorldTest {
protected:
    TempDir dir;
};

TEST_F(DialogLayoutTest, TitlesSizesAndFrames)
{
    CScenarioDlg scenario;
    CRulerDlg ruler;
    CMoveDlg move;
    CAboutDlg about;
    const struct {
        platform::TemplateDialog* dialog;
        const char* title;
        int width, height; // dialog units
    } cases[] = {
        // As designed, with a column beside it for the own scenarios and 乱世.
        {&scenario, "シナリオ選択", 300, 137},
        {&ruler, "君主選択", 275, 297},
        {&move, "移動", 186, 121},
        {&about, "ﾊﾞｰｼﾞｮﾝ情報", 235, 55},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        EXPECT_EQ(c.dialog->windowTitle(), QString::fromUtf8(c.title));
        EXPECT_EQ(c.dialog->size(), c.dialog->Du().Size(c.width, c.height));
        EXPECT_EQ(c.dialog->minimumSize(), c.dialog->maximumSize()) << "a fixed size";
        const Qt::WindowFlags flags = c.dialog->windowFlags();
        EXPECT_TRUE(flags & Qt::WindowTitleHint);
        EXPECT_TRUE(flags & Qt::WindowCloseButtonHint) << "a system menu with its close box";
        EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
        EXPECT_TRUE(c.dialog->isModal());
        // The font of every template: a proportional gothic of 9 points (12 pixels).
        EXPECT_EQ(c.dialog->font().pixelSize(), 12);
        EXPECT_EQ(c.dialog->font().family(), platform::ProportionalFamily());
    }

    // The message window: no caption, 116 x 22 units of its 12-point font.
    CMessageWnd message;
    EXPECT_TRUE(message.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(message.font().pixelSize(), 16);
    EXPECT_EQ(message.size(), platform::DialogUnits(message.font()).Size(116, 22));
    EXPECT_EQ(GeometryOf(Child<QLabel>(&message, "text")), platform::DialogUnits(message.font()).Rect(7, 7, 102, 8));
}

TEST_F(DialogLayoutTest, ButtonsAndPromptsInTheirPlaces)
{
    CScenarioDlg scenario;
    const platform::DialogUnits& su = scenario.Du();
    EXPECT_EQ(GeometryOf(FindButton(&scenario, "選択")), su.Rect(77, 116, 50, 14));
    EXPECT_EQ(GeometryOf(FindButton(&scenario, "ｷｬﾝｾﾙ")), su.Rect(13, 116, 50, 14));
    EXPECT_EQ(GeometryOf(FindLabel(&scenario, "ｼﾅﾘｵを選択してください")), su.Rect(10, 11, 70, 8));
    const char* const captions[] = {"189年 12月    群雄割拠", "200年 4月    官渡の戦い", "219年 5月    三国鼎立"};
    for (int i = 0; i < 3; ++i) {
        QPushButton* b = FindButton(&scenario, captions[i]);
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->geometry(), su.Rect(7, 25 + 30 * i, 126, 16)) << i;
        EXPECT_EQ(b->objectName(), QStringLiteral("scenario%1").arg(i));
        EXPECT_TRUE(b->isCheckable());
    }
    EXPECT_TRUE(IsDefault(FindButton(&scenario, "選択")));
    EXPECT_FALSE(IsDefault(FindButton(&scenario, "ｷｬﾝｾﾙ")));

    CRulerDlg ruler;
    const platform::DialogUnits& ru = ruler.Du();
    EXPECT_EQ(GeometryOf(FindButton(&ruler, "選択")), ru.Rect(218, 276, 50, 14));
    EXPECT_EQ(GeometryOf(FindButton(&ruler, "ｷｬﾝｾﾙ")), ru.Rect(158, 276, 50, 14));
    EXPECT_EQ(GeometryOf(FindLabel(&ruler, "プレイする君主を選択してください")), ru.Rect(10, 11, 98, 8));
    const int columns[5] = {7, 60, 113, 167, 220};
    const int portraitRows[3] = {26, 116, 206};
    const int nameRows[3] = {96, 186, 276};
    for (int slot = 0; slot < kRulerSlotCount; ++slot) {
        SCOPED_TRACE(slot);
        const int x = columns[slot % 5];
        EXPECT_EQ(GeometryOf(Child<QPushButton>(&ruler, ("ruler" + std::to_string(slot)).c_str())),
                  ru.Rect(x, nameRows[slot / 5], 49, 14));
        EXPECT_EQ(GeometryOf(Child<QLabel>(&ruler, ("portrait" + std::to_string(slot)).c_str())).topLeft(),
                  ru.Rect(x, portraitRows[slot / 5], 49, 71).topLeft());
    }
    EXPECT_TRUE(IsDefault(FindButton(&ruler, "選択")));

    CAboutDlg about;
    const platform::DialogUnits& au = about.Du();
    EXPECT_EQ(GeometryOf(FindButton(&about, "OK")), au.Rect(178, 7, 50, 14));
    EXPECT_TRUE(IsDefault(FindButton(&about, "OK")));
    EXPECT_EQ(GeometryOf(FindLabel(&about, "Velcor Version " VELCOR_VERSION)), au.Rect(40, 10, 119, 8));
}

TEST_F(DialogLayoutTest, TheMoveDialogsRowsAreProvisionsFundsAndSoldiers)
{
    CMoveDlg dlg;
    const platform::DialogUnits& du = dlg.Du();
    EXPECT_EQ(GeometryOf(FindButton(&dlg, "決定")), du.Rect(129, 100, 50, 14));
    EXPECT_EQ(GeometryOf(FindButton(&dlg, "ｷｬﾝｾﾙ")), du.Rect(70, 100, 50, 14));
    EXPECT_TRUE(IsDefault(FindButton(&dlg, "決定")));
    EXPECT_EQ(GeometryOf(Child<QLabel>(&dlg, "title")), du.Rect(45, 7, 93, 11));
    const struct {
        const char* label;
        int labelY;
        const char* slider;
        int sliderY;
        const char* edit;
        int editY;
        const char* maximum;
        int maximumY;
    } rows[] = {
        {"兵糧", 33, "sliderProvisions", 29, "editProvisions", 30, "maxProvisions", 33},
        {"資金", 54, "sliderFunds", 50, "editFunds", 51, "maxFunds", 55},
        {"兵士", 75, "sliderSoldiers", 71, "editSoldiers", 72, "maxSoldiers", 75},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        EXPECT_EQ(GeometryOf(FindLabel(&dlg, row.label)), du.Rect(7, row.labelY, 15, 8));
        QSlider* slider = Child<QSlider>(&dlg, row.slider);
        ASSERT_NE(slider, nullptr);
        EXPECT_EQ(slider->geometry(), du.Rect(20, row.sliderY, 100, 15));
        EXPECT_EQ(slider->orientation(), Qt::Horizontal);
        EXPECT_EQ(slider->tickPosition(), QSlider::NoTicks);
        EXPECT_EQ(GeometryOf(Child<QLineEdit>(&dlg, row.edit)), du.Rect(121, row.editY, 27, 14));
        EXPECT_EQ(GeometryOf(Child<QLabel>(&dlg, row.maximum)).topLeft(), du.Rect(150, row.maximumY, 29, 8).topLeft());
    }
    // Each row's slider sets its own row's amount.
    dlg.SetMaxProvisions(1000);
    dlg.SetMaxFunds(2000);
    dlg.SetMaxSoldiers(3000);
    ModalScript script;
    script.Then<CMoveDlg>([](CMoveDlg* d) {
        for (const char* slider : {"sliderProvisions", "sliderFunds", "sliderSoldiers"}) {
            Child<QSlider>(d, slider)->setValue(10);
            QTest::mouseRelease(Child<QSlider>(d, slider), Qt::LeftButton);
            QApplication::processEvents();
        }
        QTest::mouseClick(FindButton(d, "決定"), Qt::LeftButton);
    });
    script.Start();
    ASSERT_EQ(dlg.exec(), QDialog::Accepted);
    EXPECT_EQ(dlg.m_nProvisions, 100);
    EXPECT_EQ(dlg.m_nFunds, 200);
    EXPECT_EQ(dlg.m_nSoldiers, 300);
}

TEST_F(DialogLayoutTest, FocusStartsOnTheDefaultButtonAndTabFollowsTheControlOrder)
{
    // Shows dlg; the focus must start on the first widget order names and Tab must
    // then visit the others in turn.
    auto expectFocus = [](QDialog& dlg, std::function<std::vector<QWidget*>(QDialog*)> order) {
        bool checked = false;
        OnModal([&](QWidget* w) {
            auto* d = static_cast<QDialog*>(w);
            const std::vector<QWidget*> expected = order(d);
            EXPECT_EQ(d->focusWidget(), expected.front()) << d->windowTitle().toStdString();
            for (std::size_t i = 1; i < expected.size(); ++i)
                EXPECT_EQ(TabFrom(d), expected[i]) << d->windowTitle().toStdString() << " tab " << i;
            checked = true;
            d->reject();
        });
        dlg.exec();
        EXPECT_TRUE(checked);
    };
    // The scenario and ruler buttons are no tab stops; the own scenarios and 乱世's seed
    // are.
    CScenarioDlg scenario;
    expectFocus(scenario, [](QDialog* d) {
        return std::vector<QWidget*>{FindButton(d, "選択"), FindButton(d, "ｷｬﾝｾﾙ"),
                                     Child<QListWidget>(d, "ownScenarios"), Child<QLineEdit>(d, "seed"),
                                     FindButton(d, "選択")};
    });
    CRulerDlg ruler;
    PrepareRulerDlg(ruler, dir);
    expectFocus(ruler, [](QDialog* d) {
        return std::vector<QWidget*>{FindButton(d, "選択"), FindButton(d, "ｷｬﾝｾﾙ"), FindButton(d, "対戦設定..."),
                                     FindButton(d, "選択")};
    });
    CMoveDlg move;
    expectFocus(move, [](QDialog* d) {
        return std::vector<QWidget*>{FindButton(d, "決定"),
                                     FindButton(d, "ｷｬﾝｾﾙ"),
                                     Child<QSlider>(d, "sliderProvisions"),
                                     Child<QSlider>(d, "sliderFunds"),
                                     Child<QSlider>(d, "sliderSoldiers"),
                                     Child<QLineEdit>(d, "editProvisions"),
                                     Child<QLineEdit>(d, "editFunds"),
                                     Child<QLineEdit>(d, "editSoldiers"),
                                     FindButton(d, "決定")};
    });
    CAboutDlg about;
    expectFocus(about, [](QDialog* d) { return std::vector<QWidget*>{FindButton(d, "OK")}; });
}

TEST_F(DialogLayoutTest, EnterConfirmsAChoiceOrAsksForOne)
{
    // Scenario: Enter with nothing chosen asks; with a choice it returns it.
    {
        CScenarioDlg dlg;
        QStringList boxes;
        ModalScript script;
        script.Then<CScenarioDlg>([](CScenarioDlg* d) { QTest::keyClick(d, Qt::Key_Return); })
            .Then<QMessageBox>([&](QMessageBox* box) {
                boxes << box->windowTitle() << box->text();
                EXPECT_EQ(box->buttons().size(), 1);
                EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
                box->accept();
            })
            .Then<CScenarioDlg>([](CScenarioDlg* d) {
                QTest::mouseClick(Child<QPushButton>(d, "scenario1"), Qt::LeftButton);
                QTest::keyClick(d, Qt::Key_Enter);
            });
        script.Start();
        EXPECT_EQ(dlg.exec(), QDialog::Accepted);
        EXPECT_EQ(dlg.m_nScenario, 1);
        EXPECT_EQ(boxes, (QStringList{QStringLiteral("Velcor"), QStringLiteral("シナリオを選択してください")}));
    }
    // Ruler: the same, Enter given to the focused 選択 button.
    {
        CRulerDlg dlg;
        PrepareRulerDlg(dlg, dir);
        QStringList boxes;
        ModalScript script;
        script.Then<CRulerDlg>([](CRulerDlg* d) { QTest::keyClick(d->focusWidget(), Qt::Key_Return); })
            .Then<QMessageBox>([&](QMessageBox* box) {
                boxes << box->windowTitle() << box->text();
                box->accept();
            })
            .Then<CRulerDlg>([](CRulerDlg* d) {
                QTest::mouseClick(Child<QPushButton>(d, "ruler2"), Qt::LeftButton);
                QTest::keyClick(d->focusWidget(), Qt::Key_Return);
            });
        script.Start();
        EXPECT_EQ(dlg.exec(), QDialog::Accepted);
        EXPECT_EQ(dlg.m_nRuler, 2);
        EXPECT_EQ(dlg.m_rulerIds[2], 15);
        EXPECT_EQ(boxes, (QStringList{QStringLiteral("Velcor"), QStringLiteral("君主を選択してください")}));
    }
    // Move: Enter in an edit confirms the amounts as typed.
    {
        CMoveDlg dlg;
        dlg.SetMaxProvisions(500);
        dlg.SetMaxFunds(600);
        dlg.SetMaxSoldiers(700);
        ModalScript script;
        script.Then<CMoveDlg>([](CMoveDlg* d) {
            QLineEdit* funds = Child<QLineEdit>(d, "editFunds");
            funds->setFocus();
            funds->selectAll();
            QTest::keyClicks(funds, QStringLiteral("250"));
            QTest::keyClick(funds, Qt::Key_Return);
        });
        script.Start();
        EXPECT_EQ(dlg.exec(), QDialog::Accepted);
        EXPECT_EQ(dlg.m_nFunds, 250);
        EXPECT_EQ(dlg.m_nProvisions, 0);
        EXPECT_EQ(dlg.m_nSoldiers, 0);
    }
}

TEST_F(DialogLayoutTest, TheAboutBoxClosesByItsOkEnterEscapeAndCloseBox)
{
    const struct {
        const char* what;
        std::function<void(CAboutDlg*)> act;
        int result;
    } cases[] = {
        {"OK", [](CAboutDlg* d) { QTest::mouseClick(FindButton(d, "OK"), Qt::LeftButton); }, QDialog::Accepted},
        {"Enter", [](CAboutDlg* d) { QTest::keyClick(d, Qt::Key_Return); }, QDialog::Accepted},
        {"Escape", [](CAboutDlg* d) { QTest::keyClick(d, Qt::Key_Escape); }, QDialog::Rejected},
        {"close box", [](CAboutDlg* d) { d->close(); }, QDialog::Rejected},
    };
    for (const auto& c : cases) {
        CAboutDlg dlg;
        ModalScript script;
        script.Then<CAboutDlg>(c.act);
        script.Start();
        EXPECT_EQ(dlg.exec(), c.result) << c.what;
        EXPECT_FALSE(dlg.isVisible()) << c.what;
    }
}

TEST_F(DialogLayoutTest, ADialogWithoutAnOwnerIsCentredOnTheMainWindow)
{
    QWidget main;
    main.setGeometry(150, 120, 640, 480);
    main.show();
    platform::SetMainWindow(&main);
    ApplyWorld(world, MakeTestWorld());
    BuildRulerTable(world);
    auto check = [&](QDialog& dlg, const char* what, std::function<void(QWidget*)> close) {
        bool seen = false;
        OnModal([&, close](QWidget* w) {
            seen = true;
            EXPECT_EQ(w, &dlg) << what;
            EXPECT_EQ(w->parentWidget(), &main) << what << ": owned by the main window";
            // Centred within the frame's own few pixels, which the platform adds when it shows the window.
            const QPoint off = w->frameGeometry().center() - main.frameGeometry().center();
            EXPECT_LE(std::abs(off.x()), 3) << what;
            EXPECT_LE(std::abs(off.y()), 3) << what;
            close(w);
        });
        dlg.exec();
        EXPECT_TRUE(seen) << what;
    };
    auto reject = [](QWidget* w) { static_cast<QDialog*>(w)->reject(); };
    {
        CScenarioDlg dlg;
        check(dlg, "scenario", reject);
    }
    {
        CRulerDlg dlg;
        PrepareRulerDlg(dlg, dir);
        check(dlg, "ruler", reject);
    }
    {
        CMoveDlg dlg;
        check(dlg, "move", reject);
    }
    {
        CAboutDlg dlg;
        check(dlg, "about", reject);
    }
    {
        CMessageWnd wnd;
        wnd.m_strText = QStringLiteral("益州 が攻撃されています");
        wnd.m_nElapse = 60'000;
        check(wnd, "message", reject);
    }
    {
        BattleScript script(world, 1, 0, world.random);
        CBattleDlg dlg(script);
        dlg.SetStepInterval(60'000);
        check(dlg, "battle", [](QWidget* w) { static_cast<CBattleDlg*>(w)->Abandon(); });
    }
    platform::SetMainWindow(nullptr);
}

// A tool window of wrapped text (the turn report) made narrower to fit beside the main
// window grows to hold its lines, inside the screen.
TEST(ToolWindowPlacement, WrappedTextMadeNarrowerKeepsEveryLine)
{
    const QRect area = TestScreen("laptop")->availableGeometry();
    QWidget main;
    main.setGeometry(QRect(area.topLeft() + QPoint(8, 32), QSize(area.width() - 360, 420)));
    main.show();
    QWidget report(nullptr, Qt::Tool);
    auto* layout = new QVBoxLayout(&report);
    auto* text = new QLabel(QStringList(40, QStringLiteral("news of the month")).join(QLatin1Char(' ')), &report);
    text->setWordWrap(true);
    layout->addWidget(text);
    report.resize(640, text->heightForWidth(620) + 20);
    platform::PlaceToolWindow(&report, &main, {});
    report.show();
    QApplication::processEvents();
    ASSERT_LT(report.width(), 640) << "the room beside the main window is narrower";
    EXPECT_GE(text->height(), text->heightForWidth(text->width())) << "lines cut";
    EXPECT_TRUE(area.contains(report.frameGeometry()));
}
