#include "dialogs/scenario_dlg.h"

#include <QButtonGroup>
#include <QPushButton>

#include "dialogs/radio_group.h"
#include "platform/fonts.h"
#include "platform/message_box.h"

namespace {
const char* const kCaptions[CScenarioDlg::kScenarioCount] = {
    "189年 12月    群雄割拠",
    "200年 4月    官渡の戦い",
    "219年 5月    三国鼎立",
};
const int kButtonY[CScenarioDlg::kScenarioCount] = {25, 55, 85};
} // namespace

CScenarioDlg::CScenarioDlg(QWidget* owner)
    : TemplateDialog(owner, QStringLiteral("シナリオ選択"), 139, 137, platform::Font(platform::GameFont::Dialog))
{
    QPushButton* ok = AddPushButton(QStringLiteral("選択"), 77, 116, 50, 14, true);
    QPushButton* cancel = AddPushButton(QStringLiteral("ｷｬﾝｾﾙ"), 13, 116, 50, 14);
    AddText(QStringLiteral("ｼﾅﾘｵを選択してください"), 10, 11, 70, 8);
    m_group = new QButtonGroup(this);
    for (int i = 0; i < kScenarioCount; ++i) {
        QPushButton* button = dialogs::MakeRadioPushButton(this, m_group, i, QString::fromUtf8(kCaptions[i]));
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
        platform::ShowMessageBox(this, QStringLiteral("シナリオを選択してください"));
        return;
    }
    accept();
}
