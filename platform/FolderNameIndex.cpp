#include "platform/FolderNameIndex.h"

#include <dirent.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <set>
#include <unordered_map>
#include <vector>

#include "platform/FileNames.h"

// Reading the folder for every lookup would make a run over many names cost
// the square of the folder's size ("Add All" of 300 tables beside 30,000
// others read 9 million names). So the names of the folders looked up last
// are kept, folded to lower case, and kept true by the kernel's change
// notifications (inotify) for the folder: every name created, deleted or
// moved there, by this process or any other, is applied before a lookup is
// answered. A folder is read again when it is no longer the folder its path
// named (moved or replaced), when the notifications overflowed, and when its
// modification or change time moved without a notification (file systems
// that report no changes, such as some network mounts). Without inotify every
// lookup reads the folder.

namespace platform {
namespace {

// How many folders keep their names; a run of the program works in a few.
constexpr std::size_t kKeptFolders = 8;

constexpr std::uint32_t kWatchedChanges =
    IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
constexpr std::uint32_t kFolderGone = IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED | IN_UNMOUNT;

const char* FolderArgument(const std::string& folder) { return folder.empty() ? "." : folder.c_str(); }

// What identifies a folder and tells whether its entries changed.
struct FolderStamp {
    dev_t device = 0;
    ino_t inode = 0;
    timespec modified{};
    timespec changed{};

    bool SameFolder(const FolderStamp& other) const { return device == other.device && inode == other.inode; }
    bool SameTimes(const FolderStamp& other) const {
        return modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec &&
               changed.tv_sec == other.changed.tv_sec && changed.tv_nsec == other.changed.tv_nsec;
    }
};

std::optional<FolderStamp> StampOf(const std::string& folder) {
    struct stat info;
    if (stat(FolderArgument(folder), &info) != 0 || !S_ISDIR(info.st_mode)) return std::nullopt;
    FolderStamp stamp;
    stamp.device = info.st_dev;
    stamp.inode = info.st_ino;
    stamp.modified = info.st_mtim;
    stamp.changed = info.st_ctim;
    return stamp;
}

// A folder's names by their folded form; several names can share one.
class FolderNames {
public:
    void Add(const std::string& name) { byFolded_[FoldFileNameCase(name)].insert(name); }

    void Remove(const std::string& name) {
        const auto found = byFolded_.find(FoldFileNameCase(name));
        if (found == byFolded_.end()) return;
        found->second.erase(name);
        if (found->second.empty()) byFolded_.erase(found);
    }

    std::optional<std::string> Find(const std::string& name) const {
        const auto found = byFolded_.find(FoldFileNameCase(name));
        if (found == byFolded_.end()) return std::nullopt;
        return *found->second.begin();
    }

    // False when the folder cannot be read.
    bool Read(const std::string& folder) {
        byFolded_.clear();
        DIR* dir = opendir(FolderArgument(folder));
        if (dir == nullptr) return false;
        while (const dirent* entry = readdir(dir)) Add(entry->d_name);
        closedir(dir);
        return true;
    }

private:
    std::unordered_map<std::string, std::set<std::string>> byFolded_;
};

struct KeptFolder {
    std::string path;
    int watch = -1;
    FolderStamp stamp;
    FolderNames names;
    bool notified = false;  // changes applied since the stamp was taken
    unsigned long lastUse = 0;
};

class NameIndex {
public:
    std::optional<std::string> Find(const std::string& folder, const std::string& name) {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (!Ready()) return ReadAndFind(folder, name);
        ApplyNotifications();

        const std::optional<FolderStamp> stamp = StampOf(folder);
        if (!stamp) return std::nullopt;
        KeptFolder* kept = Kept(folder);
        if (kept != nullptr && !StillTrue(*kept, *stamp)) {
            Forget(kept - kept_.data());
            kept = nullptr;
        }
        if (kept == nullptr) kept = Keep(folder);
        if (kept == nullptr) return ReadAndFind(folder, name);
        kept->lastUse = ++clock_;
        return kept->names.Find(name);
    }

private:
    static std::optional<std::string> ReadAndFind(const std::string& folder, const std::string& name) {
        FolderNames names;
        if (!names.Read(folder)) return std::nullopt;
        return names.Find(name);
    }

    // The notifications of a parent process are not this process's: after
    // a fork the child starts afresh, and leaves the parent's watches alone.
    bool Ready() {
        if (owner_ != getpid()) {
            if (notify_ >= 0) close(notify_);
            notify_ = -1;
            kept_.clear();
            owner_ = getpid();
            unavailable_ = false;
        }
        if (notify_ < 0 && !unavailable_) {
            notify_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
            unavailable_ = notify_ < 0;
        }
        return notify_ >= 0;
    }

    // True when the kept names still describe the folder now found at its
    // path: the same folder, and its times moved only by notified changes.
    static bool StillTrue(KeptFolder& kept, const FolderStamp& now) {
        if (!kept.stamp.SameFolder(now)) return false;
        if (kept.notified) {
            kept.stamp = now;
            kept.notified = false;
            return true;
        }
        return kept.stamp.SameTimes(now);
    }

    KeptFolder* Kept(const std::string& folder) {
        for (KeptFolder& kept : kept_) {
            if (kept.path == folder) return &kept;
        }
        return nullptr;
    }

    // Watches the folder, then reads it: a change during the read is both
    // seen and notified, and applying it twice gives the same names.
    KeptFolder* Keep(const std::string& folder) {
        if (kept_.size() >= kKeptFolders) {
            const auto oldest = std::min_element(kept_.begin(), kept_.end(),
                [](const KeptFolder& a, const KeptFolder& b) { return a.lastUse < b.lastUse; });
            Forget(oldest - kept_.begin());
        }
        KeptFolder kept;
        kept.path = folder;
        kept.watch = inotify_add_watch(notify_, FolderArgument(folder), kWatchedChanges);
        if (kept.watch < 0) return nullptr;
        // Two paths of one folder share its watch; the older one goes.
        for (std::size_t i = 0; i < kept_.size(); ++i) {
            if (kept_[i].watch == kept.watch) {
                kept_.erase(kept_.begin() + static_cast<std::ptrdiff_t>(i));
                break;
            }
        }
        const std::optional<FolderStamp> stamp = StampOf(folder);
        if (!stamp || !kept.names.Read(folder)) {
            inotify_rm_watch(notify_, kept.watch);
            return nullptr;
        }
        kept.stamp = *stamp;
        kept_.push_back(std::move(kept));
        return &kept_.back();
    }

    void Forget(std::ptrdiff_t index) {
        inotify_rm_watch(notify_, kept_[static_cast<std::size_t>(index)].watch);
        kept_.erase(kept_.begin() + index);
    }

    void ApplyNotifications() {
        alignas(inotify_event) char buffer[64 * 1024];
        while (true) {
            const ssize_t got = read(notify_, buffer, sizeof buffer);
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) return;  // EAGAIN: nothing more is pending
            for (ssize_t at = 0; at < got;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                Apply(*event);
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            }
        }
    }

    void Apply(const inotify_event& event) {
        if ((event.mask & IN_Q_OVERFLOW) != 0) {
            // Changes were lost: every folder is read again when next used.
            while (!kept_.empty()) Forget(0);
            return;
        }
        for (std::size_t i = 0; i < kept_.size(); ++i) {
            KeptFolder& kept = kept_[i];
            if (kept.watch != event.wd) continue;
            if ((event.mask & kFolderGone) != 0) {
                Forget(static_cast<std::ptrdiff_t>(i));
            } else if (event.len > 0) {
                const std::string name(event.name, strnlen(event.name, event.len));
                if ((event.mask & (IN_CREATE | IN_MOVED_TO)) != 0) kept.names.Add(name);
                if ((event.mask & (IN_DELETE | IN_MOVED_FROM)) != 0) kept.names.Remove(name);
                kept.notified = true;
            }
            return;
        }
    }

    std::mutex mutex_;
    pid_t owner_ = 0;
    int notify_ = -1;
    bool unavailable_ = false;
    std::vector<KeptFolder> kept_;
    unsigned long clock_ = 0;
};

NameIndex& TheIndex() {
    static NameIndex index;
    return index;
}

}  // namespace

std::optional<std::string> FindEntryIgnoringCase(const std::string& folder, const std::string& name) {
    return TheIndex().Find(folder, name);
}

}  // namespace platform
