// Builds data files with the test writer, opens them and reads records.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "datafile/data_file.h"
#include "datafile/quill_error.h"
#include "datafile/record_stream.h"
#include "datafile/records.h"
#include "support/quill_error_code.h"
#include "support/temp_files.h"
#include "writer/qbx_writer.h"

namespace qb::testing {

class RecordsTest : public ::testing::Test {
protected:
    // Writes the file and opens it; the file stays open for the test.
    CDataFile& Open(const qbw::FileBuilder& b, const std::string& name = "test.qbx") {
        path_ = dir_.Write(name, b.Build());
        file_ = std::make_unique<CDataFile>();
        file_->Open(path_, false);
        return *file_;
    }
    CDataFile& OpenImage(const qbw::Image& img, const std::string& name = "test.qbx") {
        path_ = dir_.Write(name, img.bytes);
        file_ = std::make_unique<CDataFile>();
        file_->Open(path_, false);
        return *file_;
    }
    // A file with `bytes` as article 0.
    CDataFile& OpenArticle(const std::string& bytes, int16_t version = 300) {
        qbw::FileBuilder b;
        b.SetVersion(version).SetRecord(table::kArticles, 0, bytes);
        return Open(b);
    }
    CArticle Article(const std::string& bytes) {
        return ReadArticle(OpenArticle(bytes), 0, defaults_);
    }
    CArticle Summary(const std::string& bytes) {
        return ReadArticleSummary(OpenArticle(bytes), 0, defaults_);
    }
    // Reads article 0 into `a` and returns the error code (0 on success).
    int ArticleCode(const std::string& bytes, CArticle& a, bool summary = false) {
        CDataFile& f = OpenArticle(bytes);
        return CodeOf([&] {
            CRecordStream s;
            s.OpenRecord(f, table::kArticles, 0);
            if (summary)
                ReadArticleSummary(s, a, defaults_);
            else
                ReadArticle(s, a, defaults_);
        });
    }
    // A file whose stream `id` holds `bytes`.
    CDataFile& OpenStream(int16_t id, const std::string& bytes) {
        qbw::FileBuilder b;
        b.SetStream(id, bytes);
        return Open(b);
    }
    CDataFile& OpenEmpty() { return Open(qbw::FileBuilder()); }

    const std::string& Path() const { return path_; }

    RecordDefaults defaults_;
    TempDir dir_;
    std::string path_;
    std::unique_ptr<CDataFile> file_;
};

}  // namespace qb::testing
