#include "richtext/rich_text.h"

#include <unicode/uchar.h>

#include <algorithm>

#include "richtext/code_page.h"
#include "richtext/rtf_reader.h"
#include "richtext/rtf_writer.h"
#include "richtext/text_find.h"

namespace qb {

namespace {
int32_t IndexBefore(const std::vector<int32_t>& starts, int32_t pos) {
    auto it = std::upper_bound(starts.begin(), starts.end(), pos);
    if (it == starts.begin()) return 0;
    return int32_t(it - starts.begin()) - 1;
}
}  // namespace

RichTextControl::RichTextControl() {
    Clear();
}

void RichTextControl::ResetFormats() {
    charPool_.clear();
    paraPool_.clear();
    runStarts_.assign(1, 0);
    runFormats_.assign(1, charPool_.Intern(defaultChar_));
    paraStarts_.assign(1, 0);
    paraFormats_.assign(1, paraPool_.Intern(defaultPara_));
}

void RichTextControl::Clear() {
    text_.clear();
    pictures_.clear();
    ResetFormats();
    InvalidateLines();
}

void RichTextControl::SetText(std::u16string_view text) {
    Clear();
    AppendPlain(text, runFormats_.back());
}

void RichTextControl::SetTextUtf8(std::string_view text) {
    SetText(Utf8ToUtf16(text));
}

void RichTextControl::AppendTextUtf8(std::string_view text) {
    AppendText(Utf8ToUtf16(text));
}

void RichTextControl::AppendText(std::u16string_view text) {
    AppendPlain(text, runFormats_.back());
}

void RichTextControl::AppendPlain(std::u16string_view text, int32_t formatIndex) {
    if (text.empty()) return;
    if (runFormats_.back() != formatIndex) {
        if (runStarts_.back() == TextLength())
            runFormats_.back() = formatIndex;
        else {
            runStarts_.push_back(TextLength());
            runFormats_.push_back(formatIndex);
        }
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        if (c == u'\n' || c == u'\r') {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
            text_.push_back(kParagraphEnd);
            // A new paragraph continues in the format of the one it splits.
            paraStarts_.push_back(TextLength());
            paraFormats_.push_back(paraFormats_.back());
        } else {
            text_.push_back(c);
        }
    }
    InvalidateLines();
}

void RichTextControl::Append(const RichTextControl& other) {
    if (other.text_.empty()) return;
    int32_t base = TextLength();
    // Only the run at the seam and those appended can need merging, so that
    // appending many controls one after another stays linear.
    std::size_t seam = runStarts_.size() - 1;
    // An empty last paragraph takes the format of the first one inserted.
    if (base == 0 || text_.back() == kParagraphEnd)
        paraFormats_.back() = paraPool_.Intern(other.paraPool_[other.paraFormats_[0]]);
    for (std::size_t r = 0; r < other.runStarts_.size(); ++r) {
        int32_t id = charPool_.Intern(other.charPool_[other.runFormats_[r]]);
        int32_t start = base + other.runStarts_[r];
        if (runStarts_.back() == start)
            runFormats_.back() = id;
        else if (runFormats_.back() != id) {
            runStarts_.push_back(start);
            runFormats_.push_back(id);
        }
    }
    for (std::size_t p = 1; p < other.paraStarts_.size(); ++p) {
        paraStarts_.push_back(base + other.paraStarts_[p]);
        paraFormats_.push_back(paraPool_.Intern(other.paraPool_[other.paraFormats_[p]]));
    }
    for (Picture pic : other.pictures_) {
        pic.position += base;
        pictures_.push_back(std::move(pic));
    }
    text_ += other.text_;
    MergeRuns(seam);
    InvalidateLines();
}

RichTextControl RichTextControl::CopyRange(int32_t start, int32_t end) const {
    int32_t len = TextLength();
    start = std::clamp(start, 0, len);
    end = std::clamp(end < 0 ? len : end, start, len);
    RichTextControl out;
    out.defaultChar_ = defaultChar_;
    out.defaultPara_ = defaultPara_;
    out.charPool_.clear();
    out.paraPool_.clear();
    out.text_ = text_.substr(std::size_t(start), std::size_t(end - start));

    int32_t run = RunFromChar(start);
    out.runStarts_.assign(1, 0);
    out.runFormats_.assign(1, out.charPool_.Intern(charPool_[runFormats_[std::size_t(run)]]));
    for (int32_t r = run + 1; r < RunCount() && runStarts_[std::size_t(r)] < end; ++r) {
        out.runStarts_.push_back(runStarts_[std::size_t(r)] - start);
        out.runFormats_.push_back(out.charPool_.Intern(charPool_[runFormats_[std::size_t(r)]]));
    }

    int32_t para = ParagraphFromChar(start);
    out.paraStarts_.assign(1, 0);
    out.paraFormats_.assign(1, out.paraPool_.Intern(paraPool_[paraFormats_[std::size_t(para)]]));
    // A paragraph begins in the copy when the CR before it was copied.
    for (int32_t p = para + 1; p < ParagraphCount() && paraStarts_[std::size_t(p)] <= end; ++p) {
        out.paraStarts_.push_back(paraStarts_[std::size_t(p)] - start);
        out.paraFormats_.push_back(out.paraPool_.Intern(paraPool_[paraFormats_[std::size_t(p)]]));
    }

    auto first = std::lower_bound(pictures_.begin(), pictures_.end(), start,
                                  [](const Picture& p, int32_t v) { return p.position < v; });
    for (auto it = first; it != pictures_.end() && it->position < end; ++it) {
        Picture pic = *it;
        pic.position -= start;
        out.pictures_.push_back(std::move(pic));
    }
    out.MergeRuns();
    out.InvalidateLines();
    return out;
}

bool RichTextControl::StreamInRtf(std::string_view rtf, StreamMode mode) {
    RichTextControl loaded;
    loaded.defaultChar_ = defaultChar_;
    loaded.defaultPara_ = defaultPara_;
    loaded.Clear();
    RtfReader reader(loaded);
    if (!reader.Read(rtf)) return false;
    if (mode == StreamMode::kReplace) {
        text_ = std::move(loaded.text_);
        runStarts_ = std::move(loaded.runStarts_);
        runFormats_ = std::move(loaded.runFormats_);
        paraStarts_ = std::move(loaded.paraStarts_);
        paraFormats_ = std::move(loaded.paraFormats_);
        charPool_ = std::move(loaded.charPool_);
        paraPool_ = std::move(loaded.paraPool_);
        pictures_ = std::move(loaded.pictures_);
        InvalidateLines();
    } else {
        Append(loaded);
    }
    return true;
}

std::string RichTextControl::StreamOutRtf() const {
    return RtfWriter(*this).Write();
}

std::string RichTextControl::StreamOutText(TextEncoding encoding, char replacement) const {
    std::string out;
    out.reserve(text_.size() + text_.size() / 16);
    for (std::size_t i = 0; i < text_.size(); ++i) {
        char16_t c = text_[i];
        if (c == kParagraphEnd || c == kLineBreak) {
            out += "\r\n";
            continue;
        }
        if (c == kObjectChar && PictureAt(int32_t(i))) continue;
        if (encoding == TextEncoding::kWindows1252) {
            int b = UnicodeToCp1252(c);
            if (b < 0 && c >= 0xD800 && c <= 0xDBFF && i + 1 < text_.size() &&
                text_[i + 1] >= 0xDC00 && text_[i + 1] <= 0xDFFF)
                ++i;  // one replacement for the whole pair
            out.push_back(b < 0 ? replacement : char(b));
            continue;
        }
        uint32_t cp = c;
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text_.size() && text_[i + 1] >= 0xDC00 &&
            text_[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((c - 0xD800u) << 10) + (text_[i + 1] - 0xDC00u);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            cp = 0xFFFD;  // an unpaired surrogate cannot be written as UTF-8
        }
        if (cp < 0x80) {
            out.push_back(char(cp));
        } else if (cp < 0x800) {
            out.push_back(char(0xC0 | cp >> 6));
            out.push_back(char(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(char(0xE0 | cp >> 12));
            out.push_back(char(0x80 | (cp >> 6 & 0x3F)));
            out.push_back(char(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(char(0xF0 | cp >> 18));
            out.push_back(char(0x80 | (cp >> 12 & 0x3F)));
            out.push_back(char(0x80 | (cp >> 6 & 0x3F)));
            out.push_back(char(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

std::u16string RichTextControl::TextRange(int32_t start, int32_t end) const {
    start = std::clamp(start, 0, TextLength());
    end = std::clamp(end < 0 ? TextLength() : end, start, TextLength());
    return text_.substr(std::size_t(start), std::size_t(end - start));
}

void RichTextControl::BuildLines() const {
    if (linesValid_) return;
    lineStarts_.assign(1, 0);
    for (std::size_t i = 0; i < text_.size(); ++i) {
        if (text_[i] == kParagraphEnd || text_[i] == kLineBreak)
            lineStarts_.push_back(int32_t(i + 1));
    }
    linesValid_ = true;
}

int32_t RichTextControl::LineCount() const {
    BuildLines();
    return int32_t(lineStarts_.size());
}

int32_t RichTextControl::LineIndex(int32_t line) const {
    BuildLines();
    if (line < 0 || line >= int32_t(lineStarts_.size())) return -1;
    return lineStarts_[std::size_t(line)];
}

int32_t RichTextControl::LineFromChar(int32_t pos) const {
    BuildLines();
    return IndexBefore(lineStarts_, std::clamp(pos, 0, TextLength()));
}

int32_t RichTextControl::LineLength(int32_t line) const {
    BuildLines();
    if (line < 0 || line >= int32_t(lineStarts_.size())) return 0;
    int32_t start = lineStarts_[std::size_t(line)];
    int32_t end = line + 1 < int32_t(lineStarts_.size()) ? lineStarts_[std::size_t(line) + 1] - 1
                                                         : TextLength();
    return end - start;
}

std::u16string RichTextControl::LineText(int32_t line) const {
    int32_t start = LineIndex(line);
    if (start < 0) return {};
    return text_.substr(std::size_t(start), std::size_t(LineLength(line)));
}

int32_t RichTextControl::ParagraphStart(int32_t para) const {
    if (para < 0 || para >= ParagraphCount()) return -1;
    return paraStarts_[std::size_t(para)];
}

int32_t RichTextControl::ParagraphLength(int32_t para) const {
    if (para < 0 || para >= ParagraphCount()) return 0;
    int32_t start = paraStarts_[std::size_t(para)];
    int32_t end =
        para + 1 < ParagraphCount() ? paraStarts_[std::size_t(para) + 1] - 1 : TextLength();
    return end - start;
}

int32_t RichTextControl::ParagraphFromChar(int32_t pos) const {
    return IndexBefore(paraStarts_, std::clamp(pos, 0, TextLength()));
}

int32_t RichTextControl::RunEnd(int32_t run) const {
    return run + 1 < RunCount() ? runStarts_[std::size_t(run) + 1] : TextLength();
}

const CharFormat& RichTextControl::RunFormat(int32_t run) const {
    return charPool_[runFormats_[std::size_t(run)]];
}

int32_t RichTextControl::RunFromChar(int32_t pos) const {
    return IndexBefore(runStarts_, pos);
}

int32_t RichTextControl::CharFormatIndexAt(int32_t pos) const {
    // The final mark, at the end, is in the last run's format.
    if (pos >= TextLength()) return runFormats_.back();
    pos = std::max(pos, 0);
    return runFormats_[std::size_t(RunFromChar(pos))];
}

CharFormat RichTextControl::CharFormatAt(int32_t pos) const {
    return charPool_[CharFormatIndexAt(pos)];
}

ParaFormat RichTextControl::ParaFormatAt(int32_t pos) const {
    return paraPool_[paraFormats_[std::size_t(ParagraphFromChar(pos))]];
}

void RichTextControl::SplitRunAt(int32_t pos) {
    if (pos <= 0 || pos >= TextLength()) return;
    int32_t run = RunFromChar(pos);
    if (runStarts_[std::size_t(run)] == pos) return;
    runStarts_.insert(runStarts_.begin() + run + 1, pos);
    runFormats_.insert(runFormats_.begin() + run + 1, runFormats_[std::size_t(run)]);
}

void RichTextControl::MergeRuns(std::size_t from) {
    from = std::min(from, runStarts_.size());
    std::size_t w = from;
    for (std::size_t r = from; r < runStarts_.size(); ++r) {
        bool empty = r + 1 < runStarts_.size() && runStarts_[r + 1] == runStarts_[r];
        if (empty) continue;
        if (w > 0 && runFormats_[w - 1] == runFormats_[r]) continue;
        runStarts_[w] = runStarts_[r];
        runFormats_[w] = runFormats_[r];
        ++w;
    }
    if (w == 0) w = 1;
    runStarts_.resize(w);
    runFormats_.resize(w);
    runStarts_[0] = 0;
}

void RichTextControl::SetCharFormat(int32_t start, int32_t end, const CharFormat& format,
                                    uint32_t mask) {
    int32_t len = TextLength();
    start = std::clamp(start, 0, len);
    end = std::clamp(end < 0 ? len : end, start, len);
    if (start == end) {
        // An empty range at the end sets the format of text appended next.
        if (start == len) {
            CharFormat f = charPool_[runFormats_.back()];
            ApplyCharFormat(f, format, mask);
            int32_t id = charPool_.Intern(f);
            if (runStarts_.back() == len)
                runFormats_.back() = id;
            else {
                runStarts_.push_back(len);
                runFormats_.push_back(id);
            }
        }
        return;
    }
    SplitRunAt(start);
    SplitRunAt(end);
    for (int32_t r = RunFromChar(start); r < RunCount() && runStarts_[std::size_t(r)] < end; ++r) {
        CharFormat f = charPool_[runFormats_[std::size_t(r)]];
        ApplyCharFormat(f, format, mask);
        runFormats_[std::size_t(r)] = charPool_.Intern(f);
    }
    MergeRuns();
}

void RichTextControl::SetParaFormat(int32_t start, int32_t end, const ParaFormat& format,
                                    uint32_t mask) {
    int32_t len = TextLength();
    start = std::clamp(start, 0, len);
    end = std::clamp(end < 0 ? len : end, start, len);
    int32_t first = ParagraphFromChar(start);
    int32_t last = ParagraphFromChar(end > start ? end - 1 : start);
    for (int32_t p = first; p <= last; ++p) {
        ParaFormat f = paraPool_[paraFormats_[std::size_t(p)]];
        ApplyParaFormat(f, format, mask);
        paraFormats_[std::size_t(p)] = paraPool_.Intern(f);
    }
}

const Picture* RichTextControl::PictureAt(int32_t pos) const {
    auto it = std::lower_bound(pictures_.begin(), pictures_.end(), pos,
                               [](const Picture& p, int32_t v) { return p.position < v; });
    return it != pictures_.end() && it->position == pos ? &*it : nullptr;
}

bool RichTextControl::IsWhite(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == kLineBreak || c == 0x0C;
}

bool RichTextControl::IsWordChar(char16_t c) {
    if (c < 0x80) return (c >= u'0' && c <= u'9') || ((c | 0x20) >= u'a' && (c | 0x20) <= u'z');
    if (c >= 0xD800 && c <= 0xDFFF) return true;  // letters outside the first plane
    int8_t type = u_charType(c);
    return u_isalnum(c) || type == U_NON_SPACING_MARK || type == U_COMBINING_SPACING_MARK;
}

namespace {
int CharClass(char16_t c) {
    return WordBreakClass(c);
}

}  // namespace

std::pair<int32_t, int32_t> RichTextControl::WordAt(int32_t pos) const {
    int32_t len = TextLength();
    pos = std::clamp(pos, 0, len);
    if (pos == len) return {len, len};
    int cls = CharClass(text_[std::size_t(pos)]);
    if (cls == 3) return {pos, pos + 1};
    int32_t s = pos, e = pos + 1;
    while (s > 0 && CharClass(text_[std::size_t(s) - 1]) == cls)
        --s;
    while (e < len && CharClass(text_[std::size_t(e)]) == cls)
        ++e;
    return {s, e};
}

int32_t RichTextControl::MoveWordRight(int32_t pos) const {
    int32_t len = TextLength();
    pos = std::clamp(pos, 0, len);
    if (pos == len) return len;
    int cls = CharClass(text_[std::size_t(pos)]);
    if (cls == 3) return pos + 1;
    if (cls != 0) {
        while (pos < len && CharClass(text_[std::size_t(pos)]) == cls)
            ++pos;
    }
    while (pos < len && CharClass(text_[std::size_t(pos)]) == 0)
        ++pos;
    return pos;
}

int32_t RichTextControl::MoveWordLeft(int32_t pos) const {
    pos = std::clamp(pos, 0, TextLength());
    while (pos > 0 && CharClass(text_[std::size_t(pos) - 1]) == 0)
        --pos;
    if (pos == 0) return 0;
    int cls = CharClass(text_[std::size_t(pos) - 1]);
    if (cls == 3) return pos - 1;
    while (pos > 0 && CharClass(text_[std::size_t(pos) - 1]) == cls)
        --pos;
    return pos;
}

int32_t RichTextControl::FindText(int32_t start, int32_t end, std::u16string_view what,
                                  uint32_t flags) const {
    return TextPattern(what, flags).Find(text_, start, end);
}

bool RichTextControl::operator==(const RichTextControl& other) const {
    if (text_ != other.text_ || pictures_ != other.pictures_) return false;
    if (paraStarts_ != other.paraStarts_) return false;
    for (std::size_t p = 0; p < paraStarts_.size(); ++p)
        if (!(paraPool_[paraFormats_[p]] == other.paraPool_[other.paraFormats_[p]])) return false;
    if (text_.empty()) return true;
    if (runStarts_ != other.runStarts_) return false;
    for (std::size_t r = 0; r < runStarts_.size(); ++r)
        if (!(charPool_[runFormats_[r]] == other.charPool_[other.runFormats_[r]])) return false;
    return true;
}

}  // namespace qb
