// A Ui for tests: records every message box and password request and
// answers from scripted queues (by default Ok, and cancel for passwords).
#pragma once

#include <deque>
#include <functional>
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

    // Each request takes one scripted password; std::nullopt (or an empty
    // queue) is the person pressing Cancel. A wrong password ends the dialog
    // as cancelled, as the real one does.
    bool AskPassword(const std::string& fileName,
                     const std::function<bool(const std::string&)>& check) override {
        passwordRequests.push_back(fileName);
        if (passwords.empty()) return false;
        std::optional<std::string> typed = passwords.front();
        passwords.pop_front();
        if (!typed) return false;
        return check(*typed);
    }

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
