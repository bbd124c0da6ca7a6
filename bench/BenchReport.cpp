// Prints each figure of a benchmark run beside its baseline, their ratio
// and the target the ratio must meet, then how the cost per table grows
// from the smallest rescan to the largest, beside the plain reads' growth.
// Exit status 1 when a target is missed, 2 when the input cannot be read.
// Usage: bench_report RESULTS.json   (Google Benchmark's JSON output)
#include <cstdio>
#include <fstream>
#include <map>
#include <string>

#include <nlohmann/json.hpp>

namespace {

struct Comparison {
    const char* figure;
    const char* baseline;
    double target;  // the largest allowed ratio; 0 for a figure without one
};

constexpr Comparison kComparisons[] = {
    {"LoadFromMemory", "CopyFromMemory", 0},
    {"LoadTableFile", "OpenReadStatClose", 1.3},
    {"LoadWithTimes", "OpenReadStatClose", 0},
    {"Rescan/300", "ListOpenReadStatClose/300", 1.5},
    {"Rescan/3000", "ListOpenReadStatClose/3000", 1.5},
    {"Rescan/30000", "ListOpenReadStatClose/30000", 1.5},
    {"AddAll/300/0", "DurableCopyWithTimes/300/0", 1.5},
    {"AddAll/300/30000", "DurableCopyWithTimes/300/30000", 1.5},
};

// Cost per table of the largest rescan against the smallest. The plain
// reads of the same files grow too (the file system's caches hold less of
// 60,000 files than of 600), so the target is on the rescan's growth over
// the baseline's growth: what the system adds must not grow with the
// number of tables.
struct Scaling {
    const char* small;
    const char* large;
    double smallTables;
    double largeTables;
};
// Both folders are read: twice the tables per folder.
constexpr Scaling kRescanScaling = {"Rescan/300", "Rescan/30000", 600, 60000};
constexpr Scaling kBaselineScaling = {"ListOpenReadStatClose/300", "ListOpenReadStatClose/30000", 600, 60000};
constexpr double kScalingTarget = 1.3;

double Nanoseconds(const nlohmann::json& run) {
    const std::string unit = run.value("time_unit", "ns");
    const double factor = unit == "s" ? 1e9 : unit == "ms" ? 1e6 : unit == "us" ? 1e3 : 1.0;
    return run.at("real_time").get<double>() * factor;
}

std::string WithoutSuffix(std::string name) {
    const std::string suffix = "/real_time";
    if (name.size() > suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0) {
        name.erase(name.size() - suffix.size());
    }
    return name;
}

// Benchmark name -> real time in ns: the median of the repetitions when
// there are several, else the one run.
std::map<std::string, double> Times(const nlohmann::json& results) {
    std::map<std::string, double> single;
    std::map<std::string, double> median;
    for (const nlohmann::json& run : results.at("benchmarks")) {
        if (run.contains("error_occurred") && run["error_occurred"].get<bool>()) continue;
        const std::string name = WithoutSuffix(run.value("run_name", run.value("name", "")));
        if (run.value("run_type", "iteration") == "aggregate") {
            if (run.value("aggregate_name", "") == "median") median[name] = Nanoseconds(run);
        } else {
            single[name] = Nanoseconds(run);
        }
    }
    for (const auto& [name, time] : median) single[name] = time;
    return single;
}

std::string Readable(double ns) {
    char text[32];
    if (ns >= 1e9)
        std::snprintf(text, sizeof text, "%.2f s", ns / 1e9);
    else if (ns >= 1e6)
        std::snprintf(text, sizeof text, "%.2f ms", ns / 1e6);
    else if (ns >= 1e3)
        std::snprintf(text, sizeof text, "%.2f us", ns / 1e3);
    else
        std::snprintf(text, sizeof text, "%.1f ns", ns);
    return text;
}

const char* Verdict(double ratio, double target) {
    if (target <= 0) return "";
    return ratio <= target ? "ok" : "MISSED";
}

// Prints the cost per table at the large size beside the small one and
// returns their ratio; 0 when either is missing.
double Growth(const std::map<std::string, double>& times, const Scaling& scaling, const char* label) {
    const auto small = times.find(scaling.small);
    const auto large = times.find(scaling.large);
    if (small == times.end() || large == times.end()) return 0;
    const double perTableSmall = small->second / scaling.smallTables;
    const double perTableLarge = large->second / scaling.largeTables;
    const double ratio = perTableLarge / perTableSmall;
    const std::string largeLabel = std::string(label) + " at 30000";
    const std::string smallLabel = std::string(label) + " at 300";
    std::printf("%-30s %10s   %-30s %10s %8.2f\n", largeLabel.c_str(), Readable(perTableLarge).c_str(),
        smallLabel.c_str(), Readable(perTableSmall).c_str(), ratio);
    return ratio;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench_report RESULTS.json\n");
        return 2;
    }
    std::ifstream in(argv[1]);
    nlohmann::json results;
    try {
        results = nlohmann::json::parse(in);
    } catch (const nlohmann::json::exception& error) {
        std::fprintf(stderr, "bench_report: %s: %s\n", argv[1], error.what());
        return 2;
    }
    const std::map<std::string, double> times = Times(results);

    bool missed = false;
    std::printf("%-30s %10s   %-30s %10s %8s %8s\n", "figure", "time", "baseline", "time", "ratio", "target");
    for (const Comparison& comparison : kComparisons) {
        const auto figure = times.find(comparison.figure);
        const auto baseline = times.find(comparison.baseline);
        if (figure == times.end() || baseline == times.end()) continue;
        const double ratio = figure->second / baseline->second;
        const bool ok = comparison.target <= 0 || ratio <= comparison.target;
        missed = missed || !ok;
        char target[16] = "";
        if (comparison.target > 0) std::snprintf(target, sizeof target, "<= %.1f", comparison.target);
        std::printf("%-30s %10s   %-30s %10s %8.2f %8s %s\n", comparison.figure, Readable(figure->second).c_str(),
            comparison.baseline, Readable(baseline->second).c_str(), ratio, target, Verdict(ratio, comparison.target));
    }

    const double rescanGrowth = Growth(times, kRescanScaling, "Rescan, per file");
    const double baselineGrowth = Growth(times, kBaselineScaling, "Plain reads, per file");
    if (rescanGrowth > 0 && baselineGrowth > 0) {
        const double ratio = rescanGrowth / baselineGrowth;
        missed = missed || ratio > kScalingTarget;
        std::printf("%-30s %10s   %-30s %10s %8.2f %8s %s\n", "Rescan growth", "", "over plain reads' growth", "",
            ratio, "<= 1.3", Verdict(ratio, kScalingTarget));
    }
    return missed ? 1 : 0;
}
