#pragma once

#include <cstdint>
#include <string>

// The seed of a public draw: the digits as they were read out (dice,
// lottery balls, a sealed envelope), at least kMinDigits of them. Leading
// zeros count: "007123" and "7123" are different seeds.
//
// The engines take a number: the first eight bytes of the SHA-256 of the
// digits, read big-endian (1 in the unlikely case that this is 0, since 0
// asks the division for a fresh seed). Any number of digits thus gives a
// number of the full width.
class CLotterySeed
{
public:
    static constexpr std::size_t kMinDigits = 6;
    static constexpr std::size_t kMaxDigits = 64;

    // Why digits is no seed, as the user is told; empty when it is one.
    static std::string Problem(const std::string& digits);
    // Twelve digits from the system's randomness.
    static std::string Draw();
    // The number the engines are seeded with.
    static std::uint64_t Value(const std::string& digits);
};
