// DevCapDump.cpp - a record back into capability text. The entry names and
// keywords come from the handlers' own key tables; nothing is listed twice.
#include "DevCapDump.h"

#include <cstring>

namespace {

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
    FILE* out;
    bool lineStart;
};

void WriteComment(void* ctx, const char* text, size_t len) {
    auto* c = static_cast<tCommentSink*>(ctx);
    for (size_t i = 0; i < len; ++i) {
        if (c->lineStart) fputs("#   ", c->out);
        fputc(text[i], c->out);
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

int32_t PrintCheck(const tDevConf& dev, FILE* out) {
    const int32_t result = DevCapDBCheck(&dev, nullptr);
    fprintf(out, "# Consistency check: %s\n", result == 0 ? "passes" : "fails");
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

int32_t DevCapDumpText(const tDevConf& dev, const char* source, FILE* out) {
    char safe[80];
    CommentSafe(source, safe);
    fprintf(out, "# Device capability text of %s, written by devcapdump.\n", safe);
    bool reproducible = true;
    const tFieldList fields = DevCapFields();
    for (size_t i = 0; i < fields.count; ++i) reproducible = reproducible && Reproducible(dev, fields.fields[i]);
    if (reproducible) {
        fprintf(out, "# devcap2bin turns it back into the same 120 bytes.\n");
    } else {
        fprintf(out, "# devcap2bin will NOT turn this text back into the same record: no entry gives\n");
        for (size_t i = 0; i < fields.count; ++i) {
            const tField& f = fields.fields[i];
            if (Reproducible(dev, f)) continue;
            char raw[64];
            RawText(dev, f, raw);
            fprintf(out, "#   %s (offset %u, %u byte%s) = %s\n", f.path, f.offset, f.width, f.width > 1 ? "s" : "",
                    raw);
        }
    }
    const tSectionList sections = DevCapSections();
    for (size_t s = 0; s < sections.count; ++s) {
        const tSection& c = sections.sections[s];
        fprintf(out, "\n# %s\n", c.title);
        for (size_t i = 0; i < c.count; ++i) {
            const tEntry& e = c.entries[i];
            char text[DEVCAP_DATA_SIZE];
            switch (DevCapEntryText(e, dev, text)) {
                case RENDER_ENTRY:
                    fprintf(out, "%.*s='%s'\n", static_cast<int>(e.name.size()), e.name.data(), text);
                    break;
                case RENDER_OMIT:
                    fprintf(out, "# %.*s not given\n", static_cast<int>(e.name.size()), e.name.data());
                    break;
                case RENDER_NONE:
                    fprintf(out, "# %.*s: no keyword for %s = %u\n", static_cast<int>(e.name.size()), e.name.data(),
                            DevCapFieldAt(e.offset)->path, DevCapLoad(&dev, e.offset, e.width));
                    break;
            }
        }
    }
    fprintf(out, "\n");
    const int32_t result = PrintCheck(dev, out);
    fprintf(out, "EOF=''\n");
    return result;
}

int32_t DevCapDumpLayout(const tDevConf& dev, FILE* out) {
    fprintf(out, "offset size field                           raw                meaning\n");
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
        fprintf(out, "%6u %4u %-31s %-18s %s\n", f.offset, f.width, f.path, raw, meaning);
    }
    fprintf(out, "\n");
    return PrintCheck(dev, out);
}
