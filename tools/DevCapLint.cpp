// DevCapLint.cpp - findings on a capability text. The converter's reader hands
// every piece it reads to an observer here; the record it builds goes through
// each check rule on its own. Errors are exactly the converter's refusals.
#include "DevCapLint.h"

#include <cstdarg>
#include <cstring>

// clang-format off
const tLintRule kDevCapLintRules[LINT_RULE_COUNT] = {
    {"unknown-entry", LINT_ERROR, "a name no section owns; the converter refuses the file"},
    {"bad-value", LINT_ERROR, "a keyword or list element the entry does not know; the converter refuses the file"},
    {"check", LINT_ERROR, "the record fails a consistency rule (errors), or a rule warns (warnings)"},
    {"long-name", LINT_WARNING, "a name over 31 characters: the line is skipped without a word"},
    {"long-value", LINT_WARNING, "a value over 127 characters: the line is skipped without a word"},
    {"split-line", LINT_WARNING, "a line over 159 bytes: its rest is read as a line of its own"},
    {"not-a-number", LINT_WARNING, "a number entry whose text is not plainly a number that fits its field"},
    {"ignored-after-stop", LINT_WARNING, "list elements after the stop word are never read"},
    {"duplicate", LINT_WARNING, "an entry set more than once: the later line wins"},
    {"after-eof", LINT_WARNING, "entries after EOF='' are never read"},
    {"not-an-entry", LINT_WARNING, "a line that is not empty, not a comment and has no '=': skipped"},
    {"quote", LINT_WARNING, "no quote after '=', a value never closed, or text after the closing quote"},
    {"bom", LINT_WARNING, "a byte-order mark at the start of the file: it becomes part of the first name"},
    {"encoding", LINT_WARNING, "NUL, control or non-ASCII bytes outside comments"},
};
// clang-format on

const char* const kDevCapLintSeverity[3] = {"error", "warning", "note"};

tLintRuleId DevCapLintRuleNamed(std::string_view name) {
    for (size_t i = 0; i < LINT_RULE_COUNT; ++i) {
        if (name == kDevCapLintRules[i].name) return static_cast<tLintRuleId>(i);
    }
    return LINT_RULE_COUNT;
}

namespace {

constexpr uint32_t kNever = 0;

struct tLint {
    tLintReport report;
    uint32_t disabled;
    int findings;
    tDevConf dev;
    uint32_t setLine[sizeof(tDevConf)];  // the line that last set the field at an offset
    uint32_t setColumn[sizeof(tDevConf)];
    uint32_t splitLine;  // a piece that did not end its line
    uint32_t eofLine;    // the line of EOF='', kNever when none
    bool eofEndsLine;
};

// A message of at most one line; bytes that are not printable ASCII are shown
// as \xHH so that a finding never hides or breaks its line.
struct tMessage {
    char text[640];
    size_t len;
};

void Put(tMessage* m, const char* fmt, ...) __attribute__((format(printf, 2, 3)));
void Put(tMessage* m, const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    // clang-tidy 14 takes the va_list for an uninitialised one.
    const int n =
        vsnprintf(m->text + m->len, sizeof m->text - m->len, fmt, args);  // NOLINT(clang-analyzer-valist.Uninitialized)
    va_end(args);
    if (n > 0) m->len += static_cast<size_t>(n);
    if (m->len >= sizeof m->text) m->len = sizeof m->text - 1;
}

void PutShown(tMessage* m, const char* bytes, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c >= 0x20 && c < 0x7f && c != '\\') {
            Put(m, "%c", c);
        } else if (c == '\n') {
            Put(m, "\\n");
        } else if (c == '\r') {
            Put(m, "\\r");
        } else if (c == '\\') {
            Put(m, "\\\\");
        } else {
            Put(m, "\\x%02X", c);
        }
    }
}

void PutShown(tMessage* m, std::string_view text) { PutShown(m, text.data(), text.size()); }

void Report(tLint* l, tLintRuleId rule, tLintSeverity severity, uint32_t line, uint32_t column, const tMessage& m) {
    if (kDevCapLintRules[rule].severity != LINT_ERROR && (l->disabled >> rule & 1u) != 0) return;
    ++l->findings;
    l->report.finding(l->report.ctx, {line, column, severity, rule, m.text});
}

void Report(tLint* l, tLintRuleId rule, uint32_t line, uint32_t column, const tMessage& m) {
    Report(l, rule, kDevCapLintRules[rule].severity, line, column, m);
}

// Case-insensitive edit distance, or 99 when either text is too long to weigh.
size_t Distance(std::string_view a, std::string_view b) {
    size_t row[130] = {}, next[130] = {};
    if (a.size() >= 128 || b.size() >= 128 || a.size() > b.size() + 2 || b.size() > a.size() + 2) return 99;
    for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        next[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t change = row[j - 1] + (DevCapUpper(a[i - 1]) == DevCapUpper(b[j - 1]) ? 0 : 1);
            const size_t gap = (row[j] < next[j - 1] ? row[j] : next[j - 1]) + 1;
            next[j] = change < gap ? change : gap;
        }
        memcpy(row, next, sizeof row);
    }
    return row[b.size()];
}

size_t CommonPrefix(std::string_view a, std::string_view b) {
    size_t n = 0;
    while (n < a.size() && n < b.size() && DevCapUpper(a[n]) == DevCapUpper(b[n])) ++n;
    return n;
}

// The nearest entry name or keyword within 2 edits, the longer common start
// breaking a tie ('F8' is nearer 'F8.0' than 'F22'); empty when none is.
template <typename Each>
std::string_view Nearest(std::string_view text, Each each) {
    std::string_view best;
    size_t bestDistance = 3;
    each([&](std::string_view candidate) {
        const size_t d = Distance(text, candidate);
        if (d < bestDistance || (d == bestDistance && CommonPrefix(text, candidate) > CommonPrefix(text, best))) {
            best = candidate;
            bestDistance = d;
        }
    });
    return best;
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && strchr(" \t\r\n", text.back()) != nullptr) text.remove_suffix(1);
    return text;
}

constexpr std::string_view kBOM = "\xEF\xBB\xBF";

// text[from, from + n), clipped to text: substr without its exception, which
// would tie the library to libstdc++.
constexpr std::string_view Part(std::string_view text, size_t from, size_t n = std::string_view::npos) {
    if (from > text.size()) from = text.size();
    return {text.data() + from, n < text.size() - from ? n : text.size() - from};
}

bool StartsWith(std::string_view text, std::string_view start) { return Part(text, 0, start.size()) == start; }

void UnknownEntry(tLint* l, const tPiece& p) {
    std::string_view name(p.name);
    if (StartsWith(name, kBOM)) name.remove_prefix(kBOM.size());
    const std::string_view near = Nearest(name, [](auto visit) {
        const tSectionList list = DevCapSections();
        for (size_t s = 0; s < list.count; ++s) {
            for (size_t i = 0; i < list.sections[s].count; ++i) visit(list.sections[s].entries[i].name);
        }
    });
    tMessage m{};
    Put(&m, "unknown entry '");
    PutShown(&m, p.name, strlen(p.name));
    Put(&m, "'");
    if (!near.empty()) {
        Put(&m, "; did you mean '");
        PutShown(&m, near);
        Put(&m, "'?");
    }
    Report(l, LINT_UNKNOWN_ENTRY, p.line, p.column, m);
}

// Where the value starts in the piece, from 0.
size_t ValueOffset(const tPiece& p) {
    const size_t eq = strlen(p.name);
    return eq + (p.buf[eq + 1] == '\0' ? 1 : 2);
}

void BadValue(tLint* l, const tPiece& p) {
    const tEntry& e = *p.entry;
    const std::string_view bad(p.bad != nullptr ? p.bad : p.data);
    const size_t at = ValueOffset(p) + static_cast<size_t>(bad.data() - p.data);
    tMessage m{};
    if (e.fmt != nullptr) {
        // The converter's own line, without the function that prints it.
        char line[512];
        if (e.label != nullptr) {
            snprintf(line, sizeof line, e.fmt, "", e.label, bad.data());
        } else {
            snprintf(line, sizeof line, e.fmt, "", bad.data());
        }
        const char* text = strstr(line, "Error. ");
        text = text != nullptr ? text + 7 : line;
        char first[2] = {static_cast<char>(text[0] >= 'A' && text[0] <= 'Z' ? text[0] - 'A' + 'a' : text[0]), '\0'};
        Put(&m, "%s", first);
        size_t n = strlen(text);
        if (n > 0 && text[n - 1] == '\n') --n;  // its line end; a value that kept one shows it as \n
        PutShown(&m, text + 1, n > 0 ? n - 1 : 0);
    } else {
        Put(&m, "'");
        PutShown(&m, bad);
        Put(&m, "' is not a keyword of %.*s", static_cast<int>(e.name.size()), e.name.data());
    }
    const std::string_view trimmed = Trimmed(bad);
    const bool blanks = trimmed.size() != bad.size() && DevCapKeywordCode(e.words, trimmed) != DEVCAP_ERROR;
    if (blanks) {
        Put(&m, "; '");
        PutShown(&m, trimmed);
        Put(&m, "' is a keyword: nothing is trimmed, remove the blanks");
    } else {
        const std::string_view near = Nearest(bad, [&](auto visit) {
            for (size_t i = 0; i < e.words.count; ++i) visit(e.words.words[i].text);
            if (e.stop != nullptr) visit(e.stop);
        });
        if (!near.empty()) {
            Put(&m, "; did you mean '");
            PutShown(&m, near);
            Put(&m, "'?");
        }
    }
    Report(l, LINT_BAD_VALUE, p.line, p.column + static_cast<uint32_t>(at), m);
}

// A number entry's text, judged: plainly a number that the field holds.
void Number(tLint* l, const tPiece& p) {
    const tEntry& e = *p.entry;
    // A line end kept by a value never closed is the quote rule's business.
    const std::string_view text(p.value, strcspn(p.value, "\r\n"));
    const uint32_t stored = DevCapLoad(&l->dev, e.offset, e.width);
    const uint32_t column = p.column + static_cast<uint32_t>(ValueOffset(p));
    size_t digits = 0;
    const bool hex = e.kind == ENTRY_VERSION && text.size() > 2 && text[0] == '0' && DevCapUpper(text[1]) == 'X';
    const unsigned base = hex ? 16 : (e.kind == ENTRY_VERSION && text.size() > 1 && text[0] == '0') ? 8 : 10;
    for (size_t i = hex ? 2 : 0; i < text.size(); ++i, ++digits) {
        const char u = DevCapUpper(text[i]);
        const unsigned d = u >= '0' && u <= '9'   ? unsigned(u - '0')
                           : u >= 'A' && u <= 'F' ? unsigned(u - 'A' + 10)
                                                  : 99;
        if (d >= base) break;
    }
    const size_t end = (hex ? 2 : 0) + digits;
    const uint64_t max = e.width >= 4 ? 2147483647u : (uint64_t{1} << (8 * e.width)) - 1;
    tMessage m{};
    Put(&m, "'");
    PutShown(&m, text);
    if (digits == 0) {
        Put(&m, "' is not a number");
    } else if (end < text.size()) {
        Put(&m, "' has text after the number");
    } else {
        // Plain digits: does the number fit the field?
        uint64_t value = 0;
        for (size_t i = hex ? 2 : 0; i < end && value <= max; ++i) {
            const char u = DevCapUpper(text[i]);
            value = value * base + (u <= '9' ? unsigned(u - '0') : unsigned(u - 'A' + 10));
        }
        if (value <= max) return;
        Put(&m, "' does not fit %u byte%s", e.width, e.width > 1 ? "s" : "");
    }
    Put(&m, ": %.*s becomes %u", static_cast<int>(e.name.size()), e.name.data(), stored);
    Report(l, LINT_NOT_A_NUMBER, p.line, column, m);
}

void AfterStop(tLint* l, const tPiece& p) {
    const tEntry& e = *p.entry;
    const std::string_view value(p.value);
    for (size_t start = 0; start < value.size();) {
        const size_t comma = value.find(',', start);
        if (comma == std::string_view::npos) return;
        if (DevCapTextIs(Part(value, start, comma - start), e.stop)) {
            tMessage m{};
            Put(&m, "'%s' ends the list: '", e.stop);
            PutShown(&m, Part(value, comma + 1));
            Put(&m, "' is never read");
            Report(l, LINT_IGNORED_AFTER_STOP, p.line, p.column + static_cast<uint32_t>(ValueOffset(p) + comma + 1), m);
            return;
        }
        start = comma + 1;
    }
}

void Quotes(tLint* l, const tPiece& p) {
    const size_t eq = strlen(p.name);
    const char* after = p.buf + eq + 1;
    tMessage m{};
    if (*after != '\'' && *after != '\0' && *after != '\n' && *after != '\r') {
        Put(&m, "no quote after '=': its first character '");
        PutShown(&m, after, 1);
        Put(&m, "' is dropped");
        Report(l, LINT_QUOTE, p.line, p.column + static_cast<uint32_t>(eq + 1), m);
        return;
    }
    const char* last = strrchr(after + 1, '\'');
    if (*after == '\'' && last == nullptr) {
        Put(&m, "the value is never closed: it keeps the line end");
        Report(l, LINT_QUOTE, p.line, p.column + static_cast<uint32_t>(eq + 1), m);
    } else if (last != nullptr && strspn(last + 1, "\r\n") != strlen(last + 1)) {
        Put(&m, "text after the closing quote is ignored: '");
        PutShown(&m, last + 1, strcspn(last + 1, "\r\n"));
        Put(&m, "'");
        Report(l, LINT_QUOTE, p.line, p.column + static_cast<uint32_t>(last + 1 - p.buf), m);
    }
}

void Encoding(tLint* l, const tPiece& p) {
    for (size_t i = 0; i < p.len; ++i) {
        const auto c = static_cast<unsigned char>(p.buf[i]);
        if (c >= 0x20 && c < 0x7f) continue;
        if (c == '\t' || c == '\n' || (c == '\r' && i + 2 >= p.len)) continue;
        if (p.line == 1 && p.column == 1 && i < kBOM.size() && std::string_view(p.buf, 3) == kBOM) continue;
        tMessage m{};
        if (c == 0) {
            Put(&m, "a NUL byte: the reader takes the line to end here");
        } else {
            Put(&m, "%s byte 0x%02X", c >= 0x80 ? "non-ASCII" : "control", c);
        }
        Report(l, LINT_ENCODING, p.line, p.column + static_cast<uint32_t>(i), m);
        return;
    }
}

void SplitLine(tLint* l, const tPiece& p) {
    if (l->splitLine == p.line && strspn(p.buf, "\r\n") != p.len) {
        tMessage m{};
        Put(&m, "the line is longer than %zu bytes: from column %u it is read as a line of its own",
            DEVCAP_LINE_SIZE - 1, p.column);
        Report(l, LINT_SPLIT_LINE, p.line, p.column, m);
    }
    const bool split = p.len == DEVCAP_LINE_SIZE - 1 && p.buf[p.len - 1] != '\n';
    l->splitLine = split ? p.line : kNever;
}

// Comment lines that turn rules off for the rest of the file.
void Suppress(tLint* l, const tPiece& p) {
    constexpr std::string_view kMark = "# devcaplint: disable=";
    const std::string_view text(p.buf, strcspn(p.buf, "\r\n"));
    if (p.column != 1 || !StartsWith(text, kMark)) return;
    std::string_view rules = Part(text, kMark.size());
    while (!rules.empty()) {
        const size_t comma = rules.find(',');
        const tLintRuleId id = DevCapLintRuleNamed(Part(rules, 0, comma));
        if (id != LINT_RULE_COUNT) l->disabled |= 1u << id;
        rules = comma == std::string_view::npos ? std::string_view() : Part(rules, comma + 1);
    }
}

void Seen(void* ctx, const tPiece& p) {
    auto* l = static_cast<tLint*>(ctx);
    SplitLine(l, p);
    const bool comment = p.buf[0] == '#' && p.column == 1;
    if (comment) Suppress(l, p);
    if (p.line == 1 && p.column == 1 && StartsWith(std::string_view(p.buf, p.len), kBOM)) {
        Report(l, LINT_BOM, 1, 1, {"a UTF-8 byte-order mark: it becomes part of the first name", 0});
    }
    if (!comment && p.column == 1) Encoding(l, p);
    tMessage m{};
    switch (p.kind) {
        case PIECE_SKIPPED:
            return;
        case PIECE_EOF:
            l->eofLine = p.line;
            l->eofEndsLine = p.buf[p.len - 1] == '\n';
            return;
        case PIECE_NO_ENTRY:
            if (p.column == 1 && strspn(p.buf, " \t\r\n") != p.len) {
                Put(&m, "not an entry (no '='): the line is skipped");
                Report(l, LINT_NOT_AN_ENTRY, p.line, p.column, m);
            }
            return;
        case PIECE_LONG_NAME:
            Put(&m, "the name is longer than %zu characters: the line is skipped", DEVCAP_NAME_SIZE - 1);
            Report(l, LINT_LONG_NAME, p.line, p.column, m);
            return;
        case PIECE_LONG_VALUE:
            Put(&m, "the value is longer than %zu characters: the line is skipped", DEVCAP_DATA_SIZE - 1);
            Report(l, LINT_LONG_VALUE, p.line, p.column + static_cast<uint32_t>(strcspn(p.buf, "=") + 1), m);
            return;
        case PIECE_REJECTED:
            if (p.entry == nullptr) {
                UnknownEntry(l, p);
            } else {
                BadValue(l, p);
            }
            break;
        case PIECE_ENTRY:
            if (p.entry->kind == ENTRY_NUMBER || p.entry->kind == ENTRY_VERSION) Number(l, p);
            if (p.entry->kind == ENTRY_LIST && p.entry->stop != nullptr) AfterStop(l, p);
            break;
    }
    if (p.entry == nullptr) return;
    Quotes(l, p);
    const uint8_t at = p.entry->offset;
    if (l->setLine[at] != kNever) {
        Put(&m, "%.*s is set again: line %u set it first, this line wins", static_cast<int>(p.entry->name.size()),
            p.entry->name.data(), l->setLine[at]);
        Report(l, LINT_DUPLICATE, p.line, p.column, m);
    }
    l->setLine[at] = p.line;
    l->setColumn[at] = p.column;
}

// Each check rule on its own, pointing at the lines that set what it reads.
void CheckRules(tLint* l) {
    const tCheckRuleList rules = DevCapCheckRules();
    for (size_t r = 0; r < rules.count; ++r) {
        const tCheckRule& rule = rules.rules[r];
        tMessage said{};
        const tDevCapSink sink{
            [](void* ctx, const char* text, size_t len) { PutShown(static_cast<tMessage*>(ctx), text, len); }, &said};
        if (!rule.fires(l->dev, rule, &sink)) continue;
        if (said.len >= 2 && said.text[said.len - 2] == '\\' && said.text[said.len - 1] == 'n') said.len -= 2;
        said.text[said.len] = '\0';
        uint32_t line = kNever, column = 1;
        tMessage m{};
        Put(&m, "%s (", said.text);
        for (size_t i = 0; i < rule.nreads; ++i) {
            const uint8_t at = rule.reads[i];
            const tEntry* e = DevCapEntryAt(at);
            const tField* f = DevCapFieldAt(at);
            Put(&m, "%s%s", i > 0 ? "; " : "", f != nullptr ? f->path : "?");
            if (l->setLine[at] != kNever) {
                Put(&m, " set at line %u", l->setLine[at]);
                if (line == kNever) {
                    line = l->setLine[at];
                    column = l->setColumn[at];
                }
            } else if (e != nullptr) {
                Put(&m, " never set by %.*s", static_cast<int>(e->name.size()), e->name.data());
            } else {
                Put(&m, " fixed");
            }
        }
        Put(&m, ")");
        Report(l, LINT_CHECK, rule.error ? LINT_ERROR : LINT_WARNING, line == kNever ? 1 : line, column, m);
    }
}

// The pieces after EOF='': the first entry among them is reported.
void AfterEOF(tLint* l, const tPieceSource& src) {
    char buf[DEVCAP_LINE_SIZE], name[DEVCAP_NAME_SIZE], data[DEVCAP_DATA_SIZE];
    uint32_t line = l->eofLine + (l->eofEndsLine ? 1 : 0), entries = 0, first = 0;
    bool lineStart = l->eofEndsLine;
    for (size_t len; (len = src.next(src.ctx, buf, sizeof buf)) > 0;) {
        if (lineStart && buf[0] != '#' && GetDevCapConfEntry(buf, name, data)) {
            if (entries++ == 0) first = line;
        }
        lineStart = buf[len - 1] == '\n';
        if (lineStart) ++line;
    }
    if (entries == 0) return;
    tMessage m{};
    Put(&m, "%u entr%s after EOF='' %s never read", entries, entries == 1 ? "y" : "ies", entries == 1 ? "is" : "are");
    Report(l, LINT_AFTER_EOF, first, 1, m);
}

}  // namespace

int DevCapLint(const tPieceSource& src, uint32_t disabled, const tLintReport& report) {
    static_assert(LINT_RULE_COUNT <= 32, "a rule's bit in the disabled mask");
    tLint l{};
    l.report = report;
    l.disabled = disabled;
    DevCapConfInit(&l.dev);
    const tPieceObserver seen{Seen, &l};
    // The converter's own reading, its lines dropped: the findings say it.
    const int32_t read = DevCapReadPieces(&l.dev, src, "", nullptr, &seen);
    if (src.failed(src.ctx)) return -1;
    if (read == 0) CheckRules(&l);
    // The reader stopped at EOF=''; what follows it is read here only to be reported.
    if (l.eofLine != kNever) AfterEOF(&l, src);
    if (src.failed(src.ctx)) return -1;
    return l.findings;
}

int DevCapLintMem(const char* text, size_t size, uint32_t disabled, const tLintReport& report) {
    tMemText mem;
    return DevCapLint(DevCapMemSource(&mem, text, size), disabled, report);
}

int DevCapLintStream(FILE* fp, uint32_t disabled, const tLintReport& report) {
    tStreamText stream;
    return DevCapLint(DevCapStreamSource(&stream, fp), disabled, report);
}
