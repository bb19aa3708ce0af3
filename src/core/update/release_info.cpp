#include "update/release_info.h"

#include <algorithm>
#include <cstdio>

namespace qb {
namespace {

bool EqualNoCase(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

}  // namespace

std::optional<ReleaseLine> FindReleaseLine(std::string_view file, std::string_view key) {
    size_t pos = 0;
    while (pos < file.size()) {
        size_t end = file.find('\n', pos);
        if (end == std::string_view::npos) end = file.size();
        std::string_view line = file.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        size_t tab1 = line.find('\t');
        if (tab1 == std::string_view::npos) continue;
        size_t tab2 = line.find('\t', tab1 + 1);
        if (tab2 == std::string_view::npos) continue;
        if (!EqualNoCase(line.substr(0, tab1), key)) continue;
        ReleaseLine found;
        found.versionText = std::string(line.substr(tab1 + 1, tab2 - tab1 - 1));
        found.page = std::string(line.substr(tab2 + 1));
        return found;
    }
    return std::nullopt;
}

ProgramVersion ParseReleasedVersion(std::string_view text) {
    unsigned parts[4] = {0, 0, 0, 0};
    size_t at = 0;
    for (unsigned& part : parts) {
        if (at > text.size()) break;
        size_t end = text.find('.', at);
        if (end == std::string_view::npos) end = text.size();
        std::string_view field = text.substr(at, end - at);
        size_t i = 0;
        while (i < field.size() && field[i] == ' ')
            ++i;
        unsigned value = 0;
        for (; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i)
            value = std::min(65535u, value * 10 + unsigned(field[i] - '0'));
        part = value;
        at = end + 1;
    }
    return MakeProgramVersion(parts[0], parts[1], parts[2], parts[3]);
}

bool IsNewerRelease(const ProgramVersion& listed, const ProgramVersion& running) {
    if (listed.High() != running.High()) return listed.High() > running.High();
    return listed.Low() > running.Low();
}

std::string SourceQueryText(const SourceQuery& q) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "?source=F%d%02d%d%03d%d%02d%02d", q.product, q.place,
                  std::clamp(q.status, 0, 9), std::clamp(q.threeDigit, 0, 999), 0, 0, 0);
    return buf;
}

}  // namespace qb
