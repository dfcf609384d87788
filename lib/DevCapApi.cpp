// DevCapApi.cpp - libdevcap's C interface over the core: argument checks,
// result codes, renderings into the caller's buffer.
#include <cerrno>
#include <cstring>

#include "DevCapCore.h"

namespace {

#define DEVCAP_STRING(x) #x
#define DEVCAP_VERSION_TEXT(a, b, c) DEVCAP_STRING(a) "." DEVCAP_STRING(b) "." DEVCAP_STRING(c)

tDevCapSink Sink(tDevCapMessageFn message, void* ctx) { return {message, ctx}; }

// Renders into a caller's buffer; answers the whole length.
template <typename Render>
size_t RenderInto(char* buf, size_t size, Render render) {
    tDevCapBuffer b{buf, buf != nullptr ? size : 0, 0};
    const tDevCapSink sink = DevCapBufferSink(&b);
    render(&sink);
    return DevCapBufferEnd(&b);
}

// A rendering through the caller's message function, as the buffer forms are
// through a buffer.
template <typename Render>
int RenderTo(tDevCapMessageFn message, void* ctx, Render render) {
    if (message == nullptr) return DEVCAP_BAD_ARGUMENT;
    const tDevCapSink sink = Sink(message, ctx);
    render(&sink);
    return DEVCAP_OK;
}

int Check(const tDevConf* dev, const tDevCapSink* out) {
    return DevCapDBCheck(dev, out) == 0 ? DEVCAP_OK : DEVCAP_REFUSED;
}

}  // namespace

const char* DevCapStrError(int result) {
    switch (result) {
        case DEVCAP_OK:
            return "success";
        case DEVCAP_REFUSED:
            return "refused: the text or record does not convert or pass the check";
        case DEVCAP_NOT_FOUND:
            return "no such field, entry, rule or keyword";
        case DEVCAP_TOO_WIDE:
            return "does not fit the field or the buffer";
        case DEVCAP_BAD_ARGUMENT:
            return "a null pointer where one is needed";
        case DEVCAP_IO_ERROR:
            return "a file could not be opened, read or written";
        default:
            return "unknown result";
    }
}

const char* DevCapLibVersion(void) {
    return DEVCAP_VERSION_TEXT(DEVCAP_VERSION_MAJOR, DEVCAP_VERSION_MINOR, DEVCAP_VERSION_PATCH);
}

void DevCapToFile(void* file, const char* text, size_t len) {
    if (file == nullptr || text == nullptr) return;
    const tDevCapSink sink = DevCapFileSink(static_cast<FILE*>(file));
    sink.write(sink.ctx, text, len);
}

int DevCapCloseStdout(const char* program, int status) {
    const bool failed = ferror(stdout) != 0;
    if (fclose(stdout) != 0 || failed) {
        fprintf(stderr, "%s: cannot write standard output: %s\n", program, strerror(errno));
        return 2;
    }
    return status;
}

void DevCapRecordInit(tDevConf* dev) {
    if (dev != nullptr) DevCapConfInit(dev);
}

int DevCapConvertText(const char* text, size_t size, const char* name, tDevConf* dev, tDevCapMessageFn message,
                      void* ctx) {
    if ((text == nullptr && size > 0) || dev == nullptr) return DEVCAP_BAD_ARGUMENT;
    const tDevCapSink out = Sink(message, ctx);
    DevCapConfInit(dev);
    if (DevCapTxtMem2Bin(dev, text != nullptr ? text : "", size, name != nullptr ? name : "", &out) != 0) {
        return DEVCAP_REFUSED;
    }
    return Check(dev, &out);
}

int DevCapConvertFile(const char* path, tDevConf* dev, tDevCapMessageFn message, void* ctx) {
    if (path == nullptr || dev == nullptr) return DEVCAP_BAD_ARGUMENT;
    const tDevCapSink out = Sink(message, ctx);
    DevCapConfInit(dev);
    bool unreadable = false;
    const int32_t read = DevCapTxtFile2Bin(dev, path, &out, &unreadable);
    if (unreadable) return DEVCAP_IO_ERROR;
    if (read != 0) return DEVCAP_REFUSED;
    return Check(dev, &out);
}

int DevCapCheckRecord(const tDevConf* dev, tDevCapMessageFn message, void* ctx) {
    if (dev == nullptr) return DEVCAP_BAD_ARGUMENT;
    const tDevCapSink out = Sink(message, ctx);
    return Check(dev, &out);
}

int DevCapIsRecord(const void* bytes, size_t size) {
    return bytes != nullptr && size == sizeof(tDevConf) && memchr(bytes, '\0', size) != nullptr ? 1 : 0;
}

int DevCapLoad(const void* bytes, size_t size, const char* name, tDevConf* dev, tDevCapMessageFn message, void* ctx) {
    if (dev == nullptr || (bytes == nullptr && size > 0)) return DEVCAP_BAD_ARGUMENT;
    if (!DevCapIsRecord(bytes, size))
        return DevCapConvertText(static_cast<const char*>(bytes), size, name, dev, message, ctx);
    memcpy(dev, bytes, sizeof *dev);
    return DEVCAP_OK;
}

int DevCapLoadDevice(const void* bytes, size_t size, const char* name, tDevConf* dev, const char** kind,
                     const char** status, tDevCapMessageFn message, void* ctx) {
    if (kind == nullptr || status == nullptr) return DEVCAP_BAD_ARGUMENT;
    *kind = nullptr;
    *status = "unreadable";
    if (dev == nullptr || (bytes == nullptr && size > 0)) return DEVCAP_BAD_ARGUMENT;
    const bool record = DevCapIsRecord(bytes, size) != 0;
    if (!record && size > 0 && memchr(bytes, '\0', size) != nullptr) return DEVCAP_BAD_ARGUMENT;
    *kind = record ? "record" : "text";
    // A record is taken as it is; only its check says whether it is fit.
    const int result = DevCapLoad(bytes, size, name, dev, record ? nullptr : message, ctx);
    const bool fit = record ? DevCapCheckRecord(dev, message, ctx) == DEVCAP_OK : result == DEVCAP_OK;
    *status = fit ? "ok" : "refused";
    return result;
}

int DevCapOutputPath(const char* input, char* path, size_t size, tDevCapMessageFn message, void* ctx) {
    if (input == nullptr || path == nullptr) return DEVCAP_BAD_ARGUMENT;
    const tDevCapSink out = Sink(message, ctx);
    char name[DEVCAP_PATH_SIZE];
    if (DevCapOutputName(input, name, &out) != 0) return DEVCAP_TOO_WIDE;
    const size_t len = strlen(name);
    if (len >= size) return DEVCAP_TOO_WIDE;
    memcpy(path, name, len + 1);
    return DEVCAP_OK;
}

int DevCapWriteRecord(const tDevConf* dev, const char* path, tDevCapMessageFn message, void* ctx) {
    if (dev == nullptr || path == nullptr) return DEVCAP_BAD_ARGUMENT;
    const tDevCapSink out = Sink(message, ctx);
    return DevCapOtuputBinFile(dev, path, &out) == 0 ? DEVCAP_OK : DEVCAP_IO_ERROR;
}

size_t DevCapRenderText(const tDevConf* dev, const char* source, char* buf, size_t size) {
    return RenderInto(buf, size,
                      [&](const tDevCapSink* out) { DevCapRenderTextTo(dev, source, out->write, out->ctx); });
}

int DevCapRenderTextTo(const tDevConf* dev, const char* source, tDevCapMessageFn message, void* ctx) {
    if (dev == nullptr) return DEVCAP_BAD_ARGUMENT;
    return RenderTo(message, ctx, [&](const tDevCapSink* out) { DevCapDumpText(*dev, source, out); });
}

size_t DevCapRenderLayout(const tDevConf* dev, char* buf, size_t size) {
    return RenderInto(buf, size, [&](const tDevCapSink* out) { DevCapRenderLayoutTo(dev, out->write, out->ctx); });
}

int DevCapRenderLayoutTo(const tDevConf* dev, tDevCapMessageFn message, void* ctx) {
    if (dev == nullptr) return DEVCAP_BAD_ARGUMENT;
    return RenderTo(message, ctx, [&](const tDevCapSink* out) { DevCapDumpLayout(*dev, out); });
}

size_t DevCapRenderJson(const tDevConf* dev, const char* source, char* buf, size_t size) {
    return RenderInto(buf, size,
                      [&](const tDevCapSink* out) { DevCapRenderJsonTo(dev, source, out->write, out->ctx); });
}

int DevCapRenderJsonTo(const tDevConf* dev, const char* source, tDevCapMessageFn message, void* ctx) {
    if (dev == nullptr) return DEVCAP_BAD_ARGUMENT;
    return RenderTo(message, ctx, [&](const tDevCapSink* out) { DevCapDumpJson(*dev, source, out); });
}

size_t DevCapRenderEntriesJson(char* buf, size_t size) {
    return RenderInto(buf, size, [](const tDevCapSink* out) { DevCapRenderEntriesJsonTo(out->write, out->ctx); });
}

int DevCapRenderEntriesJsonTo(tDevCapMessageFn message, void* ctx) {
    return RenderTo(message, ctx, [](const tDevCapSink* out) { DevCapEntriesJson(out); });
}

int DevCapGetField(const tDevConf* dev, const char* path, uint32_t* value) {
    if (dev == nullptr || path == nullptr || value == nullptr) return DEVCAP_BAD_ARGUMENT;
    const tField* f = DevCapFieldNamed(path);
    if (f == nullptr) return DEVCAP_NOT_FOUND;
    if (f->width > 4 || f->width == 3) return DEVCAP_TOO_WIDE;
    *value = DevCapFieldGet(dev, f->offset, f->width);
    return DEVCAP_OK;
}

int DevCapSetField(tDevConf* dev, const char* path, uint32_t value) {
    if (dev == nullptr || path == nullptr) return DEVCAP_BAD_ARGUMENT;
    const tField* f = DevCapFieldNamed(path);
    if (f == nullptr) return DEVCAP_NOT_FOUND;
    if (f->width > 4 || f->width == 3 || (f->width < 4 && value >> (8 * f->width) != 0)) return DEVCAP_TOO_WIDE;
    DevCapFieldSet(dev, f->offset, f->width, value);
    return DEVCAP_OK;
}

size_t DevCapFieldCount(void) { return DevCapFields().count; }

int DevCapFieldValue(const tDevConf* dev, size_t index, tDevCapFieldValue* field) {
    if (dev == nullptr || field == nullptr) return DEVCAP_BAD_ARGUMENT;
    const tFieldList fields = DevCapFields();
    if (index >= fields.count) return DEVCAP_NOT_FOUND;
    DevCapFieldValueOf(*dev, fields.fields[index], field);
    return DEVCAP_OK;
}

int DevCapFieldInfo(size_t index, tDevCapFieldInfo* info) {
    if (info == nullptr) return DEVCAP_BAD_ARGUMENT;
    const tFieldList fields = DevCapFields();
    if (index >= fields.count) return DEVCAP_NOT_FOUND;
    const tField& f = fields.fields[index];
    const tEntry* e = DevCapEntryAt(f.offset);
    *info = {f.path, f.offset, f.width, e != nullptr ? e->name.data() : nullptr};
    return DEVCAP_OK;
}

size_t DevCapEntryCount(void) { return DevCapEntryTotal(); }

int DevCapEntryInfo(size_t index, tDevCapEntryInfo* info) {
    if (info == nullptr) return DEVCAP_BAD_ARGUMENT;
    const char* section = nullptr;
    const tEntry* e = DevCapEntryNumber(index, &section);
    if (e == nullptr) return DEVCAP_NOT_FOUND;
    const char* stop = e->stop.data();  // nullptr: none
    *info = {e->name.data(), section, kDevCapKindNames[e->kind], DevCapFieldAt(e->offset)->path, e->offset, e->width,
             e->words.count, stop};
    return DEVCAP_OK;
}

int DevCapEntryIndex(const char* name, size_t size) {
    if (name == nullptr) return DEVCAP_BAD_ARGUMENT;
    const tEntry* e = DevCapFindEntry({name, size});
    for (size_t i = 0; e != nullptr && i < DevCapEntryTotal(); ++i) {
        if (DevCapEntryNumber(i, nullptr) == e) return static_cast<int>(i);
    }
    return DEVCAP_NOT_FOUND;
}

int DevCapEntryKeyword(size_t entry, size_t keyword, const char** text, uint32_t* code) {
    if (text == nullptr || code == nullptr) return DEVCAP_BAD_ARGUMENT;
    const tEntry* e = DevCapEntryNumber(entry, nullptr);
    if (e == nullptr || keyword >= e->words.count) return DEVCAP_NOT_FOUND;
    *text = e->words.words[keyword].text.data();  // every keyword is a string literal
    *code = e->words.words[keyword].code;
    return DEVCAP_OK;
}

int DevCapEntryValue(const char* name, const char* value, uint32_t* code) {
    if (name == nullptr || value == nullptr || code == nullptr) return DEVCAP_BAD_ARGUMENT;
    const tEntry* e = DevCapFindEntry(name);
    if (e == nullptr) return DEVCAP_NOT_FOUND;
    char data[DEVCAP_DATA_SIZE];
    if (strlen(value) >= sizeof data) return DEVCAP_TOO_WIDE;
    memcpy(data, value, strlen(value) + 1);
    tDevConf dev;
    DevCapConfInit(&dev);
    const char* bad = nullptr;
    if (DevCapEntryTxt2Bin(*e, data, strlen(data), &dev, nullptr, &bad) != 0) return DEVCAP_REFUSED;
    *code = DevCapFieldGet(&dev, e->offset, e->width);
    return DEVCAP_OK;
}

size_t DevCapLintRuleCount(void) { return LINT_RULE_COUNT; }

int DevCapLintRuleInfo(size_t index, tDevCapLintRule* info) {
    if (info == nullptr) return DEVCAP_BAD_ARGUMENT;
    if (index >= LINT_RULE_COUNT) return DEVCAP_NOT_FOUND;
    const tLintRule& r = *kDevCapLintRules[index];
    *info = {r.name, kDevCapLintSeverity[r.severity], r.summary};
    return DEVCAP_OK;
}

int DevCapLintCommentTurnsOff(const tDevCapFinding* f) {
    if (f == nullptr || f->rule == nullptr || f->severity == nullptr) return 0;
    return strcmp(f->severity, "error") != 0 && DevCapLintRuleNamed(f->rule) != LINT_BOM ? 1 : 0;
}

int DevCapLintDisable(const char* list, uint32_t* disabled, tDevCapMessageFn message, void* ctx) {
    if (list == nullptr || disabled == nullptr) return DEVCAP_BAD_ARGUMENT;
    uint32_t mask = *disabled;
    std::string_view bad;
    const char* why = DevCapLintParseRules(list, &mask, &bad);
    if (why != nullptr) {
        const tDevCapSink out = Sink(message, ctx);
        DevCapSay(&out, "'%.*s' %s\n", static_cast<int>(bad.size()), bad.data(), why);
        return DevCapLintRuleNamed(bad) == LINT_RULE_COUNT ? DEVCAP_NOT_FOUND : DEVCAP_REFUSED;
    }
    *disabled = mask;
    return DEVCAP_OK;
}

int DevCapLintText(const char* text, size_t size, tDevCapFindingFn finding, void* ctx) {
    return DevCapLintTextDisabled(text, size, 0, finding, ctx);
}

int DevCapLintTextDisabled(const char* text, size_t size, uint32_t disabled, tDevCapFindingFn finding, void* ctx) {
    if (text == nullptr && size > 0) return DEVCAP_BAD_ARGUMENT;
    const tDevCapFindingFn none = [](void*, const tDevCapFinding*) {};
    return DevCapLint(text != nullptr ? text : "", size, disabled, finding != nullptr ? finding : none, ctx);
}

size_t DevCapLintFix(const char* text, size_t size, uint32_t disabled, char* buf, size_t bufsize) {
    return RenderInto(buf, bufsize,
                      [&](const tDevCapSink* out) { DevCapLintFixTo(text, size, disabled, out->write, out->ctx); });
}

int DevCapLintFixTo(const char* text, size_t size, uint32_t disabled, tDevCapMessageFn message, void* ctx) {
    if (text == nullptr && size > 0) return DEVCAP_BAD_ARGUMENT;
    return RenderTo(message, ctx, [&](const tDevCapSink* out) {
        DevCapLintApplyFixes(text != nullptr ? text : "", size, disabled, out);
    });
}

size_t DevCapRenderFindingJson(const tDevCapFinding* finding, const char* file, char* buf, size_t size) {
    return RenderInto(buf, size,
                      [&](const tDevCapSink* out) { DevCapRenderFindingJsonTo(finding, file, out->write, out->ctx); });
}

int DevCapRenderFindingJsonTo(const tDevCapFinding* finding, const char* file, tDevCapMessageFn message, void* ctx) {
    if (finding == nullptr) return DEVCAP_BAD_ARGUMENT;
    return RenderTo(message, ctx, [&](const tDevCapSink* out) { DevCapFindingJson(*finding, file, out); });
}

int DevCapDiffRecords(const tDevConf* a, const tDevConf* b, tDevCapChangeFn change, void* ctx) {
    if (a == nullptr || b == nullptr) return DEVCAP_BAD_ARGUMENT;
    const tDevCapChangeFn none = [](void*, const tDevCapChange*) {};
    return DevCapDiff(*a, *b, change != nullptr ? change : none, ctx);
}

size_t DevCapRenderDiff(const tDevConf* a, const tDevConf* b, char* buf, size_t size) {
    return RenderInto(buf, size, [&](const tDevCapSink* out) { DevCapRenderDiffTo(a, b, out->write, out->ctx); });
}

int DevCapRenderDiffTo(const tDevConf* a, const tDevConf* b, tDevCapMessageFn message, void* ctx) {
    if (a == nullptr || b == nullptr) return DEVCAP_BAD_ARGUMENT;
    return RenderTo(message, ctx, [&](const tDevCapSink* out) { DevCapDiffText(*a, *b, out); });
}

size_t DevCapRenderDiffJson(const tDevConf* a, const tDevConf* b, const char* name_a, const char* name_b, char* buf,
                            size_t size) {
    return RenderInto(
        buf, size, [&](const tDevCapSink* out) { DevCapRenderDiffJsonTo(a, b, name_a, name_b, out->write, out->ctx); });
}

int DevCapRenderDiffJsonTo(const tDevConf* a, const tDevConf* b, const char* name_a, const char* name_b,
                           tDevCapMessageFn message, void* ctx) {
    if (a == nullptr || b == nullptr) return DEVCAP_BAD_ARGUMENT;
    return RenderTo(message, ctx, [&](const tDevCapSink* out) { DevCapDiffJson(*a, *b, name_a, name_b, out); });
}

size_t DevCapRenderCsvHeader(const char* fields, char* buf, size_t size) {
    return RenderInto(buf, size,
                      [&](const tDevCapSink* out) { DevCapRenderCsvHeaderTo(fields, out->write, out->ctx); });
}

int DevCapRenderCsvHeaderTo(const char* fields, tDevCapMessageFn message, void* ctx) {
    return RenderTo(message, ctx, [&](const tDevCapSink* out) { DevCapCsvHeader(fields, out); });
}

size_t DevCapRenderCsvRow(const tDevConf* dev, const char* file, const char* kind, const char* status,
                          const char* fields, char* buf, size_t size) {
    return RenderInto(buf, size, [&](const tDevCapSink* out) {
        DevCapRenderCsvRowTo(dev, file, kind, status, fields, out->write, out->ctx);
    });
}

int DevCapRenderCsvRowTo(const tDevConf* dev, const char* file, const char* kind, const char* status,
                         const char* fields, tDevCapMessageFn message, void* ctx) {
    return RenderTo(message, ctx, [&](const tDevCapSink* out) { DevCapCsvRow(dev, file, kind, status, fields, out); });
}

size_t DevCapRenderJsonRow(const tDevConf* dev, const char* file, const char* kind, const char* status,
                           const char* fields, char* buf, size_t size) {
    return RenderInto(buf, size, [&](const tDevCapSink* out) {
        DevCapRenderJsonRowTo(dev, file, kind, status, fields, out->write, out->ctx);
    });
}

int DevCapRenderJsonRowTo(const tDevConf* dev, const char* file, const char* kind, const char* status,
                          const char* fields, tDevCapMessageFn message, void* ctx) {
    return RenderTo(message, ctx, [&](const tDevCapSink* out) { DevCapJsonRow(dev, file, kind, status, fields, out); });
}

size_t DevCapRenderJsonString(const char* text, char* buf, size_t size) {
    return RenderInto(buf, size, [&](const tDevCapSink* out) { DevCapRenderJsonStringTo(text, out->write, out->ctx); });
}

int DevCapRenderJsonStringTo(const char* text, tDevCapMessageFn message, void* ctx) {
    return RenderTo(message, ctx, [&](const tDevCapSink* out) {
        if (text != nullptr) {
            DevCapJsonString(out, text);
        } else {
            DevCapSay(out, "null");
        }
    });
}
