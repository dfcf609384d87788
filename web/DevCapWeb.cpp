// DevCapWeb.cpp - the workbench page's way into libdevcap, compiled to
// WebAssembly. Each call answers a pointer to one reply in a fixed buffer
// (the page is single-threaded and copies it out before the next call):
//   u32 status, u32 length, then length bytes.
// Renderings go straight into it through the library's message function
// forms: nothing is sized first or rendered twice.
#include <emscripten/emscripten.h>

#include <cstdio>
#include <cstring>

#include "libdevcap.h"

namespace {

struct tReply {
    uint32_t status;
    uint32_t len;
    char text[1 << 20];
};
tReply gReply;
char gInput[1 << 20];  // where the page puts the bytes of a call

// The message function every reply is written through: appends, cutting
// what does not fit at the buffer's end.
void Add(void* ctx, const char* text, size_t len) {
    auto* r = static_cast<tReply*>(ctx);
    const size_t room = sizeof r->text - r->len;
    memcpy(r->text + r->len, text, len < room ? len : room);
    r->len += static_cast<uint32_t>(len < room ? len : room);
}

tReply* Begin(uint32_t status = 0) {
    gReply.status = status;
    gReply.len = 0;
    return &gReply;
}

void Say(const char* text) { Add(&gReply, text, strlen(text)); }

// A line of the text by its number (from 1), found with the library's
// tokenizer. Findings come in line order, so each search goes on from the
// last line found.
struct tLines {
    const char* text;
    size_t size;
    tDevCapLine line;  // number 0: none found yet
};

const tDevCapLine& LineNumbered(tLines* l, size_t number) {
    if (l->line.number == 0 || number < l->line.number) l->line = tDevCapLine{};
    size_t at = l->line.number == 0 ? 0 : l->line.start + l->line.length + l->line.end;
    while (l->line.number < number && at < l->size) {
        const size_t n = l->line.number + 1;
        const size_t taken = DevCapLineSpans(l->text + at, l->size - at, &l->line);
        l->line.number = n;
        l->line.start = at;
        at += taken;
    }
    return l->line;
}

// A byte column of the line (from 1, as findings count) in the page's units:
// UTF-16 code units from 0 where the editor puts its caret, characters from
// 1 where a reader counts.
size_t Unit(const tLines& l, uint32_t column, int unit) {
    const size_t from0 = DevCapColumnConvert(l.text + l.line.start, l.line.length, column - 1, DEVCAP_BYTES, unit);
    return unit == DEVCAP_CHARACTERS ? from0 + 1 : from0;
}

void Sayf(const char* format, size_t a, size_t b, size_t c) {
    char text[64];
    snprintf(text, sizeof text, format, a, b, c);
    Say(text);
}

// The library's lines about one input, each behind its name as devcapdiff
// prints them.
struct tPrefixed {
    const char* name;
    bool lineStart;
};

void Prefixed(void* ctx, const char* text, size_t len) {
    auto* p = static_cast<tPrefixed*>(ctx);
    for (size_t i = 0; i < len; ++i) {
        if (p->lineStart) {
            Say(p->name);
            Say(": ");
        }
        Add(&gReply, text + i, 1);
        p->lineStart = text[i] == '\n';
    }
}

}  // namespace

extern "C" {

// The buffer the page copies a call's text or record into, and its size.
EMSCRIPTEN_KEEPALIVE char* WebInput() { return gInput; }
EMSCRIPTEN_KEEPALIVE size_t WebInputSize() { return sizeof gInput; }

// A text converted as devcap2bin converts a file holding the same bytes:
// status 0 (it would write the record) or 1; the record's 120 bytes, then the
// converter's messages.
EMSCRIPTEN_KEEPALIVE const tReply* WebConvert(const char* text, size_t size) {
    tReply* r = Begin();
    tDevConf dev;
    r->len = sizeof dev;  // the record goes first, filled in below
    r->status = DevCapConvertText(text, size, "", &dev, Add, r) == DEVCAP_OK ? 0 : 1;
    memcpy(r->text, &dev, sizeof dev);
    return r;
}

// Whether the bytes are a record rather than a text, told by content as
// devcapdiff tells them: status 1 or 0.
EMSCRIPTEN_KEEPALIVE const tReply* WebIsRecord(const char* bytes, size_t size) {
    return Begin(static_cast<uint32_t>(DevCapIsRecord(bytes, size)));
}

// The name devcap2bin gives the record of the text file name: status 0 and
// "BinFiles/<base name>.bin", or status 1 when it would be too long.
EMSCRIPTEN_KEEPALIVE const tReply* WebOutputName(const char* name) {
    tReply* r = Begin();
    char path[DEVCAP_PATH_MAX + 1];
    r->status = DevCapOutputPath(name, path, sizeof path, nullptr, nullptr) == DEVCAP_OK ? 0 : 1;
    if (r->status == 0) Say(path);
    return r;
}

// devcaplint's findings as a JSON array, each as devcaplint --format=json
// prints it plus where it is in the page's units: "columns", from and to in
// characters from 1; "at", the same in UTF-16 code units from 0, and "edits",
// each fix edit's line and span so; for a rule that can be turned off,
// "disable", the comment that turns it off.
EMSCRIPTEN_KEEPALIVE const tReply* WebLint(const char* text, size_t size) {
    Begin();
    Say("[");
    tLines lines{text, size, {}};
    DevCapLintText(
        text, size,
        [](void* ctx, const tDevCapFinding* f) {
            auto* l = static_cast<tLines*>(ctx);
            if (gReply.len > 1) Say(", ");
            DevCapRenderFindingJsonTo(f, nullptr, Add, &gReply);
            if (gReply.len == sizeof gReply.text) return;  // cut short: the reply is full
            --gReply.len;
            LineNumbered(l, f->line);
            Sayf(", \"columns\": [%zu, %zu], \"at\": [%zu, ", Unit(*l, f->column, DEVCAP_CHARACTERS),
                 Unit(*l, f->end, DEVCAP_CHARACTERS), Unit(*l, f->column, DEVCAP_UTF16));
            Sayf("%zu], \"edits\": [", Unit(*l, f->end, DEVCAP_UTF16), 0, 0);
            for (size_t i = 0; i < f->nedits; ++i) {
                const tDevCapEdit& e = f->edits[i];
                LineNumbered(l, e.line);
                Sayf(i > 0 ? ", [%zu, %zu, %zu]" : "[%zu, %zu, %zu]", e.line, Unit(*l, e.column, DEVCAP_UTF16),
                     Unit(*l, e.column + e.length, DEVCAP_UTF16));
            }
            Say("]");
            if (DevCapLintCommentTurnsOff(f) != 0) {
                Say(", \"disable\": \"" DEVCAP_LINT_DISABLE_MARK);
                Say(f->rule);
                Say("\\n\"");
            }
            Say("}");
        },
        &lines);
    Say("]");
    return &gReply;
}

// The text with every fix the linter is sure of applied: the library's own
// fix application, here in one place.
EMSCRIPTEN_KEEPALIVE const tReply* WebFix(const char* text, size_t size) {
    Begin();
    DevCapLintFixTo(text, size, 0, Add, &gReply);
    return &gReply;
}

// Where the line's parts are, as the converter reads it, in UTF-16 code
// units from 0: {"kind": DEVCAP_LINE_..., "name": end, "value": [from, to],
// "opened", "closed": 0 or 1, "entry": its index among the entries or -1}.
EMSCRIPTEN_KEEPALIVE const tReply* WebLine(const char* text, size_t size) {
    tDevCapLine l;
    DevCapLineSpans(text, size, &l);
    const bool named = l.kind == DEVCAP_LINE_ENTRY || l.kind == DEVCAP_LINE_TOO_LONG;
    const int entry = named ? DevCapEntryIndex(text, l.name_end) : -1;
    const auto unit = [&](size_t byte) {
        return DevCapColumnConvert(text, l.length, byte, DEVCAP_BYTES, DEVCAP_UTF16);
    };
    Begin();
    Sayf("{\"kind\": %zu, \"name\": %zu, \"value\": [%zu, ", static_cast<size_t>(l.kind),
         named ? unit(l.name_end) : unit(l.length), unit(l.value));
    Sayf("%zu], \"opened\": %zu, \"closed\": %zu, ", unit(l.value_end), static_cast<size_t>(l.opened),
         static_cast<size_t>(l.closed));
    if (entry < 0) {
        Say("\"entry\": -1}");
    } else {
        Sayf("\"entry\": %zu}", static_cast<size_t>(entry), 0, 0);
    }
    return &gReply;
}

// A record (or a text, converted) as devcapdump --json describes it, a NUL
// byte, then the text that rebuilds it; status 0 when it passes the check, 1
// when not, 2 when it is neither a record nor a text devcap2bin takes.
EMSCRIPTEN_KEEPALIVE const tReply* WebRecord(const char* bytes, size_t size, const char* name) {
    tDevConf dev;
    if (DevCapLoad(bytes, size, name, &dev, nullptr, nullptr) != DEVCAP_OK) return Begin(2);
    tReply* r = Begin(DevCapCheckRecord(&dev, nullptr, nullptr) == DEVCAP_OK ? 0 : 1);
    DevCapRenderJsonTo(&dev, name, Add, r);
    Add(r, "", 1);
    DevCapRenderTextTo(&dev, name, Add, r);
    return r;
}

// What differs between two records or texts (the second, named nameB, after
// the first in the input buffer): status 0 same, 1 different, 2 when one does
// not load, with the converter's lines on the second as devcapdiff prints
// them; else the comparison as devcapdiff --json prints it, a NUL byte, then
// as devcapdiff prints it, for the page to show as it stands.
EMSCRIPTEN_KEEPALIVE const tReply* WebDiff(const char* bytes, size_t sizeA, size_t sizeB, const char* nameB) {
    tDevConf a, b;
    if (DevCapLoad(bytes, sizeA, "a", &a, nullptr, nullptr) != DEVCAP_OK) return Begin(2);
    tPrefixed prefix{nameB, true};
    tReply* r = Begin(2);
    if (DevCapLoad(bytes + sizeA, sizeB, nameB, &b, Prefixed, &prefix) != DEVCAP_OK) return r;
    r = Begin(DevCapDiffRecords(&a, &b, nullptr, nullptr) == 0 ? 0 : 1);
    DevCapRenderDiffJsonTo(&a, &b, nullptr, nullptr, Add, r);
    Add(r, "", 1);
    DevCapRenderDiffTo(&a, &b, Add, r);
    return r;
}

// One device of a fleet as a row of the table devcapfleet prints, its field
// columns chosen by the comma list fields ("" for every field): a JSON
// object, or with csv set a CSV line; its kind and status as the library
// tells them.
EMSCRIPTEN_KEEPALIVE const tReply* WebRow(const char* bytes, size_t size, const char* file, const char* fields,
                                          int csv) {
    tDevConf dev;
    const char *kind, *status;
    const int result = DevCapLoadDevice(bytes, size, file, &dev, &kind, &status, nullptr, nullptr);
    const tDevConf* shown = result == DEVCAP_OK ? &dev : nullptr;
    const char* chosen = *fields ? fields : nullptr;
    Begin();
    (csv ? DevCapRenderCsvRowTo : DevCapRenderJsonRowTo)(shown, file, kind, status, chosen, Add, &gReply);
    return &gReply;
}

// The CSV header over such rows.
EMSCRIPTEN_KEEPALIVE const tReply* WebCsvHeader(const char* fields) {
    Begin();
    DevCapRenderCsvHeaderTo(*fields ? fields : nullptr, Add, &gReply);
    return &gReply;
}

// Every entry with its field and keywords.
EMSCRIPTEN_KEEPALIVE const tReply* WebTables() {
    Begin();
    DevCapRenderEntriesJsonTo(Add, &gReply);
    return &gReply;
}

}  // extern "C"
