// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/game_files.h"

#include <QDialog>

#include <variant>

#include "dialogs/ruler_dlg.h"
#include "dialogs/scenario_dlg.h"
#include "model/country_file.h"
#include "platform/data_directory.h"
#include "platform/file_dialog.h"
#include "platform/message_box.h"
#include "platform/path_bytes.h"
#include "platform/settings.h"
#include "session/game_record.h"

namespace {

// The game's start as the record keeps it: its starting world's CRC-32, or nullopt for a
// record that begins with a loaded save.
std::optional<std::uint32_t> StartOf(const RecordedGame& record)
{
    if (record.steps.empty())
        return std::nullopt;
    const auto* start = std::get_if<RecordStart>(&record.steps.front());
    if (!start || start->loaded)
        return std::nullopt;
    return Crc32(start->world);
}

} // namespace

GameFiles::GameFiles(GameController& game, QWidget& owner, std::function<QString()> dataDirectory)
    : QObject(&owner), m_game(game), m_owner(owner), m_dataDirectory(std::move(dataDirectory))
{
    connect(&m_game, &GameController::gameBegun, this, &GameFiles::FindRandomSeed);
}

std::optional<GameFiles::ChosenStart> GameFiles::ChooseStart(CRulerDlg& rulerDlg)
{
    CScenarioDlg scenarioDlg;
    scenarioDlg.dataDirectory = m_dataDirectory();
    scenarioDlg.ownDirectory = platform::OwnScenarioFolder();
    if (scenarioDlg.exec() != QDialog::Accepted)
        return std::nullopt;
    // A bundled scenario's files are in the data folder; an own one's in its folder.
    const ScenarioEntry& chosen = scenarioDlg.Chosen();
    const ChosenStart start{chosen.fileNumber - 1, platform::PathFromBytes(chosen.directory), scenarioDlg.ChosenSeed()};
    rulerDlg.m_strDataDir = start.directory;
    rulerDlg.m_nScenario = start.scenario;
    rulerDlg.level = m_game.NewGameDifficulty();
    if (rulerDlg.exec() != QDialog::Accepted)
        return std::nullopt;
    return start;
}

void GameFiles::ChooseNewGame()
{
    if (!m_game.CanStartGame() || !MayLeaveGame())
        return;
    CRulerDlg rulerDlg;
    const std::optional<ChosenStart> start = ChooseStart(rulerDlg);
    if (!start)
        return;
    bool started = false;
    if (const std::optional<SeatChoice>& seats = rulerDlg.SeatsChosen())
        started = NewGame(start->scenario, seats->seats, seats->first, start->directory);
    else
        started = NewGame(start->scenario, rulerDlg.m_rulerIds[static_cast<std::size_t>(rulerDlg.m_nRuler)],
                          start->directory);
    if (started && start->seed)
        NoteRandomSeed(*start->seed);
}

void GameFiles::ChooseSave()
{
    if (!m_game.CanSave())
        return;
    const QString path = platform::GetSaveGamePath(&m_owner);
    if (path.isEmpty())
        return;
    QString why;
    if (!m_game.SaveGame(path, &why)) {
        platform::ShowMessageBox(&m_owner, tr("セーブできませんでした\n%1\n%2").arg(path, why));
        return;
    }
    platform::ShowMessageBox(&m_owner, tr("セーブが完了しました"));
}

void GameFiles::ChooseLoad()
{
    if (!m_game.CanStartGame() || !MayLeaveGame())
        return;
    const QString path = platform::GetOpenGamePath(&m_owner);
    if (!path.isEmpty())
        LoadGame(path);
}

bool GameFiles::LoadGame(const QString& path)
{
    QString why;
    if (m_game.LoadGame(path, &why))
        return true;
    if (!why.isEmpty())
        platform::ShowMessageBox(&m_owner, why);
    return false;
}

bool GameFiles::NewGame(int scenario, RulerId ruler, const QString& directory)
{
    return NewGame(scenario, OnePersonSeats(ruler), ruler, directory);
}

bool GameFiles::NewGame(int scenario, const Seats& seats, RulerId first, const QString& directory)
{
    const QString folder = directory.isEmpty() ? m_dataDirectory() : directory;
    QString why;
    if (m_game.NewGame(platform::PathFromBytes(CountryFilePath(platform::PathToBytes(folder), scenario + 1)), seats,
                       first, &why))
        return true;
    if (!why.isEmpty())
        platform::ShowMessageBox(&m_owner, why);
    return false;
}

void GameFiles::NoteRandomSeed(std::uint32_t seed)
{
    if (const std::optional<std::uint32_t> start = StartOf(m_game.Recorder().Record()))
        platform::settings::SetRandomSeedOf(*start, seed);
    m_randomSeed = seed;
    emit randomSeedChanged();
}

void GameFiles::FindRandomSeed()
{
    const std::optional<std::uint32_t> start = StartOf(m_game.Recorder().Record());
    const std::optional<std::uint32_t> seed = start ? platform::settings::RandomSeedOf(*start) : std::nullopt;
    if (seed == m_randomSeed)
        return;
    m_randomSeed = seed;
    emit randomSeedChanged();
}
