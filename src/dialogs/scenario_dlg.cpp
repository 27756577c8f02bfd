// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/scenario_dlg.h"

#include <QButtonGroup>
#include <QPushButton>

#include "dialogs/radio_group.h"
#include "platform/fonts.h"
#include "platform/message_box.h"
#include "platform/numbers.h"

namespace {
const char* const kCaptions[CScenarioDlg::kScenarioCount] = {
    QT_TRANSLATE_NOOP("CScenarioDlg", "189年 12月    群雄割拠"),
    QT_TRANSLATE_NOOP("CScenarioDlg", "200年 4月    官渡の戦い"),
    QT_TRANSLATE_NOOP("CScenarioDlg", "219年 5月    三国鼎立"),
};
const int kButtonY[CScenarioDlg::kScenarioCount] = {25, 55, 85};
} // namespace

QString CScenarioDlg::CaptionOfYear(int year)
{
    // Each caption begins with its year.
    for (const char* caption : kCaptions)
        if (platform::AtoI(caption) == year)
            return tr(caption);
    return {};
}

CScenarioDlg::CScenarioDlg(QWidget* owner)
    : TemplateDialog(owner, tr("シナリオ選択"), 139, 137, platform::Font(platform::GameFont::Dialog))
{
    QPushButton* ok = AddPushButton(tr("選択"), 77, 116, 50, 14, true);
    QPushButton* cancel = AddPushButton(tr("ｷｬﾝｾﾙ"), 13, 116, 50, 14);
    AddText(tr("ｼﾅﾘｵを選択してください"), 10, 11, 70, 8);
    m_group = new QButtonGroup(this);
    for (int i = 0; i < kScenarioCount; ++i) {
        QPushButton* button = dialogs::MakeRadioPushButton(this, m_group, i, tr(kCaptions[i]));
        Place(button, 7, kButtonY[i], 126, 16);
        button->setObjectName(QStringLiteral("scenario%1").arg(i));
    }
    connect(ok, &QPushButton::clicked, this, [this] { OnOK(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    dialogs::AddChoiceKeys(this, m_group);
    ok->setFocus();
}

void CScenarioDlg::DoDataExchange(bool saveAndValidate)
{
    if (saveAndValidate)
        m_nScenario = dialogs::CheckedPlace(m_group);
    else
        dialogs::CheckPlace(m_group, m_nScenario);
}

void CScenarioDlg::OnInitDialog() { DoDataExchange(false); }

void CScenarioDlg::OnOK()
{
    DoDataExchange(true);
    if (m_nScenario == -1) {
        platform::ShowMessageBox(this, tr("シナリオを選択してください"));
        return;
    }
    accept();
}
