#include "article/article_layout.h"

#include <algorithm>

namespace qb {

using namespace article_layout;

namespace {

Rect Make(int left, int top, int width, int height) {
    return Rect{left, top, std::max(0, width), std::max(0, height)};
}

int GalleryStrip(bool shown, int edge) {
    return shown ? std::max(0, edge) + kGalleryExtra : 0;
}

}  // namespace

int DateFieldWidth(int sampleWidth, int formatWidth) {
    return std::max(sampleWidth, formatWidth) + 8;
}

int TimeFieldWidth(int sampleWidth, int formatWidth, int scrollBarWidth) {
    return std::max(sampleWidth, formatWidth) + scrollBarWidth + 12;
}

ArticleLayout LayOutArticle(const ArticleLayoutInput& in) {
    ArticleLayout out;
    const int w = std::max(0, in.clientWidth);
    const int h = std::max(0, in.clientHeight);
    const int rowHeight = std::max(in.fieldHeight, kIndicatorSize);

    // Top row, right to left: the indicators, the time, the date button, the date.
    const int iconTop = kTitleTop + (rowHeight - kIndicatorSize) / 2;
    out.bookmarkImage =
        Make(w - kBookmarkRight - kIndicatorSize, iconTop, kIndicatorSize, kIndicatorSize);
    out.attachmentImage =
        Make(w - kAttachmentRight - kIndicatorSize, iconTop, kIndicatorSize, kIndicatorSize);
    int right = out.attachmentImage.left - kRowGap;
    out.timeShown = in.displayTime;
    if (out.timeShown) {
        int tw = TimeFieldWidth(in.timeSampleWidth, in.timeFormatWidth, in.scrollBarWidth);
        out.time = Make(right - tw, kTitleTop, tw, in.fieldHeight);
        right = out.time.left - kRowGap;
    }
    out.dateShown = in.displayDate;
    if (out.dateShown) {
        int bw = in.fieldHeight;  // a square button
        out.dateButton = Make(right - bw, kTitleTop, bw, in.fieldHeight);
        right = out.dateButton.left;
        int dw = DateFieldWidth(in.dateSampleWidth, in.dateFormatWidth);
        out.date = Make(right - dw, kTitleTop, dw, in.fieldHeight);
        right = out.date.left - kRowGap;
    }
    out.title = Make(kMargin, kTitleTop, right - kMargin, in.fieldHeight);

    // The gallery strip across the bottom, with its bar above it.
    const int strip = GalleryStrip(in.galleryShown, in.galleryEdge);
    int bottom = h;
    if (strip > 0) {
        out.gallery = Make(0, h - strip, w, strip);
        out.gallerySplitter = Make(0, out.gallery.top - kSplitterHeight, w, kSplitterHeight);
        bottom = out.gallerySplitter.top;
    }

    // Content on the left, the keyword pane (label over list) on the right.
    const int top = kTitleTop + rowHeight + kRowGap;
    const int64_t pane = std::clamp<int64_t>(in.keywordPaneWidth, 0, w);
    const int keywordLeft = w - static_cast<int>(pane);
    out.keywordsLabel = Make(keywordLeft, top, static_cast<int>(pane) - kMargin, in.labelHeight);
    out.keywords = Make(keywordLeft, top + in.labelHeight, static_cast<int>(pane) - kMargin,
                        bottom - top - in.labelHeight);
    const int boundaryLeft = std::max(kMargin, keywordLeft - kPaneGap);
    out.boundary = Make(boundaryLeft, top, keywordLeft - boundaryLeft, bottom - top);
    out.content = Make(kMargin, top, boundaryLeft - kMargin, bottom - top);
    return out;
}

int32_t KeywordPaneWidthForDrop(int clientWidth, int keywordLeft) {
    return KeywordPaneWidthForBoundary(clientWidth, keywordLeft);
}

Size ArticleMinimumSize(bool galleryShown, int galleryEdge) {
    return Size{kMinWidth, kMinHeight + GalleryStrip(galleryShown, galleryEdge)};
}

}  // namespace qb
