// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the country file loader, the path every load of a starting
// world or a saved game takes. A load either replaces the world with one the game can
// hold, which a save then writes and a load reads back unchanged and on which a year
// of the calendar runs, or it refuses with a message and leaves everything exactly as
// it was. A file of fewer than 172 lines is always refused; a saved game must name the
// player's ruler, which a starting world need not, and the two readings differ in
// nothing else.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "model/country_file.h"
#include "model/game_state.h"
#include "platform/random.h"
#include "platform/text_file.h"
#include "rules/turn.h"

namespace {

// A world in play before the load: every figure different from what a blank or
// cut-off file gives, so that a partial change shows.
WorldRecord KnownWorld()
{
    WorldRecord w;
    w.playerRuler = 7;
    w.turnCountry = 4;
    w.year = 191;
    w.month = 5;
    for (int i = 0; i < kCountryCount; ++i) {
        CountryRecord& c = w.countries[static_cast<std::size_t>(i)];
        c.name = "known" + std::to_string(i);
        c.neighbours = {static_cast<std::uint32_t>((i + 1) % kCountryCount),
                        static_cast<std::uint32_t>((i + 5) % kCountryCount)};
        c.ruler = 1 + i % (kRulerCount - 1);
        c.population = 300001 + i;
        c.cultivation = 71 + i;
        c.commerce = 53 + i;
        c.soldiers = 12001 + i;
        c.training = 40 + i;
        c.provisions = 45001 + i;
        c.funds = 9001 + i;
        c.mapX = 101 + i;
        c.mapY = 203 + i;
    }
    return w;
}

// The world the loads go into, kept from one input to the next as a game's is.
GameState world;

// Everything a load may touch or must leave alone.
struct Snapshot {
    WorldRecord world;
    std::array<std::int32_t, kCountryCount> ids{};

    bool operator==(const Snapshot&) const = default;
};

Snapshot Take()
{
    Snapshot s;
    s.world = CaptureWorld(world, world.turnCountry);
    for (int i = 0; i < kCountryCount; ++i)
        s.ids[static_cast<std::size_t>(i)] = world.countries[static_cast<std::size_t>(i)].id;
    return s;
}

void PutKnownWorld(const WorldRecord& known) { ApplyWorld(world, known); }

bool InRange(std::int32_t value, std::int32_t low, std::int32_t high) { return value >= low && value <= high; }

// The ranges the rest of the game relies on after a load.
void CheckLoadedWorld()
{
    FUZZ_REQUIRE(InRange(world.playerRuler, 1, kRulerCount - 1));
    FUZZ_REQUIRE(InRange(world.turnCountry, -1, kCountryCount - 1));
    FUZZ_REQUIRE(world.year >= 0);
    FUZZ_REQUIRE(InRange(world.month, 1, 12));
    for (int i = 0; i < kCountryCount; ++i) {
        const Country& c = world.countries[static_cast<std::size_t>(i)];
        FUZZ_REQUIRE(c.id == i);
        FUZZ_REQUIRE(InRange(c.GetRuler(), 0, kRulerCount - 1));
        FUZZ_REQUIRE(InRange(c.GetTraining(), 0, Country::kMaxTraining));
        for (std::int32_t value : {c.GetPopulation(), c.GetCultivation(), c.GetCommerce(), c.GetSoldiers(),
                                   c.GetProvisions(), c.GetFunds(), c.GetMapX(), c.GetMapY()})
            FUZZ_REQUIRE(value >= 0);
        // A name is one line of the file and is shown through the converter.
        const std::string name = c.GetName();
        FUZZ_REQUIRE(name.find('\n') == std::string::npos);
        FUZZ_REQUIRE(fuzz::IsUtf8(CountryNameUtf8(world, i)));
        const std::vector<std::uint32_t>& neighbours = c.GetNeighbours();
        FUZZ_REQUIRE(!neighbours.empty());
        FUZZ_REQUIRE(neighbours.size() <= static_cast<std::size_t>(kMaxNeighbourEntries));
        for (std::uint32_t n : neighbours)
            FUZZ_REQUIRE(n < static_cast<std::uint32_t>(kCountryCount));
    }
}

const WorldRecord kKnown = KnownWorld();

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    PutKnownWorld(kKnown);
    const Snapshot before = Take();

    const std::string text(reinterpret_cast<const char*>(data), size);
    // The lines a reader finds: a last line without its line end counts.
    const std::size_t lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) +
                              (!text.empty() && text.back() != '\n' ? 1 : 0);

    // Read as a starting world first: the same world, bar a player's ruler of 0.
    const LoadOutcome starting = LoadCountryText(world, text, "fuzz.txt", CountryFileUse::StartingWorld);
    const WorldRecord startingWorld = CaptureWorld(world, world.turnCountry);
    PutKnownWorld(kKnown);

    const LoadOutcome outcome = LoadCountryText(world, text, "fuzz.txt");
    if (outcome.status == LoadStatus::Loaded) {
        FUZZ_REQUIRE(starting.status == LoadStatus::Loaded);
        FUZZ_REQUIRE(CaptureWorld(world, world.turnCountry) == startingWorld);
    } else if (starting.status == LoadStatus::Loaded) {
        FUZZ_REQUIRE(startingWorld.playerRuler == 0);
    }
    if (starting.status == LoadStatus::Refused)
        FUZZ_REQUIRE(startingWorld == before.world);
    if (lines < static_cast<std::size_t>(kCountryFileLines)) {
        FUZZ_REQUIRE(starting.status == LoadStatus::Refused);
        FUZZ_REQUIRE(outcome.status == LoadStatus::Refused);
    }
    switch (outcome.status) {
    case LoadStatus::Refused:
        FUZZ_REQUIRE(!outcome.words.Text().empty());
        FUZZ_REQUIRE(Take() == before);
        return 0;
    case LoadStatus::NotFound:
        FUZZ_REQUIRE(!"text in memory is never missing");
        return 0;
    case LoadStatus::Loaded:
        break;
    }
    FUZZ_REQUIRE(outcome.words.Text().empty());
    CheckLoadedWorld();

    // What a save writes is a file of exactly the format's lines, and loading it gives
    // the same world again, whatever the world was before.
    const WorldRecord loaded = CaptureWorld(world, world.turnCountry);
    const std::string saved = platform::JoinLines(FormatCountryFile(loaded));
    FUZZ_REQUIRE(std::count(saved.begin(), saved.end(), '\n') == kCountryFileLines);
    PutKnownWorld(kKnown);
    const LoadOutcome again = LoadCountryText(world, saved, "saved.txt");
    FUZZ_REQUIRE(again.status == LoadStatus::Loaded);
    FUZZ_REQUIRE(CaptureWorld(world, world.turnCountry) == loaded);

    // Every turn of a year, from wherever the cursor stands: harvest, taxes, upkeep
    // and growth on the loaded figures keep the world in range.
    world.random.Seed(1);
    EventSink unheard;
    for (int turn = 0; turn < kCountryCount * 13; ++turn)
        AdvanceTurn(world, unheard);
    CheckLoadedWorld();
    FUZZ_REQUIRE(world.year >= loaded.year);
    return 0;
}
