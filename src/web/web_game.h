// SPDX-License-Identifier: GPL-3.0-or-later
// The game as the page plays it: one session, its record and its story, driven by
// calls from the page's engine worker and answering each with JSON. The computer's
// turns run on the calling thread (the worker's, never the page's); what the windows
// would show while they run (each turn, each message, each battle step by step) is
// kept as a list of shows the page plays back at its own pace. A battle is fought to
// its end before the page sees its first step, so its outcome never depends on the pace.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "rules/events.h"
#include "rules/turn.h"
#include "session/game_record.h"
#include "session/game_session.h"
#include "session/game_summary.h"
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

// Hears the events as JSON lines, for the page's chronicle and turn report.
class EventLines : public EventObserver {
public:
    explicit EventLines(const GameState& world) : m_world(world) {}
    void OnGameEvent(const GameEvent& event) override;
    std::vector<std::string> Take() { return std::move(m_lines); }

private:
    const GameState& m_world;
    std::vector<std::string> m_lines;
};

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
    // A saved game from its bytes, with the difficulty and record kept beside it
    // (empty record: none; a record of other bytes is set aside, as the desktop does).
    std::string Load(const std::string& saveBytes, int difficulty, const std::string& recordText);
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
    // The save as the desktop writes it, and the record tied to it.
    std::string Save();
    // The world with its generators, for the advisor's own engine.
    std::string Snapshot();
    // The game as it stands now.
    std::string View();
    // The story in figures and the score, and who held how much month by month.
    std::string Summary();

private:
    // Every answer: the result (when one), the shows, the events and the view.
    std::string Answer(const CommandResult* result);
    void ViewFields(JsonText& json);
    void BeginStory(bool loaded);
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
