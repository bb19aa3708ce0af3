// Temporary files and small helpers shared by the container tests.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "datafile/quill_error.h"

namespace qb::testing {

class TempDir {
public:
    TempDir() {
        char tmpl[] = "/tmp/qb_container_XXXXXX";
        char* p = ::mkdtemp(tmpl);
        if (p) path_ = p;
    }
    ~TempDir() {
        std::error_code ec;
        if (!path_.empty()) std::filesystem::remove_all(path_, ec);
    }
    const std::string& Path() const { return path_; }
    std::string Write(const std::string& name, const std::string& bytes) const {
        std::string p = path_ + "/" + name;
        std::ofstream(p, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
        return p;
    }

private:
    std::string path_;
};

// The code a call throws as CQuillError; 0 when it returns normally.
inline int CodeOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const CQuillError& e) {
        return e.Code();
    }
    return 0;
}

inline void PutLE(std::string& s, size_t offset, uint32_t v, int width) {
    if (s.size() < offset + size_t(width)) s.resize(offset + size_t(width), '\0');
    for (int i = 0; i < width; ++i)
        s[offset + size_t(i)] = char(v >> (8 * i));
}

}  // namespace qb::testing
