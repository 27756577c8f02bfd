// SPDX-License-Identifier: GPL-3.0-or-later
// The open and save file dialogs with the game's file filter and default extension.
#pragma once

#include <QString>

class QWidget;

namespace platform {

// The path chosen, or an empty string when the player cancelled. A name typed
// without an extension gets ".txt". The folder last used is remembered in the
// settings and offered again.
QString GetSaveGamePath(QWidget* parent);
QString GetOpenGamePath(QWidget* parent);


} // namespace platform
