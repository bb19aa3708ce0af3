#include "article/copy_articles.h"

#include <cstdio>
#include <memory>
#include <new>

#include "article/article_view_model.h"
#include "article/clipboard_copy.h"
#include "datafile/dates.h"
#include "document/quillbox_doc.h"
#include "platform/ui.h"
#include "resources/strings.h"
#include "richtext/article_content.h"

namespace qb {

CopiedArticle ReadCopiedArticle(CQuillboxDoc& doc, int32_t id, const Locale& locale,
                                const TargetContext& context) {
    CArticle a;
    doc.ReadArticle(id, a);
    CopiedArticle c;
    const CodePage& page = doc.TextCodePage();
    c.title = page.ToUtf8(a.title);
    c.dateText = FormatDate(a.articleDate, false, locale);
    for (const CAttachment& att : a.attachments)
        c.attachments.push_back(AttachmentViewOf(att, context).TargetText());
    std::vector<int32_t> keywords = a.keywordIds;
    doc.SortKeywordsByName(keywords);
    for (int32_t k : keywords)
        c.keywords.push_back(page.ToUtf8(doc.KeywordName(k)));
    c.richText = LoadArticleContent(c.content, a.IsRichText(), a.Content(), page);
    return c;
}

namespace {

std::string KeywordLine(const CopiedArticle& a) {
    std::string line = ResourceString(msg::kCopyKeywordsLabel);
    for (std::size_t i = 0; i < a.keywords.size(); ++i) {
        if (i) line += ", ";
        line += a.keywords[i];
    }
    return line;
}

void EndLine(RichTextControl& c) {
    if (c.TextLength() == 0 || c.Text().back() != kParagraphEnd) c.AppendText(u"\r");
}

// The heading of an article starts in the default formats, not in those of
// the previous article's last character and paragraph (a bulleted list
// there would otherwise number the next title).
void StartBlock(RichTextControl& c) {
    int32_t end = c.TextLength();
    c.SetCharFormat(end, end, c.DefaultCharFormat(), kCharMaskAll);
    if (end == 0 || c.Text().back() == kParagraphEnd)
        c.SetParaFormat(end, end, c.DefaultParaFormat(), kParaMaskAll);
}

}  // namespace

void AppendCopyText(std::string& out, const CopiedArticle& a) {
    auto line = [&out](const std::string& text) {
        out += text;
        out += "\r\n";
    };
    line(a.title);
    line(ResourceString(msg::kCopyDateLabel) + a.dateText);
    for (const std::string& target : a.attachments)
        line(ResourceString(msg::kCopyAttachmentLabel) + target);
    line(KeywordLine(a));
    line("");
    line(a.content.StreamOutText(TextEncoding::kUtf8));
    line("");
}

void AppendCopyRtf(RichTextControl& c, const CopiedArticle& a) {
    StartBlock(c);
    c.AppendTextUtf8(a.title);
    EndLine(c);
    c.AppendTextUtf8(ResourceString(msg::kCopyDateLabel) + a.dateText);
    EndLine(c);
    for (const std::string& target : a.attachments) {
        c.AppendTextUtf8(ResourceString(msg::kCopyAttachmentLabel) + target);
        EndLine(c);
    }
    c.AppendTextUtf8(KeywordLine(a));
    EndLine(c);
    c.AppendText(u"\r");
    if (a.richText)
        c.Append(a.content);
    else
        c.AppendText(a.content.Text());
    EndLine(c);
    c.AppendText(u"\r\r");
}

void ArticleCopy::Add(const CopiedArticle& article) {
    AppendCopyText(text_, article);
    AppendCopyRtf(rich_, article);
    ++count_;
}

std::vector<ClipboardFormat> ArticleCopy::Formats() const {
    return TextAndRtfFormats(ToLfLineEnds(text_), Rtf());
}

bool CopyArticles(CQuillboxDoc& doc, const std::vector<int32_t>& ids, const Locale& locale,
                  const TargetContext& context, Ui& ui, ClipboardWriter& clipboard,
                  const CopyHtmlMaker& html) {
    if (ids.empty()) return false;
    std::vector<ClipboardFormat> formats;
    try {
        std::unique_ptr<ProgressWindow> progress;
        if (ids.size() > kCopyProgressThreshold) {
            progress = ui.OpenProgress(ResourceString(msg::kCopyArticlesCaption));
            progress->SetRange(int64_t(ids.size()));
        }
        ArticleCopy copy;
        for (std::size_t i = 0; i < ids.size(); ++i) {
            if (progress) {
                if (progress->Cancelled()) return false;
                char text[48];
                std::snprintf(text, sizeof text, "%zu of %zu", i + 1, ids.size());
                progress->SetText(text);
            }
            copy.Add(ReadCopiedArticle(doc, ids[i], locale, context));
            if (progress) progress->SetPosition(int64_t(i + 1));
        }
        if (progress && progress->Cancelled()) return false;
        formats = copy.Formats();
        if (html) {
            std::string page = html(ids);
            if (!page.empty()) formats.push_back({kClipboardHtml, std::move(page)});
        }
    } catch (const CQuillError& e) {
        e.ReportError(ui);
        return false;
    } catch (const std::bad_alloc&) {
        CQuillError(err::kOutOfMemory, doc.PathName()).ReportError(ui);
        return false;
    }
    // The progress window is closed before the clipboard is touched.
    return clipboard.Place(formats);
}

}  // namespace qb
