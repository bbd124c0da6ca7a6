// Writes the fuzzers' seed corpus, every file made by the ZTB writer:
//   OUTDIR/loader/   table files: every kind of valid table and record
//                    layout, every field warning and every error abort;
//   OUTDIR/folders/  folder images (FolderImage.h) of installed and
//                    distribution folders built from such tables.
// Usage: make_seed_corpus OUTDIR
#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "fuzz/FolderImage.h"
#include "platform/FileSystem.h"
#include "tablefile/ZtbWriter.h"

namespace {

using Bytes = std::vector<unsigned char>;

struct Seed {
    std::string name;
    Bytes bytes;
};

// A writer with one record for index 0, changed by edit.
Bytes OneRecord(std::int16_t deviceType, int r, const std::function<void(ZTBResolutionT&)>& edit) {
    ZtbWriter writer("Seed table v1.0", deviceType);
    edit(writer.AddRecord(r));
    return writer.Build();
}

Bytes WithHeader(const std::function<void(ZtbWriter&)>& edit) {
    ZtbWriter writer("Seed table v1.0");
    writer.AddRecord(0);
    edit(writer);
    return writer.Build();
}

// A record whose exposure values the loader derives from the base film.
Bytes FilledFromBaseFilm(std::int16_t deviceType, int r, int baseFilm, std::int16_t blackAndWhite = 0) {
    return OneRecord(deviceType, r, [&](ZTBResolutionT& record) {
        ClearExposureValues(record);
        record.Compatible.BaseFilmType = static_cast<std::int16_t>(baseFilm);
        record.Compatible.BlackAndWhite = blackAndWhite;
        if (blackAndWhite != 0) {
            record.Compatible.Balance[0] = 0;
            record.Compatible.Balance[2] = 0;
        }
    });
}

std::vector<Seed> ValidTables() {
    std::vector<Seed> seeds;
    {
        ZtbWriter writer("No records");
        seeds.push_back({"valid-no-records", writer.Build()});
    }
    for (int r = 0; r <= 2; ++r) {
        ZtbWriter writer("One record v" + std::to_string(r));
        writer.AddRecord(r);
        seeds.push_back({"valid-resolution-" + std::to_string(r), writer.Build()});
    }
    {
        ZtbWriter writer("Three records, reversed, with gaps v3");
        writer.AddRecord(2);
        writer.AddRecord(0);
        writer.AddRecord(1);
        writer.SetLayout(ZtbWriter::Layout::Reverse);
        writer.SetGap(37);
        writer.SetTrailingBytes(100);
        seeds.push_back({"valid-reverse-gaps-trailing", writer.Build()});
    }
    {
        ZtbWriter writer("Four records, index 3 warns");
        for (int r = 0; r <= 3; ++r) writer.AddRecord(r);
        seeds.push_back({"valid-four-records", writer.Build()});
    }
    {
        ZtbWriter writer("Overlapping records");
        writer.AddRecord(0);
        writer.AddRecord(1);
        writer.PlaceAt(0, 200);
        writer.PlaceAt(1, 200 + 800);
        seeds.push_back({"valid-overlapping-records", writer.Build()});
    }
    {
        ZtbWriter writer(std::string(48, 'T'));  // a title without NUL in its field
        writer.AddRecord(0);
        seeds.push_back({"valid-title-48-bytes", writer.Build()});
    }
    {
        ZtbWriter writer("Free bytes");
        writer.AddRecord(0).Reserved1586[0] = 0xFF;
        const unsigned char id[40] = {'C', 'o', 'r', 'v', 'a', 'n', 't', 'i', 'g', 'r', 'a', 'p', 'h', ' ',
                                      'F', 'i', 'l', 'm', ' ', 'C', 'a', 'l', 'i', 'b', 'r', 'a', 't', 'i',
                                      'o', 'n', ' ', 'T', 'a', 'b', 'l', 'e', 0, 'x', 'y', 'z'};
        writer.SetIdBytes(id);
        seeds.push_back({"valid-id-tail-bytes", writer.Build()});
    }
    // Every base film group, and black-and-white records.
    const struct { std::int16_t device; int films; } groups[] = {
        {1010, 1}, {1013, 1}, {1006, 10}, {1007, 10}, {1002, 9}, {1005, 9}, {1011, 9},
        {1012, 9}, {1003, 9}, {1004, 9}, {1008, 9}, {1009, 9}};
    for (const auto& group : groups) {
        for (int film = 1; film <= group.films; ++film) {
            for (int r = 0; r <= 2; ++r) {
                seeds.push_back({"fill-device-" + std::to_string(group.device) + "-film-" +
                                     std::to_string(film) + "-res-" + std::to_string(r),
                                 FilledFromBaseFilm(group.device, r, film)});
            }
        }
    }
    seeds.push_back({"fill-black-and-white-1", FilledFromBaseFilm(1002, 1, 1, 1)});
    seeds.push_back({"fill-black-and-white-2", FilledFromBaseFilm(1005, 0, 3, 2)});
    seeds.push_back({"fill-balance-400", OneRecord(1002, 0, [](ZTBResolutionT& record) {
        ClearExposureValues(record);
        record.Compatible.BaseFilmType = 2;
        for (auto& balance : record.Compatible.Balance) balance = 400;
    })});
    return seeds;
}

std::vector<Seed> FieldWarnings() {
    using Edit = std::function<void(ZTBResolutionT&)>;
    const std::vector<std::pair<std::string, Edit>> edits = {
        {"ResVersion", [](ZTBResolutionT& r) { r.ResVersion = 2; r.MirrorY = 5; }},
        {"DevXSize", [](ZTBResolutionT& r) { r.DevXSize = 0; }},
        {"XMax", [](ZTBResolutionT& r) { r.XMax = r.DevXSize; }},
        {"FilmGamma", [](ZTBResolutionT& r) { r.FilmGamma = 3000; }},
        {"StdGamma", [](ZTBResolutionT& r) { r.StdGamma = 6000; }},
        {"Resolution", [](ZTBResolutionT& r) { r.Resolution = 2; }},
        {"MirrorY", [](ZTBResolutionT& r) { r.MirrorY = 5; }},
        {"BaseFilmType", [](ZTBResolutionT& r) { r.Compatible.BaseFilmType = 20; }},
        {"BlackAndWhite", [](ZTBResolutionT& r) { r.Compatible.BlackAndWhite = 3; }},
        {"Balance", [](ZTBResolutionT& r) { r.Compatible.Balance[1] = 500; }},
        {"Balance-without-film", [](ZTBResolutionT& r) { r.Compatible.BaseFilmType = 0; }},
        {"Intensity", [](ZTBResolutionT& r) { r.Repetition[0] = 0; }},
        {"Repetition", [](ZTBResolutionT& r) { r.Repetition[2] = 17; }},
        {"BackType", [](ZTBResolutionT& r) { ClearExposureValues(r); r.BackType = 3; }},
    };
    std::vector<Seed> seeds;
    for (const auto& [name, edit] : edits) seeds.push_back({"warn-" + name, OneRecord(1002, 0, edit)});
    return seeds;
}

std::vector<Seed> Aborts() {
    std::vector<Seed> seeds;
    seeds.push_back({"abort-empty-file", {}});
    {
        Bytes bytes = WithHeader([](ZtbWriter&) {});
        bytes.resize(100);
        seeds.push_back({"abort-short-header", bytes});
    }
    seeds.push_back({"abort-id-string", WithHeader([](ZtbWriter& w) { w.Header().IdString[36] = 'X'; })});
    seeds.push_back({"abort-header-version", WithHeader([](ZtbWriter& w) {
        w.Header().HeaderVersion = 2;
        w.Header().Type = 9;
    })});
    seeds.push_back({"abort-device-type", WithHeader([](ZtbWriter& w) { w.Header().DeviceType = 999; })});
    seeds.push_back({"abort-type", WithHeader([](ZtbWriter& w) { w.Header().Type = 6; })});
    seeds.push_back({"abort-size", WithHeader([](ZtbWriter& w) { w.Header().Size = 7; })});
    seeds.push_back({"abort-num-resolutions", WithHeader([](ZtbWriter& w) { w.SetNumResolutions(5); })});
    seeds.push_back({"abort-negative-num-resolutions", WithHeader([](ZtbWriter& w) { w.SetNumResolutions(-1); })});
    {
        ZtbWriter writer("Short directory");
        writer.SetNumResolutions(3);
        Bytes bytes = writer.Build();
        seeds.push_back({"abort-short-directory", bytes});
    }
    seeds.push_back({"abort-resolution-index", WithHeader([](ZtbWriter& w) { w.Entry(0).Resolution = 4; })});
    {
        ZtbWriter writer("Duplicate");
        writer.AddRecord(1);
        writer.AddRecord(1);
        seeds.push_back({"abort-duplicate-resolution", writer.Build()});
    }
    seeds.push_back({"abort-entry-length", WithHeader([](ZtbWriter& w) { w.Entry(0).Length = 1616; })});
    seeds.push_back({"abort-offset-past-end", WithHeader([](ZtbWriter& w) { w.Entry(0).Offset = 100000; })});
    seeds.push_back({"abort-offset-2-31", WithHeader([](ZtbWriter& w) { w.Entry(0).Offset = 0x80000000u; })});
    {
        Bytes bytes = WithHeader([](ZtbWriter&) {});
        bytes.resize(bytes.size() - 10);
        seeds.push_back({"abort-short-record", bytes});
    }
    seeds.push_back({"abort-record-length", OneRecord(1002, 0, [](ZTBResolutionT& r) { r.Length = 1615; })});
    seeds.push_back({"abort-inconsistent-device", OneRecord(1003, 0, [](ZTBResolutionT& r) { r.DeviceType = 1004; })});
    seeds.push_back({"abort-illegal-base-film", FilledFromBaseFilm(1002, 0, 0)});
    seeds.push_back({"abort-unsupported-device", FilledFromBaseFilm(0, 0, 1)});
    seeds.push_back({"abort-base-film-above-count", FilledFromBaseFilm(1000, 0, 10)});
    seeds.push_back({"abort-illegal-resolution", FilledFromBaseFilm(1002, 3, 1)});
    seeds.push_back({"abort-unsupported-level", FilledFromBaseFilm(1003, 2, 2)});
    seeds.push_back({"abort-film-without-levels", FilledFromBaseFilm(1006, 0, 10)});
    return seeds;
}

Bytes Table(const std::string& title, std::int16_t deviceType = 1002) {
    ZtbWriter writer(title, deviceType);
    writer.AddRecord(0);
    return writer.Build();
}

ImageFile File(std::uint8_t flags, std::string name, Bytes content, std::uint32_t seconds = 0) {
    ImageFile file;
    file.flags = static_cast<std::uint8_t>(flags | (seconds != 0 ? SetTime : 0));
    file.name = std::move(name);
    file.secondsAfter1990 = seconds;
    file.content = std::move(content);
    return file;
}

std::vector<Seed> FolderImages() {
    constexpr std::uint32_t kDay = 86400;
    constexpr std::uint32_t k1998 = 8 * 365 * kDay;
    std::vector<Seed> seeds;

    FolderImage mixed;  // "Orvane A": New, Updated, current, older, other letter
    mixed.files = {
        File(0, "FILM01", Table("Slide film v2.1"), k1998),
        File(InDistribution, "FILM01", Table("Slide film v2.2"), k1998 + 60),
        File(0, "FILM02", Table("Print 50"), k1998),
        File(InDistribution | LowerCaseLetter, "FILM02", Table("Print 50 v2"), k1998 + 30),
        File(InDistribution, "FILM03", Table("print 25"), k1998),
        File(0, "FILM04", Table("Reversal 100"), k1998 + kDay),
        File(InDistribution, "FILM04", Table("Reversal 100"), k1998),
        File(InDistribution | RawName, "E100.ztb", Table("Other model", 1003)),
        File(InDistribution, "FILM05", Table("Slide 100")),
        File(InDistribution, "FILM06", Table("Slide 100")),
    };
    seeds.push_back({"scan-mixed", EncodeFolderImage(mixed)});
    mixed.options = RunOperations;
    seeds.push_back({"operations-mixed", EncodeFolderImage(mixed)});

    FolderImage labels;  // titles whose version labels hold separators
    labels.options = RunOperations;
    labels.files = {
        File(0, "LABEL1", Table("Slide v\\..\\..\\x")),
        File(InDistribution, "LABEL1", Table("Slide v2"), k1998),
        File(0, "LABEL2", Table("Slide v/../../y")),
        File(InDistribution, "LABEL2", Table("Slide v3"), k1998),
        File(0, "LABEL3", Table("Slide v..")),
        File(InDistribution, "LABEL3", Table("Slide v4"), k1998),
        File(0, "LABEL4", Table("Slide vC:\\x:y*?<>|\"")),
        File(InDistribution, "LABEL4", Table("Slide v5"), k1998),
    };
    seeds.push_back({"operations-labels", EncodeFolderImage(labels)});

    FolderImage taken;  // backup names taken by equal and by different bytes
    taken.options = RunOperations;
    const Bytes old = Table("Slide film v2.1");
    taken.files = {
        File(0, "TAKEN1", old),
        File(InBackup | RawName, "DTAKEN1.ztb, v2.1", old),
        File(0, "TAKEN2", old),
        File(InBackup | RawName, "DTAKEN2.ztb, v2.1", Table("Other bytes v2.1")),
        File(InDistribution, "TAKEN1", Table("Slide film v2.2"), k1998),
        File(InDistribution, "TAKEN2", Table("Slide film v2.2"), k1998),
    };
    seeds.push_back({"operations-backup-names-taken", EncodeFolderImage(taken)});
    taken.options = RunOperations | BackupFolderIsFile;
    seeds.push_back({"operations-backup-is-file", EncodeFolderImage(taken)});
    taken.options = RunOperations | NoInstalledFolder;
    seeds.push_back({"operations-no-installed-folder", EncodeFolderImage(taken)});

    FolderImage damaged;  // a damaged table and a folder named like a table
    damaged.files = {
        File(InDistribution, "GOOD", Table("Good")),
        File(InDistribution, "BAD", WithHeader([](ZtbWriter& w) { w.Header().HeaderVersion = 7; })),
    };
    seeds.push_back({"scan-damaged-distribution", EncodeFolderImage(damaged)});
    damaged.files = {File(MakeFolder, "-old", {}), File(0, "GOOD", Table("Good"))};
    seeds.push_back({"scan-folder-named-like-table", EncodeFolderImage(damaged)});

    FolderImage models;  // every model's letter
    for (std::uint8_t model = 0; model < 12; ++model) {
        models.model = model;
        models.options = RunOperations;
        models.files = {File(InDistribution, "M" + std::to_string(model), Table("Model table v1")),
                        File(0, "M" + std::to_string(model), Table("Model table v0"), k1998)};
        seeds.push_back({"operations-model-" + std::to_string(model), EncodeFolderImage(models)});
    }

    FolderImage dates;  // a date far off, two within the same minute
    dates.files = {
        File(0, "DATE1", Table("Date one"), 0xFFFFFFFFu),
        File(InDistribution, "DATE1", Table("Date one v2"), k1998),
        File(0, "DATE2", Table("Date two"), k1998 + 5),
        File(InDistribution, "DATE2", Table("Date two v2"), k1998 + 50),
    };
    seeds.push_back({"scan-dates", EncodeFolderImage(dates)});
    return seeds;
}

bool WriteSeeds(const std::string& folder, const std::vector<Seed>& seeds) {
    platform::CreateFolder(folder);
    for (const Seed& seed : seeds) {
        if (!platform::WriteWholeFile(folder + platform::kPathSeparator + seed.name, seed.bytes)) {
            std::fprintf(stderr, "make_seed_corpus: cannot write %s%c%s\n", folder.c_str(),
                         platform::kPathSeparator, seed.name.c_str());
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_seed_corpus OUTDIR\n");
        return 2;
    }
    const std::string out = argv[1];
    platform::CreateFolder(out);

    std::vector<Seed> loader = ValidTables();
    for (auto* more : {FieldWarnings, Aborts}) {
        std::vector<Seed> extra = more();
        loader.insert(loader.end(), extra.begin(), extra.end());
    }
    const bool ok = WriteSeeds(out + platform::kPathSeparator + "loader", loader) &&
                    WriteSeeds(out + platform::kPathSeparator + "folders", FolderImages());
    return ok ? 0 : 1;
}
