#include "article/attachment_opener.h"

#include <sys/stat.h>

#include <cstdlib>

#include "app/settings.h"
#include "document/quillbox_doc.h"
#include "platform/ui.h"
#include "resources/strings.h"

namespace qb {
namespace {

std::string Replace(std::string text, const std::string& marker, const std::string& value) {
    for (size_t at = text.find(marker); at != std::string::npos;
         at = text.find(marker, at + value.size()))
        text.replace(at, marker.size(), value);
    return text;
}

std::string Format2(int id, const std::string& a1, const std::string& a2) {
    const char* t = ResourceString(id);
    if (!t) return {};
    // %2 first: a path may itself contain "%2".
    return Replace(Replace(t, "%2", a2), "%1", a1);
}

std::string Trim(const std::string& s) {
    size_t b = s.find_first_not_of(' ');
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

}  // namespace

TargetContext MakeTargetContext(const CQuillboxDoc& doc, const Settings* settings) {
    TargetContext c;
    c.linkBase = doc.RelativeLinkBase();
    c.codePage = doc.TextCodePage();
    if (settings) {
        c.drives = settings->drives;
        c.useFolderBrowser = settings->userFolderBrowser != 0;
        c.folderBrowser = settings->FolderBrowser();
    }
    return c;
}

LaunchFailure FailureFor(LaunchResult r) {
    switch (r) {
        case LaunchResult::Ok:
            return {0, 0};
        case LaunchResult::NotFound:
            return {msg::kOpenFileNotFound, 2};
        case LaunchResult::PathNotFound:
            return {msg::kOpenPathNotFound, 3};
        case LaunchResult::AccessDenied:
            return {msg::kOpenAccessDenied, 5};
        case LaunchResult::OutOfMemory:
            return {msg::kOpenNotEnoughMemory, 8};
        case LaunchResult::NoProgram:
            return {msg::kOpenNoProgram, 31};
        case LaunchResult::Failed:
            break;
    }
    return {msg::kOpenNoAssociation, 4};
}

std::string LaunchFailureText(LaunchResult r, const std::string& path) {
    LaunchFailure f = FailureFor(r);
    if (f.messageId == 0) return {};
    return Format2(f.messageId, path, std::to_string(f.number));
}

bool ProgramExists(const std::string& program) {
    if (program.empty()) return false;
    struct stat st;
    if (program.find('/') != std::string::npos) return ::stat(program.c_str(), &st) == 0;
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "";
    size_t pos = 0;
    while (pos <= dirs.size()) {
        size_t end = dirs.find(':', pos);
        if (end == std::string::npos) end = dirs.size();
        std::string dir = dirs.substr(pos, end - pos);
        if (!dir.empty() && ::stat((dir + "/" + program).c_str(), &st) == 0 && S_ISREG(st.st_mode))
            return true;
        pos = end + 1;
    }
    return false;
}

TargetOpener::TargetOpener(Launcher& launcher, Ui& ui, TargetContext context)
    : launcher_(launcher), ui_(ui), ctx_(std::move(context)) {}

void TargetOpener::Fail(LaunchResult r, const std::string& shownPath) {
    ui_.MessageBox(LaunchFailureText(r, shownPath), MessageIcon::Exclamation);
}

bool TargetOpener::OpenWebAddress(const std::string& address, bool cutQuery) {
    if (launcher_.OpenUrl(address) == LaunchResult::Ok) return true;
    std::string shown = cutQuery ? address.substr(0, address.find('?')) : address;
    ui_.MessageBox(FormatResource(msg::kOpenWebAddressFailed, shown), MessageIcon::Exclamation);
    return false;
}

bool TargetOpener::OpenFileOrFolder(const std::string& stored) {
    ResolvedTarget t = ResolveStoredTarget(stored, ctx_.linkBase, ctx_.drive, ctx_.drives);
    if (!t.linux) {
        // Path not found, naming the Windows path and the missing setting.
        Fail(LaunchResult::PathNotFound, Format2(msg::kNoDriveMapping, t.windows, t.missingKey));
        return false;
    }
    const std::string& path = *t.linux;
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) {
        Fail(LaunchResult::NotFound, path);
        return false;
    }
    LaunchResult r;
    std::string browser = Trim(ctx_.folderBrowser);
    if (S_ISDIR(st.st_mode) && ctx_.useFolderBrowser && ProgramExists(browser))
        // One argument: the quotes the original put around it belonged to a
        // command line, which an argument vector does not need.
        r = launcher_.StartProgram(browser, {path});
    else
        r = launcher_.OpenPath(path);
    if (r == LaunchResult::Ok) return true;
    Fail(r, path);
    return false;
}

bool TargetOpener::Open(const CAttachment& a, bool cutQuery) {
    switch (a.kind) {
        case 1:
            return OpenFileOrFolder(ctx_.codePage.ToUtf8(a.target));
        case 2:
            return OpenWebAddress(ctx_.codePage.ToUtf8(a.target), cutQuery);
        default:
            return false;  // article attachments do nothing when opened
    }
}

}  // namespace qb
