// The data-file target: the input becomes an in-memory file that is opened
// by its /proc path, then everything the dump shows is read twice: with the
// private blobs locked, and after the seed password was tried.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <string>

#include "datafile/data_file.h"
#include "datafile/record_stream.h"
#include "datafile/records.h"
#include "document/privacy.h"
#include "fuzz_entries.h"
#include "richtext/article_content.h"
#include "richtext/rich_text.h"

namespace qbfuzz {

namespace {

// An anonymous in-memory file holding the input; nothing touches the disk.
class MemoryFile {
public:
    MemoryFile(const uint8_t* data, size_t size) {
        fd_ = memfd_create("qbx-fuzz", MFD_CLOEXEC);
        if (fd_ < 0) PropertyFailed("memfd_create failed");
        size_t done = 0;
        while (done < size) {
            ssize_t n = write(fd_, data + done, size - done);
            if (n <= 0) PropertyFailed("writing the memory file failed");
            done += size_t(n);
        }
        path_ = "/proc/self/fd/" + std::to_string(fd_);
    }
    ~MemoryFile() { close(fd_); }
    const std::string& Path() const { return path_; }

private:
    int fd_ = -1;
    std::string path_;
};

template <typename F>
void Attempt(F&& read) {
    try {
        read();
    } catch (const qb::CQuillError&) {
        // A numbered error is the expected answer to a damaged file.
    }
}

void ReadStream(qb::CDataFile& f, int16_t id, void (*read)(qb::CRecordStream&)) {
    Attempt([&] {
        int32_t first = f.FindStream(id);
        if (first == qb::NIL_BLOCK) return;
        qb::CRecordStream s;
        s.OpenAt(f, first);
        read(s);
    });
}

void ReadEverything(qb::CDataFile& f, const qb::RecordDefaults& d, bool loadContent) {
    (void)f.GeneratorText();
    for (int t = 0; t < 7; ++t)
        (void)f.Table(t);
    qb::IdSet ids;
    Attempt([&] { f.ListLiveRecords(qb::table::kKeywords, ids); });
    for (int32_t id : ids)
        Attempt([&] { (void)qb::ReadKeyword(f, id); });
    ids = qb::IdSet();
    Attempt([&] { f.ListLiveRecords(qb::table::kGroups, ids); });
    for (int32_t id : ids)
        Attempt([&] { (void)qb::ReadGroup(f, id); });
    ids = qb::IdSet();
    Attempt([&] { f.ListLiveRecords(qb::table::kArticles, ids); });
    for (int32_t id : ids) {
        Attempt([&] { (void)qb::ReadArticleSummary(f, id, d); });
        Attempt([&] {
            qb::CArticle a = qb::ReadArticle(f, id, d);
            if (!loadContent) return;
            qb::RichTextControl control;
            qb::LoadArticleContent(control, a.IsRichText(), a.Content());
        });
    }
    Attempt([&] { (void)f.StreamDirectory(); });
    for (int16_t id :
         {qb::stream_id::kBookmarks, qb::stream_id::kPrivateIds, qb::stream_id::kExcludedIds})
        ReadStream(f, id, [](qb::CRecordStream& s) { (void)qb::ReadIdStream(s); });
    for (int16_t id :
         {qb::stream_id::kPrintHeader, qb::stream_id::kPrintFooter, qb::stream_id::kExportHeader})
        ReadStream(f, id, [](qb::CRecordStream& s) { (void)qb::ReadTextStream(s); });
    ReadStream(f, qb::stream_id::kPageSetup, [](qb::CRecordStream& s) {
        qb::PageSetupValues p;
        qb::ReadPageSetup(s, p);
    });
    ReadStream(f, qb::stream_id::kSavedQueries, [](qb::CRecordStream& s) {
        qb::SavedQueries q;
        qb::ReadSavedQueries(s, q);
    });
    Attempt([&] {
        int32_t first = f.FindStream(qb::stream_id::kReminders);
        if (first == qb::NIL_BLOCK) return;
        qb::CRecordStream s;
        s.OpenAt(f, first);
        qb::Reminders r;
        qb::ReadReminders(s, r, d);
    });
}

}  // namespace

int FuzzDataFile(const uint8_t* data, size_t size) {
    MemoryFile file(data, size);
    qb::CDataFile f;
    try {
        f.Open(file.Path(), true);
    } catch (const qb::CQuillError&) {
        return 0;
    }
    qb::FileSettings fileSettings;
    ReadStream(f, qb::stream_id::kFileSettings, [](qb::CRecordStream& s) {
        qb::FileSettings fs;
        qb::ReadFileSettings(s, fs);
    });
    Attempt([&] { qb::LoadFileSettings(f, fileSettings); });
    qb::RecordDefaults defaults;
    defaults.wordWrap = fileSettings.wordWrap;
    defaults.fullPathNames = fileSettings.fullPathNames != 0;
    defaults.today = qb::MakeDate(2026, 12, 9);
    defaults.now = qb::MakeTime(12, 0, 0);

    ReadEverything(f, defaults, true);

    qb::PrivacyState privacy;
    bool unlocked = false;
    Attempt([&] {
        privacy.ReadPrivacy(f);
        unlocked = privacy.IsPasswordSet() && privacy.CheckPassword(kSeedPassword);
    });
    if (unlocked) ReadEverything(f, defaults, true);
    Attempt([&] { f.Close(); });
    return 0;
}

}  // namespace qbfuzz
