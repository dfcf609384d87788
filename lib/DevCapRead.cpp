// DevCapRead.cpp - the reader: the text cut into pieces as fgets cuts a file,
// read in blocks and cut where it lies, each piece split into a name and a
// value, each entry offered to the handler of the section that owns it.
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "DevCapCore.h"

namespace {

constexpr char kSaysUnknownConfiguration[] = "%s:Error. Unknown configuration %s='%s' ('%s')\n";  // as shipped
constexpr char kSaysOpenFailed[] = "%s:Error. open %s file\n";                                    // as shipped
// Ours, in the shipped lines' form: a read error after the file opened.
constexpr char kSaysReadFailed[] = "%s:Error. read %s file\n";

// The next piece, where it lies: its length, in *text its bytes before a NUL
// byte and in *eq where its first '=' is, if it was found (DevCapPieceScan).
inline size_t NextPiece(const tPieceSource& src, const char** piece, size_t* text, size_t* eq) {
    tTextCursor* c = src.cursor;
    size_t avail = static_cast<size_t>(c->end - c->at);
    size_t len = DevCapPieceScan(c->at, avail, eq);
    // A piece that ends with the bytes at hand, short and without a line end, may go on behind them.
    if (len == avail && len < DEVCAP_PIECE_MAX && src.fill != nullptr && (len == 0 || c->at[len - 1] != '\n')) {
        avail = src.fill(src.ctx);
        len = DevCapPieceScan(c->at, avail, eq);
    }
    *piece = c->at;
    *text = len;
    // Mostly the next NUL (or the end) lies past the piece: one comparison.
    if (c->nul < c->at + len) {
        // The NUL found earlier is behind us: look for the next one, once.
        if (c->nul < c->at) {
            const void* nul = memchr(c->at, '\0', static_cast<size_t>(c->end - c->at));
            c->nul = nul != nullptr ? static_cast<const char*>(nul) : c->end;
        }
        if (c->nul < c->at + len) *text = static_cast<size_t>(c->nul - c->at);
    }
    c->at += len;
    return len;
}

size_t StreamFill(void* ctx) { return DevCapStreamFill(static_cast<tStreamText*>(ctx)); }

size_t Copy(size_t len, const char* piece, char* buf, size_t size) {
    const size_t n = len < size ? len : size - 1;
    memcpy(buf, piece, n);
    buf[n] = '\0';
    return n;
}

size_t StreamNext(void* ctx, char* buf, size_t size) {
    auto* s = static_cast<tStreamText*>(ctx);
    const char* piece = buf;
    size_t text = 0, eq = 0;
    const size_t len = NextPiece({&s->c, StreamFill, nullptr, nullptr, s}, &piece, &text, &eq);
    return Copy(len, piece, buf, size);
}

size_t MemNext(void* ctx, char* buf, size_t size) {
    const char* piece = buf;
    size_t text = 0, eq = 0;
    const size_t len = NextPiece({&static_cast<tMemText*>(ctx)->c, nullptr, nullptr, nullptr, ctx}, &piece, &text, &eq);
    return Copy(len, piece, buf, size);
}

bool StreamFailed(void* ctx) { return ferror(static_cast<tStreamText*>(ctx)->fp) != 0; }

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
    // A physical line longer than a piece arrives in pieces, each a line of its own.
    const char* piece = nullptr;
    for (size_t len, text, eq; (len = NextPiece(src, &piece, &text, &eq)) > 0;) {
        tPieceSpans s;
        p.len = len;
        p.kind = DevCapTextSpans(piece, text, eq, &s);
        tTaken taken;
        taken.entry = nullptr;
        taken.bad = nullptr;
        if (p.kind == PIECE_ENTRY) {
            taken.dataLength = s.valueEnd - s.value;
            // Only the section the name index points to can own the name; its handler takes the
            // entry, reading the name, and a value it does not cut, where they lie. Each is
            // copied out only to be cut or shown.
            const tSection* owner = DevCapOwner(piece, s.eq, &taken);
            const bool copied = owner == nullptr || taken.cuts || seen != nullptr;
            if (copied) Copy(taken.dataLength, piece + s.value, data, sizeof data);
            if (seen != nullptr) memcpy(value, data, sizeof value);
            // The text is const to the reader; the handler only writes into a value it cuts.
            char* given = copied ? data : const_cast<char*>(piece + s.value);
            if (owner == nullptr || owner->handler(piece, given, dev, out, &taken) != 0) {
                p.kind = DevCapTextIs({piece, s.eq}, "EOF") ? PIECE_EOF : PIECE_REJECTED;
                if (!copied) Copy(taken.dataLength, piece + s.value, data, sizeof data);
            }
            if (p.kind == PIECE_REJECTED || seen != nullptr) {
                memcpy(name, piece, s.eq);
                name[s.eq] = '\0';
            }
        }
        // The piece is copied only where it is shown: a message, or a tool that reports on the text.
        if (p.kind == PIECE_REJECTED || seen != nullptr) Copy(len, piece, buf, sizeof buf);
        if (p.kind == PIECE_REJECTED) {
            DevCapSay(out, kSaysUnknownConfiguration, "DevCapTxtFile2Bin", name, data, buf);
            ret = DEVCAP_ERROR;
        }
        if (seen != nullptr) {
            p.entry = taken.entry;
            p.bad = taken.bad;
            seen->piece(seen->ctx, p);
        }
        if (p.kind == PIECE_EOF) break;
        if (piece[len - 1] == '\n') {
            ++p.line;
            p.column = 1;
        } else {
            p.column += static_cast<uint32_t>(len);
        }
    }
    // A read error must not pass off what was read so far as the whole file.
    if (src.failed(src.ctx)) {
        DevCapSay(out, kSaysReadFailed, "DevCapTxtFile2Bin", input);
        ret = DEVCAP_ERROR;
    }
    return ret;
}

tPieceSource DevCapStreamSource(tStreamText* stream, FILE* fp) {
    stream->fp = fp;
    stream->c = {stream->block, stream->block, stream->block};
    stream->more = true;
    return {&stream->c, StreamFill, StreamNext, StreamFailed, stream};
}

size_t DevCapStreamFill(tStreamText* s) {
    const size_t kept = static_cast<size_t>(s->c.end - s->c.at);
    memmove(s->block, s->c.at, kept);
    // fread answers short only at the end of the stream or on an error.
    const size_t want = sizeof s->block - kept;
    const size_t got = s->more ? fread(s->block + kept, 1, want, s->fp) : 0;
    s->more = got == want;
    s->c.at = s->block;
    s->c.end = s->block + kept + got;
    const void* nul = memchr(s->block, '\0', kept + got);
    s->c.nul = nul != nullptr ? static_cast<const char*>(nul) : s->c.end;
    return kept + got;
}

tPieceSource DevCapMemSource(tMemText* mem, const char* text, size_t size) {
    const void* nul = size > 0 ? memchr(text, '\0', size) : nullptr;
    mem->c = {text, text + size, nul != nullptr ? static_cast<const char*>(nul) : text + size};
    return {&mem->c, nullptr, MemNext, MemFailed, mem};
}

int32_t DevCapTxtMem2Bin(tDevConf* dev, const char* text, size_t size, const char* input, const tDevCapSink* out) {
    tMemText mem;
    return DevCapReadPieces(dev, DevCapMemSource(&mem, text, size), input, out, nullptr);
}

int32_t DevCapTxtFile2Bin(tDevConf* dev, const char* input, const tDevCapSink* out, bool* unreadable) {
    FILE* fp = fopen(input, "rb");
    if (unreadable != nullptr) *unreadable = fp == nullptr;
    if (fp == nullptr) {
        DevCapSay(out, kSaysOpenFailed, "DevCapTxtFile2Bin", input);
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
    const size_t got = DevCapStreamFill(&stream);
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
