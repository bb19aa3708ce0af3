// CArticleFrame: the MDI child around one CArticleView. Its caption is the
// whole title; its least size follows the gallery strip; a normal-sized
// frame hands its outer size to the main frame for the next new window;
// closing stops the view's gallery worker and its pending openings.
#pragma once

#include <QMdiSubWindow>
#include <functional>

#include "gui/article/article_view.h"

namespace qb {

class CArticleFrame : public QMdiSubWindow {
    Q_OBJECT
public:
    // `rememberSize` gets the outer size whenever the frame is sized to a
    // normal state once it is on screen.
    CArticleFrame(ArticleServices services, int32_t id, std::function<void(int, int)> rememberSize,
                  QWidget* parent = nullptr);
    ~CArticleFrame() override;

    CArticleView* View() const { return view_; }
    int32_t ArticleId() const { return view_->ArticleId(); }

    // The caption as Qt shows it: the title exactly, "[*]" included.
    static QString CaptionFor(const std::string& title);

protected:
    void resizeEvent(QResizeEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void ApplyMinimumSize();

    CArticleView* view_ = nullptr;
    std::function<void(int, int)> rememberSize_;
    bool shown_ = false;
};

}  // namespace qb
