// CArticleView: one article, read-only. The title row (title, date, the
// date button, the time), the content with its links, the keyword pane
// with its painted label, the bookmark and attachment indicators and the
// image gallery. What the view shows comes from the core's
// ArticleViewModel; opening attachments goes through an AttachmentQueue
// driven by a single-shot timer, so the window never blocks.
#pragma once

#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>

#include "article/article_layout.h"
#include "article/article_view_model.h"
#include "article/attachment_opener.h"
#include "article/attachment_schedule.h"

class QAction;
class QLineEdit;
class QListWidget;
class QMainWindow;
class QPushButton;
class QTimeEdit;

namespace qb {

class ArticleContent;
class ArticleGallery;
class ClipboardWriter;
class CQuillboxDoc;
class Launcher;
class Locale;
class Settings;
class SteadyClock;
class Ui;

// Everything an article window works through; all must outlive it.
struct ArticleServices {
    CQuillboxDoc* doc = nullptr;
    Settings* settings = nullptr;
    const Locale* locale = nullptr;
    Ui* ui = nullptr;
    Launcher* launcher = nullptr;
    const SteadyClock* clock = nullptr;
    ClipboardWriter* clipboard = nullptr;  // Copy is disabled without one
    QMainWindow* mainWindow = nullptr;     // its status bar shows the prompts
    // The main frame's keyword-pane width, shared by all article windows.
    std::function<int32_t()> keywordPaneWidth;
    // Sets that width and lays every article window out again.
    std::function<void(int32_t)> setKeywordPaneWidth;
    // Opens (or activates) the window of an article: article links.
    std::function<void(int32_t)> openArticle;
    std::function<void()> updateCommands;
    // The main frame's command action of an id (field menus); may be null.
    std::function<QAction*(int)> action;
};

class CArticleView : public QWidget {
    Q_OBJECT
public:
    // Reads article `id` and shows it (a failed read is reported by the
    // document and leaves the window with what was loaded).
    CArticleView(ArticleServices services, int32_t id, QWidget* parent = nullptr);
    ~CArticleView() override;

    int32_t ArticleId() const { return model_.id; }
    const ArticleViewModel& Model() const { return model_; }

    // ---- Commands
    // F5: the enabled attachments, asking above the limit.
    void OpenAttachments();
    // The first load's auto-open, by the article's mode and the preferences.
    void StartAutoOpen();
    // Opens attachment `index` of the article (the gallery, Properties).
    void OpenAttachmentAt(int index);
    // Open Attachment: the highlighted gallery item's attachment.
    void OpenHighlightedGalleryItem();
    int HighlightedGalleryAttachment() const;
    void ToggleGallery();
    bool GalleryShown() const { return galleryShown_; }
    int GalleryEdge() const { return galleryEdge_; }
    // Replaces both link flags of the content.
    void SetActiveLinksMode(int32_t mode);
    void SelectAll();
    // Edit > Copy: the selection of the focused field. The title and date
    // fields give their own text, the content its plain text and its RTF
    // with the formats kept. Enabled while that field has a selection and
    // the window is shown and not minimized.
    bool CanCopy() const;
    void Copy();
    // Stops the gallery's worker and drops the pending openings (closing).
    void Stop();

    // Lays the children out for the current size and keyword-pane width.
    void Relayout();
    const ArticleLayout& Layout() const { return layout_; }

    // Opens whatever the queue has due now and sets the timer for the
    // next one (the timer calls it; tests call it after moving their clock).
    void OpenDueAttachments();
    const AttachmentQueue& Queue() const { return queue_; }
    const QTimer& QueueTimer() const { return queueTimer_; }

    // The indicator's tooltip at `pos`, empty elsewhere.
    QString ToolTipAt(const QPoint& pos) const;

    // ---- Parts, for the frame, the commands and tests
    QLineEdit* TitleField() const { return title_; }
    QLineEdit* DateField() const { return date_; }
    QPushButton* DateButton() const { return dateButton_; }
    QTimeEdit* TimeField() const { return time_; }
    ArticleContent* Content() const { return content_; }
    QListWidget* Keywords() const { return keywords_; }
    ArticleGallery* Gallery() const { return gallery_; }

signals:
    // The gallery was shown or hidden: the frame's least size changes.
    void galleryToggled(bool shown);

protected:
    void resizeEvent(QResizeEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void BuildChildren();
    void Load();
    void RebuildGallery();
    void StartQueue(std::vector<CAttachment> attachments, std::chrono::milliseconds gap);
    void ShowStatus(const QString& text);
    void FollowLink(int index);
    void OpenRecognized(bool web, const QString& target);
    ArticleLayoutInput LayoutInput() const;
    // The field Copy takes its selection from (title, date or content), or
    // null when the focus is elsewhere.
    QWidget* CopySource() const;
    // A field's menu: the frame's Copy and Select All.
    void ShowFieldMenu(QWidget* field, const QPoint& pos);

    ArticleServices svc_;
    ArticleViewModel model_;
    TargetOpener opener_;
    AttachmentQueue queue_;
    QTimer queueTimer_;
    ArticleLayout layout_;
    bool galleryShown_ = false;
    int galleryEdge_ = 128;
    // Dragging the content/keyword boundary: where in it the press was.
    bool pumping_ = false;  // inside OpenDueAttachments
    bool dragging_ = false;
    int grabOffset_ = 0;

    QLineEdit* title_ = nullptr;
    QLineEdit* date_ = nullptr;
    QPushButton* dateButton_ = nullptr;
    QTimeEdit* time_ = nullptr;
    ArticleContent* content_ = nullptr;
    QListWidget* keywords_ = nullptr;
    ArticleGallery* gallery_ = nullptr;
};

}  // namespace qb
