// DevCapDriver.cpp - the converter's driver: output naming, reading and
// splitting the text, sending each entry to the section that owns it, and
// writing the record.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "DevCapConv.h"

namespace {

// A sync that the file cannot do (a terminal, /dev/null) is not a failure.
bool Synced(int fd) { return fsync(fd) == 0 || errno == EINVAL || errno == EROFS || errno == ENOTSUP; }

bool WriteAll(int fd, const void* bytes, size_t size) {
    const auto* at = static_cast<const uint8_t*>(bytes);
    while (size > 0) {
        const ssize_t n = write(fd, at, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        at += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

// The record written in place: special files (a device, a FIFO), and a
// regular file whose directory we may not create in.
int32_t WriteInPlace(const tDevConf* dev, const char* output, const tDevCapSink* out) {
    FILE* fp = fopen(output, "wb+");
    if (fp == nullptr) return DEVCAP_ERROR;
    struct stat st {};
    const bool regular = fstat(fileno(fp), &st) == 0 && S_ISREG(st.st_mode);
    bool written = fwrite(dev, 1, sizeof *dev, fp) == sizeof *dev && fflush(fp) == 0 && Synced(fileno(fp));
    if (fclose(fp) != 0) written = false;
    if (written) return 0;
    // A truncated record must not be left where a build would pick it up.
    if (regular) unlink(output);
    DevCapSay(out, "%s:Error. write %s file\n", "DevCapOtuputBinFile", output);
    return 1;
}

// Where a path's directory ends: "BinFiles/x.bin" -> 8, "x.bin" -> 0.
size_t DirLength(const char* path) {
    const char* slash = strrchr(path, '/');
    return slash != nullptr ? static_cast<size_t>(slash - path) : 0;
}

// A new file beside output, created as fopen would create output (mode 0666
// less the umask), or with the mode of the file it replaces. Its name has a
// fixed short length, so it fits wherever the output's own name fits.
int CreateTemp(const char* output, const struct stat* old, char (&temp)[PATH_MAX + 32]) {
    const size_t dir = DirLength(output);
    for (int attempt = 0; attempt < 16; ++attempt) {
        uint32_t salt = 0;
        if (getentropy(&salt, sizeof salt) != 0) salt = static_cast<uint32_t>(getpid()) * 2654435761u + attempt;
        snprintf(temp, sizeof temp, "%.*s%s.devcap%08x.tmp", static_cast<int>(dir), output, dir > 0 ? "/" : "", salt);
        const int fd = open(temp, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            if (old != nullptr) fchmod(fd, old->st_mode & 07777);
            return fd;
        }
        if (errno != EEXIST) return -1;
    }
    return -1;
}

// The directory entry of a rename reaches the disk only with its directory.
bool SyncDir(const char* output) {
    char dir[PATH_MAX];
    const size_t n = DirLength(output);
    snprintf(dir, sizeof dir, "%.*s", static_cast<int>(n), n > 0 ? output : ".");
    const int fd = open(dir, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool synced = Synced(fd);
    return close(fd) == 0 && synced;
}

// Splits one piece into name and value: PIECE_ENTRY, or why it is none.
tPieceKind SplitEntry(const char* buf, char (&name)[DEVCAP_NAME_SIZE], char (&data)[DEVCAP_DATA_SIZE]) {
    size_t nameLen = 0;
    while (buf[nameLen] != '\0' && buf[nameLen] != '=') ++nameLen;
    if (buf[nameLen] == '\0') return PIECE_NO_ENTRY;
    if (nameLen >= sizeof name) return PIECE_LONG_NAME;
    // The character after '=' is taken to be the opening quote and skipped unread.
    const char* value = buf + nameLen + (buf[nameLen + 1] == '\0' ? 1 : 2);
    size_t valueLen = 0;
    size_t quote = sizeof data;  // none
    for (; value[valueLen] != '\0'; ++valueLen) {
        if (valueLen + 1 >= sizeof data) return PIECE_LONG_VALUE;
        if (value[valueLen] == '\'') quote = valueLen;
    }
    memcpy(name, buf, nameLen);
    name[nameLen] = '\0';
    memcpy(data, value, valueLen + 1);
    // Only the last quote closes the value: NAME='it's' gives it's.
    if (quote != sizeof data) data[quote] = '\0';
    return PIECE_ENTRY;
}

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

int usage(const char* name, const tDevCapSink* out) {
    DevCapSay(out, "%s usage\n", name);
    DevCapSay(out, "./%s <device capability text file>\n", name);
    return 1;
}

int32_t DevCapOutputName(const char* input, char (&OutputFile)[DEVCAP_PATH_SIZE], const tDevCapSink* out) {
    const char* slash = strrchr(input, '/');
    const char* base = slash != nullptr ? slash + 1 : input;
    const char* dot = strrchr(base, '.');
    // Everything up to and including the last dot stays; the extension becomes "bin".
    const size_t keep = dot != nullptr ? static_cast<size_t>(dot - base) + 1 : strlen(base);
    const char* ext = dot != nullptr ? "bin" : ".bin";
    if (keep >= DEVCAP_PATH_SIZE) {
        OutputFile[0] = '\0';
    } else {
        const int n = snprintf(OutputFile, sizeof OutputFile, "BinFiles/%.*s%s", static_cast<int>(keep), base, ext);
        if (n > 0 && static_cast<size_t>(n) < sizeof OutputFile) return 0;
    }
    DevCapSay(out, "%s:Error. output file name for %s is longer than %d characters\n", "DevCapOutputName", input,
              static_cast<int>(DEVCAP_PATH_SIZE - 1));
    return DEVCAP_ERROR;
}

bool GetDevCapConfEntry(const char* buf, char (&name)[DEVCAP_NAME_SIZE], char (&data)[DEVCAP_DATA_SIZE]) {
    return SplitEntry(buf, name, data) == PIECE_ENTRY;
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
        p.kind = PIECE_SKIPPED;
        p.entry = nullptr;
        p.bad = nullptr;
        if (buf[0] != '\r' && buf[0] != '#' && buf[0] != '\n') p.kind = SplitEntry(buf, name, data);
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

int32_t DevCapTxtStream2Bin(tDevConf* dev, FILE* fp, const char* input, const tDevCapSink* out) {
    tStreamText stream;
    return DevCapReadPieces(dev, DevCapStreamSource(&stream, fp), input, out, nullptr);
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
    const int32_t ret = DevCapTxtStream2Bin(dev, fp, input, out);
    if (unreadable != nullptr) *unreadable = ferror(fp) != 0;
    fclose(fp);
    return ret;
}

int32_t DevCapOtuputBinFile(const tDevConf* dev, const char* output, const tDevCapSink* out) {
    struct stat st {};
    const bool exists = stat(output, &st) == 0;
    // A link is followed: the file it names is replaced, the link stays.
    char target[PATH_MAX];
    struct stat link {};
    const bool linked = lstat(output, &link) == 0 && S_ISLNK(link.st_mode) && exists && S_ISREG(st.st_mode);
    if (!linked) snprintf(target, sizeof target, "%s", output);
    if (linked && realpath(output, target) == nullptr) target[0] = '\0';
    int32_t ret = DEVCAP_ERROR;
    char temp[PATH_MAX + 32];
    const int fd =
        (exists && !S_ISREG(st.st_mode)) || target[0] == '\0' ? -1 : CreateTemp(target, exists ? &st : nullptr, temp);
    if (fd < 0) {
        // Special files, and a file we may replace but not create beside.
        if (exists) ret = WriteInPlace(dev, output, out);
    } else {
        // Written in full beside the output, then renamed over it: a reader
        // sees the old record or the new one, never part of one, and a failed
        // run leaves the old one as it was.
        bool written = WriteAll(fd, dev, sizeof *dev) && Synced(fd);
        if (close(fd) != 0) written = false;
        written = written && rename(temp, target) == 0;
        if (!written) unlink(temp);
        written = written && SyncDir(target);
        ret = written ? 0 : 1;
        if (!written) DevCapSay(out, "%s:Error. write %s file\n", "DevCapOtuputBinFile", output);
    }
    if (ret == DEVCAP_ERROR) {
        DevCapSay(out, "%s:Error: open %s to write the device capability\n", "DevCapOtuputBinFile", output);
    }
    if (ret != 0) return DEVCAP_ERROR;
    DevCapSay(out, "\n%s: output binary file to %s\n\n", "DevCapOtuputBinFile", output);
    return 0;
}

int DevCapCloseOutput(const char* program, int status) {
    const bool failed = ferror(stdout) != 0;
    if (fclose(stdout) != 0 || failed) {
        fprintf(stderr, "%s: cannot write standard output: %s\n", program, strerror(errno));
        return 2;
    }
    return status;
}
