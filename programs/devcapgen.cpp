// devcapgen - writes the copies of the entry tables that live outside the
// code, at build time, so that none of them is kept by hand:
//   devcapgen man TEMPLATE > PAGE   the line `.\" ENTRIES-TABLE` becomes the
//                                   list of entries and keywords, the line
//                                   `.\" RULES-TABLE` the linter's rules
//   devcapgen dict > FILE           the libFuzzer dictionary: names, keywords
//                                   and the syntax of a line
#include <cstdio>
#include <cstring>

#include "libdevcap.h"

namespace {

const char* KindText(const char* kind) {
    if (strcmp(kind, "keyword") == 0) return "one of";
    if (strcmp(kind, "list") == 0) return "a comma list of";
    if (strcmp(kind, "number") == 0) return "a decimal number (read like atoi; the field keeps its low bits)";
    return "a number, decimal, 0x hexadecimal or 0 octal (the field keeps its low 16 bits)";
}

// Keywords are set without filling or hyphenation, so that any keyword copied
// out of the page is the keyword itself.
void PrintEntries() {
    const char* section = "";
    tDevCapEntryInfo e;
    for (size_t i = 0; DevCapEntryInfo(i, &e) == DEVCAP_OK; ++i) {
        if (strcmp(section, e.section) != 0) printf(".SS %s\n", e.section);
        section = e.section;
        printf(".TP\n.B %s\n%s\n", e.name, KindText(e.kind));
        if (e.keywords == 0) continue;
        printf(".RS\n.nf\n");
        const char* text;
        uint32_t code;
        for (size_t w = 0; DevCapEntryKeyword(i, w, &text, &code) == DEVCAP_OK; ++w) printf("\\(aq%s\\(aq\n", text);
        printf(".fi\n");
        if (e.stop != nullptr) printf("\\(aq%s\\(aq ends the list.\n", e.stop);
        printf(".RE\n");
    }
}

int Man(const char* path) {
    FILE* in = fopen(path, "r");
    if (in == nullptr) {
        fprintf(stderr, "devcapgen: cannot open %s\n", path);
        return 2;
    }
    // The reader's limits, as the text-format section states them.
    const struct {
        const char* token;
        size_t value;
    } limits[] = {
        {"{{PIECE_MAX}}", DEVCAP_PIECE_MAX}, {"{{NAME_MAX}}", DEVCAP_NAME_MAX}, {"{{VALUE_MAX}}", DEVCAP_VALUE_MAX}};
    char line[1024];
    while (fgets(line, sizeof line, in) != nullptr) {
        if (strcmp(line, ".\\\" ENTRIES-TABLE\n") == 0) {
            PrintEntries();
            continue;
        }
        if (strcmp(line, ".\\\" RULES-TABLE\n") == 0) {
            tDevCapLintRule r;
            for (size_t n = 0; DevCapLintRuleInfo(n, &r) == DEVCAP_OK; ++n) {
                printf(".TP\n.BR %s \" (%s)\"\n%s.\n", r.name, r.severity, r.summary);
            }
            continue;
        }
        for (const char* at = line; *at != '\0';) {
            bool replaced = false;
            for (const auto& l : limits) {
                if (strncmp(at, l.token, strlen(l.token)) != 0) continue;
                printf("%zu", l.value);
                at += strlen(l.token);
                replaced = true;
            }
            if (!replaced) putchar(*at++);
        }
    }
    fclose(in);
    return 0;
}

void DictWord(const char* word, int* n) {
    printf("kw%d=\"", ++*n);
    for (const char* c = word; *c != '\0'; ++c) {
        if (*c == '"' || *c == '\\') {
            printf("\\%c", *c);
        } else if (static_cast<unsigned char>(*c) < 0x20) {
            printf("\\x%02X", static_cast<unsigned>(*c));
        } else {
            putchar(*c);
        }
    }
    printf("\"\n");
}

int Dict() {
    printf("# Entry names, keywords and the line syntax of capability text files.\n");
    int n = 0;
    tDevCapEntryInfo e;
    for (size_t i = 0; DevCapEntryInfo(i, &e) == DEVCAP_OK; ++i) {
        DictWord(e.name, &n);
        const char* text;
        uint32_t code;
        for (size_t w = 0; DevCapEntryKeyword(i, w, &text, &code) == DEVCAP_OK; ++w) DictWord(text, &n);
        if (e.stop != nullptr) DictWord(e.stop, &n);
    }
    static const char* const kSyntax[] = {
        "='", "'\n", "EOF=''", "#", ",", "\r\n", "0x", "-", "2147483648", "4294967296", "# devcaplint: disable="};
    for (const char* syntax : kSyntax) DictWord(syntax, &n);
    return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    int status = 2;
    if (argc == 3 && strcmp(argv[1], "man") == 0) status = Man(argv[2]);
    if (argc == 2 && strcmp(argv[1], "dict") == 0) status = Dict();
    if (status == 2 && !(argc >= 2 && (strcmp(argv[1], "man") == 0 || strcmp(argv[1], "dict") == 0))) {
        fprintf(stderr, "usage: devcapgen man TEMPLATE > PAGE | devcapgen dict > FILE\n");
    }
    if (status != 0) return status;
    return fflush(stdout) == 0 ? 0 : 1;
}
