// Small helpers shared by the rich-text tests.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "richtext/rich_text.h"

namespace qb {

inline RichTextControl Load(std::string_view rtf) {
    RichTextControl rt;
    EXPECT_TRUE(rt.StreamInRtf(rtf));
    return rt;
}

inline std::string Utf8(std::u16string_view s) {
    RichTextControl tmp;
    tmp.SetText(s);
    std::string out = tmp.StreamOutText(TextEncoding::kUtf8);
    // the text stream writes CRLF; the tests compare with the control's CR
    std::string back;
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (out[i] == '\r' && i + 1 < out.size() && out[i + 1] == '\n') {
            back += '\r';
            ++i;
        } else {
            back += out[i];
        }
    }
    return back;
}

}  // namespace qb
