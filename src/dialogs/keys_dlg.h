// SPDX-License-Identifier: GPL-3.0-or-later
// The keyboard help window (ﾍﾙﾌﾟ → 操作方法): every key of the game with what it does,
// listed from the same table the view's buttons and keys are made from.
#pragma once

#include "platform/template_dialog.h"

class CKeysDlg : public platform::TemplateDialog {
    Q_OBJECT

public:
    explicit CKeysDlg(QWidget* owner = nullptr);

    static constexpr const char* kTitle = QT_TRANSLATE_NOOP("CKeysDlg", "操作方法");
};
