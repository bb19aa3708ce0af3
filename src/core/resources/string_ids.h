// Names for the numbers of the string table (strings.cpp). A text keeps its
// number because the number is data in places: an error code shows string
// 1100 + code, a title-list mode shows caption 10010 + mode, and a command
// shows the string of its own id as its prompt.
#pragma once

namespace qb::msg {

// ---- Application shell and settings -----------------------------------------

// ---- Data file and document -------------------------------------------------

// ---- Index window, title list and queries -----------------------------------

}  // namespace qb::msg
