// qbx rtf: reads RTF through the rich-text engine and prints what the
// control holds: its text stream, its RTF stream or its formats as JSON.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>

#include "command.h"
#include "json_in.h"
#include "options.h"
#include "richtext/rich_text.h"

namespace {

void JsonString(std::string& out, std::string_view utf8) {
    out += '"';
    for (char ch : utf8) {
        unsigned char c = static_cast<unsigned char>(ch);
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (c < 0x20) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", c);
                    out += buf;
                } else {
                    out += char(c);
                }
        }
    }
    out += '"';
}

std::string Colour(uint32_t c) {
    if (c == qb::kAutoColour) return "null";
    char buf[16];
    std::snprintf(buf, sizeof buf, "\"%02x%02x%02x\"", c & 255, c >> 8 & 255, c >> 16 & 255);
    return buf;
}

const char* AlignName(qb::Align a) {
    switch (a) {
        case qb::Align::kRight:
            return "right";
        case qb::Align::kCenter:
            return "center";
        case qb::Align::kJustify:
            return "justify";
        default:
            return "left";
    }
}

const char* NumberingName(qb::Numbering n) {
    switch (n) {
        case qb::Numbering::kBullet:
            return "bullet";
        case qb::Numbering::kArabic:
            return "arabic";
        case qb::Numbering::kLowerLetter:
            return "lcletter";
        case qb::Numbering::kUpperLetter:
            return "ucletter";
        case qb::Numbering::kLowerRoman:
            return "lcroman";
        case qb::Numbering::kUpperRoman:
            return "ucroman";
        default:
            return "none";
    }
}

std::string Json(const qb::RichTextControl& rt) {
    std::string out = "{\"text\": ";
    JsonString(out, qbx::ToUtf8(rt.Text()));  // CR stays CR in JSON text
    out += ",\n \"paragraphs\": [";
    for (int32_t p = 0; p < rt.ParagraphCount(); ++p) {
        int32_t start = rt.ParagraphStart(p);
        qb::ParaFormat f = rt.ParaFormatAt(start);
        std::string tabs;
        for (const qb::TabStop& t : f.tabs) {
            if (!tabs.empty()) tabs += ", ";
            tabs += std::to_string(t.position);
        }
        char buf[640];
        std::snprintf(
            buf, sizeof buf,
            "%s\n  {\"start\": %d, \"length\": %d, \"align\": \"%s\", \"startIndent\": %d, "
            "\"rightIndent\": %d, \"offset\": %d, \"numbering\": \"%s\", "
            "\"numberingStart\": %d, \"spaceBefore\": %d, \"spaceAfter\": %d, "
            "\"lineSpacing\": {\"rule\": %d, \"value\": %d}, \"tabStops\": [",
            p ? "," : "", start, rt.ParagraphLength(p), AlignName(f.alignment), f.startIndent,
            f.rightIndent, f.offset, NumberingName(f.numbering), f.numberingStart, f.spaceBefore,
            f.spaceAfter, f.lineSpacingRule, f.lineSpacing);
        out += buf;
        out += tabs + "]}";
    }
    out += "],\n \"runs\": [";
    bool first = true;
    for (int32_t r = 0; r < rt.RunCount(); ++r) {
        int32_t start = rt.RunStart(r), end = rt.RunEnd(r);
        if (end <= start) continue;
        const qb::CharFormat& f = rt.RunFormat(r);
        out += first ? "\n  {" : ",\n  {";
        first = false;
        out += "\"start\": " + std::to_string(start) +
               ", \"length\": " + std::to_string(end - start) + ", \"face\": ";
        JsonString(out, f.face);
        auto flag = [&](const char* name, bool v) {
            out += ", \"";
            out += name;
            out += v ? "\": true" : "\": false";
        };
        out += ", \"height\": " + std::to_string(f.height) + ", \"colour\": " + Colour(f.colour);
        flag("bold", f.Has(qb::kEffectBold));
        flag("italic", f.Has(qb::kEffectItalic));
        flag("underline", f.Has(qb::kEffectUnderline));
        flag("strike", f.Has(qb::kEffectStrikeout));
        flag("protected", f.Has(qb::kEffectProtected));
        flag("superscript", f.Has(qb::kEffectSuperscript));
        flag("subscript", f.Has(qb::kEffectSubscript));
        out += ", \"offset\": " + std::to_string(f.offset) +
               ", \"background\": " + Colour(f.background);
        flag("hidden", f.Has(qb::kEffectHidden));
        out += ", \"charset\": " + std::to_string(f.charset) + "}";
    }
    out += "]}\n";
    return out;
}

const char kUsage[] =
    "usage: qbx rtf [--text | --rtf | --json] FILE.rtf|-\n"
    "\n"
    "Reads RTF (from standard input for \"-\") as the article display does and\n"
    "prints its plain text (UTF-8, CR LF between paragraphs; the default), the\n"
    "RTF it streams out (--rtf), or its paragraphs and runs as JSON (--json).\n";

int Run(const qbx::Args& args) {
    enum { kText, kRtf, kJson } mode = kText;
    auto modeOption = [&mode](const char* name, const char* help, decltype(mode) chosen) {
        return qbx::Option{name, false, help,
                           [&mode, chosen](const std::string&) -> std::optional<std::string> {
                               mode = chosen;  // the last one given counts
                               return std::nullopt;
                           }};
    };
    qbx::CommandSyntax syntax;
    syntax.command = "rtf";
    syntax.usage = kUsage;
    syntax.options = {modeOption("--text", "the plain text (the default)", kText),
                      modeOption("--rtf", "the RTF as streamed out", kRtf),
                      modeOption("--json", "the paragraphs and runs as JSON", kJson)};
    syntax.tooManyOperands = "only one file may be given";
    std::string path;
    if (auto rc = qbx::ParseArguments(args, syntax, path)) return *rc;
    std::string data;
    if (path == "-") {
        std::ostringstream ss;
        ss << std::cin.rdbuf();
        data = ss.str();
    } else {
        std::FILE* f = std::fopen(path.c_str(), "rb");
        if (!f) {
            std::fprintf(stderr, "qbx rtf: cannot open %s: %s\n", path.c_str(),
                         std::strerror(errno));
            return 1;
        }
        char buf[65536];
        std::size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
            data.append(buf, n);
        bool failed = std::ferror(f);
        std::fclose(f);
        if (failed) {
            std::fprintf(stderr, "qbx rtf: cannot read %s\n", path.c_str());
            return 1;
        }
    }
    qb::RichTextControl rt;
    if (!rt.StreamInRtf(data)) {
        std::fprintf(stderr, "qbx rtf: %s is not RTF\n", path == "-" ? "the input" : path.c_str());
        return 1;
    }
    std::string out = mode == kText  ? rt.StreamOutText(qb::TextEncoding::kUtf8)
                      : mode == kRtf ? rt.StreamOutRtf()
                                     : Json(rt);
    std::fwrite(out.data(), 1, out.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

qbx::Registrar reg("rtf", "print the text, RTF or formats of an RTF file as the reader sees it",
                   Run);

}  // namespace
