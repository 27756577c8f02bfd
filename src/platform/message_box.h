// The plain message box: one text, an OK button, captioned with the program's name.
#pragma once

#include <QString>

class QWidget;

namespace platform {

// Shows text modally and returns when the player has pressed OK.
void ShowMessageBox(QWidget* parent, const QString& text);


} // namespace platform
