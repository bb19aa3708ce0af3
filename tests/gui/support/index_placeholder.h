// A stand-in index window for the shell's tests: one MDI child per open
// document that records the calls of the index window port and shows the
// file's name and counts.
#pragma once

#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QVBoxLayout>
#include <QWidget>
#include <algorithm>
#include <string>
#include <vector>

#include "document/document_host.h"
#include "document/quillbox_doc.h"
#include "gui/app/reader_app.h"

namespace qb::testing {

// No Q_OBJECT (the tests are not moc'ed): find it with PlaceholderOf.
class CIndexPlaceholder : public QWidget, public IndexWindow {
public:
    explicit CIndexPlaceholder(CQuillboxDoc& doc, QWidget* parent = nullptr)
        : QWidget(parent), doc_(doc) {
        setObjectName("CIndexPlaceholder");
        auto* layout = new QVBoxLayout(this);
        text_ = new QLabel(this);
        text_->setAlignment(Qt::AlignCenter);
        text_->setTextFormat(Qt::PlainText);
        text_->setWordWrap(true);
        layout->addWidget(text_);
        doc_.SetIndexWindow(this);
    }
    ~CIndexPlaceholder() override {
        if (doc_.GetIndexWindow() == this) doc_.SetIndexWindow(nullptr);
    }

    // The names of the calls received so far.
    const std::vector<std::string>& Received() const { return received_; }
    const QLabel& Text() const { return *text_; }

    void OnFileLoaded() override {
        Record("OnFileLoaded");
        Refresh();
    }
    void OnNoGroups() override { Record("OnNoGroups"); }
    void OnPrivacyChanged() override {
        Record("OnPrivacyChanged");
        Refresh();
    }
    int32_t ViewMode() const override { return Query("ViewMode"); }
    void SetViewMode(int32_t) override { Record("SetViewMode"); }
    int32_t IsWindowVisible() const override { return Query("IsWindowVisible"); }
    int32_t IsGroupListShown() const override { return Query("IsGroupListShown"); }
    void SetGroupListShown(bool) override { Record("SetGroupListShown"); }
    void OnDisplaySettingsChanged() override { Record("OnDisplaySettingsChanged"); }
    void RedrawTitleList() override { Record("RedrawTitleList"); }
    int32_t PreviewFlags() const override { return Query("PreviewFlags"); }
    void TogglePreview(int32_t) override { Record("TogglePreview"); }
    void CyclePreview() override { Record("CyclePreview"); }
    void OnPreviewColorChanged() override { Record("OnPreviewColorChanged"); }
    int32_t SelectedMode() const override { return Query("SelectedMode"); }
    void SetSelectedMode(int32_t) override { Record("SetSelectedMode"); }
    int32_t IndexMode() const override { return Query("IndexMode"); }
    void SetIndexMode(int32_t) override { Record("SetIndexMode"); }
    void ToggleIndexMode() override { Record("ToggleIndexMode"); }
    int32_t TitleMode() const override { return Query("TitleMode"); }
    int32_t TitleMemberCount() const override { return Query("TitleMemberCount"); }
    bool TitleListHolds(int32_t) const override { return false; }
    int32_t HighlightedCount() const override { return Query("HighlightedCount"); }
    void ClearTitleHighlight() override { Record("ClearTitleHighlight"); }
    void OnSortOrderChanged() override { Record("OnSortOrderChanged"); }
    void StepArticle(int32_t, bool) override { Record("StepArticle"); }

private:
    void Record(const char* call) const { received_.push_back(call); }
    int32_t Query(const char* call) const {
        Record(call);
        return 0;
    }

    void Refresh() {
        IdSet keywords;
        doc_.AllKeywords(keywords);
        QString text = QString("%1\n\n%2 articles, %3 bookmarked, %4 keywords, %5 keyword groups")
                           .arg(QString::fromStdString(doc_.PathName()))
                           .arg(doc_.VisibleCount())
                           .arg(doc_.VisibleBookmarkCount())
                           .arg(keywords.Count())
                           .arg(doc_.GroupCount());
        if (doc_.IsPasswordSet() && !doc_.IsUnlocked())
            text += QString("\n%1 private articles hidden").arg(doc_.PrivateCount());
        text_->setText(text);
        if (parentWidget())
            parentWidget()->setWindowTitle(
                QString("Index - %1").arg(QString::fromStdString(doc_.File().FileName())));
    }

    CQuillboxDoc& doc_;
    QLabel* text_;
    mutable std::vector<std::string> received_;
};

// The factory: a placeholder in its own MDI child, connected to `doc`.
inline QMdiSubWindow* CreatePlaceholderIndexFrame(CQuillboxDoc& doc, QMdiArea& mdi) {
    auto* frame = new QMdiSubWindow;
    frame->setObjectName("CIndexFrame");
    frame->setAttribute(Qt::WA_DeleteOnClose);
    frame->setWidget(new CIndexPlaceholder(doc));
    frame->setWindowTitle("Index");
    mdi.addSubWindow(frame);
    QSize client = mdi.viewport()->size();
    frame->resize(std::max(320, client.width() * 4 / 5), std::max(240, client.height() * 4 / 5));
    return frame;
}

// Installs the factory on the application.
inline void InstallIndexPlaceholder(ReaderApp& app) {
    app.SetIndexFrameFactory(&CreatePlaceholderIndexFrame);
}

// The placeholder inside an index frame, or null.
inline CIndexPlaceholder* PlaceholderOf(QMdiSubWindow* frame) {
    return frame ? dynamic_cast<CIndexPlaceholder*>(frame->widget()) : nullptr;
}

}  // namespace qb::testing
