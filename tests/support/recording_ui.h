// A Ui for tests: records every message box and password request and
// answers from scripted queues (by default Ok, and cancel for passwords).
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui.h"

namespace qb {

class RecordingUi : public Ui {
public:
    struct Message {
        std::string text;
        MessageIcon icon;
        MessageButtons buttons;
    };

    MessageResult MessageBox(const std::string& text, MessageIcon icon,
                             MessageButtons buttons = MessageButtons::Ok) override {
        messages.push_back({text, icon, buttons});
        if (results.empty()) return MessageResult::Ok;
        MessageResult r = results.front();
        results.pop_front();
        return r;
    }

    // A request takes scripted passwords until one is right; std::nullopt
    // (or an empty queue) is the person pressing Cancel. After a wrong one
    // the next is typed into the same dialog, as with the real one.
    bool AskPassword(const std::string& fileName,
                     const std::function<bool(const std::string&)>& check) override {
        passwordRequests.push_back(fileName);
        while (!passwords.empty()) {
            std::optional<std::string> typed = passwords.front();
            passwords.pop_front();
            if (!typed) return false;
            if (check(*typed)) return true;
        }
        return false;
    }

    // Progress windows: each one opened is recorded with every text it was
    // given; `cancelAfterTexts` > 0 makes the next window report Cancel once
    // it has been given that many texts.
    struct Progress {
        std::string caption;
        std::vector<std::string> texts;
        int64_t range = 0, position = 0;
        bool open = true;
    };
    class RecordingProgressWindow : public ProgressWindow {
    public:
        RecordingProgressWindow(Progress& p, int cancelAfter) : p_(p), cancelAfter_(cancelAfter) {}
        ~RecordingProgressWindow() override { p_.open = false; }
        void SetText(const std::string& text) override { p_.texts.push_back(text); }
        void SetRange(int64_t range) override { p_.range = range; }
        void SetPosition(int64_t position) override { p_.position = position; }
        bool Cancelled() const override {
            return cancelAfter_ > 0 && int(p_.texts.size()) >= cancelAfter_;
        }

    private:
        Progress& p_;
        int cancelAfter_;
    };
    std::unique_ptr<ProgressWindow> OpenProgress(const std::string& caption) override {
        progress.push_back(std::make_unique<Progress>());
        progress.back()->caption = caption;
        int cancel = cancelAfterTexts;
        cancelAfterTexts = 0;
        return std::make_unique<RecordingProgressWindow>(*progress.back(), cancel);
    }
    std::vector<std::unique_ptr<Progress>> progress;
    int cancelAfterTexts = 0;

    // Scripting.
    void QueueResult(MessageResult r) { results.push_back(r); }
    void QueuePassword(std::string p) { passwords.push_back(std::move(p)); }
    void QueueCancel() { passwords.push_back(std::nullopt); }

    // Inspection.
    size_t Count() const { return messages.size(); }
    const Message& Last() const { return messages.back(); }
    std::string LastText() const { return messages.empty() ? std::string() : messages.back().text; }
    void Reset() {
        messages.clear();
        passwordRequests.clear();
        results.clear();
        passwords.clear();
    }

    std::vector<Message> messages;
    std::vector<std::string> passwordRequests;
    std::deque<MessageResult> results;
    std::deque<std::optional<std::string>> passwords;
};

}  // namespace qb
