// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/battle/battle_dlg.h"

#include <QCoreApplication>

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QTimerEvent>

#include <algorithm>

#include "platform/fonts.h"
#include "view/map/map_picture.h"
#include "words/shown_text.h"
#include "platform/resources.h"

namespace {
const QColor kCountBackground(210, 210, 210);
} // namespace

CBattleDlg::CBattleDlg(BattleScript& script, QWidget* owner)
    : TemplateDialog(owner, tr("戦争"), 315, 85, platform::Font(platform::GameFont::Dialog),
                     TemplateDialog::Caption),
      m_script(script)
{
    const Qt::Alignment centred = Qt::AlignCenter;
    AddText(tr("攻撃側"), 62, 9, 22, 8);
    m_attacker = AddText(QString(), 91, 7, 11, 11, centred, true);
    m_attackerName = AddText(QString(), 103, 7, 25, 11, centred, true);
    m_attackerRuler = AddText(QString(), 91, 20, 25, 11, centred, true);
    m_attackerLine = AddText(QString(), 62, 33, 85, 11, Qt::AlignLeft | Qt::AlignVCenter);
    AddText(tr("兵士数"), 62, 49, 22, 8);
    m_pictures[0] = AddText(QString(), 7, 7, 49, 71);
    AddText(tr("守備側"), 187, 10, 22, 8);
    m_target = AddText(QString(), 216, 7, 11, 11, centred, true);
    m_targetName = AddText(QString(), 228, 7, 25, 11, centred, true);
    m_targetRuler = AddText(QString(), 216, 20, 25, 11, centred, true);
    m_targetLine = AddText(QString(), 172, 33, 81, 11, Qt::AlignRight | Qt::AlignVCenter);
    AddText(tr("兵士数"), 187, 49, 22, 8);
    m_pictures[1] = AddText(QString(), 259, 7, 49, 71);
    // Beside the specified fields: each side's training, on a small line under its
    // soldier count (the attacker's flush left, the defender's flush right).
    m_training[0] = AddText(QString(), 96, 74, 45, 8);
    m_training[1] = AddText(QString(), 208, 74, 45, 8, Qt::AlignRight | Qt::AlignTop);
    m_training[0]->setObjectName(QStringLiteral("attackerTraining"));
    m_training[1]->setObjectName(QStringLiteral("targetTraining"));
    m_attacker->setObjectName(QStringLiteral("attacker"));
    m_attackerName->setObjectName(QStringLiteral("attackerName"));
    m_attackerRuler->setObjectName(QStringLiteral("attackerRuler"));
    m_attackerLine->setObjectName(QStringLiteral("attackerLine"));
    m_target->setObjectName(QStringLiteral("target"));
    m_targetName->setObjectName(QStringLiteral("targetName"));
    m_targetRuler->setObjectName(QStringLiteral("targetRuler"));
    m_targetLine->setObjectName(QStringLiteral("targetLine"));
    // Every line fits its box: the attacker's grows to the right, the target's (set
    // flush right) to the left.
    int longest = 0;
    for (const auto* table : {&kBattleCries, &kBattleEndLines})
        for (std::string_view line : *table)
            longest = qMax(longest, m_attackerLine->fontMetrics().horizontalAdvance(
                                        QCoreApplication::translate("Message", std::string(line).c_str())));
    if (longest > m_attackerLine->width())
        m_attackerLine->resize(longest, m_attackerLine->height());
    if (longest > m_targetLine->width())
        m_targetLine->setGeometry(m_targetLine->geometry().right() + 1 - longest, m_targetLine->y(), longest,
                                  m_targetLine->height());
}

CBattleDlg::~CBattleDlg() { m_timer.stop(); }

QString CBattleDlg::CountText(int soldiers) { return QStringLiteral("%1").arg(soldiers, 6); }

QString CBattleDlg::TrainingText(int training) { return tr("訓練 %1").arg(training); }

void CBattleDlg::OnInitDialog()
{
    m_script.Start();
    const int rulers[2] = {m_script.m_nAttackerRuler, m_script.m_nTargetRuler};
    for (int side = 0; side < 2; ++side) {
        m_portraits[side] = platform::LoadResourcePixmap(kPortraitResource + rulers[side], Scale());
        m_pictures[side]->setPixmap(m_portraits[side]);
        if (!m_portraits[side].isNull())
            m_pictures[side]->resize(m_portraits[side].size());
    }
    UpdateData();
    m_timer.start(m_stepMs, Qt::PreciseTimer, this);
}

void CBattleDlg::UpdateData()
{
    // The commanders' lines are the rules' own texts, translated as they are.
    auto line = [](const std::string& s) { return QCoreApplication::translate("Message", s.c_str()); };
    m_attacker->setText(QString::number(m_script.m_nAttacker));
    m_target->setText(QString::number(m_script.m_nTarget));
    m_attackerName->setText(shown::Text(m_script.m_attackerName));
    m_targetName->setText(shown::Text(m_script.m_targetName));
    m_attackerRuler->setText(shown::RulerName(m_script.m_nAttackerRuler));
    m_targetRuler->setText(shown::RulerName(m_script.m_nTargetRuler));
    m_attackerLine->setText(line(m_script.m_strAttackerLine));
    m_targetLine->setText(line(m_script.m_strTargetLine));
    m_training[0]->setText(TrainingText(m_script.m_nAttackerTraining));
    m_training[1]->setText(TrainingText(m_script.m_nTargetTraining));
    FitStaticTexts();
    update();
    const QString round = QCoreApplication::translate("CBattleDlg", "攻撃側 %1 %2 / 守備側 %3 %4")
                              .arg(m_script.m_nAttackerSoldiers)
                              .arg(m_attackerLine->text())
                              .arg(m_script.m_nTargetSoldiers)
                              .arg(m_targetLine->text())
                              .simplified();
    if (m_rounds.isEmpty() || m_rounds.back() != round)
        m_rounds.push_back(round);
}

void CBattleDlg::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != m_timer.timerId()) {
        TemplateDialog::timerEvent(event);
        return;
    }
    if (m_script.Tick()) {
        accept();
        return;
    }
    UpdateData();
}

void CBattleDlg::FinishNow()
{
    m_timer.stop();
    m_script.Finish();
    UpdateData();
    // The outcome is settled; the final counts stay long enough to be read. The
    // finished script closes the window at the next tick.
    m_holding = true;
    m_timer.start(std::min(m_stepMs, BattleScript::kBattleStepMs), Qt::PreciseTimer, this);
}

void CBattleDlg::OnOK()
{
    if (m_holding)
        accept();
    else
        FinishNow();
}

void CBattleDlg::reject()
{
    // Escape, like Enter, skips the rest of the animation but not the fight.
    if (m_abandoned)
        TemplateDialog::reject();
    else if (m_holding)
        accept();
    else
        FinishNow();
}

void CBattleDlg::keyPressEvent(QKeyEvent* event)
{
    // While the final counts are held, any new key closes the window (a held-down
    // Enter repeating does not).
    if (m_holding) {
        if (!event->isAutoRepeat())
            accept();
        return;
    }
    TemplateDialog::keyPressEvent(event);
}

void CBattleDlg::mousePressEvent(QMouseEvent* event)
{
    if (m_holding) {
        accept();
        return;
    }
    TemplateDialog::mousePressEvent(event);
}

void CBattleDlg::closeEvent(QCloseEvent* event)
{
    event->ignore();
    reject();
}

void CBattleDlg::Abandon()
{
    m_abandoned = true;
    m_timer.stop();
    TemplateDialog::reject();
}

void CBattleDlg::done(int result)
{
    m_timer.stop();
    TemplateDialog::done(result);
}

void CBattleDlg::paintEvent(QPaintEvent* event)
{
    TemplateDialog::paintEvent(event);
    QPainter painter(this);
    painter.setFont(platform::Font(platform::GameFont::BattleCounts, Scale()));
    painter.setPen(Qt::black);
    painter.setBackgroundMode(Qt::OpaqueMode);
    painter.setBackground(kCountBackground);
    const QFontMetrics metrics(painter.font());
    for (int side = 0; side < 2; ++side)
        painter.drawText(CountRect(side).topLeft() + QPoint(0, metrics.ascent()), CountText(SideCount(side)));
}

int CBattleDlg::SideCount(int side) const
{
    return side == 0 ? m_script.m_nAttackerSoldiers : m_script.m_nTargetSoldiers;
}

QRect CBattleDlg::CountRect(int side) const
{
    // Below the two "兵士数" labels. The attacker's count starts under the middle of
    // his half; the defender's ends where his line and name boxes end, so that it
    // never runs under his portrait, however many digits it has.
    const QFontMetrics metrics(platform::Font(platform::GameFont::BattleCounts, Scale()));
    const int width = metrics.horizontalAdvance(CountText(SideCount(side)));
    const int left = side == 0 ? Du().X(96) : Du().X(253) - width;
    return QRect(left, Du().Y(60), width, metrics.height());
}
