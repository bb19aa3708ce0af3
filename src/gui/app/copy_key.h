// Copying goes through Edit > Copy alone. Qt's fields and lists copy by
// themselves on the Copy key: a line or text edit claims the key before
// the menu's shortcut sees it, and an item view places its current row
// when the command is disabled. A view filters its children's events
// through TakeCopyKey, so that the command decides what is placed.
#pragma once

#include <functional>

class QEvent;

namespace qb {

// True when `e` is the Copy key (as a shortcut override or a key press),
// which the filter then keeps from the widget: the override is declined so
// the command's shortcut runs, the press is dropped. `beforeShortcut` runs
// before the shortcut is looked up, so the command's state is fresh then.
bool TakeCopyKey(QEvent* e, const std::function<void()>& beforeShortcut);

}  // namespace qb
