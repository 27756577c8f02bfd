// SPDX-License-Identifier: GPL-3.0-or-later
#include "assets/map_painter.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <limits>
#include <stdexcept>
#include <vector>

#include <QFont>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "assets/geography.h"
#include "assets/noise.h"
#include "mapkit/map_image_qt.h"

namespace assets {

namespace {

using mapkit::MapImage;
constexpr int W = mapkit::kMapWidth;
constexpr int H = mapkit::kMapHeight;

// What lies at a pixel: a country index 0..13, or one of these.
constexpr int kSea = -1;
constexpr int kForeignLand = -2;
constexpr int kUnassigned = -100;

// What is painted at a pixel, beyond the key colours 0..13 and the two above.
constexpr int kOutline = -3;
constexpr int kRiver = -4;
constexpr int kForeignCoast = -5;

// Decoration stays left of the status panel and clear of the realm's outline.
constexpr int kDecorationRight = 387;

// A piece of a country this small, cut off by a river, is taken into the river.
constexpr std::size_t kSliverPixels = 24;

constexpr Colour kRiverColour = MakeColour(52, 104, 196);
constexpr Colour kForeignCoastColour = MakeColour(46, 110, 52);

int Index(int x, int y) { return y * W + x; }

struct Offset {
    double dx;
    double dy;
};

// Broad wobble shared by borders and coast, so that both stay hand-drawn but meet.
Offset CoarseWarp(double x, double y)
{
    constexpr double kScale = 1.0 / 17.0;
    constexpr double kAmplitude = 2.8;
    return {kAmplitude * FractalNoise(x * kScale, y * kScale, 11, 3),
            kAmplitude * FractalNoise(x * kScale, y * kScale, 23, 3)};
}

// Fine ragging of the coastline only.
Offset FineWarp(double x, double y)
{
    constexpr double kScale = 1.0 / 4.0;
    constexpr double kAmplitude = 1.2;
    return {kAmplitude * FractalNoise(x * kScale, y * kScale, 37, 2),
            kAmplitude * FractalNoise(x * kScale, y * kScale, 41, 2)};
}

// Where a geographic point appears once the coarse wobble is applied.
PixelPoint Place(GeoPoint g)
{
    const PixelPoint p = Project(g);
    const Offset o = CoarseWarp(p.x, p.y);
    return {p.x - o.dx, p.y - o.dy};
}

struct Polygon {
    std::vector<PixelPoint> points;
    double minX, minY, maxX, maxY;

    explicit Polygon(const std::vector<GeoPoint>& geo)
    {
        minX = minY = std::numeric_limits<double>::max();
        maxX = maxY = std::numeric_limits<double>::lowest();
        for (const GeoPoint& g : geo) {
            const PixelPoint p = Project(g);
            points.push_back(p);
            minX = std::min(minX, p.x);
            minY = std::min(minY, p.y);
            maxX = std::max(maxX, p.x);
            maxY = std::max(maxY, p.y);
        }
    }

    bool Contains(double x, double y) const
    {
        if (x < minX || x > maxX || y < minY || y > maxY)
            return false;
        bool inside = false;
        for (std::size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
            const PixelPoint& a = points[i];
            const PixelPoint& b = points[j];
            if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x)
                inside = !inside;
        }
        return inside;
    }
};

// The pixels of a line from a to b, each a 4-neighbour of the one before.
void AppendLine4(std::vector<mapkit::Point>& path, int x0, int y0, int x1, int y1)
{
    int x = x0;
    int y = y0;
    const int dx = std::abs(x1 - x0);
    const int dy = std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1;
    const int sy = y0 < y1 ? 1 : -1;
    int err = dx - dy;
    path.push_back({x, y});
    while (x != x1 || y != y1) {
        if (2 * err > -dy && (x != x1)) {
            err -= dy;
            x += sx;
        } else {
            err += dx;
            y += sy;
        }
        path.push_back({x, y});
    }
}

// The same for an 8-connected line (a river may step diagonally).
void AppendLine8(std::vector<mapkit::Point>& path, int x0, int y0, int x1, int y1)
{
    const int steps = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
    for (int i = 0; i <= steps; ++i) {
        const double t = steps == 0 ? 0.0 : static_cast<double>(i) / steps;
        const int x = static_cast<int>(std::lround(x0 + (x1 - x0) * t));
        const int y = static_cast<int>(std::lround(y0 + (y1 - y0) * t));
        if (path.empty() || path.back().x != x || path.back().y != y)
            path.push_back({x, y});
    }
}

// A river's course as pixels, meandering a little about its surveyed line.
std::vector<mapkit::Point> RiverPath(const River& river, int seed)
{
    std::vector<PixelPoint> fine;
    for (std::size_t i = 0; i + 1 < river.course.size(); ++i) {
        const PixelPoint a = Place(river.course[i]);
        const PixelPoint b = Place(river.course[i + 1]);
        const double length = std::hypot(b.x - a.x, b.y - a.y);
        const int pieces = std::max(1, static_cast<int>(length / 3.0));
        for (int k = 0; k < pieces; ++k) {
            const double t = static_cast<double>(k) / pieces;
            double x = a.x + (b.x - a.x) * t;
            double y = a.y + (b.y - a.y) * t;
            // Sideways meander, none at the surveyed points so that mouths and
            // confluences stay where they are.
            const double fade = seed == 0 ? 0.0 : std::sin(t * 3.14159265);
            const double m = 1.3 * fade * FractalNoise(x / 6.0, y / 6.0, seed, 2);
            x += -(b.y - a.y) / length * m;
            y += (b.x - a.x) / length * m;
            fine.push_back({x, y});
        }
    }
    fine.push_back(Place(river.course.back()));
    std::vector<mapkit::Point> path;
    for (std::size_t i = 0; i + 1 < fine.size(); ++i)
        AppendLine8(path, static_cast<int>(std::floor(fine[i].x)), static_cast<int>(std::floor(fine[i].y)),
                    static_cast<int>(std::floor(fine[i + 1].x)), static_cast<int>(std::floor(fine[i + 1].y)));
    return path;
}

bool InMap(int x, int y) { return x >= 0 && y >= 0 && x < W && y < H; }

// Gives every pixel marked kUnassigned the label of its nearest labelled neighbour
// (breadth first, 4-connected).
void FillFromNeighbours(std::vector<int>& label)
{
    std::deque<int> queue;
    for (int p = 0; p < W * H; ++p) {
        if (label[p] < 0)
            continue;
        bool border = false;
        mapkit::ForEachNeighbour(p, W, H, [&](int q) { border = border || label[q] == kUnassigned; });
        if (border)
            queue.push_back(p);
    }
    while (!queue.empty()) {
        const int p = queue.front();
        queue.pop_front();
        mapkit::ForEachNeighbour(p, W, H, [&](int q) {
            if (label[q] == kUnassigned) {
                label[q] = label[p];
                queue.push_back(q);
            }
        });
    }
}

// 4-connected areas of the pixels for which pick() holds, largest first.
template <typename Pick>
std::vector<std::vector<int>> Components(Pick pick)
{
    return mapkit::ConnectedAreas(W, H, pick);
}

// Distance in 4-steps from the pixels for which source() holds.
template <typename Source>
std::vector<int> DistanceFrom(Source source)
{
    std::vector<int> dist(W * H, std::numeric_limits<int>::max());
    std::deque<int> queue;
    for (int p = 0; p < W * H; ++p) {
        if (source(p)) {
            dist[p] = 0;
            queue.push_back(p);
        }
    }
    while (!queue.empty()) {
        const int p = queue.front();
        queue.pop_front();
        mapkit::ForEachNeighbour(p, W, H, [&](int q) {
            if (dist[q] > dist[p] + 1) {
                dist[q] = dist[p] + 1;
                queue.push_back(q);
            }
        });
    }
    return dist;
}

class MapBuilder {
public:
    PaintedMap Build()
    {
        LayOutLand();
        FindTheSea();
        TidyCountries();
        MarkOutlines();
        DrawRivers();
        DrawLakes();
        CheckCountriesWhole("after the rivers");
        PlaceMarkers();
        PaintColours();
        Decorate();
        Verify();
        return m_result;
    }

private:
    std::vector<int> m_land = std::vector<int>(W * H, kSea);  // country or sea or foreign land
    std::vector<int> m_paint = std::vector<int>(W * H, kSea); // what is drawn
    PaintedMap m_result;

    bool IsRealm(int p) const { return m_land[p] >= 0; }

    void LayOutLand()
    {
        const Polygon realm(RealmOutline());
        std::vector<Polygon> countries;
        for (const CountryShape& c : Countries())
            countries.emplace_back(c.outline);
        std::vector<Polygon> islands;
        for (const auto& island : Islands())
            islands.emplace_back(island);

        for (int y = 0; y < H; ++y) {
            for (int x = 0; x < W; ++x) {
                const double px = x + 0.5;
                const double py = y + 0.5;
                const Offset c = CoarseWarp(px, py);
                const Offset f = FineWarp(px, py);
                const double cx = px + c.dx + f.dx;
                const double cy = py + c.dy + f.dy;
                int& here = m_land[Index(x, y)];
                if (realm.Contains(cx, cy)) {
                    here = kUnassigned;
                    for (int i = 0; i < kCountryCount; ++i) {
                        if (countries[i].Contains(px + c.dx, py + c.dy)) {
                            here = i;
                            break;
                        }
                    }
                } else {
                    for (const Polygon& island : islands) {
                        if (island.Contains(cx, cy))
                            here = kForeignLand;
                    }
                }
            }
        }
        FillFromNeighbours(m_land);

        // One realm: stray specks of coast become sea, small holes inside become land.
        auto realmParts = Components([&](int p) { return IsRealm(p); });
        for (std::size_t k = 1; k < realmParts.size(); ++k) {
            for (int p : realmParts[k])
                m_land[p] = kSea;
        }
        auto holes = Components([&](int p) { return !IsRealm(p); });
        for (const auto& hole : holes) {
            if (hole.size() >= 40)
                continue;
            bool touchesEdge = false;
            for (int p : hole) {
                const int x = p % W;
                const int y = p / W;
                touchesEdge = touchesEdge || x == 0 || y == 0 || x == W - 1 || y == H - 1;
            }
            if (!touchesEdge) {
                for (int p : hole)
                    m_land[p] = kUnassigned;
            }
        }
        FillFromNeighbours(m_land);
    }

    void FindTheSea()
    {
        // The foreign shores close the sea off from the land beyond the frontier.
        for (const auto& coast : ForeignCoasts()) {
            std::vector<mapkit::Point> path;
            for (std::size_t i = 0; i + 1 < coast.size(); ++i) {
                const PixelPoint a = Place(coast[i]);
                const PixelPoint b = Place(coast[i + 1]);
                AppendLine4(path, static_cast<int>(a.x), static_cast<int>(a.y), static_cast<int>(b.x),
                            static_cast<int>(b.y));
            }
            for (const auto& pt : path) {
                if (InMap(pt.x, pt.y) && !IsRealm(Index(pt.x, pt.y)))
                    m_land[Index(pt.x, pt.y)] = kForeignLand;
            }
        }
        const PixelPoint seed = Place(SeaSeed());
        const int start = Index(static_cast<int>(seed.x), static_cast<int>(seed.y));
        if (m_land[start] != kSea)
            throw std::runtime_error("the sea seed lies on land");
        std::vector<char> sea(W * H, 0);
        for (const auto& area : Components([&](int p) { return m_land[p] == kSea; })) {
            if (std::find(area.begin(), area.end(), start) == area.end())
                continue;
            for (int p : area)
                sea[p] = 1;
        }
        for (int p = 0; p < W * H; ++p) {
            if (m_land[p] == kSea && !sea[p])
                m_land[p] = kForeignLand;
        }
    }

    // Each country keeps only its largest piece; the others go to their neighbours.
    void TidyCountries()
    {
        for (int round = 0; round < 8; ++round) {
            bool changed = false;
            for (int i = 0; i < kCountryCount; ++i) {
                auto parts = Components([&](int p) { return m_land[p] == i; });
                if (parts.empty())
                    throw std::runtime_error("country " + std::to_string(i) + " has no land");
                for (std::size_t k = 1; k < parts.size(); ++k) {
                    for (int p : parts[k])
                        m_land[p] = kUnassigned;
                    changed = true;
                }
            }
            if (!changed)
                return;
            // A piece cut off from its country joins the country around it; one
            // with only sea around it goes under.
            FillFromNeighbours(m_land);
            for (int& here : m_land) {
                if (here == kUnassigned)
                    here = kSea;
            }
        }
    }

    // Borders and coast: a realm pixel is outline when it touches the sea or the land
    // beyond the frontier, or when the pixel right of it or below it is another
    // country's, so that every border is one pixel wide.
    void MarkOutlines()
    {
        for (int round = 0; round < 8; ++round) {
            for (int y = 0; y < H; ++y) {
                for (int x = 0; x < W; ++x) {
                    const int p = Index(x, y);
                    const int here = m_land[p];
                    if (here < 0) {
                        m_paint[p] = here;
                        continue;
                    }
                    bool outline = x == 0 || y == 0 || x == W - 1 || y == H - 1;
                    mapkit::ForEachNeighbour(p, W, H, [&](int q) { outline = outline || m_land[q] < 0; });
                    if ((x + 1 < W && m_land[Index(x + 1, y)] != here) ||
                        (y + 1 < H && m_land[Index(x, y + 1)] != here))
                        outline = true;
                    m_paint[p] = outline ? kOutline : here;
                }
            }
            // A sliver that the outline cut off its country is given to a neighbour.
            bool changed = false;
            for (int i = 0; i < kCountryCount; ++i) {
                auto parts = Components([&](int p) { return m_paint[p] == i; });
                for (std::size_t k = 1; k < parts.size(); ++k) {
                    for (int p : parts[k]) {
                        mapkit::ForEachNeighbour(p, W, H, [&](int q) {
                            if (m_land[p] == i && m_land[q] >= 0 && m_land[q] != i) {
                                m_land[p] = m_land[q];
                                changed = true;
                            }
                        });
                    }
                }
            }
            if (!changed)
                return;
        }
    }

    bool ClearOfBoundary(int country, int x, int y, int size) const
    {
        for (int yy = y - 1; yy <= y + size; ++yy) {
            for (int xx = x - 1; xx <= x + size; ++xx) {
                if (!InMap(xx, yy) || m_paint[Index(xx, yy)] != country)
                    return false;
            }
        }
        return true;
    }

    // A river may cross a border, but within a country it touches the country's edge
    // at one end at most, so that it never cuts the country in two: where it enters a
    // country it starts again only once it is clear of the border. A river that is a
    // border itself runs on the border line and touches both countries all along.
    void DrawRivers()
    {
        int seed = 300;
        for (const River& river : Rivers()) {
            const auto path = RiverPath(river, river.alongBorder ? 0 : seed++);
            const int size = river.width;
            if (river.alongBorder) {
                for (const auto& pt : path) {
                    if (InMap(pt.x, pt.y) && m_land[Index(pt.x, pt.y)] >= 0)
                        PaintRiver(pt.x, pt.y, size, [&](int p) { return m_land[p] >= 0; });
                }
                continue;
            }
            int current = kUnassigned;
            bool pending = true;
            bool started = false;
            for (const auto& pt : path) {
                if (!InMap(pt.x, pt.y))
                    continue;
                const int host = m_land[Index(pt.x, pt.y)];
                if (host == kSea) {
                    if (started)
                        break;
                    continue;
                }
                started = true;
                if (host == kForeignLand) {
                    current = kForeignLand;
                    pending = true;
                    PaintRiver(pt.x, pt.y, size, [&](int p) { return m_land[p] == kForeignLand; });
                    continue;
                }
                if (host != current) {
                    current = host;
                    pending = true;
                }
                if (pending) {
                    if (!ClearOfBoundary(host, pt.x, pt.y, size))
                        continue;
                    pending = false;
                }
                PaintRiver(pt.x, pt.y, size, [&](int p) { return m_land[p] >= 0; });
            }
        }
        // Slivers of a country that a river running near a border has cut off become
        // part of the river.
        for (int i = 0; i < kCountryCount; ++i) {
            auto parts = Components([&](int p) { return m_paint[p] == i; });
            for (std::size_t k = 1; k < parts.size(); ++k) {
                if (parts[k].size() > kSliverPixels)
                    continue;
                for (int p : parts[k])
                    m_paint[p] = kRiver;
            }
        }
    }

    template <typename Allowed>
    void PaintRiver(int x, int y, int size, Allowed allowed)
    {
        for (int dy = 0; dy < size; ++dy) {
            for (int dx = 0; dx < size; ++dx) {
                if (InMap(x + dx, y + dy) && allowed(Index(x + dx, y + dy)))
                    m_paint[Index(x + dx, y + dy)] = kRiver;
            }
        }
    }

    void DrawLakes()
    {
        for (const Lake& lake : Lakes()) {
            const PixelPoint c = Place(lake.centre);
            const PixelPoint edge = Project({lake.centre.lon + lake.lonRadius, lake.centre.lat + lake.latRadius});
            const PixelPoint middle = Project(lake.centre);
            const double rx = std::abs(edge.x - middle.x);
            const double ry = std::abs(edge.y - middle.y);
            const int host = m_land[Index(static_cast<int>(c.x), static_cast<int>(c.y))];
            for (int y = static_cast<int>(c.y - ry - 1); y <= static_cast<int>(c.y + ry + 1); ++y) {
                for (int x = static_cast<int>(c.x - rx - 1); x <= static_cast<int>(c.x + rx + 1); ++x) {
                    const double u = (x + 0.5 - c.x) / rx;
                    const double v = (y + 0.5 - c.y) / ry;
                    const double wobble = 0.18 * FractalNoise(x / 3.0, y / 3.0, 77, 2);
                    if (u * u + v * v > 1.0 + wobble || !InMap(x, y))
                        continue;
                    // A lake stays clear of the country's edge.
                    bool clear = true;
                    for (int yy = y - 1; yy <= y + 1; ++yy) {
                        for (int xx = x - 1; xx <= x + 1; ++xx) {
                            const int paint = m_paint[Index(xx, yy)];
                            if (paint != host && paint != kRiver)
                                clear = false;
                        }
                    }
                    if (clear && m_paint[Index(x, y)] == host)
                        m_paint[Index(x, y)] = kRiver;
                }
            }
        }
    }

    void CheckCountriesWhole(const char* when) const
    {
        for (int i = 0; i < kCountryCount; ++i) {
            auto parts = Components([&](int p) { return m_paint[p] == i; });
            if (parts.size() != 1) {
                const int p = parts.size() > 1 ? parts[1][0] : 0;
                throw std::runtime_error("country " + std::to_string(i) + " is in " + std::to_string(parts.size()) +
                                         " pieces " + when + " (a piece at " + std::to_string(p % W) + "," +
                                         std::to_string(p / W) + ")");
            }
        }
    }

    // The number cell (16 x 16) with a margin of 2 for the turn frame lies wholly in
    // the country, as near its seat of government as room allows.
    void PlaceMarkers()
    {
        constexpr int kBox = mapkit::kMarkerCellSize + 4;
        for (int i = 0; i < kCountryCount; ++i) {
            // Summed area of the country's key pixels.
            std::vector<int> sum((W + 1) * (H + 1), 0);
            for (int y = 0; y < H; ++y) {
                for (int x = 0; x < W; ++x) {
                    sum[(y + 1) * (W + 1) + x + 1] = (m_paint[Index(x, y)] == i ? 1 : 0) + sum[y * (W + 1) + x + 1] +
                                                     sum[(y + 1) * (W + 1) + x] - sum[y * (W + 1) + x];
                }
            }
            const PixelPoint seat = Place(Countries()[i].seat);
            double best = std::numeric_limits<double>::max();
            mapkit::Point chosen{-1, -1};
            for (int y = 0; y + kBox <= H; ++y) {
                for (int x = 0; x + kBox <= W; ++x) {
                    const int inside = sum[(y + kBox) * (W + 1) + x + kBox] - sum[y * (W + 1) + x + kBox] -
                                       sum[(y + kBox) * (W + 1) + x] + sum[y * (W + 1) + x];
                    if (inside != kBox * kBox)
                        continue;
                    const mapkit::Rect cell{x + 2, y + 2, x + 18, y + 18};
                    if (cell.Intersects(mapkit::kPanelRect) || cell.Intersects(mapkit::kButtonRowRect))
                        continue;
                    const double d = std::hypot(x + kBox / 2.0 - seat.x, y + kBox / 2.0 - seat.y);
                    if (d < best) {
                        best = d;
                        chosen = {x + 2, y + 2};
                    }
                }
            }
            if (chosen.x < 0)
                throw std::runtime_error("country " + std::to_string(i) + " has no room for its number");
            m_result.markers[i] = {chosen.x, chosen.y + mapkit::kMarkerCellSize};
        }
    }

    void PaintColours()
    {
        m_result.image = MapImage(W, H, mapkit::kBackgroundColour);
        for (int y = 0; y < H; ++y) {
            for (int x = 0; x < W; ++x) {
                const int p = Index(x, y);
                const int paint = m_paint[p];
                if (paint >= 0)
                    m_result.image.Set(x, y, kRegionKeyColours[paint]);
                else if (paint == kOutline)
                    m_result.image.Set(x, y, mapkit::kOutlineColour);
                else if (paint == kRiver)
                    m_result.image.Set(x, y, kRiverColour);
            }
        }
        // Foreign shores, drawn softer than the realm's own coast.
        for (int y = 1; y < H - 1; ++y) {
            for (int x = 1; x < kDecorationRight; ++x) {
                const int p = Index(x, y);
                if (m_land[p] != kForeignLand || m_paint[p] != kForeignLand)
                    continue;
                const int around[4] = {Index(x - 1, y), Index(x + 1, y), Index(x, y - 1), Index(x, y + 1)};
                for (int q : around) {
                    if (m_land[q] == kSea) {
                        m_paint[p] = kForeignCoast;
                        m_result.image.Set(x, y, kForeignCoastColour);
                        break;
                    }
                }
            }
        }
    }

    void Decorate();
    void Verify() const;
};

// ----- Decoration: everything outside the realm that makes the map a picture -----

QColor Rgb(int r, int g, int b, int a = 255) { return QColor(r, g, b, a); }

void DrawMountain(QPainter& p, double x, double y, double size, bool snow)
{
    const double h = size * 0.8;
    QPainterPath body;
    body.moveTo(x - size / 2, y);
    body.lineTo(x - size * 0.08, y - h);
    body.lineTo(x + size * 0.05, y - h * 0.9);
    body.lineTo(x + size / 2, y);
    body.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(Rgb(150, 160, 92));
    p.drawPath(body);
    // The shaded eastern face.
    QPainterPath shade;
    shade.moveTo(x - size * 0.08, y - h);
    shade.lineTo(x + size * 0.05, y - h * 0.9);
    shade.lineTo(x + size / 2, y);
    shade.lineTo(x + size * 0.02, y);
    shade.closeSubpath();
    p.setBrush(Rgb(112, 118, 62));
    p.drawPath(shade);
    if (snow) {
        QPainterPath cap;
        cap.moveTo(x - size * 0.08, y - h);
        cap.lineTo(x - size * 0.24, y - h * 0.62);
        cap.lineTo(x - size * 0.06, y - h * 0.7);
        cap.lineTo(x + size * 0.05, y - h * 0.9);
        cap.closeSubpath();
        p.setBrush(Rgb(250, 250, 244));
        p.drawPath(cap);
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Rgb(84, 76, 40), 0.9));
    p.drawPolyline(QPolygonF({QPointF(x - size / 2, y), QPointF(x - size * 0.08, y - h),
                              QPointF(x + size * 0.05, y - h * 0.9), QPointF(x + size / 2, y)}));
}

void DrawWave(QPainter& p, double x, double y, double size)
{
    QPainterPath wave;
    wave.moveTo(x - size, y);
    wave.quadTo(x - size / 2, y - size * 0.55, x, y);
    wave.quadTo(x + size / 2, y - size * 0.55, x + size, y);
    p.setPen(QPen(Rgb(40, 178, 96), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawPath(wave);
}

void DrawGrass(QPainter& p, double x, double y)
{
    p.setPen(QPen(Rgb(70, 170, 60), 0.9));
    p.drawLine(QPointF(x, y), QPointF(x - 1.5, y - 3));
    p.drawLine(QPointF(x, y), QPointF(x, y - 3.6));
    p.drawLine(QPointF(x, y), QPointF(x + 1.5, y - 3));
}

void DrawDune(QPainter& p, double x, double y, double size)
{
    QPainterPath dune;
    dune.moveTo(x - size, y);
    dune.quadTo(x, y - size * 0.6, x + size, y);
    p.setPen(QPen(Rgb(196, 168, 96), 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawPath(dune);
}

void DrawCompass(QPainter& p, QPointF c, double r)
{
    p.setPen(QPen(Rgb(120, 84, 40), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, r * 0.78, r * 0.78);
    p.drawEllipse(c, r * 0.7, r * 0.7);
    for (int k = 0; k < 8; ++k) {
        const double a = k * 3.14159265 / 4 - 3.14159265 / 2;
        const double len = (k % 2 == 0) ? r : r * 0.55;
        const double wide = (k % 2 == 0) ? r * 0.16 : r * 0.11;
        const QPointF tip(c.x() + std::cos(a) * len, c.y() + std::sin(a) * len);
        const QPointF left(c.x() + std::cos(a - 1.5708) * wide, c.y() + std::sin(a - 1.5708) * wide);
        const QPointF right(c.x() + std::cos(a + 1.5708) * wide, c.y() + std::sin(a + 1.5708) * wide);
        p.setPen(QPen(Rgb(96, 60, 28), 0.8));
        p.setBrush(k == 0 ? Rgb(196, 48, 36) : Rgb(236, 214, 160));
        p.drawPolygon(QPolygonF({c, left, tip}));
        p.setBrush(k == 0 ? Rgb(140, 30, 24) : Rgb(160, 120, 64));
        p.drawPolygon(QPolygonF({c, tip, right}));
    }
    QFont font("IPAPMincho");
    font.setPixelSize(static_cast<int>(r * 0.5));
    font.setBold(true);
    p.setFont(font);
    p.setPen(Rgb(150, 36, 28));
    p.drawText(QRectF(c.x() - 10, c.y() - r - 14, 20, 13), Qt::AlignCenter, QString::fromUtf8("北"));
}

// A name written on the land beyond the frontier or on the sea, top to bottom when
// vertical.
void DrawLabel(QPainter& p, const QString& text, QPointF at, int pixels, bool vertical, QColor colour)
{
    QFont font("IPAPMincho");
    font.setPixelSize(pixels);
    font.setBold(true);
    p.setFont(font);
    p.setPen(colour);
    const double step = pixels + 2;
    for (int i = 0; i < text.size(); ++i) {
        const QPointF cell = vertical ? QPointF(at.x(), at.y() + i * step) : QPointF(at.x() + i * step, at.y());
        p.drawText(QRectF(cell.x(), cell.y(), pixels + 2, pixels + 2), Qt::AlignCenter, text.mid(i, 1));
    }
}

void DrawTitle(QPainter& p)
{
    QFont font("IPAPMincho");
    font.setPixelSize(34);
    font.setBold(true);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 1.5);
    QPainterPath text;
    text.addText(QPointF(14, 40), font, QStringLiteral("Velcor"));
    // Shadow, body, rim.
    p.setPen(Qt::NoPen);
    p.setBrush(Rgb(60, 120, 40, 110));
    p.drawPath(text.translated(2, 2));
    QLinearGradient fill(0, 10, 0, 42);
    fill.setColorAt(0.0, Rgb(214, 150, 72));
    fill.setColorAt(0.5, Rgb(156, 92, 34));
    fill.setColorAt(1.0, Rgb(104, 56, 20));
    p.setBrush(fill);
    p.setPen(QPen(Rgb(70, 38, 12), 1.2));
    p.drawPath(text);
    // A red seal beside the name.
    const QRectF seal(text.boundingRect().right() + 8, 14, 22, 22);
    p.setPen(Qt::NoPen);
    p.setBrush(Rgb(186, 38, 30));
    p.drawRoundedRect(seal, 3, 3);
    QFont sealFont("IPAPMincho");
    sealFont.setPixelSize(17);
    sealFont.setBold(true);
    p.setFont(sealFont);
    p.setPen(Rgb(252, 236, 220));
    p.drawText(seal, Qt::AlignCenter, QString::fromUtf8("漢"));
}

struct MapLabel {
    const char* text;
    GeoPoint where; // top left of the first character
    int pixels;
    bool vertical;
    bool sea;
};
const MapLabel kLabels[] = {
    {"東海", {123.3, 30.6}, 13, true, true},
    {"南海", {113.4, 20.9}, 13, false, true},
    {"大漠", {101.4, 41.45}, 12, false, false},
    {"西羌", {95.6, 35.5}, 12, true, false},
    {"鮮卑", {119.3, 43.6}, 12, false, false},
};

void MapBuilder::Decorate()
{
    MapImage& image = m_result.image;
    const auto realmDistance = DistanceFrom([&](int p) { return m_land[p] >= 0; });
    const auto landDistance = DistanceFrom([&](int p) { return m_land[p] != kSea; });

    auto decoratable = [&](int x, int y) {
        const int p = Index(x, y);
        return x >= 2 && x < kDecorationRight && y >= 2 && y < H - 2 && m_land[p] < 0 && realmDistance[p] >= 3 &&
               (m_paint[p] == kSea || m_paint[p] == kForeignLand);
    };

    // A light stipple on the land beyond the frontier, so that it reads as land.
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
            if (m_land[Index(x, y)] == kForeignLand && decoratable(x, y) && Hash01(x, y, 91) < 0.035)
                image.Set(x, y, MakeColour(84, 214, 84));
        }
    }

    // Water-lines along every shore.
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
            const int p = Index(x, y);
            if (m_land[p] != kSea || !decoratable(x, y) || y > 382)
                continue;
            if (landDistance[p] == 3)
                image.Set(x, y, MakeColour(74, 214, 96));
            else if (landDistance[p] == 6 && ((x + y) % 3 != 0))
                image.Set(x, y, MakeColour(88, 236, 100));
        }
    }

    QImage layer(W, H, QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::transparent);
    {
        QPainter p(&layer);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setRenderHint(QPainter::TextAntialiasing, true);

        auto clearFor = [&](double x, double y, int reach, bool sea) {
            for (int yy = static_cast<int>(y) - reach; yy <= static_cast<int>(y) + reach; ++yy) {
                for (int xx = static_cast<int>(x) - reach; xx <= static_cast<int>(x) + reach; ++xx) {
                    if (!InMap(xx, yy) || !decoratable(xx, yy))
                        return false;
                    if ((m_land[Index(xx, yy)] == kSea) != sea)
                        return false;
                }
            }
            return true;
        };
        const mapkit::Rect titleArea{8, 4, 200, 50};
        const PixelPoint compassAt = Place({116.6, 19.4});
        auto awayFromFeatures = [&](double x, double y) {
            for (const auto& label : kLabels) {
                const PixelPoint at = Place(label.where);
                const double w = (label.vertical ? 1 : 2) * (label.pixels + 2) + 8;
                const double h = (label.vertical ? 2 : 1) * (label.pixels + 2) + 10;
                if (x > at.x - 6 && x < at.x + w && y > at.y - 2 && y < at.y + h)
                    return false;
            }
            return !titleArea.Contains(static_cast<int>(x), static_cast<int>(y)) &&
                   std::hypot(x - compassAt.x, y - (compassAt.y - 4)) > 34 && y < 380;
        };

        // The land beyond the frontier: mountains to the west and north, steppe grass,
        // the dunes of the Gobi.
        for (int gy = 0; gy < H; gy += 11) {
            for (int gx = 0; gx < W; gx += 13) {
                const double x = gx + 10 * Hash01(gx, gy, 5);
                const double y = gy + 9 * Hash01(gx, gy, 6);
                if (!awayFromFeatures(x, y))
                    continue;
                const GeoPoint g = Unproject({x, y});
                const double roll = Hash01(gx, gy, 7);
                const bool tibet = g.lon < 104.5 && g.lat < 38.5;
                const bool gobi = g.lat > 39.5 && g.lon < 107.5;
                const bool yinShan = g.lat > 40.3 && g.lon >= 107.5 && g.lon < 115;
                const bool manchuria = g.lat > 41 && g.lon >= 115;
                const bool south = g.lat < 25;
                if (tibet && clearFor(x, y, 7, false) && roll < 0.85)
                    DrawMountain(p, x, y, 9 + 5 * Hash01(gx, gy, 8), g.lat > 29.5 || g.lon < 100);
                else if (gobi && clearFor(x, y, 6, false) && roll < 0.6)
                    DrawDune(p, x, y, 4 + 2 * Hash01(gx, gy, 9));
                else if ((yinShan || manchuria) && clearFor(x, y, 6, false) && roll < 0.55)
                    DrawMountain(p, x, y, 8 + 4 * Hash01(gx, gy, 10), false);
                else if (south && clearFor(x, y, 6, false) && roll < 0.6)
                    DrawMountain(p, x, y, 7 + 3 * Hash01(gx, gy, 12), false);
                else if (!tibet && clearFor(x, y, 3, false) && roll < 0.45)
                    DrawGrass(p, x, y);
            }
        }

        // Waves on the open sea.
        for (int gy = 0; gy < H; gy += 14) {
            for (int gx = 0; gx < W; gx += 17) {
                const double x = gx + 9 * Hash01(gx, gy, 15);
                const double y = gy + 8 * Hash01(gx, gy, 16);
                if (!awayFromFeatures(x, y) || !clearFor(x, y, 9, true))
                    continue;
                if (landDistance[Index(static_cast<int>(x), static_cast<int>(y))] < 12)
                    continue;
                DrawWave(p, x - 3, y, 3.2);
                DrawWave(p, x + 4, y + 3, 3.2);
            }
        }

        // The Great Wall along the steppe.
        std::vector<QPointF> wall;
        for (const GeoPoint& g : GreatWall()) {
            const PixelPoint q = Place(g);
            wall.emplace_back(q.x, q.y);
        }
        p.setPen(QPen(Rgb(120, 96, 78), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(wall.data(), static_cast<int>(wall.size()));
        p.setPen(QPen(Rgb(176, 150, 120), 1.0));
        p.drawPolyline(wall.data(), static_cast<int>(wall.size()));
        double travelled = 0;
        for (std::size_t i = 0; i + 1 < wall.size(); ++i) {
            const QPointF a = wall[i];
            const QPointF b = wall[i + 1];
            const double len = std::hypot(b.x() - a.x(), b.y() - a.y());
            for (double s = 0; s < len; s += 1.0) {
                travelled += 1.0;
                if (static_cast<int>(travelled) % 22 != 0)
                    continue;
                const QPointF at = a + (b - a) * (s / len);
                p.setPen(QPen(Rgb(96, 72, 56), 0.8));
                p.setBrush(Rgb(190, 162, 128));
                p.drawRect(QRectF(at.x() - 2, at.y() - 3, 4, 4));
            }
        }

        DrawCompass(p, QPointF(compassAt.x, compassAt.y), 17);
        for (const auto& label : kLabels) {
            const PixelPoint at = Place(label.where);
            DrawLabel(p, QString::fromUtf8(label.text), QPointF(at.x, at.y), label.pixels, label.vertical,
                      label.sea ? Rgb(30, 120, 110) : Rgb(120, 80, 40));
        }
        DrawTitle(p);
        p.end();
    }

    // Lay the decoration over the picture, never over the realm or near its outline.
    for (int y = 0; y < H; ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(layer.constScanLine(y));
        for (int x = 0; x < W; ++x) {
            const int a = qAlpha(row[x]);
            if (a == 0 || !decoratable(x, y))
                continue;
            const Colour under = image.At(x, y);
            auto mix = [&](int top, int bottom) { return top + (bottom * (255 - a) + 127) / 255; };
            image.Set(x, y,
                      MakeColour(mix(qRed(row[x]), ColourRed(under)), mix(qGreen(row[x]), ColourGreen(under)),
                                 mix(qBlue(row[x]), ColourBlue(under))));
        }
    }

    // A frame round the whole picture.
    for (int x = 0; x < W; ++x) {
        for (int y : {0, 1, H - 2, H - 1})
            image.Set(x, y, MakeColour(118, 78, 36));
        image.Set(x, 3, MakeColour(170, 128, 70));
        image.Set(x, H - 4, MakeColour(170, 128, 70));
    }
    for (int y = 0; y < H; ++y) {
        for (int x : {0, 1, W - 2, W - 1})
            image.Set(x, y, MakeColour(118, 78, 36));
        if (y >= 3 && y <= H - 4) {
            image.Set(3, y, MakeColour(170, 128, 70));
            image.Set(W - 4, y, MakeColour(170, 128, 70));
        }
    }

    // Nothing outside the countries may carry a key colour or the outline colour.
    for (int p = 0; p < W * H; ++p) {
        if (m_land[p] >= 0)
            continue;
        Colour& c = image.pixels[p];
        if (mapkit::KeyIndexOf(c) >= 0 || c == mapkit::kOutlineColour)
            c ^= 0x000001;
    }
}

void MapBuilder::Verify() const
{
    const MapImage& image = m_result.image;
    const mapkit::MapAnalysis analysis = mapkit::AnalyseMap(image);
    for (int i = 0; i < kCountryCount; ++i) {
        if (analysis.countries[i].components != 1)
            throw std::runtime_error("country " + std::to_string(i) + " has " +
                                     std::to_string(analysis.countries[i].components) + " areas");
        const mapkit::Point m = m_result.markers[i];
        if (mapkit::PixelsOutsideCountry(image, i, m.x, m.y - mapkit::kMarkerCellSize) != 0)
            throw std::runtime_error("the marker of country " + std::to_string(i) + " leaves its area");
    }
    if (analysis.unlinedBorders != 0 || analysis.unoutlinedCoast != 0)
        throw std::runtime_error("a border or coast lacks its outline");
    const mapkit::Rect buttons = mapkit::kButtonRowRect;
    for (int y = buttons.top; y < buttons.bottom; ++y) {
        for (int x = buttons.left; x < buttons.right; ++x) {
            if (mapkit::KeyIndexOf(image.At(x, y)) >= 0)
                throw std::runtime_error("a country reaches under the command buttons at " + std::to_string(x) +
                                         "," + std::to_string(y));
        }
    }
    for (int y = mapkit::kPanelRect.top; y < mapkit::kPanelRect.bottom; ++y) {
        for (int x = mapkit::kPanelRect.left; x < mapkit::kPanelRect.right; ++x) {
            if (image.At(x, y) != mapkit::kBackgroundColour)
                throw std::runtime_error("the status panel's place is not clear at " + std::to_string(x) + "," +
                                         std::to_string(y));
        }
    }
}

} // namespace

PaintedMap PaintMap()
{
    MapBuilder builder;
    return builder.Build();
}

} // namespace assets
