#include "export/text_format.h"

namespace qb {

bool TextFormat::SameAs(const TextFormat& o) const {
    return height == o.height && colour == o.colour && effects == o.effects && offset == o.offset &&
           charset == o.charset && pitchAndFamily == o.pitchAndFamily && mask == o.mask &&
           face == o.face;
}

TextFormat ToTextFormat(const CharFormat& f) {
    TextFormat t;
    t.face = f.face;
    t.height = f.height;
    t.colour = f.colour == kAutoColour ? 0 : (f.colour & 0xFFFFFF);
    t.effects = f.effects & (kEffectBold | kEffectItalic | kEffectUnderline | kEffectStrikeout);
    t.offset = f.offset;
    t.charset = f.charset;
    t.pitchAndFamily = f.pitchAndFamily;
    t.mask = kCharMaskAll;
    auto smaller = [](int32_t h) { return int32_t((int64_t(h) * 6 + (h < 0 ? -5 : 5)) / 10); };
    if (f.Has(kEffectSubscript)) {
        t.offset = -(f.height / 4);
        t.height = smaller(f.height);
    } else if (f.Has(kEffectSuperscript)) {
        t.offset = f.height / 2;
        t.height = smaller(f.height);
    }
    t.background = f.background == kAutoColour ? 0xFFFFFF : (f.background & 0xFFFFFF);
    if (t.offset >= -9 && t.offset <= 9) t.offset = 0;
    return t;
}

TextFormatReader::TextFormatReader(const RichTextControl& control)
    : control_(control),
      formats_(control.CharFormatCount()),
      converted_(control.CharFormatCount(), false) {}

int32_t TextFormatReader::Locate(int32_t pos) {
    if (pos >= control_.TextLength()) return Seen(control_.RunCount() - 1);
    run_ =
        (pos == runEnd_ && run_ + 1 < control_.RunCount()) ? run_ + 1 : control_.RunFromChar(pos);
    runStart_ = control_.RunStart(run_);
    runEnd_ = control_.RunEnd(run_);
    runId_ = Seen(run_);
    return runId_;
}

int32_t TextFormatReader::Seen(int32_t run) {
    int32_t id = control_.RunFormatId(run);
    std::size_t i = std::size_t(id);
    if (!converted_[i]) {
        formats_[i] = ToTextFormat(control_.RunFormat(run));
        converted_[i] = true;
    }
    return id;
}

}  // namespace qb
