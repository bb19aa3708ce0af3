// A document over a written file for the export tests, with a run of
// ExportArticles into the scratch folder.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "core/document/doc_fixture.h"
#include "export/export_articles.h"
#include "export/export_job.h"

namespace qb::testing {

class ExportTest : public DocTest {
public:
    // Keywords 0 "zeta", 1 "O'Neil", 2 "Alpha" and the articles given, ids 0, 1, ...
    void OpenArticles(const std::vector<qbw::ArticleData>& articles,
                      const std::string& header = "") {
        qbw::FileBuilder b;
        for (size_t i = 0; i < articles.size(); ++i)
            b.SetRecord(1, int32_t(i), Encode(articles[i]));
        b.SetRecord(0, 0, qbw::EncodeKeyword("zeta", {}));
        b.SetRecord(0, 1, qbw::EncodeKeyword("O'Neil", {}));
        b.SetRecord(0, 2, qbw::EncodeKeyword("Alpha", {}));
        if (!header.empty()) b.SetStream(qbw::stream::kExportHeader, qbw::EncodeTextStream(header));
        ASSERT_TRUE(Open(b));
    }

    // Plain-text articles in the old layout (level 4: title, date, text and
    // keywords), rich ones in the new.
    static std::string Encode(const qbw::ArticleData& a) {
        return a.level < 5 ? qbw::EncodeArticleOld(a, a.level) : qbw::EncodeArticleNew(a);
    }

    static qbw::ArticleData Rich(const std::string& title, const std::string& rtf,
                                 int32_t date = 20240305) {
        qbw::ArticleData a;
        a.title = title;
        a.richText = rtf;
        a.articleDate = date;
        a.articleTime = 0;
        return a;
    }
    static qbw::ArticleData Plain(const std::string& title, const std::string& text,
                                  int32_t date = 20240305) {
        qbw::ArticleData a = Rich(title, "", date);
        a.level = 4;
        a.plainText = text;
        return a;
    }

    ExportResult Run(ExportFormat format, const std::string& target, bool separate = false) {
        ExportJob job(*doc, locale, ui, settings);
        return ExportArticles(job, target, format, separate, ranges);
    }
    // Runs into out.<ext> and returns the file's bytes.
    std::string Export(ExportFormat format) {
        std::string target = dir / "out";
        ExportResult r = Run(format, target);
        EXPECT_TRUE(r.Succeeded()) << ui.LastText();
        return ReadFile(target);
    }

    // The names in the scratch folder's subfolder (or the folder itself).
    std::vector<std::string> Names(const std::string& folder) const {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(folder))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    void SetFlags(uint16_t flags) { settings.options.flags = flags; }

    ExportSettings settings;
    ExportRanges ranges;
};

}  // namespace qb::testing
