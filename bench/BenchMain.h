#pragma once

#include <benchmark/benchmark.h>

#include <functional>

namespace Bench {

/// The body of every benchmark program's main(): reads the benchmark options, refusing any
/// other, lets `registerCases` add the program's cases, and runs them.
inline int runBenchmarks(int argc, char** argv, const std::function<void()>& registerCases)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    registerCases();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace Bench
