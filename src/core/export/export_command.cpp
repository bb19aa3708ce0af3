#include "export/export_command.h"

#include <algorithm>
#include <filesystem>

#include "app/directories.h"
#include "app/settings.h"
#include "document/quillbox_doc.h"
#include "export/export_job.h"
#include "platform/ui.h"
#include "resources/strings.h"

namespace qb {

size_t InitialTypePosition(int32_t stored, size_t count) {
    if (count == 0) return 0;
    return size_t(std::clamp<int64_t>(stored, 1, int64_t(count)) - 1);
}

namespace {

std::string FolderOf(const std::string& path) {
    return std::filesystem::path(path).parent_path().string();
}

ExportResult Run(const ExportServices& s, const ExportOptions& options, const std::string& target,
                 ExportFormat format, bool separateFiles, const ExportRanges& ranges, bool utf8) {
    ExportSettings settings = MakeExportSettings(options, *s.settings, *s.doc);
    settings.utf8Text = settings.utf8Text || utf8;
    ExportJob job(*s.doc, *s.locale, *s.ui, std::move(settings), s.progress);
    return ExportArticles(job, target, format, separateFiles, ranges);
}

}  // namespace

ExportResult RunExportCommand(const ExportServices& s, ExportOptions& options,
                              const ExportWindows& windows) {
    ExportSetup setup(options, windows.context);
    if (!s.dialogs->Setup(setup)) return {};
    options = setup.Options();

    std::string target;
    ExportFormat format;
    std::string folder = s.dirs->Folder(FolderType::ImportExport);
    if (setup.separateFiles) {
        std::vector<ExportFileType> types = ExportFolderTypes();
        std::optional<ExportTarget> chosen = s.dialogs->AskFolder(
            types, InitialTypePosition(options.fileType, types.size()), folder, options.markdown);
        if (!chosen || chosen->type >= types.size()) return {};
        s.dirs->SetFolder(FolderType::ImportExport, chosen->path);
        options.fileType = int32_t(chosen->type + 1);
        target = chosen->path;
        format = types[chosen->type].format;
    } else {
        std::vector<ExportFileType> types = ExportFileTypes(false);
        if (types.empty()) return {};
        std::optional<ExportTarget> chosen = s.dialogs->AskFile(
            types, InitialTypePosition(options.fileType, types.size()), folder,
            DefaultExportName(options.range, windows.currentTitle, s.doc->PathName()));
        if (!chosen || chosen->type >= types.size()) return {};
        s.dirs->SetFolder(FolderType::ImportExport, FolderOf(chosen->path));
        options.fileType = int32_t(chosen->type + 1);
        target = chosen->path;
        format = types[chosen->type].format;
    }

    ExportResult result =
        Run(s, options, target, format, setup.separateFiles, windows.ranges, false);
    // Only the plain formats lose characters (HTML refers to them, RTF
    // writes them as Unicode), and UTF-8 has every one.
    if (result.Succeeded() && result.lostChars > 0 &&
        (format == ExportFormat::kText || format == ExportFormat::kCsv) &&
        s.settings->exportTextEncoding != 1) {
        std::string count = std::to_string(result.lostChars);
        if (setup.separateFiles) {
            // Again would add a second set of files beside the first.
            s.ui->MessageBox(FormatResource(msg::kExportLostCharactersInFolder, count),
                             MessageIcon::Information);
        } else if (s.ui->MessageBox(FormatResource(msg::kExportLostCharacters, count),
                                    MessageIcon::Question,
                                    MessageButtons::YesNo) == MessageResult::Yes) {
            result = Run(s, options, target, format, false, windows.ranges, true);
        }
    }
    return result;
}

}  // namespace qb
