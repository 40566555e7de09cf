#pragma once

#include <string>
#include <string_view>

// SHA-256 of a text, through the system's cryptographic library.
class CLotteryDigest
{
public:
    // 64 lower-case hexadecimal digits; empty when the library failed.
    static std::string Sha256Hex(std::string_view bytes);
    // The first eight bytes of the digest as a big-endian number; 0 when the
    // library failed.
    static unsigned long long Sha256Prefix(std::string_view bytes);
};
