// A read that fails anywhere while a file is opened, browsed and exported
// is reported with a numbered message, crashes nothing and spoils nothing:
// once the disk answers again, the open document reads exactly as before.
#include <gtest/gtest.h>

#include "core/export/export_fixture.h"
#include "datafile/quill_error.h"
#include "fault_io.h"

namespace qb::testing {
namespace {

const char kRtf[] =
    "{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss Arial;}}\\f0\\fs24 Rich \\b bold\\b0  "
    "www.example.org\\par second\\par}";

class ReadFaults : public ExportTest {
protected:
    void SetUp() override {
        std::vector<qbw::ArticleData> articles;
        for (int i = 0; i < 6; ++i) {
            std::string long_text(3000 + 700 * i, char('a' + i));  // over several blocks
            articles.push_back(i % 2 ? Plain("Plain " + std::to_string(i), long_text)
                                     : Rich("Rich " + std::to_string(i), kRtf));
        }
        OpenArticles(articles);
        count = 6;
        baseline = Browse();
        baselineExport = Export(ExportFormat::kHtml);
    }

    // Every article's title and content, as the windows read them.
    std::vector<std::string> Browse() {
        std::vector<std::string> seen;
        for (int32_t id = 0; id < count; ++id) {
            CArticle a;
            doc->ReadArticle(id, a);
            seen.push_back(a.title + "|" + std::string(a.Content()));
        }
        return seen;
    }

    int32_t count = 0;
    std::vector<std::string> baseline;
    std::string baselineExport;
};

TEST_F(ReadFaults, EveryFailedReadIsReportedAndSpoilsNothing) {
    // How many reads a fresh open, browse and export take.
    long total = 0;
    {
        FaultyIo io;
        ScopedFileIo scope(io);
        MakeDoc();
        ASSERT_TRUE(doc->OnOpenDocument(path));
        (void)Browse();
        (void)Export(ExportFormat::kHtml);
        total = io.reads;
    }
    ASSERT_GT(total, 10);
    for (long n = 0; n < total; ++n) {
        SCOPED_TRACE("failing read " + std::to_string(n));
        ui.messages.clear();
        MakeDoc();
        bool opened = false, exportFailed = false;
        {
            FaultyIo io;
            io.failRead = n;
            ScopedFileIo scope(io);
            opened = doc->OnOpenDocument(path);
            if (opened) {
                try {
                    (void)Browse();
                } catch (const CQuillError& e) {
                    EXPECT_NE(e.Code(), 0) << "a numbered error for the window to show";
                }
                ExportResult r = Run(ExportFormat::kHtml, dir / "faulty");
                exportFailed = !r.Succeeded();
            }
        }
        if (exportFailed) {
            EXPECT_GE(ui.Count(), 1u) << "a failed export says why";
        }
        if (!opened) {
            EXPECT_GE(ui.Count(), 1u) << "a failed open says why";
            continue;
        }
        EXPECT_EQ(Browse(), baseline) << "what was read after the fault";
        EXPECT_EQ(Export(ExportFormat::kHtml), baselineExport);
    }
}

// Reads that return a few bytes at a time give the same document.
TEST_F(ReadFaults, ShortReadsReadTheSame) {
    FaultyIo io;
    io.readLimit = 7;
    ScopedFileIo scope(io);
    MakeDoc();
    ASSERT_TRUE(doc->OnOpenDocument(path));
    EXPECT_EQ(Browse(), baseline);
    EXPECT_EQ(Export(ExportFormat::kHtml), baselineExport);
}

}  // namespace
}  // namespace qb::testing
