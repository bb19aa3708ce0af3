// Character and paragraph formats of the rich-text control, with the same
// fields, bits and units that the readers of the control (export, printing,
// find, link marking) compute with: twips, colours with red in the low byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace qb {

// A colour value with red in the low byte; kAutoColour is "automatic".
constexpr uint32_t kAutoColour = 0xFFFFFFFFu;

constexpr uint32_t MakeColour(int r, int g, int b) {
    return uint32_t(r & 255) | uint32_t(g & 255) << 8 | uint32_t(b & 255) << 16;
}

// Effect bits of CharFormat::effects (the values the control reports).
enum CharEffect : uint32_t {
    kEffectBold = 0x1,
    kEffectItalic = 0x2,
    kEffectUnderline = 0x4,
    kEffectStrikeout = 0x8,
    kEffectProtected = 0x10,
    kEffectLink = 0x20,
    kEffectHidden = 0x100,
    kEffectSubscript = 0x10000,
    kEffectSuperscript = 0x20000,
};

// Mask bits saying which fields of a CharFormat a SetCharFormat call changes.
enum CharMask : uint32_t {
    kCharMaskBold = 0x1,
    kCharMaskItalic = 0x2,
    kCharMaskUnderline = 0x4,
    kCharMaskStrikeout = 0x8,
    kCharMaskProtected = 0x10,
    kCharMaskLink = 0x20,
    kCharMaskHidden = 0x100,
    kCharMaskSubSuper = 0x30000,  // both subscript and superscript bits
    kCharMaskUnderlineType = 0x00800000,
    kCharMaskBackground = 0x04000000,
    kCharMaskCharset = 0x08000000,
    kCharMaskOffset = 0x10000000,
    kCharMaskFace = 0x20000000,
    kCharMaskColour = 0x40000000,
    kCharMaskSize = 0x80000000,
    kCharMaskAll = 0xFCFF013F,
};

enum class UnderlineType : uint8_t {
    kNone,
    kSingle,
    kWord,
    kDouble,
    kDotted,
    kDash,
    kWave,
    kThick
};

struct CharFormat {
    std::string face = "Arial";  // UTF-8
    int32_t height = 200;        // twips
    uint32_t colour = kAutoColour;
    uint32_t effects = 0;
    int32_t offset = 0;  // twips, positive raises
    uint8_t charset = 0;
    uint8_t pitchAndFamily = 0;  // pitch in the low nibble, family << 4
    UnderlineType underlineType = UnderlineType::kNone;
    uint32_t background = kAutoColour;

    bool Has(uint32_t effect) const { return (effects & effect) != 0; }
    bool operator==(const CharFormat&) const = default;
};

enum class Align : uint8_t { kLeft = 1, kRight = 2, kCenter = 3, kJustify = 4 };

// Numbering kinds as the control reports them.
enum class Numbering : uint8_t {
    kNone = 0,
    kBullet = 1,
    kArabic = 2,
    kLowerLetter = 3,
    kUpperLetter = 4,
    kLowerRoman = 5,
    kUpperRoman = 6,
};

// Numbering styles: what surrounds the number.
enum NumberingStyle : uint16_t {
    kNumberParen = 0x000,   // 1)
    kNumberParens = 0x100,  // (1)
    kNumberPeriod = 0x200,  // 1.
    kNumberPlain = 0x300,   // 1
};

enum class TabKind : uint8_t { kLeft, kCenter, kRight, kDecimal, kBar };
enum class TabLeader : uint8_t { kNone, kDots, kDashes, kUnderline, kThick, kEquals };

struct TabStop {
    int32_t position = 0;  // twips
    TabKind kind = TabKind::kLeft;
    TabLeader leader = TabLeader::kNone;
    bool operator==(const TabStop&) const = default;
};

constexpr std::size_t kMaxTabStops = 32;

// Line spacing rules: 0 single, 1 one and a half, 2 double, 3 at least,
// 4 exactly (value in twips), 5 multiple (value / 20 lines).
struct ParaFormat {
    Align alignment = Align::kLeft;
    int32_t startIndent = 0;  // first line, twips
    int32_t rightIndent = 0;
    int32_t offset = 0;  // following lines relative to the first
    Numbering numbering = Numbering::kNone;
    uint16_t numberingStart = 1;
    uint16_t numberingStyle = kNumberParen;
    int32_t numberingTab = 0;  // distance from the number to the text
    int32_t spaceBefore = 0;
    int32_t spaceAfter = 0;
    uint8_t lineSpacingRule = 0;
    int32_t lineSpacing = 0;
    std::vector<TabStop> tabs;  // ascending, at most kMaxTabStops

    bool operator==(const ParaFormat&) const = default;
};

enum ParaMask : uint32_t {
    kParaMaskStartIndent = 0x1,
    kParaMaskRightIndent = 0x2,
    kParaMaskOffset = 0x4,
    kParaMaskAlignment = 0x8,
    kParaMaskTabStops = 0x10,
    kParaMaskNumbering = 0x20,
    kParaMaskSpaceBefore = 0x40,
    kParaMaskSpaceAfter = 0x80,
    kParaMaskLineSpacing = 0x100,
    kParaMaskNumberingStart = 0x200,
    kParaMaskNumberingStyle = 0x400,
    kParaMaskNumberingTab = 0x800,
    kParaMaskAll = 0xFFF,
};

// Merges the fields named by mask from `from` into `into`.
void ApplyCharFormat(CharFormat& into, const CharFormat& from, uint32_t mask);
void ApplyParaFormat(ParaFormat& into, const ParaFormat& from, uint32_t mask);

struct CharFormatHash {
    std::size_t operator()(const CharFormat& f) const;
};
struct ParaFormatHash {
    std::size_t operator()(const ParaFormat& f) const;
};

}  // namespace qb
