#include "export/html_reader.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <unordered_map>
#include <utility>

#include "datafile/cp1252.h"
#include "platform/code_page.h"
#include "platform/font_families.h"
#include "resources/html_colours.h"
#include "resources/html_symbols.h"
#include "richtext/rich_text_builder.h"

namespace qb {
namespace {

// Tag codes of the tag table.
enum Tag : int {
    kA = 1,
    kAddress = 2,
    kArea = 3,
    kB = 4,
    kBase = 5,
    kBig = 6,
    kBlockquote = 7,
    kBody = 8,
    kBr = 9,
    kCaption = 10,
    kCenter = 11,
    kCite = 12,
    kCode = 13,
    kDd = 14,
    kDiv = 17,
    kDl = 18,
    kDt = 19,
    kEm = 20,
    kFont = 21,
    kH1 = 23,
    kH6 = 28,
    kHead = 29,
    kHr = 30,
    kHtml = 31,
    kI = 32,
    kImg = 33,
    kIsindex = 35,
    kLi = 37,
    kLink = 38,
    kListing = 39,
    kMenu = 41,
    kMeta = 42,
    kOl = 44,
    kP = 46,
    kPlaintext = 47,
    kPre = 48,
    kSamp = 49,
    kScript = 50,
    kSmall = 52,
    kStrike = 54,
    kStrong = 55,
    kSub = 57,
    kSup = 58,
    kTable = 59,
    kTd = 60,
    kTh = 62,
    kTitle = 63,
    kTr = 64,
    kTt = 65,
    kU = 66,
    kUl = 67,
    kVar = 68,
    kXmp = 70,
    kBasefont = 128,
};

// Nesting kept in full up to these depths; deeper openings are only
// counted, so that their closings still match, and indentation stops
// growing. Keeps memory and output proportional to the input.
constexpr std::size_t kMaxFontDepth = 256;
constexpr std::size_t kMaxListDepth = 64;
constexpr int kMaxIndentTabs = 16;
constexpr std::size_t kMaxNameLength = 32;

constexpr int32_t kHalfPoints[] = {16, 18, 24, 28, 36, 48, 72};
constexpr char kFixedFace[] = "Courier New";

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}
bool IsAlpha(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsAlnum(char c) {
    return IsAlpha(c) || IsDigit(c);
}
char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? char(c + 32) : c;
}
std::string LowerCopy(std::string_view s) {
    std::string r(s);
    std::transform(r.begin(), r.end(), r.begin(), Lower);
    return r;
}
int HexValue(char c) {
    if (IsDigit(c)) return c - '0';
    c = Lower(c);
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return 0;  // an invalid digit counts as 0
}

void AppendUtf16(std::u16string& out, char32_t c) {
    if (c >= 0x10000) {
        c -= 0x10000;
        out.push_back(char16_t(0xD800 + (c >> 10)));
        out.push_back(char16_t(0xDC00 + (c & 0x3FF)));
    } else {
        out.push_back(char16_t(c));
    }
}

// A numeric reference's code: up to 255 a Windows-1252 byte (as pages
// written for that code page mean it), above that a Unicode code point;
// what stands for no character becomes the replacement character rather
// than vanishing.
char32_t NumericCharacter(uint32_t code) {
    if (code == 0) return 0xFFFD;
    if (code < 256) return Cp1252ToCodePoint((unsigned char)code);
    if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0xFFFD;
    return char32_t(code);
}

struct Font {
    std::string face;  // UTF-8
    int size = 3;      // 0 .. 7 (0 shows as 1)
    uint32_t colour = kAutoColour;
};

struct List {
    bool numbered = false;
    int counter = 0;
};

struct Attributes {
    std::string href, size, color, face, alt, text;
    bool hasSize = false, hasColor = false, hasFace = false, hasAlt = false, hasText = false;
};

class Reader {
public:
    Reader(std::string_view in, const HtmlReaderSettings& settings, RichTextControl& out)
        : in_(in), settings_(settings), b_(out), textColour_(settings.textColour) {
        base_.face = settings.defaultFace;
        base_.colour = textColour_;
        fonts_.push_back(base_);
        b_.Reserve(std::min<std::size_t>(in.size(), std::size_t(1) << 24));
    }

    std::vector<HtmlLink> Run() {
        const std::size_t n = in_.size();
        while (pos_ < n) {
            char c = in_[pos_];
            if (c == '<') {
                TagToken();
            } else if (c == '&') {
                EntityToken();
            } else if (IsSpace(c)) {
                std::size_t e = pos_;
                while (e < n && IsSpace(in_[e]))
                    ++e;
                WhiteSpace(in_.substr(pos_, e - pos_));
                pos_ = e;
            } else if (c == '>' || c == '!' || c == '"') {
                TextBytes(in_.substr(pos_, 1));
                ++pos_;
            } else {
                std::size_t e = pos_;
                while (e < n && !IsSpace(in_[e]) && in_[e] != '<' && in_[e] != '>' &&
                       in_[e] != '&' && in_[e] != '!' && in_[e] != '"')
                    ++e;
                TextBytes(in_.substr(pos_, e - pos_));
                pos_ = e;
            }
        }
        CloseLink();
        b_.Finish();
        // A paragraph end that closed the text became the control's final
        // mark, which is not in the text: a link over it ends before it.
        const int32_t length = b_.Length();
        for (HtmlLink& l : links_) {
            l.end = std::min(l.end, length);
            l.start = std::min(l.start, l.end);
        }
        return std::move(links_);
    }

private:
    enum class Mode { kBefore, kHead, kBody };

    // ---- Tokens

    void TagToken() {
        const std::size_t n = in_.size();
        std::size_t p = pos_ + 1;
        if (p < n && in_[p] == '!') {
            if (in_.substr(p, 3) == "!--") {
                std::size_t e = in_.find("-->", p + 3);
                pos_ = e == std::string_view::npos ? n : e + 3;
            } else {
                std::size_t e = in_.find('>', p);
                pos_ = e == std::string_view::npos ? n : e + 1;
            }
            return;
        }
        bool closing = p < n && in_[p] == '/';
        if (closing) ++p;
        if (p >= n || !IsAlpha(in_[p])) {
            // "< ", "<3" and the like are text.
            TextBytes("<");
            ++pos_;
            return;
        }
        std::size_t nameStart = p;
        while (p < n && IsAlnum(in_[p]))
            ++p;
        std::string_view rawName = in_.substr(nameStart, p - nameStart);
        int code = rawName.size() <= kMaxNameLength ? FindHtmlTag(rawName) : -1;
        Attributes attrs;
        p = ReadAttributes(p, attrs);
        pos_ = p;
        if (code < 0) return;
        if (closing)
            CloseTag(code);
        else
            OpenTag(code, attrs);
    }

    // Reads attributes up to and past the tag's ">" (or to the end).
    std::size_t ReadAttributes(std::size_t p, Attributes& a) {
        const std::size_t n = in_.size();
        while (p < n) {
            while (p < n && IsSpace(in_[p]))
                ++p;
            if (p >= n) break;
            if (in_[p] == '>') return p + 1;
            std::size_t ns = p;
            while (p < n && !IsSpace(in_[p]) && in_[p] != '=' && in_[p] != '>')
                ++p;
            if (p == ns) {  // a stray "="
                ++p;
                continue;
            }
            std::string name = in_.substr(ns, p - ns).size() <= kMaxNameLength
                                   ? LowerCopy(in_.substr(ns, p - ns))
                                   : std::string();
            std::size_t q = p;
            while (q < n && IsSpace(in_[q]))
                ++q;
            if (q >= n || in_[q] != '=') continue;  // no value
            ++q;
            while (q < n && IsSpace(in_[q]))
                ++q;
            std::string_view raw;
            bool quoted = false;
            if (q < n && (in_[q] == '"' || in_[q] == '\'')) {
                std::size_t e = in_.find(in_[q], q + 1);
                if (e == std::string_view::npos) e = n;
                raw = in_.substr(q + 1, e - q - 1);
                p = e < n ? e + 1 : n;
                quoted = true;
            } else {
                std::size_t e = q;
                while (e < n && !IsSpace(in_[e]) && in_[e] != '>')
                    ++e;
                raw = in_.substr(q, e - q);
                p = e;
            }
            Store(a, name, raw, quoted);
        }
        return p;
    }

    void Store(Attributes& a, const std::string& name, std::string_view raw, bool quoted) {
        auto value = [&] { return quoted ? DecodeEntitiesUtf8(raw) : Cp1252ToUtf8(raw); };
        if (name == "href") {
            a.href = value();
        } else if (name == "size") {
            a.size = value();
            a.hasSize = true;
        } else if (name == "color") {
            a.color = value();
            a.hasColor = true;
        } else if (name == "face") {
            a.face = value();
            a.hasFace = true;
        } else if (name == "alt") {
            a.alt = value();
            a.hasAlt = true;
        } else if (name == "text") {
            a.text = value();
            a.hasText = true;
        }
    }

    // Reads an entity at `p` (an "&"): the characters it stands for, or its
    // own text when it names nothing; returns the position after it.
    std::size_t ReadEntity(std::size_t p, std::u16string& out) const {
        const std::size_t n = in_.size();
        std::size_t q = p + 1;
        if (q < n && in_[q] == '#') {
            std::size_t d = q + 1;
            uint32_t code = 0;
            while (d < n && IsDigit(in_[d])) {
                code = std::min<uint32_t>(code * 10 + uint32_t(in_[d] - '0'), 0x7FFFFFFF / 10);
                ++d;
            }
            if (d > q + 1 && d < n && in_[d] == ';') {
                AppendUtf16(out, NumericCharacter(code));
                return d + 1;
            }
            out += Cp1252ToUtf16(in_.substr(p, d - p));
            return d;
        }
        std::size_t e = q;
        while (e < n && e - q < kMaxNameLength && IsAlnum(in_[e]))
            ++e;
        bool semicolon = e < n && in_[e] == ';' && e > q;
        if (semicolon) {
            int c = FindHtmlEntity(in_.substr(q, e - q));
            if (c >= 0) {
                AppendUtf16(out, Cp1252ToCodePoint((unsigned char)c));
                return e + 1;
            }
            ++e;  // an unknown name is written with its ";"
        }
        out += Cp1252ToUtf16(in_.substr(p, e - p));
        return e;
    }

    std::string DecodeEntitiesUtf8(std::string_view raw) const {
        // Decodes through the same entity rule, with offsets into `in_`.
        std::size_t base = std::size_t(raw.data() - in_.data());
        std::string out;
        std::u16string chars;
        for (std::size_t i = 0; i < raw.size();) {
            if (raw[i] == '&') {
                chars.clear();
                std::size_t next = ReadEntity(base + i, chars) - base;
                // An entity never reads past the value's end.
                if (next > raw.size()) {
                    chars.clear();
                    next = raw.size();
                    chars = Cp1252ToUtf16(raw.substr(i));
                }
                for (std::size_t k = 0; k < chars.size(); ++k) {
                    char32_t c = chars[k];
                    if (c >= 0xD800 && c <= 0xDBFF && k + 1 < chars.size()) {
                        c = 0x10000 + ((c - 0xD800) << 10) + (chars[k + 1] - 0xDC00);
                        ++k;
                    }
                    AppendUtf8(out, c);
                }
                i = next;
            } else {
                std::size_t e = raw.find('&', i);
                if (e == std::string_view::npos) e = raw.size();
                out += Cp1252ToUtf8(raw.substr(i, e - i));
                i = e;
            }
        }
        return out;
    }

    void EntityToken() {
        std::u16string chars;
        pos_ = ReadEntity(pos_, chars);
        Emit(chars);
    }

    void TextBytes(std::string_view bytes) {
        if (mode_ != Mode::kBody) return;
        std::u16string chars;
        chars.reserve(bytes.size());
        for (char c : bytes)
            if (c != '\0') chars.push_back(Cp1252ToCodePoint((unsigned char)c));
        Emit(chars);
    }

    void WhiteSpace(std::string_view run) {
        if (mode_ != Mode::kBody) return;
        if (pre_ > 0) {
            for (std::size_t i = 0; i < run.size(); ++i) {
                char c = run[i];
                if (c == '\n' || (c == '\r' && (i + 1 >= run.size() || run[i + 1] != '\n')))
                    Break();
                else if (c == '\t')
                    Emit(u"\t");
                else if (c != '\r')
                    Emit(u" ");
            }
            return;
        }
        if (lastSpace_ || atLineStart_) return;
        Emit(u" ");
        lastSpace_ = true;
    }

    // ---- Output

    void Emit(std::u16string_view chars) {
        if (mode_ != Mode::kBody || chars.empty()) return;
        ApplyFormat();
        if (atLineStart_) {
            int tabs = IndentTabs();
            for (int i = 0; i < tabs; ++i)
                b_.Append(u'\t');
            atLineStart_ = false;
        }
        if (linkOpen_ && link_.start < 0) link_.start = b_.Length();
        b_.Append(chars.data(), chars.size());
        breaks_ = 0;
        lastSpace_ = false;
    }

    int IndentTabs() const {
        int lists = int(std::min<std::size_t>(ListDepth(), kMaxIndentTabs));
        int tabs = std::max(0, lists - 1) + std::min(quoteDepth_, kMaxIndentTabs) +
                   std::min(dlDepth_, kMaxIndentTabs);
        return std::min(tabs, kMaxIndentTabs);
    }

    void Break() {
        if (mode_ != Mode::kBody) return;
        b_.EndParagraph();
        if (breaks_ < 2) ++breaks_;
        atLineStart_ = true;
        lastSpace_ = false;
    }
    // A block's break: at most one empty line in a row, none inside a list
    // or a table cell.
    void BlockBreak() {
        if (breaks_ < 2 && ListDepth() == 0 && !inCell_) Break();
    }
    void NewLine() {
        if (!atLineStart_) Break();
    }

    void ApplyFormat() {
        if (!formatDirty_) return;
        CharFormat f = b_.DefaultCharFormat();
        const Font& font = plainFormat_ ? plain_ : fonts_.back();
        f.face = font.face;
        f.height = HtmlSizeTwips(font.size);
        f.colour = font.colour;
        f.effects = plainFormat_ ? 0 : effects_;
        b_.SetCharFormatId(b_.InternCharFormat(f));
        formatDirty_ = false;
    }

    void SetEffect(uint32_t bits, bool on) {
        effects_ = on ? (effects_ | bits) : (effects_ & ~bits);
        formatDirty_ = true;
    }

    // ---- Fonts

    void PushFont(Font f) {
        if (fonts_.size() < kMaxFontDepth)
            fonts_.push_back(std::move(f));
        else
            ++fontOverflow_;
        formatDirty_ = true;
    }
    void PopFont() {
        if (fontOverflow_ > 0)
            --fontOverflow_;
        else if (fonts_.size() > 1)
            fonts_.pop_back();
        formatDirty_ = true;
    }

    int SizeValue(const std::string& text) const {
        std::size_t i = 0;
        while (i < text.size() && IsSpace(text[i]))
            ++i;
        int sign = 0;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) sign = text[i++] == '+' ? 1 : -1;
        int v = 0;
        while (i < text.size() && IsDigit(text[i]))
            v = std::min(v * 10 + (text[i++] - '0'), 1000);
        if (sign != 0) v = base_.size + sign * v;
        return std::clamp(v, 1, 7);
    }

    uint32_t ColourValue(const std::string& text) const {
        uint32_t colour;
        std::size_t i = 0;
        while (i < text.size() && IsSpace(text[i]))
            ++i;
        if (i < text.size() && text[i] == '#') {
            int d[6] = {};
            for (int k = 0; k < 6 && i + 1 + std::size_t(k) < text.size(); ++k)
                d[k] = HexValue(text[i + 1 + std::size_t(k)]);
            colour = MakeColour(d[0] * 16 + d[1], d[2] * 16 + d[3], d[4] * 16 + d[5]);
        } else {
            std::size_t e = text.find_last_not_of(" \t\r\n");
            std::string_view name(text);
            name = e == std::string::npos ? std::string_view() : name.substr(i, e + 1 - i);
            uint32_t rgb = FindHtmlColour(name).value_or(0);
            colour = MakeColour(int(rgb >> 16), int(rgb >> 8), int(rgb));
        }
        // Text in the background's colour would be invisible.
        if (colour == settings_.background) return textColour_;
        return colour;
    }

    std::string FaceValue(const std::string& text) {
        std::size_t i = 0;
        while (i <= text.size()) {
            std::size_t e = text.find(',', i);
            if (e == std::string::npos) e = text.size();
            std::string_view name = std::string_view(text).substr(i, e - i);
            while (!name.empty() &&
                   (IsSpace(name.front()) || name.front() == '"' || name.front() == '\''))
                name.remove_prefix(1);
            while (!name.empty() &&
                   (IsSpace(name.back()) || name.back() == '"' || name.back() == '\''))
                name.remove_suffix(1);
            if (!name.empty() && Installed(name)) return std::string(name);
            i = e + 1;
        }
        return settings_.defaultFace;
    }

    bool Installed(std::string_view name) {
        if (!settings_.fonts) return false;
        std::string key = LowerCopy(name);
        auto it = installed_.find(key);
        if (it == installed_.end())
            it = installed_.emplace(std::move(key), settings_.fonts->IsInstalled(name)).first;
        return it->second;
    }

    Font FontFrom(const Attributes& a, Font f) {
        if (a.hasSize) f.size = SizeValue(a.size);
        if (a.hasColor) f.colour = ColourValue(a.color);
        if (a.hasFace) f.face = FaceValue(a.face);
        return f;
    }

    // ---- Lists

    std::size_t ListDepth() const { return lists_.size() + listOverflow_; }
    void PushList(bool numbered) {
        if (lists_.size() < kMaxListDepth)
            lists_.push_back(List{numbered, 0});
        else
            ++listOverflow_;
    }
    void PopList() {
        if (listOverflow_ > 0)
            --listOverflow_;
        else if (!lists_.empty())
            lists_.pop_back();
    }

    // ---- Links

    void CloseLink() {
        if (!linkOpen_) return;
        link_.end = b_.Length();
        if (link_.start < 0) link_.start = link_.end;
        links_.push_back(std::move(link_));
        link_ = HtmlLink();
        linkOpen_ = false;
    }

    // ---- Tags

    void OpenTag(int code, const Attributes& a) {
        switch (code) {
            case 0:
            case kBase:
            case kLink:
            case kIsindex:
            case kMeta:
                return;
            case kHead:
                mode_ = Mode::kHead;
                return;
            case kTitle:
                if (mode_ != Mode::kHead) modeBeforeTitle_ = mode_;
                ++open_[kTitle];
                mode_ = Mode::kHead;
                return;
            case kScript: {
                // Everything up to the closing tag is skipped.
                std::size_t p = pos_;
                const std::size_t n = in_.size();
                while (p < n) {
                    std::size_t lt = in_.find("</", p);
                    if (lt == std::string_view::npos) {
                        p = n;
                        break;
                    }
                    if (LowerCopy(in_.substr(lt + 2, 6)) == "script") {
                        p = lt;
                        break;
                    }
                    p = lt + 2;
                }
                pos_ = p;
                return;
            }
            default:
                break;
        }
        mode_ = Mode::kBody;
        if (open_[std::size_t(code)] < INT32_MAX) ++open_[std::size_t(code)];
        Font top = fonts_.back();
        switch (code) {
            case kA:
                if (!a.href.empty()) {
                    CloseLink();
                    linkOpen_ = true;
                    link_.start = -1;
                    link_.target = a.href;
                }
                break;
            case kB:
            case kStrong:
                SetEffect(kEffectBold, true);
                break;
            case kI:
            case kEm:
            case kCite:
            case kVar:
                SetEffect(kEffectItalic, true);
                break;
            case kAddress:
                NewLine();
                SetEffect(kEffectItalic, true);
                break;
            case kU:
                SetEffect(kEffectUnderline, true);
                break;
            case kStrike:
                SetEffect(kEffectStrikeout, true);
                break;
            case kSub:
                SetEffect(kEffectSuperscript, false);
                SetEffect(kEffectSubscript, true);
                break;
            case kSup:
                SetEffect(kEffectSubscript, false);
                SetEffect(kEffectSuperscript, true);
                break;
            case kBig:
                top.size = std::min(top.size + 1, 7);
                PushFont(top);
                break;
            case kSmall:
                top.size = std::max(top.size - 1, 0);
                PushFont(top);
                break;
            case kCode:
            case kSamp:
            case kTt:
            case kXmp:
                top.face = kFixedFace;
                top.size = 2;
                PushFont(top);
                break;
            case kFont:
                PushFont(FontFrom(a, top));
                break;
            case kBasefont:
                base_ = FontFrom(a, base_);
                break;
            case kP:
            case kDiv:
                BlockBreak();
                break;
            case kBr:
                Break();
                break;
            case kHr:
                NewLine();
                if (breaks_ < 2) Break();
                break;
            case kCenter:
                NewLine();
                break;
            case kBlockquote:
                NewLine();
                ++quoteDepth_;
                break;
            case kUl:
            case kMenu:
            case kOl:
                NewLine();
                PushList(code == kOl);
                break;
            case kLi:
                NewLine();
                if (!lists_.empty()) {
                    List& l = lists_.back();
                    if (l.numbered) {
                        if (l.counter < 999999) ++l.counter;
                        char num[16];
                        std::snprintf(num, sizeof num, "%3d. ", l.counter);
                        Emit(Cp1252ToUtf16(num));
                    } else {
                        Emit(u"   \u00B7 ");
                    }
                }
                break;
            case kDl:
                NewLine();
                ++dlDepth_;
                break;
            case kDt:
            case kDd:
                NewLine();
                break;
            case kListing:
            case kPlaintext:
            case kPre:
                NewLine();
                top.face = kFixedFace;
                top.size = 2;
                PushFont(top);
                ++pre_;
                break;
            case kTable:
            case kTr:
                NewLine();
                firstCell_ = true;
                inCell_ = false;
                break;
            case kTd:
            case kTh:
                if (!firstCell_) Emit(u"\t");
                firstCell_ = false;
                inCell_ = true;
                break;
            case kCaption:
                NewLine();
                if (ListDepth() > 0) Emit(u"\t");
                break;
            case kImg:
            case kArea:
                if (a.hasAlt && !a.alt.empty()) {
                    plain_ = Font{settings_.defaultFace, 3, textColour_};
                    plainFormat_ = true;
                    formatDirty_ = true;
                    std::u16string text = u"[";
                    text += Utf8ToUtf16(a.alt);
                    text += u"]";
                    Emit(text);
                    plainFormat_ = false;
                    formatDirty_ = true;
                }
                break;
            case kBody:
                if (a.hasText) {
                    uint32_t c = ColourValue(a.text);
                    textColour_ = c;
                }
                fonts_.back() = base_;
                if (a.hasText) fonts_.back().colour = textColour_;
                formatDirty_ = true;
                break;
            default:
                if (code >= kH1 && code <= kH6) {
                    BlockBreak();
                    top.size = 6 - (code - kH1);
                    PushFont(top);
                    SetEffect(kEffectBold, true);
                }
                break;
        }
    }

    void CloseTag(int code) {
        if (code == kHead) {
            if (mode_ == Mode::kHead) mode_ = Mode::kBody;
            return;
        }
        int& open = open_[std::size_t(code)];
        if (open == 0) return;  // unbalanced
        --open;
        switch (code) {
            case kTitle:
                mode_ = modeBeforeTitle_ == Mode::kBefore ? Mode::kHead : modeBeforeTitle_;
                break;
            case kA:
                CloseLink();
                break;
            case kB:
            case kStrong:
                SetEffect(kEffectBold, false);
                break;
            case kI:
            case kEm:
            case kCite:
            case kVar:
            case kAddress:
                SetEffect(kEffectItalic, false);
                break;
            case kU:
                SetEffect(kEffectUnderline, false);
                break;
            case kStrike:
                SetEffect(kEffectStrikeout, false);
                break;
            case kSub:
            case kSup:
                SetEffect(kEffectSubscript | kEffectSuperscript, false);
                break;
            case kBig:
            case kSmall:
            case kCode:
            case kSamp:
            case kTt:
            case kXmp:
            case kFont:
                PopFont();
                break;
            case kListing:
            case kPlaintext:
            case kPre:
                PopFont();
                if (pre_ > 0) --pre_;
                NewLine();
                break;
            case kUl:
            case kMenu:
            case kOl:
                PopList();
                NewLine();
                break;
            case kBlockquote:
                if (quoteDepth_ > 0) --quoteDepth_;
                NewLine();
                break;
            case kDl:
                if (dlDepth_ > 0) --dlDepth_;
                NewLine();
                break;
            case kTd:
            case kTh:
                inCell_ = false;
                break;
            case kTr:
                inCell_ = false;
                break;
            case kTable:
                inCell_ = false;
                NewLine();
                break;
            default:
                if (code >= kH1 && code <= kH6) {
                    SetEffect(kEffectBold, false);
                    PopFont();
                    BlockBreak();
                }
                break;
        }
    }

    static std::u16string Utf8ToUtf16(const std::string& s) {
        std::u16string out;
        for (std::size_t i = 0; i < s.size();) {
            unsigned char c = (unsigned char)s[i];
            char32_t cp;
            std::size_t len;
            if (c < 0x80) {
                cp = c;
                len = 1;
            } else if ((c >> 5) == 6 && i + 1 < s.size()) {
                cp = char32_t(c & 0x1F) << 6 | (s[i + 1] & 0x3F);
                len = 2;
            } else if ((c >> 4) == 14 && i + 2 < s.size()) {
                cp = char32_t(c & 0x0F) << 12 | char32_t(s[i + 1] & 0x3F) << 6 | (s[i + 2] & 0x3F);
                len = 3;
            } else if (i + 3 < s.size()) {
                cp = char32_t(c & 0x07) << 18 | char32_t(s[i + 1] & 0x3F) << 12 |
                     char32_t(s[i + 2] & 0x3F) << 6 | (s[i + 3] & 0x3F);
                len = 4;
            } else {
                cp = 0xFFFD;
                len = 1;
            }
            AppendUtf16(out, cp);
            i += len;
        }
        return out;
    }

    std::string_view in_;
    std::size_t pos_ = 0;
    const HtmlReaderSettings& settings_;
    RichTextControl::Builder b_;
    Mode mode_ = Mode::kBefore;
    Mode modeBeforeTitle_ = Mode::kBefore;

    uint32_t textColour_;
    Font base_;
    std::vector<Font> fonts_;
    std::size_t fontOverflow_ = 0;
    Font plain_;
    bool plainFormat_ = false;
    uint32_t effects_ = 0;
    bool formatDirty_ = true;
    std::unordered_map<std::string, bool> installed_;

    std::array<int, 129> open_{};
    std::vector<List> lists_;
    std::size_t listOverflow_ = 0;
    int quoteDepth_ = 0, dlDepth_ = 0, pre_ = 0;
    bool inCell_ = false, firstCell_ = true;

    // The start counts as after two breaks: a page's first block adds no
    // empty lines before its text.
    int breaks_ = 2;
    bool atLineStart_ = true, lastSpace_ = false;

    bool linkOpen_ = false;
    HtmlLink link_;
    std::vector<HtmlLink> links_;
};

}  // namespace

int32_t HtmlSizeTwips(int size) {
    return kHalfPoints[std::clamp(size, 1, 7) - 1] * 10;
}

std::vector<HtmlLink> ReadHtml(std::string_view html, const HtmlReaderSettings& settings,
                               RichTextControl& out) {
    out.Clear();
    return Reader(html, settings, out).Run();
}

}  // namespace qb
