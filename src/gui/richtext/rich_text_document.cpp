#include "gui/richtext/rich_text_document.h"

#include <QBuffer>
#include <QColor>
#include <QImage>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextList>
#include <QUrl>

namespace qb::gui {

namespace {

QColor ToQColor(uint32_t c) {
    return QColor(int(c & 255), int(c >> 8 & 255), int(c >> 16 & 255));
}

QStringList Fallbacks(const CharFormat& f) {
    // Liberation fonts have the metrics of the Windows core fonts.
    QString face = QString::fromStdString(f.face);
    QStringList families{face};
    QString lower = face.toLower();
    int family = f.pitchAndFamily >> 4;
    if (lower.contains("courier") || family == 3 || (f.pitchAndFamily & 15) == 1)
        families << "Liberation Mono"
                 << "DejaVu Sans Mono";
    else if (lower.contains("times") || family == 1)
        families << "Liberation Serif"
                 << "DejaVu Serif";
    else
        families << "Liberation Sans"
                 << "DejaVu Sans";
    return families;
}

QImage PictureImage(const Picture& p) {
    QImage image;
    switch (p.kind) {
        case PictureKind::kPng:
            image.loadFromData(QByteArray::fromStdString(p.data), "PNG");
            break;
        case PictureKind::kJpeg:
            image.loadFromData(QByteArray::fromStdString(p.data), "JPG");
            break;
        case PictureKind::kDib: {
            // A DIB is a BMP file without its 14-byte file header.
            if (p.data.size() < 40) break;
            uint32_t headerSize = uint8_t(p.data[0]) | uint8_t(p.data[1]) << 8;
            uint32_t total = uint32_t(p.data.size()) + 14;
            uint32_t bits = 14 + headerSize;
            uint16_t bitCount = uint16_t(uint8_t(p.data[14]) | uint8_t(p.data[15]) << 8);
            uint32_t colours = uint8_t(p.data[32]) | uint8_t(p.data[33]) << 8;
            if (bitCount <= 8) bits += 4 * (colours ? colours : (1u << bitCount));
            QByteArray bmp("BM", 2);
            for (uint32_t v : {total, 0u, bits})
                for (int k = 0; k < 4; ++k)
                    bmp.append(char(v >> (8 * k) & 255));
            bmp.append(QByteArray::fromStdString(p.data));
            image.loadFromData(bmp, "BMP");
            break;
        }
        default:
            break;
    }
    return image;
}

QTextListFormat::Style ListStyle(Numbering n) {
    switch (n) {
        case Numbering::kArabic:
            return QTextListFormat::ListDecimal;
        case Numbering::kLowerLetter:
            return QTextListFormat::ListLowerAlpha;
        case Numbering::kUpperLetter:
            return QTextListFormat::ListUpperAlpha;
        case Numbering::kLowerRoman:
            return QTextListFormat::ListLowerRoman;
        case Numbering::kUpperRoman:
            return QTextListFormat::ListUpperRoman;
        default:
            return QTextListFormat::ListDisc;
    }
}

QTextBlockFormat BlockFormatFor(const ParaFormat& p) {
    QTextBlockFormat b;
    switch (p.alignment) {
        case Align::kRight:
            b.setAlignment(Qt::AlignRight);
            break;
        case Align::kCenter:
            b.setAlignment(Qt::AlignHCenter);
            break;
        case Align::kJustify:
            b.setAlignment(Qt::AlignJustify);
            break;
        default:
            b.setAlignment(Qt::AlignLeft);
            break;
    }
    // Qt indents all lines by the left margin and the first by the text
    // indent besides; the control gives the first line and the rest.
    b.setLeftMargin(TwipsToPixels(p.startIndent + p.offset));
    b.setTextIndent(TwipsToPixels(-p.offset));
    b.setRightMargin(TwipsToPixels(p.rightIndent));
    b.setTopMargin(TwipsToPixels(p.spaceBefore));
    b.setBottomMargin(TwipsToPixels(p.spaceAfter));
    switch (p.lineSpacingRule) {
        case 1:
            b.setLineHeight(150, QTextBlockFormat::ProportionalHeight);
            break;
        case 2:
            b.setLineHeight(200, QTextBlockFormat::ProportionalHeight);
            break;
        case 3:
            b.setLineHeight(TwipsToPixels(p.lineSpacing), QTextBlockFormat::MinimumHeight);
            break;
        case 4:
            b.setLineHeight(TwipsToPixels(p.lineSpacing), QTextBlockFormat::FixedHeight);
            break;
        case 5:
            if (p.lineSpacing > 0)
                b.setLineHeight(p.lineSpacing * 5, QTextBlockFormat::ProportionalHeight);
            break;
        default:
            break;
    }
    QList<QTextOption::Tab> tabs;
    for (const TabStop& t : p.tabs) {
        QTextOption::TabType type = t.kind == TabKind::kRight     ? QTextOption::RightTab
                                    : t.kind == TabKind::kCenter  ? QTextOption::CenterTab
                                    : t.kind == TabKind::kDecimal ? QTextOption::DelimiterTab
                                                                  : QTextOption::LeftTab;
        tabs.append(QTextOption::Tab(TwipsToPixels(t.position), type,
                                     type == QTextOption::DelimiterTab ? QChar('.') : QChar()));
    }
    b.setTabPositions(tabs);
    return b;
}

}  // namespace

QFont FontFor(const CharFormat& f) {
    QFont font;
    font.setFamilies(Fallbacks(f));
    font.setPointSizeF(f.height > 0 ? f.height / 20.0 : 10.0);
    font.setBold(f.Has(kEffectBold));
    font.setItalic(f.Has(kEffectItalic));
    font.setUnderline(f.Has(kEffectUnderline));
    font.setStrikeOut(f.Has(kEffectStrikeout));
    int family = f.pitchAndFamily >> 4;
    font.setStyleHint(family == 1   ? QFont::Serif
                      : family == 3 ? QFont::TypeWriter
                      : family == 4 ? QFont::Cursive
                      : family == 5 ? QFont::Decorative
                                    : QFont::SansSerif);
    return font;
}

QTextCharFormat CharFormatFor(const CharFormat& f) {
    QTextCharFormat c;
    c.setFont(FontFor(f), QTextCharFormat::FontPropertiesAll);
    if (f.Has(kEffectUnderline)) {
        switch (f.underlineType) {
            case UnderlineType::kDotted:
                c.setUnderlineStyle(QTextCharFormat::DotLine);
                break;
            case UnderlineType::kDash:
                c.setUnderlineStyle(QTextCharFormat::DashUnderline);
                break;
            case UnderlineType::kWave:
                c.setUnderlineStyle(QTextCharFormat::WaveUnderline);
                break;
            default:
                c.setUnderlineStyle(QTextCharFormat::SingleUnderline);
                break;
        }
    }
    if (f.colour != kAutoColour) c.setForeground(ToQColor(f.colour));
    if (f.background != kAutoColour) c.setBackground(ToQColor(f.background));
    if (f.Has(kEffectSuperscript) || f.offset > 0)
        c.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    else if (f.Has(kEffectSubscript) || f.offset < 0)
        c.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    if (f.Has(kEffectHidden)) c.setFontPointSize(0.5);  // no hidden text in Qt: next to nothing
    return c;
}

void FillDocument(QTextDocument& document, const RichTextControl& rt) {
    document.clear();
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    const std::u16string& text = rt.Text();
    int32_t len = rt.TextLength();
    QTextList* list = nullptr;
    Numbering listKind = Numbering::kNone;
    // Runs of one interned format share one Qt format, made once: a long
    // article has tens of thousands of runs over a handful of formats.
    std::vector<QTextCharFormat> formats(rt.CharFormatCount());
    std::vector<bool> made(rt.CharFormatCount());
    auto formatOf = [&](int32_t run) -> const QTextCharFormat& {
        std::size_t id = std::size_t(rt.RunFormatId(run));
        if (!made[id]) {
            formats[id] = CharFormatFor(rt.RunFormat(run));
            made[id] = true;
        }
        return formats[id];
    };

    for (int32_t para = 0; para < rt.ParagraphCount(); ++para) {
        int32_t start = rt.ParagraphStart(para);
        ParaFormat pf = rt.ParaFormatAt(start);
        QTextBlockFormat bf = BlockFormatFor(pf);
        if (para == 0)
            cursor.setBlockFormat(bf);
        else
            cursor.insertBlock(bf, formatOf(rt.RunFromChar(start - 1)));
        if (pf.numbering != Numbering::kNone) {
            if (list && listKind == pf.numbering) {
                list->add(cursor.block());
            } else {
                QTextListFormat lf;
                lf.setStyle(ListStyle(pf.numbering));
                lf.setIndent(0);
                if (pf.numbering != Numbering::kBullet)
                    lf.setNumberSuffix(pf.numberingStyle == kNumberPeriod  ? "."
                                       : pf.numberingStyle == kNumberPlain ? ""
                                                                           : ")");
                if (pf.numberingStyle == kNumberParens) lf.setNumberPrefix("(");
                list = cursor.createList(lf);
                // createList replaced the block's margins; the control's win.
                // (Merging keeps the block in the list; setting would drop it.)
                cursor.mergeBlockFormat(bf);
                listKind = pf.numbering;
            }
        } else {
            list = nullptr;
            listKind = Numbering::kNone;
        }
        int32_t end = start + rt.ParagraphLength(para);
        int32_t i = start;
        while (i < end) {
            int32_t run = rt.RunFromChar(i);
            int32_t runEnd = std::min(rt.RunEnd(run), end);
            const QTextCharFormat& cf = formatOf(run);
            int32_t j = i;
            while (j < runEnd && text[std::size_t(j)] != kObjectChar)
                ++j;
            if (j > i) {
                QString chunk = QString::fromUtf16(text.data() + i, j - i);
                chunk.replace(QChar(kLineBreak), QChar::LineSeparator);
                cursor.insertText(chunk, cf);
            }
            if (j < runEnd) {
                const Picture* pic = rt.PictureAt(j);
                QImage image = pic ? PictureImage(*pic) : QImage();
                qreal w = pic && pic->goalWidth ? TwipsToPixels(pic->goalWidth) : image.width();
                qreal h = pic && pic->goalHeight ? TwipsToPixels(pic->goalHeight) : image.height();
                if (pic) {
                    w = w * pic->scaleX / 100.0;
                    h = h * pic->scaleY / 100.0;
                }
                if (image.isNull()) {
                    // Metafiles have no reader here: a frame of the right size.
                    QSize size(std::max(8, int(w)), std::max(8, int(h)));
                    image = QImage(size, QImage::Format_ARGB32);
                    image.fill(QColor(240, 240, 240));
                    QPainter painter(&image);
                    painter.setPen(QColor(160, 160, 160));
                    painter.drawRect(0, 0, size.width() - 1, size.height() - 1);
                }
                QString name = QStringLiteral("qbpicture:%1").arg(j);
                document.addResource(QTextDocument::ImageResource, QUrl(name), image);
                QTextImageFormat imf;
                imf.merge(cf);
                imf.setName(name);
                if (w > 0) imf.setWidth(w);
                if (h > 0) imf.setHeight(h);
                cursor.insertImage(imf);
                ++j;
            }
            i = j;
        }
    }
    (void)len;
    cursor.endEditBlock();
}

}  // namespace qb::gui
