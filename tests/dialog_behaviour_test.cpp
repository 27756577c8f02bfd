// SPDX-License-Identifier: GPL-3.0-or-later
// How the dialogs answer keys and the mouse, where they open, and whether what they
// show can be read: Enter on a focused button, the move sliders' release, placement
// inside the screen, whole static texts, a plainly visible choice.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QStyle>
#include <QTest>

#include "app/about_dlg.h"
#include "dialogs/message_wnd.h"
#include "dialogs/move_dlg.h"
#include "dialogs/ruler_dlg.h"
#include "dialogs/scenario_dlg.h"
#include "dialogs/seats_dialog.h"
#include "gui_test_support.h"
#include "model/game_state.h"
#include "platform/fonts.h"
#include "platform/message_box.h"
#include "platform/settings.h"
#include "platform/sjis.h"
#include "test_support.h"
#include "test_world.h"
#include "view/battle/battle_dlg.h"
#include "world_fixture.h"

namespace {

QPushButton* ButtonNamed(QWidget* parent, const char* text)
{
    for (QPushButton* button : parent->findChildren<QPushButton*>())
        if (button->text() == QString::fromUtf8(text))
            return button;
    ADD_FAILURE() << "no button " << text;
    return nullptr;
}

template <class T>
T* Named(QWidget* parent, const char* name)
{
    T* child = parent->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

// A scenario file of thirteen rulers in a temporary data folder, for the ruler dialog.
struct RulerData {
    TempDir dir;
    RulerData()
    {
        std::string text;
        for (int id = 1; id <= 13; ++id)
            text += std::to_string(id) + "\r\n";
        WriteFileBytes(dir.Path("scenario1.txt"), text);
    }
    void Prepare(CRulerDlg& dlg)
    {
        dlg.m_strDataDir = QString::fromStdString(dir.Path());
        dlg.m_nScenario = 0;
    }
};

// The move dialog as the game prepares it.
void PrepareMove(CMoveDlg& dlg, int maximum = 901)
{
    dlg.SetMaxProvisions(maximum);
    dlg.SetMaxFunds(maximum);
    dlg.SetMaxSoldiers(maximum);
    dlg.m_strTitle = QStringLiteral("益州 から 漢中 へ移動");
}

} // namespace

// ---- Enter presses the focused push button; elsewhere it is the default button ----

TEST(DialogEnter, OnAFocusedCancelItCancelsAndOnAChoiceItConfirms)
{
    {
        // Scenario dialog: ｷｬﾝｾﾙ focused, no scenario chosen: no "choose" box, cancelled.
        CScenarioDlg dlg;
        QStringList boxes;
        ModalScript script;
        script.Then<CScenarioDlg>([](CScenarioDlg* d) {
            ButtonNamed(d, "ｷｬﾝｾﾙ")->setFocus();
            QTest::keyClick(d->focusWidget(), Qt::Key_Return);
        });
        script.Then<QMessageBox>([&](QMessageBox* box) {
            boxes << box->text();
            box->accept();
        });
        script.Then<CScenarioDlg>([](CScenarioDlg* d) { d->reject(); });
        script.Start();
        EXPECT_EQ(dlg.exec(), QDialog::Rejected);
        EXPECT_EQ(boxes, QStringList{}) << "Enter on ｷｬﾝｾﾙ asked for a scenario";
    }
    {
        // A clicked scenario has the focus: Enter confirms it (Enter on the keypad too).
        CScenarioDlg dlg;
        ModalScript script;
        script.Then<CScenarioDlg>([](CScenarioDlg* d) {
            QTest::mouseClick(Named<QPushButton>(d, "scenario1"), Qt::LeftButton);
            QTest::keyClick(d->focusWidget(), Qt::Key_Enter, Qt::KeypadModifier);
        });
        script.Start();
        EXPECT_EQ(dlg.exec(), QDialog::Accepted);
        EXPECT_EQ(dlg.m_nScenario, 1);
    }
    {
        // Ruler dialog: ｷｬﾝｾﾙ focused with a ruler checked cancels; the ruler's button
        // focused confirms.
        RulerData data;
        for (bool onCancel : {true, false}) {
            CRulerDlg dlg;
            data.Prepare(dlg);
            ModalScript script;
            script.Then<CRulerDlg>([onCancel](CRulerDlg* d) {
                QTest::mouseClick(Named<QPushButton>(d, "ruler4"), Qt::LeftButton);
                if (onCancel)
                    ButtonNamed(d, "ｷｬﾝｾﾙ")->setFocus();
                QTest::keyClick(d->focusWidget(), Qt::Key_Return);
            });
            script.Start();
            EXPECT_EQ(dlg.exec(), onCancel ? QDialog::Rejected : QDialog::Accepted) << onCancel;
            if (!onCancel) {
                EXPECT_EQ(dlg.m_rulerIds[static_cast<std::size_t>(dlg.m_nRuler)], 5);
            }
        }
    }
}

TEST(DialogEnter, TheMoveDialogMovesOnlyFromTheEditsAndSliders)
{
    struct Case {
        const char* what;
        std::function<void(CMoveDlg*)> focus;
        int expected;
    };
    const Case cases[] = {
        // The player's way: type 500 in 兵糧, Tab from 決定 to ｷｬﾝｾﾙ, Enter.
        {"ｷｬﾝｾﾙ reached by Tab",
         [](CMoveDlg* d) {
             ButtonNamed(d, "決定")->setFocus();
             QTest::keyClick(d->focusWidget(), Qt::Key_Tab);
         },
         QDialog::Rejected},
        {"the edit", [](CMoveDlg* d) { Named<QLineEdit>(d, "editProvisions")->setFocus(); }, QDialog::Accepted},
        {"a slider", [](CMoveDlg* d) { d->m_sliderFunds->setFocus(); }, QDialog::Accepted},
        {"決定", [](CMoveDlg* d) { ButtonNamed(d, "決定")->setFocus(); }, QDialog::Accepted},
    };
    for (const Case& c : cases) {
        CMoveDlg dlg;
        PrepareMove(dlg);
        QString focused;
        ModalScript script;
        script.Then<CMoveDlg>([&](CMoveDlg* d) {
            Named<QLineEdit>(d, "editProvisions")->setText(QStringLiteral("500"));
            c.focus(d);
            auto* button = qobject_cast<QPushButton*>(d->focusWidget());
            focused = button ? button->text() : d->focusWidget()->objectName();
            QTest::keyClick(d->focusWidget(), Qt::Key_Return);
        });
        script.Start();
        EXPECT_EQ(dlg.exec(), c.expected) << c.what << " (focus on " << focused.toStdString() << ")";
        if (c.expected == QDialog::Accepted) {
            EXPECT_EQ(dlg.m_nProvisions, 500) << c.what;
        }
    }
}

// Opens a window, presses Enter on whatever has its focus and tells whether that
// closed it (a window still open after two seconds is closed by force).
bool ClosedByEnter(const std::function<void()>& open)
{
    bool forced = false;
    OnModal([&forced](QWidget* w) {
        QTest::keyClick(w->focusWidget() ? w->focusWidget() : w, Qt::Key_Return);
        QPointer<QWidget> still(w);
        QTimer::singleShot(2000, [&forced, still] {
            if (still && still->isVisible()) {
                forced = true;
                still->close();
            }
        });
    });
    open();
    return !forced;
}

// (The battle and message windows, which have no button, are OK on Enter: their own
// suites test it.)
TEST(DialogEnter, WindowsWithOneButtonCloseWithIt)
{
    int result = -1;
    EXPECT_TRUE(ClosedByEnter([&] {
        CAboutDlg about;
        result = about.exec();
    }));
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_TRUE(ClosedByEnter([] { platform::ShowMessageBox(nullptr, QStringLiteral("セーブが完了しました")); }));
}

// ---- The move sliders: only the left button and the keyboard move an amount ----

class MoveSliderTest : public ::testing::Test {
protected:
    // Runs the dialog with maxima of 901 provisions and 600 soldiers; act works on it.
    void Run(const std::function<void(CMoveDlg*)>& act)
    {
        CMoveDlg dlg;
        dlg.SetMaxProvisions(901);
        dlg.SetMaxFunds(0);
        dlg.SetMaxSoldiers(600);
        ModalScript script;
        script.Then<CMoveDlg>([&](CMoveDlg* d) {
            act(d);
            d->reject();
        });
        script.Start();
        dlg.exec();
        EXPECT_TRUE(script.Done());
    }
    static QString Edit(CMoveDlg* d, const char* name) { return Named<QLineEdit>(d, name)->text(); }
    // A point in a slider's channel at a share of its width, away from the thumb at 0.
    static QPoint At(QSlider* slider, double share)
    {
        return QPoint(static_cast<int>(slider->width() * share), slider->height() / 2);
    }
};

TEST_F(MoveSliderTest, RightAndMiddleClicksNeitherMoveNorRelease)
{
    Run([](CMoveDlg* d) {
        Named<QLineEdit>(d, "editProvisions")->setText(QStringLiteral("777"));
        for (Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton}) {
            QTest::mouseClick(d->m_sliderProvisions, button, {}, At(d->m_sliderProvisions, 0.71));
            QTest::mouseDClick(d->m_sliderProvisions, button, {}, At(d->m_sliderProvisions, 0.71));
            QTest::mouseRelease(d->m_sliderProvisions, button, {}, At(d->m_sliderProvisions, 0.71));
            QApplication::processEvents();
            EXPECT_EQ(d->m_sliderProvisions->value(), 0) << button;
            EXPECT_EQ(Edit(d, "editProvisions"), QStringLiteral("777")) << button;
        }
    });
}

TEST_F(MoveSliderTest, ALeftClickInTheChannelOrAKeyStepSetsTheAmount)
{
    Run([](CMoveDlg* d) {
        // A left click in the channel moves the thumb towards it; its release counts.
        QTest::mouseClick(d->m_sliderProvisions, Qt::LeftButton, {}, At(d->m_sliderProvisions, 0.71));
        QApplication::processEvents();
        const int position = d->m_sliderProvisions->value();
        EXPECT_GT(position, 0);
        EXPECT_EQ(Edit(d, "editProvisions"), QString::number(position * 901 / 100));

        // Keys: one step right is 1 % of 600; End is the whole stock.
        d->m_sliderSoldiers->setFocus();
        QTest::keyClick(d->m_sliderSoldiers, Qt::Key_Right);
        QApplication::processEvents();
        EXPECT_EQ(Edit(d, "editSoldiers"), QStringLiteral("6"));
        QTest::keyClick(d->m_sliderSoldiers, Qt::Key_End);
        QApplication::processEvents();
        EXPECT_EQ(Edit(d, "editSoldiers"), QStringLiteral("600"));

        // A key that cannot move the slider further is no step: a typed amount stays.
        Named<QLineEdit>(d, "editSoldiers")->setText(QStringLiteral("123"));
        QTest::keyClick(d->m_sliderSoldiers, Qt::Key_End);
        QApplication::processEvents();
        EXPECT_EQ(Edit(d, "editSoldiers"), QStringLiteral("123"));
        EXPECT_EQ(Edit(d, "editProvisions"), QString::number(position * 901 / 100)) << "other rows stay";
    });
}

TEST_F(MoveSliderTest, ATypedFigureMovesItsSliderToItsShareAndStaysAsTyped)
{
    const struct {
        const char* edit;
        const char* typed;
        int position; // of the row's slider after typing, from 30
    } cases[] = {
        {"editProvisions", "450", 50}, // 49.9 % of 901, to the nearest step
        {"editProvisions", "901", 100},
        {"editProvisions", "5000", 100}, // beyond the stock: the slider's end
        {"editSoldiers", "6", 1},
        {"editSoldiers", "-3", 0},
        {"editSoldiers", "12x", 2}, // no integer: where "12" put it
        {"editFunds", "70", 0},     // nothing to move
    };
    Run([&](CMoveDlg* d) {
        for (const auto& c : cases) {
            auto* edit = Named<QLineEdit>(d, c.edit);
            QSlider* slider = edit == Named<QLineEdit>(d, "editProvisions") ? d->m_sliderProvisions
                              : edit == Named<QLineEdit>(d, "editFunds")    ? d->m_sliderFunds
                                                                            : d->m_sliderSoldiers;
            slider->setValue(30);
            edit->clear();
            QTest::keyClicks(edit, QString::fromLatin1(c.typed));
            QApplication::processEvents();
            EXPECT_EQ(slider->value(), c.position) << c.edit << " " << c.typed;
            EXPECT_EQ(edit->text(), QString::fromLatin1(c.typed)) << "the figure stays as typed";
        }
    });
}

// ---- Every dialog opens inside the screen ----

TEST(DialogPlacement, DialogsCentredOnTheMainWindowStayInsideTheScreen)
{
    QScreen* screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    const QRect area = screen->availableGeometry();
    QWidget owner;
    owner.resize(616, 459); // the main window: the map below a menu bar

    RulerData data;
    struct Opened {
        const char* what;
        std::function<void()> open; // runs the window modally until OnModal closes it
    };
    const Opened windows[] = {
        {"ruler", [&] { CRulerDlg d(&owner); data.Prepare(d); d.exec(); }},
        {"scenario", [&] { CScenarioDlg d(&owner); d.exec(); }},
        {"move", [&] { CMoveDlg d(&owner); PrepareMove(d); d.exec(); }},
        {"about", [&] { CAboutDlg d(&owner); d.exec(); }},
        {"message", [&] { CMessageWnd d(&owner); d.m_nElapse = 60'000; d.exec(); }},
        {"message box", [&] { platform::ShowMessageBox(&owner, QStringLiteral("セーブが完了しました")); }},
    };
    // The main window at the top left corner, and pushed against the bottom right.
    for (QPoint corner : {area.topLeft(), area.bottomRight() - QPoint(400, 300)}) {
        owner.move(corner);
        owner.show();
        for (const Opened& w : windows) {
            QRect placed;
            OnModal([&placed](QWidget* modal) {
                placed = modal->frameGeometry();
                modal->close();
            });
            w.open();
            ASSERT_TRUE(placed.isValid()) << w.what;
            EXPECT_TRUE(area.contains(placed)) << w.what << " at " << placed.x() << "," << placed.y() << " "
                                               << placed.width() << "x" << placed.height();
        }
    }
    // The ruler dialog is taller than the main window; at the top it is pushed down
    // just inside, not beyond what the clamp needs.
    owner.move(area.topLeft());
    QRect ruler;
    OnModal([&ruler](QWidget* modal) {
        ruler = modal->frameGeometry();
        modal->close();
    });
    CRulerDlg tall(&owner);
    data.Prepare(tall);
    tall.exec();
    ASSERT_GT(ruler.height(), owner.frameGeometry().height());
    EXPECT_EQ(ruler.top(), area.top());
    EXPECT_LE(std::abs(ruler.center().x() - owner.frameGeometry().center().x()), 1) << "still centred across";
}

TEST(DialogPlacement, TheSeatsDialogOpensBesideTheRulerDialogAndRecallsTheLastSeats)
{
    platform::settings::SetLastSeats(QString());
    QWidget owner;
    owner.resize(616, 459);
    owner.move(WideScreen()->availableGeometry().topLeft() + QPoint(200, 200));
    owner.show();
    RulerData data; // rulers 1..13
    const struct {
        const char* what;
        const char* checked;                           // in the ruler dialog
        std::vector<std::pair<RulerId, int>> shown;    // fields as they open (ruler, place)
        std::vector<std::pair<RulerId, int>> chosen;   // then chosen
    } openings[] = {
        {"first: the ruler checked plays", "ruler4", {{5, SeatsDialog::PersonPlace()}, {7, SeatsDialog::LevelPlace(Difficulty::Normal)}},
         {{2, SeatsDialog::PersonPlace()}, {7, SeatsDialog::LevelPlace(Difficulty::Hard)}}},
        {"again: the seats last chosen", "ruler0",
         {{5, SeatsDialog::PersonPlace()}, {2, SeatsDialog::PersonPlace()}, {7, SeatsDialog::LevelPlace(Difficulty::Hard)},
          {1, SeatsDialog::LevelPlace(Difficulty::Normal)}},
         {}},
    };
    for (const auto& o : openings) {
        SCOPED_TRACE(o.what);
        CRulerDlg ruler(&owner);
        data.Prepare(ruler);
        std::vector<std::pair<RulerId, int>> shown;
        bool clear = false;
        ModalScript script;
        script.Then<CRulerDlg>([&](CRulerDlg* d) {
            QTest::mouseClick(Named<QPushButton>(d, o.checked), Qt::LeftButton);
            QTest::mouseClick(Named<QPushButton>(d, "seats"), Qt::LeftButton);
        });
        script.Then<SeatsDialog>([&](SeatsDialog* seats) {
            clear = true;
            for (const QPushButton* button : ruler.findChildren<QPushButton*>(Qt::FindDirectChildrenOnly))
                if (button->isVisible())
                    clear = clear && !seats->frameGeometry().intersects(QRect(button->mapToGlobal(QPoint()), button->size()));
            for (const auto& [r, place] : o.shown)
                shown.emplace_back(r, Named<QComboBox>(seats, ("seat" + std::to_string(r)).c_str())->currentIndex());
            for (const auto& [r, place] : o.chosen)
                Named<QComboBox>(seats, ("seat" + std::to_string(r)).c_str())->setCurrentIndex(place);
            QTest::mouseClick(ButtonNamed(seats, "開始"), Qt::LeftButton);
        });
        script.Start();
        EXPECT_EQ(ruler.exec(), QDialog::Accepted);
        EXPECT_TRUE(script.Done());
        EXPECT_TRUE(clear) << "no button of the ruler dialog under it";
        EXPECT_EQ(shown, o.shown);
    }
    platform::settings::SetLastSeats(QString());
}

// ---- Every static text shows whole ----

// The battle window takes its sides from the world.
class DialogTextTest : public WorldTest {
protected:
    void SetUp() override
    {
        WorldTest::SetUp();
        ApplyWorld(world, MakeTestWorld());
        BuildRulerTable(world);
    }
};

namespace {

// One line for every label of a window whose text does not lie whole inside the label
// and the window, or that a control laid over it hides.
QStringList HiddenTexts(QWidget* window)
{
    QStringList faults;
    const QObjectList& stack = window->children(); // later children lie above
    for (qsizetype i = 0; i < stack.size(); ++i) {
        auto* label = qobject_cast<QLabel*>(stack[i]);
        if (!label || !label->isVisible() || label->text().isEmpty())
            continue;
        const QFontMetrics metrics(label->font());
        const int advance = metrics.horizontalAdvance(label->text());
        const QRect inside = label->contentsRect();
        const QRect text = QStyle::alignedRect(Qt::LeftToRight, label->alignment(),
                                               QSize(advance, qMin(metrics.height(), inside.height())), inside)
                               .translated(label->pos());
        const QString name = QStringLiteral("\"%1\"").arg(label->text());
        if (advance > inside.width())
            faults << name + QStringLiteral(" is %1 px wide in a label of %2").arg(advance).arg(inside.width());
        if (!window->rect().contains(text))
            faults << name + QStringLiteral(" reaches outside the window");
        for (qsizetype j = i + 1; j < stack.size(); ++j) {
            auto* above = qobject_cast<QWidget*>(stack[j]);
            if (above && above->isVisible() && above->geometry().intersects(text))
                faults << name + QStringLiteral(" lies under ") + above->metaObject()->className() +
                              QLatin1Char(' ') + above->objectName();
        }
    }
    return faults;
}

// Runs a window modally and returns what HiddenTexts finds while it is shown.
QStringList HiddenTextsOf(const std::function<void()>& open)
{
    QStringList faults = {QStringLiteral("(the window did not open)")};
    OnModal([&faults](QWidget* modal) {
        faults = HiddenTexts(modal);
        if (auto* battle = qobject_cast<CBattleDlg*>(modal))
            battle->Abandon();
        else
            modal->close();
    });
    open();
    return faults;
}

} // namespace

TEST_F(DialogTextTest, NoStaticTextIsCutOrHiddenInAnyDialog)
{
    RulerData data;
    auto join = [](const QStringList& faults) { return faults.join(QStringLiteral("; ")).toStdString(); };
    EXPECT_EQ(join(HiddenTextsOf([] { CAboutDlg d; d.exec(); })), "") << "about";
    {
        // Its copyright line is wider than its place in the template; there is room
        // beside it, so it keeps the dialog's font and its words.
        CAboutDlg about;
        QString text;
        QFont font;
        OnModal([&](QWidget* modal) {
            for (QLabel* label : modal->findChildren<QLabel*>())
                if (label->text().startsWith(QStringLiteral("Copyright"))) {
                    text = label->text();
                    font = label->font();
                }
            modal->close();
        });
        about.exec();
        EXPECT_EQ(text, QStringLiteral("Copyright (C) 2026 Velcor developers"));
        EXPECT_EQ(font, platform::Font(platform::GameFont::Dialog));
    }
    EXPECT_EQ(join(HiddenTextsOf([] { CScenarioDlg d; d.exec(); })), "") << "scenario";
    EXPECT_EQ(join(HiddenTextsOf([&] {
                  CRulerDlg d;
                  data.Prepare(d);
                  d.exec();
              })),
              "")
        << "ruler";
    // The largest stocks there are, and country names of four characters.
    C(0).SetName(platform::Utf8ToSjis("東西南北"));
    C(1).SetName(platform::Utf8ToSjis("春夏秋冬"));
    for (int maximum : {901, 2147483647}) {
        EXPECT_EQ(join(HiddenTextsOf([&] {
                      CMoveDlg d;
                      PrepareMove(d, maximum);
                      d.m_strTitle = QStringLiteral("東西南北 から 春夏秋冬 へ移動");
                      d.exec();
                  })),
                  "")
            << "move " << maximum;
    }
    C(0).SetSoldiers(2147483647);
    C(0).SetRuler(11); // 公孫瓚, the longest name
    EXPECT_EQ(join(HiddenTextsOf([&] {
                  BattleScript script(world, 0, 1, world.random);
                  CBattleDlg d(script);
                  d.SetStepInterval(60'000);
                  d.exec();
              })),
              "")
        << "battle";
    EXPECT_EQ(join(HiddenTextsOf([] {
                  CMessageWnd d;
                  d.m_strText = QStringLiteral("東西南北 の攻略は成功です");
                  d.m_nElapse = 60'000;
                  d.exec();
              })),
              "")
        << "message";
}

// ---- The chosen scenario or ruler is plain to see ----

namespace {

int Grey(QRgb p) { return qGray(p); }

// The mean grey of a button's face, taken from a strip left of its caption.
int FaceGrey(const QImage& shot, const QRect& button)
{
    long long sum = 0;
    int n = 0;
    for (int y = button.top() + button.height() / 3; y <= button.bottom() - button.height() / 3; ++y)
        for (int x = button.left() + 4; x < button.left() + 10; ++x, ++n)
            sum += Grey(shot.pixel(x, y));
    return static_cast<int>(sum / qMax(1, n));
}

// The lightest of the pixels just inside the button's outline, at the middle of each
// side: dark when the button is framed.
int FrameGrey(const QImage& shot, const QRect& button)
{
    const QPoint c = button.center();
    int lightest = 0;
    for (QPoint p : {QPoint(button.left() + 2, c.y()), QPoint(button.right() - 2, c.y()),
                     QPoint(c.x(), button.top() + 2), QPoint(c.x(), button.bottom() - 2)})
        lightest = qMax(lightest, Grey(shot.pixel(p)));
    return lightest;
}

} // namespace

TEST(DialogChoice, TheCheckedButtonIsDarkerAndFramedInItsOwnPlace)
{
    RulerData data;
    struct Choice {
        const char* what;
        std::function<void(std::function<void(QWidget*)>)> open;
        const char* checked;
        const char* other;
    };
    const Choice choices[] = {
        {"scenario", [](auto act) { CScenarioDlg d; OnModal(act); d.exec(); }, "scenario1", "scenario2"},
        {"ruler", [&](auto act) { CRulerDlg d; data.Prepare(d); OnModal(act); d.exec(); }, "ruler6", "ruler7"},
    };
    for (const Choice& c : choices) {
        c.open([&c](QWidget* d) {
            auto* checked = Named<QPushButton>(d, c.checked);
            auto* other = Named<QPushButton>(d, c.other);
            const QRect place = checked->geometry();
            QTest::mouseClick(checked, Qt::LeftButton);
            ASSERT_TRUE(checked->isChecked());
            EXPECT_EQ(checked->geometry(), place) << "the layout stays";
            const QImage shot = d->grab().toImage();
            const int checkedFace = FaceGrey(shot, checked->geometry());
            const int otherFace = FaceGrey(shot, other->geometry());
            EXPECT_GE(otherFace - checkedFace, 60) << c.what << ": faces " << checkedFace << " and " << otherFace;
            EXPECT_LE(FrameGrey(shot, checked->geometry()), 80) << c.what << ": a dark frame";
            EXPECT_GT(FrameGrey(shot, other->geometry()), 150) << c.what << ": the others keep their face";
            d->close();
        });
    }
}
