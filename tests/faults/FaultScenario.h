// A catalogue on real folders for the fault tests, and a way to run an
// operation in a child process that can be limited, demoted or killed.
//
//   root/prog/ZTB/        distribution folder (program folder root/prog/)
//   root/win/KVData/ZTB/  installed folder (Windows folder root/win)
//   root/outside/         a file that nothing may touch
#pragma once

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "catalogue/FilmRecorderModels.h"
#include "catalogue/Folders.h"
#include "catalogue/TableScans.h"
#include "install/TableOperations.h"
#include "tablefile/ErrorAbort.h"
#include "tablefile/ZtbWriter.h"
#include "testkit/FolderSnapshot.h"
#include "testkit/Tables.h"

namespace faults {

// Installed tables carry the earlier time, distributed ones a day later.
inline constexpr platform::FileTime kEarlier = kTableTime;
inline constexpr platform::FileTime kLater = kEarlier + 864'000'000'000ULL;

inline constexpr const char* kInstalledRelative = "win/KVData/ZTB/";

class Scenario {
public:
    Scenario() {
        std::filesystem::create_directories(root_.FsPath() / "prog" / "ZTB");
        std::filesystem::create_directories(root_.FsPath() / "win" / "KVData" / "ZTB");
        std::filesystem::create_directories(root_.FsPath() / "outside");
        platform::WriteWholeFile(root_.Path("outside/untouched.txt"), {'k', 'e', 'e', 'p'});
        folders.programFolder = root_.Text() + "prog" + platform::kPathSeparator;
        folders.windowsFolder = root_.Text() + "win";
    }

    CatalogueFolders folders;

    const std::filesystem::path& Root() const { return root_.FsPath(); }
    std::string Distributed(const std::string& name) const { return folders.Distribution() + name; }
    std::string Installed(const std::string& name) const { return folders.Installed() + name; }
    std::string BackedUp(const std::string& name) const { return folders.Backup() + name; }
    std::filesystem::path InstalledFolder() const { return root_.FsPath() / "win" / "KVData" / "ZTB"; }
    std::filesystem::path BackupFolder() const { return InstalledFolder() / "Backup"; }

    static bool WriteTable(const std::string& path, const std::string& title, platform::FileTime time,
                           std::size_t trailingBytes = 0) {
        ZtbWriter writer(title);
        writer.AddRecord(0);
        writer.SetTrailingBytes(trailingBytes);
        return writer.WriteTo(path) && SetTimesOf(path, {time, time, time});
    }

    void Distribute(const std::string& name, const std::string& title, std::size_t trailingBytes = 0) {
        WriteTable(Distributed(name), title, kLater, trailingBytes);
    }
    void Install(const std::string& name, const std::string& title) {
        WriteTable(Installed(name), title, kEarlier);
    }

    std::vector<CatalogueEntry> InstalledEntries() const {
        return ScanInstalled(folders.Installed(), DefaultModel);
    }
    std::vector<CatalogueEntry> NewEntries() const {
        return ScanNew(folders.Distribution(), DefaultModel, InstalledEntries());
    }

    Snapshot Take() const { return TakeSnapshot(root_.FsPath()); }

    // The rules for an operation on entries: every table file now in the
    // installed folder must stay; new installed files take entry names.
    SafetyRules Rules(const std::vector<CatalogueEntry>& entries) const {
        SafetyRules rules;
        rules.installed = kInstalledRelative;
        for (const auto& [path, bytes] : Take()) {
            if (path.compare(0, rules.installed.size(), rules.installed) == 0 &&
                LooksLikeTable(path.substr(rules.installed.size()))) {
                rules.mustStay.insert(bytes);
            }
        }
        for (const CatalogueEntry& entry : entries) rules.newNames.insert(FoldFileNameCase(entry.FileName));
        return rules;
    }

    std::vector<std::string> Broken(const Snapshot& before, const SafetyRules& rules) const {
        return BrokenRules(before, Take(), rules);
    }

    // Lets another user read everything and, where asked, write.
    void OpenToOthers() const {
        for (const auto& item : std::filesystem::recursive_directory_iterator(root_.FsPath())) {
            std::filesystem::permissions(item.path(),
                                         item.is_directory() ? std::filesystem::perms(0755)
                                                             : std::filesystem::perms(0644));
        }
        std::filesystem::permissions(root_.FsPath(), std::filesystem::perms(0755));
    }

private:
    TempFolder root_;
};

// Success when the operation since before kept every rule of FolderSnapshot.h.
inline ::testing::AssertionResult RulesKept(const Scenario& scenario, const Snapshot& before,
                                            const SafetyRules& rules) {
    const std::vector<std::string> broken = scenario.Broken(before, rules);
    if (broken.empty()) return ::testing::AssertionSuccess();
    ::testing::AssertionResult failure = ::testing::AssertionFailure();
    for (const std::string& line : broken) failure << "\n  " << line;
    return failure;
}

inline std::vector<int> AllRows(std::size_t count) {
    std::vector<int> rows;
    for (std::size_t k = 0; k < count; ++k) rows.push_back(static_cast<int>(k));
    return rows;
}

// A short account of a report for the parent: the count, then one letter
// per row in processing order (y done, n failed).
inline std::string Summary(const OperationReport& report) {
    std::string text = std::to_string(report.succeeded) + " ";
    for (const RowReport& row : report.rows) text += row.ok ? 'y' : 'n';
    return text;
}

struct ChildOutcome {
    bool exited = false;  // ended by itself (else by a signal)
    int signal = 0;
    std::string output;   // what the body returned
    double seconds = 0;   // from fork to end
};

struct ChildOptions {
    bool dropPrivileges = false;                 // run as another user when root
    std::optional<rlim_t> fileSizeLimit;         // bytes; SIGXFSZ ignored
    std::optional<std::chrono::microseconds> killAfter;  // SIGKILL then
};

// Another user's id for the demoted child: as root, a read-only folder does
// not stop writes, so read-only faults need a user it does stop.
inline constexpr uid_t kUnprivilegedId = 65534;

// Runs body in a forked child and returns what it wrote back. An error abort
// in the body comes back as "abort: " and its message.
inline ChildOutcome RunInChild(const std::function<std::string()>& body, const ChildOptions& options = {}) {
    int channel[2];
    if (pipe(channel) != 0) return {};
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        close(channel[0]);
        if (options.dropPrivileges && geteuid() == 0) {
            if (setgid(kUnprivilegedId) != 0 || setuid(kUnprivilegedId) != 0) _exit(3);
        }
        if (options.fileSizeLimit) {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{*options.fileSizeLimit, *options.fileSizeLimit};
            if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(4);
        }
        std::string text;
        try {
            text = body();
        } catch (const ErrorAbort& abort) {
            text = std::string("abort: ") + abort.what();
        } catch (...) {
            // Never let the child return into the test runner.
            text = "exception";
        }
        std::size_t written = 0;
        while (written < text.size()) {
            const ssize_t count = write(channel[1], text.data() + written, text.size() - written);
            if (count <= 0) break;
            written += static_cast<std::size_t>(count);
        }
        _exit(0);
    }
    close(channel[1]);
    if (options.killAfter) {
        std::this_thread::sleep_for(*options.killAfter);
        kill(pid, SIGKILL);
    }
    ChildOutcome outcome;
    char buffer[4096];
    for (ssize_t count; (count = read(channel[0], buffer, sizeof buffer)) > 0;) {
        outcome.output.append(buffer, static_cast<std::size_t>(count));
    }
    close(channel[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    outcome.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    outcome.exited = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    outcome.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    return outcome;
}

}  // namespace faults
