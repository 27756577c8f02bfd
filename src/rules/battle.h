// SPDX-License-Identifier: GPL-3.0-or-later
// Battles: the exchange of losses, the immediate battle between computer rulers and
// the player's battle, which is fought step by step by the battle script while the
// battle window shows it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "model/game_state.h"
#include "platform/message.h"
#include "platform/random.h"
#include "rules/events.h"

// Funds a war costs, and the funds it needs before a target is chosen. A war also
// needs provisions at least equal to the soldiers, and costs provisions for every
// soldier still standing after the fight.
inline constexpr std::int32_t kWarCostFunds = 1000;

struct BattleLosses {
    std::int32_t attacker = 0; // soldiers the attacker loses
    std::int32_t target = 0;   // soldiers the target loses
};

// One exchange: draws f1 then f2 (rand() % 10 each) from rng; the target loses
// attackerSoldiers * attackerTraining * f1 / 1000, the attacker
// targetSoldiers * targetTraining * f2 / 1000, both from the counts before.
BattleLosses BattleExchange(std::int32_t attackerSoldiers, std::int32_t attackerTraining,
                            std::int32_t targetSoldiers, std::int32_t targetTraining,
                            platform::Random& rng);

// Applies an exchange to both counts; a side that falls below 0 stands at 0.
void FightExchange(std::int32_t& attacker, std::int32_t attackerTraining, std::int32_t& target,
                   std::int32_t targetTraining, platform::Random& rng);

// A computer country attacks a country that is not the player's; settled at once with
// draws from the world's generator. True when the target was taken.
bool ResolveComputerBattle(GameState& world, EventSink& events, int attacker, int target);

extern const std::array<std::string_view, 12> kBattleCries;
extern const std::array<std::string_view, 12> kBattleEndLines;

// The exchanges of a battle the computer fights out of sight; the battle window's
// are BattleScript::kBattleExchanges.
inline constexpr int kComputerBattleExchanges = 3;

// The script of the battle window: steps 0..9, the lines the two commanders speak and
// up to four exchanges. The window only draws it and calls Tick on its timer; tests
// and the headless mode run it at once.
class BattleScript {
public:
    static constexpr int kBattleTimerId = 1;
    static constexpr int kBattleStepMs = 1500;
    static constexpr int kBattleExchanges = 4;
    static constexpr int kClosingStep = 9;

    // Takes both sides from the world. The draws of the battle come from rng, the
    // generator of whoever asked for the battle, whichever thread then steps it.
    BattleScript(GameState& world, int attacker, int target, platform::Random& rng);

    // The window's opening: reseeds the generator from the clock, draws the variant,
    // starts at step 9 when a side has no soldiers, speaks the current step.
    void Start();

    // One timer step. Returns true when the window is to close (nothing changed).
    bool Tick();

    // Runs the remaining steps at once: the outcome the timer would have given.
    void Finish();

    bool Finished() const { return m_finished; }

    // Sets the line of one step (see the table of lines) and leaves the other line.
    void Speak(int step);

    // What the window shows. Strings are UTF-8.
    int m_nStep = 0;
    int m_nVariant = 0;
    platform::Message m_attackerName; // the countries' names, by id
    platform::Message m_targetName;
    int m_nAttacker = 0;
    int m_nTarget = 0;
    std::string m_strAttackerLine;
    std::string m_strTargetLine;
    int m_nAttackerRuler = 0;
    int m_nTargetRuler = 0;
    std::int32_t m_nAttackerSoldiers = 0;
    std::int32_t m_nTargetSoldiers = 0;
    std::int32_t m_nAttackerTraining = 0;
    std::int32_t m_nTargetTraining = 0;

private:
    platform::Random& m_random;
    platform::GameClock& m_clock; // the battle's world's, read when the window opens
    bool m_finished = false;
};

// Shows a battle until it is over: the battle window in the game, an immediate run in
// tests and the headless mode. Returns false when the battle was abandoned because the
// program is ending; the world must then not be touched.
class BattlePresenter {
public:
    virtual ~BattlePresenter() = default;
    virtual bool Present(BattleScript& script) = 0;
};

// The player's battle, as attacker or as the attacked: the presenter fights it with
// draws from rng, then the costs are charged and a fallen target changes hands. True
// when taken.
bool ResolvePlayerBattle(GameState& world, EventSink& events, int attacker, int target, BattlePresenter& presenter,
                         platform::Random& rng);
