// Names of the files of a separate-files export: the kept characters of an
// article's title (or "toc") and an extension, inside the target folder,
// numbered until the name is free. Names are unique without regard to case,
// so that a folder copied to a system that ignores case keeps every file.
#pragma once

#include <set>
#include <string>
#include <string_view>

namespace qb {

// The kept text of `base`: letters a-z and A-Z, digits, "_" and "-"; each
// run of other bytes after a kept one becomes one "_", others at the start
// are dropped ("My notes: 2020!" gives "My_notes_2020_").
std::string KeptNameText(std::string_view base);

class SeparateFileNames {
public:
    // Reads the names already in `folder` (one trailing "/" is ignored).
    explicit SeparateFileNames(std::string folder);

    const std::string& Folder() const { return folder_; }

    // A free name in the folder for `base` and `extension`: folder + "/" +
    // kept text + extension, else with 1, 2, 3 ... after the kept text. The
    // name is taken at once, so later calls avoid it. The base is cut to
    // 240 - folder length bytes (never more than 256) before keeping.
    std::string Unique(std::string_view base, std::string_view extension);
    // The name without numbering (an existing file of that name is replaced);
    // it is taken too.
    std::string Fixed(std::string_view base, std::string_view extension);

    // Just the file name of a path this object made.
    std::string NameOnly(const std::string& path) const;

private:
    std::string Kept(std::string_view base) const;
    bool Taken(const std::string& name) const;
    void Take(const std::string& name);

    std::string folder_;
    std::set<std::string> taken_;  // lower-cased
};

}  // namespace qb
