#include "index/index_placeholder.h"

#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QVBoxLayout>

#include "app/reader_app.h"
#include "datafile/cp1252.h"
#include "datafile/quill_error.h"
#include "document/quillbox_doc.h"

namespace qb {

CIndexPlaceholder::CIndexPlaceholder(CQuillboxDoc& doc, QWidget* parent)
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

CIndexPlaceholder::~CIndexPlaceholder() {
    if (doc_.GetIndexWindow() == this) doc_.SetIndexWindow(nullptr);
}

int32_t CIndexPlaceholder::Dispatch(int code, int32_t, int32_t) {
    received_.push_back(code);
    if (code == dispatch::kInitialUpdate || code == dispatch::kPrivateShownOrHidden) Refresh();
    return 0;
}

void CIndexPlaceholder::Refresh() {
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

QMdiSubWindow* CreatePlaceholderIndexFrame(CQuillboxDoc& doc, QMdiArea& mdi) {
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

void InstallIndexPlaceholder(ReaderApp& app) {
    app.SetIndexFrameFactory(&CreatePlaceholderIndexFrame);
}

}  // namespace qb
