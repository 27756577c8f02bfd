// SPDX-License-Identifier: GPL-3.0-or-later
#include "words/event_words.h"

#include <QCoreApplication>
#include <QStringList>

#include <algorithm>
#include <vector>

#include "words/shown_text.h"

#include "model/game_state.h"
#include "rules/battle.h"
#include "rules/names.h"

namespace chronicle {

namespace {


QString Ruler(int ruler) { return shown::RulerName(ruler); }


QString CommandText(const GameState& world, const GameEvent& e)
{
    const QString who = QCoreApplication::translate("chronicle", "%1 は %2 で").arg(Ruler(e.ruler), shown::CountryName(world, e.country));
    switch (e.Command()) {
    case DomesticCommand::DevelopLand:
        return who + QCoreApplication::translate("chronicle", "開墾しました (開墾 %1)").arg(e.Value());
    case DomesticCommand::DevelopCommerce:
        return who + QCoreApplication::translate("chronicle", "商業を発展させました (商業 %1)").arg(e.Value());
    case DomesticCommand::Conscript:
        return who + QCoreApplication::translate("chronicle", "徴兵しました (兵士 %1)").arg(e.Value());
    case DomesticCommand::Train:
        return who + QCoreApplication::translate("chronicle", "訓練しました (訓練 %1)").arg(e.Value());
    }
    return who;
}

QString BattleText(const GameState& world, const GameEvent& e)
{
    // A country taken with its defenders untouched had none to fight (or no ruler to
    // fight for it): the army marched in, and no battle is told.
    if (e.Outcome() == BattleOutcome::Taken && e.TargetBefore() == e.TargetAfter())
        return QCoreApplication::translate("chronicle", "%1 は %2 から兵を進め、戦わずに %3 を占領しました")
            .arg(Ruler(e.ruler), shown::CountryName(world, e.country), shown::CountryName(world, e.target));
    const QString attack =
        QCoreApplication::translate("chronicle", "%1 が %2 から %3 に攻め込み").arg(Ruler(e.ruler), shown::CountryName(world, e.country), shown::CountryName(world, e.target));
    const QString armies = QCoreApplication::translate("chronicle", " (兵士 %1→%2 / %3→%4)")
                               .arg(e.AttackerBefore())
                               .arg(e.AttackerAfter())
                               .arg(e.TargetBefore())
                               .arg(e.TargetAfter());
    switch (e.Outcome()) {
    case BattleOutcome::Taken:
        return attack + QCoreApplication::translate("chronicle", "、占領しました") + armies;
    case BattleOutcome::Repelled:
        return attack + QCoreApplication::translate("chronicle", "ましたが、撃退されました") + armies;
    case BattleOutcome::Retreat: {
        // Both armies still stood when the exchanges ran out: the attack failed.
        const int exchanges = e.byPlayer ? BattleScript::kBattleExchanges : kComputerBattleExchanges;
        return attack + QCoreApplication::translate("chronicle", "ましたが、%1 回の攻防で攻め落とせず退きました").arg(exchanges) + armies;
    }
    }
    return attack;
}

} // namespace

QString MonthHeading(int year, int month) { return QCoreApplication::translate("chronicle", "%1 年 %2 月").arg(year).arg(month); }

QString EventText(const GameState& world, const GameEvent& e, std::optional<std::uint32_t> seed)
{
    switch (e.kind) {
    case EventKind::Start: {
        const std::vector<RulerId> players = Players(world);
        if (players.empty())
            return e.byPlayer ? QCoreApplication::translate("chronicle", "ﾛｰﾄﾞしました (観戦)")
                              : QCoreApplication::translate("chronicle", "観戦を開始しました");
        // Every player of the game, when the event's is one of them (the first).
        QStringList names{Ruler(e.ruler)};
        if (std::find(players.begin(), players.end(), e.ruler) != players.end())
            for (RulerId r : players)
                if (r != e.ruler)
                    names << Ruler(r);
        const QString who = names.join(QCoreApplication::translate("chronicle", "、"));
        if (e.byPlayer)
            return QCoreApplication::translate("chronicle", "ﾛｰﾄﾞしました (%1)").arg(who);
        return seed ? QCoreApplication::translate("chronicle", "乱世 (種 %1) で %2 としてｹﾞｰﾑを開始しました")
                          .arg(*seed)
                          .arg(who)
                    : QCoreApplication::translate("chronicle", "%1 としてｹﾞｰﾑを開始しました").arg(who);
    }
    case EventKind::Month:
    case EventKind::Capture:
        return {};
    case EventKind::Command:
        return CommandText(world, e);
    case EventKind::Move:
        return QCoreApplication::translate("chronicle", "%1 は %2 から %3 へ物資を移動しました (兵士 %4 兵糧 %5 資金 %6)")
            .arg(Ruler(e.ruler), shown::CountryName(world, e.country), shown::CountryName(world, e.target))
            .arg(e.Soldiers())
            .arg(e.Provisions())
            .arg(e.Funds());
    case EventKind::Battle:
        return BattleText(world, e);
    case EventKind::Fall:
        return QCoreApplication::translate("chronicle", "%1 は滅亡しました").arg(Ruler(e.ruler));
    case EventKind::Harvest:
        return QCoreApplication::translate("chronicle", "%1 の収穫: 兵糧 +%2").arg(Ruler(e.ruler)).arg(e.Amount());
    case EventKind::Taxes:
        return QCoreApplication::translate("chronicle", "%1 の税収: 資金 +%2").arg(Ruler(e.ruler)).arg(e.Amount());
    case EventKind::Victory:
        return QCoreApplication::translate("chronicle", "中国全土を統一しました");
    case EventKind::GameOver:
        return QCoreApplication::translate("chronicle", "ゲームオーバーです");
    }
    return {};
}

QString CaptureText(const GameState& world, const GameEvent& e)
{
    return QCoreApplication::translate("chronicle", "%1 は %2 を占領しました").arg(Ruler(e.ruler), shown::CountryName(world, e.country));
}

QStringList ReportLines(const QStringList& texts)
{
    QStringList lines;
    for (const QString& text : texts)
        lines.append(QCoreApplication::translate("chronicle", "・") + text);
    return lines;
}

QString Captions::Window() { return QCoreApplication::translate("chronicle", "戦況記録"); }
QString Captions::RecordTab() { return QCoreApplication::translate("chronicle", "記録"); }
QString Captions::ChartTab() { return QCoreApplication::translate("chronicle", "推移"); }
QString Captions::StandingsTab() { return QCoreApplication::translate("chronicle", "勢力"); }
QString Captions::FilterAll() { return QCoreApplication::translate("chronicle", "すべて"); }
QString Captions::FilterWar() { return QCoreApplication::translate("chronicle", "戦争と占領"); }
QString Captions::FilterMine() { return QCoreApplication::translate("chronicle", "自国に関すること"); }
QString Captions::ReportTitle() { return QCoreApplication::translate("chronicle", "戦況報告"); }
QString Captions::ReportHeading() { return QCoreApplication::translate("chronicle", "前回の手番からの出来事"); }
QString Captions::ReportShowNext() { return QCoreApplication::translate("chronicle", "毎手番表示する"); }
QString Captions::SaveChart() { return QCoreApplication::translate("chronicle", "画像として保存(&S)..."); }
QString Captions::ChartSaveTitle() { return QCoreApplication::translate("chronicle", "推移を保存"); }
QString Captions::ChartSaveFailed() { return QCoreApplication::translate("chronicle", "画像を保存できませんでした\n%1"); }
QString Captions::ChronicleSaveFailed() { return QCoreApplication::translate("chronicle", "戦況記録をセーブできませんでした\n%1\n%2"); }
QString Captions::ChronicleSetAside() { return QCoreApplication::translate("chronicle", "戦況記録を無視しました: %1"); }
QString Captions::ChronicleCut() { return QCoreApplication::translate("chronicle", "戦況記録の古い %1 件を消しました (上限 %2 件)"); }
QStringList Captions::StandingsColumns()
{
    return {QCoreApplication::translate("chronicle", "君主"), QCoreApplication::translate("chronicle", "国数"), QCoreApplication::translate("chronicle", "兵士"), QCoreApplication::translate("chronicle", "兵糧"),
            QCoreApplication::translate("chronicle", "資金")};
}
QString Captions::PlayerMark() { return QStringLiteral("★"); }
QString Captions::ChartAxisYear() { return QCoreApplication::translate("chronicle", "年"); }
QString Captions::ChartAxisCountries() { return QCoreApplication::translate("chronicle", "国数"); }

} // namespace chronicle
