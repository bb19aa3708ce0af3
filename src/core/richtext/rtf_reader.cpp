#include "richtext/rtf_reader.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "richtext/code_page.h"
#include "richtext/rich_text.h"
#include "richtext/rich_text_builder.h"
#include "richtext/rtf_character_format.h"
#include "richtext/rtf_control_words.h"
#include "richtext/rtf_font_colour_tables.h"
#include "richtext/rtf_lists.h"
#include "richtext/rtf_paragraph_format.h"
#include "richtext/rtf_pictures.h"
#include "richtext/rtf_plain_text.h"
#include "richtext/rtf_state.h"

namespace qb::rtf {

namespace {

// Deeper groups than this share the state of the deepest one kept: hostile
// nesting then costs a counter, not a state per level.
constexpr std::size_t kMaxStateDepth = 1024;

class Parser {
public:
    Parser(RichTextControl::Builder& out, std::string_view in) : out_(out), in_(in) {}
    void Run();

private:
    State& Top() { return stack_.back(); }
    void Push();
    void Pop();

    // Control words, by where they act.
    void ControlWord(std::string_view word, bool hasParam, int64_t param);
    bool DestinationWord(State& s, Word w, const Param& p);
    void DocumentWord(State& s, Word w, int32_t param);
    void TextCharacterWord(State& s, Word w, const Param& param);
    void ObjectWord(State& s, Word w, const Param& param);
    // \bin: the next `length` bytes (as many as there are), consumed.
    std::string_view TakeBinary(int64_t length);
    void ControlSymbol(char c);

    // Text, by destination.
    void Text(const char* p, std::size_t n);
    void HexByte(uint8_t b);
    void Bytes(const char* p, std::size_t n);
    // Text of the document's own destination from pos up to the next byte
    // of RTF syntax or line end; returns where that byte is.
    std::size_t DocumentText(const char* data, std::size_t pos, std::size_t n);
    void FlushBytes();
    void UpdateCodePage();

    // The text appended next is in the current format: most often it is
    // already the last run's, which is checked inline.
    void StartRun() {
        if (charDirty_ || cachedCharId_ < 0 || out_.CharFormatId() != cachedCharId_)
            out_.SetCharFormatId(CurrentFormat());
    }
    void Emit(char16_t c) {
        StartRun();
        out_.Append(c);
    }
    void EmitAll(const char16_t* s, std::size_t n) {
        StartRun();
        out_.Append(s, n);
    }
    void EmitDecoded(char16_t c);
    void EndParagraph();
    void FinishParagraphFormat();
    void FinishPicture();
    int32_t CurrentFormat();
    // The fonts or colours that formats are made of have changed.
    void InvalidateFormats() {
        cachedCharId_ = -1;
        for (CacheSlot& slot : formatCache_)
            slot.id = -1;
    }
    void BeginSkip() { skipping_ = true, skipNest_ = 0; }

    RichTextControl::Builder& out_;
    std::string_view in_;
    const WordIndex& words_ = WordTable();  // once, not a guarded static per word
    std::size_t pos_ = 0;
    std::vector<State> stack_;
    std::size_t overflow_ = 0;  // levels beyond kMaxStateDepth
    bool skipping_ = false;
    std::size_t skipNest_ = 0;
    bool starPending_ = false;
    int pendingSkip_ = 0;  // fallback characters still to skip after \u
    bool done_ = false;

    int documentCodePage_ = 1252;
    FontTable fonts_;
    ColourTable colours_;
    ListTable lists_;
    PictureReader pictures_;

    ByteDecoder decoder_;
    bool codePageDirty_ = true;
    std::string pendingBytes_;
    bool lastWasCr_ = false;

    int32_t cachedCharId_ = -1;
    // Recently used character states and their format ids.
    struct CacheSlot {
        CharState ch;
        int32_t id = -1;
    };
    std::array<CacheSlot, 64> formatCache_{};
    bool charDirty_ = true;  // the character state may have changed since cached
    ParaState cachedPara_;
    int32_t cachedParaId_ = -1;
};

void Parser::Push() {
    FlushBytes();
    pendingSkip_ = 0;
    starPending_ = false;
    if (stack_.size() >= kMaxStateDepth) {
        ++overflow_;
        return;
    }
    stack_.push_back(stack_.back());
}

void Parser::Pop() {
    FlushBytes();
    charDirty_ = true;
    pendingSkip_ = 0;
    starPending_ = false;
    if (overflow_ > 0) {
        --overflow_;
        return;
    }
    State popped = stack_.back();
    stack_.pop_back();
    if (stack_.size() == 1) {
        // The document's own group has closed: what follows is not RTF.
        done_ = true;
        if (popped.dest == Dest::kPict) FinishPicture();
        stack_.back() = popped;  // the state in force at the end
        return;
    }
    State& top = stack_.back();
    switch (popped.dest) {
        case Dest::kPn:
        case Dest::kPnTextBefore:
        case Dest::kPnTextAfter:
            CloseNumberingGroup(popped, top);
            break;
        case Dest::kPict:
            if (top.dest != Dest::kPict) FinishPicture();
            break;
        case Dest::kFontTable:
            if (top.dest != Dest::kFontTable) fonts_.Close();
            break;
        default:
            break;
    }
    if (!(popped.ch.font == top.ch.font)) codePageDirty_ = true;
}

void Parser::UpdateCodePage() {
    codePageDirty_ = false;
    int cp = fonts_.CodePageOf(Top().ch.font);
    decoder_.SetCodePage(cp ? cp : documentCodePage_);
}

int32_t Parser::CurrentFormat() {
    if (!charDirty_ && cachedCharId_ >= 0) return cachedCharId_;
    charDirty_ = false;
    const CharState& ch = Top().ch;
    uint32_t h = uint32_t(ch.font) * 31 + uint32_t(ch.fs) * 17 + uint32_t(ch.cf) * 13 +
                 uint32_t(ch.bg) * 7 + ch.effects * 3 + uint32_t(ch.ul) * 5 + uint32_t(ch.up);
    // Two ways per set: a document alternating between two states that
    // share a set (bold text and a font change, say) still hits.
    std::size_t i = ((h * 0x9E3779B1u) >> 26) & ~std::size_t(1);
    CacheSlot* slot = &formatCache_[i];
    if (slot->id < 0 || !(slot->ch == ch)) {
        CacheSlot& other = formatCache_[i + 1];
        if (other.id >= 0 && other.ch == ch) {
            std::swap(*slot, other);
        } else {
            other = *slot;
            slot->ch = ch;
            slot->id = out_.InternCharFormat(
                MakeCharFormat(ch, out_.DefaultCharFormat(),
                               fonts_.ForText(ch.font, documentCodePage_), colours_));
        }
    }
    cachedCharId_ = slot->id;
    return cachedCharId_;
}

// A character that came from bytes: controls other than the tab do not
// belong in the text, except that CR and LF end paragraphs.
void Parser::EmitDecoded(char16_t c) {
    if (c >= 0x20 || c == u'\t') {
        lastWasCr_ = false;
        Emit(c);
        return;
    }
    if (c == u'\n' && lastWasCr_) {
        lastWasCr_ = false;
        return;
    }
    lastWasCr_ = c == u'\r';
    if (c == u'\r' || c == u'\n') EndParagraph();
}

void Parser::FinishParagraphFormat() {
    const ParaState& pa = Top().pa;
    if (cachedParaId_ < 0 || !(pa == cachedPara_)) {
        cachedPara_ = pa;
        cachedParaId_ = out_.InternParaFormat(MakeParaFormat(pa, lists_));
    }
    out_.SetParaFormatId(cachedParaId_);
}

void Parser::EndParagraph() {
    FlushBytes();
    StartRun();  // the CR is in the format of the text before it
    FinishParagraphFormat();
    out_.EndParagraph();
}

void Parser::FinishPicture() {
    if (std::optional<Picture> picture = pictures_.Finish()) {
        StartRun();
        out_.AddPicture(std::move(*picture));
    }
}

void Parser::FlushBytes() {
    if (pendingBytes_.empty()) return;
    std::u16string wide;
    decoder_.Decode(pendingBytes_, wide);
    pendingBytes_.clear();
    for (char16_t c : wide)
        EmitDecoded(c);
}

void Parser::Bytes(const char* p, std::size_t n) {
    if (codePageDirty_) UpdateCodePage();
    if (decoder_.MultiByte()) {
        pendingBytes_.append(p, n);
        return;
    }
    // Characters that go into the text unchanged are decoded a stretch at a
    // time and appended together: the format and the run are looked at once
    // per stretch rather than once per character.
    constexpr std::size_t kChunk = 256;
    char16_t buf[kChunk];
    std::size_t i = 0;
    while (i < n) {
        std::size_t k = 0;
        char16_t c = 0;
        while (i < n && k < kChunk) {
            c = decoder_.DecodeSingle(uint8_t(p[i]));
            if (c < 0x20 && c != u'\t') break;
            buf[k++] = c;
            ++i;
        }
        if (k > 0) {
            lastWasCr_ = false;
            EmitAll(buf, k);
        }
        if (i < n && k < kChunk) {
            EmitDecoded(c);
            ++i;
        }
    }
}

std::size_t Parser::DocumentText(const char* data, std::size_t pos, std::size_t n) {
    if (codePageDirty_) UpdateCodePage();
    if (!decoder_.AsciiAsIs()) {
        std::size_t start = pos;
        while (pos < n && !kTextStop[uint8_t(data[pos])])
            ++pos;
        Bytes(data + start, pos - start);
        return pos;
    }
    constexpr std::size_t kChunk = 512;
    char16_t buf[kChunk];
    while (pos < n) {
        // Plain ASCII, widened without the table.
        for (;;) {
            std::size_t room = std::min(n - pos, kChunk);
            std::size_t got = WidenPlainAscii(data + pos, room, buf);
            if (got > 0) {
                lastWasCr_ = false;
                EmitAll(buf, got);
                pos += got;
            }
            if (got < room || pos >= n) break;
        }
        // Then what needs the table: other bytes up to the next plain ASCII.
        std::size_t start = pos;
        while (pos < n && !kTextStop[uint8_t(data[pos])] && !kPlainAscii[uint8_t(data[pos])])
            ++pos;
        if (pos == start) break;  // a byte that ends the text
        Bytes(data + start, pos - start);
    }
    return pos;
}

void Parser::HexByte(uint8_t b) {
    State& s = Top();
    switch (s.dest) {
        case Dest::kText:
            if (codePageDirty_) UpdateCodePage();
            if (decoder_.MultiByte()) {
                pendingBytes_.push_back(char(b));
            } else {
                EmitDecoded(decoder_.DecodeSingle(b));
            }
            break;
        case Dest::kFontTable:
            fonts_.NameByte(b);
            break;
        case Dest::kPnTextBefore:
        case Dest::kPnTextAfter:
            ApplyPnByte(s, b);
            break;
        default:
            break;
    }
}

void Parser::Text(const char* p, std::size_t n) {
    State& s = Top();
    switch (s.dest) {
        case Dest::kText:
            Bytes(p, n);
            break;
        case Dest::kFontTable:
            fonts_.NameText(p, n);
            break;
        case Dest::kColourTable:
            if (colours_.Text(p, n)) InvalidateFormats();
            break;
        case Dest::kPict:
            pictures_.HexText(p, n);
            break;
        case Dest::kPnTextBefore:
        case Dest::kPnTextAfter:
            ApplyPnText(s, p, n);
            break;
        default:
            break;
    }
}

void Parser::ControlSymbol(char c) {
    State& s = Top();
    if (c == '*') {
        starPending_ = true;
        return;
    }
    if (pendingSkip_ > 0) {
        --pendingSkip_;
        return;
    }
    char16_t ch = 0;
    switch (c) {
        case '\\':
        case '{':
        case '}':
            ch = char16_t(c);
            break;
        case '~':
            ch = 0x00A0;
            break;
        case '-':
            ch = 0x00AD;
            break;
        case '_':
            ch = 0x2011;
            break;
        case '\r':
        case '\n':
            if (s.dest == Dest::kText) EndParagraph();
            return;
        case '\t':
            ch = u'\t';
            break;
        default:
            return;
    }
    if (s.dest == Dest::kText) {
        FlushBytes();
        lastWasCr_ = false;
        Emit(ch);
    } else if (ch < 0x80) {
        char b = char(ch);
        Text(&b, 1);
    }
}

void Parser::ControlWord(std::string_view word, bool hasParam, int64_t param) {
    Word w = words_.Find(word);
    bool star = starPending_;
    starPending_ = false;
    if (pendingSkip_ > 0 && w != Word::kBin) {
        --pendingSkip_;
        return;
    }
    if (w != Word::kU) {
        FlushBytes();
        lastWasCr_ = false;
    }
    const WordGroup group = GroupOf(w);
    if (group == WordGroup::kCharacter) charDirty_ = true;
    if (group == WordGroup::kNone) {
        if (star || w == Word::kSkipDest) BeginSkip();
        return;
    }
    const Param p{hasParam, param, Clamp(hasParam ? param : 0, INT32_MIN, INT32_MAX),
                  !hasParam || param != 0};
    State& s = Top();

    if (DestinationWord(s, w, p)) return;

    switch (group) {
        case WordGroup::kDocument:
            DocumentWord(s, w, p.value);
            break;
        case WordGroup::kTextCharacter:
            TextCharacterWord(s, w, p);
            break;
        case WordGroup::kParagraph:
            ApplyParagraphWord(s.pa, w, p);
            break;
        case WordGroup::kCharacter:
            ApplyCharacterWord(s.ch, w, p);
            if (w == Word::kPlain || w == Word::kF) codePageDirty_ = true;
            break;
        case WordGroup::kNumbering:
            ApplyNumberingWord(s, w, p.value);
            break;
        case WordGroup::kObject:
            ObjectWord(s, w, p);
            break;
        default:
            break;  // words of the tables and pictures, out of their place here
    }
}

// The words of the tables, pictures and numbering groups, which mean
// something else there; true when the word was theirs. The font and colour
// tables leave the other words to be read as in the text.
bool Parser::DestinationWord(State& s, Word w, const Param& p) {
    switch (s.dest) {
        case Dest::kFontTable:
            switch (fonts_.TableWord(w, p.value)) {
                case FontTable::WordEffect::kNewEntry:
                    codePageDirty_ = true;
                    InvalidateFormats();
                    return true;
                case FontTable::WordEffect::kDone:
                    return true;
                case FontTable::WordEffect::kNotTableWord:
                    break;
            }
            break;
        case Dest::kColourTable:
            return colours_.TableWord(w, p.value);
        case Dest::kListTable:
        case Dest::kList:
        case Dest::kListLevel:
            if (lists_.ListWord(s, w, p.value)) BeginSkip();
            return true;
        case Dest::kOverrideTable:
        case Dest::kOverride:
            lists_.OverrideWord(s, w, p.value);
            return true;
        case Dest::kPict:
            if (w == Word::kBin)
                pictures_.Binary(TakeBinary(p.raw));
            else
                pictures_.Word(w, p.value);
            return true;
        case Dest::kPn:
        case Dest::kPnTextBefore:
        case Dest::kPnTextAfter:
            ApplyPnWord(s, w, p.value);
            return true;
        case Dest::kText:
        case Dest::kUprAnsi:
            break;
    }
    return false;
}

void Parser::DocumentWord(State& s, Word w, int32_t param) {
    switch (w) {
        case Word::kAnsi:
            documentCodePage_ = 1252, codePageDirty_ = true;
            break;
        case Word::kMac:
            documentCodePage_ = 10000, codePageDirty_ = true;
            break;
        case Word::kPc:
            documentCodePage_ = 437, codePageDirty_ = true;
            break;
        case Word::kPca:
            documentCodePage_ = 850, codePageDirty_ = true;
            break;
        case Word::kAnsiCpg:
            documentCodePage_ = std::clamp(param, 0, 65535), codePageDirty_ = true;
            break;
        case Word::kDeff:
            fonts_.SetDefault(param);
            codePageDirty_ = true;
            InvalidateFormats();
            break;
        case Word::kUc:
            s.uc = uint8_t(std::clamp(param, 0, 16));
            break;
        case Word::kFontTable:
            s.dest = Dest::kFontTable;
            fonts_.Open();
            break;
        case Word::kColourTable:
            s.dest = Dest::kColourTable;
            colours_.Open();
            break;
        case Word::kListTable:
            s.dest = Dest::kListTable;
            break;
        case Word::kOverrideTable:
            s.dest = Dest::kOverrideTable;
            break;
        case Word::kUpr:
            s.dest = Dest::kUprAnsi;
            break;
        case Word::kUd:
            if (s.dest == Dest::kUprAnsi) s.dest = Dest::kText;
            break;
        default:
            break;
    }
}

void Parser::TextCharacterWord(State& s, Word w, const Param& param) {
    const bool inText = s.dest == Dest::kText;
    if (w == Word::kU) {
        int64_t v = param.raw;
        if (v < 0) v += 65536;  // written as a signed 16-bit number
        const char16_t c = (v < 0 || v > 0xFFFF) ? char16_t(0xFFFD) : char16_t(v);
        if (inText) {
            FlushBytes();
            lastWasCr_ = false;
            if (c >= 0x20 || c == u'\t')
                Emit(c);
            else
                EmitDecoded(c);
        } else if (s.dest == Dest::kFontTable) {
            // A face name that no code page holds is written this way.
            fonts_.NameUnicode(c);
        }
        pendingSkip_ = s.uc;
        return;
    }
    if (!inText) return;
    char16_t c = TextCharacter(w);
    if (c == kParagraphEnd)
        EndParagraph();
    else
        Emit(c);
}

void Parser::ObjectWord(State& s, Word w, const Param& param) {
    switch (w) {
        case Word::kPict:
            if (pictures_.Active() || s.dest != Dest::kText) {
                BeginSkip();
            } else {
                s.dest = Dest::kPict;
                pictures_.Begin();
            }
            break;
        case Word::kBin:
            TakeBinary(param.raw);  // outside a picture: skipped unread
            break;
        default:
            break;  // fields and objects: the text of their results is read as text
    }
}

std::string_view Parser::TakeBinary(int64_t length) {
    std::size_t n = std::size_t(std::clamp<int64_t>(length, 0, int64_t(in_.size() - pos_)));
    std::string_view bytes = in_.substr(pos_, n);
    pos_ += n;
    return bytes;
}

void Parser::Run() {
    stack_.reserve(64);
    stack_.emplace_back();
    const char* data = in_.data();
    std::size_t n = in_.size();
    while (pos_ < n && !done_) {
        char c = data[pos_];
        if (skipping_) {
            // Inside a skipped destination only braces, escapes and \bin matter.
            if (c == '{') {
                ++skipNest_;
                ++pos_;
            } else if (c == '}') {
                if (skipNest_ == 0) {
                    skipping_ = false;
                    continue;  // the group's own closing brace, handled below
                }
                --skipNest_;
                ++pos_;
            } else if (c == '\\') {
                ++pos_;
                if (pos_ < n && IsAlpha(data[pos_])) {
                    std::size_t start = pos_;
                    while (pos_ < n && IsAlpha(data[pos_]))
                        ++pos_;
                    bool isBin = pos_ - start == 3 && std::memcmp(data + start, "bin", 3) == 0;
                    int64_t v = 0;
                    bool neg = pos_ < n && data[pos_] == '-';
                    if (neg) ++pos_;
                    int digits = 0;
                    while (pos_ < n && IsDigit(data[pos_])) {
                        if (++digits <= 10) v = v * 10 + (data[pos_] - '0');
                        ++pos_;
                    }
                    if (pos_ < n && data[pos_] == ' ') ++pos_;
                    if (isBin && !neg && v > 0)
                        pos_ += std::size_t(std::min<int64_t>(v, int64_t(n - pos_)));
                } else if (pos_ < n) {
                    ++pos_;
                }
            } else {
                // Jump to the next character that matters.
                std::size_t p = pos_;
                while (p < n && data[p] != '{' && data[p] != '}' && data[p] != '\\')
                    ++p;
                pos_ = p;
            }
            continue;
        }
        switch (c) {
            case '{':
                Push();
                ++pos_;
                break;
            case '}':
                Pop();
                ++pos_;
                break;
            case '\\': {
                ++pos_;
                if (pos_ >= n) break;
                char x = data[pos_];
                if (IsAlpha(x)) {
                    // A local position: the bytes read could alias the member.
                    std::size_t p = pos_, start = p;
                    while (p < n && IsAlpha(data[p]))
                        ++p;
                    std::string_view word(data + start, std::min<std::size_t>(p - start, 32));
                    bool hasParam = false, neg = false;
                    int64_t v = 0;
                    if (p < n && data[p] == '-' && p + 1 < n && IsDigit(data[p + 1])) {
                        neg = true;
                        ++p;
                    }
                    int digits = 0;
                    while (p < n && IsDigit(data[p])) {
                        hasParam = true;
                        if (++digits <= 10) v = v * 10 + (data[p] - '0');
                        ++p;
                    }
                    if (neg) v = -v;
                    if (p < n && data[p] == ' ') ++p;
                    pos_ = p;
                    ControlWord(word, hasParam, v);
                } else if (x == '\'') {
                    ++pos_;
                    int hi = pos_ < n ? HexValue(data[pos_]) : -1;
                    int lo = pos_ + 1 < n ? HexValue(data[pos_ + 1]) : -1;
                    if (hi < 0 || lo < 0) {
                        // a broken escape: skip what there is of it
                        if (hi >= 0) ++pos_;
                        break;
                    }
                    pos_ += 2;
                    starPending_ = false;
                    if (pendingSkip_ > 0) {
                        --pendingSkip_;
                        break;
                    }
                    HexByte(uint8_t(hi << 4 | lo));
                } else {
                    ++pos_;
                    ControlSymbol(x);
                }
                break;
            }
            case '\r':
            case '\n':
            case '\0':
                ++pos_;
                break;
            default: {
                starPending_ = false;
                // Fallback characters of a \u first.
                std::size_t p = pos_;
                while (pendingSkip_ > 0 && p < n && !kTextStop[uint8_t(data[p])]) {
                    ++p;
                    --pendingSkip_;
                }
                pos_ = p;
                if (p >= n || kTextStop[uint8_t(data[p])]) break;
                if (Top().dest == Dest::kText) {
                    pos_ = DocumentText(data, p, n);
                    break;
                }
                std::size_t start = p;
                while (p < n && !kTextStop[uint8_t(data[p])])
                    ++p;
                pos_ = p;
                Text(data + start, p - start);
                break;
            }
        }
    }
    // Truncated input: close what is still open, so that a picture or a
    // numbering group in progress still counts.
    while (!done_)
        Pop();
    FlushBytes();
    FinishParagraphFormat();
    // Without text the final mark is all there is: it takes the format in
    // force at the end, which is how a writer describes it.
    if (out_.Length() == 0) StartRun();
}

}  // namespace

}  // namespace qb::rtf

namespace qb {

bool RtfReader::Read(std::string_view rtf) {
    std::size_t start = 0;
    while (start < rtf.size() &&
           (rtf[start] == ' ' || rtf[start] == '\t' || rtf[start] == '\r' || rtf[start] == '\n'))
        ++start;
    rtf.remove_prefix(start);
    if (!(rtf.starts_with("{\\rtf") || rtf.starts_with("{\\urtf"))) return false;
    RichTextControl::Builder out(out_);
    // No input byte yields more than one character, so this is the most the
    // text can need; Finish gives back what is left over.
    out.Reserve(rtf.size());
    rtf::Parser(out, rtf).Run();
    out.Finish();
    return true;
}

}  // namespace qb
