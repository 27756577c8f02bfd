// SPDX-License-Identifier: GPL-3.0-or-later
// The about box.
#pragma once

#include "platform/template_dialog.h"

class CAboutDlg : public platform::TemplateDialog {
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget* owner = nullptr);
};
