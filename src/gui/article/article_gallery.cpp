#include "gui/article/article_gallery.h"

namespace qb {

std::vector<GalleryItem> GalleryItemsFor(const std::vector<AttachmentView>&) {
    return {};
}

int GalleryEdgeFor(int32_t) {
    return 128;
}

ArticleGallery::ArticleGallery(QWidget* parent) : QListWidget(parent) {
    setViewMode(QListView::IconMode);
}

ArticleGallery::~ArticleGallery() = default;

void ArticleGallery::Rebuild(std::vector<GalleryItem>, int edge) {
    clear();
    edge_ = edge;
}

void ArticleGallery::Stop() {}

bool ArticleGallery::Running() const {
    return false;
}

int ArticleGallery::HighlightedAttachment() const {
    QListWidgetItem* item = currentItem();
    return item ? item->data(Qt::UserRole).toInt() : -1;
}

}  // namespace qb
