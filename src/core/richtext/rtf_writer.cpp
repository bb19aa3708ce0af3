#include "richtext/rtf_writer.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <vector>

#include "richtext/code_page.h"
#include "richtext/rich_text.h"

namespace qb {

namespace {

struct FontKey {
    std::string face;
    uint8_t charset;
    uint8_t pitchAndFamily;
    auto operator<=>(const FontKey&) const = default;
};

const char* const kFamilies[] = {"fnil", "froman", "fswiss", "fmodern", "fscript", "fdecor"};

void Word(std::string& out, const char* word) {
    out += '\\';
    out += word;
}

void Word(std::string& out, const char* word, long value) {
    out += '\\';
    out += word;
    char buf[24];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
    out.append(buf, end);
}

void Hex(std::string& out, uint8_t b) {
    static const char kDigits[] = "0123456789abcdef";
    out += "\\'";
    out += kDigits[b >> 4];
    out += kDigits[b & 15];
}

// Text characters that TextChar writes as themselves.
// DEL is not among them: a reader skips it as a raw byte, so it goes out
// as \'7f.
bool IsPlainAscii(char16_t c) {
    return c >= 0x20 && c < 0x7F && c != u'\\' && c != u'{' && c != u'}';
}

// One UTF-16 unit of text. `ansi` says whether \'hh is read back in
// Windows-1252 for the current font.
void TextChar(std::string& out, char16_t c, bool ansi, bool& needSpace) {
    auto sep = [&] {
        // A space ends a control word; after a group it would be text.
        if (needSpace && !out.empty() && out.back() != '}') out += ' ';
        needSpace = false;
    };
    switch (c) {
        case u'\\':
        case u'{':
        case u'}':
            sep();
            out += '\\';
            out += char(c);
            return;
        case u'\t':
            Word(out, "tab");
            needSpace = true;
            return;
        case kLineBreak:
            Word(out, "line");
            needSpace = true;
            return;
        case 0x00A0:
            out += "\\~";
            needSpace = false;
            return;
        case 0x00AD:
            out += "\\-";
            needSpace = false;
            return;
        case 0x2011:
            out += "\\_";
            needSpace = false;
            return;
        default:
            break;
    }
    if (c >= 0x20 && c < 0x7F) {
        sep();
        out += char(c);
        return;
    }
    int b = ansi ? UnicodeToCp1252(c) : -1;
    if (b >= 0 || c < 0x20) {
        Hex(out, uint8_t(b >= 0 ? b : c));
        needSpace = false;
        return;
    }
    Word(out, "u", long(int16_t(c)));
    out += '?';  // the fallback that \uc1 skips
    needSpace = false;
}

// A face name (UTF-8) as the bytes that a font table decodes it from: in
// the code page of the font's character set, or the document's (1252) when
// the set names none. A name that code page cannot hold (a Greek name of a
// font that names no set, read from a Greek document) goes out in the first
// code page that holds all of it, named by \cpg, which the reader decodes
// the name with; returns that code page, or 0. Only printable ASCII goes
// out as it is; the symbols the text uses (\~, \-) would not be read as
// part of the name.
int FaceName(std::string& out, std::string_view face, int charset, ByteDecoder& dec) {
    RichTextControl tmp;
    tmp.SetTextUtf8(face);
    const std::u16string& wide = tmp.Text();
    auto put = [&out](std::string_view bytes) {
        for (char b : bytes)
            if (b >= 0x20 && b < 0x7F && b != '\\' && b != '{' && b != '}' && b != ';')
                out += b;
            else
                Hex(out, uint8_t(b));
    };
    std::string bytes;
    auto encodes = [&](int cp) {
        dec.SetCodePage(cp);
        std::string one;
        bytes.clear();
        for (char16_t c : wide) {
            one.clear();
            if (!dec.Encode(c, one)) return false;
            bytes += one;
        }
        return true;
    };
    const int own = CodePageForCharset(charset);
    const int first = own ? own : 1252;
    if (encodes(first)) {
        put(bytes);
        return 0;
    }
    static constexpr int kOthers[] = {1250, 1251, 1252, 1253, 1254, 1255, 1256,
                                      1257, 1258, 874,  932,  936,  949,  950};
    for (int cp : kOthers) {
        if (encodes(cp)) {
            put(bytes);
            return cp;
        }
    }
    // No code page holds it all: what can be written is, the rest is read
    // back without it, the best a font table can do.
    dec.SetCodePage(first);
    for (char16_t c : wide) {
        std::string one;
        if (dec.Encode(c, one)) {
            put(one);
        } else {
            Word(out, "u", long(int16_t(c)));
            out += '?';
        }
    }
    return 0;
}

}  // namespace

std::string RtfWriter::Write() const {
    const RichTextControl& m = in_;
    std::string out;
    out.reserve(m.Text().size() + m.Text().size() / 4 + 256);

    // Tables of the fonts and colours in use, in order of first use.
    std::map<FontKey, int> fontIds;
    std::vector<FontKey> fonts;
    std::map<uint32_t, int> colourIds;
    std::vector<uint32_t> colours;
    auto fontOf = [&](const CharFormat& f) {
        FontKey k{f.face, f.charset, f.pitchAndFamily};
        auto [it, added] = fontIds.try_emplace(k, int(fonts.size()));
        if (added) fonts.push_back(k);
        return it->second;
    };
    auto colourOf = [&](uint32_t c) {
        if (c == kAutoColour) return 0;
        auto [it, added] = colourIds.try_emplace(c & 0xFFFFFF, int(colours.size()) + 1);
        if (added) colours.push_back(c & 0xFFFFFF);
        return it->second;
    };
    int32_t runCount = m.RunCount();
    if (m.Text().empty()) {
        fontOf(m.RunFormat(0));
    }
    // Table numbers by format, worked out at a format's first run: runs far
    // outnumber formats, and later runs then need no lookup.
    struct TableIds {
        int font = -1, colour = 0, background = 0;
    };
    std::vector<TableIds> idsOf(m.CharFormatCount());
    for (int32_t r = 0; r < runCount; ++r) {
        TableIds& ids = idsOf[std::size_t(m.RunFormatId(r))];
        if (ids.font >= 0) continue;
        const CharFormat& f = m.RunFormat(r);
        ids.font = fontOf(f);
        ids.colour = colourOf(f.colour);
        ids.background = colourOf(f.background);
    }

    ByteDecoder faceDecoder;
    std::vector<int> fontCodePages;
    out += "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl";
    for (std::size_t i = 0; i < fonts.size(); ++i) {
        const FontKey& k = fonts[i];
        out += "{";
        Word(out, "f", long(i));
        Word(out, kFamilies[std::min(k.pitchAndFamily >> 4, 5)]);
        if (k.pitchAndFamily & 15) Word(out, "fprq", k.pitchAndFamily & 15);
        Word(out, "fcharset", k.charset);
        std::string name;
        const int cpg = FaceName(name, k.face, k.charset, faceDecoder);
        // Text in such a font goes out as Unicode, not as bytes of its
        // code page.
        fontCodePages.push_back(cpg);
        if (cpg) Word(out, "cpg", cpg);
        out += ' ';
        out += name;
        out += ";}";
    }
    out += "}\r\n";
    if (!colours.empty()) {
        out += "{\\colortbl ;";
        for (uint32_t c : colours) {
            Word(out, "red", long(c & 255));
            Word(out, "green", long(c >> 8 & 255));
            Word(out, "blue", long(c >> 16 & 255));
            out += ';';
        }
        out += "}\r\n";
    }
    out += "\\viewkind4\\uc1";

    const std::u16string& text = m.Text();
    int32_t len = int32_t(text.size());
    int32_t run = 0;
    int32_t nextRun = runCount > 1 ? m.RunStart(1) : len + 1;
    bool ansi = true;
    bool needSpace = true;
    int number = 0;
    Numbering lastNumbering = Numbering::kNone;

    auto writeCharFormat = [&](int32_t run) {
        const CharFormat& f = m.RunFormat(run);
        const TableIds& ids = idsOf[std::size_t(m.RunFormatId(run))];
        Word(out, "plain");
        Word(out, "f", ids.font);
        Word(out, "fs", (f.height + 5) / 10);
        if (f.colour != kAutoColour) Word(out, "cf", ids.colour);
        if (f.background != kAutoColour) Word(out, "highlight", ids.background);
        if (f.Has(kEffectBold)) Word(out, "b");
        if (f.Has(kEffectItalic)) Word(out, "i");
        if (f.Has(kEffectUnderline)) {
            switch (f.underlineType) {
                case UnderlineType::kWord:
                    Word(out, "ulw");
                    break;
                case UnderlineType::kDouble:
                    Word(out, "uldb");
                    break;
                case UnderlineType::kDotted:
                    Word(out, "uld");
                    break;
                case UnderlineType::kDash:
                    Word(out, "uldash");
                    break;
                case UnderlineType::kWave:
                    Word(out, "ulwave");
                    break;
                case UnderlineType::kThick:
                    Word(out, "ulth");
                    break;
                default:
                    Word(out, "ul");
                    break;
            }
        }
        if (f.Has(kEffectStrikeout)) Word(out, "strike");
        if (f.Has(kEffectHidden)) Word(out, "v");
        if (f.Has(kEffectProtected)) Word(out, "protect");
        if (f.Has(kEffectSuperscript))
            Word(out, "super");
        else if (f.Has(kEffectSubscript))
            Word(out, "sub");
        if (f.offset > 0) Word(out, "up", (f.offset + 5) / 10);
        if (f.offset < 0) Word(out, "dn", (-f.offset + 5) / 10);
        ansi = (f.charset == 0 || f.charset == 2) && fontCodePages[std::size_t(ids.font)] == 0;
        needSpace = true;
    };

    auto writeParaFormat = [&](const ParaFormat& p) {
        out += "\r\n";
        Word(out, "pard");
        if (p.numbering != Numbering::kNone) {
            // The readable counterpart for readers that ignore \pn.
            number = p.numbering == lastNumbering ? number + 1 : p.numberingStart;
            out += "{\\pntext ";
            if (p.numbering == Numbering::kBullet)
                out += "\\'b7";
            else
                out += std::to_string(number) + ".";
            out += "\\tab}{\\*\\pn";
            if (p.numbering == Numbering::kBullet) {
                out += "\\pnlvlblt";
            } else {
                out += "\\pnlvlbody";
                static const char* const kKinds[] = {"",        "",       "pndec", "pnlcltr",
                                                     "pnucltr", "pnlcrm", "pnucrm"};
                Word(out, kKinds[int(p.numbering) <= 6 ? int(p.numbering) : 2]);
            }
            Word(out, "pnstart", p.numberingStart);
            Word(out, "pnindent", p.numberingTab);
            if (p.numbering == Numbering::kBullet)
                out += "{\\pntxtb\\'b7}";
            else if (p.numberingStyle == kNumberPeriod)
                out += "{\\pntxta .}";
            else if (p.numberingStyle == kNumberParen)
                out += "{\\pntxta )}";
            else if (p.numberingStyle == kNumberParens)
                out += "{\\pntxtb (}{\\pntxta )}";
            out += "}";
        }
        lastNumbering = p.numbering;
        switch (p.alignment) {
            case Align::kRight:
                Word(out, "qr");
                break;
            case Align::kCenter:
                Word(out, "qc");
                break;
            case Align::kJustify:
                Word(out, "qj");
                break;
            default:
                break;
        }
        if (p.offset) Word(out, "fi", -long(p.offset));
        if (p.startIndent + p.offset) Word(out, "li", long(p.startIndent) + p.offset);
        if (p.rightIndent) Word(out, "ri", p.rightIndent);
        if (p.spaceBefore) Word(out, "sb", p.spaceBefore);
        if (p.spaceAfter) Word(out, "sa", p.spaceAfter);
        switch (p.lineSpacingRule) {
            case 1:
                out += "\\sl360\\slmult1";
                break;
            case 2:
                out += "\\sl480\\slmult1";
                break;
            case 3:
                Word(out, "sl", p.lineSpacing);
                Word(out, "slmult", 0);
                break;
            case 4:
                Word(out, "sl", -long(p.lineSpacing));
                Word(out, "slmult", 0);
                break;
            case 5:
                Word(out, "sl", long(p.lineSpacing) * 12);
                Word(out, "slmult", 1);
                break;
            default:
                break;
        }
        for (const TabStop& t : p.tabs) {
            switch (t.kind) {
                case TabKind::kCenter:
                    Word(out, "tqc");
                    break;
                case TabKind::kRight:
                    Word(out, "tqr");
                    break;
                case TabKind::kDecimal:
                    Word(out, "tqdec");
                    break;
                default:
                    break;
            }
            switch (t.leader) {
                case TabLeader::kDots:
                    Word(out, "tldot");
                    break;
                case TabLeader::kDashes:
                    Word(out, "tlhyph");
                    break;
                case TabLeader::kUnderline:
                    Word(out, "tlul");
                    break;
                case TabLeader::kThick:
                    Word(out, "tlth");
                    break;
                case TabLeader::kEquals:
                    Word(out, "tleq");
                    break;
                default:
                    break;
            }
            Word(out, t.kind == TabKind::kBar ? "tb" : "tx", t.position);
        }
        needSpace = true;
    };

    std::size_t picture = 0;
    const std::vector<Picture>& pictures = m.Pictures();
    int32_t paraCount = m.ParagraphCount();
    writeParaFormat(m.ParagraphFormat(0));
    writeCharFormat(0);
    int32_t para = 0;
    for (int32_t i = 0; i < len; ++i) {
        if (i == nextRun) {
            ++run;
            nextRun = run + 1 < runCount ? m.RunStart(run + 1) : len + 1;
            writeCharFormat(run);
        }
        char16_t c = text[std::size_t(i)];
        if (c == kParagraphEnd) {
            Word(out, "par");
            ++para;
            if (para < paraCount) {
                writeParaFormat(m.ParagraphFormat(para));
            }
            continue;
        }
        if (c == kObjectChar) {
            while (picture < pictures.size() && pictures[picture].position < i)
                ++picture;
            if (picture < pictures.size() && pictures[picture].position == i) {
                const Picture& p = pictures[picture];
                out += "{\\pict";
                switch (p.kind) {
                    case PictureKind::kPng:
                        Word(out, "pngblip");
                        break;
                    case PictureKind::kJpeg:
                        Word(out, "jpegblip");
                        break;
                    case PictureKind::kDib:
                        Word(out, "dibitmap", 0);
                        break;
                    case PictureKind::kWmf:
                        Word(out, "wmetafile", p.metafileMode);
                        break;
                    case PictureKind::kEmf:
                        Word(out, "emfblip");
                        break;
                    default:
                        break;
                }
                Word(out, "picw", p.width);
                Word(out, "pich", p.height);
                if (p.goalWidth) Word(out, "picwgoal", p.goalWidth);
                if (p.goalHeight) Word(out, "pichgoal", p.goalHeight);
                if (p.scaleX != 100) Word(out, "picscalex", p.scaleX);
                if (p.scaleY != 100) Word(out, "picscaley", p.scaleY);
                static const char kDigits[] = "0123456789abcdef";
                for (std::size_t k = 0; k < p.data.size(); ++k) {
                    if (k % 64 == 0) out += "\r\n";
                    uint8_t b = uint8_t(p.data[k]);
                    out += kDigits[b >> 4];
                    out += kDigits[b & 15];
                }
                out += "}";
                needSpace = false;
                continue;
            }
        }
        if (IsPlainAscii(c)) {
            // A stretch of plain ASCII up to the next run goes out as it is.
            int32_t end = i + 1, limit = std::min(len, nextRun);
            while (end < limit && IsPlainAscii(text[std::size_t(end)]))
                ++end;
            if (needSpace && !out.empty() && out.back() != '}') out += ' ';
            needSpace = false;
            std::size_t old = out.size();
            out.resize(old + std::size_t(end - i));
            for (int32_t k = i; k < end; ++k)
                out[old + std::size_t(k - i)] = char(text[std::size_t(k)]);
            i = end - 1;
            continue;
        }
        TextChar(out, c, ansi, needSpace);
    }
    // The final mark has no \par of its own, since a reader takes a stream's
    // last \par as that mark; an empty last paragraph therefore needs one.
    if (len > 0 && text[std::size_t(len) - 1] == kParagraphEnd) Word(out, "par");
    out += "\r\n}\r\n";
    return out;
}

}  // namespace qb
