#include "richtext/rtf_reader.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "richtext/code_page.h"
#include "richtext/rich_text.h"

namespace qb {

namespace {

// Deeper groups than this share the state of the deepest one kept: hostile
// nesting then costs a counter, not a state per level.
constexpr std::size_t kMaxStateDepth = 1024;
constexpr int32_t kMaxTwips = 31680;        // 22 inches
constexpr std::size_t kMaxFaceLength = 31;  // as a logical font's face name
constexpr int kMaxListLevels = 9;

enum class Dest : uint8_t {
    kText,
    kFontTable,
    kColourTable,
    kPict,
    kPn,
    kPnTextBefore,
    kPnTextAfter,
    kListTable,
    kList,
    kListLevel,
    kOverrideTable,
    kOverride,
    kUprAnsi,
    kIgnoreText,  // a group whose words count but whose text does not
};

enum class W : uint8_t {
    kUnknown,
    kSkipDest,
    // document
    kAnsi,
    kMac,
    kPc,
    kPca,
    kAnsiCpg,
    kDeff,
    kUc,
    kFontTable,
    kColourTable,
    // font table
    kF,
    kFnil,
    kFroman,
    kFswiss,
    kFmodern,
    kFscript,
    kFdecor,
    kFtech,
    kFbidi,
    kFcharset,
    kFprq,
    kCpg,
    kRed,
    kGreen,
    kBlue,
    // text
    kPar,
    kLine,
    kTab,
    kCell,
    kRow,
    kPage,
    kSect,
    kEmdash,
    kEndash,
    kBullet,
    kLquote,
    kRquote,
    kLdblquote,
    kRdblquote,
    kEmspace,
    kEnspace,
    kQmspace,
    kZwj,
    kZwnj,
    kLtrmark,
    kRtlmark,
    kU,
    kUpr,
    kUd,
    // paragraph
    kPard,
    kQl,
    kQr,
    kQc,
    kQj,
    kLi,
    kRi,
    kFi,
    kSb,
    kSa,
    kSl,
    kSlmult,
    kTx,
    kTb,
    kTqr,
    kTqc,
    kTqdec,
    kTldot,
    kTlhyph,
    kTlul,
    kTlth,
    kTleq,
    kIntbl,
    // character: from kPlain to kChcbpat, the words that change the
    // character state (with kF), which the format cache relies on
    kPlain,
    kB,
    kI,
    kUl,
    kUlnone,
    kUld,
    kUldb,
    kUlw,
    kUlwave,
    kUldash,
    kUlth,
    kStrike,
    kStriked,
    kV,
    kProtect,
    kSuper,
    kSub,
    kNosupersub,
    kUp,
    kDn,
    kFs,
    kCf,
    kCb,
    kHighlight,
    kChcbpat,
    // numbering
    kPn,
    kPnlvlblt,
    kPnlvlbody,
    kPnlvlcont,
    kPnlvl,
    kPndec,
    kPnucltr,
    kPnlcltr,
    kPnucrm,
    kPnlcrm,
    kPnstart,
    kPnindent,
    kPntxta,
    kPntxtb,
    kLs,
    kIlvl,
    kListTable,
    kList,
    kListId,
    kListLevel,
    kLevelNfc,
    kLevelStartAt,
    kOverrideTable,
    kOverride,
    // fields, objects, pictures
    kField,
    kFldrslt,
    kResult,
    kObject,
    kShppict,
    kPict,
    kPngblip,
    kJpegblip,
    kDibitmap,
    kWmetafile,
    kEmfblip,
    kOtherPict,
    kPicw,
    kPich,
    kPicwgoal,
    kPichgoal,
    kPicscalex,
    kPicscaley,
    kBin,
};

// Every control word is looked up, so the table is a flat open-addressed
// array: one short hash, usually one probe, no allocation and no library
// string comparison. Keys are stored inline; longer words cannot match.
class WordIndex {
public:
    static constexpr std::size_t kMaxKey = 23;

    static constexpr bool Fits(std::string_view word) {
        return !word.empty() && word.size() <= kMaxKey;
    }
    // The first entry for a word wins, as with a map's emplace.
    void Add(std::string_view word, W w) {
        std::size_t i = Hash(word);
        while (slots_[i].len != 0) {
            if (Equal(slots_[i], word)) return;
            i = (i + 1) & (kSize - 1);
        }
        std::memcpy(slots_[i].key, word.data(), word.size());
        slots_[i].len = uint8_t(word.size());
        slots_[i].w = w;
    }
    W Find(std::string_view word) const {
        if (word.empty() || word.size() > kMaxKey) return W::kUnknown;
        for (std::size_t i = Hash(word);; i = (i + 1) & (kSize - 1)) {
            const Slot& s = slots_[i];
            if (s.len == 0) return W::kUnknown;
            if (Equal(s, word)) return s.w;
        }
    }

private:
    static constexpr int kBits = 10;
    static constexpr std::size_t kSize = std::size_t(1) << kBits;  // a quarter full
    struct Slot {
        char key[kMaxKey];
        uint8_t len = 0;
        W w = W::kUnknown;
    };
    // The length and four of the letters, without a loop: enough to keep
    // the words of the table apart. Only called with a word of one or more.
    static std::size_t Hash(std::string_view w) {
        std::size_t n = w.size();
        uint32_t h = uint32_t(n) * 0x01000193u ^ uint8_t(w[0]) ^ uint32_t(uint8_t(w[n / 2])) << 8 ^
                     uint32_t(uint8_t(w[n - 1])) << 16 ^
                     uint32_t(uint8_t(w[n > 1 ? n - 2 : 0])) << 24;
        return (h * 0x9E3779B1u) >> (32 - kBits);
    }
    static bool Equal(const Slot& s, std::string_view w) {
        if (s.len != w.size()) return false;
        for (std::size_t k = 0; k < w.size(); ++k)
            if (s.key[k] != w[k]) return false;
        return true;
    }
    std::array<Slot, kSize> slots_{};
};

const WordIndex& WordTable() {
    static const WordIndex table = [] {
        WordIndex t;
        static constexpr std::pair<std::string_view, W> kWords[] = {
            {"ansi", W::kAnsi},
            {"mac", W::kMac},
            {"pc", W::kPc},
            {"pca", W::kPca},
            {"ansicpg", W::kAnsiCpg},
            {"deff", W::kDeff},
            {"uc", W::kUc},
            {"fonttbl", W::kFontTable},
            {"colortbl", W::kColourTable},
            {"f", W::kF},
            {"fnil", W::kFnil},
            {"froman", W::kFroman},
            {"fswiss", W::kFswiss},
            {"fmodern", W::kFmodern},
            {"fscript", W::kFscript},
            {"fdecor", W::kFdecor},
            {"ftech", W::kFtech},
            {"fbidi", W::kFbidi},
            {"fcharset", W::kFcharset},
            {"fprq", W::kFprq},
            {"cpg", W::kCpg},
            {"red", W::kRed},
            {"green", W::kGreen},
            {"blue", W::kBlue},
            {"par", W::kPar},
            {"line", W::kLine},
            {"tab", W::kTab},
            {"cell", W::kCell},
            {"nestcell", W::kCell},
            {"row", W::kRow},
            {"nestrow", W::kRow},
            {"page", W::kPage},
            {"sect", W::kSect},
            {"emdash", W::kEmdash},
            {"endash", W::kEndash},
            {"bullet", W::kBullet},
            {"lquote", W::kLquote},
            {"rquote", W::kRquote},
            {"ldblquote", W::kLdblquote},
            {"rdblquote", W::kRdblquote},
            {"emspace", W::kEmspace},
            {"enspace", W::kEnspace},
            {"qmspace", W::kQmspace},
            {"zwj", W::kZwj},
            {"zwnj", W::kZwnj},
            {"ltrmark", W::kLtrmark},
            {"rtlmark", W::kRtlmark},
            {"u", W::kU},
            {"upr", W::kUpr},
            {"ud", W::kUd},
            {"pard", W::kPard},
            {"ql", W::kQl},
            {"qr", W::kQr},
            {"qc", W::kQc},
            {"qj", W::kQj},
            {"li", W::kLi},
            {"ri", W::kRi},
            {"fi", W::kFi},
            {"sb", W::kSb},
            {"sa", W::kSa},
            {"sl", W::kSl},
            {"slmult", W::kSlmult},
            {"tx", W::kTx},
            {"tb", W::kTb},
            {"tqr", W::kTqr},
            {"tqc", W::kTqc},
            {"tqdec", W::kTqdec},
            {"tldot", W::kTldot},
            {"tlhyph", W::kTlhyph},
            {"tlul", W::kTlul},
            {"tlth", W::kTlth},
            {"tleq", W::kTleq},
            {"intbl", W::kIntbl},
            {"plain", W::kPlain},
            {"b", W::kB},
            {"i", W::kI},
            {"ul", W::kUl},
            {"ulnone", W::kUlnone},
            {"uld", W::kUld},
            {"uldb", W::kUldb},
            {"ulw", W::kUlw},
            {"ulwave", W::kUlwave},
            {"uldash", W::kUldash},
            {"uldashd", W::kUldash},
            {"uldashdd", W::kUldash},
            {"ulth", W::kUlth},
            {"strike", W::kStrike},
            {"striked", W::kStriked},
            {"v", W::kV},
            {"protect", W::kProtect},
            {"super", W::kSuper},
            {"sub", W::kSub},
            {"nosupersub", W::kNosupersub},
            {"up", W::kUp},
            {"dn", W::kDn},
            {"fs", W::kFs},
            {"cf", W::kCf},
            {"cb", W::kCb},
            {"highlight", W::kHighlight},
            {"chcbpat", W::kChcbpat},
            {"pn", W::kPn},
            {"pnlvlblt", W::kPnlvlblt},
            {"pnlvlbody", W::kPnlvlbody},
            {"pnlvlcont", W::kPnlvlcont},
            {"pnlvl", W::kPnlvl},
            {"pndec", W::kPndec},
            {"pnucltr", W::kPnucltr},
            {"pnlcltr", W::kPnlcltr},
            {"pnucrm", W::kPnucrm},
            {"pnlcrm", W::kPnlcrm},
            {"pnstart", W::kPnstart},
            {"pnindent", W::kPnindent},
            {"pntxta", W::kPntxta},
            {"pntxtb", W::kPntxtb},
            {"ls", W::kLs},
            {"ilvl", W::kIlvl},
            {"listtable", W::kListTable},
            {"list", W::kList},
            {"listid", W::kListId},
            {"listlevel", W::kListLevel},
            {"levelnfc", W::kLevelNfc},
            {"levelnfcn", W::kLevelNfc},
            {"levelstartat", W::kLevelStartAt},
            {"listoverridetable", W::kOverrideTable},
            {"listoverride", W::kOverride},
            {"field", W::kField},
            {"fldrslt", W::kFldrslt},
            {"result", W::kResult},
            {"object", W::kObject},
            {"shppict", W::kShppict},
            {"pict", W::kPict},
            {"pngblip", W::kPngblip},
            {"jpegblip", W::kJpegblip},
            {"dibitmap", W::kDibitmap},
            {"wmetafile", W::kWmetafile},
            {"emfblip", W::kEmfblip},
            {"macpict", W::kOtherPict},
            {"pmmetafile", W::kOtherPict},
            {"wbitmap", W::kOtherPict},
            {"picw", W::kPicw},
            {"pich", W::kPich},
            {"picwgoal", W::kPicwgoal},
            {"pichgoal", W::kPichgoal},
            {"picscalex", W::kPicscalex},
            {"picscaley", W::kPicscaley},
            {"bin", W::kBin},
        };
        for (const auto& [word, w] : kWords)
            t.Add(word, w);
        // Destinations whose content is neither text nor formatting.
        static constexpr std::string_view kSkipped[] = {"stylesheet",
                                                        "info",
                                                        "header",
                                                        "headerl",
                                                        "headerr",
                                                        "headerf",
                                                        "footer",
                                                        "footerl",
                                                        "footerr",
                                                        "footerf",
                                                        "footnote",
                                                        "annotation",
                                                        "xe",
                                                        "tc",
                                                        "txe",
                                                        "rxe",
                                                        "pntext",
                                                        "listtext",
                                                        "nonshppict",
                                                        "fldinst",
                                                        "author",
                                                        "operator",
                                                        "title",
                                                        "subject",
                                                        "keywords",
                                                        "comment",
                                                        "doccomm",
                                                        "company",
                                                        "revtbl",
                                                        "filetbl",
                                                        "template",
                                                        "objdata",
                                                        "objclass",
                                                        "objname",
                                                        "private",
                                                        "atnid",
                                                        "atnauthor",
                                                        "bkmkstart",
                                                        "bkmkend",
                                                        "do",
                                                        "shpinst",
                                                        "picprop",
                                                        "datafield",
                                                        "blipuid",
                                                        "generator",
                                                        "colorschememapping",
                                                        "themedata",
                                                        "latentstyles",
                                                        "datastore",
                                                        "xmlnstbl",
                                                        "rsidtbl",
                                                        "userprops",
                                                        "ftnsep",
                                                        "ftnsepc",
                                                        "aftnsep",
                                                        "aftnsepc",
                                                        "ftncn",
                                                        "aftncn",
                                                        "fchars",
                                                        "lchars",
                                                        "pnseclvl",
                                                        "lfolevel",
                                                        "leveltext",
                                                        "levelnumbers",
                                                        "listname",
                                                        "listpicture",
                                                        "falt",
                                                        "panose",
                                                        "buptim",
                                                        "creatim",
                                                        "printim",
                                                        "revtim",
                                                        "hlinkbase",
                                                        "formfield",
                                                        "docvar",
                                                        "objalias",
                                                        "objsect",
                                                        "pgdsctbl",
                                                        "mmathPr",
                                                        "wgrffmtfilter",
                                                        "fontemb",
                                                        "fontfile",
                                                        "listlevelpicture",
                                                        "atrfstart",
                                                        "atrfend",
                                                        "atndate",
                                                        "atnicn",
                                                        "atnref",
                                                        "atntime",
                                                        "background",
                                                        "sp",
                                                        "sn",
                                                        "sv",
                                                        "shptxt",
                                                        "shprslt",
                                                        "shp"};
        static_assert(
            std::ranges::all_of(kWords, [](const auto& e) { return WordIndex::Fits(e.first); }));
        static_assert(std::ranges::all_of(kSkipped, WordIndex::Fits));
        for (std::string_view d : kSkipped)
            t.Add(d, W::kSkipDest);
        return t;
    }();
    return table;
}

struct CharState {
    int32_t font = -1;  // -1: the default font
    int32_t fs = 24;    // half-points
    int32_t cf = 0;
    int32_t bg = 0;
    uint32_t effects = 0;
    UnderlineType ul = UnderlineType::kNone;
    int32_t up = 0;  // half-points, negative lowers
    bool operator==(const CharState&) const = default;
};

struct ParaState {
    int32_t li = 0, ri = 0, fi = 0, sb = 0, sa = 0, sl = 0;
    bool slmult = false;
    Align align = Align::kLeft;
    Numbering num = Numbering::kNone;
    bool pnSeen = false;
    uint16_t numStart = 1;
    int32_t numTab = 0;
    char16_t textBefore = 0, textAfter = 0;
    int32_t ls = 0, ilvl = 0;
    uint8_t ntabs = 0;
    TabKind pendingKind = TabKind::kLeft;
    TabLeader pendingLeader = TabLeader::kNone;
    std::array<TabStop, kMaxTabStops> tabs{};  // past ntabs always the default
    bool operator==(const ParaState& o) const {
        // Compared at every paragraph end: only the tab stops in use.
        return li == o.li && ri == o.ri && fi == o.fi && sb == o.sb && sa == o.sa && sl == o.sl &&
               slmult == o.slmult && align == o.align && num == o.num && pnSeen == o.pnSeen &&
               numStart == o.numStart && numTab == o.numTab && textBefore == o.textBefore &&
               textAfter == o.textAfter && ls == o.ls && ilvl == o.ilvl && ntabs == o.ntabs &&
               pendingKind == o.pendingKind && pendingLeader == o.pendingLeader &&
               std::equal(tabs.begin(), tabs.begin() + ntabs, o.tabs.begin());
    }
};

struct State {
    Dest dest = Dest::kText;
    uint8_t uc = 1;
    CharState ch;
    ParaState pa;
};

struct FontEntry {
    std::string nameBytes;
    bool nameDone = false;
    int charset = 1;  // DEFAULT_CHARSET until told
    int codePage = 0;
    uint8_t family = 0, pitch = 0;
    std::string face;  // decoded, UTF-8
};

struct ListLevel {
    int nfc = 0;
    int startAt = 1;
};
struct ListDef {
    int32_t id = 0;
    std::vector<ListLevel> levels;
};

int32_t Clamp(int64_t v, int32_t lo, int32_t hi) {
    return int32_t(std::clamp<int64_t>(v, lo, hi));
}

void AppendUtf8(std::string& out, char16_t c) {
    if (c < 0x80) {
        out.push_back(char(c));
    } else if (c < 0x800) {
        out.push_back(char(0xC0 | c >> 6));
        out.push_back(char(0x80 | (c & 0x3F)));
    } else {
        out.push_back(char(0xE0 | c >> 12));
        out.push_back(char(0x80 | (c >> 6 & 0x3F)));
        out.push_back(char(0x80 | (c & 0x3F)));
    }
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The bytes that end a stretch of plain text.
constexpr std::array<bool, 256> kTextStop = [] {
    std::array<bool, 256> t{};
    for (unsigned char c : {'\\', '{', '}', '\r', '\n', '\0'})
        t[c] = true;
    return t;
}();

// Printable ASCII that is not RTF syntax: in the document's text these bytes
// stand for themselves whenever the code page keeps ASCII as it is.
constexpr std::array<bool, 256> kPlainAscii = [] {
    std::array<bool, 256> t{};
    for (int c = 0x20; c < 0x80; ++c)
        t[std::size_t(c)] = c != '\\' && c != '{' && c != '}';
    return t;
}();

// Widens the plain ASCII at the start of p[0, n) into out, which has room
// for n units, and returns how many bytes that was. Sixteen bytes at a time
// where SSE2 is there (every x86-64), eight by word arithmetic elsewhere.
std::size_t WidenPlainAscii(const char* p, std::size_t n, char16_t* out) {
    std::size_t i = 0;
#if defined(__SSE2__)
    const __m128i space = _mm_set1_epi8(0x20), backslash = _mm_set1_epi8('\\'),
                  open = _mm_set1_epi8('{'), close = _mm_set1_epi8('}'), zero = _mm_setzero_si128();
    for (; i + 16 <= n; i += 16) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        // Signed, bytes from 0x80 up are below the space too.
        __m128i bad = _mm_cmplt_epi8(v, space);
        bad = _mm_or_si128(bad, _mm_cmpeq_epi8(v, backslash));
        bad = _mm_or_si128(bad, _mm_cmpeq_epi8(v, open));
        bad = _mm_or_si128(bad, _mm_cmpeq_epi8(v, close));
        // All sixteen are stored; only those before the first bad byte count.
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_unpacklo_epi8(v, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i + 8), _mm_unpackhi_epi8(v, zero));
        if (int mask = _mm_movemask_epi8(bad))
            return i + std::size_t(__builtin_ctz(unsigned(mask)));
    }
#else
    constexpr uint64_t kOnes = 0x0101010101010101ull, kHigh = 0x8080808080808080ull;
    auto hasZero = [](uint64_t x) { return (x - kOnes) & ~x & kHigh; };
    for (; i + 8 <= n; i += 8) {
        uint64_t v;
        std::memcpy(&v, p + i, 8);
        // Any byte from 0x80 up, below 0x20, or one of the three. A false
        // alarm only leaves the bytes to the loop below.
        uint64_t bad = v & kHigh;
        bad |= (v - kOnes * 0x20) & ~v & kHigh;
        bad |= hasZero(v ^ (kOnes * uint8_t('\\')));
        bad |= hasZero(v ^ (kOnes * uint8_t('{')));
        bad |= hasZero(v ^ (kOnes * uint8_t('}')));
        if (bad) break;
        for (std::size_t k = 0; k < 8; ++k)
            out[i + k] = uint8_t(p[i + k]);
    }
#endif
    for (; i < n && kPlainAscii[uint8_t(p[i])]; ++i)
        out[i] = uint8_t(p[i]);
    return i;
}

inline bool IsAlpha(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
inline bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

class Parser {
public:
    Parser(RichTextControl& out, std::string_view in) : out_(out), in_(in) {}
    void Run();

    // Access to the model's internals goes through the friend RtfReader.
    std::u16string* text = nullptr;
    std::vector<int32_t>*runStarts = nullptr, *runFormats = nullptr, *paraStarts = nullptr,
    *paraFormats = nullptr;
    FormatPool<CharFormat, CharFormatHash>* charPool = nullptr;
    FormatPool<ParaFormat, ParaFormatHash>* paraPool = nullptr;
    std::vector<Picture>* pictures = nullptr;
    CharFormat defaultChar;

private:
    State& Top() { return stack_.back(); }
    void Push();
    void Pop();
    void ControlWord(std::string_view word, bool hasParam, int64_t param);
    void ControlSymbol(char c);
    void Text(const char* p, std::size_t n);
    void HexByte(uint8_t b);
    void Bytes(const char* p, std::size_t n);
    // Text of the document's own destination from pos up to the next byte
    // of RTF syntax or line end; returns where that byte is.
    std::size_t DocumentText(const char* data, std::size_t pos, std::size_t n);
    void FlushBytes();
    // The text appended next is in the current format: most often it is
    // already the last run's, which is checked inline.
    void StartRun() {
        if (charDirty_ || cachedCharId_ < 0 || runFormats->back() != cachedCharId_) NewRun();
    }
    void NewRun();
    void Emit(char16_t c);
    void EmitAll(const char16_t* s, std::size_t n);
    void EmitDecoded(char16_t c);
    void EndParagraph();
    void FinishParagraphFormat();
    void UpdateCodePage();
    int32_t CurrentFormat();
    CharFormat MakeCharFormat(const CharState& ch);
    ParaFormat MakeParaFormat(const ParaState& pa);
    FontEntry* FindFont(int32_t number);
    void FinishFontName(FontEntry& f);
    void InvalidateFormats() {
        cachedCharId_ = -1;
        for (CacheSlot& slot : formatCache_)
            slot.id = -1;
    }
    void BeginSkip() { skipping_ = true, skipNest_ = 0; }
    void FinishPicture();

    RichTextControl& out_;
    std::string_view in_;
    std::size_t pos_ = 0;
    std::vector<State> stack_;
    std::size_t overflow_ = 0;  // levels beyond kMaxStateDepth
    bool skipping_ = false;
    std::size_t skipNest_ = 0;
    bool starPending_ = false;
    int pendingSkip_ = 0;  // fallback characters still to skip after \u
    bool done_ = false;

    int documentCodePage_ = 1252;
    int32_t defaultFont_ = 0;
    std::map<int32_t, FontEntry> fonts_;
    FontEntry* currentFont_ = nullptr;
    std::vector<uint32_t> colours_;
    bool colourHasParts_ = false;
    int colourR_ = 0, colourG_ = 0, colourB_ = 0;
    std::vector<ListDef> lists_;
    std::map<int32_t, int32_t> overrides_;  // \ls number to list id
    int32_t overrideId_ = 0, overrideLs_ = 0;

    ByteDecoder decoder_;
    bool codePageDirty_ = true;
    std::string pendingBytes_;
    bool lastWasCr_ = false;

    int32_t cachedCharId_ = -1;
    // Recently used character states and their format ids.
    struct CacheSlot {
        CharState ch;
        int32_t id = -1;
    };
    std::array<CacheSlot, 64> formatCache_{};
    bool charDirty_ = true;  // the character state may have changed since cached
    ParaState cachedPara_;
    int32_t cachedParaId_ = -1;

    bool inPicture_ = false;
    Picture picture_;
    int pictNibble_ = -1;
};

void Parser::Push() {
    FlushBytes();
    pendingSkip_ = 0;
    starPending_ = false;
    if (stack_.size() >= kMaxStateDepth) {
        ++overflow_;
        return;
    }
    stack_.push_back(stack_.back());
}

void Parser::Pop() {
    FlushBytes();
    charDirty_ = true;
    pendingSkip_ = 0;
    starPending_ = false;
    if (overflow_ > 0) {
        --overflow_;
        return;
    }
    State popped = stack_.back();
    stack_.pop_back();
    if (stack_.size() == 1) {
        // The document's own group has closed: what follows is not RTF.
        done_ = true;
        if (popped.dest == Dest::kPict) FinishPicture();
        stack_.back() = popped;  // the state in force at the end
        return;
    }
    State& top = stack_.back();
    switch (popped.dest) {
        case Dest::kPn:
            if (top.dest != Dest::kPn) {
                // Numbering set inside {\pn ...} belongs to the paragraph.
                top.pa.num = popped.pa.num;
                top.pa.pnSeen = true;
                top.pa.numStart = popped.pa.numStart;
                top.pa.numTab = popped.pa.numTab;
                top.pa.textBefore = popped.pa.textBefore;
                top.pa.textAfter = popped.pa.textAfter;
            }
            break;
        case Dest::kPnTextBefore:
            if (top.dest != Dest::kPnTextBefore) top.pa.textBefore = popped.pa.textBefore;
            break;
        case Dest::kPnTextAfter:
            if (top.dest != Dest::kPnTextAfter) top.pa.textAfter = popped.pa.textAfter;
            break;
        case Dest::kPict:
            if (top.dest != Dest::kPict) FinishPicture();
            break;
        case Dest::kFontTable:
            if (currentFont_ && top.dest != Dest::kFontTable) currentFont_ = nullptr;
            break;
        default:
            break;
    }
    if (!(popped.ch.font == top.ch.font)) codePageDirty_ = true;
}

FontEntry* Parser::FindFont(int32_t number) {
    auto it = fonts_.find(number);
    return it == fonts_.end() ? nullptr : &it->second;
}

void Parser::FinishFontName(FontEntry& f) {
    if (!f.face.empty() || f.nameBytes.empty()) return;
    int cp = f.codePage ? f.codePage : CodePageForCharset(f.charset);
    if (cp == 0) cp = documentCodePage_;
    ByteDecoder dec;
    dec.SetCodePage(cp);
    std::u16string wide;
    std::size_t start = f.nameBytes.find_first_not_of(' ');
    if (start == std::string::npos) return;
    dec.Decode(std::string_view(f.nameBytes).substr(start), wide);
    while (!wide.empty() && wide.back() == u' ')
        wide.pop_back();
    if (wide.size() > kMaxFaceLength) wide.resize(kMaxFaceLength);
    for (char16_t c : wide)
        AppendUtf8(f.face, c);
}

void Parser::UpdateCodePage() {
    codePageDirty_ = false;
    int cp = documentCodePage_;
    int32_t number = Top().ch.font < 0 ? defaultFont_ : Top().ch.font;
    if (FontEntry* f = FindFont(number)) {
        int fcp = f->codePage ? f->codePage : CodePageForCharset(f->charset);
        if (fcp) cp = fcp;
    }
    decoder_.SetCodePage(cp);
}

CharFormat Parser::MakeCharFormat(const CharState& ch) {
    CharFormat f = defaultChar;
    int32_t number = ch.font < 0 ? defaultFont_ : ch.font;
    FontEntry* font = FindFont(number);
    if (!font && ch.font >= 0) font = FindFont(defaultFont_);
    if (font) {
        FinishFontName(*font);
        if (!font->face.empty()) f.face = font->face;
        f.charset = uint8_t(font->charset == 1 ? 0 : font->charset);
        f.pitchAndFamily = uint8_t(font->pitch | font->family << 4);
    }
    f.height = ch.fs * 10;
    auto colour = [&](int32_t index) {
        return index >= 0 && std::size_t(index) < colours_.size() ? colours_[std::size_t(index)]
                                                                  : kAutoColour;
    };
    f.colour = colour(ch.cf);
    f.background = ch.bg > 0 ? colour(ch.bg) : kAutoColour;
    f.effects = ch.effects;
    f.underlineType = ch.ul;
    if (ch.ul != UnderlineType::kNone) f.effects |= kEffectUnderline;
    f.offset = ch.up * 10;
    return f;
}

int32_t Parser::CurrentFormat() {
    if (!charDirty_ && cachedCharId_ >= 0) return cachedCharId_;
    charDirty_ = false;
    const CharState& ch = Top().ch;
    uint32_t h = uint32_t(ch.font) * 31 + uint32_t(ch.fs) * 17 + uint32_t(ch.cf) * 13 +
                 uint32_t(ch.bg) * 7 + ch.effects * 3 + uint32_t(ch.ul) * 5 + uint32_t(ch.up);
    // Two ways per set: a document alternating between two states that
    // share a set (bold text and a font change, say) still hits.
    std::size_t i = ((h * 0x9E3779B1u) >> 26) & ~std::size_t(1);
    CacheSlot* slot = &formatCache_[i];
    if (slot->id < 0 || !(slot->ch == ch)) {
        CacheSlot& other = formatCache_[i + 1];
        if (other.id >= 0 && other.ch == ch) {
            std::swap(*slot, other);
        } else {
            other = *slot;
            slot->ch = ch;
            slot->id = charPool->Intern(MakeCharFormat(ch));
        }
    }
    cachedCharId_ = slot->id;
    return cachedCharId_;
}

void Parser::NewRun() {
    int32_t id = CurrentFormat();
    if (runFormats->back() != id) {
        int32_t len = int32_t(text->size());
        if (runStarts->back() == len)
            runFormats->back() = id;
        else {
            runStarts->push_back(len);
            runFormats->push_back(id);
        }
    }
}

void Parser::Emit(char16_t c) {
    StartRun();
    text->push_back(c);
}

void Parser::EmitAll(const char16_t* s, std::size_t n) {
    StartRun();
    text->append(s, n);
}

// A character that came from bytes: controls other than the tab do not
// belong in the text, except that CR and LF end paragraphs.
void Parser::EmitDecoded(char16_t c) {
    if (c >= 0x20 || c == u'\t') {
        lastWasCr_ = false;
        Emit(c);
        return;
    }
    if (c == u'\n' && lastWasCr_) {
        lastWasCr_ = false;
        return;
    }
    lastWasCr_ = c == u'\r';
    if (c == u'\r' || c == u'\n') EndParagraph();
}

ParaFormat Parser::MakeParaFormat(const ParaState& pa) {
    ParaFormat f;
    f.alignment = pa.align;
    f.startIndent = Clamp(int64_t(pa.li) + pa.fi, -kMaxTwips, kMaxTwips);
    f.offset = -pa.fi;
    f.rightIndent = pa.ri;
    f.spaceBefore = pa.sb;
    f.spaceAfter = pa.sa;
    if (pa.sl != 0) {
        if (pa.slmult) {
            f.lineSpacingRule = 5;
            f.lineSpacing = std::abs(pa.sl) / 12;
        } else {
            f.lineSpacingRule = pa.sl > 0 ? 3 : 4;
            f.lineSpacing = std::abs(pa.sl);
        }
    }
    f.tabs.assign(pa.tabs.begin(), pa.tabs.begin() + pa.ntabs);
    if (pa.pnSeen) {
        f.numbering = pa.num;
        f.numberingStart = pa.numStart;
        f.numberingTab = pa.numTab;
    } else if (pa.ls > 0) {
        // The list-table form: \ls names an override, which names a list.
        f.numbering = Numbering::kBullet;
        auto ov = overrides_.find(pa.ls);
        int32_t listId = ov != overrides_.end() ? ov->second : -1;
        for (const ListDef& l : lists_) {
            if (l.id != listId || l.levels.empty()) continue;
            const ListLevel& lv =
                l.levels[std::size_t(std::clamp(pa.ilvl, 0, int(l.levels.size()) - 1))];
            switch (lv.nfc) {
                case 23:
                    f.numbering = Numbering::kBullet;
                    break;
                case 255:
                    f.numbering = Numbering::kNone;
                    break;
                case 1:
                    f.numbering = Numbering::kUpperRoman;
                    break;
                case 2:
                    f.numbering = Numbering::kLowerRoman;
                    break;
                case 3:
                    f.numbering = Numbering::kUpperLetter;
                    break;
                case 4:
                    f.numbering = Numbering::kLowerLetter;
                    break;
                default:
                    f.numbering = Numbering::kArabic;
                    break;
            }
            f.numberingStart = uint16_t(std::clamp(lv.startAt, 0, 32767));
            break;
        }
        if (f.numbering != Numbering::kBullet && f.numbering != Numbering::kNone)
            f.numberingStyle = kNumberPeriod;
    }
    if (f.numbering == Numbering::kNone) {
        f.numberingStart = 1;
        f.numberingTab = 0;
    } else if (pa.pnSeen && f.numbering != Numbering::kBullet) {
        if (pa.textAfter == u'.')
            f.numberingStyle = kNumberPeriod;
        else if (pa.textAfter == u')')
            f.numberingStyle = pa.textBefore == u'(' ? kNumberParens : kNumberParen;
        else
            f.numberingStyle = kNumberPlain;
    }
    return f;
}

void Parser::FinishParagraphFormat() {
    const ParaState& pa = Top().pa;
    if (cachedParaId_ < 0 || !(pa == cachedPara_)) {
        cachedPara_ = pa;
        cachedParaId_ = paraPool->Intern(MakeParaFormat(pa));
    }
    paraFormats->back() = cachedParaId_;
}

void Parser::EndParagraph() {
    FlushBytes();
    Emit(kParagraphEnd);
    FinishParagraphFormat();
    paraStarts->push_back(int32_t(text->size()));
    paraFormats->push_back(paraFormats->back());
}

void Parser::FlushBytes() {
    if (pendingBytes_.empty()) return;
    std::u16string wide;
    decoder_.Decode(pendingBytes_, wide);
    pendingBytes_.clear();
    for (char16_t c : wide)
        EmitDecoded(c);
}

void Parser::Bytes(const char* p, std::size_t n) {
    if (codePageDirty_) UpdateCodePage();
    if (decoder_.MultiByte()) {
        pendingBytes_.append(p, n);
        return;
    }
    // Characters that go into the text unchanged are decoded a stretch at a
    // time and appended together: the format and the run are looked at once
    // per stretch rather than once per character.
    constexpr std::size_t kChunk = 256;
    char16_t buf[kChunk];
    std::size_t i = 0;
    while (i < n) {
        std::size_t k = 0;
        char16_t c = 0;
        while (i < n && k < kChunk) {
            c = decoder_.DecodeSingle(uint8_t(p[i]));
            if (c < 0x20 && c != u'\t') break;
            buf[k++] = c;
            ++i;
        }
        if (k > 0) {
            lastWasCr_ = false;
            EmitAll(buf, k);
        }
        if (i < n && k < kChunk) {
            EmitDecoded(c);
            ++i;
        }
    }
}

std::size_t Parser::DocumentText(const char* data, std::size_t pos, std::size_t n) {
    if (codePageDirty_) UpdateCodePage();
    if (!decoder_.AsciiAsIs()) {
        std::size_t start = pos;
        while (pos < n && !kTextStop[uint8_t(data[pos])])
            ++pos;
        Bytes(data + start, pos - start);
        return pos;
    }
    constexpr std::size_t kChunk = 512;
    char16_t buf[kChunk];
    while (pos < n) {
        // Plain ASCII, widened without the table.
        for (;;) {
            std::size_t room = std::min(n - pos, kChunk);
            std::size_t got = WidenPlainAscii(data + pos, room, buf);
            if (got > 0) {
                lastWasCr_ = false;
                EmitAll(buf, got);
                pos += got;
            }
            if (got < room || pos >= n) break;
        }
        // Then what needs the table: other bytes up to the next plain ASCII.
        std::size_t start = pos;
        while (pos < n && !kTextStop[uint8_t(data[pos])] && !kPlainAscii[uint8_t(data[pos])])
            ++pos;
        if (pos == start) break;  // a byte that ends the text
        Bytes(data + start, pos - start);
    }
    return pos;
}

void Parser::HexByte(uint8_t b) {
    State& s = Top();
    switch (s.dest) {
        case Dest::kText:
            if (codePageDirty_) UpdateCodePage();
            if (decoder_.MultiByte()) {
                pendingBytes_.push_back(char(b));
            } else {
                EmitDecoded(decoder_.DecodeSingle(b));
            }
            break;
        case Dest::kFontTable:
            if (currentFont_ && !currentFont_->nameDone && currentFont_->nameBytes.size() < 256)
                currentFont_->nameBytes.push_back(char(b));
            break;
        case Dest::kPnTextBefore:
        case Dest::kPnTextAfter: {
            char16_t c = Cp1252ToUnicode(b);
            char16_t& slot = s.dest == Dest::kPnTextBefore ? s.pa.textBefore : s.pa.textAfter;
            if (!slot) slot = c;
            break;
        }
        default:
            break;
    }
}

void Parser::Text(const char* p, std::size_t n) {
    State& s = Top();
    switch (s.dest) {
        case Dest::kText:
            Bytes(p, n);
            break;
        case Dest::kFontTable:
            for (std::size_t i = 0; i < n; ++i) {
                if (!currentFont_ || currentFont_->nameDone) break;
                if (p[i] == ';') {
                    currentFont_->nameDone = true;
                } else if (currentFont_->nameBytes.size() < 256) {
                    currentFont_->nameBytes.push_back(p[i]);
                }
            }
            break;
        case Dest::kColourTable:
            for (std::size_t i = 0; i < n; ++i) {
                if (p[i] != ';') continue;
                colours_.push_back(colourHasParts_ ? MakeColour(colourR_, colourG_, colourB_)
                                                   : kAutoColour);
                colourHasParts_ = false;
                colourR_ = colourG_ = colourB_ = 0;
                InvalidateFormats();
            }
            break;
        case Dest::kPict:
            if (!inPicture_) break;
            for (std::size_t i = 0; i < n; ++i) {
                int v = HexValue(p[i]);
                if (v < 0) continue;
                if (pictNibble_ < 0)
                    pictNibble_ = v;
                else {
                    picture_.data.push_back(char(pictNibble_ << 4 | v));
                    pictNibble_ = -1;
                }
            }
            break;
        case Dest::kPnTextBefore:
        case Dest::kPnTextAfter: {
            char16_t& slot = s.dest == Dest::kPnTextBefore ? s.pa.textBefore : s.pa.textAfter;
            for (std::size_t i = 0; i < n && !slot; ++i)
                if (p[i] != ' ') slot = Cp1252ToUnicode(uint8_t(p[i]));
            break;
        }
        default:
            break;
    }
}

void Parser::FinishPicture() {
    if (!inPicture_) return;
    inPicture_ = false;
    if (picture_.data.empty()) return;
    picture_.position = int32_t(text->size());
    Emit(kObjectChar);
    pictures->push_back(std::move(picture_));
    picture_ = Picture();
}

void Parser::ControlSymbol(char c) {
    State& s = Top();
    if (c == '*') {
        starPending_ = true;
        return;
    }
    if (pendingSkip_ > 0) {
        --pendingSkip_;
        return;
    }
    char16_t ch = 0;
    switch (c) {
        case '\\':
        case '{':
        case '}':
            ch = char16_t(c);
            break;
        case '~':
            ch = 0x00A0;
            break;
        case '-':
            ch = 0x00AD;
            break;
        case '_':
            ch = 0x2011;
            break;
        case '\r':
        case '\n':
            if (s.dest == Dest::kText) EndParagraph();
            return;
        case '\t':
            ch = u'\t';
            break;
        default:
            return;
    }
    if (s.dest == Dest::kText) {
        FlushBytes();
        lastWasCr_ = false;
        Emit(ch);
    } else if (ch < 0x80) {
        char b = char(ch);
        Text(&b, 1);
    }
}

void Parser::ControlWord(std::string_view word, bool hasParam, int64_t param) {
    W w = WordTable().Find(word);
    bool star = starPending_;
    starPending_ = false;
    if (pendingSkip_ > 0 && w != W::kBin) {
        --pendingSkip_;
        return;
    }
    if (w != W::kU) {
        FlushBytes();
        lastWasCr_ = false;
    }
    if ((w >= W::kPlain && w <= W::kChcbpat) || w == W::kF) charDirty_ = true;
    State& s = Top();
    if (w == W::kUnknown || w == W::kSkipDest) {
        if (star || w == W::kSkipDest) BeginSkip();
        return;
    }
    int32_t p = Clamp(hasParam ? param : 0, INT32_MIN, INT32_MAX);
    bool on = !hasParam || param != 0;
    Dest d = s.dest;
    auto twips = [&] { return Clamp(p, -kMaxTwips, kMaxTwips); };

    // Words of the tables, which mean something else there.
    if (d == Dest::kFontTable) {
        switch (w) {
            case W::kF: {
                FontEntry& f = fonts_[p];
                f = FontEntry();
                currentFont_ = &f;
                codePageDirty_ = true;
                InvalidateFormats();
                return;
            }
            case W::kFnil:
            case W::kFtech:
            case W::kFbidi:
                if (currentFont_) currentFont_->family = 0;
                return;
            case W::kFroman:
                if (currentFont_) currentFont_->family = 1;
                return;
            case W::kFswiss:
                if (currentFont_) currentFont_->family = 2;
                return;
            case W::kFmodern:
                if (currentFont_) currentFont_->family = 3;
                return;
            case W::kFscript:
                if (currentFont_) currentFont_->family = 4;
                return;
            case W::kFdecor:
                if (currentFont_) currentFont_->family = 5;
                return;
            case W::kFcharset:
                if (currentFont_) currentFont_->charset = std::clamp(p, 0, 255);
                return;
            case W::kFprq:
                if (currentFont_) currentFont_->pitch = uint8_t(std::clamp(p, 0, 2));
                return;
            case W::kCpg:
                if (currentFont_) currentFont_->codePage = std::clamp(p, 0, 65535);
                return;
            default:
                break;
        }
    } else if (d == Dest::kColourTable) {
        switch (w) {
            case W::kRed:
                colourR_ = std::clamp(p, 0, 255), colourHasParts_ = true;
                return;
            case W::kGreen:
                colourG_ = std::clamp(p, 0, 255), colourHasParts_ = true;
                return;
            case W::kBlue:
                colourB_ = std::clamp(p, 0, 255), colourHasParts_ = true;
                return;
            default:
                break;
        }
    } else if (d == Dest::kListTable || d == Dest::kList || d == Dest::kListLevel) {
        switch (w) {
            case W::kList:
                if (d == Dest::kListTable) {
                    lists_.emplace_back();
                    s.dest = Dest::kList;
                }
                return;
            case W::kListId:
                if (d == Dest::kList && !lists_.empty()) lists_.back().id = p;
                return;
            case W::kListLevel:
                if (d == Dest::kList && !lists_.empty()) {
                    if (lists_.back().levels.size() < kMaxListLevels) {
                        lists_.back().levels.emplace_back();
                        s.dest = Dest::kListLevel;
                    } else {
                        BeginSkip();
                    }
                }
                return;
            case W::kLevelNfc:
                if (d == Dest::kListLevel) lists_.back().levels.back().nfc = p;
                return;
            case W::kLevelStartAt:
                if (d == Dest::kListLevel) lists_.back().levels.back().startAt = p;
                return;
            default:
                return;  // paragraph and font words of the list levels
        }
    } else if (d == Dest::kOverrideTable || d == Dest::kOverride) {
        switch (w) {
            case W::kOverride:
                if (d == Dest::kOverrideTable) {
                    s.dest = Dest::kOverride;
                    overrideId_ = overrideLs_ = 0;
                }
                return;
            case W::kListId:
                if (d == Dest::kOverride) overrideId_ = p;
                if (d == Dest::kOverride && overrideLs_) overrides_[overrideLs_] = p;
                return;
            case W::kLs:
                if (d == Dest::kOverride) overrideLs_ = p, overrides_[p] = overrideId_;
                return;
            default:
                return;
        }
    } else if (d == Dest::kPict) {
        switch (w) {
            case W::kPngblip:
                picture_.kind = PictureKind::kPng;
                return;
            case W::kJpegblip:
                picture_.kind = PictureKind::kJpeg;
                return;
            case W::kDibitmap:
                picture_.kind = PictureKind::kDib;
                return;
            case W::kWmetafile:
                picture_.kind = PictureKind::kWmf;
                picture_.metafileMode = std::clamp(p, 0, 255);
                return;
            case W::kEmfblip:
                picture_.kind = PictureKind::kEmf;
                return;
            case W::kOtherPict:
                picture_.kind = PictureKind::kOther;
                return;
            case W::kPicw:
                picture_.width = std::clamp(p, 0, 1 << 20);
                return;
            case W::kPich:
                picture_.height = std::clamp(p, 0, 1 << 20);
                return;
            case W::kPicwgoal:
                picture_.goalWidth = std::clamp(p, 0, 1 << 20);
                return;
            case W::kPichgoal:
                picture_.goalHeight = std::clamp(p, 0, 1 << 20);
                return;
            case W::kPicscalex:
                picture_.scaleX = std::clamp(p, 1, 10000);
                return;
            case W::kPicscaley:
                picture_.scaleY = std::clamp(p, 1, 10000);
                return;
            case W::kBin: {
                std::size_t n =
                    std::size_t(std::clamp<int64_t>(param, 0, int64_t(in_.size() - pos_)));
                if (inPicture_) picture_.data.append(in_.substr(pos_, n));
                pos_ += n;
                return;
            }
            default:
                return;
        }
    } else if (d == Dest::kPn || d == Dest::kPnTextBefore || d == Dest::kPnTextAfter) {
        switch (w) {
            case W::kPnlvlblt:
                s.pa.num = Numbering::kBullet;
                return;
            case W::kPnlvlbody:
            case W::kPnlvl:
                if (s.pa.num == Numbering::kNone || s.pa.num == Numbering::kBullet)
                    s.pa.num = Numbering::kArabic;
                return;
            case W::kPnlvlcont:
                s.pa.num = Numbering::kNone;
                return;
            case W::kPndec:
                s.pa.num = Numbering::kArabic;
                return;
            case W::kPnucltr:
                s.pa.num = Numbering::kUpperLetter;
                return;
            case W::kPnlcltr:
                s.pa.num = Numbering::kLowerLetter;
                return;
            case W::kPnucrm:
                s.pa.num = Numbering::kUpperRoman;
                return;
            case W::kPnlcrm:
                s.pa.num = Numbering::kLowerRoman;
                return;
            case W::kPnstart:
                s.pa.numStart = uint16_t(std::clamp(p, 0, 32767));
                return;
            case W::kPnindent:
                s.pa.numTab = std::clamp(p, 0, kMaxTwips);
                return;
            case W::kPntxta:
                s.dest = Dest::kPnTextAfter;
                return;
            case W::kPntxtb:
                s.dest = Dest::kPnTextBefore;
                return;
            default:
                return;  // the bullet's own font, size and colour
        }
    } else if (d != Dest::kText && d != Dest::kUprAnsi && d != Dest::kIgnoreText) {
        return;
    }

    CharState& ch = s.ch;
    ParaState& pa = s.pa;
    switch (w) {
        // document
        case W::kAnsi:
            documentCodePage_ = 1252, codePageDirty_ = true;
            break;
        case W::kMac:
            documentCodePage_ = 10000, codePageDirty_ = true;
            break;
        case W::kPc:
            documentCodePage_ = 437, codePageDirty_ = true;
            break;
        case W::kPca:
            documentCodePage_ = 850, codePageDirty_ = true;
            break;
        case W::kAnsiCpg:
            documentCodePage_ = std::clamp(p, 0, 65535), codePageDirty_ = true;
            break;
        case W::kDeff:
            defaultFont_ = p, codePageDirty_ = true, InvalidateFormats();
            break;
        case W::kUc:
            s.uc = uint8_t(std::clamp(p, 0, 16));
            break;
        case W::kFontTable:
            s.dest = Dest::kFontTable, currentFont_ = nullptr;
            break;
        case W::kColourTable:
            s.dest = Dest::kColourTable;
            colours_.clear();
            colourHasParts_ = false;
            break;
        case W::kListTable:
            s.dest = Dest::kListTable;
            break;
        case W::kOverrideTable:
            s.dest = Dest::kOverrideTable;
            break;
        // text
        case W::kPar:
        case W::kRow:
        case W::kPage:
        case W::kSect:
            if (d == Dest::kText) EndParagraph();
            break;
        case W::kLine:
            if (d == Dest::kText) Emit(kLineBreak);
            break;
        case W::kTab:
        case W::kCell:
            if (d == Dest::kText) Emit(u'\t');
            break;
        case W::kEmdash:
            if (d == Dest::kText) Emit(0x2014);
            break;
        case W::kEndash:
            if (d == Dest::kText) Emit(0x2013);
            break;
        case W::kBullet:
            if (d == Dest::kText) Emit(0x2022);
            break;
        case W::kLquote:
            if (d == Dest::kText) Emit(0x2018);
            break;
        case W::kRquote:
            if (d == Dest::kText) Emit(0x2019);
            break;
        case W::kLdblquote:
            if (d == Dest::kText) Emit(0x201C);
            break;
        case W::kRdblquote:
            if (d == Dest::kText) Emit(0x201D);
            break;
        case W::kEmspace:
            if (d == Dest::kText) Emit(0x2003);
            break;
        case W::kEnspace:
            if (d == Dest::kText) Emit(0x2002);
            break;
        case W::kQmspace:
            if (d == Dest::kText) Emit(0x2005);
            break;
        case W::kZwj:
            if (d == Dest::kText) Emit(0x200D);
            break;
        case W::kZwnj:
            if (d == Dest::kText) Emit(0x200C);
            break;
        case W::kLtrmark:
            if (d == Dest::kText) Emit(0x200E);
            break;
        case W::kRtlmark:
            if (d == Dest::kText) Emit(0x200F);
            break;
        case W::kU: {
            int64_t v = hasParam ? param : 0;
            if (v < 0) v += 65536;
            if (d == Dest::kText) {
                FlushBytes();
                lastWasCr_ = false;
                char16_t c = (v < 0 || v > 0xFFFF) ? char16_t(0xFFFD) : char16_t(v);
                if (c >= 0x20 || c == u'\t')
                    Emit(c);
                else
                    EmitDecoded(c);
            }
            pendingSkip_ = s.uc;
            break;
        }
        case W::kUpr:
            s.dest = Dest::kUprAnsi;
            break;
        case W::kUd:
            if (d == Dest::kUprAnsi) s.dest = Dest::kText;
            break;
        // paragraph
        case W::kPard: {
            pa = ParaState();
            break;
        }
        case W::kQl:
            pa.align = Align::kLeft;
            break;
        case W::kQr:
            pa.align = Align::kRight;
            break;
        case W::kQc:
            pa.align = Align::kCenter;
            break;
        case W::kQj:
            pa.align = Align::kJustify;
            break;
        case W::kLi:
            pa.li = twips();
            break;
        case W::kRi:
            pa.ri = twips();
            break;
        case W::kFi:
            pa.fi = twips();
            break;
        case W::kSb:
            pa.sb = std::clamp(p, 0, kMaxTwips);
            break;
        case W::kSa:
            pa.sa = std::clamp(p, 0, kMaxTwips);
            break;
        case W::kSl:
            pa.sl = twips();
            break;
        case W::kSlmult:
            pa.slmult = on;
            break;
        case W::kTx:
        case W::kTb: {
            TabStop t{std::clamp(p, 0, kMaxTwips), w == W::kTb ? TabKind::kBar : pa.pendingKind,
                      pa.pendingLeader};
            pa.pendingKind = TabKind::kLeft;
            pa.pendingLeader = TabLeader::kNone;
            auto end = pa.tabs.begin() + pa.ntabs;
            auto at = std::lower_bound(end - pa.ntabs, end, t.position,
                                       [](const TabStop& a, int32_t v) { return a.position < v; });
            if (at != end && at->position == t.position) {
                *at = t;
            } else if (pa.ntabs < kMaxTabStops) {
                std::move_backward(at, end, end + 1);
                *at = t;
                ++pa.ntabs;
            }
            break;
        }
        case W::kTqr:
            pa.pendingKind = TabKind::kRight;
            break;
        case W::kTqc:
            pa.pendingKind = TabKind::kCenter;
            break;
        case W::kTqdec:
            pa.pendingKind = TabKind::kDecimal;
            break;
        case W::kTldot:
            pa.pendingLeader = TabLeader::kDots;
            break;
        case W::kTlhyph:
            pa.pendingLeader = TabLeader::kDashes;
            break;
        case W::kTlul:
            pa.pendingLeader = TabLeader::kUnderline;
            break;
        case W::kTlth:
            pa.pendingLeader = TabLeader::kThick;
            break;
        case W::kTleq:
            pa.pendingLeader = TabLeader::kEquals;
            break;
        // character
        case W::kPlain:
            ch = CharState();
            codePageDirty_ = true;
            break;
        case W::kB:
            ch.effects = on ? ch.effects | kEffectBold : ch.effects & ~kEffectBold;
            break;
        case W::kI:
            ch.effects = on ? ch.effects | kEffectItalic : ch.effects & ~kEffectItalic;
            break;
        case W::kStrike:
        case W::kStriked:
            ch.effects = on ? ch.effects | kEffectStrikeout : ch.effects & ~kEffectStrikeout;
            break;
        case W::kV:
            ch.effects = on ? ch.effects | kEffectHidden : ch.effects & ~kEffectHidden;
            break;
        case W::kProtect:
            ch.effects = on ? ch.effects | kEffectProtected : ch.effects & ~kEffectProtected;
            break;
        case W::kUl:
            ch.ul = on ? UnderlineType::kSingle : UnderlineType::kNone;
            break;
        case W::kUlnone:
            ch.ul = UnderlineType::kNone;
            break;
        case W::kUld:
            ch.ul = on ? UnderlineType::kDotted : UnderlineType::kNone;
            break;
        case W::kUldb:
            ch.ul = on ? UnderlineType::kDouble : UnderlineType::kNone;
            break;
        case W::kUlw:
            ch.ul = on ? UnderlineType::kWord : UnderlineType::kNone;
            break;
        case W::kUlwave:
            ch.ul = on ? UnderlineType::kWave : UnderlineType::kNone;
            break;
        case W::kUldash:
            ch.ul = on ? UnderlineType::kDash : UnderlineType::kNone;
            break;
        case W::kUlth:
            ch.ul = on ? UnderlineType::kThick : UnderlineType::kNone;
            break;
        case W::kSuper:
            ch.effects = (ch.effects & ~kEffectSubscript) | kEffectSuperscript;
            if (hasParam && param == 0) ch.effects &= ~kEffectSuperscript;
            break;
        case W::kSub:
            ch.effects = (ch.effects & ~kEffectSuperscript) | kEffectSubscript;
            if (hasParam && param == 0) ch.effects &= ~kEffectSubscript;
            break;
        case W::kNosupersub:
            ch.effects &= ~(kEffectSubscript | kEffectSuperscript);
            break;
        case W::kUp:
            ch.up = hasParam ? std::clamp(p, 0, 3276) : 6;
            break;
        case W::kDn:
            ch.up = -(hasParam ? std::clamp(p, 0, 3276) : 6);
            break;
        case W::kFs:
            ch.fs = p > 0 ? std::min(p, 3276) : 24;
            break;
        case W::kF:
            ch.font = std::max(p, 0), codePageDirty_ = true;
            break;
        case W::kCf:
            ch.cf = std::max(p, 0);
            break;
        case W::kCb:
        case W::kHighlight:
        case W::kChcbpat:
            ch.bg = std::max(p, 0);
            break;
        // numbering
        case W::kPn:
            s.dest = Dest::kPn, pa.num = Numbering::kArabic, pa.numStart = 1, pa.numTab = 0,
            pa.textBefore = pa.textAfter = 0;
            break;
        case W::kLs:
            pa.ls = std::max(p, 0);
            break;
        case W::kIlvl:
            pa.ilvl = std::clamp(p, 0, kMaxListLevels - 1);
            break;
        // fields, objects, pictures
        case W::kField:
        case W::kFldrslt:
        case W::kResult:
        case W::kObject:
        case W::kShppict:
            break;
        case W::kPict:
            if (inPicture_ || d != Dest::kText) {
                BeginSkip();
            } else {
                s.dest = Dest::kPict;
                inPicture_ = true;
                picture_ = Picture();
                pictNibble_ = -1;
            }
            break;
        case W::kBin: {
            // Binary data outside a picture is skipped unread.
            std::size_t n = std::size_t(std::clamp<int64_t>(param, 0, int64_t(in_.size() - pos_)));
            pos_ += n;
            break;
        }
        default:
            break;
    }
}

void Parser::Run() {
    stack_.reserve(64);
    stack_.emplace_back();
    const char* data = in_.data();
    std::size_t n = in_.size();
    while (pos_ < n && !done_) {
        char c = data[pos_];
        if (skipping_) {
            // Inside a skipped destination only braces, escapes and \bin matter.
            if (c == '{') {
                ++skipNest_;
                ++pos_;
            } else if (c == '}') {
                if (skipNest_ == 0) {
                    skipping_ = false;
                    continue;  // the group's own closing brace, handled below
                }
                --skipNest_;
                ++pos_;
            } else if (c == '\\') {
                ++pos_;
                if (pos_ < n && IsAlpha(data[pos_])) {
                    std::size_t start = pos_;
                    while (pos_ < n && IsAlpha(data[pos_]))
                        ++pos_;
                    bool isBin = pos_ - start == 3 && std::memcmp(data + start, "bin", 3) == 0;
                    int64_t v = 0;
                    bool neg = pos_ < n && data[pos_] == '-';
                    if (neg) ++pos_;
                    int digits = 0;
                    while (pos_ < n && IsDigit(data[pos_])) {
                        if (++digits <= 10) v = v * 10 + (data[pos_] - '0');
                        ++pos_;
                    }
                    if (pos_ < n && data[pos_] == ' ') ++pos_;
                    if (isBin && !neg && v > 0)
                        pos_ += std::size_t(std::min<int64_t>(v, int64_t(n - pos_)));
                } else if (pos_ < n) {
                    ++pos_;
                }
            } else {
                // Jump to the next character that matters.
                std::size_t p = pos_;
                while (p < n && data[p] != '{' && data[p] != '}' && data[p] != '\\')
                    ++p;
                pos_ = p;
            }
            continue;
        }
        switch (c) {
            case '{':
                Push();
                ++pos_;
                break;
            case '}':
                Pop();
                ++pos_;
                break;
            case '\\': {
                ++pos_;
                if (pos_ >= n) break;
                char x = data[pos_];
                if (IsAlpha(x)) {
                    // A local position: the bytes read could alias the member.
                    std::size_t p = pos_, start = p;
                    while (p < n && IsAlpha(data[p]))
                        ++p;
                    std::string_view word(data + start, std::min<std::size_t>(p - start, 32));
                    bool hasParam = false, neg = false;
                    int64_t v = 0;
                    if (p < n && data[p] == '-' && p + 1 < n && IsDigit(data[p + 1])) {
                        neg = true;
                        ++p;
                    }
                    int digits = 0;
                    while (p < n && IsDigit(data[p])) {
                        hasParam = true;
                        if (++digits <= 10) v = v * 10 + (data[p] - '0');
                        ++p;
                    }
                    if (neg) v = -v;
                    if (p < n && data[p] == ' ') ++p;
                    pos_ = p;
                    ControlWord(word, hasParam, v);
                } else if (x == '\'') {
                    ++pos_;
                    int hi = pos_ < n ? HexValue(data[pos_]) : -1;
                    int lo = pos_ + 1 < n ? HexValue(data[pos_ + 1]) : -1;
                    if (hi < 0 || lo < 0) {
                        // a broken escape: skip what there is of it
                        if (hi >= 0) ++pos_;
                        break;
                    }
                    pos_ += 2;
                    starPending_ = false;
                    if (pendingSkip_ > 0) {
                        --pendingSkip_;
                        break;
                    }
                    HexByte(uint8_t(hi << 4 | lo));
                } else {
                    ++pos_;
                    ControlSymbol(x);
                }
                break;
            }
            case '\r':
            case '\n':
            case '\0':
                ++pos_;
                break;
            default: {
                starPending_ = false;
                // Fallback characters of a \u first.
                std::size_t p = pos_;
                while (pendingSkip_ > 0 && p < n && !kTextStop[uint8_t(data[p])]) {
                    ++p;
                    --pendingSkip_;
                }
                pos_ = p;
                if (p >= n || kTextStop[uint8_t(data[p])]) break;
                if (Top().dest == Dest::kText) {
                    pos_ = DocumentText(data, p, n);
                    break;
                }
                std::size_t start = p;
                while (p < n && !kTextStop[uint8_t(data[p])])
                    ++p;
                pos_ = p;
                Text(data + start, p - start);
                break;
            }
        }
    }
    // Truncated input: close what is still open, so that a picture or a
    // numbering group in progress still counts.
    while (!done_)
        Pop();
    FlushBytes();
    FinishParagraphFormat();
}

}  // namespace

bool RtfReader::Read(std::string_view rtf) {
    std::size_t start = 0;
    while (start < rtf.size() &&
           (rtf[start] == ' ' || rtf[start] == '\t' || rtf[start] == '\r' || rtf[start] == '\n'))
        ++start;
    rtf.remove_prefix(start);
    if (!(rtf.starts_with("{\\rtf") || rtf.starts_with("{\\urtf"))) return false;
    Parser parser(out_, rtf);
    parser.text = &out_.text_;
    parser.runStarts = &out_.runStarts_;
    parser.runFormats = &out_.runFormats_;
    parser.paraStarts = &out_.paraStarts_;
    parser.paraFormats = &out_.paraFormats_;
    parser.charPool = &out_.charPool_;
    parser.paraPool = &out_.paraPool_;
    parser.pictures = &out_.pictures_;
    parser.defaultChar = out_.defaultChar_;
    // No input byte yields more than one character, so this is the most the
    // text can need; what is left over is given back below.
    out_.text_.reserve(rtf.size());
    parser.Run();
    if (out_.text_.capacity() > 2 * out_.text_.size() + 4096) out_.text_.shrink_to_fit();
    out_.MergeRuns();
    out_.InvalidateLines();
    return true;
}

}  // namespace qb
