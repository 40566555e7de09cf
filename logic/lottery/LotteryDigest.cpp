#include "logic/lottery/LotteryDigest.h"

#include <openssl/evp.h>

#include <array>
#include <memory>
#include <optional>

namespace {

using Digest = std::array<unsigned char, 32>;

std::optional<Digest> Sha256(std::string_view bytes)
{
    const std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context(EVP_MD_CTX_new(), &EVP_MD_CTX_free);
    if (!context)
        return std::nullopt;
    Digest digest{};
    unsigned int length = 0;
    if (EVP_DigestInit_ex(context.get(), EVP_sha256(), nullptr) != 1
        || EVP_DigestUpdate(context.get(), bytes.data(), bytes.size()) != 1
        || EVP_DigestFinal_ex(context.get(), digest.data(), &length) != 1 || length != digest.size())
        return std::nullopt;
    return digest;
}

} // namespace

std::string CLotteryDigest::Sha256Hex(std::string_view bytes)
{
    const std::optional<Digest> digest = Sha256(bytes);
    if (!digest)
        return {};
    static constexpr char kHex[] = "0123456789abcdef";
    std::string text;
    text.reserve(64);
    for (unsigned char byte : *digest) {
        text += kHex[byte >> 4];
        text += kHex[byte & 0x0f];
    }
    return text;
}

unsigned long long CLotteryDigest::Sha256Prefix(std::string_view bytes)
{
    const std::optional<Digest> digest = Sha256(bytes);
    if (!digest)
        return 0;
    unsigned long long value = 0;
    for (int i = 0; i < 8; ++i)
        value = (value << 8) | (*digest)[static_cast<std::size_t>(i)];
    return value;
}
