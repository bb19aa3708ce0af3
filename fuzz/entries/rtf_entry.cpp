// The RTF target: the input is read into a control; what the writer makes
// of that control must read back to an equal model, and writing that again
// must give the same bytes.
#include <cstdlib>
#include <string>

#include "fuzz_entries.h"
#include "richtext/rich_text.h"

namespace qbfuzz {

int FuzzRtf(const uint8_t* data, size_t size) {
    std::string_view rtf(reinterpret_cast<const char*>(data), size);
    qb::RichTextControl first;
    if (!first.StreamInRtf(rtf)) return 0;

    // The questions the views and writers ask of every control.
    int32_t lines = first.LineCount();
    for (int32_t line = 0; line < lines && line < 64; ++line)
        (void)first.LineText(line);
    (void)first.StreamOutText(qb::TextEncoding::kWindows1252);
    (void)first.StreamOutText(qb::TextEncoding::kUtf8);

    std::string written = first.StreamOutRtf();
    // QB_FUZZ_SAFETY_ONLY leaves the round trip out, for a campaign that
    // hunts crashes while a round-trip finding is still open.
    static const bool kSafetyOnly = std::getenv("QB_FUZZ_SAFETY_ONLY") != nullptr;
    if (kSafetyOnly) {
        qb::RichTextControl second;
        (void)second.StreamInRtf(written);
        return 0;
    }
    qb::RichTextControl second;
    if (!second.StreamInRtf(written)) PropertyFailed("the writer's RTF was not read as RTF");
    if (second.Text() != first.Text()) PropertyFailed("the text changed through the writer");
    if (!(second == first)) PropertyFailed("the model changed through the writer");
    if (second.StreamOutRtf() != written) PropertyFailed("writing again gave other bytes");
    return 0;
}

}  // namespace qbfuzz
