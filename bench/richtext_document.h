// The 20 MB article of rich-edit style RTF that the rich-text benchmarks
// read: words in a few fonts, colours, bullets, centred paragraphs and tabs.
#pragma once

#include <cstdint>
#include <string>

namespace qb::bench {

// Deterministic: a fixed linear congruential sequence picks the words and
// the formatting, so every run reads the same bytes.
inline const std::string& Document() {
    static const std::string doc = [] {
        std::string s =
            "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fswiss\\fcharset0 "
            "Arial;}{\\f1\\fnil\\fcharset2 Symbol;}{\\f2\\froman\\fprq2\\fcharset0 Times New "
            "Roman;}}\r\n{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green128\\blue0;}\r\n"
            "{\\*\\generator Msftedit 5.41.15.1503;}\\viewkind4\\uc1\\pard\\f0\\fs20 ";
        const char* words[] = {"garden", "rose",  "caf\\'e9",    "tulip",  "water", "na\\'efve",
                               "seed",   "north", "\\u8364?",    "meadow", "oak",   "fern",
                               "moss",   "brook", "\\ldblquote", "lichen", "path",  "stone"};
        uint32_t x = 12345;
        auto next = [&] { return x = x * 1103515245u + 12345u, (x >> 16) & 0x7fff; };
        std::size_t para = 0;
        while (s.size() < 20u * 1000 * 1000) {
            uint32_t kind = next() % 10;
            if (kind == 0)
                s += "\\pard{\\pntext\\f1\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb"
                     "\\'B7}}\\fi-360\\li720 ";
            else if (kind == 1)
                s += "\\pard\\qc ";
            else if (kind == 2)
                s += "\\pard\\tx720\\tx1440 ";
            int n = 8 + int(next() % 40);
            for (int w = 0; w < n; ++w) {
                uint32_t f = next() % 24;
                const char* word = words[next() % (sizeof words / sizeof *words)];
                if (f == 0)
                    s += std::string("\\b ") + word + "\\b0 ";
                else if (f == 1)
                    s += std::string("\\i ") + word + "\\i0 ";
                else if (f == 2)
                    s += std::string("\\cf1 ") + word + "\\cf0 ";
                else if (f == 3)
                    s += std::string("{\\f2\\fs24 ") + word + "}";
                else
                    s += word;
                s += f == 4 ? "\\tab " : " ";
            }
            s += "\\par\r\n";
            if (++para % 7 == 0) s += "\\pard ";
        }
        s += "}\r\n";
        return s;
    }();
    return doc;
}

}  // namespace qb::bench
