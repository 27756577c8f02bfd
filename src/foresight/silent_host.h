// SPDX-License-Identifier: GPL-3.0-or-later
// The host of a game nobody watches: no window, no words, every battle fought at once.
// Look-ahead plays its copies of the world through it.
#pragma once

#include "rules/battle.h"
#include "rules/turn.h"

namespace foresight {

class SilentHost : public TurnHost {
public:
    void TurnBegin(int) override {}
    void PlayerTurn(int) override {}
    void ShowMessage(const platform::Message&, int) override {}
    bool Present(BattleScript& script) override
    {
        script.Start();
        script.Finish();
        return true;
    }
};

} // namespace foresight
