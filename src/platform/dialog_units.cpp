// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/dialog_units.h"

#include <QFontMetrics>

namespace platform {

DialogUnits::DialogUnits(const QFont& font)
{
    QFontMetrics metrics(font);
    // The average width of the 52 Latin letters, rounded, as the platform measures it.
    const int letters = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    m_baseX = qMax(1, (letters / 26 + 1) / 2);
    m_baseY = qMax(1, metrics.height());
}

} // namespace platform
