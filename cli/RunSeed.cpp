#include "cli/RunSeed.h"

#include <random>

unsigned long long CRunSeed::Choose(unsigned long long seed, std::ostream& err)
{
    std::random_device device;
    while (seed == 0)
        seed = (static_cast<unsigned long long>(device()) << 32) ^ device();
    err << "随机种子：" << seed << std::endl;
    return seed;
}
