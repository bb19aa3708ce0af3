// Names for the numbers of the string table (strings.cpp). A text keeps its
// number because the number is data in places: an error code shows string
// 1100 + code, a title-list mode shows caption 10010 + mode, and a command
// shows the string of its own id as its prompt.
#pragma once

namespace qb::msg {

// ---- Application shell and settings -----------------------------------------

constexpr int kFileOpenFilter = 143;  // the filter of the Open and Copy and Open dialogs
constexpr int kPaneRead = 200;        // status-bar panes
constexpr int kPaneLink = 202;
constexpr int kCannotClose = 1301;
constexpr int kStartupFileMissing = 1315;
constexpr int kNewerFormatCaption = 1550;  // the newer and the too-new format dialogs
constexpr int kPreferencesCaption = 9001;
// The encodings offered by Preferences: "display name;charset" entries from
// here on, up to the first entry that is exactly ";".
constexpr int kFirstEncoding = 18000;
constexpr int kMaxEncodings = 100;

// ---- Data file and document -------------------------------------------------

// Error texts (1100 + error code) that are also named.
constexpr int kBookmarksRepaired = 1138;
constexpr int kPasswordInvalid = 1148;
constexpr int kShortcutTargetMissing = 1153;  // a file named on the command line
constexpr int kWrongCurrentPassword = 1304;
constexpr int kSetPassword = 1308;
constexpr int kChangePassword = 1309;
// Show Private Articles could not close every window of a private article.
constexpr int kPrivateWindowsStayOpen = 1316;
constexpr int kDefaultPrintFooter = 5300;
constexpr int kMarginsInches = 5301;  // the Margins group in the US system
constexpr int kMarginsCentimetres = 5302;
constexpr int kInvalidDate = 11100;

// ---- Update check ----------------------------------------------------------

constexpr int kUpdateIsLatest = 11400;
constexpr int kUpdateAvailable = 11401;
constexpr int kUpdateUnavailable = 11402;
constexpr int kUpdateTryLater = 11403;
// This build names no update server (neither the build nor UpdateURL).
constexpr int kUpdateNoServer = 11404;
constexpr int kUpdateNoServerHint = 11405;

// ---- Index window, title list and queries -----------------------------------

constexpr int kTitlesNotAll = 1119;
// The title list's caption for title_mode m is kTitleCaptionBase + m.
constexpr int kTitleCaptionBase = 10010;

// Status prompts while the pointer is over a pane of the index window.
constexpr int kPromptIndexList = 10053;
constexpr int kPromptSelectedList = 10054;
constexpr int kPromptTitleList = 10055;
constexpr int kPromptContentPreview = 10056;
constexpr int kPromptKeywordPreview = 10057;
constexpr int kPromptGroupList = 10058;

// Query compilation; kQueryUnexpectedAnd to kQueryMissingGroupName are the
// errors a saved query reports as kSavedQueryInvalid.
constexpr int kQueryUnexpectedAnd = 14000;
constexpr int kQueryUnexpectedClose = 14001;
constexpr int kQueryUnknownKeyword = 14002;
constexpr int kQueryIncomplete = 14003;
constexpr int kQueryMissingClose = 14006;
constexpr int kQueryMissingOperator = 14007;
constexpr int kQueryUnexpectedOr = 14009;
constexpr int kSavedQueryInvalid = 14101;
constexpr int kQueryMissingGroupName = 14102;
constexpr int kQueryTooDeep = 14110;

// ---- Link and attachment targets ----------------------------------------------

// Opening a target failed: "Unable to open %1\n" and the reason, %1 the
// path, %2 the error number (except where noted).
constexpr int kOpenNoAssociation = 1002;     // whole text, %1 only
constexpr int kOpenWebAddressFailed = 1003;  // %1 the address
// Printer results below zero.
constexpr int kPrinterError = 1010;
constexpr int kPrinterOutOfDisk = 1011;
constexpr int kPrinterOutOfMemory = 1012;
constexpr int kPrinterCancelled = 1013;
constexpr int kOpenOutOfResources = 1014;
constexpr int kOpenFileNotFound = 1015;
constexpr int kOpenPathNotFound = 1016;
constexpr int kOpenNotExecutable = 1017;  // whole text, %2 only
constexpr int kOpenAccessDenied = 1018;
constexpr int kOpenAssociationInvalid = 1019;
constexpr int kOpenDdeBusy = 1020;
constexpr int kOpenDdeFailed = 1021;
constexpr int kOpenDdeTimeout = 1022;
constexpr int kOpenDllNotFound = 1023;
constexpr int kOpenNoProgram = 1025;
constexpr int kOpenNotEnoughMemory = 1026;
constexpr int kOpenSharingViolation = 1028;
// The path shown when a Windows drive or share has no Linux folder: %1 the
// Windows path, %2 the `Drives` key ("C:" or "\\server\share").
constexpr int kNoDriveMapping = 19016;

// ---- When attachments open -----------------------------------------------------

// Open Attachments asks before opening more than the limit at once: %1 the
// number of enabled attachments, %2 the limit.
constexpr int kOpenAttachmentsQuestion = 19030;

// ---- Drives settings (Preferences) ---------------------------------------------

// A row of the Drives page that cannot be kept: %1 the key as typed
// (kDriveKeyInvalid) or as normalised (the others).
constexpr int kDriveKeyInvalid = 19200;
constexpr int kDriveKeyTwice = 19201;
constexpr int kDriveFolderMissing = 19202;
constexpr int kDriveFolderNotAbsolute = 19203;

// ---- Article window ---------------------------------------------------------------

constexpr int kArticlePropertiesCaption = 9100;
constexpr int kCharacterCount = 9101;  // %1 the number of characters
// ---- Page setup and printing
constexpr int kPageSetupCaption = 9200;
constexpr int kPageSetupDefaultsQuestion = 9201;
constexpr int kMarginsInvalid = 9202;
constexpr int kMarginsDoNotFit = 9203;     // the adjust-margins question
constexpr int kStoreAdjustedMargins = 9204;  // its check box
constexpr int kPrinting = 9205;            // the progress window's first line
constexpr int kPrintingPage = 9206;        // a report's progress: %d the page
constexpr int kProgramName = 9207;         // the progress window's caption
constexpr int kKeywordsLabel = 11000;  // painted above the keyword list
// Toolbar tips over an article window.
constexpr int kUnbookmarkArticle = 11041;
constexpr int kCutText = 11042;
constexpr int kCopyText = 11043;
constexpr int kPasteText = 11044;
constexpr int kPrintArticle = 11045;
// Status prompts while the pointer is over the content or the keyword list.
constexpr int kPromptArticleContent = 11052;
constexpr int kPromptArticleKeywords = 11053;

// ---- Find ------------------------------------------------------------------------

constexpr int kFindNoBookmarks = 13000;
constexpr int kFindNoCurrentArticle = 13001;
constexpr int kFindNothingFound = 13002;
// The current article was searched to where the search began: without any
// occurrence (NotFound) or after at least one (Done).
constexpr int kFindArticleNotFound = 13003;
constexpr int kFindArticleDone = 13004;
constexpr int kFindCancelled = 13005;
constexpr int kFindAllPresented = 13006;
constexpr int kFindNoHighlighted = 13007;
// The progress text, with the printf-style count "%d" of articles found.
constexpr int kFindProgress = 13010;

// ---- Clipboard copy --------------------------------------------------------------

// The heading lines of an article copied to the clipboard.
constexpr int kCopyDateLabel = 5100;        // "Date: "
constexpr int kCopyKeywordsLabel = 5102;    // "Keywords: "
constexpr int kCopyAttachmentLabel = 8203;  // "Attachment: "
// Errors 21 and 22 of placing a copy (1100 + code), as named.
constexpr int kClipboardBusy = 1121;
constexpr int kClipboardUnavailable = 1122;
constexpr int kCopyArticlesCaption = 19040;  // the progress window of Copy Articles
// Shown once when the desktop has no clipboard at all.
constexpr int kNoClipboard = 19041;

// ---- HTML ------------------------------------------------------------------------

// The charset declaration of an HTML head, the charset name as %1.
constexpr int kHtmlCharsetMeta = 18100;

// ---- Article export -------------------------------------------------------------

// The file types of the export dialogs, "description|patterns"; 353 is not used.
constexpr int kExportTypeText = 350;
constexpr int kExportTypeRtf = 351;
constexpr int kExportTypeHtml = 352;
constexpr int kExportTypeCardfile = 354;
constexpr int kExportTypeCsv = 355;
constexpr int kFolderNotFound = 1150;  // error 50 (1100 + code)
constexpr int kExportingArticles = 8200;
constexpr int kExportKeywordsLabel = 8201;  // "Keywords: "
constexpr int kExportDateLabel = 8202;      // "Date: "
constexpr int kSortingArticles = 8204;
constexpr int kWritingContents = 8205;
constexpr int kCardfileWritingHeader = 8303;
constexpr int kCardfileWritingIndex = 8304;
constexpr int kCardfileWritingCards = 8305;
constexpr int kCardfileTruncateQuestion = 8306;
constexpr int kCardfileTooManyArticles = 8307;
constexpr int kExportCancelled = 8310;
// A text or CSV export wrote characters its code page lacks as "?" (the
// count as %1); Yes exports again in UTF-8.
constexpr int kExportLostCharacters = 8320;
// The same for a folder of files, which is not written again.
constexpr int kExportLostCharactersInFolder = 8321;

// ---- Keyword reports -------------------------------------------------------------

constexpr int kIndexReportTitle = 142;    // the index report window's caption
constexpr int kReportExportFilter = 146;  // the report export's file types
constexpr int kReportPrint = 12000;       // the report window's buttons
constexpr int kReportExport = 12001;
constexpr int kReportUpdate = 12002;
constexpr int kReportClose = 12003;
constexpr int kUsageReportPrompt = 12504;  // the status prompts of the report windows
constexpr int kCloudReportPrompt = 12606;
constexpr int kCloudGathering = 12612;  // the cloud's progress texts
constexpr int kCloudAssembling = 12613;
constexpr int kCloudCancelled = 12614;
constexpr int kGroupReportPrompt = 12619;

}  // namespace qb::msg
