// SPDX-License-Identifier: GPL-3.0-or-later
// Notes the message windows a flow shows, with their times, and closes each at once.
#pragma once

#include <QApplication>
#include <QLabel>
#include <QTimer>

#include <string>
#include <vector>

#include "dialogs/message_wnd.h"

// Notes the text and the time of every message window and closes it as soon as it is
// shown, so that tests can keep the windows' real times and still run at once.
class MessageLog : public QObject {
public:
    MessageLog() { qApp->installEventFilter(this); }
    ~MessageLog() override { qApp->removeEventFilter(this); }

    struct Entry {
        QString text;
        int milliseconds;
        bool operator==(const Entry&) const = default;
    };
    std::vector<Entry> entries;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show) {
            if (auto* w = qobject_cast<CMessageWnd*>(watched)) {
                entries.push_back({w->findChild<QLabel*>(QStringLiteral("text"))->text(), w->m_nElapse});
                QTimer::singleShot(0, w, [w] { w->accept(); });
            }
        }
        return false;
    }
};

inline std::string Show(const std::vector<MessageLog::Entry>& entries)
{
    std::string out;
    for (const MessageLog::Entry& e : entries)
        out += e.text.toStdString() + " (" + std::to_string(e.milliseconds) + " ms)\n";
    return out;
}

inline MessageLog::Entry M(const char* text, int milliseconds) { return {QString::fromUtf8(text), milliseconds}; }

