// devcapdump - shows a binary device capability record as the capability
// text that makes it (or, with --layout, field by field).
#include <cstdio>
#include <cstring>

#include "ProgramIo.h"
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
    tBuf bytes{};
    int status = ReadInput("devcapdump", path, &bytes);
    if (status == 0 && bytes.len != sizeof *dev) {
        fprintf(stderr, "devcapdump: %s is %s%zu bytes, not a %zu-byte device capability record\n", path,
                bytes.len > sizeof *dev ? "more than " : "", bytes.len > sizeof *dev ? sizeof *dev : bytes.len,
                sizeof *dev);
        status = 2;
    }
    if (status == 0) memcpy(dev, bytes.data, sizeof *dev);
    free(bytes.data);
    return status;
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
    if (layout && json) {
        fprintf(stderr, "devcapdump: --layout and --json exclude each other\n");
        return Usage(stderr, 2);
    }
    if (path == nullptr) return Usage(stderr, 2);
    tDevConf dev;
    const int read = ReadRecord(path, &dev);
    if (read != 0) return read;
    if (json) {
        DevCapRenderJsonTo(&dev, path, DevCapToFile, stdout);
    } else if (layout) {
        DevCapRenderLayoutTo(&dev, DevCapToFile, stdout);
    } else {
        DevCapRenderTextTo(&dev, path, DevCapToFile, stdout);
    }
    return DevCapCheckRecord(&dev, nullptr, nullptr) == DEVCAP_OK ? 0 : 1;
}

}  // namespace

int main(int argc, char* argv[]) { return DevCapCloseStdout("devcapdump", Run(argc, argv)); }
