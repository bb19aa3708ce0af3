#include "datafile/data_file.h"
#include "datafile/record_stream.h"
#include "test_files.h"
#include "writer/qbx_writer.h"

namespace qb {
namespace {

using testing::CodeOf;
using testing::TempDir;

std::string Tag(int32_t i) {
    return "record " + std::to_string(i);
}

// Small blocks so that a few hundred slots span many table blocks.
qbw::FileBuilder SmallBlocks() {
    qbw::FileBuilder b;
    b.SetGeometry(64, 16);
    return b;
}

std::string FirstBytes(CDataFile& f, int t, int32_t id, size_t n) {
    CRecordStream rs;
    rs.OpenRecord(f, t, id);
    std::string s(n, '\0');
    rs.ReadExact(s.data(), n);
    return s;
}

TEST(RecordTable, LookupAcrossManyTableBlocksWithGaps) {
    TempDir dir;
    qbw::FileBuilder b = SmallBlocks();
    IdSet expected;
    for (int32_t i = 0; i < 500; ++i)
        if (i % 7 != 3) {
            b.SetRecord(1, i, Tag(i));
            expected.Insert(i);
        }
    b.SetTableCount(1, 510).Scatter(42);
    std::string p = dir.Write("many.qbx", b.Build());

    CDataFile f;
    f.Open(p, false);
    EXPECT_EQ(f.Table(1).count, 510);
    EXPECT_EQ(f.LiveCount(1), int32_t(expected.Count()));
    // Backwards as well, so that the index is not only filled front to back.
    for (int32_t i = 509; i >= 0; --i) {
        int32_t first = f.LookupRecord(1, i);
        if (expected.Contains(i)) {
            ASSERT_NE(first, NIL_BLOCK) << i;
            ASSERT_EQ(FirstBytes(f, 1, i, Tag(i).size()), Tag(i));
        } else {
            ASSERT_EQ(first, NIL_BLOCK) << i;
        }
    }
    IdSet live;
    f.ListLiveRecords(live);
    EXPECT_EQ(live, expected);
}

TEST(RecordTable, OutOfRangeIdsAndEmptySlots) {
    TempDir dir;
    qbw::FileBuilder b;
    b.SetRecord(1, 0, "a").SetRecord(1, 2, "c");
    CDataFile f;
    f.Open(dir.Write("t.qbx", b.Build()), false);
    EXPECT_EQ(CodeOf([&] { f.LookupRecord(1, 3); }), err::kBadRecordId);  // id == count
    EXPECT_EQ(CodeOf([&] { f.LookupRecord(1, -1); }), err::kBadRecordId);
    EXPECT_EQ(CodeOf([&] { f.LookupRecord(0, 0); }), err::kBadRecordId);  // empty table
    EXPECT_EQ(f.LookupRecord(1, 1), NIL_BLOCK);
    CRecordStream rs;
    EXPECT_EQ(CodeOf([&] { rs.OpenRecord(f, 1, 1); }), err::kCorrupted);
    EXPECT_EQ(CodeOf([&] { rs.OpenRecord(f, 1, 7); }), err::kBadRecordId);
    // The file stays usable after failed lookups.
    EXPECT_EQ(FirstBytes(f, 1, 2, 1), "c");
}

TEST(RecordTable, ATableChainEndingEarly) {
    TempDir dir;
    qbw::FileBuilder b = SmallBlocks();
    for (int32_t i = 0; i < 64; ++i)
        b.SetRecord(1, i, Tag(i));
    qbw::Image img = b.BuildImage();
    const auto& chain = img.layout.tables.at(1);
    ASSERT_EQ(chain.size(), 4u);
    img.BreakChain(chain, 1);  // only the first two table blocks remain
    std::string p = dir.Path() + "/broken.qbx";
    img.WriteFile(p);

    CDataFile f;
    f.Open(p, false);
    EXPECT_NE(f.LookupRecord(1, 31), NIL_BLOCK);
    EXPECT_EQ(CodeOf([&] { f.LookupRecord(1, 32); }), err::kCorrupted);
    EXPECT_EQ(CodeOf([&] { f.LookupRecord(1, 63); }), err::kCorrupted);
    // Listing stops where the chain ends.
    IdSet live;
    f.ListLiveRecords(live);
    EXPECT_EQ(live.Count(), 32u);
    EXPECT_EQ(live.At(31), 31);
}

TEST(RecordTable, ALoopingOrStrayTableChainIsCaught) {
    TempDir dir;
    qbw::FileBuilder b = SmallBlocks();
    for (int32_t i = 0; i < 48; ++i)
        b.SetRecord(1, i, Tag(i));
    qbw::Image img = b.BuildImage();
    img.PatchInt32(qbw::hdr::Descriptor(1), 16 * 1000);  // far more slots than the chain holds
    const std::vector<int32_t> chain = img.layout.tables.at(1);
    ASSERT_EQ(chain.size(), 3u);
    qbw::Image looped = img;
    looped.SetChainEntry(chain.back(), chain.front());
    std::string p = dir.Path() + "/loop.qbx";
    looped.WriteFile(p);
    CDataFile f;
    f.Open(p, false);
    EXPECT_EQ(CodeOf([&] { f.LookupRecord(1, 16 * 999); }), err::kCorrupted);
    IdSet live;
    EXPECT_EQ(CodeOf([&] { f.ListLiveRecords(live); }), err::kCorrupted);
    f.Close();

    qbw::Image stray = img;
    stray.SetChainEntry(chain.back(), 1000000);
    stray.WriteFile(p);
    f.Open(p, false);
    EXPECT_EQ(CodeOf([&] { f.LookupRecord(1, 16 * 999); }), err::kTruncated);
}

TEST(StreamDirectory, FindsStreamsAndTreatsMissingOnesAsCorrupt) {
    TempDir dir;
    qbw::FileBuilder b;
    b.SetStream(4, "four").SetStream(15, std::string(2000, 'r')).SetStream(-3, "neg");
    CDataFile f;
    f.Open(dir.Write("s.qbx", b.Build()), false);
    auto entries = f.StreamDirectory();
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[1].id, 15);
    EXPECT_EQ(f.FindStream(15), entries[1].firstBlock);
    EXPECT_EQ(f.FindStream(-3), entries[2].firstBlock);
    EXPECT_EQ(f.FindStream(9), NIL_BLOCK);
    CRecordStream rs;
    EXPECT_EQ(CodeOf([&] { rs.OpenStream(f, 9); }), err::kCorrupted);
    rs.OpenStream(f, 4);
    char four[4];
    rs.ReadExact(four, 4);
    EXPECT_EQ(std::string(four, 4), "four");

    CDataFile none;
    none.Open(dir.Write("none.qbx", qbw::FileBuilder().Build()), false);
    EXPECT_EQ(none.FindStream(4), NIL_BLOCK);
    EXPECT_TRUE(none.StreamDirectory().empty());
}

TEST(StreamDirectory, ACountLongerThanTheDirectoryChain) {
    TempDir dir;
    qbw::Image img = qbw::FileBuilder().SetStream(4, "x").BuildImage();
    img.PatchInt32(qbw::hdr::Descriptor(2), 0x7FFFFFFF);
    std::string p = dir.Path() + "/d.qbx";
    img.WriteFile(p);
    CDataFile f;
    f.Open(p, false);
    EXPECT_NE(f.FindStream(4), NIL_BLOCK);  // found before the damage matters
    EXPECT_EQ(CodeOf([&] { f.FindStream(99); }), err::kCorrupted);
    EXPECT_EQ(CodeOf([&] { f.StreamDirectory(); }), err::kCorrupted);
}

}  // namespace
}  // namespace qb

namespace qb {
namespace {

// Looking up every record of a table spanning 1,250 blocks must not walk the
// table's chain from its head for each id.
TEST(RecordTable, LookupsOfALargeTableReadEachTableBlockOnce) {
    TempDir dir;
    qbw::FileBuilder b = SmallBlocks();
    const int32_t n = 20000;
    for (int32_t i = 0; i < n; ++i)
        b.SetRecord(1, i, "r");
    b.Scatter(3);
    qbw::Image img = b.BuildImage();
    const size_t tableBlocks = img.layout.tables.at(1).size();
    ASSERT_EQ(tableBlocks, 1250u);
    std::string p = dir.Path() + "/large.qbx";
    img.WriteFile(p);

    CDataFile f;
    f.Open(p, false);
    for (int32_t i = n - 1; i >= 0; --i)
        ASSERT_EQ(f.LookupRecord(1, i), img.layout.records.at({1, i}).front());
    // Each table block once, plus at most one chain-table read per step.
    EXPECT_LE(f.BlockReads(), int64_t(2 * tableBlocks + 16));
    int64_t before = f.BlockReads();
    IdSet live;
    f.ListLiveRecords(live);
    EXPECT_EQ(live.Count(), size_t(n));
    EXPECT_EQ(f.BlockReads(), before);  // the index serves the listing too
}

}  // namespace
}  // namespace qb
