// The reader with article windows over a written data file: the index
// window is the stand-in, launches and copies are recorded, and the clock
// that spaces web attachments is moved by hand.
#pragma once

#include <QStatusBar>

#include "../app/gui_test_support.h"
#include "article/clipboard_copy.h"
#include "core/article_attach/attach_fixture.h"
#include "gui/article/article_frame.h"
#include "gui/article/article_windows.h"
#include "support/recording_clipboard.h"

namespace qb::testing {

class ArticleReader : public ::testing::Test {
protected:
    ArticleReader() : launcher(clock) {}

    // Writes `articles` (ids 0, 1, ...) and one keyword per name in
    // `keywords` holding every article, then starts the reader on the file.
    void StartWith(const std::vector<qbw::ArticleData>& articles,
                   const std::string& extraSettings = "") {
        std::string path = r.dir / "articles.qbx";
        qbw::FileBuilder b;
        // Levels below 5 are the old record layout's plain-text articles.
        for (size_t i = 0; i < articles.size(); ++i)
            b.SetRecord(1, int32_t(i),
                        articles[i].level < 5
                            ? qbw::EncodeArticleOld(articles[i], articles[i].level)
                            : qbw::EncodeArticleNew(articles[i]));
        std::vector<int32_t> all;
        for (size_t i = 0; i < articles.size(); ++i)
            all.push_back(int32_t(i));
        b.SetRecord(0, 0, qbw::EncodeKeyword("Birds", all));
        b.SetRecord(0, 1, qbw::EncodeKeyword("Autumn", all));
        b.WriteFile(path);
        std::filesystem::create_directories(Disk());
        r.WriteSettings("[Drives]\nC:=" + Disk() + "\n" + extraSettings);
        r.app = std::make_unique<ReaderApp>(r.env, r.ui, r.dialogs);
        InstallIndexPlaceholder(*r.app);
        windows = &InstallArticleWindows(*r.app, &launcher, &clock, &writer);
        r.app->Start({path});
        ProcessEvents();
        ASSERT_NE(r.app->Document(), nullptr);
    }
    std::string Disk() { return r.dir / "disk-c"; }
    // A file attachment "C:\att\NAME" that exists on the mapped disk.
    qbw::AttachmentData FileAttachment(const std::string& name, int32_t flags = 0) {
        std::filesystem::create_directories(Disk() + "/att");
        WriteFile(Disk() + "/att/" + name, "x");
        return qbw::AttachmentData{1, "C:\\att\\" + name, -1, flags};
    }
    static qbw::AttachmentData WebAttachment(const std::string& url) {
        return qbw::AttachmentData{2, url, -1, 0};
    }
    std::vector<std::string> Launched() const {
        std::vector<std::string> out;
        for (const auto& c : launcher.calls)
            out.push_back(c.target);
        return out;
    }

    CArticleFrame* Open(int32_t id) {
        CArticleFrame* f = windows->Open(id);
        ProcessEvents();
        return f;
    }
    QAction* Action(int id) {
        r.Frame().UpdateCommandStates();
        return r.Frame().Action(id);
    }
    QString Status() { return r.Frame().statusBar()->currentMessage(); }

    ReaderFixture r;
    FakeClock clock;
    TimedLauncher launcher;
    RecordingClipboard clipboard;
    ClipboardWriter writer{clipboard, r.ui};
    ReaderArticleWindows* windows = nullptr;
};

}  // namespace qb::testing
