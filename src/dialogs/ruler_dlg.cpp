// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/ruler_dlg.h"

#include <QButtonGroup>
#include <QLabel>
#include <QPushButton>

#include "dialogs/radio_group.h"
#include "platform/fonts.h"
#include "platform/message_box.h"
#include "platform/path_bytes.h"
#include "platform/resources.h"
#include "words/shown_text.h"

namespace {
const int kColumnX[5] = {7, 60, 113, 167, 220};
const int kPortraitY[3] = {26, 116, 206};
const int kNameY[3] = {96, 186, 276};
constexpr int kFirstPortrait = 135;
} // namespace

CRulerDlg::CRulerDlg(QWidget* owner)
    : TemplateDialog(owner, tr("君主選択"), 275, 297, platform::Font(platform::GameFont::Dialog))
{
    QPushButton* ok = AddPushButton(tr("選択"), 218, 276, 50, 14, true);
    QPushButton* cancel = AddPushButton(tr("ｷｬﾝｾﾙ"), 158, 276, 50, 14);
    AddText(tr("プレイする君主を選択してください"), 10, 11, 98, 8);
    QPushButton* seats = AddPushButton(tr("対戦設定..."), 198, 6, 70, 14);
    seats->setObjectName(QStringLiteral("seats"));
    seats->setToolTip(tr("2人から4人で交代にﾌﾟﾚｲする、COM 同士の戦いを観戦する、COM ごとに強さを決める"));
    m_group = new QButtonGroup(this);
    for (int i = 0; i < kRulerSlotCount; ++i) {
        const int row = i / 5;
        const int column = i % 5;
        auto* portrait = new QLabel(this);
        portrait->setObjectName(QStringLiteral("portrait%1").arg(i));
        Place(portrait, kColumnX[column], kPortraitY[row], 49, 71);
        portrait->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        portrait->hide();
        m_portraitControls[i] = portrait;
        QPushButton* name = dialogs::MakeRadioPushButton(this, m_group, i, QString());
        name->setObjectName(QStringLiteral("ruler%1").arg(i));
        Place(name, kColumnX[column], kNameY[row], 49, 14);
        name->hide();
        m_nameButtons[i] = name;
    }
    connect(ok, &QPushButton::clicked, this, [this] { OnOK(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(seats, &QPushButton::clicked, this, &CRulerDlg::ChooseSeats);
    dialogs::AddChoiceKeys(this, m_group);
    ok->setFocus();
}

void CRulerDlg::DoDataExchange(bool saveAndValidate)
{
    if (saveAndValidate)
        m_nRuler = dialogs::CheckedPlace(m_group);
    else
        dialogs::CheckPlace(m_group, m_nRuler);
}

void CRulerDlg::OnInitDialog()
{
    DoDataExchange(false);
    const QString path = m_strDataDir + QStringLiteral("/scenario%1.txt").arg(m_nScenario + 1);
    const ScenarioList list = ReadScenarioFile(platform::PathToBytes(path));
    if (list.status != ScenarioStatus::Read) {
        // The dialog still opens, with no ruler to pick: the player can only cancel.
        platform::ShowMessageBox(this, shown::Text(list.words));
        return;
    }
    m_slotCount = static_cast<int>(list.rulers.size());
    for (int i = 0; i < m_slotCount; ++i) {
        const RulerId id = list.rulers[static_cast<std::size_t>(i)];
        m_rulerIds[i] = id;
        m_portraits[i] = platform::LoadResourcePixmap(kFirstPortrait + id, Scale());
        m_portraitControls[i]->setPixmap(m_portraits[i]);
        if (!m_portraits[i].isNull())
            m_portraitControls[i]->resize(m_portraits[i].size()); // a picture control takes its picture's size
        m_portraitControls[i]->show();
        m_nameButtons[i]->setText(shown::RulerName(id));
        m_nameButtons[i]->show();
    }
}

void CRulerDlg::OnOK()
{
    DoDataExchange(true);
    if (m_nRuler == -1) {
        platform::ShowMessageBox(this, tr("君主を選択してください"));
        return;
    }
    if (networked)
        return ChooseSeats();
    accept();
}

QString CRulerDlg::RulerName(RulerId ruler) const
{
    for (int i = 0; i < m_slotCount; ++i)
        if (m_rulerIds[static_cast<std::size_t>(i)] == ruler)
            return m_nameButtons[static_cast<std::size_t>(i)]->text();
    return {};
}

void CRulerDlg::ChooseSeats()
{
    std::vector<SeatsDialog::Offered> offered;
    for (int i = 0; i < m_slotCount; ++i)
        offered.push_back({m_rulerIds[static_cast<std::size_t>(i)], m_nameButtons[static_cast<std::size_t>(i)]->text()});
    if (offered.empty())
        return; // nothing to seat: the scenario could not be read
    const int checked = dialogs::CheckedPlace(m_group);
    SeatsDialog dlg(std::move(offered), checked >= 0 ? m_rulerIds[static_cast<std::size_t>(checked)] : 0, level, this);
    if (networked)
        dlg.OfferRemoteSeats();
    if (dlg.exec() != QDialog::Accepted)
        return;
    m_seats = dlg.Choice();
    m_nRuler = -1;
    for (int i = 0; i < m_slotCount; ++i)
        if (m_rulerIds[static_cast<std::size_t>(i)] == m_seats->first)
            m_nRuler = i;
    accept();
}
