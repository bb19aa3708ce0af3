// Making gallery thumbnails off the GUI thread. Everything here is safe on
// any thread: it uses only QImage, QPainter on a QImage, QImageReader and
// QMimeDatabase, never a widget, a pixmap or the icon theme. Theme icons are
// only named here; the GUI thread looks them up.
#pragma once

#include <QImage>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <stop_token>
#include <vector>

#include "gui/article/article_gallery.h"

namespace qb {

// What the thumbnailer may read and decode. A target is hostile until shown
// otherwise: only regular files are read, never more than `maxFileBytes` of
// them, and an image is decoded only when its header gives a size within
// the limits (the decoder then scales while decoding where the format can).
struct ThumbnailLimits {
    int64_t maxFileBytes = 64 * 1024 * 1024;
    int maxSide = 32768;
    int64_t maxPixels = int64_t(128) * 1024 * 1024;
};

struct Thumbnail {
    ArticleGallery::ImageSource source = ArticleGallery::ImageSource::Default;
    // The decoded or drawn image; for TypeIcon the default image, which the
    // GUI thread keeps when the theme has none of `iconNames`.
    QImage image;
    QStringList iconNames;  // TypeIcon only: theme icon names, best first
};

// The program's own pictures, drawn at `edge` x `edge` pixels.
QImage DrawWebImage(int edge);
QImage DrawFolderImage(int edge);
QImage DrawDefaultImage(int edge);

// The image in the file at `path`, scaled to fit `edge` x `edge` with its
// aspect kept; null when the file is not a regular file, is too large, has
// no known or an absurd size, cannot be decoded, or `stop` was requested
// (the read fails as soon as it is).
QImage DecodeThumbnail(const QString& path, int edge, std::stop_token stop,
                       const ThumbnailLimits& limits = {});

// The thumbnails of one gallery, in order. `deliver` and `finished` are
// called on the thread that runs Run(); they hand the results over.
class GalleryThumbnailer {
public:
    using Deliver = std::function<void(int row, Thumbnail thumbnail)>;

    GalleryThumbnailer(std::vector<GalleryItem> items, int edge, ThumbnailLimits limits = {});

    // One thumbnail for `item` (web, folder, decoded file, type icon or
    // default image).
    Thumbnail Make(const GalleryItem& item, std::stop_token stop);

    // Makes every item's thumbnail in order, checking `stop` between items
    // and while reading. `finished` is called at the end unless stopped; an
    // allocation failure ends the run early, keeping what was delivered.
    void Run(std::stop_token stop, const Deliver& deliver, const std::function<void()>& finished);

private:
    Thumbnail TypeIconFor(const QString& path, std::stop_token stop);

    std::vector<GalleryItem> items_;
    int edge_;
    ThumbnailLimits limits_;
    // Drawn once per run, on first use.
    QImage web_, folder_, default_;
};

}  // namespace qb
