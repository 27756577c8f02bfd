// SPDX-License-Identifier: GPL-3.0-or-later
// A fixture that starts every test from the program-start world.
#pragma once

#include <gtest/gtest.h>

#include "model/world.h"
#include "platform/random.h"

class WorldTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        GameState::ResetToProgramStart();
        for (int i = 0; i < kCountryCount; ++i)
            GameState::countries[i].SetId(i);
        platform::ThreadRandom().Seed(1);
    }
    void TearDown() override { GameState::ResetToProgramStart(); }

    static Country& C(int i) { return GameState::countries[i]; }
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
