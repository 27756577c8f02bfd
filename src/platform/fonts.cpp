// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/fonts.h"

#include <QFontDatabase>
#include <QStringList>

#include <cstdio>

#include "platform/window_scale.h"

namespace platform {

namespace {

QString FirstInstalled(const QStringList& candidates)
{
    const QStringList families = QFontDatabase::families();
    for (const QString& name : candidates) {
        if (families.contains(name, Qt::CaseInsensitive))
            return name;
    }
    return {};
}

struct Families {
    QString fixed;
    QString proportional;
};

const Families& Chosen()
{
    static const Families families = [] {
        Families f;
        f.fixed = FirstInstalled({"IPAGothic", "IPAexGothic", "Noto Sans Mono CJK JP", "Noto Sans CJK JP",
                                  "VL Gothic", "TakaoGothic"});
        f.proportional = FirstInstalled({"IPAPGothic", "IPAexGothic", "Noto Sans CJK JP", "VL PGothic",
                                         "TakaoPGothic"});
        if (f.fixed.isEmpty() && f.proportional.isEmpty())
            std::fprintf(stderr, "velcor: no Japanese gothic font is installed (install fonts-ipafont-gothic); "
                                 "Japanese text may not show\n");
        if (f.fixed.isEmpty())
            f.fixed = f.proportional;
        if (f.proportional.isEmpty())
            f.proportional = f.fixed;
        return f;
    }();
    return families;
}

} // namespace

QString FixedFamily() { return Chosen().fixed; }
QString ProportionalFamily() { return Chosen().proportional; }

QFont Font(GameFont kind) { return Font(kind, WindowScale()); }

QFont Font(GameFont kind, int scale)
{
    QFont font;
    // The style hint first: setting it also resets the style strategy.
    font.setStyleHint(QFont::SansSerif);
    switch (kind) {
    case GameFont::System:
        font.setFamily(FixedFamily());
        font.setPixelSize(16 * scale);
        // Pure black and white, like the bitmap system font the layout was made for.
        font.setStyleStrategy(QFont::NoAntialias);
        break;
    case GameFont::Dialog:
        font.setFamily(ProportionalFamily());
        font.setPixelSize(12 * scale); // 9 points on a 96-dpi screen
        break;
    case GameFont::DialogLarge:
        font.setFamily(ProportionalFamily());
        font.setPixelSize(16 * scale); // 12 points
        break;
    case GameFont::BattleCounts:
        font.setFamily(FixedFamily());
        font.setPixelSize(20 * scale);
        break;
    }
    return font;
}

} // namespace platform
