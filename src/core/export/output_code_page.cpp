#include "export/output_code_page.h"

#include <algorithm>

#include "datafile/cp1252.h"
#include "platform/code_page.h"

namespace qb {

OutputCodePage::OutputCodePage(const std::array<char32_t, 256>& decode, bool windows1252)
    : windows1252_(windows1252) {
    for (int b = 0; b < 256; ++b) {
        char32_t c = decode[std::size_t(b)];
        if (b < 0x80 && c != char32_t(b)) asciiAsIs_ = false;
        if (c >= 0xFFFF || c > 0x10FFFF) continue;
        encode_.emplace_back(c, uint8_t(b));
    }
    // The first byte wins where two decode to one character.
    std::stable_sort(encode_.begin(), encode_.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    encode_.erase(std::unique(encode_.begin(), encode_.end(),
                              [](const auto& a, const auto& b) { return a.first == b.first; }),
                  encode_.end());
}

const OutputCodePage& OutputCodePage::Windows1252() {
    static const OutputCodePage page = [] {
        std::array<char32_t, 256> decode{};
        for (int b = 0; b < 256; ++b)
            decode[std::size_t(b)] = Cp1252ToCodePoint(static_cast<unsigned char>(b));
        return OutputCodePage(decode, true);
    }();
    return page;
}

OutputCodePage OutputCodePage::Of(const CodePage& page) {
    std::array<char32_t, 256> decode{};
    for (int b = 0; b < 256; ++b)
        decode[std::size_t(b)] = page.Decode(static_cast<unsigned char>(b));
    return OutputCodePage(decode, page.Number() == CodePage::kDefault);
}

int OutputCodePage::Lookup(char32_t c) const {
    auto it = std::lower_bound(encode_.begin(), encode_.end(), c,
                               [](const auto& e, char32_t v) { return e.first < v; });
    return it != encode_.end() && it->first == c ? it->second : -1;
}

}  // namespace qb
