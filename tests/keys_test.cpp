// SPDX-License-Identifier: GPL-3.0-or-later
// The game by the keys and what it teaches on the way: a key for each command button,
// the tooltips that say what a command does, costs and needs (and why it cannot act),
// Escape, the choice of a target by the arrow keys, Tab and Enter, with its outline and
// hint on the map, the keyboard help window, and the dialogs of a new game by the keys.
#include <gtest/gtest.h>

#include <QHelpEvent>
#include <QMessageBox>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <QToolTip>

#include "app/chronicle.h"
#include "app/main_frame.h"
#include "app/view_options.h"
#include "dialogs/keys_dlg.h"
#include "dialogs/move_dlg.h"
#include "dialogs/ruler_dlg.h"
#include "dialogs/scenario_dlg.h"
#include "gui_test_support.h"
#include "message_log.h"
#include "model/country_file.h"
#include "platform/key_time.h"
#include "rules/battle.h"
#include "rules/commands.h"
#include "test_support.h"
#include "view/battle/battle_dlg.h"
#include "view/windows/advice_wnd.h"
#include "view/commands/command_table.h"
#include "view/map/target_choice.h"
#include "view_fixture.h"

namespace {

// The tooltip a button shows when the pointer rests on it.
QString TipOf(QPushButton* button)
{
    const QPoint at = button->rect().center();
    QHelpEvent help(QEvent::ToolTip, at, button->mapToGlobal(at));
    QApplication::sendEvent(button, &help);
    QToolTip::hideText();
    return button->toolTip();
}

// The last line of a tooltip when it says why the command cannot act, else "".
QString Why(const QString& tip)
{
    const QString prefix = QStringLiteral("今は使えません: ");
    const QString last = tip.section(QLatin1Char('\n'), -1);
    return last.startsWith(prefix) ? last.mid(prefix.size()) : QString();
}

// The seven commands as the game's manual gives them: caption, command id, key and
// the button's left edge.
struct Command {
    const char* caption;
    int id;
    Qt::Key key;
    int x;
};
const Command kCommands[] = {
    {"移動", 59397, Qt::Key_M, 20},  {"戦争", 59398, Qt::Key_W, 90},  {"開墾", 59399, Qt::Key_L, 160},
    {"商業", 59400, Qt::Key_C, 230}, {"徴兵", 59396, Qt::Key_S, 300}, {"訓練", 59395, Qt::Key_T, 370},
    {"休養", 59394, Qt::Key_R, 440},
};

} // namespace

// Country 1 (豫州, ruler 2) is the player's and has the turn. It borders 0 (司隷,
// ruler 1), 2 (冀州, ruler 2, his own) and 8 (益州, ruler 5).
class KeysTest : public KivViewTest {
protected:
    void SetUp() override
    {
        KivViewTest::SetUp();
        StartTurnOfCountry1();
        view->SetWindowTimes(0, 1);
    }
    QPushButton* ButtonOf(const Command& c)
    {
        for (QPushButton* b : Buttons())
            if (b->property("commandId").toInt() == c.id)
                return b;
        ADD_FAILURE() << c.caption;
        return nullptr;
    }
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(view.get(), static_cast<Qt::Key>(key), modifiers);
    }
    // A new turn of country 1 with all seven buttons.
    void NewTurn()
    {
        view->marks.shownCountry = 1;
        ReachTurn(1);
    }
    QPoint Inside(int country) const { return QPoint(SquareX(country) + 5, kSquareTop + 5); }
    Country& C1() { return W().countries[1]; }
    MessageLog log;
};

TEST_F(KeysTest, EachCommandHasItsKeyItsButtonAndItsPlaceInOneTable)
{
    ASSERT_EQ(CommandTable::Entries().size(), std::size(kCommands));
    for (std::size_t i = 0; i < std::size(kCommands); ++i) {
        const Command& c = kCommands[i];
        const CommandEntry& e = CommandTable::Entries()[i];
        SCOPED_TRACE(c.caption);
        EXPECT_STREQ(e.caption, c.caption);
        EXPECT_EQ(e.id, c.id);
        EXPECT_EQ(e.key, c.key);
        EXPECT_EQ(CommandTable::ForKey(c.key), &e);
        QPushButton* b = ButtonOf(c);
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->text(), QString::fromUtf8(c.caption));
        EXPECT_EQ(b->geometry(), QRect(c.x, 390, 60, 20));
        EXPECT_EQ(view.get()->*e.button, b);
    }
    EXPECT_EQ(CommandTable::ForKey(Qt::Key_X), nullptr);
    EXPECT_EQ(view->focusPolicy(), Qt::StrongFocus) << "the keys reach the view";
}

TEST_F(KeysTest, EveryTooltipSaysWhatTheCommandDoesCostsAndNeeds)
{
    // Written from the rules: a paid action costs 1000 funds and needs them; land and
    // commerce rise by 1..20, conscription draws 2000..11999 recruits, training rises
    // by 1..20 up to 100 at no cost; a war needs 1000 funds and provisions for every
    // soldier, takes the target when its soldiers are gone (at once when it has none,
    // even when the attacker's fall in the same exchange), fails when the attacker's
    // are gone or after four exchanges, and costs provisions for the survivors.
    const char* const expected[] = {
        "移動 (M)\n兵士・兵糧・資金を隣の自国へ移します。費用はかかりません (隣に自国があること)",
        "戦争 (W)\n資金 1000 で隣の国に攻め込みます (兵糧が兵士以上、資金 1000 以上)\n"
        "相手の兵士が 0 になれば占領 (相討ちでも)、兵士のいない国は戦わずに占領します\n"
        "こちらの兵士が 0 になるか、4 回の攻防で決着がつかなければ失敗です\n"
        "戦いの後、残った兵士と同じだけの兵糧を使います",
        "開墾 (L)\n資金 1000 で開墾を 1〜20 上げます (資金 1000 以上)",
        "商業 (C)\n資金 1000 で商業を 1〜20 上げます (資金 1000 以上)",
        "徴兵 (S)\n資金 1000 で人口から兵士を 2000〜11999 集めます (資金 1000 以上)\n新兵の分だけ訓練が下がります",
        "訓練 (T)\n訓練を 1〜20 上げます。費用はかかりません (訓練 100 未満)",
        "休養 (R)\nこの国の番を終えます",
    };
    for (std::size_t i = 0; i < std::size(kCommands); ++i)
        EXPECT_EQ(TipOf(ButtonOf(kCommands[i])), QString::fromUtf8(expected[i])) << kCommands[i].caption;
}

TEST_F(KeysTest, TheFiguresOfTheTooltipsAreTheActionsOwn)
{
    // The ends of each range the tooltips name, reached by steering the draw.
    struct Case {
        const char* what;
        int draw;                    // the first draw's remainder wanted
        int modulus;
        DomesticCommand command;
        std::int32_t (Country::*figure)() const;
        std::int32_t rise;
    };
    const Case cases[] = {
        {"開墾 1", 0, 20, DomesticCommand::DevelopLand, &Country::GetCultivation, 1},
        {"開墾 20", 19, 20, DomesticCommand::DevelopLand, &Country::GetCultivation, 20},
        {"商業 20", 19, 20, DomesticCommand::DevelopCommerce, &Country::GetCommerce, 20},
        {"徴兵 2000", 0, 10000, DomesticCommand::Conscript, &Country::GetSoldiers, 2000},
        {"徴兵 11999", 9999, 10000, DomesticCommand::Conscript, &Country::GetSoldiers, 11999},
        {"訓練 1", 0, 20, DomesticCommand::Train, &Country::GetTraining, 1},
        {"訓練 20", 19, 20, DomesticCommand::Train, &Country::GetTraining, 20},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        C1().SetFunds(1000);
        C1().SetPopulation(1'000'000);
        C1().SetTraining(0);
        const std::int32_t before = (C1().*c.figure)();
        W().commandRandom.Seed(SeedWhoseFirstDraw([&](int d) { return d % c.modulus == c.draw; }));
        ASSERT_TRUE(RunDomesticCommand(W(), Events(), c.command, 1).done);
        EXPECT_EQ((C1().*c.figure)() - before, c.rise);
        EXPECT_EQ(C1().GetFunds(), c.command == DomesticCommand::Train ? 1000 : 0);
    }
    C1().SetTraining(95);
    W().commandRandom.Seed(SeedWhoseFirstDraw([](int d) { return d % 20 == 19; }));
    ASSERT_TRUE(RunDomesticCommand(W(), Events(), DomesticCommand::Train, 1).done);
    EXPECT_EQ(C1().GetTraining(), 100) << "training stops at 100";
}

TEST_F(KeysTest, ATooltipSaysWhyTheCommandCannotActByTheCommandsOwnTest)
{
    // For each arrangement of the turn country: what the tooltip says, then what the
    // button does. A reason must come exactly when the command refuses.
    struct Case {
        const char* what;
        std::function<void(Country&)> arrange;
        int command; // index in kCommands
        const char* why;
    };
    const Case cases[] = {
        {"開墾 999", [](Country& c) { c.SetFunds(999); }, 2, "資金が不足しています"},
        {"開墾 1000", [](Country& c) { c.SetFunds(1000); }, 2, ""},
        {"商業 999", [](Country& c) { c.SetFunds(999); }, 3, "資金が不足しています"},
        {"徴兵 999", [](Country& c) { c.SetFunds(999); }, 4, "資金が不足しています"},
        {"徴兵 1000", [](Country& c) { c.SetFunds(1000); }, 4, ""},
        {"訓練 100, no funds", [](Country& c) { c.SetTraining(100); c.SetFunds(0); }, 5, "これ以上訓練できません"},
        {"訓練 99, no funds", [](Country& c) { c.SetTraining(99); c.SetFunds(0); }, 5, ""},
        {"戦争 short of both", [](Country& c) { c.SetProvisions(c.GetSoldiers() - 1); c.SetFunds(999); }, 1,
         "兵糧が不足しています"},
        {"戦争 funds", [](Country& c) { c.SetProvisions(c.GetSoldiers()); c.SetFunds(999); }, 1, "資金が不足しています"},
        {"戦争 ready", [](Country& c) { c.SetProvisions(c.GetSoldiers()); c.SetFunds(1000); }, 1, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        NewTurn();
        C1().SetFunds(9000);
        C1().SetTraining(50);
        c.arrange(C1());
        QPushButton* button = ButtonOf(kCommands[c.command]);
        EXPECT_EQ(Why(TipOf(button)), QString::fromUtf8(c.why));
        const std::int32_t funds = C1().GetFunds();
        QTest::mouseClick(button, Qt::LeftButton);
        const bool refused = view->mode == ViewMode::PlayerTurn && EnabledButtons() == 7;
        EXPECT_EQ(refused, *c.why != '\0') << view->statusText.toStdString();
        if (refused) {
            EXPECT_EQ(C1().GetFunds(), funds);
        }
        if (view->mode != ViewMode::PlayerTurn)
            view->OnRButtonDown(QPoint());
    }

    // No target: the choice would find nothing to pick.
    NewTurn();
    W().countries[2].SetRuler(3);
    EXPECT_EQ(Why(TipOf(view->moveButton)), QStringLiteral("移動できる国がありません"));
    W().countries[2].SetRuler(2);
    EXPECT_EQ(Why(TipOf(view->moveButton)), QString());
    W().countries[0].SetRuler(2);
    W().countries[8].SetRuler(2);
    C1().SetProvisions(C1().GetSoldiers());
    EXPECT_EQ(Why(TipOf(view->warButton)), QStringLiteral("攻め込める国がありません"));
    EXPECT_EQ(Why(TipOf(view->restButton)), QString());
}

TEST_F(KeysTest, ADisabledButtonsTooltipSaysWhy)
{
    auto reasons = [&] {
        std::vector<QString> why;
        for (QPushButton* b : Buttons())
            why.push_back(Why(TipOf(b)));
        return why;
    };
    // While a target is chosen each button says the stage's reason, and the choice
    // taken back gives the turn its commands again.
    Key(Qt::Key_M);
    EXPECT_EQ(reasons(), std::vector<QString>(7, QStringLiteral("移動先を選択中です (右クリックまたは Esc で取り消し)")));
    Key(Qt::Key_Escape);
    EXPECT_EQ(reasons(), std::vector<QString>(7, QString()));

    const QString acted = QStringLiteral("この番の行動は済みました (休養で番を終えます)");
    Key(Qt::Key_T);
    ASSERT_EQ(EnabledButtons(), 1);
    std::vector<QString> expected(6, acted);
    expected.push_back(QString());
    EXPECT_EQ(reasons(), expected) << "after an action only 休養 acts";
}

TEST_F(KeysTest, AKeyActsExactlyAsItsButton)
{
    // The same turn twice from the same world and seed: once by the button, once by
    // the key. Everything that follows must be the same.
    const WorldRecord start = CaptureWorld(W(), 1);
    for (std::size_t i = 2; i < 6; ++i) {
        const Command& c = kCommands[i];
        SCOPED_TRACE(c.caption);
        ApplyWorld(W(), start);
        NewTurn();
        W().commandRandom.Seed(77);
        QTest::mouseClick(ButtonOf(c), Qt::LeftButton);
        const WorldRecord byButton = CaptureWorld(W(), 1);
        const QString statusByButton = view->statusText;

        ApplyWorld(W(), start);
        NewTurn();
        W().commandRandom.Seed(77);
        Key(c.key);
        EXPECT_EQ(CaptureWorld(W(), 1), byButton);
        EXPECT_EQ(view->statusText, statusByButton);
        EXPECT_NE(view->statusText, QStringLiteral("1 豫州 の番です")) << "the key acted";
        EXPECT_EQ(EnabledButtons(), 1);
        EXPECT_TRUE(view->restButton->isEnabled());
    }
    ApplyWorld(W(), start);
    NewTurn();
    Key(Qt::Key_M);
    EXPECT_EQ(view->mode, ViewMode::ChooseMoveTarget);
    EXPECT_EQ(view->statusText, QStringLiteral("移動先を選択してください"));
    view->OnRButtonDown(QPoint());
    Key(Qt::Key_W);
    EXPECT_EQ(view->mode, ViewMode::ChooseAttackTarget);
    EXPECT_EQ(view->statusText, QStringLiteral("攻撃先を選択してください"));
    std::vector<MessageLog::Entry> prompts = {M("移動先を選択してください", 1000), M("攻撃先を選択してください", 1000)};
    EXPECT_EQ(log.entries, prompts) << Show(log.entries);

    // 休養: the computer plays to the player's next country, 冀州.
    view->OnRButtonDown(QPoint());
    Key(Qt::Key_R);
    ASSERT_TRUE(WaitUntil([&] { return view->mode != ViewMode::ComputerTurns; }, 20000));
    EXPECT_EQ(W().turnCountry, 2);
}

TEST_F(KeysTest, AKeyDoesNothingWhileItsButtonIsDisabled)
{
    auto pressAll = [&] {
        for (const Command& c : kCommands)
            Key(c.key);
    };
    // After an action: only 休養 would act, so the other keys change nothing.
    Key(Qt::Key_L);
    WorldRecord world = CaptureWorld(W(), 1);
    QString status = view->statusText;
    for (std::size_t i = 0; i < 6; ++i)
        Key(kCommands[i].key);
    EXPECT_EQ(CaptureWorld(W(), 1), world);
    EXPECT_EQ(view->statusText, status);
    EXPECT_EQ(view->mode, ViewMode::PlayerTurn);

    // In the modes whose buttons are all disabled no key acts, 休養 included.
    for (ViewMode mode : {ViewMode::NoGame, ViewMode::ChooseMoveTarget, ViewMode::ChooseAttackTarget,
                          ViewMode::GameOver}) {
        SCOPED_TRACE(static_cast<int>(mode));
        view->mode = mode;
        view->DisableCommands();
        view->restButton->setEnabled(false);
        view->statusText = QStringLiteral("そのまま");
        pressAll();
        EXPECT_EQ(view->mode, mode);
        EXPECT_EQ(view->statusText, QStringLiteral("そのまま"));
        EXPECT_EQ(CaptureWorld(W(), 1), world);
        EXPECT_FALSE(game->Session().WorkerRunning()) << "no turn started";
    }
    EXPECT_TRUE(log.entries.empty()) << Show(log.entries);

    // With a modifier a letter is not the command's key.
    NewTurn();
    world = CaptureWorld(W(), 1);
    Key(Qt::Key_L, Qt::ControlModifier);
    Key(Qt::Key_L, Qt::ShiftModifier);
    EXPECT_EQ(CaptureWorld(W(), 1), world);
    EXPECT_EQ(EnabledButtons(), 7);
}

TEST_F(KeysTest, EscapeCancelsAChoiceAsTheRightButtonDoes)
{
    for (int key : {Qt::Key_M, Qt::Key_W}) {
        C1().SetProvisions(C1().GetSoldiers());
        Key(key);
        ASSERT_NE(view->mode, ViewMode::PlayerTurn);
        ASSERT_EQ(EnabledButtons(), 0);
        Key(Qt::Key_Escape);
        EXPECT_EQ(view->mode, ViewMode::PlayerTurn);
        EXPECT_EQ(view->statusText, QStringLiteral("1 豫州 の番です"));
        EXPECT_EQ(EnabledButtons(), 7);
    }
    // Outside a choice Escape changes nothing.
    Key(Qt::Key_T);
    const QString status = view->statusText;
    Key(Qt::Key_Escape);
    EXPECT_EQ(view->statusText, status);
    EXPECT_EQ(EnabledButtons(), 1);
}

TEST_F(KeysTest, ArrowsAndTabStepThroughTheTargetsAndEnterPicksOne)
{
    C1().SetProvisions(C1().GetSoldiers());
    Key(Qt::Key_W);
    ASSERT_EQ(view->mode, ViewMode::ChooseAttackTarget);
    EXPECT_EQ(view->KeyChoice(), -1) << "a choice starts with no country chosen";
    EXPECT_EQ(view->statusText, QStringLiteral("攻撃先を選択してください"));

    // The hostile neighbours of 豫州 are 司隷 (0) and 益州 (8), in index order, round.
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int country;
    } steps[] = {
        {Qt::Key_Tab, Qt::NoModifier, 0},     {Qt::Key_Tab, Qt::NoModifier, 8},
        {Qt::Key_Tab, Qt::NoModifier, 0},     {Qt::Key_Backtab, Qt::ShiftModifier, 8},
        {Qt::Key_Left, Qt::NoModifier, 0},    {Qt::Key_Up, Qt::NoModifier, 8},
        {Qt::Key_Right, Qt::NoModifier, 0},   {Qt::Key_Down, Qt::NoModifier, 8},
    };
    for (const auto& s : steps) {
        Key(s.key, s.modifiers);
        EXPECT_EQ(view->KeyChoice(), s.country) << s.key;
        EXPECT_EQ(view->marks.shownCountry, s.country) << "the panel shows it";
    }
    // The status line names the target chosen.
    EXPECT_TRUE(view->statusText.startsWith(QStringLiteral("8 益州 "))) << view->statusText.toStdString();
    EXPECT_EQ(view->mode, ViewMode::ChooseAttackTarget);

    // Enter attacks it: the battle window, the result, 休養 only.
    Key(Qt::Key_Return);
    const bool won = W().countries[8].GetRuler() == 2;
    EXPECT_EQ(view->statusText, won ? QStringLiteral("益州 の攻略は成功です") : QStringLiteral("益州 の攻略は失敗です"));
    EXPECT_EQ(view->mode, ViewMode::PlayerTurn);
    EXPECT_EQ(EnabledButtons(), 1);
    EXPECT_EQ(view->KeyChoice(), -1);

    // A move: 冀州 (2) is the only friendly neighbour. Enter on the keypad opens the
    // dialog, 決定 moves.
    NewTurn();
    ModalScript move;
    move.Then<CMoveDlg>([](CMoveDlg* d) { QTest::mouseClick(FindButton(d, "決定"), Qt::LeftButton); });
    move.Start();
    Key(Qt::Key_M);
    Key(Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(view->mode, ViewMode::ChooseMoveTarget) << "Enter before a step picks nothing";
    Key(Qt::Key_Right);
    Key(Qt::Key_Right);
    EXPECT_EQ(view->statusText, QStringLiteral("2 冀州 へ移動 (Enter)"));
    Key(Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_TRUE(move.Done());
    EXPECT_EQ(view->statusText, QStringLiteral("冀州 に物資を移動しました"));
    EXPECT_EQ(EnabledButtons(), 1);
}

TEST_F(KeysTest, AfterAStepTheMouseStillChoosesAsItAlwaysDid)
{
    C1().SetProvisions(C1().GetSoldiers());
    // No friendly neighbour: a step says so and chooses nothing; Escape still cancels.
    W().countries[2].SetRuler(3);
    Key(Qt::Key_M);
    Key(Qt::Key_Tab);
    EXPECT_EQ(view->KeyChoice(), -1);
    EXPECT_EQ(view->statusText, QStringLiteral("移動できる国がありません"));
    Key(Qt::Key_Return);
    EXPECT_EQ(view->mode, ViewMode::ChooseMoveTarget);
    Key(Qt::Key_Escape);
    EXPECT_EQ(view->mode, ViewMode::PlayerTurn);

    // Stepped to 司隷, clicked on 益州: the click's country is attacked.
    W().countries[8].SetSoldiers(0); // falls without a fight
    Key(Qt::Key_W);
    Key(Qt::Key_Tab);
    ASSERT_EQ(view->KeyChoice(), 0);
    QTest::mouseClick(view.get(), Qt::LeftButton, {}, Inside(8));
    EXPECT_EQ(view->statusText, QStringLiteral("益州 の攻略は成功です"));
    EXPECT_EQ(W().countries[8].GetRuler(), 2);
    EXPECT_EQ(W().countries[0].GetRuler(), 1);
}

TEST_F(KeysTest, TheOutlineAndTheHintAppearOnlyWhileChoosing)
{
    C1().SetProvisions(C1().GetSoldiers());
    const QImage turn = Draw().copy();
    const QRect hint = TargetChoice::HintRect(CommandTable::ChoosingHint());
    const QRect statusBox(390, 355, 210, 23);
    EXPECT_TRUE(AllPixels(turn, hint, kSea)) << "no hint in the player's turn";

    view->OnWar();
    const QImage choosing = Draw().copy();
    // Beside the countries repainted for the choice and the status line, only the
    // hint's box has changed, and text is written in it.
    for (int y = 0; y < kMapHeight; ++y)
        for (int x = 0; x < kMapWidth; ++x)
            if (doc.Map().CountryAt(x, y) == MapPicture::kNoCountry && !hint.contains(x, y) && !statusBox.contains(x, y)) {
                ASSERT_EQ(At(choosing, x, y), At(turn, x, y)) << x << "," << y;
            }
    int written = 0; // pixels of the text on the hint's pale background
    const QRect inside = hint.adjusted(2, 2, -2, -2);
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            written += qGray(choosing.pixel(x, y)) < 128;
    EXPECT_GT(written, 200);
    EXPECT_TRUE(hint.bottom() < kMapHeight && hint.top() >= 410) << "below the buttons, inside the map";

    // No outline before a step: 益州's top edge has its ruler's colour.
    const int x8 = SquareX(8) + 12;
    EXPECT_EQ(At(choosing, x8, kSquareTop), kRulerColours[5]);
    Key(Qt::Key_Tab);
    Key(Qt::Key_Tab);
    ASSERT_EQ(view->KeyChoice(), 8);
    const QImage outlined = Draw().copy();
    // Three rings inside its edge, dark, light, dark; inside them its colour.
    EXPECT_EQ(At(outlined, x8, kSquareTop), kBlack);
    EXPECT_EQ(At(outlined, x8, kSquareTop + 1), kWhite);
    EXPECT_EQ(At(outlined, x8, kSquareTop + 2), kBlack);
    EXPECT_EQ(At(outlined, x8, kSquareTop + 3), kRulerColours[5]);
    EXPECT_EQ(At(outlined, SquareX(8) + kSquareSize - 1, kSquareTop + 12), kBlack) << "its right edge";
    EXPECT_EQ(At(outlined, SquareX(0) + 12, kSquareTop), kRulerColours[1]) << "司隷 is not outlined";
    EXPECT_EQ(At(outlined, SquareX(8) - 3, kSquareTop + 3), At(choosing, SquareX(8) - 3, kSquareTop + 3))
        << "nothing outside it";

    // Cancelled: the player's turn is drawn exactly as before the choice, the panel too.
    Key(Qt::Key_Escape);
    EXPECT_EQ(Draw(), turn);
}

TEST_F(KeysTest, AKeyPressedBeforeTheTurnBeganOrHeldDownPressesNoButton)
{
    // T, pressed when, against the moment the player's turn began; whether it trains.
    const struct {
        const char* what;
        qint64 sinceTurn;
        bool autoRepeat;
        bool acts;
    } presses[] = {
        {"typed ahead while the computer played", -40, false, false},
        {"typed ahead seconds before", -9000, false, false},
        {"pressed as the turn began", 0, false, true},
        {"pressed since", 30, false, true},
        {"held down since", 30, true, false},
    };
    for (const auto& p : presses) {
        SCOPED_TRACE(p.what);
        NewTurn();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_T, Qt::NoModifier, QString(), p.autoRepeat);
        press.setTimestamp(view->TurnBegan() + static_cast<quint64>(p.sinceTurn));
        QApplication::sendEvent(view.get(), &press);
        EXPECT_EQ(EnabledButtons(), p.acts ? 1 : 7);
    }

    // The stamps against the moment: X keeps 32 bits of them, a program's events none,
    // and a stamp of another clock lies far from the moment.
    const quint64 moment = 0x1'0000'0010;
    const struct {
        quint64 stamp;
        bool before;
    } stamps[] = {
        {moment - 1, true},          {moment - platform::kTypedAheadMs, true},
        {moment, false},             {moment + 5, false},
        {0xFFFF'FFF0, true},         {0x0000'0005, true}, // 32 bits, across the wrap and after it
        {0x0000'0020, false},        {0, false},
        {moment - 3'600'000, false},
    };
    for (const auto& s : stamps)
        EXPECT_EQ(platform::PressedBefore(s.stamp, moment), s.before) << s.stamp;
}

TEST_F(KeysTest, TheHelpListsEveryKeyTheMainWindowAndTheBattleWindowTake)
{
    const std::vector<KeyHelp> rows = CommandTable::AllKeys();
    auto listed = [&](KeyHelp::Window window, const QKeySequence& keys) {
        for (const KeyHelp& row : rows)
            if (row.window == window && row.sequences.contains(keys))
                return true;
        return false;
    };
    // Every key a keyboard sends without a modifier, tried on each window.
    std::vector<Qt::Key> candidates;
    for (int k = Qt::Key_Space; k <= Qt::Key_AsciiTilde; ++k)
        candidates.push_back(static_cast<Qt::Key>(k));
    for (int k = Qt::Key_Escape; k <= Qt::Key_Direction_R; ++k)
        candidates.push_back(static_cast<Qt::Key>(k));

    // The map's keys, in the player's turn and while he chooses a target (a repeated
    // key is taken as a fresh one would be, but acts not).
    C1().SetProvisions(C1().GetSoldiers());
    int taken = 0;
    for (bool choosing : {false, true})
        for (Qt::Key key : candidates) {
            NewTurn();
            if (choosing)
                view->OnWar();
            if (view->OnKey(key, Qt::NoModifier, true)) {
                ++taken;
                EXPECT_TRUE(listed(KeyHelp::Main, QKeySequence(key))) << QKeySequence(key).toString().toStdString();
            }
        }
    EXPECT_GE(taken, 7) << "the commands' keys at least";

    // The main window's menus, as the program makes them.
    GameController menuGame;
    auto* menuView = new CKivView(doc, menuGame);
    CMainFrame frame(menuView);
    new Chronicle(frame, *menuView);
    new ViewOptions(frame, *menuView);
    AddAdviceCommand(*frame.ViewMenu(), *menuView, frame);
    int shortcuts = 0;
    for (const QAction* action : frame.findChildren<QAction*>())
        for (const QKeySequence& keys : action->shortcuts()) {
            ++shortcuts;
            EXPECT_TRUE(listed(KeyHelp::Main, keys)) << keys.toString().toStdString();
        }
    EXPECT_GE(shortcuts, 7) << "the menus' keys at least";

    // The battle window while it fights: a key it takes ends the fighting.
    int battleKeys = 0;
    for (Qt::Key key : candidates) {
        BattleScript script(W(), 1, 0, W().random);
        CBattleDlg dlg(script);
        dlg.SetStepInterval(60'000);
        dlg.show();
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(&dlg, &press);
        if (dlg.Holding() || !dlg.isVisible()) {
            ++battleKeys;
            EXPECT_TRUE(listed(KeyHelp::Battle, QKeySequence(key))) << QKeySequence(key).toString().toStdString();
        }
    }
    EXPECT_GE(battleKeys, 2) << "Enter and Escape at least";
}

// ---- The keyboard help window ----

TEST(KeysWindow, ListsEveryKeyOfTheGameWhole)
{
    KeysDialog dlg(CommandTable::AllKeys());
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("操作方法"));
    QLabel* list = dlg.findChild<QLabel*>(QStringLiteral("keys"));
    ASSERT_NE(list, nullptr);
    // The rows of the list's table: the key, then what it does.
    QTextDocument document;
    document.setHtml(list->text());
    std::vector<std::pair<QString, QString>> rows;
    for (QTextFrame* frame : document.rootFrame()->childFrames()) {
        auto* table = qobject_cast<QTextTable*>(frame);
        ASSERT_NE(table, nullptr);
        ASSERT_EQ(table->columns(), 2);
        auto text = [&](int row, int column) {
            const QTextTableCell cell = table->cellAt(row, column);
            QTextCursor cursor = cell.firstCursorPosition();
            cursor.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
            return cursor.selectedText();
        };
        for (int row = 0; row < table->rows(); ++row)
            rows.emplace_back(text(row, 0), text(row, 1));
    }
    auto listed = [&](const char* key, const char* what) {
        for (const auto& [k, w] : rows)
            if (k == QString::fromUtf8(key) && w.contains(QString::fromUtf8(what)))
                return true;
        return false;
    };
    for (const Command& c : kCommands)
        EXPECT_TRUE(listed(QKeySequence(c.key).toString().toUtf8().constData(), c.caption)) << c.caption;
    for (const auto& [key, what] : std::vector<std::pair<const char*, const char*>>{
             {"Ctrl+N", "ｹﾞｰﾑ開始"}, {"Ctrl+S", "ｾｰﾌﾞ"}, {"Ctrl+O", "ﾛｰﾄﾞ"}, {"Ctrl+Q", "ｱﾌﾟﾘｹｰｼｮﾝの終了"},
             {"Esc / 右クリック", "取り消す"}, {"Enter", "決める"}, {"F1", "操作方法"}, {"F3", "戦況記録"},
             {"← ↑ → ↓ / Tab / Shift+Tab", "選ぶ"},
             {"↑ ↓ / 1〜9", "君主選択"}})
        EXPECT_TRUE(listed(key, what)) << key;

    // The list fits the window and the OK button lies below it.
    QPushButton* ok = FindButton(&dlg, "OK");
    ASSERT_NE(ok, nullptr);
    EXPECT_TRUE(dlg.rect().contains(list->geometry()));
    EXPECT_TRUE(dlg.rect().contains(ok->geometry()));
    EXPECT_GT(ok->y(), list->geometry().bottom());
    QTextDocument layout;
    layout.setDefaultFont(list->font());
    layout.setHtml(list->text());
    EXPECT_GE(list->width(), layout.idealWidth()) << "no line of the list is wrapped or cut";
}

// ---- The dialogs of a new game by the keys ----

namespace {

QWidget* Focused(QWidget* dialog) { return dialog->focusWidget() ? dialog->focusWidget() : dialog; }
int CheckedOf(QWidget* dialog, const char* prefix, int count)
{
    for (int i = 0; i < count; ++i)
        if (dialog->findChild<QPushButton*>(QString::fromLatin1(prefix) + QString::number(i))->isChecked())
            return i;
    return -1;
}

} // namespace

TEST(DialogKeys, UpDownAndTheDigitsChooseAScenarioWhileTheFocusRestsOnSelect)
{
    CScenarioDlg dlg;
    std::vector<int> seen;
    QString focus;
    ModalScript script;
    script.Then<CScenarioDlg>([&](CScenarioDlg* d) {
        focus = qobject_cast<QPushButton*>(d->focusWidget())->text();
        // 乱世 (3) is the fourth choice.
        for (Qt::Key key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Up,
                            Qt::Key_Up, Qt::Key_3, Qt::Key_9, Qt::Key_2}) {
            QTest::keyClick(Focused(d), key);
            seen.push_back(Child<QPushButton>(d, "randomScenario")->isChecked() ? 3 : CheckedOf(d, "scenario", 3));
        }
        EXPECT_EQ(qobject_cast<QPushButton*>(d->focusWidget())->text(), QStringLiteral("選択")) << "the focus stays";
        QTest::keyClick(Focused(d), Qt::Key_Return);
    });
    script.Start();
    EXPECT_EQ(dlg.exec(), QDialog::Accepted);
    EXPECT_EQ(focus, QStringLiteral("選択"));
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 2, 3, 0, 3, 2, 2, 2, 1})) << "down, round, up, 3, no 9th, 2";
    EXPECT_EQ(dlg.m_nScenario, 1);

    // Up from no choice takes the last, 乱世; the focus on ｷｬﾝｾﾙ still cancels.
    CScenarioDlg cancelled;
    ModalScript cancel;
    cancel.Then<CScenarioDlg>([](CScenarioDlg* d) {
        FindButton(d, "ｷｬﾝｾﾙ")->setFocus();
        QTest::keyClick(Focused(d), Qt::Key_Up);
        EXPECT_TRUE(Child<QPushButton>(d, "randomScenario")->isChecked());
        QTest::keyClick(Focused(d), Qt::Key_Return);
    });
    cancel.Start();
    EXPECT_EQ(cancelled.exec(), QDialog::Rejected);
}

TEST(DialogKeys, TheRulerDialogPassesOverSlotsTheScenarioLeftEmpty)
{
    TempDir dir;
    WriteFileBytes(dir.Path("scenario1.txt"), "3\r\n7\r\n12\r\n");
    CRulerDlg dlg;
    dlg.m_strDataDir = QString::fromStdString(dir.Path());
    dlg.m_nScenario = 0;
    std::vector<int> seen;
    ModalScript script;
    script.Then<CRulerDlg>([&](CRulerDlg* d) {
        for (Qt::Key key : {Qt::Key_Up, Qt::Key_Down, Qt::Key_Right, Qt::Key_Left, Qt::Key_Left, Qt::Key_5,
                            Qt::Key_3, Qt::Key_1, Qt::Key_2}) {
            QTest::keyClick(Focused(d), key);
            seen.push_back(CheckedOf(d, "ruler", kRulerSlotCount));
        }
        QTest::keyClick(Focused(d), Qt::Key_Return);
    });
    script.Start();
    EXPECT_EQ(dlg.exec(), QDialog::Accepted);
    EXPECT_EQ(seen, (std::vector<int>{2, 0, 1, 0, 2, 2, 2, 0, 1})) << "three slots shown, no fifth";
    EXPECT_EQ(dlg.m_rulerIds[static_cast<std::size_t>(dlg.m_nRuler)], 7);
}
