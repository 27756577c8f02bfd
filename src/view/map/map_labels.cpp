// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/map/map_labels.h"

#include <QCoreApplication>

#include "words/shown_text.h"

#include <QPainter>

#include <algorithm>

#include "view/map/map_picture.h"
#include "platform/fonts.h"
#include "rules/commands.h"
#include "rules/names.h"
#include "rules/turn.h"

namespace {
constexpr int kNamePixels = 12;
constexpr int kNameGap = 4; // kept clear round a name written on the map
} // namespace

namespace {

// A country's number cell with the turn frame around it.
QRect NumberCell(const Country& c) { return QRect(c.GetMapX() - 2, c.GetMapY() - 17, 20, 20); }

} // namespace

QFont CountryNameFont()
{
    QFont font = platform::Font(platform::GameFont::System, 1);
    font.setPixelSize(kNamePixels);
    return font;
}

std::vector<QRect> CountryNamePlaces(const GameState& world)
{
    const QFontMetrics metrics(CountryNameFont());
    std::vector<QRect> names(kCountryCount);
    // The number cells, then each name as it is placed with a few pixels round it, so
    // that two names never read as one.
    std::vector<QRect> taken;
    for (const Country& other : world.countries)
        taken.push_back(NumberCell(other));
    auto covered = [&taken](const QRect& place) {
        qint64 area = 0;
        for (const QRect& r : taken)
            if (const QRect both = place.intersected(r); !both.isEmpty())
                area += qint64(both.width()) * both.height();
        return area;
    };
    for (int i = 0; i < kCountryCount; ++i) {
        const Country& c = world.countries[static_cast<std::size_t>(i)];
        const QString name = shown::CountryName(world, i);
        if (name.isEmpty() || c.GetMapX() > kMapWidth || c.GetMapY() > kMapHeight + 16)
            continue;
        // Right of the number, else left of it, else below or above: the first place
        // (with its white edge) that covers no number, turn frame or name placed before
        // it; where none is clear, the one that covers least.
        const QRect cell = NumberCell(c);
        const int width = metrics.horizontalAdvance(name) + 2;
        const int height = metrics.height() + 2;
        const int middle = cell.center().y() - height / 2;
        const QRect places[] = {
            QRect(cell.right() + 2, middle, width, height),
            QRect(cell.left() - 2 - width, middle, width, height),
            QRect(cell.center().x() - width / 2, cell.bottom() + 1, width, height),
            QRect(cell.center().x() - width / 2, cell.top() - 1 - height, width, height),
        };
        QRect place = places[0];
        qint64 least = -1;
        for (const QRect& candidate : places) {
            const qint64 area = covered(candidate);
            if (least < 0 || area < least) {
                place = candidate;
                least = area;
            }
            if (area == 0)
                break;
        }
        taken.push_back(place.adjusted(-kNameGap, -kNameGap, kNameGap, kNameGap));
        names[static_cast<std::size_t>(i)] = place;
    }
    return names;
}

void DrawCountryNames(QPainter& painter, const GameState& world)
{
    painter.save();
    painter.setFont(CountryNameFont());
    const QFontMetrics metrics = painter.fontMetrics();
    const std::vector<QRect> places = CountryNamePlaces(world);
    for (int i = 0; i < kCountryCount; ++i) {
        const QRect& place = places[static_cast<std::size_t>(i)];
        if (place.isNull())
            continue;
        const QString name = shown::CountryName(world, i);
        const int x = place.left() + 1;
        const int y = place.top() + 1 + metrics.ascent();
        painter.setPen(Qt::white);
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy)
                if (dx != 0 || dy != 0)
                    painter.drawText(x + dx, y + dy, name);
        painter.setPen(Qt::black);
        painter.drawText(x, y, name);
    }
    painter.restore();
}

namespace {

// The names the map's picture writes beyond the frontier and on the sea, where its
// Japanese characters stand (map pixels).
struct PaintedName {
    const char* name;
    QRect at;
    bool sea;
};
constexpr PaintedName kPaintedNames[] = {
    {QT_TRANSLATE_NOOP("MapNames", "大漠"), QRect(82, 41, 30, 17), false},
    {QT_TRANSLATE_NOOP("MapNames", "西羌"), QRect(30, 126, 17, 31), false},
    {QT_TRANSLATE_NOOP("MapNames", "鮮卑"), QRect(314, 16, 31, 17), false},
    {QT_TRANSLATE_NOOP("MapNames", "東海"), QRect(365, 200, 17, 32), true},
    {QT_TRANSLATE_NOOP("MapNames", "南海"), QRect(227, 333, 32, 17), true},
};

// The colour most of the pixels just around r have in picture.
QColor GroundAround(const QImage& picture, const QRect& r)
{
    std::vector<std::pair<QRgb, int>> counts;
    auto count = [&](int x, int y) {
        if (!picture.rect().contains(x, y))
            return;
        const QRgb c = picture.pixel(x, y);
        for (auto& [colour, n] : counts)
            if (colour == c) {
                ++n;
                return;
            }
        counts.push_back({c, 1});
    };
    for (int x = r.left() - 1; x <= r.right() + 1; ++x) {
        count(x, r.top() - 1);
        count(x, r.bottom() + 1);
    }
    for (int y = r.top(); y <= r.bottom(); ++y) {
        count(r.left() - 1, y);
        count(r.right() + 1, y);
    }
    const auto most = std::max_element(counts.begin(), counts.end(),
                                       [](const auto& a, const auto& b) { return a.second < b.second; });
    return most == counts.end() ? QColor(Qt::white) : QColor(most->first);
}

} // namespace

std::vector<QRect> PaintedNamePlaces()
{
    std::vector<QRect> places;
    for (const PaintedName& painted : kPaintedNames)
        places.push_back(painted.at);
    return places;
}

void DrawPaintedNames(QPainter& painter, const QImage& picture)
{
    painter.save();
    QFont font = CountryNameFont();
    font.setBold(true);
    painter.setFont(font);
    for (const PaintedName& painted : kPaintedNames) {
        const QString japanese = QString::fromUtf8(painted.name);
        const QString name = QCoreApplication::translate("MapNames", painted.name);
        if (name == japanese)
            continue; // the picture's own characters
        // The characters covered by the ground around them, the name written over
        // their middle in the picture's colours for the land and the sea; a name the
        // picture writes top to bottom takes a line a word.
        painter.fillRect(painted.at, GroundAround(picture, painted.at));
        const bool vertical = painted.at.height() > painted.at.width();
        const QString text = vertical ? name.split(QLatin1Char(' ')).join(QLatin1Char('\n')) : name;
        const QRect box(painted.at.center().x() - 60, painted.at.center().y() - 30, 121, 61);
        painter.setPen(painted.sea ? QColor(30, 120, 110) : QColor(120, 80, 40));
        painter.drawText(box, Qt::AlignCenter, text);
    }
    painter.restore();
}

QString CountryTipText(const GameState& world, int country)
{
    if (!GameState::IsCountryIndex(country))
        return {};
    const QString name = shown::CountryName(world, country);
    if (name.isEmpty())
        return {};
    const Country& c = world.countries[static_cast<std::size_t>(country)];
    return QCoreApplication::translate("MapTips", "%1 %2\n君主 %3\n人口 %4\n開墾 %5\n商業 %6\n兵糧 %7\n資金 %8\n兵士 %9\n訓練 %10")
        .arg(country)
        .arg(name, shown::RulerName(c.GetRuler()))
        .arg(c.GetPopulation())
        .arg(c.GetCultivation())
        .arg(c.GetCommerce())
        .arg(c.GetProvisions())
        .arg(c.GetFunds())
        .arg(c.GetSoldiers())
        .arg(c.GetTraining());
}

QString SeasonTipText(const GameState& world, int country, bool provisions)
{
    if (!GameState::IsCountryIndex(country) || world.countries[static_cast<std::size_t>(country)].GetRuler() == 0)
        return {};
    if (!provisions) {
        const SeasonalIncome taxes = NextTaxes(world, country);
        return QCoreApplication::translate("MapTips", "次の税収 %1年%2月 (あと %3か月): 資金 およそ +%4",
                                         nullptr, taxes.monthsAway)
            .arg(taxes.year)
            .arg(taxes.month)
            .arg(taxes.monthsAway)
            .arg(taxes.amount);
    }
    const SeasonalIncome harvest = NextHarvest(world, country);
    return QCoreApplication::translate("MapTips", "次の収穫 %1年%2月 (あと %3か月): 兵糧 およそ +%4\n"
                                                   "1月に兵士が兵糧 %5 を食べます (足りなければ兵士は半減)\n"
                                                   "戦争には兵士と同じだけの兵糧が要ります",
                                       nullptr, harvest.monthsAway)
        .arg(harvest.year)
        .arg(harvest.month)
        .arg(harvest.monthsAway)
        .arg(harvest.amount)
        .arg(world.countries[static_cast<std::size_t>(country)].Upkeep());
}
