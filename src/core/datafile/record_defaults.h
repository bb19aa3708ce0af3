// What a record takes when it does not store a value itself: the file's
// article options and the clock. The settings fill them in; tests set them
// directly.
#pragma once

#include <cstdint>

namespace qb {

struct RecordDefaults {
    bool fullPathNames = false;  // new articles store full path names (display flags bit 0)
    int32_t wordWrap = 1;        // an article's word-wrap switch when it stores none
    int32_t today = 0;           // date value, for reminders without a date
    int32_t now = 0;             // time value, for reminders without a time
    int32_t reminderTime = -1;   // the preferences' reminder time; -1: none, use `now`
};

}  // namespace qb
