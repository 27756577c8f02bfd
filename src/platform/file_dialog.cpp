// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/file_dialog.h"

#include <QFileDialog>
#include <QFileInfo>

#include "platform/settings.h"

namespace platform {

namespace {

QString RunDialog(QWidget* parent, bool save)
{
    QFileDialog dialog(parent);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilters({QStringLiteral("Kiv Files (*.txt)"), QStringLiteral("All Files (*)")});
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    // An existing file is replaced without a question, as the player chose it.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    const QString folder = settings::LastGameFolder();
    if (!folder.isEmpty() && QFileInfo(folder).isDir())
        dialog.setDirectory(folder);
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
