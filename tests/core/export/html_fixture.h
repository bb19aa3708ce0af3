// Runs an HtmlWriter into a scratch file and hands back what reached it.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "datafile/articles.h"
#include "export/html_writer.h"
#include "platform/progress.h"
#include "support/temp_files.h"

namespace qb::testing {

// The body fragment of a rich-text article.
inline std::string ConvertRtf(const std::string& rtf, const std::vector<StoredLink>& links = {},
                              const std::map<int32_t, std::string>& anchors = {},
                              const LinkContext& context = {}) {
    TempDir dir;
    HtmlWriter w{HtmlSettings{}};
    w.Open(dir / "out.htm");
    for (const auto& [id, href] : anchors)
        w.Anchors().Name(id, href);
    CArticle a;
    a.level = 6;
    a.richText = rtf;
    a.links = links;
    w.WriteArticleContent(a, context, nullptr);
    w.Close();
    return ReadFile(dir / "out.htm");
}

// `body` run against a fresh writer with `settings`.
template <typename F>
std::string Written(F body, HtmlSettings settings = {}) {
    TempDir dir;
    HtmlWriter w(std::move(settings));
    w.Open(dir / "out.htm");
    body(w);
    w.Close();
    return ReadFile(dir / "out.htm");
}

inline std::size_t Count(const std::string& hay, const std::string& needle) {
    std::size_t n = 0;
    for (std::size_t at = hay.find(needle); at != std::string::npos;
         at = hay.find(needle, at + needle.size()))
        ++n;
    return n;
}

// A one-font RTF document around `body` (Arial, 10 pt, two colours).
inline std::string Rtf(const std::string& body) {
    return "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}}"
           "{\\colortbl ;\\red255\\green0\\blue0;}\\pard\\f0\\fs20 " +
           body + "\\par}";
}

}  // namespace qb::testing
