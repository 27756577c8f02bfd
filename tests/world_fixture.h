// SPDX-License-Identifier: GPL-3.0-or-later
// A fixture that starts every test from the program-start world.
#pragma once

#include <gtest/gtest.h>

#include "model/game_state.h"
#include "platform/random.h"
#include "rules/events.h"

class WorldTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (int i = 0; i < kCountryCount; ++i)
            world.countries[i].SetId(i);
        world.random.Seed(1);
        world.commandRandom.Seed(1);
    }

    Country& C(int i) { return world.countries[i]; }

    GameState world;
    EventSink events;
};

// The first seed from which the first draw satisfies pred (for steering a draw).
template <typename Pred>
std::uint32_t SeedWhoseFirstDraw(Pred pred)
{
    for (std::uint32_t seed = 1;; ++seed) {
        platform::Random r(seed);
        if (pred(r.Draw()))
            return seed;
    }
}
