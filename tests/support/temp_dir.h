// A fresh directory per test, removed with everything in it when the test ends.
#pragma once

#include <filesystem>
#include <string>

namespace wbh::test {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    // The path of a file in the directory, as text for the program's calls.
    std::string File(const std::string& name) const;
    // Writes the bytes exactly as given (no line-end translation) and returns the file's path.
    std::string Write(const std::string& name, const std::string& bytes) const;
    // The file's bytes, or "<missing>" when it does not exist.
    std::string Read(const std::string& name) const;

private:
    std::filesystem::path path_;
};

}  // namespace wbh::test
