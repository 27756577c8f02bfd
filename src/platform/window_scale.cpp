// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/window_scale.h"

#include <QApplication>
#include <QToolTip>

#include <atomic>
#include <cmath>

namespace platform {

namespace {
// Read by windows the turn worker has opened through the interface thread; relaxed is
// enough, it only ever changes between windows.
std::atomic<qreal> g_scale{1.0};
QString g_family; // of the application's font; empty: the platform's

// The platform's fonts, as first met, in the family asked for.
QFont Base(const QFont& platformFont)
{
    QFont font = platformFont;
    if (!g_family.isEmpty())
        font.setFamilies({g_family});
    return font;
}

void ApplyFonts(qreal scale)
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return;
    // Every window without a font of its own (the menus, the chronicle, the turn report,
    // Qt's file dialog and message boxes) takes the application's.
    static const QFont tooltipFont = QToolTip::font();
    static const QFont applicationFont = QApplication::font();
    QToolTip::setFont(ScaledFont(Base(tooltipFont), scale));
    const QFont wanted = ScaledFont(Base(applicationFont), scale);
    if (QApplication::font() != wanted) {
        QApplication::setFont(wanted);
        // Qt tells the windows later; they are told now, so that the main window
        // takes its new size (a larger menu bar) with the zoom's.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::ApplicationFontChange);
    }
}
} // namespace

qreal NearestWindowScale(qreal scale)
{
    qreal nearest = kWindowScales.front();
    for (qreal step : kWindowScales)
        if (std::abs(step - scale) < std::abs(nearest - scale))
            nearest = step;
    return nearest;
}

qreal SmallerWindowScale(qreal scale)
{
    qreal smaller = kWindowScales.front();
    for (qreal step : kWindowScales)
        if (step < scale)
            smaller = step;
    return smaller;
}

qreal LargerWindowScale(qreal scale)
{
    for (qreal step : kWindowScales)
        if (step > scale)
            return step;
    return kWindowScales.back();
}

bool WholeScale(qreal scale) { return scale == std::floor(scale); }

qreal WindowScale() { return g_scale.load(std::memory_order_relaxed); }

void SetWindowScale(qreal scale)
{
    const qreal step = NearestWindowScale(scale);
    g_scale.store(step, std::memory_order_relaxed);
    ApplyFonts(step);
}

void SetApplicationFamily(const QString& family)
{
    g_family = family;
    ApplyFonts(WindowScale());
}

QFont ScaledFont(const QFont& font, qreal scale)
{
    QFont scaled = font;
    if (font.pixelSize() > 0)
        scaled.setPixelSize(qMax(1, qRound(font.pixelSize() * scale)));
    else
        scaled.setPointSizeF(font.pointSizeF() * scale);
    return scaled;
}

QFont RescaledFont(const QFont& font, qreal from, qreal to)
{
    QFont scaled = font;
    if (font.pixelSize() > 0)
        scaled.setPixelSize(qMax(1, static_cast<int>(std::floor(font.pixelSize() * to / from + 1e-9))));
    else
        scaled.setPointSizeF(font.pointSizeF() * to / from);
    return scaled;
}

} // namespace platform
