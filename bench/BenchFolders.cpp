#include "bench/BenchFolders.h"

#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>

#include "platform/FileSystem.h"
#include "tablefile/ZtbWriter.h"
#include "testkit/Files.h"

namespace {

// Windows file times in 1998, a day apart.
constexpr platform::FileTime kEarlier = 125'000'000'000'000'000ULL;
constexpr platform::FileTime kLater = kEarlier + 864'000'000'000ULL;

bool WriteBenchTable(const std::string& path, const std::string& title, platform::FileTime time) {
    return platform::WriteWholeFile(path, BenchTableBytes(title)) && SetTimesOf(path, {time, time, time});
}

std::string TableName(int k) {
    char name[16];
    std::snprintf(name, sizeof name, "D%05d.ztb", k);
    return name;
}

std::unique_ptr<BenchCatalogue> MakeCatalogue() {
    auto catalogue = std::make_unique<BenchCatalogue>();
    const std::filesystem::path& root = catalogue->root.FsPath();
    std::filesystem::create_directories(root / "prog" / "ZTB");
    std::filesystem::create_directories(root / "win" / "KVData" / "ZTB");
    catalogue->folders.programFolder = catalogue->root.Text() + "prog" + platform::kPathSeparator;
    catalogue->folders.windowsFolder = catalogue->root.Text() + "win";
    return catalogue;
}

}  // namespace

std::vector<unsigned char> BenchTableBytes(const std::string& title) {
    ZtbWriter writer(title);
    for (int r = 0; r <= 2; ++r) writer.AddRecord(r);
    return writer.Build();
}

const std::string& SingleTablePath() {
    static TempFolder folder;
    static const std::string path = [] {
        const std::string file = folder.Path("DSINGLE.ztb");
        WriteBenchTable(file, "Single table v1", kEarlier);
        return file;
    }();
    return path;
}

const BenchCatalogue& RescanCatalogue(int count) {
    static std::map<int, std::unique_ptr<BenchCatalogue>> made;
    auto& catalogue = made[count];
    if (!catalogue) {
        catalogue = MakeCatalogue();
        for (int k = 0; k < count; ++k) {
            const std::string name = TableName(k);
            const std::string title = "Film " + std::to_string(k) + " v";
            WriteBenchTable(catalogue->folders.Installed() + name, title + "1", kEarlier);
            WriteBenchTable(catalogue->folders.Distribution() + name, title + "2", k % 2 == 0 ? kLater : kEarlier);
            catalogue->names.push_back(name);
        }
    }
    return *catalogue;
}

const BenchCatalogue& AddAllCatalogue(int count, int others) {
    static std::map<std::pair<int, int>, std::unique_ptr<BenchCatalogue>> made;
    auto& catalogue = made[{count, others}];
    if (!catalogue) {
        catalogue = MakeCatalogue();
        for (int k = 0; k < count; ++k) {
            const std::string name = TableName(k);
            WriteBenchTable(catalogue->folders.Distribution() + name, "Film " + std::to_string(k) + " v2", kLater);
            catalogue->names.push_back(name);
        }
        for (int k = 0; k < others; ++k) {
            std::string name = TableName(k);
            name[0] = 'E';
            WriteBenchTable(catalogue->folders.Installed() + name, "Other film " + std::to_string(k) + " v1", kEarlier);
        }
    }
    return *catalogue;
}

void ResetInstalledFolder(const BenchCatalogue& catalogue) {
    const std::filesystem::path installed = catalogue.root.FsPath() / "win" / "KVData" / "ZTB";
    std::vector<std::filesystem::path> leave;
    for (const auto& item : std::filesystem::directory_iterator(installed)) {
        if (item.path().filename().string().rfind('E', 0) != 0) leave.push_back(item.path());
    }
    for (const auto& path : leave) std::filesystem::remove_all(path);
}
