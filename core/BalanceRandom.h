#pragma once

#include <cstdint>

// A small random generator whose sequence for a seed is the same with every
// compiler and standard library (xoshiro256**, seeded through splitmix64),
// so a balancing run with a given seed and step count is reproducible
// anywhere.
class CBalanceRandom
{
public:
    explicit CBalanceRandom(std::uint64_t seed)
    {
        for (std::uint64_t& word : m_state) {
            seed += 0x9e3779b97f4a7c15ull;
            std::uint64_t z = seed;
            z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
            z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
            word = z ^ (z >> 31);
        }
    }

    std::uint64_t Next()
    {
        const std::uint64_t result = Rotate(m_state[1] * 5, 7) * 9;
        const std::uint64_t t = m_state[1] << 17;
        m_state[2] ^= m_state[0];
        m_state[3] ^= m_state[1];
        m_state[1] ^= m_state[2];
        m_state[0] ^= m_state[3];
        m_state[2] ^= t;
        m_state[3] = Rotate(m_state[3], 45);
        return result;
    }

    // Uniform in [0, n); n must be positive.
    int Below(int n) { return static_cast<int>(((Next() >> 32) * static_cast<std::uint64_t>(n)) >> 32); }

    // Uniform in [0, 1).
    double Unit() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }

private:
    static std::uint64_t Rotate(std::uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }

    std::uint64_t m_state[4] = {};
};
