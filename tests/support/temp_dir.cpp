#include "support/temp_dir.h"

#include <fstream>
#include <random>
#include <sstream>

namespace wbh::test {

TempDir::TempDir() {
    std::random_device random;
    const auto base = std::filesystem::temp_directory_path();
    for (;;) {
        path_ = base / ("wbhtest." + std::to_string(random()));
        if (std::filesystem::create_directory(path_)) break;
    }
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::File(const std::string& name) const { return (path_ / name).string(); }

std::string TempDir::Write(const std::string& name, const std::string& bytes) const {
    // Written beside and renamed into place, as an editor saves: each version is a new file.
    const std::string file = File(name);
    const std::string temp = file + ".new";
    std::ofstream(temp, std::ios::binary | std::ios::trunc) << bytes;
    std::filesystem::rename(temp, file);
    return file;
}

std::string TempDir::Read(const std::string& name) const {
    std::ifstream in(File(name), std::ios::binary);
    if (!in) return "<missing>";
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

}  // namespace wbh::test
