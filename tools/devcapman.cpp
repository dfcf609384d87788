// devcapman - fills a man page template: the line `.\" ENTRIES-TABLE` becomes the
// list of entries and keywords, read from the handlers' own key tables.
// usage: devcapman TEMPLATE > PAGE
#include <cstdio>
#include <cstring>

#include "DevCapConv.h"

namespace {

const char* KindText(const tEntryInfo& e) {
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

void PrintEntries() {
    for (const tEntryCatalog& c : DevCapEntryCatalogs()) {
        printf(".SS %s\n", c.section);
        for (size_t i = 0; i < c.count; ++i) {
            const tEntryInfo& e = c.entries[i];
            printf(".TP\n.B %.*s\n%s", static_cast<int>(e.name.size()), e.name.data(), KindText(e));
            for (size_t w = 0; w < e.words.count; ++w) {
                const std::string_view text = e.words.words[w].text;
                printf("%s\\(aq%.*s\\(aq", w == 0 ? "\n" : ", ", static_cast<int>(text.size()), text.data());
            }
            if (e.stop != nullptr) printf("; \\(aq%s\\(aq ends the list", e.stop);
            printf("\n");
        }
    }
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        fprintf(stderr, "usage: devcapman TEMPLATE > PAGE\n");
        return 2;
    }
    FILE* in = fopen(argv[1], "r");
    if (in == nullptr) {
        fprintf(stderr, "devcapman: cannot open %s\n", argv[1]);
        return 2;
    }
    char line[1024];
    while (fgets(line, sizeof line, in) != nullptr) {
        if (strcmp(line, ".\\\" ENTRIES-TABLE\n") == 0) {
            PrintEntries();
        } else {
            fputs(line, stdout);
        }
    }
    fclose(in);
    return fflush(stdout) == 0 ? 0 : 1;
}
