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
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <numeric>

#include "catalogue/SortEntries.h"
#include "catalogue/TableScans.h"
#include "fuzz/FolderImage.h"
#include "install/TableOperations.h"
#include "tablefile/ErrorAbort.h"
#include "testkit/FolderSnapshot.h"
#include "testkit/Tables.h"

namespace {

void Require(bool holds, const std::string& rule) {
    if (holds) return;
    std::fprintf(stderr, "folder fuzzer: broken rule: %s\n", rule.c_str());
    std::abort();
}

void WriteImage(const FolderImage& image, const CatalogueSetup& setup) {
    const bool haveInstalled = !(image.options & NoInstalledFolder);
    if (haveInstalled && (image.options & BackupFolderIsFile)) WriteText(setup.Installed("Backup"), "not a folder");
    for (const ImageFile& file : image.files) {
        const std::string name = FileNameFor(image, file);
        if (name.empty() || (!haveInstalled && !(file.flags & InDistribution))) continue;
        const std::string folder = file.flags & InDistribution ? setup.Distribution()
                                   : file.flags & InBackup     ? setup.Backup()
                                                               : setup.Installed();
        platform::CreateFolder(folder);  // the backup folder, made earlier
        if (file.flags & MakeFolder) {
            platform::CreateFolder(folder + name);
        } else if (platform::WriteWholeFile(folder + name, file.content) && (file.flags & SetTime)) {
            SetTimesOf(folder + name, {FileTimeFor(file), FileTimeFor(file), FileTimeFor(file)});
        }
    }
}

// A scan lists only the model's tables, sorted by description. An installed
// entry exists and carries no status; a new one is New, or Updated and newer
// when an installed entry of its name (A-Z folded) is there: the first one
// found by a plain linear lookup decides.
void CheckScan(const std::vector<CatalogueEntry>& entries, const FolderImage& image, const CatalogueSetup& setup,
    const std::vector<CatalogueEntry>* installed = nullptr) {
    const std::string scan = installed == nullptr ? "installed scan" : "new scan";
    const std::string letter = platform::FoldFileNameCase(ModelFilePrefix(ImageModelText(image)));
    for (std::size_t k = 0; k < entries.size(); ++k) {
        const CatalogueEntry& entry = entries[k];
        Require(k == 0 || !DescriptionLess(entry, entries[k - 1]), scan + " result is sorted");
        Require(!entry.FileName.empty() && platform::FoldFileNameCase(entry.FileName.substr(0, 1)) == letter &&
                    LooksLikeTable(entry.FileName),
            scan + " lists only names of the model's pattern: " + entry.FileName);
        Require(entry.Description.size() <= 48, scan + " description within the title field");
        if (installed == nullptr) {
            Require(entry.Status == EntryStatus::None && platform::PathExists(setup.Installed(entry.FileName)),
                "an installed entry exists and carries no status");
            continue;
        }
        const auto match = std::find_if(installed->begin(), installed->end(), [&](const CatalogueEntry& candidate) {
            return platform::FoldFileNameCase(candidate.FileName) == platform::FoldFileNameCase(entry.FileName);
        });
        Require(match == installed->end() ? entry.Status == EntryStatus::New
                                          : entry.Status == EntryStatus::Updated && entry.DateText > match->DateText,
            "a table without installed copy is New, one with a copy Updated and newer: " + entry.FileName);
    }
}

// "Add All", then the removal of every table installed then: the reports
// agree with the folders, and neither step breaks a rule of FolderSnapshot.h.
void AddAllThenRemoveAll(const CatalogueSetup& setup, const std::string& model,
    const std::vector<CatalogueEntry>& installed, const std::vector<CatalogueEntry>& fresh) {
    const CatalogueFolders& folders = setup.Folders();
    auto allRows = [](std::size_t count) {
        std::vector<int> rows(count);
        std::iota(rows.begin(), rows.end(), 0);
        return rows;
    };
    SafetyRules rules;
    rules.installed = folders.Installed().substr(setup.Root().Text().size());
    // The tables a scan listed must survive whatever follows.
    auto mustStay = [&](const std::vector<CatalogueEntry>& entries) {
        for (const CatalogueEntry& entry : entries) {
            if (auto bytes = platform::ReadWholeFile(setup.Installed(entry.FileName))) rules.mustStay.insert(*bytes);
        }
    };
    auto step = [&](const char* name, const std::function<void()>& operation) {
        const Snapshot before = TakeSnapshot(setup.Root().FsPath());
        try {
            operation();
        } catch (const ErrorAbort&) {
        }
        const std::vector<std::string> broken = BrokenRules(before, TakeSnapshot(setup.Root().FsPath()), rules);
        Require(broken.empty(), std::string(name) + ": " + (broken.empty() ? "" : broken.front()));
    };

    mustStay(installed);
    for (const CatalogueEntry& entry : fresh) rules.newNames.insert(platform::FoldFileNameCase(entry.FileName));
    step("Add All", [&] {
        const OperationReport report = InstallTables(folders, fresh, allRows(fresh.size()), {"fuzz", model});
        Require(!report.refused, "nothing else holds the folder");
        int ok = 0;
        for (const RowReport& row : report.rows) {
            ok += row.Done() ? 1 : 0;
            Require(row.Done() || !row.reason.empty(), "a failed row says why");
            if (!row.Done()) continue;
            const auto copy = platform::ReadWholeFile(setup.Installed(row.fileName));
            Require(copy && copy == platform::ReadWholeFile(setup.Distribution(row.fileName)),
                "an installed row holds the distribution copy: " + row.fileName);
        }
        Require(ok == report.succeeded, "the count is the number of rows installed");
    });

    std::vector<CatalogueEntry> nowInstalled;
    try {
        nowInstalled = ScanInstalled(folders.Installed(), model);
    } catch (const ErrorAbort&) {
        return;
    }
    mustStay(nowInstalled);
    rules.newNames.clear();
    step("Remove", [&] {
        const OperationReport report =
            RemoveTables(folders, nowInstalled, allRows(nowInstalled.size()), {"fuzz", model});
        for (const RowReport& row : report.rows) {
            Require(!row.Done() || !platform::PathExists(setup.Installed(row.fileName)),
                "a removed row is no longer installed: " + row.fileName);
        }
    });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const FolderImage image = DecodeFolderImage(std::span<const unsigned char>(data, size));
    const CatalogueSetup setup(!(image.options & NoInstalledFolder));
    WriteImage(image, setup);
    const std::string model = ImageModelText(image);
    try {
        const std::vector<CatalogueEntry> installed = ScanInstalled(setup.Installed(), model);
        CheckScan(installed, image, setup);
        const std::vector<CatalogueEntry> fresh = ScanNew(setup.Distribution(), model, installed);
        CheckScan(fresh, image, setup, &installed);
        if (image.options & RunOperations) AddAllThenRemoveAll(setup, model, installed, fresh);
    } catch (const ErrorAbort&) {
        // A scan ended in the error abort: an expected outcome.
    }
    return 0;
}
