// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sjis.h"

#include <algorithm>
#include <cstdint>

#include "platform/utf8.h"

namespace platform {

namespace {

#include "platform/cp932_table.inc"

constexpr char32_t kReplacement = 0xFFFD;

int LeadIndex(unsigned char b)
{
    if (b >= 0x81 && b <= 0x9F)
        return b - 0x81;
    if (b >= 0xE0 && b <= 0xFC)
        return b - 0xE0 + (0x9F - 0x81 + 1);
    return -1;
}

// Decodes one UTF-8 sequence at text[i]; advances i. Returns kReplacement for a
// malformed sequence (one byte consumed), so decoding always makes progress.
char32_t NextCodePoint(std::string_view text, std::size_t& i)
{
    char32_t c = 0;
    if (DecodeUtf8(text, i, c))
        return c;
    ++i;
    return kReplacement;
}

} // namespace

std::string SjisToUtf8(std::string_view sjis)
{
    std::string out;
    out.reserve(sjis.size() * 3 / 2);
    for (std::size_t i = 0; i < sjis.size();) {
        unsigned char b = static_cast<unsigned char>(sjis[i]);
        if (b < 0x80) {
            out += static_cast<char>(b);
            ++i;
            continue;
        }
        if (b >= 0xA1 && b <= 0xDF) { // half-width katakana
            AppendUtf8(out, 0xFF61 + (b - 0xA1));
            ++i;
            continue;
        }
        int lead = LeadIndex(b);
        if (lead < 0) {
            // 0x80, 0xA0 and 0xFD..0xFF: single bytes with private mappings on Windows.
            char32_t c = b == 0x80 ? 0x80 : b == 0xA0 ? 0xF8F0 : 0xF8F1 + (b - 0xFD);
            AppendUtf8(out, c);
            ++i;
            continue;
        }
        if (i + 1 < sjis.size()) {
            unsigned char t = static_cast<unsigned char>(sjis[i + 1]);
            if (t >= 0x40 && t <= 0xFC) {
                std::uint16_t c = kDoubleByte[lead][t - 0x40];
                if (c != 0) {
                    AppendUtf8(out, c);
                    i += 2;
                    continue;
                }
            }
        }
        // A lead byte without a valid trail byte: one replacement for the lead byte;
        // the next byte is decoded on its own.
        AppendUtf8(out, kReplacement);
        ++i;
    }
    return out;
}

bool Utf8ToSjis(std::string_view utf8, std::string& sjis)
{
    sjis.clear();
    sjis.reserve(utf8.size());
    bool complete = true;
    for (std::size_t i = 0; i < utf8.size();) {
        // Malformed input decodes to U+FFFD, which the code page lacks: it becomes '?'.
        char32_t c = NextCodePoint(utf8, i);
        if (c < 0x80) {
            sjis += static_cast<char>(c);
            continue;
        }
        auto it = std::lower_bound(std::begin(kEncode), std::end(kEncode), c,
                                   [](const EncodePair& p, char32_t v) { return p.unicode < v; });
        if (c > 0xFFFF || it == std::end(kEncode) || it->unicode != c) {
            sjis += '?';
            complete = false;
            continue;
        }
        if (it->code > 0xFF)
            sjis += static_cast<char>(it->code >> 8);
        sjis += static_cast<char>(it->code & 0xFF);
    }
    return complete;
}

std::string Utf8ToSjis(std::string_view utf8)
{
    std::string sjis;
    Utf8ToSjis(utf8, sjis);
    return sjis;
}

} // namespace platform
