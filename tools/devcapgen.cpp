// devcapgen - writes the copies of the entry tables that live outside the
// code, at build time, so that none of them is kept by hand:
//   devcapgen man TEMPLATE > PAGE   the line `.\" ENTRIES-TABLE` becomes the
//                                   list of entries and keywords, the line
//                                   `.\" RULES-TABLE` the linter's rules
//   devcapgen dict > FILE           the libFuzzer dictionary: names, keywords
//                                   and the syntax of a line
#include <cstdio>
#include <cstring>

#include "DevCapLint.h"

namespace {

const char* KindText(const tEntry& e) {
    switch (e.kind) {
        case ENTRY_KEYWORD:
            return "one of";
        case ENTRY_LIST:
            return "a comma list of";
        case ENTRY_NUMBER:
            return "a decimal number (read like atoi; the field keeps its low bits)";
        case ENTRY_VERSION:
            return "a number, decimal, 0x hexadecimal or 0 octal (the field keeps its low 16 bits)";
    }
    return "";
}

// Keywords are set without filling or hyphenation, so that any keyword copied
// out of the page is the keyword itself.
void PrintEntries() {
    const tSectionList sections = DevCapSections();
    for (size_t s = 0; s < sections.count; ++s) {
        printf(".SS %s\n", sections.sections[s].title);
        for (size_t i = 0; i < sections.sections[s].count; ++i) {
            const tEntry& e = sections.sections[s].entries[i];
            printf(".TP\n.B %.*s\n%s\n", static_cast<int>(e.name.size()), e.name.data(), KindText(e));
            if (e.words.count == 0) continue;
            printf(".RS\n.nf\n");
            for (size_t w = 0; w < e.words.count; ++w) {
                const std::string_view text = e.words.words[w].text;
                printf("\\(aq%.*s\\(aq\n", static_cast<int>(text.size()), text.data());
            }
            printf(".fi\n");
            if (e.stop != nullptr) printf("\\(aq%s\\(aq ends the list.\n", e.stop);
            printf(".RE\n");
        }
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
    } limits[] = {{"{{PIECE_MAX}}", DEVCAP_LINE_SIZE - 1},
                  {"{{NAME_MAX}}", DEVCAP_NAME_SIZE - 1},
                  {"{{VALUE_MAX}}", DEVCAP_DATA_SIZE - 1}};
    char line[1024];
    while (fgets(line, sizeof line, in) != nullptr) {
        if (strcmp(line, ".\\\" ENTRIES-TABLE\n") == 0) {
            PrintEntries();
            continue;
        }
        if (strcmp(line, ".\\\" RULES-TABLE\n") == 0) {
            for (const tLintRule& r : kDevCapLintRules) {
                printf(".TP\n.BR %s \" (%s)\"\n%s.\n", r.name, r.severity == LINT_ERROR ? "error" : "warning",
                       r.summary);
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

void DictWord(std::string_view word, int* n) {
    printf("kw%d=\"", ++*n);
    for (const char c : word) {
        if (c == '"' || c == '\\') {
            printf("\\%c", c);
        } else if (static_cast<unsigned char>(c) < 0x20) {
            printf("\\x%02X", static_cast<unsigned>(c));
        } else {
            putchar(c);
        }
    }
    printf("\"\n");
}

int Dict() {
    printf("# Entry names, keywords and the line syntax of capability text files.\n");
    int n = 0;
    const tSectionList sections = DevCapSections();
    for (size_t s = 0; s < sections.count; ++s) {
        for (size_t i = 0; i < sections.sections[s].count; ++i) {
            const tEntry& e = sections.sections[s].entries[i];
            DictWord(e.name, &n);
            for (size_t w = 0; w < e.words.count; ++w) DictWord(e.words.words[w].text, &n);
            if (e.stop != nullptr) DictWord(e.stop, &n);
        }
    }
    for (const char* syntax : {"='", "'\n", "EOF=''", "#", ",", "\r\n", "0x", "-", "2147483648", "4294967296"}) {
        DictWord(syntax, &n);
    }
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
