// Writes the fuzzers' seed corpus, every file made by the ZTB writer:
//   OUTDIR/loader/   the table cases of testkit/TableCases.h: valid tables
//                    and layouts, every field warning and every error abort;
//   OUTDIR/folders/  folder images (FolderImage.h) of installed and
//                    distribution folders built from such tables.
// Usage: make_seed_corpus OUTDIR
#include <cstdio>
#include <string>
#include <vector>

#include "fuzz/FolderImage.h"
#include "testkit/TableCases.h"
#include "testkit/Tables.h"

namespace {

using Seeds = std::vector<std::pair<std::string, Bytes>>;

ImageFile File(std::uint8_t flags, std::string name, Bytes content, std::uint32_t seconds = 0) {
    return {
        static_cast<std::uint8_t>(flags | (seconds != 0 ? SetTime : 0)), std::move(name), seconds, std::move(content)};
}

Seeds FolderSeeds() {
    constexpr std::uint32_t kDay = 86400, k1998 = 8 * 365 * kDay;
    Seeds seeds;
    auto add = [&](const std::string& name, std::uint8_t options, std::vector<ImageFile> files,
                   std::uint8_t model = 4) {
        seeds.emplace_back(name, EncodeFolderImage({model, options, std::move(files)}));
    };
    // "Orvane A": New, Updated, current, older, another model's letter.
    const std::vector<ImageFile> mixed = {
        File(0, "FILM01", TableBytes("Slide film v2.1"), k1998),
        File(InDistribution, "FILM01", TableBytes("Slide film v2.2"), k1998 + 60),
        File(0, "FILM02", TableBytes("Print 50"), k1998),
        File(InDistribution | LowerCaseLetter, "FILM02", TableBytes("Print 50 v2"), k1998 + 30),
        File(InDistribution, "FILM03", TableBytes("print 25"), k1998),
        File(0, "FILM04", TableBytes("Reversal 100"), k1998 + kDay),
        File(InDistribution, "FILM04", TableBytes("Reversal 100"), k1998),
        File(InDistribution | RawName, "E100.ztb", TableBytes("Other model", 1003)),
        File(InDistribution, "FILM05", TableBytes("Slide 100")),
        File(InDistribution, "FILM06", TableBytes("Slide 100")),
    };
    add("scan-mixed", 0, mixed);
    add("operations-mixed", RunOperations, mixed);
    // Installed titles whose version labels hold separators, to be backed up.
    std::vector<ImageFile> labels;
    for (const char* label : {"\\..\\..\\x", "/../../y", "..", "C:\\x:y*?<>|\""}) {
        const std::string name = "LABEL" + std::to_string(labels.size() / 2);
        labels.push_back(File(0, name, TableBytes(std::string("Slide v") + label)));
        labels.push_back(File(InDistribution, name, TableBytes("Slide v9"), k1998));
    }
    add("operations-labels", RunOperations, labels);
    // Backup names taken by the same bytes and by other bytes.
    const Bytes old = TableBytes("Slide film v2.1");
    const std::vector<ImageFile> taken = {
        File(0, "TAKEN1", old),
        File(InBackup | RawName, "DTAKEN1.ztb, v2.1", old),
        File(0, "TAKEN2", old),
        File(InBackup | RawName, "DTAKEN2.ztb, v2.1", TableBytes("Other bytes v2.1")),
        File(InDistribution, "TAKEN1", TableBytes("Slide film v2.2"), k1998),
        File(InDistribution, "TAKEN2", TableBytes("Slide film v2.2"), k1998),
    };
    add("operations-backup-names-taken", RunOperations, taken);
    add("operations-backup-is-file", RunOperations | BackupFolderIsFile, taken);
    add("operations-no-installed-folder", RunOperations | NoInstalledFolder, taken);
    ZtbWriter damaged("Damaged");
    damaged.AddRecord(0);
    damaged.Header().HeaderVersion = 7;
    add("scan-damaged-distribution", 0,
        {File(InDistribution, "GOOD", TableBytes("Good")), File(InDistribution, "BAD", damaged.Build())});
    add("scan-folder-named-like-table", 0, {File(MakeFolder, "-old", {}), File(0, "GOOD", TableBytes("Good"))});
    for (std::uint8_t model = 0; model < kFilmRecorderModels.size(); ++model) {
        add("operations-model-" + std::to_string(model), RunOperations,
            {File(InDistribution, "M", TableBytes("Model table v1")),
                File(0, "M", TableBytes("Model table v0"), k1998)},
            model);
    }
    // A date far off, and two within the same minute.
    add("scan-dates", 0,
        {File(0, "DATE1", TableBytes("Date one"), 0xFFFFFFFFu),
            File(InDistribution, "DATE1", TableBytes("Date one v2"), k1998),
            File(0, "DATE2", TableBytes("Date two"), k1998 + 5),
            File(InDistribution, "DATE2", TableBytes("Date two v2"), k1998 + 50)});
    return seeds;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_seed_corpus OUTDIR\n");
        return 2;
    }
    const std::string out = std::string(argv[1]) + platform::kPathSeparator;
    platform::CreateFolder(argv[1]);
    Seeds tables;
    for (const TableCase& test : table_cases::kAll) tables.emplace_back(test.name, test.Bytes());
    for (const auto& [folder, seeds] : {std::pair{"loader", tables}, std::pair{"folders", FolderSeeds()}}) {
        platform::CreateFolder(out + folder);
        for (const auto& [name, bytes] : seeds) {
            if (!platform::WriteWholeFile(out + folder + platform::kPathSeparator + name, bytes)) {
                std::fprintf(stderr, "make_seed_corpus: cannot write %s%s%c%s\n", out.c_str(), folder,
                    platform::kPathSeparator, name.c_str());
                return 1;
            }
        }
    }
    return 0;
}
