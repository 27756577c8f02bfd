// SPDX-License-Identifier: GPL-3.0-or-later
// The four domestic commands a ruler gives in a country, and the one table of their
// names: in the events, in a game's record and as the advisor's key letters.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

enum class DomesticCommand : std::uint8_t { DevelopLand, DevelopCommerce, Conscript, Train };

struct DomesticCommandNames {
    DomesticCommand command;
    std::string_view event;  // the events' "command" (docs/events.md)
    std::string_view record; // a record's "domestic" step (docs/replay-format.md)
    char key;                // the command's key letter in the advisor's lines
};

// In the order of the enumeration, which is also the order of the command buttons.
inline constexpr std::array<DomesticCommandNames, 4> kDomesticCommands = {{
    {DomesticCommand::DevelopLand, "develop_land", "land", 'L'},
    {DomesticCommand::DevelopCommerce, "develop_commerce", "commerce", 'C'},
    {DomesticCommand::Conscript, "conscript", "conscript", 'S'},
    {DomesticCommand::Train, "train", "train", 'T'},
}};

inline const DomesticCommandNames& NamesOf(DomesticCommand command)
{
    const auto i = static_cast<std::size_t>(command);
    return kDomesticCommands[i < kDomesticCommands.size() ? i : 0];
}

// The command a record names; none for a name no command has.
inline std::optional<DomesticCommand> DomesticCommandOfRecord(std::string_view name)
{
    for (const DomesticCommandNames& names : kDomesticCommands)
        if (names.record == name)
            return names.command;
    return std::nullopt;
}
