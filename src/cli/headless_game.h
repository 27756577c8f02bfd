// SPDX-License-Identifier: GPL-3.0-or-later
// What every run without windows shares (velcor --headless, the many games, the
// scenario tools): its options, its exit statuses, and one game set up from the
// options with a host whose player rests and whose battles are fought at once.
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "conduct/game_conductor.h"
#include "foresight/advisor.h"
#include "foresight/look_ahead_ruler.h"
#include "model/game_state.h"
#include "rules/turn_host.h"
#include "session/game_session.h"

class HeadlessGame;

struct HeadlessOptions {
    std::string dataDir = ".";
    int scenario = 0;  // 1..3 for a new game; 0 when a file is loaded
    int ruler = -1;    // the player's RulerId in a new game
    std::string loadFile;
    std::int64_t months = 0;
    std::optional<std::int64_t> clockStart; // a fixed clock makes the run repeatable
    std::string saveFile;                   // empty: no save
    std::string eventsFile;                 // the events as JSON Lines; empty: none
    std::optional<Difficulty> difficulty;   // none: a new game's normal, a save's own
    std::string recordFile;                 // the game's record (docs/replay-format.md); empty: none
    std::string replayFile;                 // a record played again instead of a new or loaded game
    bool help = false;

    // Who plays the player's side: he rests at each turn, or the advisor (foresight/)
    // gives its best command at each turn. --advise only prints the advice at the
    // player's first turn. rollouts and horizon are the advisor's.
    enum class Player : std::uint8_t { Rest, Advisor };
    Player player = Player::Rest;
    // --seat R=KIND, each ruler once: rest or advisor seats R as another player (a person
    // who rests at his turns, or the advisor), easy, normal, hard or master makes R a
    // computer ruler at that level (the player ruler stays the player: his level counts
    // only in the games of --ruler all where he is a computer).
    struct SeatChoice {
        RulerId ruler = 0;
        Seat seat;
        std::string given; // R=KIND as it was given
    };
    std::vector<SeatChoice> seats;
    // --seat-change MONTH:R=KIND: at the first stop of the game after MONTH months (a
    // player's turn, or a watched month's end) ruler R's seat changes hands: person (or
    // rest), advisor, computer or computer:LEVEL. A step of the game's record.
    struct SeatChangeChoice {
        std::int64_t months = 0;
        RulerId ruler = 0;
        Seat seat;
    };
    std::vector<SeatChangeChoice> seatChanges;
    bool advise = false;
    int rollouts = 0; // 0: the advisor's default
    int horizon = 0;  // 0: the advisor's default
    int adviceThreads = 0; // 0: one for each hardware thread

    // Many games (see game_series.h): games > 0 plays that many of each ruler chosen.
    int games = 0;
    int jobs = 0;            // threads at once; 0: one for each core
    bool allRulers = false;  // --ruler all: every ruler the scenario offers
    std::string csvFile;     // the table as CSV too; empty: none

    // The scenario tools (cli/scenario_tools.h): the fairness table of --scenario, or a
    // random scenario of a seed, its table printed and its files written to a folder.
    bool fairness = false;
    std::optional<std::uint32_t> randomSeed;
    std::string writeScenario; // empty: not written

    // Each stretch of computer turns on a thread of its own, started and joined as the
    // windows run their turn worker. The same draws, the same world and the same lines
    // as on the calling thread, only slower: kept to compare the two.
    bool workerThread = false;

    // A networked game, which the program runs over its transport (netgame/): --host
    // PORT opens the game to the remote seats' players on that port (0: a free one),
    // --resume RECORD goes on with the host's game its record holds, --join INVITATION
    // plays a remote seat of a host's game.
    std::optional<int> hostPort;
    // --turn-limit SECONDS: each remote seat's turn lasts at most that long, then the
    // host rests the seat (0: no limit).
    int turnLimit = 0;
    static constexpr int kMostTurnLimit = 24 * 60 * 60;
    // --start-after SECONDS: the host's lobby begins the game after that long even when
    // not every player is ready, the seats no player holds then given to the computer
    // (none: it waits for every player to be ready).
    std::optional<int> startAfter;
    // --open: the host listens on every address of the machine, not the loopback
    // address alone.
    bool openToNetwork = false;
    std::string resumeFile;
    // The months the game had run before this run (a game resumed from its record):
    // --months and --seat-change count from its start.
    std::int64_t monthsBefore = 0;
    std::string joinInvitation;
    // Called once the game is set up (or resumed from its record), before it is played;
    // false ends the run there (kHeadlessBadInput).
    std::function<bool(HeadlessGame&)> gameReady;
    // Called once a game set up here is seated, before it begins (a host's lobby: it may
    // change the seats); false ends the run there (kHeadlessBadInput).
    std::function<bool(HeadlessGame&)> gameSeated;
    // Each player's command as the caller has it chosen (none: his seat chooses it).
    foresight::SeatCommand seatCommand;
    // Called once the game has been played, before it is saved.
    std::function<void()> gameDone;

    // Called on the calling thread each time the computer rulers have played up to the
    // player's turn or to the end of the game, before the run looks whether to go on.
    // No worker runs then: the observer may read the world, save it or load it again.
    // Between two calls at most one month passes. Returning false ends the run there.
    std::function<bool()> atPlayerTurn;
};

constexpr int kHeadlessDone = 0;
constexpr int kHeadlessSaveFailed = 1; // the save, the events or the CSV file
constexpr int kHeadlessBadInput = 2; // a bad option, a missing or refused file

// What the headless game shows of its conductor: the messages printed, the battles
// fought at once. Its calls come from whichever thread runs the turn worker's procedure
// while nothing else touches the world.
class HeadlessHost : public ConductorListener {
public:
    HeadlessHost(GameState& world, std::ostream* out) : m_world(world), m_out(out) {}

    void TurnBegan(int country) override;
    void BattleMarked(int attacker, int target) override { m_marked = {attacker, target}; }
    void TurnReached(int country) override;
    void Say(const platform::Message& words, int milliseconds) override;
    bool ShowBattle(BattleScript& script) override;

    std::ostream* Out() const { return m_out; }
    // Called at each turn begun, message, battle and player's turn of the worker's
    // before it is handled, the world as the call finds it (empty: none). (The marks
    // of a battle come with its turn; a stretch of turns unmarks the last battle before
    // its first turn, the world still at the player's turn.)
    void WatchCalls(std::function<void()> watch) { m_watch = std::move(watch); }
    // The battle the worker last marked, as a map would show it ({-1, -1}: none).
    std::pair<int, int> MarkedBattle() const { return m_marked; }

private:
    void Watch()
    {
        if (m_watch)
            m_watch();
    }

    GameState& m_world;
    std::ostream* m_out;
    std::pair<int, int> m_marked{-1, -1};
    std::function<void()> m_watch;
};

// One game without windows: its conductor (the computer's turns on the calling thread)
// and what it shows. out, when given, receives the battles against the player (and
// PlayResting's map); recording keeps the game's record as it is played.
class HeadlessGame {
public:
    explicit HeadlessGame(std::ostream* out = nullptr, bool recording = false)
        : m_conductor(ComputerPlay::Here, recording), m_host(m_conductor.Session().world, out)
    {
        m_conductor.SetListener(&m_host, false);
    }
    ~HeadlessGame() { m_conductor.SetListener(nullptr); }

    GameConductor& Conductor() { return m_conductor; }
    GameSession& Session() { return m_conductor.Session(); }
    GameState& GetWorld() { return m_conductor.Session().world; }
    HeadlessHost& Host() { return m_host; }

private:
    GameConductor m_conductor;
    HeadlessHost m_host;
};

// Sets up the world of the game the options name, as a single run starts it: a new
// game of options.ruler (with allRulers, of the first ruler offered) on the scenario's
// country file, or the saved game, seated as --seat says, and begins it. offered receives the rulers the scenario offers
// (the saved game's player for a loaded game). False, with the reason on err, when a
// file is missing or refused or the scenario does not offer the ruler.
// seated, when given, is called once the world is seated and before the game begins
// (its record's start is the world as it leaves it): a networked host's lobby, which
// may give the seats nobody came for to the computer. False from it ends the set-up.
bool SetUpHeadlessGame(GameSession& session, const HeadlessOptions& options, std::vector<RulerId>& offered,
                       std::ostream& err, const std::function<bool(GameState&)>& seated = {});

// The seats the --seat options give, every ruler not named at the computer at the
// game's difficulty.
Seats SeatsOf(const HeadlessOptions& options);

// The advisor's options the headless options give (--rollouts, --horizon and the
// threads of each advice).
foresight::AdviceOptions AdviceOptionsOf(const HeadlessOptions& options);
