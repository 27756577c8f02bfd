// SPDX-License-Identifier: GPL-3.0-or-later
// Smooth pseudo-random noise for hand-drawn wobble: borders, coasts, river meanders
// and the scatter of decorations. Deterministic: the same seed gives the same map.
#pragma once

#include <cmath>
#include <cstdint>

namespace assets {

inline double Hash01(int x, int y, int seed)
{
    std::uint32_t h = static_cast<std::uint32_t>(x) * 374761393u + static_cast<std::uint32_t>(y) * 668265263u +
                      static_cast<std::uint32_t>(seed) * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return static_cast<double>(h & 0xFFFFFF) / static_cast<double>(0x1000000);
}

// Value noise in -1..1 with smooth interpolation between lattice points.
inline double ValueNoise(double x, double y, int seed)
{
    const double fx = std::floor(x);
    const double fy = std::floor(y);
    const int ix = static_cast<int>(fx);
    const int iy = static_cast<int>(fy);
    const double tx = x - fx;
    const double ty = y - fy;
    const double sx = tx * tx * (3 - 2 * tx);
    const double sy = ty * ty * (3 - 2 * ty);
    const double a = Hash01(ix, iy, seed);
    const double b = Hash01(ix + 1, iy, seed);
    const double c = Hash01(ix, iy + 1, seed);
    const double d = Hash01(ix + 1, iy + 1, seed);
    const double top = a + (b - a) * sx;
    const double bottom = c + (d - c) * sx;
    return (top + (bottom - top) * sy) * 2.0 - 1.0;
}

// Fractal noise: octaves of value noise, each at twice the frequency and half the
// amplitude of the one before.
inline double FractalNoise(double x, double y, int seed, int octaves)
{
    double sum = 0;
    double amplitude = 1;
    double total = 0;
    for (int i = 0; i < octaves; ++i) {
        sum += ValueNoise(x, y, seed + 101 * i) * amplitude;
        total += amplitude;
        x *= 2.03;
        y *= 2.03;
        amplitude *= 0.5;
    }
    return sum / total;
}

} // namespace assets
