// DevCapDump.cpp - a record back into capability text. The entry names and
// keywords come from the handlers' own key tables; nothing is listed twice.
#include "DevCapDump.h"

#include <cstdarg>
#include <cstring>

namespace {

// printf onto a sink; every line the dump prints fits the buffer.
void Out(const tDevCapSink* out, const char* fmt, ...) __attribute__((format(printf, 2, 3)));
void Out(const tDevCapSink* out, const char* fmt, ...) {
    char line[1024];
    va_list args;
    va_start(args, fmt);
    const int n = vsnprintf(line, sizeof line, fmt, args);  // NOLINT(clang-analyzer-valist.Uninitialized)
    va_end(args);
    if (n > 0 && out != nullptr) out->write(out->ctx, line, static_cast<size_t>(n) < sizeof line ? n : sizeof line - 1);
}

const uint8_t* BytesOf(const tDevConf& dev) { return reinterpret_cast<const uint8_t*>(&dev); }

// The raw value as the layout shows it: a number, or bytes for arrays.
void RawText(const tDevConf& dev, const tField& f, char (&raw)[64]) {
    if (f.width == 1 || f.width == 2 || f.width == 4) {
        snprintf(raw, sizeof raw, "0x%0*X", f.width * 2, DevCapLoad(&dev, f.offset, f.width));
        return;
    }
    size_t used = 0;
    raw[0] = '\0';
    for (unsigned i = 0; i < f.width && used + 3 < sizeof raw; ++i) {
        used += static_cast<size_t>(snprintf(raw + used, sizeof raw - used, "%02X", BytesOf(dev)[f.offset + i]));
    }
}

bool SameAsDefault(const tDevConf& dev, const tField& f) {
    tDevConf init;
    DevCapConfInit(&init);
    return memcmp(BytesOf(dev) + f.offset, BytesOf(init) + f.offset, f.width) == 0;
}

// The fields no text can give their current value: fixed fields off their
// default, entry fields without a keyword for their value.
bool Reproducible(const tDevConf& dev, const tField& f) {
    const tEntry* entry = DevCapEntryAt(f.offset);
    if (entry == nullptr) return SameAsDefault(dev, f);
    char text[DEVCAP_DATA_SIZE];
    return DevCapEntryText(*entry, dev, text) != RENDER_NONE;
}

// Each line of the check as a comment of the dump.
struct tCommentSink {
    const tDevCapSink* out;
    bool lineStart;
};

void WriteComment(void* ctx, const char* text, size_t len) {
    auto* c = static_cast<tCommentSink*>(ctx);
    for (size_t i = 0; i < len; ++i) {
        if (c->lineStart) c->out->write(c->out->ctx, "#   ", 4);
        c->out->write(c->out->ctx, text + i, 1);
        c->lineStart = text[i] == '\n';
    }
}

// The file name for the header comment: one short line of printable text, so
// that no part of it can be read back as an entry.
void CommentSafe(const char* source, char (&safe)[80]) {
    size_t n = 0;
    for (; source[n] != '\0' && n + 1 < sizeof safe; ++n) {
        const auto c = static_cast<unsigned char>(source[n]);
        safe[n] = (c < 0x20 || c == 0x7f) ? '?' : source[n];
    }
    safe[n] = '\0';
    if (source[n] != '\0') memcpy(safe + sizeof safe - 4, "...", 4);
}

int32_t PrintCheck(const tDevConf& dev, const tDevCapSink* out) {
    const int32_t result = DevCapDBCheck(&dev, nullptr);
    Out(out, "# Consistency check: %s\n", result == 0 ? "passes" : "fails");
    tCommentSink comment{out, true};
    const tDevCapSink sink{WriteComment, &comment};
    DevCapDBCheck(&dev, &sink);
    return result;
}

}  // namespace

tRender DevCapEntryText(const tEntry& entry, const tDevConf& dev, char (&text)[DEVCAP_DATA_SIZE]) {
    const uint32_t value = DevCapLoad(&dev, entry.offset, entry.width);
    text[0] = '\0';
    switch (entry.kind) {
        case ENTRY_VERSION:
            snprintf(text, sizeof text, "0x%04X", value);
            return RENDER_ENTRY;
        case ENTRY_NUMBER:
            // atoi gives a 4-byte field back from its signed reading
            if (entry.width == 4) {
                snprintf(text, sizeof text, "%d", static_cast<int32_t>(value));
            } else {
                snprintf(text, sizeof text, "%u", value);
            }
            return RENDER_ENTRY;
        case ENTRY_KEYWORD:
            for (size_t i = 0; i < entry.words.count; ++i) {
                const tKeyword& w = entry.words.words[i];
                if (w.code != value) continue;
                snprintf(text, sizeof text, "%.*s", static_cast<int>(w.text.size()), w.text.data());
                return RENDER_ENTRY;
            }
            return value == 0 ? RENDER_OMIT : RENDER_NONE;
        case ENTRY_LIST: {
            if (value == 0) {
                if (entry.stop == nullptr) return RENDER_OMIT;
                snprintf(text, sizeof text, "%s", entry.stop);
                return RENDER_ENTRY;
            }
            uint32_t left = value;
            size_t used = 0;
            for (size_t i = 0; i < entry.words.count; ++i) {
                const tKeyword& w = entry.words.words[i];
                if ((left & w.code) == 0) continue;
                left &= ~w.code;
                used += static_cast<size_t>(snprintf(text + used, sizeof text - used, "%s%.*s", used ? "," : "",
                                                     static_cast<int>(w.text.size()), w.text.data()));
            }
            return left == 0 ? RENDER_ENTRY : RENDER_NONE;
        }
    }
    return RENDER_NONE;
}

int32_t DevCapDumpText(const tDevConf& dev, const char* source, const tDevCapSink* out) {
    char safe[80];
    CommentSafe(source, safe);
    Out(out, "# Device capability text of %s, written by devcapdump.\n", safe);
    bool reproducible = true;
    const tFieldList fields = DevCapFields();
    for (size_t i = 0; i < fields.count; ++i) reproducible = reproducible && Reproducible(dev, fields.fields[i]);
    if (reproducible) {
        Out(out, "# devcap2bin turns it back into the same 120 bytes.\n");
    } else {
        Out(out, "# devcap2bin will NOT turn this text back into the same record: no entry gives\n");
        for (size_t i = 0; i < fields.count; ++i) {
            const tField& f = fields.fields[i];
            if (Reproducible(dev, f)) continue;
            char raw[64];
            RawText(dev, f, raw);
            Out(out, "#   %s (offset %u, %u byte%s) = %s\n", f.path, f.offset, f.width, f.width > 1 ? "s" : "", raw);
        }
    }
    const tSectionList sections = DevCapSections();
    for (size_t s = 0; s < sections.count; ++s) {
        const tSection& c = sections.sections[s];
        Out(out, "\n# %s\n", c.title);
        for (size_t i = 0; i < c.count; ++i) {
            const tEntry& e = c.entries[i];
            char text[DEVCAP_DATA_SIZE];
            switch (DevCapEntryText(e, dev, text)) {
                case RENDER_ENTRY:
                    Out(out, "%.*s='%s'\n", static_cast<int>(e.name.size()), e.name.data(), text);
                    break;
                case RENDER_OMIT:
                    Out(out, "# %.*s not given\n", static_cast<int>(e.name.size()), e.name.data());
                    break;
                case RENDER_NONE:
                    Out(out, "# %.*s: no keyword for %s = %u\n", static_cast<int>(e.name.size()), e.name.data(),
                        DevCapFieldAt(e.offset)->path, DevCapLoad(&dev, e.offset, e.width));
                    break;
            }
        }
    }
    Out(out, "\n");
    const int32_t result = PrintCheck(dev, out);
    Out(out, "EOF=''\n");
    return result;
}

int32_t DevCapDumpLayout(const tDevConf& dev, const tDevCapSink* out) {
    Out(out, "offset size field                           raw                meaning\n");
    const tFieldList fields = DevCapFields();
    for (size_t i = 0; i < fields.count; ++i) {
        const tField& f = fields.fields[i];
        char raw[64];
        RawText(dev, f, raw);
        char meaning[DEVCAP_DATA_SIZE + 64];
        const tEntry* e = DevCapEntryAt(f.offset);
        if (e == nullptr) {
            snprintf(meaning, sizeof meaning, "%s", SameAsDefault(dev, f) ? "default" : "NOT the default");
        } else {
            char text[DEVCAP_DATA_SIZE];
            const tRender render = DevCapEntryText(*e, dev, text);
            const int n = static_cast<int>(e->name.size());
            if (render == RENDER_ENTRY) snprintf(meaning, sizeof meaning, "%.*s='%s'", n, e->name.data(), text);
            if (render == RENDER_OMIT) snprintf(meaning, sizeof meaning, "%.*s not given", n, e->name.data());
            if (render == RENDER_NONE) snprintf(meaning, sizeof meaning, "no %.*s keyword", n, e->name.data());
        }
        Out(out, "%6u %4u %-31s %-18s %s\n", f.offset, f.width, f.path, raw, meaning);
    }
    Out(out, "\n");
    return PrintCheck(dev, out);
}

namespace {

// The check's lines as JSON strings, one a line of the check.
struct tJsonLines {
    const tDevCapSink* out;
    char line[512];
    size_t len;
    bool first;
};

void WriteJsonLine(void* ctx, const char* text, size_t len) {
    auto* j = static_cast<tJsonLines*>(ctx);
    for (size_t i = 0; i < len; ++i) {
        if (text[i] != '\n') {
            if (j->len + 1 < sizeof j->line) j->line[j->len++] = text[i];
            continue;
        }
        j->line[j->len] = '\0';
        Out(j->out, "%s\n      ", j->first ? "" : ",");
        DevCapJsonString(j->out, j->line);
        j->first = false;
        j->len = 0;
    }
}

// The keywords a field's value means: the one keyword, or each list element.
void JsonKeywords(const tDevConf& dev, const tEntry* e, const tDevCapSink* out) {
    Out(out, "[");
    if (e != nullptr && (e->kind == ENTRY_KEYWORD || e->kind == ENTRY_LIST)) {
        const uint32_t value = DevCapLoad(&dev, e->offset, e->width);
        bool first = true;
        for (size_t i = 0; i < e->words.count; ++i) {
            const tKeyword& w = e->words.words[i];
            const bool means = e->kind == ENTRY_KEYWORD ? w.code == value : (value & w.code) != 0 && w.code != 0;
            if (!means) continue;
            char text[DEVCAP_DATA_SIZE];
            snprintf(text, sizeof text, "%.*s", static_cast<int>(w.text.size()), w.text.data());
            Out(out, "%s", first ? "" : ", ");
            DevCapJsonString(out, text);
            first = false;
            if (e->kind == ENTRY_KEYWORD) break;
        }
    }
    Out(out, "]");
}

}  // namespace

int32_t DevCapDumpJson(const tDevConf& dev, const char* source, const tDevCapSink* out) {
    Out(out, "{\n  \"source\": ");
    DevCapJsonString(out, source);
    Out(out, ",\n  \"size\": %zu,\n  \"fields\": [", sizeof dev);
    bool reproducible = true;
    const tFieldList fields = DevCapFields();
    for (size_t i = 0; i < fields.count; ++i) {
        const tField& f = fields.fields[i];
        const tEntry* e = DevCapEntryAt(f.offset);
        char raw[64], text[DEVCAP_DATA_SIZE];
        RawText(dev, f, raw);
        const bool number = f.width == 1 || f.width == 2 || f.width == 4;
        const bool fieldReproducible = Reproducible(dev, f);
        reproducible = reproducible && fieldReproducible;
        Out(out, "%s\n    {\"path\": \"%s\", \"offset\": %u, \"width\": %u, \"raw\": \"%s\", \"value\": ", i ? "," : "",
            f.path, f.offset, f.width, raw);
        if (number) {
            Out(out, "%u", DevCapLoad(&dev, f.offset, f.width));
        } else {
            Out(out, "null");
        }
        Out(out, ", \"default\": %s, \"entry\": ", SameAsDefault(dev, f) ? "true" : "false");
        if (e != nullptr) {
            Out(out, "\"%.*s\", \"text\": ", static_cast<int>(e->name.size()), e->name.data());
            if (DevCapEntryText(*e, dev, text) == RENDER_ENTRY) {
                DevCapJsonString(out, text);
            } else {
                Out(out, "null");
            }
        } else {
            Out(out, "null, \"text\": null");
        }
        Out(out, ", \"keywords\": ");
        JsonKeywords(dev, e, out);
        Out(out, ", \"reproducible\": %s}", fieldReproducible ? "true" : "false");
    }
    const int32_t result = DevCapDBCheck(&dev, nullptr);
    Out(out, "\n  ],\n  \"reproduces\": %s,\n  \"check\": {\"passes\": %s, \"lines\": [",
        reproducible ? "true" : "false", result == 0 ? "true" : "false");
    tJsonLines lines{out, {}, 0, true};
    const tDevCapSink sink{WriteJsonLine, &lines};
    DevCapDBCheck(&dev, &sink);
    Out(out, "%s]}\n}\n", lines.first ? "" : "\n    ");
    return result;
}
