// LspServer.cpp - the Language Server Protocol for capability text: full-text
// sync, the linter's findings as diagnostics, completion of entry names and
// keywords, hover on names and values, code actions for fixes and for
// disable comments. One table of methods drives the dispatch.
#include "LspServer.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <nlohmann/json.hpp>

#include "libdevcap.h"

using nlohmann::json;

namespace {

constexpr size_t kMaxBody = 64 << 20;  // larger messages are read past, not held

// JSON-RPC's error codes.
constexpr int kParseError = -32700, kInvalidRequest = -32600, kMethodNotFound = -32601, kInvalidParams = -32602,
              kNotInitialized = -32002;

std::string Response(const json& id, const json& result) {
    return json{{"jsonrpc", "2.0"}, {"id", id}, {"result", result}}.dump(-1, ' ', false,
                                                                         json::error_handler_t::replace);
}

std::string Error(const json& id, int code, const std::string& message) {
    return json{{"jsonrpc", "2.0"}, {"id", id}, {"error", {{"code", code}, {"message", message}}}}.dump(
        -1, ' ', false, json::error_handler_t::replace);
}

std::string Notification(const char* method, const json& params) {
    return json{{"jsonrpc", "2.0"}, {"method", method}, {"params", params}}.dump(-1, ' ', false,
                                                                                 json::error_handler_t::replace);
}

// ---- text and positions ----

// A text and where its lines start, found once for all the positions a
// request needs (a thousand diagnostics would scan it a thousand times).
struct tDoc {
    const std::string& text;
    std::vector<size_t> starts;

    explicit tDoc(const std::string& t) : text(t), starts{0} {
        for (size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1))
            starts.push_back(at + 1);
    }
    // Line `line` (from 0), without its line end; empty past the end.
    std::string_view View(size_t line) const {
        if (line >= starts.size()) return {};
        const size_t end = line + 1 < starts.size() ? starts[line + 1] - 1 : text.size();
        std::string_view s(text.data() + starts[line], end - starts[line]);
        if (!s.empty() && s.back() == '\r') s.remove_suffix(1);
        return s;
    }
    std::string Line(size_t line) const { return std::string(View(line)); }
};

// A byte column of the line as the client counts it, and back: one
// conversion, the library's, for every position sent or received.
size_t Character(const tLspServer& s, std::string_view line, size_t byte) {
    return DevCapColumnConvert(line.data(), line.size(), byte, DEVCAP_BYTES, s.utf8 ? DEVCAP_BYTES : DEVCAP_UTF16);
}

size_t Byte(const tLspServer& s, const std::string& line, size_t character) {
    const size_t byte =
        DevCapColumnConvert(line.data(), line.size(), character, s.utf8 ? DEVCAP_BYTES : DEVCAP_UTF16, DEVCAP_BYTES);
    return byte < line.size() ? byte : line.size();
}

json Range(const tLspServer& s, const tDoc& doc, uint32_t line, size_t from, size_t to) {
    const std::string_view text = doc.View(line);
    return {{"start", {{"line", line}, {"character", Character(s, text, from)}}},
            {"end", {{"line", line}, {"character", Character(s, text, to)}}}};
}

// ---- findings ----

struct tFound {
    uint32_t line, column, end;  // from 1, bytes
    bool turnsOff;               // a disable comment above its line turns it off
    std::string severity, rule, message;
    std::vector<tDevCapEdit> edits;
    std::vector<std::string> texts;  // the edits' texts
};

std::vector<tFound> Lint(const std::string& text) {
    std::vector<tFound> found;
    DevCapLintText(
        text.data(), text.size(),
        [](void* ctx, const tDevCapFinding* f) {
            tFound one{f->line,    f->column, f->end, DevCapLintCommentTurnsOff(f) != 0, f->severity, f->rule,
                       f->message, {},        {}};
            for (size_t i = 0; i < f->nedits; ++i) {
                one.edits.push_back(f->edits[i]);
                one.texts.emplace_back(f->edits[i].text);
            }
            static_cast<std::vector<tFound>*>(ctx)->push_back(std::move(one));
        },
        &found);
    return found;
}

json TextEdits(const tLspServer& s, const tDoc& text, const tFound& f) {
    json edits = json::array();
    for (size_t i = 0; i < f.edits.size(); ++i) {
        const tDevCapEdit& e = f.edits[i];
        edits.push_back(
            {{"range", Range(s, text, e.line - 1, e.column - 1, e.column - 1 + e.length)}, {"newText", f.texts[i]}});
    }
    return edits;
}

int Severity(std::string_view severity) { return severity == "error" ? 1 : severity == "warning" ? 2 : 3; }

// ---- diagnostics as text ----

// A thousand findings built as nlohmann objects cost several times their
// linting, on every keystroke: the diagnostics are written straight into
// one buffer instead, byte for byte as nlohmann::json writes them (its
// keys sorted, no blanks), so that either way the client gets one answer.

// A string as nlohmann::json writes it: printable ASCII as it stands; the
// rare one with anything else is left to nlohmann, which knows its escapes.
void PutString(std::string& out, std::string_view s) {
    for (const char c : s) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u >= 0x80 || c == '"' || c == '\\') {
            out += json(std::string(s)).dump(-1, ' ', false, json::error_handler_t::replace);
            return;
        }
    }
    out += '"';
    out += s;
    out += '"';
}

void PutNumber(std::string& out, size_t n) {
    char digits[24];
    out.append(digits, static_cast<size_t>(std::to_chars(digits, digits + sizeof digits, n).ptr - digits));
}

void PutRange(std::string& out, const tLspServer& s, const tDoc& doc, uint32_t line, size_t from, size_t to) {
    const std::string_view text = doc.View(line);
    out += "{\"end\":{\"character\":";
    PutNumber(out, Character(s, text, to));
    out += ",\"line\":";
    PutNumber(out, line);
    out += "},\"start\":{\"character\":";
    PutNumber(out, Character(s, text, from));
    out += ",\"line\":";
    PutNumber(out, line);
    out += "}}";
}

struct tDiagnosticsOut {
    const tLspServer& server;
    const tDoc& doc;
    std::string& out;
    bool first;
};

// One diagnostic, written once: a code action's diagnostic is this text read back.
void PutDiagnosticText(std::string& out, const tLspServer& s, const tDoc& doc, uint32_t line, uint32_t column,
                       uint32_t end, std::string_view severity, std::string_view rule, std::string_view message) {
    out += "{\"code\":";
    PutString(out, rule);
    out += ",\"message\":";
    PutString(out, message);
    out += ",\"range\":";
    PutRange(out, s, doc, line - 1, column - 1, end - 1);
    out += ",\"severity\":";
    PutNumber(out, static_cast<size_t>(Severity(severity)));
    out += ",\"source\":\"devcaplint\"}";
}

void PutDiagnostic(void* ctx, const tDevCapFinding* f) {
    auto* d = static_cast<tDiagnosticsOut*>(ctx);
    if (!d->first) d->out += ',';
    d->first = false;
    PutDiagnosticText(d->out, d->server, d->doc, f->line, f->column, f->end, f->severity, f->rule, f->message);
}

json Diagnostic(const tLspServer& s, const tDoc& doc, const tFound& f) {
    std::string text;
    PutDiagnosticText(text, s, doc, f.line, f.column, f.end, f.severity, f.rule, f.message);
    return json::parse(text);
}

std::string Diagnostics(tLspServer& s, const std::string& uri) {
    const tDoc doc(s.documents.at(uri));
    std::string out;
    out.swap(s.spare);
    out.assign("{\"jsonrpc\":\"2.0\",\"method\":\"textDocument/publishDiagnostics\",\"params\":{\"diagnostics\":[");
    tDiagnosticsOut d{s, doc, out, true};
    DevCapLintText(doc.text.data(), doc.text.size(), PutDiagnostic, &d);
    out += "],\"uri\":";
    PutString(out, uri);
    out += "}}";
    return out;
}

// ---- the entry tables ----

struct tEntryOf {
    size_t index;
    tDevCapEntryInfo info;
};

bool FindEntry(const std::string& name, tEntryOf* e) {
    const int index = DevCapEntryIndex(name.data(), name.size());
    e->index = index >= 0 ? static_cast<size_t>(index) : 0;
    return index >= 0 && DevCapEntryInfo(e->index, &e->info) == DEVCAP_OK;
}

std::vector<std::pair<std::string, uint32_t>> Keywords(size_t entry) {
    std::vector<std::pair<std::string, uint32_t>> words;
    const char* text = nullptr;
    uint32_t code = 0;
    for (size_t k = 0; DevCapEntryKeyword(entry, k, &text, &code) == DEVCAP_OK; ++k) words.emplace_back(text, code);
    return words;
}

// Where a line's parts are, as the reader finds them: the name before '=',
// the value between its quotes.
struct tLineParts {
    bool entry;       // an entry within the reader's limits
    size_t eq;        // where the '=' stands
    size_t value;     // where the value starts
    size_t valueEnd;  // its closing quote, or the end of the line
};

tLineParts Parts(const std::string& line) {
    tDevCapLine l;
    DevCapLineSpans(line.data(), line.size(), &l);
    return {l.kind == DEVCAP_LINE_ENTRY, l.name_end, l.value, l.value_end};
}

// ---- the methods ----

struct tRequest {
    tLspServer& server;
    const json& params;
    const json& id;
    std::vector<std::string>& out;
};

void Initialize(tRequest& r) {
    // UTF-8 positions when the client can count them (LSP 3.17, and the older offsetEncoding).
    const json caps = r.params.value("capabilities", json::object());
    const json encodings = caps.value("general", json::object()).value("positionEncodings", json::array());
    const json offsets = caps.value("offsetEncoding", json::array());
    const auto offers = [](const json& list) {
        return list.is_array() && std::find(list.begin(), list.end(), json("utf-8")) != list.end();
    };
    r.server.utf8 = offers(encodings) || offers(offsets);
    r.server.initialized = true;
    json result = {{"capabilities",
                    {{"textDocumentSync", {{"openClose", true}, {"change", 1}}},
                     {"completionProvider", {{"triggerCharacters", {"'", ","}}}},
                     {"hoverProvider", true},
                     {"codeActionProvider", {{"codeActionKinds", {"quickfix", "source.fixAll"}}}}}},
                   {"serverInfo", {{"name", "devcap-lsp"}, {"version", DevCapLibVersion()}}}};
    if (r.server.utf8) {
        result["capabilities"]["positionEncoding"] = "utf-8";
        result["offsetEncoding"] = "utf-8";
    }
    r.out.push_back(Response(r.id, result));
}

void Shutdown(tRequest& r) {
    r.server.shutdown = true;
    r.out.push_back(Response(r.id, nullptr));
}

void Exit(tRequest& r) { r.server.exited = true; }

std::string Uri(const json& params) { return params.at("textDocument").at("uri").get<std::string>(); }

void DidOpen(tRequest& r) {
    const std::string uri = Uri(r.params);
    r.server.documents[uri] = r.params.at("textDocument").at("text").get<std::string>();
    r.out.push_back(Diagnostics(r.server, uri));
}

void DidChange(tRequest& r) {
    const std::string uri = Uri(r.params);
    const json& changes = r.params.at("contentChanges");
    if (!changes.is_array() || changes.empty() || r.server.documents.count(uri) == 0) return;
    // Full sync: the last is the whole text, copied into the document's
    // buffer, which the text of the next keystroke fits.
    const json& text = changes.back().at("text");
    if (text.is_string()) {
        r.server.documents[uri] = text.get_ref<const std::string&>();
    } else {
        r.server.documents[uri] = text.get<std::string>();  // throws the protocol's error
    }
    r.out.push_back(Diagnostics(r.server, uri));
}

void DidClose(tRequest& r) {
    const std::string uri = Uri(r.params);
    r.server.documents.erase(uri);
    r.out.push_back(Notification("textDocument/publishDiagnostics", {{"uri", uri}, {"diagnostics", json::array()}}));
}

// The document, and the line and byte the request points at.
struct tAt {
    tDoc text;
    uint32_t line;
    std::string lineText;
    size_t byte;
};

tAt At(tRequest& r) {
    const tDoc text(r.server.documents.at(Uri(r.params)));
    const uint32_t line = r.params.at("position").at("line").get<uint32_t>();
    std::string lineText = text.Line(line);
    const size_t byte = Byte(r.server, lineText, r.params.at("position").at("character").get<size_t>());
    return {text, line, std::move(lineText), byte};
}

json Item(const tLspServer& s, const tAt& at, const std::string& label, int kind, const std::string& detail,
          size_t from, const std::string& insert) {
    return {{"label", label},
            {"kind", kind},
            {"detail", detail},
            {"filterText", label},
            {"textEdit", {{"range", Range(s, at.text, at.line, from, at.byte)}, {"newText", insert}}}};
}

void Completion(tRequest& r) {
    const tAt at = At(r);
    const std::string before = at.lineText.substr(0, at.byte);
    json items = json::array();
    const tLineParts parts = Parts(at.lineText);
    tEntryOf e;
    if (!before.empty() && before[0] == '#') {
        // a comment: nothing to offer
    } else if (before.find('=') == std::string::npos) {
        for (e.index = 0; DevCapEntryInfo(e.index, &e.info) == DEVCAP_OK; ++e.index) {
            items.push_back(Item(r.server, at, e.info.name, 5, e.info.field, 0, std::string(e.info.name) + "='"));
        }
    } else if (parts.entry && at.byte >= parts.value && at.byte <= parts.valueEnd &&
               FindEntry(at.lineText.substr(0, parts.eq), &e)) {
        const bool list = strcmp(e.info.kind, "list") == 0;
        const size_t start = list ? before.rfind(',') : std::string::npos;
        const size_t from = start != std::string::npos && start >= parts.value ? start + 1 : parts.value;
        // A list offers what it does not hold yet.
        std::vector<std::string> held;
        const std::string value = at.lineText.substr(parts.value, parts.valueEnd - parts.value);
        for (size_t s = 0; list && s <= value.size();) {
            const size_t comma = value.find(',', s);
            const size_t end = comma == std::string::npos ? value.size() : comma;
            if (parts.value + s != from) held.push_back(value.substr(s, end - s));
            s = end + 1;
        }
        // Held in any case, as the converter reads keywords.
        const auto holds = [&](const std::string& word) {
            uint32_t code = 0, heldCode = 0;
            DevCapEntryValue(e.info.name, word.c_str(), &code);
            for (const std::string& h : held) {
                if (DevCapEntryValue(e.info.name, h.c_str(), &heldCode) == DEVCAP_OK && heldCode == code) return true;
            }
            return false;
        };
        for (const auto& [word, code] : Keywords(e.index)) {
            if (!holds(word)) items.push_back(Item(r.server, at, word, 20, "code " + std::to_string(code), from, word));
        }
        if (list && e.info.stop != nullptr && held.empty()) {
            items.push_back(Item(r.server, at, e.info.stop, 20, "ends the list: no element", from, e.info.stop));
        }
    }
    r.out.push_back(Response(r.id, {{"isIncomplete", false}, {"items", items}}));
}

std::string Hex(uint32_t value) {
    char text[16];
    snprintf(text, sizeof text, "0x%X", value);
    return text;
}

std::string NameHover(const tEntryOf& e) {
    std::string words;
    for (const auto& [word, code] : Keywords(e.index)) {
        words += (words.empty() ? "" : ", ") + ("`" + word + "` " + std::to_string(code));
    }
    std::string text = "**" + std::string(e.info.name) + "** (" + e.info.section + ", " + e.info.kind + ")\n\n" +
                       "field `" + e.info.field + "`, offset " + std::to_string(e.info.offset) + ", " +
                       std::to_string(e.info.width) + " byte" + (e.info.width > 1 ? "s" : "");
    if (!words.empty()) text += "\n\n" + words;
    if (e.info.stop != nullptr) text += "\n\n`" + std::string(e.info.stop) + "` ends the list";
    return text;
}

std::string ValueHover(const tEntryOf& e, const std::string& value) {
    uint32_t code = 0, init = 0;
    const int result = DevCapEntryValue(e.info.name, value.c_str(), &code);
    if (result != DEVCAP_OK) {
        return "`" + value + "` is not a value of " + e.info.name + ": devcap2bin refuses the file";
    }
    tDevConf dev;
    DevCapRecordInit(&dev);
    DevCapGetField(&dev, e.info.field, &init);
    return "`" + value + "` gives `" + e.info.field + "` = " + std::to_string(code) + " (" + Hex(code) + "); " +
           (code == init ? "the default" : "the default is " + std::to_string(init));
}

void Hover(tRequest& r) {
    const tAt at = At(r);
    const tLineParts parts = Parts(at.lineText);
    tEntryOf e;
    if (!parts.entry || !FindEntry(at.lineText.substr(0, parts.eq), &e)) {
        r.out.push_back(Response(r.id, nullptr));
        return;
    }
    const bool name = at.byte < parts.eq;
    const std::string text =
        name ? NameHover(e) : ValueHover(e, at.lineText.substr(parts.value, parts.valueEnd - parts.value));
    const size_t from = name ? 0 : parts.value, to = name ? parts.eq : parts.valueEnd;
    r.out.push_back(Response(r.id, {{"contents", {{"kind", "markdown"}, {"value", text}}},
                                    {"range", Range(r.server, at.text, at.line, from, to)}}));
}

std::string FixTitle(const tDoc& text, const tFound& f) {
    std::string title;
    for (size_t i = 0; i < f.edits.size(); ++i) {
        const tDevCapEdit& e = f.edits[i];
        const std::string old = text.Line(e.line - 1).substr(e.column - 1, e.length);
        title += i > 0 ? "; " : "";
        title += e.length == 0        ? "insert '" + f.texts[i] + "'"
                 : f.texts[i].empty() ? "delete '" + old + "'"
                                      : "replace '" + old + "' with '" + f.texts[i] + "'";
    }
    title[0] = static_cast<char>(toupper(static_cast<unsigned char>(title[0])));
    return title;
}

void CodeAction(tRequest& r) {
    const std::string uri = Uri(r.params);
    const tDoc text(r.server.documents.at(uri));
    const uint32_t first = r.params.at("range").at("start").at("line").get<uint32_t>();
    const uint32_t last = r.params.at("range").at("end").at("line").get<uint32_t>();
    // Only the kinds the client asks for, when it names any: "source" takes "source.fixAll".
    const json only = r.params.value("context", json::object()).value("only", json::array());
    const auto wanted = [&only](const std::string& kind) {
        if (!only.is_array() || only.empty()) return true;
        for (const json& k : only) {
            const std::string asked = k.is_string() ? k.get<std::string>() : "";
            if (kind == asked || kind.rfind(asked + ".", 0) == 0) return true;
        }
        return false;
    };
    json actions = json::array();
    for (const tFound& f : Lint(text.text)) {
        if (f.line - 1 < first || f.line - 1 > last || !wanted("quickfix")) continue;
        const json diagnostic = Diagnostic(r.server, text, f);
        if (!f.edits.empty()) {
            actions.push_back({{"title", FixTitle(text, f)},
                               {"kind", "quickfix"},
                               {"isPreferred", true},
                               {"diagnostics", {diagnostic}},
                               {"edit", {{"changes", {{uri, TextEdits(r.server, text, f)}}}}}});
        }
        if (f.turnsOff) {
            const json insert = {{"range", Range(r.server, text, f.line - 1, 0, 0)},
                                 {"newText", DEVCAP_LINT_DISABLE_MARK + f.rule + "\n"}};
            actions.push_back({{"title", "Turn off " + f.rule + " from here on"},
                               {"kind", "quickfix"},
                               {"diagnostics", {diagnostic}},
                               {"edit", {{"changes", {{uri, {insert}}}}}}});
        }
    }
    // Every certain fix of the document at once, for "fix all on save".
    std::string fixed;
    DevCapLintFixTo(
        text.text.data(), text.text.size(), 0,
        [](void* ctx, const char* piece, size_t len) { static_cast<std::string*>(ctx)->append(piece, len); }, &fixed);
    if (fixed != text.text && wanted("source.fixAll")) {
        const uint32_t lines = static_cast<uint32_t>(text.starts.size() - 1);
        const json all = {
            {"range",
             {{"start", {{"line", 0}, {"character", 0}}},
              {"end",
               {{"line", lines}, {"character", Character(r.server, text.Line(lines), text.Line(lines).size())}}}}},
            {"newText", fixed}};
        actions.push_back({{"title", "Fix everything devcaplint is sure of"},
                           {"kind", "source.fixAll"},
                           {"edit", {{"changes", {{uri, {all}}}}}}});
    }
    r.out.push_back(Response(r.id, actions));
}

struct tMethod {
    const char* name;
    void (*handle)(tRequest& r);
};

constexpr tMethod kMethods[] = {
    {"initialize", Initialize},
    {"shutdown", Shutdown},
    {"exit", Exit},
    {"textDocument/didOpen", DidOpen},
    {"textDocument/didChange", DidChange},
    {"textDocument/didClose", DidClose},
    {"textDocument/completion", Completion},
    {"textDocument/hover", Hover},
    {"textDocument/codeAction", CodeAction},
};

}  // namespace

tLspRead LspReadMessage(FILE* in, std::string* body) {
    body->clear();
    size_t length = 0;
    bool sized = false;
    // Headers, up to an empty line; a Content-Length is found anywhere in its
    // line, so that a body cut short by a wrong length does not hide the next.
    for (std::string line;;) {
        const int c = getc(in);
        if (c == EOF) return LSP_END;
        if (c != '\n') {
            if (line.size() < 4096) line.push_back(static_cast<char>(c));
            continue;
        }
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) break;
        const size_t at = line.find("Content-Length:");
        if (at != std::string::npos) {
            const char* digits = line.c_str() + at + 15;
            char* end = nullptr;
            const unsigned long long n = strtoull(digits, &end, 10);
            sized = end != digits && *digits != '-';
            length = sized ? static_cast<size_t>(n) : 0;
            if (n > kMaxBody) length = kMaxBody + 1;
        }
        line.clear();
    }
    // Too large to hold: the caller answers, and what follows is read as headers.
    if (!sized || length > kMaxBody) return LSP_BAD;
    body->resize(length);
    const size_t got = fread(body->data(), 1, length, in);
    if (got < length) {
        body->resize(got);
        return got == 0 ? LSP_END : LSP_MESSAGE;
    }
    return LSP_MESSAGE;
}

void LspWriteMessage(FILE* out, const std::string& body) {
    fprintf(out, "Content-Length: %zu\r\n\r\n", body.size());
    fwrite(body.data(), 1, body.size(), out);
    fflush(out);
}

std::string LspBadHeader() { return Error(nullptr, kInvalidRequest, "a header without a usable Content-Length"); }

namespace {

void Handle(tLspServer& server, const std::string& body, std::vector<std::string>& out) {
    const json message = json::parse(body, nullptr, false);
    if (message.is_discarded()) {
        out.push_back(Error(nullptr, kParseError, "not JSON"));
        return;
    }
    if (!message.is_object() || !message.contains("method") || !message["method"].is_string()) {
        // A response to a request of ours (none are made) is dropped; anything else is invalid.
        if (message.is_object() && message.contains("id") && !message.contains("result") &&
            !message.contains("error")) {
            out.push_back(Error(message["id"], kInvalidRequest, "no method"));
        } else if (!message.is_object()) {
            out.push_back(Error(nullptr, kInvalidRequest, "not a message"));
        }
        return;
    }
    const std::string method = message["method"].get<std::string>();
    const bool request = message.contains("id");
    const json id = request ? message["id"] : json();
    static const json kNoParams = json::object();
    const auto given = message.find("params");
    const json& params = given != message.end() ? *given : kNoParams;  // not copied: it holds the whole text
    if (!server.initialized && method != "initialize" && method != "exit") {
        if (request) out.push_back(Error(id, kNotInitialized, "initialize comes first"));
        return;
    }
    for (const tMethod& m : kMethods) {
        if (method != m.name) continue;
        if (server.shutdown && request && method != "shutdown") {
            out.push_back(Error(id, kInvalidRequest, "shut down"));
            return;
        }
        try {
            tRequest r{server, params, id, out};
            m.handle(r);
        } catch (const json::exception& e) {
            out.clear();
            if (request) out.push_back(Error(id, kInvalidParams, e.what()));
        } catch (const std::out_of_range&) {
            out.clear();
            if (request) out.push_back(Error(id, kInvalidParams, "no such document"));
        }
        return;
    }
    // Notifications the server does not know, $/cancelRequest among them, are dropped.
    if (request) out.push_back(Error(id, kMethodNotFound, "no method " + method));
}

}  // namespace

const std::vector<std::string>& LspHandle(tLspServer& server, const std::string& body) {
    // The largest buffer of the last answers is kept for the next diagnostics:
    // a fresh one for a thousand of them on every change costs more in
    // growing it than in writing them.
    for (std::string& answer : server.answers) {
        if (answer.capacity() > server.spare.capacity()) server.spare.swap(answer);
    }
    server.answers.clear();
    Handle(server, body, server.answers);
    return server.answers;
}
