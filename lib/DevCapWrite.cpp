// DevCapWrite.cpp - the record's name and its durable write: written in full
// beside the output, synced, renamed over it, the directory synced.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "DevCapCore.h"

namespace {

constexpr char kSaysWritten[] = "\n%s: output binary file to %s\n\n";                     // as shipped
constexpr char kSaysOpenFailed[] = "%s:Error: open %s to write the device capability\n";  // as shipped
constexpr char kSaysWriteFailed[] = "%s:Error. write %s file\n";                          // as shipped
// Ours, in the shipped lines' form: a name the output path cannot hold.
constexpr char kSaysNameTooLong[] = "%s:Error. output file name for %s is longer than %d characters\n";

enum tReplaced { REPLACED, REPLACE_OPEN_FAILED, REPLACE_WRITE_FAILED };

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
    snprintf(dir, sizeof dir, "%.*s", static_cast<int>(n > 0 ? n : 1), n > 0 ? output : ".");
    const int fd = open(dir, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool synced = Synced(fd);
    return close(fd) == 0 && synced;
}

// A regular file written over in place is first read whole, so that a failed
// write can put it back: a file larger than this is not written over.
constexpr size_t kInPlaceMax = size_t{64} * 1024;

bool ReadAll(int fd, uint8_t* at, size_t cap, size_t* got) {
    for (*got = 0; *got < cap;) {
        const ssize_t n = read(fd, at + *got, cap - *got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) return true;
        *got += static_cast<size_t>(n);
    }
    char more;
    if (read(fd, &more, 1) == 0) return true;
    errno = EFBIG;  // larger than cap
    return false;
}

// The file from its start holds exactly size bytes, synced.
bool Overwrite(int fd, const void* bytes, size_t size) {
    return lseek(fd, 0, SEEK_SET) == 0 && WriteAll(fd, bytes, size) && ftruncate(fd, static_cast<off_t>(size)) == 0 &&
           Synced(fd);
}

// The file holds exactly these bytes (a write that failed at once changed nothing).
bool Holds(int fd, const uint8_t* bytes, size_t size) {
    if (lseek(fd, 0, SEEK_SET) != 0) return false;
    uint8_t chunk[4096];
    for (size_t at = 0;;) {
        const ssize_t n = read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return n == 0 && at == size;
        const size_t got = static_cast<size_t>(n);
        if (got > size - at || memcmp(chunk, bytes + at, got) != 0) return false;
        at += got;
    }
}

// Written in place: special files (a device, a FIFO), and a regular file
// whose directory we may not create in, which on a failure gets its old
// bytes back (a disk full or a size limit after part of the new ones).
tReplaced WriteInPlace(const char* output, bool regular, const void* bytes, size_t size) {
    if (!regular) {
        FILE* fp = fopen(output, "wb+");  // a FIFO opened for both ways does not wait for a reader
        if (fp == nullptr) return REPLACE_OPEN_FAILED;
        bool written = fwrite(bytes, 1, size, fp) == size && fflush(fp) == 0 && Synced(fileno(fp));
        const int error = errno;
        if (fclose(fp) != 0) written = false;
        errno = error;
        return written ? REPLACED : REPLACE_WRITE_FAILED;
    }
    const int fd = open(output, O_RDWR | O_CLOEXEC);
    if (fd < 0) return REPLACE_OPEN_FAILED;
    uint8_t old[kInPlaceMax];
    size_t kept = 0;
    if (!ReadAll(fd, old, sizeof old, &kept)) {
        const int error = errno;
        close(fd);
        errno = error;
        return REPLACE_OPEN_FAILED;
    }
    bool written = Overwrite(fd, bytes, size);
    const int error = errno;
    // Neither the new bytes nor the old: a mix must not be picked up by a build.
    if (!written && !Overwrite(fd, old, kept) && !Holds(fd, old, kept)) unlink(output);
    if (close(fd) != 0 && written) written = false;
    errno = error;
    return written ? REPLACED : REPLACE_WRITE_FAILED;
}

// Replaces output with size bytes: written in full beside it, synced, renamed
// over it: a reader sees the old file or the new one, never part of one, and
// a failure leaves the old one as it was. A link is followed: the file it
// names is replaced, the link stays.
tReplaced Replace(const char* output, const void* bytes, size_t size) {
    if (strlen(output) >= PATH_MAX) {
        errno = ENAMETOOLONG;
        return REPLACE_OPEN_FAILED;
    }
    struct stat st {};
    const bool exists = stat(output, &st) == 0;
    char target[PATH_MAX];
    struct stat link {};
    const bool linked = lstat(output, &link) == 0 && S_ISLNK(link.st_mode) && exists && S_ISREG(st.st_mode);
    if (!linked) snprintf(target, sizeof target, "%s", output);
    if (linked && realpath(output, target) == nullptr) target[0] = '\0';
    char temp[PATH_MAX + 32];
    const int fd =
        (exists && !S_ISREG(st.st_mode)) || target[0] == '\0' ? -1 : CreateTemp(target, exists ? &st : nullptr, temp);
    if (fd < 0) return exists ? WriteInPlace(output, S_ISREG(st.st_mode), bytes, size) : REPLACE_OPEN_FAILED;
    bool written = WriteAll(fd, bytes, size) && Synced(fd);
    int error = errno;
    if (close(fd) != 0) written = false;
    if (written && rename(temp, target) != 0) written = false;
    if (!written) {
        error = errno;
        unlink(temp);
    }
    if (written && !SyncDir(target)) {
        written = false;
        error = errno;
    }
    errno = error;
    return written ? REPLACED : REPLACE_WRITE_FAILED;
}

}  // namespace

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
    DevCapSay(out, kSaysNameTooLong, "DevCapOutputName", input, static_cast<int>(DEVCAP_PATH_SIZE - 1));
    return DEVCAP_ERROR;
}

int32_t DevCapOtuputBinFile(const tDevConf* dev, const char* output, const tDevCapSink* out) {
    switch (Replace(output, dev, sizeof *dev)) {
        case REPLACED:
            DevCapSay(out, kSaysWritten, "DevCapOtuputBinFile", output);
            return 0;
        case REPLACE_OPEN_FAILED:
            DevCapSay(out, kSaysOpenFailed, "DevCapOtuputBinFile", output);
            break;
        case REPLACE_WRITE_FAILED:
            DevCapSay(out, kSaysWriteFailed, "DevCapOtuputBinFile", output);
            break;
    }
    return DEVCAP_ERROR;
}

int DevCapWriteText(const char* path, const char* text, size_t size) {
    if (path == nullptr || (text == nullptr && size > 0)) return DEVCAP_BAD_ARGUMENT;
    return Replace(path, text != nullptr ? text : "", size) == REPLACED ? DEVCAP_OK : DEVCAP_IO_ERROR;
}
