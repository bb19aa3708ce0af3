// An index window over a small file, without the rest of the reader: a
// document, a main window with an MDI area, and dialogs answered by the
// test.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QMainWindow>
#include <QMdiArea>
#include <QMouseEvent>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/profile_store.h"
#include "app/settings.h"
#include "core/app/app_test_support.h"
#include "document/quillbox_doc.h"
#include "gui/index/index_frame.h"
#include "gui/index/index_lists.h"
#include "gui/index/index_view.h"
#include "support/fake_locale.h"
#include "support/recording_ui.h"
#include "writer/qbx_writer.h"

namespace qb::testing {

inline void EnsureApp() {
    static int argc = 1;
    static char name[] = "test_gui_index";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) new QApplication(argc, argv);
}

inline void Pump() {
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

// Keywords Apple {0,1}, Banana {1,2}, Cherry {3}, Date {0,3}; articles
// Alpha, Beta, Gamma, Delta (whose content is plain text at a rich-text
// level); group "Fruit A" = Apple, Banana; Gamma
// bookmarked; one saved query "Apple or Cherry".
inline void WriteFruitFile(const std::string& path) {
    qbw::FileBuilder b;
    const char* titles[] = {"Alpha", "Beta", "Gamma", "Delta"};
    const int32_t dates[] = {20230105, 20220101, 20240301, 20230105};
    const std::vector<std::vector<int32_t>> keys = {{0, 3}, {0, 1}, {1}, {2, 3}};
    for (int32_t id = 0; id < 4; ++id) {
        qbw::ArticleData a;
        a.title = titles[id];
        a.articleDate = a.createdDate = a.modifiedDate = dates[id];
        a.articleTime = a.createdTime = a.modifiedTime = 3600 * id;
        a.keywordIds = keys[size_t(id)];
        a.richText = std::string("{\\rtf1\\ansi Text of ") + titles[id] + "\\par}";
        if (id == 3) a.richText = "Plain caf\xe9\r\nsecond line";
        b.SetRecord(1, id, qbw::EncodeArticleNew(a));
    }
    b.SetRecord(0, 0, qbw::EncodeKeyword("Apple", {0, 1}));
    b.SetRecord(0, 1, qbw::EncodeKeyword("Banana", {1, 2}));
    b.SetRecord(0, 2, qbw::EncodeKeyword("Cherry", {3}));
    b.SetRecord(0, 3, qbw::EncodeKeyword("Date", {0, 3}));
    b.SetRecord(3, 0, qbw::EncodeGroup("Fruit A", {0, 1}));
    b.SetStream(qbw::stream::kBookmarks, qbw::EncodeIdStream({2}));
    b.SetStream(qbw::stream::kSavedQueries,
                qbw::EncodeSavedQueries({{"Apple or Cherry", "Apple OR Cherry"}}, {0}));
    b.WriteFile(path);
}

struct AppFirst {
    AppFirst() { EnsureApp(); }
};

class IndexFixture {
    AppFirst app_;  // before every widget

public:
    explicit IndexFixture(const std::string& ini = "") {
        EnsureApp();
        store.LoadText(ini);
        settings.Load(store);
        path = dir / "fruit.qbx";
        WriteFruitFile(path);
        DocumentServices ds;
        ds.ui = &ui;
        ds.locale = &locale;
        ds.settings = &settings;
        ds.store = &store;
        doc = std::make_unique<CQuillboxDoc>(ds);
        main.resize(1000, 700);
        mdi = new QMdiArea(&main);
        main.setCentralWidget(mdi);
        main.show();
        IndexServices s;
        s.doc = doc.get();
        s.query = &query;
        s.settings = &settings;
        s.store = &store;
        s.ui = &ui;
        s.locale = &locale;
        s.exec = [this](QDialog& d) {
            execs.push_back(d.objectName().toStdString());
            return onExec ? onExec(d) : int(QDialog::Rejected);
        };
        s.rebuildSavedQueryMenu = [this](const std::vector<QueryMenuItem>& items) {
            menus.push_back(items);
        };
        s.articles.open = [this](int32_t id) { opened.push_back(id); };
        s.mainWindow = &main;
        frame = CreateIndexFrame(s, *mdi);
        frame->show();
        frame->resize(900, 600);
        EXPECT_TRUE(doc->OnOpenDocument(path));
        Pump();
    }
    ~IndexFixture() {
        if (frame) delete frame;
        doc.reset();
    }

    CIndexView& View() { return *frame->View(); }
    IndexModel& Model() { return View().Model(); }
    // Highlights the rows of the given names in a keyword list.
    void Highlight(NamedIdList& list, std::initializer_list<const char*> names) {
        list.ClearHighlight();
        for (const char* n : names)
            for (size_t r = 0; r < list.RowCount(); ++r)
                if (list.NameAt(r) == n) list.Click(r, false, true);
    }
    std::vector<std::string> Names(const NamedIdList& list) {
        std::vector<std::string> out;
        for (size_t r = 0; r < list.RowCount(); ++r)
            out.push_back(list.NameAt(r));
        return out;
    }
    std::vector<std::string> Titles() {
        std::vector<std::string> out;
        for (int32_t id : Model().Titles().Rows())
            out.push_back(doc->Summary(id).title);
        return out;
    }

    TempDir dir;
    RecordingUi ui;
    FixedLocale locale;
    ProfileStore store;
    Settings settings;
    std::string path;
    QueryExpression query;
    std::unique_ptr<CQuillboxDoc> doc;
    QMainWindow main;
    QMdiArea* mdi = nullptr;
    CIndexFrame* frame = nullptr;
    std::vector<std::string> execs;
    std::function<int(QDialog&)> onExec;
    std::vector<std::vector<QueryMenuItem>> menus;
    std::vector<int32_t> opened;
};

// Mouse events sent straight to a list's viewport, with the button held
// through the moves.
inline void SendMouse(QWidget* target, QEvent::Type type, QPoint local, Qt::MouseButtons held,
                      Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QPointF global = target->mapToGlobal(local);
    QMouseEvent e(type, QPointF(local), global, Qt::LeftButton, held, mods);
    QApplication::sendEvent(target, &e);
}

inline QPoint RowPoint(CDragList* list, int row) {
    return list->visualRect(list->model()->index(row, 0)).center();
}

// Press on `row` of `from`, move through `to` (its viewport coordinates
// `at`), release there.
inline void Drag(CDragList* from, int row, QWidget* to, QPoint at) {
    QWidget* vp = from->viewport();
    QPoint start = RowPoint(from, row);
    SendMouse(vp, QEvent::MouseButtonPress, start, Qt::LeftButton);
    QPoint there = vp->mapFromGlobal(to->mapToGlobal(at));
    SendMouse(vp, QEvent::MouseMove, start + QPoint(5, 0), Qt::LeftButton);
    SendMouse(vp, QEvent::MouseMove, there, Qt::LeftButton);
    SendMouse(vp, QEvent::MouseButtonRelease, there, Qt::NoButton);
}

}  // namespace qb::testing
