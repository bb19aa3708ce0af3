#include "resources/html_symbols.h"

#include <algorithm>

namespace qb {
namespace {

constexpr HtmlSymbol kTags[] = {
    {"!", 0},        {"a", 1},          {"address", 2},    {"area", 3},   {"b", 4},
    {"base", 5},     {"big", 6},        {"blockquote", 7}, {"body", 8},   {"br", 9},
    {"caption", 10}, {"center", 11},    {"cite", 12},      {"code", 13},  {"dd", 14},
    {"dfn", 15},     {"dir", 16},       {"div", 17},       {"dl", 18},    {"dt", 19},
    {"em", 20},      {"font", 21},      {"form", 22},      {"h1", 23},    {"h2", 24},
    {"h3", 25},      {"h4", 26},        {"h5", 27},        {"h6", 28},    {"head", 29},
    {"hr", 30},      {"html", 31},      {"i", 32},         {"img", 33},   {"input", 34},
    {"isindex", 35}, {"kbd", 36},       {"li", 37},        {"link", 38},  {"listing", 39},
    {"map", 40},     {"menu", 41},      {"meta", 42},      {"nobr", 43},  {"ol", 44},
    {"option", 45},  {"p", 46},         {"plaintext", 47}, {"pre", 48},   {"samp", 49},
    {"script", 50},  {"select", 51},    {"small", 52},     {"span", 53},  {"strike", 54},
    {"strong", 55},  {"style", 56},     {"sub", 57},       {"sup", 58},   {"table", 59},
    {"td", 60},      {"textarea", 61},  {"th", 62},        {"title", 63}, {"tr", 64},
    {"tt", 65},      {"u", 66},         {"ul", 67},        {"var", 68},   {"wbr", 69},
    {"xmp", 70},     {"basefont", 128},
};
static_assert(std::size(kTags) == 72);

constexpr HtmlSymbol kEntities[] = {
    {"Aacute", 193}, {"aacute", 225}, {"Acirc", 194},  {"acirc", 226},  {"acute", 180},
    {"AElig", 198},  {"aelig", 230},  {"Agrave", 192}, {"agrave", 224}, {"amp", 38},
    {"Aring", 197},  {"aring", 229},  {"Atilde", 195}, {"atilde", 227}, {"Auml", 196},
    {"auml", 228},   {"brvbar", 166}, {"Ccedil", 199}, {"ccedil", 231}, {"cedil", 184},
    {"cent", 162},   {"copy", 169},   {"curren", 164}, {"deg", 176},    {"div", 247},
    {"Eacute", 201}, {"eacute", 233}, {"Ecirc", 202},  {"ecirc", 234},  {"Egrave", 200},
    {"egrave", 232}, {"emdash", 151}, {"emsp", 32},    {"endash", 150}, {"ensp", 32},
    {"ETH", 208},    {"eth", 240},    {"Euml", 203},   {"euml", 235},   {"frac12", 189},
    {"frac14", 188}, {"frac34", 190}, {"gt", 62},      {"Iacute", 205}, {"iacute", 237},
    {"Icirc", 206},  {"icirc", 238},  {"iexcl", 161},  {"Igrave", 204}, {"igrave", 236},
    {"iquest", 191}, {"Iuml", 207},   {"iuml", 239},   {"laquo", 171},  {"lt", 60},
    {"macr", 175},   {"micro", 181},  {"middot", 183}, {"nbsp", 160},   {"not", 172},
    {"Ntilde", 209}, {"ntilde", 241}, {"Oacute", 211}, {"oacute", 243}, {"Ocirc", 212},
    {"ocirc", 244},  {"Ograve", 210}, {"ograve", 242}, {"ordf", 170},   {"ordm", 186},
    {"Oslash", 216}, {"oslash", 248}, {"Otilde", 213}, {"otilde", 245}, {"Ouml", 214},
    {"ouml", 246},   {"para", 182},   {"plusmm", 177}, {"pound", 163},  {"quot", 34},
    {"raquo", 187},  {"reg", 174},    {"sect", 167},   {"shy", 173},    {"sup1", 185},
    {"sup2", 178},   {"sup3", 179},   {"szlig", 223},  {"THORN", 222},  {"thorn", 254},
    {"times", 215},  {"#153", 153},   {"trade", 153},  {"Uacute", 218}, {"uacute", 250},
    {"Ucirc", 219},  {"ucirc", 251},  {"Ugrave", 217}, {"ugrave", 249}, {"uml", 168},
    {"Uuml", 220},   {"uuml", 252},   {"Yacute", 221}, {"yacute", 253}, {"yen", 165},
};
static_assert(std::size(kEntities) == 105);

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? char(c + 32) : c;
}

}  // namespace

std::span<const HtmlSymbol> HtmlTagTable() {
    return kTags;
}

std::span<const HtmlSymbol> HtmlEntityTable() {
    return kEntities;
}

int FindHtmlTag(std::string_view name) {
    auto it = std::find_if(std::begin(kTags), std::end(kTags), [&](const HtmlSymbol& s) {
        std::string_view n(s.name);
        return n.size() == name.size() &&
               std::equal(n.begin(), n.end(), name.begin(),
                          [](char a, char b) { return Lower(a) == Lower(b); });
    });
    return it == std::end(kTags) ? -1 : it->code;
}

int FindHtmlEntity(std::string_view name) {
    auto it = std::find_if(std::begin(kEntities), std::end(kEntities),
                           [&](const HtmlSymbol& s) { return name == s.name; });
    return it == std::end(kEntities) ? -1 : it->code;
}

}  // namespace qb
