// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/fonts.h"

#include <QFontDatabase>
#include <QStringList>

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cstdio>

#include "platform/window_scale.h"

namespace platform {

namespace {

// Every name fontconfig knows an installed family by: its own and those in other
// languages ("IPAGothic" is also "IPAゴシック"), empty when none is installed.
QStringList NamesOf(const QString& family)
{
    QStringList names;
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.toUtf8().constData()));
    FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, nullptr);
    if (FcFontSet* fonts = FcFontList(nullptr, pattern, objects)) {
        for (int i = 0; i < fonts->nfont; ++i) {
            FcChar8* name = nullptr;
            for (int n = 0; FcPatternGetString(fonts->fonts[i], FC_FAMILY, n, &name) == FcResultMatch; ++n)
                names.append(QString::fromUtf8(reinterpret_cast<const char*>(name)));
        }
        FcFontSetDestroy(fonts);
    }
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    return names;
}

// The first candidate installed, by the name the font database lists it under: Qt
// names a family in the language of the locale when the font has a name in it.
QString FirstInstalled(const QStringList& candidates)
{
    const QStringList families = QFontDatabase::families(QFontDatabase::Japanese);
    for (const QString& candidate : candidates) {
        for (const QString& name : QStringList{candidate} + NamesOf(candidate)) {
            const auto listed = std::find_if(families.begin(), families.end(), [&](const QString& family) {
                return family.compare(name, Qt::CaseInsensitive) == 0;
            });
            if (listed != families.end())
                return *listed;
        }
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

QString InterfaceFamily(const QString& language)
{
    QString family;
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>("sans-serif"));
    FcPatternAddString(pattern, FC_LANG, reinterpret_cast<const FcChar8*>(language.toUtf8().constData()));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    if (FcPattern* match = FcFontMatch(nullptr, pattern, &result)) {
        FcChar8* name = nullptr;
        if (FcPatternGetString(match, FC_FAMILY, 0, &name) == FcResultMatch)
            family = QString::fromUtf8(reinterpret_cast<const char*>(name));
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    if (family.isEmpty())
        return {};
    // By the name Qt lists it under, which may be another of its names.
    const QStringList families = QFontDatabase::families();
    for (const QString& name : QStringList{family} + NamesOf(family))
        if (families.contains(name, Qt::CaseInsensitive))
            return name;
    return family;
}

QString FixedFamily() { return Chosen().fixed; }
QString ProportionalFamily() { return Chosen().proportional; }

QFont Font(GameFont kind) { return Font(kind, WindowScale()); }

QFont Font(GameFont kind, qreal scale)
{
    QFont font;
    // The style hint first: setting it also resets the style strategy.
    font.setStyleHint(QFont::SansSerif);
    switch (kind) {
    case GameFont::System:
        font.setFamily(FixedFamily());
        font.setPixelSize(qRound(16 * scale));
        // Pure black and white, like the bitmap system font the layout was made for.
        font.setStyleStrategy(QFont::NoAntialias);
        break;
    case GameFont::Dialog:
        font.setFamily(ProportionalFamily());
        font.setPixelSize(qRound(12 * scale)); // 9 points on a 96-dpi screen
        break;
    case GameFont::DialogLarge:
        font.setFamily(ProportionalFamily());
        font.setPixelSize(qRound(16 * scale)); // 12 points
        break;
    case GameFont::BattleCounts:
        font.setFamily(FixedFamily());
        font.setPixelSize(qRound(20 * scale));
        break;
    }
    return font;
}

} // namespace platform
