// SPDX-License-Identifier: GPL-3.0-or-later
#include "rules/computer.h"

#include "model/country_file.h"
#include "model/game_state.h"
#include "platform/random.h"
#include "rules/commands.h"
#include "rules/difficulty.h"
#include "rules/names.h"
#include "rules/turn_host.h"

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

// A war of computer country c on target: a player's in the battle window, any other
// at once with the battle's markers shown.
void Attack(GameState& world, EventSink& events, TurnHost& host, int c, int target)
{
    if (world.IsPlayer(world.countries[target].GetRuler())) {
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

void ConsiderWar(GameState& world, EventSink& events, TurnHost& host, int c, Difficulty level)
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
    const int likeliest = level == Difficulty::Hard ? LikeliestConquest(world, c) : -1;
    if (likeliest >= 0) {
        target = likeliest;
    } else if (target < 0 ||
               Strength(world.countries[target]) >= static_cast<__int128>(kAttackMargin) * Strength(country)) {
        CarryOut(world, events, DomesticCommand::DevelopLand, country, world.random);
        return;
    }

    if (level == Difficulty::Easy && world.IsPlayer(world.countries[target].GetRuler()) &&
        !ClearAdvantage(world, c, target)) {
        CarryOut(world, events, DomesticCommand::DevelopLand, country, world.random);
        return;
    }
    Attack(world, events, host, c, target);
}

} // namespace

std::vector<ComputerOrder> ComputerChoices(const GameState& world, int c)
{
    std::vector<ComputerOrder> orders;
    if (!GameState::IsCountryIndex(c))
        return orders;
    const Country& country = world.countries[c];
    if (country.GetSoldiers() < kArmyMinimum || country.GetFunds() < kActionFunds)
        return orders;
    for (DomesticCommand what : {DomesticCommand::DevelopLand, DomesticCommand::DevelopCommerce,
                                 DomesticCommand::Conscript, DomesticCommand::Train})
        if (DomesticBlock(world, what, c) == CommandBlock::None)
            orders.push_back(ComputerOrder::Domestic(what));
    if (country.GetProvisions() >= country.GetSoldiers())
        for (int target : AttackTargets(world, c))
            orders.push_back(ComputerOrder::War(target));
    return orders;
}

void CarryOutComputerOrder(GameState& world, EventSink& events, TurnHost& host, int c, const ComputerOrder& order)
{
    if (!GameState::IsCountryIndex(c))
        return;
    if (order.kind == ComputerOrder::Kind::War) {
        if (GameState::IsCountryIndex(order.target) && world.countries[c].IsHostileNeighbour(world.countries[order.target]))
            Attack(world, events, host, c, order.target);
        return;
    }
    CarryOut(world, events, order.what, world.countries[c], world.random);
}

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

    Difficulty level = world.LevelOf(country.GetRuler());
    if (level == Difficulty::Master) {
        // The look-ahead chooses on copies of the world; no draw of the game is made for it.
        if (host.planner) {
            CarryOutComputerOrder(world, events, host, c, host.planner->Choose(world, c));
            return;
        }
        level = Difficulty::Normal; // nobody looks ahead for it here: a look-ahead's own copies
    }
    const int draw = world.random.Draw() % 10;
    if (WeighsWar(level, draw)) {
        ConsiderWar(world, events, host, c, level);
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
