// The loader on one table: from memory against a plain copy of the same
// bytes, and from its file against the calls a load makes (open, read, fstat, close).
#include <cstring>
#include <memory>
#include <span>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench/BenchFolders.h"
#include "bench/RawFileReads.h"
#include "tablefile/TableLoader.h"

namespace {

const std::vector<unsigned char>& TableBytes() {
    static const std::vector<unsigned char> bytes = BenchTableBytes("Single table v1");
    return bytes;
}

void LoadFromMemory(benchmark::State& state) {
    const auto table = std::make_unique<CalibrationTable>();
    for (auto _ : state) {
        LoadTableFromMemory(std::span<const unsigned char>(TableBytes()), *table);
        benchmark::DoNotOptimize(table.get());
    }
}
BENCHMARK(LoadFromMemory);

// Baseline: the same bytes copied into a table-sized buffer.
void CopyFromMemory(benchmark::State& state) {
    const auto table = std::make_unique<CalibrationTable>();
    const std::size_t size = std::min(TableBytes().size(), sizeof(CalibrationTable));
    for (auto _ : state) {
        std::memcpy(table.get(), TableBytes().data(), size);
        benchmark::DoNotOptimize(table.get());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(CopyFromMemory);

void LoadTableFile(benchmark::State& state) {
    const auto table = std::make_unique<CalibrationTable>();
    for (auto _ : state) {
        LoadTableFile(SingleTablePath(), *table);
        benchmark::DoNotOptimize(table.get());
    }
}
BENCHMARK(LoadTableFile)->UseRealTime();

void OpenReadStatClose(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(raw::OpenReadStatClose(SingleTablePath()));
}
BENCHMARK(OpenReadStatClose)->UseRealTime();

}  // namespace
