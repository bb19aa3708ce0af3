// The reader application: carries out the start-up decisions of AppCore
// with Qt, owns the main frame and the one open document, and is the
// document's main-window port.
#pragma once

#include <QPointer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/startup.h"
#include "app/system_env.h"
#include "document/document_host.h"
#include "document/quillbox_doc.h"
#include "platform/locale.h"

class QMdiArea;
class QMdiSubWindow;

namespace qb {

class CMainFrame;
class ShellDialogs;
enum class PreferencesPage : int;
class Ui;

// Creates the index window of a newly created document inside the MDI
// area and connects it (CQuillboxDoc::SetIndexWindow). The program installs
// the index window's (InstallIndexWindow); the shell's tests a stand-in.
using IndexFrameFactory = std::function<QMdiSubWindow*(CQuillboxDoc& doc, QMdiArea& mdi)>;

class ReaderApp : public AppHost, public MainWindowHost {
public:
    ReaderApp(SystemEnv& env, Ui& ui, ShellDialogs& dialogs);
    ~ReaderApp() override;

    // The start-up sequence: settings, the main frame shown, then the
    // welcome step, the file to open and "OnTop". Deferred commands run
    // when the event loop next turns.
    void Start(const std::vector<std::string>& args);

    void SetIndexFrameFactory(IndexFrameFactory f) { indexFactory_ = std::move(f); }
    // Runs once the main frame is built, before anything is opened: where
    // other windows register their commands.
    using FrameExtension = std::function<void(ReaderApp&)>;
    void AddFrameExtension(FrameExtension f) { extensions_.push_back(std::move(f)); }

    // Closes the open windows of some articles (the article windows
    // install it); true when all of them closed.
    using ArticleWindowCloser = std::function<bool(const IdSet&)>;
    void SetArticleWindowCloser(ArticleWindowCloser f) { articleCloser_ = std::move(f); }

    // Runs after Preferences closed with OK and its settings were applied
    // (open windows take the new values).
    void AddPreferencesListener(std::function<void()> f) {
        preferencesListeners_.push_back(std::move(f));
    }

    // Runs when the document's views are to show its content anew (the
    // private articles were locked or unlocked): what they show may have
    // changed.
    void AddDocumentViewsListener(std::function<void()> f) {
        documentViewsListeners_.push_back(std::move(f));
    }

    AppCore& Core() { return core_; }
    CMainFrame* Frame() const { return frame_.get(); }
    CQuillboxDoc* Document() const { return doc_.get(); }
    QMdiSubWindow* IndexFrame() const;
    Ui& GetUi() { return ui_; }
    SystemEnv& Env() { return env_; }
    ShellDialogs& Dialogs() { return dialogs_; }
    const Locale& GetLocale() const { return *locale_; }
    // Commands posted (like the welcome screen's) and not yet run.
    int PendingCommands() const { return pending_; }

    // File > Close: closes the document with all its windows.
    void CloseDocument();
    // File > Preferences...; true when it closed with OK. The Export
    // dialogs open it at their page.
    bool RunPreferences();
    bool RunPreferences(PreferencesPage page);

    // While a long job runs from the event pump (an export), the document
    // and the main window must stay: closing either is refused until every
    // BusyScope has ended.
    class BusyScope {
    public:
        explicit BusyScope(ReaderApp& app) : app_(app) { ++app_.busy_; }
        ~BusyScope() { --app_.busy_; }
        BusyScope(const BusyScope&) = delete;
        BusyScope& operator=(const BusyScope&) = delete;

    private:
        ReaderApp& app_;
    };
    bool Busy() const { return busy_ > 0; }

    // ---- AppHost
    bool CanCloseAllDocuments() override { return true; }  // nothing is ever modified
    // Does nothing while Busy().
    void CloseAllDocuments() override;
    bool OpenDocument(const std::string& path, bool allowNewer) override;
    NewerFormatChoice AskNewerFormat(const std::string& path) override;
    void ShowTooNewFormat(const std::string& path) override;
    std::optional<std::string> AskCopyName(const std::string& path) override;
    WelcomeResult ShowWelcome(const std::vector<std::string>& recent, bool showAtStartup) override;
    std::optional<std::string> AskOpenFileName(const std::string& startFolder,
                                               const std::string& filter) override;
    void PostCommand(int command) override;
    void SetAlwaysOnTop(bool on) override;

    // ---- MainWindowHost
    void Repaint() override;
    void SetFileTitle(const std::string& title) override;
    void SetNoDocument(bool noDocument) override;
    void RebuildSavedQueryMenu(const std::vector<std::string>& names) override;
    bool CloseArticleWindows(const IdSet& articles) override;
    void RefreshDocumentViews() override;
    void ShowIndexFrame() override;

private:
    SystemEnv& env_;
    Ui& ui_;
    ShellDialogs& dialogs_;
    std::unique_ptr<Locale> locale_;
    AppCore core_;
    std::unique_ptr<CMainFrame> frame_;
    std::unique_ptr<CQuillboxDoc> doc_;
    QPointer<QMdiSubWindow> indexFrame_;
    IndexFrameFactory indexFactory_;
    std::vector<FrameExtension> extensions_;
    ArticleWindowCloser articleCloser_;
    std::vector<std::function<void()>> preferencesListeners_;
    std::vector<std::function<void()>> documentViewsListeners_;
    bool closing_ = false;
    int pending_ = 0;
    int busy_ = 0;
};

}  // namespace qb
