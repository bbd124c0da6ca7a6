// ztb_benchfolders: the tables that tools/bench-windows times the programs
// on, made by the project's ZTB writer.
//
//   ztb_benchfolders INSTALLED_DIR DISTRIBUTION_DIR INSTALLED NEW [UPDATED]
//
// INSTALLED tables of "Orvane A" (D00000.ztb, ... "Film k v1", written in
// 1998) in INSTALLED_DIR and NEW others (D50000.ztb, ... "New film k v1",
// a day later) in DISTRIBUTION_DIR, so that the dialog lists every one of
// them as new; and newer copies of the first UPDATED installed ones
// ("Film k v2", a day later) in DISTRIBUTION_DIR, which it lists as
// updated. Each carries three resolution records, as most tables do. The
// folders must exist; folder names end in the path separator.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/FileSystem.h"
#include "tablefile/ZtbWriter.h"

namespace {

constexpr platform::FileTime kInstalledTime = 125'000'000'000'000'000ULL;
constexpr platform::FileTime kNewTime = kInstalledTime + 864'000'000'000ULL;

void Write(const std::string& path, const std::string& title, platform::FileTime time) {
    ZtbWriter writer(title);
    for (int r = 0; r <= 2; ++r) writer.AddRecord(r);
    if (!platform::WriteWholeFile(path, writer.Build())) {
        std::fprintf(stderr, "ztb_benchfolders: cannot write %s\n", path.c_str());
        std::exit(1);
    }
    platform::OutFile file;
    if (!file.OpenExisting(path) || !file.SetTimes({time, time, time})) {
        std::fprintf(stderr, "ztb_benchfolders: cannot set the times of %s\n", path.c_str());
        std::exit(1);
    }
}

std::string Name(int number) {
    char name[16];
    std::snprintf(name, sizeof name, "D%05d.ztb", number);
    return name;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5 && argc != 6) {
        std::fprintf(stderr, "usage: ztb_benchfolders INSTALLED_DIR DISTRIBUTION_DIR INSTALLED NEW [UPDATED]\n");
        return 2;
    }
    const std::string installed = argv[1];
    const std::string distribution = argv[2];
    const int installedCount = std::atoi(argv[3]);
    const int newCount = std::atoi(argv[4]);
    const int updatedCount = argc == 6 ? std::atoi(argv[5]) : 0;
    for (int k = 0; k < installedCount; ++k)
        Write(installed + Name(k), "Film " + std::to_string(k) + " v1", kInstalledTime);
    for (int k = 0; k < newCount; ++k)
        Write(distribution + Name(50000 + k), "New film " + std::to_string(k) + " v1", kNewTime);
    for (int k = 0; k < updatedCount; ++k) Write(distribution + Name(k), "Film " + std::to_string(k) + " v2", kNewTime);
    return 0;
}
