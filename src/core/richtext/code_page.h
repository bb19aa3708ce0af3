// Code pages of RTF text: Windows-1252 by table, every other code page that
// a font's character set can name through ICU.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace qb {

// Windows-1252 byte to UTF-16; the five undefined bytes map to the C1
// controls of the same value, as Windows does, so nothing is dropped.
char16_t Cp1252ToUnicode(uint8_t byte);
// UTF-16 unit to a Windows-1252 byte, or -1 when it has none.
int UnicodeToCp1252(char16_t c);

// The code page that an RTF \fcharset stands for; 0 when the character set
// means "the document's code page".
int CodePageForCharset(int charset);

// Decodes bytes in one code page at a time, caching ICU converters.
class ByteDecoder {
public:
    ByteDecoder();
    ~ByteDecoder();
    ByteDecoder(const ByteDecoder&) = delete;
    ByteDecoder& operator=(const ByteDecoder&) = delete;

    // Code pages ICU does not know fall back to Windows-1252.
    void SetCodePage(int codePage);
    // Whether a character may take more than one byte (bytes must then be
    // collected and decoded together).
    bool MultiByte() const { return multiByte_; }
    char16_t DecodeSingle(uint8_t byte) const { return table_[byte]; }
    // Whether every byte from 0x20 to 0x7F decodes to itself, single-byte:
    // ASCII text can then be widened without the table.
    bool AsciiAsIs() const { return asciiAsIs_; }
    void Decode(std::string_view bytes, std::u16string& out);
    // Appends the bytes that Decode turns back into `c` in the current code
    // page; false, appending nothing, when no bytes do.
    bool Encode(char16_t c, std::string& out);

private:
    struct Page;
    Page* Load(int codePage);

    int codePage_ = 1252;
    bool multiByte_ = false;
    bool asciiAsIs_ = true;
    char16_t table_[256];
    Page* page_ = nullptr;
    std::map<int, std::unique_ptr<Page>> pages_;
};

}  // namespace qb
