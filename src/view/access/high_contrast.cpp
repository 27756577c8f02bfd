// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/access/high_contrast.h"

#include <QApplication>
#include <QStyle>

#include <cmath>

namespace accessible {

namespace {

double Linear(double channel)
{
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

double Luminance(const QColor& c)
{
    return 0.2126 * Linear(c.redF()) + 0.7152 * Linear(c.greenF()) + 0.0722 * Linear(c.blueF());
}

} // namespace

double ContrastRatio(const QColor& a, const QColor& b)
{
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QPalette HighContrastPalette()
{
    const QColor black(Qt::black);
    const QColor white(Qt::white);
    const QColor blue(0, 0, 160);   // the selection and the links: dark blue
    const QColor grey(88, 88, 88);  // a disabled text, still 7:1 on white
    QPalette p(black, white);
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        const QColor text = group == QPalette::Disabled ? grey : black;
        p.setColor(group, QPalette::Window, white);
        p.setColor(group, QPalette::WindowText, text);
        p.setColor(group, QPalette::Base, white);
        p.setColor(group, QPalette::AlternateBase, QColor(235, 235, 235));
        p.setColor(group, QPalette::Text, text);
        p.setColor(group, QPalette::PlaceholderText, grey);
        p.setColor(group, QPalette::Button, white);
        p.setColor(group, QPalette::ButtonText, text);
        p.setColor(group, QPalette::BrightText, white);
        p.setColor(group, QPalette::Highlight, group == QPalette::Disabled ? grey : blue);
        p.setColor(group, QPalette::HighlightedText, white);
        p.setColor(group, QPalette::ToolTipBase, black);
        p.setColor(group, QPalette::ToolTipText, white);
        p.setColor(group, QPalette::Link, blue);
        p.setColor(group, QPalette::LinkVisited, QColor(96, 0, 128));
        // Edges drawn black: every button and box is outlined.
        p.setColor(group, QPalette::Light, white);
        p.setColor(group, QPalette::Midlight, QColor(200, 200, 200));
        p.setColor(group, QPalette::Mid, black);
        p.setColor(group, QPalette::Dark, black);
        p.setColor(group, QPalette::Shadow, black);
    }
    return p;
}

const std::vector<TextOnGround>& TextsOnGrounds()
{
    static const std::vector<TextOnGround> pairs = [] {
        std::vector<TextOnGround> list;
        for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
            list.push_back({group, QPalette::WindowText, QPalette::Window});
            list.push_back({group, QPalette::Text, QPalette::Base});
            list.push_back({group, QPalette::Text, QPalette::AlternateBase});
            list.push_back({group, QPalette::PlaceholderText, QPalette::Base});
            list.push_back({group, QPalette::ButtonText, QPalette::Button});
            list.push_back({group, QPalette::HighlightedText, QPalette::Highlight});
            list.push_back({group, QPalette::ToolTipText, QPalette::ToolTipBase});
            list.push_back({group, QPalette::Link, QPalette::Base});
            list.push_back({group, QPalette::LinkVisited, QPalette::Base});
            list.push_back({group, QPalette::BrightText, QPalette::Dark});
        }
        return list;
    }();
    return pairs;
}

void UseHighContrast(bool on)
{
    QApplication::setPalette(on ? HighContrastPalette() : QApplication::style()->standardPalette());
}

} // namespace accessible
