// SPDX-License-Identifier: GPL-3.0-or-later
#include "foresight/trial.h"

#include <algorithm>
#include <system_error>
#include <vector>

#include "rules/turn.h"

namespace foresight {

std::uint64_t Mix(std::uint64_t x)
{
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

std::uint64_t TrialSeed(const GameState& world, int index)
{
    std::uint64_t base = Mix(world.random.State());
    base = Mix(base ^ world.commandRandom.State());
    base = Mix(base ^ (static_cast<std::uint64_t>(static_cast<std::uint32_t>(world.year.Get())) << 8) ^
               static_cast<std::uint64_t>(world.month.Get() * kCountryCount + world.turnCountry));
    return Mix(base + static_cast<std::uint64_t>(index));
}

void SeedCopy(GameState& copy, std::uint64_t seed)
{
    copy.clock = platform::GameClock();
    copy.clock.FixFrom(static_cast<std::int64_t>(seed >> 33));
    copy.random.Seed(static_cast<std::uint32_t>(seed));
    copy.commandRandom.Seed(static_cast<std::uint32_t>(seed >> 32));
}

void SeedTurn(GameState& copy, std::uint64_t seed)
{
    const auto turn = static_cast<std::uint64_t>(TurnNumber(copy, copy.turnCountry));
    const std::uint64_t mixed = Mix(Mix(seed ^ 0x7E5EEDull) + turn);
    copy.random.Seed(static_cast<std::uint32_t>(mixed));
    copy.commandRandom.Seed(static_cast<std::uint32_t>(mixed >> 32));
}

bool PlayOn(GameSession& session, std::uint64_t seed, int horizon, const PolicyThresholds& policy,
            const std::atomic<bool>& cancel, bool seedTurns)
{
    GameState& copy = session.world;
    // The phase follows from the copy as it stands: a player's command given (or to be
    // given), or a computer country's order carried out with the turns of the others next.
    if (session.Phase() == TurnPhase::NoGame)
        session.Resume();
    int months = 0;
    std::int32_t lastMonth = copy.month;
    for (std::uint32_t step = 1; !session.Ended(); ++step) {
        if (cancel.load(std::memory_order_relaxed))
            return false;
        if (session.Phase() == TurnPhase::ComputerTurns)
            session.StartComputerTurns();
        else if (session.Apply(command::Rest{}).refusal != CommandRefusal::None)
            break;
        const std::int32_t month = copy.month;
        months += ((month - lastMonth) % 12 + 12) % 12;
        lastMonth = month;
        if (session.Ended() || months >= horizon)
            break;
        if (seedTurns)
            SeedTurn(copy, seed);
        const PlayerCommand next = PolicyCommand(copy, static_cast<std::uint32_t>(Mix(seed + step)), policy);
        if (!std::holds_alternative<command::Rest>(next))
            session.Apply(next);
    }
    return true;
}

TrialEnd EndOf(const GameState& world, RulerId ruler, const LossWatch& watch, int horizon)
{
    TrialEnd end;
    for (const Country& c : world.countries) {
        if (c.GetRuler() == ruler) {
            ++end.held;
            end.strength += Strength(c);
        }
        end.playerHeld += world.IsPlayer(c.GetRuler());
    }
    end.lost = watch.lost;
    end.lostTo = watch.lostTo;
    end.months = std::max(horizon, watch.months);
    end.heldMonths = watch.heldMonths + std::int64_t{end.months - watch.months} * end.held;
    return end;
}

int RunOnThreads(int threads, const std::function<void()>& work, const ThreadStarter& start)
{
    std::vector<std::thread> helpers;
    for (int t = 1; t < threads; ++t) {
        try {
            helpers.push_back(start ? start(work) : std::thread(work));
        } catch (const std::system_error&) {
            break; // the system has no thread to spare: the ones started do the work
        }
    }
    work();
    for (std::thread& helper : helpers)
        helper.join();
    return 1 + static_cast<int>(helpers.size());
}

int ThreadsFor(int wish)
{
    return wish > 0 ? wish : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

} // namespace foresight
