// Which of an article's attachments an article window opens, and when.
// Open Attachments (F5) and auto-open on load each choose a list; an
// AttachmentQueue then opens it in order from the window's event loop,
// keeping web attachments a minimum gap apart (browsers drop addresses
// that arrive too quickly) without ever blocking that loop.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "datafile/articles.h"
#include "platform/clock.h"

namespace qb {

class Settings;
class TargetOpener;
class Ui;

// Open Attachments asks before opening more than this many at once.
constexpr size_t kOpenAttachmentsLimit = 10;
// The least time between two web attachments of one run.
constexpr std::chrono::milliseconds kOpenAttachmentsWebGap{5000};
constexpr std::chrono::milliseconds kAutoOpenWebGap{2000};

// An attachment is enabled (checked) while its flag bit 0 is clear.
bool IsAttachmentEnabled(const CAttachment& attachment);
// A web address attachment, the only kind that is spaced out.
inline bool IsWebAttachment(const CAttachment& attachment) {
    return attachment.kind == 2;
}

// The question asked when `count` enabled attachments exceed the limit.
std::string OpenAttachmentsQuestionText(size_t count);

// Open Attachments: the enabled attachments in stored order. Above the
// limit it asks through `ui` (Yes / No / Cancel): Yes keeps them all, No
// the first kOpenAttachmentsLimit, Cancel (or any other answer) none.
std::vector<CAttachment> ChooseAttachmentsToOpen(const std::vector<CAttachment>& attachments,
                                                 Ui& ui);

// The two preferences auto-open mode 0 follows.
struct AutoOpenPreferences {
    bool files = false;  // `AutoOpenFile`: file and folder attachments
    bool web = false;    // `AutoOpenInternet`: web attachments
};
AutoOpenPreferences AutoOpenPreferencesOf(const Settings& settings);

// Auto-open on load, by the article's auto-open mode: the enabled
// attachments in stored order; mode 0 keeps files and folders when
// `prefs.files` is set and web attachments when `prefs.web` is set, mode 2
// keeps every kind, any other mode none.
std::vector<CAttachment> ChooseAttachmentsToAutoOpen(const std::vector<CAttachment>& attachments,
                                                     int32_t mode, AutoOpenPreferences prefs);

// Opens chosen attachments in order, driven by its window: after Start,
// the window calls OpenDue, then waits DueIn (a timer, never a sleep) and
// calls OpenDue again until DueIn is empty; it calls Cancel when it closes.
//
// Within one run (one Start) a web attachment opens no sooner than the
// run's gap after the previous web attachment of that run was opened,
// successfully or not; the run's first web attachment, and every other
// kind, is due at once. Order is kept: an item never opens before the
// items in front of it, so files behind a waiting web attachment wait too.
class AttachmentQueue {
public:
    explicit AttachmentQueue(const SteadyClock& clock);

    // Queues `attachments` as a new run behind whatever is still pending
    // (a second F5 waits for the first, as a blocked window would have).
    void Start(std::vector<CAttachment> attachments, std::chrono::milliseconds webGap);

    // How long until the first pending item is due (zero when due now,
    // rounded up to whole milliseconds); empty when nothing is pending.
    std::optional<std::chrono::milliseconds> DueIn() const;

    // Opens every item due now, in order, each through `opener`, which
    // reports its own failures; a failed item is done with and the queue
    // goes on. The clock is read before each item, so time spent in one
    // (a failure message left open) counts towards the next one's gap.
    // A call made while this one is opening (from a nested event loop)
    // opens nothing; a Cancel made meanwhile stops it after the current
    // item. Returns the number of items handed to the opener.
    size_t OpenDue(TargetOpener& opener);

    // Drops everything pending (the window closed).
    void Cancel();

    size_t Pending() const { return items_.size(); }

private:
    struct Item {
        CAttachment attachment;
        std::chrono::milliseconds webGap;
        bool firstOfRun;
    };

    // When the first pending item may open, given the previous web opening.
    SteadyTime DueAt(const Item& item) const;

    const SteadyClock& clock_;
    std::deque<Item> items_;
    // When the current run last opened a web attachment.
    std::optional<SteadyTime> lastWeb_;
    bool opening_ = false;
};

}  // namespace qb
