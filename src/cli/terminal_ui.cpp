#include "terminal_ui.h"

#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "document/privacy.h"

namespace qbx {

namespace {

// Every message that counts as an error (the exit status says so) is
// one; notes and questions have no prefix.
const char* IconPrefix(qb::MessageIcon icon) {
    switch (icon) {
        case qb::MessageIcon::Exclamation:
        case qb::MessageIcon::Stop:
            return "error: ";
        default:
            return "";
    }
}

std::optional<std::string> AskLine(const std::string& question) {
    if (!isatty(STDIN_FILENO)) return std::nullopt;
    std::fprintf(stderr, "%s", question.c_str());
    std::fflush(stderr);
    return ReadPasswordLine(STDIN_FILENO);
}

// The progress line: the caption and the text on one line (its line
// breaks become spaces), cleared when the job ends.
class TerminalProgress : public qb::ProgressWindow {
public:
    TerminalProgress(std::string caption, bool& lineShown)
        : caption_(std::move(caption)), lineShown_(lineShown) {}
    ~TerminalProgress() override {
        if (lineShown_) std::fprintf(stderr, "\r\033[K");
        lineShown_ = false;
        std::fflush(stderr);
    }
    void SetText(const std::string& text) override {
        std::string line = caption_ + ": " + text;
        for (char& c : line)
            if (c == '\n' || c == '\r') c = ' ';
        std::fprintf(stderr, "\r\033[K%s", line.c_str());
        std::fflush(stderr);
        lineShown_ = true;
    }
    void SetRange(int64_t) override {}
    void SetPosition(int64_t) override {}
    bool Cancelled() const override { return false; }

private:
    std::string caption_;
    bool& lineShown_;
};

}  // namespace

std::string OneLineMessage(const std::string& text) {
    std::string out;
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string piece = text.substr(pos, end - pos);
        size_t first = piece.find_first_not_of(" \t\r");
        size_t last = piece.find_last_not_of(" \t\r");
        if (first != std::string::npos) {
            piece = piece.substr(first, last - first + 1);
            if (!out.empty()) {
                char c = out.back();
                out += c == '.' || c == ':' || c == '!' || c == '?' ? " " : ": ";
            }
            out += piece;
        }
        pos = end + 1;
    }
    return out;
}

std::unique_ptr<qb::ProgressWindow> TerminalUi::OpenProgress(const std::string& caption) {
    if (!isatty(STDERR_FILENO)) return std::make_unique<qb::NoProgressWindow>();
    return std::make_unique<TerminalProgress>(caption, progressLine_);
}

qb::MessageResult TerminalUi::MessageBox(const std::string& text, qb::MessageIcon icon,
                                         qb::MessageButtons buttons) {
    if (muted_) return qb::MessageResult::Cancel;
    if (progressLine_ && out_ == stderr) {
        std::fprintf(stderr, "\r\033[K");
        progressLine_ = false;
    }
    bool error = icon == qb::MessageIcon::Exclamation || icon == qb::MessageIcon::Stop;
    std::string line = OneLineMessage(text);
    if (error && !file.empty() && text.find(file) == std::string::npos) line = file + ": " + line;
    std::fprintf(out_, "%s%s\n", IconPrefix(icon), line.c_str());
    std::fflush(out_);
    if (buttons == qb::MessageButtons::Ok && error) ++errorsShown;
    switch (buttons) {
        case qb::MessageButtons::Ok:
            return qb::MessageResult::Ok;
        case qb::MessageButtons::YesNo:
        case qb::MessageButtons::YesNoCancel: {
            auto a = AskLine("[y/n] ");
            if (a && !a->empty() && (*a)[0] == 'y') return qb::MessageResult::Yes;
            return buttons == qb::MessageButtons::YesNo || a ? qb::MessageResult::No
                                                             : qb::MessageResult::Cancel;
        }
        case qb::MessageButtons::OkCancel:
        case qb::MessageButtons::RetryCancel: {
            auto a = AskLine("[y/n] ");
            if (a && !a->empty() && (*a)[0] == 'y')
                return buttons == qb::MessageButtons::OkCancel ? qb::MessageResult::Ok
                                                               : qb::MessageResult::Retry;
            return qb::MessageResult::Cancel;
        }
    }
    return qb::MessageResult::Cancel;
}

bool TerminalUi::AskPassword(const std::string& fileName,
                             const std::function<bool(const std::string&)>& check) {
    auto typed = ObtainPassword(passwordFromStdin, fileName);
    if (!typed) return false;
    // One password typed is one try: what `check` says about a wrong
    // reading of it is shown once, for the last.
    std::vector<std::string> candidates = qb::PasswordCandidates(*typed, codePage);
    for (size_t i = 0; i < candidates.size(); ++i) {
        muted_ = i + 1 < candidates.size();
        bool right = check(candidates[i]);
        muted_ = false;
        if (right) return true;
    }
    return false;
}

std::optional<std::string> ReadPasswordLine(int fd) {
    std::string line;
    char c;
    bool any = false;
    for (;;) {
        ssize_t n = read(fd, &c, 1);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        any = true;
        if (c == '\n') break;
        line += c;
        if (line.size() > 4096) break;  // no password is that long
    }
    if (!any) return std::nullopt;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

std::optional<std::string> PasswordFromEnvironment() {
    const char* v = std::getenv("QBX_PASSWORD");
    if (!v) return std::nullopt;
    return std::string(v);
}

std::optional<std::string> PromptPassword(const std::string& prompt) {
    if (!isatty(STDIN_FILENO)) return std::nullopt;
    termios saved{};
    bool restore = tcgetattr(STDIN_FILENO, &saved) == 0;
    if (restore) {
        termios quiet = saved;
        quiet.c_lflag &= static_cast<tcflag_t>(~ECHO);
        quiet.c_lflag |= ECHONL;
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    }
    std::fprintf(stderr, "%s", prompt.c_str());
    std::fflush(stderr);
    auto line = ReadPasswordLine(STDIN_FILENO);
    if (restore) tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
    return line;
}

std::optional<std::string> ObtainPassword(bool fromStdin, const std::string& fileName) {
    if (fromStdin) return ReadPasswordLine(STDIN_FILENO);
    if (auto env = PasswordFromEnvironment()) return env;
    return PromptPassword("File name: " + fileName + "\nPassword: ");
}

}  // namespace qbx
