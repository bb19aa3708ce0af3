#include "export/markdown_export.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <map>
#include <optional>
#include <unordered_map>

#include "article/article_view_model.h"
#include "datafile/quill_error.h"
#include "document/quillbox_doc.h"
#include "export/export_file.h"
#include "export/export_job.h"
#include "export/export_writers.h"
#include "export/folder_flusher.h"
#include "export/markdown_content.h"
#include "export/markdown_pictures.h"
#include "export/markdown_text.h"
#include "export/markdown_yaml.h"
#include "export/note_writer.h"
#include "platform/progress.h"
#include "resources/strings.h"
#include "richtext/article_content.h"

namespace qb {
namespace {

constexpr const char* kCaption = "Export to Markdown Notes";

// Writes `bytes` as the file `path`, through its temporary file. `sync`:
// wait for the disk; a note is not waited for one by one (the run's
// FolderFlusher syncs the folder), which would cost a disk flush per article.
void WriteWholeFile(const std::string& path, std::string_view bytes, bool sync = false) {
    ExportFile file(path);
    file.Write(bytes);
    if (sync) file.Sync();
    file.Commit();
}

bool IsRegularFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// Copies the regular file `from` to `to` through a temporary file. False
// when `from` cannot be read (nothing is left behind); a failure to write
// throws CQuillError naming `to`.
bool CopyRegularFile(const std::string& from, const std::string& to) {
    // Non-blocking, so that a FIFO put in a file's place cannot hang the
    // run; only a regular file is read.
    int in = ::open(from.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (in < 0) return false;
    struct stat st {};
    if (::fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(in);
        return false;
    }
    ExportFile file(to);
    try {
        char buffer[1 << 16];
        for (;;) {
            ssize_t n = ::read(in, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                ::close(in);
                return false;  // the temporary file goes with `file`
            }
            if (n == 0) break;
            file.Write(std::string_view(buffer, size_t(n)));
        }
    } catch (...) {
        ::close(in);
        throw;
    }
    ::close(in);
    file.Commit();
    return true;
}

// Waits until everything written in `folder`'s file system (the notes and
// their copies) is on the disk, and the names in `folder` with it; throws
// CQuillError naming the folder when the disk reports a failure.
void SyncFolder(const std::string& folder) {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;  // a folder that went away fails the next write
    int e = 0;
    if (::syncfs(fd) != 0) e = errno;
    if (e == 0 && ::fsync(fd) != 0 && errno != EINVAL && errno != EROFS) e = errno;
    ::close(fd);
    if (e != 0) throw CQuillError(ErrnoToCode(e), folder);
}

// A title on one line: line ends and tabs inside a list item would end it.
std::string OneLine(std::string s) {
    for (char& c : s)
        if (c == '\r' || c == '\n' || c == '\t' || c == '\v') c = ' ';
    return s;
}

std::string FileNameOf(const std::string& path) {
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Stem and extension of a file name as note names keep them: the extension
// only when short and plain.
std::pair<std::string, std::string> SplitExtension(const std::string& name) {
    size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0 || name.size() - dot > 10) return {name, ""};
    return {name.substr(0, dot), name.substr(dot)};
}

class MarkdownRun : public MarkdownTargets {
public:
    MarkdownRun(ExportJob& job, std::string folder)
        : job_(job), doc_(job.Doc()), page_(doc_.TextCodePage()), folder_(std::move(folder)) {
        while (folder_.size() > 1 && folder_.back() == '/')
            folder_.pop_back();
        const MarkdownOptions& o = job.Settings().markdown;
        options_.headings = o.headings;
        options_.underline = o.underline;
        wiki_ = o.wikiLinks;
        attachmentNames_.TakeExisting(folder_ + "/" + kAttachmentsFolder);
    }

    ExportOutcome Run(const std::vector<int32_t>& all);

    std::string StoredLinkMarkdown(const StoredLink& link, const std::string& text,
                                   const std::string& escaped) override;
    std::string PictureMarkdown(const Picture& picture) override;

private:
    std::string NoteLink(int32_t id, const std::string& escaped) const;
    // The copy of a file target in attachments/ (its path relative to the
    // notes), or nullopt when it is no regular file that can be read.
    std::optional<std::string> CopiedFile(const std::string& linuxPath);
    std::string AttachmentsPath();
    std::string Note(int32_t id, const CArticle& a);

    ExportJob& job_;
    CQuillboxDoc& doc_;
    CodePage page_;
    std::string folder_;
    MarkdownContentOptions options_;
    bool wiki_ = false;
    std::unordered_map<int32_t, std::string> notes_;  // id: the note's file name
    FolderNames attachmentNames_;
    std::map<std::string, std::string> copies_;  // Linux path: relative path of its copy
    bool attachmentsMade_ = false;
    std::string currentStem_;  // the note being written, naming its pictures
    int pictures_ = 0;
    // Last, so that it finishes the queued notes while the rest still exists.
    NoteWriter notesOut_;
};

std::string Stem(const std::string& noteName) {
    return noteName.substr(0, noteName.size() - 3);  // without ".md"
}

std::string MarkdownRun::NoteLink(int32_t id, const std::string& escaped) const {
    const std::string& name = notes_.at(id);
    if (wiki_) {
        std::string stem = Stem(name);
        // The shown text after "|"; a "|" or bracket in it is escaped.
        return escaped == stem || escaped.empty() ? "[[" + stem + "]]"
                                                  : "[[" + stem + "\\|" + escaped + "]]";
    }
    return "[" + (escaped.empty() ? EscapeMarkdown(Stem(name), false) : escaped) + "](" +
           LinkDestination(name) + ")";
}

std::string MarkdownRun::AttachmentsPath() {
    // Every write into attachments/ comes through here: the notes before
    // it are written first, so a failing note stops the run before any
    // later file appears, as when each note is written in turn.
    notesOut_.Drain();
    std::string path = folder_ + "/" + kAttachmentsFolder;
    if (!attachmentsMade_) {
        if (::mkdir(path.c_str(), 0777) != 0 && errno != EEXIST)
            throw CQuillError(ErrnoToCode(errno), path);
        attachmentsMade_ = true;
    }
    return path;
}

std::optional<std::string> MarkdownRun::CopiedFile(const std::string& linuxPath) {
    auto known = copies_.find(linuxPath);
    if (known != copies_.end()) return known->second;
    if (!IsRegularFile(linuxPath)) return std::nullopt;
    auto [stem, ext] = SplitExtension(FileNameOf(linuxPath));
    std::string name =
        attachmentNames_.Unique(SafeNoteName(stem), SafeNoteName(ext) == "Untitled" ? "" : ext);
    if (!CopyRegularFile(linuxPath, AttachmentsPath() + "/" + name)) return std::nullopt;
    std::string relative = std::string(kAttachmentsFolder) + "/" + name;
    copies_[linuxPath] = relative;
    return relative;
}

std::string MarkdownRun::StoredLinkMarkdown(const StoredLink& link, const std::string&,
                                            const std::string& escaped) {
    const TargetContext& ctx = job_.Settings().targets;
    switch (link.kind) {
        case 1: {
            std::string stored = page_.ToUtf8(link.target);
            if (stored.empty()) return escaped;
            ResolvedTarget r = ResolveStoredTarget(stored, ctx.linkBase, ctx.drive, ctx.drives);
            if (r.linux)
                if (std::optional<std::string> copy = CopiedFile(*r.linux))
                    return "[" + escaped + "](" + LinkDestination(*copy) + ")";
            return escaped + " (file not copied: " + EscapeMarkdown(r.windows, false) + ")";
        }
        case 2: {
            std::string address = page_.ToUtf8(link.target);
            if (address.empty()) return escaped;
            bool www = address.size() > 4 && (address[0] == 'w' || address[0] == 'W') &&
                       (address[1] == 'w' || address[1] == 'W') &&
                       (address[2] == 'w' || address[2] == 'W') && address[3] == '.';
            return "[" + (escaped.empty() ? EscapeMarkdown(address, false) : escaped) + "](" +
                   LinkDestination((www ? "http://" : "") + address) + ")";
        }
        case 3: {
            if (!notes_.count(link.articleId)) return escaped;
            const ArticleSummary& s = doc_.Summary(link.articleId);
            // The record now holding another article is not the link's target.
            if (link.createdDate != NIL_BLOCK &&
                (s.createdDate != link.createdDate || s.createdTime != link.createdTime))
                return escaped;
            return NoteLink(link.articleId, escaped);
        }
        default:
            return escaped;
    }
}

std::string MarkdownRun::PictureMarkdown(const Picture& picture) {
    std::optional<PictureFile> file = PictureAsFile(picture);
    if (!file) {
        bool metafile = picture.kind == PictureKind::kWmf || picture.kind == PictureKind::kEmf;
        return metafile ? "*(picture: a Windows metafile, not converted)*"
                        : "*(picture in a format that is not converted)*";
    }
    std::string name = attachmentNames_.Unique(
        currentStem_ + " picture " + std::to_string(++pictures_), file->extension);
    WriteWholeFile(AttachmentsPath() + "/" + name, file->bytes);
    return "![](" + LinkDestination(std::string(kAttachmentsFolder) + "/" + name) + ")";
}

std::string MarkdownRun::Note(int32_t id, const CArticle& a) {
    FrontMatter fm;
    fm.Text("title", page_.ToUtf8(a.title));
    auto moment = [&](const char* key, int32_t date, int32_t time) {
        std::string iso = IsoMoment(date, time);
        if (!iso.empty()) fm.Plain(key, iso);
    };
    moment("date", a.articleDate, a.articleTime);
    moment("modified", a.modifiedDate, a.modifiedTime);
    moment("created", a.createdDate, a.createdTime);
    std::vector<int32_t> keywordIds = a.keywordIds;
    doc_.SortKeywordsByName(keywordIds);
    std::vector<std::string> tags;
    for (int32_t k : keywordIds)
        if (doc_.IsKeyword(k)) tags.push_back(page_.ToUtf8(doc_.KeywordName(k)));
    fm.TextList("tags", tags);
    fm.Bool("bookmarked", doc_.IsBookmarked(id));
    // Always written, as "bookmarked" is, so every note has the same keys.
    fm.Bool("private", a.IsPrivate());

    const TargetContext& ctx = job_.Settings().targets;
    std::vector<std::string> attachments;
    for (const CAttachment& att : a.attachments) {
        AttachmentView v = AttachmentViewOf(att, ctx);
        if (att.kind == 1) {
            std::optional<std::string> copy;
            if (v.resolved.linux) copy = CopiedFile(*v.resolved.linux);
            attachments.push_back(copy ? *copy : v.stored);
        } else if (att.kind == 3 && notes_.count(att.articleId)) {
            attachments.push_back(notes_.at(att.articleId));
        } else {
            attachments.push_back(v.stored);
        }
    }
    fm.TextList("attachments", attachments);
    fm.Mapping("source");
    fm.NestedText("file", FileNameOf(doc_.PathName()));
    fm.NestedPlain("id", std::to_string(id));

    RichTextControl control;
    LoadArticleContent(control, a.IsRichText(), a.Content(), page_);
    MarkdownContentOptions options = options_;
    options.plainLines = !a.IsRichText();
    std::string body = ContentToMarkdown(control, a.links, *this, options);
    return fm.Finish() + (body.empty() ? "" : "\n" + body);
}

ExportOutcome MarkdownRun::Run(const std::vector<int32_t>& all) {
    std::vector<int32_t> ids;
    const bool withPrivate = job_.Settings().markdown.includePrivate;
    for (int32_t id : all)
        if (withPrivate || !doc_.IsPrivate(id)) ids.push_back(id);

    job_.OpenProgress(kCaption, int64_t(ids.size()), ResourceString(msg::kExportingArticles));
    // The notes go to the disk while the run goes on, not all at its end.
    FolderFlusher flusher(folder_);
    // Every note's name first, so that links between notes reach their files.
    FolderNames names;
    names.TakeExisting(folder_);
    names.Take(kIndexNote);
    names.Take(kAttachmentsFolder);
    notes_.reserve(ids.size());
    for (int32_t id : ids)
        notes_[id] = names.Unique(SafeNoteName(page_.ToUtf8(doc_.Summary(id).title)), ".md");

    CArticle a;
    // The notes go to notesOut_'s thread while the next ones are converted.
    for (size_t i = 0; i < ids.size(); ++i) {
        if (job_.Cancelled()) {
            notesOut_.Drain();
            return ExportOutcome::kCancelled;
        }
        job_.ShowArticleProgress(kCaption, i, ids.size());
        doc_.ReadArticle(ids[i], a);
        currentStem_ = Stem(notes_[ids[i]]);
        pictures_ = 0;
        notesOut_.Put(folder_ + "/" + notes_[ids[i]], Note(ids[i], a));
        job_.Step();
    }
    notesOut_.Drain();
    if (job_.Cancelled()) return ExportOutcome::kCancelled;

    std::string header = page_.ToUtf8(doc_.ExportHeader());
    if (header.empty()) header = SplitExtension(FileNameOf(doc_.PathName())).first;
    std::string index = "# " + EscapeMarkdown(OneLine(header), false) + "\n\n";
    for (int32_t id : ids) {
        std::string title = EscapeMarkdown(OneLine(page_.ToUtf8(doc_.Summary(id).title)), false);
        index += "- " + NoteLink(id, title) + "\n";
    }
    // The index is written last, once the notes are on the disk: a run that
    // has its index has all of its notes.
    if (attachmentsMade_) SyncFolder(folder_ + "/" + kAttachmentsFolder);
    flusher.Finish();
    WriteWholeFile(folder_ + "/" + kIndexNote, index, true);
    return ExportOutcome::kDone;
}

}  // namespace

ExportOutcome ExportMarkdown(ExportJob& job, const std::string& folder,
                             const std::vector<int32_t>& ids) {
    MarkdownRun run(job, folder);
    return run.Run(ids);
}

}  // namespace qb
