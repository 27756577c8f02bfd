// SPDX-License-Identifier: GPL-3.0-or-later
#include "web/web_game.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <utility>
#include <variant>

#include "conduct/own_countries.h"
#include "conduct/seat_role.h"
#include "foresight/advisor.h"
#include "model/country_file.h"
#include "model/scenario_file.h"
#include "platform/random.h"
#include "platform/text_file.h"
#include "rules/battle.h"
#include "rules/battle_odds.h"
#include "rules/commands.h"
#include "rules/event_json.h"
#include "rules/standings.h"
#include "session/save_bundle.h"
#include "session/save_companions.h"
#include "web/turn_json.h"

namespace web {

namespace {

constexpr int kScenarioCount = 3;

// The countries each ruler held, month by month: [year, month, held by ruler 0..15].
void WriteHistory(JsonText& json, const HoldingsHistory& history)
{
    json.Key("history").BeginArray();
    for (const HoldingsHistory::Point& p : history.Points()) {
        json.BeginArray().Number(static_cast<long long>(p.year)).Number(static_cast<long long>(p.month));
        for (std::int8_t held : p.held)
            json.Number(static_cast<long long>(held));
        json.EndArray();
    }
    json.EndArray();
}

std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

bool WriteBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    return static_cast<bool>(out.flush());
}

// The turn command of a key as the description names it.
std::optional<TurnCommand> CommandOfKey(const std::string& key)
{
    for (const TurnCommand command : kTurnCommands)
        if (key.size() == 1 && key[0] == TurnCommandKey(command))
            return command;
    return std::nullopt;
}

void WriteCommand(JsonText& json, const PlayerCommand& command)
{
    json.BeginObject();
    json.Field("key", std::string(1, foresight::CommandKey(command)));
    json.Field("target", foresight::CommandTarget(command));
    if (const auto* move = std::get_if<command::Move>(&command)) {
        json.Field("soldiers", move->soldiers);
        json.Field("provisions", move->provisions);
        json.Field("funds", move->funds);
    }
    json.EndObject();
}

} // namespace

// ---- What the conductor shows ----

void ShowList::Open(const char* kind, const TurnDescription& described)
{
    if (!m_open) {
        m_shows.BeginArray();
        m_open = true;
    }
    m_shows.BeginObject().Field("kind", std::string(kind));
    m_shows.Key("w").BeginObject();
    m_shows.Field("year", m_world.year.Get());
    m_shows.Field("month", m_world.month.Get());
    m_shows.Field("turn", m_world.turnCountry.Get());
    m_shows.Field("shown", m_shown);
    m_shows.Field("battleAttacker", m_attacker);
    m_shows.Field("battleTarget", m_target);
    m_shows.Key("c").BeginArray();
    for (const Country& c : m_world.countries) {
        m_shows.BeginArray();
        for (std::int32_t v : {c.GetRuler(), c.GetPopulation(), c.GetCultivation(), c.GetCommerce(), c.GetProvisions(),
                               c.GetFunds(), c.GetSoldiers(), c.GetTraining()})
            m_shows.Number(static_cast<long long>(v));
        m_shows.EndArray();
    }
    m_shows.EndArray();
    m_shows.EndObject();
    if (described.sequence != m_described) {
        m_described = described.sequence;
        m_shows.Key("description");
        WriteTurn(m_shows, described);
    }
}

void ShowList::Turn(int country, const TurnDescription& described)
{
    if (m_quiet)
        return;
    Open("turn", described);
    m_shows.Field("country", country).EndObject();
}

void ShowList::HandOver(RulerId next, const TurnDescription& described)
{
    if (m_quiet)
        return;
    Open("handOver", described);
    m_shows.Field("next", next).EndObject();
}

void ShowList::Message(const platform::Message& words, int milliseconds, const TurnDescription& described)
{
    if (m_quiet)
        return;
    Open("message", described);
    m_shows.Field("words", words).Field("ms", milliseconds).EndObject();
}

void ShowList::Battle(BattleScript& script, const TurnDescription& described)
{
    script.Start();
    if (m_quiet) {
        script.Finish();
        return;
    }
    Open("battle", described);
    m_shows.Field("attacker", script.m_nAttacker).Field("target", script.m_nTarget);
    m_shows.Field("attackerName", script.m_attackerName).Field("targetName", script.m_targetName);
    m_shows.Field("attackerRuler", script.m_nAttackerRuler).Field("targetRuler", script.m_nTargetRuler);
    // Every step the window's timer would show, the opening first.
    m_shows.Key("steps").BeginArray();
    auto step = [&] {
        m_shows.BeginObject();
        m_shows.Field("step", script.m_nStep);
        m_shows.Field("attackerLine", script.m_strAttackerLine).Field("targetLine", script.m_strTargetLine);
        m_shows.Field("attackerSoldiers", script.m_nAttackerSoldiers).Field("targetSoldiers", script.m_nTargetSoldiers);
        m_shows.Field("attackerTraining", script.m_nAttackerTraining).Field("targetTraining", script.m_nTargetTraining);
        m_shows.EndObject();
    };
    step();
    while (!script.Tick())
        step();
    m_shows.EndArray();
    m_shows.EndObject();
}

std::string ShowList::Take()
{
    if (!m_open)
        return "[]";
    m_shows.EndArray();
    m_open = false;
    return std::exchange(m_shows, JsonText{}).Take();
}

void EventLines::OnGameEvent(const GameEvent& event)
{
    m_lines.push_back(EventJson(m_world, event));
    m_story.Add(m_lines.back());
}

// ---- The game ----

WebGame::WebGame(std::string dataDir, const std::string& scratchDir)
    : m_dataDir(std::move(dataDir)), m_savePath((std::filesystem::path(scratchDir) / "velcor-save.txt").string()),
      m_shows(m_game.World()), m_lines(m_game.World()),
      m_ownDir((std::filesystem::path(scratchDir) / "velcor-own").string())
{
    GameState& world = m_game.Session().world;
    platform::SeedFromClock(world.commandRandom, world.clock);
    m_game.SetListener(this);
    // A seat that chooses its own commands (the computer or the advisor taking a
    // person's ruler) plays at its turns, each step when the answer's stepDue says.
    m_game.SetPlaysSeats(true);
    m_game.Session().events.Add(&m_lines);
    m_game.Session().events.Add(&m_summary);
    m_game.Session().events.Add(&m_arrows);
}

WebGame::~WebGame()
{
    m_game.Session().events.Clear();
    m_game.SetListener(nullptr);
}

std::string WebGame::Error(const platform::Message& words)
{
    JsonText json;
    json.BeginObject().Field("error", words);
    json.Key("description");
    WriteTurn(json, Current());
    json.EndObject();
    return json.Take();
}

const TurnDescription& WebGame::Current()
{
    const TurnDescription& described = m_game.Describe();
    if (described.stage != m_game.Stage() || described.status.Text() != m_game.StatusWords().Text())
        return m_game.Redescribe();
    return described;
}

// ---- What the conductor shows and tells ----

void WebGame::TurnBegan(int country) { m_shows.Turn(country, Current()); }

void WebGame::Say(const platform::Message& words, int milliseconds)
{
    m_shows.Message(words, milliseconds, Current());
}

void WebGame::Tell(const platform::Message& words, int milliseconds)
{
    m_shows.Message(words, milliseconds, Current());
}

bool WebGame::ShowBattle(BattleScript& script)
{
    m_shows.Battle(script, Current());
    return true;
}

void WebGame::WorldReplaced(const std::string& savePath)
{
    // A new world: the story begins again (a loaded game's with its chronicle's events).
    m_lines.Take();
    m_summary.Clear();
    m_summary.SetDifficulty(m_game.World().difficulty);
    m_arrows.Clear();
    m_lines.Story().Clear();
    m_told = 0;
    m_chronicleSetAside = {};
    m_shows.ClearMarks();
    if (savePath.empty() || m_chronicleText.empty())
        return;
    if (m_chronicleText.size() > platform::TextFileReader::kMaxSize) {
        m_chronicleSetAside = platform::Message(VELCOR_TEXT("Message", "ﾌｧｲﾙが大きすぎます (%1 KB まで)"),
                                                {platform::Message::Number(static_cast<long long>(
                                                    platform::TextFileReader::kMaxSize / 1024))});
        return;
    }
    std::vector<GameEvent> story;
    StoryLines lines;
    if (!ReadChronicle(m_chronicleText, m_game.World(), story, lines, m_chronicleSetAside))
        return;
    for (const GameEvent& e : story)
        m_summary.OnGameEvent(e);
    m_told = lines.Count();
    m_lines.Story() = std::move(lines);
}

// ---- The page's calls ----

std::string WebGame::Scenarios()
{
    JsonText json;
    json.BeginObject();
    json.Key("scenarios").BeginArray();
    for (int s = 1; s <= kScenarioCount; ++s) {
        const ScenarioList list = ReadScenarioFile(ScenarioFilePath(m_dataDir, s));
        GameState start;
        const LoadOutcome read = LoadCountryFile(start, CountryFilePath(m_dataDir, s), CountryFileUse::StartingWorld);
        json.BeginObject().Field("number", s);
        json.Field("year", start.year.Get()).Field("month", start.month.Get());
        json.Key("rulers").BeginArray();
        if (list.status == ScenarioStatus::Read && read.status == LoadStatus::Loaded)
            for (RulerId r : list.rulers)
                json.Number(static_cast<long long>(r));
        json.EndArray();
        if (list.status != ScenarioStatus::Read)
            json.Field("error", list.words);
        json.EndObject();
    }
    json.EndArray();
    // The figures the page's words and windows name, as the rules fix them.
    json.Key("rules").BeginObject();
    json.Field("actionCost", Country::kActionCost).Field("developRange", Country::kDevelopRange);
    json.Field("conscriptMinimum", Country::kConscriptMinimum);
    json.Field("conscriptMaximum", Country::kConscriptMinimum + Country::kConscriptRange - 1);
    json.Field("trainRange", Country::kTrainRange).Field("maxTraining", Country::kMaxTraining);
    json.Field("warCost", kWarCostFunds).Field("exchanges", BattleScript::kBattleExchanges);
    json.Field("battleStepMs", BattleScript::kBattleStepMs);
    json.Field("resultMs", kResultMessageMs);
    // The largest files the page hands the engine: a save, and a record or chronicle.
    json.Field("saveMaxBytes", kMaxSaveBytes).Field("fileMaxBytes", platform::TextFileReader::kMaxSize);
    json.Field("bundleMaxBytes", bundle::kMaxBundleSize);
    json.EndObject();
    json.Key("rulers").BeginArray();
    for (int r = 0; r < kRulerCount; ++r)
        json.BeginObject().Field("name", m_game.World().rulers[r].GetName()).Field("colour", kRulerColours[r]).EndObject();
    json.EndArray();
    json.EndObject();
    return json.Take();
}

std::string WebGame::NewGame(int scenario, int ruler, int difficulty)
{
    if (scenario < 1 || scenario > kScenarioCount || ruler < 1 || ruler >= kRulerCount || difficulty < 0 ||
        difficulty >= kDifficultyLevels)
        return Error(platform::Message::Plain("bad new game"));
    std::string why;
    if (!ScenarioOffersRuler(ScenarioFilePath(m_dataDir, scenario), ruler, why))
        return Error(platform::Message::Plain(why));
    const Seats seats = OnePersonSeats(ruler);
    m_game.SetNewGameDifficulty(static_cast<Difficulty>(difficulty));
    m_chronicleText.clear();
    platform::Message refused;
    if (!m_game.NewGame(CountryFilePath(m_dataDir, scenario), seats, ruler, &refused))
        return Error(refused);
    return Answer(nullptr);
}

std::string WebGame::Load(const std::string& saveBytes, const std::string& name, int difficulty,
                          const std::string& recordText, const std::string& chronicleText)
{
    // The player hears of his own file, never of the engine's copy of it.
    const auto badFile = [&](platform::Message why) {
        return Error(platform::Message(VELCOR_TEXT("Message", "ﾃﾞｰﾀﾌｧｲﾙが正しくありません\n%1\n%2"),
                                       {platform::Message::Plain(name), std::move(why)}));
    };
    if (saveBytes.size() > kMaxSaveBytes)
        return badFile(platform::Message(VELCOR_TEXT("Message", "ﾌｧｲﾙが大きすぎます (%1 KB まで)"),
                                         {platform::Message::Number(static_cast<long long>(kMaxSaveBytes / 1024))}));
    // Read once for the player's words, naming his file; then loaded from the engine's
    // copy, with what the page keeps of it put beside it as the desktop keeps it there.
    GameState checked;
    if (const LoadOutcome read = LoadCountryText(checked, saveBytes, name); read.status != LoadStatus::Loaded)
        return Error(read.words);
    for (const std::string& companion : SaveCompanions(m_savePath)) {
        std::error_code ignored;
        std::filesystem::remove(companion, ignored);
    }
    std::string error;
    if (!WriteBytes(m_savePath, saveBytes) ||
        (!recordText.empty() && !WriteBytes(RecordFileName(m_savePath), recordText)) ||
        (difficulty >= 0 && difficulty < kDifficultyLevels &&
         !KeepDifficultyBeside(m_savePath, static_cast<Difficulty>(difficulty), &error)))
        return badFile(platform::Message(VELCOR_TEXT("Message", "ディスクの空き容量が不足しています")));
    return LoadWritten(chronicleText);
}

std::string WebGame::LoadBundle(const std::string& bundleBytes, const std::string& name)
{
    const auto badFile = [&](platform::Message why) {
        return Error(platform::Message(VELCOR_TEXT("Message", "ﾃﾞｰﾀﾌｧｲﾙが正しくありません\n%1\n%2"),
                                       {platform::Message::Plain(name), std::move(why)}));
    };
    platform::Message why;
    const std::optional<std::vector<bundle::Part>> parts = bundle::Read(bundleBytes, &why);
    if (!parts)
        return badFile(std::move(why));
    const auto part = [&](std::string_view partName) {
        const auto found = std::find_if(parts->begin(), parts->end(), [&](const bundle::Part& p) { return p.name == partName; });
        return found == parts->end() ? std::string() : found->bytes;
    };
    GameState checked;
    if (const LoadOutcome read = LoadCountryText(checked, part("save"), name); read.status != LoadStatus::Loaded)
        return Error(read.words);
    if (!bundle::Unpack(bundleBytes, m_savePath, &why))
        return badFile(std::move(why));
    return LoadWritten(part("chronicle"));
}

std::string WebGame::LoadWritten(const std::string& chronicleText)
{
    m_chronicleText = chronicleText;
    std::vector<platform::Message> notices;
    platform::Message refused;
    const bool loaded = m_game.LoadGame(m_savePath, &refused, &notices);
    m_chronicleText.clear();
    if (!loaded)
        return Error(refused);
    CommandResult note;
    if (!notices.empty())
        note.words = notices.front();
    return Answer(notices.empty() ? nullptr : &note, m_told, m_chronicleSetAside);
}

std::string WebGame::Replay(const std::string& recordText)
{
    platform::Message why;
    const std::optional<RecordedGame> record = ParseRecord(recordText, &why);
    if (!record)
        return Error(why);
    m_lines.Take();
    m_lines.Story().Clear();
    m_summary.Clear();
    m_shows.SetQuiet(true);
    const ReplayOutcome replayed = m_game.PlayRecordThrough(*record);
    m_shows.SetQuiet(false);
    m_shows.Take();
    if (!replayed.played)
        return Error(replayed.words);
    m_summary.SetDifficulty(m_game.World().difficulty);
    return Answer(nullptr);
}

std::string WebGame::Command(const std::string& key, int a, std::int32_t b, std::int32_t c, std::int32_t d,
                             RulerId ruler)
{
    const std::optional<TurnCommand> command = CommandOfKey(key);
    CommandResult result;
    result.refusal = CommandRefusal::NotNow;
    if (!command) {
        result.words = platform::Message::Plain("no command " + key);
    } else if (platform::Message why = m_game.SeatRefusal(ruler); !why.empty()) {
        result.refusal = CommandRefusal::NotYourTurn;
        result.words = std::move(why);
    } else if (*command != TurnCommand::Rest) {
        result = m_game.Give(m_game.CommandOf(*command, a, MoveAmounts{b, c, d}), ruler);
    } else if (const CommandState& rest = Current().Of(TurnCommand::Rest); !rest.allowed) {
        result.words = rest.why;
    } else {
        // The computer's turns run here, on the calling thread, up to the player's next.
        m_game.Rest();
        return Answer(nullptr);
    }
    return Answer(&result);
}

std::string WebGame::Choose(const std::string& key)
{
    const std::optional<TurnCommand> command = CommandOfKey(key);
    if (command == TurnCommand::Move || command == TurnCommand::War) {
        m_game.BeginChoice(*command);
    } else {
        m_game.CancelChoice();
        m_game.SayTurnStatus();
    }
    return Answer(nullptr);
}

std::string WebGame::CheckMove(int destination)
{
    m_game.EndChoice();
    const GameState& world = m_game.World();
    const CommandResult checked = m_game.Session().Check(m_game.CommandOf(TurnCommand::Move, destination));
    JsonText json;
    json.BeginObject().Field("allowed", checked.refusal == CommandRefusal::None).Field("words", checked.words);
    if (checked.refusal == CommandRefusal::None)
        json.Field("title", MoveTitleWords(world, world.turnCountry, destination));
    json.Key("description");
    WriteTurn(json, Current());
    json.EndObject();
    return json.Take();
}

std::string WebGame::PutEndAway()
{
    m_game.PutEndAway();
    return Answer(nullptr);
}

std::string WebGame::Odds()
{
    const GameState& world = m_game.World();
    const TurnDescription& described = Current();
    JsonText json;
    json.BeginObject().Key("odds").BeginArray();
    for (const int target : described.warTargets) {
        const BattleOdds odds = OddsOfBattle(world, described.country, target, BattleKind::Player);
        json.BeginObject().Field("target", target).Field("trials", odds.trials);
        json.Field("taken", std::lround(odds.TakenShare() * 100));
        json.Field("beatenOff", std::lround(odds.BeatenOffShare() * 100));
        json.Field("wipedOut", std::lround(odds.WipedOutShare() * 100));
        json.Field("attackerKept", std::lround(odds.attackerKept));
        json.Field("targetKept", std::lround(odds.targetKept)).EndObject();
    }
    json.EndArray().EndObject();
    return json.Take();
}

std::string WebGame::SaveRefusal()
{
    if (!m_game.CanSave())
        return Error(GameConductor::StageReason(Current().stage, TurnCommand::Rest, false));
    // The reason is one of the writer's worded reasons, about the engine's own memory.
    platform::Message why;
    return m_game.SaveGame(m_savePath, &why) ? std::string() : Error(why);
}

std::string WebGame::Save()
{
    if (std::string refused = SaveRefusal(); !refused.empty())
        return refused;
    const GameState& world = m_game.World();
    JsonText json;
    json.BeginObject().Key("save").Bytes(ReadBytes(m_savePath));
    json.Key("record").Bytes(ReadBytes(RecordFileName(m_savePath)));
    json.Key("chronicle").Bytes(m_lines.Story().Chronicle(world));
    json.Field("difficulty", world.difficulty);
    json.Field("year", world.year.Get()).Field("month", world.month.Get());
    json.Field("player", world.playerRuler.Get());
    json.EndObject();
    return json.Take();
}

std::string WebGame::Bundle()
{
    if (std::string refused = SaveRefusal(); !refused.empty())
        return refused;
    const GameState& world = m_game.World();
    std::string bytes;
    std::string error;
    const std::string chronicle = m_lines.Story().Chronicle(world);
    if ((!chronicle.empty() && !WriteBytes(ChronicleFileName(m_savePath), chronicle)) ||
        !bundle::BundleSave(m_savePath, bytes, &error))
        return Error(platform::ReasonWords(error));
    JsonText json;
    json.BeginObject().Key("bundle").Bytes(bytes);
    json.Field("year", world.year.Get()).Field("month", world.month.Get());
    json.EndObject();
    return json.Take();
}

std::string WebGame::Snapshot()
{
    const GameState& world = m_game.World();
    std::string error;
    if (!SaveCountryFile(world, m_savePath, world.turnCountry, &error))
        return {};
    return std::to_string(world.random.State()) + ' ' + std::to_string(world.commandRandom.State()) + ' ' +
           std::to_string(static_cast<int>(world.difficulty)) + '\n' + ReadBytes(m_savePath);
}

std::string WebGame::View() { return Answer(nullptr); }

std::string WebGame::Summary()
{
    const GameFigures& f = m_summary.Figures();
    JsonText json;
    json.BeginObject();
    json.Field("startYear", f.startYear).Field("startMonth", f.startMonth).Field("ruler", f.ruler);
    json.Field("difficulty", f.difficulty).Field("months", f.months);
    json.Field("attacksWon", f.attacksWon).Field("attacksLost", f.attacksLost);
    json.Field("defencesWon", f.defencesWon).Field("defencesLost", f.defencesLost);
    json.Field("countriesTaken", f.countriesTaken).Field("countriesLost", f.countriesLost);
    json.Field("held", f.held).Field("mostHeld", f.mostHeld).Field("mostYear", f.mostYear).Field("mostMonth", f.mostMonth);
    json.Field("end", static_cast<int>(f.end)).Field("endYear", f.endYear).Field("endMonth", f.endMonth);
    json.Field("score", m_summary.Score());
    WriteHistory(json, m_summary.History());
    json.EndObject();
    return json.Take();
}

std::string WebGame::Displays()
{
    const GameState& world = m_game.World();
    m_listed = ListedPerson(world, m_game.Session().TurnRuler(), m_listed);
    JsonText json;
    json.BeginObject();
    json.Key("own").BeginObject().Field("person", m_listed);
    json.Key("rows").BeginArray();
    for (const OwnCountryRow& row : OwnCountryRows(world, m_listed, Current(), m_game.AtTurn())) {
        json.BeginObject().Field("country", row.country).Field("turn", row.hasTurn).Field("spent", row.spent);
        json.Key("why").BeginObject();
        for (const TurnCommand command : kTurnCommands)
            if (const platform::Message& why = row.reasons[IndexOf(command)]; !why.empty())
                json.Field(std::string(1, TurnCommandKey(command)), why);
        json.EndObject().EndObject();
    }
    json.EndArray().EndObject();
    json.Key("standings").BeginArray();
    for (const RulerStanding& s : RulerStandings(world)) {
        json.BeginObject().Field("ruler", s.ruler).Field("countries", s.countries);
        json.Field("soldiers", static_cast<long long>(s.soldiers)).Field("provisions", static_cast<long long>(s.provisions));
        json.Field("funds", static_cast<long long>(s.funds)).Field("player", world.IsPlayer(s.ruler));
        json.Field("seat", SeatWord(world.seats[static_cast<std::size_t>(s.ruler)]));
        json.Field("level", static_cast<int>(world.LevelOf(s.ruler)));
        json.EndObject();
    }
    json.EndArray();
    WriteHistory(json, m_summary.History());
    json.EndObject();
    return json.Take();
}

void WebGame::ViewFields(JsonText& json)
{
    const GameState& world = m_game.World();
    json.Key("description");
    WriteTurn(json, Current());
    json.Field("player", world.playerRuler.Get());
    json.Field("difficulty", world.difficulty);
    json.Field("year", world.year.Get()).Field("month", world.month.Get()).Field("turn", world.turnCountry.Get());
    json.Field("playerTurns", m_game.RecordedTurns());
    FlowFields(json);
    json.Key("arrows").BeginArray();
    for (const BattleArrow& arrow : m_arrows.Shown())
        json.BeginArray().Number(static_cast<long long>(arrow.attacker)).Number(static_cast<long long>(arrow.target)).Bool(arrow.taken).EndArray();
    json.EndArray();
    json.Key("countries").BeginArray();
    for (int i = 0; i < kCountryCount; ++i) {
        const Country& c = world.countries[i];
        json.BeginObject().Field("name", platform::Message::CountryName(i, CountryNameUtf8(world, i)));
        json.Field("x", c.GetMapX()).Field("y", c.GetMapY());
        json.Key("neighbours").BeginArray();
        for (std::uint32_t n : c.GetNeighbours())
            json.Number(static_cast<long long>(n));
        json.EndArray();
        json.Key("f").BeginArray();
        for (std::int32_t v : {c.GetRuler(), c.GetPopulation(), c.GetCultivation(), c.GetCommerce(), c.GetProvisions(),
                               c.GetFunds(), c.GetSoldiers(), c.GetTraining()})
            json.Number(static_cast<long long>(v));
        json.EndArray().EndObject();
    }
    json.EndArray();
}

std::string WebGame::Answer(const CommandResult* result, std::size_t told, const platform::Message& chronicleSetAside)
{
    JsonText json;
    json.BeginObject();
    if (result) {
        json.Key("result").BeginObject();
        json.Field("done", result->done).Field("refusal", result->refusal).Field("taken", result->taken);
        json.Field("words", result->words).EndObject();
    }
    if (told > 0) {
        json.Key("chronicle").BeginArray();
        const StoryLines& story = m_lines.Story();
        for (std::size_t i = 0; i < told && i < story.Count(); ++i)
            json.Raw(story.Line(i));
        json.EndArray();
    }
    if (!chronicleSetAside.empty())
        json.Field("chronicleSetAside", chronicleSetAside);
    json.Key("shows").Raw(m_shows.Take());
    json.Key("events").BeginArray();
    for (const std::string& line : m_lines.Take())
        json.Raw(line);
    json.EndArray();
    ViewFields(json);
    json.EndObject();
    return json.Take();
}

// ---- The advisor ----

std::string Advise(const std::string& snapshot, int rollouts, int horizon)
{
    const std::size_t eol = snapshot.find('\n');
    std::istringstream head(snapshot.substr(0, eol == std::string::npos ? 0 : eol));
    std::uint32_t random = 0;
    std::uint32_t commandRandom = 0;
    int difficulty = 1;
    GameState world;
    BuildRulerTable(world);
    if (!(head >> random >> commandRandom >> difficulty) || difficulty < 0 || difficulty >= kDifficultyLevels ||
        LoadCountryText(world, snapshot.substr(eol + 1), "snapshot").status != LoadStatus::Loaded)
        return "{\"ranking\":[]}";
    world.random.Seed(random);
    world.commandRandom.Seed(commandRandom);
    world.difficulty = static_cast<Difficulty>(difficulty);
    foresight::AdviceOptions options;
    if (rollouts > 0)
        options.rollouts = rollouts;
    if (horizon > 0)
        options.horizon = horizon;
    options.threads = 1; // the calling thread alone: the page's build has no threads
    foresight::Advisor advisor(world, options);
    const std::vector<foresight::AdvisedCommand> ranking = advisor.Run();
    JsonText json;
    json.BeginObject().Field("turn", world.turnCountry.Get()).Field("horizon", options.horizon).Field("penalty", advisor.RiskPenalty());
    json.Key("ranking").BeginArray();
    for (std::size_t i = 0; i < ranking.size(); ++i) {
        const foresight::AdvisedCommand& advised = ranking[i];
        json.BeginObject().Key("command");
        WriteCommand(json, advised.command);
        json.Field("trials", advised.trials).Field("kept", advised.KeptShare()).Field("held", advised.MeanHeld())
            .Field("over", advised.MeanHeldOverMonths());
        json.Field("alive", advised.SurvivedShare()).Field("score", advised.Score());
        json.Field("why", foresight::ReasonOf(world, ranking, i, options.horizon)).EndObject();
    }
    json.EndArray().EndObject();
    return json.Take();
}

} // namespace web
