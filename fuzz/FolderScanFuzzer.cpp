// Builds an installed and a distribution folder from the input (a folder
// image, FolderImage.h) and runs both scans on them; when the image asks
// for it, also "Add All" and the removal of every installed table. The
// error abort is an expected outcome. Checked after every input:
//   - the scans' results are sorted by description, carry the right status
//     (against a plain linear lookup of the installed names) and name files
//     that the model's pattern matches;
//   - no table is lost: every installed table is afterwards in the installed
//     or the backup folder, byte for byte;
//   - nothing is half written or invented: every file in those two folders
//     holds the bytes of a file that existed before;
//   - nothing outside them changed, and no temporary file stays behind.
// A broken rule aborts, so libFuzzer keeps the input as the reproducer.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "catalogue/FilmRecorderModels.h"
#include "catalogue/Folders.h"
#include "catalogue/SortEntries.h"
#include "catalogue/TableScans.h"
#include "fuzz/FolderImage.h"
#include "install/TableOperations.h"
#include "platform/FileSystem.h"
#include "tablefile/ErrorAbort.h"
#include "testkit/FolderSnapshot.h"
#include "testkit/Files.h"
#include "testkit/TempFolder.h"

namespace {

namespace fs = std::filesystem;


[[noreturn]] void Broken(const std::string& rule) {
    std::fprintf(stderr, "folder fuzzer: broken rule: %s\n", rule.c_str());
    std::abort();
}

void Require(bool holds, const std::string& rule) {
    if (!holds) Broken(rule);
}

// The sandbox lives for the whole run; each input gets fresh folders in it.
TempFolder& Sandbox() {
    static TempFolder sandbox;
    return sandbox;
}

CatalogueFolders SandboxFolders() {
    CatalogueFolders folders;
    folders.programFolder = Sandbox().Path("prog") + platform::kPathSeparator;
    folders.windowsFolder = Sandbox().Path("win");
    return folders;
}

void WriteImage(const FolderImage& image, const CatalogueFolders& folders) {
    const fs::path& root = Sandbox().FsPath();
    fs::remove_all(root / "prog");
    fs::remove_all(root / "win");
    fs::create_directories(root / "prog" / "ZTB");
    const bool haveInstalled = !(image.options & NoInstalledFolder);
    if (haveInstalled) fs::create_directories(root / "win" / "KVData" / "ZTB");
    if (haveInstalled && (image.options & BackupFolderIsFile)) {
        const std::string text = "not a folder";
        platform::WriteWholeFile(folders.Installed() + "Backup", Bytes(text.begin(), text.end()));
    }

    for (const ImageFile& file : image.files) {
        const std::string name = FileNameFor(image, file);
        if (name.empty()) continue;
        std::string folder = folders.Distribution();
        if (!(file.flags & InDistribution)) {
            if (!haveInstalled) continue;
            folder = folders.Installed();
            if (file.flags & InBackup) {
                folder = folders.Backup();
                platform::CreateFolder(folder);
            }
        }
        const std::string path = folder + name;
        if (file.flags & MakeFolder) {
            platform::CreateFolder(path);
            continue;
        }
        if (!platform::WriteWholeFile(path, file.content)) continue;
        if (file.flags & SetTime) {
            const platform::FileTime time = FileTimeFor(file);
            SetTimesOf(path, {time, time, time});
        }
    }
}

void CheckSorted(const std::vector<CatalogueEntry>& entries, const char* scan) {
    for (std::size_t k = 1; k < entries.size(); ++k) {
        Require(!DescriptionLess(entries[k], entries[k - 1]), std::string(scan) + " result is sorted");
    }
}

void CheckListedName(const CatalogueEntry& entry, const FolderImage& image, const char* scan) {
    const std::string letter = FoldFileNameCase(ModelFilePrefix(ImageModelText(image)));
    Require(!entry.FileName.empty() && FoldFileNameCase(entry.FileName.substr(0, 1)) == letter &&
                LooksLikeTable(entry.FileName),
            std::string(scan) + " lists only names of the model's pattern: " + entry.FileName);
    Require(entry.Description.size() <= 48, std::string(scan) + " description within the title field");
}

void CheckInstalledScan(const std::vector<CatalogueEntry>& installed, const FolderImage& image,
                        const CatalogueFolders& folders) {
    CheckSorted(installed, "installed scan");
    for (const CatalogueEntry& entry : installed) {
        CheckListedName(entry, image, "installed scan");
        Require(entry.Status == EntryStatus::None, "installed entries carry no status");
        Require(platform::PathExists(folders.Installed() + entry.FileName), "installed entry exists");
    }
}

// The status a distribution entry must have: the first installed entry of
// the same name (A-Z folded) decides, by date text.
void CheckNewScan(const std::vector<CatalogueEntry>& fresh, const std::vector<CatalogueEntry>& installed,
                  const FolderImage& image) {
    CheckSorted(fresh, "new scan");
    for (const CatalogueEntry& entry : fresh) {
        CheckListedName(entry, image, "new scan");
        const CatalogueEntry* match = nullptr;
        for (const CatalogueEntry& candidate : installed) {
            if (FoldFileNameCase(candidate.FileName) == FoldFileNameCase(entry.FileName)) {
                match = &candidate;
                break;
            }
        }
        if (match == nullptr) {
            Require(entry.Status == EntryStatus::New, "a table without installed copy is New");
        } else {
            Require(entry.Status == EntryStatus::Updated, "a table with an installed copy is Updated");
            Require(entry.DateText > match->DateText, "an Updated table is newer than its installed copy");
        }
    }
}

std::vector<int> AllRows(std::size_t count) {
    std::vector<int> rows;
    for (std::size_t k = 0; k < count; ++k) rows.push_back(static_cast<int>(k));
    return rows;
}

// Aborts with the first rule of FolderSnapshot.h that the step broke.
void CheckNothingLost(const Snapshot& before, const SafetyRules& rules, const char* step) {
    const std::vector<std::string> broken =
        BrokenRules(before, TakeSnapshot(Sandbox().FsPath()), rules);
    if (!broken.empty()) Broken(std::string(step) + ": " + broken.front());
}

void AddAllThenRemoveAll(const CatalogueFolders& folders, const FolderImage& image,
                         const std::vector<CatalogueEntry>& installed, const std::vector<CatalogueEntry>& fresh) {
    const std::string model = ImageModelText(image);
    SafetyRules rules;
    rules.installed = "win/KVData/ZTB/";

    // The tables the scan listed must survive whatever follows.
    for (const CatalogueEntry& entry : installed) {
        if (auto bytes = platform::ReadWholeFile(folders.Installed() + entry.FileName)) rules.mustStay.insert(*bytes);
    }

    Snapshot before = TakeSnapshot(Sandbox().FsPath());
    try {
        const OperationReport report = InstallTables(folders, fresh, AllRows(fresh.size()));
        Require(report.refused == fresh.empty(), "install refuses exactly an empty list");
        int ok = 0;
        for (const RowReport& row : report.rows) {
            ok += row.ok ? 1 : 0;
            Require(row.ok == row.failure.empty(), "a failed row says why");
            if (!row.ok) continue;
            const auto installedBytes = platform::ReadWholeFile(folders.Installed() + row.fileName);
            const auto distributedBytes = platform::ReadWholeFile(folders.Distribution() + row.fileName);
            Require(installedBytes && distributedBytes && *installedBytes == *distributedBytes,
                    "an installed row holds the distribution copy: " + row.fileName);
        }
        Require(ok == report.succeeded, "the count is the number of rows installed");
    } catch (const ErrorAbort&) {
    }
    for (const CatalogueEntry& entry : fresh) rules.newNames.insert(FoldFileNameCase(entry.FileName));
    CheckNothingLost(before, rules, "Add All");

    std::vector<CatalogueEntry> nowInstalled;
    try {
        nowInstalled = ScanInstalled(folders.Installed(), model);
    } catch (const ErrorAbort&) {
        return;
    }
    for (const CatalogueEntry& entry : nowInstalled) {
        if (auto bytes = platform::ReadWholeFile(folders.Installed() + entry.FileName)) rules.mustStay.insert(*bytes);
    }
    before = TakeSnapshot(Sandbox().FsPath());
    rules.newNames.clear();
    try {
        const OperationReport report = RemoveTables(folders, nowInstalled, AllRows(nowInstalled.size()));
        for (const RowReport& row : report.rows) {
            if (row.ok) {
                Require(!platform::PathExists(folders.Installed() + row.fileName),
                        "a removed row is no longer installed: " + row.fileName);
            }
        }
    } catch (const ErrorAbort&) {
    }
    CheckNothingLost(before, rules, "Remove");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const FolderImage image = DecodeFolderImage(std::span<const unsigned char>(data, size));
    const CatalogueFolders folders = SandboxFolders();
    WriteImage(image, folders);
    const std::string model = ImageModelText(image);

    std::vector<CatalogueEntry> installed;
    try {
        installed = ScanInstalled(folders.Installed(), model);
    } catch (const ErrorAbort&) {
        return 0;
    }
    CheckInstalledScan(installed, image, folders);

    std::vector<CatalogueEntry> fresh;
    try {
        fresh = ScanNew(folders.Distribution(), model, installed);
    } catch (const ErrorAbort&) {
        return 0;
    }
    CheckNewScan(fresh, installed, image);

    if (image.options & RunOperations) AddAllThenRemoveAll(folders, image, installed, fresh);
    return 0;
}
