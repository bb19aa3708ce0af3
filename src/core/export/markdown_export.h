// The Markdown notes-folder export: into an existing folder, one UTF-8
// note per article ("Title.md", names unique without regard to case) with
// YAML front matter, an index.md listing every note, and an attachments/
// folder with the copied file attachments, linked files and pictures.
// Private articles are left out unless the options include them (and then
// only the ones the document shows). Each file is written through its
// temporary file; Cancel keeps the finished notes and writes no index.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qb {

class ExportJob;
enum class ExportOutcome;

ExportOutcome ExportMarkdown(ExportJob& job, const std::string& folder,
                             const std::vector<int32_t>& ids);

// The folder of copied files inside the notes folder, and the index note.
constexpr const char* kAttachmentsFolder = "attachments";
constexpr const char* kIndexNote = "index.md";

}  // namespace qb
