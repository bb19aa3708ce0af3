#include "export/html_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <new>
#include <utility>

#include "app/settings.h"
#include "app/startup.h"
#include "article/attachment_opener.h"
#include "article/link_recognizer.h"
#include "datafile/articles.h"
#include "datafile/quill_error.h"
#include "export/html_rich_text.h"
#include "platform/file_io.h"
#include "resources/strings.h"
#include "richtext/article_content.h"
#include "richtext/text_find.h"

namespace qb {
namespace {

bool IsSpaceByte(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

}  // namespace

std::string HtmlColourText(uint32_t colour) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string text(6, '0');
    for (int i = 0; i < 3; ++i) {
        unsigned byte = colour >> (8 * i) & 0xFF;
        text[std::size_t(2 * i)] = kHex[byte >> 4];
        text[std::size_t(2 * i + 1)] = kHex[byte & 0xF];
    }
    return text;
}

HtmlSettings MakeHtmlSettings(const Settings& settings, const ArticleFont& font, int dpi) {
    HtmlSettings s;
    s.exportType = settings.htmlExportType;
    s.encodeSet = settings.htmlEncodeSet;
    s.customSet = settings.htmlCustomSet;
    s.versionText = OwnProgramVersion().text;
    s.fontFace = font.font.faceName;
    s.fontHeightTwips = FontPointsForHeight(font.font.height, dpi) * 20;
    s.textColor = uint32_t(font.textColor) & 0xFFFFFF;
    s.useTextColor = !font.autoColor;
    return s;
}

LinkContext LinkContextFrom(const TargetContext& context) {
    return LinkContext{context.linkBase, context.drive, context.drives, CodePage()};
}

std::vector<HtmlEncoding> PredefinedHtmlEncodings() {
    std::vector<HtmlEncoding> out;
    for (int id = msg::kFirstEncoding;; ++id) {
        const char* text = ResourceString(id);
        if (!text || std::string_view(text) == ";") break;
        std::string_view entry(text);
        std::size_t semi = entry.find(';');
        if (semi == std::string_view::npos)
            out.push_back({std::string(entry), std::string()});
        else
            out.push_back(
                {std::string(entry.substr(0, semi)), std::string(entry.substr(semi + 1))});
    }
    return out;
}

int HtmlFontSize(int32_t points) {
    if (points >= 36) return 7;
    if (points >= 24) return 6;
    if (points >= 18) return 5;
    if (points >= 14) return 4;
    if (points >= 12) return 3;
    if (points >= 9) return 2;
    return 1;
}

HtmlWriter::HtmlWriter(HtmlSettings settings)
    : settings_(std::move(settings)),
      codePage_(settings_.codePage ? settings_.codePage.get() : &OutputCodePage::Windows1252()),
      encodings_(PredefinedHtmlEncodings()) {}

HtmlWriter::~HtmlWriter() {
    Abort();
}

void HtmlWriter::Fail(int error) {
    throw CQuillError(ErrnoToCode(error), path_);
}

void HtmlWriter::Open(const std::string& path) {
    Abort();
    path_ = path;
    fill_ = 0;
    written_ = started_ = 0;
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) Fail(errno);
    // Only a regular file is ever removed again (never a device such as
    // /dev/null that a caller names).
    struct stat st;
    ownsFile_ = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    fd_ = fd;
}

void HtmlWriter::OpenMemory(std::string& sink) {
    Abort();
    path_.clear();
    fill_ = 0;
    sink_ = &sink;
}

void HtmlWriter::Allocate() {
    try {
        buffer_ = std::make_unique<char[]>(kBufferSize);
    } catch (const std::bad_alloc&) {
        throw CQuillError(err::kOutOfMemory, path_);
    }
    fill_ = 0;
}

void HtmlWriter::Flush() {
    // Until the file is open the buffer only fills, so that writing a
    // fragment before Open is an error reported at the first flush.
    if (sink_) {
        try {
            sink_->append(buffer_.get(), fill_);
        } catch (const std::bad_alloc&) {
            fill_ = 0;
            throw CQuillError(err::kOutOfMemory);
        }
        fill_ = 0;
        return;
    }
    if (fd_ < 0) throw CQuillError(err::kFileSystem, path_);
    int e = WriteAll(fd_, buffer_.get(), fill_);
    if (e != 0) {
        fill_ = 0;
        Fail(e);
    }
    written_ += fill_;
    fill_ = 0;
    // A long file starts on its way to the disk while the rest is written,
    // so that the sync at Close has little left to wait for. Only a hint:
    // Close's fsync is what makes the file safe.
    if (ownsFile_ && written_ - started_ >= kWritebackStep) {
        (void)::sync_file_range(fd_, off_t(started_), off_t(written_ - started_),
                                SYNC_FILE_RANGE_WRITE);
        started_ = written_;
    }
}

void HtmlWriter::Write(std::string_view bytes) {
    if (!buffer_) Allocate();
    while (!bytes.empty()) {
        std::size_t n = std::min(bytes.size(), kBufferSize - fill_);
        std::copy_n(bytes.data(), n, buffer_.get() + fill_);
        fill_ += n;
        bytes.remove_prefix(n);
        if (fill_ == kBufferSize) Flush();
    }
}

void HtmlWriter::WriteLine(std::string_view bytes) {
    Write(bytes);
    Write("\r\n");
}

void HtmlWriter::WriteNumber(int64_t n) {
    char digits[24];
    char* end = digits + sizeof digits;
    char* p = end;
    uint64_t v = n < 0 ? 0 - uint64_t(n) : uint64_t(n);
    do {
        *--p = char('0' + v % 10);
        v /= 10;
    } while (v != 0);
    if (n < 0) *--p = '-';
    Write(std::string_view(p, std::size_t(end - p)));
}

void HtmlWriter::PutEscapedByte(uint8_t b) {
    // The names stand for Windows-1252 characters; in another code page only
    // the ASCII ones mean the same.
    const char* name = (b < 0x80 || codePage_->IsWindows1252()) ? entities_.EntityFor(b) : nullptr;
    if (!name) {
        Put(char(b));
        return;
    }
    Put('&');
    Write(name);
    Put(';');
}

void HtmlWriter::WriteEscaped(std::string_view text) {
    for (char c : text)
        PutEscapedByte(uint8_t(c));
}

void HtmlWriter::WriteNumericReference(char32_t c) {
    Write("&#");
    WriteNumber(int64_t(c));
    Put(';');
}

void HtmlWriter::WriteOtherCharacter(char32_t c, bool escaped) {
    int b = codePage_->ByteFor(c);
    if (b < 0) {
        WriteNumericReference(c);
        return;
    }
    if (escaped)
        PutEscapedByte(uint8_t(b));
    else
        Put(char(b));
}

void HtmlWriter::WriteAttribute(std::string_view bytes) {
    for (char c : bytes) {
        if (c == '"')
            Write("&quot;");
        else
            Put(c);
    }
}

void HtmlWriter::WriteAttribute(std::u16string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        if (c == '"')
            Write("&quot;");
        else
            WriteCharacter(c, false);
    }
}

void HtmlWriter::WriteTextWithBreaks(std::string_view text) {
    const LinkRecognizer& recognizer = LinkRecognizer::Shared();
    std::u16string word;
    std::size_t i = 0;
    while (i < text.size()) {
        char c = text[i];
        if (IsSpaceByte(c)) {
            if (c == '\r' || c == '\n') {
                WriteLine("<br>");
                char other = c == '\r' ? '\n' : '\r';
                if (i + 1 < text.size() && text[i + 1] == other) ++i;
            } else {
                Put(c);
            }
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < text.size() && !IsSpaceByte(text[end]))
            ++end;
        // The recogniser looks at ASCII only; widening keeps the positions.
        word.assign(end - i, u'\0');
        for (std::size_t k = i; k < end; ++k)
            word[k - i] = char16_t(static_cast<unsigned char>(text[k]));
        RecognizedWord w = recognizer.RecognizeWord(word);
        if (w.kind == LinkKind::kNone) {
            WriteEscaped(text.substr(i, end - i));
        } else {
            std::size_t linkAt = i + std::size_t(w.linkStart);
            std::string_view link = text.substr(linkAt, std::size_t(w.linkLength));
            WriteEscaped(text.substr(i, std::size_t(w.beforeLength)));
            Write("<a href=\"");
            if (w.kind == LinkKind::kQuotedFile) {
                std::size_t from = linkAt + link.size(), to = from;
                while (to < text.size() && text[to] != '"' && text[to] != '\r' && text[to] != '\n')
                    ++to;
                if (to > from) {
                    Write("file://");
                    WriteAttribute(text.substr(from, to - from));
                } else {
                    WriteAttribute(link);
                }
            } else {
                Write(RecognizedHrefPrefix(w.kind));
                WriteAttribute(link);
            }
            Write("\">");
            Write(link);
            Write("</a>");
            WriteEscaped(text.substr(linkAt + link.size(), end - linkAt - link.size()));
        }
        i = end;
    }
}

void HtmlWriter::WriteHead(std::string_view title) {
    WriteLine("<HTML>");
    Write("<!-- This file was created using Quillbox ");
    Write(settings_.versionText);
    WriteLine(" -->");
    WriteLine("<HEAD>");
    Write("<META NAME=\"Generator\" CONTENT=\"Quillbox ");
    Write(settings_.versionText);
    WriteLine("\">");
    if (settings_.exportType == 1 || settings_.exportType == 2) {
        std::string charset;
        if (settings_.exportType == 2)
            charset = settings_.customSet;
        else if (settings_.encodeSet >= 0 && std::size_t(settings_.encodeSet) < encodings_.size())
            charset = encodings_[std::size_t(settings_.encodeSet)].charset;
        // A typed name must not end the attribute it stands in.
        std::string quoted;
        for (char c : charset)
            quoted += c == '"' ? std::string("&quot;") : std::string(1, c);
        WriteLine(FormatResource(msg::kHtmlCharsetMeta, quoted));
        if (settings_.exportType == 1) entities_.SetRestricted(true);
    }
    Write("<TITLE>");
    WriteEscaped(title);
    WriteLine("</TITLE>");
    WriteLine("</HEAD>");
    WriteLine("<BODY>");
}

void HtmlWriter::WriteTail() {
    WriteLine("<br><br>");
    WriteLine("</BODY>");
    WriteLine("</HTML>");
}

void HtmlWriter::OpenDefaultFont() {
    Write("<FONT FACE=\"");
    WriteAttribute(Utf8ToUtf16(settings_.fontFace));
    Write("\" SIZE=\"");
    int64_t twips = settings_.fontHeightTwips;
    if (twips < 0) twips = -twips;
    WriteNumber(HtmlFontSize(int32_t((twips + 10) / 20)));
    if (settings_.useTextColor) {
        Write("\" COLOR=\"#");
        Write(HtmlColourText(settings_.textColor));
    }
    WriteLine("\">");
}

void HtmlWriter::CloseDefaultFont() {
    WriteLine("</FONT>");
}

bool HtmlWriter::WriteArticleContent(const CArticle& article, const LinkContext& links,
                                     ProgressWindow* progress) {
    if (LoadArticleContent(control_, article.IsRichText(), article.Content(),
                           settings_.textCodePage))
        return WriteRichTextContent(*this, control_, article.links, links, progress);
    OpenDefaultFont();
    WriteTextWithBreaks(article.Content());
    WriteLine("<br>");
    CloseDefaultFont();
    return true;
}

void HtmlWriter::Close() {
    if (sink_) {
        std::string* sink = std::exchange(sink_, nullptr);
        if (fill_ > 0) sink->append(buffer_.get(), fill_);
        buffer_.reset();
        fill_ = 0;
        return;
    }
    if (fd_ < 0) {
        buffer_.reset();
        fill_ = 0;
        return;
    }
    int e = 0;
    try {
        if (fill_ > 0) Flush();
    } catch (const CQuillError&) {
        ::close(fd_);
        fd_ = -1;
        buffer_.reset();
        throw;
    }
    if (ownsFile_ && ::fsync(fd_) != 0 && errno != EINVAL && errno != EROFS) e = errno;
    if (::close(fd_) != 0 && e == 0 && errno != EINTR) e = errno;
    fd_ = -1;
    buffer_.reset();
    fill_ = 0;
    if (e != 0) Fail(e);
    ownsFile_ = false;
}

void HtmlWriter::Abort() {
    sink_ = nullptr;
    buffer_.reset();
    fill_ = 0;
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (ownsFile_) ::unlink(path_.c_str());
    ownsFile_ = false;
}

}  // namespace qb
