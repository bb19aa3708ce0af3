#include "export/html_rich_text.h"

#include <algorithm>

#include "article/link_targets.h"
#include "datafile/cp1252.h"
#include "export/html_writer.h"
#include "platform/progress.h"
#include "richtext/rich_text.h"
#include "richtext/text_find.h"

namespace qb {
namespace {

bool IsAscii(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return (c & 0x80) == 0; });
}

bool StartsWithWww(std::u16string_view s) {
    if (s.size() < 4) return false;
    auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c; };
    return lower(s[0]) == u'w' && lower(s[1]) == u'w' && lower(s[2]) == u'w' && s[3] == u'.';
}

// Every address the recogniser knows has one of these: "www." a full stop,
// the schemes a colon, an e-mail address its "@". A word without any of
// them needs no recognising.
bool MayBeInLink(char16_t c) {
    return c == u'.' || c == u':' || c == u'@';
}

// Paragraph state carried from line to line.
struct LineReading {
    int kind = 0;  // 0 none, 1 bulleted, 2 numbered
    int32_t indent = 0;
    int32_t align = -1;  // -1: none read yet
};

class Conversion {
public:
    Conversion(HtmlWriter& out, const RichTextControl& control,
               const std::vector<StoredLink>& links, const LinkContext& context)
        : out_(out), rt_(control), text_(control.Text()), formats_(control), context_(context) {
        links_.reserve(links.size());
        for (const StoredLink& l : links)
            links_.push_back(&l);
        std::stable_sort(
            links_.begin(), links_.end(),
            [](const StoredLink* a, const StoredLink* b) { return a->start < b->start; });
    }

    bool Run(ProgressWindow* progress);

private:
    LineReading ReadLine(int32_t line, const LineReading& prev) const;
    void Repeat(const char* line, int32_t times) {
        for (int32_t i = 0; i < times; ++i)
            out_.WriteLine(line);
    }
    void CloseList(int kind, int32_t listStart) {
        out_.WriteLine("</font>");
        out_.WriteLine(kind == 1 ? "</ul>" : "</ol>");
        Repeat("</blockquote>", listStart);
    }
    const TextFormat& Current() const { return formats_.Format(current_); }
    void OpenCurrent(int32_t id, bool inLink) {
        current_ = id;
        OpenTextFormat(out_, Current(), inLink, false);
    }
    // Closes the current format and opens the one of `id` when they differ.
    void Follow(int32_t id) {
        if (id == current_) return;
        const TextFormat& f = formats_.Format(id);
        if (f.SameAs(Current())) {
            current_ = id;
            return;
        }
        CloseTextFormat(out_, Current(), false);
        OpenCurrent(id, false);
    }
    void Reopen() {
        CloseTextFormat(out_, Current(), false);
        OpenTextFormat(out_, Current(), false, false);
    }
    void WriteLineText(int32_t start, int32_t end);
    void WriteTracked(int32_t from, int32_t to);
    void WriteWord(int32_t from, int32_t to, int32_t lineEnd);
    void EnterLink();
    void LeaveLink();
    int32_t LinkEnd() const { return links_[next_]->end; }

    HtmlWriter& out_;
    const RichTextControl& rt_;
    const std::u16string& text_;
    TextFormatReader formats_;
    const LinkContext& context_;
    const LinkRecognizer& recognizer_ = LinkRecognizer::Shared();
    std::vector<const StoredLink*> links_;
    std::size_t next_ = 0;
    bool inside_ = false;
    LinkTargetText target_;
    int32_t current_ = 0;
};

LineReading Conversion::ReadLine(int32_t line, const LineReading& prev) const {
    int32_t start = rt_.LineIndex(line);
    const ParaFormat& pf = rt_.ParagraphFormat(rt_.ParagraphFromChar(start));
    LineReading r;
    r.kind = pf.numbering == Numbering::kBullet ? 1 : pf.numbering == Numbering::kArabic ? 2 : 0;
    if (prev.kind == 2 && r.kind == 2) {
        r.indent = prev.indent;
        r.align = prev.align;
    } else {
        r.indent = pf.startIndent / 360;
        r.align = int32_t(pf.alignment);
    }
    return r;
}

bool Conversion::Run(ProgressWindow* progress) {
    const int32_t lines = rt_.LineCount();
    LineReading prev;
    int32_t listStart = 0;
    for (int32_t n = 0; n < lines; ++n) {
        if (progress && progress->Cancelled()) return false;
        LineReading cur = ReadLine(n, prev);
        const int32_t start = rt_.LineIndex(n);
        const int32_t end = start + rt_.LineLength(n);

        if (prev.kind != 0 && prev.kind != cur.kind)
            CloseList(prev.kind, listStart);
        else if (prev.kind == 0)
            Repeat("</blockquote>", prev.indent);
        if (cur.kind != 0) {
            if (cur.kind != prev.kind) {
                listStart = cur.indent;
                Repeat("<blockquote>", listStart);
                out_.WriteLine(cur.kind == 1 ? "<ul>" : "<ol>");
                // Stays open for the whole list; CloseList's "</font>" ends it.
                OpenTextFormat(out_, formats_.At(end), false, true);
            }
        } else {
            Repeat("<blockquote>", cur.indent);
        }

        if (cur.align != 1 && cur.align != -1)
            out_.WriteLine(cur.align == 2   ? "<p ALIGN=right>"
                           : cur.align == 3 ? "<p ALIGN=center>"
                                            : "<p ALIGN=left>");
        const int32_t extra = cur.kind == 1 ? cur.indent - listStart : 0;
        Repeat("<blockquote>", extra);
        if (cur.kind != 0) out_.WriteLine("<li>");
        OpenCurrent(formats_.IdAt(start), false);
        WriteLineText(start, end);
        if (cur.align == 1) out_.WriteLine("<br>");
        CloseTextFormat(out_, Current(), false);
        out_.Write("\r\n");
        if (cur.kind != 0) out_.WriteLine("</li>");
        Repeat("</blockquote>", extra);
        if (cur.align != 1) out_.WriteLine("</p>");
        prev = cur;
    }
    if (lines > 0) {
        if (prev.kind != 0)
            CloseList(prev.kind, listStart);
        else
            Repeat("</blockquote>", prev.indent);
    }
    // A stored link reaching past the text is ended here, so that its anchor
    // does not take in whatever the file holds after this article.
    if (inside_ && !target_.empty()) out_.Write("</a>");
    out_.WriteLine("<br>");
    return true;
}

void Conversion::WriteLineText(int32_t start, int32_t end) {
    int32_t pos = start;
    while (pos < end) {
        if (!inside_ && next_ < links_.size() && links_[next_]->start <= pos) EnterLink();
        // A link that ends where it begins (or before) has nothing to show.
        if (inside_ && pos >= LinkEnd()) {
            LeaveLink();
            continue;
        }
        int32_t limit = end;
        if (inside_)
            limit = std::min(limit, LinkEnd());
        else if (next_ < links_.size())
            limit = std::min(limit, links_[next_]->start);
        int32_t wordEnd = pos;
        bool mayLink = false;
        for (char16_t c; wordEnd < limit && !IsLinkSpace(c = text_[std::size_t(wordEnd)]);
             ++wordEnd)
            mayLink = mayLink || MayBeInLink(c);
        if (wordEnd > pos) {
            if (inside_ || !mayLink)
                WriteTracked(pos, wordEnd);
            else
                WriteWord(pos, wordEnd, end);
            pos = wordEnd;
        } else {
            Follow(formats_.IdAt(pos));
            out_.WriteCharacter(text_[std::size_t(pos)], false);
            ++pos;
        }
        if (inside_ && pos >= LinkEnd()) LeaveLink();
    }
}

void Conversion::WriteTracked(int32_t from, int32_t to) {
    int32_t pos = from;
    while (pos < to) {
        // One format question per run: every character of a run has its format.
        Follow(formats_.IdAt(pos));
        const int32_t runEnd = std::min(to, formats_.RunEnd());
        for (; pos < runEnd; ++pos) {
            char32_t c = text_[std::size_t(pos)];
            if (c >= 0xD800 && c <= 0xDBFF && pos + 1 < to) {
                char16_t low = text_[std::size_t(pos) + 1];
                if (low >= 0xDC00 && low <= 0xDFFF) {
                    c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00u);
                    ++pos;
                }
            } else if (c >= 0xD800 && c <= 0xDFFF) {
                c = 0xFFFD;  // half a pair has no character to refer to
            } else if (c == kObjectChar && rt_.PictureAt(pos)) {
                continue;  // pictures are not carried into the page
            }
            out_.WriteCharacter(c, true);
        }
    }
}

void Conversion::WriteWord(int32_t from, int32_t to, int32_t lineEnd) {
    std::u16string_view text(text_);
    RecognizedWord w =
        recognizer_.RecognizeWord(text.substr(std::size_t(from), std::size_t(to - from)));
    if (w.kind == LinkKind::kNone) {
        WriteTracked(from, to);
        return;
    }
    const int32_t linkFrom = from + w.linkStart, linkTo = linkFrom + w.linkLength;
    std::u16string_view link = text.substr(std::size_t(linkFrom), std::size_t(w.linkLength));
    WriteTracked(from, linkFrom);
    Reopen();
    out_.Write("<a href=\"");
    if (w.kind == LinkKind::kQuotedFile) {
        int32_t pathTo = linkTo;
        while (pathTo < lineEnd && text_[std::size_t(pathTo)] != u'"')
            ++pathTo;
        if (pathTo > linkTo) {
            out_.Write("file://");
            out_.WriteAttribute(text.substr(std::size_t(linkTo), std::size_t(pathTo - linkTo)));
        } else {
            out_.WriteAttribute(link);
        }
    } else {
        out_.Write(RecognizedHrefPrefix(w.kind));
        out_.WriteAttribute(link);
    }
    out_.Write("\">");
    WriteTracked(linkFrom, linkTo);
    out_.Write("</a>");
    Reopen();
    WriteTracked(linkTo, to);
}

void Conversion::EnterLink() {
    const StoredLink& link = *links_[next_];
    CloseTextFormat(out_, Current(), false);
    target_ = StoredLinkTarget(link, context_, out_.Anchors());
    if (!target_.empty()) {
        out_.Write("<a href=\"");
        if (target_.text.empty())
            out_.WriteAttribute(target_.bytes);
        else
            out_.WriteAttribute(target_.text);
        out_.Write("\">");
    }
    OpenCurrent(formats_.IdAt(std::max(link.start, 0)), true);
    inside_ = true;
}

void Conversion::LeaveLink() {
    const StoredLink& link = *links_[next_];
    CloseTextFormat(out_, Current(), true);
    if (!target_.empty()) out_.Write("</a>");
    OpenCurrent(formats_.IdAt(std::max(link.end, 0)), false);
    inside_ = false;
    ++next_;
}

}  // namespace

const char* RecognizedHrefPrefix(LinkKind kind) {
    switch (kind) {
        case LinkKind::kWww:
            return "http://";
        case LinkKind::kEmail:
            return "mailto:";
        default:
            return "";
    }
}

void OpenTextFormat(HtmlWriter& out, const TextFormat& f, bool inLink, bool fontsOnly) {
    out.Write("<FONT FACE=\"");
    if (IsAscii(f.face))
        out.WriteAttribute(std::string_view(f.face));
    else
        out.WriteAttribute(Utf8ToUtf16(f.face));
    out.Write("\" SIZE=\"");
    out.WriteNumber(HtmlFontSize(f.height / 20));
    if (!inLink) {
        out.Write("\" COLOR=\"#");
        out.Write(HtmlColourText(f.colour));
    }
    out.Write("\">");
    if (fontsOnly) return;
    if (f.Has(kEffectStrikeout)) out.Write("<STRIKE>");
    if (f.Has(kEffectUnderline) && !inLink) out.Write("<U>");
    if (f.Has(kEffectItalic)) out.Write("<I>");
    if (f.Has(kEffectBold)) out.Write("<B>");
    if (f.offset > 0) out.Write("<SUP>");
    if (f.offset < 0) out.Write("<SUB>");
}

void CloseTextFormat(HtmlWriter& out, const TextFormat& f, bool inLink) {
    if (f.offset < 0)
        out.Write("</SUB>");
    else if (f.offset > 0)
        out.Write("</SUP>");
    if (f.Has(kEffectBold)) out.Write("</B>");
    if (f.Has(kEffectItalic)) out.Write("</I>");
    if (f.Has(kEffectUnderline) && !inLink) out.Write("</U>");
    if (f.Has(kEffectStrikeout)) out.Write("</STRIKE>");
    out.Write("</FONT>");
}

LinkTargetText StoredLinkTarget(const StoredLink& link, const LinkContext& context,
                                const ArticleAnchors& anchors) {
    LinkTargetText t;
    switch (link.kind) {
        case 1: {
            if (link.target.empty()) break;
            ResolvedTarget r = ResolveStoredTarget(context.targetCodePage.ToUtf8(link.target),
                                                   context.linkBase, context.drive, context.drives);
            std::string url;
            if (r.linux) {
                url = "file://" + *r.linux;
            } else {
                url = "file:\\\\" + r.windows;
                std::replace(url.begin(), url.end(), '\\', '/');
            }
            t.text = Utf8ToUtf16(url);
            break;
        }
        case 2: {
            std::u16string address = context.targetCodePage.ToUtf16(link.target);
            if (StartsWithWww(address)) t.text = u"http://";
            t.text += address;
            break;
        }
        case 3: {
            if (auto href = anchors.Find(link.articleId)) t.bytes = std::move(*href);
            break;
        }
        default:
            break;
    }
    return t;
}

bool WriteRichTextContent(HtmlWriter& out, const RichTextControl& control,
                          const std::vector<StoredLink>& links, const LinkContext& context,
                          ProgressWindow* progress) {
    return Conversion(out, control, links, context).Run(progress);
}

}  // namespace qb
