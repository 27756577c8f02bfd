// SPDX-License-Identifier: GPL-3.0-or-later
// The program's own settings, declared in one place: each key with its type, its
// default and its range, read and written only through these functions. They live
// under the organisation "Brakka" and the application's name, in the platform's
// usual place for settings (QSettings).
#pragma once

#include <QByteArray>
#include <QPoint>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

namespace platform::settings {

// Looks at the settings files before the first is read (QSettings opens them as they
// are, and a pipe in a file's place would hold the program in that open). When one is
// there but is not a plain file, this run keeps its settings apart from the player's:
// it starts from the defaults and never writes his files. Returns the name of the
// file at fault, empty when all are fine. Call once the application's names are set.
QString GuardSettingsFiles();

// From now on the settings of this run are its own: they start from the defaults and
// live in a scratch folder removed when the program ends, so that the player's
// settings are neither read nor written. For a run that only makes a picture.
void KeepToThisRun();

// The folder of the last game saved or loaded; empty when none.
QString LastGameFolder();
void SetLastGameFolder(const QString& folder);

// The last files saved or loaded, newest first, at most kRecentFileCount.
constexpr int kRecentFileCount = 4;
QStringList RecentFiles();
// Puts path first, removing an older entry of the same file and the oldest beyond
// the limit.
void AddRecentFile(const QString& path);
void SetRecentFiles(const QStringList& files);

// Magnification of the main window, 1..kMaxZoom (a step of platform::kWindowScales,
// 1.5 among them); 0 when the player has never chosen one (the program then picks the
// largest that fits the screen).
constexpr qreal kMaxZoom = 3;
qreal Zoom();
void SetZoom(qreal zoom);

// The seed of the 乱世 a game was begun on, known by the game's start (the CRC-32 of
// its starting world): kept for the latest games begun on one, so that a game loaded
// later still names its seed. nullopt for a start that was no 乱世.
std::optional<std::uint32_t> RandomSeedOf(std::uint32_t start);
void SetRandomSeedOf(std::uint32_t start, std::uint32_t seed);

// Pace of the message and battle windows.
enum class GameSpeed { Normal = 0, Fast = 1, Fastest = 2 };
GameSpeed Speed();
void SetSpeed(GameSpeed speed);

// A light pattern over each ruler's countries, for colours that are hard to tell apart.
bool RulerPatterns();
void SetRulerPatterns(bool on);

// Arrows on the map for the battles since the player's last turn.
bool BattleArrows();
void SetBattleArrows(bool on);

// Country names written on the map beside the numbers.
bool CountryNamesOnMap();
void SetCountryNamesOnMap(bool on);

// The difficulty a new game starts at: 0 easy, 1 normal, 2 hard, 3 master.
inline constexpr int kDifficultyLevelCount = 4;
int NewGameDifficulty();
void SetNewGameDifficulty(int level);

// The report of what happened since the player's last turn.
bool TurnReport();
void SetTurnReport(bool on);

// The windows in the high-contrast scheme (off: the style's own colours).
bool HighContrast();
void SetHighContrast(bool on);

// A player's command that uses up his turn ends it too (the rest follows at once).
bool OneKeyTurn();
void SetOneKeyTurn(bool on);

// The seats last chosen in 対戦設定, as that dialog words them; empty when none.
QString LastSeats();
void SetLastSeats(const QString& word);

// Saved window geometries (QWidget::saveGeometry); empty when none.
QByteArray WindowGeometry(const QString& window);
void SetWindowGeometry(const QString& window, const QByteArray& geometry);
// Where a window's frame (title bar and border included) had its top left; nullopt
// when none was kept.
std::optional<QPoint> WindowPlace(const QString& window);
void SetWindowPlace(const QString& window, QPoint frameTopLeft);
// Whether a secondary window was open when the program last ended.
bool WindowOpen(const QString& window);
void SetWindowOpen(const QString& window, bool open);

// "ja", "en", or empty for the system's language.
QString Language();
void SetLanguage(const QString& language);

} // namespace platform::settings
