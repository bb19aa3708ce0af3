#include "article/link_following.h"

#include <sys/stat.h>

#include "document/quillbox_doc.h"

namespace qb {
namespace {

constexpr int kErrorPrivateLink = 51;
constexpr int kErrorTargetGone = 49;

// The link's target, read; false when the record now holds another article.
bool StillSameArticle(CQuillboxDoc& doc, const StoredLink& link, CArticle& a) {
    doc.ReadArticle(link.articleId, a);
    return a.createdDate == link.createdDate && a.createdTime == link.createdTime;
}

// The first `max` characters (code points) of UTF-8 text.
std::string CutUtf8(std::string s, size_t max) {
    size_t chars = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) continue;
        if (chars++ == max) {
            s.resize(i);
            break;
        }
    }
    return s;
}

}  // namespace

std::string DescribeStoredLink(CQuillboxDoc& doc, const StoredLink& link,
                               const TargetContext& ctx) {
    std::string text;
    switch (link.kind) {
        case 1: {
            ResolvedTarget t = ResolveStoredTarget(ctx.codePage.ToUtf8(link.target), ctx.linkBase,
                                                   ctx.drive, ctx.drives);
            std::string shown = t.linux ? *t.linux : t.windows;
            struct stat st;
            bool folder = t.linux && ::stat(t.linux->c_str(), &st) == 0 && S_ISDIR(st.st_mode);
            text = (folder ? "Folder: " : "File: ") + shown;
            break;
        }
        case 2:
            text = "URL: " + ctx.codePage.ToUtf8(link.target);
            break;
        case 3: {
            std::string title;
            try {
                CArticle a;
                if (doc.IsOpen() && link.articleId >= 0 && StillSameArticle(doc, link, a))
                    title = doc.TextCodePage().ToUtf8(a.title);
            } catch (const CQuillError&) {
                // An unreadable target has no title; hovering reports nothing.
            }
            text = "Article: " + title;
            break;
        }
        default:
            break;
    }
    return CutUtf8(std::move(text), kMaxLinkDescription);
}

ArticleLinkResult FollowArticleLink(CQuillboxDoc& doc, const StoredLink& link,
                                    const std::function<void(int32_t)>& openArticle) {
    if (doc.PrivateCount() > 0 && doc.IsPrivate(link.articleId) && doc.ArePrivateHidden()) {
        doc.Report(CQuillError(kErrorPrivateLink));
        return ArticleLinkResult::Private;
    }
    try {
        CArticle a;
        if (!StillSameArticle(doc, link, a)) {
            doc.Report(CQuillError(kErrorTargetGone));
            return ArticleLinkResult::Gone;
        }
    } catch (const CQuillError& e) {
        if (e.Code() == err::kBadRecordId || e.Code() == err::kCorrupted) {
            doc.Report(CQuillError(kErrorTargetGone));
            return ArticleLinkResult::Gone;
        }
        doc.Report(e);
        return ArticleLinkResult::ReadFailed;
    }
    if (openArticle) openArticle(link.articleId);
    return ArticleLinkResult::Opened;
}

void FollowStoredLink(CQuillboxDoc& doc, TargetOpener& opener, const StoredLink& link,
                      const std::function<void(int32_t)>& openArticle) {
    switch (link.kind) {
        case 1:
            opener.OpenFileOrFolder(opener.Context().codePage.ToUtf8(link.target));
            break;
        case 2:
            opener.OpenWebAddress(opener.Context().codePage.ToUtf8(link.target));
            break;
        case 3:
            FollowArticleLink(doc, link, openArticle);
            break;
        default:
            break;
    }
}

}  // namespace qb
