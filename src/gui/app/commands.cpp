#include "commands.h"

#include <algorithm>

#include "app/frame_layout.h"
#include "app/startup.h"
#include "resources/strings.h"

namespace qb {

namespace {
using namespace cmd;

const std::vector<CommandInfo> kCommands = {
    // File
    {kFileNew, "&New", "Create a new data file\nNew", "", true, false},
    {kFileOpen, "&Open...", "Open an existing data file\nOpen", "Ctrl+O", false, false},
    {kFileClose, "&Close", "Close the data file\nClose", "", false, false},
    {kFileSave, "&Save", "Save the active article\nSave", "Ctrl+S", true, false},
    {kFileProperties, "File Propert&ies...",
     "Show the properties of the data file\nFile Properties", "", false, false},
    {kFileExport, "&Export...", "Export articles to other file formats\nExport", "", false, false},
    {kExportKeywordList, "Export &Keyword List...",
     "Write the names of all keywords to a text file\nExport Keyword List", "", false, false},
    {kIndexReport, "&Index Report...",
     "Show the titles of the articles of chosen keywords\nIndex Report", "", false, false},
    {kKeywordUsageReport, "&Keyword Usage Report...",
     "Show how many articles each keyword has\nKeyword Usage Report", "", false, false},
    {kKeywordCloudReport, "Keyword &Cloud Report",
     "Show every keyword sized by how often it is used\nKeyword Cloud Report", "", false, false},
    {kKeywordGroupReport, "Keyword &Group Report",
     "Show the keywords of each keyword group\nKeyword Group Report", "", false, false},
    {kFilePageSetup, "Page Set&up...", "Change the printing options\nPage Setup", "", false, false},
    {kFilePrint, "&Print...", "Print the active article or the chosen titles\nPrint", "Ctrl+P",
     false, false},
    {kPreferences, "P&references...", "Change the program's preferences\nPreferences", "", false,
     false},
    {kAppExit, "E&xit", "Quit the program\nExit", "", false, false},
    // Edit
    {kEditUndo, "&Undo", "Undo the last action\nUndo", "Ctrl+Z", true, false},
    {kEditCut, "Cu&t", "Cut the selection to the clipboard\nCut", "Ctrl+X", true, false},
    {kEditCopy, "&Copy", "Copy the selection to the clipboard\nCopy", "Ctrl+C", false, false},
    {kEditPaste, "&Paste", "Insert the clipboard contents\nPaste", "Ctrl+V", true, false},
    {kEditClear, "&Delete", "Delete the selection\nDelete", "", true, false},
    {kEditSelectAll, "Select &All", "Select everything in the active list or text\nSelect All",
     "Ctrl+A", false, false},
    {kEditFind, "&Find...", "Find text in article titles and contents\nFind", "Ctrl+F", false,
     false},
    {kQuery, "&Query...", "Select titles with a Boolean query\nQuery", "", false, false},
    {kManageQuery, "&Manage Query...", "Edit, delete or run saved queries\nManage Query", "", false,
     false},
    {kNoSavedQueries, "No Saved Queries", "Run a saved query\nRun Saved Query", "", false, false},
    {kMoreQueries, "More Queries...", "Choose from all saved queries\nMore Queries", "", false,
     false},
    {kAssignKeywords, "Assign &Keywords...", "Change the keywords of the article\nKeywords", "",
     true, false},
    {kSetDate, "Set &Date...", "Change the date of the article\nSet Date", "", true, false},
    {kMakeTitle, "&Make Title", "Use the selection as the article's title\nMake Title", "", true,
     false},
    {kInsertLink, "Insert &Link...", "Insert a hypertext link\nInsert Link", "", true, false},
    {kSpelling, "&Spelling...", "Check the spelling of the article\nSpelling", "F7", true, false},
    // View
    {kViewStandardToolbar, "&Standard Toolbar",
     "Show or hide the standard toolbar\nStandard Toolbar", "", false, true},
    {kViewBrowseToolbar, "&Browse Toolbar", "Show or hide the browse toolbar\nBrowse Toolbar", "",
     false, true},
    {kToggleToolsBar, "&Tools Toolbar", "Show or hide the tools toolbar\nTools Toolbar", "", false,
     true},
    {kViewStatusBar, "Status &Bar", "Show or hide the status bar\nStatus Bar", "", false, true},
    {kKeywordsLists, "&Keywords Lists", "Show or hide the keyword lists\nKeywords Lists", "", false,
     true},
    {kKeywordGroups, "Keyword &Groups", "Show or hide the keyword group list\nKeyword Groups", "",
     false, true},
    {kPreviewContent, "Show Article &Content", "Preview the highlighted article's content\nPreview",
     "", false, true},
    {kPreviewKeywords, "Show &Keywords",
     "Preview the keywords of the highlighted articles\nPreview", "", false, true},
    {kModeAnd, "&AND", "Titles must have every selected keyword\nAND", "", false, true},
    {kModeOr, "&OR", "Titles may have any selected keyword\nOR", "", false, true},
    {kIndexModeAll, "Show &All Non-Selected Keywords",
     "The index shows every keyword not selected\nIndex Mode", "", false, true},
    {kIndexModeRelated, "Show Only &Related Keywords",
     "The index shows only keywords of the listed titles\nIndex Mode", "", false, true},
    {kSortTitlesAsc, "&Titles Ascending", "Sort the titles from A to Z\nSort", "", false, true},
    {kSortTitlesDesc, "Titles &Descending", "Sort the titles from Z to A\nSort", "", false, true},
    {kSortDatesAsc, "D&ates Ascending", "Sort the titles from the oldest date\nSort", "", false,
     true},
    {kSortDatesDesc, "Dat&es Descending", "Sort the titles from the newest date\nSort", "", false,
     true},
    // Article
    {kShowAllTitles, "Show &All Titles", "List the titles of all articles\nShow All Titles", "",
     false, false},
    {kShowBookmarked, "Show &Bookmarked Titles",
     "List the bookmarked titles\nShow Bookmarked Titles", "", false, false},
    {kShowWithAttachments, "Show Articles with A&ttachments",
     "List the titles of articles with attachments\nShow Articles with Attachments", "", false,
     false},
    {kOpenArticle, "&Open Article", "Open the highlighted articles\nOpen Article", "", false,
     false},
    {kOpenAttachments, "Open Attac&hments", "Open the attachments of the article\nOpen Attachments",
     "F5", false, false},
    {kArticleProperties, "Article P&roperties...",
     "Show the properties of the article\nArticle Properties", "", false, false},
    {kImageGallery, "&Image Gallery", "Show or hide the image gallery\nImage Gallery", "", false,
     true},
    {kOpenGalleryAttachment, "&Open Attachment",
     "Open the attachment of the highlighted picture\nOpen Attachment", "", false, false},
    {kPreviousArticle, "&Previous Article", "Open the article before this one\nPrevious Article",
     "", false, false},
    {kNextArticle, "&Next Article", "Open the article after this one\nNext Article", "", false,
     false},
    {kCloseArticle, "&Close Article", "Close the article window\nClose Article", "Ctrl+W", false,
     false},
    {kBookmarkButton, "Boo&kmark", "Bookmark the article\nBookmark", "", true, true},
    {kShowPrivateArticles, "Show Pri&vate Articles",
     "Show or hide the private articles of the data file\nShow Private Articles", "", false, true},
    {kNewArticle, "Ne&w Article", "Create a new article\nNew Article", "", true, false},
    {kDeleteArticle, "&Delete Article", "Delete the article\nDelete Article", "", true, false},
    // Format
    {kFormatFont, "&Font...", "Change the font of the selection\nFont", "", true, false},
    {kFormatBold, "&Bold", "Make the selection bold\nBold", "", true, true},
    {kFormatItalic, "&Italic", "Make the selection italic\nItalic", "", true, true},
    {kFormatUnderline, "&Underline", "Underline the selection\nUnderline", "", true, true},
    {kFormatStrikeOut, "&Strikeout", "Strike out the selection\nStrikeout", "", true, true},
    {kTextColorButton, "Text &Colour", "Change the colour of the selection\nText Colour", "", true,
     false},
    {kHighlightButton, "&Highlight", "Highlight the selection\nHighlight", "", true, false},
    {kAlignLeft, "Align &Left", "Align the paragraph to the left\nAlign Left", "", true, true},
    {kAlignCenter, "C&enter", "Centre the paragraph\nCenter", "", true, true},
    {kAlignRight, "Align &Right", "Align the paragraph to the right\nAlign Right", "", true, true},
    {kBullets, "Bu&llets", "Make the paragraph a bulleted list\nBullets", "", true, true},
    {kIndentMore, "Increase I&ndent", "Indent the paragraph further\nIncrease Indent", "", true,
     false},
    {kIndentLess, "Decrease In&dent", "Indent the paragraph less\nDecrease Indent", "", true,
     false},
    // Window
    {kWindowCascade, "&Cascade", "Arrange the windows so that they overlap\nCascade", "", false,
     false},
    {kWindowTile, "&Tile", "Arrange the windows side by side\nTile", "", false, false},
    {kWindowArrange, "&Arrange Icons", "Arrange the icons of minimized windows\nArrange Icons", "",
     false, false},
    {kWindowNext, "Nex&t", "Switch to the next window\nNext Window", "Ctrl+F6", false, false},
    {kIndexToFront, "&Index Window", "Bring the index window to the front\nIndex Window", "", false,
     false},
    // Help
    {kHelpContents, "&Help Contents", "Show the help contents\nHelp", "F1", false, false},
    {kHelpTutorial, "&Tutorial", "Show the tutorial\nTutorial", "", false, false},
    {kUpdateCheck, "&Check for Quillbox Reader Update...",
     "Ask whether a newer version of the program exists\nCheck for Update", "", false, false},
    {kAppAbout, "&About Quillbox Reader...", "Show the program's version\nAbout", "", false, false},
};

MenuItem C(int id) {
    return MenuItem{id, nullptr, {}};
}
MenuItem Sep() {
    return MenuItem{0, nullptr, {}};
}
MenuItem Sub(const char* title, std::vector<MenuItem> items) {
    return MenuItem{0, title, std::move(items)};
}

const std::vector<MenuDef> kMenus = {
    {"&File",
     {C(kFileNew), C(kFileOpen), C(kFileClose), C(kFileSave), Sep(), C(kFileProperties), Sep(),
      C(kFileExport), C(kExportKeywordList),
      Sub("&Report", {C(kIndexReport), C(kKeywordUsageReport), C(kKeywordCloudReport),
                      C(kKeywordGroupReport)}),
      Sep(), C(kFilePageSetup), C(kFilePrint), Sep(), C(kPreferences), Sep(),
      // The recent files are inserted here by the frame.
      C(kRecentFileFirst), Sep(), C(kAppExit)}},
    {"&Edit",
     {C(kEditUndo), Sep(), C(kEditCut), C(kEditCopy), C(kEditPaste), C(kEditClear),
      C(kEditSelectAll), Sep(), C(kEditFind), C(kQuery),
      Sub("&Run Saved Query", {C(kNoSavedQueries)}), C(kManageQuery), Sep(), C(kAssignKeywords),
      C(kSetDate), C(kMakeTitle), C(kInsertLink), C(kSpelling)}},
    {"&View",
     {C(kViewStandardToolbar), C(kViewBrowseToolbar), C(kToggleToolsBar), C(kViewStatusBar), Sep(),
      C(kKeywordsLists), C(kKeywordGroups),
      Sub("&Preview Pane", {C(kPreviewContent), C(kPreviewKeywords)}), Sep(),
      Sub("Selected Keyword &Mode", {C(kModeAnd), C(kModeOr)}),
      Sub("&Index Mode", {C(kIndexModeAll), C(kIndexModeRelated)}),
      Sub("&Sort by",
          {C(kSortTitlesAsc), C(kSortTitlesDesc), C(kSortDatesAsc), C(kSortDatesDesc)})}},
    {"&Article",
     {C(kShowAllTitles), C(kShowBookmarked), C(kShowWithAttachments), Sep(), C(kOpenArticle),
      C(kOpenAttachments), C(kArticleProperties), C(kImageGallery), Sep(), C(kPreviousArticle),
      C(kNextArticle), C(kCloseArticle), Sep(), C(kBookmarkButton), C(kShowPrivateArticles), Sep(),
      C(kNewArticle), C(kDeleteArticle)}},
    {"F&ormat",
     {C(kFormatFont), Sep(), C(kFormatBold), C(kFormatItalic), C(kFormatUnderline),
      C(kFormatStrikeOut), C(kTextColorButton), C(kHighlightButton), Sep(), C(kAlignLeft),
      C(kAlignCenter), C(kAlignRight), C(kBullets), C(kIndentMore), C(kIndentLess)}},
    {"&Window",
     {C(kWindowCascade), C(kWindowTile), C(kWindowArrange), C(kWindowNext), Sep(),
      C(kIndexToFront)}},
    {"&Help", {C(kHelpContents), C(kHelpTutorial), Sep(), C(kUpdateCheck), Sep(), C(kAppAbout)}},
};

const std::vector<int> kStandardBar = {
    kFileOpen, 0,         kEditCut, kEditCopy, kEditPaste,      0, kFilePrint,
    0,         kEditFind, kQuery,   0,         kBookmarkButton, 0, kAppAbout};
const std::vector<int> kFormatBar = {
    kFormatFont,      0, kFormatBold, kFormatItalic, kFormatUnderline, kTextColorButton,
    kHighlightButton, 0, kAlignLeft,  kAlignCenter,  kAlignRight,      kBullets};
const std::vector<int> kBrowseBar = {
    kShowAllTitles, kShowBookmarked, 0, kPreviousArticle, kNextArticle, 0, kOpenAttachments};
const std::vector<int> kToolsBar = {kFileExport, kExportKeywordList, kIndexReport,
                                    0,           kFileProperties,    kPreferences};
const std::vector<int> kNoButtons;
}  // namespace

const std::vector<CommandInfo>& AllCommands() {
    return kCommands;
}

const CommandInfo* FindCommand(int id) {
    auto it = std::find_if(kCommands.begin(), kCommands.end(),
                           [id](const CommandInfo& c) { return c.id == id; });
    return it == kCommands.end() ? nullptr : &*it;
}

CommandPrompt PromptOf(int id) {
    std::string text;
    if (const char* s = ResourceString(id))
        text = s;
    else if (const CommandInfo* c = FindCommand(id))
        text = c->prompt;
    CommandPrompt p;
    size_t nl = text.find('\n');
    p.status = text.substr(0, nl);
    if (nl != std::string::npos) p.tooltip = text.substr(nl + 1);
    return p;
}

const std::vector<MenuDef>& MainMenus() {
    return kMenus;
}

const std::vector<int>& ToolbarButtons(int bar) {
    switch (bar) {
        case 0:
            return kStandardBar;
        case 1:
            return kFormatBar;
        case 2:
            return kBrowseBar;
        case 3:
            return kToolsBar;
    }
    return kNoButtons;
}

}  // namespace qb
