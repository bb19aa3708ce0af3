// Pictures of rich text as image files beside the notes: PNG and JPEG are
// written as they are, a device-independent bitmap is converted to PNG,
// and metafiles (which only Windows draws) are not written.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "richtext/rich_text.h"

namespace qb {

// The picture's bytes and extension (".png", ".jpg") as a file can hold
// them; nullopt for a kind that cannot be written (a metafile, an unknown
// kind, a bitmap in a layout the conversion does not read).
struct PictureFile {
    std::string bytes;
    std::string extension;
};
std::optional<PictureFile> PictureAsFile(const Picture& picture);

// A packed DIB (BITMAPINFOHEADER, colour table, rows) as a PNG file: 1, 4,
// 8, 24 and 32 bits per pixel, uncompressed (32 bits also with the usual
// bit fields). Nullopt when the header is not one of those, the sizes are
// out of bounds (kMaxPicturePixels) or the rows are shorter than the header
// says.
std::optional<std::string> DibToPng(std::string_view dib);
constexpr long long kMaxPicturePixels = 16LL * 1024 * 1024;

}  // namespace qb
