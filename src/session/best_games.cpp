// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/best_games.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <string_view>

#include "platform/text_file.h"

// The file: a first line naming it, one line per game with its fields apart by tabs,
// and a last line with the number of games, which tells a whole table from one cut short:
//   velcor best games 1
//   189<TAB>1700000000<TAB>2<TAB>normal<TAB>120<TAB>unified<TAB>3450<TAB>record.jsonl
//   end 1
// A game whose computers played at several levels names them all, lowest first:
// "easy+hard".

namespace {

constexpr std::string_view kFirstLine = "velcor best games 1";
constexpr std::string_view kLastLine = "end ";
constexpr std::size_t kMaxFileSize = 1024 * 1024; // twenty games of a few scenarios take a few KB
constexpr std::size_t kMaxRecordName = 255;

constexpr std::string_view kDifficultyNames[kDifficultyLevels] = {"easy", "normal", "hard", "master"};
constexpr std::string_view kEndNames[] = {"playing", "unified", "defeated"};

// True when one's place comes before other's: the scenario, then the higher score,
// then the earlier game.
bool Before(const BestGame& one, const BestGame& other)
{
    if (one.scenario != other.scenario)
        return one.scenario < other.scenario;
    if (one.score != other.score)
        return one.score > other.score;
    return one.endedAt < other.endedAt;
}

template <typename T>
bool ReadNumber(std::string_view text, T& value, T low, T high)
{
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && !text.empty() && value >= low && value <= high;
}

template <std::size_t N>
bool ReadName(std::string_view text, const std::string_view (&names)[N], std::uint8_t& value)
{
    for (std::size_t i = 0; i < N; ++i) {
        if (names[i] == text) {
            value = static_cast<std::uint8_t>(i);
            return true;
        }
    }
    return false;
}

// The level, or the levels joined by '+' in ascending order, none twice.
bool ReadLevels(std::string_view text, BestGame& game)
{
    std::uint8_t levels = 0;
    int last = -1;
    for (;;) {
        const std::size_t plus = text.find('+');
        std::uint8_t level = 0;
        if (!ReadName(text.substr(0, plus), kDifficultyNames, level) || level <= last)
            return false;
        last = level;
        levels |= LevelBit(static_cast<Difficulty>(level));
        if (plus == std::string_view::npos)
            break;
        text.remove_prefix(plus + 1);
    }
    game.difficulty = LowestLevel(levels);
    game.levels = (levels & (levels - 1)) != 0 ? levels : 0;
    return true;
}

std::string LevelsWord(const BestGame& game)
{
    if (game.levels == 0)
        return std::string(kDifficultyNames[static_cast<std::size_t>(game.difficulty)]);
    std::string word;
    for (int level = 0; level < kDifficultyLevels; ++level)
        if (game.levels & LevelBit(static_cast<Difficulty>(level)))
            (word += word.empty() ? "" : "+") += kDifficultyNames[static_cast<std::size_t>(level)];
    return word;
}

// A record file's name as the table may keep it: a plain name in the table's folder.
bool AcceptableRecordName(std::string_view name)
{
    if (name.size() > kMaxRecordName || name == "." || name == "..")
        return false;
    return std::none_of(name.begin(), name.end(),
                        [](char c) { return c == '/' || c == '\\' || static_cast<unsigned char>(c) < 0x20; });
}

std::vector<std::string_view> SplitFields(std::string_view line)
{
    std::vector<std::string_view> fields;
    for (;;) {
        const std::size_t tab = line.find('\t');
        fields.push_back(line.substr(0, tab));
        if (tab == std::string_view::npos)
            return fields;
        line.remove_prefix(tab + 1);
    }
}

bool ParseGame(std::string_view line, BestGame& game)
{
    const std::vector<std::string_view> f = SplitFields(line);
    if (f.size() != 8)
        return false;
    std::uint8_t end = 0;
    if (!ReadNumber<std::int32_t>(f[0], game.scenario, 1, 9999) ||
        !ReadNumber<std::int64_t>(f[1], game.endedAt, 0, INT64_MAX) ||
        !ReadNumber<RulerId>(f[2], game.ruler, 1, kRulerCount - 1) || !ReadLevels(f[3], game) ||
        !ReadNumber<int>(f[4], game.months, 0, INT32_MAX) || !ReadName(f[5], kEndNames, end) ||
        !ReadNumber<std::int64_t>(f[6], game.score, 0, INT64_MAX) || !AcceptableRecordName(f[7]))
        return false;
    game.end = static_cast<GameEnd>(end);
    game.recordFile = std::string(f[7]);
    return true;
}

} // namespace

BestGame MakeBestGame(const GameFigures& figures, std::int64_t endedAt, std::string recordFile)
{
    BestGame game;
    game.scenario = figures.startYear;
    game.endedAt = endedAt;
    game.ruler = figures.ruler;
    game.difficulty = figures.difficulty;
    game.levels = figures.levels;
    game.months = figures.months;
    game.end = figures.end;
    game.score = GameScore(figures);
    game.recordFile = AcceptableRecordName(recordFile) ? std::move(recordFile) : std::string();
    return game;
}

std::vector<BestGame> BestGames::OfScenario(std::int32_t scenario) const
{
    std::vector<BestGame> games;
    std::copy_if(m_entries.begin(), m_entries.end(), std::back_inserter(games),
                 [scenario](const BestGame& g) { return g.scenario == scenario; });
    return games;
}

int BestGames::Insert(const BestGame& game)
{
    // After every equal one: an equal score does not push an earlier game down.
    const auto at = std::upper_bound(m_entries.begin(), m_entries.end(), game, [](const BestGame& a, const BestGame& b) {
        if (a.scenario != b.scenario)
            return a.scenario < b.scenario;
        return a.score > b.score;
    });
    const auto first = std::find_if(m_entries.begin(), m_entries.end(),
                                    [&game](const BestGame& g) { return g.scenario == game.scenario; });
    const auto place = static_cast<std::size_t>(at - std::min(first, at));
    if (place >= kKeptPerScenario)
        return -1;
    m_entries.insert(at, game);
    // The one pushed past the last place leaves the table.
    std::size_t count = 0;
    std::erase_if(m_entries, [&](const BestGame& g) {
        return g.scenario == game.scenario && ++count > kKeptPerScenario;
    });
    return static_cast<int>(place);
}

std::string BestGames::Format() const
{
    std::string text(kFirstLine);
    text += '\n';
    for (const BestGame& g : m_entries) {
        text += std::to_string(g.scenario) + '\t' + std::to_string(g.endedAt) + '\t' + std::to_string(g.ruler) + '\t';
        text += LevelsWord(g);
        text += '\t' + std::to_string(g.months) + '\t';
        text += kEndNames[static_cast<std::size_t>(g.end)];
        text += '\t' + std::to_string(g.score) + '\t' + g.recordFile + '\n';
    }
    text += std::string(kLastLine) + std::to_string(m_entries.size()) + '\n';
    return text;
}

bool BestGames::Parse(const std::string& text, platform::Message* error)
{
    platform::TextFileReader reader;
    reader.OpenText(text);
    std::string line;
    auto refuse = [error](platform::Message why) {
        if (error)
            *error = std::move(why);
        return false;
    };
    if (!reader.ReadLine(line) || line != kFirstLine)
        return refuse(VELCOR_TEXT("Message", "記録の表ではありません"));
    std::vector<BestGame> entries;
    int lineNumber = 1;
    while (reader.ReadLine(line)) {
        ++lineNumber;
        if (line.starts_with(kLastLine)) {
            std::size_t count = 0;
            if (!ReadNumber<std::size_t>(std::string_view(line).substr(kLastLine.size()), count, 0, SIZE_MAX) ||
                count != entries.size())
                return refuse({VELCOR_TEXT("Message", "%1行目: 記録の数が合いません"), {platform::Message::Number(lineNumber)}});
            if (reader.ReadLine(line))
                return refuse(VELCOR_TEXT("Message", "記録の終わりの後に行があります"));
            std::stable_sort(entries.begin(), entries.end(), Before);
            m_entries.clear();
            for (const BestGame& g : entries)
                Insert(g);
            return true;
        }
        BestGame game;
        if (!ParseGame(line, game))
            return refuse({VELCOR_TEXT("Message", "%1行目が読めません"), {platform::Message::Number(lineNumber)}});
        entries.push_back(std::move(game));
    }
    return refuse(VELCOR_TEXT("Message", "記録の表が途中で切れています"));
}

BestGames::ReadStatus BestGames::Load(const std::string& path, platform::Message* error)
{
    std::string bytes;
    platform::OpenError openError = platform::OpenError::None;
    std::string reason;
    if (!platform::ReadWholeFile(path, bytes, &openError, &reason, kMaxFileSize)) {
        if (openError == platform::OpenError::NotFound) {
            m_entries.clear();
            return ReadStatus::Missing;
        }
        if (error)
            *error = platform::Message::Plain(reason);
        return ReadStatus::Refused;
    }
    return Parse(bytes, error) ? ReadStatus::Read : ReadStatus::Refused;
}

bool BestGames::Save(const std::string& path, std::string* error) const
{
    return platform::WriteTextAtomically(path, Format(), error);
}

int KeepBestGame(BestGames& games, const BestGame& game, const RecordedGame& record, const std::string& tablePath,
                 const std::string& recordPath, std::string* error)
{
    const int place = games.Insert(game);
    if (place < 0)
        return -1;
    std::error_code made;
    if (const std::filesystem::path folder = std::filesystem::path(tablePath).parent_path(); !folder.empty())
        std::filesystem::create_directories(folder, made);
    if (made) {
        if (error)
            *error = made.message();
        return -1;
    }
    if (!WriteRecordFile(recordPath, record, error))
        return -1;
    if (!games.Save(tablePath, error)) {
        std::remove(recordPath.c_str());
        return -1;
    }
    return place;
}
