// SPDX-License-Identifier: GPL-3.0-or-later
// The high-contrast scheme of the windows (表示 → ﾊｲｺﾝﾄﾗｽﾄ): black text on white and
// white on black, every text at least 4.5:1 against the ground it is drawn on (the
// contrast ratio of WCAG 2). The map and its panel keep the game's own picture.
#pragma once

#include <QColor>
#include <QPalette>

#include <vector>

namespace accessible {

// The palette of the scheme.
QPalette HighContrastPalette();

// The contrast ratio of two colours, 1 (the same) to 21 (black and white).
double ContrastRatio(const QColor& a, const QColor& b);

// A text's colour role and the role of the ground it is drawn on, in a colour group:
// the pairs Qt's widgets draw text with.
struct TextOnGround {
    QPalette::ColorGroup group;
    QPalette::ColorRole text;
    QPalette::ColorRole ground;
};
const std::vector<TextOnGround>& TextsOnGrounds();

// Puts the scheme on every window (off: the style's own palette back).
void UseHighContrast(bool on);

} // namespace accessible
