// DevCapRender.cpp - a record as text: the capability text that makes it, a
// table of its fields, JSON; and the entry tables as JSON. The entry names
// and keywords come from the entry rows; nothing is listed twice.
#include <cstring>

#include "DevCapCore.h"

namespace {

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

// The check's lines as comments.
int32_t PrintCheck(const tDevConf& dev, const tDevCapSink* out) {
    DevCapSay(out, "# Consistency check: %s\n", DevCapDBCheck(&dev, nullptr) == 0 ? "passes" : "fails");
    return DevCapCheckEach(
        dev, false,
        [](void* ctx, const tCheckRule&, std::string_view line) {
            DevCapSay(static_cast<const tDevCapSink*>(ctx), "#   %.*s\n", static_cast<int>(line.size()), line.data());
        },
        const_cast<tDevCapSink*>(out));
}

}  // namespace

bool DevCapReproducible(const tDevConf& dev, const tField& f) {
    const tEntry* entry = DevCapEntryAt(f.offset);
    if (entry == nullptr) return DevCapIsDefault(dev, f);
    char text[DEVCAP_DATA_SIZE];
    return DevCapEntryBin2Txt(*entry, dev, text) != RENDER_NONE;
}

int32_t DevCapDumpText(const tDevConf& dev, const char* source, const tDevCapSink* out) {
    char safe[80];
    CommentSafe(source != nullptr ? source : "", safe);
    DevCapSay(out, "# Device capability text%s%s, written by devcapdump.\n", safe[0] != '\0' ? " of " : "", safe);
    bool reproducible = true;
    const tFieldList fields = DevCapFields();
    for (size_t i = 0; i < fields.count; ++i) reproducible = reproducible && DevCapReproducible(dev, fields.fields[i]);
    // Read back is not written: devcap2bin writes no record that fails the check.
    if (reproducible && DevCapDBCheck(&dev, nullptr) == 0) {
        DevCapSay(out, "# devcap2bin turns it back into the same 120 bytes.\n");
    } else if (reproducible) {
        DevCapSay(out,
                  "# devcap2bin reads it back into the same 120 bytes but writes no record: they fail the check.\n");
    } else {
        DevCapSay(out, "# devcap2bin will NOT turn this text back into the same record: no entry gives\n");
        for (size_t i = 0; i < fields.count; ++i) {
            const tField& f = fields.fields[i];
            if (DevCapReproducible(dev, f)) continue;
            char raw[64];
            DevCapRawText(dev, f, raw);
            DevCapSay(out, "#   %s (offset %u, %u byte%s) = %s\n", f.path, f.offset, f.width, f.width > 1 ? "s" : "",
                      raw);
        }
    }
    const tSectionList sections = DevCapSections();
    for (size_t s = 0; s < sections.count; ++s) {
        const tSection& c = sections.sections[s];
        DevCapSay(out, "\n# %s\n", c.title);
        for (size_t i = 0; i < c.count; ++i) {
            const tEntry& e = c.entries[i];
            char text[DEVCAP_DATA_SIZE];
            switch (DevCapEntryBin2Txt(e, dev, text)) {
                case RENDER_ENTRY:
                    DevCapSay(out, "%.*s='%s'\n", static_cast<int>(e.name.size()), e.name.data(), text);
                    break;
                case RENDER_OMIT:
                    DevCapSay(out, "# %.*s %s\n", static_cast<int>(e.name.size()), e.name.data(), kNotGiven);
                    break;
                case RENDER_NONE:
                    DevCapSay(out, "# %.*s: no keyword for %s = %u\n", static_cast<int>(e.name.size()), e.name.data(),
                              DevCapFieldAt(e.offset)->path, DevCapFieldGet(&dev, e.offset, e.width));
                    break;
            }
        }
    }
    DevCapSay(out, "\n");
    const int32_t result = PrintCheck(dev, out);
    DevCapSay(out, "EOF=''\n");
    return result;
}

int32_t DevCapDumpLayout(const tDevConf& dev, const tDevCapSink* out) {
    DevCapSay(out, "offset size field                           raw                meaning\n");
    const tFieldList fields = DevCapFields();
    for (size_t i = 0; i < fields.count; ++i) {
        const tField& f = fields.fields[i];
        char raw[64];
        DevCapRawText(dev, f, raw);
        char meaning[DEVCAP_DATA_SIZE + 64];
        const tEntry* e = DevCapEntryAt(f.offset);
        if (e == nullptr) {
            const int n =
                snprintf(meaning, sizeof meaning, "%s", DevCapIsDefault(dev, f) ? "default" : "NOT the default");
            // Bytes that are no number also show as characters, as xxd shows them.
            if (f.width != 1 && f.width != 2 && f.width != 4) {
                char* at = meaning + n;
                at += snprintf(at, 16, "; as text: ");
                for (unsigned b = 0; b < f.width; ++b) {
                    const auto c = reinterpret_cast<const uint8_t*>(&dev)[f.offset + b];
                    *at++ = c >= 0x20 && c < 0x7f ? static_cast<char>(c) : '.';
                }
                *at = '\0';
            }
        } else {
            char text[DEVCAP_DATA_SIZE];
            const tRender render = DevCapEntryBin2Txt(*e, dev, text);
            const int n = static_cast<int>(e->name.size());
            if (render == RENDER_ENTRY) snprintf(meaning, sizeof meaning, "%.*s='%s'", n, e->name.data(), text);
            if (render == RENDER_OMIT) snprintf(meaning, sizeof meaning, "%.*s %s", n, e->name.data(), kNotGiven);
            if (render == RENDER_NONE) snprintf(meaning, sizeof meaning, "no %.*s keyword", n, e->name.data());
        }
        DevCapSay(out, "%6u %4u %-31s %-18s %s\n", f.offset, f.width, f.path, raw, meaning);
    }
    DevCapSay(out, "\n");
    return PrintCheck(dev, out);
}

namespace {

// A line of the check as a JSON string in an array.
struct tJsonLines {
    const tDevCapSink* out;
    bool first;
};

void JsonLine(void* ctx, const tCheckRule&, std::string_view line) {
    auto* j = static_cast<tJsonLines*>(ctx);
    DevCapSay(j->out, "%s\n      ", j->first ? "" : ",");
    DevCapJsonString(j->out, line);
    j->first = false;
}

// The keywords a field's value means: the one keyword, or each list element.
void JsonKeywords(const tDevConf& dev, const tEntry* e, const tDevCapSink* out) {
    DevCapSay(out, "[");
    if (e != nullptr && (e->kind == ENTRY_KEYWORD || e->kind == ENTRY_LIST)) {
        const uint32_t value = DevCapFieldGet(&dev, e->offset, e->width);
        bool first = true;
        for (size_t i = 0; i < e->words.count; ++i) {
            const tKeyword& w = e->words.words[i];
            const bool means = e->kind == ENTRY_KEYWORD ? w.code == value : (value & w.code) != 0 && w.code != 0;
            if (!means) continue;
            DevCapSay(out, "%s", first ? "" : ", ");
            DevCapJsonString(out, w.text);
            first = false;
            if (e->kind == ENTRY_KEYWORD) break;
        }
    }
    DevCapSay(out, "]");
}

}  // namespace

int32_t DevCapDumpJson(const tDevConf& dev, const char* source, const tDevCapSink* out) {
    DevCapSay(out, "{\n  \"source\": ");
    DevCapJsonString(out, source != nullptr ? source : "");
    DevCapSay(out, ",\n  \"size\": %zu,\n  \"fields\": [", sizeof dev);
    bool reproducible = true;
    const tFieldList fields = DevCapFields();
    for (size_t i = 0; i < fields.count; ++i) {
        const tField& f = fields.fields[i];
        const tEntry* e = DevCapEntryAt(f.offset);
        char raw[64];
        DevCapRawText(dev, f, raw);
        tDevCapFieldValue v;
        DevCapFieldValueOf(dev, f, &v);
        const bool fieldReproducible = DevCapReproducible(dev, f);
        reproducible = reproducible && fieldReproducible;
        DevCapSay(out, "%s\n    {\"path\": \"%s\", \"offset\": %u, \"width\": %u, \"raw\": \"%s\", \"value\": ",
                  i ? "," : "", f.path, f.offset, f.width, raw);
        if (v.number) {
            DevCapSay(out, "%u", v.value);
        } else {
            DevCapSay(out, "null");
        }
        DevCapSay(out, ", \"default\": %s, \"entry\": ", DevCapIsDefault(dev, f) ? "true" : "false");
        if (e != nullptr) {
            DevCapSay(out, "\"%.*s\"", static_cast<int>(e->name.size()), e->name.data());
        } else {
            DevCapSay(out, "null");
        }
        DevCapSay(out, ", \"text\": ");
        if (v.has_text) {
            DevCapJsonString(out, v.text);
        } else {
            DevCapSay(out, "null");
        }
        DevCapSay(out, ", \"keywords\": ");
        JsonKeywords(dev, e, out);
        DevCapSay(out, ", \"reproducible\": %s}", fieldReproducible ? "true" : "false");
    }
    const int32_t result = DevCapDBCheck(&dev, nullptr);
    DevCapSay(out, "\n  ],\n  \"reproduces\": %s,\n  \"check\": {\"passes\": %s, \"lines\": [",
              reproducible ? "true" : "false", result == 0 ? "true" : "false");
    tJsonLines lines{out, true};
    DevCapCheckEach(dev, false, JsonLine, &lines);
    DevCapSay(out, "%s]}\n}\n", lines.first ? "" : "\n    ");
    return result;
}

void DevCapEntriesJson(const tDevCapSink* out) {
    DevCapSay(out, "[");
    const char* section = nullptr;
    for (size_t i = 0; const tEntry* e = DevCapEntryNumber(i, &section); ++i) {
        DevCapSay(out,
                  "%s\n  {\"name\": \"%.*s\", \"section\": \"%s\", \"kind\": \"%s\", \"field\": \"%s\", "
                  "\"offset\": %u, \"width\": %u, \"stop\": ",
                  i > 0 ? "," : "", static_cast<int>(e->name.size()), e->name.data(), section,
                  kDevCapKindNames[e->kind], DevCapFieldAt(e->offset)->path, e->offset, e->width);
        if (!e->stop.empty()) {
            DevCapJsonString(out, e->stop.data());
        } else {
            DevCapSay(out, "null");
        }
        DevCapSay(out, ", \"keywords\": [");
        for (size_t w = 0; w < e->words.count; ++w) {
            DevCapSay(out, "%s{\"text\": ", w > 0 ? ", " : "");
            DevCapJsonString(out, e->words.words[w].text);
            DevCapSay(out, ", \"code\": %u}", e->words.words[w].code);
        }
        DevCapSay(out, "]}");
    }
    DevCapSay(out, "\n]\n");
}
