// The attachment gallery: which attachments it shows, the thumbnails its
// worker makes (hostile targets included), and the worker's life across
// rebuilds, stops and the widget's destruction.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "article/article_view_model.h"
#include "gui/article/article_gallery.h"
#include "gui/article/gallery_thumbnailer.h"
#include "support/temp_files.h"

namespace qb {
namespace {

using testing::TempDir;
using Source = ArticleGallery::ImageSource;

void EnsureApp() {
    static int argc = 1;
    static char name[] = "test_gui_article";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) new QApplication(argc, argv);
}

// Runs the event loop until `done` holds; false after `ms` (a hang guard,
// not a speed check).
bool WaitFor(const std::function<bool()>& done, int ms = 60000) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > ms) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
    return true;
}

// Runs `f` on a thread; false when it has not returned within `ms`, in
// which case the FIFO at `fifo` is opened for writing and closed again to
// release a reader stuck on it, so that a fault fails the test instead of
// hanging it.
bool ReturnsDespiteFifo(const std::function<void()>& f, const std::string& fifo, int ms = 10000) {
    std::packaged_task<void()> task(f);
    std::future<void> done = task.get_future();
    std::thread runner(std::move(task));
    const bool returned = done.wait_for(std::chrono::milliseconds(ms)) == std::future_status::ready;
    if (!returned) {
        const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
        if (fd >= 0) ::close(fd);
    }
    runner.join();
    return returned;
}

QString WritePng(const TempDir& dir, const std::string& name, int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(QColor(40, 120, 200));
    const QString path = QString::fromStdString(dir / name);
    EXPECT_TRUE(image.save(path, "PNG"));
    return path;
}

GalleryItem FileItem(const QString& path, int index = 0) {
    GalleryItem item;
    item.attachmentIndex = index;
    item.label = path.section('/', -1);
    item.target = path;
    return item;
}

GalleryItem WebItem(int index) {
    GalleryItem item;
    item.attachmentIndex = index;
    item.label = item.target = QStringLiteral("https://example.org/");
    item.kind = GalleryItem::Kind::Web;
    return item;
}

Thumbnail MakeOne(const GalleryItem& item, int edge, ThumbnailLimits limits = {}) {
    GalleryThumbnailer thumbnailer({}, edge, limits);
    return thumbnailer.Make(item, std::stop_token());
}

// A BMP header that claims `w` x `h` pixels and carries none of them.
std::string BmpHeader(int32_t w, int32_t h) {
    std::string b(54, '\0');
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b[at + size_t(i)] = char((v >> (8 * i)) & 0xFF);
    };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, 54);
    put32(10, 54);
    put32(14, 40);
    put32(18, uint32_t(w));
    put32(22, uint32_t(h));
    b[26] = 1;   // planes
    b[28] = 24;  // bits per pixel
    return b;
}

int ItemsWithThumbnails(const ArticleGallery& g) {
    int n = 0;
    for (int r = 0; r < g.count(); ++r)
        if (g.item(r)->data(ArticleGallery::kImageRole).isValid()) ++n;
    return n;
}

Source SourceOf(const ArticleGallery& g, int row) {
    return Source(g.item(row)->data(ArticleGallery::kImageRole).toInt());
}

TEST(GalleryChoice, EdgeFollowsThePreference) {
    EXPECT_EQ(GalleryEdgeFor(0), 64);
    EXPECT_EQ(GalleryEdgeFor(1), 128);
    EXPECT_EQ(GalleryEdgeFor(2), 192);
    EXPECT_EQ(GalleryEdgeFor(7), 128);
    EXPECT_EQ(GalleryEdgeFor(-1), 128);
}

TEST(GalleryChoice, ItemsSkipFlaggedAttachmentsKeepOrderAndTellKinds) {
    TempDir dir;
    const std::string folder = dir / "pictures";
    ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
    const std::string file = dir.Write("a.txt", "x");

    std::vector<AttachmentView> atts(6);
    atts[0].kind = 2;
    atts[0].stored = atts[0].galleryLabel = "http://example.org/";
    atts[1].kind = 1;  // left out of the gallery
    atts[1].inGallery = false;
    atts[1].galleryLabel = "hidden.png";
    atts[2].kind = 1;
    atts[2].stored = "C:\\data\\pictures";
    atts[2].galleryLabel = "pictures";
    atts[2].resolved.linux = folder;
    atts[3].kind = 1;
    atts[3].galleryLabel = "a.txt";
    atts[3].resolved.linux = file;
    atts[4].kind = 1;  // unmapped: only the Windows form, which is no folder here
    atts[4].resolved.windows = "D:\\gone";
    atts[4].galleryLabel = "gone";
    atts[5].kind = 3;
    atts[5].galleryLabel = "";

    std::vector<GalleryItem> items = GalleryItemsFor(atts);
    ASSERT_EQ(items.size(), 5u);
    EXPECT_EQ(items[0].attachmentIndex, 0);
    EXPECT_EQ(items[0].kind, GalleryItem::Kind::Web);
    EXPECT_EQ(items[0].target, QStringLiteral("http://example.org/"));
    EXPECT_EQ(items[1].attachmentIndex, 2);
    EXPECT_EQ(items[1].kind, GalleryItem::Kind::Folder);
    EXPECT_EQ(items[1].label, QStringLiteral("pictures"));
    EXPECT_EQ(items[1].target, QString::fromStdString(folder));
    EXPECT_EQ(items[2].attachmentIndex, 3);
    EXPECT_EQ(items[2].kind, GalleryItem::Kind::File);
    EXPECT_EQ(items[3].attachmentIndex, 4);
    EXPECT_EQ(items[3].kind, GalleryItem::Kind::File);
    EXPECT_EQ(items[3].target, QStringLiteral("D:\\gone"));
    EXPECT_EQ(items[4].attachmentIndex, 5);
    EXPECT_EQ(items[4].kind, GalleryItem::Kind::Article);
}

TEST(GalleryPictures, DrawnImagesFillTheEdgeAndDiffer) {
    for (int edge : {64, 192}) {
        const QImage web = DrawWebImage(edge), folder = DrawFolderImage(edge),
                     other = DrawDefaultImage(edge);
        for (const QImage* image : {&web, &folder, &other}) {
            ASSERT_EQ(image->size(), QSize(edge, edge));
            EXPECT_NE(image->pixel(edge / 2, edge / 2), 0u) << "nothing drawn in the middle";
        }
        EXPECT_NE(web, folder);
        EXPECT_NE(folder, other);
        EXPECT_NE(web, other);
    }
}

TEST(GalleryThumbnails, PicturesAreScaledToFitTheEdgeWithTheirAspect) {
    EnsureApp();
    TempDir dir;
    const QString wide = WritePng(dir, "wide.png", 300, 150);
    const QString tall = WritePng(dir, "tall.png", 50, 200);
    const QString small = WritePng(dir, "small.png", 10, 20);
    // Named for another type: the content decides.
    const QString misnamed = WritePng(dir, "really_png.txt", 40, 40);

    Thumbnail t = MakeOne(FileItem(wide), 128);
    EXPECT_EQ(t.source, Source::Decoded);
    EXPECT_EQ(t.image.size(), QSize(128, 64));
    EXPECT_EQ(QColor(t.image.pixel(10, 10)), QColor(40, 120, 200));
    EXPECT_EQ(MakeOne(FileItem(tall), 64).image.size(), QSize(16, 64));
    EXPECT_EQ(MakeOne(FileItem(small), 128).image.size(), QSize(64, 128));
    EXPECT_EQ(MakeOne(FileItem(misnamed), 64).source, Source::Decoded);
}

TEST(GalleryThumbnails, EveryOtherTargetGetsItsStandIn) {
    EnsureApp();
    TempDir dir;
    const QString broken = QString::fromStdString(dir.Write("broken.png", "\x89PNG\r\n garbage"));
    const QString text = QString::fromStdString(dir.Write("notes.txt", "plain words\n"));
    GalleryItem folder;
    folder.kind = GalleryItem::Kind::Folder;
    folder.target = QString::fromStdString(dir.Path());
    GalleryItem article;
    article.kind = GalleryItem::Kind::Article;

    Thumbnail web = MakeOne(WebItem(0), 64);
    EXPECT_EQ(web.source, Source::Web);
    EXPECT_EQ(web.image, DrawWebImage(64));
    EXPECT_EQ(MakeOne(folder, 64).image, DrawFolderImage(64));
    EXPECT_EQ(MakeOne(article, 64).source, Source::Default);

    // A file target that turns out to be a folder shows as one.
    EXPECT_EQ(MakeOne(FileItem(folder.target), 64).source, Source::Folder);

    Thumbnail missing = MakeOne(FileItem(QString::fromStdString(dir / "nothing.png")), 64);
    EXPECT_EQ(missing.source, Source::Default);
    EXPECT_EQ(missing.image, DrawDefaultImage(64));
    EXPECT_EQ(MakeOne(FileItem(QString()), 64).source, Source::Default);

    // Existing files that are no picture get their type's icon, with the
    // default image for when the theme has none.
    for (const QString& path : {broken, text}) {
        Thumbnail t = MakeOne(FileItem(path), 64);
        EXPECT_EQ(t.source, Source::TypeIcon) << path.toStdString();
        EXPECT_FALSE(t.iconNames.isEmpty()) << path.toStdString();
        EXPECT_EQ(t.image, DrawDefaultImage(64));
    }
    EXPECT_TRUE(MakeOne(FileItem(text), 64).iconNames.contains(QStringLiteral("text-plain")));
}

TEST(GalleryThumbnails, HostileTargetsAreNeverReadAsPictures) {
    EnsureApp();
    TempDir dir;
    // A FIFO without a writer: a blocking open or read would never return.
    const std::string fifo = dir / "pipe.png";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    QImage fromFifo;
    EXPECT_TRUE(ReturnsDespiteFifo(
        [&] { fromFifo = DecodeThumbnail(QString::fromStdString(fifo), 64, {}); }, fifo));
    EXPECT_TRUE(fromFifo.isNull());
    Thumbnail t;
    EXPECT_TRUE(
        ReturnsDespiteFifo([&] { t = MakeOne(FileItem(QString::fromStdString(fifo)), 64); }, fifo));
    EXPECT_EQ(t.source, Source::TypeIcon);
    EXPECT_FALSE(t.iconNames.isEmpty());

    // Device files are endless or blocking; they are not even opened.
    for (const char* device : {"/dev/zero", "/dev/urandom"}) {
        EXPECT_TRUE(DecodeThumbnail(device, 64, {}).isNull()) << device;
        EXPECT_EQ(MakeOne(FileItem(device), 64).source, Source::TypeIcon) << device;
    }

    // A header claiming 100000 x 100000 pixels is refused before decoding.
    const QString huge = QString::fromStdString(dir.Write("huge.bmp", BmpHeader(100000, 100000)));
    EXPECT_TRUE(DecodeThumbnail(huge, 64, {}).isNull());
    EXPECT_EQ(MakeOne(FileItem(huge), 64).source, Source::TypeIcon);

    // The limits hold for pictures that are otherwise fine.
    const QString png = WritePng(dir, "fine.png", 200, 100);
    ThumbnailLimits fewBytes;
    fewBytes.maxFileBytes = 64;
    EXPECT_TRUE(DecodeThumbnail(png, 64, {}, fewBytes).isNull());
    ThumbnailLimits fewPixels;
    fewPixels.maxPixels = 200 * 100 - 1;
    EXPECT_TRUE(DecodeThumbnail(png, 64, {}, fewPixels).isNull());
    ThumbnailLimits narrow;
    narrow.maxSide = 199;
    EXPECT_TRUE(DecodeThumbnail(png, 64, {}, narrow).isNull());
    EXPECT_FALSE(DecodeThumbnail(png, 64, {}).isNull());

    // Unreadable: at most its type by name (root reads it anyway).
    const QString locked = QString::fromStdString(dir.Write("locked.txt", "secret"));
    ASSERT_EQ(::chmod(locked.toLocal8Bit().constData(), 0), 0);
    EXPECT_EQ(MakeOne(FileItem(locked), 64).source, Source::TypeIcon);
}

TEST(GalleryThumbnails, RunDeliversInOrderAndStopsWhenAsked) {
    EnsureApp();
    TempDir dir;
    const QString png = WritePng(dir, "p.png", 20, 10);
    std::vector<GalleryItem> items = {WebItem(4), FileItem(png, 7), WebItem(9)};

    std::vector<std::pair<int, Source>> got;
    int finished = 0;
    GalleryThumbnailer all(items, 32);
    all.Run(
        {}, [&](int row, Thumbnail t) { got.emplace_back(row, t.source); }, [&] { ++finished; });
    const std::vector<std::pair<int, Source>> want = {
        {0, Source::Web}, {1, Source::Decoded}, {2, Source::Web}};
    EXPECT_EQ(got, want);
    EXPECT_EQ(finished, 1);

    std::stop_source stopped;
    stopped.request_stop();
    got.clear();
    GalleryThumbnailer none(items, 32);
    none.Run(
        stopped.get_token(), [&](int row, Thumbnail t) { got.emplace_back(row, t.source); },
        [&] { ++finished; });
    EXPECT_TRUE(got.empty());
    EXPECT_EQ(finished, 1);
    // A stop also fails the read of a picture being decoded.
    EXPECT_TRUE(DecodeThumbnail(png, 32, stopped.get_token()).isNull());
}

class GalleryWidget : public ::testing::Test {
protected:
    GalleryWidget() {
        EnsureApp();
        gallery = std::make_unique<ArticleGallery>();
        gallery->resize(700, 260);
        gallery->show();
    }
    // A picture big enough that 200 of them keep the worker busy for a while.
    QString BigPicture() { return WritePng(dir, "big.png", 3000, 2000); }
    std::vector<GalleryItem> ManyOf(const QString& path, int n = 200) {
        std::vector<GalleryItem> items;
        for (int i = 0; i < n; ++i)
            items.push_back(FileItem(path, i));
        return items;
    }

    TempDir dir;
    std::unique_ptr<ArticleGallery> gallery;
};

TEST_F(GalleryWidget, ShowsEveryItemAndFillsInItsThumbnail) {
    const QString png = WritePng(dir, "wide.png", 300, 150);
    GalleryItem missing = FileItem(QString::fromStdString(dir / "missing.doc"), 5);
    std::vector<GalleryItem> items = {WebItem(2), FileItem(png, 3), missing};
    QSignalSpy finished(gallery.get(), &ArticleGallery::thumbnailsFinished);

    gallery->Rebuild(items, GalleryEdgeFor(0));
    EXPECT_EQ(gallery->Edge(), 64);
    EXPECT_EQ(gallery->iconSize(), QSize(64, 64));
    // The labels are there at once; the thumbnails follow.
    ASSERT_EQ(gallery->count(), 3);
    EXPECT_EQ(gallery->item(1)->text(), QStringLiteral("wide.png"));
    EXPECT_EQ(gallery->item(2)->data(Qt::UserRole).toInt(), 5);
    EXPECT_TRUE(gallery->item(0)->data(Qt::ToolTipRole).toString().isEmpty());

    ASSERT_TRUE(WaitFor([&] { return !gallery->Running(); }));
    EXPECT_EQ(finished.count(), 1);
    EXPECT_EQ(SourceOf(*gallery, 0), Source::Web);
    EXPECT_EQ(SourceOf(*gallery, 1), Source::Decoded);
    EXPECT_EQ(SourceOf(*gallery, 2), Source::Default);
    const QList<QSize> sizes = gallery->item(1)->icon().availableSizes();
    ASSERT_EQ(sizes.size(), 1);
    EXPECT_EQ(sizes.front(), QSize(64, 32));
    EXPECT_FALSE(gallery->item(2)->icon().isNull());
}

TEST_F(GalleryWidget, EdgesOutsideTheBoundsAreBroughtWithin) {
    // A huge edge would make every drawn image huge.
    gallery->Rebuild({WebItem(0)}, 1 << 20);
    EXPECT_EQ(gallery->Edge(), ArticleGallery::kMaxEdge);
    gallery->Rebuild({WebItem(0)}, -5);
    EXPECT_EQ(gallery->Edge(), ArticleGallery::kMinEdge);
    ASSERT_TRUE(WaitFor([&] { return !gallery->Running(); }));
    EXPECT_EQ(SourceOf(*gallery, 0), Source::Web);
}

TEST_F(GalleryWidget, NoItemsStartNoWorker) {
    gallery->Rebuild({WebItem(0)}, 64);
    gallery->Rebuild({}, 128);
    EXPECT_FALSE(gallery->Running());
    EXPECT_EQ(gallery->count(), 0);
    EXPECT_EQ(gallery->HighlightedAttachment(), -1);
}

TEST_F(GalleryWidget, RebuildingWhileTheWorkerRunsDropsTheOldThumbnails) {
    gallery->Rebuild(ManyOf(BigPicture()), 128);
    // Let a few old thumbnails be made, and some queued, before rebuilding.
    ASSERT_TRUE(WaitFor([&] { return ItemsWithThumbnails(*gallery) >= 1; }));
    QThread::msleep(200);
    ASSERT_TRUE(gallery->Running());

    std::vector<GalleryItem> web;
    for (int i = 0; i < 200; ++i)
        web.push_back(WebItem(i));
    gallery->Rebuild(web, 64);
    // The new rows' own thumbnails would hide a stale one in the end, so
    // every change is watched as it happens.
    int stale = 0;
    QObject::connect(
        gallery->model(), &QAbstractItemModel::dataChanged,
        [&](const QModelIndex& from, const QModelIndex& to) {
            for (int r = from.row(); r <= to.row(); ++r)
                if (gallery->item(r)->data(ArticleGallery::kImageRole) == int(Source::Decoded))
                    ++stale;
        });
    ASSERT_TRUE(WaitFor([&] { return !gallery->Running(); }));
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents();
    EXPECT_EQ(stale, 0);
    ASSERT_EQ(gallery->count(), 200);
    EXPECT_EQ(ItemsWithThumbnails(*gallery), 200);
    EXPECT_EQ(SourceOf(*gallery, 0), Source::Web);
    EXPECT_EQ(gallery->item(199)->icon().availableSizes().front(), QSize(64, 64));
}

TEST_F(GalleryWidget, StopEndsTheWorkerAndNothingArrivesAfterIt) {
    gallery->Rebuild(ManyOf(BigPicture()), 64);
    ASSERT_TRUE(WaitFor([&] { return ItemsWithThumbnails(*gallery) >= 1; }));
    QThread::msleep(200);
    gallery->Stop();
    EXPECT_FALSE(gallery->Running());
    const int made = ItemsWithThumbnails(*gallery);
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents();
    QThread::msleep(100);
    QCoreApplication::processEvents();
    EXPECT_EQ(ItemsWithThumbnails(*gallery), made);
    EXPECT_LT(made, 200);
    EXPECT_EQ(gallery->count(), 200);  // the items stay; only thumbnails stop
}

TEST_F(GalleryWidget, DestroyingMidRunEndsTheWorkerAndLeavesNothingQueued) {
    gallery->Rebuild(ManyOf(BigPicture()), 128);
    ASSERT_TRUE(WaitFor([&] { return ItemsWithThumbnails(*gallery) >= 1; }));
    QThread::msleep(150);
    ASSERT_TRUE(gallery->Running());
    gallery.reset();
    // A queued thumbnail that outlived the gallery would be delivered here,
    // to freed memory (the address sanitizer reports it, and any leak).
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents();
}

TEST_F(GalleryWidget, HostileTargetsDoNotHoldTheWorkerUp) {
    const std::string fifo = dir / "pipe.jpg";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    gallery->Rebuild(
        {FileItem(QString::fromStdString(fifo), 0), FileItem("/dev/zero", 1),
         FileItem(QString::fromStdString(dir.Write("x.bmp", BmpHeader(1 << 20, 3))), 2),
         WebItem(3)},
        64);
    ASSERT_TRUE(WaitFor([&] { return !gallery->Running(); }));
    EXPECT_EQ(ItemsWithThumbnails(*gallery), 4);
    EXPECT_EQ(SourceOf(*gallery, 3), Source::Web);
}

TEST_F(GalleryWidget, EnterAndDoubleClickOpenTheItemsAttachment) {
    gallery->Rebuild({WebItem(3), WebItem(8)}, 64);
    ASSERT_TRUE(WaitFor([&] { return !gallery->Running(); }));
    QApplication::processEvents();
    QSignalSpy opened(gallery.get(), &ArticleGallery::openAttachment);

    // Nothing highlighted: Enter opens nothing.
    EXPECT_EQ(gallery->HighlightedAttachment(), -1);
    QTest::keyClick(gallery.get(), Qt::Key_Return);
    EXPECT_EQ(opened.count(), 0);

    gallery->setCurrentItem(gallery->item(1));
    EXPECT_EQ(gallery->HighlightedAttachment(), 8);
    QTest::keyClick(gallery.get(), Qt::Key_Return);
    QTest::keyClick(gallery.get(), Qt::Key_Enter, Qt::KeypadModifier);
    ASSERT_EQ(opened.count(), 2);
    EXPECT_EQ(opened.at(0).at(0).toInt(), 8);
    EXPECT_EQ(opened.at(1).at(0).toInt(), 8);

    const QPoint first = gallery->visualItemRect(gallery->item(0)).center();
    // The events of a real double-click: press, release, double-click, release.
    QTest::mouseClick(gallery->viewport(), Qt::LeftButton, Qt::NoModifier, first);
    QTest::mouseDClick(gallery->viewport(), Qt::LeftButton, Qt::NoModifier, first);
    QTest::mouseRelease(gallery->viewport(), Qt::LeftButton, Qt::NoModifier, first);
    ASSERT_EQ(opened.count(), 3);
    EXPECT_EQ(opened.at(2).at(0).toInt(), 3);
    // A single click selects without opening.
    QTest::mouseClick(gallery->viewport(), Qt::LeftButton, Qt::NoModifier,
                      gallery->visualItemRect(gallery->item(1)).center());
    EXPECT_EQ(opened.count(), 3);
    EXPECT_EQ(gallery->HighlightedAttachment(), 8);
}

}  // namespace
}  // namespace qb
