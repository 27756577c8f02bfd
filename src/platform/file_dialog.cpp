// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/file_dialog.h"

#include <QFileDialog>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "platform/settings.h"
#include "platform/window_scale.h"
#include "platform/windows.h"

namespace platform {

namespace {

QString RunDialog(QWidget* parent, bool save)
{
    QFileDialog dialog(parent);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // The game's own filter, worded anew only for another language.
    dialog.setNameFilters({QCoreApplication::translate("FileDialog", "Kiv Files (*.txt)"),
                           QCoreApplication::translate("FileDialog", "All Files (*)")});
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    // An existing file is replaced without a question, as the player chose it.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    // Where the player last saved or loaded a game, else the documents folder (the home
    // folder where there is none), never the folder the program was started from.
    QString folder = settings::LastGameFolder();
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::homePath();
    dialog.setDirectory(folder);
    // Its text follows the zoom, and so does its size, within the screen.
    const QSize room = AvailableArea(parent).size().shrunkBy(FrameMargins(&dialog));
    dialog.resize((dialog.size() * WindowScale()).boundedTo(room.isValid() ? room : dialog.size() * WindowScale()));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    const QString path = dialog.selectedFiles().constFirst();
    settings::SetLastGameFolder(QFileInfo(path).absolutePath());
    return path;
}

} // namespace

QString GetSaveGamePath(QWidget* parent) { return RunDialog(parent, true); }
QString GetOpenGamePath(QWidget* parent) { return RunDialog(parent, false); }

} // namespace platform
