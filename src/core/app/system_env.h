// What start-up needs to know about the machine: the program's own path,
// the drive (mount) holding it, environment variables and file existence.
// The Linux implementation reads /proc and /sys; tests substitute a fake.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace qb {

class SystemEnv {
public:
    virtual ~SystemEnv() = default;

    virtual std::string ProgramPath() = 0;  // absolute
    // Whether the block device holding `path` reports itself removable.
    virtual bool IsOnRemovableDrive(const std::string& path) = 0;
    // The file system id of the volume holding `path`, low 32 bits.
    virtual std::optional<uint32_t> VolumeSerial(const std::string& path) = 0;
    // The mount point holding `path` (plays the drive letter's part).
    virtual std::string MountPointOf(const std::string& path) = 0;
    virtual std::optional<std::string> GetEnv(const std::string& name) = 0;
    virtual bool FileExists(const std::string& path) = 0;  // a regular file
    virtual bool DirectoryExists(const std::string& path) = 0;
    // The whole file, or nothing when it cannot be read.
    virtual std::optional<std::string> ReadTextFile(const std::string& path) = 0;
    // The absolute, symlink-free form of an existing path; empty if none.
    virtual std::string CanonicalPath(const std::string& path) = 0;
    virtual std::string CurrentDirectory() = 0;
    virtual std::string HomeDirectory() = 0;
};

class LinuxSystemEnv : public SystemEnv {
public:
    // `procRoot` and `sysRoot` let tests point at fake trees.
    explicit LinuxSystemEnv(std::string procRoot = "/proc", std::string sysRoot = "/sys");

    std::string ProgramPath() override;
    bool IsOnRemovableDrive(const std::string& path) override;
    std::optional<uint32_t> VolumeSerial(const std::string& path) override;
    std::string MountPointOf(const std::string& path) override;
    std::optional<std::string> GetEnv(const std::string& name) override;
    bool FileExists(const std::string& path) override;
    bool DirectoryExists(const std::string& path) override;
    std::optional<std::string> ReadTextFile(const std::string& path) override;
    std::string CanonicalPath(const std::string& path) override;
    std::string CurrentDirectory() override;
    std::string HomeDirectory() override;

private:
    std::string procRoot_;
    std::string sysRoot_;
};

// The volume serial as the portable marker writes it: "%04x-%04x" of the
// high and low 16 bits.
std::string FormatVolumeSerial(uint32_t serial);

// The mount point in a /proc/self/mountinfo text that holds the absolute,
// canonical `path`: the longest mount point that is a component-wise prefix
// of it. "/" when nothing matches.
std::string MountPointFromMountInfo(const std::string& mountinfo, const std::string& path);

// Whether the block device major:minor is removable according to the sysfs
// tree at `sysRoot` (a partition asks its whole disk).
bool IsRemovableBlockDevice(const std::string& sysRoot, unsigned major, unsigned minor);

// The documents folder from a user-dirs.dirs text (XDG_DOCUMENTS_DIR, with
// "$HOME" expanded; the last such line counts); nothing when it is absent.
std::optional<std::string> DocumentsDirFromUserDirs(const std::string& text,
                                                    const std::string& home);

// Path helpers on '/'-separated paths.
std::string JoinPath(const std::string& dir, const std::string& name);
std::string DirectoryOf(const std::string& path);  // without the trailing '/'
std::string FileNameOf(const std::string& path);
// `path` with the extension of its last component replaced by `ext`
// (appended when there is none).
std::string ReplaceExtension(const std::string& path, const std::string& ext);
// Whether `path` lies in `dir` or is `dir` itself, comparing whole components.
bool PathIsUnder(const std::string& path, const std::string& dir);

}  // namespace qb
