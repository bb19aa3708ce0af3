#include <gtest/gtest.h>

#include <cerrno>

#include "datafile/quill_error.h"
#include "resources/strings.h"
#include "support/recording_ui.h"

namespace qb {
namespace {

TEST(ErrorReport, CodeZeroShowsNothing) {
    RecordingUi ui;
    CQuillError(err::kNone, "/x.qbx").ReportError(ui);
    EXPECT_EQ(ui.Count(), 0u);
    EXPECT_EQ(CQuillError(0).Message(), "");
}

TEST(ErrorReport, DataLayerCodesShowString1100PlusCodeWithThePath) {
    RecordingUi ui;
    CQuillError(err::kCorrupted, "/data/notes.qbx").ReportError(ui);
    ASSERT_EQ(ui.Count(), 1u);
    EXPECT_EQ(ui.Last().text, "This data file has been corrupted:\n/data/notes.qbx");
    EXPECT_EQ(ui.Last().icon, MessageIcon::Exclamation);
    EXPECT_EQ(ui.Last().buttons, MessageButtons::Ok);

    CQuillError(err::kTruncated, "/t.qbx").ReportError(ui);
    EXPECT_EQ(ui.LastText().substr(0, 8), "/t.qbx\n\n");
    CQuillError::ReportOutOfMemory(ui);
    EXPECT_EQ(ui.LastText(), ResourceString(1101));
    CQuillError(err::kBadRecordId, "/r.qbx").ReportError(ui);
    EXPECT_NE(ui.LastText().find("/r.qbx"), std::string::npos);
}

TEST(ErrorReport, QueryCodesShowTheStringOfTheSameNumber) {
    RecordingUi ui;
    CQuillError(14001).ReportError(ui);
    EXPECT_EQ(ui.LastText(), "Expecting a keyword or keyword group instead of a ')'.");
    CQuillError(14101).ReportError(ui);
    EXPECT_EQ(ui.LastText(), ResourceString(14101));
}

TEST(ErrorReport, ACodeWithoutTextStillSaysSomething) {
    RecordingUi ui;
    for (int code : {2, 77, 13999, 14500, -4}) {
        CQuillError(code, "/p.qbx").ReportError(ui);
        EXPECT_NE(ui.LastText().find(std::to_string(code)), std::string::npos) << code;
        EXPECT_NE(ui.LastText().find("/p.qbx"), std::string::npos) << code;
    }
    EXPECT_EQ(ui.Count(), 5u);
    EXPECT_NE(std::string(CQuillError(77).what()).find("77"), std::string::npos);
}

TEST(ErrorReport, ErrnoMapping) {
    EXPECT_EQ(ErrnoToCode(ENOENT), err::kNotFound);
    EXPECT_EQ(ErrnoToCode(ENOTDIR), err::kNotFound);
    EXPECT_EQ(ErrnoToCode(EMFILE), err::kTooManyOpen);
    EXPECT_EQ(ErrnoToCode(ENFILE), err::kTooManyOpen);
    EXPECT_EQ(ErrnoToCode(EACCES), err::kAccessDenied);
    EXPECT_EQ(ErrnoToCode(EPERM), err::kAccessDenied);
    EXPECT_EQ(ErrnoToCode(ENOMEM), err::kOutOfMemory);
    EXPECT_EQ(ErrnoToCode(EROFS), err::kWriteProtected);
    EXPECT_EQ(ErrnoToCode(EIO), err::kMediumError);
    EXPECT_EQ(ErrnoToCode(ENOSPC), err::kDiskFull);
    EXPECT_EQ(ErrnoToCode(EAGAIN), err::kInUse);
    for (int e : {ESTALE, EREMOTEIO, EHOSTDOWN, EHOSTUNREACH, ENETDOWN, ENETUNREACH, ECONNRESET,
                  ECOMM, ENOLINK})
        EXPECT_EQ(ErrnoToCode(e), err::kNetwork) << e;
    EXPECT_EQ(ErrnoToCode(EISDIR), err::kFileSystem);
    EXPECT_EQ(ErrnoToCode(0), err::kFileSystem);
}

TEST(RecordingUiFake, AnswersFromItsScript) {
    RecordingUi ui;
    ui.QueueResult(MessageResult::No);
    EXPECT_EQ(ui.MessageBox("q", MessageIcon::Question, MessageButtons::YesNo), MessageResult::No);
    EXPECT_EQ(ui.MessageBox("again", MessageIcon::Question), MessageResult::Ok);
    auto right = [](const std::string& p) { return p == "open sesame"; };
    ui.QueuePassword("wrong");
    ui.QueueCancel();  // in the same dialog, after the wrong one
    ui.QueuePassword("wrong");
    ui.QueuePassword("open sesame");
    EXPECT_FALSE(ui.AskPassword("a.qbx", right));
    EXPECT_TRUE(ui.AskPassword("a.qbx", right));   // the second try is right
    EXPECT_FALSE(ui.AskPassword("a.qbx", right));  // nothing scripted: cancel
    EXPECT_EQ(ui.passwordRequests.size(), 3u);
}

}  // namespace
}  // namespace qb
