#include "platform/data_directory.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace platform {

bool HoldsGameData(const QString& directory)
{
    const QDir dir(directory);
    return QFileInfo(dir.filePath(QStringLiteral("scenario1.txt"))).isFile() &&
           QFileInfo(dir.filePath(QStringLiteral("country1.txt"))).isFile();
}

QString DataDirectory()
{
    const QString current = QDir::currentPath();
    if (HoldsGameData(current))
        return current;
    QStringList candidates;
    const QString exeDir = QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString();
    if (!exeDir.isEmpty()) {
        candidates << exeDir + QStringLiteral("/data")
                   << exeDir + QStringLiteral("/../share/velcor/data");
    }
    candidates << QStringLiteral(VELCOR_INSTALLED_DATA_DIR) << QStringLiteral(VELCOR_SOURCE_DATA_DIR);
    for (const QString& candidate : candidates) {
        if (HoldsGameData(candidate))
            return QDir(candidate).canonicalPath();
    }
    return current;
}

} // namespace platform
