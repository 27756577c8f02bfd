// SPDX-License-Identifier: GPL-3.0-or-later
#include "net/sha256.h"

#include <fstream>
#include <iterator>

#include "model/country_file.h"

namespace net {

namespace {

constexpr std::array<std::uint32_t, 64> kRounds = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

constexpr std::uint32_t Rotr(std::uint32_t x, int n) { return (x >> n) | (x << (32 - n)); }

} // namespace

Sha256::Sha256()
    : m_state{0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a, 0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19}
{
}

void Sha256::Block(const std::uint8_t* block)
{
    std::array<std::uint32_t, 64> w{};
    for (std::size_t i = 0; i < 16; ++i)
        w[i] = std::uint32_t{block[4 * i]} << 24 | std::uint32_t{block[4 * i + 1]} << 16 |
               std::uint32_t{block[4 * i + 2]} << 8 | std::uint32_t{block[4 * i + 3]};
    for (std::size_t i = 16; i < 64; ++i) {
        const std::uint32_t s0 = Rotr(w[i - 15], 7) ^ Rotr(w[i - 15], 18) ^ (w[i - 15] >> 3);
        const std::uint32_t s1 = Rotr(w[i - 2], 17) ^ Rotr(w[i - 2], 19) ^ (w[i - 2] >> 10);
        w[i] = w[i - 16] + s0 + w[i - 7] + s1;
    }
    std::array<std::uint32_t, 8> v = m_state;
    for (std::size_t i = 0; i < 64; ++i) {
        const std::uint32_t s1 = Rotr(v[4], 6) ^ Rotr(v[4], 11) ^ Rotr(v[4], 25);
        const std::uint32_t choice = (v[4] & v[5]) ^ (~v[4] & v[6]);
        const std::uint32_t t1 = v[7] + s1 + choice + kRounds[i] + w[i];
        const std::uint32_t s0 = Rotr(v[0], 2) ^ Rotr(v[0], 13) ^ Rotr(v[0], 22);
        const std::uint32_t majority = (v[0] & v[1]) ^ (v[0] & v[2]) ^ (v[1] & v[2]);
        v = {t1 + s0 + majority, v[0], v[1], v[2], v[3] + t1, v[4], v[5], v[6]};
    }
    for (std::size_t i = 0; i < 8; ++i)
        m_state[i] += v[i];
}

void Sha256::Add(std::string_view bytes)
{
    m_length += bytes.size();
    for (const char c : bytes) {
        m_block[m_filled++] = static_cast<std::uint8_t>(c);
        if (m_filled == m_block.size()) {
            Block(m_block.data());
            m_filled = 0;
        }
    }
}

std::array<std::uint8_t, 32> Sha256::Finish()
{
    const std::uint64_t bits = m_length * 8;
    // The padding: a one bit, zeros, and the length in bits in the block's last 8 bytes.
    std::string padding(1, '\x80');
    padding.append((m_filled < 56 ? 55 : 119) - m_filled, '\0');
    for (int shift = 56; shift >= 0; shift -= 8)
        padding += static_cast<char>((bits >> shift) & 0xff);
    Add(padding);
    std::array<std::uint8_t, 32> digest{};
    for (std::size_t i = 0; i < 32; ++i)
        digest[i] = static_cast<std::uint8_t>(m_state[i / 4] >> (24 - 8 * (i % 4)));
    return digest;
}

std::string Sha256::HexFinish()
{
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (const std::uint8_t byte : Finish()) {
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 15];
    }
    return hex;
}

std::string DataHash(const std::string& dataDir)
{
    Sha256 hash;
    for (int number = 1; number <= 3; ++number)
        for (const std::string& path : {ScenarioFilePath(dataDir, number), CountryFilePath(dataDir, number)}) {
            hash.Add(path.substr(path.find_last_of('/') + 1));
            if (std::ifstream file(path, std::ios::binary); file)
                hash.Add(std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()));
        }
    return hash.HexFinish();
}

} // namespace net
