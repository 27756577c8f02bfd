// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/country_file.h"
#include "model/game_state.h"
#include "platform/random.h"
#include "rules/commands.h"
#include "rules/difficulty.h"
#include "rules/names.h"
#include "rules/turn.h"

namespace {

constexpr std::int32_t kArmyMinimum = 10000;
constexpr std::int32_t kActionFunds = Country::kActionCost;
// A neighbour this strong or stronger is never chosen as a target.
constexpr std::int64_t kStrengthCeiling = 0xEFFFFF;
constexpr int kAttackMargin = 2;
constexpr int kMessageMs = 1000;

// training * soldiers, formed wide so that a large army does not wrap into a weak one.
std::int64_t Strength(const Country& c)
{
    return static_cast<std::int64_t>(c.GetTraining()) * c.GetSoldiers();
}

// The weakest hostile neighbour of c below the ceiling, or -1. Ties keep the earlier
// neighbour in c's list. Sets hasCandidate when c has any hostile neighbour at all.
int ChooseTarget(const GameState& world, const Country& c, bool& hasCandidate)
{
    int candidates[kMaxNeighbourEntries];
    int count = 0;
    for (std::uint32_t n : c.GetNeighbours()) {
        if (count == kMaxNeighbourEntries)
            break;
        if (n < static_cast<std::uint32_t>(kCountryCount) && c.IsHostileNeighbour(world.countries[n]))
            candidates[count++] = static_cast<int>(n);
    }
    hasCandidate = count > 0;

    int choice = -1;
    std::int64_t best = kStrengthCeiling;
    for (int i = 0; i < count; ++i) {
        const std::int64_t strength = Strength(world.countries[candidates[i]]);
        if (strength < best) {
            best = strength;
            choice = candidates[i];
        }
    }
    return choice;
}

// An attack on a country of a player: announced, fought in the battle window, and
// its outcome announced. Returns without a word more when the program is ending.
void AttackPlayer(GameState& world, EventSink& events, TurnHost& host, int attacker, int target)
{
    using platform::Message;
    host.ShowMessage(Message(VELCOR_TEXT("Message", "%1 が攻撃されています"), {CountryWords(world, target)}),
                   kMessageMs);
    if (host.StopRequested())
        return;
    const bool won = ResolvePlayerBattle(world, events, attacker, target, host, world.random);
    if (host.StopRequested())
        return;
    if (won)
        host.ShowMessage(Message(VELCOR_TEXT("Message", "%1 が陥落しました"), {CountryWords(world, target)}),
                       kMessageMs);
    else
        host.ShowMessage(Message(VELCOR_TEXT("Message", "%1 は退却しました"),
                               {RulerWords(world, world.countries[attacker].GetRuler())}),
                       kMessageMs);
}

void ConsiderWar(GameState& world, EventSink& events, TurnHost& host, int c)
{
    Country& country = world.countries[c];
    if (country.GetProvisions() < country.GetSoldiers()) {
        CarryOut(world, events, DomesticCommand::Train, country, world.random);
        return;
    }
    bool hasCandidate = false;
    int target = ChooseTarget(world, country, hasCandidate);
    if (!hasCandidate) {
        CarryOut(world, events, DomesticCommand::Train, country, world.random);
        return;
    }
    const Difficulty level = world.LevelOf(country.GetRuler());
    const int likeliest = level == Difficulty::Hard ? LikeliestConquest(world, c) : -1;
    if (likeliest >= 0) {
        target = likeliest;
    } else if (target < 0 ||
               Strength(world.countries[target]) >= static_cast<__int128>(kAttackMargin) * Strength(country)) {
        CarryOut(world, events, DomesticCommand::DevelopLand, country, world.random);
        return;
    }

    if (world.IsPlayer(world.countries[target].GetRuler())) {
        if (level == Difficulty::Easy && !ClearAdvantage(world, c, target)) {
            CarryOut(world, events, DomesticCommand::DevelopLand, country, world.random);
            return;
        }
        AttackPlayer(world, events, host, c, target);
        return;
    }
    host.MarkBattle(c, target);
    host.TurnBegin(c); // the view shows the battle markers
    if (host.StopRequested())
        return;
    ResolveComputerBattle(world, events, c, target);
    host.MarkBattle(-1, -1);
}

} // namespace

void RunComputerTurn(GameState& world, EventSink& events, TurnHost& host, int c)
{
    if (!GameState::IsCountryIndex(c))
        return;
    Country& country = world.countries[c];
    if (country.GetSoldiers() < kArmyMinimum) {
        CarryOut(world, events, DomesticCommand::Conscript, country, world.random);
        return;
    }
    if (country.GetFunds() < kActionFunds)
        return; // every paid action needs the funds; no draw is made

    const int draw = world.random.Draw() % 10;
    if (WeighsWar(world.LevelOf(country.GetRuler()), draw)) {
        ConsiderWar(world, events, host, c);
        return;
    }
    switch (draw) {
    case 1:
    case 2:
    case 3:
        CarryOut(world, events, DomesticCommand::DevelopLand, country, world.random);
        break;
    case 4:
    case 5:
        CarryOut(world, events, DomesticCommand::DevelopCommerce, country, world.random);
        break;
    case 6:
    case 7:
        CarryOut(world, events, DomesticCommand::Conscript, country, world.random);
        break;
    default:
        CarryOut(world, events, DomesticCommand::Train, country, world.random);
        break;
    }
}
