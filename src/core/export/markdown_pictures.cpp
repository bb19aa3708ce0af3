#include "export/markdown_pictures.h"

#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace qb {
namespace {

uint32_t U32(std::string_view s, size_t at) {
    return uint32_t(uint8_t(s[at])) | uint32_t(uint8_t(s[at + 1])) << 8 |
           uint32_t(uint8_t(s[at + 2])) << 16 | uint32_t(uint8_t(s[at + 3])) << 24;
}
uint16_t U16(std::string_view s, size_t at) {
    return uint16_t(uint8_t(s[at]) | uint8_t(s[at + 1]) << 8);
}

void PutBigEndian(std::string& out, uint32_t v) {
    out += char(v >> 24);
    out += char(v >> 16);
    out += char(v >> 8);
    out += char(v);
}

void PngChunk(std::string& out, const char* type, std::string_view data) {
    PutBigEndian(out, uint32_t(data.size()));
    size_t start = out.size();
    out.append(type, 4);
    out.append(data);
    uLong crc =
        crc32(0L, reinterpret_cast<const Bytef*>(out.data() + start), uInt(out.size() - start));
    PutBigEndian(out, uint32_t(crc));
}

}  // namespace

std::optional<std::string> DibToPng(std::string_view dib) {
    if (dib.size() < 40) return std::nullopt;
    const uint32_t headerSize = U32(dib, 0);
    if (headerSize < 40 || headerSize > dib.size()) return std::nullopt;
    const int32_t width = int32_t(U32(dib, 4));
    const int32_t rawHeight = int32_t(U32(dib, 8));
    const uint16_t bits = U16(dib, 14);
    const uint32_t compression = U32(dib, 16);
    uint32_t colours = U32(dib, 32);
    if (width <= 0 || rawHeight == 0 || rawHeight == INT32_MIN) return std::nullopt;
    const bool topDown = rawHeight < 0;
    const int64_t height = topDown ? -int64_t(rawHeight) : rawHeight;
    if (int64_t(width) * height > kMaxPicturePixels) return std::nullopt;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return std::nullopt;
    // 0 is uncompressed; 3 (bit fields) only in the 32-bit layout read as BGRX.
    if (compression != 0 && !(compression == 3 && bits == 32)) return std::nullopt;

    size_t at = headerSize;
    if (compression == 3 && headerSize == 40) at += 12;  // the three masks follow
    std::vector<uint8_t> palette;                        // BGR triples
    if (bits <= 8) {
        if (colours == 0 || colours > (1u << bits)) colours = 1u << bits;
        if (at + size_t(colours) * 4 > dib.size()) return std::nullopt;
        for (uint32_t i = 0; i < colours; ++i, at += 4) {
            palette.push_back(uint8_t(dib[at]));
            palette.push_back(uint8_t(dib[at + 1]));
            palette.push_back(uint8_t(dib[at + 2]));
        }
    }
    const uint64_t stride = ((uint64_t(width) * bits + 31) / 32) * 4;
    if (at > dib.size() || stride * uint64_t(height) > dib.size() - at) return std::nullopt;

    std::string raw;
    raw.reserve(size_t(height) * (size_t(width) * 3 + 1));
    for (int64_t y = 0; y < height; ++y) {
        const int64_t source = topDown ? y : height - 1 - y;
        const char* row = dib.data() + at + size_t(uint64_t(source) * stride);
        raw += '\0';  // filter: none
        for (int32_t x = 0; x < width; ++x) {
            uint8_t b, g, r;
            if (bits >= 24) {
                const char* p = row + size_t(x) * (bits / 8);
                b = uint8_t(p[0]);
                g = uint8_t(p[1]);
                r = uint8_t(p[2]);
            } else {
                const uint32_t bit = uint32_t(x) * bits;
                const uint8_t byte = uint8_t(row[bit / 8]);
                const uint32_t index = (byte >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
                if (index >= colours) {
                    b = g = r = 0;
                } else {
                    b = palette[index * 3];
                    g = palette[index * 3 + 1];
                    r = palette[index * 3 + 2];
                }
            }
            raw += char(r);
            raw += char(g);
            raw += char(b);
        }
    }

    uLongf packedSize = compressBound(uLong(raw.size()));
    std::string packed(packedSize, '\0');
    if (compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize,
                  reinterpret_cast<const Bytef*>(raw.data()), uLong(raw.size()),
                  Z_DEFAULT_COMPRESSION) != Z_OK)
        return std::nullopt;
    packed.resize(packedSize);

    std::string png("\x89PNG\r\n\x1a\n", 8);
    std::string header;
    PutBigEndian(header, uint32_t(width));
    PutBigEndian(header, uint32_t(height));
    header += char(8);  // bits per sample
    header += char(2);  // RGB
    header.append(3, '\0');
    PngChunk(png, "IHDR", header);
    PngChunk(png, "IDAT", packed);
    PngChunk(png, "IEND", "");
    return png;
}

std::optional<PictureFile> PictureAsFile(const Picture& picture) {
    switch (picture.kind) {
        case PictureKind::kPng:
            return PictureFile{picture.data, ".png"};
        case PictureKind::kJpeg:
            return PictureFile{picture.data, ".jpg"};
        case PictureKind::kDib: {
            std::optional<std::string> png = DibToPng(picture.data);
            if (!png) return std::nullopt;
            return PictureFile{std::move(*png), ".png"};
        }
        default:
            return std::nullopt;
    }
}

}  // namespace qb
