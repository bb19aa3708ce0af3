#include "gui/article/article_gallery.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QIcon>
#include <QKeyEvent>
#include <QPixmap>
#include <algorithm>

#include "article/article_view_model.h"
#include "gui/article/gallery_thumbnailer.h"

namespace qb {

std::vector<GalleryItem> GalleryItemsFor(const std::vector<AttachmentView>& attachments) {
    std::vector<GalleryItem> items;
    for (size_t i = 0; i < attachments.size(); ++i) {
        const AttachmentView& a = attachments[i];
        if (!a.inGallery) continue;
        GalleryItem item;
        item.attachmentIndex = int(i);
        item.label = QString::fromStdString(a.galleryLabel);
        item.target = QString::fromStdString(a.TargetText());
        switch (a.kind) {
            case 2:
                item.kind = GalleryItem::Kind::Web;
                break;
            case 3:
                item.kind = GalleryItem::Kind::Article;
                break;
            case 1:
                if (a.resolved.linux && QFileInfo(item.target).isDir())
                    item.kind = GalleryItem::Kind::Folder;
                break;
            default:
                break;
        }
        items.push_back(std::move(item));
    }
    return items;
}

int GalleryEdgeFor(int32_t galleryImageSize) {
    switch (galleryImageSize) {
        case 0:
            return 64;
        case 2:
            return 192;
        default:
            return 128;
    }
}

ArticleGallery::ArticleGallery(QWidget* parent) : QListWidget(parent) {
    setViewMode(QListView::IconMode);
    setMovement(QListView::Static);
    setResizeMode(QListView::Adjust);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragDropMode(QAbstractItemView::NoDragDrop);
    setUniformItemSizes(true);
    setWordWrap(false);
    setTextElideMode(Qt::ElideMiddle);
    setIconSize(QSize(edge_, edge_));
    // Only a double-click opens: `activated` would also fire on a single
    // click under styles that activate on one.
    connect(this, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        if (item) emit openAttachment(item->data(Qt::UserRole).toInt());
    });
}

ArticleGallery::~ArticleGallery() {
    Stop();
}

void ArticleGallery::Stop() {
    if (worker_.joinable()) {
        worker_.request_stop();
        worker_.join();
    }
    worker_ = std::jthread();
    // The worker has ended, so nothing more can be queued; what is still
    // queued is freed here rather than shown.
    QCoreApplication::removePostedEvents(&inbox_, QEvent::MetaCall);
    ++generation_;
    running_ = false;
}

void ArticleGallery::Rebuild(std::vector<GalleryItem> items, int edge) {
    Stop();
    clear();
    edge_ = std::clamp(edge, kMinEdge, kMaxEdge);
    setIconSize(QSize(edge_, edge_));
    // Room for the label below the icon, which is elided rather than wrapped.
    setGridSize(QSize(edge_ + 32, edge_ + fontMetrics().height() + 12));
    for (const GalleryItem& g : items) {
        auto* item = new QListWidgetItem(g.label, this);
        item->setData(Qt::UserRole, g.attachmentIndex);
    }
    if (items.empty()) return;

    const uint64_t generation = generation_;
    const int edge_px = edge_;
    QObject* inbox = &inbox_;
    running_ = true;
    // The worker touches no widget: it only queues calls to `inbox_`, which
    // run on the GUI thread, and Stop() joins it before anything it could
    // reach goes away.
    worker_ = std::jthread(
        [this, inbox, generation, edge_px, items = std::move(items)](std::stop_token stop) mutable {
            GalleryThumbnailer thumbnailer(std::move(items), edge_px);
            thumbnailer.Run(
                stop,
                [this, inbox, generation](int row, Thumbnail thumbnail) {
                    QMetaObject::invokeMethod(
                        inbox,
                        [this, generation, row, thumbnail = std::move(thumbnail)] {
                            Arrive(generation, row, thumbnail);
                        },
                        Qt::QueuedConnection);
                },
                [this, inbox, generation] {
                    QMetaObject::invokeMethod(
                        inbox, [this, generation] { Finish(generation); }, Qt::QueuedConnection);
                });
        });
}

bool ArticleGallery::Running() const {
    return running_;
}

void ArticleGallery::Arrive(uint64_t generation, int row, const Thumbnail& thumbnail) {
    if (generation != generation_) return;
    QListWidgetItem* target = item(row);
    if (!target) return;
    ImageSource source = thumbnail.source;
    QIcon icon;
    // The icon theme may only be asked on this thread.
    for (const QString& name : thumbnail.iconNames) {
        icon = QIcon::fromTheme(name);
        if (!icon.isNull()) break;
    }
    if (icon.isNull()) {
        if (source == ImageSource::TypeIcon) source = ImageSource::Default;
        if (!thumbnail.image.isNull()) icon = QIcon(QPixmap::fromImage(thumbnail.image));
    }
    target->setIcon(icon);
    target->setData(kImageRole, int(source));
}

void ArticleGallery::Finish(uint64_t generation) {
    if (generation != generation_) return;
    running_ = false;
    // The worker queued this as its last act; joining is immediate.
    if (worker_.joinable()) worker_.join();
    worker_ = std::jthread();
    emit thumbnailsFinished();
}

int ArticleGallery::HighlightedAttachment() const {
    QListWidgetItem* item = currentItem();
    return item && item->isSelected() ? item->data(Qt::UserRole).toInt() : -1;
}

void ArticleGallery::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        const int attachment = HighlightedAttachment();
        if (attachment >= 0) {
            emit openAttachment(attachment);
            event->accept();
            return;
        }
    }
    QListWidget::keyPressEvent(event);
}

}  // namespace qb
