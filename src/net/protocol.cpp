// SPDX-License-Identifier: GPL-3.0-or-later
#include "net/protocol.h"

#include <algorithm>
#include <array>
#include <limits>

#include "net/invitation.h"
#include "net/json.h"
#include "rules/domestic_command.h"

namespace net {

namespace {

using Fields = std::vector<std::pair<std::string, Json>>;

constexpr std::array<const char*, 6> kRefusalWords = {"version", "data", "secret", "taken", "revoked", "replaced"};
constexpr std::array<const char*, 4> kDenialWords = {"seat", "turn", "replayed", "rules"};
constexpr std::int64_t kMostCount = std::numeric_limits<std::int64_t>::max();
constexpr char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string Base64(std::string_view bytes)
{
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t n = std::min<std::size_t>(3, bytes.size() - i);
        std::uint32_t group = 0;
        for (std::size_t k = 0; k < 3; ++k)
            group = group << 8 | (k < n ? static_cast<unsigned char>(bytes[i + k]) : 0u);
        for (std::size_t k = 0; k < 4; ++k)
            out += k <= n ? kBase64[group >> (18 - 6 * k) & 0x3f] : '=';
    }
    return out;
}

// Only the one text Base64 writes for some bytes: padded, no spare bits set.
std::optional<std::string> FromBase64(std::string_view text)
{
    if (text.size() % 4 != 0)
        return std::nullopt;
    std::string bytes;
    bytes.reserve(text.size() / 4 * 3);
    for (std::size_t i = 0; i < text.size(); i += 4) {
        const bool last = i + 4 == text.size();
        const std::size_t pad = last ? (text[i + 3] == '=') + (text[i + 2] == '=') : 0;
        std::uint32_t group = 0;
        for (std::size_t k = 0; k < 4; ++k) {
            const char* at = k < 4 - pad ? std::char_traits<char>::find(kBase64, 64, text[i + k]) : nullptr;
            if (k < 4 - pad && !at)
                return std::nullopt;
            group = group << 6 | (at ? static_cast<std::uint32_t>(at - kBase64) : 0u);
        }
        if ((pad == 1 && (group & 0xff)) || (pad == 2 && (group & 0xffff)))
            return std::nullopt;
        for (std::size_t k = 0; k < 3 - pad; ++k)
            bytes += static_cast<char>(group >> (16 - 8 * k) & 0xff);
    }
    return bytes;
}

bool IsHex(std::string_view text, std::size_t most)
{
    return !text.empty() && text.size() <= most &&
           std::all_of(text.begin(), text.end(), [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

// Reads an object's fields, each once; a frame is whole when every field was read.
class FieldReader {
public:
    explicit FieldReader(const Json& object) : m_object(object) {}

    const Json* Get(const char* key, Json::Kind kind)
    {
        const Json* field = m_object.Field(key);
        if (!field || field->kind != kind)
            return nullptr;
        ++m_read;
        return field;
    }
    template <typename T>
    bool Integer(const char* key, T& out, std::int64_t min, std::int64_t max)
    {
        const Json* field = Get(key, Json::Kind::Integer);
        if (!field || field->integer < min || field->integer > max)
            return false;
        out = static_cast<T>(field->integer);
        return true;
    }
    bool Bool(const char* key, bool& out)
    {
        const Json* field = Get(key, Json::Kind::Bool);
        if (field)
            out = field->boolean;
        return field != nullptr;
    }
    bool Text(const char* key, std::string& out)
    {
        const Json* field = Get(key, Json::Kind::Text);
        if (field)
            out = field->text;
        return field != nullptr;
    }
    template <std::size_t N>
    bool Word(const char* key, const std::array<const char*, N>& words, std::size_t& out)
    {
        std::string text;
        if (!Text(key, text))
            return false;
        const auto found = std::find_if(words.begin(), words.end(), [&](const char* w) { return text == w; });
        out = static_cast<std::size_t>(found - words.begin());
        return found != words.end();
    }
    bool Has(const char* key) const { return m_object.Field(key) != nullptr; }
    bool Whole() const { return m_read == m_object.fields.size(); }

private:
    const Json& m_object;
    std::size_t m_read = 0;
};

constexpr int kLastCountry = kCountryCount - 1;
constexpr int kLastRuler = kRulerCount - 1;
constexpr std::int64_t kMostAmount = std::numeric_limits<std::int32_t>::max();

Json CommandJson(const PlayerCommand& command)
{
    struct Visit {
        Json operator()(const command::Domestic& d) const
        {
            return Json::Object({{"key", Json::Text(std::string(1, NamesOf(d.what).key))},
                                 {"country", Json::Integer(d.country)}});
        }
        Json operator()(const command::Move& m) const
        {
            return Json::Object({{"key", Json::Text("M")},
                                 {"country", Json::Integer(m.from)},
                                 {"target", Json::Integer(m.to)},
                                 {"soldiers", Json::Integer(m.soldiers)},
                                 {"provisions", Json::Integer(m.provisions)},
                                 {"funds", Json::Integer(m.funds)}});
        }
        Json operator()(const command::War& w) const
        {
            return Json::Object(
                {{"key", Json::Text("W")}, {"country", Json::Integer(w.from)}, {"target", Json::Integer(w.target)}});
        }
        Json operator()(const command::Rest&) const { return Json::Object({{"key", Json::Text("R")}}); }
    };
    return std::visit(Visit{}, command);
}

// A command with every number in its range (countries by index, amounts of nothing or
// more); whether the rules allow it is the game's to ask.
std::optional<PlayerCommand> ReadCommand(const Json& json)
{
    if (json.kind != Json::Kind::Object)
        return std::nullopt;
    FieldReader f(json);
    std::string key;
    if (!f.Text("key", key) || key.size() != 1)
        return std::nullopt;
    PlayerCommand command;
    if (key == "R") {
        command = command::Rest{};
    } else if (key == "M") {
        command::Move m;
        if (!f.Integer("country", m.from, 0, kLastCountry) || !f.Integer("target", m.to, 0, kLastCountry) ||
            !f.Integer("soldiers", m.soldiers, 0, kMostAmount) || !f.Integer("provisions", m.provisions, 0, kMostAmount) ||
            !f.Integer("funds", m.funds, 0, kMostAmount))
            return std::nullopt;
        command = m;
    } else if (key == "W") {
        command::War w;
        if (!f.Integer("country", w.from, 0, kLastCountry) || !f.Integer("target", w.target, 0, kLastCountry))
            return std::nullopt;
        command = w;
    } else {
        const auto names = std::find_if(kDomesticCommands.begin(), kDomesticCommands.end(),
                                        [&](const DomesticCommandNames& n) { return n.key == key[0]; });
        command::Domestic d;
        if (names == kDomesticCommands.end() || !f.Integer("country", d.country, 0, kLastCountry))
            return std::nullopt;
        d.what = names->command;
        command = d;
    }
    if (!f.Whole())
        return std::nullopt;
    return command;
}

Json StepJson(const RecordStep& step)
{
    if (const auto* change = std::get_if<SeatChange>(&step))
        return Json::Object({{"seat", Json::Object({{"ruler", Json::Integer(change->ruler)},
                                                    {"kind", Json::Text(std::string(1, SeatLetter(change->seat)))}})}});
    const auto* start = std::get_if<RecordStart>(&step);
    if (!start)
        return CommandJson(std::get<PlayerCommand>(step));
    Fields fields = {{"loaded", Json::Bool(start->loaded)},
                     {"ruler", Json::Integer(start->ruler)},
                     {"difficulty", Json::Integer(static_cast<int>(start->difficulty))},
                     {"random", Json::Integer(start->random)},
                     {"commandRandom", Json::Integer(start->commandRandom)},
                     {"reading", Json::Integer(static_cast<std::int64_t>(start->readingIndex))},
                     {"world", Json::Text(Base64(start->world))}};
    if (start->seats)
        fields.emplace_back("seats", Json::Text(SeatsWord(*start->seats)));
    return Json::Object({{"start", Json::Object(std::move(fields))}});
}

std::optional<RecordStep> ReadStep(const Json& json)
{
    if (const Json* change = json.kind == Json::Kind::Object ? json.Field("seat") : nullptr) {
        if (json.fields.size() != 1 || change->kind != Json::Kind::Object)
            return std::nullopt;
        FieldReader f(*change);
        SeatChange c;
        std::string kind;
        if (!f.Integer("ruler", c.ruler, 1, kLastRuler) || !f.Text("kind", kind) || kind.size() != 1 || !f.Whole())
            return std::nullopt;
        const std::optional<Seat> seat = SeatOfLetter(kind[0]);
        if (!seat)
            return std::nullopt;
        c.seat = *seat;
        return RecordStep(c);
    }
    const Json* start = json.kind == Json::Kind::Object ? json.Field("start") : nullptr;
    if (!start) {
        std::optional<PlayerCommand> command = ReadCommand(json);
        if (!command)
            return std::nullopt;
        return RecordStep(*command);
    }
    if (json.fields.size() != 1 || start->kind != Json::Kind::Object)
        return std::nullopt;
    FieldReader f(*start);
    RecordStart s;
    int difficulty = 0;
    std::string world, seats;
    if (!f.Bool("loaded", s.loaded) || !f.Integer("ruler", s.ruler, 1, kLastRuler) ||
        !f.Integer("difficulty", difficulty, 0, kDifficultyLevels - 1) ||
        !f.Integer("random", s.random, 0, std::numeric_limits<std::uint32_t>::max()) ||
        !f.Integer("commandRandom", s.commandRandom, 0, std::numeric_limits<std::uint32_t>::max()) ||
        !f.Integer("reading", s.readingIndex, 0, kMostCount) || !f.Text("world", world))
        return std::nullopt;
    std::optional<std::string> bytes = FromBase64(world);
    if (!bytes)
        return std::nullopt;
    s.world = std::move(*bytes);
    s.difficulty = static_cast<Difficulty>(difficulty);
    if (f.Has("seats")) {
        if (!f.Text("seats", seats) || !(s.seats = ParseSeatsWord(seats)))
            return std::nullopt;
    }
    if (!f.Whole())
        return std::nullopt;
    return RecordStep(std::move(s));
}

Json Count(std::uint64_t value) { return Json::Integer(static_cast<std::int64_t>(value)); }

struct Writer {
    Json operator()(const Hello& h) const
    {
        return Json::Object({{"t", Json::Text("hello")},
                             {"version", Json::Integer(h.version)},
                             {"data", Json::Text(h.data)},
                             {"seat", Json::Integer(h.seat)},
                             {"key", Json::Text(h.key)},
                             {"readings", Count(h.readings)},
                             {"steps", Count(h.steps)}});
    }
    Json operator()(const Welcome& w) const
    {
        return Json::Object({{"t", Json::Text("welcome")}, {"seat", Json::Integer(w.seat)}, {"last", Count(w.last)}});
    }
    Json operator()(const TurnLimit& l) const
    {
        return Json::Object({{"t", Json::Text("limit")}, {"seconds", Json::Integer(l.seconds)}});
    }
    Json operator()(const Refused& r) const
    {
        return Json::Object({{"t", Json::Text("refused")},
                             {"reason", Json::Text(RefusalWord(r.reason))},
                             {"version", Json::Integer(r.version)},
                             {"data", Json::Text(r.data)}});
    }
    Json operator()(const RecordPart& p) const
    {
        Json readings = Json::Array();
        for (std::int64_t r : p.readings)
            readings.items.push_back(Json::Integer(r));
        Json steps = Json::Array();
        for (const RecordStep& s : p.steps)
            steps.items.push_back(StepJson(s));
        return Json::Object({{"t", Json::Text("record")},
                             {"fresh", Json::Bool(p.fresh)},
                             {"firstReading", Count(p.firstReading)},
                             {"readings", std::move(readings)},
                             {"firstStep", Count(p.firstStep)},
                             {"steps", std::move(steps)}});
    }
    Json operator()(const Command& c) const
    {
        return Json::Object({{"t", Json::Text("command")},
                             {"seat", Json::Integer(c.seat)},
                             {"seq", Count(c.sequence)},
                             {"command", CommandJson(c.command)}});
    }
    Json operator()(const Denied& d) const
    {
        return Json::Object(
            {{"t", Json::Text("denied")}, {"seq", Count(d.sequence)}, {"reason", Json::Text(DenialWord(d.reason))}});
    }
    Json operator()(const WorldCrc& c) const
    {
        return Json::Object({{"t", Json::Text("crc")}, {"steps", Count(c.steps)}, {"crc", Json::Integer(c.crc)}});
    }
    Json operator()(const Ping& p) const { return Json::Object({{"t", Json::Text("ping")}, {"n", Count(p.number)}}); }
    Json operator()(const Pong& p) const { return Json::Object({{"t", Json::Text("pong")}, {"n", Count(p.number)}}); }
    Json operator()(const Lobby& l) const
    {
        Json seats = Json::Array();
        for (const LobbySeat& s : l.seats)
            seats.items.push_back(Json::Object(
                {{"seat", Json::Integer(s.seat)}, {"joined", Json::Bool(s.joined)}, {"ready", Json::Bool(s.ready)}}));
        return Json::Object({{"t", Json::Text("lobby")}, {"seats", std::move(seats)}});
    }
    Json operator()(const Ready& r) const
    {
        return Json::Object({{"t", Json::Text("ready")}, {"ready", Json::Bool(r.ready)}});
    }
};

std::optional<Frame> Read(const std::string& type, FieldReader& f)
{
    if (type == "hello") {
        Hello h;
        if (!f.Integer("version", h.version, 0, std::numeric_limits<int>::max()))
            return std::nullopt;
        // Another version's hello is read for its version alone: the host refuses it.
        if (h.version != kProtocolVersion)
            return Frame(Hello{h.version, {}, 0, {}, 0, 0});
        if (!f.Text("data", h.data) || !IsHex(h.data, kDataHashDigits) || !f.Integer("seat", h.seat, 1, kLastRuler) ||
            !f.Text("key", h.key) || !IsHex(h.key, 2 * kSecretBytes) ||
            h.key.size() != 2 * kSecretBytes ||
            !f.Integer("readings", h.readings, 0, kMostCount) || !f.Integer("steps", h.steps, 0, kMostCount))
            return std::nullopt;
        return Frame(h);
    }
    if (type == "welcome") {
        Welcome w;
        if (!f.Integer("seat", w.seat, 1, kLastRuler) || !f.Integer("last", w.last, 0, kMostCount))
            return std::nullopt;
        return Frame(w);
    }
    if (type == "limit") {
        TurnLimit l;
        if (!f.Integer("seconds", l.seconds, 1, kMostTurnSeconds))
            return std::nullopt;
        return Frame(l);
    }
    if (type == "refused") {
        Refused r;
        std::size_t reason = 0;
        if (!f.Word("reason", kRefusalWords, reason) || !f.Integer("version", r.version, 0, std::numeric_limits<int>::max()) ||
            !f.Text("data", r.data) || (!r.data.empty() && !IsHex(r.data, kDataHashDigits)))
            return std::nullopt;
        r.reason = static_cast<Refusal>(reason);
        return Frame(r);
    }
    if (type == "record") {
        RecordPart p;
        const Json* readings = f.Get("readings", Json::Kind::Array);
        const Json* steps = f.Get("steps", Json::Kind::Array);
        if (!f.Bool("fresh", p.fresh) || !f.Integer("firstReading", p.firstReading, 0, kMostCount) ||
            !f.Integer("firstStep", p.firstStep, 0, kMostCount) || !readings || !steps)
            return std::nullopt;
        for (const Json& r : readings->items) {
            if (r.kind != Json::Kind::Integer)
                return std::nullopt;
            p.readings.push_back(r.integer);
        }
        for (const Json& s : steps->items) {
            std::optional<RecordStep> step = ReadStep(s);
            if (!step)
                return std::nullopt;
            p.steps.push_back(std::move(*step));
        }
        return Frame(std::move(p));
    }
    if (type == "command") {
        Command c;
        const Json* command = f.Get("command", Json::Kind::Object);
        std::optional<PlayerCommand> read = command ? ReadCommand(*command) : std::nullopt;
        if (!f.Integer("seat", c.seat, 1, kLastRuler) || !f.Integer("seq", c.sequence, 0, kMostCount) || !read)
            return std::nullopt;
        c.command = *read;
        return Frame(c);
    }
    if (type == "denied") {
        Denied d;
        std::size_t reason = 0;
        if (!f.Integer("seq", d.sequence, 0, kMostCount) || !f.Word("reason", kDenialWords, reason))
            return std::nullopt;
        d.reason = static_cast<Denial>(reason);
        return Frame(d);
    }
    if (type == "crc") {
        WorldCrc c;
        if (!f.Integer("steps", c.steps, 0, kMostCount) ||
            !f.Integer("crc", c.crc, 0, std::numeric_limits<std::uint32_t>::max()))
            return std::nullopt;
        return Frame(c);
    }
    if (type == "ping" || type == "pong") {
        std::uint64_t number = 0;
        if (!f.Integer("n", number, 0, kMostCount))
            return std::nullopt;
        return type == "ping" ? Frame(Ping{number}) : Frame(Pong{number});
    }
    if (type == "lobby") {
        Lobby l;
        const Json* seats = f.Get("seats", Json::Kind::Array);
        if (!seats || seats->items.size() > static_cast<std::size_t>(kLastRuler))
            return std::nullopt;
        for (const Json& item : seats->items) {
            if (item.kind != Json::Kind::Object)
                return std::nullopt;
            FieldReader s(item);
            LobbySeat seat;
            // Each seat once, in the rulers' order.
            if (!s.Integer("seat", seat.seat, l.seats.empty() ? 1 : l.seats.back().seat + 1, kLastRuler) ||
                !s.Bool("joined", seat.joined) || !s.Bool("ready", seat.ready) || !s.Whole())
                return std::nullopt;
            l.seats.push_back(seat);
        }
        return Frame(std::move(l));
    }
    if (type == "ready") {
        Ready r;
        if (!f.Bool("ready", r.ready))
            return std::nullopt;
        return Frame(r);
    }
    return std::nullopt;
}

} // namespace

bool RecordPart::operator==(const RecordPart& other) const { return Encode(*this) == Encode(other); }
bool Command::operator==(const Command& other) const { return Encode(*this) == Encode(other); }

const char* RefusalWord(Refusal reason) { return kRefusalWords[static_cast<std::size_t>(reason)]; }
const char* DenialWord(Denial reason) { return kDenialWords[static_cast<std::size_t>(reason)]; }

std::string Encode(const Frame& frame) { return JsonText(std::visit(Writer{}, frame)); }

std::optional<Frame> Decode(std::string_view text)
{
    if (text.size() > kFrameLimit)
        return std::nullopt;
    const std::optional<Json> json = ParseJson(text);
    if (!json || json->kind != Json::Kind::Object)
        return std::nullopt;
    FieldReader f(*json);
    std::string type;
    if (!f.Text("t", type))
        return std::nullopt;
    std::optional<Frame> frame = Read(type, f);
    // Every field read, but for another version's hello.
    if (!frame || (!f.Whole() && !(std::holds_alternative<Hello>(*frame) &&
                                   std::get<Hello>(*frame).version != kProtocolVersion)))
        return std::nullopt;
    return frame;
}

std::optional<std::vector<std::string>> RecordFrames(const RecordedGame& record, std::size_t fromReading,
                                                     std::size_t fromStep, bool fresh)
{
    std::vector<std::string> frames;
    std::size_t reading = std::min(fromReading, record.readings.size());
    std::size_t step = std::min(fromStep, record.steps.size());
    bool first = true;
    while (reading < record.readings.size() || step < record.steps.size() || (first && fresh)) {
        RecordPart part;
        part.fresh = first && fresh;
        part.firstReading = reading;
        part.firstStep = step;
        // The frame's size as its items join it: each after the first adds a comma.
        std::size_t size = Encode(part).size();
        while (reading < record.readings.size()) {
            const std::size_t more = std::to_string(record.readings[reading]).size() + !part.readings.empty();
            if (size + more > kFrameLimit)
                break;
            size += more;
            part.readings.push_back(record.readings[reading++]);
        }
        while (step < record.steps.size()) {
            const std::size_t more = JsonText(StepJson(record.steps[step])).size() + !part.steps.empty();
            if (size + more > kFrameLimit)
                break;
            size += more;
            part.steps.push_back(record.steps[step++]);
        }
        if (part.readings.empty() && part.steps.empty() && !part.fresh)
            return std::nullopt; // the next step alone is larger than a frame
        frames.push_back(Encode(part));
        first = false;
    }
    return frames;
}

} // namespace net
