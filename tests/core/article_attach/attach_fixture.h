// Fakes for the attachment schedule: a clock the test moves by hand, a
// launcher that notes when each launch happened and can fail chosen
// targets, and attachments made in a line.
#pragma once

#include <chrono>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "article/attachment_opener.h"
#include "datafile/articles.h"
#include "platform/clock.h"
#include "support/recording_launcher.h"
#include "support/recording_ui.h"
#include "support/temp_files.h"

namespace qb::testing {

using std::chrono::milliseconds;
using std::chrono::seconds;

class FakeClock : public SteadyClock {
public:
    SteadyTime Now() const override { return now; }
    void Advance(std::chrono::nanoseconds d) { now += d; }
    // Time since the clock's start, for comparing with launch times.
    milliseconds Elapsed() const { return std::chrono::duration_cast<milliseconds>(now - start); }

    SteadyTime start = SteadyTime() + std::chrono::hours(1);
    SteadyTime now = start;
};

// Records the clock's time of every launch; targets in `failing` fail.
class TimedLauncher : public RecordingLauncher {
public:
    explicit TimedLauncher(const FakeClock& clock) : clock_(clock) {}

    LaunchResult OpenUrl(const std::string& url) override {
        return Note(RecordingLauncher::OpenUrl(url), url);
    }
    LaunchResult OpenPath(const std::string& path) override {
        return Note(RecordingLauncher::OpenPath(path), path);
    }

    std::vector<milliseconds> times;
    std::set<std::string> failing;

private:
    LaunchResult Note(LaunchResult r, const std::string& target) {
        times.push_back(clock_.Elapsed());
        return failing.count(target) ? LaunchResult::NoProgram : r;
    }
    const FakeClock& clock_;
};

// A Ui whose message boxes run `whileShown` before answering (the person
// reading them, or a nested event loop).
class BusyUi : public RecordingUi {
public:
    MessageResult MessageBox(const std::string& text, MessageIcon icon,
                             MessageButtons buttons = MessageButtons::Ok) override {
        if (whileShown) whileShown();
        return RecordingUi::MessageBox(text, icon, buttons);
    }
    std::function<void()> whileShown;
};

inline CAttachment Web(const std::string& address, int32_t flags = 0) {
    CAttachment a;
    a.kind = 2;
    a.target = address;
    a.flags = flags;
    return a;
}

inline CAttachment File(const std::string& stored, int32_t flags = 0) {
    CAttachment a;
    a.kind = 1;
    a.target = stored;
    a.flags = flags;
    return a;
}

inline CAttachment ArticleLink(int32_t id, int32_t flags = 0) {
    CAttachment a;
    a.kind = 3;
    a.articleId = id;
    a.flags = flags;
    return a;
}

inline std::vector<std::string> Targets(const std::vector<CAttachment>& list) {
    std::vector<std::string> out;
    for (const CAttachment& a : list)
        out.push_back(a.kind == 3 ? "#" + std::to_string(a.articleId) : a.target);
    return out;
}

// Files under drive C: exist in a scratch folder, so file attachments open.
struct OpenerWorld {
    OpenerWorld() : launcher(clock) {
        dir.Write("a.txt", "a");
        dir.Write("b.txt", "b");
        dir.Write("c.txt", "c");
        ctx.linkBase = "C:\\";
        ctx.drives = {{"C:", dir.Path()}};
    }
    TargetOpener Opener() { return TargetOpener(launcher, ui, ctx); }
    std::string PathOf(const std::string& name) const { return dir / name; }
    // The launched targets, files shown by their scratch path.
    std::vector<std::string> Launched() const {
        std::vector<std::string> out;
        for (const auto& c : launcher.calls)
            out.push_back(c.target);
        return out;
    }

    TempDir dir;
    FakeClock clock;
    TimedLauncher launcher;
    BusyUi ui;
    TargetContext ctx;
};

}  // namespace qb::testing
