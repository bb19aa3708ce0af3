// The Clipboard port on the desktop: every format of a copy goes into one
// QMimeData handed to the system clipboard, so a paste sees all or none.
// Where Qt runs without a display (the offscreen and minimal platforms)
// there is no clipboard to place anything on.
#pragma once

#include "platform/clipboard.h"

namespace qb {

class QtClipboard : public Clipboard {
public:
    ClipboardResult Place(const std::vector<ClipboardFormat>& formats) override;
};

}  // namespace qb
