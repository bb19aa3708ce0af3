// The HTML target: the input is read as an article's RTF content (or, when
// it is no RTF, as plain text) and converted to HTML as the export does,
// with stored links over its start, once per kind of charset declaration,
// and to Markdown as the notes folder does (its pictures made files). The
// input is also read as HTML, as the keyword cloud is shown, and what that
// gives converted to Markdown. Markdown must be UTF-8 and end with LF.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "datafile/quill_error.h"
#include "export/html_reader.h"
#include "export/html_rich_text.h"
#include "export/html_writer.h"
#include "export/markdown_content.h"
#include "export/markdown_pictures.h"
#include "export/markdown_text.h"
#include "export/markdown_yaml.h"
#include "export/output_code_page.h"
#include "fuzz_entries.h"
#include "platform/code_page.h"
#include "richtext/rich_text.h"

namespace qbfuzz {

namespace {

std::vector<qb::StoredLink> LinksFor(int32_t length) {
    std::vector<qb::StoredLink> links;
    if (length < 2) return links;
    qb::StoredLink web;
    web.start = 0;
    web.end = length / 2;
    web.kind = 2;
    web.target = "www.example.org/a?b=<c>&d=\"e\"";
    links.push_back(web);
    qb::StoredLink article;
    article.start = length / 2;
    article.end = length;
    article.kind = 3;
    article.articleId = 7;
    links.push_back(article);
    qb::StoredLink file;
    file.start = length - 1;
    file.end = length + 5;  // reaches past the text, as a damaged record may
    file.kind = 1;
    file.target = ".:\\Docs\\a b.txt";
    links.push_back(file);
    return links;
}

// Links as text and pictures as files, as a run writes them, without the
// files: the picture conversion is what may meet hostile bytes.
class Targets : public qb::MarkdownTargets {
public:
    std::string StoredLinkMarkdown(const qb::StoredLink&, const std::string&,
                                   const std::string& escaped) override {
        return "[" + escaped + "](x.md)";
    }
    std::string PictureMarkdown(const qb::Picture& picture) override {
        std::optional<qb::PictureFile> file = qb::PictureAsFile(picture);
        return file ? "![](p" + file->extension + ")" : "*(picture)*";
    }
};

bool IsUtf8(std::string_view s) {
    for (size_t i = 0; i < s.size();) {
        const unsigned char b = static_cast<unsigned char>(s[i]);
        size_t n = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
        if (n == 0 || i + n > s.size()) return false;
        for (size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        i += n;
    }
    return true;
}

void ToMarkdown(const qb::RichTextControl& control, const std::vector<qb::StoredLink>& links,
                bool plainLines) {
    Targets targets;
    for (bool all : {false, true}) {
        qb::MarkdownContentOptions options;
        options.headings = options.underline = all;
        options.plainLines = plainLines;
        std::string md = qb::ContentToMarkdown(control, links, targets, options);
        if (!IsUtf8(md)) PropertyFailed("the Markdown is not UTF-8");
        if (!md.empty() && md.back() != '\n') PropertyFailed("the Markdown does not end with LF");
    }
}

// The input as a title or keyword: the note name, the YAML scalar and the
// link destination made of it keep their promises.
void AsName(std::string_view text) {
    const std::string name = qb::SafeNoteName(text);
    if (name.empty() || name.size() > qb::kMaxNoteName) PropertyFailed("a note name's length");
    if (IsUtf8(text) && !IsUtf8(name)) PropertyFailed("a note name is not UTF-8");
    for (unsigned char c : name)
        if (c < 0x20 || c == 0x7F ||
            std::string_view("<>:\"/\\|?*#^[]").find(char(c)) != std::string_view::npos)
            PropertyFailed("a note name holds a forbidden character");
    if (name.front() == ' ' || name.front() == '.' || name.back() == ' ' || name.back() == '.')
        PropertyFailed("a note name starts or ends with a space or dot");

    const std::string quoted = qb::YamlQuoted(text);
    if (quoted.size() < 2 || quoted.front() != '"' || quoted.back() != '"' || !IsUtf8(quoted))
        PropertyFailed("a YAML scalar is not a quoted UTF-8 string");
    for (unsigned char c : quoted)
        if (c < 0x20) PropertyFailed("a YAML scalar holds a raw control character");

    for (unsigned char c : qb::LinkDestination(text))
        if (c <= 0x20 || c == '(' || c == ')' || c == '<' || c == '>')
            PropertyFailed("a link destination holds a character that ends it");
}

}  // namespace

int FuzzHtml(const uint8_t* data, size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    AsName(input.substr(0, 512));
    qb::RichTextControl control;
    bool rich = control.StreamInRtf(input);
    qb::LinkContext context;
    context.linkBase = "/home/reader/notes";
    context.drives.push_back({"D:", "/nonexistent/qbx-fuzz"});
    static const auto cyrillic = std::make_shared<const qb::OutputCodePage>(
        qb::OutputCodePage::Of(*qb::CodePage::Windows(1251)));
    for (int exportType : {0, 1}) {
        qb::HtmlSettings settings;
        settings.exportType = exportType;
        settings.useTextColor = exportType == 1;
        if (exportType == 1) settings.codePage = cyrillic;
        qb::HtmlWriter out(settings);
        out.Anchors().Name(7, "a7.html#x");
        out.Anchors().Number(8, 3);
        try {
            out.Open("/dev/null");
            out.WriteHead(input.substr(0, 40));
            if (rich) {
                qb::WriteRichTextContent(out, control, LinksFor(control.TextLength()), context,
                                         nullptr);
            } else {
                out.OpenDefaultFont();
                out.WriteTextWithBreaks(input);
                out.CloseDefaultFont();
            }
            out.WriteTail();
            out.Close();
        } catch (const qb::CQuillError&) {
            PropertyFailed("writing HTML to /dev/null failed");
        }
    }
    ToMarkdown(control, LinksFor(control.TextLength()), !rich);

    qb::RichTextControl read;
    std::vector<qb::HtmlLink> found = qb::ReadHtml(input, qb::HtmlReaderSettings(), read);
    for (const qb::HtmlLink& l : found)
        if (l.start < 0 || l.end < l.start || l.end > read.TextLength())
            PropertyFailed("a link of the HTML lies outside its text");
    ToMarkdown(read, {}, false);
    return 0;
}

}  // namespace qbfuzz
