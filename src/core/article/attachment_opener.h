// Opening a target (an attachment, or the target of a link being followed)
// through the Launcher port, with every failure shown through the Ui as
// its numbered message. The failure table lives in docs/links.md.
#pragma once

#include <string>

#include "article/link_targets.h"
#include "datafile/articles.h"
#include "platform/code_page.h"
#include "platform/launcher.h"

namespace qb {

class Ui;
class CQuillboxDoc;
class Settings;

// What resolving and launching need from the document and preferences.
struct TargetContext {
    std::string linkBase;  // the document's relative-link base (Windows or Linux form)
    char drive = 'C';      // the remembered drive letter of ".:" paths
    DriveMap drives;
    bool useFolderBrowser = false;  // `UserFolderBrowser`
    std::string folderBrowser;      // accepted only with its check value (Settings::FolderBrowser)
    CodePage codePage;              // of the stored targets: the document's
};

// The context of an open document; without settings: no drives, no browser.
TargetContext MakeTargetContext(const CQuillboxDoc& doc, const Settings* settings);

// The message of a failed file or folder launch, and the error number
// shown as %2 (the number the original program's shell gave).
struct LaunchFailure {
    int messageId = 0;
    int number = 0;
};
LaunchFailure FailureFor(LaunchResult r);
// The whole message text for a failed launch of `path`.
std::string LaunchFailureText(LaunchResult r, const std::string& path);

class TargetOpener {
public:
    TargetOpener(Launcher& launcher, Ui& ui, TargetContext context);

    // A web address; on failure message 1003, the address cut before its
    // first "?" when `cutQuery` is set. True when launched.
    bool OpenWebAddress(const std::string& address, bool cutQuery = false);
    // A stored file or folder path (UTF-8): resolved, mapped to Linux,
    // opened with the folder browser or the default handler.
    bool OpenFileOrFolder(const std::string& stored);
    // Kind 1 and 2 as above (the stored Windows-1252 target decoded); an
    // article attachment does nothing.
    bool Open(const CAttachment& attachment, bool cutQuery = false);

    const TargetContext& Context() const { return ctx_; }

private:
    void Fail(LaunchResult r, const std::string& shownPath);

    Launcher& launcher_;
    Ui& ui_;
    TargetContext ctx_;
};

// Whether `program` names an existing file: a path as given, a bare name
// looked up in $PATH.
bool ProgramExists(const std::string& program);

}  // namespace qb
