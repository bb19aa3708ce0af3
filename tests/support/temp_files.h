// Scratch files for tests: a fresh folder per test, removed with everything
// in it when the test ends, and whole-file writes and reads of raw bytes.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace qb::testing {

// Writes `bytes` as the whole file, creating missing parent folders.
inline void WriteFile(const std::string& path, const std::string& bytes) {
    std::filesystem::path parent = std::filesystem::path(path).parent_path();
    std::error_code ec;
    if (!parent.empty()) std::filesystem::create_directories(parent, ec);
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

// The whole file; empty when it cannot be read.
inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class TempDir {
public:
    TempDir() {
        std::string t = (std::filesystem::temp_directory_path() / "qb_test_XXXXXX").string();
        if (char* made = ::mkdtemp(t.data())) path_ = made;
        // Without a folder every path below would point at the root.
        if (path_.empty()) ADD_FAILURE() << "cannot make a temporary folder";
    }
    ~TempDir() {
        std::error_code ec;
        if (!path_.empty()) std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

    // Writes `bytes` to `name` inside the folder and returns the file's path.
    std::string Write(const std::string& name, const std::string& bytes) const {
        std::string p = *this / name;
        WriteFile(p, bytes);
        return p;
    }

private:
    std::string path_;
};

}  // namespace qb::testing
