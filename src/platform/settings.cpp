// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/settings.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>

namespace platform::settings {

QString GuardSettingsFiles()
{
    // The files QSettings reads for the organisation and the application, the user's
    // and the system's, most specific first.
    const QString organisation = QCoreApplication::organizationName();
    const QString application = QCoreApplication::applicationName();
    QStringList files;
    for (const QString& folder : {QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation),
                                  QLibraryInfo::path(QLibraryInfo::SettingsPath)}) {
        files << folder + u'/' + organisation + u'/' + application + QStringLiteral(".conf")
              << folder + u'/' + organisation + QStringLiteral(".conf");
    }
    for (const QString& file : files) {
        const QFileInfo info(file);
        if (!info.exists() || info.isFile())
            continue;
        KeepToThisRun();
        return file;
    }
    return {};
}

namespace {

// The keys. The recent files keep the names the settings key has always used for them.
const char* const kLastGameFolder = "Settings/LastGameFolder";
const char* const kRecentFileList = "Recent File List";
const char* const kZoom = "Settings/Zoom";
const char* const kSpeed = "Settings/Speed";
const char* const kRulerPatterns = "Settings/RulerPatterns";
const char* const kCountryNames = "Settings/CountryNamesOnMap";
const char* const kBattleArrows = "Settings/BattleArrows";
const char* const kTurnReport = "Settings/TurnReport";
const char* const kHighContrast = "Settings/HighContrast";
const char* const kOneKeyTurn = "Settings/OneKeyTurn";
const char* const kLastSeats = "Settings/LastSeats";
const char* const kDifficulty = "Settings/Difficulty";
const char* const kLanguage = "Settings/Language";
const char* const kWindows = "Windows";

bool Flag(const char* key, bool fallback) { return QSettings().value(key, fallback).toBool(); }
void SetFlag(const char* key, bool on) { QSettings().setValue(key, on); }

// A stored integer, or fallback when it is missing or outside min..max.
int Bounded(const char* key, int min, int max, int fallback)
{
    bool ok = false;
    const int value = QSettings().value(key).toInt(&ok);
    return ok && value >= min && value <= max ? value : fallback;
}

} // namespace

void KeepToThisRun()
{
    static QTemporaryDir scratch;
    // Without a scratch folder, a place below a file, which nobody can make: the
    // settings then go nowhere.
    const QString folder = scratch.isValid() ? scratch.path() : QStringLiteral("/dev/null/settings");
    for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
        for (const QSettings::Scope scope : {QSettings::UserScope, QSettings::SystemScope})
            QSettings::setPath(format, scope, folder);
}

QString LastGameFolder() { return QSettings().value(kLastGameFolder).toString(); }
void SetLastGameFolder(const QString& folder) { QSettings().setValue(kLastGameFolder, folder); }

QStringList RecentFiles()
{
    QSettings s;
    s.beginGroup(kRecentFileList);
    QStringList files;
    for (int i = 1; i <= kRecentFileCount; ++i) {
        const QString file = s.value(QStringLiteral("File%1").arg(i)).toString();
        if (!file.isEmpty())
            files.append(file);
    }
    return files;
}

void SetRecentFiles(const QStringList& files)
{
    QSettings s;
    s.beginGroup(kRecentFileList);
    for (int i = 1; i <= kRecentFileCount; ++i) {
        const QString key = QStringLiteral("File%1").arg(i);
        if (i <= files.size())
            s.setValue(key, files[i - 1]);
        else
            s.remove(key);
    }
}

void AddRecentFile(const QString& path)
{
    QStringList files = RecentFiles();
    files.removeAll(path);
    files.prepend(path);
    while (files.size() > kRecentFileCount)
        files.removeLast();
    SetRecentFiles(files);
}

namespace {
const char* const kRandomSeeds = "Settings/RandomSeeds"; // "start:seed", the latest first
constexpr int kRandomSeedsKept = 64;
} // namespace

std::optional<std::uint32_t> RandomSeedOf(std::uint32_t start)
{
    const QString prefix = QString::number(start) + QLatin1Char(':');
    for (const QString& entry : QSettings().value(kRandomSeeds).toStringList()) {
        bool ok = false;
        const uint seed = entry.startsWith(prefix) ? entry.mid(prefix.size()).toUInt(&ok) : 0;
        if (ok)
            return static_cast<std::uint32_t>(seed);
    }
    return std::nullopt;
}

void SetRandomSeedOf(std::uint32_t start, std::uint32_t seed)
{
    const QString prefix = QString::number(start) + QLatin1Char(':');
    QStringList entries = QSettings().value(kRandomSeeds).toStringList();
    entries.erase(std::remove_if(entries.begin(), entries.end(), [&](const QString& e) { return e.startsWith(prefix); }),
                  entries.end());
    entries.prepend(prefix + QString::number(seed));
    while (entries.size() > kRandomSeedsKept)
        entries.removeLast();
    QSettings().setValue(kRandomSeeds, entries);
}

qreal Zoom()
{
    bool ok = false;
    const qreal value = QSettings().value(kZoom).toString().toDouble(&ok);
    return ok && value >= 1 && value <= kMaxZoom ? value : 0;
}
void SetZoom(qreal zoom) { QSettings().setValue(kZoom, QString::number(std::clamp<qreal>(zoom, 1, kMaxZoom))); }

GameSpeed Speed() { return static_cast<GameSpeed>(Bounded(kSpeed, 0, 2, 0)); }
void SetSpeed(GameSpeed speed) { QSettings().setValue(kSpeed, static_cast<int>(speed)); }

bool RulerPatterns() { return Flag(kRulerPatterns, false); }
void SetRulerPatterns(bool on) { SetFlag(kRulerPatterns, on); }

bool BattleArrows() { return Flag(kBattleArrows, false); }
void SetBattleArrows(bool on) { SetFlag(kBattleArrows, on); }

bool CountryNamesOnMap() { return Flag(kCountryNames, false); }
void SetCountryNamesOnMap(bool on) { SetFlag(kCountryNames, on); }

int NewGameDifficulty() { return Bounded(kDifficulty, 0, kDifficultyLevelCount - 1, 1); }
void SetNewGameDifficulty(int level) { QSettings().setValue(kDifficulty, std::clamp(level, 0, kDifficultyLevelCount - 1)); }

bool TurnReport() { return Flag(kTurnReport, true); }
void SetTurnReport(bool on) { SetFlag(kTurnReport, on); }
bool HighContrast() { return Flag(kHighContrast, false); }
void SetHighContrast(bool on) { SetFlag(kHighContrast, on); }

bool OneKeyTurn() { return Flag(kOneKeyTurn, false); }
void SetOneKeyTurn(bool on) { SetFlag(kOneKeyTurn, on); }

QString LastSeats() { return QSettings().value(kLastSeats).toString(); }
void SetLastSeats(const QString& word) { QSettings().setValue(kLastSeats, word); }

QByteArray WindowGeometry(const QString& window)
{
    return QSettings().value(QStringLiteral("%1/%2/Geometry").arg(kWindows, window)).toByteArray();
}
void SetWindowGeometry(const QString& window, const QByteArray& geometry)
{
    QSettings().setValue(QStringLiteral("%1/%2/Geometry").arg(kWindows, window), geometry);
}

std::optional<QPoint> WindowPlace(const QString& window)
{
    const QVariant place = QSettings().value(QStringLiteral("%1/%2/Place").arg(kWindows, window));
    if (!place.canConvert<QPoint>() || !place.isValid())
        return std::nullopt;
    return place.toPoint();
}
void SetWindowPlace(const QString& window, QPoint frameTopLeft)
{
    QSettings().setValue(QStringLiteral("%1/%2/Place").arg(kWindows, window), frameTopLeft);
}

bool WindowOpen(const QString& window)
{
    return QSettings().value(QStringLiteral("%1/%2/Open").arg(kWindows, window), false).toBool();
}
void SetWindowOpen(const QString& window, bool open)
{
    QSettings().setValue(QStringLiteral("%1/%2/Open").arg(kWindows, window), open);
}

QString Language()
{
    const QString language = QSettings().value(kLanguage).toString();
    return language == QLatin1String("ja") || language == QLatin1String("en") ? language : QString();
}
void SetLanguage(const QString& language) { QSettings().setValue(kLanguage, language); }

} // namespace platform::settings
