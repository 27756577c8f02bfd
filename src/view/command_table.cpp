// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/command_table.h"

#include <QCoreApplication>

#include "model/country.h"
#include "rules/battle.h"
#include "rules/commands.h"
#include "view/kiv_view.h"
#include "view/shown_text.h"

namespace {

// The table's texts in the language in use.
QString T(const char* japanese) { return QCoreApplication::translate("CommandTable", japanese); }

// ---- What each command does, costs and needs ----

QString DescribeMove() { return QCoreApplication::translate("CommandTable", "兵士・兵糧・資金を隣の自国へ移します。費用はかかりません (隣に自国があること)"); }

QString DescribeWar()
{
    return QCoreApplication::translate("CommandTable", "資金 %1 で隣の国に攻め込みます (兵糧が兵士以上、資金 %1 以上)\n"
                                                       "相手の兵士が 0 になれば占領 (相討ちでも)、兵士のいない国は戦わずに占領します\n"
                                                       "こちらの兵士が 0 になるか、%2 回の攻防で決着がつかなければ失敗です\n"
                                                       "戦いの後、残った兵士と同じだけの兵糧を使います")
        .arg(kWarCostFunds)
        .arg(BattleScript::kBattleExchanges);
}

QString DescribeDevelop(const char* figure)
{
    return QCoreApplication::translate("CommandTable", "資金 %1 で%2を 1〜%3 上げます (資金 %1 以上)")
        .arg(Country::kActionCost)
        .arg(QCoreApplication::translate("CommandFigure", figure))
        .arg(Country::kDevelopRange);
}
// The figure a command raises, as the description names it (a word of its own, as a
// language may name the figure otherwise than the button).
QString DescribeLand() { return DescribeDevelop(QT_TRANSLATE_NOOP("CommandFigure", "開墾")); }
QString DescribeCommerce() { return DescribeDevelop(QT_TRANSLATE_NOOP("CommandFigure", "商業")); }

QString DescribeConscript()
{
    return QCoreApplication::translate("CommandTable", "資金 %1 で人口から兵士を %2〜%3 集めます (資金 %1 以上)\n新兵の分だけ訓練が下がります")
        .arg(Country::kActionCost)
        .arg(Country::kConscriptMinimum)
        .arg(Country::kConscriptMinimum + Country::kConscriptRange - 1);
}

QString DescribeTrain()
{
    return QCoreApplication::translate("CommandTable", "訓練を 1〜%1 上げます。費用はかかりません (訓練 %2 未満)")
        .arg(Country::kTrainRange)
        .arg(Country::kMaxTraining);
}

QString DescribeRest() { return QCoreApplication::translate("CommandTable", "この国の番を終えます"); }

// ---- Why a command would not act for the turn country ----

} // namespace

QString CommandTable::BlockText(CommandBlock block) { return shown::Text(RefusalWords(block)); }

namespace {

QString MoveBlocked(const GameState& world, int country) { return CommandTable::BlockText(MoveBlock(world, country)); }
QString WarBlocked(const GameState& world, int country) { return CommandTable::BlockText(WarBlock(world, country)); }

template <DomesticCommand command>
QString DomesticBlocked(const GameState& world, int country)
{
    return CommandTable::BlockText(DomesticBlock(world, command, country));
}

QString RestBlocked(const GameState&, int) { return {}; }

// Why a button the player cannot use now is out of reach, by the view's mode.
QString ModeReason(const CommandEntry& entry, const CommandContext& context)
{
    switch (context.mode) {
    case ViewMode::NoGame:
        return QCoreApplication::translate("CommandTable", "ゲームが始まっていません");
    case ViewMode::ComputerTurns:
        return QCoreApplication::translate("CommandTable", "ほかの国の番です");
    case ViewMode::ChooseMoveTarget:
        return QCoreApplication::translate("CommandTable", "移動先を選択中です (右クリックまたは Esc で取り消し)");
    case ViewMode::ChooseAttackTarget:
        return QCoreApplication::translate("CommandTable", "攻撃先を選択中です (右クリックまたは Esc で取り消し)");
    case ViewMode::Victory:
    case ViewMode::GameOver:
        return QCoreApplication::translate("CommandTable", "ゲームは終わりました");
    case ViewMode::PlayerTurn:
        break;
    }
    return entry.group == CommandEntry::Action ? QCoreApplication::translate("CommandTable", "この番の行動は済みました (休養で番を終えます)")
                                               : QCoreApplication::translate("CommandTable", "この番の行動は済みました");
}

} // namespace

const std::array<CommandEntry, 7>& CommandTable::Entries()
{
    static const std::array<CommandEntry, 7> entries = {{
        {QT_TRANSLATE_NOOP("CommandTable", "移動"), ID_CMD_MOVE, Qt::Key_M, 20, CommandEntry::Action, &CKivView::moveButton, &CKivView::OnMove,
         &DescribeMove, &MoveBlocked},
        {QT_TRANSLATE_NOOP("CommandTable", "戦争"), ID_CMD_WAR, Qt::Key_W, 90, CommandEntry::Action, &CKivView::warButton, &CKivView::OnWar,
         &DescribeWar, &WarBlocked},
        {QT_TRANSLATE_NOOP("CommandTable", "開墾"), ID_CMD_DEVELOP_LAND, Qt::Key_L, 160, CommandEntry::Action, &CKivView::landButton,
         &CKivView::OnDevelopLand, &DescribeLand, &DomesticBlocked<DomesticCommand::DevelopLand>},
        {QT_TRANSLATE_NOOP("CommandTable", "商業"), ID_CMD_DEVELOP_COMMERCE, Qt::Key_C, 230, CommandEntry::Action, &CKivView::commerceButton,
         &CKivView::OnDevelopCommerce, &DescribeCommerce, &DomesticBlocked<DomesticCommand::DevelopCommerce>},
        {QT_TRANSLATE_NOOP("CommandTable", "徴兵"), ID_CMD_CONSCRIPT, Qt::Key_S, 300, CommandEntry::Action, &CKivView::conscriptButton,
         &CKivView::OnConscript, &DescribeConscript, &DomesticBlocked<DomesticCommand::Conscript>},
        {QT_TRANSLATE_NOOP("CommandTable", "訓練"), ID_CMD_TRAIN, Qt::Key_T, 370, CommandEntry::Action, &CKivView::trainButton, &CKivView::OnTrain,
         &DescribeTrain, &DomesticBlocked<DomesticCommand::Train>},
        {QT_TRANSLATE_NOOP("CommandTable", "休養"), ID_CMD_REST, Qt::Key_R, 440, CommandEntry::Rest, &CKivView::restButton, &CKivView::OnRest,
         &DescribeRest, &RestBlocked},
    }};
    return entries;
}

QString CommandTable::Caption(const CommandEntry& entry) { return T(entry.caption); }

const CommandEntry* CommandTable::ForKey(int key)
{
    for (const CommandEntry& entry : Entries())
        if (entry.key == key)
            return &entry;
    return nullptr;
}

QString CommandTable::WhyNot(const CommandEntry& entry, const CommandContext& context)
{
    if (context.mode != ViewMode::PlayerTurn || !context.enabled)
        return ModeReason(entry, context);
    return context.world ? entry.blocked(*context.world, context.turnCountry) : QString();
}

QString CommandTable::Tooltip(const CommandEntry& entry, const CommandContext& context)
{
    QString tip = QStringLiteral("%1 (%2)\n%3")
                      .arg(Caption(entry), QKeySequence(entry.key).toString(QKeySequence::NativeText),
                           entry.describe());
    const QString why = WhyNot(entry, context);
    if (!why.isEmpty())
        tip += QCoreApplication::translate("CommandTable", "\n今は使えません: ") + why;
    return tip;
}

QString CommandTable::ChoosingHint()
{
    return QCoreApplication::translate("CommandTable", "右クリックまたは Esc で取り消し　矢印キーか Tab で選び Enter で決定");
}

const std::vector<MenuKey>& CommandTable::MenuKeys()
{
    static const std::vector<MenuKey> keys = {
        {CommandTable::ID_FILE_NEW_GAME, QKeySequence(Qt::CTRL | Qt::Key_N), QT_TRANSLATE_NOOP("CommandTable", "ｹﾞｰﾑ開始")},
        {CommandTable::ID_FILE_SAVE_GAME, QKeySequence(Qt::CTRL | Qt::Key_S), QT_TRANSLATE_NOOP("CommandTable", "ｾｰﾌﾞ")},
        {CommandTable::ID_FILE_LOAD_GAME, QKeySequence(Qt::CTRL | Qt::Key_O), QT_TRANSLATE_NOOP("CommandTable", "ﾛｰﾄﾞ")},
        {CommandTable::ID_APP_EXIT, QKeySequence(Qt::CTRL | Qt::Key_Q), QT_TRANSLATE_NOOP("CommandTable", "ｱﾌﾟﾘｹｰｼｮﾝの終了")},
    };
    return keys;
}

QKeySequence CommandTable::HelpKey() { return QKeySequence(Qt::Key_F1); }

QKeySequence CommandTable::ChronicleKey() { return QKeySequence(Qt::Key_F3); }

QKeySequence CommandTable::OwnCountriesKey() { return QKeySequence(Qt::Key_F4); }
QKeySequence CommandTable::AdviceKey() { return QKeySequence(Qt::Key_A); }

QList<QKeySequence> CommandTable::ZoomInKeys()
{
    return {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)};
}

QList<QKeySequence> CommandTable::ZoomOutKeys() { return {QKeySequence(Qt::CTRL | Qt::Key_Minus)}; }

QList<QKeySequence> CommandTable::BattleKeys()
{
    return {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter), QKeySequence(Qt::Key_Escape)};
}

namespace {

// A row whose keys are shown by their own names, "Ctrl++ / Ctrl+=".
KeyHelp Row(const QList<QKeySequence>& sequences, const QString& action, KeyHelp::Window window = KeyHelp::Main)
{
    QStringList names;
    for (const QKeySequence& keys : sequences)
        names << keys.toString(QKeySequence::NativeText);
    return {names.join(QStringLiteral(" / ")), action, window, sequences};
}

} // namespace

std::vector<KeyHelp> CommandTable::AllKeys()
{
    std::vector<KeyHelp> keys;
    for (const CommandEntry& entry : Entries())
        keys.push_back(Row({QKeySequence(entry.key)},
                           Caption(entry) + QCoreApplication::translate("CommandTable", "：") + entry.describe()));
    keys.push_back({QStringLiteral("← ↑ → ↓ / Tab / Shift+Tab"),
                    QCoreApplication::translate("CommandTable", "移動先・攻撃先を選ぶ (選んだ国は地図に囲みで示されます)"), KeyHelp::Main,
                    {QKeySequence(Qt::Key_Left), QKeySequence(Qt::Key_Up), QKeySequence(Qt::Key_Right),
                     QKeySequence(Qt::Key_Down), QKeySequence(Qt::Key_Tab), QKeySequence(Qt::Key_Backtab)}});
    keys.push_back({QStringLiteral("Enter"), QCoreApplication::translate("CommandTable", "選んだ国に決める"), KeyHelp::Main,
                    {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)}});
    keys.push_back({QCoreApplication::translate("CommandTable", "Esc / 右クリック"),
                    QCoreApplication::translate("CommandTable", "移動先・攻撃先の選択を取り消す"), KeyHelp::Main,
                    {QKeySequence(Qt::Key_Escape)}});
    keys.push_back({QCoreApplication::translate("CommandTable", "↑ ↓ / 1〜9"),
                    QCoreApplication::translate("CommandTable", "シナリオ選択・君主選択で選び、Enter で決める"), KeyHelp::NewGame, {}});
    for (const MenuKey& key : MenuKeys())
        keys.push_back(Row({key.keys}, T(key.label)));
    keys.push_back(Row(ZoomInKeys(), QCoreApplication::translate("CommandTable", "画面を大きくする (拡大)")));
    keys.push_back(Row(ZoomOutKeys(), QCoreApplication::translate("CommandTable", "画面を小さくする (縮小)")));
    keys.push_back(Row({ChronicleKey()}, QCoreApplication::translate("CommandTable", "戦況記録を開く・閉じる")));
    keys.push_back(Row({OwnCountriesKey()}, QCoreApplication::translate("CommandTable", "自国一覧を開く・閉じる")));
    keys.push_back(Row({AdviceKey()}, QCoreApplication::translate("CommandTable", "助言: この国で出せる命令を先読みして順位をつける")));
    keys.push_back(Row({HelpKey()}, QCoreApplication::translate("CommandTable", "操作方法 (この画面)")));
    KeyHelp battle = Row(BattleKeys(), QCoreApplication::translate("CommandTable", "戦闘画面: 戦いを終わりまで一度に進める\n結果が出た後は、どのキーでも閉じる"),
                         KeyHelp::Battle);
    battle.keys = QStringLiteral("Enter / Esc"); // the two Enter keys under one name
    keys.push_back(battle);
    return keys;
}
