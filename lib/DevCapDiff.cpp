// DevCapDiff.cpp - what differs between two records: field by field, as the
// entries' keywords, and the lines of the check that appear or disappear.
#include <cstring>

#include "DevCapCore.h"

namespace {

// The line a rule prints for a record, empty when it does not fire.
void RuleLine(const tCheckRule& rule, const tDevConf& dev, char (&line)[256]) {
    tDevCapBuffer b{line, sizeof line, 0};
    const tDevCapSink sink = DevCapBufferSink(&b);
    if (!rule.fires(dev, rule, &sink)) b.len = 0;
    DevCapBufferEnd(&b);
    line[strcspn(line, "\n")] = '\0';
}

// The text form's columns: measured on a first pass (out null), then printed.
struct tText {
    const tDevCapSink* out;
    int path, entry, a;
};

int Widest(int width, const char* text) {
    const int len = static_cast<int>(strlen(text));
    return len > width ? len : width;
}

void Text(void* ctx, const tDevCapChange* c) {
    auto* t = static_cast<tText*>(ctx);
    const char* entry = c->entry != nullptr ? c->entry : "-";
    if (c->path != nullptr && t->out == nullptr) {
        t->path = Widest(t->path, c->path);
        t->entry = Widest(t->entry, entry);
        t->a = Widest(t->a, c->a);
    } else if (c->path != nullptr) {
        DevCapSay(t->out, "%-*s  %-*s  %-*s -> %s\n", t->path, c->path, t->entry, entry, t->a, c->a, c->b);
    } else if (t->out != nullptr) {
        if (c->a != nullptr) DevCapSay(t->out, "- %s\n", c->a);
        if (c->b != nullptr) DevCapSay(t->out, "+ %s\n", c->b);
    }
}

struct tJson {
    const tDevCapSink* out;
    bool field;  // a field printed
    int line;    // check lines printed, of the list being printed
    bool appear;
};

void JsonString(const tDevCapSink* out, const char* text) {
    if (text != nullptr) {
        DevCapJsonString(out, text);
    } else {
        DevCapSay(out, "null");
    }
}

void JsonField(void* ctx, const tDevCapChange* c) {
    auto* j = static_cast<tJson*>(ctx);
    if (c->path == nullptr) return;
    DevCapSay(j->out, "%s\n    {\"path\": \"%s\", \"entry\": ", j->field ? "," : "", c->path);
    JsonString(j->out, c->entry);
    DevCapSay(j->out, ", \"offset\": %u, \"width\": %u, \"a\": ", c->offset, c->width);
    DevCapJsonString(j->out, c->a);
    DevCapSay(j->out, ", \"b\": ");
    DevCapJsonString(j->out, c->b);
    DevCapSay(j->out, "}");
    j->field = true;
}

void JsonLine(void* ctx, const tDevCapChange* c) {
    auto* j = static_cast<tJson*>(ctx);
    const char* line = j->appear ? c->b : c->a;
    if (c->path != nullptr || line == nullptr) return;
    DevCapSay(j->out, "%s", j->line++ > 0 ? ", " : "");
    DevCapJsonString(j->out, line);
}

}  // namespace

int DevCapDiff(const tDevConf& a, const tDevConf& b, tDevCapChangeFn change, void* ctx) {
    int n = 0;
    const tFieldList fields = DevCapFields();
    for (size_t i = 0; i < fields.count; ++i) {
        const tField& f = fields.fields[i];
        const auto* bytesA = reinterpret_cast<const uint8_t*>(&a) + f.offset;
        if (memcmp(bytesA, reinterpret_cast<const uint8_t*>(&b) + f.offset, f.width) == 0) continue;
        char textA[DEVCAP_DATA_SIZE], textB[DEVCAP_DATA_SIZE];
        DevCapFieldText(a, f, textA);
        DevCapFieldText(b, f, textB);
        const tEntry* e = DevCapEntryAt(f.offset);
        const tDevCapChange c{f.path, e != nullptr ? e->name.data() : nullptr, f.offset, f.width, textA, textB};
        change(ctx, &c);
        ++n;
    }
    if (n == 0) return 0;
    // Every rule on its own, as the linter weighs them: a failure behind the
    // first one still shows.
    const tCheckRuleList rules = DevCapCheckRules();
    for (size_t r = 0; r < rules.count; ++r) {
        const tCheckRule& rule = *rules.rules[r];
        // Most rules hold for both: weighed quietly first, put in words only when they fire.
        const bool firesA = rule.fires(a, rule, nullptr), firesB = rule.fires(b, rule, nullptr);
        if (!firesA && !firesB) continue;
        char lineA[256] = "", lineB[256] = "";
        if (firesA) RuleLine(rule, a, lineA);
        if (firesB) RuleLine(rule, b, lineB);
        if (strcmp(lineA, lineB) == 0) continue;
        const tDevCapChange c{
            nullptr, nullptr, 0, 0, lineA[0] != '\0' ? lineA : nullptr, lineB[0] != '\0' ? lineB : nullptr};
        change(ctx, &c);
        ++n;
    }
    return n;
}

void DevCapDiffText(const tDevConf& a, const tDevConf& b, const tDevCapSink* out) {
    tText t{nullptr, 0, 0, 0};
    DevCapDiff(a, b, Text, &t);
    t.out = out;
    DevCapDiff(a, b, Text, &t);
}

void DevCapDiffJson(const tDevConf& a, const tDevConf& b, const char* nameA, const char* nameB,
                    const tDevCapSink* out) {
    DevCapSay(out, "{\n  \"a\": ");
    JsonString(out, nameA);
    DevCapSay(out, ",\n  \"b\": ");
    JsonString(out, nameB);
    DevCapSay(out, ",\n  \"same\": %s,\n  \"fields\": [", memcmp(&a, &b, sizeof a) == 0 ? "true" : "false");
    tJson j{out, false, 0, false};
    DevCapDiff(a, b, JsonField, &j);
    DevCapSay(out, "%s],\n  \"check\": {\"disappear\": [", j.field ? "\n  " : "");
    DevCapDiff(a, b, JsonLine, &j);
    DevCapSay(out, "], \"appear\": [");
    j.line = 0;
    j.appear = true;
    DevCapDiff(a, b, JsonLine, &j);
    DevCapSay(out, "]}\n}\n");
}
