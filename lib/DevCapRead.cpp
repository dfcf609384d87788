// DevCapRead.cpp - the reader: the text cut into pieces as fgets cuts a file,
// each piece split into a name and a value, each entry sent to the section
// that owns it.
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "DevCapCore.h"

namespace {

// Moves bytes from [*at, end) into buf + *n as fgets would: up to room bytes,
// through a line end. Answers whether the piece ended at a line end.
bool TakePiece(const char** at, const char* end, char* buf, size_t* n, size_t room) {
    const size_t avail = static_cast<size_t>(end - *at) < room - *n ? static_cast<size_t>(end - *at) : room - *n;
    const auto* nl = static_cast<const char*>(memchr(*at, '\n', avail));
    const size_t take = nl != nullptr ? static_cast<size_t>(nl - *at) + 1 : avail;
    memcpy(buf + *n, *at, take);
    *n += take;
    *at += take;
    return nl != nullptr;
}

size_t StreamNext(void* ctx, char* buf, size_t size) {
    auto* s = static_cast<tStreamText*>(ctx);
    size_t n = 0;
    while (n + 1 < size) {
        if (s->at == s->end) {
            const size_t got = fread(s->block, 1, sizeof s->block, s->fp);
            if (got == 0) break;
            s->at = s->block;
            s->end = s->block + got;
        }
        if (TakePiece(&s->at, s->end, buf, &n, size - 1)) break;
    }
    buf[n] = '\0';
    return n;
}

bool StreamFailed(void* ctx) { return ferror(static_cast<tStreamText*>(ctx)->fp) != 0; }

size_t MemNext(void* ctx, char* buf, size_t size) {
    auto* m = static_cast<tMemText*>(ctx);
    size_t n = 0;
    TakePiece(&m->at, m->end, buf, &n, size - 1);
    buf[n] = '\0';
    return n;
}

bool MemFailed(void*) { return false; }

}  // namespace

// Splits one piece into name and value: PIECE_ENTRY, or why it is none.
tPieceKind DevCapSplitEntry(const char* buf, size_t len, char (&name)[DEVCAP_NAME_SIZE],
                            char (&data)[DEVCAP_DATA_SIZE]) {
    tPieceSpans s;
    const tPieceKind kind = DevCapPieceSpans(buf, len, &s);
    if (kind != PIECE_ENTRY) return kind;
    memcpy(name, buf, s.eq);
    name[s.eq] = '\0';
    memcpy(data, buf + s.value, s.valueEnd - s.value);
    data[s.valueEnd - s.value] = '\0';
    return PIECE_ENTRY;
}

int32_t DevCapReadPieces(tDevConf* dev, const tPieceSource& src, const char* input, const tDevCapSink* out,
                         const tPieceObserver* seen) {
    char buf[DEVCAP_LINE_SIZE];
    char name[DEVCAP_NAME_SIZE];
    char data[DEVCAP_DATA_SIZE];
    char value[DEVCAP_DATA_SIZE];
    int32_t ret = 0;
    tPiece p{buf, 0, 1, 1, PIECE_SKIPPED, name, value, data, nullptr, nullptr};
    // A physical line longer than the buffer arrives in pieces, each a line of its own.
    for (size_t len; (len = src.next(src.ctx, buf, sizeof buf)) > 0;) {
        p.len = len;
        p.entry = nullptr;
        p.bad = nullptr;
        p.kind = DevCapSplitEntry(buf, len, name, data);
        if (p.kind == PIECE_ENTRY) {
            if (seen != nullptr) memcpy(value, data, sizeof value);
            p.entry = DevCapFindEntry(name);
            // The name goes straight to its section; one no section owns is
            // declined by all of them.
            if (p.entry == nullptr || DevCapEntryTxt2Bin(*p.entry, data, dev, out, &p.bad) != 0) {
                p.kind = DevCapTextIs(name, "EOF") ? PIECE_EOF : PIECE_REJECTED;
            }
            if (p.kind == PIECE_REJECTED) {
                DevCapSay(out, "%s:Error. Unknown configuration %s='%s' ('%s')\n", "DevCapTxtFile2Bin", name, data,
                          buf);
                ret = DEVCAP_ERROR;
            }
        }
        if (seen != nullptr) seen->piece(seen->ctx, p);
        if (p.kind == PIECE_EOF) break;
        if (len > 0 && buf[len - 1] == '\n') {
            ++p.line;
            p.column = 1;
        } else {
            p.column += static_cast<uint32_t>(len);
        }
    }
    // A read error must not pass off what was read so far as the whole file.
    if (src.failed(src.ctx)) {
        DevCapSay(out, "%s:Error. read %s file\n", "DevCapTxtFile2Bin", input);
        ret = DEVCAP_ERROR;
    }
    return ret;
}

tPieceSource DevCapStreamSource(tStreamText* stream, FILE* fp) {
    stream->fp = fp;
    stream->at = stream->end = stream->block;
    return {StreamNext, StreamFailed, stream};
}

tPieceSource DevCapMemSource(tMemText* mem, const char* text, size_t size) {
    *mem = {text, text + size};
    return {MemNext, MemFailed, mem};
}

int32_t DevCapTxtMem2Bin(tDevConf* dev, const char* text, size_t size, const char* input, const tDevCapSink* out) {
    tMemText mem;
    return DevCapReadPieces(dev, DevCapMemSource(&mem, text, size), input, out, nullptr);
}

int32_t DevCapTxtFile2Bin(tDevConf* dev, const char* input, const tDevCapSink* out, bool* unreadable) {
    FILE* fp = fopen(input, "rb");
    if (unreadable != nullptr) *unreadable = fp == nullptr;
    if (fp == nullptr) {
        DevCapSay(out, "%s:Error. open %s file\n", "DevCapTxtFile2Bin", input);
        return DEVCAP_ERROR;
    }
    tStreamText stream;
    const int32_t ret = DevCapReadPieces(dev, DevCapStreamSource(&stream, fp), input, out, nullptr);
    if (unreadable != nullptr) *unreadable = ferror(fp) != 0;
    fclose(fp);
    return ret;
}

int DevCapLoadFile(const char* path, const char* name, tDevConf* dev, tDevCapMessageFn message, void* ctx) {
    if (dev == nullptr) return DEVCAP_BAD_ARGUMENT;
    FILE* fp = path != nullptr ? fopen(path, "rb") : stdin;
    if (fp == nullptr) return DEVCAP_IO_ERROR;
    // The first block tells a record from a text, and is the text's start.
    tStreamText stream;
    const tPieceSource src = DevCapStreamSource(&stream, fp);
    size_t got = 0;
    for (size_t n;
         got < sizeof stream.block && (n = fread(stream.block + got, 1, sizeof stream.block - got, fp)) > 0;) {
        got += n;
    }
    stream.end = stream.block + got;
    int result = DEVCAP_IO_ERROR;
    const tDevCapSink out{message, ctx};
    if (ferror(fp) == 0 && DevCapIsRecord(stream.block, got)) {
        memcpy(dev, stream.block, sizeof *dev);
        result = DEVCAP_OK;
    } else if (ferror(fp) == 0) {
        DevCapConfInit(dev);
        const int32_t read = DevCapReadPieces(dev, src, name != nullptr ? name : "", &out, nullptr);
        result = ferror(fp) != 0                              ? DEVCAP_IO_ERROR
                 : read != 0 || DevCapDBCheck(dev, &out) != 0 ? DEVCAP_REFUSED
                                                              : DEVCAP_OK;
    }
    const int error = errno;
    if (path != nullptr) fclose(fp);
    errno = error;
    return result;
}
