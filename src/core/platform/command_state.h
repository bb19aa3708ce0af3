// How a menu item or toolbar button of a command is shown.
#pragma once

namespace qb {

struct CommandState {
    bool enabled = false;
    bool checked = false;
};

}  // namespace qb
