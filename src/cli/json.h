// A small streaming JSON writer for qbx output: values are written in
// order, commas and escaping are its business. Strings must be UTF-8.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace qbx {

class JsonWriter {
public:
    // Elements nested up to `breakDepth` start on a line of their own.
    explicit JsonWriter(std::FILE* out, int breakDepth = 2) : out_(out), breakDepth_(breakDepth) {}
    ~JsonWriter() { Flush(); }

    void BeginObject() { Open('{'); }
    // An object kept on one line whatever its depth.
    void BeginInlineObject() { Open('{', true); }
    void EndObject() { Close('}'); }
    void BeginArray() { Open('['); }
    void EndArray() { Close(']'); }

    void Key(std::string_view k) {
        Separate();
        Quote(k);
        buf_ += ": ";
        afterKey_ = true;
    }
    void String(std::string_view s) {
        Value();
        Quote(s);
    }
    void Int(int64_t v) {
        Value();
        buf_ += std::to_string(v);
    }
    void Bool(bool b) {
        Value();
        buf_ += b ? "true" : "false";
    }
    void Null() {
        Value();
        buf_ += "null";
    }

    void Flush() {
        if (!buf_.empty()) std::fwrite(buf_.data(), 1, buf_.size(), out_);
        buf_.clear();
    }

    static void Escape(std::string& out, std::string_view s) {
        static const char kHex[] = "0123456789abcdef";
        for (unsigned char c : s) {
            switch (c) {
                case '"':
                    out += "\\\"";
                    break;
                case '\\':
                    out += "\\\\";
                    break;
                case '\b':
                    out += "\\b";
                    break;
                case '\f':
                    out += "\\f";
                    break;
                case '\n':
                    out += "\\n";
                    break;
                case '\r':
                    out += "\\r";
                    break;
                case '\t':
                    out += "\\t";
                    break;
                default:
                    if (c < 0x20 || c == 0x7F) {
                        out += "\\u00";
                        out += kHex[c >> 4];
                        out += kHex[c & 15];
                    } else {
                        out += static_cast<char>(c);
                    }
            }
        }
    }

private:
    void Quote(std::string_view s) {
        buf_ += '"';
        Escape(buf_, s);
        buf_ += '"';
        if (buf_.size() > (1u << 20)) Flush();
    }
    // Before a value: a comma and line break unless it follows its key.
    void Value() {
        if (afterKey_) {
            afterKey_ = false;
            return;
        }
        Separate();
    }
    void Separate() {
        if (!first_.empty()) {
            if (!first_.back()) buf_ += ',';
            first_.back() = false;
            int depth = static_cast<int>(first_.size());
            if (depth <= breakDepth_ && !inline_.back()) {
                buf_ += '\n';
                buf_.append(static_cast<size_t>(2 * depth), ' ');
            } else {
                if (buf_.back() == ',') buf_ += ' ';
            }
        }
    }
    void Open(char c, bool keepInline = false) {
        Value();
        buf_ += c;
        bool outer = !inline_.empty() && inline_.back();
        first_.push_back(true);
        inline_.push_back(keepInline || outer);
    }
    void Close(char c) {
        bool empty = first_.back();
        bool wasInline = inline_.back();
        first_.pop_back();
        inline_.pop_back();
        int depth = static_cast<int>(first_.size());
        if (!empty && depth < breakDepth_ && !wasInline) {
            buf_ += '\n';
            buf_.append(static_cast<size_t>(2 * depth), ' ');
        }
        buf_ += c;
        if (first_.empty()) buf_ += '\n';
    }

    std::FILE* out_;
    int breakDepth_;
    std::string buf_;
    std::vector<bool> first_;
    std::vector<bool> inline_;
    bool afterKey_ = false;
};

}  // namespace qbx
