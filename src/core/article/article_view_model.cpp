#include "article/article_view_model.h"

#include <new>

#include "article/link_following.h"
#include "datafile/dates.h"
#include "document/quillbox_doc.h"
#include "richtext/article_content.h"

namespace qb {

std::string CutUtf8(const std::string& text, size_t max) {
    size_t chars = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        // A lead byte (not 10xxxxxx) starts a new character.
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            if (chars == max) return text.substr(0, i);
            ++chars;
        }
    }
    return text;
}

std::string AttachmentView::TargetText() const {
    if (kind == 1 && resolved.linux) return *resolved.linux;
    if (kind == 1) return resolved.windows;
    return stored;
}

std::optional<std::string> AttachmentTip(const std::vector<AttachmentView>& attachments) {
    if (attachments.empty()) return std::nullopt;
    std::string tip = attachments.size() == 1 ? attachments.front().TargetText()
                                              : std::to_string(attachments.size()) + " attachments";
    return CutUtf8(tip, kMaxAttachmentTip);
}

AttachmentView AttachmentViewOf(const CAttachment& a, const TargetContext& ctx) {
    AttachmentView v;
    v.kind = a.kind;
    v.stored = ctx.codePage.ToUtf8(a.target);
    v.enabled = (a.flags & attachment_flags::kDisabled) == 0;
    v.inGallery = (a.flags & attachment_flags::kNotInGallery) == 0;
    if (a.kind == 1) {
        v.resolved = ResolveStoredTarget(v.stored, ctx.linkBase, ctx.drive, ctx.drives);
        size_t slash = v.stored.find_last_of('\\');
        v.galleryLabel = slash == std::string::npos ? v.stored : v.stored.substr(slash + 1);
    } else {
        v.resolved.windows = v.stored;
        v.galleryLabel = v.stored;
    }
    return v;
}

namespace {

// Everything after the read; each step fills its part, so an error leaves
// the parts before it.
void Fill(CQuillboxDoc& doc, const CArticle& a, const Locale& locale, const TargetContext& ctx,
          ArticleViewModel& m) {
    const CodePage& page = doc.TextCodePage();
    m.caption = page.ToUtf8(a.title);
    // One byte of the code page is one character.
    m.titleField = page.ToUtf8(std::string_view(a.title).substr(0, kMaxTitleField));
    m.dateText = FormatDate(a.articleDate, false, locale);
    m.timeText = FormatTime(a.articleTime, false, locale);
    m.articleTime = a.articleTime;
    m.createdDate = a.createdDate;
    m.createdTime = a.createdTime;
    m.modifiedDate = a.modifiedDate;
    m.modifiedTime = a.modifiedTime;
    m.display = a.IsRichText() ? a.display : ArticleDisplayProps::Defaults(doc.Defaults());
    m.richText = LoadArticleContent(m.content, a.IsRichText(), a.Content(), page);
    for (int32_t k : a.keywordIds)
        m.keywords.push_back(page.ToUtf8(doc.KeywordName(k)));
    m.storedAttachments = a.attachments;
    for (const CAttachment& att : a.attachments)
        m.attachments.push_back(AttachmentViewOf(att, ctx));
    m.attachmentTip = AttachmentTip(m.attachments);
    m.bookmarked = doc.IsBookmarked(m.id);
    m.storedLinks = a.links;
    for (const StoredLink& l : a.links) {
        StoredLinkView v;
        v.start = l.start;
        v.end = l.end;
        v.kind = l.kind;
        v.target = page.ToUtf8(l.target);
        v.description = DescribeStoredLink(doc, l, ctx);
        m.links.push_back(std::move(v));
    }
}

}  // namespace

ArticleViewModel LoadArticleView(CQuillboxDoc& doc, int32_t id, const Locale& locale,
                                 const TargetContext& context) {
    ArticleViewModel m;
    m.id = id;
    try {
        CArticle a;
        doc.ReadArticle(id, a);
        m.loaded = true;
        Fill(doc, a, locale, context, m);
    } catch (const CQuillError& e) {
        doc.Report(e);
    } catch (const std::bad_alloc&) {
        doc.Report(CQuillError(err::kOutOfMemory, doc.PathName()));
    }
    return m;
}

}  // namespace qb
