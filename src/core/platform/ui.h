// The port through which core code talks to the person at the screen.
// The reader implements it with Qt dialogs, qbx with the terminal, tests
// with recording fakes. Texts are UTF-8.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/progress.h"

namespace qb {

enum class MessageIcon { None, Exclamation, Information, Question, Stop };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
enum class MessageResult { Ok, Cancel, Yes, No, Retry };

class Ui : public ProgressPort {
public:
    virtual ~Ui() = default;

    // A message box captioned with the program's name ("Quillbox Reader"),
    // owned by the main window.
    virtual MessageResult MessageBox(const std::string& text, MessageIcon icon,
                                     MessageButtons buttons = MessageButtons::Ok) = 0;

    // The password dialog: `fileName` fills its "File name: %s" line.
    // `check` is asked about each password the person types; it returns
    // true when it is right. The result is true when the dialog ended
    // with OK on a right password, false when it was cancelled. A wrong
    // password (after any message `check` showed) lets the person try
    // again; where no one can type again, it ends the request as cancelled.
    virtual bool AskPassword(const std::string& fileName,
                             const std::function<bool(const std::string&)>& check) = 0;

    // A progress window (progress.h); by default one that shows nothing.
    std::unique_ptr<ProgressWindow> OpenProgress(const std::string& /*caption*/) override {
        return std::make_unique<NoProgressWindow>();
    }
};

}  // namespace qb
