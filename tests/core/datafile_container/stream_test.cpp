#include <zlib.h>

#include <cstring>

#include "datafile/data_file.h"
#include "datafile/md5.h"
#include "datafile/record_stream.h"
#include "test_files.h"
#include "writer/qbx_writer.h"

namespace qb {
namespace {

using testing::CodeOf;
using testing::TempDir;

// One data file holding `content` as stream 5, on 64-byte blocks, scattered.
class StreamFile {
public:
    explicit StreamFile(const std::string& content, uint32_t seed = 7) {
        qbw::FileBuilder b;
        b.SetGeometry(64, 16).SetStream(5, content).Scatter(seed);
        image_ = b.BuildImage();
        Reopen();
    }
    void Reopen() {
        file_.Close();
        std::string p = dir_.Path() + "/s.qbx";
        image_.WriteFile(p);
        file_.Open(p, false);
    }
    CRecordStream& Stream() {
        rs_.OpenStream(file_, 5);
        return rs_;
    }
    qbw::Image& Image() { return image_; }
    const std::vector<int32_t>& Chain() const { return image_.layout.streams.at(5); }
    CDataFile& File() { return file_; }

private:
    TempDir dir_;
    qbw::Image image_;
    CDataFile file_;
    CRecordStream rs_;
};

std::string Pattern(size_t n) {
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i)
        s[i] = char(i * 7 + i / 64);
    return s;
}

TEST(StreamRead, DeliversTheChainInOrderWhateverTheReadSizes) {
    std::string content = Pattern(64 * 5 + 20);
    StreamFile sf(content);
    for (size_t step : {size_t(1), size_t(3), size_t(63), size_t(64), size_t(65), size_t(200)}) {
        CRecordStream& rs = sf.Stream();
        std::string got;
        while (got.size() < content.size()) {
            size_t n = std::min(step, content.size() - got.size());
            std::string part(n, '\0');
            auto r = rs.Read(part.data(), n);
            ASSERT_EQ(r.code, 0);
            ASSERT_EQ(r.delivered, n);
            got += part;
        }
        EXPECT_EQ(got, content) << step;
    }
}

TEST(StreamRead, TheEndOfTheChainIsReportedWithWhatWasDelivered) {
    StreamFile sf(Pattern(100));  // two blocks: 128 bytes readable
    CRecordStream& rs = sf.Stream();
    std::string buf(300, '\0');
    auto r = rs.Read(buf.data(), 10);
    EXPECT_EQ(r.code, 0);
    r = rs.Read(buf.data(), 200);
    EXPECT_EQ(r.code, err::kCorrupted);
    EXPECT_EQ(r.delivered, 118u);
    EXPECT_EQ(CodeOf([&] { sf.Stream().Skip(129); }), err::kCorrupted);
    // Exactly to the end is fine.
    EXPECT_EQ(CodeOf([&] { sf.Stream().Skip(128); }), 0);
}

TEST(StreamRead, SkipLandsWhereReadingWould) {
    std::string content = Pattern(64 * 6);
    StreamFile sf(content);
    for (size_t first : {size_t(0), size_t(5), size_t(64)}) {
        for (size_t skip : {size_t(0), size_t(1), size_t(59), size_t(64), size_t(130)}) {
            CRecordStream& rs = sf.Stream();
            std::string a(first, '\0');
            rs.ReadExact(a.data(), first);
            rs.Skip(skip);
            char c;
            rs.ReadExact(&c, 1);
            EXPECT_EQ(c, content[first + skip]) << first << "+" << skip;
        }
    }
}

TEST(StreamRead, SkippedBlocksAreNotRead) {
    std::string content = Pattern(64 * 40);
    qbw::FileBuilder b;
    b.SetGeometry(64, 16).SetStream(5, content);
    TempDir dir;
    std::string p = dir.Write("skip.qbx", b.Build());
    CDataFile f;
    f.Open(p, false);
    CRecordStream rs;
    rs.OpenStream(f, 5);
    int64_t before = f.BlockReads();
    rs.Skip(64 * 38 + 3);
    char c;
    rs.ReadExact(&c, 1);
    EXPECT_EQ(c, content[64 * 38 + 3]);
    // The block read, plus the few chain-table blocks that link the 40.
    EXPECT_LE(f.BlockReads() - before, 5);
}

TEST(StreamRead, LoopingAndStrayChainsFailInsteadOfRunningOn) {
    StreamFile sf(Pattern(64 * 3));
    sf.Image().MakeCycle(sf.Chain());
    sf.Reopen();
    std::string buf(64 * 100, '\0');
    auto r = sf.Stream().Read(buf.data(), buf.size());
    EXPECT_EQ(r.code, err::kCorrupted);
    EXPECT_EQ(r.delivered, 64u * 3);
    EXPECT_EQ(CodeOf([&] { sf.Stream().Skip(size_t(1) << 40); }), err::kCorrupted);

    // A loop back to the same block.
    sf.Image().SetChainEntry(sf.Chain()[0], sf.Chain()[0]);
    sf.Reopen();
    EXPECT_EQ(CodeOf([&] { sf.Stream().Skip(64 * 2); }), err::kCorrupted);

    // A block number past the end of the file, and a negative one.
    for (int32_t bad : {int32_t(5000), int32_t(-20)}) {
        sf.Image().SetChainEntry(sf.Chain()[0], bad);
        sf.Reopen();
        EXPECT_EQ(sf.Stream().Read(buf.data(), 100).code, err::kTruncated) << bad;
    }
}

TEST(StreamPrimitives, IntegersStringsAndTaggedValues) {
    qbw::Encoder e;
    e.Int32(-2).Int16(-3).UInt16(0xFFFE).String("hello").String("");
    e.TaggedInt32(77).TaggedInt32(3, 99).TaggedInt16(-9).TaggedInt16(5, 1).Int32(1234);
    e.SkippedField("ignored bytes").Int16(42);
    StreamFile sf(e.Str());
    CRecordStream& rs = sf.Stream();
    EXPECT_EQ(rs.ReadInt32(), -2);
    EXPECT_EQ(rs.ReadInt16(), -3);
    EXPECT_EQ(rs.ReadUInt16(), 0xFFFE);
    EXPECT_EQ(rs.ReadString(), "hello");
    EXPECT_EQ(rs.ReadString(), "");
    EXPECT_EQ(rs.ReadTaggedInt32(), 77);
    EXPECT_EQ(rs.ReadTaggedInt32(), 0);  // other tags carry no value
    EXPECT_EQ(rs.ReadTaggedInt16(), -9);
    EXPECT_EQ(rs.ReadTaggedInt16(), 0);
    EXPECT_EQ(rs.ReadInt32(), 1234);
    rs.SkipField();
    EXPECT_EQ(rs.ReadInt16(), 42);
}

TEST(StreamPrimitives, IdArrays) {
    qbw::Encoder e;
    e.IdArray({5, -1, 300000});
    e.Int32(2).Int32(0x11);                               // below 4: empty, nothing more consumed
    e.Int32(-8).Int32(0x22);                              // negative: empty too
    e.Int32(9).Int32(7).Int32(8).Bytes("z").Int32(0x33);  // 2 ids, 1 stray byte
    StreamFile sf(e.Str());
    CRecordStream& rs = sf.Stream();
    EXPECT_EQ(rs.ReadIdArray(), (std::vector<int32_t>{5, -1, 300000}));
    EXPECT_TRUE(rs.ReadIdArray().empty());
    EXPECT_EQ(rs.ReadInt32(), 0x11);
    EXPECT_TRUE(rs.ReadIdArray().empty());
    EXPECT_EQ(rs.ReadInt32(), 0x22);
    EXPECT_EQ(rs.ReadIdArray(), (std::vector<int32_t>{7, 8}));
    EXPECT_EQ(rs.ReadInt32(), 0x33);
}

TEST(StreamPrimitives, LengthsBeyondTheChainFailWithoutAllocating) {
    for (int32_t len : {int32_t(0x7FFFFFF0), int32_t(-1), int32_t(64 * 4)}) {
        qbw::Encoder e;
        e.Int32(len).Zeros(100);
        StreamFile sf(e.Str());
        EXPECT_EQ(CodeOf([&] { sf.Stream().ReadString(); }), err::kCorrupted) << len;
        EXPECT_EQ(CodeOf([&] { sf.Stream().SkipField(); }), err::kCorrupted) << len;
        if (len > 0) {
            EXPECT_EQ(CodeOf([&] { sf.Stream().ReadIdArray(); }), err::kCorrupted) << len;
        }
    }
}

TEST(StreamSections, StrictFieldsFillPartiallyThenFail) {
    qbw::Encoder e;
    e.Int16(0x1111).Int32(0x22222222).Int32(0x33333333).Int32(0x44444444);
    StreamFile sf(e.Str());
    {
        CRecordStream& rs = sf.Stream();
        int32_t remaining = 6;
        int16_t a = 0;
        int32_t b = 0, c = -1;
        rs.ReadSectionField(&a, 2, remaining);
        rs.ReadSectionField(&b, 4, remaining);
        EXPECT_EQ(remaining, 0);
        EXPECT_EQ(CodeOf([&] { rs.ReadSectionField(&c, 4, remaining); }), err::kCorrupted);
        EXPECT_EQ(a, 0x1111);
        EXPECT_EQ(b, 0x22222222);
        EXPECT_EQ(c, -1);
    }
    {
        CRecordStream& rs = sf.Stream();
        int32_t remaining = 5;
        int16_t a = 0;
        int32_t b = int32_t(0xABCDEF01), c = -1;
        rs.ReadSectionField(&a, 2, remaining);
        rs.ReadSectionField(&b, 4, remaining);
        EXPECT_EQ(uint32_t(b), 0xAB222222u);  // low 3 bytes read, the top one kept
        EXPECT_EQ(remaining, 0);
        EXPECT_EQ(CodeOf([&] { rs.ReadSectionField(&c, 4, remaining); }), err::kCorrupted);
        // Only the 5 section bytes were consumed.
        EXPECT_EQ(rs.ReadUInt16(), 0x3322);
    }
    {
        CRecordStream& rs = sf.Stream();
        int32_t remaining = -4;
        int16_t a = 7;
        EXPECT_EQ(CodeOf([&] { rs.ReadSectionField(&a, 2, remaining); }), err::kCorrupted);
        EXPECT_EQ(a, 7);
    }
}

TEST(StreamSections, LenientFieldsAreReadOnlyWhenWhole) {
    qbw::Encoder e;
    e.Int16(0x0101).Int32(0x02020202).Int16(0x0303);
    StreamFile sf(e.Str());
    CRecordStream& rs = sf.Stream();
    int32_t remaining = 7;
    int16_t a = 0;
    int32_t b = 0, c = 55;
    EXPECT_TRUE(rs.ReadLenientField(&a, 2, remaining));
    EXPECT_TRUE(rs.ReadLenientField(&b, 4, remaining));
    EXPECT_FALSE(rs.ReadLenientField(&c, 4, remaining));
    EXPECT_EQ(c, 55);
    EXPECT_EQ(remaining, 1);
    EXPECT_EQ(rs.ReadInt16(), 0x0303);  // the unread field consumed nothing
}

TEST(StreamBlobs, RawCompressedAndPrivateRoundTrip) {
    qbw::Key16 key{};
    for (size_t i = 0; i < key.size(); ++i)
        key[i] = uint8_t(0xA0 + i);
    std::string big;
    for (int i = 0; i < 400; ++i)
        big += "line " + std::to_string(i) + " of the article\n";
    qbw::Encoder e;
    e.BlobRaw("raw bytes").BlobRaw("").BlobCompressed(big).BlobCompressed("");
    e.BlobPrivate(big, 12345, key).BlobPrivate("secret", -7, key);
    e.BlobString("title\0ignored after the NUL");
    e.BlobRaw(std::string("no nul", 6));
    StreamFile sf(e.Str());
    ContentKey ck;
    std::memcpy(ck.data(), key.data(), 16);
    sf.File().SetContentKey(ck);
    CRecordStream& rs = sf.Stream();
    EXPECT_EQ(rs.ReadBlob(), "raw bytes");
    EXPECT_EQ(rs.ReadBlob(), "");
    EXPECT_EQ(rs.ReadBlob(), big);
    EXPECT_EQ(rs.ReadBlob(), "");
    EXPECT_EQ(rs.ReadBlob(), big);
    EXPECT_EQ(rs.ReadBlob(), "secret");
    EXPECT_EQ(rs.ReadBlobString(), "title");
    EXPECT_EQ(rs.ReadBlobString(), "no nul");
}

TEST(StreamBlobs, AWrongContentKeyFailsBeforeTheCompressedData) {
    qbw::Key16 key{};
    key[0] = 1;
    qbw::Encoder e;
    e.BlobPrivate("private text", 99, key);
    StreamFile sf(e.Str());
    // The zero key (locked) and a near miss both fail check A.
    for (int attempt = 0; attempt < 2; ++attempt) {
        ContentKey wrong{};
        if (attempt == 1) wrong[0] = 2;
        sf.File().SetContentKey(wrong);
        CRecordStream& rs = sf.Stream();
        EXPECT_EQ(CodeOf([&] { rs.ReadBlob(); }), err::kCorrupted);
        // The stream stopped after check A: next come the zlib header bytes.
        uint8_t zhead[2];
        rs.ReadExact(zhead, 2);
        EXPECT_EQ(zhead[0], 0x78);
    }
}

// A compressed blob by hand: flags 1, S, C, then the C bytes.
std::string CompressedBlob(int32_t s, const std::string& packed, int32_t c = -1) {
    qbw::Encoder e;
    e.Int16(1).Int32(s).Int32(c < 0 ? int32_t(packed.size()) : c).Bytes(packed);
    return e.Str();
}

TEST(StreamBlobs, UnsoundSizesAreRejectedBeforeAllocation) {
    std::string packed = qbw::Compress("hello hello hello");
    struct Case {
        int32_t s;
        int32_t c;
    } cases[] = {
        {0x7FFFFFFF, -1},  // far more than C can inflate to
        {int32_t(1032 * packed.size() + 65), -1},
        {-5, -1},          // negative size
        {17, 0x7FFFFFF0},  // C longer than the chain
    };
    for (const Case& k : cases) {
        StreamFile sf(CompressedBlob(k.s, packed, k.c));
        EXPECT_EQ(CodeOf([&] { sf.Stream().ReadBlob(); }), err::kCorrupted) << k.s << "/" << k.c;
    }
    qbw::Encoder raw;
    raw.Int16(0).Int32(0x7FFFFFFF).Zeros(10);
    StreamFile sf(raw.Str());
    EXPECT_EQ(CodeOf([&] { sf.Stream().ReadBlob(); }), err::kCorrupted);
}

TEST(StreamBlobs, SizesOver256MiBAreRejectedEvenWhenTheRatioAllowsThem) {
    // 270,000 stored bytes could in theory inflate past 256 MiB.
    std::string junk(270000, 'j');
    StreamFile sf(CompressedBlob(int32_t(270) << 20, junk));
    EXPECT_EQ(CodeOf([&] { sf.Stream().ReadBlob(); }), err::kCorrupted);
}

TEST(StreamBlobs, FailedInflationIsCorruption) {
    std::string text = "some article text that compresses";
    std::string packed = qbw::Compress(text);
    std::string damaged = packed;
    damaged[damaged.size() / 2] ^= 0x55;
    damaged[damaged.size() - 1] ^= 0x55;  // the checksum at least is wrong
    const std::string inputs[] = {
        CompressedBlob(int32_t(text.size()), std::string(20, '\x13')),  // not zlib at all
        CompressedBlob(int32_t(text.size()), damaged),
        CompressedBlob(int32_t(text.size()) - 1, packed),  // output does not fit
        CompressedBlob(int32_t(text.size()), packed.substr(0, packed.size() - 3)),
    };
    for (const std::string& blob : inputs) {
        StreamFile sf(blob);
        EXPECT_EQ(CodeOf([&] { sf.Stream().ReadBlob(); }), err::kCorrupted);
    }
    // A larger S is only an upper bound: the produced length counts.
    StreamFile sf(CompressedBlob(int32_t(text.size()) + 50, packed));
    EXPECT_EQ(sf.Stream().ReadBlob(), text);
}

TEST(StreamBlobs, CheckBGuardsTheFinalSize) {
    qbw::Key16 key{};
    qbw::Encoder e;
    e.BlobPrivate("abc", 1, key);
    std::string bytes = e.Str();
    bytes[bytes.size() - 1] ^= 1;  // check B is the last int32
    StreamFile sf(bytes);
    EXPECT_EQ(CodeOf([&] { sf.Stream().ReadBlob(); }), err::kCorrupted);
}

// The unscrambling itself, computed independently of the writer.
TEST(StreamBlobs, PrivateSizesAreUnscrambledWithTheSaltedKey) {
    ContentKey key{};
    for (size_t i = 0; i < 16; ++i)
        key[i] = uint8_t(i * 17);
    const std::string text = "private content";
    std::string packed = qbw::Compress(text);
    uint8_t salt[4] = {0x10, 0x20, 0x30, 0x40};
    uint8_t keyed[20];
    std::memcpy(keyed, salt, 4);
    std::memcpy(keyed + 4, key.data(), 16);
    Md5Digest d = Md5(keyed, 20);
    auto le = [](int32_t v, uint8_t* out) {
        for (int i = 0; i < 4; ++i)
            out[i] = uint8_t(uint32_t(v) >> (8 * i));
    };
    uint8_t c[4], s[4], finalS[4];
    le(int32_t(packed.size()), c);
    le(int32_t(text.size()), s);
    le(int32_t(text.size()), finalS);
    uint32_t checkA = crc32(0, c, 4);
    uint32_t checkB = crc32(0, finalS, 4);
    for (int i = 0; i < 4; ++i) {
        c[i] ^= d[size_t(i)];
        s[i] ^= d[size_t(7 + i)];
    }
    std::string blob;
    blob += std::string("\x03\x00", 2);
    blob.append(reinterpret_cast<char*>(s), 4);
    blob.append(reinterpret_cast<char*>(c), 4);
    blob.append(reinterpret_cast<char*>(salt), 4);
    qbw::Encoder tail;
    tail.UInt32(checkA).Bytes(packed).UInt32(checkB);
    blob += tail.Str();
    StreamFile sf(blob);
    sf.File().SetContentKey(key);
    EXPECT_EQ(sf.Stream().ReadBlob(), text);
}

}  // namespace
}  // namespace qb
