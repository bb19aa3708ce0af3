// The attachment queue under a fake clock: order, the gaps between web
// attachments, cancelling, failures, and calls from nested event loops.
#include <gtest/gtest.h>

#include "article/attachment_schedule.h"
#include "attach_fixture.h"

namespace qb::testing {
namespace {

using Names = std::vector<std::string>;
using Times = std::vector<milliseconds>;

class QueueTest : public ::testing::Test, protected OpenerWorld {
protected:
    // Drives the queue as the window's event loop does: open what is due,
    // move the clock by DueIn, until nothing is pending. Bounded, so that
    // a queue that never empties fails instead of hanging.
    void RunToEnd(TargetOpener& opener) {
        for (int round = 0; round < 100; ++round) {
            queue.OpenDue(opener);
            std::optional<milliseconds> wait = queue.DueIn();
            if (!wait) return;
            clock.Advance(*wait);
        }
        ADD_FAILURE() << "the queue did not empty";
    }

    AttachmentQueue queue{clock};
};

TEST_F(QueueTest, OpenAttachmentsKeepsWebAttachmentsFiveSecondsApartAndFilesUndelayed) {
    TargetOpener opener = Opener();
    queue.Start({Web("http://one.example/"), File("C:\\a.txt"), File("C:\\b.txt"),
                 Web("http://two.example/"), File("C:\\c.txt")},
                kOpenAttachmentsWebGap);
    EXPECT_EQ(queue.DueIn(), milliseconds(0));

    // The first web attachment and the files after it open at once.
    EXPECT_EQ(queue.OpenDue(opener), 3u);
    EXPECT_EQ(Launched(), (Names{"http://one.example/", PathOf("a.txt"), PathOf("b.txt")}));
    EXPECT_EQ(queue.DueIn(), milliseconds(5000));

    clock.Advance(milliseconds(4999));
    EXPECT_EQ(queue.OpenDue(opener), 0u);
    EXPECT_EQ(queue.DueIn(), milliseconds(1));

    clock.Advance(milliseconds(1));
    EXPECT_EQ(queue.OpenDue(opener), 2u);
    EXPECT_EQ(Launched().back(), PathOf("c.txt"));
    EXPECT_EQ(launcher.times, (Times{milliseconds(0), milliseconds(0), milliseconds(0),
                                     milliseconds(5000), milliseconds(5000)}));
    EXPECT_FALSE(queue.DueIn());
    EXPECT_EQ(ui.Count(), 0u);
}

TEST_F(QueueTest, AutoOpenKeepsWebAttachmentsTwoSecondsApartInOrder) {
    TargetOpener opener = Opener();
    // A file behind a waiting web attachment waits for it: order is kept.
    queue.Start({Web("http://one.example/"), Web("http://two.example/"), File("C:\\a.txt"),
                 Web("http://three.example/")},
                kAutoOpenWebGap);
    RunToEnd(opener);
    EXPECT_EQ(Launched(), (Names{"http://one.example/", "http://two.example/", PathOf("a.txt"),
                                 "http://three.example/"}));
    EXPECT_EQ(launcher.times,
              (Times{milliseconds(0), milliseconds(2000), milliseconds(2000), milliseconds(4000)}));
}

TEST_F(QueueTest, AGapAlreadyPassedCostsNoWait) {
    TargetOpener opener = Opener();
    queue.Start({Web("http://one.example/"), Web("http://two.example/")}, kAutoOpenWebGap);
    queue.OpenDue(opener);
    // The window came back late: the second one is overdue, not rescheduled.
    clock.Advance(seconds(7));
    EXPECT_EQ(queue.DueIn(), milliseconds(0));
    EXPECT_EQ(queue.OpenDue(opener), 1u);
    EXPECT_EQ(launcher.times, (Times{milliseconds(0), milliseconds(7000)}));
}

TEST_F(QueueTest, DueInRoundsUpSoATimerNeverFiresEarly) {
    TargetOpener opener = Opener();
    queue.Start({Web("http://one.example/"), Web("http://two.example/")}, kAutoOpenWebGap);
    queue.OpenDue(opener);
    clock.Advance(std::chrono::microseconds(1998500));
    EXPECT_EQ(queue.DueIn(), milliseconds(2));
    clock.Advance(std::chrono::microseconds(1000));
    EXPECT_EQ(queue.OpenDue(opener), 0u);
    EXPECT_EQ(queue.DueIn(), milliseconds(1));
}

TEST_F(QueueTest, CancelDropsWhatIsPending) {
    TargetOpener opener = Opener();
    queue.Start({Web("http://one.example/"), Web("http://two.example/"), File("C:\\a.txt")},
                kOpenAttachmentsWebGap);
    queue.OpenDue(opener);
    EXPECT_EQ(queue.Pending(), 2u);
    queue.Cancel();
    EXPECT_EQ(queue.Pending(), 0u);
    EXPECT_FALSE(queue.DueIn());
    clock.Advance(seconds(10));
    EXPECT_EQ(queue.OpenDue(opener), 0u);
    EXPECT_EQ(Launched(), Names{"http://one.example/"});
}

TEST_F(QueueTest, AFailedLaunchIsReportedOnceAndTheQueueGoesOn) {
    TargetOpener opener = Opener();
    launcher.failing = {"http://one.example/"};
    queue.Start({File("C:\\missing.txt"), Web("http://one.example/"), File("C:\\a.txt"),
                 Web("http://two.example/")},
                kOpenAttachmentsWebGap);
    RunToEnd(opener);
    // The missing file is never launched; the failed address still counts
    // for the gap.
    EXPECT_EQ(Launched(), (Names{"http://one.example/", PathOf("a.txt"), "http://two.example/"}));
    EXPECT_EQ(launcher.times, (Times{milliseconds(0), milliseconds(0), milliseconds(5000)}));
    ASSERT_EQ(ui.Count(), 2u);
    EXPECT_NE(ui.messages[0].text.find("missing.txt"), std::string::npos);
    EXPECT_NE(ui.messages[1].text.find("http://one.example/"), std::string::npos);
}

TEST_F(QueueTest, TimeSpentOnAFailureMessageCountsButNeverShortensAGap) {
    TargetOpener opener = Opener();
    launcher.failing = {"http://one.example/"};
    ui.whileShown = [&] { clock.Advance(seconds(3)); };  // the person reads it
    queue.Start({Web("http://one.example/"), File("C:\\a.txt"), Web("http://two.example/"),
                 Web("http://three.example/")},
                kOpenAttachmentsWebGap);
    queue.OpenDue(opener);
    EXPECT_EQ(queue.DueIn(), milliseconds(2000));
    RunToEnd(opener);
    EXPECT_EQ(launcher.times, (Times{milliseconds(0), milliseconds(3000), milliseconds(5000),
                                     milliseconds(10000)}));
}

TEST_F(QueueTest, ANestedCallOpensNothingTwiceAndACancelInsideStopsTheRun) {
    TargetOpener opener = Opener();
    launcher.failing = {"http://one.example/"};
    size_t nestedOpened = 99;
    ui.whileShown = [&] { nestedOpened = queue.OpenDue(opener); };
    queue.Start({Web("http://one.example/"), File("C:\\a.txt"), File("C:\\b.txt")},
                kOpenAttachmentsWebGap);
    EXPECT_EQ(queue.OpenDue(opener), 3u);
    EXPECT_EQ(nestedOpened, 0u);
    EXPECT_EQ(Launched(), (Names{"http://one.example/", PathOf("a.txt"), PathOf("b.txt")}));

    // The window closes while a failure message is up.
    launcher.calls.clear();
    ui.whileShown = [&] { queue.Cancel(); };
    queue.Start({Web("http://one.example/"), File("C:\\a.txt")}, kOpenAttachmentsWebGap);
    EXPECT_EQ(queue.OpenDue(opener), 1u);
    EXPECT_EQ(Launched(), Names{"http://one.example/"});
    EXPECT_EQ(queue.Pending(), 0u);
}

TEST_F(QueueTest, ASecondRunWaitsBehindTheFirstAndKeepsItsOwnGap) {
    TargetOpener opener = Opener();
    queue.Start({Web("http://one.example/"), Web("http://two.example/")}, kAutoOpenWebGap);
    queue.OpenDue(opener);
    // F5 during auto-open: queued behind it, its first web attachment not
    // held back by the first run's (even behind a file), its second five
    // seconds on.
    queue.Start({File("C:\\a.txt"), Web("http://three.example/"), Web("http://four.example/")},
                kOpenAttachmentsWebGap);
    RunToEnd(opener);
    EXPECT_EQ(Launched(), (Names{"http://one.example/", "http://two.example/", PathOf("a.txt"),
                                 "http://three.example/", "http://four.example/"}));
    EXPECT_EQ(launcher.times, (Times{milliseconds(0), milliseconds(2000), milliseconds(2000),
                                     milliseconds(2000), milliseconds(7000)}));
}

TEST_F(QueueTest, ArticleAttachmentsPassWithoutLaunchingAndEmptyRunsDoNothing) {
    TargetOpener opener = Opener();
    queue.Start({}, kAutoOpenWebGap);
    EXPECT_FALSE(queue.DueIn());
    EXPECT_EQ(queue.OpenDue(opener), 0u);
    queue.Start({ArticleLink(3), File("C:\\a.txt")}, kAutoOpenWebGap);
    EXPECT_EQ(queue.OpenDue(opener), 2u);
    EXPECT_EQ(Launched(), Names{PathOf("a.txt")});
    EXPECT_EQ(ui.Count(), 0u);
}

}  // namespace
}  // namespace qb::testing
