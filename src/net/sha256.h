// SPDX-License-Identifier: GPL-3.0-or-later
// SHA-256 (FIPS 180-4), standard library only: the hash of the game's data a host and
// its players compare, the same on the desktop and in a page that has no Web Crypto
// (one served over plain http is not a secure context).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace net {

class Sha256 {
public:
    Sha256();
    void Add(std::string_view bytes);
    // The digest of everything added; the hash must not be added to afterwards.
    std::array<std::uint8_t, 32> Finish();
    // The digest as 64 lower-case hex digits.
    std::string HexFinish();

private:
    void Block(const std::uint8_t* block);

    std::array<std::uint32_t, 8> m_state;
    std::array<std::uint8_t, 64> m_block{};
    std::size_t m_filled = 0;
    std::uint64_t m_length = 0; // bytes added
};

// The hash of the game's data (the scenario and country files of the data folder), as
// lower-case hex: a file missing is hashed as its name alone.
std::string DataHash(const std::string& dataDir);

} // namespace net
