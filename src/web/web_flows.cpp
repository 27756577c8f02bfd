// SPDX-License-Identifier: GPL-3.0-or-later
// The page's seats and the game's flow, all the conductor's: who plays each ruler (the
// persons taking turns at the one screen, each computer at a level of its own), a ruler
// handed to the computer or the advisor and back, the steps the conductor asks for
// (a watched month, a record's step, 残りを休養's next rest, a seat's command), going
// back and 自動休養; a 乱世 made from a seed, or the player's own scenario from its two
// files. The page sets a timer for each step asked and calls Step.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "conduct/seat_role.h"
#include "foresight/random_scenario.h"
#include "platform/text_file.h"
#include "model/country_file.h"
#include "model/scenario_file.h"
#include "model/scenario_folder.h"
#include "session/game_record.h"
#include "web/web_game.h"

namespace web {

std::string WebGame::NewSeatedGame(int scenario, const std::string& seatWords, RulerId first, int difficulty)
{
    const auto [scenarioFile, countryFile] = ScenarioFiles(scenario);
    if (scenarioFile.empty() || !GameState::IsRulerId(first) || first == 0 || difficulty < 0 ||
        difficulty >= kDifficultyLevels)
        return Error(platform::Message::Plain("bad new game"));
    std::string why;
    if (!ScenarioOffersRuler(scenarioFile, first, why))
        return Error(platform::Message::Plain(why));
    const auto level = static_cast<Difficulty>(difficulty);
    Seats seats{};
    std::istringstream words(seatWords);
    std::string word;
    for (RulerId ruler = 1; ruler < kRulerCount && words >> word; ++ruler) {
        std::optional<Seat> seat = SeatOfWord(word);
        if (!seat || *seat == Seat::Remote())
            return Error(platform::Message::Plain("no seat " + word));
        if (*seat == Seat::Computer() || !ScenarioOffersRuler(scenarioFile, ruler, why))
            continue;
        seats[static_cast<std::size_t>(ruler)] = SimplestSeat(*seat, level);
    }
    const std::vector<RulerId> persons = ScreenPersons(seats);
    if (persons.size() > static_cast<std::size_t>(kMostScreenPersons))
        return Error(platform::Message::Plain("more persons than one screen takes"));
    // The save names the first ruler asked for if a person plays him, else the first person.
    const bool firstPlays = std::find(persons.begin(), persons.end(), first) != persons.end();
    const RulerId firstPerson = firstPlays ? first : persons.empty() ? 0 : persons.front();
    m_game.SetNewGameDifficulty(level);
    m_chronicleText.clear();
    platform::Message refused;
    if (!m_game.NewGame(countryFile, seats, firstPerson != 0 ? firstPerson : first, &refused))
        return Error(refused);
    return Answer(nullptr);
}

std::string WebGame::ChangeSeat(RulerId ruler, const std::string& seatWord)
{
    const std::optional<Seat> seat = SeatOfWord(seatWord);
    if (!seat || *seat == Seat::Remote())
        return Error(platform::Message::Plain("no seat " + seatWord));
    m_game.ChangeSeat(ruler, *seat);
    return Answer(nullptr);
}

std::string WebGame::Step()
{
    m_game.Step();
    return Answer(nullptr);
}

std::string WebGame::GoBack()
{
    platform::Message why;
    if (!m_game.GoBackOneTurn(&why))
        return Error(why);
    return Answer(nullptr);
}

std::string WebGame::ResumeFrom(int year, int month, int country)
{
    platform::Message why;
    if (!m_game.ResumeFrom(year, month, country, &why))
        return Error(why);
    return Answer(nullptr);
}

std::string WebGame::PlayRecord(const std::string& recordText)
{
    platform::Message why;
    std::optional<RecordedGame> record = ParseRecord(recordText, &why);
    if (!record || !m_game.StartReplay(std::move(*record), &why))
        return Error(why);
    return Answer(nullptr);
}

std::string WebGame::Pause(bool paused)
{
    if (m_game.Replaying())
        m_game.SetReplayPaused(paused);
    else
        m_game.SetWatchPaused(paused);
    return Answer(nullptr);
}

std::string WebGame::SetOneKeyTurn(bool on)
{
    m_game.SetOneKeyTurn(on);
    return Answer(nullptr);
}

std::string WebGame::RestRemaining()
{
    if (!m_game.RestRemaining())
        return Error(Current().Of(TurnCommand::Rest).why);
    return Answer(nullptr);
}

std::pair<std::string, std::string> WebGame::ScenarioFiles(int scenario) const
{
    if (scenario >= 1 && scenario <= kBundledScenarioCount)
        return {ScenarioFilePath(m_dataDir, scenario), CountryFilePath(m_dataDir, scenario)};
    if (scenario == kOwnScenario && m_ownKept)
        return {ScenarioFilePath(m_ownDir, 1), CountryFilePath(m_ownDir, 1)};
    return {};
}

std::string WebGame::OwnScenarioAnswer(const ScenarioPair& pair, const platform::Message& name)
{
    m_ownKept = true;
    JsonText json;
    json.BeginObject().Key("scenario").BeginObject();
    json.Field("number", kOwnScenario).Field("name", name);
    json.Field("year", pair.world.year).Field("month", pair.world.month);
    json.Key("rulers").BeginArray();
    for (const RulerId r : pair.offered)
        json.Number(static_cast<long long>(r));
    json.EndArray().EndObject().EndObject();
    return json.Take();
}

std::string WebGame::OwnScenario(const std::string& scenarioBytes, const std::string& countryBytes, const std::string& name)
{
    // Read from files of their own, so that the scenario kept stays whole until another
    // is read whole.
    const std::string trial = m_ownDir + ".new";
    std::error_code ignored;
    std::filesystem::create_directories(trial, ignored);
    const auto write = [](const std::string& path, const std::string& bytes) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << bytes;
        return static_cast<bool>(out.flush());
    };
    const auto refused = [&](platform::Message why) {
        return Error(platform::Message(VELCOR_TEXT("Message", "ﾃﾞｰﾀﾌｧｲﾙが正しくありません\n%1\n%2"),
                                       {platform::Message::Plain(name), std::move(why)}));
    };
    if (scenarioBytes.size() > platform::TextFileReader::kMaxSize || countryBytes.size() > platform::TextFileReader::kMaxSize)
        return refused(platform::Message(VELCOR_TEXT("Message", "ﾌｧｲﾙが大きすぎます (%1 KB まで)"),
                                         {platform::Message::Number(static_cast<long long>(platform::TextFileReader::kMaxSize / 1024))}));
    if (!write(ScenarioFilePath(trial, 1), scenarioBytes) || !write(CountryFilePath(trial, 1), countryBytes))
        return refused(platform::Message(VELCOR_TEXT("Message", "ディスクの空き容量が不足しています")));
    const ScenarioPairRead read = ReadScenarioPair(ScenarioFilePath(trial, 1), CountryFilePath(trial, 1));
    if (!read.read)
        return refused(read.words);
    if (platform::Message why = UnplayableReason(read.pair); !why.empty())
        return refused(std::move(why));
    std::filesystem::remove_all(m_ownDir, ignored);
    std::filesystem::rename(trial, m_ownDir, ignored);
    if (ignored)
        return refused(platform::Message(VELCOR_TEXT("Message", "ディスクの空き容量が不足しています")));
    return OwnScenarioAnswer(read.pair, platform::Message::Plain(name));
}

std::string WebGame::RandomScenario(std::uint32_t seed)
{
    WorldRecord map;
    if (const LoadOutcome loaded = ReadCountryRecord(CountryFilePath(m_dataDir, 1), map, CountryFileUse::StartingWorld);
        loaded.status != LoadStatus::Loaded)
        return Error(loaded.words);
    foresight::RandomScenarioOptions options;
    options.threads = 1; // the page's engine has no threads of its own
    const std::optional<foresight::RandomScenario> made = foresight::MakeRandomScenario(seed, map, options);
    std::string error;
    std::error_code ignored;
    std::filesystem::remove_all(m_ownDir, ignored);
    std::filesystem::create_directories(m_ownDir, ignored);
    m_ownKept = false;
    if (!made || !WriteScenarioPair(m_ownDir, 1, made->pair, &error))
        return Error(platform::Message::Plain(error));
    return OwnScenarioAnswer(made->pair, platform::Message::Number(seed));
}

void WebGame::FlowFields(JsonText& json)
{
    json.Key("seats").BeginArray();
    for (RulerId ruler = 0; ruler < kRulerCount; ++ruler)
        json.Text(ruler == 0 ? std::string() : SeatWord(SimplestSeat(m_game.SeatOf(ruler), m_game.World().difficulty)));
    json.EndArray();
    json.Field("paused", m_game.Replaying() ? m_game.ReplayPaused() : m_game.WatchPaused());
    json.Field("oneKeyTurn", m_game.OneKeyTurn()).Field("restRemaining", m_game.CanRestRemaining());
    if (m_stepDue)
        json.Field("stepDue", *m_stepDue);
    m_stepDue.reset();
    if (m_replayEnded)
        json.Field("replayEnded", *m_replayEnded);
    m_replayEnded.reset();
    JoinFields(json);
}

} // namespace web
