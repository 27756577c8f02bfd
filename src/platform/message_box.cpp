// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/message_box.h"

#include <QMessageBox>


namespace platform {

namespace {
std::function<void(const QString&)>& Sink()
{
    static std::function<void(const QString&)> sink;
    return sink;
}
} // namespace

void SetMessageBoxSink(std::function<void(const QString&)> sink) { Sink() = std::move(sink); }

void ShowMessageBox(QWidget* parent, const QString& text)
{
    if (Sink()) {
        Sink()(text);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Velcor"), text, QMessageBox::Ok, parent);
    box.exec();
}

} // namespace platform
