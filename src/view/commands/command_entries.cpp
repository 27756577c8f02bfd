// SPDX-License-Identifier: GPL-3.0-or-later
// The seven commands of the table, each with its button and handler in the main view,
// what it does, costs and needs, and the command of the turn's description it is.
#include "view/commands/command_table.h"

#include <QCoreApplication>

#include "model/country.h"
#include "rules/battle.h"
#include "view/map/kiv_view.h"

namespace {

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

} // namespace

const std::array<CommandEntry, 7>& CommandTable::Entries()
{
    static const std::array<CommandEntry, 7> entries = {{
        {QT_TRANSLATE_NOOP("CommandTable", "移動"), ID_CMD_MOVE, Qt::Key_M, 20, CommandEntry::Action, &CKivView::moveButton, &CKivView::OnMove,
         &DescribeMove, TurnCommand::Move},
        {QT_TRANSLATE_NOOP("CommandTable", "戦争"), ID_CMD_WAR, Qt::Key_W, 90, CommandEntry::Action, &CKivView::warButton, &CKivView::OnWar,
         &DescribeWar, TurnCommand::War},
        {QT_TRANSLATE_NOOP("CommandTable", "開墾"), ID_CMD_DEVELOP_LAND, Qt::Key_L, 160, CommandEntry::Action, &CKivView::landButton,
         &CKivView::OnDevelopLand, &DescribeLand, TurnCommand::DevelopLand},
        {QT_TRANSLATE_NOOP("CommandTable", "商業"), ID_CMD_DEVELOP_COMMERCE, Qt::Key_C, 230, CommandEntry::Action, &CKivView::commerceButton,
         &CKivView::OnDevelopCommerce, &DescribeCommerce, TurnCommand::DevelopCommerce},
        {QT_TRANSLATE_NOOP("CommandTable", "徴兵"), ID_CMD_CONSCRIPT, Qt::Key_S, 300, CommandEntry::Action, &CKivView::conscriptButton,
         &CKivView::OnConscript, &DescribeConscript, TurnCommand::Conscript},
        {QT_TRANSLATE_NOOP("CommandTable", "訓練"), ID_CMD_TRAIN, Qt::Key_T, 370, CommandEntry::Action, &CKivView::trainButton, &CKivView::OnTrain,
         &DescribeTrain, TurnCommand::Train},
        {QT_TRANSLATE_NOOP("CommandTable", "休養"), ID_CMD_REST, Qt::Key_R, 440, CommandEntry::Rest, &CKivView::restButton, &CKivView::OnRest,
         &DescribeRest, TurnCommand::Rest},
    }};
    return entries;
}
