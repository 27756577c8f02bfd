// SPDX-License-Identifier: GPL-3.0-or-later
#include "web/web_game.h"

#include <cmath>
#include <fstream>
#include <sstream>
#include <utility>
#include <variant>

#include "foresight/advisor.h"
#include "model/country_file.h"
#include "model/scenario_file.h"
#include "platform/random.h"
#include "platform/text_file.h"
#include "rules/battle.h"
#include "rules/battle_odds.h"
#include "rules/commands.h"
#include "rules/event_json.h"
#include "session/game_replay.h"

namespace web {

namespace {

constexpr int kScenarioCount = 3;
// Where the engine keeps the files it writes, in the module's own memory.
constexpr const char* kSavePath = "/tmp/velcor-save.txt";

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

// The page's modes (velcor.js): 0 no game, 1 a player's turn, 2 the computer's turns,
// 5 won, 6 lost; the page adds its own choosing modes (3, 4).
int PageMode(TurnPhase phase)
{
    switch (phase) {
    case TurnPhase::NoGame:
        return 0;
    case TurnPhase::AwaitingCommand:
    case TurnPhase::CommandGiven:
    case TurnPhase::Watching:
        return 1;
    case TurnPhase::ComputerTurns:
        return 2;
    case TurnPhase::Won:
        return 5;
    case TurnPhase::Lost:
        return 6;
    }
    return 0;
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

// ---- What the worker shows ----

void ShowList::Figures(JsonText& json) const
{
    json.Key("w").BeginObject();
    json.Field("year", m_world.year.Get());
    json.Field("month", m_world.month.Get());
    json.Field("turn", m_world.turnCountry.Get());
    json.Field("shown", m_shown);
    json.Field("battleAttacker", m_attacker);
    json.Field("battleTarget", m_target);
    json.Key("c").BeginArray();
    for (const Country& c : m_world.countries) {
        json.BeginArray();
        for (std::int32_t v : {c.GetRuler(), c.GetPopulation(), c.GetCultivation(), c.GetCommerce(), c.GetProvisions(),
                               c.GetFunds(), c.GetSoldiers(), c.GetTraining()})
            json.Number(static_cast<long long>(v));
        json.EndArray();
    }
    json.EndArray();
    json.EndObject();
}

void ShowList::TurnBegin(int country)
{
    if (m_quiet)
        return;
    if (!m_open) {
        m_shows.BeginArray();
        m_open = true;
    }
    m_shows.BeginObject().Field("kind", std::string("turn")).Field("country", country);
    Figures(m_shows);
    m_shows.EndObject();
}

void ShowList::MarkBattle(int attacker, int target)
{
    m_attacker = attacker;
    m_target = target;
}

void ShowList::PlayerTurn(int country) { m_shown = country; }

void ShowList::ShowMessage(const platform::Message& words, int milliseconds)
{
    if (m_quiet)
        return;
    if (!m_open) {
        m_shows.BeginArray();
        m_open = true;
    }
    m_shows.BeginObject().Field("kind", std::string("message")).Field("words", words).Field("ms", milliseconds);
    Figures(m_shows);
    m_shows.EndObject();
}

bool ShowList::Present(BattleScript& script)
{
    script.Start();
    if (m_quiet) {
        script.Finish();
        return true;
    }
    if (!m_open) {
        m_shows.BeginArray();
        m_open = true;
    }
    m_shows.BeginObject().Field("kind", std::string("battle"));
    m_shows.Field("attacker", script.m_nAttacker).Field("target", script.m_nTarget);
    m_shows.Field("attackerName", script.m_attackerName).Field("targetName", script.m_targetName);
    m_shows.Field("attackerRuler", script.m_nAttackerRuler).Field("targetRuler", script.m_nTargetRuler);
    Figures(m_shows);
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
    return true;
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

WebGame::WebGame(std::string dataDir)
    : m_dataDir(std::move(dataDir)), m_shows(m_session.world), m_session(m_shows), m_lines(m_session.world)
{
    platform::SeedFromClock(m_session.world.commandRandom, m_session.world.clock);
    m_recorder.Attach(m_session);
    m_session.events.Add(&m_lines);
    m_session.events.Add(&m_summary);
}

WebGame::~WebGame()
{
    m_session.events.Clear();
    m_session.SetObserver(nullptr);
    m_session.world.clock.Listen(nullptr);
}

std::string WebGame::Error(const platform::Message& words)
{
    JsonText json;
    json.BeginObject().Field("error", words).EndObject();
    return json.Take();
}

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
    json.Field("promptMs", kPromptMessageMs).Field("resultMs", kResultMessageMs);
    json.Field("chooseMove", platform::Message(kChooseMoveTarget));
    json.Field("chooseAttack", platform::Message(kChooseAttackTarget));
    json.Field("unified", platform::Message(kUnified)).Field("gameOver", platform::Message(kGameOverMessage));
    // The largest files the page hands the engine: a save, and a record or chronicle.
    json.Field("saveMaxBytes", kMaxSaveBytes).Field("fileMaxBytes", platform::TextFileReader::kMaxSize);
    json.EndObject();
    json.Key("rulers").BeginArray();
    for (int r = 0; r < kRulerCount; ++r)
        json.BeginObject().Field("name", m_session.world.rulers[r].GetName()).Field("colour", kRulerColours[r]).EndObject();
    json.EndArray();
    json.EndObject();
    return json.Take();
}

void WebGame::BeginStory(bool loaded, const std::vector<GameEvent>& story, StoryLines lines)
{
    m_replayCursor = -2;
    m_summary.Clear();
    m_summary.SetDifficulty(m_session.world.difficulty);
    for (const GameEvent& e : story)
        m_summary.OnGameEvent(e);
    m_lines.Story() = std::move(lines);
    m_shows.ClearMarks();
    m_session.BeginGame(loaded);
}

std::string WebGame::NewGame(int scenario, int ruler, int difficulty)
{
    if (scenario < 1 || scenario > kScenarioCount || ruler < 1 || ruler >= kRulerCount || difficulty < 0 ||
        difficulty > static_cast<int>(Difficulty::Hard))
        return Error(platform::Message::Plain("bad new game"));
    std::string why;
    if (!ScenarioOffersRuler(ScenarioFilePath(m_dataDir, scenario), ruler, why))
        return Error(platform::Message::Plain(why));
    const LoadOutcome read = m_session.ReadWorld(CountryFilePath(m_dataDir, scenario), CountryFileUse::StartingWorld);
    if (read.status != LoadStatus::Loaded)
        return Error(read.words);
    m_session.world.difficulty = static_cast<Difficulty>(difficulty);
    SeatPlayer(m_session.world, ruler);
    m_lines.Take();
    BeginStory(false);
    m_session.StartComputerTurns();
    return Answer(nullptr);
}

std::string WebGame::Load(const std::string& saveBytes, const std::string& name, int difficulty,
                          const std::string& recordText, const std::string& chronicleText)
{
    // The player hears of his own file, never of the engine's copy of it.
    const auto tooLarge = [](std::size_t most) {
        return platform::Message(VELCOR_TEXT("Message", "ﾌｧｲﾙが大きすぎます (%1 KB まで)"),
                                 {platform::Message::Number(static_cast<long long>(most / 1024))});
    };
    const auto badFile = [&](platform::Message why) {
        return Error(platform::Message(VELCOR_TEXT("Message", "ﾃﾞｰﾀﾌｧｲﾙが正しくありません\n%1\n%2"),
                                       {platform::Message::Plain(name), std::move(why)}));
    };
    if (saveBytes.size() > kMaxSaveBytes)
        return badFile(tooLarge(kMaxSaveBytes));
    // Read once for the player's words, naming his file; then into the session from
    // the engine's copy, with everything a load sets up.
    GameState checked;
    if (const LoadOutcome read = LoadCountryText(checked, saveBytes, name); read.status != LoadStatus::Loaded)
        return Error(read.words);
    if (!WriteBytes(kSavePath, saveBytes))
        return badFile(platform::Message(VELCOR_TEXT("Message", "ディスクの空き容量が不足しています")));
    const LoadOutcome read = m_session.ReadWorld(kSavePath, CountryFileUse::SavedGame);
    if (read.status != LoadStatus::Loaded)
        return Error(read.words);
    if (difficulty >= 0 && difficulty <= static_cast<int>(Difficulty::Hard))
        m_session.world.difficulty = static_cast<Difficulty>(difficulty);
    platform::Message setAside;
    if (!recordText.empty()) {
        std::optional<RecordedGame> record = ParseRecord(recordText, &setAside);
        if (record && (!record->tie || *record->tie != TieTo(saveBytes, record->tie->cursor))) {
            record.reset();
            setAside = platform::Message(VELCOR_TEXT("Message", "別のｹﾞｰﾑの記録です"));
        }
        if (record)
            m_recorder.ContinueFrom(std::move(*record));
    }
    std::vector<GameEvent> story;
    StoryLines lines;
    platform::Message chronicleSetAside;
    if (chronicleText.size() > platform::TextFileReader::kMaxSize)
        chronicleSetAside = tooLarge(platform::TextFileReader::kMaxSize);
    else if (!chronicleText.empty())
        ReadChronicle(chronicleText, m_session.world, story, lines, chronicleSetAside);
    const std::size_t told = lines.Count();
    m_lines.Take();
    BeginStory(true, story, std::move(lines));
    m_session.StartComputerTurns();
    CommandResult note;
    note.words = setAside;
    return Answer(setAside.empty() ? nullptr : &note, told, chronicleSetAside);
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
    const ReplayOutcome replayed = ReplayRecord(m_session, *record, ReplayStop{});
    m_shows.SetQuiet(false);
    m_shows.Take();
    if (!replayed.played)
        return Error(replayed.words);
    if (record->tie)
        m_replayCursor = record->tie->cursor;
    m_summary.SetDifficulty(m_session.world.difficulty);
    return Answer(nullptr);
}

std::string WebGame::Command(int kind, int a, std::int32_t b, std::int32_t c, std::int32_t d)
{
    m_replayCursor = -2;
    const int turn = m_session.world.turnCountry;
    CommandResult result;
    if (kind >= 0 && kind < 4) {
        result = m_session.Apply(command::Domestic{kDomesticCommands[static_cast<std::size_t>(kind)].command, turn});
    } else if (kind == 4) {
        result = m_session.Apply(command::Move{turn, a, b, c, d});
    } else if (kind == 5) {
        result = m_session.Apply(command::War{turn, a});
    } else if (kind == 6) {
        // The rest is carried out here, on the calling thread, not on a worker's.
        result = m_session.Apply(command::Rest{});
    } else {
        result.refusal = CommandRefusal::NotNow;
    }
    return Answer(&result);
}

std::string WebGame::CheckMove(int destination)
{
    const CommandResult checked = m_session.Check(command::Move{m_session.world.turnCountry, destination});
    JsonText json;
    json.BeginObject().Field("allowed", checked.refusal == CommandRefusal::None).Field("words", checked.words);
    if (checked.refusal == CommandRefusal::None)
        json.Field("title", MoveTitleWords(m_session.world, m_session.world.turnCountry, destination));
    json.EndObject();
    return json.Take();
}

std::string WebGame::Odds()
{
    const GameState& world = m_session.world;
    const int from = world.turnCountry;
    JsonText json;
    json.BeginObject().Key("odds").BeginArray();
    if (GameState::IsCountryIndex(from))
        for (int target : AttackTargets(world, from)) {
            const BattleOdds odds = OddsOfBattle(world, from, target, BattleKind::Player);
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

std::string WebGame::Save()
{
    // At his turn before his command the save stores the cursor one back, so that
    // loading it gives him the same turn again (as the desktop's save does).
    const std::int32_t cursor = m_replayCursor != -2 ? m_replayCursor : m_session.SaveCursor();
    std::string error;
    // The reason is one of the writer's worded reasons, about the engine's own memory.
    if (!m_session.SaveGame(kSavePath, cursor, &error))
        return Error(platform::Message(error.c_str()));
    const std::string bytes = ReadBytes(kSavePath);
    RecordedGame record = m_recorder.Record();
    record.tie = TieTo(bytes, cursor);
    JsonText json;
    json.BeginObject().Key("save").Bytes(bytes);
    json.Key("record").Bytes(RecordText(record));
    json.Key("chronicle").Bytes(m_lines.Story().Chronicle(m_session.world));
    json.Field("difficulty", m_session.world.difficulty);
    json.Field("year", m_session.world.year.Get()).Field("month", m_session.world.month.Get());
    json.Field("player", m_session.world.playerRuler.Get());
    json.EndObject();
    return json.Take();
}

std::string WebGame::Snapshot()
{
    const GameState& world = m_session.world;
    std::string error;
    if (!SaveCountryFile(world, kSavePath, world.turnCountry, &error))
        return {};
    return std::to_string(world.random.State()) + ' ' + std::to_string(world.commandRandom.State()) + ' ' +
           std::to_string(static_cast<int>(world.difficulty)) + '\n' + ReadBytes(kSavePath);
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
    json.Key("history").BeginArray();
    for (const HoldingsHistory::Point& p : m_summary.History().Points()) {
        json.BeginArray().Number(static_cast<long long>(p.year)).Number(static_cast<long long>(p.month));
        for (std::int8_t held : p.held)
            json.Number(static_cast<long long>(held));
        json.EndArray();
    }
    json.EndArray();
    json.EndObject();
    return json.Take();
}

void WebGame::ViewFields(JsonText& json)
{
    const GameState& world = m_session.world;
    const int turn = world.turnCountry;
    json.Field("mode", PageMode(m_session.Phase()));
    json.Field("acted", m_session.Phase() == TurnPhase::CommandGiven);
    json.Field("player", world.playerRuler.Get());
    json.Field("difficulty", world.difficulty);
    json.Field("year", world.year.Get()).Field("month", world.month.Get()).Field("turn", turn);
    json.Field("playerTurns", m_recorder.PlayerTurns());
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
    // At the player's turn: what each command would meet, and where he may go.
    const bool playing = m_session.TurnRuler() != 0;
    json.Field("playing", playing);
    if (playing) {
        json.Field("turnWords", TurnStatusWords(world, turn));
        json.Key("moveTargets").BeginArray();
        for (int t : MoveTargets(world, turn))
            json.Number(static_cast<long long>(t));
        json.EndArray();
        json.Key("attackTargets").BeginArray();
        for (int t : AttackTargets(world, turn))
            json.Number(static_cast<long long>(t));
        json.EndArray();
        // Why each command would not act, in the rules' words, by its key: the tooltips'
        // "今は使えません" of the desktop's buttons.
        json.Key("why").BeginObject();
        const auto why = [&](char key, CommandBlock block) {
            if (block != CommandBlock::None)
                json.Field(std::string(1, key), RefusalWords(block));
        };
        why('M', MoveBlock(world, turn));
        why('W', WarBlock(world, turn));
        for (const DomesticCommandNames& domestic : kDomesticCommands)
            why(domestic.key, DomesticBlock(world, domestic.command, turn));
        json.EndObject();
        if (const CommandBlock block = WarBlock(world, turn); IsShortage(block))
            json.Field("warRefusal", RefusalWords(block));
    }
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
    if (!(head >> random >> commandRandom >> difficulty) || difficulty < 0 || difficulty > 2 ||
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
