// The reader's commands and menus as plain data: every command keeps its
// menu identifier (resources/command_ids.h), which the Qt actions carry as
// their data. Editing commands are listed so that they appear (disabled)
// where a person expects them.
#pragma once

#include <string>
#include <vector>

#include "resources/command_ids.h"

namespace qb {

// The reader never changes an article: every editing command is disabled.
inline bool EditingAllowed() {
    return false;
}

struct CommandInfo {
    int id;
    const char* text;      // menu text with its '&' mnemonic
    const char* prompt;    // status text, a line break, then the tooltip
    const char* shortcut;  // QKeySequence text or ""
    bool editing;          // disabled while EditingAllowed() says no
    bool checkable;
};

const std::vector<CommandInfo>& AllCommands();
const CommandInfo* FindCommand(int id);

// The status prompt and the tooltip of a command: the string table's entry
// of the command's number when it has one, else the built-in prompt.
struct CommandPrompt {
    std::string status;
    std::string tooltip;
};
CommandPrompt PromptOf(int id);

// Menus: an item is a command, a separator (id 0) or a submenu (title set).
struct MenuItem {
    int id = 0;
    const char* submenu = nullptr;
    std::vector<MenuItem> children;
};
struct MenuDef {
    const char* title;
    std::vector<MenuItem> items;
};
const std::vector<MenuDef>& MainMenus();

// Which toolbar buttons each bar holds (0 a separator), in Bar order.
const std::vector<int>& ToolbarButtons(int bar);

}  // namespace qb
