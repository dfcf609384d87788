// devcaplint - reports, line by line, what devcap2bin refuses in capability
// text files and what it accepts but almost certainly does not mean.
#include "DevCapLint.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

struct tOptions {
    bool json;
    bool colour;
    uint32_t disabled;
};

struct tFile {
    const tOptions* options;
    const char* name;
    bool* firstJson;  // no finding printed yet in the JSON array
    tDevCapSink stdoutSink;
};

const char* const kColour[] = {"\033[1;31m", "\033[1;35m", "\033[1;36m"};

void Print(void* ctx, const tLintFinding& f) {
    const auto* file = static_cast<const tFile*>(ctx);
    const char* rule = kDevCapLintRules[f.rule].name;
    if (file->options->json) {
        printf("%s\n  {\"file\": ", *file->firstJson ? "" : ",");
        *file->firstJson = false;
        DevCapJsonString(&file->stdoutSink, file->name);
        printf(", \"line\": %u, \"column\": %u, \"severity\": \"%s\", \"rule\": \"%s\", \"message\": ", f.line,
               f.column, kDevCapLintSeverity[f.severity], rule);
        DevCapJsonString(&file->stdoutSink, f.message);
        printf("}");
    } else if (file->options->colour) {
        printf("\033[1m%s:%u:%u:\033[0m %s%s:\033[0m %s [%s]\n", file->name, f.line, f.column, kColour[f.severity],
               kDevCapLintSeverity[f.severity], f.message, rule);
    } else {
        printf("%s:%u:%u: %s: %s [%s]\n", file->name, f.line, f.column, kDevCapLintSeverity[f.severity], f.message,
               rule);
    }
}

int Usage(FILE* out, int status) {
    fprintf(out,
            "usage: devcaplint [--format=text|json] [--disable=RULE[,RULE]] FILE...   (- reads standard input)\n"
            "       devcaplint --list-rules | --help | --version\n"
            "Reports what devcap2bin refuses in capability text files (errors) and what it\n"
            "accepts but almost certainly does not mean (warnings). Exit status: 0 no\n"
            "finding, 1 findings, 2 bad usage or a file that cannot be read.\n");
    return status;
}

// --disable=a,b: warning rules only.
bool Disable(const char* list, uint32_t* disabled) {
    for (std::string_view rest(list); !rest.empty();) {
        const size_t comma = rest.find(',');
        const std::string_view name = rest.substr(0, comma);
        const tLintRuleId id = DevCapLintRuleNamed(name);
        if (id == LINT_RULE_COUNT || kDevCapLintRules[id].severity == LINT_ERROR) {
            fprintf(stderr, "devcaplint: %.*s: %s\n", static_cast<int>(name.size()), name.data(),
                    id == LINT_RULE_COUNT ? "no such rule" : "errors cannot be turned off");
            return false;
        }
        *disabled |= 1u << id;
        rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
    }
    return true;
}

int Run(int argc, char* argv[]) {
    tOptions options{false, isatty(STDOUT_FILENO) == 1 && getenv("NO_COLOR") == nullptr, 0};
    int first = argc;
    for (int i = 1; i < argc && first == argc; ++i) {
        const char* arg = argv[i];
        if (strcmp(arg, "--") == 0) {
            first = i + 1;
        } else if (strcmp(arg, "-h") == 0 || strcmp(arg, "--help") == 0) {
            return Usage(stdout, 0);
        } else if (strcmp(arg, "--version") == 0) {
            printf("devcaplint %s\n", DEVCAP_VERSION);
            return 0;
        } else if (strcmp(arg, "--list-rules") == 0) {
            for (const tLintRule& r : kDevCapLintRules)
                printf("%-18s %-7s %s\n", r.name, kDevCapLintSeverity[r.severity], r.summary);
            return 0;
        } else if (strcmp(arg, "--format=json") == 0 || strcmp(arg, "--format=text") == 0) {
            options.json = strcmp(arg, "--format=json") == 0;
        } else if (strncmp(arg, "--disable=", 10) == 0) {
            if (!Disable(arg + 10, &options.disabled)) return Usage(stderr, 2);
        } else if (arg[0] == '-' && arg[1] != '\0') {
            fprintf(stderr, "devcaplint: unknown option %s\n", arg);
            return Usage(stderr, 2);
        } else {
            first = i;
        }
    }
    if (first >= argc) return Usage(stderr, 2);
    if (options.json) options.colour = false;
    int status = 0;
    bool firstJson = true;
    if (options.json) printf("[");
    for (int i = first; i < argc; ++i) {
        const bool stdinput = strcmp(argv[i], "-") == 0;
        FILE* fp = stdinput ? stdin : fopen(argv[i], "rb");
        if (fp == nullptr) {
            fprintf(stderr, "devcaplint: cannot open %s: %s\n", argv[i], strerror(errno));
            status = 2;
            continue;
        }
        tFile file{&options, stdinput ? "<stdin>" : argv[i], &firstJson, DevCapFileSink(stdout)};
        const int found = DevCapLintStream(fp, options.disabled, {Print, &file});
        if (!stdinput) fclose(fp);
        if (found < 0) {
            fprintf(stderr, "devcaplint: cannot read %s\n", argv[i]);
            status = 2;
        } else if (found > 0 && status == 0) {
            status = 1;
        }
    }
    if (options.json) printf("%s]\n", firstJson ? "" : "\n");
    return status;
}

}  // namespace

int main(int argc, char* argv[]) { return DevCapCloseOutput("devcaplint", Run(argc, argv)); }
