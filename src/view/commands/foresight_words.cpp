// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/commands/foresight_words.h"

#include <QCoreApplication>
#include <QLocale>

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

QString AdviceReason(const GameState& world, const std::vector<foresight::AdvisedCommand>& ranking,
                     std::size_t index, int horizon)
{
    if (index >= ranking.size() || ranking[index].trials == 0)
        return {};
    const foresight::AdvisedCommand& a = ranking[index];
    const QLocale locale;
    QStringList sentences;
    sentences << QCoreApplication::translate("ForesightWords", "%1か月の平均は %2 か国、今の国数以上で終わる試行は %3%。")
                     .arg(horizon)
                     .arg(locale.toString(a.MeanHeldOverMonths(), 'f', 1))
                     .arg(Percent(a.KeptShare()));
    const int threat = a.MainThreat();
    const QString attacker = threat >= 0 ? QStringLiteral("%1 %2").arg(threat).arg(shown::CountryName(world, threat))
                                         : QString();
    if (a.lost == 0)
        sentences << QCoreApplication::translate("ForesightWords", "国を失った試行はありません。");
    else if (Percent(a.LostShare()) == 0)
        sentences << (threat >= 0 ? QCoreApplication::translate("ForesightWords", "国を失った試行は 1% 未満 (%1 の攻撃)。").arg(attacker)
                                  : QCoreApplication::translate("ForesightWords", "国を失った試行は 1% 未満。"));
    else
        sentences << (threat >= 0 ? QCoreApplication::translate("ForesightWords", "国を失った試行は %1% (多くは %2 の攻撃)。").arg(Percent(a.LostShare())).arg(attacker)
                                  : QCoreApplication::translate("ForesightWords", "国を失った試行は %1%。").arg(Percent(a.LostShare())));
    const bool tied = (index > 0 && foresight::SameScore(ranking[index - 1], a)) ||
                      (index + 1 < ranking.size() && foresight::SameScore(ranking[index + 1], a));
    if (tied)
        sentences << QCoreApplication::translate("ForesightWords", "評価が同じ命令の間では、終わりの兵力 (兵士×訓練) の大きい順です: この命令は %1。")
                         .arg(locale.toString(static_cast<qlonglong>(std::llround(a.MeanArmy()))));
    return sentences.join(QLatin1Char('\n'));
}

QString ScoreText(const foresight::AdvisedCommand& advised)
{
    return advised.trials > 0 ? QLocale().toString(advised.Score(), 'f', 2) : QString();
}

QString ScoreScale(int horizon, int countriesNow, double riskPenalty)
{
    return QCoreApplication::translate("ForesightWords", "評価は国の数で数えます: %1か月の平均の国数から、国を失った試行の割合 × %2 か国を引いたもの"
              " (国を失う危険が大きいと負になります)。今は %3 か国です。")
        .arg(horizon)
        .arg(QLocale().toString(riskPenalty, 'g', 3))
        .arg(countriesNow);
}

QString NoWarReason(const platform::Message& why)
{
    return why.empty() ? QString() : QCoreApplication::translate("ForesightWords", "戦争は出せません: %1").arg(shown::Text(why));
}

} // namespace foresight_words
