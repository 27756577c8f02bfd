// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/commands/foresight_words.h"

#include <QCoreApplication>

#include <cmath>

#include "foresight/advisor.h"
#include "view/commands/command_table.h"
#include "words/shown_text.h"

namespace foresight_words {

namespace {

int Percent(double share) { return static_cast<int>(std::lround(share * 100)); }

} // namespace

BattleOdds WarOdds(const GameState& world, int attacker, int target)
{
    return OddsOfBattle(world, attacker, target, BattleKind::Player);
}

QString OddsLine(const BattleOdds& odds)
{
    return QCoreApplication::translate("ForesightWords", "占領 %1%  退却 %2%  全滅 %3%  残る兵士 味方 %4 敵 %5")
        .arg(Percent(odds.TakenShare()))
        .arg(Percent(odds.BeatenOffShare()))
        .arg(Percent(odds.WipedOutShare()))
        .arg(std::lround(odds.attackerKept))
        .arg(std::lround(odds.targetKept));
}

QString WarChoiceLine(const GameState& world, int target)
{
    return QCoreApplication::translate("ForesightWords", "%1 %2 へ攻撃 (Enter)").arg(target).arg(shown::CountryName(world, target));
}

QString OddsTip(const BattleOdds& odds)
{
    return QCoreApplication::translate("ForesightWords", "攻め込めば (%1 回の試算)\n占領 %2%\n退却 %3%\n全滅 %4%\n残る兵士 味方 %5 敵 %6")
        .arg(odds.trials)
        .arg(Percent(odds.TakenShare()))
        .arg(Percent(odds.BeatenOffShare()))
        .arg(Percent(odds.WipedOutShare()))
        .arg(std::lround(odds.attackerKept))
        .arg(std::lround(odds.targetKept));
}

const CommandEntry* EntryOf(const PlayerCommand& command)
{
    // The key letters are the keys' own codes (Qt::Key_M is 'M').
    return CommandTable::ForKey(foresight::CommandKey(command));
}

QString CommandText(const GameState& world, const PlayerCommand& command)
{
    const CommandEntry* entry = EntryOf(command);
    QString text = entry ? CommandTable::Caption(*entry) : QString();
    const int target = foresight::CommandTarget(command);
    if (target >= 0)
        text += QStringLiteral(" %1 %2").arg(target).arg(shown::CountryName(world, target));
    if (const auto* move = std::get_if<command::Move>(&command))
        text += QCoreApplication::translate("ForesightWords", " (兵士 %1 兵糧 %2 資金 %3)").arg(move->soldiers).arg(move->provisions).arg(move->funds);
    return text;
}

} // namespace foresight_words
