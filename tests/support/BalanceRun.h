#pragma once
// Balances a divided task for a fixed number of search steps and keeps the
// result, so that a test gives the same answer on any machine.
#include "core/BalanceOptimizer.h"
#include "base/task/ScheduleTask.h"

#include <cstdint>

namespace testsupport {

inline CBalanceResult Balance(CScheduleTask& task, std::uint64_t seed, std::uint64_t iterations,
                              CBalanceMethod method = CBalanceMethod::Current)
{
    CBalanceOptimizer optimizer(task);
    CBalanceOptions options;
    options.seed = seed;
    options.iterations = iterations;
    options.method = method;
    optimizer.SetOptions(options);
    CBalanceResult result = optimizer.Run();
    optimizer.Apply();
    return result;
}

} // namespace testsupport
