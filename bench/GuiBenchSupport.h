#pragma once

// What the benchmarks of windows and printing share: the large school they
// work on and a main() on the offscreen platform.
#include "../tests/app/ResultsTestSupport.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace GuiBench {

// 20,000 students in 400 classes, every student placed; made once.
inline CScheduleTask& School()
{
    static CScheduleTask task;
    static const bool made = (ResultsTest::MakeSchool(task, 20000, 400, true), true);
    (void)made;
    return task;
}

inline int Main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace GuiBench
