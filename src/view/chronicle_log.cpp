// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/chronicle_log.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <string>

#include "platform/text_file.h"
#include "rules/event_json.h"

namespace {

constexpr int kPollMs = 100;

// The kinds, commands and outcomes by the names the file gives them.
template <class E, class Name>
bool FromName(const QString& text, E last, Name name, E& value)
{
    for (int i = 0; i <= static_cast<int>(last); ++i) {
        if (text == QLatin1String(name(static_cast<E>(i)).data(), static_cast<qsizetype>(name(static_cast<E>(i)).size()))) {
            value = static_cast<E>(i);
            return true;
        }
    }
    return false;
}

std::int8_t Small(const QJsonObject& o, const char* key) { return static_cast<std::int8_t>(o.value(QLatin1String(key)).toInt(-1)); }
std::int32_t Figure(const QJsonObject& o, const char* key) { return o.value(QLatin1String(key)).toInt(); }

} // namespace

bool EventFromJson(const QByteArray& line, GameEvent& e)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(line, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return false;
    const QJsonObject o = doc.object();
    e = GameEvent{};
    if (!FromName(o.value(QLatin1String("kind")).toString(), EventKind::GameOver, EventKindName, e.kind))
        return false;
    e.year = o.value(QLatin1String("year")).toInt();
    e.month = static_cast<std::int8_t>(o.value(QLatin1String("month")).toInt());
    switch (e.kind) {
    case EventKind::Start: {
        e.ruler = Small(o, "player");
        e.byPlayer = o.value(QLatin1String("loaded")).toBool();
        const QJsonArray rulers = o.value(QLatin1String("rulers")).toArray();
        if (rulers.size() != kCountryCount)
            return false;
        for (int i = 0; i < kCountryCount; ++i)
            e.SetStartRuler(i, rulers[i].toInt());
        break;
    }
    case EventKind::Month:
        break;
    case EventKind::Command: {
        DomesticCommand command{};
        if (!FromName(o.value(QLatin1String("command")).toString(), DomesticCommand::Train, CommandName, command))
            return false;
        e.country = Small(o, "country");
        e.ruler = Small(o, "ruler");
        e.byPlayer = o.value(QLatin1String("player")).toBool();
        e.SetCommand(command, Figure(o, "value"));
        break;
    }
    case EventKind::Move:
        e.country = Small(o, "country");
        e.target = Small(o, "destination");
        e.ruler = Small(o, "ruler");
        e.byPlayer = o.value(QLatin1String("player")).toBool();
        e.SetMoved(Figure(o, "soldiers"), Figure(o, "provisions"), Figure(o, "funds"));
        break;
    case EventKind::Battle: {
        BattleOutcome outcome{};
        if (!FromName(o.value(QLatin1String("outcome")).toString(), BattleOutcome::Retreat, BattleOutcomeName, outcome))
            return false;
        e.country = Small(o, "attacker");
        e.target = Small(o, "target");
        e.ruler = Small(o, "attacker_ruler");
        e.otherRuler = Small(o, "target_ruler");
        e.byPlayer = o.value(QLatin1String("player")).toBool();
        e.SetBattle(outcome, Figure(o, "attacker_before"), Figure(o, "attacker_after"), Figure(o, "target_before"),
                    Figure(o, "target_after"));
        break;
    }
    case EventKind::Capture:
        e.country = Small(o, "country");
        e.target = Small(o, "from");
        e.ruler = Small(o, "new_ruler");
        e.otherRuler = Small(o, "old_ruler");
        break;
    case EventKind::Fall:
        e.country = Small(o, "country");
        e.ruler = Small(o, "ruler");
        e.otherRuler = Small(o, "by");
        break;
    case EventKind::Harvest:
        e.ruler = Small(o, "ruler");
        e.SetAmount(static_cast<std::int64_t>(o.value(QLatin1String("provisions")).toDouble()));
        break;
    case EventKind::Taxes:
        e.ruler = Small(o, "ruler");
        e.SetAmount(static_cast<std::int64_t>(o.value(QLatin1String("funds")).toDouble()));
        break;
    case EventKind::Victory:
    case EventKind::GameOver:
        e.ruler = Small(o, "ruler");
        break;
    }
    const auto inRange = [](int v, int max) { return v >= -1 && v < max; };
    return inRange(e.country, kCountryCount) && inRange(e.target, kCountryCount) && inRange(e.ruler, kRulerCount) &&
           inRange(e.otherRuler, kRulerCount);
}

ChronicleLog::ChronicleLog(QObject* parent) : QObject(parent)
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

std::pair<std::size_t, std::size_t> ChronicleLog::TakeSinceMark()
{
    Poll();
    const std::pair<std::size_t, std::size_t> range{m_mark, m_announced};
    m_mark = m_announced;
    return range;
}

QString ChronicleLog::ChroniclePath(const QString& savePath)
{
    const QFileInfo info(savePath);
    const QString base = info.suffix().compare(QLatin1String("txt"), Qt::CaseInsensitive) == 0
                             ? info.completeBaseName()
                             : info.fileName();
    return info.dir().filePath(base + QStringLiteral(".chronicle.jsonl"));
}

bool ChronicleLog::Save(const QString& path, QString* error) const
{
    std::string text;
    for (std::size_t i = 0; i < m_log.Size(); ++i) {
        text += EventJson(m_log[i]);
        text += '\n';
    }
    std::string reason;
    if (platform::WriteTextAtomically(path.toStdString(), text, &reason))
        return true;
    if (error)
        *error = QString::fromStdString(reason);
    return false;
}

bool ChronicleLog::Load(const QString& path, QString* error)
{
    Clear();
    QFile file(path);
    if (!file.exists())
        return false;
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    int lineNumber = 0;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine().trimmed();
        ++lineNumber;
        if (line.isEmpty())
            continue;
        GameEvent e;
        if (!EventFromJson(line, e)) {
            // A chronicle read in part would tell a wrong story: none at all instead.
            Clear();
            if (error)
                *error = QStringLiteral("%1: %2").arg(path).arg(lineNumber);
            return false;
        }
        m_log.OnGameEvent(e);
    }
    Poll();
    m_mark = m_announced;
    return true;
}
