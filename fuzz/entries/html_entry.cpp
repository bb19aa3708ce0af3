// The HTML target: the input is read as an article's RTF content (or, when
// it is no RTF, as plain text) and converted to HTML as the export does,
// with stored links over its start, once per kind of charset declaration.
#include <memory>
#include <string>
#include <vector>

#include "datafile/quill_error.h"
#include "export/html_rich_text.h"
#include "export/html_writer.h"
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

}  // namespace

int FuzzHtml(const uint8_t* data, size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
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
    return 0;
}

}  // namespace qbfuzz
