// Opening a data file through the document for qbx commands, with the
// password rules of the command line: a file that asks at open gets its
// password from stdin, QBX_PASSWORD or the terminal (through the Ui); any
// other file with a password opens locked and is unlocked only by a
// password given on stdin or in QBX_PASSWORD.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <optional>
#include <string>

#include "command.h"
#include "datafile/quill_error.h"
#include "document/privacy.h"
#include "document/quillbox_doc.h"
#include "options.h"
#include "platform/icu_locale.h"
#include "terminal_ui.h"

namespace qbx {

// The help paragraph of every command that opens a data file.
#define QBX_PASSWORD_HELP                                                        \
    "Passwords: a file that asks for its password at open takes it from stdin\n" \
    "(--password-stdin), from QBX_PASSWORD or from the terminal, and fails\n"    \
    "without the right one. Any other file with a password opens locked;\n"      \
    "a password on stdin or in QBX_PASSWORD unlocks its private articles.\n"

// A password given without asking: stdin when `fromStdin`, else QBX_PASSWORD.
inline std::optional<std::string> GivenPassword(bool fromStdin) {
    if (fromStdin) return ReadPasswordLine(STDIN_FILENO);
    return PasswordFromEnvironment();
}

// Unlocks a locked file with a given password, encoded in `page`. False
// (after reporting message 1148) when a password was given and is wrong;
// true otherwise.
template <class CheckFn>
bool UnlockWithGivenPassword(bool fromStdin, const std::string& path, qb::Ui& ui, CheckFn&& check,
                             const qb::CodePage& page) {
    std::optional<std::string> typed = GivenPassword(fromStdin);
    if (!typed) return true;  // stays locked
    for (const std::string& p : qb::PasswordCandidates(*typed, page))
        if (check(p)) return true;
    qb::CQuillError(qb::err::kPasswordInvalid, path).ReportError(ui);
    return false;
}

// 0 when the document is open (locked or unlocked as above), 1 after the
// failure has been reported. The file's text is read in `codePage`.
inline int OpenForCommand(qb::CQuillboxDoc& doc, const std::string& path, bool allowNewer,
                          TerminalUi& ui, bool fromStdin,
                          const qb::CodePage& codePage = qb::CodePage()) {
    ui.passwordFromStdin = fromStdin;
    ui.codePage = codePage;
    doc.SetTextCodePage(codePage);
    ui.file = path;
    qb::OpenRequest r;
    r.path = path;
    r.allowNewer = allowNewer;
    if (!doc.OnOpenDocument(r)) return 1;
    if (doc.IsPasswordSet() && !doc.IsUnlocked()) {
        bool ok = UnlockWithGivenPassword(
            fromStdin, path, ui, [&doc](const std::string& p) { return doc.CheckPassword(p); },
            codePage);
        if (!ok) return 1;
    }
    return 0;
}

// A text from the file on one output line: a line break inside it would
// start a false line, so it is written as "\\n" (a CR is dropped).
inline std::string OneLine(const std::string& s) {
    std::string out;
    for (char ch : s) {
        if (ch == '\r') continue;
        if (ch == '\n')
            out += "\\n";
        else
            out += ch;
    }
    return out;
}

// The options every command that opens a data file takes.
struct DocumentOptions {
    std::string path;
    bool passwordFromStdin = false;
    bool allowNewer = false;
    qb::CodePage codePage;  // of the file's text (--code-page)
};

// The help line of --code-page, also in qbx --help.
#define QBX_CODE_PAGE_HELP                                                   \
    "\n"                                                                     \
    "--code-page N reads the file's text in the Windows code page N (874,\n" \
    "1250 to 1258) of the system that wrote it; the default is 1252.\n"

// "--code-page N": the data file's code page, one that CodePage supports.
inline Option CodePageOption(qb::CodePage& page) {
    Option o;
    o.name = "--code-page";
    o.takesValue = true;
    o.help = "the Windows code page of the file's text (874, 1250..1258; default 1252)";
    o.apply = [&page](const std::string& value) -> std::optional<std::string> {
        int n = 0;
        bool digits = !value.empty() && value.size() <= 5;
        for (char c : value) {
            if (c < '0' || c > '9') digits = false;
            if (digits) n = n * 10 + (c - '0');
        }
        std::optional<qb::CodePage> p;
        if (digits) p = qb::CodePage::Windows(n);
        if (!p) return "code page '" + value + "' is not supported (874, 1250 to 1258)";
        page = *p;
        return std::nullopt;
    };
    return o;
}

// The document of one qbx command, with the terminal and the user's locale.
struct CommandDocument {
    TerminalUi ui;
    qb::IcuLocale locale;
    qb::CQuillboxDoc doc{Services()};

    qb::DocumentServices Services() {
        qb::DocumentServices s;
        s.ui = &ui;
        s.locale = &locale;
        return s;
    }

    // Opens `path` with the password rules above: 0, or 1 after the report.
    int Open(const std::string& path, const DocumentOptions& o) {
        return OpenForCommand(doc, path, o.allowNewer, ui, o.passwordFromStdin, o.codePage);
    }
};

// The syntax of a command over the one data file FILE with the password
// options; a command adds its own options and operands.
inline CommandSyntax DocumentSyntax(std::string command, const char* usage, DocumentOptions& o) {
    CommandSyntax syntax;
    syntax.command = std::move(command);
    syntax.usage = usage;
    syntax.options = {
        Flag("--password-stdin", "read the password from the first line of stdin",
             o.passwordFromStdin),
        Flag("--allow-newer", "open a file of a newer format than this reader's", o.allowNewer),
        CodePageOption(o.codePage),
    };
    return syntax;
}

}  // namespace qbx
