// ArticleGallery: the strip of attachment thumbnails across the bottom of
// an article window. Thumbnails are made on a worker thread (as QImage, the
// only image type safe off the GUI thread) and handed over by queued
// signals; rebuilding or closing stops the worker and drops what it still
// had on the way, so nothing is left behind.
#pragma once

#include <QListWidget>
#include <QObject>
#include <QString>
#include <cstdint>
#include <thread>
#include <vector>

namespace qb {

struct AttachmentView;
struct Thumbnail;

// One attachment as the gallery shows it.
struct GalleryItem {
    int attachmentIndex = 0;  // into the article's attachments
    QString label;            // the address, or the file name
    QString target;           // the address, or the resolved Linux path
    enum class Kind { File, Folder, Web, Article } kind = Kind::File;
};

// The items of the attachments whose gallery flag is clear, in stored order.
std::vector<GalleryItem> GalleryItemsFor(const std::vector<AttachmentView>& attachments);
// The thumbnail edge for the `GalleryImageSize` preference: 0 small (64),
// 2 large (192), anything else medium (128).
int GalleryEdgeFor(int32_t galleryImageSize);

class ArticleGallery : public QListWidget {
    Q_OBJECT
public:
    // What an item's icon shows, kept in its data under kImageRole once its
    // thumbnail has arrived (no data before).
    enum class ImageSource { Decoded, Web, Folder, TypeIcon, Default };
    static constexpr int kImageRole = Qt::UserRole + 1;
    // Edges outside these bounds are brought within them.
    static constexpr int kMinEdge = 16;
    static constexpr int kMaxEdge = 256;

    explicit ArticleGallery(QWidget* parent = nullptr);
    // Stops the worker and waits for it.
    ~ArticleGallery() override;

    // Stops a running worker, drops its queued thumbnails and clears the
    // list; then starts a worker making `items` at `edge` pixels.
    void Rebuild(std::vector<GalleryItem> items, int edge);
    // Stops the worker and drops its queued thumbnails (the window closes).
    void Stop();
    // True from a Rebuild with items until the last thumbnail has arrived
    // or the worker is stopped.
    bool Running() const;
    int Edge() const { return edge_; }

    // The attachment index of the highlighted item, or -1.
    int HighlightedAttachment() const;

signals:
    // Enter or a double-click on an item.
    void openAttachment(int attachmentIndex);
    // The worker has delivered every thumbnail of the last Rebuild.
    void thumbnailsFinished();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Arrive(uint64_t generation, int row, const Thumbnail& thumbnail);
    void Finish(uint64_t generation);

    int edge_ = 128;
    bool running_ = false;
    // Bumped whenever the thumbnails on the way become stale.
    uint64_t generation_ = 0;
    // The worker's results are queued to this object alone, so stopping can
    // drop exactly them; declared before the worker so that it outlives it.
    QObject inbox_;
    std::jthread worker_;
};

}  // namespace qb
