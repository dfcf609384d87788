// ProgramIo.h - what the programs share, over libdevcap.h alone: a growing
// buffer that is also a message function (the library's renderings write
// into it once), a file or standard input read whole, and one way to say
// that memory ran out.
#ifndef DEVCAP_PROGRAM_IO_H
#define DEVCAP_PROGRAM_IO_H

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "libdevcap.h"

struct tBuf {
    char* data;  // terminated once anything was kept
    size_t len, cap;
    bool failed;  // memory ran out: what it holds is cut short
};

inline bool Reserve(tBuf* b, size_t need) {
    if (need <= b->cap) return true;
    size_t cap = b->cap > 0 ? b->cap : 4096;
    while (cap < need) cap *= 2;
    char* data = static_cast<char*>(realloc(b->data, cap));
    if (data == nullptr) {
        b->failed = true;
        return false;
    }
    b->data = data;
    b->cap = cap;
    return true;
}

// A tDevCapMessageFn: appends to the tBuf given as ctx.
inline void Append(void* ctx, const char* text, size_t len) {
    auto* b = static_cast<tBuf*>(ctx);
    if (!Reserve(b, b->len + len + 1)) return;
    memcpy(b->data + b->len, text, len);
    b->len += len;
    b->data[b->len] = '\0';
}

// The one answer to a failed allocation: a line naming the program, status 2.
inline int OutOfMemory(const char* program) {
    fprintf(stderr, "%s: out of memory\n", program);
    return 2;
}

// The file at path ("-": standard input) into b, whole and terminated: 0,
// or the errno of the failure (ENOMEM when memory ran out); *opened tells a
// file that could not be opened from one that could not be read.
inline int ReadWhole(const char* path, tBuf* b, bool* opened) {
    const bool stdinput = strcmp(path, "-") == 0;
    const int fd = stdinput ? STDIN_FILENO : open(path, O_RDONLY | O_CLOEXEC);
    *opened = fd >= 0;
    if (fd < 0) return errno;
    b->len = 0;
    int error = 0;
    for (;;) {
        if (!Reserve(b, b->len + 65536)) {
            error = ENOMEM;
            break;
        }
        const ssize_t n = read(fd, b->data + b->len, b->cap - b->len - 1);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            error = n < 0 ? errno : 0;
            b->data[b->len] = '\0';
            break;
        }
        b->len += static_cast<size_t>(n);
    }
    if (!stdinput) close(fd);
    return error;
}

// The same, a failure said on standard error ("program: cannot open PATH:
// reason", "cannot read", or out of memory): 0 or 2.
inline int ReadInput(const char* program, const char* path, tBuf* b) {
    bool opened = false;
    const int error = ReadWhole(path, b, &opened);
    if (error == ENOMEM) return OutOfMemory(program);
    if (error != 0) fprintf(stderr, "%s: cannot %s %s: %s\n", program, opened ? "read" : "open", path, strerror(error));
    return error != 0 ? 2 : 0;
}

#endif  // DEVCAP_PROGRAM_IO_H
