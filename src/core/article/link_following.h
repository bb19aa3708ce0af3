// Following a stored link and describing it for the status bar. Article
// links (kind 3) check privacy and that the target record still holds the
// article the link was made to; file, folder and web targets go to the
// TargetOpener.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "article/attachment_opener.h"
#include "datafile/articles.h"

namespace qb {

class CQuillboxDoc;

// The status bar shows at most this many characters of a description.
constexpr size_t kMaxLinkDescription = 1000;

// "Folder: %s" / "File: %s" with the resolved path, "URL: %s", "Article: %s"
// with the target's title when the id with its created date and time is
// still that article (else an empty title); other kinds give "". UTF-8.
std::string DescribeStoredLink(CQuillboxDoc& doc, const StoredLink& link,
                               const TargetContext& context);

// How following an article link ended.
enum class ArticleLinkResult { Opened, Private, Gone, ReadFailed };

// A private target while private articles are hidden reports error 51; a
// target whose created date or time differs, or whose read fails with code
// 3 or 5, reports 49; another read error is reported as itself. Otherwise
// `openArticle` is called with the id.
ArticleLinkResult FollowArticleLink(CQuillboxDoc& doc, const StoredLink& link,
                                    const std::function<void(int32_t)>& openArticle);

// Follows any kind: 1 file or folder, 2 web address, 3 article.
void FollowStoredLink(CQuillboxDoc& doc, TargetOpener& opener, const StoredLink& link,
                      const std::function<void(int32_t)>& openArticle);

}  // namespace qb
