// qbx links --eval: the link engine of the article windows, one JSON request
// per line on stdin and one JSON answer per line on stdout, for scripts and
// tests.
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "app/profile_store.h"
#include "app/settings_location.h"
#include "app/system_env.h"
#include "article/link_recognizer.h"
#include "article/link_targets.h"
#include "article/link_words.h"
#include "command.h"
#include "json.h"
#include "json_in.h"
#include "options.h"
#include "reader_drives.h"

namespace {

using qbx::JsonValue;
using qbx::JsonWriter;

const char kUsage[] =
    "usage: qbx links --eval\n"
    "\n"
    "Reads one JSON request per line from standard input and writes one JSON\n"
    "answer per line. Positions are UTF-16 indexes of the text.\n"
    "\n"
    "  {\"op\":\"word\",\"word\":W}\n"
    "      -> {\"kind\",\"linkStart\",\"linkLength\",\"linkText\"} (linkStart null for\n"
    "         kind 0; linkText has \"mailto:\" in front for an e-mail address)\n"
    "  {\"op\":\"range\",\"text\":T,\"start\":S,\"length\":L}\n"
    "      -> {\"kind\",\"rangeStart\",\"beforeLength\",\"linkStart\",\"linkLength\",\n"
    "          \"afterPos\",\"afterLength\"}\n"
    "  {\"op\":\"wordAt\",\"text\":T,\"pos\":P,\"storedLinks\":[[start,end],...]}\n"
    "      -> {\"first\",\"length\",\"word\"}\n"
    "  {\"op\":\"doubleClick\",\"text\":T,\"pos\":P}\n"
    "      -> null, or {\"open\":\"file\"|\"web\",\"target\":...,\"select\":[start,end]}\n"
    "         (end exclusive)\n"
    "  {\"op\":\"resolve\",\"path\":P,\"base\":B,\"drive\":\"C\"}\n"
    "      -> {\"windows\":...,\"linux\":... or null}: the stored path resolved\n"
    "         against the base and the drive letter, then mapped through the\n"
    "         [Drives] section of the reader's settings (keys C: or \\\\server\\share,\n"
    "         values Linux folders; see docs/links.md)\n"
    "\n"
    "Link kinds: 0 none, 1 ftp, 2 gopher, 3 http, 4 mailto, 5 news, 6 file,\n"
    "7 telnet, 8 https, 9 www, 10 e-mail address, 11 quoted file path.\n"
    "A malformed line is answered with {\"error\": \"...\"} and the next line is\n"
    "read. Exit status 0 at the end of the input, 1 when the output fails.\n";

// Lines longer than this are answered with an error and skipped.
constexpr size_t kMaxLine = 64u << 20;

struct Failure {
    std::string why;
};

const JsonValue& Member(const JsonValue& request, const char* name) {
    const JsonValue* v = request.Find(name);
    if (!v) throw Failure{std::string("\"") + name + "\" is missing"};
    return *v;
}

const std::u16string& StringMember(const JsonValue& request, const char* name) {
    const JsonValue& v = Member(request, name);
    if (v.type != JsonValue::Type::kString)
        throw Failure{std::string("\"") + name + "\" must be a string"};
    return v.string;
}

int32_t IntMember(const JsonValue& request, const char* name) {
    std::optional<int32_t> n = Member(request, name).AsInt32();
    if (!n) throw Failure{std::string("\"") + name + "\" must be a 32-bit whole number"};
    return *n;
}

std::vector<qb::StoredLinkRange> StoredLinks(const JsonValue& request) {
    std::vector<qb::StoredLinkRange> links;
    const JsonValue* list = request.Find("storedLinks");
    if (!list || list->type == JsonValue::Type::kNull) return links;
    if (list->type != JsonValue::Type::kArray)
        throw Failure{"\"storedLinks\" must be an array of [start,end] pairs"};
    for (const JsonValue& pair : list->items) {
        std::optional<int32_t> start, end;
        if (pair.type == JsonValue::Type::kArray && pair.items.size() == 2) {
            start = pair.items[0].AsInt32();
            end = pair.items[1].AsInt32();
        }
        if (!start || !end) throw Failure{"\"storedLinks\" must be an array of [start,end] pairs"};
        links.push_back({*start, *end});
    }
    return links;
}

void Word(const JsonValue& request, JsonWriter& out) {
    qb::RecognizedWord w =
        qb::LinkRecognizer::Shared().RecognizeWord(StringMember(request, "word"));
    out.BeginObject();
    out.Key("kind");
    out.Int(int(w.kind));
    out.Key("linkStart");
    if (w.kind == qb::LinkKind::kNone)
        out.Null();
    else
        out.Int(w.linkStart);
    out.Key("linkLength");
    out.Int(w.linkLength);
    out.Key("linkText");
    out.String(qbx::ToUtf8(w.linkText));
    out.EndObject();
}

void Range(const JsonValue& request, JsonWriter& out) {
    qb::RecognizedRange r;
    qb::LinkKind kind = qb::LinkRecognizer::Shared().Recognize(StringMember(request, "text"),
                                                               IntMember(request, "start"),
                                                               IntMember(request, "length"), r);
    out.BeginObject();
    auto field = [&out](const char* name, int64_t v) {
        out.Key(name);
        out.Int(v);
    };
    field("kind", int(kind));
    field("rangeStart", r.rangeStart);
    field("beforeLength", r.beforeLength);
    field("linkStart", r.linkStart);
    field("linkLength", r.linkLength);
    field("afterPos", r.afterPos);
    field("afterLength", r.afterLength);
    out.EndObject();
}

void WordAtOp(const JsonValue& request, JsonWriter& out) {
    const std::u16string& text = StringMember(request, "text");
    std::vector<qb::StoredLinkRange> links = StoredLinks(request);
    qb::WordSpan w = qb::WordAt(text, links, IntMember(request, "pos"));
    out.BeginObject();
    out.Key("first");
    out.Int(w.first);
    out.Key("length");
    out.Int(w.length);
    out.Key("word");
    out.String(qbx::ToUtf8(std::u16string_view(text).substr(size_t(w.first), size_t(w.length))));
    out.EndObject();
}

void DoubleClick(const JsonValue& request, JsonWriter& out) {
    using Action = qb::DoubleClickDecision::Action;
    qb::DoubleClickDecision d =
        qb::DoubleClickAt(StringMember(request, "text"), {}, IntMember(request, "pos"), true);
    if (d.action != Action::kOpenFile && d.action != Action::kOpenWeb) {
        out.Flush();
        std::fputs("null\n", stdout);  // the writer ends only objects and arrays with a line end
        return;
    }
    out.BeginObject();
    out.Key("open");
    out.String(d.action == Action::kOpenFile ? "file" : "web");
    out.Key("target");
    out.String(qbx::ToUtf8(d.target));
    out.Key("select");
    out.BeginArray();
    out.Int(d.selectStart);
    out.Int(d.selectEnd);
    out.EndArray();
    out.EndObject();
}

// The stored path resolved against the link base and the remembered drive
// letter, as {"windows": ..., "linux": ... or null}.
void ResolveStoredPath(const std::u16string& path, const std::u16string& base,
                       const std::u16string& drive, const qb::DriveMap& drives, JsonWriter& out) {
    if (drive.size() > 1 || (drive.size() == 1 && drive[0] > 0x7F))
        throw Failure{"\"drive\" must be one letter"};
    char letter = drive.empty() ? 'C' : char(drive[0]);
    qb::ResolvedTarget t =
        qb::ResolveStoredTarget(qbx::ToUtf8(path), qbx::ToUtf8(base), letter, drives);
    out.BeginObject();
    out.Key("windows");
    out.String(t.windows);
    out.Key("linux");
    if (t.linux)
        out.String(*t.linux);
    else
        out.Null();
    out.EndObject();
}

void Answer(const std::string& line, const qb::DriveMap& drives, JsonWriter& out) {
    std::string error;
    std::optional<JsonValue> request = qbx::ParseJson(line, error);
    if (!request) throw Failure{"malformed JSON: " + error};
    if (request->type != JsonValue::Type::kObject) throw Failure{"a request must be an object"};
    const JsonValue* op = request->Find("op");
    if (!op || op->type != JsonValue::Type::kString) throw Failure{"\"op\" is missing"};
    std::string name = qbx::ToUtf8(op->string);
    if (name == "word")
        Word(*request, out);
    else if (name == "range")
        Range(*request, out);
    else if (name == "wordAt")
        WordAtOp(*request, out);
    else if (name == "doubleClick")
        DoubleClick(*request, out);
    else if (name == "resolve")
        ResolveStoredPath(StringMember(*request, "path"), StringMember(*request, "base"),
                          StringMember(*request, "drive"), drives, out);
    else
        throw Failure{"unknown op \"" + name + "\""};
}

// One line without its end; false at the end of the input. A line longer
// than kMaxLine is read to its end and reported through `tooLong`.
bool ReadLine(std::FILE* in, std::string& line, bool& tooLong) {
    line.clear();
    tooLong = false;
    char buf[65536];
    bool any = false;
    while (std::fgets(buf, sizeof buf, in)) {
        any = true;
        size_t n = std::char_traits<char>::length(buf);
        bool ended = n > 0 && buf[n - 1] == '\n';
        if (ended) --n;
        if (!tooLong) {
            if (line.size() + n > kMaxLine) {
                tooLong = true;
                line.clear();
                line.shrink_to_fit();
            } else {
                line.append(buf, n);
            }
        }
        if (ended) break;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return any;
}

int Run(const qbx::Args& args) {
    bool eval = false;
    qbx::CommandSyntax syntax;
    syntax.command = "links";
    syntax.usage = kUsage;
    syntax.options = {qbx::Flag("--eval", "answer JSON requests from stdin", eval)};
    syntax.requiredOperands = 0;
    syntax.allowedOperands = 0;
    syntax.tooManyOperands = "takes no operands";
    std::vector<std::string> operands;
    if (auto rc = qbx::ParseArguments(args, syntax, operands)) return *rc;
    if (!operands.empty()) return qbx::UsageError(syntax, syntax.tooManyOperands);
    if (!eval) return qbx::UsageError(syntax, "--eval is required");

    const qb::DriveMap drives = qbx::ReaderDrives();
    std::string line;
    bool tooLong;
    while (ReadLine(stdin, line, tooLong)) {
        {
            JsonWriter out(stdout, 0);
            try {
                if (tooLong) throw Failure{"the line is too long"};
                Answer(line, drives, out);
            } catch (const Failure& f) {
                JsonWriter err(stdout, 0);
                err.BeginObject();
                err.Key("error");
                err.String(f.why);
                err.EndObject();
            }
        }
        if (std::fflush(stdout) != 0) return 1;
    }
    return std::ferror(stdout) ? 1 : 0;
}

qbx::Registrar reg("links", "answer JSON requests to the link engine (--eval)", Run);

}  // namespace
