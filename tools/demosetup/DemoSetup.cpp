// Prepares the demo of ZTBInstall.exe: older tables in the installed folder
// under the Windows directory, and beside the program, in its "ZTB" folder,
// new tables and newer copies of installed ones for several recorder
// models. Every table is made by the project's ZTB writer; the file times
// decide what the dialog offers as new (red) or updated (blue).
//
//   ztb_demosetup PROGRAM_FOLDER
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <string>

#include "catalogue/Folders.h"
#include "platform/FileSystem.h"
#include "platform/Process.h"
#include "tablefile/ZtbWriter.h"

namespace {

using namespace std::chrono;

struct DemoTable {
    const char* fileName;
    const char* title;
    std::int16_t deviceType;
    year_month_day written;
};

constexpr std::int16_t kOrvaneA = 1002;
constexpr std::int16_t kTavikDesk = 1003;
constexpr std::int16_t kOrvaneB = 1005;
constexpr std::int16_t kOrvaneD = 1013;

// What is installed already.
const DemoTable kInstalled[] = {
    {"D1002S10.ztb", "Slide 100 v1.0", kOrvaneA, 2023y / March / 1},
    {"D1002C64.ztb", "Chrome 64 v2.0", kOrvaneA, 2023y / March / 1},
    {"D1002N16.ztb", "Negative 160 v1.2", kOrvaneA, 2023y / April / 12},
    {"G1005S50.ztb", "Slide 50 v1.0", kOrvaneB, 2023y / May / 20},
    {"E1003P20.ztb", "Print 200 v1.0", kTavikDesk, 2023y / June / 2},
};

// What the distribution brings: newer copies of installed tables (updated),
// tables not installed yet (new), and one copy as old as the installed one,
// which the dialog does not offer.
const DemoTable kDistributed[] = {
    {"D1002S10.ztb", "Slide 100 v1.1", kOrvaneA, 2024y / February / 14},
    {"D1002C64.ztb", "Chrome 64 v2.0", kOrvaneA, 2023y / March / 1},
    {"D1002T64.ztb", "Tungsten 64T v1.0", kOrvaneA, 2024y / January / 8},
    {"D1002P40.ztb", "Pan 400 v2.1", kOrvaneA, 2024y / January / 8},
    {"D1002O25.ztb", "Ortho 25 v1.0", kOrvaneA, 2024y / January / 8},
    {"G1005S50.ztb", "Slide 50 v1.1", kOrvaneB, 2024y / February / 14},
    {"G1005D10.ztb", "Daylight 100 v1.0", kOrvaneB, 2024y / January / 8},
    {"E1003S10.ztb", "Slide 100 v3.0", kTavikDesk, 2024y / January / 8},
    {"O1013N16.ztb", "Negative 160 v1.0", kOrvaneD, 2024y / January / 8},
};

// Noon UTC of the day, as a Windows file time.
platform::FileTimes TimesOf(year_month_day day) {
    constexpr std::uint64_t kUnixEpoch = 116444736000000000ULL;  // 1970-01-01 as a file time
    const auto seconds = duration_cast<std::chrono::seconds>(sys_days{day}.time_since_epoch()).count() + 12 * 3600;
    const std::uint64_t time = kUnixEpoch + static_cast<std::uint64_t>(seconds) * 10000000ULL;
    return {time, time, time};
}

// Makes folder and every folder above it that is missing.
bool MakeFolders(const std::string& folder) {
    for (std::size_t end = folder.find(platform::kPathSeparator, 1); end != std::string::npos;
         end = folder.find(platform::kPathSeparator, end + 1)) {
        const std::string part = folder.substr(0, end + 1);
        if (!platform::PathExists(part) && !platform::CreateFolder(part)) return false;
    }
    return true;
}

bool WriteTables(const std::string& folder, const DemoTable* first, const DemoTable* last) {
    for (const DemoTable* table = first; table != last; ++table) {
        const std::string path = folder + table->fileName;
        if (!WriteTableFile(path, table->title, table->deviceType, TimesOf(table->written))) {
            std::fprintf(stderr, "ztb_demosetup: cannot write %s\n", path.c_str());
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: ztb_demosetup PROGRAM_FOLDER\n");
        return 2;
    }
    CatalogueFolders folders{argv[1], platform::WindowsFolder()};
    if (folders.programFolder.empty() || folders.programFolder.back() != platform::kPathSeparator)
        folders.programFolder += platform::kPathSeparator;
    const std::string distribution = DistributionSubfolder(folders.programFolder);
    const std::string installed = folders.Installed();
    if (folders.windowsFolder.empty() || !MakeFolders(distribution) || !MakeFolders(installed)) {
        std::fprintf(stderr, "ztb_demosetup: cannot make the demo folders\n");
        return 1;
    }
    if (!WriteTables(installed, std::begin(kInstalled), std::end(kInstalled)) ||
        !WriteTables(distribution, std::begin(kDistributed), std::end(kDistributed)))
        return 1;
    std::printf("installed tables: %s\ndistribution tables: %s\n", installed.c_str(), distribution.c_str());
    return 0;
}
