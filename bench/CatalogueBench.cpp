// A rescan (installed scan, then new-table scan) of 300 to 30,000 tables
// per folder against listing both folders and a plain open, read, stat and
// close of every file; "Add All" of 300 new tables against a plain copy of
// the same files with their times and the same flushes, into an installed
// folder that holds no other table and into one that holds 30,000 of
// another model.
#include <vector>

#include <benchmark/benchmark.h>

#include "bench/BenchFolders.h"
#include "bench/RawFileReads.h"
#include "catalogue/FilmRecorderModels.h"
#include "catalogue/TableScans.h"
#include "install/TableOperations.h"

namespace {

constexpr int kAddAllTables = 300;

void AddAllSizes(benchmark::internal::Benchmark* benchmark) {
    benchmark->Args({kAddAllTables, 0})->Args({kAddAllTables, 30000})->UseRealTime()->Unit(benchmark::kMillisecond);
}

void RescanSizes(benchmark::internal::Benchmark* benchmark) {
    benchmark->Arg(300)->Arg(3000)->Arg(30000)->UseRealTime()->Unit(benchmark::kMillisecond);
}

void Rescan(benchmark::State& state) {
    const BenchCatalogue& catalogue = RescanCatalogue(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        const std::vector<CatalogueEntry> installed = ScanInstalled(catalogue.folders.Installed(), kDefaultModel);
        const std::vector<CatalogueEntry> fresh = ScanNew(catalogue.folders.Distribution(), kDefaultModel, installed);
        benchmark::DoNotOptimize(fresh.data());
    }
    state.counters["tables"] = static_cast<double>(2 * state.range(0));
}
BENCHMARK(Rescan)->Apply(RescanSizes);

void ListOpenReadStatClose(benchmark::State& state) {
    const BenchCatalogue& catalogue = RescanCatalogue(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        for (const std::string& folder : {catalogue.folders.Installed(), catalogue.folders.Distribution()}) {
            for (const std::string& name : raw::ListFolder(folder)) {
                benchmark::DoNotOptimize(raw::OpenReadStatClose(folder + name));
            }
        }
    }
    state.counters["tables"] = static_cast<double>(2 * state.range(0));
}
BENCHMARK(ListOpenReadStatClose)->Apply(RescanSizes);

void AddAll(benchmark::State& state) {
    const BenchCatalogue& catalogue =
        AddAllCatalogue(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    ResetInstalledFolder(catalogue);
    const std::vector<CatalogueEntry> entries = ScanNew(catalogue.folders.Distribution(), kDefaultModel, {});
    std::vector<int> rows;
    for (std::size_t k = 0; k < entries.size(); ++k) rows.push_back(static_cast<int>(k));
    for (auto _ : state) {
        const OperationReport report = InstallTables(catalogue.folders, entries, rows, {"bench", kDefaultModel});
        if (report.succeeded != state.range(0)) state.SkipWithError("a table was not installed");
        state.PauseTiming();
        ResetInstalledFolder(catalogue);
        state.ResumeTiming();
    }
}
BENCHMARK(AddAll)->Apply(AddAllSizes);

void DurableCopyWithTimes(benchmark::State& state) {
    const BenchCatalogue& catalogue =
        AddAllCatalogue(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    ResetInstalledFolder(catalogue);
    for (auto _ : state) {
        for (const std::string& name : catalogue.names) {
            if (!raw::DurableCopyWithTimes(
                    catalogue.folders.Distribution() + name, catalogue.folders.Installed() + name)) {
                state.SkipWithError("a copy failed");
            }
        }
        state.PauseTiming();
        ResetInstalledFolder(catalogue);
        state.ResumeTiming();
    }
}
BENCHMARK(DurableCopyWithTimes)->Apply(AddAllSizes);

}  // namespace
