#include "resources/strings.h"

#include <algorithm>
#include <iterator>

namespace qb {
namespace {

struct Entry {
    int id;
    const char* text;
};

// Kept sorted by id (checked at compile time below); add new strings in order.
constexpr Entry kStrings[] = {
    {msg::kIndexReportTitle, "Index Report"},
    {msg::kFileOpenFilter, "Quillbox (*.qbx)|*.qbx||"},
    {msg::kReportExportFilter,
     "Text Files (*.txt)|*.txt|Rich Text Format (*.rtf)|*.rtf|HTML Files (*.htm)|*.htm|All Files "
     "(*.*)|*.*||"},
    {msg::kPaneRead, "READ"},
    {msg::kPaneLink, "LINK"},
    {msg::kExportTypeText, "Text Files (*.txt)|*.txt"},
    {msg::kExportTypeRtf, "Rich Text Format (*.rtf)|*.rtf"},
    {msg::kExportTypeHtml, "HTML Files (*.htm, *.html)|*.htm;*.html"},
    {msg::kExportTypeCardfile, "Card Files (*.crd)|*.crd"},
    {msg::kExportTypeCsv, "CSV (Comma-Separated Values) (*.csv)|*.csv"},
    {msg::kOpenNoAssociation,
     "%1 could not be opened.\nNo program has been associated with this type of file."},
    {msg::kOpenWebAddressFailed,
     "Unable to open %1.\nQuillbox Reader was unable to open your browser.\nPlease check the URL."},
    {msg::kPrinterError, "Printer Error"},
    {msg::kPrinterOutOfDisk, "Not enough disk space to spool print file"},
    {msg::kPrinterOutOfMemory, "Not enough memory to spool print file"},
    {msg::kPrinterCancelled, "Printing canceled in Print Manager"},
    {msg::kOpenOutOfResources,
     "Unable to open %1\nError %2 - Operating system out of memory or resources."},
    {msg::kOpenFileNotFound, "Unable to open %1\nError %2 - File not found."},
    {msg::kOpenPathNotFound, "Unable to open %1\nError %2 - Path not found."},
    {msg::kOpenNotExecutable, "Error %2 - Not a valid EXE file."},
    {msg::kOpenAccessDenied,
     "Unable to open %1\nError %2 - Operating System preventing access to file."},
    {msg::kOpenAssociationInvalid,
     "Unable to open %1\nError %2 - File Name association is incomplete or invalid."},
    {msg::kOpenDdeBusy,
     "Unable to open %1\nError %2 - Unable to process DDE transacation, because another DDE "
     "transaction is in progress."},
    {msg::kOpenDdeFailed, "Unable to open %1\nError %2 - DDE transaction failed."},
    {msg::kOpenDdeTimeout, "Unable to open %1\nError %2 - DDE transaction timed out."},
    {msg::kOpenDllNotFound, "Unable to open %1\nError %2 - DLL not found."},
    {msg::kOpenNoProgram,
     "Unable to open %1\nError %2 - No program has been associated with this type of file."},
    {msg::kOpenNotEnoughMemory,
     "Unable to open %1\nError %2 - Not enough memory to complete request."},
    {msg::kOpenSharingViolation,
     "Unable to open %1\nError %2 - Sharing Violation - The file is already opened with another "
     "program."},
    {1101,
     "Not enough memory to complete the requested task.\nTry closing one or more article windows "
     "or exiting other applications."},
    {1103,
     "This data file refers to a record that does not exist:\n%1\n\nThe file may be corrupted."},
    {1105, "This data file has been corrupted:\n%1"},
    {1106, "This file is not a Quillbox data file:\n%1"},
    {1107, "This file is not a valid Quillbox data file:\n%1\n\nThe file may be corrupted."},
    {1108, "This file was created with a more recent version of Quillbox:\n%1"},
    {1109,
     "Unable to access this file:\n%1\n\nPlease make sure the disk containing this file is "
     "available and ready to access."},
    {1110,
     "%1\n\nThis file is truncated.  Quillbox Reader was unable to open this file.\n\nUse the "
     "File->Compact option to attempt to fix the file."},
    {1112, "The disk containing this file is full:\n%1\n\nPlease free up some space on the disk."},
    {1119, "All of the titles can not be displayed in the title list."},
    {1120, "All of the keywords can not be displayed in the keyword list."},
    {1121, "Unable to access the clipboard because another application is updating the clipboard."},
    {1122, "Unable to access the clipboard."},
    {1128,
     "Unable to open more articles because System Resources are low.\n\nPlease close other "
     "articles or other programs."},
    {msg::kBookmarksRepaired,
     "%1\n\nThis file's Bookmarked Title List is corrupted.  Quillbox has attempted to repair the "
     "damage.  Please check your data."},
    {msg::kPasswordInvalid, "The entered password is invalid for the file:\n%1"},
    {1149, "The target article no longer exists."},
    {msg::kFolderNotFound, "Can not find this folder:\n%1"},
    {1151,
     "This is a hypertext link to a private article.\nTo follow it, choose Show Private Articles "
     "and enter the password for this file."},
    {msg::kShortcutTargetMissing,
     "Can not find the following data file specified in the shortcut target:\n%1"},
    {1156, "This data file has been corrupted:\n%1"},
    {1200, "Unable to access this file:\n%1"},
    {1201, "Can not find this file:\n%1"},
    {1202,
     "Unable to open this file because too many files are open:\n%1\n\nPlease close one or more "
     "files in another application."},
    {1203, "Unable to open this file:\n%1\n\nThe file may be a read-only file."},
    {1204, "Unable to open this file:\n%1\n\nThe disk is write-protected."},
    {1205, "Unable to access the drive containing the following file:\n%1."},
    {1206, "There may be a problem with the drive containing the following file:\n%1."},
    {1207, "Unable to open this file:\n%1\n\nThe file is already in use."},
    {1208, "Unable to access this file on the network:\n%1"},
    {msg::kCannotClose,
     "The file could not be closed.\nData could be lost if you continue.\n\nDo you want to "
     "continue?"},
    {msg::kWrongCurrentPassword, "Sorry, that is not the correct current password for this file."},
    {msg::kSetPassword, "&Set Password..."},
    {msg::kChangePassword, "&Change Password..."},
    {msg::kStartupFileMissing,
     "Can not find this file:\n%1\n\nTo change the file which opens when Quillbox Reader "
     "starts, go to the \"File\" tab of the \"Preferences\" command of the \"File\" menu."},
    {msg::kPrivateWindowsStayOpen,
     "The private articles stay shown because not every window of a private article could be "
     "closed. Close those windows and try again."},
    {msg::kNewerFormatCaption, "More Recent File Format Encountered"},
    {msg::kCopyDateLabel, "Date: "},
    {msg::kCopyKeywordsLabel, "Keywords: "},
    {msg::kDefaultPrintFooter, "Page &P"},
    {msg::kMarginsInches, "Margins (inches)"},
    {msg::kMarginsCentimetres, "Margins (cm)"},
    {msg::kExportingArticles, "Exporting articles..."},
    {msg::kExportKeywordsLabel, "Keywords: "},
    {msg::kExportDateLabel, "Date: "},
    {msg::kCopyAttachmentLabel, "Attachment: "},
    {msg::kSortingArticles, "Sorting articles..."},
    {msg::kWritingContents, "Writing Table of Contents..."},
    {msg::kCardfileWritingHeader, "Writing header"},
    {msg::kCardfileWritingIndex, "Writing index..."},
    {msg::kCardfileWritingCards, "Writing cards..."},
    {msg::kCardfileTruncateQuestion,
     "One or more articles are too long to fit on Cardfile cards.\nThese articles will be "
     "truncated.\nDo you wish to continue with the export?"},
    {msg::kCardfileTooManyArticles,
     "Too many articles selected.\nCardfile files are limited to 32767 cards."},
    {msg::kExportCancelled, "Export canceled.\nOutput file deleted."},
    {msg::kExportLostCharacters,
     "%1 characters have no byte in the data file's code page and were written as \"?\".\n"
     "Export again in UTF-8, which keeps every character?"},
    {msg::kExportLostCharactersInFolder,
     "%1 characters have no byte in the data file's code page and were written as \"?\".\n"
     "Choose UTF-8 for text files on the Export page of Preferences to keep every character."},
    {msg::kPreferencesCaption, "Preferences"},
    {msg::kArticlePropertiesCaption, "Article Properties"},
    {msg::kCharacterCount, "%1 characters"},
    {msg::kPageSetupCaption, "Page Setup"},
    {msg::kPageSetupDefaultsQuestion,
     "Do you want to change the default settings for Page Setup?\n\nThis change will affect all "
     "new files."},
    {msg::kMarginsInvalid, "Enter a positive number in each of the Margins fields."},
    {msg::kMarginsDoNotFit,
     "The contents of the page will not fit in the printable area for the current printer using "
     "the current margins.\n\nThe margins will be adjusted to allow the content to fit on the "
     "page.\n\nDo you wish to continue printing?"},
    {msg::kStoreAdjustedMargins, "Save adjusted margin settings to Page Setup"},
    {msg::kPrinting, "Printing..."},
    {msg::kPrintingPage, "Page %d"},
    {msg::kProgramName, "Quillbox Reader"},
    {10010, "Titles (%1 of %2)"},
    {10011, "All Titles (%1 of %2)"},
    {10012, "Bookmarked Titles (%1 of %2)"},
    {10013, "Selected Titles (%1 of %2)"},
    {10014, "Found Titles (%1 of %2)"},
    {10015, "Found Titles [Stopped] (%1 of %2)"},
    {10016, "Found Titles [Outdated] (%1 of %2)"},
    {10017, "Query Titles (%1 of %2)"},
    {10018, "Query Titles [Outdated] (%1 of %2)"},
    {10019, "Articles with Attachments (%1 of %2)"},
    {10053, "List of keywords in the index"},
    {10054, "List of selected keywords"},
    {10055, "List of selected articles"},
    {10056, "Preview of the highlighted article's content"},
    {10057, "Preview of the keywords assigned to all highlighted articles"},
    {10058, "List of keyword groups"},
    {msg::kKeywordsLabel, "Keywords"},
    {msg::kUnbookmarkArticle, "Unbookmark Article"},
    {msg::kCutText, "Cut Text"},
    {msg::kCopyText, "Copy Text"},
    {msg::kPasteText, "Paste Text"},
    {msg::kPrintArticle, "Print Article"},
    {msg::kPromptArticleContent, "Article Content"},
    {msg::kPromptArticleKeywords, "Keywords assigned to this article"},
    {msg::kInvalidDate, "Invalid date.\nPlease enter dates in the following format: %1"},
    {msg::kUpdateIsLatest, "You are running the most recent version."},
    {msg::kUpdateAvailable, "A more recent version is available."},
    {msg::kUpdateUnavailable, "Unable to get update information."},
    {msg::kUpdateTryLater, "Please try again later."},
    {msg::kUpdateNoServer, "No update server is configured for this build."},
    {msg::kUpdateNoServerHint, "Updates come with the package this program was installed from."},
    {msg::kReportPrint, "&Print"},
    {msg::kReportExport, "E&xport"},
    {msg::kReportUpdate, "&Update"},
    {msg::kReportClose, "&Close"},
    {msg::kUsageReportPrompt,
     "A report showing the number of articles associated with each keyword"},
    {msg::kCloudReportPrompt,
     "A visual representation of the number of articles associated with each keyword"},
    {msg::kCloudGathering, "Gathering keyword statistics..."},
    {msg::kCloudAssembling, "Assembling Keyword Cloud Report..."},
    {msg::kCloudCancelled, "Keyword Cloud Report Canceled"},
    {msg::kGroupReportPrompt, "A list of keywords grouped by keyword groups"},
    {msg::kFindNoBookmarks, "There are no bookmarked titles."},
    {msg::kFindNoCurrentArticle, "An article must be selected as the Current Article."},
    {msg::kFindNothingFound,
     "All of the articles have been searched.\nThe search item was not found."},
    {msg::kFindArticleNotFound, "The article has been searched.\nThe search item was not found."},
    {msg::kFindArticleDone, "The article has been searched."},
    {msg::kFindCancelled, "The search was canceled."},
    {msg::kFindAllPresented, "All of the articles containing the search item have been presented."},
    {msg::kFindNoHighlighted, "There are no highlighted titles."},
    {msg::kFindProgress, "Searching...\nArticles Found: %d"},
    {14000, "Expecting a keyword or keyword group instead of an AND."},
    {14001, "Expecting a keyword or keyword group instead of a ')'."},
    {14002, "This keyword is not in the current data file."},
    {14003, "The query expression is incomplete."},
    {14006, "Expecting a ')'."},
    {14007, "Expecting an AND or OR operator."},
    {14009, "Expecting a keyword or keyword group instead of an OR."},
    {14101,
     "Problems were found in the saved query.\nPossibly deleted keywords or keyword groups are "
     "included in the query.\n\nUse the \"Edit\" option of the \"Manage Query\" command to edit "
     "the query."},
    {14102, "Expecting a keyword group name."},
    {14110, "The query expression is nested too deeply.\nUse fewer levels of parentheses."},
    {msg::kFirstEncoding, "Western (Windows-1252);windows-1252"},
    {18001, "Central Europe (Windows-1250);windows-1250"},
    {18002, "Western (ISO-8859-1);ISO-8859-1"},
    {18003, "Baltic (ISO-8859-4);ISO-8859-4"},
    {18004, ";"},
    {msg::kHtmlCharsetMeta, "<meta http-equiv=Content-Type content=\"text/html; charset=%1\">"},
    {msg::kNoDriveMapping, "%1 (no folder is set for %2 in the Drives settings)"},
    {msg::kOpenAttachmentsQuestion,
     "This article has %1 attachments to open, more than %2 at a time.\n\nOpen all of them? "
     "Choose No to open only the first %2, or Cancel to open none."},
    {msg::kCopyArticlesCaption, "Copy Articles To Clipboard"},
    {msg::kNoClipboard,
     "Nothing was copied: there is no clipboard here. Copying needs a desktop session with a "
     "display."},
    {msg::kDriveKeyInvalid,
     "\"%1\" is not a Windows drive or share.\nType a drive letter with its colon, such as D:, "
     "or a share, such as \\\\server\\share."},
    {msg::kDriveKeyTwice, "%1 is listed twice in the Drives settings.\nRemove one of them."},
    {msg::kDriveFolderMissing, "Choose the Linux folder that stands for %1."},
    {msg::kDriveFolderNotAbsolute,
     "The Linux folder for %1 must be a full path, beginning with /."},
};

constexpr bool StrictlyAscending() {
    for (size_t i = 1; i < std::size(kStrings); ++i)
        if (kStrings[i - 1].id >= kStrings[i].id) return false;
    return true;
}
static_assert(StrictlyAscending(), "string table must be sorted by id without duplicates");

}  // namespace

const char* ResourceString(int id) {
    auto it = std::lower_bound(std::begin(kStrings), std::end(kStrings), id,
                               [](const Entry& e, int v) { return e.id < v; });
    if (it == std::end(kStrings) || it->id != id) return nullptr;
    return it->text;
}

std::string SubstituteArg(const std::string& text, const std::string& arg1) {
    std::string out;
    out.reserve(text.size() + arg1.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] == '1') {
            out += arg1;
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string FormatResource(int id, const std::string& arg1) {
    const char* text = ResourceString(id);
    return text ? SubstituteArg(text, arg1) : std::string();
}

}  // namespace qb
