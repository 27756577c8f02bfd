// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/text_fit.h"

#include <QFontMetrics>

namespace platform {

namespace {

int Advance(const QFont& font, const QString& text) { return QFontMetrics(font).horizontalAdvance(text); }

// The pixel size of a font, also when it was given in points.
int PixelSize(const QFont& font)
{
    if (font.pixelSize() > 0)
        return font.pixelSize();
    return QFontMetrics(font).height();
}

} // namespace

FittedText FitText(const QFont& font, const QString& text, int width)
{
    if (Advance(font, text) <= width)
        return {font, text};

    // A narrower face of the same size first: the height, and so the line, stays.
    QFont narrow = font;
    for (int stretch = 100 * width / qMax(1, Advance(font, text)); stretch >= kNarrowestStretch; --stretch) {
        narrow.setStretch(stretch);
        if (Advance(narrow, text) <= width)
            return {narrow, text};
    }
    // Then smaller sizes of the narrowest face.
    narrow.setStretch(kNarrowestStretch);
    for (int size = PixelSize(font) - 1; size >= kSmallestPixelSize; --size) {
        narrow.setPixelSize(size);
        if (Advance(narrow, text) <= width)
            return {narrow, text};
    }
    narrow.setPixelSize(kSmallestPixelSize);
    return {narrow, QFontMetrics(narrow).elidedText(text, Qt::ElideRight, width)};
}

} // namespace platform
