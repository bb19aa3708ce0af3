// qbx check-update: the reader's update check for scripts.
#include <cstdio>
#include <memory>
#include <string>

#include "command.h"
#include "gui/net/qt_http.h"
#include "options.h"
#include "resources/string_ids.h"
#include "resources/strings.h"
#include "update/update_dialog_model.h"

namespace qbx {
namespace {

const char kUsage[] =
    "usage: qbx check-update [--url URL] [--cafile PEM]\n"
    "\n"
    "Asks the update server whether a newer version of Quillbox Reader exists,\n"
    "as Help > Check for Quillbox Reader Update does, and prints the dialog's\n"
    "three lines:\n"
    "  Currently installed version: TEXT\n"
    "  Currently released version: TEXT\n"
    "  the message\n"
    "and, when a newer version exists, the address of the page about it.\n"
    "\n"
    "  --url URL     the https:// address of the update information file\n"
    "                (default: the one this build was configured with)\n"
    "  --cafile PEM  also trust the certificates in PEM, for this run only\n"
    "\n"
    "Exit status 0 when the check got an answer (latest or newer), 1 when it\n"
    "failed (why goes to stderr) or no server is configured, 2 a usage error.\n";

int Run(const Args& args) {
    std::string url, cafile;
    CommandSyntax syntax{"check-update",
                         kUsage,
                         {Value("--url", "the update information file", url),
                          Value("--cafile", "extra trusted certificates", cafile)}};
    syntax.requiredOperands = 0;
    syntax.allowedOperands = 0;
    syntax.tooManyOperands = "no operands";
    syntax.missingValueNamesOption = true;
    std::vector<std::string> operands;
    if (auto rc = ParseArguments(args, syntax, operands)) return *rc;
    if (url.empty()) url = qb::ConfiguredUpdateUrl(nullptr);

    qb::UpdateChecker checker(qb::OwnProgramVersion());
    std::printf("Currently installed version: %s\n", checker.RunningVersion().text.c_str());
    if (url.empty()) {
        std::printf("Currently released version: %s\n",
                    qb::ResourceString(qb::msg::kUpdateNoServer));
        std::printf("%s\n", qb::ResourceString(qb::msg::kUpdateNoServerHint));
        std::fprintf(stderr, "qbx check-update: give the address with --url\n");
        return 1;
    }
    qb::HttpRequest request = qb::UpdateCheckRequest(url);
    request.extraCaFile = cafile;
    qb::UpdateResult result = qb::UpdateResult::Failed;
    std::unique_ptr<qb::HttpPort> http;
    qb::RunWithEventLoop([&](std::function<void(int)> quit) {
        http = qb::MakeQtHttp();
        checker.Start(*http, request, qb::UpdateCheckQuery(), [&, quit](qb::UpdateResult r) {
            result = r;
            // The port goes while the loop still runs, so that its
            // connections are closed and freed before the program ends.
            qb::PostToEventLoop([&http, quit] {
                http.reset();
                qb::PostToEventLoop([quit] { quit(0); });
            });
        });
    });
    qb::UpdateDialogTexts t = qb::UpdateDialogModel::TextsFor(checker, result);
    std::printf("Currently released version: %s\n", t.released.c_str());
    std::printf("%s\n", t.message.c_str());
    if (result == qb::UpdateResult::Newer) {
        std::string page = checker.FoundPage() + qb::SourceQueryText(qb::UpdateCheckQuery());
        std::printf("%s\n", page.c_str());
    }
    if (result == qb::UpdateResult::Failed) {
        std::fprintf(stderr, "qbx check-update: %s\n", checker.FailureReason().c_str());
        return 1;
    }
    return 0;
}

}  // namespace

static Registrar reg("check-update", "ask the update server whether a newer version exists", Run);

}  // namespace qbx
