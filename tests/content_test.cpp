// SPDX-License-Identifier: GPL-3.0-or-later
// The shipped pictures and scenario files: sizes, the rules of the map, and that the
// committed files are what the generator makes from its tables.
#include <gtest/gtest.h>

#include <cstdlib>

#include <QImage>

#include "assets/geography.h"
#include "assets/map_painter.h"
#include "assets/preview.h"
#include "assets/scenarios.h"
#include "content_paths.h"
#include "mapkit/map_image_qt.h"
#include "model/country_file.h"
#include "model/scenario_file.h"
#include "platform/text_file.h"

namespace {

QImage Shipped(const std::string& name)
{
    return QImage(QString::fromStdString(ShippedRes() + "/" + name + ".png"));
}

mapkit::MapImage ShippedMap()
{
    mapkit::MapImage map;
    std::string error;
    EXPECT_TRUE(mapkit::LoadMapImage(ShippedRes() + "/130.png", map, &error)) << error;
    return map;
}

TEST(ShippedPictures, EveryPictureHasItsSize)
{
    struct Expected {
        std::string name;
        int width;
        int height;
    };
    std::vector<Expected> expected = {{"130", 616, 440}, {"132", 16, 16},     {"163", 300, 200},
                                      {"164", 300, 200}, {"128-16", 16, 16}, {"128-32", 32, 32},
                                      {"128-48", 48, 48}, {"128-256", 256, 256}};
    for (int r = 0; r < kRulerCount; ++r)
        expected.push_back({std::to_string(135 + r), 80, 100});
    for (const Expected& e : expected) {
        const QImage image = Shipped(e.name);
        ASSERT_FALSE(image.isNull()) << e.name;
        EXPECT_EQ(image.width(), e.width) << e.name;
        EXPECT_EQ(image.height(), e.height) << e.name;
    }
}

double MeanDifference(const QImage& a, const QImage& b)
{
    double sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
        }
    }
    return sum / (3.0 * a.width() * a.height());
}

TEST(ShippedPictures, PortraitsAreDistinctFacesInTheirRulersColours)
{
    std::vector<QImage> portraits;
    for (int r = 0; r < kRulerCount; ++r)
        portraits.push_back(Shipped(std::to_string(135 + r)).convertToFormat(QImage::Format_RGB32));
    // No ruler: plain white.
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 80; ++x)
            ASSERT_EQ(portraits[0].pixel(x, y), qRgb(255, 255, 255));
    for (int r = 1; r < kRulerCount; ++r) {
        // The robe, in the lowest rows, wears the ruler's map colour.
        const Colour c = kRulerColours[r];
        int robe = 0;
        for (int y = 88; y < 100; ++y) {
            for (int x = 0; x < 80; ++x) {
                const QRgb p = portraits[r].pixel(x, y);
                if (std::abs(qRed(p) - ColourRed(c)) < 28 && std::abs(qGreen(p) - ColourGreen(c)) < 28 &&
                    std::abs(qBlue(p) - ColourBlue(c)) < 28)
                    ++robe;
            }
        }
        EXPECT_GT(robe, 150) << "portrait of ruler " << r;
        for (int s = 1; s < r; ++s)
            EXPECT_GT(MeanDifference(portraits[r], portraits[s]), 8.0) << "rulers " << s << " and " << r;
    }
}

TEST(ShippedPictures, MarkerAndEndPictures)
{
    const QImage marker = Shipped("132").convertToFormat(QImage::Format_RGB32);
    int red = 0;
    int yellow = 0;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const QRgb p = marker.pixel(x, y);
            red += qRed(p) > 180 && qGreen(p) < 90 && qBlue(p) < 90;
            yellow += qRed(p) > 220 && qGreen(p) > 180 && qBlue(p) < 120;
        }
    }
    EXPECT_GT(red, 10);
    EXPECT_GT(yellow, 3);
    for (QPoint corner : {QPoint(0, 0), QPoint(15, 0), QPoint(0, 15)})
        EXPECT_EQ(marker.pixel(corner), qRgb(255, 255, 255));

    // The game-over card: cyan inside a magenta frame.
    const QImage over = Shipped("164").convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(over.pixel(8, 100), qRgb(255, 0, 255));
    EXPECT_EQ(over.pixel(292, 100), qRgb(255, 0, 255));
    EXPECT_EQ(over.pixel(30, 30), qRgb(0, 255, 255));
}

TEST(ShippedMap, KeyColoursOutlineBackgroundAndClearPlaces)
{
    const mapkit::MapImage map = ShippedMap();
    ASSERT_EQ(map.width, mapkit::kMapWidth);
    ASSERT_EQ(map.height, mapkit::kMapHeight);
    const mapkit::MapAnalysis a = mapkit::AnalyseMap(map);
    for (int i = 0; i < kCountryCount; ++i) {
        EXPECT_GT(a.countries[i].pixels, 900) << "country " << i;
        EXPECT_EQ(a.countries[i].components, 1) << "country " << i;
        EXPECT_FALSE(a.Neighbours(i).empty()) << "country " << i;
    }
    EXPECT_EQ(a.unlinedBorders, 0);
    EXPECT_EQ(a.unoutlinedCoast, 0);
    EXPECT_GT(a.outlinePixels, 2000);
    // About two thirds of the picture is background (64.4% when this was written).
    EXPECT_GT(a.BackgroundShare(), 0.6);
    EXPECT_LT(a.BackgroundShare(), 0.7);

    // The status panel lies over plain background; no country reaches the buttons'
    // row or below.
    for (int y = mapkit::kPanelRect.top; y < mapkit::kPanelRect.bottom; ++y)
        for (int x = mapkit::kPanelRect.left; x < mapkit::kPanelRect.right; ++x)
            ASSERT_EQ(map.At(x, y), mapkit::kBackgroundColour) << x << "," << y;
    for (int y = 386; y < map.height; ++y)
        for (int x = 0; x < map.width; ++x)
            ASSERT_LT(mapkit::KeyIndexOf(map.At(x, y)), 0) << x << "," << y;

    // The brown title lettering in the top left corner.
    int brown = 0;
    for (int y = 4; y < 50; ++y) {
        for (int x = 8; x < 140; ++x) {
            const Colour c = map.At(x, y);
            ASSERT_LT(mapkit::KeyIndexOf(c), 0);
            brown += ColourRed(c) > ColourGreen(c) + 20 && ColourGreen(c) > ColourBlue(c) + 10;
        }
    }
    EXPECT_GT(brown, 400);
}

TEST(ShippedData, IsWhatTheGeneratorWrites)
{
    const mapkit::MapImage map = ShippedMap();
    const mapkit::MapAnalysis analysis = mapkit::AnalyseMap(map);
    for (const assets::Scenario& scenario : assets::Scenarios()) {
        const ScenarioList offered = ReadScenarioFile(ScenarioFilePath(ShippedData(), scenario.number));
        ASSERT_EQ(offered.status, ScenarioStatus::Read);
        EXPECT_EQ(offered.rulers, scenario.offered) << "scenario " << scenario.number;

        platform::TextFileReader reader;
        ASSERT_TRUE(reader.Open(CountryFilePath(ShippedData(), scenario.number)));
        WorldRecord shipped;
        FileProblem problem;
        ASSERT_TRUE(ParseCountryFile(reader, shipped, &problem, CountryFileUse::StartingWorld)) << problem.words.Text();
        std::array<mapkit::Point, kCountryCount> markers{};
        for (int i = 0; i < kCountryCount; ++i)
            markers[i] = {shipped.countries[i].mapX, shipped.countries[i].mapY};
        EXPECT_EQ(shipped, assets::StartingWorld(scenario, analysis, markers)) << "scenario " << scenario.number;
    }
}

TEST(ShippedMap, IsWhatTheGeneratorPaints)
{
    const mapkit::MapImage shipped = ShippedMap();
    const assets::PaintedMap painted = assets::PaintMap();
    ASSERT_EQ(painted.image.pixels.size(), shipped.pixels.size());
    int differ = 0;
    for (std::size_t p = 0; p < shipped.pixels.size(); ++p)
        differ += mapkit::KeyIndexOf(shipped.pixels[p]) != mapkit::KeyIndexOf(painted.image.pixels[p]);
    EXPECT_EQ(differ, 0) << "regenerate with velcor-assets";

    platform::TextFileReader reader;
    ASSERT_TRUE(reader.Open(CountryFilePath(ShippedData(), 1)));
    WorldRecord world;
    ASSERT_TRUE(ParseCountryFile(reader, world, nullptr, CountryFileUse::StartingWorld));
    for (int i = 0; i < kCountryCount; ++i) {
        EXPECT_EQ(world.countries[i].mapX, painted.markers[i].x) << "country " << i;
        EXPECT_EQ(world.countries[i].mapY, painted.markers[i].y) << "country " << i;
    }
}

TEST(Geography, ProjectionRoundTripsAndSeatsLieInTheirCountries)
{
    for (double lon = 90; lon <= 130; lon += 0.7) {
        for (double lat = 15; lat <= 45; lat += 0.9) {
            const assets::GeoPoint back = assets::Unproject(assets::Project({lon, lat}));
            ASSERT_NEAR(back.lon, lon, 1e-9);
            ASSERT_NEAR(back.lat, lat, 1e-9);
        }
    }
    // On the shipped map, each seat of government is in its own country (the marker
    // goes near it), which catches a border drawn the wrong way round.
    const mapkit::MapImage map = ShippedMap();
    const auto& countries = assets::Countries();
    ASSERT_EQ(countries.size(), static_cast<std::size_t>(kCountryCount));
    for (int i = 0; i < kCountryCount; ++i) {
        const assets::PixelPoint p = assets::Project(countries[i].seat);
        int found = -1;
        for (int dy = -3; dy <= 3 && found != i; ++dy)
            for (int dx = -3; dx <= 3 && found != i; ++dx)
                found = mapkit::KeyIndexOf(map.At(static_cast<int>(p.x) + dx, static_cast<int>(p.y) + dy));
        EXPECT_EQ(found, i) << countries[i].name;
    }
}

// The starting figures, read against the computer's rules: a country below 10000
// soldiers only conscripts, one below 1000 funds does nothing, and war needs
// provisions at least equal to the soldiers and a neighbour weaker than twice the
// attacker (strength = training x soldiers).
TEST(ScenarioFigures, EveryComputerCountryCanActAndSomeoneCanAttackAtOnce)
{
    const mapkit::MapAnalysis map = mapkit::AnalyseMap(ShippedMap());
    for (const assets::Scenario& s : assets::Scenarios()) {
        std::array<int, kRulerCount> held{};
        bool someoneCanAttack = false;
        for (int i = 0; i < kCountryCount; ++i) {
            const assets::Holding& h = s.holdings[i];
            ++held[h.ruler];
            EXPECT_GE(h.population, 100000) << "scenario " << s.number << " country " << i;
            EXPECT_GE(h.training, 1) << "scenario " << s.number << " country " << i;
            EXPECT_LE(h.training, 100) << "scenario " << s.number << " country " << i;
            if (h.ruler == 0)
                continue;
            EXPECT_GE(h.soldiers, 10000) << "scenario " << s.number << " country " << i;
            EXPECT_GE(h.funds, 1000) << "scenario " << s.number << " country " << i;
            // A year's upkeep is in store.
            EXPECT_GE(h.provisions, h.soldiers / 10) << "scenario " << s.number << " country " << i;
            const long long strength = static_cast<long long>(h.training) * h.soldiers;
            if (h.provisions < h.soldiers)
                continue;
            for (int n : map.Neighbours(i)) {
                const assets::Holding& t = s.holdings[n];
                if (t.ruler != h.ruler && static_cast<long long>(t.training) * t.soldiers < 2 * strength)
                    someoneCanAttack = true;
            }
        }
        EXPECT_TRUE(someoneCanAttack) << "scenario " << s.number;
        int rulers = 0;
        for (int r = 1; r < kRulerCount; ++r) {
            rulers += held[r] > 0;
            EXPECT_LE(held[r], 9) << "scenario " << s.number << " ruler " << r;
        }
        EXPECT_GE(rulers, 3) << "scenario " << s.number;
        EXPECT_LE(s.offered.size(), static_cast<std::size_t>(kRulerSlotCount));
        for (RulerId r : s.offered)
            EXPECT_GT(held[r], 0) << "scenario " << s.number << " offers ruler " << r;
    }
}

TEST(Preview, PaintsEveryCountryInItsRulersColourAndNothingElse)
{
    const mapkit::MapImage map = ShippedMap();
    platform::TextFileReader reader;
    ASSERT_TRUE(reader.Open(CountryFilePath(ShippedData(), 2)));
    WorldRecord world;
    ASSERT_TRUE(ParseCountryFile(reader, world, nullptr, CountryFileUse::StartingWorld));
    const mapkit::MapImage preview = mapkit::FromQImage(assets::PaintPreview(map, world));
    int recoloured = 0;
    for (int y = 0; y < map.height; ++y) {
        for (int x = 0; x < map.width; ++x) {
            if (mapkit::kPanelRect.Contains(x, y))
                continue;
            bool inCell = false;
            for (const CountryRecord& c : world.countries)
                inCell = inCell || (x >= c.mapX && x < c.mapX + 16 && y >= c.mapY - 16 && y < c.mapY);
            if (inCell)
                continue;
            const int key = mapkit::KeyIndexOf(map.At(x, y));
            const Colour expected = key >= 0 ? kRulerColours[world.countries[key].ruler] : map.At(x, y);
            ASSERT_EQ(preview.At(x, y), expected) << x << "," << y;
            recoloured += key >= 0;
        }
    }
    EXPECT_GT(recoloured, 50000);
}

} // namespace
