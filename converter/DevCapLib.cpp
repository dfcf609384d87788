// DevCapLib.cpp - the C interface of libdevcap over the converter core.
#include <cstring>

#include "DevCapDump.h"
#include "DevCapLint.h"
#include "libdevcap.h"

#ifndef DEVCAP_VERSION
#error "DEVCAP_VERSION must name the library's version"
#endif

namespace {

tDevCapSink Sink(tDevCapMessageFn message, void* ctx) { return {message, ctx}; }

// Renders into a caller's buffer, counting what did not fit.
struct tBuffer {
    char* buf;
    size_t size;
    size_t len;  // of the whole rendering
};

void Append(void* ctx, const char* text, size_t len) {
    auto* b = static_cast<tBuffer*>(ctx);
    if (b->size > 0 && b->len < b->size - 1) {
        const size_t room = b->size - 1 - b->len;
        memcpy(b->buf + b->len, text, len < room ? len : room);
    }
    b->len += len;
}

template <typename Render>
size_t RenderInto(char* buf, size_t size, Render render) {
    tBuffer b{buf, size, 0};
    const tDevCapSink sink{Append, &b};
    render(&sink);
    if (size > 0) buf[b.len < size ? b.len : size - 1] = '\0';
    return b.len;
}

const tField* FieldNamed(const char* path) {
    if (path == nullptr) return nullptr;
    const tFieldList fields = DevCapFields();
    for (size_t i = 0; i < fields.count; ++i) {
        if (strcmp(fields.fields[i].path, path) == 0) return &fields.fields[i];
    }
    return nullptr;
}

const tEntry* EntryNumber(size_t index, const char** section) {
    const tSectionList list = DevCapSections();
    for (size_t s = 0; s < list.count; ++s) {
        if (index < list.sections[s].count) {
            *section = list.sections[s].title;
            return &list.sections[s].entries[index];
        }
        index -= list.sections[s].count;
    }
    return nullptr;
}

}  // namespace

const char* DevCapLibVersion(void) { return DEVCAP_VERSION; }

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
    return DevCapDBCheck(dev, &out) == 0 ? DEVCAP_OK : DEVCAP_REFUSED;
}

int DevCapConvertFile(const char* path, tDevConf* dev, tDevCapMessageFn message, void* ctx) {
    if (path == nullptr || dev == nullptr) return DEVCAP_BAD_ARGUMENT;
    const tDevCapSink out = Sink(message, ctx);
    DevCapConfInit(dev);
    bool unreadable = false;
    const int32_t read = DevCapTxtFile2Bin(dev, path, &out, &unreadable);
    if (unreadable) return DEVCAP_IO_ERROR;
    if (read != 0) return DEVCAP_REFUSED;
    return DevCapDBCheck(dev, &out) == 0 ? DEVCAP_OK : DEVCAP_REFUSED;
}

int DevCapCheckRecord(const tDevConf* dev, tDevCapMessageFn message, void* ctx) {
    if (dev == nullptr) return DEVCAP_BAD_ARGUMENT;
    const tDevCapSink out = Sink(message, ctx);
    return DevCapDBCheck(dev, &out) == 0 ? DEVCAP_OK : DEVCAP_REFUSED;
}

int DevCapOutputPath(const char* input, char* path, size_t size, tDevCapMessageFn message, void* ctx) {
    if (input == nullptr || path == nullptr) return DEVCAP_BAD_ARGUMENT;
    const tDevCapSink out = Sink(message, ctx);
    char name[DEVCAP_PATH_SIZE];
    if (DevCapOutputName(input, name, &out) != 0 || strlen(name) >= size) return DEVCAP_TOO_WIDE;
    memcpy(path, name, strlen(name) + 1);
    return DEVCAP_OK;
}

int DevCapWriteRecord(const tDevConf* dev, const char* path, tDevCapMessageFn message, void* ctx) {
    if (dev == nullptr || path == nullptr) return DEVCAP_BAD_ARGUMENT;
    const tDevCapSink out = Sink(message, ctx);
    return DevCapOtuputBinFile(dev, path, &out) == 0 ? DEVCAP_OK : DEVCAP_IO_ERROR;
}

size_t DevCapRenderText(const tDevConf* dev, const char* source, char* buf, size_t size) {
    if (dev == nullptr) return 0;
    return RenderInto(buf, size, [&](const tDevCapSink* out) { DevCapDumpText(*dev, source ? source : "", out); });
}

size_t DevCapRenderLayout(const tDevConf* dev, char* buf, size_t size) {
    if (dev == nullptr) return 0;
    return RenderInto(buf, size, [&](const tDevCapSink* out) { DevCapDumpLayout(*dev, out); });
}

size_t DevCapRenderJson(const tDevConf* dev, const char* source, char* buf, size_t size) {
    if (dev == nullptr) return 0;
    return RenderInto(buf, size, [&](const tDevCapSink* out) { DevCapDumpJson(*dev, source ? source : "", out); });
}

int DevCapGetField(const tDevConf* dev, const char* path, uint32_t* value) {
    if (dev == nullptr || value == nullptr) return DEVCAP_BAD_ARGUMENT;
    const tField* f = FieldNamed(path);
    if (f == nullptr) return DEVCAP_NOT_FOUND;
    if (f->width > 4 || f->width == 3) return DEVCAP_TOO_WIDE;
    *value = DevCapLoad(dev, f->offset, f->width);
    return DEVCAP_OK;
}

int DevCapSetField(tDevConf* dev, const char* path, uint32_t value) {
    if (dev == nullptr) return DEVCAP_BAD_ARGUMENT;
    const tField* f = FieldNamed(path);
    if (f == nullptr) return DEVCAP_NOT_FOUND;
    if (f->width > 4 || f->width == 3 || (f->width < 4 && value >> (8 * f->width) != 0)) return DEVCAP_TOO_WIDE;
    DevCapStore(dev, f->offset, f->width, value);
    return DEVCAP_OK;
}

size_t DevCapFieldCount(void) { return DevCapFields().count; }

int DevCapFieldInfo(size_t index, tDevCapFieldInfo* info) {
    if (info == nullptr) return DEVCAP_BAD_ARGUMENT;
    const tFieldList fields = DevCapFields();
    if (index >= fields.count) return DEVCAP_NOT_FOUND;
    const tField& f = fields.fields[index];
    const tEntry* e = DevCapEntryAt(f.offset);
    *info = {f.path, f.offset, f.width, e != nullptr ? e->name.data() : nullptr};
    return DEVCAP_OK;
}

size_t DevCapEntryCount(void) {
    size_t n = 0;
    const tSectionList list = DevCapSections();
    for (size_t s = 0; s < list.count; ++s) n += list.sections[s].count;
    return n;
}

int DevCapEntryInfo(size_t index, tDevCapEntryInfo* info) {
    if (info == nullptr) return DEVCAP_BAD_ARGUMENT;
    const char* section = nullptr;
    const tEntry* e = EntryNumber(index, &section);
    if (e == nullptr) return DEVCAP_NOT_FOUND;
    *info = {e->name.data(), section,  DevCapKindName(e->kind), DevCapFieldAt(e->offset)->path,
             e->offset,      e->width, e->words.count,          e->stop};
    return DEVCAP_OK;
}

int DevCapEntryKeyword(size_t entry, size_t keyword, const char** text, uint32_t* code) {
    if (text == nullptr || code == nullptr) return DEVCAP_BAD_ARGUMENT;
    const char* section = nullptr;
    const tEntry* e = EntryNumber(entry, &section);
    if (e == nullptr || keyword >= e->words.count) return DEVCAP_NOT_FOUND;
    *text = e->words.words[keyword].text.data();  // every keyword is a string literal
    *code = e->words.words[keyword].code;
    return DEVCAP_OK;
}

int DevCapLintText(const char* text, size_t size, tDevCapFindingFn finding, void* ctx) {
    if (text == nullptr && size > 0) return DEVCAP_BAD_ARGUMENT;
    struct tForward {
        tDevCapFindingFn finding;
        void* ctx;
    } forward{finding, ctx};
    const tLintReport report{[](void* c, const tLintFinding& f) {
                                 const auto* fw = static_cast<const tForward*>(c);
                                 const tDevCapFinding out{f.line, f.column, kDevCapLintSeverity[f.severity],
                                                          kDevCapLintRules[f.rule].name, f.message};
                                 if (fw->finding != nullptr) fw->finding(fw->ctx, &out);
                             },
                             &forward};
    return DevCapLintMem(text != nullptr ? text : "", size, 0, report);
}
