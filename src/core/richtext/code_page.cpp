#include "richtext/code_page.h"

#include <unicode/ucnv.h>

#include <cstdio>
#include <vector>

namespace qb {

namespace {
const char16_t k1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
}  // namespace

char16_t Cp1252ToUnicode(uint8_t byte) {
    if (byte >= 0x80 && byte < 0xA0) return k1252High[byte - 0x80];
    return byte;
}

int UnicodeToCp1252(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return c;
    for (int i = 0; i < 32; ++i) {
        if (k1252High[i] == c) return 0x80 + i;
    }
    return -1;
}

int CodePageForCharset(int charset) {
    switch (charset) {
        case 0:
            return 1252;
        case 2:
            return 1252;  // symbol fonts: the byte is the glyph index
        case 77:
            return 10000;
        case 128:
            return 932;
        case 129:
            return 949;
        case 134:
            return 936;
        case 136:
            return 950;
        case 161:
            return 1253;
        case 162:
            return 1254;
        case 163:
            return 1258;
        case 177:
            return 1255;
        case 178:
            return 1256;
        case 186:
            return 1257;
        case 204:
            return 1251;
        case 222:
            return 874;
        case 238:
            return 1250;
        case 255:
            return 437;
        default:
            return 0;
    }
}

struct ByteDecoder::Page {
    UConverter* converter = nullptr;
    bool multiByte = false;
    bool asciiAsIs = false;
    char16_t table[256];
    ~Page() {
        if (converter) ucnv_close(converter);
    }
};

ByteDecoder::ByteDecoder() {
    for (int i = 0; i < 256; ++i)
        table_[i] = Cp1252ToUnicode(uint8_t(i));
}

ByteDecoder::~ByteDecoder() = default;

ByteDecoder::Page* ByteDecoder::Load(int codePage) {
    auto it = pages_.find(codePage);
    if (it != pages_.end()) return it->second.get();
    auto page = std::make_unique<Page>();
    char name[32];
    if (codePage == 10000)
        std::snprintf(name, sizeof name, "macintosh");
    else if (codePage == 437)
        std::snprintf(name, sizeof name, "ibm-437");
    else
        std::snprintf(name, sizeof name, "windows-%d", codePage);
    UErrorCode status = U_ZERO_ERROR;
    page->converter = ucnv_open(name, &status);
    if (U_FAILURE(status) || !page->converter) {
        page->converter = nullptr;
        pages_[codePage] = nullptr;
        return nullptr;
    }
    page->multiByte = ucnv_getMaxCharSize(page->converter) > 1;
    for (int i = 0; i < 256; ++i) {
        char byte = char(i);
        UChar out[4];
        UErrorCode st = U_ZERO_ERROR;
        ucnv_reset(page->converter);
        int32_t n = ucnv_toUChars(page->converter, out, 4, &byte, 1, &st);
        page->table[i] = (U_SUCCESS(st) && n == 1 && out[0] != 0xFFFD) ? char16_t(out[0])
                                                                       : Cp1252ToUnicode(byte);
    }
    page->asciiAsIs = !page->multiByte;
    for (int i = 0x20; i < 0x80; ++i)
        if (page->table[i] != char16_t(i)) page->asciiAsIs = false;
    Page* raw = page.get();
    pages_[codePage] = std::move(page);
    return raw;
}

void ByteDecoder::SetCodePage(int codePage) {
    if (codePage == codePage_) return;
    codePage_ = codePage;
    page_ = nullptr;
    multiByte_ = false;
    asciiAsIs_ = true;
    if (codePage == 1252 || codePage <= 0) {
        for (int i = 0; i < 256; ++i)
            table_[i] = Cp1252ToUnicode(uint8_t(i));
        return;
    }
    page_ = Load(codePage);
    if (!page_) {
        for (int i = 0; i < 256; ++i)
            table_[i] = Cp1252ToUnicode(uint8_t(i));
        return;
    }
    multiByte_ = page_->multiByte;
    asciiAsIs_ = page_->asciiAsIs;
    for (int i = 0; i < 256; ++i)
        table_[i] = page_->table[i];
}

void ByteDecoder::Decode(std::string_view bytes, std::u16string& out) {
    if (!multiByte_ || !page_) {
        for (char b : bytes)
            out.push_back(table_[uint8_t(b)]);
        return;
    }
    // Each byte yields at most one UTF-16 unit in the double-byte pages.
    std::vector<UChar> buf(bytes.size() + 4);
    UErrorCode status = U_ZERO_ERROR;
    ucnv_reset(page_->converter);
    int32_t n = ucnv_toUChars(page_->converter, buf.data(), int32_t(buf.size()), bytes.data(),
                              int32_t(bytes.size()), &status);
    if (U_FAILURE(status)) {
        for (char b : bytes)
            out.push_back(table_[uint8_t(b)]);
        return;
    }
    out.append(reinterpret_cast<const char16_t*>(buf.data()), std::size_t(n));
}

bool ByteDecoder::Encode(char16_t c, std::string& out) {
    if (!multiByte_ || !page_) {
        // The table is what single bytes decode to, fallbacks included.
        for (int b = 0; b < 256; ++b) {
            if (table_[b] == c) {
                out.push_back(char(b));
                return true;
            }
        }
        return false;
    }
    UChar in = c;
    char buf[8];
    UErrorCode status = U_ZERO_ERROR;
    ucnv_reset(page_->converter);
    ucnv_setFromUCallBack(page_->converter, UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                          &status);
    int32_t n = ucnv_fromUChars(page_->converter, buf, int32_t(sizeof buf), &in, 1, &status);
    if (U_FAILURE(status) || n <= 0) return false;
    // Only bytes that decode to the same character again will do (ICU may
    // map a character to a near one).
    std::u16string back;
    Decode(std::string_view(buf, std::size_t(n)), back);
    if (back.size() != 1 || back[0] != c) return false;
    out.append(buf, std::size_t(n));
    return true;
}

}  // namespace qb
