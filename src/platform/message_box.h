// SPDX-License-Identifier: GPL-3.0-or-later
// The plain message box: one text, an OK button, captioned with the program's name.
#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace platform {

// Shows text modally and returns when the player has pressed OK.
void ShowMessageBox(QWidget* parent, const QString& text);

// Hands every later message box's text to sink instead of showing a window: for a run
// that nobody watches (the screenshot mode), where a box would wait for an OK that
// never comes. An empty sink shows windows again.
void SetMessageBoxSink(std::function<void(const QString&)> sink);


} // namespace platform
