#include "datafile/parallel_reads.h"

#include <gmock/gmock.h>

#include <atomic>
#include <set>
#include <stdexcept>
#include <thread>
#include <vector>

#include "datafile/data_file.h"
#include "datafile/record_stream.h"
#include "test_files.h"
#include "writer/qbx_writer.h"

namespace qb {
namespace {

using testing::CodeOf;
using testing::TempDir;

std::string Tag(int32_t i) {
    return "record " + std::to_string(i) + std::string(size_t(i % 90), 'x');
}

std::string RecordText(CDataFile& f, int32_t id) {
    CRecordStream rs;
    rs.OpenRecord(f, table::kArticles, id);
    std::string s = Tag(id);
    rs.ReadExact(s.data(), s.size());
    return s;
}

// Small blocks and scattered chains: every record spans blocks, and the
// table spans many.
std::string ManyRecords(TempDir& dir, int32_t n) {
    qbw::FileBuilder b;
    b.SetGeometry(64, 16);
    for (int32_t i = 0; i < n; ++i)
        b.SetRecord(1, i, Tag(i));
    b.Scatter(7);
    return dir.Write("many.qbx", b.Build());
}

TEST(Replica, ReadsTheSameFileWithCachesOfItsOwn) {
    TempDir dir;
    const std::string path = ManyRecords(dir, 300);
    CDataFile source;
    source.Open(path, false);
    ContentKey key{};
    key[3] = 9;
    source.SetContentKey(key);
    EXPECT_EQ(RecordText(source, 5), Tag(5));  // the source's caches are warm

    CDataFile replica;
    replica.OpenReplica(source);
    EXPECT_TRUE(replica.IsOpen());
    EXPECT_EQ(replica.Path(), source.Path());
    EXPECT_EQ(replica.GetContentKey(), key);
    EXPECT_EQ(replica.BlockSize(), source.BlockSize());
    EXPECT_EQ(replica.LiveCount(table::kArticles), 300);
    for (int32_t id : {0, 5, 150, 299})
        EXPECT_EQ(RecordText(replica, id), Tag(id));
    EXPECT_EQ(CodeOf([&] { replica.LookupRecord(table::kArticles, 300); }), err::kBadRecordId);

    // Closing the replica leaves the source open and reading.
    replica.Close();
    EXPECT_FALSE(replica.IsOpen());
    EXPECT_EQ(RecordText(source, 299), Tag(299));
}

TEST(Replica, OfAClosedFileIsRefused) {
    CDataFile closed, replica;
    EXPECT_NE(CodeOf([&] { replica.OpenReplica(closed); }), 0);
    EXPECT_FALSE(replica.IsOpen());
}

TEST(ReadInParallel, EveryIndexOnceAndTheSameBytesOnEveryThread) {
    TempDir dir;
    const int32_t n = 1000;
    const std::string path = ManyRecords(dir, n);
    CDataFile file;
    file.Open(path, false);
    for (unsigned threads : {1u, 2u, 4u}) {
        std::vector<std::string> got(n);
        std::vector<std::atomic<int>> calls(n);
        std::atomic<int> onReplicas{0};
        ReadInParallel(file, size_t(n), threads, [&](CDataFile& handle, size_t i) {
            ++calls[i];
            if (&handle != &file) ++onReplicas;
            got[i] = RecordText(handle, int32_t(i));
        });
        for (int32_t i = 0; i < n; ++i) {
            EXPECT_EQ(calls[size_t(i)].load(), 1) << i;
            EXPECT_EQ(got[size_t(i)], Tag(i)) << i;
        }
        if (threads == 1) {
            EXPECT_EQ(onReplicas.load(), 0);
        }
    }
    EXPECT_TRUE(file.IsOpen()) << "the replicas are closed, not the file";
    EXPECT_EQ(RecordText(file, 0), Tag(0));
}

TEST(ReadInParallel, AnEscapingExceptionIsRethrownAfterEveryThreadStopped) {
    TempDir dir;
    CDataFile file;
    file.Open(ManyRecords(dir, 600), false);
    std::atomic<int> running{0};
    EXPECT_THROW(ReadInParallel(file, 600, 3,
                                [&](CDataFile&, size_t i) {
                                    ++running;
                                    --running;
                                    if (i == 130) throw std::runtime_error("stop");
                                }),
                 std::runtime_error);
    EXPECT_EQ(running.load(), 0);
    // Nothing to read: no thread, no call.
    int calls = 0;
    ReadInParallel(file, 0, 4, [&](CDataFile&, size_t) { ++calls; });
    EXPECT_EQ(calls, 0);
}

}  // namespace
}  // namespace qb
