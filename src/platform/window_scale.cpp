// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/window_scale.h"

#include <QApplication>
#include <QToolTip>

#include <algorithm>
#include <atomic>

namespace platform {

namespace {
// Read by windows the turn worker has opened through the interface thread; relaxed is
// enough, it only ever changes between windows.
std::atomic<int> g_scale{1};
} // namespace

int WindowScale() { return g_scale.load(std::memory_order_relaxed); }

void SetWindowScale(int scale)
{
    const int clamped = std::clamp(scale, 1, kMaxWindowScale);
    g_scale.store(clamped, std::memory_order_relaxed);
    if (qobject_cast<QApplication*>(QCoreApplication::instance())) {
        // The platform's fonts, as first met. Every window without a font of its own
        // (the menus, the chronicle, the turn report, Qt's file dialog and message
        // boxes) takes the application's.
        static const QFont tooltipFont = QToolTip::font();
        static const QFont applicationFont = QApplication::font();
        QToolTip::setFont(ScaledFont(tooltipFont, clamped));
        if (QApplication::font() != ScaledFont(applicationFont, clamped)) {
            QApplication::setFont(ScaledFont(applicationFont, clamped));
            // Qt tells the windows later; they are told now, so that the main window
            // takes its new size (a larger menu bar) with the zoom's.
            QCoreApplication::sendPostedEvents(nullptr, QEvent::ApplicationFontChange);
        }
    }
}

QFont ScaledFont(const QFont& font, int scale)
{
    QFont scaled = font;
    if (font.pixelSize() > 0)
        scaled.setPixelSize(font.pixelSize() * scale);
    else
        scaled.setPointSizeF(font.pointSizeF() * scale);
    return scaled;
}

QFont RescaledFont(const QFont& font, int from, int to)
{
    QFont scaled = font;
    if (font.pixelSize() > 0)
        scaled.setPixelSize(qMax(1, font.pixelSize() * to / from));
    else
        scaled.setPointSizeF(font.pointSizeF() * to / from);
    return scaled;
}

} // namespace platform
