#include "gui/app/copy_key.h"

#include <QKeyEvent>
#include <QKeySequence>

namespace qb {

bool TakeCopyKey(QEvent* e, const std::function<void()>& beforeShortcut) {
    if (e->type() != QEvent::ShortcutOverride && e->type() != QEvent::KeyPress) return false;
    auto* key = static_cast<QKeyEvent*>(e);
    if (!key->matches(QKeySequence::Copy)) return false;
    if (e->type() == QEvent::ShortcutOverride) {
        if (beforeShortcut) beforeShortcut();
        key->ignore();
    } else {
        // The command's shortcut did not take it: the command is disabled.
        key->accept();
    }
    return true;
}

}  // namespace qb
