// The terminal face of the Ui port for qbx commands, and the ways qbx takes
// a password: from standard input, from QBX_PASSWORD, or typed at the
// terminal without echo. Never from a command-line argument, where other
// users of the machine could read it.
#pragma once

#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/code_page.h"
#include "platform/ui.h"

namespace qbx {

// Messages go to stderr, each on one line; warnings and errors begin with
// "error: " and name the command's data file. Questions are asked on the
// terminal when there is one, else they take the cautious answer (Cancel /
// No).
class TerminalUi : public qb::Ui {
public:
    explicit TerminalUi(std::FILE* out = stderr) : out_(out) {}

    qb::MessageResult MessageBox(const std::string& text, qb::MessageIcon icon,
                                 qb::MessageButtons buttons = qb::MessageButtons::Ok) override;
    bool AskPassword(const std::string& fileName,
                     const std::function<bool(const std::string&)>& check) override;
    // One line on stderr, rewritten in place, while stderr is a terminal;
    // nothing otherwise, so that scripts see only the messages.
    std::unique_ptr<qb::ProgressWindow> OpenProgress(const std::string& caption) override;

    // Where a password comes from when one is asked for.
    bool passwordFromStdin = false;
    // The code page a typed password is encoded in: the data file's.
    qb::CodePage codePage;
    // The data file the command works on, once known: an error that does
    // not name it begins with it.
    std::string file;
    // Warnings and errors shown so far (plain notes and questions do not
    // count): a command that went on after one exits with status 1.
    int errorsShown = 0;

private:
    std::FILE* out_;
    // Whether a progress line is on stderr: a message first clears it.
    bool progressLine_ = false;
    bool muted_ = false;  // while a password's other readings are tried
};

// A message on one line: its line breaks become ": " after a word and a
// space after punctuation; empty lines and the spaces around breaks go.
std::string OneLineMessage(const std::string& text);

// One line from `fd` without its line end; nullopt at end of input.
std::optional<std::string> ReadPasswordLine(int fd);
// QBX_PASSWORD, when set.
std::optional<std::string> PasswordFromEnvironment();
// Asks on the terminal without echo; nullopt when stdin is not a terminal.
std::optional<std::string> PromptPassword(const std::string& prompt);

// The password by the first source that applies: stdin when `fromStdin`,
// then the environment, then the terminal.
std::optional<std::string> ObtainPassword(bool fromStdin, const std::string& fileName);

}  // namespace qbx
