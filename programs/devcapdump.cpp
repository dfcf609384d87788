// devcapdump - shows a binary device capability record as the capability
// text that makes it (or, with --layout, field by field).
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "libdevcap.h"

namespace {

int Usage(FILE* out, int status) {
    fprintf(out,
            "usage: devcapdump [--layout | --json] [--] FILE.bin   (- reads standard input)\n"
            "Prints the device capability text that devcap2bin turns back into FILE.bin,\n"
            "or with --layout one line per field, or with --json one JSON object.\n"
            "Exit status: 0 the record passes the consistency check, 1 it fails, 2 the\n"
            "file is not a usable record or the output cannot be written.\n");
    return status;
}

// Reads exactly one record; 2 (with a message) when the file is not one.
int ReadRecord(const char* path, tDevConf* dev) {
    const bool stdinput = strcmp(path, "-") == 0;
    FILE* fp = stdinput ? stdin : fopen(path, "rb");
    if (fp == nullptr) {
        fprintf(stderr, "devcapdump: cannot open %s: %s\n", path, strerror(errno));
        return 2;
    }
    unsigned char bytes[sizeof *dev + 1];
    const size_t n = fread(bytes, 1, sizeof bytes, fp);
    const bool failed = ferror(fp) != 0;
    const int error = errno;
    if (!stdinput) fclose(fp);
    if (failed) {
        fprintf(stderr, "devcapdump: cannot read %s: %s\n", path, strerror(error));
        return 2;
    }
    if (n != sizeof *dev) {
        fprintf(stderr, "devcapdump: %s is %s%zu bytes, not a %zu-byte device capability record\n", path,
                n > sizeof *dev ? "more than " : "", n > sizeof *dev ? sizeof *dev : n, sizeof *dev);
        return 2;
    }
    memcpy(dev, bytes, sizeof *dev);
    return 0;
}

// The command line, the record and the dump; the exit status.
int Run(int argc, char* argv[]) {
    bool layout = false, json = false;
    bool options = true;
    const char* path = nullptr;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (options && strcmp(arg, "--") == 0) {
            options = false;
        } else if (options && (strcmp(arg, "-h") == 0 || strcmp(arg, "--help") == 0)) {
            return Usage(stdout, 0);
        } else if (options && strcmp(arg, "--version") == 0) {
            printf("devcapdump %s\n", DevCapLibVersion());
            return 0;
        } else if (options && strcmp(arg, "--layout") == 0) {
            layout = true;
        } else if (options && strcmp(arg, "--json") == 0) {
            json = true;
        } else if (options && arg[0] == '-' && arg[1] != '\0') {
            fprintf(stderr, "devcapdump: unknown option %s\n", arg);
            return Usage(stderr, 2);
        } else if (path == nullptr) {
            path = arg;
        } else {
            fprintf(stderr, "devcapdump: one record at a time\n");
            return Usage(stderr, 2);
        }
    }
    if (path == nullptr) return Usage(stderr, 2);
    tDevConf dev;
    const int read = ReadRecord(path, &dev);
    if (read != 0) return read;
    const auto render = [&](char* buf, size_t size) {
        return json     ? DevCapRenderJson(&dev, path, buf, size)
               : layout ? DevCapRenderLayout(&dev, buf, size)
                        : DevCapRenderText(&dev, path, buf, size);
    };
    const size_t len = render(nullptr, 0);
    char* text = static_cast<char*>(malloc(len + 1));
    if (text == nullptr) return 2;
    render(text, len + 1);
    fwrite(text, 1, len, stdout);
    free(text);
    return DevCapCheckRecord(&dev, nullptr, nullptr) == DEVCAP_OK ? 0 : 1;
}

}  // namespace

int main(int argc, char* argv[]) { return DevCapCloseStdout("devcapdump", Run(argc, argv)); }
