// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/windows/chronicle_log.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>
#include <limits>
#include <string>

#include "platform/message.h"
#include "platform/path_bytes.h"
#include "platform/text_file.h"
#include "rules/event_json.h"
#include "words/shown_text.h"

namespace {

constexpr int kPollMs = 100;

// The fields of one line, each read for its type and range: a field that is missing,
// of another type or out of range fails the whole line.
class Fields {
public:
    explicit Fields(const QJsonObject& object) : m_object(object) {}
    bool Ok() const { return m_ok; }

    qint64 Whole(const char* key, qint64 min, qint64 max) { return WholeOf(m_object.value(QLatin1String(key)), min, max); }
    qint64 WholeOf(const QJsonValue& value, qint64 min, qint64 max)
    {
        const double d = value.toDouble();
        if (!value.isDouble() || d != std::trunc(d) || d < static_cast<double>(min) || d > static_cast<double>(max))
            return Fail(min);
        const qint64 whole = value.toInteger(min);
        return whole >= min && whole <= max ? whole : Fail(min);
    }
    std::int32_t Figure(const char* key)
    {
        return static_cast<std::int32_t>(Whole(key, std::numeric_limits<std::int32_t>::min(),
                                               std::numeric_limits<std::int32_t>::max()));
    }
    std::int8_t Country(const char* key) { return static_cast<std::int8_t>(Whole(key, 0, kCountryCount - 1)); }
    std::int8_t Ruler(const char* key) { return static_cast<std::int8_t>(Whole(key, 0, kRulerCount - 1)); }
    bool Flag(const char* key)
    {
        const QJsonValue value = m_object.value(QLatin1String(key));
        return value.isBool() ? value.toBool() : Fail(false);
    }
    // The kinds, commands and outcomes by the names the file gives them.
    template <class E, class Name>
    E Named(const char* key, E last, Name name)
    {
        const QJsonValue value = m_object.value(QLatin1String(key));
        for (int i = 0; value.isString() && i <= static_cast<int>(last); ++i) {
            const std::string_view text = name(static_cast<E>(i));
            if (value.toString() == QLatin1String(text.data(), static_cast<qsizetype>(text.size())))
                return static_cast<E>(i);
        }
        return Fail(E{});
    }
    QJsonValue Value(const char* key) const { return m_object.value(QLatin1String(key)); }

private:
    template <class T>
    T Fail(T value)
    {
        m_ok = false;
        return value;
    }

    const QJsonObject& m_object;
    bool m_ok = true;
};

// Every amount the rules can total, kept exact by a JSON number.
constexpr qint64 kLargestAmount = qint64{1} << 53;

} // namespace

bool EventFromJson(const QByteArray& line, GameEvent& e)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(line, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return false;
    const QJsonObject o = doc.object();
    Fields f(o);
    e = GameEvent{};
    e.kind = f.Named("kind", EventKind::GameOver, EventKindName);
    e.year = f.Figure("year");
    e.month = static_cast<std::int8_t>(f.Whole("month", 1, 12));
    if (!f.Ok())
        return false;
    switch (e.kind) {
    case EventKind::Start: {
        e.ruler = f.Ruler("player");
        e.byPlayer = f.Flag("loaded");
        const QJsonArray rulers = f.Value("rulers").toArray();
        if (rulers.size() != kCountryCount)
            return false;
        for (int i = 0; i < kCountryCount; ++i)
            e.SetStartRuler(i, static_cast<RulerId>(f.WholeOf(rulers[i], 0, kRulerCount - 1)));
        break;
    }
    case EventKind::Month:
        break;
    case EventKind::Command: {
        const DomesticCommand command = f.Named("command", DomesticCommand::Train, CommandName);
        e.country = f.Country("country");
        e.ruler = f.Ruler("ruler");
        e.byPlayer = f.Flag("player");
        e.SetCommand(command, f.Figure("value"));
        break;
    }
    case EventKind::Move:
        e.country = f.Country("country");
        e.target = f.Country("destination");
        e.ruler = f.Ruler("ruler");
        e.byPlayer = f.Flag("player");
        e.SetMoved(f.Figure("soldiers"), f.Figure("provisions"), f.Figure("funds"));
        break;
    case EventKind::Battle: {
        const BattleOutcome outcome = f.Named("outcome", BattleOutcome::Retreat, BattleOutcomeName);
        e.country = f.Country("attacker");
        e.target = f.Country("target");
        e.ruler = f.Ruler("attacker_ruler");
        e.otherRuler = f.Ruler("target_ruler");
        e.byPlayer = f.Flag("player");
        e.SetBattle(outcome, f.Figure("attacker_before"), f.Figure("attacker_after"), f.Figure("target_before"),
                    f.Figure("target_after"));
        break;
    }
    case EventKind::Capture:
        e.country = f.Country("country");
        e.target = f.Country("from");
        e.ruler = f.Ruler("new_ruler");
        e.otherRuler = f.Ruler("old_ruler");
        break;
    case EventKind::Fall:
        e.country = f.Country("country");
        e.ruler = f.Ruler("ruler");
        e.otherRuler = f.Ruler("by");
        break;
    case EventKind::Harvest:
        e.ruler = f.Ruler("ruler");
        e.SetAmount(f.Whole("provisions", -kLargestAmount, kLargestAmount));
        break;
    case EventKind::Taxes:
        e.ruler = f.Ruler("ruler");
        e.SetAmount(f.Whole("funds", -kLargestAmount, kLargestAmount));
        break;
    case EventKind::Victory:
    case EventKind::GameOver:
        e.ruler = f.Ruler("ruler");
        break;
    }
    return f.Ok();
}

ChronicleLog::ChronicleLog(const GameState& world, QObject* parent, std::size_t kept)
    : QObject(parent), m_world(world), m_kept(kept)
{
    connect(&m_poll, &QTimer::timeout, this, &ChronicleLog::Poll);
    m_poll.start(kPollMs);
}

void ChronicleLog::Poll()
{
    const std::size_t size = m_log.Size();
    if (size <= m_announced)
        return;
    const std::size_t first = m_announced;
    m_announced = size;
    emit eventsAdded(first, size);
}

void ChronicleLog::Clear()
{
    m_log.Clear();
    m_announced = 0;
    m_mark = 0;
    emit cleared();
}

std::size_t ChronicleLog::CutOldest()
{
    const std::size_t cut = DropOldest();
    if (cut > 0)
        emit oldestCut(cut);
    return cut;
}

std::size_t ChronicleLog::DropOldest()
{
    const std::size_t size = m_log.Size();
    if (size <= m_kept)
        return 0;
    const std::size_t blocks = (size - m_kept + EventLog::kBlockSize - 1) / EventLog::kBlockSize;
    const std::size_t cut = m_log.DropOldestBlocks(blocks);
    m_announced -= std::min(m_announced, cut);
    m_mark -= std::min(m_mark, cut);
    // The windows read the log again from its new start.
    const std::size_t announced = m_announced;
    m_announced = 0;
    emit cleared();
    if (announced > 0) {
        m_announced = announced;
        emit eventsAdded(0, announced);
    }
    return cut;
}

std::pair<std::size_t, std::size_t> ChronicleLog::TakeSinceMark()
{
    Poll();
    const std::pair<std::size_t, std::size_t> range{m_mark, m_announced};
    m_mark = m_announced;
    return range;
}

QString ChronicleLog::ChroniclePath(const QString& savePath)
{
    return platform::PathFromBytes(ChronicleFileName(platform::PathToBytes(savePath)));
}

void ChronicleLog::SetRandomSeed(std::optional<std::uint32_t> seed)
{
    if (seed == m_seed)
        return;
    m_seed = seed;
    emit reworded();
}

bool ChronicleLog::Save(const QString& path, QString* error) const
{
    std::string text;
    for (std::size_t i = 0; i < m_log.Size(); ++i) {
        text += EventJson(m_world, m_log[i]);
        text += '\n';
    }
    text += SavedWorldJson(m_world);
    text += '\n';
    std::string reason;
    if (platform::WriteTextAtomically(platform::PathToBytes(path), text, &reason))
        return true;
    if (error)
        *error = shown::Reason(reason);
    return false;
}

bool ChronicleLog::Load(const QString& path, QString* error)
{
    Clear();
    const auto setAside = [&](const QString& reason) {
        // A chronicle read in part, or another game's, would tell a wrong story: none
        // at all instead.
        Clear();
        if (error)
            *error = reason;
        return false;
    };
    platform::TextFileReader reader;
    if (!reader.Open(platform::PathToBytes(path), static_cast<std::size_t>(kMaxFileSize))) {
        if (reader.Error() == platform::OpenError::NotFound)
            return false;
        return setAside(shown::Reason(reader.ErrorReason()));
    }
    const QByteArray closing = QByteArray::fromStdString(SavedWorldJson(m_world));
    bool closed = false;
    std::size_t cut = 0;
    int lineNumber = 0;
    std::string text;
    while (reader.ReadLine(text)) {
        ++lineNumber;
        const QByteArray line = QByteArray::fromStdString(text).trimmed();
        if (line.isEmpty())
            continue;
        if (closed)
            return setAside(tr("%1 行目が読めません").arg(lineNumber));
        if (line == closing) {
            closed = true;
            continue;
        }
        GameEvent e;
        if (!EventFromJson(line, e)) {
            const QJsonObject o = QJsonDocument::fromJson(line).object();
            if (o.value(QLatin1String("kind")).toString() == QLatin1String("saved"))
                return setAside(tr("別のｹﾞｰﾑの記録です"));
            return setAside(tr("%1 行目が読めません").arg(lineNumber));
        }
        m_log.OnGameEvent(e);
        // The newest are kept: the oldest go as the file fills the log.
        if (m_log.Size() >= m_kept + EventLog::kBlockSize)
            cut += DropOldest();
    }
    if (!closed)
        return setAside(tr("別のｹﾞｰﾑの記録です"));
    cut += DropOldest();
    Poll();
    m_mark = m_announced;
    if (cut > 0)
        emit oldestCut(cut);
    return true;
}
