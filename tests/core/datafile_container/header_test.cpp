#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include "datafile/data_file.h"
#include "test_files.h"
#include "writer/qbx_writer.h"

namespace qb {
namespace {

using testing::CodeOf;
using testing::PutLE;
using testing::ReadFile;
using testing::TempDir;

// A bare header of the short (pre-300) form with a sane geometry.
std::string ShortHeader(int16_t version, const char* magic = "QB") {
    std::string h(60, '\0');
    h[0] = magic[0];
    h[1] = magic[1];
    PutLE(h, 2, uint16_t(version), 2);
    PutLE(h, 4, 64, 2);
    PutLE(h, 6, 16, 2);
    for (int t = 0; t < 3; ++t)
        PutLE(h, 20 + 12 * t + 8, uint32_t(NIL_BLOCK), 4);
    return h;
}

int OpenCode(const std::string& path, bool allowNewer = false) {
    CDataFile f;
    int code = CodeOf([&] { f.Open(path, allowNewer); });
    EXPECT_EQ(f.IsOpen(), code == 0) << "a failed open must leave the file closed";
    return code;
}

std::string Built(TempDir& dir, const std::string& name, qbw::FileBuilder b) {
    return dir.Write(name, b.Build());
}

TEST(DataFileHeader, ShortDataFilesAreTruncatedAndShortOtherFilesForeign) {
    TempDir dir;
    EXPECT_EQ(OpenCode(dir.Write("three", "QB\x2c")), err::kTruncated);
    EXPECT_EQ(OpenCode(dir.Write("one", "Q")), err::kTruncated);
    // A file that does not begin like a data file is of another type,
    // however short: a few words of text, or nothing at all.
    EXPECT_EQ(OpenCode(dir.Write("junk", "XY\x01")), err::kNotQuillbox);
    EXPECT_EQ(OpenCode(dir.Write("note", "hello\n")), err::kNotQuillbox);
    EXPECT_EQ(OpenCode(dir.Write("q", "Qx")), err::kNotQuillbox);
    EXPECT_EQ(OpenCode(dir.Write("empty", "")), err::kNotQuillbox);

    std::string sixty = ShortHeader(250);
    CDataFile f;
    ASSERT_EQ(CodeOf([&] { f.Open(dir.Write("sixty", sixty), false); }), 0);
    EXPECT_EQ(f.HeaderLength(), 60);
    EXPECT_EQ(f.BlockCount(), 0);

    // From version 300 the header length is read from offset 60.
    std::string v300 = ShortHeader(300);
    v300.resize(62);
    EXPECT_EQ(OpenCode(dir.Write("v300short", v300)), err::kTruncated);
    std::string v300long = ShortHeader(300);
    PutLE(v300long, 60, 220, 4);
    v300long.resize(150);
    EXPECT_EQ(OpenCode(dir.Write("v300partial", v300long)), err::kTruncated);
}

TEST(DataFileHeader, VersionLimitsAndTheAllowNewerFlag) {
    TempDir dir;
    auto file = [&](int16_t v) {
        return Built(dir, "v" + std::to_string(v), qbw::FileBuilder().SetVersion(v));
    };
    EXPECT_EQ(OpenCode(file(209)), err::kNotValid);
    EXPECT_EQ(OpenCode(file(-5)), err::kNotValid);
    EXPECT_EQ(OpenCode(file(210)), 0);
    EXPECT_EQ(OpenCode(file(400)), 0);
    EXPECT_EQ(OpenCode(file(401)), err::kNewerVersion);
    EXPECT_EQ(OpenCode(file(401), true), 0);
    EXPECT_EQ(OpenCode(file(499), true), 0);
    EXPECT_EQ(OpenCode(file(500), true), err::kNewerVersion);
    // 400 itself is not newer; a multiple of 100 above it is not "4xx with a minor".
    EXPECT_EQ(OpenCode(file(600), true), err::kNewerVersion);

    CDataFile f;
    f.Open(file(450), true);
    EXPECT_EQ(f.Version(), 450);
    EXPECT_EQ(f.BlockSize(), 512);
}

TEST(DataFileHeader, MagicIsCheckedBeforeTheVersion) {
    TempDir dir;
    EXPECT_EQ(OpenCode(dir.Write("qa", ShortHeader(100, "QA"))), err::kNotQuillbox);
    // Before the header length, however short the file is.
    std::string qa900 = ShortHeader(900, "QA");
    EXPECT_EQ(OpenCode(dir.Write("qa900short", qa900)), err::kNotQuillbox);
    PutLE(qa900, 60, 64, 4);
    EXPECT_EQ(OpenCode(dir.Write("qa900", qa900)), err::kNotQuillbox);
    EXPECT_EQ(OpenCode(dir.Write("qb_lower", ShortHeader(250, "qb"))), err::kNotQuillbox);
}

TEST(DataFileHeader, GeneratorTextMustMatchExactlyFrom300) {
    TempDir dir;
    EXPECT_EQ(OpenCode(Built(dir, "ok", qbw::FileBuilder())), 0);
    EXPECT_EQ(OpenCode(Built(dir, "letter", qbw::FileBuilder().SetGenerator("Quillbox Data Fila"))),
              err::kNotValid);
    EXPECT_EQ(OpenCode(Built(dir, "case", qbw::FileBuilder().SetGenerator("quillbox data file"))),
              err::kNotValid);
    EXPECT_EQ(
        OpenCode(Built(dir, "longer", qbw::FileBuilder().SetGenerator("Quillbox Data File 2"))),
        err::kNotValid);
    EXPECT_EQ(OpenCode(Built(dir, "old", qbw::FileBuilder().SetVersion(299).SetGenerator("x"))), 0);
    // A header too short to reach the text cannot carry it.
    EXPECT_EQ(OpenCode(Built(dir, "h64", qbw::FileBuilder().SetHeaderLengthField(64))),
              err::kNotValid);

    CDataFile f;
    f.Open(Built(dir, "text", qbw::FileBuilder()), false);
    EXPECT_EQ(f.GeneratorText(), "Quillbox Data File");
}

TEST(DataFileHeader, HeaderLengthIsCappedAndLimitsTheTables) {
    TempDir dir;
    CDataFile f;
    f.Open(Built(dir, "big", qbw::FileBuilder().SetHeaderLengthField(4000)), false);
    EXPECT_EQ(f.HeaderLength(), 220);
    f.Close();

    // Below 300 the header is 60 bytes: table 3's descriptor lies beyond it.
    std::string h = ShortHeader(250);
    PutLE(h, 20, 7, 4);  // table 0 count
    PutLE(h, 24, 2, 4);  // table 0 free
    f.Open(dir.Write("short", h), false);
    EXPECT_EQ(f.Table(table::kKeywords).count, 7);
    EXPECT_EQ(f.LiveCount(table::kKeywords), 5);
    EXPECT_EQ(f.Table(table::kGroups).count, 0);
    EXPECT_EQ(f.Table(table::kGroups).firstBlock, NIL_BLOCK);
    EXPECT_EQ(f.Table(7).firstBlock, NIL_BLOCK);
    EXPECT_EQ(f.Flags(), 0);
}

TEST(DataFileHeader, UnsoundBlockGeometryIsCorruption) {
    TempDir dir;
    auto withGeometry = [&](uint16_t b, uint16_t e) {
        qbw::Image img = qbw::FileBuilder().SetRecord(1, 0, "abc").BuildImage();
        img.SetBlockSizeField(b);
        img.SetEntriesField(e);
        std::string p = dir.Path() + "/g" + std::to_string(b) + "_" + std::to_string(e);
        img.WriteFile(p);
        return p;
    };
    EXPECT_EQ(OpenCode(withGeometry(512, 0)), err::kCorrupted);
    EXPECT_EQ(OpenCode(withGeometry(0, 0)), err::kCorrupted);
    EXPECT_EQ(OpenCode(withGeometry(512, 129)), err::kCorrupted);
    EXPECT_EQ(OpenCode(withGeometry(100, 128)), err::kCorrupted);
    EXPECT_EQ(OpenCode(withGeometry(512, 128)), 0);
}

TEST(DataFileHeader, FlagsSayWhetherThePasswordIsAskedAtOpen) {
    TempDir dir;
    for (int32_t flags : {0, 1, 2, 3, 4}) {
        CDataFile f;
        f.Open(Built(dir, "f" + std::to_string(flags), qbw::FileBuilder().SetFlags(flags)), false);
        EXPECT_EQ(f.Flags(), flags);
        EXPECT_EQ(f.AsksPasswordAtOpen(), (flags & 3) != 0) << flags;
    }
}

TEST(DataFileProbe, ClassifiesVersionsAndThrowsOtherFailures) {
    TempDir dir;
    auto probe = [&](qbw::FileBuilder b, const char* name) {
        return CDataFile::Probe(Built(dir, name, std::move(b)));
    };
    EXPECT_EQ(probe(qbw::FileBuilder().SetVersion(400), "a"), 0);
    EXPECT_EQ(probe(qbw::FileBuilder().SetVersion(300), "b"), 1);
    EXPECT_EQ(probe(qbw::FileBuilder().SetVersion(401), "c"), 2);
    EXPECT_EQ(probe(qbw::FileBuilder().SetVersion(499), "d"), 2);
    EXPECT_EQ(probe(qbw::FileBuilder().SetVersion(500), "e"), 3);
    EXPECT_EQ(probe(qbw::FileBuilder().SetVersion(200), "f"), 4);
    EXPECT_EQ(probe(qbw::FileBuilder().SetGenerator("Other"), "g"), 4);
    EXPECT_EQ(CodeOf([&] { CDataFile::Probe(dir.Write("short", "QB")); }), err::kTruncated);
    EXPECT_EQ(CodeOf([&] { CDataFile::Probe(dir.Write("text", "Notes\n")); }), err::kNotQuillbox);
    EXPECT_EQ(CodeOf([&] { CDataFile::Probe(dir.Write("qa", ShortHeader(250, "QA"))); }),
              err::kNotQuillbox);
    EXPECT_EQ(CodeOf([&] { CDataFile::Probe(dir.Path() + "/missing.qbx"); }), err::kNotFound);
}

TEST(DataFileOpen, FileSystemFailuresCarryTheirCodeAndThePath) {
    TempDir dir;
    std::string missing = dir.Path() + "/nothere.qbx";
    CDataFile f;
    try {
        f.Open(missing, false);
        FAIL() << "opened a missing file";
    } catch (const CQuillError& e) {
        EXPECT_EQ(e.Code(), err::kNotFound);
        EXPECT_EQ(e.Path(), missing);
    }
    EXPECT_EQ(OpenCode(dir.Path() + "/nodir/x.qbx"), err::kNotFound);
    std::string notDir = dir.Write("plain", "x");
    EXPECT_EQ(OpenCode(notDir + "/x.qbx"), err::kNotFound);  // ENOTDIR
    EXPECT_EQ(OpenCode(dir.Path()), err::kFileSystem);       // a directory

    // A FIFO in place of the file must not block the open.
    std::string fifo = dir.Path() + "/fifo.qbx";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(OpenCode(fifo), err::kFileSystem);

    if (::geteuid() != 0) {
        std::string locked = Built(dir, "noread", qbw::FileBuilder());
        ::chmod(locked.c_str(), 0);
        EXPECT_EQ(OpenCode(locked), err::kAccessDenied);
    }
}

TEST(DataFileOpen, NamesAndReopening) {
    TempDir dir;
    std::string p = Built(dir, "My Notes.v2.qbx", qbw::FileBuilder());
    CDataFile f;
    f.Open(p, false);
    EXPECT_EQ(f.Path(), p);
    EXPECT_EQ(f.FileName(), "My Notes.v2.qbx");
    EXPECT_EQ(f.FileTitle(), "My Notes.v2");
    f.Close();
    EXPECT_FALSE(f.IsOpen());
    EXPECT_EQ(CodeOf([&] { f.LookupRecord(1, 0); }), err::kFileSystem);

    // A failed open after a good one leaves nothing of the old file behind.
    f.Open(p, false);
    EXPECT_NE(CodeOf([&] { f.Open(dir.Write("bad", "QB"), false); }), 0);
    EXPECT_FALSE(f.IsOpen());
    EXPECT_EQ(f.Path(), dir.Path() + "/bad");

    CDataFile g;
    g.Open(Built(dir, ".hidden", qbw::FileBuilder()), false);
    EXPECT_EQ(g.FileTitle(), ".hidden");
}

TEST(DataFileOpen, TheFileIsNeverWritten) {
    TempDir dir;
    qbw::FileBuilder b;
    b.SetRecord(1, 0, std::string(3000, 'x')).SetStream(4, "abcd");
    std::string p = Built(dir, "ro.qbx", b);
    ::chmod(p.c_str(), 0444);
    struct stat before;
    ASSERT_EQ(::stat(p.c_str(), &before), 0);
    std::string bytes = b.Build();
    {
        CDataFile f;
        f.Open(p, false);
        IdSet live;
        f.ListLiveRecords(live);
        f.FindStream(4);
        f.Close();
    }
    struct stat after;
    ASSERT_EQ(::stat(p.c_str(), &after), 0);
    EXPECT_EQ(after.st_size, before.st_size);
    EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
    EXPECT_EQ(ReadFile(p), bytes);
}

}  // namespace
}  // namespace qb
