// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/table_text.h"

#include <algorithm>

std::string Tenths(std::int64_t value) { return std::to_string(value / 10) + "." + std::to_string(value % 10); }

std::string Hundredths(std::int64_t value)
{
    const std::int64_t cents = value % 100;
    return std::to_string(value / 100) + (cents < 10 ? ".0" : ".") + std::to_string(cents);
}

// Columns on a terminal: the CJK characters of the names take two.
int DisplayWidth(std::string_view utf8)
{
    int width = 0;
    for (std::size_t i = 0; i < utf8.size();) {
        const unsigned char lead = static_cast<unsigned char>(utf8[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        std::uint32_t cp = length == 1 ? lead : lead & (0x3F >> (length - 1));
        for (std::size_t k = 1; k < length && i + k < utf8.size(); ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        const bool halfWidthKana = cp >= 0xFF61 && cp <= 0xFF9F;
        width += cp >= 0x1100 && !halfWidthKana ? 2 : 1;
        i += length;
    }
    return width;
}

std::string PadRight(const std::string& text, int width)
{
    return text + std::string(static_cast<std::size_t>(std::max(0, width - DisplayWidth(text))), ' ');
}

std::string PadLeft(const std::string& text, int width)
{
    return std::string(static_cast<std::size_t>(std::max(0, width - DisplayWidth(text))), ' ') + text;
}

std::string RulerLabel(RulerId ruler)
{
    return PadLeft(std::to_string(ruler), 2) + " " + std::string(kRulerNames[static_cast<std::size_t>(ruler)]);
}
