// SPDX-License-Identifier: GPL-3.0-or-later
#include "net/invitation.h"

#include <algorithm>
#include <cerrno>
#include <charconv>

#if defined(__EMSCRIPTEN__)
#include <unistd.h>
#else
#include <sys/random.h>
#endif

#include "model/game_state.h"

namespace net {

namespace {

constexpr std::string_view kScheme = "velcor://";
constexpr char kHexDigits[] = "0123456789abcdef";

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

template <typename T>
bool Number(std::string_view text, T& value, T min, T max)
{
    T parsed{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (text.empty() || text[0] == '0' || error != std::errc() || end != text.data() + text.size() || parsed < min ||
        parsed > max)
        return false;
    value = parsed;
    return true;
}

// A host as an address or a name may be written: letters, digits, dots, hyphens and
// (IPv6, in brackets) colons.
bool HostText(std::string_view host, bool bracketed)
{
    return !host.empty() && std::all_of(host.begin(), host.end(), [&](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '-' ||
               (bracketed && c == ':');
    });
}

} // namespace

std::optional<Secret> NewSecret()
{
    Secret secret{};
    std::size_t filled = 0;
    while (filled < secret.size()) {
#if defined(__EMSCRIPTEN__)
        if (getentropy(secret.data(), secret.size()) != 0)
            return std::nullopt;
        filled = secret.size();
#else
        const ssize_t got = getrandom(secret.data() + filled, secret.size() - filled, 0);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return std::nullopt;
        }
        filled += static_cast<std::size_t>(got);
#endif
    }
    return secret;
}

bool SameSecret(const Secret& a, const Secret& b)
{
    // Every byte is compared whatever came before, and the answer read once at the end.
    volatile std::uint8_t differ = 0;
    for (std::size_t i = 0; i < kSecretBytes; ++i)
        differ = static_cast<std::uint8_t>(differ | (a[i] ^ b[i]));
    return differ == 0;
}

std::string SecretText(const Secret& secret)
{
    std::string text;
    for (std::uint8_t byte : secret) {
        text += kHexDigits[byte >> 4];
        text += kHexDigits[byte & 0x0f];
    }
    return text;
}

std::optional<Secret> ParseSecret(std::string_view text)
{
    if (text.size() != 2 * kSecretBytes)
        return std::nullopt;
    Secret secret{};
    for (std::size_t i = 0; i < kSecretBytes; ++i) {
        const int high = HexValue(text[2 * i]);
        const int low = HexValue(text[2 * i + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        secret[i] = static_cast<std::uint8_t>(high << 4 | low);
    }
    return secret;
}

std::string InvitationText(const Invitation& invitation)
{
    const bool v6 = invitation.host.find(':') != std::string::npos;
    return std::string(kScheme) + (v6 ? "[" + invitation.host + "]" : invitation.host) + ':' +
           std::to_string(invitation.port) + "#seat=" + std::to_string(invitation.seat) +
           "&key=" + SecretText(invitation.key);
}

std::string PageLinkText(const Invitation& invitation)
{
    const std::string text = InvitationText(invitation);
    const std::size_t fragment = text.find('#');
    return "http://" + text.substr(kScheme.size(), fragment - kScheme.size()) + '/' + text.substr(fragment);
}

std::optional<Invitation> ParseInvitation(std::string_view text)
{
    if (!text.starts_with(kScheme))
        return std::nullopt;
    text.remove_prefix(kScheme.size());
    const std::size_t hash = text.find('#');
    if (hash == std::string_view::npos)
        return std::nullopt;
    std::string_view authority = text.substr(0, hash);
    std::string_view fragment = text.substr(hash + 1);
    // Nothing between the port and the fragment but an empty path: no path, no query.
    if (authority.ends_with('/'))
        authority.remove_suffix(1);
    Invitation invitation;
    const std::size_t colon = authority.rfind(':');
    if (colon == std::string_view::npos)
        return std::nullopt;
    std::string_view host = authority.substr(0, colon);
    const bool bracketed = host.starts_with('[') && host.ends_with(']') && host.size() > 2;
    if (bracketed)
        host = host.substr(1, host.size() - 2);
    if (!HostText(host, bracketed) || (!bracketed && host.find(':') != std::string_view::npos) ||
        !Number(authority.substr(colon + 1), invitation.port, std::uint16_t{1}, std::uint16_t{65535}))
        return std::nullopt;
    invitation.host.assign(host);

    bool seat = false, key = false;
    while (!fragment.empty()) {
        const std::size_t amp = fragment.find('&');
        const std::string_view field = fragment.substr(0, amp);
        fragment = amp == std::string_view::npos ? std::string_view() : fragment.substr(amp + 1);
        if (field.starts_with("seat=") && !seat) {
            seat = Number(field.substr(5), invitation.seat, 1, kRulerCount - 1);
            if (!seat)
                return std::nullopt;
        } else if (field.starts_with("key=") && !key) {
            const std::optional<Secret> secret = ParseSecret(field.substr(4));
            if (!secret)
                return std::nullopt;
            invitation.key = *secret;
            key = true;
        } else {
            return std::nullopt;
        }
        if (amp != std::string_view::npos && fragment.empty())
            return std::nullopt;
    }
    if (!seat || !key)
        return std::nullopt;
    return invitation;
}

} // namespace net
