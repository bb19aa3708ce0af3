// qbx-make-demo SRC_DIR OUT.qbx
//
// Builds the demo data file from its readable source: SRC_DIR/demo.txt (UTF-8,
// described at its top) and the .rtf files it names. Texts are stored as
// Windows-1252; a character that has no Windows-1252 form stops the build
// rather than being dropped.
#include <array>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "writer/qbx_writer.h"

namespace {

[[noreturn]] void Fail(const std::string& why) {
    throw std::runtime_error(why);
}

std::string Trim(const std::string& s) {
    size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return "";
    size_t e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

std::vector<std::string> Split(const std::string& s, char sep) {
    std::vector<std::string> out;
    std::string cur;
    std::istringstream in(s);
    while (std::getline(in, cur, sep))
        out.push_back(Trim(cur));
    return out;
}

// UTF-8 to Windows-1252.
std::string ToCp1252(const std::string& utf8) {
    static const std::map<uint32_t, uint8_t> high = {
        {0x20AC, 0x80}, {0x201A, 0x82}, {0x0192, 0x83}, {0x201E, 0x84}, {0x2026, 0x85},
        {0x2020, 0x86}, {0x2021, 0x87}, {0x02C6, 0x88}, {0x2030, 0x89}, {0x0160, 0x8A},
        {0x2039, 0x8B}, {0x0152, 0x8C}, {0x017D, 0x8E}, {0x2018, 0x91}, {0x2019, 0x92},
        {0x201C, 0x93}, {0x201D, 0x94}, {0x2022, 0x95}, {0x2013, 0x96}, {0x2014, 0x97},
        {0x02DC, 0x98}, {0x2122, 0x99}, {0x0161, 0x9A}, {0x203A, 0x9B}, {0x0153, 0x9C},
        {0x017E, 0x9E}, {0x0178, 0x9F}};
    std::string out;
    for (size_t i = 0; i < utf8.size();) {
        const uint8_t c = static_cast<uint8_t>(utf8[i]);
        uint32_t cp;
        int n;
        if (c < 0x80) {
            cp = c;
            n = 1;
        } else if ((c & 0xE0) == 0xC0) {
            cp = c & 0x1F;
            n = 2;
        } else if ((c & 0xF0) == 0xE0) {
            cp = c & 0x0F;
            n = 3;
        } else {
            Fail("unsupported UTF-8 in: " + utf8);
        }
        if (i + n > utf8.size()) Fail("truncated UTF-8 in: " + utf8);
        for (int k = 1; k < n; ++k)
            cp = (cp << 6) | (static_cast<uint8_t>(utf8[i + k]) & 0x3F);
        i += n;
        if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
            out.push_back(static_cast<char>(cp));
        } else if (auto it = high.find(cp); it != high.end()) {
            out.push_back(static_cast<char>(it->second));
        } else {
            Fail("no Windows-1252 form for a character in: " + utf8);
        }
    }
    return out;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) Fail("cannot read " + path);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The text a rich-edit control shows for the RTF we ship: one character per
// paragraph mark, tab and escaped character; destinations, tables and
// generated list numbers contribute nothing. Good enough to place the stored
// links on the words they cover.
std::string RtfPlainText(const std::string& rtf) {
    std::string out;
    std::vector<bool> skipStack{false};
    bool skip = false;
    for (size_t i = 0; i < rtf.size(); ++i) {
        const char c = rtf[i];
        if (c == '{') {
            skipStack.push_back(skip);
            // A group is skipped when it is a destination we do not show.
            static const char* hidden[] = {"{\\fonttbl", "{\\colortbl",   "{\\*",
                                           "{\\pntext",  "{\\stylesheet", "{\\info"};
            for (const char* h : hidden)
                if (rtf.compare(i, std::char_traits<char>::length(h), h) == 0) skip = true;
            continue;
        }
        if (c == '}') {
            if (skipStack.size() > 1) {
                skip = skipStack.back();
                skipStack.pop_back();
            }
            continue;
        }
        if (c == '\r' || c == '\n') continue;
        if (c != '\\') {
            if (!skip) out.push_back(c);
            continue;
        }
        if (i + 1 >= rtf.size()) break;
        const char n = rtf[i + 1];
        if (n == '\\' || n == '{' || n == '}') {
            if (!skip) out.push_back(n);
            ++i;
            continue;
        }
        if (n == '\'') {
            if (i + 3 >= rtf.size()) Fail("bad \\' escape");
            if (!skip)
                out.push_back(static_cast<char>(std::stoi(rtf.substr(i + 2, 2), nullptr, 16)));
            i += 3;
            continue;
        }
        if (n == '~') {
            if (!skip) out.push_back(static_cast<char>(0xA0));
            ++i;
            continue;
        }
        size_t j = i + 1;
        while (j < rtf.size() && std::isalpha(static_cast<unsigned char>(rtf[j])))
            ++j;
        const std::string word = rtf.substr(i + 1, j - i - 1);
        if (j < rtf.size() && (rtf[j] == '-' || std::isdigit(static_cast<unsigned char>(rtf[j])))) {
            ++j;
            while (j < rtf.size() && std::isdigit(static_cast<unsigned char>(rtf[j])))
                ++j;
        }
        if (j < rtf.size() && rtf[j] == ' ') ++j;
        i = j - 1;
        if (skip) continue;
        if (word == "par" || word == "line") out.push_back('\r');
        if (word == "tab") out.push_back('\t');
        if (word == "lquote") out.push_back('\x91');
        if (word == "rquote") out.push_back('\x92');
        if (word == "ldblquote") out.push_back('\x93');
        if (word == "rdblquote") out.push_back('\x94');
        if (word == "endash") out.push_back('\x96');
        if (word == "emdash") out.push_back('\x97');
        if (word == "bullet") out.push_back('\x95');
    }
    return out;
}

struct Block {
    std::string kind;  // "file", "keywords", "group", "query", "reminder", "article", "gap"
    std::string name;
    std::vector<std::pair<std::string, std::string>> fields;  // in order, repeats allowed
    std::vector<std::string> lines;                           // [keywords]
    int line = 0;

    std::string Get(const std::string& key, const std::string& def = "") const {
        for (const auto& [k, v] : fields)
            if (k == key) return v;
        return def;
    }
    std::vector<std::string> All(const std::string& key) const {
        std::vector<std::string> out;
        for (const auto& [k, v] : fields)
            if (k == key) out.push_back(v);
        return out;
    }
};

std::vector<Block> Parse(const std::string& text) {
    std::vector<Block> blocks;
    std::istringstream in(text);
    std::string raw;
    int lineNo = 0;
    while (std::getline(in, raw)) {
        ++lineNo;
        const std::string line = Trim(raw);
        if (line.empty() || line[0] == '#') continue;
        if (line.front() == '[' && line.back() == ']') {
            Block b;
            const std::string head = line.substr(1, line.size() - 2);
            const size_t sp = head.find(' ');
            b.kind = head.substr(0, sp);
            b.name = sp == std::string::npos ? "" : ToCp1252(Trim(head.substr(sp + 1)));
            b.line = lineNo;
            blocks.push_back(b);
            continue;
        }
        if (blocks.empty()) Fail("line " + std::to_string(lineNo) + ": outside a block");
        Block& b = blocks.back();
        if (b.kind == "keywords") {
            b.lines.push_back(ToCp1252(line));
            continue;
        }
        const size_t eq = line.find('=');
        if (eq == std::string::npos)
            Fail("line " + std::to_string(lineNo) + ": expected key = value");
        b.fields.emplace_back(Trim(line.substr(0, eq)), ToCp1252(Trim(line.substr(eq + 1))));
    }
    return blocks;
}

int32_t ParseDate(const std::string& s) {  // YYYY-MM-DD
    int y, m, d;
    if (std::sscanf(s.c_str(), "%d-%d-%d", &y, &m, &d) != 3) Fail("bad date: " + s);
    return y * 10000 + m * 100 + d;
}

int32_t ParseTime(const std::string& s) {  // HH:MM
    int h, m;
    if (std::sscanf(s.c_str(), "%d:%d", &h, &m) != 2) Fail("bad time: " + s);
    return h * 3600 + m * 60;
}

void ParseMoment(const std::string& s, int32_t& date, int32_t& time) {
    const auto parts = Split(s, ' ');
    date = ParseDate(parts.at(0));
    time = parts.size() > 1 ? ParseTime(parts[1]) : 0;
}

struct Demo {
    std::string dir;
    qbw::FileBuilder file;
    std::map<std::string, int32_t> keywordIds, groupIds, articleIds, queryIds;
    std::vector<std::string> keywordNames;
    std::map<int32_t, std::vector<int32_t>> keywordArticles;
    std::vector<int32_t> bookmarks, privateIds;
    std::map<int32_t, qbw::ArticleData> articles;
    std::map<int32_t, int> oldLevels;
    std::vector<qbw::ReminderData> reminders;
    std::vector<qbw::SavedQueryData> queries;
    std::vector<int16_t> recent;
    qbw::Privacy privacy;
    bool hasPassword = false;

    int32_t Keyword(const std::string& name) const {
        auto it = keywordIds.find(name);
        if (it == keywordIds.end()) Fail("unknown keyword: " + name);
        return it->second;
    }
    int32_t Article(const std::string& title) const {
        auto it = articleIds.find(title);
        if (it == articleIds.end()) Fail("unknown article: " + title);
        return it->second;
    }
};

void FileBlock(Demo& d, const Block& b) {
    d.file.SetStream(qbw::stream::kPrintHeader, qbw::EncodeTextStream(b.Get("print-header")));
    d.file.SetStream(qbw::stream::kPrintFooter, qbw::EncodeTextStream(b.Get("print-footer")));
    d.file.SetStream(qbw::stream::kExportHeader, qbw::EncodeTextStream(b.Get("export-header")));

    std::array<int16_t, 12> page{50, 75, 50, 75, 0, 0, 1, 1, 0, 1, 1, 0};
    const auto values = Split(b.Get("page-setup"), ' ');
    for (size_t i = 0; i < values.size() && i < page.size(); ++i)
        page[i] = static_cast<int16_t>(std::stoi(values[i]));
    d.file.SetStream(qbw::stream::kPageSetup, qbw::EncodePageSetup(page));

    // The default font in the 16-bit logical-font form: height, width,
    // escapement, orientation, weight, then eight one-byte fields and the face.
    qbw::FileSettingsData s;
    s.wordWrap = static_cast<int16_t>(std::stoi(b.Get("word-wrap", "1")));
    const auto font = Split(b.Get("font", "Arial 10"), ' ');
    qbw::Encoder lf;
    const int points = std::stoi(font.back());
    lf.Int16(static_cast<int16_t>(-(points * 96 + 36) / 72)).Int16(0).Int16(0).Int16(0).Int16(400);
    lf.Zeros(8);
    std::string face;
    for (size_t i = 0; i + 1 < font.size(); ++i)
        face += (i ? " " : "") + font[i];
    face.resize(32, '\0');
    lf.Bytes(face);
    for (size_t i = 0; i < s.font.size(); ++i)
        s.font[i] = static_cast<uint8_t>(lf.Str()[i]);
    s.fontColor = std::stoi(b.Get("text-colour", "0"), nullptr, 0);
    s.fontAutoColor = 1;
    s.comments = b.Get("comments");
    s.relativeLinkLocation = static_cast<int16_t>(std::stoi(b.Get("relative-links", "1")));
    s.relativeLinkPath = b.Get("relative-path");
    s.fullPathNames = 1;
    d.file.SetStream(qbw::stream::kFileSettings, qbw::EncodeFileSettings(s));

    for (const std::string& r : Split(b.Get("recent-queries"), ' '))
        if (!r.empty()) d.recent.push_back(static_cast<int16_t>(std::stoi(r)));

    if (const std::string pw = b.Get("password"); !pw.empty()) {
        // Fixed salt and key material keep the demo file reproducible.
        qbw::Key16 salt, k;
        for (int i = 0; i < 16; ++i) {
            salt[i] = static_cast<uint8_t>(0x5A ^ (i * 29));
            k[i] = static_cast<uint8_t>(0xC3 + i * 41);
        }
        d.privacy = qbw::MakePrivacy(pw, salt, k);
        d.hasPassword = true;
        d.file.SetStream(qbw::stream::kPrivacy, d.privacy.stream);
    }
}

void ArticleBlock(Demo& d, const Block& b, int32_t id) {
    qbw::ArticleData a;
    a.title = b.Get("title");
    if (a.title.empty()) Fail("article without a title, line " + std::to_string(b.line));
    ParseMoment(b.Get("date"), a.articleDate, a.articleTime);
    a.createdDate = a.articleDate;
    a.createdTime = a.articleTime;
    if (auto c = b.Get("created"); !c.empty()) ParseMoment(c, a.createdDate, a.createdTime);
    a.modifiedDate = a.createdDate;
    a.modifiedTime = a.createdTime;
    if (auto m = b.Get("modified"); !m.empty()) ParseMoment(m, a.modifiedDate, a.modifiedTime);
    for (const std::string& k : Split(b.Get("keywords"), ','))
        if (!k.empty()) {
            const int32_t kid = d.Keyword(k);
            a.keywordIds.push_back(kid);
            d.keywordArticles[kid].push_back(id);
        }
    if (auto rtf = b.Get("rtf"); !rtf.empty()) a.richText = ReadFile(d.dir + "/" + rtf);
    for (const std::string& t : b.All("text"))
        a.plainText += (a.plainText.empty() ? "" : "\r\n") + t;
    a.display.wordWrap = 1;
    if (b.Get("bookmark") == "yes") d.bookmarks.push_back(id);
    if (b.Get("private") == "yes") {
        a.flags |= 0x0003;
        d.privateIds.push_back(id);
    }
    if (auto lvl = b.Get("old-level"); !lvl.empty()) d.oldLevels[id] = std::stoi(lvl);
    d.articles[id] = a;
}

// Attachments and links name other articles, so they are resolved once all
// articles are known.
void ResolveReferences(Demo& d, const Block& b, int32_t id) {
    qbw::ArticleData& a = d.articles[id];
    for (const std::string& att : b.All("attach")) {
        const size_t sp = att.find(' ');
        const std::string kind = att.substr(0, sp), target = Trim(att.substr(sp + 1));
        qbw::AttachmentData x;
        x.target = target;
        if (kind == "file") {
            x.kind = 1;
        } else if (kind == "web") {
            x.kind = 2;
        } else if (kind == "article") {
            x.kind = 3;
            x.articleId = d.Article(target);
        } else {
            Fail("attachment kind: " + kind);
        }
        a.attachments.push_back(x);
    }
    const std::string shown = a.richText.empty() ? a.plainText : RtfPlainText(a.richText);
    for (const std::string& link : b.All("link")) {
        const auto parts = Split(link, '|');
        if (parts.size() != 3) Fail("link needs kind | phrase | target: " + link);
        const size_t at = shown.find(parts[1]);
        if (at == std::string::npos)
            Fail("link phrase not in the text of " + a.title + ": " + parts[1]);
        qbw::StoredLinkData l;
        l.start = static_cast<int32_t>(at);
        l.end = static_cast<int32_t>(at + parts[1].size());
        l.target = parts[2];
        if (parts[0] == "article") {
            l.kind = 3;
            l.targetId = d.Article(parts[2]);
            const qbw::ArticleData& t = d.articles[l.targetId];
            l.targetCreatedDate = t.createdDate;
            l.targetCreatedTime = t.createdTime;
        } else if (parts[0] == "web") {
            l.kind = 2;
        } else if (parts[0] == "file") {
            l.kind = 1;
        } else {
            Fail("link kind: " + parts[0]);
        }
        a.links.push_back(l);
    }
    // A writer keeps the has-links bits current.
    a.flags |= 0x0040;
    if (!a.links.empty()) a.flags |= 0x0080;
}

void Build(Demo& d, const std::vector<Block>& blocks) {
    // Pass 1: ids and names.
    int32_t nextArticle = 0, nextGroup = 0;
    std::map<const Block*, int32_t> articleOf;
    for (const Block& b : blocks) {
        if (b.kind == "keywords") {
            for (const std::string& k : b.lines) {
                d.keywordIds[k] = static_cast<int32_t>(d.keywordNames.size());
                d.keywordNames.push_back(k);
            }
        } else if (b.kind == "gap") {
            ++nextArticle;  // a deleted article leaves its slot empty
        } else if (b.kind == "article") {
            articleOf[&b] = nextArticle;
            d.articleIds[b.Get("title")] = nextArticle++;
        }
    }
    for (const Block& b : blocks) {
        if (b.kind == "file") FileBlock(d, b);
        if (b.kind == "article") ArticleBlock(d, b, articleOf[&b]);
    }
    for (const Block& b : blocks) {
        if (b.kind == "article") ResolveReferences(d, b, articleOf[&b]);
        if (b.kind == "group") {
            std::vector<int32_t> ids;
            for (const std::string& k : Split(b.Get("keywords"), ','))
                ids.push_back(d.Keyword(k));
            d.file.SetRecord(3, nextGroup++, qbw::EncodeGroup(b.name, ids));
        }
        if (b.kind == "query") {
            qbw::SavedQueryData q;
            q.name = b.name;
            q.query = b.Get("text");
            if (auto f = b.Get("from"); !f.empty()) q.dateFrom = ParseDate(f);
            if (auto t = b.Get("to"); !t.empty()) q.dateTo = ParseDate(t);
            d.queries.push_back(q);
        }
        if (b.kind == "reminder") {
            qbw::ReminderData r;
            ParseMoment(b.Get("when"), r.date, r.time);
            r.articleId = d.Article(b.Get("article"));
            d.reminders.push_back(r);
        }
    }

    int32_t salt = 0x1000;
    for (const auto& [id, a] : d.articles) {
        if (auto old = d.oldLevels.find(id); old != d.oldLevels.end()) {
            d.file.SetRecord(1, id, qbw::EncodeArticleOld(a, old->second));
            continue;
        }
        qbw::NewArticleOptions o;
        if (a.flags & 0x0002) {
            if (!d.hasPassword) Fail("private article without a password: " + a.title);
            o.blobs.mode = qbw::BlobMode::kPrivate;
            o.blobs.contentKey = d.privacy.contentKey;
            o.blobs.salt = salt;
            salt += 0x100;
        }
        d.file.SetRecord(1, id, qbw::EncodeArticleNew(a, o));
    }
    // Two never-used slots at the end of the table, as a file that grew and shrank has.
    d.file.SetTableCount(1, nextArticle + 2);

    for (size_t k = 0; k < d.keywordNames.size(); ++k)
        d.file.SetRecord(0, static_cast<int32_t>(k),
                         qbw::EncodeKeyword(d.keywordNames[k], d.keywordArticles[k]));
    d.file.SetStream(qbw::stream::kBookmarks, qbw::EncodeIdStream(d.bookmarks));
    if (!d.privateIds.empty())
        d.file.SetStream(qbw::stream::kPrivateIds, qbw::EncodeIdStream(d.privateIds));
    d.file.SetStream(qbw::stream::kSavedQueries, qbw::EncodeSavedQueries(d.queries, d.recent));
    d.file.SetStream(qbw::stream::kReminders, qbw::EncodeReminders(d.reminders));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: qbx-make-demo SRC_DIR OUT.qbx\n");
        return 2;
    }
    try {
        Demo d;
        d.dir = argv[1];
        // Opening must not ask for the password: the private articles start locked.
        d.file.SetVersion(300).SetGeometry(512, 128).SetFlags(0);
        Build(d, Parse(ReadFile(d.dir + "/demo.txt")));
        d.file.WriteFile(argv[2]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "qbx-make-demo: %s\n", e.what());
        return 1;
    }
    return 0;
}
