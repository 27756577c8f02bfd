// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/path_bytes.h"

#include "platform/utf8.h"

namespace platform {

namespace {

constexpr char16_t kEscapeBase = 0xDC00; // + a byte 0x80..0xFF

} // namespace

QString PathFromBytes(const std::string& bytes)
{
    QString path;
    path.reserve(static_cast<qsizetype>(bytes.size()));
    for (std::size_t i = 0; i < bytes.size();) {
        char32_t code = 0;
        if (!DecodeUtf8(bytes, i, code)) {
            path += QChar(static_cast<char16_t>(kEscapeBase + static_cast<unsigned char>(bytes[i])));
            ++i;
        } else if (code >= 0x10000) {
            const QChar pair[2] = {QChar(QChar::highSurrogate(code)), QChar(QChar::lowSurrogate(code))};
            path.append(pair, 2);
        } else {
            path += QChar(static_cast<char16_t>(code));
        }
    }
    return path;
}

std::string PathToBytes(const QString& path)
{
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(path.size()));
    for (qsizetype i = 0; i < path.size(); ++i) {
        const char16_t unit = path[i].unicode();
        if (QChar::isHighSurrogate(unit) && i + 1 < path.size() && QChar::isLowSurrogate(path[i + 1].unicode())) {
            AppendUtf8(bytes, QChar::surrogateToUcs4(unit, path[i + 1].unicode()));
            ++i;
        } else if (unit >= kEscapeBase + 0x80 && unit <= kEscapeBase + 0xFF) {
            bytes += static_cast<char>(unit - kEscapeBase);
        } else if (QChar::isSurrogate(unit)) {
            AppendUtf8(bytes, 0xFFFD); // a lone surrogate that no byte gave
        } else {
            AppendUtf8(bytes, unit);
        }
    }
    return bytes;
}

} // namespace platform
