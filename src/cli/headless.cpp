// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/headless.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <optional>
#include <streambuf>
#include <string_view>
#include <tuple>
#include <utility>

#include "model/country_file.h"
#include "model/game_state.h"
#include "model/scenario_file.h"
#include "platform/clock.h"
#include "platform/output_files.h"
#include "platform/terminal.h"
#include "platform/text_file.h"
#include "rules/difficulty.h"
#include "rules/event_json.h"
#include "rules/events.h"
#include "cli/game_series.h"
#include "cli/scenario_tools.h"
#include "conduct/seat_role.h"
#include "foresight/advisor.h"
#include "foresight/resting_game.h"
#include "rules/names.h"
#include "rules/turn.h"
#include "session/game_record.h"
#include "session/game_replay.h"
#include "session/save_bundle.h"
#include "session/save_companions.h"

const char* const kHeadlessUsage =
    "usage: velcor --headless (--scenario N --ruler R | --load FILE) --months M\n"
    "                         [--data DIR] [--clock SECONDS] [--save FILE] [--events FILE]\n"
    "                         [--difficulty easy|normal|hard|master] [--seat R=KIND]...\n"
    "                         [--seat-change MONTH:R=KIND]... [--record FILE]\n"
    "       velcor --headless --replay FILE [--months M] [--save FILE] [--events FILE]\n"
    "       velcor --headless --host PORT --seat R=remote... --record FILE (a new game or --load)\n"
    "       velcor --headless --host PORT --resume RECORD --months M [--save FILE] [--events FILE]\n"
    "       velcor --headless --join INVITATION [--player rest|advisor] [--save FILE]\n"
    "                         [--events FILE] [--record FILE]\n"
    "       velcor --headless --games G (--scenario N --ruler R|all | --load FILE) --months M\n"
    "                         [--jobs J] [--csv FILE] [--data DIR] [--clock SECONDS]\n"
    "                         [--difficulty easy|normal|hard|master] [--seat R=KIND]...\n"
    "       velcor --headless (--scenario N --ruler R | --load FILE) --advise\n"
    "                         [--rollouts N] [--horizon H] [--data DIR] [--clock SECONDS]\n"
    "       velcor --headless --scenario N --fairness [--data DIR] [--jobs J]\n"
    "                         [--player advisor [--rollouts N] [--horizon H]]\n"
    "       velcor --headless --random-scenario SEED [--write-scenario DIR] [--data DIR]\n"
    "                         [--jobs J]\n"
    "  either game also takes [--player rest|advisor] [--rollouts N] [--horizon H]\n"
    "  --data DIR       directory of scenarioN.txt and countryN.txt (default: the current\n"
    "                   directory when it holds them, else the bundled data)\n"
    "  --scenario N     new game of scenario N (1..3) as ruler R, one the scenario offers\n"
    "  --load FILE      resume a saved game\n"
    "  --months M       stop at the player's first turn after M months, or when the game ends\n"
    "  --clock SECONDS  seed every generator from a clock that starts at SECONDS and\n"
    "                   advances one second at each reading (repeatable runs)\n"
    "  --save FILE      save the world at the end, as a save after the player's command\n"
    "  --events FILE    write every event of the game to FILE as JSON Lines (docs/events.md)\n"
    "  --record FILE    write the game's record to FILE: its start, its clock and the\n"
    "                   player's commands (docs/replay-format.md)\n"
    "  --replay FILE    play a record again, to its end or to the player's first turn after\n"
    "                   M months; --save then saves the world there\n"
    "  --games G        play G games (of each ruler with --ruler all), the first with the\n"
    "                   clock SECONDS (default: now), the next with SECONDS + 1, and so on,\n"
    "                   and print a table of how the player fared\n"
    "  --jobs J         play the games on J threads at once (default: one for each core)\n"
    "  --csv FILE       write the table as CSV to FILE as well\n"
    "  --difficulty D   how strongly the computer rulers play (default: normal)\n"
    "  --seat R=KIND    who plays ruler R, given once for each ruler it names: rest or\n"
    "                   advisor, another player who plays as --player does (the turn\n"
    "                   stops at his countries too), remote, a player at another machine\n"
    "                   (with --host); easy, normal, hard or master, a\n"
    "                   computer ruler at that level (default: every other ruler a\n"
    "                   computer at --difficulty)\n"
    "  --host PORT      open the game to its remote seats (--seat R=remote) on PORT of the\n"
    "                   loopback address: each seat's invitation is printed on a line of\n"
    "                   its own; the record is written after every command\n"
    "  --open           with --host: listen on every address of this machine, not the\n"
    "                   loopback address alone, so that other machines may join; the\n"
    "                   invitations name its first network address (plain ws://: others\n"
    "                   on that network can read the game, the invitations' keys too)\n"
    "  --resume RECORD  go on with the host's game its record holds (the same invitations)\n"
    "  --turn-limit SECONDS\n"
    "                   with --host: each remote seat's turn lasts at most SECONDS (1 to\n"
    "                   86400), then the host rests the seat (default: no limit)\n"
    "  --start-after SECONDS\n"
    "                   with --host: begin the game after SECONDS (1 to 86400) even when\n"
    "                   not every player is ready, the seats nobody holds then played by\n"
    "                   the computer (default: wait until every player is ready)\n"
    "  --join INVITATION\n"
    "                   play the remote seat of a host's game the invitation names, to its\n"
    "                   end (-: the invitation read from the standard input); --save,\n"
    "                   --events and --record keep the game as the host's\n"
    "  --seat-change MONTH:R=KIND\n"
    "                   ruler R changes hands at the game's first stop after MONTH months\n"
    "                   (a player's turn, or a watched month's end): KIND person (or rest),\n"
    "                   advisor, computer or computer:LEVEL (easy, normal, hard, master);\n"
    "                   recorded as a step of the game's record\n"
    "  --player P       who plays the player's side: rest (he rests at every turn, the\n"
    "                   default) or advisor (the advisor's best command at every turn)\n"
    "  --advise         play up to the player's first turn (the other players rest at\n"
    "                   theirs) and print every command he may give, best first: its key\n"
    "                   letter (M W L C S T R), its target country\n"
    "                   (- when none), a move's amounts, the share of trials keeping as many\n"
    "                   countries, the mean held at the horizon and over its months, the\n"
    "                   share surviving, the share losing a country, the score, the army\n"
    "                   at the horizon, the trials and the reason in words\n"
    "  --rollouts N     the advisor's trials of each command (default 256)\n"
    "  --horizon H      the months each trial plays on (default 24)\n"
    "  --fairness       print the scenario's fairness table: for each ruler offered, whether\n"
    "                   he can make war at once, the share of 200 resting games he is alive\n"
    "                   after 12 months, his median months, the share with a capture within\n"
    "                   6 months; with --player advisor also 10 advised games of each\n"
    "                   (--rollouts default 16, --horizon default 6)\n"
    "  --random-scenario SEED\n"
    "                   draw a fair scenario (乱世) from SEED (0..4294967295) on the map of\n"
    "                   --data's country1.txt and print its fairness table\n"
    "  --write-scenario DIR\n"
    "                   write it to DIR/scenario1.txt and DIR/country1.txt\n"
    "exit status: 0 done, 1 the save, the events or the CSV file failed,\n"
    "             2 bad options or a missing or refused file\n";

namespace {

// Enough for any judgement of a scenario, few enough to keep the results in memory.
constexpr std::int64_t kMaxGames = 1000000;
constexpr std::int64_t kMaxJobs = 1024;

// A whole decimal number, nothing before or after it.
std::optional<std::int64_t> ParseWholeNumber(const std::string& text)
{
    std::int64_t value = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || text.empty())
        return std::nullopt;
    return value;
}

bool ParseNumberOption(const std::string& name, const std::string& text, std::int64_t min, std::int64_t max,
                       std::int64_t& value, std::string& error)
{
    const std::optional<std::int64_t> parsed = ParseWholeNumber(text);
    if (!parsed || *parsed < min || *parsed > max) {
        error = name + " wants a whole number from " + std::to_string(min) + " to " + std::to_string(max) +
                ", not '" + text + "'";
        return false;
    }
    value = *parsed;
    return true;
}

// "R=KIND" of --seat, added to seats; each ruler once.
bool ParseSeatOption(const std::string& value, std::vector<HeadlessOptions::SeatChoice>& seats, std::string& error)
{
    const std::size_t equals = value.find('=');
    const std::optional<std::int64_t> ruler = ParseWholeNumber(value.substr(0, equals));
    const std::string kind = equals == std::string::npos ? std::string() : value.substr(equals + 1);
    HeadlessOptions::SeatChoice choice;
    choice.given = value;
    if (const std::optional<Seat> seat = SeatOfWord(kind)) {
        choice.seat = *seat;
    } else {
        error = "--seat wants RULER=KIND, KIND rest, advisor, easy, normal, hard or master, not '" + value + "'";
        return false;
    }
    if (!ruler || *ruler < 1 || *ruler >= kRulerCount) {
        error = "--seat wants a ruler from 1 to " + std::to_string(kRulerCount - 1) + ", not '" + value + "'";
        return false;
    }
    choice.ruler = static_cast<RulerId>(*ruler);
    for (const HeadlessOptions::SeatChoice& given : seats) {
        if (given.ruler == choice.ruler) {
            error = "--seat names ruler " + std::to_string(choice.ruler) + " twice";
            return false;
        }
    }
    seats.push_back(choice);
    return true;
}

// "MONTH:R=KIND" of --seat-change, added to changes in the order given.
bool ParseSeatChangeOption(const std::string& value, std::vector<HeadlessOptions::SeatChangeChoice>& changes,
                           std::string& error)
{
    const std::size_t colon = value.find(':');
    const std::size_t equals = value.find('=');
    HeadlessOptions::SeatChangeChoice change;
    const bool shaped = colon != std::string::npos && equals != std::string::npos && colon < equals;
    const std::int64_t months = ParseWholeNumber(value.substr(0, colon)).value_or(-1);
    const std::int64_t ruler = shaped ? ParseWholeNumber(value.substr(colon + 1, equals - colon - 1)).value_or(0) : 0;
    const std::optional<Seat> seat = shaped ? SeatOfWord(std::string_view(value).substr(equals + 1)) : std::nullopt;
    if (months < 0 || months > 12 * 1000000 || ruler < 1 || ruler >= kRulerCount || !seat) {
        error = "--seat-change wants MONTH:R=KIND, MONTH 0 or more, R a ruler from 1 to " +
                std::to_string(kRulerCount - 1) +
                ", KIND person, rest, advisor, computer or computer:LEVEL (easy, normal, hard, master), not '" +
                value + "'";
        return false;
    }
    change.months = months;
    change.ruler = static_cast<RulerId>(ruler);
    change.seat = *seat;
    changes.push_back(change);
    return true;
}

std::string DateText(const GameState& world)
{
    return std::to_string(world.year.Get()) + " 年 " + std::to_string(world.month.Get()) + " 月";
}

std::int64_t MonthsSinceYearZero(const GameState& world)
{
    return std::int64_t{world.year} * 12 + world.month;
}

// "190 年 1 月  劉備 2  曹操 3 ...": the rulers holding countries, by id.
void PrintMap(const GameState& world, std::ostream& out)
{
    int held[kRulerCount] = {};
    for (const Country& c : world.countries) {
        if (c.GetRuler() >= 0 && c.GetRuler() < kRulerCount)
            ++held[c.GetRuler()];
    }
    out << DateText(world);
    for (int r = 0; r < kRulerCount; ++r) {
        if (held[r] > 0)
            out << "  " << RulerNameUtf8(world, r) << ' ' << held[r];
    }
    out << '\n';
}

} // namespace

void HeadlessHost::TurnBegan(int) { Watch(); }
void HeadlessHost::TurnReached(int) { Watch(); }

void HeadlessHost::Say(const platform::Message& words, int)
{
    Watch();
    if (m_out)
        *m_out << "    " << DateText(m_world) << "  " << words.Text() << '\n';
}

bool HeadlessHost::ShowBattle(BattleScript& script)
{
    Watch();
    script.Start();
    script.Finish();
    return true;
}

bool ParseHeadlessOptions(const std::vector<std::string>& args, HeadlessOptions& options, std::string& error)
{
    options = HeadlessOptions{};
    std::vector<std::string> seen;
    bool hasMonths = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& name = args[i];
        if (name == "--help" || name == "-h") {
            options.help = true;
            return true;
        }
        if (name == "--advise" || name == "--fairness" || name == "--open") {
            bool& flag = name == "--advise" ? options.advise : name == "--open" ? options.openToNetwork : options.fairness;
            if (flag) {
                error = name + " is given twice";
                return false;
            }
            flag = true;
            continue;
        }
        static const char* const kValued[] = {"--seat", "--seat-change", "--data",  "--scenario", "--ruler",  "--load",     "--months",
                                              "--clock", "--save",     "--events", "--games",    "--jobs",
                                              "--csv",   "--player",   "--rollouts", "--horizon",  "--difficulty",
                                              "--record",  "--replay", "--random-scenario", "--write-scenario",
                                              "--host",    "--join",   "--resume", "--turn-limit", "--start-after"};
        if (std::find(std::begin(kValued), std::end(kValued), name) == std::end(kValued)) {
            error = "unknown option '" + name + "'";
            return false;
        }
        if (name != "--seat" && name != "--seat-change" && std::find(seen.begin(), seen.end(), name) != seen.end()) {
            error = name + " is given twice";
            return false;
        }
        seen.push_back(name);
        if (i + 1 >= args.size() || args[i + 1].empty()) {
            error = name + " needs a value";
            return false;
        }
        const std::string& value = args[++i];
        std::int64_t number = 0;
        if (name == "--seat") {
            if (!ParseSeatOption(value, options.seats, error))
                return false;
        } else if (name == "--seat-change") {
            if (!ParseSeatChangeOption(value, options.seatChanges, error))
                return false;
        } else if (name == "--data") {
            options.dataDir = value;
        } else if (name == "--load") {
            options.loadFile = value;
        } else if (name == "--save") {
            options.saveFile = value;
        } else if (name == "--events") {
            options.eventsFile = value;
        } else if (name == "--record") {
            options.recordFile = value;
        } else if (name == "--replay") {
            options.replayFile = value;
        } else if (name == "--join") {
            options.joinInvitation = value;
        } else if (name == "--resume") {
            options.resumeFile = value;
        } else if (name == "--host") {
            if (!ParseNumberOption(name, value, 0, 65535, number, error))
                return false;
            options.hostPort = static_cast<int>(number);
        } else if (name == "--turn-limit") {
            if (!ParseNumberOption(name, value, 1, HeadlessOptions::kMostTurnLimit, number, error))
                return false;
            options.turnLimit = static_cast<int>(number);
        } else if (name == "--start-after") {
            if (!ParseNumberOption(name, value, 1, HeadlessOptions::kMostTurnLimit, number, error))
                return false;
            options.startAfter = static_cast<int>(number);
        } else if (name == "--write-scenario") {
            options.writeScenario = value;
        } else if (name == "--random-scenario") {
            if (!ParseNumberOption(name, value, 0, UINT32_MAX, number, error))
                return false;
            options.randomSeed = static_cast<std::uint32_t>(number);
        } else if (name == "--scenario") {
            if (!ParseNumberOption(name, value, 1, 3, number, error))
                return false;
            options.scenario = static_cast<int>(number);
        } else if (name == "--ruler") {
            if (value == "all") {
                options.allRulers = true;
                continue;
            }
            if (!ParseNumberOption(name, value, 0, kRulerCount - 1, number, error)) {
                error += " (or all, with --games)";
                return false;
            }
            options.ruler = static_cast<int>(number);
        } else if (name == "--csv") {
            options.csvFile = value;
        } else if (name == "--difficulty") {
            Difficulty difficulty = Difficulty::Normal;
            if (!ParseDifficulty(value, difficulty)) {
                error = "--difficulty is easy, normal, hard or master, not '" + value + "'";
                return false;
            }
            options.difficulty = difficulty;
        } else if (name == "--player") {
            if (value != "rest" && value != "advisor") {
                error = "--player wants rest or advisor, not '" + value + "'";
                return false;
            }
            options.player = value == "rest" ? HeadlessOptions::Player::Rest : HeadlessOptions::Player::Advisor;
        } else if (name == "--rollouts") {
            if (!ParseNumberOption(name, value, 1, 1000000, number, error))
                return false;
            options.rollouts = static_cast<int>(number);
        } else if (name == "--horizon") {
            if (!ParseNumberOption(name, value, 1, 12 * 100, number, error))
                return false;
            options.horizon = static_cast<int>(number);
        } else if (name == "--games") {
            if (!ParseNumberOption(name, value, 1, kMaxGames, number, error))
                return false;
            options.games = static_cast<int>(number);
        } else if (name == "--jobs") {
            if (!ParseNumberOption(name, value, 1, kMaxJobs, number, error))
                return false;
            options.jobs = static_cast<int>(number);
        } else if (name == "--months") {
            if (!ParseNumberOption(name, value, 0, 12 * 1000000, options.months, error))
                return false;
            hasMonths = true;
        } else {
            if (!ParseNumberOption(name, value, 0, INT64_MAX, number, error))
                return false;
            options.clockStart = number;
        }
    }
    if (IsScenarioTool(options))
        return CheckScenarioToolOptions(options, seen, error);
    const bool newGame = options.scenario != 0 || options.ruler >= 0 || options.allRulers;
    const bool seenPlayer = std::find(seen.begin(), seen.end(), "--player") != seen.end();
    if (!options.joinInvitation.empty()) {
        for (const auto& [given, what] :
             {std::pair{newGame || !options.loadFile.empty(), "--scenario, --ruler and --load"},
              std::pair{hasMonths, "--months"}, std::pair{options.clockStart.has_value(), "--clock"},
              std::pair{options.games != 0, "--games"}, std::pair{!options.replayFile.empty(), "--replay"},
              std::pair{options.hostPort.has_value() || !options.resumeFile.empty() || options.turnLimit > 0 ||
                            options.startAfter.has_value() || options.openToNetwork,
                        "--host, --resume, --turn-limit, --start-after and --open"},
              std::pair{!options.seats.empty() || !options.seatChanges.empty(), "--seat and --seat-change"},
              std::pair{options.difficulty.has_value(), "--difficulty"}, std::pair{options.advise, "--advise"},
              std::pair{options.jobs != 0 || !options.csvFile.empty(), "--jobs and --csv"}}) {
            if (given) {
                error = std::string(what) + " cannot be given with --join: the host's game holds it";
                return false;
            }
        }
        return true;
    }
    const auto remote = [](const auto& choice) { return choice.seat == Seat::Remote(); };
    const bool remoteSeats = std::any_of(options.seats.begin(), options.seats.end(), remote) ||
                             std::any_of(options.seatChanges.begin(), options.seatChanges.end(), remote);
    if (remoteSeats && !options.hostPort) {
        error = "a remote seat is played from another machine: give --host PORT too";
        return false;
    }
    if (options.turnLimit > 0 && !options.hostPort) {
        error = "--turn-limit limits the turns of a networked game's remote seats: give --host PORT too";
        return false;
    }
    if (options.openToNetwork && !options.hostPort) {
        error = "--open opens a networked game's host to other machines: give --host PORT too";
        return false;
    }
    if (options.startAfter && (!options.hostPort || !options.resumeFile.empty())) {
        error = "--start-after ends the lobby of a new networked game: give --host PORT, and not --resume";
        return false;
    }
    if (!options.resumeFile.empty()) {
        if (!options.hostPort) {
            error = "--resume goes on with a networked game's host: give --host PORT too";
            return false;
        }
        for (const auto& [given, what] :
             {std::pair{newGame || !options.loadFile.empty(), "--scenario, --ruler and --load"},
              std::pair{!options.seats.empty(), "--seat"}, std::pair{!options.recordFile.empty(), "--record"},
              std::pair{options.difficulty.has_value(), "--difficulty"}}) {
            if (given) {
                error = std::string(what) + " cannot be given with --resume: the record holds its game";
                return false;
            }
        }
        if (!hasMonths) {
            error = "--months is missing";
            return false;
        }
        options.recordFile = options.resumeFile; // the record goes on where it was kept
        return true;
    }
    if (options.hostPort) {
        if (!remoteSeats) {
            error = "--host opens the game to remote seats: give --seat R=remote too";
            return false;
        }
        if (options.recordFile.empty()) {
            error = "--host keeps the game's record after every command, to go on from it: give --record FILE too";
            return false;
        }
        if (options.games != 0 || options.advise || !options.replayFile.empty()) {
            error = "--host plays one game: not with --games, --advise or --replay";
            return false;
        }
    }
    if (!options.replayFile.empty()) {
        for (const auto& [given, what] :
             {std::pair{newGame || !options.loadFile.empty(), "--scenario, --ruler and --load"},
              std::pair{options.clockStart.has_value(), "--clock"}, std::pair{options.games != 0, "--games"},
              std::pair{options.jobs != 0, "--jobs"}, std::pair{!options.csvFile.empty(), "--csv"},
              std::pair{!options.recordFile.empty(), "--record"},
              std::pair{options.difficulty.has_value(), "--difficulty"},
              std::pair{!options.seats.empty(), "--seat"},
              std::pair{!options.seatChanges.empty(), "--seat-change"}, std::pair{seenPlayer, "--player"},
              std::pair{options.advise, "--advise"}, std::pair{options.rollouts != 0, "--rollouts"},
              std::pair{options.horizon != 0, "--horizon"}}) {
            if (given) {
                error = std::string(what) + " cannot be given with --replay: the record holds its game";
                return false;
            }
        }
        if (!hasMonths)
            options.months = -1;
        return true;
    }
    if (newGame == !options.loadFile.empty()) {
        error = newGame ? "give either --scenario and --ruler or --load, not both"
                        : "give --scenario N --ruler R for a new game or --load FILE";
        return false;
    }
    if (newGame && (options.scenario == 0 || (options.ruler < 0 && !options.allRulers))) {
        error = "a new game needs both --scenario and --ruler";
        return false;
    }
    if (options.advise && (options.games > 0 || hasMonths || options.player != HeadlessOptions::Player::Rest)) {
        error = "--advise prints the advice at the player's first turn: give it without --games, --months "
                "and --player";
        return false;
    }
    if (!options.seatChanges.empty() && (options.advise || options.games > 0)) {
        error = std::string("--seat-change is for one game played on: not with ") +
                (options.advise ? "--advise" : "--games");
        return false;
    }
    const bool seatsAdvisor =
        std::any_of(options.seats.begin(), options.seats.end(),
                    [](const auto& choice) { return choice.seat == Seat::Advisor(); }) ||
        std::any_of(options.seatChanges.begin(), options.seatChanges.end(),
                    [](const auto& change) { return change.seat == Seat::Advisor(); });
    if ((options.rollouts || options.horizon) && !options.advise &&
        options.player != HeadlessOptions::Player::Advisor && !seatsAdvisor) {
        error = "--rollouts and --horizon are the advisor's: give --advise, --player advisor or an advisor's --seat "
                "too";
        return false;
    }
    if (!hasMonths && !options.advise) {
        error = "--months is missing";
        return false;
    }
    if (options.games == 0) {
        for (const auto& [given, what] : {std::pair{options.allRulers, "--ruler all"},
                                          std::pair{options.jobs != 0, "--jobs"},
                                          std::pair{!options.csvFile.empty(), "--csv"}}) {
            if (given) {
                error = std::string(what) + " is for many games: give --games too";
                return false;
            }
        }
    } else {
        if (!options.saveFile.empty()) {
            error = "--save keeps the world of one game; it cannot be given with --games";
            return false;
        }
        if (!options.eventsFile.empty()) {
            error = "--events keeps the events of one game; it cannot be given with --games";
            return false;
        }
        if (!options.recordFile.empty()) {
            error = "--record keeps the record of one game; it cannot be given with --games";
            return false;
        }
        if (options.clockStart && *options.clockStart > INT64_MAX - options.games) {
            error = "--clock leaves no room for the clocks of " + std::to_string(options.games) + " games";
            return false;
        }
    }
    return true;
}

namespace {

std::string Fixed(double value, int decimals)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

} // namespace

void PrintAdvice(const GameState& world, const HeadlessOptions& options, std::ostream& out)
{
    const foresight::AdviceOptions advice = AdviceOptionsOf(options);
    const int horizon = advice.horizon;
    const std::vector<foresight::AdvisedCommand> ranking = foresight::Advisor(world, advice).Run();
    for (std::size_t i = 0; i < ranking.size(); ++i) {
        const foresight::AdvisedCommand& a = ranking[i];
        const int target = foresight::CommandTarget(a.command);
        out << foresight::CommandKey(a.command) << ' ' << (target < 0 ? std::string("-") : std::to_string(target));
        if (const auto* move = std::get_if<command::Move>(&a.command))
            out << " soldiers " << move->soldiers << " provisions " << move->provisions << " funds " << move->funds;
        out << " kept " << Fixed(a.KeptShare(), 3) << " held " << Fixed(a.MeanHeld(), 2) << " over "
            << Fixed(a.MeanHeldOverMonths(), 2) << " alive "
            << Fixed(a.SurvivedShare(), 3) << " lost " << Fixed(a.LostShare(), 3) << " score " << Fixed(a.Score(), 3)
            << " army " << Fixed(a.MeanArmy(), 0) << " trials " << a.trials << " why "
            << foresight::ReasonOf(world, ranking, i, horizon).Text() << '\n';
    }
}

namespace {

// What a run prints of the player who holds no country.
std::string FallenLine(const GameState& world)
{
    return "game over: " + RulerNameUtf8(world, world.playerRuler) + " holds no country (ゲームオーバーです)\n";
}

// What a run prints of a game that has ended; empty while it goes on.
std::string GameEndLine(GameConductor& game)
{
    const GameState& world = game.World();
    const TurnDescription& turn = game.Describe();
    if (turn.stage == TurnStage::Lost)
        return FallenLine(world);
    if (turn.stage == TurnStage::Won)
        return "unified: " + RulerNameUtf8(world, turn.winner) + " holds every country (中国全土を統一しました)\n";
    return {};
}

} // namespace

HeadlessOutcome PlayResting(HeadlessGame& game, const HeadlessOptions& options)
{
    GameSession& session = game.Session();
    const GameState& world = session.world;
    std::ostream* const out = game.Host().Out();
    std::int32_t shownYear = world.year;
    std::int64_t shownMonth = MonthsSinceYearZero(world);
    if (out)
        PrintMap(world, *out);
    foresight::PlayOnOptions play;
    play.months = options.months - options.monthsBefore;
    play.fromTurn = options.monthsBefore > 0 || !options.resumeFile.empty();
    play.advised = options.player == HeadlessOptions::Player::Advisor;
    play.advice = AdviceOptionsOf(options);
    play.workerThread = options.workerThread;
    play.seatCommand = options.seatCommand;
    // The changes of hands in the order of their months, each at the first stop after
    // its months (counted as the loop counts them).
    std::vector<HeadlessOptions::SeatChangeChoice> changes = options.seatChanges;
    std::stable_sort(changes.begin(), changes.end(), [](const auto& a, const auto& b) { return a.months < b.months; });
    std::size_t nextChange = 0;
    std::int64_t monthsRun = options.monthsBefore;
    // Those of the months before this run are in the game already.
    while (nextChange < changes.size() && changes[nextChange].months < monthsRun)
        ++nextChange;
    std::int32_t lastMonth = world.month;
    play.atPlayerTurn = [&] {
        monthsRun += ((world.month - lastMonth) % 12 + 12) % 12;
        lastMonth = world.month;
        for (; nextChange < changes.size() && changes[nextChange].months <= monthsRun && !session.Ended(); ++nextChange) {
            const HeadlessOptions::SeatChangeChoice& change = changes[nextChange];
            if (game.Conductor().ChangeSeat(change.ruler, change.seat) && out)
                *out << "    " << DateText(world) << "  seat " << change.ruler << " ("
                     << RulerNameUtf8(world, change.ruler) << "): " << SeatWord(world.seats[static_cast<std::size_t>(change.ruler)]) << '\n';
        }
        if (options.atPlayerTurn && !options.atPlayerTurn())
            return false;
        if (out && !session.Ended() && world.year != shownYear) {
            shownYear = world.year;
            shownMonth = MonthsSinceYearZero(world);
            PrintMap(world, *out);
        }
        return true;
    };
    if (out)
        play.commandDone = [&](const CommandResult& result) {
            *out << "    " << DateText(world) << "  " << result.words.Text() << '\n';
        };
    const HeadlessOutcome outcome = game.Conductor().PlayOn(play);
    if (!out)
        return outcome;
    if (MonthsSinceYearZero(world) != shownMonth)
        PrintMap(world, *out);
    if (const std::string end = GameEndLine(game.Conductor()); !end.empty())
        *out << end;
    else
        *out << "still open after " << outcome.monthsRun << " months\n";
    return outcome;
}

namespace {

// A stream into a file that takes the target's place only when the run ends well.
class AtomicFileBuffer : public std::streambuf {
public:
    explicit AtomicFileBuffer(platform::AtomicFileWriter& file) : m_file(file) {}

protected:
    int_type overflow(int_type c) override
    {
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            const char byte = traits_type::to_char_type(c);
            m_file.Write(std::string_view(&byte, 1));
        }
        return traits_type::not_eof(c);
    }
    std::streamsize xsputn(const char* data, std::streamsize size) override
    {
        m_file.Write(std::string_view(data, static_cast<std::size_t>(size)));
        return size;
    }

private:
    platform::AtomicFileWriter& m_file;
};

// The events file for the length of a run: its temporary file made before the game
// begins, its observer heard from the start event on, and let go when the run ends.
class EventsFile {
public:
    EventsFile() = default;
    EventsFile(const EventsFile&) = delete;
    EventsFile& operator=(const EventsFile&) = delete;
    ~EventsFile() { Release(); }

    bool Open(const std::string& path, GameSession& session, std::string* error)
    {
        if (!m_file.Open(path, error))
            return false;
        m_writer.emplace(m_stream, session.world);
        m_events = &session.events;
        m_events->Add(&*m_writer);
        return true;
    }
    bool Commit(std::string* error)
    {
        Release();
        return m_file.Commit(error);
    }

private:
    void Release()
    {
        if (m_writer)
            m_events->Remove(&*m_writer);
        m_writer.reset();
    }

    platform::AtomicFileWriter m_file;
    AtomicFileBuffer m_buffer{m_file};
    std::ostream m_stream{&m_buffer};
    std::optional<JsonLinesWriter> m_writer;
    EventSink* m_events = nullptr;
};

// Why an output that names a file the save keeps beside itself (--events its
// chronicle, --record its record) cannot be written: a link in that place would be
// written through, into whatever file it names (another save's, say), where the save
// itself lets such a link give way. Empty when it can.
std::string LinkBesideRefusal(const HeadlessOptions& options)
{
    if (options.saveFile.empty())
        return {};
    // The same place, the last link of neither followed: "x" and "./x" are one.
    const auto place = [](const std::string& p) {
        std::error_code ignored;
        const std::filesystem::path absolute = std::filesystem::absolute(p, ignored);
        return (std::filesystem::weakly_canonical(absolute.parent_path(), ignored) / absolute.filename())
            .lexically_normal();
    };
    for (const auto& [option, path, companion] :
         {std::tuple{"--events", &options.eventsFile, ChronicleFileName(options.saveFile)},
          std::tuple{"--record", &options.recordFile, RecordFileName(options.saveFile)}}) {
        std::error_code ignored;
        if (!path->empty() && place(*path) == place(companion) &&
            std::filesystem::is_symlink(std::filesystem::symlink_status(*path, ignored)))
            return std::string(option) + " names " + *path +
                   ", a link in the place of a file the save keeps beside itself: remove the link";
    }
    return {};
}

// The files the options name, read and written, for the checks before a run.
std::vector<platform::NamedFile> NamedFiles(const HeadlessOptions& options)
{
    std::vector<platform::NamedFile> files;
    if (options.randomSeed) {
        files.push_back({"--data", CountryFilePath(options.dataDir, 1), false});
        if (!options.writeScenario.empty())
            for (const std::string& path : {ScenarioFilePath(options.writeScenario, 1),
                                            CountryFilePath(options.writeScenario, 1)})
                files.push_back({"--write-scenario", path, true});
    } else if (!options.replayFile.empty()) {
        files.push_back({"--replay", options.replayFile, false});
    } else if (!options.resumeFile.empty() || !options.joinInvitation.empty()) {
        // The game comes from the record (--resume, written again as --record) or the host.
    } else if (!options.loadFile.empty()) {
        files.push_back({"--load", options.loadFile, false});
        for (const std::string& path : {DifficultyFileName(options.loadFile), SeatsFileName(options.loadFile)})
            files.push_back({"--load", path, false, true});
    } else {
        for (const std::string& path : {ScenarioFilePath(options.dataDir, options.scenario),
                                        CountryFilePath(options.dataDir, options.scenario)})
            files.push_back({"--data", path, false});
    }
    if (!options.saveFile.empty()) {
        files.push_back({"--save", options.saveFile, true});
        // What the save writes or removes beside itself, each held to the save's rule;
        // this run's events may be its chronicle and this run's record its record.
        for (const auto& [path, writer] : {std::pair{ChronicleFileName(options.saveFile), "--events"},
                                           std::pair{DifficultyFileName(options.saveFile), ""},
                                           std::pair{SeatsFileName(options.saveFile), ""},
                                           std::pair{RecordFileName(options.saveFile), "--record"}})
            files.push_back({"--save", path, true, true, writer});
    }
    for (const auto& [option, path] : {std::pair{"--events", &options.eventsFile}, std::pair{"--csv", &options.csvFile},
                                       std::pair{"--record", &options.recordFile}})
        if (!path->empty())
            files.push_back({option, *path, true});
    return files;
}

} // namespace

namespace {

// The world saved as the headless game saves it, at the player's turn; and the run's
// record beside it when one is asked for, tied to that save.
void SaveAtEnd(const HeadlessOptions& options, GameSession& session, const GameRecorder* recorder,
               std::int32_t cursor, const std::function<void(const std::string&, const std::string&)>& failed)
{
    std::string error;
    bool saved = false;
    if (!options.saveFile.empty()) {
        saved = session.SaveGame(options.saveFile, cursor, &error);
        if (!saved)
            failed(options.saveFile, error);
    }
    if (!recorder || options.recordFile.empty())
        return;
    RecordedGame record = recorder->Record();
    if (saved)
        record.tie = TieTo(platform::JoinLines(FormatCountryFile(CaptureWorld(session.world, cursor))), cursor);
    if (!WriteRecordFile(options.recordFile, record, &error))
        failed(options.recordFile, error);
}

int RunReplay(const HeadlessOptions& options, std::ostream& out, std::ostream& err)
{
    platform::Message why;
    const std::optional<RecordedGame> record = ReadRecordFile(options.replayFile, &why);
    if (!record) {
        err << "velcor: " << options.replayFile << ": " << why.Text() << '\n';
        return kHeadlessBadInput;
    }
    HeadlessGame game(&out);
    GameSession& session = game.Session();
    int status = kHeadlessDone;
    auto failed = [&](const std::string& path, const std::string& error) {
        err << "velcor: " << path << ": " << error << '\n';
        status = kHeadlessSaveFailed;
    };
    EventsFile events;
    std::string error;
    const bool withEvents = !options.eventsFile.empty() && events.Open(options.eventsFile, session, &error);
    if (!options.eventsFile.empty() && !withEvents)
        failed(options.eventsFile, error);
    ReplayStop stop;
    if (options.months >= 0)
        stop.months = options.months;
    // Played to its end, a record meets the save it was written beside: at its end (a
    // save at a player's turn), or where the computer played after its last rest (a
    // save made then, which stored the country whose turn it was); one that does not
    // has been changed.
    const auto& steps = record->steps;
    const auto* lastCommand = steps.empty() ? nullptr : std::get_if<PlayerCommand>(&steps.back());
    const bool lastStretch = steps.empty() || std::holds_alternative<RecordStart>(steps.back()) ||
                             (lastCommand && std::holds_alternative<command::Rest>(*lastCommand));
    bool afterLastStep = false;
    bool metSave = false;
    if (record->tie && lastStretch)
        game.Host().WatchCalls([&] {
            metSave = metSave || (afterLastStep && session.world.turnCountry == record->tie->cursor &&
                                  IsTiedSave(session.world, *record->tie));
        });
    const ReplayOutcome replayed =
        game.Conductor().PlayRecordThrough(*record, stop, [&] { afterLastStep = true; });
    game.Host().WatchCalls(nullptr);
    if (!replayed.played) {
        err << "velcor: " << options.replayFile << ": " << replayed.words.Text() << '\n';
        return kHeadlessBadInput;
    }
    if (!replayed.stopped && record->tie && !metSave && !IsTiedSave(session.world, *record->tie)) {
        err << "velcor: " << options.replayFile << ": " << RecordDamagedAt(RecordStepLine(*record, steps.size())).Text()
            << '\n';
        return kHeadlessBadInput;
    }
    PrintMap(session.world, out);
    out << (replayed.stopped ? "replay stopped after " : "replay ended after ") << replayed.at.months << " months, "
        << replayed.at.steps << " of " << record->steps.size() << " steps\n";
    // At its end a record tied to a save gives that save again, cursor and all.
    const std::int32_t cursor =
        !replayed.stopped && record->tie ? record->tie->cursor : session.world.turnCountry.Get();
    SaveAtEnd(options, session, nullptr, cursor, failed);
    if (withEvents && !events.Commit(&error))
        failed(options.eventsFile, error);
    return status;
}

} // namespace

int RunHeadless(const HeadlessOptions& options, std::ostream& out, std::ostream& err)
{
    if (!options.replayFile.empty())
        return RunReplay(options, out, err);
    if (options.clockStart)
        platform::FixClock(*options.clockStart);
    // The advice's lines alone; the record kept when one is asked for.
    HeadlessGame game(options.advise ? nullptr : &out, !options.recordFile.empty());
    GameSession& session = game.Session();
    const GameRecorder* recorder = game.Conductor().Recorder();
    // A game set up here; or one its record begins (a host going on with its game, a
    // player following the host's), whose events are heard from its start on.
    const bool setUpHere = options.resumeFile.empty() && options.joinInvitation.empty();
    std::optional<RecordedGame> resumed;
    std::int64_t resumedMonths = 0;
    if (!options.resumeFile.empty()) {
        platform::Message why;
        resumed = ReadRecordFile(options.resumeFile, &why);
        if (!resumed) {
            err << "velcor: " << options.resumeFile << ": " << why.Text() << '\n';
            return kHeadlessBadInput;
        }
    }
    std::vector<RulerId> offered;
    const auto seated = [&](GameState&) { return !options.gameSeated || options.gameSeated(game); };
    if (setUpHere && !SetUpHeadlessGame(session, options, offered, err, seated))
        return kHeadlessBadInput;

    // A file that cannot be written is reported and the others are written all the
    // same; the status tells that one failed.
    int status = kHeadlessDone;
    auto failed = [&](const std::string& path, const std::string& error) {
        err << "velcor: " << path << ": " << error << '\n';
        status = kHeadlessSaveFailed;
    };
    EventsFile events;
    std::string error;
    const bool withEvents = !options.eventsFile.empty() && events.Open(options.eventsFile, session, &error);
    if (!options.eventsFile.empty() && !withEvents)
        failed(options.eventsFile, error);
    if (withEvents && setUpHere)
        ReportStart(session.world, session.events, !options.loadFile.empty());
    if (resumed) {
        const ReplayOutcome replayed = game.Conductor().PlayRecordThrough(*resumed);
        if (!replayed.played) {
            err << "velcor: " << options.resumeFile << ": " << replayed.words.Text() << '\n';
            return kHeadlessBadInput;
        }
        resumedMonths = replayed.at.months;
        // From its end the clock is the game's own again, as it went on before.
        session.world.clock.EndFeed();
    }
    HeadlessOptions resumedOptions;
    if (resumed) {
        // counted from the game's start, not this run's (the const options stay as given)
        resumedOptions = options;
        resumedOptions.monthsBefore = resumedMonths;
    }
    const HeadlessOptions& run = resumed ? resumedOptions : options;
    if (options.gameReady && !options.gameReady(game))
        return kHeadlessBadInput;
    if (!options.joinInvitation.empty()) {
        // The player's game has been played as the host's record came.
    } else if (options.advise) {
        // The advice is the player's (--ruler's, the save's first player): the computer's
        // turns and the other players' (each rests, or the advisor gives his command) up
        // to his first turn, which comes within a month while he holds a country (the
        // year's bound is never reached). The advice is asked of copies. A game already
        // ended has none: it says so as the plain run does.
        const GameState& world = session.world;
        foresight::PlayOnOptions play;
        play.months = 12;
        play.advice = AdviceOptionsOf(options);
        play.workerThread = options.workerThread;
        play.atPlayerTurn = [&] {
            return session.TurnRuler() != world.playerRuler && world.IsPlayer(world.playerRuler) &&
                   PlayerHasCountry(world);
        };
        game.Conductor().PlayOn(play);
        if (const std::string end = GameEndLine(game.Conductor()); !end.empty())
            out << end;
        else if (session.TurnRuler() == world.playerRuler)
            PrintAdvice(world, options, out);
        else if (!PlayerHasCountry(world))
            out << FallenLine(world);
        else
            out << "nobody plays this game: no turn to advise\n";
    } else {
        PlayResting(game, run);
    }
    if (options.gameDone)
        options.gameDone();
    // The events after the save, which removes whatever an earlier game kept beside
    // it: written as the save's chronicle, they are this game's.
    SaveAtEnd(options, session, recorder, session.world.turnCountry, failed);
    if (withEvents && !events.Commit(&error))
        failed(options.eventsFile, error);
    return status;
}

namespace {

std::string ReadBundleFile(const std::string& path)
{
    std::string bytes;
    platform::ReadWholeFile(path, bytes, nullptr, nullptr, bundle::kMaxBundleSize);
    return bytes;
}

void RemoveFolder(const std::optional<std::filesystem::path>& folder)
{
    std::error_code ignored;
    if (folder)
        std::filesystem::remove_all(*folder, ignored);
}

} // namespace

int HeadlessMain(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                 const HeadlessNetwork& network)
{
    HeadlessOptions options;
    std::string error;
    if (!ParseHeadlessOptions(args, options, error)) {
        err << "velcor: " << error << '\n' << kHeadlessUsage;
        return kHeadlessBadInput;
    }
    if (network && (options.hostPort || !options.joinInvitation.empty()))
        network(options, out, err);
    if (options.help) {
        out << kHeadlessUsage;
        return platform::FlushPrinted(out, err) ? kHeadlessDone : kHeadlessSaveFailed;
    }
    // Refused before any game is played: a file written over one read or another
    // written, or one a save would not replace.
    for (const std::string& refusal : {platform::OutputFilesRefusal(NamedFiles(options)), LinkBesideRefusal(options)}) {
        if (!refusal.empty()) {
            err << "velcor: " << refusal << '\n';
            return kHeadlessBadInput;
        }
    }
    if ((options.hostPort || !options.joinInvitation.empty()) && !options.gameReady) {
        err << "velcor: --host and --join play over the network, which only the program itself (velcor) does\n";
        return kHeadlessBadInput;
    }
    // A bundle given to --load is played as the save with its companions: unpacked
    // into a folder of the run's own, removed at its end.
    std::optional<std::filesystem::path> unpacked;
    if (!options.loadFile.empty() && bundle::FileLooksLikeBundle(options.loadFile)) {
        std::string pattern = (std::filesystem::temp_directory_path() / "velcor-bundle-XXXXXX").string();
        platform::Message why;
        if (::mkdtemp(pattern.data()))
            unpacked = pattern;
        const std::string savePath = unpacked ? (*unpacked / "game.txt").string() : std::string();
        if (!unpacked || !bundle::Unpack(ReadBundleFile(options.loadFile), savePath, &why)) {
            err << "velcor: " << options.loadFile << ": " << (unpacked ? why.Text() : std::strerror(errno)) << '\n';
            RemoveFolder(unpacked);
            return kHeadlessBadInput;
        }
        options.loadFile = savePath;
    }
    const int status = IsScenarioTool(options) ? RunScenarioTool(options, out, err)
                       : options.games > 0
                           ? RunGameSeries(options, out, err, &err == &std::cerr && platform::StandardErrorIsTerminal())
                           : RunHeadless(options, out, err);
    RemoveFolder(unpacked);
    // The printed lines are an output too: a full disk or a closed pipe behind them fails
    // the run as a failed save would.
    return platform::FlushPrinted(out, err) ? status : std::max(status, kHeadlessSaveFailed);
}
