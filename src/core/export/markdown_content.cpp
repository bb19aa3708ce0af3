#include "export/markdown_content.h"

#include <unicode/uchar.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <optional>

#include "article/link_recognizer.h"
#include "export/markdown_text.h"

namespace qb {
namespace {

// Emphasis attributes in nesting order, outermost first.
enum Attr : uint8_t { kStrike = 1, kBold = 2, kItalic = 4, kUnder = 8 };
constexpr std::array<uint8_t, 4> kOrder = {kStrike, kBold, kItalic, kUnder};

const char* Delimiter(uint8_t attr) {
    switch (attr) {
        case kStrike:
            return "~~";
        case kBold:
            return "**";
        case kItalic:
            return "*";
        default:
            return "";
    }
}
const char* HtmlOpen(uint8_t attr) {
    switch (attr) {
        case kStrike:
            return "<del>";
        case kBold:
            return "<strong>";
        case kItalic:
            return "<em>";
        default:
            return "<u>";
    }
}
const char* HtmlClose(uint8_t attr) {
    switch (attr) {
        case kStrike:
            return "</del>";
        case kBold:
            return "</strong>";
        case kItalic:
            return "</em>";
        default:
            return "</u>";
    }
}

// The classes CommonMark's flanking rules look at.
enum class CharClass { kWhite, kPunct, kOther };

CharClass Classify(char32_t c) {
    if (c == 0 || c == ' ' || c == '\t' || c == '\n') return CharClass::kWhite;
    if (c < 0x80) return std::ispunct(int(c)) ? CharClass::kPunct : CharClass::kOther;
    if (u_isUWhiteSpace(UChar32(c))) return CharClass::kWhite;
    int8_t type = u_charType(UChar32(c));
    if (u_ispunct(UChar32(c)) || type == U_MATH_SYMBOL || type == U_CURRENCY_SYMBOL ||
        type == U_MODIFIER_SYMBOL || type == U_OTHER_SYMBOL)
        return CharClass::kPunct;
    return CharClass::kOther;
}

char32_t FirstChar(std::string_view s) {
    if (s.empty()) return 0;
    unsigned char b = static_cast<unsigned char>(s[0]);
    if (b < 0x80) return b;
    size_t n = (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : 4;
    if (n > s.size()) return 0xFFFD;
    char32_t c = b & (0x7F >> n);
    for (size_t k = 1; k < n; ++k)
        c = (c << 6) | (static_cast<unsigned char>(s[k]) & 0x3F);
    return c;
}

char32_t LastChar(std::string_view s) {
    if (s.empty()) return 0;
    size_t i = s.size() - 1;
    while (i > 0 && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80)
        --i;
    return FirstChar(s.substr(i));
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// One piece of a line: text, a code span, a link or a picture, with the
// emphasis it is shown in.
struct Token {
    std::string md;
    uint8_t attrs = 0;
    bool blank = false;  // white space only: it never changes the emphasis
};

class Conversion {
public:
    Conversion(const RichTextControl& control, const std::vector<StoredLink>& links,
               MarkdownTargets& targets, const MarkdownContentOptions& options)
        : rt_(control), text_(control.Text()), targets_(targets), options_(options) {
        for (const StoredLink& l : links)
            if (l.end > l.start) links_.push_back(&l);
        std::stable_sort(
            links_.begin(), links_.end(),
            [](const StoredLink* a, const StoredLink* b) { return a->start < b->start; });
    }

    std::string Run();

private:
    struct Level {
        int32_t indent;
        bool ordered;
        size_t column;   // of the marker
        size_t content;  // of the item's text
        uint32_t counter;
    };

    uint8_t AttrsOf(const CharFormat& f) const {
        uint8_t a = 0;
        if (f.Has(kEffectStrikeout)) a |= kStrike;
        if (f.Has(kEffectBold)) a |= kBold;
        if (f.Has(kEffectItalic)) a |= kItalic;
        if (options_.underline && f.Has(kEffectUnderline) && !f.Has(kEffectLink)) a |= kUnder;
        return a;
    }
    // The first picture's position in [from, end), or `end`.
    int32_t BeforePicture(int32_t from, int32_t end) const {
        if (rt_.Pictures().empty()) return end;  // most notes: no scan
        for (int32_t i = from; i < end; ++i)
            if (text_[size_t(i)] == kObjectChar && rt_.PictureAt(i)) return i;
        return end;
    }
    std::vector<Token> Tokens(int32_t from, int32_t to);
    void AppendTextMarkdown(std::string& md, int32_t from, int32_t to, bool lineStart);
    std::string Emit(const std::vector<Token>& tokens) const;
    std::string LineMarkdown(int32_t from, int32_t to, bool stripBold);
    bool IsHeading(int32_t start, int32_t end) const;
    void Block(const std::string& text, bool tight);

    const RichTextControl& rt_;
    const std::u16string& text_;
    MarkdownTargets& targets_;
    MarkdownContentOptions options_;
    std::vector<const StoredLink*> links_;
    size_t nextLink_ = 0;
    bool stripBold_ = false;
    std::string out_;
    std::string utf8_;  // reused for each piece of text, as it is converted
};

std::string CodeSpan(const std::string& code) {
    size_t longest = 0, run = 0;
    for (char c : code) {
        run = c == '`' ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    std::string fence(longest + 1, '`');
    bool allSpaces = std::all_of(code.begin(), code.end(), [](char c) { return c == ' '; });
    bool pad = !code.empty() && (code.front() == '`' || code.back() == '`' ||
                                 (code.front() == ' ' && code.back() == ' ' && !allSpaces));
    return fence + (pad ? " " : "") + code + (pad ? " " : "") + fence;
}

// A recognised address as Markdown apps link it, or nullopt to keep it as
// escaped text.
std::optional<std::string> RecognizedLink(LinkKind kind, const std::string& link) {
    auto has = [&](const char* set) { return link.find_first_of(set) != std::string::npos; };
    for (unsigned char c : link)
        if (c <= 0x20 || c == 0x7F) return std::nullopt;
    switch (kind) {
        case LinkKind::kEmail: {
            // CommonMark's e-mail autolink: a plain local part and host.
            size_t at = link.find('@');
            if (at == 0 || at == std::string::npos || at + 1 >= link.size()) return std::nullopt;
            for (size_t i = 0; i < link.size(); ++i) {
                unsigned char c = static_cast<unsigned char>(link[i]);
                bool ok = std::isalnum(c) || c == '-' || c == '.' || c == '@' ||
                          (i < at && std::string_view("!#$%&'*+/=?^_`{|}~").find(char(c)) !=
                                         std::string_view::npos);
                if (!ok || (c == '@' && i != at)) return std::nullopt;
            }
            return "<" + link + ">";
        }
        case LinkKind::kWww:
            // Without a scheme an autolink is not read; a link shows the same text.
            if (has("<>()[]\\")) return std::nullopt;
            return "[" + EscapeMarkdown(link, false) + "](http://" + link + ")";
        case LinkKind::kFtp:
        case LinkKind::kGopher:
        case LinkKind::kHttp:
        case LinkKind::kMailto:
        case LinkKind::kNews:
        case LinkKind::kFile:
        case LinkKind::kTelnet:
        case LinkKind::kHttps:
            if (has("<>\\")) return std::nullopt;
            return "<" + link + ">";
        default:
            return std::nullopt;
    }
}

void Conversion::AppendTextMarkdown(std::string& md, int32_t from, int32_t to, bool lineStart) {
    const LinkRecognizer& recognizer = LinkRecognizer::Shared();
    std::u16string_view all(text_);
    // Text between recognised addresses is converted and escaped in one
    // piece, not word by word.
    int32_t plainFrom = from;
    auto flush = [&](int32_t until) {
        if (until <= plainFrom) return;
        const bool atStart = lineStart && plainFrom == from;
        utf8_.clear();
        AppendUtf16AsUtf8(utf8_, all.substr(size_t(plainFrom), size_t(until - plainFrom)));
        AppendEscapedMarkdown(md, utf8_, atStart);
        plainFrom = until;
    };
    // Only a word with one of these in it can be an address: the words
    // around the others are not looked at one by one.
    auto mayMakeLink = [](char16_t c) { return c == u'.' || c == u':' || c == u'@'; };
    int32_t pos = from;
    while (pos < to) {
        int32_t hit = pos;
        while (hit < to && !mayMakeLink(text_[size_t(hit)]))
            ++hit;
        if (hit == to) break;
        int32_t start = hit;
        while (start > pos && !IsLinkSpace(text_[size_t(start - 1)]))
            --start;
        int32_t end = hit + 1;
        while (end < to && !IsLinkSpace(text_[size_t(end)]))
            ++end;
        std::u16string_view word = all.substr(size_t(start), size_t(end - start));
        RecognizedWord w = recognizer.RecognizeWord(word);
        if (w.kind != LinkKind::kNone && w.linkLength > 0) {
            std::string link = Utf16ToUtf8(word.substr(size_t(w.linkStart), size_t(w.linkLength)));
            if (std::optional<std::string> form = RecognizedLink(w.kind, link)) {
                flush(start + w.linkStart);
                md += *form;
                plainFrom = start + w.linkStart + w.linkLength;
            }
        }
        pos = end;
    }
    flush(to);
}

std::vector<Token> Conversion::Tokens(int32_t from, int32_t to) {
    std::vector<Token> tokens;
    int32_t pos = from;
    while (pos < to) {
        while (nextLink_ < links_.size() && links_[nextLink_]->end <= pos)
            ++nextLink_;
        const StoredLink* link = nextLink_ < links_.size() ? links_[nextLink_] : nullptr;
        const CharFormat& format = rt_.RunFormat(rt_.RunFromChar(pos));
        Token t;
        t.attrs = AttrsOf(format);
        if (stripBold_) t.attrs &= uint8_t(~kBold);
        if (link && link->start <= pos) {
            const int32_t end = std::min(link->end, to);
            std::u16string shown;
            for (int32_t i = pos; i < end; ++i)
                if (text_[size_t(i)] != kObjectChar) shown += text_[size_t(i)];
            std::string text = Utf16ToUtf8(shown);
            t.md = targets_.StoredLinkMarkdown(*link, text, EscapeMarkdown(text, false));
            tokens.push_back(std::move(t));
            pos = end;
            continue;
        }
        if (text_[size_t(pos)] == kObjectChar) {
            if (const Picture* picture = rt_.PictureAt(pos)) {
                t.md = targets_.PictureMarkdown(*picture);
                tokens.push_back(std::move(t));
                ++pos;
                continue;
            }
        }
        int32_t end = std::min(to, rt_.RunEnd(rt_.RunFromChar(pos)));
        if (link && link->start < end) end = link->start;
        end = BeforePicture(pos + 1, end);
        end = std::max(end, pos + 1);
        bool white = true;
        for (int32_t i = pos; i < end && white; ++i)
            white = text_[size_t(i)] == u' ' || text_[size_t(i)] == u'\t';
        if (white) {
            AppendUtf16AsUtf8(t.md,
                              std::u16string_view(text_).substr(size_t(pos), size_t(end - pos)));
            t.blank = true;
        } else if (IsMonospace(format)) {
            // Runs that differ in nothing Markdown shows (a colour, a size)
            // make one code span: two spans side by side would read as one
            // with the backticks inside.
            while (end < to && (!link || link->start > end) && text_[size_t(end)] != kObjectChar) {
                const int32_t run = rt_.RunFromChar(end);
                const CharFormat& next = rt_.RunFormat(run);
                if (!IsMonospace(next) || AttrsOf(next) != AttrsOf(format)) break;
                end = std::min(to, rt_.RunEnd(run));
                if (link && link->start < end) end = link->start;
                end = BeforePicture(pos + 1, end);
            }
            t.md = CodeSpan(
                Utf16ToUtf8(std::u16string_view(text_).substr(size_t(pos), size_t(end - pos))));
        } else {
            AppendTextMarkdown(t.md, pos, end,
                               tokens.empty() || (tokens.size() == 1 && tokens[0].blank));
        }
        tokens.push_back(std::move(t));
        pos = end;
    }
    return tokens;
}

std::string Conversion::Emit(const std::vector<Token>& tokens) const {
    std::string out;
    size_t size = 0;
    for (const Token& t : tokens)
        size += t.md.size();
    out.reserve(size + 16);
    uint8_t state = 0;
    std::vector<uint8_t> open;  // in opening order
    std::vector<bool> html;     // the form each open attribute was written in

    // The text after which the closing of `attr` opened at token i will
    // come, and what follows it: for the right-flanking rule.
    auto closesCleanly = [&](size_t i, uint8_t attr) {
        size_t j = i;
        size_t lastSolid = i;
        while (j < tokens.size() && (tokens[j].blank || (tokens[j].attrs & attr))) {
            if (!tokens[j].blank) lastSolid = j;
            ++j;
        }
        std::string_view last = tokens[lastSolid].md;
        while (!last.empty() && IsBlank(last.back()))
            last.remove_suffix(1);
        char32_t before = LastChar(last);
        char32_t after = 0;
        if (lastSolid + 1 < j ||
            (!tokens[lastSolid].md.empty() && IsBlank(tokens[lastSolid].md.back())))
            after = ' ';
        else if (j < tokens.size())
            after = FirstChar(tokens[j].md);
        CharClass b = Classify(before), a = Classify(after);
        return b != CharClass::kWhite && (b != CharClass::kPunct || a != CharClass::kOther);
    };

    auto closeFrom = [&](size_t k) {
        size_t ws = 0;
        while (ws < out.size() && IsBlank(out[out.size() - 1 - ws]))
            ++ws;
        std::string tail = out.substr(out.size() - ws);
        out.resize(out.size() - ws);
        while (open.size() > k) {
            uint8_t a = open.back();
            out += html.back() ? HtmlClose(a) : Delimiter(a);
            state &= uint8_t(~a);
            open.pop_back();
            html.pop_back();
        }
        out += tail;
    };

    for (size_t i = 0; i < tokens.size(); ++i) {
        const Token& t = tokens[i];
        if (t.blank) {
            out += t.md;
            continue;
        }
        std::string_view md = t.md;
        size_t lead = 0;
        while (lead < md.size() && IsBlank(md[lead]))
            ++lead;
        if (t.attrs != state) {
            // Close down to the first attribute that changes, then open.
            size_t k = 0;
            while (k < open.size() && (t.attrs & open[k]))
                ++k;
            closeFrom(k);
            out.append(md.substr(0, lead));
            for (uint8_t a : kOrder) {
                if (!(t.attrs & a) || (state & a)) continue;
                char32_t before = out.empty() ? 0 : LastChar(out);
                CharClass b = Classify(before), n = Classify(FirstChar(md.substr(lead)));
                bool leftFlanking =
                    n != CharClass::kWhite && (n != CharClass::kPunct || b != CharClass::kOther);
                const char* delim = Delimiter(a);
                bool glued = *delim && !out.empty() && out.back() == delim[0];
                bool useHtml = a == kUnder || !leftFlanking || glued || !closesCleanly(i, a);
                out += useHtml ? HtmlOpen(a) : delim;
                open.push_back(a);
                html.push_back(useHtml);
                state |= a;
            }
        } else {
            out.append(md.substr(0, lead));
        }
        out.append(md.substr(lead));
    }
    closeFrom(0);
    return out;
}

std::string Conversion::LineMarkdown(int32_t from, int32_t to, bool stripBold) {
    stripBold_ = stripBold;
    std::string md = Emit(Tokens(from, to));
    // White space at the start of a line would be dropped or read as code.
    size_t lead = 0;
    while (lead < md.size() && IsBlank(md[lead]))
        ++lead;
    if (lead == 0) return md;
    std::string prefix;
    for (size_t i = 0; i < lead; ++i)
        prefix += md[i] == ' ' ? "&#32;" : "&#9;";
    return prefix + md.substr(lead);
}

bool Conversion::IsHeading(int32_t start, int32_t end) const {
    bool any = false;
    for (int32_t pos = start; pos < end;) {
        int32_t run = rt_.RunFromChar(pos);
        int32_t runEnd = std::min(end, rt_.RunEnd(run));
        const CharFormat& f = rt_.RunFormat(run);
        bool white = true;
        for (int32_t i = pos; i < runEnd && white; ++i)
            white = IsLinkSpace(text_[size_t(i)]);
        if (!white) {
            if (!f.Has(kEffectBold) || f.height < kHeadingHeight) return false;
            any = true;
        }
        pos = std::max(runEnd, pos + 1);
    }
    return any;
}

void Conversion::Block(const std::string& text, bool tight) {
    if (!out_.empty() && !tight) out_ += '\n';
    out_ += text;
}

std::string Conversion::Run() {
    std::vector<Level> levels;
    bool inList = false;
    std::vector<std::string> plainLines;
    auto flushPlain = [&] {
        if (plainLines.empty()) return;
        std::string block;
        for (size_t i = 0; i < plainLines.size(); ++i)
            block += plainLines[i] + (i + 1 < plainLines.size() ? "\\\n" : "\n");
        Block(block, false);
        plainLines.clear();
    };

    const int32_t paragraphs = rt_.ParagraphCount();
    for (int32_t p = 0; p < paragraphs; ++p) {
        const int32_t start = rt_.ParagraphStart(p);
        const int32_t end = start + rt_.ParagraphLength(p);
        // The lines of the paragraph, without empty ones at its ends.
        std::vector<std::pair<int32_t, int32_t>> lines;
        for (int32_t from = start, i = start;; ++i) {
            if (i == end || text_[size_t(i)] == kLineBreak) {
                lines.push_back({from, i});
                from = i + 1;
                if (i == end) break;
            }
        }
        auto emptyLine = [&](const std::pair<int32_t, int32_t>& l) {
            for (int32_t i = l.first; i < l.second; ++i)
                if (!IsLinkSpace(text_[size_t(i)]) || text_[size_t(i)] == kObjectChar) return false;
            return true;
        };
        while (!lines.empty() && emptyLine(lines.back()))
            lines.pop_back();
        while (!lines.empty() && emptyLine(lines.front()))
            lines.erase(lines.begin());

        if (options_.plainLines) {
            if (lines.empty()) {
                flushPlain();
                continue;
            }
            for (const auto& [a, b] : lines)
                plainLines.push_back(LineMarkdown(a, b, false));
            continue;
        }
        // Links of an empty paragraph are passed all the same.
        if (lines.empty()) continue;

        const ParaFormat& pf = rt_.ParagraphFormat(p);
        const bool listItem = pf.numbering != Numbering::kNone;
        if (!listItem) {
            levels.clear();
            inList = false;
            if (p == 0 && options_.headings && IsHeading(start, end)) {
                std::string heading = "# ";
                for (size_t i = 0; i < lines.size(); ++i)
                    heading += (i ? " " : "") + LineMarkdown(lines[i].first, lines[i].second, true);
                Block(heading + "\n", false);
                continue;
            }
            std::string block;
            for (size_t i = 0; i < lines.size(); ++i) {
                block += LineMarkdown(lines[i].first, lines[i].second, false);
                block += i + 1 < lines.size() ? "\\\n" : "\n";
            }
            Block(block, false);
            continue;
        }

        const bool ordered = pf.numbering != Numbering::kBullet;
        const int32_t indent = pf.startIndent;
        while (!levels.empty() && levels.back().indent > indent)
            levels.pop_back();
        if (!levels.empty() && levels.back().indent == indent && levels.back().ordered != ordered)
            levels.pop_back();
        if (!levels.empty() && levels.back().indent == indent) {
            ++levels.back().counter;
        } else {
            size_t column = levels.empty() ? 0 : levels.back().content;
            // A nested numbered list must start at 1 to interrupt its item's text.
            uint32_t first = levels.empty() ? std::max<uint32_t>(pf.numberingStart, 1) : 1;
            levels.push_back({indent, ordered, column, column, first});
        }
        Level& level = levels.back();
        std::string marker =
            ordered ? std::to_string(std::min<uint32_t>(level.counter, 999999999)) + ". " : "- ";
        level.content = level.column + marker.size();
        std::string block = std::string(level.column, ' ') + marker;
        for (size_t i = 0; i < lines.size(); ++i) {
            if (i) block += std::string(level.content, ' ');
            block += LineMarkdown(lines[i].first, lines[i].second, false);
            block += i + 1 < lines.size() ? "\\\n" : "\n";
        }
        Block(block, inList);
        inList = true;
    }
    flushPlain();
    return out_;
}

}  // namespace

bool IsMonospace(const CharFormat& f) {
    if ((f.pitchAndFamily & 0x0F) == 1 || (f.pitchAndFamily >> 4) == 3) return true;
    std::string face;
    for (char c : f.face)
        face += char(std::tolower(static_cast<unsigned char>(c)));
    static const std::array<const char*, 10> kFaces = {
        "courier new", "courier", "consolas",         "lucida console",  "lucida sans typewriter",
        "monaco",      "menlo",   "dejavu sans mono", "liberation mono", "fixedsys"};
    return std::any_of(kFaces.begin(), kFaces.end(), [&](const char* m) { return face == m; });
}

std::string ContentToMarkdown(const RichTextControl& control, const std::vector<StoredLink>& links,
                              MarkdownTargets& targets, const MarkdownContentOptions& options) {
    return Conversion(control, links, targets, options).Run();
}

}  // namespace qb
