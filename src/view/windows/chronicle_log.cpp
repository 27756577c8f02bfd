// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/windows/chronicle_log.h"

#include <string>
#include <string_view>

#include "platform/message.h"
#include "platform/path_bytes.h"
#include "platform/text_file.h"
#include "rules/event_json.h"
#include "words/shown_text.h"

namespace {

constexpr int kPollMs = 100;

} // namespace

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
        const std::string_view read(line.constData(), static_cast<std::size_t>(line.size()));
        if (!EventFromJson(read, e)) {
            if (IsSavedWorldJson(read))
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
