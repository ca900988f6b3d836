// Cost of logging (per message, by mode) and of an atomic file write.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "zy/FileSystem.h"
#include "zy/Log.h"

namespace {

std::string makeTempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "zycore-bench-XXXXXX").string();
    return ::mkdtemp(pattern.data());
}

// One file output with the full prefix; `flags` adds the mode.
void logToFile(benchmark::State& state, unsigned flags)
{
    const std::string dir = makeTempDir();
    zy::log::setDirectory(dir);
    zy::log::setOutput("bench", "", zy::log::ALL_LEVELS, zy::log::FULL | flags);
    for (auto _ : state)
        zy::log::write("Bench", zy::log::INFO, "A diagnostic message of ordinary length, about sixty bytes.");
    zy::log::flush();
    zy::log::closeOutputs();
    zy::log::setAsynchronous(false);
    zy::log::setDirectory("");
    std::filesystem::remove_all(dir);
    state.SetItemsProcessed(state.iterations());
}

void BM_LogImmediate(benchmark::State& state) { logToFile(state, zy::log::IMMEDIATE); }
void BM_LogAsyncReliable(benchmark::State& state) { logToFile(state, zy::log::ASYNC | zy::log::RELIABLE); }

void BM_LogTraceWithoutOutput(benchmark::State& state)
{
    for (auto _ : state)
        zy::log::write("Bench", zy::log::TRACE, "filtered out before any formatting of the line");
    state.SetItemsProcessed(state.iterations());
}

void BM_AtomicFileWrite(benchmark::State& state)
{
    const std::string dir = makeTempDir();
    const std::vector<char> bytes(static_cast<size_t>(state.range(0)), 'x');
    for (auto _ : state) {
        auto file = zy::fs::open(dir + "/out.zym", zy::fs::Mode::Write);
        file->write(bytes.data(), bytes.size());
        benchmark::DoNotOptimize(file->close());
    }
    std::filesystem::remove_all(dir);
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

BENCHMARK(BM_LogImmediate);
BENCHMARK(BM_LogAsyncReliable);
BENCHMARK(BM_LogTraceWithoutOutput);
BENCHMARK(BM_AtomicFileWrite)->Arg(64 << 10)->Arg(4 << 20)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
