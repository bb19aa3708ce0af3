// Malformed and hostile RTF: never a crash, a hang or unbounded memory, and
// what can be read is read.
#include <gtest/gtest.h>

#include <random>

#include "richtext/rich_text.h"
#include "rt_helpers.h"

namespace qb {
namespace {

// Memory the model holds, roughly: text, runs, paragraphs and pictures.
std::size_t ModelBytes(const RichTextControl& rt) {
    std::size_t n = rt.Text().size() * 2 + std::size_t(rt.RunCount()) * 8 +
                    std::size_t(rt.ParagraphCount()) * 8;
    for (const Picture& p : rt.Pictures())
        n += p.data.size() + sizeof(Picture);
    return n;
}

TEST(RtfHostile, DeepNestingIsNotRecursion) {
    std::string deep = "{\\rtf1 a";
    for (int i = 0; i < 100000; ++i)
        deep += "{\\b";
    deep += " deep";
    for (int i = 0; i < 100000; ++i)
        deep += "}";
    deep += "\\b0 after}";
    RichTextControl rt = Load(deep);
    EXPECT_EQ(rt.Text(), u"adeepafter");
    EXPECT_TRUE(rt.CharFormatAt(1).Has(kEffectBold));
    EXPECT_FALSE(rt.CharFormatAt(rt.TextLength() - 1).Has(kEffectBold));
}

TEST(RtfHostile, DeepNestingNeverClosed) {
    std::string deep = "{\\rtf1 ";
    for (int i = 0; i < 100000; ++i)
        deep += "{\\*\\unknown{";
    RichTextControl rt = Load(deep);
    EXPECT_EQ(rt.TextLength(), 0);
}

TEST(RtfHostile, UnbalancedBraces) {
    EXPECT_EQ(Load("{\\rtf1 a}}}}b").Text(), u"a");
    EXPECT_EQ(Load("{\\rtf1 a{{{b").Text(), u"ab");
    EXPECT_EQ(Load("{\\rtf1 {\\*\\x {{}").Text(), u"");
}

TEST(RtfHostile, AbsurdParametersAreClamped) {
    RichTextControl rt = Load(
        "{\\rtf1{\\fonttbl{\\f99999999999999 X;}}{\\colortbl;\\red999\\green-5\\blue1;}"
        "\\fs-5\\fi-2147483648\\li99999999999\\sl-99999999{\\uc99999\\u99999 abc}"
        "\\cf999999999 d\\cf1 e\\f-3 f\\tx-5\\tx99999999\\bin-5 g\\bin99999999999}");
    EXPECT_LE(rt.ParaFormatAt(0).startIndent, 31680);
    EXPECT_GE(rt.ParaFormatAt(0).startIndent, -31680);
    EXPECT_EQ(rt.CharFormatAt(0).height, 240);
    int32_t e = rt.FindText(0, -1, u"e", kFindMatchCase);
    ASSERT_GE(e, 0);
    EXPECT_EQ(rt.CharFormatAt(e).colour, MakeColour(255, 0, 1));
    EXPECT_EQ(rt.CharFormatAt(e - 1).colour, kAutoColour);  // no such colour
    EXPECT_LE(rt.ParaFormatAt(0).tabs.size(), kMaxTabStops);
}

TEST(RtfHostile, TabStopsAreCapped) {
    std::string rtf = "{\\rtf1 ";
    for (int i = 1; i <= 200; ++i)
        rtf += "\\tx" + std::to_string(i * 10);
    rtf += " x}";
    EXPECT_EQ(Load(rtf).ParaFormatAt(0).tabs.size(), kMaxTabStops);
}

TEST(RtfHostile, LongFaceNamesAreCut) {
    std::string rtf = "{\\rtf1{\\fonttbl{\\f0 " + std::string(100000, 'F') + ";}}";
    for (int i = 1; i < 2000; ++i)
        rtf += "\\fs" + std::to_string(i) + " x";
    rtf += "}";
    RichTextControl rt = Load(rtf);
    EXPECT_EQ(rt.CharFormatAt(0).face.size(), 31u);
    EXPECT_LT(ModelBytes(rt), rtf.size() * 4);
}

TEST(RtfHostile, TruncatedAtEveryLength) {
    std::string sample = ReadSample("richedit_article.rtf");
    for (std::size_t n = 0; n <= sample.size(); ++n) {
        RichTextControl rt;
        rt.StreamInRtf(std::string_view(sample).substr(0, n));
        ASSERT_LE(rt.TextLength(), int32_t(n));
    }
}

TEST(RtfHostile, BrokenEscapesAtTheEnd) {
    for (const char* tail : {"\\", "\\'", "\\'4", "\\u", "\\u-", "\\bin", "\\bin5", "\\*"}) {
        RichTextControl rt;
        EXPECT_TRUE(rt.StreamInRtf(std::string("{\\rtf1 x") + tail)) << tail;
        EXPECT_EQ(rt.Text(), u"x") << tail;
    }
    EXPECT_EQ(Load("{\\rtf1 \\'zz y}").Text(), u"zz y");
}

TEST(RtfHostile, RandomMutationsOfTheSamples) {
    std::mt19937 rng(12345);
    const char alphabet[] = "{}\\'*0123456789abcdefghijklmnopqrstuvwxyz -;\r\n\x80\xff";
    for (const char* name : {"richedit_article.rtf", "lo_sample.rtf"}) {
        std::string sample = ReadSample(name);
        for (int round = 0; round < 300; ++round) {
            std::string s = sample;
            int edits = 1 + int(rng() % 20);
            for (int k = 0; k < edits; ++k) {
                std::size_t at = rng() % s.size();
                switch (rng() % 3) {
                    case 0:
                        s[at] = alphabet[rng() % (sizeof alphabet - 1)];
                        break;
                    case 1:
                        s.erase(at, rng() % 8);
                        break;
                    default:
                        s.insert(at, 1, alphabet[rng() % (sizeof alphabet - 1)]);
                        break;
                }
                if (s.empty()) s = "{";
            }
            RichTextControl rt;
            if (!rt.StreamInRtf(s)) continue;
            ASSERT_LE(ModelBytes(rt), s.size() * 12 + 64);
            // Everything read must also be writable and readable again.
            RichTextControl back;
            std::string written = rt.StreamOutRtf();
            ASSERT_TRUE(back.StreamInRtf(written));
            ASSERT_EQ(back.Text(), rt.Text());
            // Exactly one final mark: no paragraph gained or lost on the way.
            ASSERT_EQ(back.ParagraphCount(), rt.ParagraphCount());
            ASSERT_EQ(back.StreamOutRtf(), written);
        }
    }
}

TEST(RtfHostile, RandomBytesAfterTheHeader) {
    std::mt19937 rng(777);
    for (int round = 0; round < 200; ++round) {
        std::string s = "{\\rtf1 ";
        std::size_t n = rng() % 4000;
        for (std::size_t i = 0; i < n; ++i)
            s += char(rng() % 256);
        RichTextControl rt;
        ASSERT_TRUE(rt.StreamInRtf(s));
        ASSERT_LE(rt.TextLength(), int32_t(s.size()));
    }
}

TEST(RtfHostile, PictureDataIsBoundedByTheInput) {
    std::string rtf = "{\\rtf1 {\\pict\\pngblip " + std::string(100000, 'a') + "}}";
    RichTextControl rt = Load(rtf);
    ASSERT_EQ(rt.Pictures().size(), 1u);
    EXPECT_EQ(rt.Pictures()[0].data.size(), 50000u);
    // A picture inside a picture is not a second picture.
    EXPECT_EQ(Load("{\\rtf1 {\\pict 01{\\pict 02}03}}").Pictures().size(), 1u);
}

}  // namespace
}  // namespace qb
