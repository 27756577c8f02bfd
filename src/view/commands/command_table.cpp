// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/commands/command_table.h"

#include <QCoreApplication>

namespace {

// The table's texts in the language in use.
QString T(const char* japanese) { return QCoreApplication::translate("CommandTable", japanese); }

} // namespace

QString CommandTable::Caption(const CommandEntry& entry) { return T(entry.caption); }

const CommandEntry* CommandTable::ForKey(int key)
{
    for (const CommandEntry& entry : Entries())
        if (entry.key == key)
            return &entry;
    return nullptr;
}

QString CommandTable::Tooltip(const CommandEntry& entry, const QString& why)
{
    QString tip = QStringLiteral("%1 (%2)\n%3")
                      .arg(Caption(entry), QKeySequence(entry.key).toString(QKeySequence::NativeText),
                           entry.describe());
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
QKeySequence CommandTable::PauseKey() { return QKeySequence(Qt::Key_Pause); }
QKeySequence CommandTable::StepKey() { return QKeySequence(Qt::Key_Period); }
QKeySequence CommandTable::RestRemainingKey() { return QKeySequence(Qt::SHIFT | Qt::Key_R); }

QKeySequence CommandTable::CountryListKey() { return QKeySequence(Qt::Key_F2); }
QKeySequence CommandTable::RepeatKey() { return QKeySequence(Qt::Key_F8); }
QKeySequence CommandTable::RoundsKey() { return QKeySequence(Qt::Key_F9); }
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
    keys.push_back(Row({RestRemainingKey()}, QCoreApplication::translate("CommandTable", "残りを休養: この月に残った自国をすべて休養させる (次の人の番で止まる)")));
    keys.push_back(Row({PauseKey()}, QCoreApplication::translate("CommandTable", "観戦・再生を一時停止する・続ける")));
    keys.push_back(Row({StepKey()}, QCoreApplication::translate("CommandTable", "一時停止中: 1か月 (再生は1手) 進める")));
    keys.push_back(Row({CountryListKey()}, QCoreApplication::translate("CommandTable", "国一覧へ: 地図の国を矢印キーで順に選ぶ (読み上げソフト向け)")));
    keys.push_back(Row({RepeatKey()}, QCoreApplication::translate("CommandTable", "読み上げソフトへの最後の案内をもう一度")));
    keys.push_back(Row({RoundsKey()}, QCoreApplication::translate("CommandTable", "最後の戦いの経過を聞く (読み上げソフト向け)")));
    keys.push_back(Row({HelpKey()}, QCoreApplication::translate("CommandTable", "操作方法 (この画面)")));
    KeyHelp battle = Row(BattleKeys(), QCoreApplication::translate("CommandTable", "戦闘画面: 戦いを終わりまで一度に進める\n結果が出た後は、どのキーでも閉じる"),
                         KeyHelp::Battle);
    battle.keys = QStringLiteral("Enter / Esc"); // the two Enter keys under one name
    keys.push_back(battle);
    return keys;
}
