#include "view/event_words.h"

#include "model/game_state.h"
#include "rules/names.h"

namespace chronicle {

namespace {

QString Country(int country)
{
    return GameState::IsCountryIndex(country) ? QString::fromStdString(CountryNameUtf8(country)) : QString();
}

QString Ruler(int ruler) { return QString::fromStdString(RulerNameUtf8(ruler)); }

QString CommandText(const GameEvent& e)
{
    const QString who = QStringLiteral("%1 は %2 で").arg(Ruler(e.ruler), Country(e.country));
    switch (e.Command()) {
    case DomesticCommand::DevelopLand:
        return who + QStringLiteral("開墾しました (開墾 %1)").arg(e.Value());
    case DomesticCommand::DevelopCommerce:
        return who + QStringLiteral("商業を発展させました (商業 %1)").arg(e.Value());
    case DomesticCommand::Conscript:
        return who + QStringLiteral("徴兵しました (兵士 %1)").arg(e.Value());
    case DomesticCommand::Train:
        return who + QStringLiteral("訓練しました (訓練 %1)").arg(e.Value());
    }
    return who;
}

QString BattleText(const GameEvent& e)
{
    const QString attack =
        QStringLiteral("%1 が %2 から %3 に攻め込み").arg(Ruler(e.ruler), Country(e.country), Country(e.target));
    const QString armies = QStringLiteral(" (兵士 %1→%2 / %3→%4)")
                               .arg(e.AttackerBefore())
                               .arg(e.AttackerAfter())
                               .arg(e.TargetBefore())
                               .arg(e.TargetAfter());
    switch (e.Outcome()) {
    case BattleOutcome::Taken:
        return attack + QStringLiteral("、占領しました") + armies;
    case BattleOutcome::Repelled:
        return attack + QStringLiteral("ましたが、撃退されました") + armies;
    case BattleOutcome::Retreat:
        return attack + QStringLiteral("ました。%1 は退却しました").arg(Ruler(e.ruler)) + armies;
    }
    return attack;
}

} // namespace

QString MonthHeading(int year, int month) { return QStringLiteral("%1 年 %2 月").arg(year).arg(month); }

QString EventText(const GameEvent& e)
{
    switch (e.kind) {
    case EventKind::Start:
        return e.byPlayer ? QStringLiteral("ﾛｰﾄﾞしました (%1)").arg(Ruler(e.ruler))
                          : QStringLiteral("%1 としてｹﾞｰﾑを開始しました").arg(Ruler(e.ruler));
    case EventKind::Month:
    case EventKind::Capture:
        return {};
    case EventKind::Command:
        return CommandText(e);
    case EventKind::Move:
        return QStringLiteral("%1 は %2 から %3 へ物資を移動しました (兵士 %4 兵糧 %5 資金 %6)")
            .arg(Ruler(e.ruler), Country(e.country), Country(e.target))
            .arg(e.Soldiers())
            .arg(e.Provisions())
            .arg(e.Funds());
    case EventKind::Battle:
        return BattleText(e);
    case EventKind::Fall:
        return QStringLiteral("%1 は滅亡しました").arg(Ruler(e.ruler));
    case EventKind::Harvest:
        return QStringLiteral("%1 の収穫: 兵糧 +%2").arg(Ruler(e.ruler)).arg(e.Amount());
    case EventKind::Taxes:
        return QStringLiteral("%1 の税収: 資金 +%2").arg(Ruler(e.ruler)).arg(e.Amount());
    case EventKind::Victory:
        return QStringLiteral("中国全土を統一しました");
    case EventKind::GameOver:
        return QStringLiteral("ゲームオーバーです");
    }
    return {};
}

QString CaptureText(const GameEvent& e)
{
    return QStringLiteral("%1 は %2 を占領しました").arg(Ruler(e.ruler), Country(e.country));
}

QStringList ReportLines(const QStringList& texts)
{
    QStringList lines;
    for (const QString& text : texts)
        lines.append(QStringLiteral("・") + text);
    return lines;
}

QString Captions::Window() { return QStringLiteral("戦況記録"); }
QString Captions::RecordTab() { return QStringLiteral("記録"); }
QString Captions::ChartTab() { return QStringLiteral("推移"); }
QString Captions::StandingsTab() { return QStringLiteral("勢力"); }
QString Captions::FilterAll() { return QStringLiteral("すべて"); }
QString Captions::FilterWar() { return QStringLiteral("戦争と占領"); }
QString Captions::FilterMine() { return QStringLiteral("自国に関すること"); }
QString Captions::ReportTitle() { return QStringLiteral("戦況報告"); }
QString Captions::ReportHeading() { return QStringLiteral("前回の手番からの出来事"); }
QString Captions::ReportShowNext() { return QStringLiteral("毎手番表示する"); }
QString Captions::SaveChart() { return QStringLiteral("画像として保存(&S)..."); }
QString Captions::ChartSaveTitle() { return QStringLiteral("推移を保存"); }
QString Captions::ChartSaveFailed() { return QStringLiteral("画像を保存できませんでした\n%1"); }
QString Captions::ChronicleSaveFailed() { return QStringLiteral("戦況記録をセーブできませんでした\n%1\n%2"); }
QString Captions::ChronicleLoadFailed() { return QStringLiteral("戦況記録を読み込めませんでした\n%1"); }
QStringList Captions::StandingsColumns()
{
    return {QStringLiteral("君主"), QStringLiteral("国数"), QStringLiteral("兵士"), QStringLiteral("兵糧"),
            QStringLiteral("資金")};
}
QString Captions::PlayerMark() { return QStringLiteral("★"); }
QString Captions::ChartAxisYear() { return QStringLiteral("年"); }
QString Captions::ChartAxisCountries() { return QStringLiteral("国数"); }

} // namespace chronicle
