#pragma once

#include "text/NativePath.h"

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace bitexa {

// A fresh folder for one test, removed with everything in it at the end.
class TempDir {
public:
    TempDir() {
        std::random_device random;
        path_ = std::filesystem::temp_directory_path() /
                ("bitexa-test-" + std::to_string(random()) + std::to_string(random()));
        std::filesystem::create_directories(path_);
    }
    ~TempDir() {
        // Tests lock folders; open them again so that everything can go.
        std::error_code ignored;
        const auto unlock = [&ignored](const std::filesystem::path& p) {
            std::filesystem::permissions(p, std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ignored);
        };
        unlock(path_);
        for (auto it = std::filesystem::recursive_directory_iterator(path_, ignored);
             it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
            if (it->is_directory(ignored) && !it->is_symlink(ignored)) {
                unlock(it->path());
            }
        }
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::string Native(const std::string& name) const { return (path_ / name).string(); }
    std::wstring Wide(const std::string& name) const { return PathFromNative(Native(name)); }

    // Writes the bytes to the named file and gives its path as the program sees paths.
    std::wstring Write(const std::string& name, const std::string& bytes) const {
        std::ofstream(Native(name), std::ios::binary | std::ios::trunc) << bytes;
        return Wide(name);
    }

    std::string Read(const std::string& name) const {
        std::ifstream in(Native(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

private:
    std::filesystem::path path_;
};

} // namespace bitexa
