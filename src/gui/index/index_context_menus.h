// The context menus of the index window's panes: a few items of their own
// (Move to Selected, Select All, ...) and the main frame's command actions,
// so that checks and enabled states stay those of the menu bar.
#pragma once

#include <memory>

#include "gui/index/index_view.h"

class QMenu;

namespace qb {

// The menu of `pane` of `view`, parented to the view; null for a pane
// without one. The main frame's actions come from the view's services
// (none when it has no `action` function).
std::unique_ptr<QMenu> IndexContextMenu(CIndexView& view, IndexPane pane);

}  // namespace qb
