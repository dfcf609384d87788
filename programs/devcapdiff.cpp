// devcapdiff - what changed between two records or texts: field by field, as
// the entries' keywords, and the check's lines that appear or disappear. Also
// git's external diff driver and a textconv for records.
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "libdevcap.h"

namespace {

int Usage(FILE* out, int status) {
    fprintf(out,
            "usage: devcapdiff [--json | -q] [--] A B      (records or texts; - reads standard input)\n"
            "       devcapdiff --textconv FILE             (one line per field, for git's textconv)\n"
            "       devcapdiff PATH OLD OLD-HEX OLD-MODE NEW NEW-HEX NEW-MODE   (git's external diff)\n"
            "Compares what the device would load: each field that differs, then the\n"
            "consistency check's lines that appear (+) or disappear (-). Exit status: 0 the\n"
            "same record, 1 different, 2 trouble (an unreadable file, a text devcap2bin\n"
            "refuses). As git's driver it answers 0 unless a file cannot be read.\n");
    return status;
}

// The library's lines for one input, each behind its name.
struct tPrefixed {
    FILE* out;
    const char* name;
    bool lineStart;
};

void Prefixed(void* ctx, const char* text, size_t len) {
    auto* p = static_cast<tPrefixed*>(ctx);
    for (size_t i = 0; i < len; ++i) {
        if (p->lineStart) fprintf(p->out, "%s: ", p->name);
        putc(text[i], p->out);
        p->lineStart = text[i] == '\n';
    }
}

// One side: a record, or a text converted as devcap2bin would. 0, 1 for a
// refused text (its lines shown on `out`: git shows only standard output),
// 2 for a file that cannot be read.
int Load(const char* path, const char* name, tDevConf* dev, bool quiet, FILE* out) {
    if (strcmp(path, "/dev/null") == 0) {  // git's side of an added or deleted file
        DevCapRecordInit(dev);
        return 0;
    }
    tPrefixed prefix{out, name, true};
    const int result =
        DevCapLoadFile(strcmp(path, "-") == 0 ? nullptr : path, name, dev, quiet ? nullptr : Prefixed, &prefix);
    if (result == DEVCAP_IO_ERROR) fprintf(stderr, "devcapdiff: cannot read %s: %s\n", name, strerror(errno));
    return result == DEVCAP_OK ? 0 : result == DEVCAP_REFUSED ? 1 : 2;
}

int Run(int argc, char* argv[]) {
    bool json = false, quiet = false, textconv = false;
    int first = 1;
    for (; first < argc && argv[first][0] == '-' && argv[first][1] != '\0'; ++first) {
        const char* arg = argv[first];
        if (strcmp(arg, "--") == 0) {
            ++first;
            break;
        }
        if (strcmp(arg, "-h") == 0 || strcmp(arg, "--help") == 0) return Usage(stdout, 0);
        if (strcmp(arg, "--version") == 0) {
            printf("devcapdiff %s\n", DevCapLibVersion());
            return 0;
        }
        if (strcmp(arg, "--json") == 0) {
            json = true;
        } else if (strcmp(arg, "-q") == 0 || strcmp(arg, "--quiet") == 0) {
            quiet = true;
        } else if (strcmp(arg, "--textconv") == 0) {
            textconv = true;
        } else {
            fprintf(stderr, "devcapdiff: unknown option %s\n", arg);
            return Usage(stderr, 2);
        }
    }
    const int n = argc - first;
    tDevConf a, b;
    if (textconv) {
        if (n != 1) return Usage(stderr, 2);
        const int read = Load(argv[first], argv[first], &a, false, stdout);
        if (read == 0) DevCapRenderLayoutTo(&a, DevCapToFile, stdout);
        return read == 2 ? 2 : 0;
    }
    if (n == 7) {  // git: path old-file old-hex old-mode new-file new-hex new-mode
        const char* path = argv[first];
        char nameA[4096], nameB[4096];
        snprintf(nameA, sizeof nameA, "a/%s", path);
        snprintf(nameB, sizeof nameB, "b/%s", path);
        printf("devcapdiff %s %s\n", nameA, nameB);
        const int readA = Load(argv[first + 1], nameA, &a, false, stdout);
        const int readB = Load(argv[first + 4], nameB, &b, false, stdout);
        if (readA == 2 || readB == 2) return 2;
        if (readA == 0 && readB == 0) DevCapRenderDiffTo(&a, &b, DevCapToFile, stdout);
        return 0;
    }
    if (n != 2 || (strcmp(argv[first], "-") == 0 && strcmp(argv[first + 1], "-") == 0)) return Usage(stderr, 2);
    const char* nameA = strcmp(argv[first], "-") == 0 ? "<stdin>" : argv[first];
    const char* nameB = strcmp(argv[first + 1], "-") == 0 ? "<stdin>" : argv[first + 1];
    const int readA = Load(argv[first], nameA, &a, quiet, stderr);
    const int readB = Load(argv[first + 1], nameB, &b, quiet, stderr);
    if (readA != 0 || readB != 0) return 2;
    const bool same = DevCapDiffRecords(&a, &b, nullptr, nullptr) == 0;
    if (json && !quiet) {
        DevCapRenderDiffJsonTo(&a, &b, nameA, nameB, DevCapToFile, stdout);
    } else if (!quiet) {
        DevCapRenderDiffTo(&a, &b, DevCapToFile, stdout);
    }
    return same ? 0 : 1;
}

}  // namespace

int main(int argc, char* argv[]) { return DevCapCloseStdout("devcapdiff", Run(argc, argv)); }
