// devcapgen - writes the copies of the entry tables that live outside the
// code, at build time, so that none of them is kept by hand:
//   devcapgen man TEMPLATE > PAGE   the line `.\" ENTRIES-TABLE` becomes the
//                                   list of entries and keywords, the line
//                                   `.\" RULES-TABLE` the linter's rules
//   devcapgen dict > FILE           the libFuzzer dictionary: names, keywords
//                                   and the syntax of a line
//   devcapgen corpus DIR TEXT...    texts made from the given ones and the
//                                   tables (lines dropped, near misses, limits,
//                                   hostile bytes) and pairs of their records
//                                   with bytes changed: seeds for the fuzzers,
//                                   and what the test replays them on
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

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
        "='", "'\n", "EOF=''", "#", ",", "\r\n", "0x", "-", "2147483648", "4294967296", DEVCAP_LINT_DISABLE_MARK};
    for (const char* syntax : kSyntax) DictWord(syntax, &n);
    return 0;
}

// ---- a corpus: the same every run, from a fixed seed ----

uint32_t gSeed = 20261206;
size_t Pick(size_t n) {
    gSeed = gSeed * 1103515245u + 12345u;
    return (gSeed >> 8) % n;
}

// An entry of the tables: keywords (a list of up to three, a blank after a
// comma now and then) or a number at a limit; a letter case or a letter
// changed, a quote dropped, text after the value.
std::string EntryLine() {
    static const char* const kNumbers[] = {"0",   "1",       "2",  "3",   "-1", "100",        "101",        "255",
                                           "256", "0x10000", "08", "two", " 1", "2147483648", "4294967296", ""};
    const size_t i = Pick(DevCapEntryCount());
    tDevCapEntryInfo e;
    DevCapEntryInfo(i, &e);
    std::string name = e.name, value;
    const char* word = nullptr;
    uint32_t code = 0;
    for (size_t n = e.keywords > 0 ? 1 + Pick(3) : 0; n > 0; --n) {
        DevCapEntryKeyword(i, Pick(e.keywords), &word, &code);
        value += (value.empty() ? "" : Pick(4) == 0 ? ", " : ",") + std::string(word);
    }
    if (e.keywords == 0 || Pick(8) == 0) value = kNumbers[Pick(sizeof kNumbers / sizeof *kNumbers)];
    if (Pick(5) == 0 && !value.empty()) value[Pick(value.size())] ^= 0x20;
    if (Pick(5) == 0) name[Pick(name.size())] ^= Pick(2) == 0 ? 0x20 : 0x01;
    if (Pick(6) == 0) name.erase(Pick(name.size()), 1);
    return name + (Pick(12) == 0 ? "=" : "='") + value + (Pick(12) == 0 ? "" : "'") + (Pick(12) == 0 ? " #" : "");
}

std::string HostileLine() {
    // clang-format off
    static const std::string kLines[] = {
        "EOF=''", "=''", std::string(DEVCAP_LINT_DISABLE_MARK) + "quote,duplcate", "#devcaplint disable=bom", "SENSOR_ID 'MT9P031'",
        "\xEF\xBB\xBFSENSOR_ID='OV9715'", std::string("N\0='1'", 6), "PT_ENABLED='1'\x01", "\r",
        std::string(170, 'X') + "MD_SRC='ENCODER'", std::string(31, 'N') + "='1'", std::string(32, 'N') + "='1'",
        "N='" + std::string(127, 'v') + "'", "N='" + std::string(128, 'v') + "'", "# caf\xC3\xA9 \xF0\x9F\x98\x80",
        std::string(159, '#'), std::string(160, '#')};
    // clang-format on
    return kLines[Pick(sizeof kLines / sizeof *kLines)];
}

bool WriteFile(const std::string& path, const void* bytes, size_t size) {
    FILE* fp = fopen(path.c_str(), "wb");
    const bool ok = fp != nullptr && fwrite(bytes, 1, size, fp) == size;
    if (fp == nullptr || fclose(fp) != 0 || !ok) {
        fprintf(stderr, "devcapgen: cannot write %s: %s\n", path.c_str(), strerror(errno));
        return false;
    }
    return true;
}

int Corpus(const char* dir, int count, char* texts[]) {
    std::vector<std::vector<std::string>> bases;
    for (int t = 0; t < count; ++t) {
        FILE* fp = fopen(texts[t], "rb");
        if (fp == nullptr) {
            fprintf(stderr, "devcapgen: cannot open %s\n", texts[t]);
            return 2;
        }
        bases.emplace_back();
        char line[4096];
        while (fgets(line, sizeof line, fp) != nullptr) bases.back().emplace_back(line, strcspn(line, "\n"));
        fclose(fp);
    }
    std::vector<tDevConf> records;
    for (size_t n = 0; n < 600 && !bases.empty(); ++n) {
        std::vector<std::string> lines = bases[n % bases.size()];
        for (size_t k = Pick(7); k > 0; --k) {
            const size_t at = Pick(lines.size() + 1), what = Pick(5);
            if (what == 0 && !lines.empty())
                lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(at < lines.size() ? at : 0));
            if (what != 0)
                lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), what == 1 ? HostileLine() : EntryLine());
        }
        std::string text;
        const char* end = Pick(4) == 0 ? "\r\n" : "\n";
        for (const std::string& line : lines) text += line + end;
        if (Pick(5) == 0 && !text.empty()) text.pop_back();
        tDevConf dev;
        DevCapConvertText(text.data(), text.size(), "t", &dev, nullptr, nullptr);
        records.push_back(dev);
        if (!WriteFile(std::string(dir) + "/t" + std::to_string(n) + ".txt", text.data(), text.size())) return 2;
    }
    for (size_t n = 0; n < records.size(); ++n) {
        tDevConf pair[2] = {records[n], records[(n * 7 + 1) % records.size()]};
        for (size_t k = Pick(4); k > 0; --k) reinterpret_cast<unsigned char*>(pair)[Pick(sizeof pair)] = Pick(256);
        if (!WriteFile(std::string(dir) + "/r" + std::to_string(n) + ".bin", pair, sizeof pair)) return 2;
    }
    return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    int status = -1;
    if (argc == 3 && strcmp(argv[1], "man") == 0) status = Man(argv[2]);
    if (argc == 2 && strcmp(argv[1], "dict") == 0) status = Dict();
    if (argc >= 4 && strcmp(argv[1], "corpus") == 0) status = Corpus(argv[2], argc - 3, argv + 3);
    if (status == -1) {
        fprintf(stderr,
                "usage: devcapgen man TEMPLATE > PAGE | devcapgen dict > FILE | devcapgen corpus DIR TEXT...\n");
        return 2;
    }
    if (status != 0) return status;
    return fflush(stdout) == 0 ? 0 : 1;
}
