#include "gui/article/article_frame.h"

#include <QCloseEvent>
#include <QStyle>

#include "app/help_guide.h"
#include "article/article_layout.h"
#include "gui/app/help_window.h"

namespace qb {

CArticleFrame::CArticleFrame(ArticleServices services, int32_t id,
                             std::function<void(int, int)> rememberSize, QWidget* parent)
    : QMdiSubWindow(parent), rememberSize_(std::move(rememberSize)) {
    setObjectName("CArticleFrame");
    setProperty(kHelpPageProperty, QString(help::kArticles));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(style()->standardIcon(QStyle::SP_FileIcon));
    view_ = new CArticleView(std::move(services), id, this);
    setWidget(view_);
    setWindowTitle(CaptionFor(view_->Model().caption));
    connect(view_, &CArticleView::galleryToggled, this, [this] { ApplyMinimumSize(); });
    ApplyMinimumSize();
}

CArticleFrame::~CArticleFrame() = default;

QString CArticleFrame::CaptionFor(const std::string& title) {
    // Qt takes "[*]" in a caption as the modified mark; doubled it shows as written.
    QString caption = QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size()));
    caption.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
    return caption;
}

void CArticleFrame::ApplyMinimumSize() {
    Size least = ArticleMinimumSize(view_->GalleryShown(), view_->GalleryEdge());
    setMinimumSize(least.width, least.height);
}

void CArticleFrame::showEvent(QShowEvent* e) {
    QMdiSubWindow::showEvent(e);
    shown_ = true;
}

void CArticleFrame::resizeEvent(QResizeEvent* e) {
    QMdiSubWindow::resizeEvent(e);
    // Sizes Qt gives a frame before it is on screen are not the person's.
    if (!shown_ || isMinimized() || isMaximized()) return;
    if (rememberSize_) rememberSize_(width(), height());
}

void CArticleFrame::closeEvent(QCloseEvent* e) {
    // Nothing in an article window is ever modified, so it may always close.
    view_->Stop();
    QMdiSubWindow::closeEvent(e);
}

}  // namespace qb
