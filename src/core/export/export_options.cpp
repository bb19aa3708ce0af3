#include "export/export_options.h"

#include <cstdio>

#include "resources/strings.h"

namespace qb {

std::vector<ExportFileType> ExportFileTypes(bool folder) {
    struct Entry {
        int id;
        ExportFormat format;
    };
    static constexpr Entry kEntries[] = {
        {msg::kExportTypeText, ExportFormat::kText},
        {msg::kExportTypeRtf, ExportFormat::kRtf},
        {msg::kExportTypeHtml, ExportFormat::kHtml},
        {msg::kExportTypeCardfile, ExportFormat::kCardfile},
        {msg::kExportTypeCsv, ExportFormat::kCsv},
    };
    std::vector<ExportFileType> types;
    for (const Entry& e : kEntries) {
        if (folder && e.format != ExportFormat::kText && e.format != ExportFormat::kRtf &&
            e.format != ExportFormat::kHtml)
            continue;
        const char* text = ResourceString(e.id);
        if (!text) continue;
        std::string s = text;
        size_t bar = s.find('|');
        types.push_back(
            {e.format, s.substr(0, bar), bar == std::string::npos ? "" : s.substr(bar + 1)});
    }
    return types;
}

std::vector<ExportFileType> ExportFolderTypes() {
    std::vector<ExportFileType> types = ExportFileTypes(true);
    types.push_back({ExportFormat::kMarkdown, "Markdown notes folder", "*.md"});
    return types;
}

const char* ExportExtension(ExportFormat format) {
    switch (format) {
        case ExportFormat::kText:
            return ".txt";
        case ExportFormat::kRtf:
            return ".rtf";
        case ExportFormat::kHtml:
            return ".htm";
        case ExportFormat::kCardfile:
            return ".crd";
        case ExportFormat::kCsv:
            return ".csv";
        case ExportFormat::kMarkdown:
            return ".md";
    }
    return "";
}

std::string DefaultExportName(ExportRange range, std::string_view currentTitle,
                              std::string_view dataFilePath) {
    if (range == ExportRange::kCurrent) {
        std::string name(currentTitle.substr(0, 80));
        for (char& c : name)
            if (std::string_view("*/:<>?\\|").find(c) != std::string_view::npos) c = '_';
        if (!name.empty()) return name;
    }
    std::string_view file = dataFilePath;
    size_t slash = file.find_last_of('/');
    if (slash != std::string_view::npos) file.remove_prefix(slash + 1);
    size_t dot = file.rfind('.');
    if (dot != std::string_view::npos && dot + 4 >= file.size()) file = file.substr(0, dot);
    return std::string(file);
}

std::string NumberPrefix(int64_t position, int64_t count) {
    int digits = 1;
    for (int64_t c = count; c >= 10; c /= 10)
        ++digits;
    char text[48];
    std::snprintf(text, sizeof text, "%*lld. ", digits, static_cast<long long>(position));
    return text;
}

}  // namespace qb
