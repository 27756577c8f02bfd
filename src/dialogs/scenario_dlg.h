// SPDX-License-Identifier: GPL-3.0-or-later
// The first step of a new game: three scenario buttons, one of which the player picks.
#pragma once

#include "platform/template_dialog.h"

class QButtonGroup;

class CScenarioDlg : public platform::TemplateDialog {
    Q_OBJECT

public:
    static constexpr int kScenarioCount = 3;

    explicit CScenarioDlg(QWidget* owner = nullptr);

    // The caption of the scenario whose world begins in year, in the language in use;
    // empty when none does.
    static QString CaptionOfYear(int year);

    // The chosen scenario 0..2; -1 = none.
    int m_nScenario = -1;

protected:
    void OnInitDialog() override;
    void OnOK() override;

private:
    // Radio group to and from m_nScenario.
    void DoDataExchange(bool saveAndValidate);

    QButtonGroup* m_group;
};
