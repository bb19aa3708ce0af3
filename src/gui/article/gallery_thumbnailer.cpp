#include "gui/article/gallery_thumbnailer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QByteArray>
#include <QIODevice>
#include <QImageReader>
#include <QMimeDatabase>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <memory>
#include <new>

namespace qb {

namespace {

// A regular file read through its descriptor, never past the size it had
// when it was opened (nor past the cap), and failing every read once a stop
// is requested, so that a decoder working on it gives up early.
class BoundedFile : public QIODevice {
public:
    BoundedFile(int fd, int64_t size, std::stop_token stop)
        : fd_(fd), size_(size), stop_(std::move(stop)) {}
    ~BoundedFile() override {
        QIODevice::close();
        ::close(fd_);
    }

    bool isSequential() const override { return false; }
    qint64 size() const override { return size_; }
    bool seek(qint64 pos) override {
        if (pos < 0 || pos > size_ || !QIODevice::seek(pos)) return false;
        offset_ = pos;
        return true;
    }

protected:
    qint64 readData(char* data, qint64 max) override {
        if (stop_.stop_requested()) {
            setErrorString(QStringLiteral("stopped"));
            return -1;
        }
        const qint64 want = std::min<qint64>(max, size_ - offset_);
        if (want <= 0) return 0;
        ssize_t got;
        do {
            got = ::pread(fd_, data, size_t(want), off_t(offset_));
        } while (got < 0 && errno == EINTR);
        if (got < 0) return -1;
        offset_ += got;
        return got;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    int fd_;
    int64_t size_;
    int64_t offset_ = 0;
    std::stop_token stop_;
};

// Opens `path` only when it is a regular file. O_NONBLOCK keeps a FIFO put
// there after the caller's check from blocking the open; the type is
// checked again on the descriptor itself. `size` gets the file's real size;
// the device reads at most `cap` bytes of it.
std::unique_ptr<BoundedFile> OpenRegular(const QString& path, int64_t cap, std::stop_token stop,
                                         int64_t& size) {
    const QByteArray native = path.toLocal8Bit();
    if (native.isEmpty()) return nullptr;
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    size = st.st_size;
    auto file =
        std::make_unique<BoundedFile>(fd, std::min<int64_t>(st.st_size, cap), std::move(stop));
    // Unbuffered: every read goes to readData, which tracks the offset.
    if (!file->open(QIODevice::ReadOnly | QIODevice::Unbuffered)) return nullptr;
    return file;
}

QImage Canvas(int edge) {
    QImage image(edge, edge, QImage::Format_ARGB32_Premultiplied);
    if (!image.isNull()) image.fill(Qt::transparent);
    return image;
}

// The theme names of a file type's icon, best first.
QStringList IconNamesOf(const QMimeType& type) {
    QStringList names;
    if (!type.isValid()) return names;
    if (!type.iconName().isEmpty()) names << type.iconName();
    if (!type.genericIconName().isEmpty()) names << type.genericIconName();
    return names;
}

// The type of something that exists but is no regular file; its contents
// are never read.
QString SpecialFileType(mode_t mode) {
    if (S_ISCHR(mode)) return QStringLiteral("inode/chardevice");
    if (S_ISBLK(mode)) return QStringLiteral("inode/blockdevice");
    if (S_ISFIFO(mode)) return QStringLiteral("inode/fifo");
    if (S_ISSOCK(mode)) return QStringLiteral("inode/socket");
    return QStringLiteral("application/octet-stream");
}

}  // namespace

QImage DrawWebImage(int edge) {
    QImage image = Canvas(edge);
    if (image.isNull()) return image;
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal m = edge * 0.08;
    const QRectF globe(m, m, edge - 2 * m, edge - 2 * m);
    p.setPen(QPen(QColor(0x1f, 0x4e, 0x8c), std::max<qreal>(1, edge / 48.0)));
    p.setBrush(QColor(0x4a, 0x90, 0xd9));
    p.drawEllipse(globe);
    // Meridians and parallels.
    p.setPen(QPen(QColor(0xe8, 0xf1, 0xfb), std::max<qreal>(1, edge / 64.0)));
    p.setBrush(Qt::NoBrush);
    const QPointF c = globe.center();
    const qreal r = globe.width() / 2;
    for (qreal f : {0.35, 0.7})
        p.drawEllipse(c, r * f, r);
    p.drawLine(QPointF(c.x(), globe.top()), QPointF(c.x(), globe.bottom()));
    p.drawLine(QPointF(globe.left(), c.y()), QPointF(globe.right(), c.y()));
    for (qreal f : {-0.55, 0.55}) {
        const qreal y = c.y() + r * f;
        const qreal half = r * std::sqrt(1 - f * f);
        p.drawLine(QPointF(c.x() - half, y), QPointF(c.x() + half, y));
    }
    return image;
}

QImage DrawFolderImage(int edge) {
    QImage image = Canvas(edge);
    if (image.isNull()) return image;
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal e = edge;
    const QColor outline(0x9c, 0x6e, 0x12);
    p.setPen(QPen(outline, std::max<qreal>(1, e / 64.0)));
    // The tab, then the body in front of it.
    QPainterPath tab;
    tab.moveTo(e * 0.08, e * 0.28);
    tab.lineTo(e * 0.08, e * 0.2);
    tab.lineTo(e * 0.38, e * 0.2);
    tab.lineTo(e * 0.46, e * 0.28);
    tab.closeSubpath();
    p.setBrush(QColor(0xe0, 0xa8, 0x30));
    p.drawPath(tab);
    p.setBrush(QColor(0xf6, 0xc8, 0x5a));
    p.drawRoundedRect(QRectF(e * 0.08, e * 0.28, e * 0.84, e * 0.56), e * 0.04, e * 0.04);
    return image;
}

QImage DrawDefaultImage(int edge) {
    QImage image = Canvas(edge);
    if (image.isNull()) return image;
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal e = edge;
    const qreal left = e * 0.2, right = e * 0.8, top = e * 0.08, bottom = e * 0.92;
    const qreal fold = e * 0.18;
    // A page with its top right corner folded down.
    QPainterPath page;
    page.moveTo(left, top);
    page.lineTo(right - fold, top);
    page.lineTo(right, top + fold);
    page.lineTo(right, bottom);
    page.lineTo(left, bottom);
    page.closeSubpath();
    p.setPen(QPen(QColor(0x70, 0x70, 0x70), std::max<qreal>(1, e / 64.0)));
    p.setBrush(Qt::white);
    p.drawPath(page);
    QPainterPath corner;
    corner.moveTo(right - fold, top);
    corner.lineTo(right - fold, top + fold);
    corner.lineTo(right, top + fold);
    p.setBrush(QColor(0xd8, 0xd8, 0xd8));
    p.drawPath(corner);
    p.setPen(QPen(QColor(0xb0, 0xb0, 0xb0), std::max<qreal>(1, e / 48.0)));
    for (qreal y = top + fold + e * 0.1; y < bottom - e * 0.06; y += e * 0.1)
        p.drawLine(QPointF(left + e * 0.08, y), QPointF(right - e * 0.08, y));
    return image;
}

QImage DecodeThumbnail(const QString& path, int edge, std::stop_token stop,
                       const ThumbnailLimits& limits) {
    if (edge <= 0) return {};
    int64_t size = 0;
    std::unique_ptr<BoundedFile> file = OpenRegular(path, limits.maxFileBytes, stop, size);
    if (!file || size > limits.maxFileBytes) return {};
    QImageReader reader(file.get());
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    // The header's size decides whether to decode at all: a format that
    // cannot tell it without decoding, or a picture of absurd size, is
    // refused rather than decoded in full.
    const QSize full = reader.size();
    if (!full.isValid() || full.width() > limits.maxSide || full.height() > limits.maxSide ||
        int64_t(full.width()) * full.height() > limits.maxPixels)
        return {};
    QSize fitted = full.scaled(edge, edge, Qt::KeepAspectRatio);
    fitted = fitted.expandedTo(QSize(1, 1));
    reader.setScaledSize(fitted);
    QImage image = reader.read();
    if (stop.stop_requested()) return {};
    return image;
}

GalleryThumbnailer::GalleryThumbnailer(std::vector<GalleryItem> items, int edge,
                                       ThumbnailLimits limits)
    : items_(std::move(items)), edge_(edge), limits_(limits) {}

Thumbnail GalleryThumbnailer::TypeIconFor(const QString& path, std::stop_token stop) {
    Thumbnail t;
    if (default_.isNull()) default_ = DrawDefaultImage(edge_);
    t.source = ArticleGallery::ImageSource::TypeIcon;
    t.image = default_;
    const QMimeDatabase types;
    struct stat st;
    const QByteArray native = path.toLocal8Bit();
    if (::stat(native.constData(), &st) == 0 && !S_ISREG(st.st_mode)) {
        t.iconNames = IconNamesOf(types.mimeTypeForName(SpecialFileType(st.st_mode)));
        return t;
    }
    int64_t size = 0;
    std::unique_ptr<BoundedFile> file = OpenRegular(path, limits_.maxFileBytes, stop, size);
    // Without read permission the name is all there is to go by.
    const QMimeType type = file ? types.mimeTypeForFileNameAndData(path, file.get())
                                : types.mimeTypeForFile(path, QMimeDatabase::MatchExtension);
    t.iconNames = IconNamesOf(type);
    return t;
}

Thumbnail GalleryThumbnailer::Make(const GalleryItem& item, std::stop_token stop) {
    using Source = ArticleGallery::ImageSource;
    Thumbnail t;
    switch (item.kind) {
        case GalleryItem::Kind::Web:
            if (web_.isNull()) web_ = DrawWebImage(edge_);
            t.source = Source::Web;
            t.image = web_;
            return t;
        case GalleryItem::Kind::Folder:
            if (folder_.isNull()) folder_ = DrawFolderImage(edge_);
            t.source = Source::Folder;
            t.image = folder_;
            return t;
        case GalleryItem::Kind::Article:
            break;
        case GalleryItem::Kind::File: {
            struct stat st;
            const QByteArray native = item.target.toLocal8Bit();
            if (native.isEmpty() || ::stat(native.constData(), &st) != 0) break;
            if (S_ISDIR(st.st_mode)) {
                if (folder_.isNull()) folder_ = DrawFolderImage(edge_);
                t.source = Source::Folder;
                t.image = folder_;
                return t;
            }
            if (S_ISREG(st.st_mode)) {
                t.image = DecodeThumbnail(item.target, edge_, stop, limits_);
                if (!t.image.isNull()) {
                    t.source = Source::Decoded;
                    return t;
                }
            }
            return TypeIconFor(item.target, stop);
        }
    }
    if (default_.isNull()) default_ = DrawDefaultImage(edge_);
    t.source = Source::Default;
    t.image = default_;
    return t;
}

void GalleryThumbnailer::Run(std::stop_token stop, const Deliver& deliver,
                             const std::function<void()>& finished) {
    try {
        for (size_t row = 0; row < items_.size(); ++row) {
            if (stop.stop_requested()) return;
            Thumbnail t = Make(items_[row], stop);
            if (stop.stop_requested()) return;
            deliver(int(row), std::move(t));
        }
    } catch (const std::bad_alloc&) {
        // Out of memory: the items made so far stay.
    }
    if (!stop.stop_requested()) finished();
}

}  // namespace qb
