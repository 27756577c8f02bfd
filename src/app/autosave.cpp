// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/autosave.h"

#include <QCoreApplication>

#include "words/shown_text.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

#include <algorithm>
#include <set>

#include "model/country_file.h"
#include "platform/path_bytes.h"
#include "platform/text_file.h"
#include "session/save_companions.h"

namespace {

// The files kept beside a save (its chronicle, its difficulty, its record), which go
// with it.
QStringList Companions(const QString& savePath)
{
    QStringList paths;
    for (const std::string& path : SaveCompanions(platform::PathToBytes(savePath)))
        paths << platform::PathFromBytes(path);
    return paths;
}

const QRegularExpression& FileNamePattern()
{
    static const QRegularExpression pattern(QStringLiteral("^autosave([1-9]\\d{0,8})\\.txt$"));
    return pattern;
}

} // namespace

AutosaveStore::AutosaveStore(QString folder) : m_folder(std::move(folder)) {}

namespace {
bool g_keepNone = false;
}

void AutosaveStore::KeepNone() { g_keepNone = true; }

QString AutosaveStore::DefaultFolder()
{
    if (g_keepNone)
        return {};
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/autosave");
}

QString AutosaveStore::PathOf(qint64 number) const
{
    return QDir(m_folder).filePath(QStringLiteral("autosave%1.txt").arg(number));
}

std::vector<qint64> AutosaveStore::Numbers() const
{
    std::vector<qint64> numbers;
    if (m_folder.isEmpty())
        return numbers;
    const QStringList names = QDir(m_folder).entryList({QStringLiteral("autosave*.txt")}, QDir::Files);
    for (const QString& name : names) {
        const QRegularExpressionMatch match = FileNamePattern().match(name);
        if (match.hasMatch())
            numbers.push_back(match.captured(1).toLongLong());
    }
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

void AutosaveStore::Remove(qint64 number) const
{
    QFile::remove(PathOf(number));
    for (const QString& companion : Companions(PathOf(number)))
        QFile::remove(companion);
}

void AutosaveStore::Renumber(std::vector<qint64>& numbers) const
{
    // Ascending, each to a number no higher than its own: no name is taken twice.
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        const qint64 number = static_cast<qint64>(i) + 1;
        if (numbers[i] == number)
            continue;
        Remove(number);
        QFile::rename(PathOf(numbers[i]), PathOf(number));
        const QStringList from = Companions(PathOf(numbers[i]));
        const QStringList to = Companions(PathOf(number));
        for (qsizetype k = 0; k < from.size(); ++k)
            QFile::rename(from[k], to[k]);
        numbers[i] = number;
    }
}

bool AutosaveStore::Holds(const QString& path) const
{
    const QFileInfo file(path);
    return !m_folder.isEmpty() && FileNamePattern().match(file.fileName()).hasMatch() &&
           QFileInfo(file.absolutePath()).canonicalFilePath() == QFileInfo(m_folder).canonicalFilePath();
}

std::vector<AutosaveStore::Entry> AutosaveStore::Entries() const
{
    std::vector<Entry> entries;
    const std::vector<qint64> numbers = Numbers();
    for (auto it = numbers.rbegin(); it != numbers.rend(); ++it) {
        Entry entry;
        entry.number = *it;
        entry.path = PathOf(*it);
        platform::TextFileReader reader;
        WorldRecord world;
        if (!reader.Open(platform::PathToBytes(entry.path)) || !ParseCountryFile(reader, world, nullptr, CountryFileUse::SavedGame))
            continue;
        entry.year = world.year;
        entry.month = world.month;
        // Whose turn it keeps: with several at the screen, not always the first's.
        const RulerId turn = TurnRulerOf(world);
        entry.ruler = turn != 0 ? turn : world.playerRuler;
        entry.written = QFileInfo(entry.path).lastModified();
        entries.push_back(entry);
    }
    return entries;
}

bool AutosaveStore::Save(const Writer& write, QString* error)
{
    if (m_folder.isEmpty())
        return true;
    if (!QDir().mkpath(m_folder)) {
        if (error)
            *error = QCoreApplication::translate("AutosaveStore", "フォルダを作れません: %1").arg(QDir::toNativeSeparators(m_folder));
        return false;
    }
    std::vector<qint64> numbers = Numbers();
    if (!numbers.empty() && numbers.back() == kLastNumber) {
        // Only the newest that stay beside the next go on, numbered again.
        const std::size_t staying = std::min(numbers.size(), static_cast<std::size_t>(kKept - 1));
        for (std::size_t i = 0; i + staying < numbers.size(); ++i)
            Remove(numbers[i]);
        numbers.erase(numbers.begin(), numbers.end() - static_cast<std::ptrdiff_t>(staying));
        Renumber(numbers);
    }
    const qint64 next = numbers.empty() ? 1 : numbers.back() + 1;
    // A companion left without its save under the new name is no longer this one's.
    for (const QString& companion : Companions(PathOf(next)))
        QFile::remove(companion);
    if (!write(PathOf(next), error))
        return false;
    numbers.push_back(next);
    // Only after the new one is whole do the oldest go, but never the last turn of a
    // person: with several at the screen each can go back to his own.
    if (numbers.size() <= static_cast<std::size_t>(kKept))
        return true;
    std::set<RulerId> newest;
    std::vector<bool> keep(numbers.size(), false);
    for (std::size_t i = numbers.size(); i-- > 0;) {
        const RulerId ruler = TurnRulerOf(PathOf(numbers[i]));
        keep[i] = i + kKept >= numbers.size() || (ruler != 0 && !newest.count(ruler));
        newest.insert(ruler);
    }
    for (std::size_t i = 0; i < numbers.size(); ++i)
        if (!keep[i])
            Remove(numbers[i]);
    return true;
}

RulerId AutosaveStore::TurnRulerOf(const QString& path)
{
    platform::TextFileReader reader;
    WorldRecord world;
    if (!reader.Open(platform::PathToBytes(path)) || !ParseCountryFile(reader, world, nullptr, CountryFileUse::SavedGame))
        return 0;
    return TurnRulerOf(world);
}

RulerId AutosaveStore::TurnRulerOf(const WorldRecord& world)
{
    // Saved at the start of a turn, the cursor stands one before the country whose it is.
    const int country = world.turnCountry + 1;
    if (country < 0 || country >= kCountryCount)
        return 0;
    return world.countries[static_cast<std::size_t>(country)].ruler;
}

QString AutosaveGameName(const AutosaveStore::Entry& entry)
{
    const std::size_t ruler = static_cast<std::size_t>(std::clamp<RulerId>(entry.ruler, 0, kRulerCount - 1));
    return QCoreApplication::translate("AutosaveStore", "%1 年 %2 月 %3")
        .arg(entry.year)
        .arg(entry.month)
        .arg(shown::RulerName(static_cast<int>(ruler)));
}

QString AutosaveLabel(const AutosaveStore::Entry& entry)
{
    return QStringLiteral("%1 (%2)").arg(AutosaveGameName(entry),
                                         entry.written.toString(QStringLiteral("yyyy/MM/dd HH:mm")));
}
