// Export Keyword List: every keyword name of the open file, sorted, one a
// line, into a plain text file. The reader runs its save dialog first;
// qbx writes the list to standard output.
#pragma once

#include <string>

namespace qb {

class CQuillboxDoc;
class PlainTextWriter;

// The sorted keyword names (Windows-1252), one a line with CRLF. Throws
// CQuillError.
void WriteKeywordList(const CQuillboxDoc& doc, PlainTextWriter& out);

// Writes `target`; on failure deletes the partial file and reports the
// error through the document's Ui. True on success.
bool ExportKeywordList(const CQuillboxDoc& doc, const std::string& target);

// The file name the save dialog proposes: the data file's name without an
// extension of up to three characters.
std::string ProposedKeywordListName(const CQuillboxDoc& doc);

}  // namespace qb
