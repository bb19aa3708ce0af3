// What the "Check for Quillbox Reader Update" dialog shows and decides: the
// texts before and after the check, the frequency choice read from and
// written back to UpdateCheckFreq, the last-check date stored only after a
// successful check, and "Get update info...". No check starts without the
// user's command: the dialog starts one when it opens.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "update/update_checker.h"

namespace qb {

class Launcher;
class ProfileStore;
class Settings;
class Ui;

// The frequency choice for a stored UpdateCheckFreq: more than 30 is 90
// days, 8 to 30 is 30, 1 to 7 is 7, anything else none (-1).
int32_t FrequencyChoice(int32_t storedDays);

// The address of update.txt: the setting UpdateURL ("Quillbox" section)
// when it is set, else the build's default; "" when there is neither.
std::string ConfiguredUpdateUrl(const ProfileStore* store);
// The query fields of this build (its product number, the update check's place).
SourceQuery UpdateCheckQuery();
// The request of an update check: the time-outs and retries, HTTPS only.
HttpRequest UpdateCheckRequest(const std::string& url);

struct UpdateDialogTexts {
    std::string installed;  // "Currently installed version:"
    std::string released;   // "Currently released version:"
    std::string message;    // the line under them
    bool showGetInfo = false;
};

class UpdateDialogModel {
public:
    // `today` gives the date stored after a successful check.
    UpdateDialogModel(UpdateChecker& checker, Settings& settings, ProfileStore& store,
                      std::string url, std::function<int32_t()> today);
    ~UpdateDialogModel();

    // The texts while the check has not answered (or cannot start).
    const UpdateDialogTexts& Texts() const { return texts_; }
    bool HasServer() const { return !url_.empty(); }
    int32_t InitialFrequency() const;

    // Starts the check; `changed` is called when the texts change with its
    // result. Does nothing without a server or while one runs.
    void StartCheck(HttpPort& http, std::function<void(UpdateResult)> changed);
    // Closing: abandons a running check and writes the frequency choice.
    void Close(int32_t frequencyChoice);
    bool Checking() const { return checker_.InProgress(); }

    // The found page with the query string, through the web launcher;
    // message 1003 (the address without its query) when it fails.
    bool OpenUpdatePage(Launcher& launcher, Ui& ui) const;
    std::string UpdatePageAddress() const;

    // The texts for a result (also used by qbx check-update).
    static UpdateDialogTexts TextsFor(const UpdateChecker& checker, UpdateResult result);

private:
    void OnResult(UpdateResult r);

    UpdateChecker& checker_;
    Settings& settings_;
    ProfileStore& store_;
    std::string url_;
    std::function<int32_t()> today_;
    UpdateDialogTexts texts_;
    std::function<void(UpdateResult)> changed_;
};

}  // namespace qb
