#include "bench/RawFileReads.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string>

namespace raw {

namespace {

std::size_t ReadToEnd(int fd) {
    char buffer[16 * 1024];
    std::size_t total = 0;
    for (ssize_t count; (count = read(fd, buffer, sizeof buffer)) > 0;) total += static_cast<std::size_t>(count);
    return total;
}

}  // namespace

std::size_t OpenReadStatClose(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return 0;
    const std::size_t total = ReadToEnd(fd);
    struct stat info;
    (void)fstat(fd, &info);
    close(fd);
    return total;
}

std::vector<std::string> ListFolder(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) return names;
    while (const dirent* entry = readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0) {
            names.emplace_back(entry->d_name);
        }
    }
    closedir(dir);
    return names;
}

bool DurableCopyWithTimes(const std::string& from, const std::string& to) {
    const int source = open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (source < 0) return false;
    struct stat info;
    bool ok = fstat(source, &info) == 0;
    const std::string temporary = to + ".tmp";
    const int target = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    ok = ok && target >= 0;
    char buffer[16 * 1024];
    for (ssize_t count; ok && (count = read(source, buffer, sizeof buffer)) > 0;) {
        ok = write(target, buffer, static_cast<std::size_t>(count)) == count;
    }
    const timespec times[2] = {info.st_atim, info.st_mtim};
    ok = ok && futimens(target, times) == 0 && fdatasync(target) == 0;
    if (target >= 0) ok = close(target) == 0 && ok;
    close(source);
    ok = ok && rename(temporary.c_str(), to.c_str()) == 0;
    const std::string folder = to.substr(0, to.rfind('/') + 1);
    const int directory = ok ? open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC) : -1;
    ok = ok && directory >= 0 && fsync(directory) == 0;
    if (directory >= 0) close(directory);
    return ok;
}

}  // namespace raw
