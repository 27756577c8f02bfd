// SPDX-License-Identifier: GPL-3.0-or-later
// velcor-assets: makes the game's pictures and scenario data.
//
//   velcor-assets [--out DIR]                  writes DIR/res/*.png and DIR/data/*.txt
//   velcor-assets --preview N OUT.png [--root DIR]
//                                              the map coloured for scenario N's start
//   velcor-assets --sheet OUT.png [--root DIR] the portraits and pictures on one sheet
//
// DIR and the root default to the current directory. The generated files are
// committed; run this by hand when the art or the scenarios change.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>

#include <QGuiApplication>
#include <QPainter>

#include "assets/map_painter.h"
#include "assets/pictures.h"
#include "assets/portraits.h"
#include "assets/preview.h"
#include "assets/scenarios.h"
#include "mapkit/map_image_qt.h"
#include "model/country_file.h"
#include "platform/text_file.h"

namespace {

constexpr int kMapResource = 130;
constexpr int kMarkerResource = 132;
constexpr int kPortraitResource = 135;
constexpr int kVictoryResource = 163;
constexpr int kGameOverResource = 164;
constexpr int kIconResource = 128;

bool Save(const QImage& image, const std::string& path)
{
    if (image.save(QString::fromStdString(path), "PNG"))
        return true;
    std::fprintf(stderr, "velcor-assets: cannot write %s\n", path.c_str());
    return false;
}

std::string ResourcePath(const std::string& res, int number, const std::string& suffix = {})
{
    return res + "/" + std::to_string(number) + suffix + ".png";
}

int Generate(const std::string& out)
{
    const std::string res = out + "/res";
    const std::string data = out + "/data";
    std::filesystem::create_directories(res);
    std::filesystem::create_directories(data);

    const assets::PaintedMap map = assets::PaintMap();
    const mapkit::MapAnalysis analysis = mapkit::AnalyseMap(map.image);
    bool ok = Save(mapkit::ToQImage(map.image), ResourcePath(res, kMapResource));
    ok = ok && Save(assets::PaintBattleMarker(), ResourcePath(res, kMarkerResource));
    for (int r = 0; ok && r < kRulerCount; ++r)
        ok = Save(assets::PaintPortrait(r), ResourcePath(res, kPortraitResource + r));
    ok = ok && Save(assets::PaintVictory(QString::fromUtf8("中国全土を統一しました")), ResourcePath(res, kVictoryResource));
    ok = ok && Save(assets::PaintGameOver(QString::fromUtf8("全ての領土を失いました"), QString::fromUtf8("ゲームオーバー")),
                    ResourcePath(res, kGameOverResource));
    // The English game's, worded as its translation words the end.
    ok = ok && Save(assets::PaintVictory(QStringLiteral("All China is unified")),
                    ResourcePath(res, kVictoryResource, "-en"));
    ok = ok && Save(assets::PaintGameOver(QStringLiteral("You have lost every land"), QStringLiteral("GAME OVER")),
                    ResourcePath(res, kGameOverResource, "-en"));
    for (int size : {16, 32, 48, 256}) {
        ok = ok && Save(assets::PaintIcon(size), ResourcePath(res, kIconResource, "-" + std::to_string(size)));
    }
    if (!ok)
        return 1;
    std::string error;
    if (!assets::WriteScenarioFiles(data, analysis, map.markers, &error)) {
        std::fprintf(stderr, "velcor-assets: %s\n", error.c_str());
        return 1;
    }
    std::printf("wrote %s and %s; background %.1f%% of the map\n", res.c_str(), data.c_str(),
                100.0 * analysis.BackgroundShare());
    return 0;
}

int Preview(const std::string& root, int number, const std::string& outPath)
{
    mapkit::MapImage map;
    std::string error;
    const std::string mapPath = ResourcePath(root + "/res", kMapResource);
    if (!mapkit::LoadMapImage(mapPath, map, &error)) {
        std::fprintf(stderr, "velcor-assets: %s: %s\n", mapPath.c_str(), error.c_str());
        return 1;
    }
    const std::string countryPath = CountryFilePath(root + "/data", number);
    platform::TextFileReader reader;
    WorldRecord world;
    FileProblem problem;
    if (!reader.Open(countryPath) || !ParseCountryFile(reader, world, &problem, CountryFileUse::StartingWorld)) {
        std::fprintf(stderr, "velcor-assets: cannot read %s %s\n", countryPath.c_str(), problem.words.Text().c_str());
        return 1;
    }
    return Save(assets::PaintPreview(map, world), outPath) ? 0 : 1;
}

int Sheet(const std::string& root, const std::string& outPath)
{
    const std::string res = root + "/res";
    QImage sheet(8 * 84 + 4, 2 * 104 + 4 + 214, QImage::Format_RGB32);
    sheet.fill(QColor(96, 96, 96));
    QPainter p(&sheet);
    for (int r = 0; r < kRulerCount; ++r)
        p.drawImage(4 + (r % 8) * 84, 4 + (r / 8) * 104, QImage(QString::fromStdString(ResourcePath(res, kPortraitResource + r))));
    const int y = 2 * 104 + 8;
    p.drawImage(4, y, QImage(QString::fromStdString(ResourcePath(res, kVictoryResource))));
    p.drawImage(310, y, QImage(QString::fromStdString(ResourcePath(res, kGameOverResource))));
    p.drawImage(614, y, QImage(QString::fromStdString(ResourcePath(res, kMarkerResource))));
    int x = 614;
    int iconY = y + 24;
    for (int size : {16, 32, 48}) {
        p.drawImage(x, iconY, QImage(QString::fromStdString(ResourcePath(res, kIconResource, "-" + std::to_string(size)))));
        iconY += size + 6;
    }
    p.end();
    return Save(sheet, outPath) ? 0 : 1;
}

int Usage()
{
    std::fprintf(stderr,
                 "usage: velcor-assets [--out DIR]\n"
                 "       velcor-assets --preview N OUT.png [--root DIR]\n"
                 "       velcor-assets --sheet OUT.png [--root DIR]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    std::string out = ".";
    std::string root = ".";
    std::string outPath;
    int preview = 0;
    bool sheet = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--out" && i + 1 < argc) {
            out = argv[++i];
        } else if (arg == "--root" && i + 1 < argc) {
            root = argv[++i];
        } else if (arg == "--preview" && i + 2 < argc) {
            preview = std::atoi(argv[++i]);
            outPath = argv[++i];
            if (preview < 1 || preview > 3)
                return Usage();
        } else if (arg == "--sheet" && i + 1 < argc) {
            sheet = true;
            outPath = argv[++i];
        } else {
            return Usage();
        }
    }
    try {
        if (preview)
            return Preview(root, preview, outPath);
        if (sheet)
            return Sheet(root, outPath);
        return Generate(out);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "velcor-assets: %s\n", e.what());
        return 1;
    }
}
