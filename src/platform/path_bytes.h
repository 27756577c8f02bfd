// SPDX-License-Identifier: GPL-3.0-or-later
// File names as the system has them: bytes, which need not be UTF-8 (a name written
// under a Shift-JIS locale, or copied from an old disk). A QString made from such a
// name by Qt loses the bytes that are not UTF-8; these two carry every byte through a
// QString and back. A byte that is not part of UTF-8 becomes a lone surrogate
// U+DC80..U+DCFF, which no text decoded by Qt contains; valid UTF-8 converts as Qt
// converts it.
#pragma once

#include <QString>

#include <string>

namespace platform {

QString PathFromBytes(const std::string& bytes);
std::string PathToBytes(const QString& path);

} // namespace platform
