#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>

#include "datafile/data_file.h"
#include "test_files.h"
#include "writer/qbx_writer.h"

namespace qb {
namespace {

using testing::CodeOf;
using testing::TempDir;

// A child process that holds a classic POSIX lock of `type` on the whole
// file until the parent writes to its pipe.
class LockHolder {
public:
    LockHolder(const std::string& path, short type) {
        int ready[2], release[2];
        if (::pipe(ready) != 0 || ::pipe(release) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(ready[0]);
            ::close(release[1]);
            int fd = ::open(path.c_str(), type == F_WRLCK ? O_RDWR : O_RDONLY);
            struct flock fl;
            std::memset(&fl, 0, sizeof fl);
            fl.l_type = type;
            fl.l_whence = SEEK_SET;
            char ok = (fd >= 0 && ::fcntl(fd, F_SETLK, &fl) == 0) ? 'y' : 'n';
            (void)!::write(ready[1], &ok, 1);
            char c;
            (void)!::read(release[0], &c, 1);
            ::_exit(0);
        }
        ::close(ready[1]);
        ::close(release[0]);
        release_ = release[1];
        char ok = 'n';
        (void)!::read(ready[0], &ok, 1);
        ::close(ready[0]);
        locked_ = ok == 'y';
    }
    ~LockHolder() { Release(); }
    bool Locked() const { return locked_; }
    void Release() {
        if (pid_ <= 0) return;
        (void)!::write(release_, "x", 1);
        ::close(release_);
        int status;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
    }

private:
    pid_t pid_ = -1;
    int release_ = -1;
    bool locked_ = false;
};

// Whether another process could take a write lock now.
bool ChildCanWriteLock(const std::string& path) {
    pid_t pid = ::fork();
    if (pid == 0) {
        int fd = ::open(path.c_str(), O_RDWR);
        struct flock fl;
        std::memset(&fl, 0, sizeof fl);
        fl.l_type = F_WRLCK;
        fl.l_whence = SEEK_SET;
        ::_exit(fd >= 0 && ::fcntl(fd, F_SETLK, &fl) == 0 ? 0 : 1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(DataFileLock, AWriterInAnotherProcessMakesTheFileInUse) {
    TempDir dir;
    std::string p = dir.Write("locked.qbx", qbw::FileBuilder().Build());
    {
        LockHolder writer(p, F_WRLCK);
        ASSERT_TRUE(writer.Locked());
        CDataFile f;
        EXPECT_EQ(CodeOf([&] { f.Open(p, false); }), err::kInUse);
        EXPECT_FALSE(f.IsOpen());
        writer.Release();
        EXPECT_EQ(CodeOf([&] { f.Open(p, false); }), 0);
    }
    // Another reader does not keep us out.
    LockHolder reader(p, F_RDLCK);
    ASSERT_TRUE(reader.Locked());
    CDataFile f;
    EXPECT_EQ(CodeOf([&] { f.Open(p, false); }), 0);
}

TEST(DataFileLock, AnOpenFileKeepsWritersOutUntilClosed) {
    TempDir dir;
    std::string p = dir.Write("held.qbx", qbw::FileBuilder().Build());
    ASSERT_TRUE(ChildCanWriteLock(p));
    CDataFile f;
    f.Open(p, false);
    EXPECT_FALSE(ChildCanWriteLock(p));
    // Closing some other descriptor of the same file in this process (as a
    // probe does) must not drop the lock.
    EXPECT_EQ(CDataFile::Probe(p), 1);
    EXPECT_FALSE(ChildCanWriteLock(p));
    f.Close();
    EXPECT_TRUE(ChildCanWriteLock(p));
}

#ifdef F_OFD_SETLK
TEST(DataFileLock, AWriteLockOnAnotherDescriptorInThisProcessConflicts) {
    TempDir dir;
    std::string p = dir.Write("ofd.qbx", qbw::FileBuilder().Build());
    int fd = ::open(p.c_str(), O_RDWR);
    ASSERT_GE(fd, 0);
    struct flock fl;
    std::memset(&fl, 0, sizeof fl);
    fl.l_type = F_WRLCK;
    fl.l_whence = SEEK_SET;
    ASSERT_EQ(::fcntl(fd, F_OFD_SETLK, &fl), 0);
    CDataFile f;
    EXPECT_EQ(CodeOf([&] { f.Open(p, false); }), err::kInUse);
    ::close(fd);
    EXPECT_EQ(CodeOf([&] { f.Open(p, false); }), 0);
}
#endif

}  // namespace
}  // namespace qb
