#include "json_in.h"

#include <cmath>
#include <cstdlib>

namespace qbx {

const JsonValue* JsonValue::Find(std::string_view key) const {
    if (type != Type::kObject) return nullptr;
    for (auto it = members.rbegin(); it != members.rend(); ++it)
        if (it->first == key) return &it->second;
    return nullptr;
}

std::optional<int32_t> JsonValue::AsInt32() const {
    if (type != Type::kNumber || std::floor(number) != number || number < INT32_MIN ||
        number > INT32_MAX)
        return std::nullopt;
    return int32_t(number);
}

std::string ToUtf8(std::u16string_view s) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        uint32_t cp = s[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 &&
            s[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        if (cp < 0x80) {
            out += char(cp);
        } else if (cp < 0x800) {
            out += char(0xC0 | cp >> 6);
            out += char(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += char(0xE0 | cp >> 12);
            out += char(0x80 | (cp >> 6 & 0x3F));
            out += char(0x80 | (cp & 0x3F));
        } else {
            out += char(0xF0 | cp >> 18);
            out += char(0x80 | (cp >> 12 & 0x3F));
            out += char(0x80 | (cp >> 6 & 0x3F));
            out += char(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

namespace {

class Parser {
public:
    explicit Parser(std::string_view text) : s_(text) {}

    std::optional<JsonValue> Parse(std::string& error) {
        JsonValue root;
        // The containers being filled, innermost last; each array or object
        // is entered when its opening bracket is read.
        std::vector<JsonValue*> open;
        JsonValue* slot = &root;  // where the next value goes
        while (true) {
            SkipSpace();
            if (!ParseScalarOrOpen(*slot, open, error)) return std::nullopt;
            // After a value (or an opening bracket): close containers and find
            // the next slot.
            while (true) {
                if (open.empty()) {
                    SkipSpace();
                    if (i_ != s_.size()) return Fail(error, "text after the value");
                    return root;
                }
                JsonValue& c = *open.back();
                SkipSpace();
                char close = c.type == JsonValue::Type::kArray ? ']' : '}';
                if (justOpened_ && Peek() == close) {
                    ++i_;
                    justOpened_ = false;
                    open.pop_back();
                    continue;
                }
                if (!justOpened_) {
                    if (Peek() == close) {
                        ++i_;
                        open.pop_back();
                        continue;
                    }
                    if (Peek() != ',') return Fail(error, "',' or a closing bracket expected");
                    ++i_;
                    SkipSpace();
                }
                justOpened_ = false;
                if (c.type == JsonValue::Type::kArray) {
                    c.items.emplace_back();
                    slot = &c.items.back();
                } else {
                    std::u16string key;
                    if (Peek() != '"' || !ParseString(key, error)) {
                        if (error.empty()) error = "a member name expected";
                        return std::nullopt;
                    }
                    SkipSpace();
                    if (Peek() != ':') return Fail(error, "':' expected");
                    ++i_;
                    c.members.push_back({ToUtf8(key), JsonValue{}});
                    slot = &c.members.back().second;
                }
                break;
            }
        }
    }

private:
    static std::nullopt_t Fail(std::string& error, const char* why) {
        error = why;
        return std::nullopt;
    }
    char Peek() const { return i_ < s_.size() ? s_[i_] : '\0'; }
    void SkipSpace() {
        while (i_ < s_.size() &&
               (s_[i_] == ' ' || s_[i_] == '\t' || s_[i_] == '\n' || s_[i_] == '\r'))
            ++i_;
    }
    bool Literal(std::string_view word) {
        if (s_.substr(i_, word.size()) != word) return false;
        i_ += word.size();
        return true;
    }

    bool ParseScalarOrOpen(JsonValue& v, std::vector<JsonValue*>& open, std::string& error) {
        char c = Peek();
        if (c == '[' || c == '{') {
            if (int(open.size()) >= kJsonMaxDepth) return Fail(error, "nested too deeply"), false;
            ++i_;
            v.type = c == '[' ? JsonValue::Type::kArray : JsonValue::Type::kObject;
            open.push_back(&v);
            justOpened_ = true;
            return true;
        }
        if (c == '"') {
            v.type = JsonValue::Type::kString;
            return ParseString(v.string, error);
        }
        if (Literal("null")) return true;
        if (Literal("true") || Literal("false")) {
            v.type = JsonValue::Type::kBool;
            v.boolean = s_[i_ - 1] == 'e' && s_[i_ - 2] == 'u';
            return true;
        }
        if (c == '-' || (c >= '0' && c <= '9')) return ParseNumber(v, error);
        return Fail(error, i_ >= s_.size() ? "a value expected" : "not a JSON value"), false;
    }

    bool ParseNumber(JsonValue& v, std::string& error) {
        size_t start = i_;
        auto digits = [this] {
            size_t from = i_;
            while (i_ < s_.size() && s_[i_] >= '0' && s_[i_] <= '9')
                ++i_;
            return i_ - from;
        };
        if (Peek() == '-') ++i_;
        if (Peek() == '0') {
            ++i_;
        } else if (digits() == 0) {
            return Fail(error, "a malformed number"), false;
        }
        if (Peek() == '.') {
            ++i_;
            if (digits() == 0) return Fail(error, "a malformed number"), false;
        }
        if (Peek() == 'e' || Peek() == 'E') {
            ++i_;
            if (Peek() == '+' || Peek() == '-') ++i_;
            if (digits() == 0) return Fail(error, "a malformed number"), false;
        }
        std::string token(s_.substr(start, i_ - start));
        v.type = JsonValue::Type::kNumber;
        v.number = std::strtod(token.c_str(), nullptr);
        return true;
    }

    bool Hex4(uint32_t& out) {
        if (s_.size() - i_ < 4) return false;
        out = 0;
        for (int k = 0; k < 4; ++k) {
            char h = s_[i_++];
            out <<= 4;
            if (h >= '0' && h <= '9')
                out |= uint32_t(h - '0');
            else if (h >= 'a' && h <= 'f')
                out |= uint32_t(h - 'a' + 10);
            else if (h >= 'A' && h <= 'F')
                out |= uint32_t(h - 'A' + 10);
            else
                return false;
        }
        return true;
    }

    // At the opening quote.
    bool ParseString(std::u16string& out, std::string& error) {
        ++i_;
        while (true) {
            if (i_ >= s_.size()) return Fail(error, "an unterminated string"), false;
            unsigned char c = static_cast<unsigned char>(s_[i_]);
            if (c == '"') {
                ++i_;
                return true;
            }
            if (c < 0x20) return Fail(error, "a control character in a string"), false;
            if (c == '\\') {
                ++i_;
                char e = Peek();
                ++i_;
                switch (e) {
                    case '"':
                        out += u'"';
                        break;
                    case '\\':
                        out += u'\\';
                        break;
                    case '/':
                        out += u'/';
                        break;
                    case 'b':
                        out += u'\b';
                        break;
                    case 'f':
                        out += u'\f';
                        break;
                    case 'n':
                        out += u'\n';
                        break;
                    case 'r':
                        out += u'\r';
                        break;
                    case 't':
                        out += u'\t';
                        break;
                    case 'u': {
                        uint32_t u;
                        if (!Hex4(u)) return Fail(error, "a malformed \\u escape"), false;
                        if (u >= 0xDC00 && u <= 0xDFFF)
                            return Fail(error, "an unpaired surrogate"), false;
                        if (u >= 0xD800 && u <= 0xDBFF) {
                            uint32_t low;
                            if (!Literal("\\u") || !Hex4(low) || low < 0xDC00 || low > 0xDFFF)
                                return Fail(error, "an unpaired surrogate"), false;
                            out += char16_t(u);
                            out += char16_t(low);
                        } else {
                            out += char16_t(u);
                        }
                        break;
                    }
                    default:
                        return Fail(error, "an unknown escape in a string"), false;
                }
                continue;
            }
            // UTF-8: the length from the lead byte, no overlong forms, no
            // surrogates, nothing above U+10FFFF.
            uint32_t cp;
            size_t n;
            if (c < 0x80) {
                cp = c;
                n = 1;
            } else if (c >= 0xC2 && c <= 0xDF) {
                cp = c & 0x1F;
                n = 2;
            } else if (c >= 0xE0 && c <= 0xEF) {
                cp = c & 0x0F;
                n = 3;
            } else if (c >= 0xF0 && c <= 0xF4) {
                cp = c & 0x07;
                n = 4;
            } else {
                return Fail(error, "a string that is not UTF-8"), false;
            }
            if (s_.size() - i_ < n) return Fail(error, "a string that is not UTF-8"), false;
            for (size_t k = 1; k < n; ++k) {
                unsigned char t = static_cast<unsigned char>(s_[i_ + k]);
                if ((t & 0xC0) != 0x80) return Fail(error, "a string that is not UTF-8"), false;
                cp = cp << 6 | (t & 0x3F);
            }
            if ((n == 3 && cp < 0x800) || (n == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
                (cp >= 0xD800 && cp <= 0xDFFF))
                return Fail(error, "a string that is not UTF-8"), false;
            i_ += n;
            if (cp >= 0x10000) {
                cp -= 0x10000;
                out += char16_t(0xD800 + (cp >> 10));
                out += char16_t(0xDC00 + (cp & 0x3FF));
            } else {
                out += char16_t(cp);
            }
        }
    }

    std::string_view s_;
    size_t i_ = 0;
    bool justOpened_ = false;  // the innermost container has no element yet
};

}  // namespace

std::optional<JsonValue> ParseJson(std::string_view text, std::string& error) {
    error.clear();
    return Parser(text).Parse(error);
}

}  // namespace qbx
