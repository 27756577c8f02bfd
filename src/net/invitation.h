// SPDX-License-Identifier: GPL-3.0-or-later
// A remote seat's invitation: where the host listens, the seat, and the secret that
// admits its player. The secret comes from the system's secure random source, never
// from the game's generator or clock, and is compared in constant time. In the
// invitation's text it stands in the fragment (velcor://HOST:PORT#seat=R&key=HEX),
// which a client never sends in a request: it travels in the first frame only.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace net {

// 128 bits.
inline constexpr std::size_t kSecretBytes = 16;
using Secret = std::array<std::uint8_t, kSecretBytes>;

// A new secret from the system's secure random source (getrandom); none when the
// system gives none, never a weaker one.
std::optional<Secret> NewSecret();
// Whether a and b are the same secret, in a time that does not depend on where they differ.
bool SameSecret(const Secret& a, const Secret& b);
// The secret as 32 lower-case hex digits, and back (none for any other text).
std::string SecretText(const Secret& secret);
std::optional<Secret> ParseSecret(std::string_view text);

struct Invitation {
    std::string host; // an IPv4 address, an IPv6 address without its brackets, or a name
    std::uint16_t port = 0;
    int seat = 0;     // the ruler seated, 1..15
    Secret key{};

    bool operator==(const Invitation&) const = default;
};

// velcor://HOST:PORT#seat=R&key=HEX (an IPv6 host in brackets).
std::string InvitationText(const Invitation& invitation);
// The host's page with the invitation in its fragment: http://HOST:PORT/#seat=R&key=HEX,
// which the page reads and drops from its address.
std::string PageLinkText(const Invitation& invitation);
// The invitation a text names; none when it is not exactly of that form (the secret
// anywhere but in the fragment, a port or a seat out of range, a key not of 32 hex
// digits, a field missing, twice or unknown).
std::optional<Invitation> ParseInvitation(std::string_view text);

} // namespace net
