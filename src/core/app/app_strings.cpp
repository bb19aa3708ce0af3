#include "app/app_strings.h"

namespace qb {

namespace {
struct Entry {
    int id;
    const char* text;
};

const Entry kStrings[] = {
    {msg::kFileOpenFilter, "Quillbox (*.qbx)|*.qbx||"},
    {msg::kPaneRead, "READ"},
    {msg::kPaneLink, "LINK"},
    {msg::kCannotClose,
     "The file could not be closed.\nData could be lost if you continue.\n\nDo you want to "
     "continue?"},
    {msg::kStartupFileMissing,
     "Can not find this file:\n%1\n\nTo change the file which opens when Quillbox Reader "
     "starts, go to the \"File\" tab of the \"Preferences\" command of the \"File\" menu."},
    {msg::kPreferencesCaption, "Preferences"},
    {msg::kNewerFormatCaption, "More Recent File Format Encountered"},
};
}  // namespace

const char* AppString(int id) {
    for (const Entry& e : kStrings)
        if (e.id == id) return e.text;
    return nullptr;
}

std::string FormatAppString(int id, const std::string& arg1) {
    const char* t = AppString(id);
    if (!t) return "";
    std::string s = t, out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 1 < s.size() && s[i + 1] == '1') {
            out += arg1;
            ++i;
        } else {
            out += s[i];
        }
    }
    return out;
}

}  // namespace qb
