#include "export/keyword_list_export.h"

#include <new>

#include "document/quillbox_doc.h"
#include "export/export_file.h"
#include "export/plain_text_writer.h"

namespace qb {

void WriteKeywordList(const CQuillboxDoc& doc, PlainTextWriter& out) {
    try {
        IdSet all;
        doc.AllKeywords(all);
        for (int32_t id : doc.SortKeywordsByName(all))
            out.WriteLine(doc.KeywordName(id));
    } catch (const std::bad_alloc&) {
        throw CQuillError(err::kOutOfMemory, out.Path());
    }
}

bool ExportKeywordList(const CQuillboxDoc& doc, const std::string& target) {
    try {
        try {
            // An existing list is replaced only by a whole new one.
            ExportFile file(target);
            PlainTextWriter w;
            w.Create(file.TempPath(), target);
            WriteKeywordList(doc, w);
            w.Close();
            file.Commit();
            return true;
        } catch (const std::bad_alloc&) {
            throw CQuillError(err::kOutOfMemory, target);
        }
    } catch (const CQuillError& e) {
        doc.Report(e);
    }
    return false;
}

std::string ProposedKeywordListName(const CQuillboxDoc& doc) {
    std::string name = doc.IsOpen() ? doc.File().FileName() : std::string();
    size_t dot = name.rfind('.');
    if (dot != std::string::npos && name.size() - dot - 1 <= 3) name.resize(dot);
    return name;
}

}  // namespace qb
