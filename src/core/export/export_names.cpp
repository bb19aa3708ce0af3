#include "export/export_names.h"

#include <algorithm>
#include <filesystem>

namespace qb {
namespace {

bool IsKept(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-';
}

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return s;
}

}  // namespace

std::string KeptNameText(std::string_view base) {
    std::string kept;
    bool afterKept = false;
    for (unsigned char c : base) {
        if (IsKept(c)) {
            kept += char(c);
            afterKept = true;
        } else if (afterKept) {
            kept += '_';
            afterKept = false;
        }
    }
    return kept;
}

SeparateFileNames::SeparateFileNames(std::string folder) : folder_(std::move(folder)) {
    if (folder_.size() > 1 && folder_.back() == '/') folder_.pop_back();
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder_, ec), end; !ec && it != end;
         it.increment(ec))
        taken_.insert(Lower(it->path().filename().string()));
}

std::string SeparateFileNames::Kept(std::string_view base) const {
    size_t limit = folder_.size() >= 240 ? 0 : std::min<size_t>(240 - folder_.size(), 256);
    return KeptNameText(base.substr(0, std::min(limit, base.size())));
}

bool SeparateFileNames::Taken(const std::string& name) const {
    return taken_.count(Lower(name)) != 0;
}

void SeparateFileNames::Take(const std::string& name) {
    taken_.insert(Lower(name));
}

std::string SeparateFileNames::Unique(std::string_view base, std::string_view extension) {
    std::string kept = Kept(base);
    std::string name = kept + std::string(extension);
    for (unsigned long n = 1; Taken(name); ++n)
        name = kept + std::to_string(n) + std::string(extension);
    Take(name);
    return folder_ + "/" + name;
}

std::string SeparateFileNames::Fixed(std::string_view base, std::string_view extension) {
    std::string name = Kept(base) + std::string(extension);
    Take(name);
    return folder_ + "/" + name;
}

std::string SeparateFileNames::NameOnly(const std::string& path) const {
    return path.substr(std::min(path.size(), folder_.size() + 1));
}

}  // namespace qb
