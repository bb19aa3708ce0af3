// The Export command of the index and article windows: the setup dialog,
// then a file (save dialog) or a folder (separate files), then the run.
// The dialogs are a port; the reader shows them, tests answer them.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "export/export_articles.h"
#include "export/export_options.h"
#include "export/export_setup.h"

namespace qb {

class CQuillboxDoc;
class Directories;
class Locale;
class ProgressPort;
class Settings;
class Ui;

// A chosen target and the position (0-based) of the file type chosen for it
// among the types offered.
struct ExportTarget {
    std::string path;
    size_t type = 0;
};

class ExportDialogs {
public:
    virtual ~ExportDialogs() = default;
    // "Export Articles Setup" over `setup`; false when cancelled.
    virtual bool Setup(ExportSetup& setup) = 0;
    // The save dialog ("Export Articles"): asks before replacing a file.
    virtual std::optional<ExportTarget> AskFile(const std::vector<ExportFileType>& types,
                                                size_t initialType, const std::string& folder,
                                                const std::string& proposedName) = 0;
    // "Export Articles to Folder". `markdown` holds the Markdown notes
    // folder's options when it opens; the dialog writes the person's
    // choices into it only on OK.
    virtual std::optional<ExportTarget> AskFolder(const std::vector<ExportFileType>& types,
                                                  size_t initialType, const std::string& folder,
                                                  MarkdownOptions& markdown) = 0;
};

// What the command reads of the windows when it starts.
struct ExportWindows {
    ExportContext context;
    ExportRanges ranges;
    std::string currentTitle;  // stored bytes of the current article's title
};

struct ExportServices {
    CQuillboxDoc* doc = nullptr;
    const Locale* locale = nullptr;
    Ui* ui = nullptr;
    ProgressPort* progress = nullptr;  // the Ui's when null
    Settings* settings = nullptr;
    Directories* dirs = nullptr;  // the remembered export folder (ImportExport)
    ExportDialogs* dialogs = nullptr;
};

// The stored file type (1-based, 0 for none yet) as a position among
// `count` types, clamped into them.
size_t InitialTypePosition(int32_t stored, size_t count);

// Runs the command. `options` is the record the program keeps for its run:
// the setup dialog's choices, the chosen file type and the Markdown options
// are written back to it. A text or CSV export that had to write characters as "?" offers to
// export again in UTF-8, where nothing is lost.
ExportResult RunExportCommand(const ExportServices& services, ExportOptions& options,
                              const ExportWindows& windows);

}  // namespace qb
