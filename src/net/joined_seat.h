// SPDX-License-Identifier: GPL-3.0-or-later
// What a player's side of a networked game sends and says, whichever front end plays
// it (the windows' join, the page's): the CRC of his world at each stop after a start
// or a rest, his commands numbered from the record, and the words for a command the
// host did not take.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "net/protocol.h"
#include "platform/message.h"
#include "session/game_record.h"

namespace net {

// The CRC-32 of a world as its save holds it, the turn cursor at the turn country.
std::uint32_t WorldCrc32(const GameState& world);

// A start or a rest: the computers' turns follow it up to the players' next.
bool EndsATurn(const RecordStep& step);
// A part of the record that brings the next turn (a fresh start, or a start or a rest
// in it): a limited turn's time counts from its coming.
bool BringsATurn(const RecordPart& part);

// The sequence numbers a remote seat's commands carry: derived from the record, so that
// they survive a host going on from its record. A command given when the player holds
// `steps` steps of the record, and the rest that follows it, are numbered
// 2 * steps + 1 and 2 * steps + 2; every number taken up to a record of `steps` steps is
// at most 2 * steps.
inline std::uint64_t CommandSequence(std::size_t steps) { return 2 * static_cast<std::uint64_t>(steps) + 1; }
inline std::uint64_t RestSequence(std::size_t steps) { return 2 * static_cast<std::uint64_t>(steps) + 2; }

// The words with which the host closes every connection when the game has ended.
inline constexpr const char* kGameEnded = "the game has ended";

// The frame that carries the seat's command (or rest) when the player holds `held`
// steps of the record.
Command SeatCommand(int seat, std::size_t held, const PlayerCommand& command);

// At a stop of the game followed (played: the steps of the record played, followed:
// the record held, none when none is): the CRC frame to send when a start or a rest
// has just been played and none has gone for it (sentAt: the steps played when the
// last went, moved on when one is due).
std::optional<WorldCrc> CrcAtStop(const RecordedGame* followed, std::size_t played, std::size_t& sentAt,
                                  const GameState& world);

// What the player is told when the host did not take his command.
platform::Message DeniedWords(Denial reason, const GameState& world, RulerId seat);
// A command that could not be sent: no connection.
platform::Message NotConnectedWords();

} // namespace net
