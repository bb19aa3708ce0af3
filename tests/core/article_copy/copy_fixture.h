// A document over a written file for the copy tests, with a recording
// clipboard and a target context whose drive C: is the scratch folder.
#pragma once

#include <string>
#include <vector>

#include "article/clipboard_copy.h"
#include "article/copy_articles.h"
#include "core/document/doc_fixture.h"
#include "support/recording_clipboard.h"

namespace qb::testing {

class CopyTest : public DocTest {
protected:
    CopyTest() {
        context.linkBase = "C:\\Docs";
        context.drives = {{"C:", dir.Path()}};
    }

    // Keywords 0 "zeta", 1 "Alpha", 2 "mid" and the articles given, ids 0, 1, ...
    void OpenArticles(const std::vector<std::string>& records) {
        qbw::FileBuilder b;
        for (std::size_t i = 0; i < records.size(); ++i)
            b.SetRecord(1, int32_t(i), records[i]);
        b.SetRecord(0, 0, qbw::EncodeKeyword("zeta", {}));
        b.SetRecord(0, 1, qbw::EncodeKeyword("Alpha", {}));
        b.SetRecord(0, 2, qbw::EncodeKeyword("mid", {}));
        ASSERT_TRUE(Open(b));
    }

    static qbw::ArticleData Rich(const std::string& title, const std::string& rtf) {
        qbw::ArticleData a;
        a.title = title;
        a.richText = rtf;
        return a;
    }

    CopiedArticle Read(int32_t id) { return ReadCopiedArticle(*doc, id, locale, context); }

    std::string TextOf(int32_t id) {
        std::string out;
        AppendCopyText(out, Read(id));
        return out;
    }

    bool Copy(const std::vector<int32_t>& ids) {
        return CopyArticles(*doc, ids, locale, context, ui, writer);
    }

    TargetContext context;
    RecordingClipboard clipboard;
    ClipboardWriter writer{clipboard, ui};
};

}  // namespace qb::testing
