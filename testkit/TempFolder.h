// A fresh, empty folder for one test, under the system's temporary folder
// or another one given, removed with everything in it when the object goes
// away.
#pragma once

#include <algorithm>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>
#include <system_error>

#include "platform/FileSystem.h"

class TempFolder {
public:
    explicit TempFolder(const std::filesystem::path& base = std::filesystem::temp_directory_path()) {
        std::random_device random;  // a random name; creating a taken one fails
        for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
            const std::filesystem::path candidate = base / ("ztbtest-" + std::to_string(random()));
            if (std::error_code error; std::filesystem::create_directory(candidate, error)) path_ = candidate;
        }
        if (path_.empty()) throw std::runtime_error("cannot create a temporary folder under " + base.string());
    }

    ~TempFolder() {
        std::error_code error;
        std::filesystem::remove_all(path_, error);
    }

    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& FsPath() const { return path_; }

    // The folder as the core writes folders: ending in the separator.
    std::string Text() const { return path_.string() + platform::kPathSeparator; }

    // The folder joined with a name, which may hold '/' for the separator.
    std::string Path(std::string name) const {
        std::replace(name.begin(), name.end(), '/', platform::kPathSeparator);
        return Text() + name;
    }

private:
    std::filesystem::path path_;
};
