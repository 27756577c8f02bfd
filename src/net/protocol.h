// SPDX-License-Identifier: GPL-3.0-or-later
// The frames a networked game's host and players send each other, as values, and their
// text (docs/network-protocol.md). No sockets here: the desktop's transport and the
// page both read and write frames through these two functions.
//
// Only the start and the commands travel: the host streams its record (the start, the
// clock readings, the steps), every player plays it through its own game and gets the
// same bytes. A player sends his seat's commands, each with a sequence number larger
// than the last, and the CRC-32 of his world after each rest.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "session/game_record.h"

namespace net {

// Raised when a frame changes its meaning; a hello and a refusal keep their form in
// every version, so that a host and a player of different versions can say so.
inline constexpr int kProtocolVersion = 3;
// The largest frame either side accepts, in bytes of text.
inline constexpr std::size_t kFrameLimit = 64 * 1024;
// The longest data hash a hello carries, in hex digits.
inline constexpr std::size_t kDataHashDigits = 64;

// Player to host, first and once: who he is and what he holds.
struct Hello {
    int version = kProtocolVersion;
    std::string data; // the hash of the game's data, lower-case hex
    int seat = 0;     // the ruler of the invitation
    std::string key;  // the invitation's secret as written (32 hex digits)
    // How much of the host's record he holds already (a player who rejoins).
    std::uint64_t readings = 0;
    std::uint64_t steps = 0;
    bool operator==(const Hello&) const = default;
};

// Host to player: the seat is his. last is the sequence number of the last command the
// host took from this seat: his next command's is larger.
struct Welcome {
    int seat = 0;
    std::uint64_t last = 0;
    bool operator==(const Welcome&) const = default;
};

enum class Refusal : std::uint8_t {
    Version,  // the protocol's versions differ
    Data,     // the game's data differ
    Secret,   // no such seat, or not its secret
    Taken,    // the seat is played from another connection
    Revoked,  // the host has revoked the invitation
    Replaced, // the host let another connection take the seat
};

// Host to player, after the welcome when the host limits each remote seat's turn: the
// seconds a turn lasts, counted from the record's part that brings the turn. When they
// run out the host rests the seat.
struct TurnLimit {
    std::int64_t seconds = 0;
    bool operator==(const TurnLimit&) const = default;
};
// The longest turn a host may set, in seconds: a day.
inline constexpr std::int64_t kMostTurnSeconds = 24 * 60 * 60;

// Host to player, then the connection closes: why he may not play, with the host's
// version and data hash so that what differs can be said.
struct Refused {
    Refusal reason = Refusal::Secret;
    int version = kProtocolVersion;
    std::string data;
    bool operator==(const Refused&) const = default;
};

// Host to player: more of the record. The readings from index firstReading on and the
// steps from index firstStep on; fresh: the record begins again (the player drops what
// he holds and plays from these).
struct RecordPart {
    bool fresh = false;
    std::uint64_t firstReading = 0;
    std::vector<std::int64_t> readings;
    std::uint64_t firstStep = 0;
    std::vector<RecordStep> steps;
    bool operator==(const RecordPart& other) const;
};

// Player to host: a command of his seat's, numbered.
struct Command {
    int seat = 0;
    std::uint64_t sequence = 0;
    PlayerCommand command;
    bool operator==(const Command& other) const;
};

enum class Denial : std::uint8_t {
    Seat,     // the command names a seat not the connection's
    Turn,     // it is not his turn
    Replayed, // the sequence number is not larger than the last taken
    Rules,    // the rules do not allow it now
};

// Host to player: the command of that sequence number was not taken.
struct Denied {
    std::uint64_t sequence = 0;
    Denial reason = Denial::Turn;
    bool operator==(const Denied&) const = default;
};

// Player to host: the CRC-32 of his world once his game has played the record's first
// `steps` steps (after a rest).
struct WorldCrc {
    std::uint64_t steps = 0;
    std::uint32_t crc = 0;
    bool operator==(const WorldCrc&) const = default;
};

// Either side; answered by a pong with the same number.
struct Ping {
    std::uint64_t number = 0;
    bool operator==(const Ping&) const = default;
};
struct Pong {
    std::uint64_t number = 0;
    bool operator==(const Pong&) const = default;
};

// Host to every player before the game begins, and again at each change: the seats
// played from other machines, whether a player holds each now and whether he is ready.
// The game's first record ends the lobby.
struct LobbySeat {
    int seat = 0;
    bool joined = false;
    bool ready = false;
    bool operator==(const LobbySeat&) const = default;
};
struct Lobby {
    std::vector<LobbySeat> seats; // in the order of the rulers, at most 15
    bool operator==(const Lobby&) const = default;
};

// Player to host before the game begins: he is ready to begin, or no longer.
struct Ready {
    bool ready = false;
    bool operator==(const Ready&) const = default;
};

using Frame =
    std::variant<Hello, Welcome, TurnLimit, Refused, RecordPart, Command, Denied, WorldCrc, Ping, Pong, Lobby, Ready>;

// The frame's text; at most kFrameLimit bytes for every frame but a RecordPart (split a
// record with RecordFrames).
std::string Encode(const Frame& frame);
// The frame a text holds; none when it is not exactly a frame of this version (or a
// hello or refusal of any), or longer than kFrameLimit.
std::optional<Frame> Decode(std::string_view text);

// The record from reading fromReading and step fromStep on, as RecordPart frames of at
// most kFrameLimit bytes each, in order (the readings first); fresh marks the first.
// None when one step alone does not fit in a frame.
std::optional<std::vector<std::string>> RecordFrames(const RecordedGame& record, std::size_t fromReading,
                                                     std::size_t fromStep, bool fresh);

// Each refusal's and denial's word in the frames ("version", "seat", ...).
const char* RefusalWord(Refusal reason);
const char* DenialWord(Denial reason);

} // namespace net
