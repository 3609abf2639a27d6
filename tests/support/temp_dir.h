// A fresh directory per test, removed with everything in it when the test ends.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace wbh::test {

class TempDir {
public:
    TempDir() {
        std::random_device random;
        const auto base = std::filesystem::temp_directory_path();
        do {
            path_ = base / ("wbhtest." + std::to_string(random()));
        } while (!std::filesystem::create_directory(path_));
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    // The path of a file in the directory, as text for the program's calls.
    std::string File(const std::string& name) const { return (path_ / name).string(); }
    // Writes the bytes as given (no line-end translation), making its folders, and returns its
    // path; `mode`, when given, is the file's. Written beside, then renamed: a new file each time.
    std::string Write(const std::string& name, const std::string& bytes, int mode = 0) const {
        const std::string file = File(name);
        std::filesystem::create_directories(std::filesystem::path(file).parent_path());
        std::ofstream(file + ".new", std::ios::binary) << bytes;
        std::filesystem::rename(file + ".new", file);
        if (mode != 0) std::filesystem::permissions(file, std::filesystem::perms(mode));
        return file;
    }
    // The file's bytes, or "<missing>" when it does not exist.
    std::string Read(const std::string& name) const {
        std::ifstream in(File(name), std::ios::binary);
        return in ? std::string(std::istreambuf_iterator<char>(in), {}) : "<missing>";
    }

private:
    std::filesystem::path path_;
};

}  // namespace wbh::test
