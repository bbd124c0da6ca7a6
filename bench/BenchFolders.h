// Folders of generated tables for the benchmarks, made once per size with
// the ZTB writer and kept until the run ends.
#pragma once

#include <string>
#include <vector>

#include "catalogue/Folders.h"
#include "testkit/TempFolder.h"

// A table as the benchmarks use it: three resolutions, as most tables
// carry, under the given title.
std::vector<unsigned char> BenchTableBytes(const std::string& title);

// One table file written once, for the single-file figures.
const std::string& SingleTablePath();

struct BenchCatalogue {
    TempFolder root;
    CatalogueFolders folders;
    std::vector<std::string> names;  // the table file names, the same in both folders
};

// count tables installed (v1) and the same count distributed (v2, every
// second one newer than its installed copy), for "Orvane A".
const BenchCatalogue& RescanCatalogue(int count);

// count new tables in the distribution folder, and an installed folder
// holding only others tables of another model ("Tavik Desk", letter E).
const BenchCatalogue& AddAllCatalogue(int count, int others);

// Removes everything but the other model's tables from the installed
// folder, so that the next "Add All" starts afresh.
void ResetInstalledFolder(const BenchCatalogue& catalogue);
