#include "richtext/rtf_pictures.h"

#include <algorithm>
#include <utility>

#include "richtext/rtf_plain_text.h"

namespace qb::rtf {

namespace {
constexpr int32_t kMaxPictureSize = 1 << 20;
}  // namespace

void PictureReader::Begin() {
    active_ = true;
    picture_ = Picture();
    nibble_ = -1;
}

void PictureReader::SetKind(PictureKind kind) {
    // The last kind named wins, and a mapping mode only a metafile has
    // goes with an earlier \wmetafile: the writer gives none for the others.
    picture_.kind = kind;
    picture_.metafileMode = 0;
}

void PictureReader::Word(rtf::Word w, int32_t param) {
    using W = rtf::Word;
    switch (w) {
        case W::kPngblip:
            SetKind(PictureKind::kPng);
            break;
        case W::kJpegblip:
            SetKind(PictureKind::kJpeg);
            break;
        case W::kDibitmap:
            SetKind(PictureKind::kDib);
            break;
        case W::kWmetafile:
            SetKind(PictureKind::kWmf);
            picture_.metafileMode = std::clamp(param, 0, 255);
            break;
        case W::kEmfblip:
            SetKind(PictureKind::kEmf);
            break;
        case W::kOtherPict:
            SetKind(PictureKind::kOther);
            break;
        case W::kPicw:
            picture_.width = std::clamp(param, 0, kMaxPictureSize);
            break;
        case W::kPich:
            picture_.height = std::clamp(param, 0, kMaxPictureSize);
            break;
        case W::kPicwgoal:
            picture_.goalWidth = std::clamp(param, 0, kMaxPictureSize);
            break;
        case W::kPichgoal:
            picture_.goalHeight = std::clamp(param, 0, kMaxPictureSize);
            break;
        case W::kPicscalex:
            picture_.scaleX = std::clamp(param, 1, 10000);
            break;
        case W::kPicscaley:
            picture_.scaleY = std::clamp(param, 1, 10000);
            break;
        default:
            break;
    }
}

void PictureReader::HexText(const char* p, std::size_t n) {
    if (!active_) return;
    for (std::size_t i = 0; i < n; ++i) {
        int v = HexValue(p[i]);
        if (v < 0) continue;
        if (nibble_ < 0) {
            nibble_ = v;
        } else {
            picture_.data.push_back(char(nibble_ << 4 | v));
            nibble_ = -1;
        }
    }
}

void PictureReader::Binary(std::string_view bytes) {
    if (active_) picture_.data.append(bytes);
}

std::optional<Picture> PictureReader::Finish() {
    if (!active_) return std::nullopt;
    active_ = false;
    if (picture_.data.empty()) return std::nullopt;
    return std::exchange(picture_, Picture());
}

}  // namespace qb::rtf
