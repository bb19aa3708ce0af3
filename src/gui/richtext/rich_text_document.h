// Shows the rich-text control's content in Qt: a QTextDocument with the same
// character positions (a paragraph end is Qt's paragraph separator, a line
// break its line separator, a picture one image character), so a selection
// in a view is the same range in the model.
#pragma once

#include <QFont>
#include <QTextCharFormat>
#include <QTextDocument>

#include "richtext/rich_text.h"

namespace qb::gui {

// Twips (1/1440 inch) to the document's pixels (96 per inch).
inline qreal TwipsToPixels(int32_t twips) {
    return twips / 15.0;
}

// The font for a character format, with a metric-compatible fallback when
// the face is not installed.
QFont FontFor(const CharFormat& format);
QTextCharFormat CharFormatFor(const CharFormat& format);

// Replaces the document's content by the control's.
void FillDocument(QTextDocument& document, const RichTextControl& control);

}  // namespace qb::gui
