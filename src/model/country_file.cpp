// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/country_file.h"

#include <limits>

#include "platform/numbers.h"
#include "platform/text_file.h"

using platform::Message;

namespace {

constexpr std::int32_t kNoLimit = std::numeric_limits<std::int32_t>::max();

struct NumberItem {
    const char* label;
    std::int32_t min;
    std::int32_t max;
};

constexpr NumberItem kHeaderItems[kHeaderLines] = {
    {VELCOR_TEXT("Message", "プレイヤーの君主"), 0, kRulerCount - 1}, // 1.. in a saved game
    {VELCOR_TEXT("Message", "手番の国"), -1, kCountryCount - 1},
    {VELCOR_TEXT("Message", "年"), 0, kNoLimit},
    {VELCOR_TEXT("Message", "月"), 1, 12},
};

// Items 3..12 of a country block, in file order.
struct CountryNumberItem {
    NumberItem item;
    std::int32_t CountryRecord::*field;
};

const CountryNumberItem kCountryItems[] = {
    {{VELCOR_TEXT("Message", "君主"), 0, kRulerCount - 1}, &CountryRecord::ruler},
    {{VELCOR_TEXT("Message", "人口"), 0, kNoLimit}, &CountryRecord::population},
    {{VELCOR_TEXT("Message", "開墾"), 0, kNoLimit}, &CountryRecord::cultivation},
    {{VELCOR_TEXT("Message", "商業"), 0, kNoLimit}, &CountryRecord::commerce},
    {{VELCOR_TEXT("Message", "兵士"), 0, kNoLimit}, &CountryRecord::soldiers},
    {{VELCOR_TEXT("Message", "訓練"), 0, Country::kMaxTraining}, &CountryRecord::training},
    {{VELCOR_TEXT("Message", "兵糧"), 0, kNoLimit}, &CountryRecord::provisions},
    {{VELCOR_TEXT("Message", "資金"), 0, kNoLimit}, &CountryRecord::funds},
    {{VELCOR_TEXT("Message", "マーカーの x"), 0, kNoLimit}, &CountryRecord::mapX},
    {{VELCOR_TEXT("Message", "マーカーの y"), 0, kNoLimit}, &CountryRecord::mapY},
};
static_assert(std::size(kCountryItems) == kLinesPerCountry - 2);

Message RangeText(const NumberItem& item)
{
    if (item.max == kNoLimit)
        return Message(VELCOR_TEXT("Message", "%1 以上"), {Message::Number(item.min)});
    return Message::Plain(std::to_string(item.min) + "..." + std::to_string(item.max));
}

// Reads lines one by one, and notes where a file that ends too early ends.
class LineSource {
public:
    LineSource(platform::TextFileReader& reader, FileProblem* problem) : m_reader(reader), m_problem(problem) {}

    // The next line; nullptr, with the problem noted, when the file has ended.
    const std::string* Next()
    {
        if (!m_reader.ReadLine(m_line)) {
            if (m_problem) {
                m_problem->line = 0;
                m_problem->words = m_number == 0
                                       ? Message(VELCOR_TEXT("Message", "ﾃﾞｰﾀﾌｧｲﾙが空です"))
                                       : Message(VELCOR_TEXT("Message", "ﾃﾞｰﾀﾌｧｲﾙが途中で終わっています (%1 行目まで)"),
                                                 {Message::Number(m_number)});
            }
            return nullptr;
        }
        ++m_number;
        return &m_line;
    }
    int Number() const { return m_number; }

private:
    platform::TextFileReader& m_reader;
    FileProblem* m_problem;
    std::string m_line;
    int m_number = 0;
};

bool ReadNumber(LineSource& lines, const NumberItem& item, std::int32_t& value, FileProblem* problem)
{
    const std::string* text = lines.Next();
    if (!text)
        return false;
    platform::LeadingInt parsed = platform::ParseLeadingInt(*text);
    if (parsed.overflow || parsed.value < item.min || parsed.value > item.max) {
        if (problem) {
            problem->line = lines.Number();
            problem->words = Message(VELCOR_TEXT("Message", "%1 行目: %2 の値 %3 は範囲外です (%4)"),
                                     {Message::Number(lines.Number()), Message(item.label),
                                      parsed.overflow ? Message(VELCOR_TEXT("Message", "(大きすぎる数)"))
                                                      : Message::Number(parsed.value),
                                      RangeText(item)});
            // Editors that write a byte-order mark put it before the first number.
            if (text->rfind("\xEF\xBB\xBF", 0) == 0)
                problem->words = Message(VELCOR_TEXT("Message", "%1 (行頭に BOM があります)"), {problem->words});
        }
        return false;
    }
    value = parsed.value;
    return true;
}

bool ReadNeighbours(LineSource& lines, std::vector<std::uint32_t>& ids, FileProblem* problem)
{
    const std::string* text = lines.Next();
    if (!text)
        return false;
    ids.clear();
    AppendNeighbourIds(*text, ids);
    auto refuse = [&](Message what) {
        if (problem) {
            problem->line = lines.Number();
            problem->words = Message(VELCOR_TEXT("Message", "%1 行目: %2"), {Message::Number(lines.Number()), what});
        }
        return false;
    };
    if (ids.size() > static_cast<std::size_t>(kMaxNeighbourEntries))
        return refuse(Message(VELCOR_TEXT("Message", "隣国の数が多すぎます (%1)"),
                              {Message::Number(static_cast<long long>(ids.size()))}));
    for (std::uint32_t id : ids) {
        if (id >= static_cast<std::uint32_t>(kCountryCount))
            return refuse(Message(VELCOR_TEXT("Message", "隣国の番号 %1 は範囲外です (0..13)"),
                                  {Message::Number(static_cast<std::int32_t>(id))}));
    }
    return true;
}

} // namespace

std::string JoinNeighbourIds(const std::vector<std::uint32_t>& ids)
{
    std::string text;
    for (std::size_t i = 0; i < ids.size(); ++i) {
        if (i > 0)
            text += ',';
        text += std::to_string(ids[i]);
    }
    return text;
}

bool ParseCountryFile(platform::TextFileReader& reader, WorldRecord& world, FileProblem* problem,
                      CountryFileUse use)
{
    LineSource lines(reader, problem);
    std::int32_t* header[kHeaderLines] = {&world.playerRuler, &world.turnCountry, &world.year, &world.month};
    for (int i = 0; i < kHeaderLines; ++i) {
        NumberItem item = kHeaderItems[i];
        // A saved game with no player's ruler would count every unruled country as the
        // player's and never come to his turn.
        if (i == 0 && use == CountryFileUse::SavedGame)
            item.min = 1;
        if (!ReadNumber(lines, item, *header[i], problem))
            return false;
    }
    for (CountryRecord& country : world.countries) {
        const std::string* name = lines.Next();
        if (!name)
            return false;
        country.name = *name;
        if (!ReadNeighbours(lines, country.neighbours, problem))
            return false;
        for (const CountryNumberItem& item : kCountryItems) {
            if (!ReadNumber(lines, item.item, country.*item.field, problem))
                return false;
        }
    }
    return true;
}

namespace {

// Reads and checks a whole file's text into record; name stands for the file in the
// message.
LoadOutcome ReadRecordFrom(platform::TextFileReader& reader, WorldRecord& record, const std::string& name,
                           CountryFileUse use)
{
    LoadOutcome outcome;
    FileProblem problem;
    if (!ParseCountryFile(reader, record, &problem, use)) {
        outcome.status = LoadStatus::Refused;
        outcome.words = Message(VELCOR_TEXT("Message", "ﾃﾞｰﾀﾌｧｲﾙが正しくありません\n%1\n%2"),
                                {Message::Plain(name), problem.words});
        return outcome;
    }
    outcome.status = LoadStatus::Loaded;
    return outcome;
}

// The same, then the world replaced.
LoadOutcome LoadFromReader(GameState& world, platform::TextFileReader& reader, const std::string& name, CountryFileUse use)
{
    WorldRecord record;
    LoadOutcome outcome = ReadRecordFrom(reader, record, name, use);
    if (outcome.status == LoadStatus::Loaded)
        ApplyWorld(world, record);
    return outcome;
}

} // namespace

LoadOutcome ReadCountryRecord(const std::string& path, WorldRecord& record, CountryFileUse use)
{
    platform::TextFileReader reader;
    if (!reader.Open(path)) {
        LoadOutcome outcome;
        outcome.status = LoadStatus::NotFound;
        outcome.words = Message(VELCOR_TEXT("Message", "%1\n%2\n%3"),
                                {Message(kDataFileNotFound), Message::Plain(path), Message(reader.ErrorReason().c_str())});
        return outcome;
    }
    return ReadRecordFrom(reader, record, path, use);
}

LoadOutcome LoadCountryFile(GameState& world, const std::string& path, CountryFileUse use)
{
    WorldRecord record;
    LoadOutcome outcome = ReadCountryRecord(path, record, use);
    if (outcome.status == LoadStatus::Loaded)
        ApplyWorld(world, record);
    return outcome;
}

LoadOutcome LoadCountryText(GameState& world, std::string text, const std::string& name, CountryFileUse use)
{
    platform::TextFileReader reader;
    reader.OpenText(std::move(text));
    return LoadFromReader(world, reader, name, use);
}

WorldRecord CaptureWorld(const GameState& world, std::int32_t turnCursor)
{
    WorldRecord record;
    record.playerRuler = world.playerRuler;
    record.turnCountry = turnCursor;
    record.year = world.year;
    record.month = world.month;
    for (int i = 0; i < kCountryCount; ++i) {
        const Country& c = world.countries[i];
        CountryRecord& r = record.countries[i];
        r.name = c.GetName();
        r.neighbours = c.GetNeighbours();
        r.ruler = c.GetRuler();
        r.population = c.GetPopulation();
        r.cultivation = c.GetCultivation();
        r.commerce = c.GetCommerce();
        r.soldiers = c.GetSoldiers();
        r.training = c.GetTraining();
        r.provisions = c.GetProvisions();
        r.funds = c.GetFunds();
        r.mapX = c.GetMapX();
        r.mapY = c.GetMapY();
    }
    return record;
}

void ApplyWorld(GameState& world, const WorldRecord& record)
{
    // The file names one player: the game of one person (nobody, for a starting world).
    SeatPlayer(world, record.playerRuler);
    world.turnCountry = record.turnCountry;
    world.year = record.year;
    world.month = record.month;
    for (int i = 0; i < kCountryCount; ++i) {
        Country& c = world.countries[i];
        const CountryRecord& r = record.countries[i];
        c.SetId(i);
        c.SetName(r.name);
        c.ClearNeighbours();
        c.ParseNeighbours(JoinNeighbourIds(r.neighbours));
        c.SetRuler(r.ruler);
        c.SetPopulation(r.population);
        c.SetCultivation(r.cultivation);
        c.SetCommerce(r.commerce);
        c.SetSoldiers(r.soldiers);
        c.SetTraining(r.training);
        c.SetProvisions(r.provisions);
        c.SetFunds(r.funds);
        c.SetMapX(r.mapX);
        c.SetMapY(r.mapY);
    }
}

std::vector<std::string> FormatCountryFile(const WorldRecord& world)
{
    std::vector<std::string> lines;
    lines.reserve(kCountryFileLines);
    lines.push_back(std::to_string(world.playerRuler));
    lines.push_back(std::to_string(world.turnCountry));
    lines.push_back(std::to_string(world.year));
    lines.push_back(std::to_string(world.month));
    for (const CountryRecord& r : world.countries) {
        lines.push_back(r.name);
        lines.push_back(JoinNeighbourIds(r.neighbours));
        for (std::int32_t value : {r.ruler, r.population, r.cultivation, r.commerce, r.soldiers, r.training,
                                   r.provisions, r.funds, r.mapX, r.mapY})
            lines.push_back(std::to_string(value));
    }
    return lines;
}

bool WriteCountryFile(const std::string& path, const WorldRecord& world, std::string* error)
{
    return platform::WriteLinesAtomically(path, FormatCountryFile(world), error);
}

bool SaveCountryFile(const GameState& world, const std::string& path, std::int32_t turnCursor, std::string* error)
{
    return WriteCountryFile(path, CaptureWorld(world, turnCursor), error);
}

std::string CountryFilePath(const std::string& directory, int number)
{
    return directory + "/country" + std::to_string(number) + ".txt";
}

std::string ScenarioFilePath(const std::string& directory, int number)
{
    return directory + "/scenario" + std::to_string(number) + ".txt";
}
