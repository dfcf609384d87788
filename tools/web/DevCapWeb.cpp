// DevCapWeb.cpp - the workbench page's way into the converter core, compiled
// to WebAssembly. Each call answers a pointer to one reply in a fixed buffer
// (the page is single-threaded and copies it out before the next call):
//   u32 status, u32 length, then length bytes.
#include <emscripten/emscripten.h>

#include <cstring>

#include "DevCapDump.h"
#include "DevCapLint.h"

namespace {

struct tReply {
    uint32_t status;
    uint32_t len;
    char text[1 << 20];
};
tReply gReply;
char gInput[1 << 20];  // where the page puts the bytes of a call
tReply gText;          // a rendering to be quoted into gReply

void Add(void* ctx, const char* text, size_t len) {
    auto* r = static_cast<tReply*>(ctx);
    const size_t room = sizeof r->text - r->len;
    memcpy(r->text + r->len, text, len < room ? len : room);
    r->len += static_cast<uint32_t>(len < room ? len : room);
}

tReply* Begin() {
    gReply.status = 0;
    gReply.len = 0;
    return &gReply;
}

void Say(const char* text) { Add(&gReply, text, strlen(text)); }

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
    DevCapConfInit(&dev);
    r->len = sizeof dev;  // the record goes first, filled in below
    const tDevCapSink out{Add, r};
    const bool ok = DevCapTxtMem2Bin(&dev, text, size, "", &out) == 0 && DevCapDBCheck(&dev, &out) == 0;
    memcpy(r->text, &dev, sizeof dev);
    r->status = ok ? 0 : 1;
    return r;
}

// The name devcap2bin gives the record of the text file name: status 0 and
// "BinFiles/<base name>.bin", or status 1 when it would be too long.
EMSCRIPTEN_KEEPALIVE const tReply* WebOutputName(const char* name) {
    tReply* r = Begin();
    char path[DEVCAP_PATH_SIZE];
    r->status = DevCapOutputName(name, path, nullptr) == 0 ? 0 : 1;
    if (r->status == 0) Say(path);
    return r;
}

// devcaplint's findings as a JSON array.
EMSCRIPTEN_KEEPALIVE const tReply* WebLint(const char* text, size_t size) {
    tReply* r = Begin();
    Say("[");
    bool first = true;
    const tLintReport report{[](void* ctx, const tLintFinding& f) {
                                 char head[160];
                                 snprintf(head, sizeof head,
                                          "%s{\"line\": %u, \"column\": %u, \"severity\": \"%s\", \"rule\": \"%s\", "
                                          "\"message\": ",
                                          *static_cast<bool*>(ctx) ? "" : ", ", f.line, f.column,
                                          kDevCapLintSeverity[f.severity], kDevCapLintRules[f.rule].name);
                                 *static_cast<bool*>(ctx) = false;
                                 Say(head);
                                 const tDevCapSink sink{Add, &gReply};
                                 DevCapJsonString(&sink, f.message);
                                 Say("}");
                             },
                             &first};
    DevCapLintMem(text, size, 0, report);
    Say("]");
    return r;
}

// A record as devcapdump --json describes it, with the text that rebuilds it:
// {"dump": ..., "text": "..."}; status 2 when it is not 120 bytes.
EMSCRIPTEN_KEEPALIVE const tReply* WebRecord(const uint8_t* bytes, size_t size, const char* name) {
    tReply* r = Begin();
    if (size != sizeof(tDevConf)) {
        r->status = 2;
        return r;
    }
    tDevConf dev;
    memcpy(&dev, bytes, sizeof dev);
    const tDevCapSink out{Add, r};
    Say("{\"dump\": ");
    r->status = DevCapDumpJson(dev, name, &out) == 0 ? 0 : 1;
    gText.len = 0;
    const tDevCapSink textOut{Add, &gText};
    DevCapDumpText(dev, name, &textOut);
    gText.text[gText.len < sizeof gText.text ? gText.len : sizeof gText.text - 1] = '\0';
    Say(", \"text\": ");
    DevCapJsonString(&out, gText.text);
    Say("}");
    return r;
}

// Every entry with its field and keywords, and every field of the record.
EMSCRIPTEN_KEEPALIVE const tReply* WebTables() {
    tReply* r = Begin();
    const tDevCapSink out{Add, r};
    Say("{\"entries\": [");
    const tSectionList sections = DevCapSections();
    bool first = true;
    for (size_t s = 0; s < sections.count; ++s) {
        for (size_t i = 0; i < sections.sections[s].count; ++i) {
            const tEntry& e = sections.sections[s].entries[i];
            char head[256];
            snprintf(head, sizeof head,
                     "%s{\"name\": \"%.*s\", \"section\": \"%s\", \"kind\": \"%s\", \"field\": \"%s\", "
                     "\"keywords\": [",
                     first ? "" : ", ", static_cast<int>(e.name.size()), e.name.data(), sections.sections[s].title,
                     DevCapKindName(e.kind), DevCapFieldAt(e.offset)->path);
            Say(head);
            first = false;
            for (size_t w = 0; w < e.words.count; ++w) {
                char word[64];
                snprintf(word, sizeof word, "%.*s", static_cast<int>(e.words.words[w].text.size()),
                         e.words.words[w].text.data());
                if (w > 0) Say(", ");
                DevCapJsonString(&out, word);
            }
            Say("]}");
        }
    }
    Say("]}");
    return r;
}

}  // extern "C"
