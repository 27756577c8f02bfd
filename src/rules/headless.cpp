#include "rules/headless.h"

#include <algorithm>
#include <charconv>
#include <ostream>

#include "model/country_file.h"
#include "model/game_state.h"
#include "model/scenario_file.h"
#include "platform/clock.h"
#include "rules/names.h"
#include "rules/turn.h"

const char* const kHeadlessUsage =
    "usage: velcor --headless (--scenario N --ruler R | --load FILE) --months M\n"
    "                         [--data DIR] [--clock SECONDS] [--save FILE]\n"
    "  --data DIR       directory of scenarioN.txt and countryN.txt (default: the current\n"
    "                   directory when it holds them, else the bundled data)\n"
    "  --scenario N     new game of scenario N (1..3) as ruler R, one the scenario offers\n"
    "  --load FILE      resume a saved game\n"
    "  --months M       stop at the player's first turn after M months, or when the game ends\n"
    "  --clock SECONDS  seed every generator from a clock that starts at SECONDS and\n"
    "                   advances one second at each reading (repeatable runs)\n"
    "  --save FILE      save the world at the end, as a save after the player's command\n"
    "exit status: 0 done, 1 the save failed, 2 bad options or a missing or refused file\n";

namespace {

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

std::string DateText()
{
    return std::to_string(GameState::year.Get()) + " 年 " + std::to_string(GameState::month.Get()) + " 月";
}

std::int64_t MonthsSinceYearZero()
{
    return std::int64_t{GameState::year} * 12 + GameState::month;
}

// "190 年 1 月  劉備 2  曹操 3 ...": the rulers holding countries, by id.
void PrintMap(std::ostream& out)
{
    int held[kRulerCount] = {};
    for (const Country& c : GameState::countries) {
        if (c.GetRuler() >= 0 && c.GetRuler() < kRulerCount)
            ++held[c.GetRuler()];
    }
    out << DateText();
    for (int r = 0; r < kRulerCount; ++r) {
        if (held[r] > 0)
            out << "  " << RulerNameUtf8(r) << ' ' << held[r];
    }
    out << '\n';
}

// The player rests at each of his turns and his battles are fought at once. The
// worker calls it on its own thread while the main thread waits for the worker.
class HeadlessHost : public TurnHost {
public:
    explicit HeadlessHost(std::ostream& out) : m_out(out) {}

    void TurnBegin(int country) override { GameState::turnCountry = country; }
    void PlayerTurn(int country) override { GameState::turnCountry = country; }
    void ShowMessage(const std::string& text, int) override { m_out << "    " << DateText() << "  " << text << '\n'; }
    bool Present(BattleScript& script) override
    {
        script.Start();
        script.Finish();
        return !StopRequested();
    }

private:
    std::ostream& m_out;
};

bool SetUpNewGame(const HeadlessOptions& options, std::ostream& err)
{
    std::string message;
    if (!ScenarioOffersRuler(ScenarioFilePath(options.dataDir, options.scenario), options.ruler, message)) {
        err << "velcor: " << message << '\n';
        return false;
    }
    const std::string countryPath = CountryFilePath(options.dataDir, options.scenario);
    const LoadOutcome loaded = LoadCountryFile(countryPath, CountryFileUse::StartingWorld);
    if (loaded.status != LoadStatus::Loaded) {
        err << "velcor: " << loaded.message << '\n'; // the message names the file
        return false;
    }
    BuildRulerTable();
    BeginNewGame(options.ruler);
    return true;
}

bool SetUpLoadedGame(const HeadlessOptions& options, std::ostream& err)
{
    const LoadOutcome loaded = LoadCountryFile(options.loadFile);
    if (loaded.status != LoadStatus::Loaded) {
        err << "velcor: " << loaded.message << '\n';
        return false;
    }
    BuildRulerTable();
    BeginLoadedGame();
    return true;
}

} // namespace

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
        static const char* const kValued[] = {"--data", "--scenario", "--ruler", "--load",
                                              "--months", "--clock", "--save"};
        if (std::find(std::begin(kValued), std::end(kValued), name) == std::end(kValued)) {
            error = "unknown option '" + name + "'";
            return false;
        }
        if (std::find(seen.begin(), seen.end(), name) != seen.end()) {
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
        if (name == "--data") {
            options.dataDir = value;
        } else if (name == "--load") {
            options.loadFile = value;
        } else if (name == "--save") {
            options.saveFile = value;
        } else if (name == "--scenario") {
            if (!ParseNumberOption(name, value, 1, 3, number, error))
                return false;
            options.scenario = static_cast<int>(number);
        } else if (name == "--ruler") {
            if (!ParseNumberOption(name, value, 0, kRulerCount - 1, number, error))
                return false;
            options.ruler = static_cast<int>(number);
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
    const bool newGame = options.scenario != 0 || options.ruler >= 0;
    if (newGame == !options.loadFile.empty()) {
        error = newGame ? "give either --scenario and --ruler or --load, not both"
                        : "give --scenario N --ruler R for a new game or --load FILE";
        return false;
    }
    if (newGame && (options.scenario == 0 || options.ruler < 0)) {
        error = "a new game needs both --scenario and --ruler";
        return false;
    }
    if (!hasMonths) {
        error = "--months is missing";
        return false;
    }
    return true;
}

int RunHeadless(const HeadlessOptions& options, std::ostream& out, std::ostream& err)
{
    if (options.clockStart)
        platform::FixClock(*options.clockStart);
    const bool ready = options.loadFile.empty() ? SetUpNewGame(options, err) : SetUpLoadedGame(options, err);
    if (!ready)
        return kHeadlessBadInput;

    HeadlessHost host(out);
    TurnWorker worker(host);
    std::int32_t shownYear = GameState::year;
    std::int64_t shownMonth = MonthsSinceYearZero();
    // Months are counted as the calendar turns, not from the date: the year stops at
    // its largest figure, after which the date no longer moves.
    std::int64_t monthsRun = 0;
    std::int32_t lastMonth = GameState::month;
    PrintMap(out);
    for (;;) {
        worker.Start(); // the player rests: the computer rulers play up to his next turn
        worker.Join();
        const std::int32_t month = GameState::month;
        monthsRun += ((month - lastMonth) % 12 + 12) % 12;
        lastMonth = month;
        if (options.atPlayerTurn && !options.atPlayerTurn())
            break;
        if (!PlayerHasCountry() || IsUnified())
            break;
        if (GameState::year != shownYear) {
            shownYear = GameState::year;
            shownMonth = MonthsSinceYearZero();
            PrintMap(out);
        }
        if (monthsRun >= options.months)
            break;
    }
    if (MonthsSinceYearZero() != shownMonth)
        PrintMap(out);
    if (!PlayerHasCountry())
        out << "game over: " << RulerNameUtf8(GameState::playerRuler) << " holds no country (ゲームオーバーです)\n";
    else if (IsUnified())
        out << "unified: " << RulerNameUtf8(GameState::playerRuler) << " holds every country (中国全土を統一しました)\n";
    else
        out << "still open after " << monthsRun << " months\n";

    if (!options.saveFile.empty()) {
        std::string error;
        if (!SaveCountryFile(options.saveFile, GameState::turnCountry, &error)) {
            err << "velcor: " << options.saveFile << ": " << error << '\n';
            return kHeadlessSaveFailed;
        }
    }
    return kHeadlessDone;
}

int HeadlessMain(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    HeadlessOptions options;
    std::string error;
    if (!ParseHeadlessOptions(args, options, error)) {
        err << "velcor: " << error << '\n' << kHeadlessUsage;
        return kHeadlessBadInput;
    }
    if (options.help) {
        out << kHeadlessUsage;
        return kHeadlessDone;
    }
    return RunHeadless(options, out, err);
}
