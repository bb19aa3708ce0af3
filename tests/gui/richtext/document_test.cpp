// The Qt document built from the control: same text at the same positions,
// same formats, for every sample.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextList>

#include "gui/richtext/rich_text_document.h"

namespace qb::gui {
namespace {

QGuiApplication* App() {
    static int argc = 1;
    static char name[] = "test_gui_richtext";
    static char* argv[] = {name, nullptr};
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication* app = new QGuiApplication(argc, argv);
    return app;
}

std::vector<std::pair<QString, std::string>> Samples() {
    std::vector<std::pair<QString, std::string>> out;
    QDir dir(QString(QB_SOURCE_DIR) + "/tests/core/richtext/data");
    for (const QString& name : dir.entryList({"*.rtf"}, QDir::Files, QDir::Name)) {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        out.emplace_back(name, f.readAll().toStdString());
    }
    return out;
}

QChar ExpectedChar(char16_t c) {
    if (c == kParagraphEnd) return QChar::ParagraphSeparator;
    if (c == kLineBreak) return QChar::LineSeparator;
    return QChar(c);
}

TEST(GuiRichText, EverySampleAgreesWithTheModel) {
    App();
    auto samples = Samples();
    ASSERT_GE(samples.size(), 2u);
    for (const auto& [name, data] : samples) {
        SCOPED_TRACE(name.toStdString());
        RichTextControl rt;
        ASSERT_TRUE(rt.StreamInRtf(data));
        QTextDocument doc;
        FillDocument(doc, rt);
        // The document adds one closing paragraph separator of its own.
        ASSERT_EQ(doc.characterCount() - 1, rt.TextLength());
        ASSERT_EQ(doc.blockCount(), rt.ParagraphCount());
        QTextCursor cursor(&doc);
        for (int32_t i = 0; i < rt.TextLength(); ++i) {
            ASSERT_EQ(doc.characterAt(i), ExpectedChar(rt.Text()[std::size_t(i)])) << "at " << i;
            if (rt.Text()[std::size_t(i)] == kParagraphEnd) continue;
            cursor.setPosition(i);
            cursor.setPosition(i + 1, QTextCursor::KeepAnchor);
            QTextCharFormat cf = cursor.charFormat();
            CharFormat f = rt.CharFormatAt(i);
            ASSERT_EQ(cf.fontWeight() >= QFont::Bold, f.Has(kEffectBold)) << "at " << i;
            ASSERT_EQ(cf.fontItalic(), f.Has(kEffectItalic)) << "at " << i;
            ASSERT_EQ(cf.fontUnderline(), f.Has(kEffectUnderline)) << "at " << i;
            ASSERT_EQ(cf.fontStrikeOut(), f.Has(kEffectStrikeout)) << "at " << i;
            ASSERT_EQ(cf.fontFamilies().toStringList().value(0).toStdString(), f.face);
            if (!f.Has(kEffectHidden)) {
                ASSERT_DOUBLE_EQ(cf.fontPointSize(), f.height / 20.0);
            }
            if (f.colour != kAutoColour) {
                QColor c = cf.foreground().color();
                ASSERT_EQ(qRgb(c.red(), c.green(), c.blue()),
                          qRgb(f.colour & 255, f.colour >> 8 & 255, f.colour >> 16 & 255));
            } else {
                ASSERT_EQ(cf.foreground().style(), Qt::NoBrush);
            }
            bool up = f.Has(kEffectSuperscript) || f.offset > 0;
            ASSERT_EQ(cf.verticalAlignment() == QTextCharFormat::AlignSuperScript, up);
        }
        for (int32_t p = 0; p < rt.ParagraphCount(); ++p) {
            QTextBlock block = doc.findBlockByNumber(p);
            ASSERT_EQ(block.position(), rt.ParagraphStart(p));
            ParaFormat pf = rt.ParaFormatAt(rt.ParagraphStart(p));
            QTextBlockFormat bf = block.blockFormat();
            ASSERT_DOUBLE_EQ(bf.leftMargin() + bf.textIndent(), TwipsToPixels(pf.startIndent));
            ASSERT_DOUBLE_EQ(bf.textIndent(), -TwipsToPixels(pf.offset));
            Qt::Alignment a = bf.alignment() & Qt::AlignHorizontal_Mask;
            Qt::Alignment want = pf.alignment == Align::kRight     ? Qt::AlignRight
                                 : pf.alignment == Align::kCenter  ? Qt::AlignHCenter
                                 : pf.alignment == Align::kJustify ? Qt::AlignJustify
                                                                   : Qt::AlignLeft;
            ASSERT_EQ(a, want) << "paragraph " << p;
            ASSERT_EQ(block.textList() != nullptr, pf.numbering != Numbering::kNone) << p;
            ASSERT_EQ(int(bf.tabPositions().size()), int(pf.tabs.size()));
        }
    }
}

TEST(GuiRichText, SelectionsAreModelRanges) {
    App();
    RichTextControl rt;
    ASSERT_TRUE(rt.StreamInRtf("{\\rtf1 first line\\par with a \\b link\\b0 \\line x\\par end}"));
    QTextDocument doc;
    FillDocument(doc, rt);
    int32_t at = rt.FindText(0, -1, u"link", kFindMatchCase);
    QTextCursor found = doc.find("link");
    EXPECT_EQ(found.selectionStart(), at);
    EXPECT_EQ(found.selectionEnd(), at + 4);
    EXPECT_EQ(doc.find("end").selectionStart(), rt.FindText(0, -1, u"end", 0));
}

TEST(GuiRichText, NoEmptyBlockAfterTheLastParagraph) {
    App();
    struct Case {
        const char* rtf;
        int blocks;
        const char* lastBlock;
    };
    for (const Case& c :
         {Case{"{\\rtf1 Hello\\par}", 1, "Hello"}, Case{"{\\rtf1 a\\par b\\par}", 2, "b"},
          Case{"{\\rtf1 a\\par\\par}", 2, ""}, Case{"{\\rtf1 \\pard\\par}", 1, ""}}) {
        SCOPED_TRACE(c.rtf);
        RichTextControl rt;
        ASSERT_TRUE(rt.StreamInRtf(c.rtf));
        QTextDocument doc;
        FillDocument(doc, rt);
        EXPECT_EQ(doc.blockCount(), c.blocks);
        EXPECT_EQ(doc.lastBlock().text(), QString(c.lastBlock));
        EXPECT_EQ(doc.characterCount() - 1, rt.TextLength());
        // The position after the last character is the same in both.
        QTextCursor end(&doc);
        end.movePosition(QTextCursor::End);
        EXPECT_EQ(end.position(), rt.TextLength());
    }
}

TEST(GuiRichText, PicturesAreImagesAtTheirPosition) {
    App();
    RichTextControl rt;
    ASSERT_TRUE(rt.StreamInRtf("{\\rtf1 a{\\pict\\wmetafile8\\picwgoal1500\\pichgoal750 0102}b}"));
    QTextDocument doc;
    FillDocument(doc, rt);
    QTextCursor c(&doc);
    c.setPosition(1);
    c.setPosition(2, QTextCursor::KeepAnchor);
    ASSERT_TRUE(c.charFormat().isImageFormat());
    EXPECT_DOUBLE_EQ(c.charFormat().toImageFormat().width(), 100.0);
    EXPECT_EQ(doc.characterAt(2), QChar('b'));
}

}  // namespace
}  // namespace qb::gui
