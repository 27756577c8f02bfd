// SPDX-License-Identifier: GPL-3.0-or-later
// The keyboard help window (ﾍﾙﾌﾟ → 操作方法): every key of the game with what it does,
// listed from the same table the view's buttons and keys are made from
// (CommandTable::AllKeys).
#pragma once

#include <vector>

#include "dialogs/key_help.h"
#include "platform/template_dialog.h"

class KeysDialog : public platform::TemplateDialog {
    Q_OBJECT

public:
    explicit KeysDialog(const std::vector<KeyHelp>& keys, QWidget* owner = nullptr);

    static constexpr const char* kTitle = QT_TRANSLATE_NOOP("KeysDialog", "操作方法");
};
