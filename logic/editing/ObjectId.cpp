#include "logic/editing/ObjectId.h"

#include <mutex>
#include <random>

std::string CObjectId::New()
{
    static std::mutex mutex;
    static std::mt19937_64 random = [] {
        std::random_device device;
        std::seed_seq seed{device(), device(), device(), device(), device(), device(), device(), device()};
        return std::mt19937_64(seed);
    }();
    unsigned char bytes[16];
    {
        const std::lock_guard<std::mutex> lock(mutex);
        const unsigned long long high = random();
        const unsigned long long low = random();
        for (int i = 0; i < 8; ++i) {
            bytes[i] = static_cast<unsigned char>(high >> (8 * i));
            bytes[8 + i] = static_cast<unsigned char>(low >> (8 * i));
        }
    }
    bytes[6] = static_cast<unsigned char>((bytes[6] & 0x0F) | 0x40); // version 4
    bytes[8] = static_cast<unsigned char>((bytes[8] & 0x3F) | 0x80); // RFC 4122 variant
    static const char digits[] = "0123456789abcdef";
    std::string id;
    id.reserve(32);
    for (unsigned char byte : bytes) {
        id += digits[byte >> 4];
        id += digits[byte & 0x0F];
    }
    return id;
}
