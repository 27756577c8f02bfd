// SPDX-License-Identifier: GPL-3.0-or-later
// Fitting one line of text into a given width without cutting it: the same font in a
// narrower face, then in smaller sizes, so that every character stays readable.
#pragma once

#include <QFont>
#include <QString>

namespace platform {

struct FittedText {
    QFont font;   // the font to draw with: the given one when the text fits as it is
    QString text; // the text itself; shortened with "…" only when even the smallest
                  // face cannot hold it (a name far longer than any the game uses)
};

// The narrowest face tried, in percent of the normal width, and the smallest size in
// pixels; below them text would no longer be readable.
inline constexpr int kNarrowestStretch = 75;
inline constexpr int kSmallestPixelSize = 9;

FittedText FitText(const QFont& font, const QString& text, int width);

} // namespace platform
