#include "richtext/rtf_font_colour_tables.h"

#include <algorithm>

#include "platform/code_page.h"
#include "richtext/code_page.h"
#include "richtext/formats.h"

namespace qb::rtf {

namespace {

constexpr std::size_t kMaxFaceLength = 31;  // as a logical font's face name
constexpr std::size_t kMaxNameBytes = 256;

int EntryCodePage(const FontEntry& f) {
    return f.codePage ? f.codePage : CodePageForCharset(f.charset);
}

// Decodes the name in the code page of the entry's charset, once.
void FinishName(FontEntry& f, int documentCodePage) {
    if (!f.face.empty() || (f.nameBytes.empty() && f.nameUnicode.empty())) return;
    int cp = EntryCodePage(f);
    if (cp == 0) cp = documentCodePage;
    ByteDecoder dec;
    dec.SetCodePage(cp);
    std::u16string wide;
    const std::string_view bytes(f.nameBytes);
    std::size_t done = 0;
    for (auto [at, c] : f.nameUnicode) {
        dec.Decode(bytes.substr(done, at - done), wide);
        wide.push_back(c);
        done = at;
    }
    dec.Decode(bytes.substr(done), wide);
    // A face name holds no control characters (raw tabs and line ends of a
    // damaged table would not survive being written out again).
    std::erase_if(wide, [](char16_t c) { return c < 0x20 || c == 0x7F; });
    // A no-break space in a face name is a space (written as \~, which a
    // font table does not read back as part of the name).
    std::replace(wide.begin(), wide.end(), char16_t(0xA0), char16_t(u' '));
    // Spaces that were behind a dropped control character or a no-break
    // space now lead the name; the writer cannot write them back.
    wide.erase(0, std::min(wide.find_first_not_of(u' '), wide.size()));
    if (wide.empty()) return;
    // Cut to the face length first, so that a cut that ends in a space
    // loses it too and the name reads back the same when written out.
    if (wide.size() > kMaxFaceLength) wide.resize(kMaxFaceLength);
    while (!wide.empty() && wide.back() == u' ')
        wide.pop_back();
    f.face = Utf16ToUtf8(wide);
}

}  // namespace

FontTable::WordEffect FontTable::TableWord(Word w, int32_t param) {
    if (w == Word::kF) {
        FontEntry& f = fonts_[param];
        f = FontEntry();
        current_ = &f;
        return WordEffect::kNewEntry;
    }
    if (GroupOf(w) != WordGroup::kFontEntry) return WordEffect::kNotTableWord;
    if (!current_) return WordEffect::kDone;
    switch (w) {
        case Word::kFnil:
        case Word::kFtech:
        case Word::kFbidi:
            current_->family = 0;
            break;
        case Word::kFroman:
            current_->family = 1;
            break;
        case Word::kFswiss:
            current_->family = 2;
            break;
        case Word::kFmodern:
            current_->family = 3;
            break;
        case Word::kFscript:
            current_->family = 4;
            break;
        case Word::kFdecor:
            current_->family = 5;
            break;
        case Word::kFcharset:
            current_->charset = std::clamp(param, 0, 255);
            break;
        case Word::kFprq:
            current_->pitch = uint8_t(std::clamp(param, 0, 2));
            break;
        case Word::kCpg:
            current_->codePage = std::clamp(param, 0, 65535);
            break;
        default:
            break;
    }
    return WordEffect::kDone;
}

void FontTable::NameText(const char* p, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        if (!current_ || current_->nameDone) break;
        if (p[i] == ';') {
            current_->nameDone = true;
        } else if (current_->nameBytes.size() < kMaxNameBytes) {
            current_->nameBytes.push_back(p[i]);
        }
    }
}

void FontTable::NameByte(uint8_t b) {
    if (current_ && !current_->nameDone && current_->nameBytes.size() < kMaxNameBytes)
        current_->nameBytes.push_back(char(b));
}

void FontTable::NameUnicode(char16_t c) {
    if (current_ && !current_->nameDone &&
        current_->nameBytes.size() + current_->nameUnicode.size() < kMaxNameBytes)
        current_->nameUnicode.emplace_back(current_->nameBytes.size(), c);
}

FontEntry* FontTable::Find(int32_t number) {
    auto it = fonts_.find(number);
    return it == fonts_.end() ? nullptr : &it->second;
}

const FontEntry* FontTable::Find(int32_t number) const {
    auto it = fonts_.find(number);
    return it == fonts_.end() ? nullptr : &it->second;
}

int FontTable::CodePageOf(int32_t font) const {
    const FontEntry* f = Find(font < 0 ? default_ : font);
    return f ? EntryCodePage(*f) : 0;
}

const FontEntry* FontTable::ForText(int32_t font, int documentCodePage) {
    FontEntry* f = Find(font < 0 ? default_ : font);
    // A font missing from the table falls back on the default one.
    if (!f && font >= 0) f = Find(default_);
    if (f) FinishName(*f, documentCodePage);
    return f;
}

bool ColourTable::TableWord(Word w, int32_t param) {
    switch (w) {
        case Word::kRed:
            r_ = std::clamp(param, 0, 255);
            break;
        case Word::kGreen:
            g_ = std::clamp(param, 0, 255);
            break;
        case Word::kBlue:
            b_ = std::clamp(param, 0, 255);
            break;
        default:
            return false;
    }
    hasParts_ = true;
    return true;
}

bool ColourTable::Text(const char* p, std::size_t n) {
    bool added = false;
    for (std::size_t i = 0; i < n; ++i) {
        if (p[i] != ';') continue;
        colours_.push_back(hasParts_ ? MakeColour(r_, g_, b_) : kAutoColour);
        hasParts_ = false;
        r_ = g_ = b_ = 0;
        added = true;
    }
    return added;
}

uint32_t ColourTable::Colour(int32_t index) const {
    return index >= 0 && std::size_t(index) < colours_.size() ? colours_[std::size_t(index)]
                                                              : kAutoColour;
}

}  // namespace qb::rtf
