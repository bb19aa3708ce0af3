// Checks the writer's bytes against the file layout, decoding by hand so
// that the writer stays an independent check of the reader.
#include <gtest/gtest.h>
#include <zlib.h>

#include <set>

#include "writer/qbx_writer.h"

namespace {

using qbw::kNil;

int32_t I32(const std::string& s, size_t at) {
    return static_cast<int32_t>(static_cast<uint8_t>(s.at(at)) |
                                static_cast<uint8_t>(s.at(at + 1)) << 8 |
                                static_cast<uint8_t>(s.at(at + 2)) << 16 |
                                static_cast<uint32_t>(static_cast<uint8_t>(s.at(at + 3))) << 24);
}
int16_t I16(const std::string& s, size_t at) {
    return static_cast<int16_t>(static_cast<uint8_t>(s.at(at)) | static_cast<uint8_t>(s.at(at + 1))
                                                                     << 8);
}

std::string Hex(const qbw::Key16& k) {
    static const char* digits = "0123456789abcdef";
    std::string out;
    for (uint8_t b : k) {
        out.push_back(digits[b >> 4]);
        out.push_back(digits[b & 15]);
    }
    return out;
}

std::string View(const qbw::Key16& k) {
    return std::string(k.begin(), k.end());
}

// Follows a chain through the chain table of an image, as a reader would.
struct HandReader {
    const std::string& file;
    int32_t h, b, e;

    int32_t Next(int32_t block) const {
        return I32(file, h + b * (block / e * e) + 4 * (block % e));
    }
    std::vector<int32_t> Chain(int32_t first) const {
        std::vector<int32_t> chain;
        for (int32_t v = first; v != kNil && chain.size() < 10000; v = Next(v))
            chain.push_back(v);
        return chain;
    }
    std::string Content(int32_t first) const {
        std::string out;
        for (int32_t v : Chain(first))
            out += file.substr(h + b * v, b);
        return out;
    }
};

TEST(WriterDigest, Md5MatchesPublishedVectors) {
    EXPECT_EQ(Hex(qbw::Md5("")), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(Hex(qbw::Md5("abc")), "900150983cd24fb0d6963f7d28e17f72");
    // 56 bytes: the length no longer fits in the first padded block.
    EXPECT_EQ(Hex(qbw::Md5("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq")),
              "8215ef0796a20bcaaae116d3876c664a");
    EXPECT_EQ(Hex(qbw::Md5(std::string(1000, 'a'))), "cabe45dcc9ae5b66ba86600cca6b8ba8");
}

TEST(WriterEncoder, PrimitivesFollowTheByteLayout) {
    qbw::Encoder e;
    e.TaggedInt32(7).TaggedInt32(3, 99).TaggedInt16(-2).TaggedInt16(5, 1);
    const std::string& s = e.Str();
    ASSERT_EQ(s.size(), 8u + 4 + 6 + 4);
    EXPECT_EQ(I32(s, 0), 4);
    EXPECT_EQ(I32(s, 4), 7);
    EXPECT_EQ(I32(s, 8), 3);  // another tag carries no value
    EXPECT_EQ(I32(s, 12), 2);
    EXPECT_EQ(I16(s, 16), -2);
    EXPECT_EQ(I32(s, 18), 5);

    qbw::Encoder ids;
    ids.IdArray({5, -1}).String("ab").Section(qbw::Encoder().Int16(1), 9);
    EXPECT_EQ(ids.Str(),
              std::string("\x08\0\0\0\x05\0\0\0\xff\xff\xff\xff\x02\0\0\0ab\x09\0\0\0\x01\0", 24));
}

TEST(WriterEncoder, BlobsCarryTheirSizesAndChecks) {
    const std::string text = "Bramble and rosehip, bramble and rosehip, bramble and rosehip.";
    qbw::Encoder e;
    e.BlobRaw("xyz").BlobCompressed(text);
    const std::string& s = e.Str();
    EXPECT_EQ(I16(s, 0), 0);
    EXPECT_EQ(I32(s, 2), 3);
    EXPECT_EQ(s.substr(6, 3), "xyz");
    ASSERT_EQ(e.Blobs().size(), 2u);
    const auto& z = e.Blobs()[1];
    EXPECT_EQ(I16(s, 9), 1);
    EXPECT_EQ(I32(s, 11), static_cast<int32_t>(text.size()));
    EXPECT_EQ(I32(s, 15), static_cast<int32_t>(z.dataLength));
    EXPECT_EQ(z.dataOffset, 19u);
    std::string out(text.size(), '\0');
    uLongf len = out.size();
    ASSERT_EQ(uncompress(reinterpret_cast<Bytef*>(out.data()), &len,
                         reinterpret_cast<const Bytef*>(s.data() + 19), z.dataLength),
              Z_OK);
    EXPECT_EQ(out, text);
}

TEST(WriterEncoder, PrivateBlobUnscramblesWithTheContentKey) {
    qbw::Key16 key;
    for (int i = 0; i < 16; ++i)
        key[i] = static_cast<uint8_t>(i * 17 + 3);
    const std::string text(300, 'q');
    qbw::Encoder e;
    e.BlobPrivate(text, 0x01020304, key);
    const std::string& s = e.Str();
    EXPECT_EQ(I16(s, 0), 3);
    const int32_t salt = I32(s, 10);
    EXPECT_EQ(salt, 0x01020304);
    const qbw::Key16 d = qbw::Md5(s.substr(10, 4) + View(key));
    std::string sc = s.substr(6, 4), ss = s.substr(2, 4);
    for (int i = 0; i < 4; ++i) {
        sc[i] = static_cast<char>(sc[i] ^ d[i]);
        ss[i] = static_cast<char>(ss[i] ^ d[7 + i]);
    }
    const int32_t c = I32(sc, 0), size = I32(ss, 0);
    EXPECT_EQ(size, 300);
    EXPECT_EQ(static_cast<uint32_t>(I32(s, 14)),
              crc32(0, reinterpret_cast<const Bytef*>(sc.data()), 4));
    ASSERT_EQ(s.size(), 18u + c + 4);
    EXPECT_EQ(static_cast<uint32_t>(I32(s, 18 + c)),
              crc32(0, reinterpret_cast<const Bytef*>(ss.data()), 4));
    // A zero key must not unscramble to the same sizes.
    const qbw::Key16 d0 = qbw::Md5(s.substr(10, 4) + std::string(16, '\0'));
    EXPECT_NE(d0, d);
}

TEST(WriterPrivacy, StreamHoldsCheckAndWrappedKey) {
    qbw::Key16 salt{}, k{};
    for (int i = 0; i < 16; ++i) {
        salt[i] = static_cast<uint8_t>(0xA0 + i);
        k[i] = static_cast<uint8_t>(200 - i);
    }
    const qbw::Privacy p = qbw::MakePrivacy("demo", salt, k);
    const std::string& s = p.stream;
    ASSERT_EQ(I32(s, 0), 2 + 16 + 16 + 16 + 48);
    ASSERT_EQ(s.size(), 4u + 98);
    EXPECT_EQ(I16(s, 4), 1);
    EXPECT_EQ(s.substr(6, 16), View(salt));
    EXPECT_EQ(s.substr(22, 16), View(qbw::Md5(View(salt) + "demo")));
    const qbw::Key16 hp = qbw::Md5("demo");
    qbw::Key16 unwrapped;
    for (int i = 0; i < 16; ++i)
        unwrapped[i] = static_cast<uint8_t>(s[38 + i]) ^ hp[i];
    EXPECT_EQ(unwrapped, k);
    EXPECT_EQ(p.contentKey, qbw::Md5(View(k)));
}

TEST(WriterRecords, NewArticleHeaderBlockAndShortHeader) {
    qbw::ArticleData a;
    a.level = 3;
    a.flags = 0x41;
    a.reserved = 77;
    a.createdDate = 20240229;
    a.articleTime = 3600;
    a.title = "Caf\xe9";
    const std::string full = qbw::EncodeArticleNew(a);
    EXPECT_EQ(I32(full, 0), 2);
    EXPECT_EQ(static_cast<uint16_t>(I16(full, 4)), 0x812C);
    EXPECT_EQ(I32(full, 6), 32);
    EXPECT_EQ(I16(full, 10), 3);
    EXPECT_EQ(I32(full, 12), 77);
    EXPECT_EQ(I16(full, 16), 0x41);
    EXPECT_EQ(I32(full, 18), 20240229);
    EXPECT_EQ(I32(full, 22), kNil);
    EXPECT_EQ(I32(full, 38), 3600);  // article time is the last header field
    EXPECT_EQ(I16(full, 42), 1);     // then the title blob's flags

    qbw::NewArticleOptions shortHeader;
    shortHeader.headerLength = 8;
    const std::string cut = qbw::EncodeArticleNew(a, shortHeader);
    EXPECT_EQ(I32(cut, 6), 8);
    EXPECT_EQ(cut.size(), full.size() - 24);
    EXPECT_EQ(I16(cut, 18), 1);
}

TEST(WriterRecords, AttachmentWordsByForm) {
    qbw::ArticleData a;
    a.level = 3;
    a.attachments = {{2, "http://example.org", -1, 0, qbw::AttachmentForm::kString},
                     {3, "x", 12, 5, qbw::AttachmentForm::kAuto}};
    const std::string s = qbw::EncodeArticleNew(a, {32, {qbw::BlobMode::kRaw}});
    size_t at = 4 + 2 + 4 + 32;
    at += 2 + 4 + 1;  // empty raw title: its NUL only
    at += 4;          // empty keyword array
    EXPECT_EQ(I32(s, at), 2);
    EXPECT_EQ(I16(s, at + 4), 2);
    EXPECT_EQ(I16(s, at + 10), 2);  // kString: the bare kind
    at += 12 + 4 + 18;
    EXPECT_EQ(static_cast<uint16_t>(I16(s, at + 4)), 0xC003);
    at += 6 + 2 + 4 + 2;  // raw blob "x\0"
    EXPECT_EQ(I32(s, at), 12);
    EXPECT_EQ(I32(s, at + 4), 5);
    EXPECT_EQ(s.size(), at + 8);
}

TEST(WriterContainer, HeaderFieldsAtTheirOffsets) {
    qbw::FileBuilder fb;
    fb.SetFlags(2).SetRecord(0, 0, "k").SetRecord(1, 2, "a").SetRecord(3, 0, "g");
    fb.SetStream(qbw::stream::kBookmarks, "b");
    const qbw::Image img = fb.BuildImage();
    const std::string& f = img.bytes;
    EXPECT_EQ(f.substr(0, 2), "QB");
    EXPECT_EQ(I16(f, 2), 300);
    EXPECT_EQ(I16(f, 4), 512);
    EXPECT_EQ(I16(f, 6), 128);
    EXPECT_EQ(I32(f, 60), 220);
    EXPECT_EQ(I32(f, 76), 2);
    EXPECT_EQ(std::string(f.data() + 80), "Quillbox Data File");
    EXPECT_EQ(I32(f, 20), 1);  // keywords: count, free, first block
    EXPECT_EQ(I32(f, 24), 0);
    EXPECT_EQ(I32(f, 32), 3);  // articles: slots 0 and 1 empty
    EXPECT_EQ(I32(f, 36), 2);
    EXPECT_EQ(I32(f, 44), 1);   // one directory entry
    EXPECT_EQ(I32(f, 172), 1);  // groups
    EXPECT_EQ(I32(f, 184 + 8), kNil);
    EXPECT_EQ(img.layout.BlockOffset(0), 220);
    EXPECT_EQ(f.size() % 512, 220u);

    HandReader r{f, 220, 512, 128};
    const std::string dir = r.Content(I32(f, 52));
    EXPECT_EQ(I16(dir, 4), qbw::stream::kBookmarks);
    EXPECT_EQ(r.Content(I32(dir, 6)).substr(0, 1), "b");
    const std::string articles = r.Content(I32(f, 40));
    EXPECT_EQ(I32(articles, 0), kNil);
    EXPECT_EQ(I32(articles, 4), kNil);
    EXPECT_EQ(r.Content(I32(articles, 8)).substr(0, 1), "a");
}

TEST(WriterContainer, OldVersionsHaveASixtyByteHeader) {
    const qbw::Image img = qbw::FileBuilder().SetVersion(250).SetRecord(1, 0, "x").BuildImage();
    EXPECT_EQ(img.layout.headerLength, 60);
    // Chain-table block 0, the article table, then the record.
    EXPECT_EQ(img.bytes.size(), 60u + 3 * 512);
    EXPECT_EQ(I32(img.bytes, 60 + 512), 2);
    EXPECT_EQ(img.bytes.substr(60 + 2 * 512, 1), "x");

    const qbw::Image big = qbw::FileBuilder().SetHeaderLengthField(4000).BuildImage();
    EXPECT_EQ(I32(big.bytes, 60), 4000);
    EXPECT_EQ(big.layout.headerLength, 220);
}

// Small blocks: a 50-slot table spans 13 blocks, chains cross several
// chain-table blocks, and the scattered order makes no chain contiguous.
TEST(WriterContainer, SmallBlocksSpanSeveralTableAndChainBlocks) {
    qbw::FileBuilder fb;
    fb.SetGeometry(16, 4).Scatter(42);
    std::map<int32_t, std::string> expected;
    for (int32_t i = 0; i < 50; i += (i % 7 == 3 ? 2 : 1)) {
        std::string body(5 + i * 3, static_cast<char>('A' + i % 26));
        expected[i] = body;
        fb.SetRecord(1, i, body);
    }
    fb.SetTableCount(1, 60);
    const qbw::Image img = fb.BuildImage();
    const std::string& f = img.bytes;
    EXPECT_EQ(I32(f, 32), 60);
    EXPECT_EQ(I32(f, 36), 60 - static_cast<int32_t>(expected.size()));

    HandReader r{f, 220, 16, 4};
    const std::vector<int32_t> tableChain = r.Chain(I32(f, 40));
    ASSERT_EQ(tableChain.size(), 15u);
    EXPECT_EQ(tableChain, img.layout.tables.at(1));
    std::set<int32_t> used;
    bool contiguous = true;
    for (int32_t v : tableChain)
        EXPECT_NE(v % 4, 0) << "data in a chain-table block";
    for (size_t k = 1; k < tableChain.size(); ++k)
        contiguous = contiguous && tableChain[k] == tableChain[k - 1] + 1;
    EXPECT_FALSE(contiguous);

    const std::string table = r.Content(I32(f, 40));
    for (int32_t i = 0; i < 60; ++i) {
        const int32_t head = I32(table, 4 * i);
        auto it = expected.find(i);
        if (it == expected.end()) {
            EXPECT_EQ(head, kNil) << i;
            continue;
        }
        const std::vector<int32_t> chain = r.Chain(head);
        EXPECT_EQ(chain, img.layout.records.at({1, i}));
        EXPECT_EQ(chain.size(), (it->second.size() + 15) / 16);
        for (int32_t v : chain)
            EXPECT_TRUE(used.insert(v).second) << "block shared: " << v;
        EXPECT_EQ(r.Content(head).substr(0, it->second.size()), it->second);
    }
    EXPECT_GT(img.layout.blockCount, 8);  // beyond the second chain-table block
}

TEST(WriterContainer, DamageHelpersHitTheChainTable) {
    qbw::FileBuilder fb;
    fb.SetGeometry(16, 4).SetStream(qbw::stream::kBookmarks, std::string(40, 'z'));
    qbw::Image img = fb.BuildImage();
    const std::vector<int32_t> chain = img.layout.streams.at(qbw::stream::kBookmarks);
    ASSERT_EQ(chain.size(), 3u);
    HandReader r{img.bytes, 220, 16, 4};

    img.MakeCycle(chain);
    EXPECT_EQ(r.Next(chain.back()), chain.front());
    img.BreakChain(chain, 0, 9999);
    EXPECT_EQ(r.Next(chain[0]), 9999);
    img.SetEntriesField(0);
    img.SetBlockSizeField(100);
    img.SetGenerator("Quillbox data file");
    EXPECT_EQ(I16(img.bytes, 6), 0);
    EXPECT_EQ(I16(img.bytes, 4), 100);
    EXPECT_EQ(std::string(img.bytes.data() + 80), "Quillbox data file");
    img.Truncate(3);
    EXPECT_EQ(img.bytes.size(), 3u);
}

}  // namespace
