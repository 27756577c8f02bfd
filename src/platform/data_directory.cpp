// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/data_directory.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace platform {

bool HoldsGameData(const QString& directory)
{
    const QDir dir(directory);
    return QFileInfo(dir.filePath(QStringLiteral("scenario1.txt"))).isFile() &&
           QFileInfo(dir.filePath(QStringLiteral("country1.txt"))).isFile();
}

QString OwnScenarioFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/scenarios");
}

QString DataDirectory()
{
    const QString current = QDir::currentPath();
    if (HoldsGameData(current))
        return current;
    QStringList candidates;
    const QString exeDir = QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString();
    if (!exeDir.isEmpty()) {
        // Beside the program, then where an install under any prefix puts the data:
        // bin/../share/velcor/data, the place this build installs it to, and Debian's
        // place for a game's data (games/../share/games/velcor/data).
        candidates << exeDir + QStringLiteral("/data")
                   << exeDir + QStringLiteral("/../share/velcor/data")
                   << exeDir + QStringLiteral("/" VELCOR_DATA_FROM_PROGRAM)
                   << exeDir + QStringLiteral("/../share/games/velcor/data");
    }
    candidates << QStringLiteral(VELCOR_INSTALLED_DATA_DIR) << QStringLiteral(VELCOR_SOURCE_DATA_DIR);
    candidates.removeDuplicates();
    for (const QString& candidate : candidates) {
        if (HoldsGameData(candidate))
            return QDir(candidate).canonicalPath();
    }
    return current;
}

} // namespace platform
