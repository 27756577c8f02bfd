// SPDX-License-Identifier: GPL-3.0-or-later
// One of the fourteen countries of the map: its ruler, people, economy and army, its
// neighbours and the place of its marker, with the domestic actions a ruler can order
// and the seasonal updates of the calendar.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/shared_int.h"
#include "platform/random.h"

// Appends the numbers of a comma-separated text, each read as atoi reads it: "3,5,12"
// gives 3, 5, 12; "" gives 0; "3,5," gives 3, 5, 0.
void AppendNeighbourIds(std::string_view text, std::vector<std::uint32_t>& ids);

class Country {
public:
    // Funds every paid domestic action costs.
    static constexpr std::int32_t kActionCost = 1000;
    static constexpr std::int32_t kMaxTraining = 100;
    // Developing land or commerce raises it by 1..kDevelopRange.
    static constexpr int kDevelopRange = 20;
    // Conscription draws kConscriptMinimum..kConscriptMinimum + kConscriptRange - 1
    // recruits, never more than the population.
    static constexpr std::int32_t kConscriptMinimum = 2000;
    static constexpr int kConscriptRange = 10000;
    // Training rises by 1..kTrainRange, up to kMaxTraining.
    static constexpr int kTrainRange = 20;

    Country() = default;

    // Index in the world's countries, set by the loader.
    std::int32_t id = 0;

    // The name is kept as the data file's bytes (Shift-JIS).
    std::string GetName() const { return m_name; }
    const std::vector<std::uint32_t>& GetNeighbours() const { return m_neighbours; }
    std::int32_t GetRuler() const { return m_ruler; }
    std::int32_t GetPopulation() const { return m_population; }
    std::int32_t GetCultivation() const { return m_cultivation; }
    std::int32_t GetCommerce() const { return m_commerce; }
    std::int32_t GetSoldiers() const { return m_soldiers; }
    std::int32_t GetTraining() const { return m_training; }
    std::int32_t GetProvisions() const { return m_provisions; }
    std::int32_t GetFunds() const { return m_funds; }
    std::int32_t GetMapX() const { return m_mapX; }
    std::int32_t GetMapY() const { return m_mapY; }

    void SetId(std::int32_t value) { id = value; }
    void SetName(std::string name) { m_name = std::move(name); }
    void SetRuler(std::int32_t value) { m_ruler = value; }
    void SetPopulation(std::int32_t value) { m_population = value; }
    void SetCultivation(std::int32_t value) { m_cultivation = value; }
    void SetCommerce(std::int32_t value) { m_commerce = value; }
    void SetSoldiers(std::int32_t value) { m_soldiers = value; }
    void SetTraining(std::int32_t value) { m_training = value; }
    void SetProvisions(std::int32_t value) { m_provisions = value; }
    void SetFunds(std::int32_t value) { m_funds = value; }
    void SetMapX(std::int32_t value) { m_mapX = value; }
    void SetMapY(std::int32_t value) { m_mapY = value; }

    // Signed additions without a bound check (they saturate instead of wrapping).
    void AddProvisions(std::int32_t amount);
    void AddFunds(std::int32_t amount);
    void AddSoldiers(std::int32_t amount);

    // The tests the domestic actions make before they act: the three paid ones need
    // kActionCost funds, training needs room below kMaxTraining.
    bool CanPayAction() const { return m_funds >= kActionCost; }
    bool CanTrain() const { return m_training < kMaxTraining; }

    // Domestic actions, drawing from rng: 1 when done, 0 when refused (nothing changed,
    // no draw made).
    int DevelopLand(platform::Random& rng);
    int DevelopCommerce(platform::Random& rng);
    int Conscript(platform::Random& rng);
    int Train(platform::Random& rng);

    // Seasonal updates.
    void Harvest();
    void CollectTaxes();
    void FeedTroops();
    // What the harvest and the taxes would bring, and what the soldiers eat at the new
    // year, at the figures as they stand (nothing for a country without a ruler).
    std::int64_t HarvestYield() const;
    std::int64_t TaxYield() const;
    std::int32_t Upkeep() const;
    void GrowPopulation(platform::Random& rng);

    // Appends the numbers of a comma-separated text to the neighbour list.
    void ParseNeighbours(std::string_view text);
    void ClearNeighbours() { m_neighbours.clear(); }

    // 1 when other has this country's ruler and is in its neighbour list.
    int IsFriendlyNeighbour(const Country& other) const;
    // 1 when other has another ruler (no ruler included) and is in the neighbour list.
    int IsHostileNeighbour(const Country& other) const;

    // Hands target to this country's ruler with half of this country's soldiers.
    void Occupy(Country& target);

private:
    bool ListsNeighbour(std::int32_t otherId) const;

    std::string m_name;
    std::vector<std::uint32_t> m_neighbours;
    SharedInt m_ruler;
    SharedInt m_population;
    SharedInt m_cultivation;
    SharedInt m_commerce;
    SharedInt m_soldiers;
    SharedInt m_training;
    SharedInt m_provisions;
    SharedInt m_funds;
    SharedInt m_mapX;
    SharedInt m_mapY;
};
