// The article window's layout as plain geometry: where the title row, the
// content, the keyword pane and the gallery strip go for a client size and
// the measured font widths, how dragging the content/keyword boundary
// changes the shared keyword-pane width, and the least size of the frame.
#pragma once

#include <cstdint>

#include "app/frame_layout.h"

namespace qb {

// Fixed parts of the layout, in pixels.
namespace article_layout {
constexpr int kMargin = 4;          // left and right edge of the window
constexpr int kTitleTop = 2;        // the title row's top
constexpr int kRowGap = 2;          // between the fields of the top row
constexpr int kPaneGap = 4;         // the draggable boundary between content and keywords
constexpr int kSplitterHeight = 4;  // the bar above the gallery strip
constexpr int kGalleryExtra = 24;   // the strip is the thumbnail edge plus this
constexpr int kMinWidth = 240;
constexpr int kMinHeight = 100;
// The indicators are painted with their right edges this far from the
// window's right edge; the top row leaves room for both.
constexpr int kBookmarkRight = 8;
constexpr int kAttachmentRight = 37;
constexpr int kIndicatorSize = 16;
}  // namespace article_layout

// What the layout is computed from; widths are the window font's.
struct ArticleLayoutInput {
    int clientWidth = 0;
    int clientHeight = 0;
    int fieldHeight = 0;             // a single-line field (title, date, time)
    int labelHeight = 0;             // the "Keywords" label
    int dateSampleWidth = 0;         // " 00/00/0000 "
    int dateFormatWidth = 0;         // the short-date pattern as text
    int timeSampleWidth = 0;         // " 24:88 PM "
    int timeFormatWidth = 0;         // the time format as text
    int scrollBarWidth = 0;          // a vertical scroll bar
    bool displayDate = true;         // `DisplayDate`
    bool displayTime = false;        // `DisplayTime`
    int32_t keywordPaneWidth = 100;  // the main frame's `Divider`
    bool galleryShown = false;
    int galleryEdge = 128;
};

struct ArticleLayout {
    Rect title, date, dateButton, time;
    Rect content, keywordsLabel, keywords;
    Rect gallerySplitter, gallery;  // empty while the gallery is hidden
    bool dateShown = false, timeShown = false;
    // The draggable strip between the content and the keyword pane.
    Rect boundary;
    // Where the indicators are painted (top row, right).
    Rect bookmarkImage, attachmentImage;
};

// The date field: the wider of the sample and the format, plus 8.
int DateFieldWidth(int sampleWidth, int formatWidth);
// The time picker: the wider of the sample and the format, a scroll bar's
// width and 12.
int TimeFieldWidth(int sampleWidth, int formatWidth, int scrollBarWidth);

// Every rectangle for `in`; none has a negative size, however small the window.
ArticleLayout LayOutArticle(const ArticleLayoutInput& in);

// The keyword pane's width when the boundary is dropped with the keyword
// pane starting at `keywordLeft` (the pointer position less where in the
// boundary it was grabbed): never negative.
int32_t KeywordPaneWidthForDrop(int clientWidth, int keywordLeft);

struct Size {
    int width = 0, height = 0;
    bool operator==(const Size&) const = default;
};
// The least size of an article frame: 240 x 100, taller by the gallery
// strip while it is shown.
Size ArticleMinimumSize(bool galleryShown, int galleryEdge);

}  // namespace qb
