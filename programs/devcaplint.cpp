// devcaplint - reports, line by line, what devcap2bin refuses in capability
// text files and what it accepts but almost certainly does not mean; mends
// what the rules are sure of.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "ProgramIo.h"
#include "libdevcap.h"

namespace {

enum tMode { LINT, FIX, DIFF };

struct tOptions {
    bool json;
    bool colour;
    tMode mode;
    uint32_t disabled;
};

struct tFile {
    const tOptions* options;
    const char* name;
    bool* firstJson;  // no finding printed yet in the JSON array
    bool failing;     // an error or a warning
};

const char* const kColour[] = {"\033[1;31m", "\033[1;35m", "\033[1;36m"};

void Print(void* ctx, const tDevCapFinding* f) {
    auto* file = static_cast<tFile*>(ctx);
    file->failing = file->failing || strcmp(f->severity, "note") != 0;
    if (file->options->mode == DIFF) return;  // the diff is the output; findings only count
    if (file->options->json) {
        printf("%s\n  ", *file->firstJson ? "" : ",");
        DevCapRenderFindingJsonTo(f, file->name, DevCapToFile, stdout);
        *file->firstJson = false;
    } else if (file->options->colour) {
        const int c = f->severity[0] == 'e' ? 0 : f->severity[0] == 'w' ? 1 : 2;
        printf("\033[1m%s:%u:%u:\033[0m %s%s:\033[0m %s [%s]\n", file->name, f->line, f->column, kColour[c],
               f->severity, f->message, f->rule);
    } else {
        printf("%s:%u:%u: %s: %s [%s]\n", file->name, f->line, f->column, f->severity, f->message, f->rule);
    }
}

int Usage(FILE* out, int status) {
    fprintf(out,
            "usage: devcaplint [--format=text|json] [--disable=RULE[,RULE]] [--fix] FILE...\n"
            "       devcaplint [--disable=RULE[,RULE]] --diff FILE...\n"
            "       devcaplint --list-rules | --help | --version\n"
            "Reports what devcap2bin refuses in capability text files (errors) and what it\n"
            "accepts but almost certainly does not mean (warnings); - reads standard input.\n"
            "--fix rewrites each file with the fixes the rules are sure of; --diff prints\n"
            "them as a unified diff. Exit status: 0 no error or warning, 1 errors or\n"
            "warnings (after fixing), 2 bad usage or a file that cannot be read or written.\n");
    return status;
}

// Where the line after the one at `at` starts.
size_t LineEnd(const char* text, size_t size, size_t at) {
    const void* nl = memchr(text + at, '\n', size - at);
    return nl != nullptr ? static_cast<size_t>(static_cast<const char*>(nl) - text) + 1 : size;
}

// Lines [at, ...) of text, count of them, each behind mark; the offset after.
size_t DiffLines(char mark, const char* text, size_t size, size_t at, size_t count) {
    for (; count > 0; --count) {
        const size_t end = LineEnd(text, size, at);
        // Byte for byte: a NUL in the line is part of it, as patch and git apply read it.
        putchar(mark);
        fwrite(text + at, 1, end - at, stdout);
        if (end == at || text[end - 1] != '\n') printf("\n\\ No newline at end of file\n");
        at = end;
    }
    return at;
}

bool SameLine(const char* a, size_t sizeA, size_t atA, const char* b, size_t sizeB, size_t atB) {
    const size_t endA = LineEnd(a, sizeA, atA), endB = LineEnd(b, sizeB, atB);
    return endA - atA == endB - atB && memcmp(a + atA, b + atB, endA - atA) == 0;
}

// One hunk: lines [first, last] of both texts, which hold as many lines.
void Hunk(const char* a, size_t sizeA, size_t atA, const char* b, size_t sizeB, size_t atB, size_t first, size_t last) {
    printf("@@ -%zu,%zu +%zu,%zu @@\n", first + 1, last - first + 1, first + 1, last - first + 1);
    for (size_t line = first; line <= last;) {
        size_t run = 0;  // changed lines from here: all of a's, then all of b's
        for (size_t ra = atA, rb = atB; line + run <= last && !SameLine(a, sizeA, ra, b, sizeB, rb); ++run) {
            ra = LineEnd(a, sizeA, ra);
            rb = LineEnd(b, sizeB, rb);
        }
        if (run == 0) {
            atA = DiffLines(' ', a, sizeA, atA, 1);
            atB = LineEnd(b, sizeB, atB);
            ++line;
            continue;
        }
        atA = DiffLines('-', a, sizeA, atA, run);
        atB = DiffLines('+', b, sizeB, atB, run);
        line += run;
    }
}

// The path as git names it in a diff, so that git apply and patch -p1 find it
// from the top of the work tree holding it: relative to that top, or to the
// current folder outside any. False when it does not fit.
bool DiffName(const char* path, char (&name)[4096]) {
    char cwd[4096], given[8192], full[8192];
    if (getcwd(cwd, sizeof cwd) == nullptr) return false;
    if (strcmp(cwd, "/") == 0) cwd[0] = '\0';  // folders are "/name" parts: the root has none
    const int n = snprintf(given, sizeof given, "%s/%s", path[0] == '/' ? "" : cwd, path);
    if (n < 0 || static_cast<size_t>(n) >= sizeof given) return false;
    // "/part" after "/part", without "." or ".." or empty parts.
    size_t len = 0;
    for (const char* at = given; *at != '\0';) {
        const size_t part = strcspn(++at, "/");
        if (part == 2 && at[0] == '.' && at[1] == '.') {
            while (len > 0 && full[--len] != '/') {
            }
        } else if (part > 0 && !(part == 1 && at[0] == '.')) {
            full[len++] = '/';
            memcpy(full + len, at, part);
            len += part;
        }
        at += part;
    }
    full[len] = '\0';
    if (len == 0) return false;
    // The nearest folder above the file that holds a .git is the work tree's top.
    for (size_t end = len; end > 0;) {
        while (end > 0 && full[--end] != '/') {
        }
        char git[8192];
        struct stat st;
        snprintf(git, sizeof git, "%.*s/.git", static_cast<int>(end), full);
        if (stat(git, &st) == 0)
            return snprintf(name, sizeof name, "%s", full + end + 1) < static_cast<int>(sizeof name);
    }
    // Outside one: a "../" for each folder of the current one below the folders both share.
    size_t common = 0;
    for (size_t k = 0;; ++k) {
        if ((cwd[k] == '\0' || cwd[k] == '/') && full[k] == '/') common = k;
        if (cwd[k] == '\0' || cwd[k] != full[k]) break;
    }
    size_t used = 0;
    for (const char* up = cwd + common; *up != '\0'; ++up) {
        if (*up == '/' && used + 3 < sizeof name) used += static_cast<size_t>(snprintf(name + used, 4, "../"));
    }
    return snprintf(name + used, sizeof name - used, "%s", full + common + 1) < static_cast<int>(sizeof name - used);
}

// The fixes as a unified diff with three lines of context; fixes change
// lines, never how many there are.
void UnifiedDiff(const char* name, const char* a, size_t sizeA, const char* b, size_t sizeB) {
    size_t lines = 0;
    for (size_t at = 0; at < sizeA; at = LineEnd(a, sizeA, at)) ++lines;
    size_t startA[4] = {}, startB[4] = {};  // where the last four lines start
    bool open = false, header = false;
    size_t first = 0, last = 0, hunkA = 0, hunkB = 0;
    for (size_t line = 0, atA = 0, atB = 0; line < lines; ++line) {
        startA[line % 4] = atA;
        startB[line % 4] = atB;
        if (!SameLine(a, sizeA, atA, b, sizeB, atB)) {
            if (open && line > last + 4) {
                Hunk(a, sizeA, hunkA, b, sizeB, hunkB, first, last);
                open = false;
            }
            if (!open) {
                // git's a/ b/ prefixes, so that git apply and patch -p1 find the file
                if (!header) printf("diff --git a/%s b/%s\n--- a/%s\n+++ b/%s\n", name, name, name, name);
                header = true;
                first = line >= 3 ? line - 3 : 0;
                hunkA = startA[first % 4];
                hunkB = startB[first % 4];
                open = true;
            }
            last = line + 3 < lines ? line + 3 : lines - 1;
        }
        atA = LineEnd(a, sizeA, atA);
        atB = LineEnd(b, sizeB, atB);
    }
    if (open) Hunk(a, sizeA, hunkA, b, sizeB, hunkB, first, last);
}

// Lints (and mends) one file; answers 2 when it cannot be read or written,
// 1 when errors or warnings remain, else 0.
int LintFile(const char* path, const tOptions& options, bool* firstJson) {
    const bool stdinput = strcmp(path, "-") == 0;
    tBuf text{}, fixed{};
    int status = ReadInput("devcaplint", path, &text);
    if (status != 0) {
        free(text.data);
        return status;
    }
    const char* name = stdinput ? "<stdin>" : path;
    if (options.mode != LINT) {
        DevCapLintFixTo(text.data, text.len, options.disabled, Append, &fixed);
        if (fixed.failed) status = OutOfMemory("devcaplint");
        const bool changed =
            status == 0 && (fixed.len != text.len || (text.len > 0 && memcmp(fixed.data, text.data, text.len) != 0));
        char diffName[4096];
        if (changed && options.mode == DIFF) {
            // Standard input is "-" in a diff, as git diff and diff -u name it.
            UnifiedDiff(stdinput                   ? "-"
                        : DiffName(path, diffName) ? diffName
                                                   : name,
                        text.data, text.len, fixed.data, fixed.len);
        }
        if (changed && options.mode == FIX && DevCapWriteText(path, fixed.data, fixed.len) != DEVCAP_OK) {
            fprintf(stderr, "devcaplint: cannot write %s: %s\n", path, strerror(errno));
            status = 2;
        } else if (changed) {
            free(text.data);
            text = fixed;
            fixed = tBuf{};
        }
        free(fixed.data);
    }
    tFile file{&options, name, firstJson, false};
    if (status == 0) DevCapLintTextDisabled(text.data, text.len, options.disabled, Print, &file);
    free(text.data);
    return status != 0 ? status : file.failing ? 1 : 0;
}

int Run(int argc, char* argv[]) {
    tOptions options{false, isatty(STDOUT_FILENO) == 1 && getenv("NO_COLOR") == nullptr, LINT, 0};
    int first = argc;
    for (int i = 1; i < argc && first == argc; ++i) {
        const char* arg = argv[i];
        if (strcmp(arg, "--") == 0) {
            first = i + 1;
        } else if (strcmp(arg, "-h") == 0 || strcmp(arg, "--help") == 0) {
            return Usage(stdout, 0);
        } else if (strcmp(arg, "--version") == 0) {
            printf("devcaplint %s\n", DevCapLibVersion());
            return 0;
        } else if (strcmp(arg, "--list-rules") == 0) {
            tDevCapLintRule r;
            for (size_t n = 0; DevCapLintRuleInfo(n, &r) == DEVCAP_OK; ++n) {
                printf("%-18s %-7s %s\n", r.name, r.severity, r.summary);
            }
            return 0;
        } else if (strncmp(arg, "--format=", 9) == 0) {
            if (strcmp(arg + 9, "json") != 0 && strcmp(arg + 9, "text") != 0) {
                fprintf(stderr, "devcaplint: unknown format %s (text or json)\n", arg + 9);
                return Usage(stderr, 2);
            }
            options.json = strcmp(arg + 9, "json") == 0;
        } else if (strcmp(arg, "--fix") == 0 || strcmp(arg, "--diff") == 0) {
            const tMode mode = arg[2] == 'f' ? FIX : DIFF;
            if (options.mode != LINT && options.mode != mode) {
                fprintf(stderr, "devcaplint: --fix and --diff exclude each other\n");
                return Usage(stderr, 2);
            }
            options.mode = mode;
        } else if (strncmp(arg, "--disable=", 10) == 0) {
            if (DevCapLintDisable(arg + 10, &options.disabled, nullptr, nullptr) != DEVCAP_OK) {
                fprintf(stderr, "devcaplint: --disable: ");
                DevCapLintDisable(arg + 10, &options.disabled, DevCapToFile, stderr);
                return Usage(stderr, 2);
            }
        } else if (arg[0] == '-' && arg[1] != '\0') {
            fprintf(stderr, "devcaplint: unknown option %s\n", arg);
            return Usage(stderr, 2);
        } else {
            first = i;
        }
    }
    if (first >= argc) return Usage(stderr, 2);
    if (options.json && options.mode == DIFF) {
        fprintf(stderr, "devcaplint: --diff prints a diff, not JSON\n");
        return Usage(stderr, 2);
    }
    for (int i = first; i < argc; ++i) {
        if (options.mode == FIX && strcmp(argv[i], "-") == 0) {  // refused before any output or any file fixed
            fprintf(stderr,
                    "devcaplint: --fix rewrites files and - is standard input, which it cannot rewrite "
                    "(--diff shows the fixes)\n");
            return 2;
        }
    }
    if (options.json) options.colour = false;
    int status = 0;
    bool firstJson = true;
    if (options.json) printf("[");
    for (int i = first; i < argc; ++i) {
        const int file = LintFile(argv[i], options, &firstJson);
        if (file > status) status = file;
    }
    if (options.json) printf("%s]\n", firstJson ? "" : "\n");
    return status;
}

}  // namespace

int main(int argc, char* argv[]) { return DevCapCloseStdout("devcaplint", Run(argc, argv)); }
