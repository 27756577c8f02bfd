// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/country_file.h"
#include "model/game_state.h"
#include "platform/random.h"
#include "rules/commands.h"
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
int ChooseTarget(const Country& c, bool& hasCandidate)
{
    int candidates[kMaxNeighbourEntries];
    int count = 0;
    for (std::uint32_t n : c.GetNeighbours()) {
        if (count == kMaxNeighbourEntries)
            break;
        if (n < static_cast<std::uint32_t>(kCountryCount) && c.IsHostileNeighbour(GameState::countries[n]))
            candidates[count++] = static_cast<int>(n);
    }
    hasCandidate = count > 0;

    int choice = -1;
    std::int64_t best = kStrengthCeiling;
    for (int i = 0; i < count; ++i) {
        const std::int64_t strength = Strength(GameState::countries[candidates[i]]);
        if (strength < best) {
            best = strength;
            choice = candidates[i];
        }
    }
    return choice;
}

// An attack on a country of the player: announced, fought in the battle window, and
// its outcome announced. Returns without a word more when the program is ending.
void AttackPlayer(TurnHost& host, int attacker, int target)
{
    using platform::Message;
    host.ShowWords(Message(VELCOR_TEXT("Message", "%1 が攻撃されています"), {Message::Plain(CountryNameUtf8(target))}),
                   kMessageMs);
    if (host.StopRequested())
        return;
    const bool won = ResolvePlayerBattle(attacker, target, host);
    if (host.StopRequested())
        return;
    if (won)
        host.ShowWords(Message(VELCOR_TEXT("Message", "%1 が陥落しました"), {Message::Plain(CountryNameUtf8(target))}),
                       kMessageMs);
    else
        host.ShowWords(Message(VELCOR_TEXT("Message", "%1 は退却しました"),
                               {Message::Plain(RulerNameUtf8(GameState::countries[attacker].GetRuler()))}),
                       kMessageMs);
}

void ConsiderWar(TurnHost& host, int c)
{
    Country& country = GameState::countries[c];
    if (country.GetProvisions() < country.GetSoldiers()) {
        CarryOut(DomesticCommand::Train, country);
        return;
    }
    bool hasCandidate = false;
    const int target = ChooseTarget(country, hasCandidate);
    if (!hasCandidate) {
        CarryOut(DomesticCommand::Train, country);
        return;
    }
    if (target < 0 || Strength(GameState::countries[target]) >= static_cast<__int128>(kAttackMargin) * Strength(country)) {
        CarryOut(DomesticCommand::DevelopLand, country);
        return;
    }

    if (GameState::countries[target].GetRuler() == GameState::playerRuler) {
        AttackPlayer(host, c, target);
        return;
    }
    GameState::battleAttacker = c;
    GameState::battleTarget = target;
    host.TurnBegin(c); // the view shows the battle markers
    if (host.StopRequested())
        return;
    ResolveComputerBattle(c, target);
    GameState::battleAttacker = -1;
    GameState::battleTarget = -1;
}

} // namespace

void RunComputerTurn(TurnHost& host, int c)
{
    if (!GameState::IsCountryIndex(c))
        return;
    Country& country = GameState::countries[c];
    if (country.GetSoldiers() < kArmyMinimum) {
        CarryOut(DomesticCommand::Conscript, country);
        return;
    }
    if (country.GetFunds() < kActionFunds)
        return; // every paid action needs the funds; no draw is made

    switch (platform::Rand() % 10) {
    case 0:
        ConsiderWar(host, c);
        break;
    case 1:
    case 2:
    case 3:
        CarryOut(DomesticCommand::DevelopLand, country);
        break;
    case 4:
    case 5:
        CarryOut(DomesticCommand::DevelopCommerce, country);
        break;
    case 6:
    case 7:
        CarryOut(DomesticCommand::Conscript, country);
        break;
    default:
        CarryOut(DomesticCommand::Train, country);
        break;
    }
}
