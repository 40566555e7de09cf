#include "logic/lottery/LotterySeed.h"

#include "logic/lottery/LotteryDigest.h"

#include <random>

std::string CLotterySeed::Problem(const std::string& digits)
{
    if (digits.empty())
        return "摇号种子不能为空，请输入至少 " + std::to_string(kMinDigits) + " 位数字。";
    for (char c : digits) {
        if (c < '0' || c > '9')
            return "摇号种子只能由数字 0～9 组成：" + digits;
    }
    if (digits.size() < kMinDigits)
        return "摇号种子至少应有 " + std::to_string(kMinDigits) + " 位数字，现在只有 " + std::to_string(digits.size())
               + " 位：" + digits;
    if (digits.size() > kMaxDigits)
        return "摇号种子最多 " + std::to_string(kMaxDigits) + " 位数字。";
    return {};
}

std::string CLotterySeed::Draw()
{
    std::random_device device;
    std::string digits;
    while (digits.size() < 12) {
        // Rejects the top of the range, so that every digit is as likely.
        const unsigned value = device();
        if (value >= 4294967290u)
            continue;
        digits += static_cast<char>('0' + value % 10);
    }
    return digits;
}

std::uint64_t CLotterySeed::Value(const std::string& digits)
{
    const std::uint64_t value = CLotteryDigest::Sha256Prefix(digits);
    return value == 0 ? 1 : value;
}
