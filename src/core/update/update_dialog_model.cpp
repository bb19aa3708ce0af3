#include "update/update_dialog_model.h"

#include <utility>

#include "app/profile_store.h"
#include "app/settings.h"
#include "platform/launcher.h"
#include "platform/ui.h"
#include "quillbox_update_server.h"
#include "resources/string_ids.h"
#include "resources/strings.h"

namespace qb {

int32_t FrequencyChoice(int32_t storedDays) {
    if (storedDays > 30) return 90;
    if (storedDays >= 8) return 30;
    if (storedDays >= 1) return 7;
    return -1;
}

std::string ConfiguredUpdateUrl(const ProfileStore* store) {
    if (store) {
        std::string own = store->GetString("Quillbox", "UpdateURL", "");
        if (!own.empty()) return own;
    }
    return QUILLBOX_UPDATE_URL;
}

SourceQuery UpdateCheckQuery() {
    SourceQuery q;
    q.product = QUILLBOX_UPDATE_PRODUCT;
    q.place = kUpdateCheckPlace;
    return q;
}

HttpRequest UpdateCheckRequest(const std::string& url) {
    HttpRequest r;
    r.url = url;
    r.connectTimeoutMs = 500;
    r.retries = 2;
    r.totalBudgetMs = 5000;
    return r;
}

UpdateDialogModel::UpdateDialogModel(UpdateChecker& checker, Settings& settings,
                                     ProfileStore& store, std::string url,
                                     std::function<int32_t()> today)
    : checker_(checker),
      settings_(settings),
      store_(store),
      url_(std::move(url)),
      today_(std::move(today)) {
    texts_.installed = checker_.RunningVersion().text;
    if (HasServer()) {
        texts_.released = "Checking...";
    } else {
        texts_.released = ResourceString(msg::kUpdateNoServer);
        texts_.message = ResourceString(msg::kUpdateNoServerHint);
    }
}

UpdateDialogModel::~UpdateDialogModel() {
    checker_.Cancel();
}

int32_t UpdateDialogModel::InitialFrequency() const {
    return FrequencyChoice(settings_.updateCheckFreq);
}

void UpdateDialogModel::StartCheck(HttpPort& http, std::function<void(UpdateResult)> changed) {
    if (!HasServer() || checker_.InProgress()) return;
    changed_ = std::move(changed);
    checker_.Start(http, UpdateCheckRequest(url_), UpdateCheckQuery(),
                   [this](UpdateResult r) { OnResult(r); });
}

UpdateDialogTexts UpdateDialogModel::TextsFor(const UpdateChecker& checker, UpdateResult result) {
    UpdateDialogTexts t;
    t.installed = checker.RunningVersion().text;
    auto found = checker.FoundVersion();
    switch (result) {
        case UpdateResult::Failed:
            t.released = ResourceString(msg::kUpdateUnavailable);
            t.message = ResourceString(msg::kUpdateTryLater);
            break;
        case UpdateResult::Latest:
            t.released = found ? found->text : "";
            t.message = ResourceString(msg::kUpdateIsLatest);
            break;
        case UpdateResult::Newer:
            t.released = found ? found->text : "";
            t.message = ResourceString(msg::kUpdateAvailable);
            t.showGetInfo = true;
            break;
    }
    return t;
}

void UpdateDialogModel::OnResult(UpdateResult r) {
    texts_ = TextsFor(checker_, r);
    if (r != UpdateResult::Failed) settings_.SetUpdateCheckLastDate(store_, today_());
    if (changed_) changed_(r);
}

void UpdateDialogModel::Close(int32_t frequencyChoice) {
    checker_.Cancel();
    changed_ = nullptr;
    if (frequencyChoice != 7 && frequencyChoice != 30 && frequencyChoice != 90)
        frequencyChoice = -1;
    settings_.SetUpdateCheckFreq(store_, frequencyChoice);
}

std::string UpdateDialogModel::UpdatePageAddress() const {
    if (checker_.FoundPage().empty()) return "";
    return checker_.FoundPage() + SourceQueryText(UpdateCheckQuery());
}

bool UpdateDialogModel::OpenUpdatePage(Launcher& launcher, Ui& ui) const {
    std::string address = UpdatePageAddress();
    if (!address.empty() && launcher.OpenUrl(address) == LaunchResult::Ok) return true;
    ui.MessageBox(FormatResource(msg::kOpenWebAddressFailed, address.substr(0, address.find('?'))),
                  MessageIcon::Exclamation);
    return false;
}

}  // namespace qb
