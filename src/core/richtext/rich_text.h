// The rich-text control: a headless replacement for the Windows rich-edit
// control through which articles are loaded, searched, exported and printed.
// Text is UTF-16 with one position per character; every paragraph but the
// last ends with a CR, and a line break inside a paragraph is U+000B, so the
// character positions stored with links land on the same characters as in
// the control that wrote them. The last paragraph ends in the control's
// final paragraph mark: it sits at TextLength(), in the last run's format,
// and is not part of the text, the lines' lengths or any text given out.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "richtext/formats.h"

namespace qb {

constexpr char16_t kParagraphEnd = u'\r';
constexpr char16_t kLineBreak = 0x000B;
constexpr char16_t kObjectChar = 0xFFFC;  // stands for an embedded picture

enum class PictureKind : uint8_t { kPng, kJpeg, kDib, kWmf, kEmf, kOther };

struct Picture {
    int32_t position = 0;  // of its object character
    PictureKind kind = PictureKind::kOther;
    int32_t width = 0, height = 0;          // \picw, \pich (pixels or hundredths of mm)
    int32_t goalWidth = 0, goalHeight = 0;  // twips; 0 when not given
    int32_t scaleX = 100, scaleY = 100;     // percent
    int32_t metafileMode = 0;               // the \wmetafile mapping mode
    std::string data;                       // the picture's bytes
    bool operator==(const Picture&) const = default;
};

enum class TextEncoding { kWindows1252, kUtf8 };

enum FindFlags : uint32_t {
    kFindDown = 0x1,
    kFindWholeWord = 0x2,
    kFindMatchCase = 0x4,
};

enum class StreamMode { kReplace, kAppend };

// Interns formats so that a run or a paragraph costs one index. Each value
// is stored once, as a key of the index; the id table points at the keys.
template <typename T, typename Hash>
class FormatPool {
public:
    FormatPool() = default;
    FormatPool(FormatPool&&) = default;
    FormatPool& operator=(FormatPool&&) = default;
    FormatPool(const FormatPool& other) : index_(other.index_) { Reseat(); }
    FormatPool& operator=(const FormatPool& other) {
        if (this != &other) {
            index_ = other.index_;
            Reseat();
        }
        return *this;
    }

    int32_t Intern(const T& value) {
        auto [it, inserted] = index_.try_emplace(value, int32_t(values_.size()));
        if (inserted) values_.push_back(&it->first);
        return it->second;
    }
    const T& operator[](int32_t id) const { return *values_[std::size_t(id)]; }
    std::size_t size() const { return values_.size(); }
    void clear() {
        values_.clear();
        index_.clear();
    }

private:
    void Reseat() {
        values_.assign(index_.size(), nullptr);
        for (const auto& [value, id] : index_)
            values_[std::size_t(id)] = &value;
    }
    std::unordered_map<T, int32_t, Hash> index_;
    std::vector<const T*> values_;
};

class RichTextControl {
public:
    RichTextControl();

    // Removes all text; the formats go back to the defaults.
    void Clear();
    // Replaces everything by plain text (CRLF, LF and CR each end a paragraph)
    // in the default formats.
    void SetText(std::u16string_view text);
    void SetTextUtf8(std::string_view text);
    // Appends plain text at the end in the format of the text before it.
    void AppendText(std::u16string_view text);
    void AppendTextUtf8(std::string_view text);
    // Appends another control's content at the end with its formats and
    // pictures, as StreamInRtf(kAppend) appends what it read. An empty last
    // paragraph here takes the format of the first one appended.
    void Append(const RichTextControl& other);
    // A control holding [start, end) of this one (end -1: to the end) with
    // its character and paragraph formats and pictures: what a copy of that
    // selection carries. A range that ends after a CR ends in an empty
    // paragraph in the format of the one that follows here.
    RichTextControl CopyRange(int32_t start, int32_t end) const;

    // Reads RTF. Returns false, and changes nothing, when the input is not RTF.
    // The stream's last \par becomes the final mark, also when appending.
    bool StreamInRtf(std::string_view rtf, StreamMode mode = StreamMode::kReplace);
    std::string StreamOutRtf() const;
    // Paragraphs and line breaks joined by CRLF; pictures are left out.
    // Characters that Windows-1252 lacks become `replacement`.
    std::string StreamOutText(TextEncoding encoding, char replacement = '?') const;

    const std::u16string& Text() const { return text_; }
    int32_t TextLength() const { return int32_t(text_.size()); }
    std::u16string TextRange(int32_t start, int32_t end) const;

    // Lines: one per paragraph, and a line break also ends a line.
    int32_t LineCount() const;
    int32_t LineIndex(int32_t line) const;  // start position, -1 if no such line
    int32_t LineFromChar(int32_t pos) const;
    int32_t LineLength(int32_t line) const;  // without the ending character
    std::u16string LineText(int32_t line) const;

    int32_t ParagraphCount() const { return int32_t(paraStarts_.size()); }
    int32_t ParagraphStart(int32_t para) const;
    int32_t ParagraphLength(int32_t para) const;  // without its CR
    int32_t ParagraphFromChar(int32_t pos) const;

    // The format of the one character at pos (at the end: the final mark's,
    // which is the last run's).
    CharFormat CharFormatAt(int32_t pos) const;
    ParaFormat ParaFormatAt(int32_t pos) const;
    void SetCharFormat(int32_t start, int32_t end, const CharFormat& format, uint32_t mask);
    // Every paragraph that the range touches.
    void SetParaFormat(int32_t start, int32_t end, const ParaFormat& format, uint32_t mask);

    const CharFormat& DefaultCharFormat() const { return defaultChar_; }
    void SetDefaultCharFormat(const CharFormat& format) { defaultChar_ = format; }
    const ParaFormat& DefaultParaFormat() const { return defaultPara_; }
    void SetDefaultParaFormat(const ParaFormat& format) { defaultPara_ = format; }

    // Runs of equal character format: (start, format), ascending; the first
    // starts at 0. The last run also gives the format of text appended.
    int32_t RunCount() const { return int32_t(runStarts_.size()); }
    int32_t RunStart(int32_t run) const { return runStarts_[std::size_t(run)]; }
    int32_t RunEnd(int32_t run) const;
    const CharFormat& RunFormat(int32_t run) const;
    int32_t RunFromChar(int32_t pos) const;
    // Within one control, runs of equal format have the same id; ids are
    // below CharFormatCount(). For writers that look a format up once.
    int32_t RunFormatId(int32_t run) const { return runFormats_[std::size_t(run)]; }
    std::size_t CharFormatCount() const { return charPool_.size(); }

    // The format of paragraph `para`, without copying it.
    const ParaFormat& ParagraphFormat(int32_t para) const {
        return paraPool_[paraFormats_[std::size_t(para)]];
    }

    const std::vector<Picture>& Pictures() const { return pictures_; }
    const Picture* PictureAt(int32_t pos) const;

    // First match of `what` within [start, end) (end -1: the end of the
    // text), searching forward. Returns its position or -1.
    int32_t FindText(int32_t start, int32_t end, std::u16string_view what, uint32_t flags) const;

    // Word boundaries as the control's word-break rule sees them: the range
    // of the word, white-space run or punctuation run that holds pos.
    std::pair<int32_t, int32_t> WordAt(int32_t pos) const;
    // Start of the word before pos / after pos (moving by words).
    int32_t MoveWordLeft(int32_t pos) const;
    int32_t MoveWordRight(int32_t pos) const;
    static bool IsWordChar(char16_t c);
    static bool IsWhite(char16_t c);

    bool operator==(const RichTextControl& other) const;

    // Fills a control from the start at a reader's speed; see rich_text_builder.h.
    class Builder;

private:
    void ResetFormats();
    int32_t CharFormatIndexAt(int32_t pos) const;
    void SplitRunAt(int32_t pos);
    // Drops empty runs and joins equal neighbours from run `from` on; the
    // runs before it are already in order.
    void MergeRuns(std::size_t from = 0);
    void AppendPlain(std::u16string_view text, int32_t formatIndex);
    void InvalidateLines() { linesValid_ = false; }
    void BuildLines() const;

    std::u16string text_;
    std::vector<int32_t> runStarts_, runFormats_;
    std::vector<int32_t> paraStarts_, paraFormats_;
    FormatPool<CharFormat, CharFormatHash> charPool_;
    FormatPool<ParaFormat, ParaFormatHash> paraPool_;
    std::vector<Picture> pictures_;
    CharFormat defaultChar_;
    ParaFormat defaultPara_;
    mutable std::vector<int32_t> lineStarts_;
    mutable bool linesValid_ = false;
};

}  // namespace qb
