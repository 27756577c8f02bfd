// SPDX-License-Identifier: GPL-3.0-or-later
#include "rules/battle.h"

#include "platform/message.h"

#include "model/arithmetic.h"
#include "model/game_state.h"
#include "platform/clock.h"
#include "rules/event_report.h"
#include "rules/names.h"

namespace {

constexpr int kFactorRange = 10;
constexpr std::int32_t kLossDivisor = 1000;

// Script steps: three opening lines, the exchanges, two closing lines, the close.
constexpr int kFirstExchangeStep = 3;
constexpr int kLastExchangeStep = kFirstExchangeStep + BattleScript::kBattleExchanges - 1;
constexpr int kFirstClosingLineStep = kLastExchangeStep + 1;
constexpr int kSecondClosingLineStep = kFirstClosingLineStep + 1;
static_assert(kSecondClosingLineStep + 1 == BattleScript::kClosingStep);

// soldiers * training * factor / 1000, formed wide: a large army must not wrap.
std::int32_t Loss(std::int32_t soldiers, std::int32_t training, int factor)
{
    return SaturateToInt32(static_cast<__int128>(soldiers) * training * factor / kLossDivisor);
}

} // namespace

void FightExchange(std::int32_t& attacker, std::int32_t attackerTraining, std::int32_t& target,
                   std::int32_t targetTraining, platform::Random& rng)
{
    const BattleLosses losses = BattleExchange(attacker, attackerTraining, target, targetTraining, rng);
    attacker = SaturatingAdd(attacker, -static_cast<__int128>(losses.attacker));
    target = SaturatingAdd(target, -static_cast<__int128>(losses.target));
    if (attacker < 0)
        attacker = 0;
    if (target < 0)
        target = 0;
}

namespace {

// The soldiers of both sides as a battle begins, for its event.
struct BattleStart {
    int attacker;
    int target;
    RulerId attackerRuler;
    RulerId targetRuler;
    std::int32_t attackerSoldiers;
    std::int32_t targetSoldiers;
};

BattleStart Before(const GameState& world, int attacker, int target)
{
    const Country& a = world.countries[attacker];
    const Country& t = world.countries[target];
    return {attacker, target, a.GetRuler(), t.GetRuler(), a.GetSoldiers(), t.GetSoldiers()};
}

// Reports a battle that has been settled, and the capture that may follow it. Call it
// after the target has changed hands (when taken), so that the figures after are those
// of the end of the battle.
void ReportBattle(const GameState& world, EventSink& events, const BattleStart& start, bool taken, bool byPlayer, std::int32_t attackerAfter,
                  std::int32_t targetAfter)
{
    if (EventReport e{world, events, EventKind::Battle}) {
        e->country = static_cast<std::int8_t>(start.attacker);
        e->target = static_cast<std::int8_t>(start.target);
        e->ruler = static_cast<std::int8_t>(start.attackerRuler);
        e->otherRuler = static_cast<std::int8_t>(start.targetRuler);
        e->byPlayer = byPlayer;
        e->SetBattle(taken ? BattleOutcome::Taken
                           : attackerAfter <= 0 ? BattleOutcome::Repelled : BattleOutcome::Retreat,
                     start.attackerSoldiers, attackerAfter, start.targetSoldiers, targetAfter);
    } else {
        return;
    }
    if (taken)
        ReportCapture(world, events, start.target, start.attacker, start.targetRuler, start.attackerRuler);
}

} // namespace

const std::array<std::string_view, 12> kBattleCries = {
    VELCOR_TEXT("Message", "我が軍の力を見せてやる"), VELCOR_TEXT("Message", "背後から突っ込め"),
    VELCOR_TEXT("Message", "降伏するなら許してやる"), VELCOR_TEXT("Message", "お前の首はもらった！"),
    VELCOR_TEXT("Message", "捻り潰してやるわ！"),     VELCOR_TEXT("Message", "うろたえるな"),
    VELCOR_TEXT("Message", "篭城して持ちこたえるぞ"), VELCOR_TEXT("Message", "背水の陣で戦え"),
    VELCOR_TEXT("Message", "突撃だ！"),               VELCOR_TEXT("Message", "大将の首を狙え！"),
    VELCOR_TEXT("Message", "力押しに押せ！"),         VELCOR_TEXT("Message", "勝利は目前だぞ！"),
};

const std::array<std::string_view, 12> kBattleEndLines = {
    VELCOR_TEXT("Message", "大将の首を取ったぞ！"), VELCOR_TEXT("Message", "もはや勝負は決まった！"),
    VELCOR_TEXT("Message", "大将の首を取ったぞ！"), VELCOR_TEXT("Message", "敵は退却するぞ！"),
    VELCOR_TEXT("Message", "兵糧が尽きてしまった"), VELCOR_TEXT("Message", "一旦退却するか・・・"),
    VELCOR_TEXT("Message", "負けるとは・・・"),     VELCOR_TEXT("Message", "無念・・・"),
    VELCOR_TEXT("Message", "無念・・・"),           VELCOR_TEXT("Message", "一旦退却するか・・・"),
    VELCOR_TEXT("Message", "我らの勝利だ！"),       VELCOR_TEXT("Message", "退却するぞ"),
};

BattleLosses BattleExchange(std::int32_t attackerSoldiers, std::int32_t attackerTraining,
                            std::int32_t targetSoldiers, std::int32_t targetTraining, platform::Random& rng)
{
    const int f1 = rng.Draw() % kFactorRange;
    const int f2 = rng.Draw() % kFactorRange;
    BattleLosses losses;
    losses.target = Loss(attackerSoldiers, attackerTraining, f1);
    losses.attacker = Loss(targetSoldiers, targetTraining, f2);
    return losses;
}

bool ResolveComputerBattle(GameState& world, EventSink& events, int attacker, int target)
{
    if (!GameState::IsCountryIndex(attacker) || !GameState::IsCountryIndex(target))
        return false;
    Country& a = world.countries[attacker];
    Country& t = world.countries[target];
    const BattleStart start = Before(world, attacker, target);
    // The figures at the end of the fighting, before a capture moves the army in.
    std::int32_t attackerSoldiers = a.GetSoldiers();
    std::int32_t targetSoldiers = t.GetSoldiers();
    auto settle = [&](bool taken) {
        if (taken)
            a.Occupy(t);
        ReportBattle(world, events, start, taken, false, attackerSoldiers, targetSoldiers);
        return taken;
    };

    // The war is paid before it is fought: provisions for the whole army as it marches.
    a.AddProvisions(-a.GetSoldiers());
    a.AddFunds(-kWarCostFunds);

    if (t.GetRuler() == 0)
        return settle(true);
    platform::Random& rng = world.random;
    for (int i = 0; i < kComputerBattleExchanges; ++i) {
        attackerSoldiers = a.GetSoldiers();
        targetSoldiers = t.GetSoldiers();
        FightExchange(attackerSoldiers, a.GetTraining(), targetSoldiers, t.GetTraining(), rng);
        a.SetSoldiers(attackerSoldiers);
        t.SetSoldiers(targetSoldiers);
        // The target is looked at first: when both fall, the attacker takes it with
        // what it has left (nothing).
        if (targetSoldiers == 0)
            return settle(true);
        if (attackerSoldiers == 0)
            return settle(false);
    }
    return settle(false);
}

BattleScript::BattleScript(GameState& world, int attacker, int target, platform::Random& rng)
    : m_random(rng), m_clock(world.clock)
{
    if (!GameState::IsCountryIndex(attacker) || !GameState::IsCountryIndex(target))
        return;
    const Country& a = world.countries[attacker];
    const Country& t = world.countries[target];
    m_nAttacker = attacker;
    m_nTarget = target;
    m_attackerName = CountryWords(world, attacker);
    m_targetName = CountryWords(world, target);
    m_nAttackerRuler = a.GetRuler();
    m_nTargetRuler = t.GetRuler();
    m_nAttackerSoldiers = a.GetSoldiers();
    m_nTargetSoldiers = t.GetSoldiers();
    m_nAttackerTraining = a.GetTraining();
    m_nTargetTraining = t.GetTraining();
}

void BattleScript::Start()
{
    // srand(time(NULL)) for the generator of whoever asked for the battle; two battles
    // opened in the same second therefore go the same way.
    platform::SeedFromClock(m_random, m_clock);
    m_nVariant = m_random.Draw() % 2;
    if (m_nAttackerSoldiers <= 0 || m_nTargetSoldiers <= 0)
        m_nStep = kClosingStep; // nothing to fight
    Speak(m_nStep);
}

bool BattleScript::Tick()
{
    if (m_nStep >= kClosingStep) {
        m_finished = true;
        return true;
    }
    if (m_nStep < kFirstExchangeStep || m_nStep >= kFirstClosingLineStep) {
        Speak(m_nStep);
        ++m_nStep;
        return false;
    }
    FightExchange(m_nAttackerSoldiers, m_nAttackerTraining, m_nTargetSoldiers, m_nTargetTraining, m_random);
    if (m_nAttackerSoldiers == 0 || m_nTargetSoldiers == 0)
        m_nStep = kLastExchangeStep; // on to the closing lines
    ++m_nStep;
    return false;
}

void BattleScript::Finish()
{
    while (!Tick()) {
    }
}

void BattleScript::Speak(int step)
{
    const int v = m_nVariant;
    const std::int32_t a = m_nAttackerSoldiers;
    const std::int32_t t = m_nTargetSoldiers;
    // The opening lines go by who is stronger (the attacker on equal counts).
    const int stronger = a < t ? 0 : 2;
    switch (step) {
    case 0:
        m_strAttackerLine = kBattleCries[0 + stronger + v];
        break;
    case 1:
        m_strTargetLine = kBattleCries[4 + stronger + v];
        break;
    case 2:
        m_strAttackerLine = kBattleCries[8 + stronger + v];
        break;
    case kFirstClosingLineStep:
        if (t <= 0)
            m_strAttackerLine = kBattleEndLines[0 + v];
        else if (a <= 0)
            m_strTargetLine = kBattleEndLines[2 + v];
        else
            m_strAttackerLine = kBattleEndLines[4 + v];
        break;
    case kSecondClosingLineStep:
        if (t <= 0)
            m_strTargetLine = kBattleEndLines[6 + v];
        else if (a <= 0)
            m_strAttackerLine = kBattleEndLines[8 + v];
        else
            m_strTargetLine = kBattleEndLines[10 + v];
        break;
    default:
        break; // the exchanges and the close: the lines stand
    }
}

bool ResolvePlayerBattle(GameState& world, EventSink& events, int attacker, int target, BattlePresenter& presenter,
                         platform::Random& rng)
{
    if (!GameState::IsCountryIndex(attacker) || !GameState::IsCountryIndex(target))
        return false;
    BattleScript script(world, attacker, target, rng);
    const BattleStart start = Before(world, attacker, target);
    if (!presenter.Present(script))
        return false;

    Country& a = world.countries[attacker];
    Country& t = world.countries[target];
    a.SetSoldiers(script.m_nAttackerSoldiers);
    t.SetSoldiers(script.m_nTargetSoldiers);
    // The player's war is paid after the fight, provisions for the survivors only.
    a.AddProvisions(-a.GetSoldiers());
    a.AddFunds(-kWarCostFunds);
    const bool taken = t.GetSoldiers() <= 0;
    if (taken)
        a.Occupy(t);
    ReportBattle(world, events, start, taken, true, script.m_nAttackerSoldiers, script.m_nTargetSoldiers);
    return taken;
}
