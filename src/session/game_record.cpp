// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/game_record.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <string_view>

#include "model/country_file.h"
#include "platform/text_file.h"

namespace {

constexpr std::string_view kMagic = "VELCOR-RECORD";
// 2: a start may name its seats (a game of several players, or computers at levels of
// their own); 3: a seat may change hands between two steps. A record is written in
// the first version that holds it: without such a start or change as 1, as it always
// was.
constexpr int kSeatChangeVersion = 3;
constexpr int kVersion = 2;
constexpr int kOnePlayerVersion = 1;
// A record of the longest game is far smaller: a reading a month, a few steps a turn.
constexpr std::size_t kMaxRecordSize = 256 * 1024 * 1024;

constexpr const char* kNotARecord = VELCOR_TEXT("Message", "記録ではありません");
constexpr const char* kOtherVersion = VELCOR_TEXT("Message", "この版では読めない記録です (版 %1)");
constexpr const char* kDamaged = VELCOR_TEXT("Message", "記録が壊れています (%1 行目)");
constexpr const char* kChecksum = VELCOR_TEXT("Message", "記録が壊れているか途中で切れています");
constexpr const char* kOtherGame = VELCOR_TEXT("Message", "別のｹﾞｰﾑの記録です");
constexpr const char* kUnreadable = VELCOR_TEXT("Message", "%1\n%2");

const std::array<std::uint32_t, 256>& CrcTable()
{
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1u) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    return table;
}

std::string Hex(std::uint32_t value)
{
    char text[9];
    std::snprintf(text, sizeof text, "%08x", value);
    return text;
}

struct StepWriter {
    std::string& out;
    void operator()(const RecordStart& s) const
    {
        out += "start " + std::string(s.loaded ? "loaded" : "new") + ' ' + std::to_string(s.ruler) + ' ' +
               std::to_string(static_cast<int>(s.difficulty)) + ' ' + std::to_string(s.random) + ' ' +
               std::to_string(s.commandRandom) + ' ' + std::to_string(s.readingIndex) + ' ' +
               std::to_string(s.world.size());
        if (s.seats)
            out += ' ' + SeatsWord(*s.seats);
        out += '\n';
        out += s.world;
        out += '\n';
    }
    void operator()(const PlayerCommand& c) const { std::visit(*this, c); }
    void operator()(const command::Domestic& c) const
    {
        out += "domestic " + std::string(NamesOf(c.what).record) + ' ' + std::to_string(c.country) + '\n';
    }
    void operator()(const command::Move& c) const
    {
        out += "move " + std::to_string(c.from) + ' ' + std::to_string(c.to) + ' ' + std::to_string(c.soldiers) +
               ' ' + std::to_string(c.provisions) + ' ' + std::to_string(c.funds) + '\n';
    }
    void operator()(const command::War& c) const
    {
        out += "war " + std::to_string(c.from) + ' ' + std::to_string(c.target) + '\n';
    }
    void operator()(const command::Rest&) const { out += "rest\n"; }
    void operator()(const SeatChange& c) const
    {
        out += "seat " + std::to_string(c.ruler) + ' ' + SeatLetter(c.seat) + '\n';
    }
};

// Reads the record's text line by line; any fault ends the reading. A record whose
// lines end with CR LF (carried through a tool that changes line ends) is read as one
// with LF: the CR before each line's end goes.
class RecordReader {
public:
    RecordReader(std::string_view text, bool crlf) : m_text(text), m_crlf(crlf) {}

    int LineNumber() const { return m_line; }

    // The next line's words; false at the end of the text (a last line without its LF
    // is no line: the record has been cut).
    bool Line(std::vector<std::string_view>& words)
    {
        words.clear();
        const std::size_t end = m_text.find('\n', m_pos);
        if (end == std::string_view::npos)
            return false;
        std::string_view line = m_text.substr(m_pos, end - m_pos);
        if (m_crlf && line.ends_with('\r'))
            line.remove_suffix(1);
        m_pos = end + 1;
        ++m_line;
        while (!line.empty()) {
            const std::size_t space = line.find(' ');
            words.push_back(line.substr(0, space));
            if (space == std::string_view::npos)
                break;
            line.remove_prefix(space + 1);
        }
        return true;
    }
    // count bytes and the line end after them.
    bool Bytes(std::size_t count, std::string& bytes)
    {
        if (count >= m_text.size() - m_pos)
            return false;
        const std::size_t end = m_pos + count;
        const std::size_t eol = m_crlf && m_text.substr(end).starts_with("\r\n") ? 2 : 1;
        if (m_text[end + eol - 1] != '\n')
            return false;
        bytes.assign(m_text.substr(m_pos, count));
        for (char c : bytes)
            m_line += c == '\n';
        m_pos = end + eol;
        ++m_line;
        return true;
    }
    std::size_t Position() const { return m_pos; }

private:
    std::string_view m_text;
    bool m_crlf;
    std::size_t m_pos = 0;
    int m_line = 0;
};

template <typename T>
bool Number(std::string_view text, T& value, T min, T max, int base = 10)
{
    T parsed{};
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, parsed, base);
    if (ec != std::errc() || ptr != end || text.empty() || parsed < min || parsed > max)
        return false;
    value = parsed;
    return true;
}

// A command with every number in its range: countries by index, amounts of nothing or
// more. Whether the rules allow it is the replay's to ask.
bool ParseCommand(const std::vector<std::string_view>& w, PlayerCommand& command)
{
    constexpr int kLast = kCountryCount - 1;
    constexpr std::int32_t kMost = INT32_MAX;
    if (w[0] == "rest" && w.size() == 1) {
        command = command::Rest{};
        return true;
    }
    if (w[0] == "domestic" && w.size() == 3) {
        command::Domestic d;
        const std::optional<DomesticCommand> what = DomesticCommandOfRecord(w[1]);
        if (!what || !Number(w[2], d.country, 0, kLast))
            return false;
        d.what = *what;
        command = d;
        return true;
    }
    if (w[0] == "move" && w.size() == 6) {
        command::Move m;
        if (!Number(w[1], m.from, 0, kLast) || !Number(w[2], m.to, 0, kLast) || !Number(w[3], m.soldiers, 0, kMost) ||
            !Number(w[4], m.provisions, 0, kMost) || !Number(w[5], m.funds, 0, kMost))
            return false;
        command = m;
        return true;
    }
    if (w[0] == "war" && w.size() == 3) {
        command::War c;
        if (!Number(w[1], c.from, 0, kLast) || !Number(w[2], c.target, 0, kLast))
            return false;
        command = c;
        return true;
    }
    return false;
}

} // namespace

bool RecordedGame::operator==(const RecordedGame& other) const
{
    return RecordText(*this) == RecordText(other);
}

std::size_t PlayerTurnsOf(const RecordedGame& record)
{
    std::size_t turns = 0;
    for (const RecordStep& step : record.steps) {
        const auto* command = std::get_if<PlayerCommand>(&step);
        if (std::holds_alternative<RecordStart>(step) || (command && std::holds_alternative<command::Rest>(*command)))
            ++turns;
    }
    return turns;
}

std::uint32_t Crc32(std::string_view bytes)
{
    std::uint32_t c = 0xFFFFFFFFu;
    for (unsigned char byte : bytes)
        c = CrcTable()[(c ^ byte) & 0xFFu] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

std::string RecordText(const RecordedGame& record)
{
    const bool seated = std::any_of(record.steps.begin(), record.steps.end(), [](const RecordStep& step) {
        const auto* start = std::get_if<RecordStart>(&step);
        return start && start->seats;
    });
    const bool changed = std::any_of(record.steps.begin(), record.steps.end(),
                                     [](const RecordStep& step) { return std::holds_alternative<SeatChange>(step); });
    const int version = changed ? kSeatChangeVersion : seated ? kVersion : kOnePlayerVersion;
    std::string out = std::string(kMagic) + ' ' + std::to_string(version) + '\n';
    out += "readings " + std::to_string(record.readings.size()) + '\n';
    for (std::int64_t r : record.readings)
        out += std::to_string(r) + '\n';
    out += "steps " + std::to_string(record.steps.size()) + '\n';
    for (const RecordStep& step : record.steps)
        std::visit(StepWriter{out}, step);
    if (record.tie)
        out += "save " + Hex(record.tie->crc) + ' ' + std::to_string(record.tie->size) + ' ' +
               std::to_string(record.tie->cursor) + '\n';
    else
        out += "save none\n";
    out += "crc32 " + Hex(Crc32(out)) + '\n';
    return out;
}

std::optional<RecordedGame> ParseRecord(const std::string& text, platform::Message* why)
{
    // Lines end with LF as written, or with CR LF throughout when carried through a tool
    // that changed them: then the checksum is of the record as written.
    const std::size_t firstEnd = text.find('\n');
    const bool crlf = firstEnd != std::string::npos && firstEnd > 0 && text[firstEnd - 1] == '\r';
    RecordReader in(text, crlf);
    std::vector<std::string_view> w;
    auto refuse = [&](platform::Message words) -> std::optional<RecordedGame> {
        if (why)
            *why = std::move(words);
        return std::nullopt;
    };
    auto damaged = [&] { return refuse(RecordDamagedAt(in.LineNumber())); };
    if (!in.Line(w) || w.size() != 2 || w[0] != kMagic)
        return refuse(platform::Message(kNotARecord));
    int version = 0;
    if (!Number(w[1], version, 0, INT32_MAX) || version < kOnePlayerVersion || version > kSeatChangeVersion)
        return refuse(platform::Message(kOtherVersion, {platform::Message::Plain(std::string(w[1]))}));
    // The checksum first: a changed or cut record is refused as a whole, before any of
    // it is believed. (With CR LF it can only be checked on the record read.)
    const std::string_view lineEnd = crlf ? "\r\n" : "\n";
    const std::size_t crcSize = std::string_view("crc32 XXXXXXXX").size() + lineEnd.size();
    const std::size_t crcLine = text.size() >= crcSize ? text.size() - crcSize : std::string::npos;
    std::uint32_t crc = 0;
    if (crcLine == std::string::npos || !text.ends_with(lineEnd) || text.compare(crcLine, 6, "crc32 ") != 0 ||
        (crcLine > 0 && text[crcLine - 1] != '\n') ||
        !Number(std::string_view(text).substr(crcLine + 6, 8), crc, 0u, UINT32_MAX, 16) ||
        (!crlf && Crc32(std::string_view(text).substr(0, crcLine)) != crc))
        return refuse(platform::Message(kChecksum));

    RecordedGame record;
    std::size_t count = 0;
    // Each reading takes a line of two bytes at least.
    if (!in.Line(w) || w.size() != 2 || w[0] != "readings" || !Number(w[1], count, std::size_t{0}, text.size() / 2))
        return damaged();
    record.readings.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        std::int64_t r = 0;
        if (!in.Line(w) || w.size() != 1 || !Number(w[0], r, INT64_MIN, INT64_MAX))
            return damaged();
        record.readings.push_back(r);
    }
    if (!in.Line(w) || w.size() != 2 || w[0] != "steps" || !Number(w[1], count, std::size_t{0}, text.size()))
        return damaged();
    for (std::size_t i = 0; i < count; ++i) {
        if (!in.Line(w) || w.empty())
            return damaged();
        if (w[0] == "start") {
            RecordStart s;
            int difficulty = 0;
            std::size_t size = 0;
            // The player is a ruler of a country file's, never 0 (no ruler); the seats
            // (version 2) seat him unless nobody plays.
            const bool seated = version >= kVersion && w.size() == 9;
            if (seated) {
                s.seats = ParseSeatsWord(w[8]);
                if (!s.seats)
                    return damaged();
            }
            if ((w.size() != 8 && !seated) || (w[1] != "new" && w[1] != "loaded") ||
                !Number(w[2], s.ruler, 1, kRulerCount - 1) ||
                (s.seats && !(*s.seats)[static_cast<std::size_t>(s.ruler)].Plays() &&
                 std::any_of(s.seats->begin(), s.seats->end(), [](const Seat& seat) { return seat.Plays(); })) ||
                !Number(w[3], difficulty, 0, kDifficultyLevels - 1) ||
                !Number(w[4], s.random, 0u, UINT32_MAX) || !Number(w[5], s.commandRandom, 0u, UINT32_MAX) ||
                !Number(w[6], s.readingIndex, std::size_t{0}, record.readings.size()) ||
                !Number(w[7], size, std::size_t{0}, text.size()) || !in.Bytes(size, s.world))
                return damaged();
            s.loaded = w[1] == "loaded";
            s.difficulty = static_cast<Difficulty>(difficulty);
            record.steps.emplace_back(std::move(s));
            continue;
        }
        // Every record begins with its start.
        if (i == 0)
            return damaged();
        if (w[0] == "seat") {
            // A seat changing hands (version 3): a ruler and his seat's letter.
            SeatChange change;
            std::optional<Seat> seat;
            if (version < kSeatChangeVersion || w.size() != 3 || !Number(w[1], change.ruler, 1, kRulerCount - 1) ||
                w[2].size() != 1 || !(seat = SeatOfLetter(w[2][0])))
                return damaged();
            change.seat = *seat;
            record.steps.emplace_back(change);
            continue;
        }
        PlayerCommand command;
        if (!ParseCommand(w, command))
            return damaged();
        record.steps.emplace_back(command);
    }
    if (!in.Line(w) || w.empty() || w[0] != "save")
        return damaged();
    if (w.size() == 4) {
        // The cursor as a save stores it: before the first country, or at one.
        RecordTie tie;
        if (!Number(w[1], tie.crc, 0u, UINT32_MAX, 16) || !Number(w[2], tie.size, std::uint64_t{0}, UINT64_MAX) ||
            !Number(w[3], tie.cursor, -1, kCountryCount - 1))
            return damaged();
        record.tie = tie;
    } else if (w.size() != 2 || w[1] != "none") {
        return damaged();
    }
    if (in.Position() != crcLine)
        return damaged();
    if (crlf) {
        const std::string written = RecordText(record);
        if (Crc32(std::string_view(written).substr(0, written.size() - (crcSize - 1))) != crc)
            return refuse(platform::Message(kChecksum));
    }
    return record;
}

int RecordStepLine(const RecordedGame& record, std::size_t step)
{
    // The magic, the readings' count and lines, the steps' count; then a line a command
    // and a start's line with its world's lines (its seats are a word of its line).
    std::size_t line = 4 + record.readings.size();
    for (std::size_t i = 0; i < step && i < record.steps.size(); ++i) {
        const auto* start = std::get_if<RecordStart>(&record.steps[i]);
        line += start ? 2 + static_cast<std::size_t>(std::count(start->world.begin(), start->world.end(), '\n')) : 1;
    }
    return static_cast<int>(std::min<std::size_t>(line, INT32_MAX));
}

platform::Message RecordDamagedAt(int line) { return platform::Message(kDamaged, {platform::Message::Number(line)}); }

std::string RecordFileName(const std::string& savePath) { return savePath + ".record"; }

RecordTie TieTo(const std::string& saveBytes, std::int32_t cursor)
{
    return RecordTie{Crc32(saveBytes), saveBytes.size(), cursor};
}

bool WriteRecordFile(const std::string& path, const RecordedGame& record, std::string* error)
{
    return platform::WriteTextAtomically(path, RecordText(record), error);
}

std::optional<RecordedGame> ReadRecordFile(const std::string& path, platform::Message* why, const std::string* saveBytes)
{
    std::string text;
    std::string reason;
    if (!platform::ReadWholeFile(path, text, nullptr, &reason, kMaxRecordSize)) {
        if (why)
            *why = platform::Message(kUnreadable, {platform::Message::Plain(path), platform::Message(reason.c_str())});
        return std::nullopt;
    }
    std::optional<RecordedGame> record = ParseRecord(text, why);
    if (record && saveBytes) {
        const RecordTie wanted = TieTo(*saveBytes, 0);
        if (!record->tie || record->tie->crc != wanted.crc || record->tie->size != wanted.size) {
            if (why)
                *why = platform::Message(kOtherGame);
            return std::nullopt;
        }
    }
    return record;
}

void GameRecorder::GameBegun(const GameState& world, bool loaded)
{
    RecordStart start;
    start.loaded = loaded;
    start.world = platform::JoinLines(FormatCountryFile(CaptureWorld(world, world.turnCountry)));
    start.ruler = world.playerRuler;
    if (!SeatsAreOnePlayers(world))
        start.seats = world.seats;
    start.difficulty = world.difficulty;
    start.random = world.random.State();
    start.commandRandom = world.commandRandom.State();
    std::lock_guard lock(m_mutex);
    if (!m_continue)
        m_record = RecordedGame{};
    m_continue = false;
    m_record.tie.reset();
    start.readingIndex = m_record.readings.size();
    m_record.steps.emplace_back(std::move(start));
}

void GameRecorder::ContinueFrom(RecordedGame record)
{
    std::lock_guard lock(m_mutex);
    m_record = std::move(record);
    m_record.tie.reset();
    m_continue = true;
}

void GameRecorder::CommandGiven(const PlayerCommand& command)
{
    std::lock_guard lock(m_mutex);
    if (!m_record.steps.empty())
        m_record.steps.emplace_back(command);
}

void GameRecorder::SeatChanged(const SeatChange& change)
{
    std::lock_guard lock(m_mutex);
    if (!m_record.steps.empty())
        m_record.steps.emplace_back(change);
}

void GameRecorder::ClockRead(std::int64_t seconds)
{
    std::lock_guard lock(m_mutex);
    m_record.readings.push_back(seconds);
}

RecordedGame GameRecorder::Record() const
{
    std::lock_guard lock(m_mutex);
    return m_record;
}

std::size_t GameRecorder::PlayerTurns() const
{
    std::lock_guard lock(m_mutex);
    return PlayerTurnsOf(m_record);
}

void GameRecorder::Replace(RecordedGame record)
{
    std::lock_guard lock(m_mutex);
    m_record = std::move(record);
    m_record.tie.reset();
    m_continue = false;
}
