// The article font in the platform's logical-font form, its "QuillBox"
// keys and its description text. The Qt side converts it to a QFont.
#pragma once

#include <cstdint>
#include <string>

#include "platform/code_page.h"

namespace qb {

class ProfileStore;

constexpr int kDefaultScreenDpi = 96;
constexpr int kFontWeightNormal = 400;
constexpr int kFontWeightBold = 700;
constexpr size_t kFaceNameMax = 31;  // characters; 32 with the terminator

struct LogicalFont {
    int32_t height = -12;  // logical units; negative: character height
    int32_t width = 0;
    int32_t escapement = 0;
    int32_t orientation = 0;
    int32_t weight = kFontWeightNormal;
    uint8_t italic = 0;
    uint8_t underline = 0;
    uint8_t strikeOut = 0;
    uint8_t charSet = 0;
    uint8_t outPrecision = 0;
    uint8_t clipPrecision = 0;
    uint8_t quality = 0;
    uint8_t pitchAndFamily = 0;
    std::string faceName = "Arial";  // UTF-8

    bool operator==(const LogicalFont&) const = default;
};

// The program's article font: the font, its colour and whether the system
// text colour is used instead.
struct ArticleFont {
    LogicalFont font;
    int32_t textColor = 0;
    bool autoColor = true;

    bool operator==(const ArticleFont&) const = default;
};

// Height in logical units of `points` at `dpi`: negative, rounded.
int32_t FontHeightForPoints(int points, int dpi);
// Point size of a height at `dpi`, without sign, rounded.
int FontPointsForHeight(int32_t height, int dpi);

// 9 points of `face` ("Arial", or the first installed family as the caller
// finds it) at `dpi`, automatic colour.
ArticleFont DefaultArticleFont(int dpi = kDefaultScreenDpi, const std::string& face = "Arial");

// Each "QuillBox" key with the field of `defaults` as its default.
ArticleFont LoadArticleFont(const ProfileStore& store, const ArticleFont& defaults);
// Writes the "QuillBox" keys; does not save the store.
void WriteArticleFont(ProfileStore& store, const ArticleFont& font);

// "%s, %d pt", then ", Bold" for weight 700 and ", Italic" when italic.
std::string DescribeFont(const LogicalFont& font, int dpi = kDefaultScreenDpi);

// The 50-byte font description of a data file: the 16-bit logical-font form
// (five int16 fields, eight bytes, a 32-byte face name in the file's code page).
LogicalFont DecodeFontDescription(const uint8_t* bytes50, const CodePage& page = CodePage());

// At most kFaceNameMax characters of a UTF-8 face name, cut at a whole
// character.
std::string LimitFaceName(const std::string& utf8);

}  // namespace qb
