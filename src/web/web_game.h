// SPDX-License-Identifier: GPL-3.0-or-later
// The game as the page plays it: the conductor every front end plays through, with
// the page's own part around it: the calls of the page's engine worker, each answered
// with JSON that carries the turn's description, and the story the page keeps. The
// computer's turns run on the calling thread (the worker's, never the page's); what the
// windows would show while they run (each turn, each message, each battle step by step)
// is kept as a list of shows the page plays back at its own pace. A battle is fought to
// its end before the page sees its first step, so its outcome never depends on the pace.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "conduct/game_conductor.h"
#include "model/scenario_pair.h"
#include "net/protocol.h"
#include "rules/battle_arrows.h"
#include "rules/events.h"
#include "session/game_summary.h"
#include "web/chronicle_text.h"
#include "web/json_text.h"

namespace web {

// What the conductor shows while the computer plays, written down as it comes instead
// of shown, each show with the turn's description when it has changed since the last.
class ShowList {
public:
    explicit ShowList(const GameState& world) : m_world(world) {}

    void Turn(int country, const TurnDescription& described);
    void Message(const platform::Message& words, int milliseconds, const TurnDescription& described);
    void Battle(BattleScript& script, const TurnDescription& described);
    // The turn passes at the one screen to the person next (shown before his turn).
    void HandOver(RulerId next, const TurnDescription& described);
    void MarkBattle(int attacker, int target)
    {
        m_attacker = attacker;
        m_target = target;
    }
    // The country of the players' last turn, which the panel shows.
    void Shown(int country) { m_shown = country; }

    // The shows since the last Take, as a JSON array; empties the list.
    std::string Take();
    // While quiet (a record played again) nothing is written down.
    void SetQuiet(bool quiet) { m_quiet = quiet; }
    bool Quiet() const { return m_quiet; }
    // A game begins: no country shown, no battle marked.
    void ClearMarks() { m_shown = m_attacker = m_target = -1; }

private:
    // Opens a show of kind, with the world's figures as they stand for the page to
    // draw it on, and the description when it is news.
    void Open(const char* kind, const TurnDescription& described);

    const GameState& m_world;
    JsonText m_shows;
    bool m_open = false;
    bool m_quiet = false;
    std::uint64_t m_described = 0; // the sequence of the description last written
    int m_shown = -1;
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

class WebGame final : private ConductorListener {
public:
    // dataDir holds the scenario and country files; scratchDir is where the engine
    // keeps the files it writes (a save and what goes beside it).
    explicit WebGame(std::string dataDir, const std::string& scratchDir = "/tmp");
    ~WebGame();
    WebGame(const WebGame&) = delete;
    WebGame& operator=(const WebGame&) = delete;

    // The scenarios and the rulers each offers, the rulers' names and colours.
    std::string Scenarios();
    // A new game of scenario 1..3 with ruler and difficulty 0..2, played up to the
    // player's first turn.
    std::string NewGame(int scenario, int ruler, int difficulty);
    // A saved game from its bytes, with the difficulty, record and chronicle kept beside
    // it (empty, or a difficulty out of range: none; a record or chronicle of another
    // game is set aside, as the desktop does). name stands for the save in the player's
    // words.
    std::string Load(const std::string& saveBytes, const std::string& name, int difficulty,
                     const std::string& recordText, const std::string& chronicleText);
    // A saved game from a bundle of its save and companions (the seats, the difficulty,
    // the record, the chronicle), refused whole when it cannot be trusted.
    std::string LoadBundle(const std::string& bundleBytes, const std::string& name);
    // A record played again to its end; the game goes on from there.
    std::string Replay(const std::string& recordText);
    // The command of the turn command of this key (the description's): a move to a
    // (soldiers b, provisions c, funds d), a war on a, a domestic one, or the rest; from
    // the seat of ruler (0: the page's own), refused when the turn is not his.
    std::string Command(const std::string& key, int a, std::int32_t b, std::int32_t c, std::int32_t d,
                        RulerId ruler = GameConductor::kThisScreen);
    // The choice of a move's (M) or a war's (W) target begins; any other key takes the
    // choice (or the windows after it) back: the turn as it was.
    std::string Choose(const std::string& key);
    // A move's target chosen: whether the turn country may move there at all (before
    // the amounts are asked).
    std::string CheckMove(int destination);
    // The end of a game won or lost has been seen.
    std::string PutEndAway();
    // The odds of a war of the turn country on each target it may attack.
    std::string Odds();
    // The save as the desktop writes it, the record tied to it and the chronicle.
    std::string Save();
    // The game saved as Save does, in one bundle with everything kept beside the save.
    std::string Bundle();
    // The world with its generators, for the advisor's own engine.
    std::string Snapshot();
    // The game as it stands now.
    std::string View();
    // The story in figures and the score, and who held how much month by month.
    std::string Summary();
    // What the windows beside the map show: 自国一覧 (the listed person's countries and
    // each one's commands' reasons), the chronicle's 勢力 (every ruler's holdings and
    // seat) and 推移 (who held how much month by month).
    std::string Displays();

    // ---- Seats and the game's flow (web_flows.cpp) ----

    // A new game of scenario 1..3 at difficulty 0..3 with a seat for each ruler: seats
    // holds the seats' words (SeatWord's: person, advisor, computer, computer:hard, ...)
    // of rulers 1..15 in order, separated by spaces; a ruler the scenario does not offer
    // is the computer whatever his word says. first: the ruler a save of the game names
    // when nobody plays (else the first person). Refused when more persons than the one
    // screen takes play, or a seat is one the page cannot play (a remote one).
    std::string NewSeatedGame(int scenario, const std::string& seats, RulerId first, int difficulty);
    // Who plays ruler from now on (a seat's word), at once or at the game's next stop.
    std::string ChangeSeat(RulerId ruler, const std::string& seat);
    // The step the last answer's stepDue asked for: the next month watched, the next
    // step of a record played back, the next rest of 残りを休養, a seat's command.
    std::string Step();
    // Back to the last turn of the person whose turn it is, or to the turn of country at
    // year and month; the story told again from the game's start.
    std::string GoBack();
    std::string ResumeFrom(int year, int month, int country);
    // A record played from its start a step at a time (each when stepDue says).
    std::string PlayRecord(const std::string& recordText);
    // A watched game, or a record played back, stands still or goes on.
    std::string Pause(bool paused);
    // 自動休養: a command that uses the turn up is followed by the rest at once.
    std::string SetOneKeyTurn(bool on);
    // 残りを休養: the rest for every country of the person whose turn it is this month.
    std::string RestRemaining();
    // The player's own scenario from its two files (scenarioN.txt, countryN.txt), or a
    // 乱世 made from seed: read and checked as the desktop reads a scenario folder, and
    // kept as the page's scenario kOwnScenario until the next. Answers the scenario as
    // Scenarios lists one, or the reason it cannot start a game.
    std::string OwnScenario(const std::string& scenarioBytes, const std::string& countryBytes, const std::string& name);
    std::string RandomScenario(std::uint32_t seed);
    // The number a new game gives for the scenario OwnScenario or RandomScenario made.
    static constexpr int kOwnScenario = 4;

    // ---- A networked game joined (web_join.cpp) ----
    // The page plays one seat of a host's game: its game follows the host's record as it
    // grows, each step when stepDue says (joined.behind: the steps held not played yet);
    // at the seat's turn (joined.turn) the usual
    // command calls check his command here and give the frame that carries it to the
    // host (send) instead of playing it. Every answer carries the frames to send.

    // Begins joining the game an invitation names (velcor://HOST:PORT#seat=R&key=HEX):
    // the hello to send, holding what is followed so far (joined again after a
    // connection lost: only what is not held is sent).
    std::string JoinBegin(const std::string& invitation);
    // A frame's text from the host: the record followed on, a command not taken, a
    // refusal (refused: its reason, the host's version and data, and ours), the lobby
    // before the game begins (joined.lobby: each remote seat, whether it is joined and
    // ready, in every answer until the game's start or the connection's end).
    std::string JoinFrame(const std::string& text);
    // In the lobby, he is ready for the game to begin, or no longer: the frame that says
    // so to the host.
    std::string JoinReady(bool ready);
    // The connection has closed (why: its reason; the host's words when the game ended).
    std::string JoinClosed(const std::string& why);

private:
    // Saves the game in play into the engine's file: the error's JSON when it may not be
    // saved or the save failed, empty when saved.
    std::string SaveRefusal();
    // ConductorListener: the shows, and the page's story begun again with a new world.
    void TurnBegan(int country) override;
    void BattleMarked(int attacker, int target) override { m_shows.MarkBattle(attacker, target); }
    void Say(const platform::Message& words, int milliseconds) override;
    void Tell(const platform::Message& words, int milliseconds) override;
    bool ShowBattle(BattleScript& script) override;
    void TurnReached(int country) override
    {
        m_shows.Shown(country);
        JoinAtStop();
    }
    void TurnSettled() override { m_arrows.PlayerTurn(); }
    void PlayerTurnPassed() override { m_arrows.PlayerTurn(); }
    void WorldReplaced(const std::string& savePath) override;
    void HandingOver(RulerId next) override { m_shows.HandOver(next, Current()); }
    void StepDue(int milliseconds) override { m_stepDue = milliseconds; }
    void ReplayEnded(const platform::Message& words) override { m_replayEnded = words; }
    // The seats, the step asked for and the pauses of an answer (web_flows.cpp).
    void FlowFields(JsonText& json);
    // The joined seat, his turn and the frames to send (web_join.cpp).
    void JoinFields(JsonText& json);
    // At a stop of the game followed: the CRC after a start or a rest goes to the host.
    void JoinAtStop();

    // The turn described as it stands now (again when the stage or the status has moved
    // on without a change told: the computer's turns on this thread, a status said).
    const TurnDescription& Current();
    // Every answer: the result (when one), the shows, the events and the view; after a
    // load, the first told events of the story, which the save's chronicle told, or why
    // the chronicle was set aside.
    std::string Answer(const CommandResult* result, std::size_t told = 0,
                       const platform::Message& chronicleSetAside = {});
    void ViewFields(JsonText& json);
    // The save at m_savePath loaded with what lies beside it, its chronicle's text given.
    std::string LoadWritten(const std::string& chronicleText);
    std::string Error(const platform::Message& words);

    std::string m_dataDir;
    std::string m_savePath;
    GameConductor m_game;
    ShowList m_shows;
    EventLines m_lines;
    GameSummary m_summary;
    BattleArrows m_arrows; // the battles since the player's last turn
    RulerId m_listed = 0;  // the person whose countries 自国一覧 last listed
    // A loaded game's chronicle, read into its story once its world has been read.
    std::string m_chronicleText;
    std::size_t m_told = 0;
    platform::Message m_chronicleSetAside;
    // The scenario and country files of a new game's scenario; empty for none.
    std::pair<std::string, std::string> ScenarioFiles(int scenario) const;
    // The own scenario kept, as Scenarios lists it.
    std::string OwnScenarioAnswer(const ScenarioPair& pair, const platform::Message& name);
    std::string m_ownDir;
    bool m_ownKept = false;
    // The step the conductor asked for during a call (-1: none, or the last one taken
    // back), told in its answer.
    std::optional<int> m_stepDue;
    // A record played back has ended during a call (with the rules' words, or none).
    std::optional<platform::Message> m_replayEnded;
    // The seat joined (0: none), the frames waiting to be sent, the steps followed when
    // the last CRC went, and what the host or the connection said during a call.
    int m_joined = 0;
    std::int64_t m_turnsBrought = 0; // the record's parts that brought a turn
    std::int64_t m_turnLimit = 0; // the host's limit of the seat's turn, in seconds (0: none)
    bool m_connected = false; // from JoinBegin (the socket open) to JoinClosed
    std::vector<std::string> m_outgoing;
    std::size_t m_crcSentAt = 0;
    std::string m_dataHash;
    std::optional<net::Refused> m_refused;
    std::string m_closed;
    std::optional<net::Lobby> m_lobby; // the host's lobby, until the game's start
};

// A snapshot's world given to the advisor: the ranking of the player's commands.
std::string Advise(const std::string& snapshot, int rollouts, int horizon);

} // namespace web
