// SPDX-License-Identifier: GPL-3.0-or-later
#include "net/joined_seat.h"

#include <algorithm>
#include <variant>

#include "model/country_file.h"
#include "platform/text_file.h"
#include "rules/names.h"

namespace net {

namespace {

constexpr const char* kNotYourTurn = VELCOR_TEXT("Message", "%1 の番ではありません");
constexpr const char* kNotTaken = VELCOR_TEXT("Message", "ﾎｽﾄがこの命令を受け付けませんでした");
constexpr const char* kNotConnected = VELCOR_TEXT("Message", "ﾎｽﾄにつながっていません: 命令は送られませんでした");

} // namespace

std::uint32_t WorldCrc32(const GameState& world)
{
    return Crc32(platform::JoinLines(FormatCountryFile(CaptureWorld(world, world.turnCountry))));
}

bool EndsATurn(const RecordStep& step)
{
    const auto* command = std::get_if<PlayerCommand>(&step);
    return std::holds_alternative<RecordStart>(step) || (command && std::holds_alternative<command::Rest>(*command));
}

bool BringsATurn(const RecordPart& part)
{
    return part.fresh || std::any_of(part.steps.begin(), part.steps.end(), EndsATurn);
}

Command SeatCommand(int seat, std::size_t held, const PlayerCommand& command)
{
    const bool rest = std::holds_alternative<command::Rest>(command);
    return Command{seat, rest ? RestSequence(held) : CommandSequence(held), command};
}

std::optional<WorldCrc> CrcAtStop(const RecordedGame* followed, std::size_t played, std::size_t& sentAt,
                                  const GameState& world)
{
    if (!followed || played == 0 || played > followed->steps.size() || played == sentAt ||
        !EndsATurn(followed->steps[played - 1]))
        return std::nullopt;
    sentAt = played;
    return WorldCrc{played, WorldCrc32(world)};
}

platform::Message DeniedWords(Denial reason, const GameState& world, RulerId seat)
{
    return reason == Denial::Rules ? platform::Message(kNotTaken) : platform::Message(kNotYourTurn, {RulerWords(world, seat)});
}

platform::Message NotConnectedWords() { return platform::Message(kNotConnected); }

} // namespace net
