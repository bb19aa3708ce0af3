// Shared helpers of the app tests: a scratch folder and a scripted machine.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include "app/system_env.h"
#include "support/temp_files.h"

namespace qb::testing {

// A machine whose program path, drive and environment the test sets; file
// existence and reading go to the real file system so that stores work.
class FakeEnv : public SystemEnv {
public:
    std::string programPath = "/opt/qb/quillbox-reader";
    bool removable = false;
    std::optional<uint32_t> serial = 0x1a2b3c4du;
    std::string mountPoint = "/";
    std::map<std::string, std::string> env;
    std::string home = "/home/user";

    std::string ProgramPath() override { return programPath; }
    bool IsOnRemovableDrive(const std::string&) override { return removable; }
    std::optional<uint32_t> VolumeSerial(const std::string&) override { return serial; }
    std::string MountPointOf(const std::string&) override { return mountPoint; }
    std::optional<std::string> GetEnv(const std::string& name) override {
        auto it = env.find(name);
        if (it == env.end()) return std::nullopt;
        return it->second;
    }
    bool FileExists(const std::string& path) override {
        struct stat st;
        return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
    }
    bool DirectoryExists(const std::string& path) override {
        struct stat st;
        return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    }
    std::optional<std::string> ReadTextFile(const std::string& path) override {
        std::ifstream in(path, std::ios::binary);
        if (!in) return std::nullopt;
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    std::string CanonicalPath(const std::string& path) override {
        std::error_code ec;
        auto p = std::filesystem::canonical(path, ec);
        return ec ? std::string() : p.string();
    }
    std::string CurrentDirectory() override { return "/"; }
    std::string HomeDirectory() override { return home; }
};

}  // namespace qb::testing
