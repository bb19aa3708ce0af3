#include "app/article_font.h"

#include <cstdio>
#include <cstdlib>

#include "app/profile_store.h"

namespace qb {

namespace {
constexpr const char* kSection = "QuillBox";

// Multiply then divide, rounding half away from zero.
int64_t MulDiv(int64_t a, int64_t b, int64_t c) {
    if (c == 0) return 0;
    int64_t p = a * b;
    int64_t half = (c < 0 ? -c : c) / 2;
    bool negative = (p < 0) != (c < 0);
    int64_t ap = p < 0 ? -p : p, ac = c < 0 ? -c : c;
    int64_t q = (ap + half) / ac;
    return negative ? -q : q;
}

uint8_t Byte(int32_t v) {
    return static_cast<uint8_t>(v & 0xFF);
}
}  // namespace

int32_t FontHeightForPoints(int points, int dpi) {
    return static_cast<int32_t>(-MulDiv(points, dpi > 0 ? dpi : kDefaultScreenDpi, 72));
}

int FontPointsForHeight(int32_t height, int dpi) {
    int64_t h = height < 0 ? -static_cast<int64_t>(height) : height;
    return static_cast<int>(MulDiv(h, 72, dpi > 0 ? dpi : kDefaultScreenDpi));
}

ArticleFont DefaultArticleFont(int dpi, const std::string& face) {
    ArticleFont f;
    f.font.height = FontHeightForPoints(9, dpi);
    f.font.faceName = LimitFaceName(face.empty() ? std::string("Arial") : face);
    return f;
}

ArticleFont LoadArticleFont(const ProfileStore& store, const ArticleFont& d) {
    ArticleFont f = d;
    f.font.height = store.GetInt(kSection, "Fontsize", d.font.height);
    std::string face = store.GetString(kSection, "Font", d.font.faceName);
    f.font.faceName = face.empty() ? d.font.faceName : LimitFaceName(face);
    f.font.italic = store.GetInt(kSection, "Style", d.font.italic) != 0 ? 1 : 0;
    f.font.weight = store.GetInt(kSection, "Weight", d.font.weight);
    f.font.quality = Byte(store.GetInt(kSection, "Quality", d.font.quality));
    f.font.charSet = Byte(store.GetInt(kSection, "Charset", d.font.charSet));
    f.font.underline = Byte(store.GetInt(kSection, "Underline", d.font.underline));
    f.font.strikeOut = Byte(store.GetInt(kSection, "StrikeOut", d.font.strikeOut));
    f.font.outPrecision = Byte(store.GetInt(kSection, "OutPrecision", d.font.outPrecision));
    f.font.clipPrecision = Byte(store.GetInt(kSection, "ClipPrecision", d.font.clipPrecision));
    f.font.pitchAndFamily = Byte(store.GetInt(kSection, "PitchAndFamily", d.font.pitchAndFamily));
    f.textColor = store.GetInt(kSection, "TextColor", d.textColor);
    f.autoColor = store.GetInt(kSection, "AutoColor", d.autoColor ? 1 : 0) != 0;
    return f;
}

void WriteArticleFont(ProfileStore& store, const ArticleFont& f) {
    store.WriteInt(kSection, "Fontsize", f.font.height);
    store.WriteString(kSection, "Font", f.font.faceName);
    store.WriteInt(kSection, "Style", f.font.italic ? 1 : 0);
    store.WriteInt(kSection, "Weight", f.font.weight);
    store.WriteInt(kSection, "Quality", f.font.quality);
    store.WriteInt(kSection, "Charset", f.font.charSet);
    store.WriteInt(kSection, "Underline", f.font.underline);
    store.WriteInt(kSection, "StrikeOut", f.font.strikeOut);
    store.WriteInt(kSection, "OutPrecision", f.font.outPrecision);
    store.WriteInt(kSection, "ClipPrecision", f.font.clipPrecision);
    store.WriteInt(kSection, "PitchAndFamily", f.font.pitchAndFamily);
    store.WriteInt(kSection, "TextColor", f.textColor);
    store.WriteInt(kSection, "AutoColor", f.autoColor ? 1 : 0);
}

std::string DescribeFont(const LogicalFont& font, int dpi) {
    std::string s =
        font.faceName + ", " + std::to_string(FontPointsForHeight(font.height, dpi)) + " pt";
    if (font.weight == kFontWeightBold) s += ", Bold";
    if (font.italic) s += ", Italic";
    return s;
}

LogicalFont DecodeFontDescription(const uint8_t* b, const CodePage& page) {
    auto i16 = [b](int at) {
        return static_cast<int16_t>(static_cast<uint16_t>(b[at] | (b[at + 1] << 8)));
    };
    LogicalFont f;
    f.height = i16(0);
    f.width = i16(2);
    f.escapement = i16(4);
    f.orientation = i16(6);
    f.weight = i16(8);
    f.italic = b[10];
    f.underline = b[11];
    f.strikeOut = b[12];
    f.charSet = b[13];
    f.outPrecision = b[14];
    f.clipPrecision = b[15];
    f.quality = b[16];
    f.pitchAndFamily = b[17];
    size_t n = 0;
    while (n < 32 && b[18 + n] != 0)
        ++n;  // an unterminated name ends with the field
    f.faceName =
        LimitFaceName(page.ToUtf8(std::string_view(reinterpret_cast<const char*>(b + 18), n)));
    return f;
}

std::string LimitFaceName(const std::string& utf8) {
    size_t chars = 0, i = 0;
    while (i < utf8.size()) {
        unsigned char c = static_cast<unsigned char>(utf8[i]);
        size_t len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
        if (chars == kFaceNameMax) break;
        if (i + len > utf8.size()) break;
        i += len;
        ++chars;
    }
    return utf8.substr(0, i);
}

}  // namespace qb
