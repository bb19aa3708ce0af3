// The reader's own message texts and captions, by number. (They move into
// the main string table later; the numbers stay.)
#pragma once

#include <string>

namespace qb {

namespace msg {
constexpr int kFileOpenFilter = 143;
constexpr int kPaneRead = 200;
constexpr int kPaneLink = 202;
constexpr int kCannotClose = 1301;
constexpr int kStartupFileMissing = 1315;
constexpr int kPreferencesCaption = 9001;
constexpr int kNewerFormatCaption = 1550;  // dialogs 1550 and 218 share the caption
}  // namespace msg

// The text of `id`, or nullptr.
const char* AppString(int id);
// The text with "%1" replaced by `arg1`; empty when there is none.
std::string FormatAppString(int id, const std::string& arg1 = "");

}  // namespace qb
