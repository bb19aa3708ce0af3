// The commands the document carries: File Properties, Show Private
// Articles and Export Keyword List, added to the main frame's command
// table.
#pragma once

#include <optional>
#include <string>

namespace qb {

class ReaderApp;

// A frame extension (ReaderApp::AddFrameExtension).
void InstallDocumentCommands(ReaderApp& app);

// Export Keyword List: the save dialog, then the document writes the file.
// True when a file was written.
bool RunExportKeywordList(ReaderApp& app);

// File Properties: the sheet, run through the shell's dialogs.
void RunFileProperties(ReaderApp& app);

}  // namespace qb
