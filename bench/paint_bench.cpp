// SPDX-License-Identifier: GPL-3.0-or-later
// The cost of a paint: the map recoloured by ownership, first the literal way (every
// pixel's colour looked up among the key colours) and then as the document does it
// (country runs found once at load), and the main view's whole paint (map, panel,
// text and the copy to the window) at each zoom.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <cstring>
#include <vector>

#include "app/kiv_doc.h"
#include "model/country_file.h"
#include "rules/turn.h"
#include "control/game_controller.h"
#include "view/map/kiv_view.h"

namespace {

// The world the benchmarks paint: every country ruled, the turn at country 4.
GameState& PaintedWorld()
{
    static GameState world;
    return world;
}

// A world on the real map: the first scenario's starting countries.
CKivDoc& Document()
{
    static CKivDoc doc;
    static bool ready = [] {
        if (!doc.OnNewDocument())
            return false;
        GameState& world = PaintedWorld();
        BuildRulerTable(world);
        for (int i = 0; i < kCountryCount; ++i)
            world.countries[i].SetRuler(1 + i % 15);
        world.turnCountry = 4;
        world.year = 189;
        world.month = 12;
        return true;
    }();
    (void)ready;
    return doc;
}

// A view of the benchmarks' world with country 4 in the panel.
void ShowPaintedWorld(CKivView& view)
{
    view.Game().Session().world = PaintedWorld();
    view.marks.shownCountry = 4;
}

// The recolouring exactly as described for the original: per pixel, skip the outline
// and white, search the fourteen key colours, write the ruler's colour; then copy
// the whole buffer into the bitmap.
void BM_LiteralPaintOwnership(benchmark::State& state)
{
    CKivDoc& doc = Document();
    const int width = kMapWidth;
    const int height = kMapHeight;
    std::vector<std::uint8_t> keyPixels(static_cast<std::size_t>(width) * height * 4);
    std::vector<std::uint8_t> pixels(keyPixels.size());
    doc.Map().PaintOwnership(PaintedWorld());
    // Rebuild the key picture from the document's own key colours.
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const Colour c = doc.Map().KeyColourAt(x, y);
            std::uint8_t* p = &keyPixels[(static_cast<std::size_t>(y) * width + static_cast<std::size_t>(x)) * 4];
            p[0] = static_cast<std::uint8_t>(ColourBlue(c));
            p[1] = static_cast<std::uint8_t>(ColourGreen(c));
            p[2] = static_cast<std::uint8_t>(ColourRed(c));
            p[3] = 0xFF;
        }
    pixels = keyPixels;
    const GameState& world = PaintedWorld();
    QImage& bitmap = doc.Map().MapBitmap();
    for (auto _ : state) {
        const std::size_t count = static_cast<std::size_t>(width) * height;
        for (std::size_t n = 0; n < count; ++n) {
            const std::uint8_t* k = &keyPixels[n * 4];
            const Colour c = (static_cast<Colour>(k[0]) << 16) | (static_cast<Colour>(k[1]) << 8) | k[2];
            if (c == kOutlineColour || c == kBlankColour)
                continue;
            for (int j = 0; j < kCountryCount; ++j) {
                if (kRegionKeyColours[j] == c) {
                    const Colour v = world.rulers[world.countries[j].GetRuler()].GetColour();
                    std::uint8_t* p = &pixels[n * 4];
                    p[0] = static_cast<std::uint8_t>((v >> 16) & 0xFF);
                    p[1] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
                    p[2] = static_cast<std::uint8_t>(v & 0xFF);
                    break;
                }
            }
        }
        for (int y = 0; y < height; ++y)
            std::memcpy(bitmap.scanLine(y), &pixels[static_cast<std::size_t>(y) * width * 4],
                        static_cast<std::size_t>(width) * 4);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_LiteralPaintOwnership)->Unit(benchmark::kMicrosecond);

void BM_PaintOwnership(benchmark::State& state)
{
    CKivDoc& doc = Document();
    for (auto _ : state) {
        doc.Map().PaintOwnership(PaintedWorld());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PaintOwnership)->Unit(benchmark::kMicrosecond);

// OnDraw composes the map, numbers, frame and panel; then the finished picture is
// copied to the window's surface, as a paint event does at 1x.
void BM_ViewPaint(benchmark::State& state)
{
    CKivDoc& doc = Document();
    GameController game;
    CKivView view(doc, game);
    view.OnInitialUpdate();
    ShowPaintedWorld(view);
    view.mode = ViewMode::PlayerTurn;
    view.statusText = QStringLiteral("開墾が 55 になりました");
    QImage window(kMapWidth, kMapHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        view.OnDraw();
        QPainter painter(&window);
        painter.drawImage(0, 0, view.Surface());
        painter.end();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ViewPaint)->Unit(benchmark::kMicrosecond);

// What the window does when it is repainted whole: the view's paint event (at 2x and
// 3x the map is enlarged into the window's buffer and drawn on there), alone and then
// with the seven buttons over it. The arguments: the zoom, and 2 with the buttons.
void BM_WindowPaint(benchmark::State& state)
{
    CKivDoc& doc = Document();
    GameController game;
    CKivView view(doc, game);
    view.OnInitialUpdate();
    view.SetZoom(static_cast<int>(state.range(0)));
    ShowPaintedWorld(view);
    view.mode = ViewMode::PlayerTurn;
    view.statusText = QStringLiteral("開墾が 55 になりました");
    QImage window(view.size(), QImage::Format_RGB32);
    for (auto _ : state) {
        view.render(&window, QPoint(), QRegion(), QWidget::RenderFlags(QFlag(static_cast<int>(state.range(1)))));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_WindowPaint)->ArgsProduct({{1, 2, 3}, {0, QWidget::DrawChildren}})->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
