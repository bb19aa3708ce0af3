#include "gui/document/document_commands.h"

#include "document/file_properties.h"
#include "export/keyword_list_export.h"
#include "document/quillbox_doc.h"
#include "gui/app/commands.h"
#include "gui/app/main_frame.h"
#include "gui/app/reader_app.h"
#include "gui/app/shell_dialogs.h"
#include "gui/document/file_properties_sheet.h"

namespace qb {

namespace {
constexpr const char* kKeywordListFilter = "Text Files (*.txt)|*.txt|All Files (*.*)|*.*||";

CommandState WhenOpen(ReaderApp& app) {
    CQuillboxDoc* doc = app.Document();
    return {doc && doc->IsOpen(), false};
}
}  // namespace

bool RunExportKeywordList(ReaderApp& app) {
    CQuillboxDoc* doc = app.Document();
    if (!doc || !doc->IsOpen()) return false;
    std::optional<std::string> target = app.Dialogs().AskSaveFileName(
        "Export Keyword List", app.Core().Dirs().Folder(FolderType::ImportExport),
        ProposedKeywordListName(*doc), kKeywordListFilter, "txt", app.Frame());
    if (!target) return false;
    return ExportKeywordList(*doc, *target);
}

void RunFileProperties(ReaderApp& app) {
    CQuillboxDoc* doc = app.Document();
    if (!doc || !doc->IsOpen()) return;
    bool wasUnlocked = doc->IsUnlocked();
    FilePropertiesSheet sheet(
        GetFileProperties(*doc), [doc] { return !doc->IsUnlocked(); },
        [doc] { return doc->AskToUnlock(); }, app.Frame());
    app.Dialogs().Exec(sheet);
    // The Privacy page's password may have unlocked the private articles.
    if (!wasUnlocked && doc->IsUnlocked()) {
        doc->Index().OnPrivacyChanged();
        app.RefreshDocumentViews();
    }
}

void InstallDocumentCommands(ReaderApp& app) {
    CMainFrame* frame = app.Frame();
    if (!frame) return;
    frame->RegisterCommand(
        cmd::kFileProperties, [&app] { RunFileProperties(app); }, [&app] { return WhenOpen(app); });
    frame->RegisterCommand(
        cmd::kExportKeywordList, [&app] { RunExportKeywordList(app); },
        [&app] { return WhenOpen(app); });
    frame->RegisterCommand(
        cmd::kShowPrivateArticles,
        [&app] {
            if (CQuillboxDoc* doc = app.Document()) doc->OnShowPrivateArticles();
        },
        [&app] {
            CQuillboxDoc* doc = app.Document();
            return doc ? doc->ShowPrivateArticlesState() : CommandState{};
        });
}

}  // namespace qb
