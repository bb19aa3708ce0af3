// The menu and toolbar command ids of the reader, for the core's decisions
// (start-up, the frame's bars) and for the Qt shell, whose actions carry
// them as their data. A command's id is also the number of its prompt in
// the string table.
#pragma once

namespace qb::cmd {

// ---- Framework commands ------------------------------------------------------
constexpr int kFileNew = 57600;
constexpr int kFileOpen = 57601;
constexpr int kFileClose = 57602;
constexpr int kFileSave = 57603;
constexpr int kFilePageSetup = 57605;
constexpr int kFilePrint = 57607;
constexpr int kRecentFileFirst = 57616;  // one per recent file
constexpr int kRecentFileLast = 57631;
constexpr int kEditClear = 57632;
constexpr int kEditCopy = 57634;
constexpr int kEditCut = 57635;
constexpr int kEditFind = 57636;
constexpr int kEditPaste = 57637;
constexpr int kEditUndo = 57643;
constexpr int kWindowArrange = 57649;
constexpr int kWindowCascade = 57650;
constexpr int kWindowTile = 57651;
constexpr int kAppAbout = 57664;
constexpr int kAppExit = 57665;
constexpr int kHelpContents = 57667;
constexpr int kWindowNext = 57680;
constexpr int kViewStandardToolbar = 59392;
constexpr int kViewStatusBar = 59393;

// ---- The reader's own --------------------------------------------------------
constexpr int kFileExport = 32773;
constexpr int kFileProperties = 32776;
constexpr int kHelpTutorial = 32784;
constexpr int kCloseArticle = 32786;
constexpr int kBookmarkButton = 32789;
constexpr int kEditSelectAll = 32797;
constexpr int kIndexToFront = 32803;
constexpr int kTextColorButton = 32838;
constexpr int kOpenAttachments = 32875;
constexpr int kArticleProperties = 32877;
constexpr int kViewBrowseToolbar = 32929;
constexpr int kPreviousArticle = 32939;
constexpr int kNextArticle = 32941;
constexpr int kUpdateCheck = 32968;
constexpr int kHighlightButton = 32979;
constexpr int kShowPrivateArticles = 32988;
constexpr int kToggleToolsBar = 33005;
constexpr int kImageGallery = 33019;
constexpr int kExportKeywordList = 33020;
constexpr int kOpenGalleryAttachment = 33035;  // the gallery's context menu
constexpr int kIndexReport = 33101;
constexpr int kKeywordUsageReport = 33102;
constexpr int kKeywordCloudReport = 33103;
constexpr int kKeywordGroupReport = 33104;
constexpr int kPreferences = 33110;
constexpr int kQuery = 33112;
constexpr int kManageQuery = 33113;
constexpr int kNoSavedQueries = 33120;
constexpr int kSavedQueryFirst = 33121;  // one per recent saved query, up to 20
constexpr int kMoreQueries = 33141;
constexpr int kKeywordsLists = 33150;
constexpr int kKeywordGroups = 33151;
constexpr int kPreviewContent = 33152;
constexpr int kPreviewKeywords = 33153;
constexpr int kModeAnd = 33154;
constexpr int kModeOr = 33155;
constexpr int kIndexModeAll = 33156;
constexpr int kIndexModeRelated = 33157;
constexpr int kSortTitlesAsc = 33160;
constexpr int kSortTitlesDesc = 33161;
constexpr int kSortDatesAsc = 33162;
constexpr int kSortDatesDesc = 33163;
constexpr int kShowAllTitles = 33170;
constexpr int kShowBookmarked = 33171;
constexpr int kShowWithAttachments = 33172;
constexpr int kOpenArticle = 33173;

// ---- Editing commands (always disabled in the reader) --------------------------
constexpr int kNewArticle = 33180;
constexpr int kDeleteArticle = 33181;
constexpr int kAssignKeywords = 33182;
constexpr int kSetDate = 33183;
constexpr int kMakeTitle = 33184;
constexpr int kInsertLink = 33185;
constexpr int kSpelling = 33186;
constexpr int kFormatFont = 33190;
constexpr int kFormatBold = 33191;
constexpr int kFormatItalic = 33192;
constexpr int kFormatUnderline = 33193;
constexpr int kFormatStrikeOut = 33194;
constexpr int kAlignLeft = 33195;
constexpr int kAlignCenter = 33196;
constexpr int kAlignRight = 33197;
constexpr int kBullets = 33198;
constexpr int kIndentMore = 33199;
constexpr int kIndentLess = 33200;

}  // namespace qb::cmd
