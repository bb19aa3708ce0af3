// qbx-fuzz-seeds FOLDER: writes the seed data files of the data-file target
// into FOLDER: every record form the writer knows, the block sizes, the
// header versions, private articles under the seed password, and damaged
// copies (truncated, looping and broken chains, foreign magic).
#include <cstdio>
#include <string>
#include <vector>

#include "writer/qbx_writer.h"

namespace {

const char kPassword[] = "demo";  // as the fuzz targets try it

const char kRtf[] =
    "{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0\\fswiss Arial;}}{\\colortbl;\\red255\\green0"
    "\\blue0;}\\pard\\b Bold\\b0  and \\cf1 red\\cf0  www.example.org\\par"
    "\\pard{\\*\\pn\\pnlvlblt}item\\par}";

std::string gFolder;
int gWritten = 0;

void Save(const std::string& name, const std::string& bytes) {
    std::string path = gFolder + "/" + name + ".qbx";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || std::fclose(f)) {
        std::fprintf(stderr, "qbx-fuzz-seeds: cannot write %s\n", path.c_str());
        std::exit(1);
    }
    ++gWritten;
}

qbw::ArticleData Article(const std::string& title, int16_t level) {
    qbw::ArticleData a;
    a.level = level;
    a.title = title;
    a.createdDate = a.modifiedDate = a.articleDate = 20240315;
    a.createdTime = a.modifiedTime = a.articleTime = 43200;
    a.plainText = "Plain text of " + title + "\r\nwith a second line and mail@example.org";
    a.richText = kRtf;
    a.spareText = "spare";
    a.keywordIds = {0, 1};
    a.attachments = {{1, "C:\\Docs\\notes.txt", -1, 0, qbw::AttachmentForm::kAuto},
                     {2, "www.example.org", -1, 0, qbw::AttachmentForm::kAuto},
                     {3, "", 1, 0, qbw::AttachmentForm::kAuto}};
    qbw::StoredLinkData link;
    link.start = 0;
    link.end = 4;
    link.kind = 3;
    link.targetId = 1;
    link.targetCreatedDate = 20240315;
    link.targetCreatedTime = 43200;
    a.links = {link};
    a.flags = 0x00C0;  // has links, valid
    a.display.linkDisplay = 1;
    a.display.wordWrap = 1;
    return a;
}

// Keywords, groups and every stream around the given articles.
qbw::FileBuilder Base(uint16_t blockSize, uint16_t entries) {
    qbw::FileBuilder b;
    b.SetGeometry(blockSize, entries);
    b.SetRecord(0, 0, qbw::EncodeKeyword("garden", {0, 1}));
    b.SetRecord(0, 1, qbw::EncodeKeyword("birds", {1}, 3, true, {4, 5}));
    b.SetRecord(0, 3, qbw::EncodeKeyword("two words", {}, 2, false));
    b.SetRecord(3, 0, qbw::EncodeGroup("Nature", {0, 1}, 3, 7));
    b.SetStream(qbw::stream::kBookmarks, qbw::EncodeIdStream({0, 1}));
    b.SetStream(qbw::stream::kPrintHeader, qbw::EncodeTextStream("Header &f"));
    b.SetStream(qbw::stream::kPrintFooter, qbw::EncodeTextStream("Page &p"));
    b.SetStream(qbw::stream::kExportHeader, qbw::EncodeTextStream("Export"));
    b.SetStream(qbw::stream::kPageSetup,
                qbw::EncodePageSetup({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
    qbw::FileSettingsData s;
    s.wordWrap = 1;
    s.comments = "comments";
    s.relativeLinkPath = "C:\\Links";
    s.fullPathNames = 1;
    b.SetStream(qbw::stream::kFileSettings, qbw::EncodeFileSettings(s));
    b.SetStream(qbw::stream::kSavedQueries,
                qbw::EncodeSavedQueries({{"q1", "garden AND NOT birds", 20240101, 20241231},
                                         {"q2", "\"two words\" OR GROUP Nature"}},
                                        {0, 1}));
    std::vector<qbw::ReminderData> reminders;
    for (int16_t level = 0; level <= 4; ++level)
        reminders.push_back({level, 20240401, 3600, 0, "skip"});
    b.SetStream(qbw::stream::kReminders, qbw::EncodeReminders(reminders));
    b.SetStream(qbw::stream::kExcludedIds, qbw::EncodeIdStream({2}));
    return b;
}

qbw::Privacy SeedPrivacy() {
    qbw::Key16 salt, material;
    for (int i = 0; i < 16; ++i) {
        salt[i] = uint8_t(i * 7 + 1);
        material[i] = uint8_t(0xA5 ^ (i * 13));
    }
    return qbw::MakePrivacy(kPassword, salt, material);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: qbx-fuzz-seeds FOLDER\n");
        return 2;
    }
    gFolder = argv[1];

    Save("empty", qbw::FileBuilder().Build());

    // Every old level and every new level, one file each, smallest blocks.
    for (int level = 0; level <= 9; ++level) {
        qbw::FileBuilder b = Base(64, 16);
        b.SetRecord(1, 0, qbw::EncodeArticleOld(Article("old", 0), level));
        Save("old-level-" + std::to_string(level), b.Build());
    }
    for (int16_t level = 0; level <= 7; ++level) {
        qbw::FileBuilder b = Base(64, 16);
        b.SetRecord(1, 0, qbw::EncodeArticleNew(Article("new", level)));
        Save("new-level-" + std::to_string(level), b.Build());
    }
    // Short and padded new headers, raw and compressed blobs, string forms.
    for (int32_t header : {20, 28, 40}) {
        qbw::FileBuilder b = Base(128, 32);
        qbw::NewArticleOptions o;
        o.headerLength = header;
        o.blobs.mode = header == 40 ? qbw::BlobMode::kRaw : qbw::BlobMode::kCompressed;
        o.blobs.nulTerminated = header != 28;
        qbw::ArticleData a = Article("header", 6);
        for (auto& at : a.attachments)
            at.form = header == 20 ? qbw::AttachmentForm::kString : qbw::AttachmentForm::kBlob;
        b.SetRecord(1, 0, qbw::EncodeArticleNew(a, o));
        Save("new-header-" + std::to_string(header), b.Build());
    }

    // Block sizes, each with several articles and a scattered layout.
    for (uint16_t bs : {64, 128, 256, 512, 1024}) {
        qbw::FileBuilder b = Base(bs, uint16_t(bs / 4));
        for (int32_t id = 0; id < 4; ++id)
            b.SetRecord(1, id, qbw::EncodeArticleNew(Article("article " + std::to_string(id), 6)));
        b.SetTableCount(1, 6);
        b.Scatter(uint32_t(bs));
        Save("blocks-" + std::to_string(bs), b.Build());
    }

    // Private articles under the seed password, with and without asking at open.
    for (int32_t flags : {0, 1}) {
        qbw::Privacy p = SeedPrivacy();
        qbw::FileBuilder b = Base(128, 32);
        b.SetFlags(flags);
        b.SetStream(qbw::stream::kPrivacy, p.stream);
        b.SetStream(qbw::stream::kPrivateIds, qbw::EncodeIdStream({1}));
        b.SetRecord(1, 0, qbw::EncodeArticleNew(Article("public", 6)));
        qbw::NewArticleOptions o;
        o.blobs.mode = qbw::BlobMode::kPrivate;
        o.blobs.contentKey = p.contentKey;
        o.blobs.salt = 11;
        qbw::ArticleData a = Article("private", 6);
        a.flags |= 3;
        b.SetRecord(1, 1, qbw::EncodeArticleNew(a, o));
        Save(flags ? "private-asks" : "private", b.Build());
    }

    // Header versions and lengths.
    for (int16_t v : {250, 299, 300, 400, 450}) {
        qbw::FileBuilder b = Base(128, 32);
        b.SetVersion(v);
        b.SetRecord(1, 0, qbw::EncodeArticleOld(Article("v", 0), 9));
        Save("version-" + std::to_string(v), b.Build());
    }
    Save("header-64", Base(128, 32).SetHeaderLengthField(64).Build());

    // Older saved queries and a cut file-settings section.
    {
        qbw::FileBuilder b = Base(128, 32);
        b.SetStream(qbw::stream::kSavedQueries,
                    qbw::EncodeSavedQueriesOld({{"old", "garden OR birds"}}, {0}));
        qbw::FileSettingsData s;
        s.comments = "cut";
        b.SetStream(qbw::stream::kFileSettings, qbw::EncodeFileSettings(s, 20));
        Save("old-queries", b.Build());
    }

    // Damage.
    {
        qbw::FileBuilder b = Base(64, 16);
        b.SetRecord(1, 0, qbw::EncodeArticleNew(Article("long article", 6)));
        qbw::Image sound = b.BuildImage();
        const std::vector<int32_t>& chain = sound.layout.records.at({1, 0});

        qbw::Image cut = sound;
        cut.Truncate(sound.bytes.size() / 2);
        Save("damaged-truncated", cut.bytes);
        qbw::Image loop = sound;
        loop.MakeCycle(chain);
        Save("damaged-cycle", loop.bytes);
        qbw::Image broken = sound;
        broken.BreakChain(chain, 0);
        Save("damaged-broken-chain", broken.bytes);
        qbw::Image beyond = sound;
        beyond.SetChainEntry(chain.front(), 1 << 20);
        Save("damaged-beyond", beyond.bytes);
        qbw::Image magic = sound;
        magic.SetMagic("QX");
        Save("damaged-magic", magic.bytes);
        qbw::Image geometry = sound;
        geometry.SetEntriesField(15);
        Save("damaged-geometry", geometry.bytes);
        Save("damaged-directory", Base(64, 16).SetDirectoryLeading(-7).Build());
    }
    std::printf("%d seed files in %s\n", gWritten, gFolder.c_str());
    return 0;
}
