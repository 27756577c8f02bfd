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
        static const QFont tooltipFont = QToolTip::font(); // the platform's, as first met
        QToolTip::setFont(ScaledFont(tooltipFont, clamped));
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

} // namespace platform
