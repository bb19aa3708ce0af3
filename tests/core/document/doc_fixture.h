// Builds data files with the test writer and opens them through a document
// whose windows are recording fakes.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "document/quillbox_doc.h"
#include "support/fake_locale.h"
#include "support/recording_ui.h"
#include "writer/qbx_writer.h"

namespace qb::testing {

class TempDir {
public:
    TempDir() {
        char tmpl[] = "/tmp/qb_document_XXXXXX";
        if (char* p = ::mkdtemp(tmpl)) path_ = p;
    }
    ~TempDir() {
        std::error_code ec;
        if (!path_.empty()) std::filesystem::remove_all(path_, ec);
    }
    const std::string& Path() const { return path_; }
    std::string Write(const std::string& name, const std::string& bytes) const {
        std::string p = path_ + "/" + name;
        std::ofstream(p, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
        return p;
    }
    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }

private:
    std::string path_;
};

struct RecordingIndex : IndexWindow {
    std::vector<int> codes;
    int32_t Dispatch(int code, int32_t, int32_t) override {
        codes.push_back(code);
        return 0;
    }
    int Count(int code) const { return int(std::count(codes.begin(), codes.end(), code)); }
};

struct RecordingMain : MainWindowHost {
    std::string title = "unset";
    bool noDocument = false;
    std::vector<std::string> recent;
    std::vector<std::string> queryMenu;
    int menuRebuilds = 0;
    bool allowClose = true;
    IdSet closeRequested;
    int refreshes = 0;
    void SetFileTitle(const std::string& t) override { title = t; }
    void SetNoDocument(bool n) override { noDocument = n; }
    void AddRecentFile(const std::string& p) override { recent.push_back(p); }
    void RebuildSavedQueryMenu(const std::vector<std::string>& names) override {
        queryMenu = names;
        ++menuRebuilds;
    }
    bool CloseArticleWindows(const IdSet& ids) override {
        closeRequested.Copy(ids);
        return allowClose;
    }
    void RefreshDocumentViews() override { ++refreshes; }
};

inline std::string Keyword(const std::string& name, std::vector<int32_t> ids = {}) {
    return qbw::EncodeKeyword(name, ids);
}

inline std::string Article(const std::string& title, uint16_t flags = 0,
                           qbw::NewArticleOptions o = {}) {
    qbw::ArticleData a;
    a.title = title;
    a.flags = flags;
    a.richText = "{\\rtf1 " + title + "}";
    return qbw::EncodeArticleNew(a, o);
}

class DocTest : public ::testing::Test {
protected:
    DocTest() { MakeDoc(); }

    void MakeDoc() {
        DocumentServices s;
        s.ui = &ui;
        s.locale = &locale;
        s.mainWindow = &main;
        s.attachmentsFolder = [] { return std::string("/prefs/attachments"); };
        doc = std::make_unique<CQuillboxDoc>(s);
        doc->SetIndexWindow(&index);
    }

    bool Open(const qbw::FileBuilder& b, const std::string& name = "test.qbx") {
        path = dir.Write(name, b.Build());
        return doc->OnOpenDocument(path);
    }

    TempDir dir;
    RecordingUi ui;
    FixedLocale locale;
    RecordingMain main;
    RecordingIndex index;
    std::unique_ptr<CQuillboxDoc> doc;
    std::string path;
};

inline std::vector<int32_t> Ids(const IdSet& s) {
    return s.Ids();
}

}  // namespace qb::testing
