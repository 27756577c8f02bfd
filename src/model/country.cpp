// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/country.h"

#include "model/arithmetic.h"
#include "platform/numbers.h"
#include "platform/random.h"


void Country::AddProvisions(std::int32_t amount) { m_provisions = SaturatingAdd(m_provisions, amount); }
void Country::AddFunds(std::int32_t amount) { m_funds = SaturatingAdd(m_funds, amount); }
void Country::AddSoldiers(std::int32_t amount) { m_soldiers = SaturatingAdd(m_soldiers, amount); }

int Country::DevelopLand(platform::Random& rng)
{
    if (!CanPayAction())
        return 0;
    const int r = rng.Draw() % kDevelopRange;
    m_funds -= kActionCost;
    m_cultivation = SaturatingAdd(m_cultivation, r + 1);
    return 1;
}

int Country::DevelopCommerce(platform::Random& rng)
{
    if (!CanPayAction())
        return 0;
    const int r = rng.Draw() % kDevelopRange;
    m_funds -= kActionCost;
    m_commerce = SaturatingAdd(m_commerce, r + 1);
    return 1;
}

int Country::Conscript(platform::Random& rng)
{
    if (!CanPayAction())
        return 0;
    std::int32_t recruits = rng.Draw() % kConscriptRange + kConscriptMinimum;
    const std::int32_t population = m_population;
    if (recruits > population)
        recruits = population > 0 ? population : 0;
    const std::int32_t soldiers = m_soldiers;
    // The recruits come untrained, so training falls in proportion. With nobody in
    // the army and nobody recruited there is nothing to dilute: training stays.
    const std::int64_t total = std::int64_t{soldiers} + recruits;
    std::int32_t training = m_training;
    if (total != 0)
        training = static_cast<std::int32_t>(std::int64_t{training} * soldiers / total);
    m_population = population - recruits;
    m_soldiers = SaturatingAdd(soldiers, recruits);
    m_training = training;
    m_funds -= kActionCost;
    return 1;
}

int Country::Train(platform::Random& rng)
{
    if (!CanTrain())
        return 0;
    std::int32_t training = m_training + rng.Draw() % kTrainRange + 1;
    if (training > kMaxTraining)
        training = kMaxTraining;
    m_training = training;
    return 1;
}

std::int64_t Country::HarvestYield() const
{
    return m_ruler != 0 ? std::int64_t{m_cultivation.Get()} * m_population / 2000 : 0;
}

std::int64_t Country::TaxYield() const
{
    return m_ruler != 0 ? std::int64_t{m_commerce.Get()} * m_population / 5000 : 0;
}

std::int32_t Country::Upkeep() const { return m_ruler != 0 ? m_soldiers / 10 : 0; }

void Country::Harvest()
{
    if (m_ruler != 0)
        m_provisions = SaturatingAdd(m_provisions, HarvestYield());
}

void Country::CollectTaxes()
{
    if (m_ruler != 0)
        m_funds = SaturatingAdd(m_funds, TaxYield());
}

void Country::FeedTroops()
{
    if (m_ruler == 0)
        return;
    const std::int32_t soldiers = m_soldiers;
    const std::int32_t provisions = SaturatingAdd(m_provisions, -Upkeep());
    if (provisions < 0) {
        m_provisions = 0;
        m_soldiers = soldiers / 2;
    } else {
        m_provisions = provisions;
    }
}

void Country::GrowPopulation(platform::Random& rng)
{
    const int growth = rng.Draw() % 3 + 10;
    m_population = SaturatingAdd(m_population, static_cast<__int128>(growth) * m_commerce.Get() * m_cultivation.Get());
}

void AppendNeighbourIds(std::string_view text, std::vector<std::uint32_t>& ids)
{
    for (std::size_t comma = text.find(','); comma != std::string_view::npos; comma = text.find(',')) {
        ids.push_back(static_cast<std::uint32_t>(platform::AtoI(text.substr(0, comma))));
        text.remove_prefix(comma + 1);
    }
    ids.push_back(static_cast<std::uint32_t>(platform::AtoI(text)));
}

void Country::ParseNeighbours(std::string_view text)
{
    AppendNeighbourIds(text, m_neighbours);
}

bool Country::ListsNeighbour(std::int32_t otherId) const
{
    for (std::uint32_t n : m_neighbours) {
        if (n == static_cast<std::uint32_t>(otherId))
            return true;
    }
    return false;
}

int Country::IsFriendlyNeighbour(const Country& other) const
{
    if (other.GetRuler() != GetRuler())
        return 0;
    return ListsNeighbour(other.id) ? 1 : 0;
}

int Country::IsHostileNeighbour(const Country& other) const
{
    if (other.GetRuler() == GetRuler())
        return 0;
    return ListsNeighbour(other.id) ? 1 : 0;
}

void Country::Occupy(Country& target)
{
    target.SetRuler(GetRuler());
    const std::int32_t half = m_soldiers / 2;
    m_soldiers -= half;
    target.SetSoldiers(half);
    target.SetTraining(GetTraining());
}
