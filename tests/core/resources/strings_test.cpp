#include <gtest/gtest.h>

#include <string>

#include "resources/strings.h"

namespace qb {
namespace {

TEST(StringTable, LooksUpByNumberAndReportsAbsence) {
    EXPECT_STREQ(ResourceString(msg::kDefaultPrintFooter), "Page &P");
    EXPECT_STREQ(ResourceString(1149), "The target article no longer exists.");
    EXPECT_EQ(ResourceString(1102), nullptr);  // no code 2
    EXPECT_EQ(ResourceString(0), nullptr);
    EXPECT_EQ(ResourceString(-1), nullptr);
    EXPECT_EQ(ResourceString(999999), nullptr);
}

TEST(StringTable, MessagesKeepTheirExactLineBreaksAndSpacing) {
    EXPECT_STREQ(ResourceString(1110),
                 "%1\n\nThis file is truncated.  Quillbox Reader was unable to open this file.\n\n"
                 "Use the File->Compact option to attempt to fix the file.");
    EXPECT_STREQ(ResourceString(1207),
                 "Unable to open this file:\n%1\n\nThe file is already in use.");
    EXPECT_STREQ(ResourceString(14101),
                 "Problems were found in the saved query.\nPossibly deleted keywords or keyword "
                 "groups are included in the query.\n\nUse the \"Edit\" option of the \"Manage "
                 "Query\" command to edit the query.");
    EXPECT_STREQ(ResourceString(msg::kInvalidDate),
                 "Invalid date.\nPlease enter dates in the following format: %1");
}

TEST(StringTable, EveryErrorCodeOfTheDataLayerHasAText) {
    for (int code : {1,  3,  5,  6,  7,  8,   9,   10,  12,  19,  20,  21,  22,  28, 38,
                     48, 49, 51, 53, 56, 100, 101, 102, 103, 104, 105, 106, 107, 108})
        EXPECT_NE(ResourceString(1100 + code), nullptr) << code;
    for (int id : {14000, 14001, 14002, 14003, 14006, 14007, 14009, 14101, 14102})
        EXPECT_NE(ResourceString(id), nullptr) << id;
}

TEST(StringTable, ShellAndDocumentTextsAreInTheTable) {
    EXPECT_STREQ(ResourceString(msg::kFileOpenFilter), "Quillbox (*.qbx)|*.qbx||");
    EXPECT_STREQ(ResourceString(msg::kCannotClose),
                 "The file could not be closed.\nData could be lost if you continue.\n\nDo you "
                 "want to continue?");
    EXPECT_EQ(FormatResource(msg::kStartupFileMissing, "f").substr(0, 25),
              "Can not find this file:\nf");
    for (int id : {msg::kPaneRead, msg::kPaneLink, msg::kNewerFormatCaption,
                   msg::kPreferencesCaption, msg::kWrongCurrentPassword, msg::kSetPassword,
                   msg::kChangePassword, msg::kPrivateWindowsStayOpen})
        EXPECT_NE(ResourceString(id), nullptr) << id;
    EXPECT_STREQ(ResourceString(msg::kFirstEncoding), "Western (Windows-1252);windows-1252");
    EXPECT_STREQ(ResourceString(msg::kFirstEncoding + 4), ";");
}

TEST(StringTable, FormatReplacesEveryPlaceholder) {
    EXPECT_EQ(FormatResource(1201, "/tmp/x.qbx"), "Can not find this file:\n/tmp/x.qbx");
    EXPECT_EQ(FormatResource(1110, "f").substr(0, 3), "f\n\n");
    EXPECT_EQ(FormatResource(4242, "x"), "");
    EXPECT_EQ(SubstituteArg("%1 and %1, 100%", "A"), "A and A, 100%");
    // The argument is inserted as is, never re-scanned.
    EXPECT_EQ(SubstituteArg("<%1>", "%1"), "<%1>");
}

}  // namespace
}  // namespace qb
