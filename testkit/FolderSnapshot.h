// Snapshots of a test's whole folder tree and the rules that every install
// or remove keeps, whatever fails on the way:
//   - every table that was installed is afterwards in the installed folder
//     or its backup folder, byte for byte;
//   - an install never leaves a table's installed name empty: the name
//     holds the old table or the new one, and no table gets a second name
//     differing only in case;
//   - every file there holds the bytes of a file that existed before (no
//     half-written or invented table);
//   - nothing outside the installed folder was created, changed or removed;
//   - no temporary or stray file is left: a new file directly in the
//     installed folder has a table's name, one in the backup folder a backup
//     name, and nothing is made deeper down.
// The history log, which the operations append to, is left to its own tests.
// Used by the fault tests and by the folder fuzzer.
#pragma once

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "install/HistoryLog.h"
#include "platform/FileNames.h"
#include "testkit/Files.h"

// Every file under a root: path relative to the root ('/'-separated) -> content.
using Snapshot = std::map<std::string, Bytes>;

inline Snapshot TakeSnapshot(const std::filesystem::path& root) {
    Snapshot snapshot;
    std::error_code error;
    for (auto it = std::filesystem::recursive_directory_iterator(root, error);
         it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
        if (error) break;
        if (it->is_regular_file(error)) {
            snapshot[Utf8Of(std::filesystem::relative(it->path(), root))] = ReadBytes(it->path());
        }
    }
    return snapshot;
}

// True when a scan pattern letter + "*.ztb" could match the name.
inline bool LooksLikeTable(const std::string& name) {
    return name.size() >= 4 && platform::FoldFileNameCase(name.substr(name.size() - 4)) == ".ztb";
}

struct SafetyRules {
    std::string installed;                 // the installed folder relative to the root, ending in '/'
    std::set<Bytes> mustStay;              // tables that must stay in the installed or backup folder
    std::set<std::string> newNames;        // folded names new files directly in the installed folder may have
    std::set<std::string> namesStay;       // folded names that must still be in the installed folder
    bool allowTemporaryLeftovers = false;  // after a kill: files no scan can match may stay
};

// Every broken rule as one line; empty when all hold.
inline std::vector<std::string> BrokenRules(const Snapshot& before, const Snapshot& after, const SafetyRules& rules) {
    const std::string backup = rules.installed + "Backup/";
    auto under = [](const std::string& path, const std::string& folder) {
        return path.compare(0, folder.size(), folder) == 0;
    };
    std::set<Bytes> known;
    for (const auto& [path, bytes] : before) known.insert(bytes);

    std::vector<std::string> broken;
    std::set<Bytes> kept;
    std::map<std::string, int> present, presentBefore;  // folded names in the installed folder, how often each
    for (const auto& [path, bytes] : after) {
        if (path == rules.installed + kHistoryFileName) continue;
        const auto old = before.find(path);
        if (!under(path, rules.installed)) {
            if (old == before.end())
                broken.push_back("created outside the installed folder: " + path);
            else if (old->second != bytes)
                broken.push_back("changed outside the installed folder: " + path);
            continue;
        }
        const std::string rest = path.substr(under(path, backup) ? backup.size() : rules.installed.size());
        if (!under(path, backup)) ++present[platform::FoldFileNameCase(rest)];
        const bool temporary = under(path, backup) ? rest.find(", v") == std::string::npos : !LooksLikeTable(rest);
        if (rules.allowTemporaryLeftovers && temporary && rest.find('/') == std::string::npos) continue;
        kept.insert(bytes);
        if (known.count(bytes) == 0) broken.push_back("half-written or invented file: " + path);
        if (old != before.end()) continue;
        if (rest.find('/') != std::string::npos) {
            broken.push_back("file made below the installed or backup folder: " + path);
        } else if (under(path, backup)) {
            if (rest.find(", v") == std::string::npos) broken.push_back("stray file in the backup folder: " + path);
        } else if (rules.newNames.count(platform::FoldFileNameCase(rest)) == 0) {
            broken.push_back("temporary or stray file left in the installed folder: " + path);
        }
    }
    for (const auto& [path, bytes] : before) {
        if (!under(path, rules.installed) && after.count(path) == 0) {
            broken.push_back("removed outside the installed folder: " + path);
        } else if (under(path, rules.installed) && !under(path, backup)) {
            ++presentBefore[platform::FoldFileNameCase(path.substr(rules.installed.size()))];
        }
    }
    for (const std::string& name : rules.namesStay)
        if (present.count(name) == 0) broken.push_back("installed name left empty: " + name);
    for (const auto& [name, count] : present)
        if (count > std::max(1, presentBefore[name])) broken.push_back("a second name in another case: " + name);
    const auto lost = std::ranges::count_if(rules.mustStay, [&](const Bytes& table) { return kept.count(table) == 0; });
    if (lost > 0) broken.push_back(std::to_string(lost) + " installed table(s) lost");
    return broken;
}
