#include "article/attachment_schedule.h"

#include <algorithm>
#include <iterator>

#include "app/settings.h"
#include "article/attachment_opener.h"
#include "platform/ui.h"
#include "resources/strings.h"

namespace qb {
namespace {

std::vector<CAttachment> Enabled(const std::vector<CAttachment>& attachments) {
    std::vector<CAttachment> out;
    std::copy_if(attachments.begin(), attachments.end(), std::back_inserter(out),
                 IsAttachmentEnabled);
    return out;
}

// Resets a flag however the scope is left.
class FlagScope {
public:
    explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~FlagScope() { flag_ = false; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& flag_;
};

}  // namespace

bool IsAttachmentEnabled(const CAttachment& attachment) {
    return (attachment.flags & 1) == 0;
}

std::string OpenAttachmentsQuestionText(size_t count) {
    const char* text = ResourceString(msg::kOpenAttachmentsQuestion);
    if (!text) return {};
    std::string out;
    for (const char* c = text; *c; ++c) {
        if (c[0] == '%' && (c[1] == '1' || c[1] == '2')) {
            out += std::to_string(c[1] == '1' ? count : kOpenAttachmentsLimit);
            ++c;
        } else {
            out += *c;
        }
    }
    return out;
}

std::vector<CAttachment> ChooseAttachmentsToOpen(const std::vector<CAttachment>& attachments,
                                                 Ui& ui) {
    std::vector<CAttachment> chosen = Enabled(attachments);
    if (chosen.size() <= kOpenAttachmentsLimit) return chosen;
    switch (ui.MessageBox(OpenAttachmentsQuestionText(chosen.size()), MessageIcon::Question,
                          MessageButtons::YesNoCancel)) {
        case MessageResult::Yes:
            return chosen;
        case MessageResult::No:
            chosen.resize(kOpenAttachmentsLimit);
            return chosen;
        default:
            return {};
    }
}

AutoOpenPreferences AutoOpenPreferencesOf(const Settings& settings) {
    return {settings.autoOpenFile != 0, settings.autoOpenInternet != 0};
}

std::vector<CAttachment> ChooseAttachmentsToAutoOpen(const std::vector<CAttachment>& attachments,
                                                     int32_t mode, AutoOpenPreferences prefs) {
    if (mode == 2) return Enabled(attachments);
    if (mode != 0) return {};
    std::vector<CAttachment> chosen;
    for (const CAttachment& a : attachments) {
        if (!IsAttachmentEnabled(a)) continue;
        if ((a.kind == 1 && prefs.files) || (IsWebAttachment(a) && prefs.web)) chosen.push_back(a);
    }
    return chosen;
}

AttachmentQueue::AttachmentQueue(const SteadyClock& clock) : clock_(clock) {}

void AttachmentQueue::Start(std::vector<CAttachment> attachments,
                            std::chrono::milliseconds webGap) {
    bool first = true;
    for (CAttachment& a : attachments) {
        items_.push_back({std::move(a), webGap, first});
        first = false;
    }
}

SteadyTime AttachmentQueue::DueAt(const Item& item) const {
    // The start of a run forgets the previous run's web attachment.
    if (!IsWebAttachment(item.attachment) || item.firstOfRun || !lastWeb_) return SteadyTime::min();
    return *lastWeb_ + item.webGap;
}

std::optional<std::chrono::milliseconds> AttachmentQueue::DueIn() const {
    if (items_.empty()) return std::nullopt;
    SteadyTime due = DueAt(items_.front());
    SteadyTime now = clock_.Now();
    if (due <= now) return std::chrono::milliseconds::zero();
    return std::chrono::ceil<std::chrono::milliseconds>(due - now);
}

size_t AttachmentQueue::OpenDue(TargetOpener& opener) {
    if (opening_) return 0;
    FlagScope scope(opening_);
    size_t opened = 0;
    while (!items_.empty()) {
        SteadyTime now = clock_.Now();
        if (DueAt(items_.front()) > now) break;
        // Taken off before opening: a failure message runs a nested event
        // loop, in which the window may call back or cancel.
        Item item = std::move(items_.front());
        items_.pop_front();
        if (item.firstOfRun) lastWeb_.reset();
        if (IsWebAttachment(item.attachment)) lastWeb_ = now;
        opener.Open(item.attachment);
        ++opened;
    }
    return opened;
}

void AttachmentQueue::Cancel() {
    items_.clear();
    lastWeb_.reset();
}

}  // namespace qb
