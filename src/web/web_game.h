// SPDX-License-Identifier: GPL-3.0-or-later
// The game as the page plays it: one session, its record and its story, driven by
// calls from the page's engine worker and answering each with JSON. The computer's
// turns run on the calling thread (the worker's, never the page's); what the windows
// would show while they run (each turn, each message, each battle step by step) is
// kept as a list of shows the page plays back at its own pace. A battle is fought to
// its end before the page sees its first step, so its outcome never depends on the pace.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "rules/events.h"
#include "rules/turn.h"
#include "session/game_record.h"
#include "session/game_session.h"
#include "session/game_summary.h"
#include "web/chronicle_text.h"
#include "web/json_text.h"

namespace web {

// What the worker's calls show, written down as they come instead of shown.
class ShowList : public TurnHost {
public:
    explicit ShowList(GameState& world) : m_world(world) {}

    void TurnBegin(int country) override;
    void MarkBattle(int attacker, int target) override;
    void PlayerTurn(int country) override;
    void ShowMessage(const platform::Message& words, int milliseconds) override;
    bool Present(BattleScript& script) override;

    // The shows since the last Take, as a JSON array; empties the list.
    std::string Take();
    // While quiet (a record played again) nothing is written down.
    void SetQuiet(bool quiet) { m_quiet = quiet; }
    // A game begins: no country shown, no battle marked.
    void ClearMarks() { m_shown = m_attacker = m_target = -1; }

private:
    // The world's figures as they stand, for the page to draw this show on.
    void Figures(JsonText& json) const;

    GameState& m_world;
    JsonText m_shows;
    bool m_open = false;
    bool m_quiet = false;
    int m_shown = -1; // the country of the players' last turn, which the panel shows
    int m_attacker = -1;
    int m_target = -1;
};

// Hears the events as JSON lines, for the page's chronicle and turn report, and keeps
// the game's story for the chronicle kept beside its saves.
class EventLines : public EventObserver {
public:
    explicit EventLines(const GameState& world) : m_world(world) {}
    void OnGameEvent(const GameEvent& event) override;
    std::vector<std::string> Take() { return std::move(m_lines); }
    // Every event of the game so far.
    StoryLines& Story() { return m_story; }

private:
    const GameState& m_world;
    std::vector<std::string> m_lines;
    StoryLines m_story;
};

// The largest save the page hands the engine: a save is 172 short lines, so a file
// many times its size is none (the desktop's own limit, for a record, is far larger).
constexpr std::size_t kMaxSaveBytes = 64 * 1024;

class WebGame {
public:
    // dataDir holds the scenario and country files.
    explicit WebGame(std::string dataDir);
    ~WebGame();
    WebGame(const WebGame&) = delete;
    WebGame& operator=(const WebGame&) = delete;

    // The scenarios and the rulers each offers, the rulers' names and colours.
    std::string Scenarios();
    // A new game of scenario 1..3 with ruler and difficulty 0..2, played up to the
    // player's first turn.
    std::string NewGame(int scenario, int ruler, int difficulty);
    // A saved game from its bytes, with the difficulty, record and chronicle kept beside
    // it (empty: none; a record or chronicle of another game is set aside, as the
    // desktop does). name stands for the save in the player's words.
    std::string Load(const std::string& saveBytes, const std::string& name, int difficulty,
                     const std::string& recordText, const std::string& chronicleText);
    // A record played again to its end; the game goes on from there.
    std::string Replay(const std::string& recordText);
    // A command of the player: kind 0..3 the domestic ones (開墾, 商業, 徴兵, 訓練),
    // 4 move (a = destination, b, c, d = soldiers, provisions, funds), 5 war (a =
    // target), 6 rest.
    std::string Command(int kind, int a, std::int32_t b, std::int32_t c, std::int32_t d);
    // Whether the turn country may move to destination (before the amounts are asked).
    std::string CheckMove(int destination);
    // The odds of a war of the turn country on each target it may attack.
    std::string Odds();
    // The save as the desktop writes it, the record tied to it and the chronicle.
    std::string Save();
    // The world with its generators, for the advisor's own engine.
    std::string Snapshot();
    // The game as it stands now.
    std::string View();
    // The story in figures and the score, and who held how much month by month.
    std::string Summary();

private:
    // Every answer: the result (when one), the shows, the events and the view; after a
    // load, the first told events of the story, which the save's chronicle told, or why
    // the chronicle was set aside.
    std::string Answer(const CommandResult* result, std::size_t told = 0,
                       const platform::Message& chronicleSetAside = {});
    void ViewFields(JsonText& json);
    // A game begins, its story so far the events of story (a loaded game's chronicle),
    // whose lines the page is told.
    void BeginStory(bool loaded, const std::vector<GameEvent>& story = {}, StoryLines lines = {});
    std::string Error(const platform::Message& words);

    std::string m_dataDir;
    GameState m_shadow; // ShowList is made before the session it shows
    ShowList m_shows;
    GameSession m_session;
    GameRecorder m_recorder;
    EventLines m_lines;
    GameSummary m_summary;
    // A record tied to a save, played to its end: saved before anything else happens,
    // the game gives that save again, cursor and all. -2: none.
    std::int32_t m_replayCursor = -2;
};

// A snapshot's world given to the advisor: the ranking of the player's commands.
std::string Advise(const std::string& snapshot, int rollouts, int horizon);

} // namespace web
