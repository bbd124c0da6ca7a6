// A fresh, empty folder under the system's temporary folder for one test,
// removed with everything in it when the object goes away.
#pragma once

#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>
#include <system_error>

#include "platform/FileSystem.h"

class TempFolder {
public:
    TempFolder()
    {
        std::random_device random;
        const std::filesystem::path base = std::filesystem::temp_directory_path();
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::filesystem::path candidate = base / ("ztbtest-" + std::to_string(random()));
            std::error_code error;
            if (std::filesystem::create_directory(candidate, error)) {
                path_ = candidate;
                return;
            }
        }
        throw std::runtime_error("cannot create a temporary folder under " + base.string());
    }

    ~TempFolder()
    {
        std::error_code error;
        std::filesystem::remove_all(path_, error);
    }

    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& FsPath() const { return path_; }

    // The folder as the core writes folders: ending in the separator.
    std::string Text() const { return path_.string() + platform::kPathSeparator; }

    // The folder joined with a name (which may itself hold separators).
    std::string Path(const std::string& name) const { return Text() + name; }

private:
    std::filesystem::path path_;
};
