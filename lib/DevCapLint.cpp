// DevCapLint.cpp - findings on a capability text, and the fixes the rules
// are sure of. The converter's reader hands every piece it reads to an
// observer here, which offers it to each rule in turn; the record it builds
// goes through each check rule on its own. Errors are exactly the
// converter's refusals. The text is read twice: first to learn which check
// rules fail and where, then to report every finding in line and column
// order with the check's among them. Each rule is one function with its row
// right under it; the table of rows comes last.
#include <cstring>

#include "DevCapCore.h"

const char* const kDevCapLintSeverity[LINT_SEVERITY_COUNT] = {"error", "warning", "note"};

namespace {

constexpr uint32_t kNever = 0;
// Findings of one piece held to go out in column order. A piece that gives
// more (a disable comment listing dozens of wrong names) sends them in
// batches, each in column order: none is dropped.
constexpr size_t kHeldMax = 8;
constexpr std::string_view kBOM = "\xEF\xBB\xBF";
constexpr std::string_view kMark = DEVCAP_LINT_DISABLE_MARK;

// One finding held until its piece is done, so that a piece's findings go
// out in column order. The message is one line: bytes that are not
// printable ASCII are shown as \xHH, so a finding never hides or breaks it.
// A fix is one edit or two (the quote rule's opening and closing quotes).
struct tHeld {
    uint32_t line, column, end;  // end: where the text the finding is about ends
    tLintSeverity severity;
    tLintRuleId rule;
    char text[640];
    tDevCapBuffer buf;
    tDevCapSink out;
    tDevCapEdit edits[2];
    char editText[2][DEVCAP_LINE_SIZE];
    size_t nedits;
};

// A check rule that fails, where it points.
struct tCheckAt {
    uint32_t line, column, end;
    const tCheckRule* rule;
};

// What reading the text has shown so far.
struct tState {
    uint32_t disabled;
    tDevConf dev;
    uint32_t setLine[sizeof(tDevConf)];  // the line that last set the field at an offset
    uint32_t setColumn[sizeof(tDevConf)];
    uint32_t setEnd[sizeof(tDevConf)];  // the end of that line's name
    uint32_t eofLine;                   // the line of EOF='', kNever when none
    bool eofEndsLine;
};

}  // namespace

struct tLintRun {
    tDevCapFindingFn report;  // nullptr: the first pass, which reports nothing
    void* ctx;
    std::string_view text;
    bool midText;             // the text is one line of a longer one, not its first
    const tPieceSource* src;  // where the pieces come from
    size_t offset, pieceLen;  // of the piece being read, in text
    uint32_t line, pieceEnd;  // the piece's line, and the column where its text ends
    int findings;
    tState state;
    tState final;  // the first pass's state at the end, for the check's findings
    tHeld held[kHeldMax];
    size_t nheld;
    tHeld discard;  // what a rule turned off says
    tCheckAt checks[64];
    size_t nchecks, nextCheck;
};

namespace {

using tRun = tLintRun;

void Begin(tHeld* h, tLintRuleId rule, uint32_t line, uint32_t column) {
    h->line = line;
    h->column = column;
    h->end = column;
    h->severity = kDevCapLintRules[rule]->severity;
    h->rule = rule;
    h->buf = {h->text, sizeof h->text, 0};
    h->out = DevCapBufferSink(&h->buf);
    h->nedits = 0;
}

void PutShown(tHeld* h, const char* bytes, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c >= 0x20 && c < 0x7f && c != '\\') {
            h->out.write(h->out.ctx, bytes + i, 1);
        } else if (c == '\n' || c == '\r' || c == '\\') {
            DevCapSay(&h->out, "\\%c", c == '\n' ? 'n' : c == '\r' ? 'r' : '\\');
        } else {
            DevCapSay(&h->out, "\\x%02X", c);
        }
    }
}

void PutShown(tHeld* h, std::string_view text) { PutShown(h, text.data(), text.size()); }

// One edit of a fix: length bytes at column of the finding's line become text.
struct tEdit {
    uint32_t column;
    size_t length;
    std::string_view text;
};

void AddEdit(tHeld* h, const tEdit& e) {
    char* t = h->editText[h->nedits];
    snprintf(t, sizeof h->editText[0], "%.*s", static_cast<int>(e.text.size()), e.text.data());
    h->edits[h->nedits++] = {h->line, e.column, static_cast<uint32_t>(e.length), t};
}

// The finding's fix: one edit, or two. A rule cannot ask for more than the
// finding holds.
void Fix(tHeld* h, const tEdit& e) {
    h->nedits = 0;
    AddEdit(h, e);
}
void Fix(tHeld* h, const tEdit& first, const tEdit& second) {
    static_assert(std::size(tHeld{}.edits) == 2, "the most edits a fix has");
    Fix(h, first);
    AddEdit(h, second);
}

void Emit(tRun* l, tHeld& h) {
    DevCapBufferEnd(&h.buf);
    const tDevCapFinding f{
        h.line,   h.column, kDevCapLintSeverity[h.severity], kDevCapLintRules[h.rule]->name, h.text, h.edits,
        h.nedits, h.end};
    ++l->findings;
    l->report(l->ctx, &f);
}

bool Before(uint32_t line, uint32_t column, uint32_t line2, uint32_t column2) {
    return line < line2 || (line == line2 && column < column2);
}

void CheckFinding(tRun* l, const tCheckAt& c, tHeld* h);

// The check's findings that stand before line:column go out first.
void EmitChecksBefore(tRun* l, uint32_t line, uint32_t column) {
    while (l->nextCheck < l->nchecks) {
        const tCheckAt& c = l->checks[l->nextCheck];
        if (!Before(c.line, c.column, line, column)) break;
        tHeld h;
        CheckFinding(l, c, &h);
        Emit(l, h);
        ++l->nextCheck;
    }
}

// The held findings in column order (the order found among equals).
void Flush(tRun* l) {
    uint8_t order[kHeldMax] = {};
    for (size_t i = 0; i < l->nheld; ++i) {
        size_t j = i;
        for (; j > 0 && l->held[i].column < l->held[order[j - 1]].column; --j) order[j] = order[j - 1];
        order[j] = static_cast<uint8_t>(i);
    }
    for (size_t i = 0; i < l->nheld; ++i) {
        tHeld& h = l->held[order[i]];
        EmitChecksBefore(l, h.line, h.column);
        Emit(l, h);
    }
    l->nheld = 0;
}

// A finding of this piece, unless its rule is turned off.
tHeld* Report(tRun* l, tLintRuleId rule, uint32_t line, uint32_t column) {
    const bool off = kDevCapLintRules[rule]->severity != LINT_ERROR && (l->state.disabled >> rule & 1u) != 0;
    if (!off && l->nheld == kHeldMax) Flush(l);
    tHeld* h = off ? &l->discard : &l->held[l->nheld++];
    Begin(h, rule, line, column);
    if (line == l->line && l->pieceEnd > column) h->end = l->pieceEnd;  // by default, the rest of the line
    return h;
}

// A text's characters, as views of their bytes: a well-formed UTF-8
// sequence is one, and so is a byte that starts none. Answers how many.
size_t Characters(std::string_view text, std::string_view (&chars)[DEVCAP_DATA_SIZE]) {
    size_t n = 0;
    for (size_t at = 0; at < text.size() && n < DEVCAP_DATA_SIZE; ++n) {
        const size_t len = DevCapUtf8Length(text.data() + at, text.size() - at);
        chars[n] = {text.data() + at, len > 0 ? len : 1};
        at += chars[n].size();
    }
    return n;
}

bool SameCharacter(std::string_view a, std::string_view b) {
    return a.size() == 1 && b.size() == 1 ? DevCapUpper(a[0]) == DevCapUpper(b[0]) : a == b;
}

// Case-insensitive edit distance in characters, not bytes ('\xC3\xA9IP
// Camra' is two from 'IP Camera'), or 99 when either text is too long to weigh.
size_t Distance(std::string_view a, std::string_view b) {
    if (a.size() >= DEVCAP_DATA_SIZE || b.size() >= DEVCAP_DATA_SIZE) return 99;
    std::string_view ca[DEVCAP_DATA_SIZE], cb[DEVCAP_DATA_SIZE];
    const size_t na = Characters(a, ca), nb = Characters(b, cb);
    if (na > nb + 2 || nb > na + 2) return 99;
    size_t row[DEVCAP_DATA_SIZE + 2] = {}, next[DEVCAP_DATA_SIZE + 2] = {};
    for (size_t j = 0; j <= nb; ++j) row[j] = j;
    for (size_t i = 1; i <= na; ++i) {
        next[0] = i;
        for (size_t j = 1; j <= nb; ++j) {
            const size_t change = row[j - 1] + (SameCharacter(ca[i - 1], cb[j - 1]) ? 0 : 1);
            const size_t gap = (row[j] < next[j - 1] ? row[j] : next[j - 1]) + 1;
            next[j] = change < gap ? change : gap;
        }
        memcpy(row, next, sizeof row);
    }
    return row[nb];
}

size_t CommonPrefix(std::string_view a, std::string_view b) {
    size_t n = 0;
    while (n < a.size() && n < b.size() && DevCapUpper(a[n]) == DevCapUpper(b[n])) ++n;
    return n;
}

// The nearest candidate within 2 edits, the longer common start breaking a
// tie ('F8' is nearer 'F8.0' than 'F2.8'); empty when none is. certain tells
// whether no other candidate is as few edits away: only then is it a fix.
struct tNearest {
    std::string_view best;
    size_t distance;
    bool certain;
};

template <typename Each>
tNearest Nearest(std::string_view text, Each each) {
    tNearest n{{}, 3, false};
    each([&](std::string_view candidate) {
        const size_t d = Distance(text, candidate);
        if (d < n.distance) {
            n = {candidate, d, true};
        } else if (d == n.distance) {
            n.certain = false;
            if (CommonPrefix(text, candidate) > CommonPrefix(text, n.best)) n.best = candidate;
        }
    });
    return n;
}

void DidYouMean(tHeld* h, const tNearest& near) {
    if (near.best.empty()) return;
    DevCapSay(&h->out, "; did you mean '");
    PutShown(h, near.best);
    DevCapSay(&h->out, "'?");
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && strchr(" \t\r\n", text.back()) != nullptr) text.remove_suffix(1);
    return text;
}

// text[from, from + n), clipped to text: substr without its exception, which
// would tie the library to libstdc++.
constexpr std::string_view Substring(std::string_view text, size_t from, size_t n = std::string_view::npos) {
    if (from > text.size()) from = text.size();
    return {text.data() + from, n < text.size() - from ? n : text.size() - from};
}

bool StartsWith(std::string_view text, std::string_view start) { return Substring(text, 0, start.size()) == start; }

// Where the value starts in the piece, from 0.
size_t ValueOffset(const tPiece& p) {
    const size_t eq = strlen(p.name);
    return eq + (p.buf[eq + 1] == '\0' ? 1 : 2);
}

uint32_t Column(const tPiece& p, size_t offset) { return p.column + static_cast<uint32_t>(offset); }

// Whether the value stands where it was meant to: after an opening quote. A
// value read without one is a character short, and mended by the quote rule.
bool Quoted(const tPiece& p) { return p.buf[strlen(p.name) + 1] == '\''; }

// Where the line's text ends in the piece: before its line end.
size_t TextEnd(const tPiece& p) {
    size_t n = strlen(p.buf);
    while (n > 0 && (p.buf[n - 1] == '\n' || p.buf[n - 1] == '\r')) --n;
    return n;
}

// Whether the piece starts the text's first line, where a byte-order mark can stand.
bool FirstLineStart(const tRun* l, const tPiece& p) { return p.line == 1 && p.column == 1 && !l->midText; }

// ---- the rules: each a function, its row under it ----

constexpr tLintSeverity E = LINT_ERROR, W = LINT_WARNING, N = LINT_NOTE;
constexpr auto kBytes = tLintRule::LINT_BYTES, kEntry = tLintRule::LINT_ENTRY, kHistory = tLintRule::LINT_HISTORY;

void UnknownEntry(tRun* l, const tPiece* p) {
    if (p == nullptr || p->kind != PIECE_REJECTED || p->entry != nullptr) return;
    std::string_view name(p->name);
    const bool bom = StartsWith(name, kBOM);
    if (bom) name.remove_prefix(kBOM.size());
    const tNearest near = Nearest(name, [](auto visit) {
        for (size_t i = 0; const tEntry* e = DevCapEntryNumber(i, nullptr); ++i) visit(e->name);
    });
    tHeld* h = Report(l, LINT_UNKNOWN_ENTRY, p->line, p->column);
    h->end = Column(*p, strlen(p->name));
    DevCapSay(&h->out, "unknown entry '");
    PutShown(h, p->name, strlen(p->name));
    DevCapSay(&h->out, "'");
    DidYouMean(h, near);
    // A name behind a byte-order mark is mended once the mark is gone.
    if (near.certain && !bom) Fix(h, {p->column, name.size(), near.best});
}
constexpr tLintRule kUnknownEntry = {
    LINT_UNKNOWN_ENTRY, "unknown-entry", E, "a name no section owns; the converter refuses the file", kEntry,
    UnknownEntry};

void BadValue(tRun* l, const tPiece* p) {
    if (p == nullptr || p->kind != PIECE_REJECTED || p->entry == nullptr) return;
    const tEntry& e = *p->entry;
    const std::string_view bad(p->bad != nullptr ? p->bad : p->data);
    const uint32_t at = Column(*p, ValueOffset(*p) + static_cast<size_t>(bad.data() - p->data));
    tHeld* h = Report(l, LINT_BAD_VALUE, p->line, at);
    h->end = at + static_cast<uint32_t>(strcspn(bad.data(), "\r\n"));
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
        const char first = text[0] >= 'A' && text[0] <= 'Z' ? static_cast<char>(text[0] - 'A' + 'a') : text[0];
        DevCapSay(&h->out, "%c", first);
        size_t n = strlen(text);
        if (n > 0 && text[n - 1] == '\n') --n;  // its line end; a value that kept one shows it as \n
        PutShown(h, text + 1, n > 0 ? n - 1 : 0);
    } else {
        DevCapSay(&h->out, "'");
        PutShown(h, bad);
        DevCapSay(&h->out, "' is not a keyword of %.*s", static_cast<int>(e.name.size()), e.name.data());
    }
    // A value never closed keeps its line end: the quote rule mends that first.
    const bool mendable = Quoted(*p) && strcspn(bad.data(), "\r\n") == bad.size();
    const std::string_view trimmed = Trimmed(bad);
    if (trimmed.size() != bad.size() && DevCapKeyword(e.words, trimmed) != nullptr) {
        DevCapSay(&h->out, "; '");
        PutShown(h, trimmed);
        DevCapSay(&h->out, "' is a keyword: nothing is trimmed, remove the blanks");
        if (mendable) Fix(h, {at, bad.size(), DevCapKeyword(e.words, trimmed)->text});
        return;
    }
    const tNearest near = Nearest(bad, [&](auto visit) {
        for (size_t i = 0; i < e.words.count; ++i) visit(e.words.words[i].text);
        if (!e.stop.empty()) visit(e.stop);
    });
    DidYouMean(h, near);
    if (near.certain && mendable) Fix(h, {at, bad.size(), near.best});
}
constexpr tLintRule kBadValue = {
    LINT_BAD_VALUE, "bad-value", E, "a keyword or list element the entry does not know; the converter refuses the file",
    kEntry,         BadValue};

// The check's findings go out in their places as the text is read (Flush);
// at its end, those placed after every piece.
void Check(tRun* l, const tPiece* p) {
    if (p == nullptr) EmitChecksBefore(l, UINT32_MAX, UINT32_MAX);
}
constexpr tLintRule kCheck = {LINT_CHECK, "check",
                              E,          "the record fails a consistency rule (errors), or a rule warns (warnings)",
                              kHistory,   Check};

void LongName(tRun* l, const tPiece* p) {
    if (p == nullptr || p->kind != PIECE_LONG_NAME) return;
    DevCapSay(&Report(l, LINT_LONG_NAME, p->line, p->column)->out,
              "the name is longer than %d characters: the line is skipped", DEVCAP_NAME_MAX);
}
constexpr tLintRule kLongName = {
    LINT_LONG_NAME, "long-name", W, "a name over 31 characters: the line is skipped without a word", kEntry, LongName};

// The blanks text ends in, none of them before from.
size_t BlanksAtEnd(std::string_view text, size_t from) {
    size_t n = 0;
    while (text.size() - n > from && (text[text.size() - 1 - n] == ' ' || text[text.size() - 1 - n] == '\t')) ++n;
    return n;
}

// A value is long as the reader measures it: from after the '=' and its
// quote to the piece's end, closing quote, blanks and line end included.
// When blanks alone make it long, at the end of the line or before the
// closing quote, the finding says so: the value itself would fit.
void LongValue(tRun* l, const tPiece* p) {
    if (p == nullptr || p->kind != PIECE_LONG_VALUE) return;
    tHeld* h = Report(l, LINT_LONG_VALUE, p->line, Column(*p, strcspn(p->buf, "=") + 1));
    DevCapSay(&h->out, "the value is longer than %d bytes, closing quote and line end included", DEVCAP_VALUE_MAX);
    tDevCapLine spans;
    DevCapLineSpans(l->text.data() + l->offset, l->text.size() - l->offset, &spans);
    const std::string_view line(l->text.data() + l->offset, spans.length);
    if (memchr(line.data(), '\0', line.size()) == nullptr) {  // a NUL byte would end the piece before them
        const size_t after = BlanksAtEnd(line, spans.value);
        // A quote right before them closes the value (the opening one, at
        // value - 1, has none of the value's blanks before it).
        const size_t quote = line.size() - after - 1;
        const size_t before = line[quote] == '\'' ? BlanksAtEnd(Substring(line, 0, quote), spans.value) : 0;
        if (line.size() - after - before - spans.value + spans.end < DEVCAP_DATA_SIZE) {
            DevCapSay(&h->out, " only because of the %zu blank%s %s", after + before, after + before > 1 ? "s" : "",
                      before == 0  ? "at the end of the line"
                      : after == 0 ? "before its closing quote"
                                   : "before and after its closing quote");
        }
    }
    DevCapSay(&h->out, ": the line is skipped");
}
constexpr tLintRule kLongValue = {
    LINT_LONG_VALUE, "long-value", W, "a value over 127 bytes, quote and line end included: the line is skipped",
    kEntry,          LongValue};

// One finding for a line the reader cuts into pieces, on its first piece.
void SplitLine(tRun* l, const tPiece* p) {
    if (p == nullptr || p->column != 1 || p->len < DEVCAP_PIECE_MAX) return;
    tDevCapLine line;
    DevCapLineSpans(l->text.data() + l->offset, l->text.size() - l->offset, &line);
    if (line.length <= DEVCAP_PIECE_MAX) return;  // the last piece holds only the line end
    tHeld* h = Report(l, LINT_SPLIT_LINE, p->line, DEVCAP_PIECE_MAX + 1);
    h->end = static_cast<uint32_t>(line.length) + 1;
    DevCapSay(&h->out, "the line is %zu bytes, longer than %d: it is read as %zu lines, cut every %d bytes",
              line.length, DEVCAP_PIECE_MAX, (line.length + DEVCAP_PIECE_MAX - 1) / DEVCAP_PIECE_MAX, DEVCAP_PIECE_MAX);
}
constexpr tLintRule kSplitLine = {
    LINT_SPLIT_LINE, "split-line", W, "a line over 159 bytes: its rest is read as a line of its own",
    kBytes,          SplitLine};

// A number entry's text, judged: plainly a number (no blanks, no sign) that the field holds.
void NotANumber(tRun* l, const tPiece* p) {
    if (p == nullptr || p->kind != PIECE_ENTRY) return;
    const tEntry& e = *p->entry;
    if (e.kind != ENTRY_NUMBER && e.kind != ENTRY_VERSION) return;
    // A line end kept by a value never closed is the quote rule's business.
    const std::string_view text(p->value, strcspn(p->value, "\r\n"));
    const uint64_t max = e.width >= 4 ? 2147483647u : (uint64_t{1} << (8 * e.width)) - 1;
    const tNumberText n = DevCapReadNumber(text, e.kind == ENTRY_VERSION, max);
    const char* why = nullptr;
    if (n.digits != (n.base == 16 ? 2 : 0) || n.end == n.digits) {
        why = "' is not a number";
    } else if (n.end < text.size()) {
        why = "' has text after the number";
    } else if (n.magnitude <= max) {
        return;
    }
    tHeld* h = Report(l, LINT_NOT_A_NUMBER, p->line, Column(*p, ValueOffset(*p)));
    h->end = h->column + static_cast<uint32_t>(text.size());
    DevCapSay(&h->out, "'");
    PutShown(h, text);
    if (why != nullptr) {
        DevCapSay(&h->out, "%s", why);
    } else {
        DevCapSay(&h->out, "' does not fit %u byte%s", e.width, e.width > 1 ? "s" : "");
    }
    const uint32_t stored = DevCapFieldGet(&l->state.dev, e.offset, e.width);
    DevCapSay(&h->out, ": %.*s becomes %u", static_cast<int>(e.name.size()), e.name.data(), stored);
}
constexpr tLintRule kNotANumber = {LINT_NOT_A_NUMBER,
                                   "not-a-number",
                                   W,
                                   "a number entry whose text is not plainly a number that fits its field",
                                   kEntry,
                                   NotANumber};

void IgnoredAfterStop(tRun* l, const tPiece* p) {
    if (p == nullptr || p->kind != PIECE_ENTRY || p->entry->kind != ENTRY_LIST || p->entry->stop.empty()) return;
    const tEntry& e = *p->entry;
    const std::string_view value(p->value);
    for (size_t start = 0; start < value.size();) {
        const size_t comma = value.find(',', start);
        if (comma == std::string_view::npos) return;
        if (DevCapTextIs(Substring(value, start, comma - start), e.stop)) {
            tHeld* h = Report(l, LINT_IGNORED_AFTER_STOP, p->line, Column(*p, ValueOffset(*p) + comma + 1));
            h->end = Column(*p, ValueOffset(*p) + strcspn(value.data(), "\r\n"));
            DevCapSay(&h->out, "'%s' ends the list: '", e.stop.data());
            PutShown(h, Substring(value, comma + 1));
            DevCapSay(&h->out, "' is never read");
            return;
        }
        start = comma + 1;
    }
}
constexpr tLintRule kIgnoredAfterStop = {
    LINT_IGNORED_AFTER_STOP, "ignored-after-stop", W, "list elements after the stop word are never read", kEntry,
    IgnoredAfterStop};

void Duplicate(tRun* l, const tPiece* p) {
    if (p == nullptr || (p->kind != PIECE_ENTRY && p->kind != PIECE_REJECTED) || p->entry == nullptr) return;
    const uint8_t at = p->entry->offset;
    if (l->state.setLine[at] == kNever) return;
    tHeld* h = Report(l, LINT_DUPLICATE, p->line, p->column);
    h->end = Column(*p, strlen(p->name));
    DevCapSay(&h->out, "%.*s is set again: line %u set it first, this line wins",
              static_cast<int>(p->entry->name.size()), p->entry->name.data(), l->state.setLine[at]);
}
constexpr tLintRule kDuplicate = {LINT_DUPLICATE, "duplicate", W, "an entry set more than once: the later line wins",
                                  kHistory,       Duplicate};

// The pieces after EOF='', once the reader has stopped there: the first
// entry among them is reported.
void AfterEof(tRun* l, const tPiece* p) {
    if (p != nullptr || l->state.eofLine == kNever) return;
    char buf[DEVCAP_LINE_SIZE], name[DEVCAP_NAME_SIZE], data[DEVCAP_DATA_SIZE];
    uint32_t line = l->state.eofLine + (l->state.eofEndsLine ? 1 : 0), entries = 0, first = 0;
    bool lineStart = l->state.eofEndsLine;
    for (size_t len; (len = l->src->next(l->src->ctx, buf, sizeof buf)) > 0;) {
        if (lineStart && buf[0] != '#' && DevCapSplitEntry(buf, len, name, data) == PIECE_ENTRY) {
            if (entries++ == 0) first = line;
        }
        lineStart = buf[len - 1] == '\n';
        if (lineStart) ++line;
    }
    if (entries == 0) return;
    DevCapSay(&Report(l, LINT_AFTER_EOF, first, 1)->out, "%u entr%s after EOF='' %s never read", entries,
              entries == 1 ? "y" : "ies", entries == 1 ? "is" : "are");
}
constexpr tLintRule kAfterEof = {LINT_AFTER_EOF, "after-eof", W, "entries after EOF='' are never read",
                                 kHistory,       AfterEof};

void NotAnEntry(tRun* l, const tPiece* p) {
    if (p == nullptr || p->kind != PIECE_NO_ENTRY || p->column != 1 || strspn(p->buf, " \t\r\n") == p->len) return;
    DevCapSay(&Report(l, LINT_NOT_AN_ENTRY, p->line, p->column)->out, "not an entry (no '='): the line is skipped");
}
constexpr tLintRule kNotAnEntry = {
    LINT_NOT_AN_ENTRY, "not-an-entry", W, "a line that is not empty, not a comment and has no '=': skipped", kEntry,
    NotAnEntry};

// A name no section owns still has its quotes checked: every mistake of a line at once.
void Quote(tRun* l, const tPiece* p) {
    if (p == nullptr || (p->kind != PIECE_ENTRY && p->kind != PIECE_REJECTED)) return;
    const size_t eq = strlen(p->name);
    const char* after = p->buf + eq + 1;
    const char* last = *after != '\0' ? strrchr(after + 1, '\'') : nullptr;
    const bool ends = p->len < DEVCAP_PIECE_MAX || p->buf[p->len - 1] == '\n';  // the piece holds the line's end
    const tEdit close = {Column(*p, TextEnd(*p)), 0, "'"};
    if (*after != '\'' && *after != '\0' && *after != '\n' && *after != '\r') {
        tHeld* h = Report(l, LINT_QUOTE, p->line, Column(*p, eq + 1));
        h->end = h->column + 1;
        DevCapSay(&h->out, "no quote after '=': its first character '");
        PutShown(h, after, 1);
        DevCapSay(&h->out, "' is dropped");
        const tEdit open = {Column(*p, eq + 1), 0, "'"};
        if (last == nullptr && ends) {
            Fix(h, open, close);
        } else {
            Fix(h, open);
        }
        return;
    }
    if (*after == '\'' && last == nullptr) {
        tHeld* h = Report(l, LINT_QUOTE, p->line, Column(*p, eq + 1));
        // It runs to the end of what the reader sees of the line: say what that end is.
        const size_t seen = strlen(p->buf);
        DevCapSay(&h->out, "the value is never closed: %s",
                  seen > TextEnd(*p) ? "it keeps the line end"
                  : seen < p->len    ? "it ends at the NUL byte"
                  : ends             ? "it ends with the file"
                                     : "it ends where the line is cut");
        if (ends) Fix(h, close);
    } else if (last != nullptr && strspn(last + 1, "\r\n") != strlen(last + 1)) {
        tHeld* h = Report(l, LINT_QUOTE, p->line, Column(*p, static_cast<size_t>(last + 1 - p->buf)));
        DevCapSay(&h->out, "text after the closing quote is ignored: '");
        PutShown(h, last + 1, strcspn(last + 1, "\r\n"));
        DevCapSay(&h->out, "'");
    }
}
constexpr tLintRule kQuote = {
    LINT_QUOTE, "quote", W, "no quote after '=', a value never closed, or text after the closing quote", kEntry, Quote};

void Bom(tRun* l, const tPiece* p) {
    if (p == nullptr || !FirstLineStart(l, *p) || !StartsWith(std::string_view(p->buf, p->len), kBOM)) return;
    tHeld* h = Report(l, LINT_BOM, 1, 1);
    h->end = 1 + static_cast<uint32_t>(kBOM.size());
    DevCapSay(&h->out, "a UTF-8 byte-order mark: it becomes part of the first name");
    Fix(h, {1, kBOM.size(), ""});
}
constexpr tLintRule kBom = {
    LINT_BOM, "bom", W, "a byte-order mark at the start of the file: it becomes part of the first name", kBytes, Bom};

bool Comment(const tPiece& p) { return p.buf[0] == '#' && p.column == 1; }

void Encoding(tRun* l, const tPiece* p) {
    if (p == nullptr || Comment(*p) || p->column != 1) return;
    for (size_t i = 0; i < p->len; ++i) {
        const auto c = static_cast<unsigned char>(p->buf[i]);
        if (c >= 0x20 && c < 0x7f) continue;
        if (c == '\t' || c == '\n' || (c == '\r' && i + 2 >= p->len)) continue;
        if (FirstLineStart(l, *p) && i < kBOM.size() && std::string_view(p->buf, 3) == kBOM) continue;
        tHeld* h = Report(l, LINT_ENCODING, p->line, Column(*p, i));
        const size_t n = DevCapUtf8Length(p->buf + i, p->len - i);  // the whole character
        h->end = Column(*p, i + (n > 0 ? n : 1));
        if (c == 0) {
            DevCapSay(&h->out, "a NUL byte: the reader takes the line to end here");
        } else {
            DevCapSay(&h->out, "%s byte 0x%02X", c >= 0x80 ? "non-ASCII" : "control", c);
        }
        return;
    }
}
constexpr tLintRule kEncoding = {LINT_ENCODING, "encoding", W, "NUL, control or non-ASCII bytes outside comments",
                                 kBytes,        Encoding};

// Whether text reads like "#devcaplint:disable=" give or take blanks, case,
// the colon and a slip or two in either word, and where its list starts.
bool NearlyMark(std::string_view text, size_t* list) {
    size_t i = 1;
    const auto blanks = [&] {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    };
    const auto word = [&] {
        const size_t from = i;
        while (i < text.size() && ((DevCapUpper(text[i]) >= 'A' && DevCapUpper(text[i]) <= 'Z') || text[i] == '-')) ++i;
        return Substring(text, from, i - from);
    };
    blanks();
    if (Distance(word(), "devcaplint") > 2) return false;
    blanks();
    if (i < text.size() && text[i] == ':') ++i;
    blanks();
    if (Distance(word(), "disable") > 2) return false;
    blanks();
    if (i == text.size() || text[i] != '=') return false;
    ++i;
    blanks();
    *list = i;
    return true;
}

// One name of a disable comment's list: the rule it turns off, or a finding.
void DisableRule(tRun* l, const tPiece& p, std::string_view name) {
    uint32_t mask = 0;
    std::string_view bad;
    const char* why = DevCapLintParseRules(name, &mask, &bad);
    if (why == nullptr) {
        l->state.disabled |= mask;
        return;
    }
    tHeld* h = Report(l, LINT_DISABLE, p.line, static_cast<uint32_t>(name.data() - p.buf) + 1);
    h->end = h->column + static_cast<uint32_t>(name.size());
    DevCapSay(&h->out, "'");
    PutShown(h, name);
    DevCapSay(&h->out, "' %s", why);
    if (DevCapLintRuleNamed(name) != LINT_RULE_COUNT) return;
    const tNearest near = Nearest(name, [](auto visit) {
        for (size_t i = 0; i < LINT_RULE_COUNT; ++i) {
            if (kDevCapLintRules[i]->severity != LINT_ERROR) visit(kDevCapLintRules[i]->name);
        }
    });
    DidYouMean(h, near);
    if (near.certain) Fix(h, {h->column, name.size(), near.best});
}

// Comment lines that turn rules off for the rest of the file, and the ones
// that mean to and do not.
void Disable(tRun* l, const tPiece* p) {
    if (p == nullptr || !Comment(*p)) return;
    const std::string_view text(p->buf, TextEnd(*p));
    size_t at = kMark.size();
    const bool exact = StartsWith(text, kMark);
    if (!exact && !NearlyMark(text, &at)) return;
    const std::string_view rules = Substring(text, at);
    if (!exact) {
        tHeld* h = Report(l, LINT_DISABLE, p->line, 1);
        DevCapSay(&h->out, "not a disable comment: those start '%.*s'", static_cast<int>(kMark.size()), kMark.data());
        char fixed[DEVCAP_LINE_SIZE];
        snprintf(fixed, sizeof fixed, "%.*s%.*s", static_cast<int>(kMark.size()), kMark.data(),
                 static_cast<int>(rules.size()), rules.data());
        Fix(h, {1, text.size(), fixed});
        return;
    }
    for (size_t from = 0; from <= rules.size();) {
        size_t comma = rules.find(',', from);
        if (comma == std::string_view::npos) comma = rules.size();
        DisableRule(l, *p, Substring(rules, from, comma - from));
        from = comma + 1;
    }
}
constexpr tLintRule kDisable = {
    LINT_DISABLE,
    "disable",
    W,
    "a disable comment that turns nothing off: a misspelt marker, no such rule, an error rule",
    kBytes,
    Disable};

// A name or keyword in its table's spelling.
void Spelling(tRun* l, const tPiece* p) {
    if (p == nullptr || p->kind != PIECE_ENTRY) return;
    const tEntry& e = *p->entry;
    const std::string_view name(p->name);
    if (name != e.name) {
        tHeld* h = Report(l, LINT_SPELLING, p->line, p->column);
        h->end = Column(*p, name.size());
        DevCapSay(&h->out, "'%s': the table spells it '%.*s'", p->name, static_cast<int>(e.name.size()), e.name.data());
        Fix(h, {p->column, name.size(), e.name});
    }
    if ((e.kind != ENTRY_KEYWORD && e.kind != ENTRY_LIST) || !Quoted(*p)) return;
    const std::string_view value(p->value);
    for (size_t start = 0;;) {
        const size_t comma = e.kind == ENTRY_LIST ? value.find(',', start) : std::string_view::npos;
        const std::string_view word = Substring(value, start, comma == std::string_view::npos ? comma : comma - start);
        const tKeyword* k = DevCapKeyword(e.words, word);
        const bool stop = k == nullptr && !e.stop.empty() && DevCapTextIs(word, e.stop);
        const std::string_view table = k != nullptr ? k->text : stop ? e.stop : word;
        if (table != word) {
            tHeld* h = Report(l, LINT_SPELLING, p->line, Column(*p, ValueOffset(*p) + start));
            h->end = h->column + static_cast<uint32_t>(word.size());
            DevCapSay(&h->out, "'");
            PutShown(h, word);
            DevCapSay(&h->out, "': the table spells it '%.*s'", static_cast<int>(table.size()), table.data());
            Fix(h, {h->column, word.size(), table});
        }
        if (stop || comma == std::string_view::npos) return;
        start = comma + 1;
    }
}
constexpr tLintRule kSpelling = {
    LINT_SPELLING, "spelling", N, "a name or keyword spelt in other letter case than its table: it converts the same",
    kEntry,        Spelling};

// Every rule, in the order of tLintRuleId; within a step, each piece is
// offered to them in this order.
constexpr const tLintRule* kRules[] = {
    &kUnknownEntry, &kBadValue, &kCheck,      &kLongName, &kLongValue, &kSplitLine, &kNotANumber, &kIgnoredAfterStop,
    &kDuplicate,    &kAfterEof, &kNotAnEntry, &kQuote,    &kBom,       &kEncoding,  &kDisable,    &kSpelling,
};

constexpr bool RowsInIndexOrder() {
    for (size_t i = 0; i < std::size(kRules); ++i) {
        if (kRules[i]->id != i || kRules[i]->find == nullptr) return false;
    }
    return true;
}
static_assert(std::size(kRules) == LINT_RULE_COUNT, "one row for every rule of tLintRuleId");
static_assert(RowsInIndexOrder(), "each row at its rule's index");
static_assert(LINT_RULE_COUNT <= 32, "a rule's bit in the disabled mask");

}  // namespace

const tLintRule* const* const kDevCapLintRules = kRules;

tLintRuleId DevCapLintRuleNamed(std::string_view name) {
    for (size_t i = 0; i < LINT_RULE_COUNT; ++i) {
        if (name == kRules[i]->name) return static_cast<tLintRuleId>(i);
    }
    return LINT_RULE_COUNT;
}

const char* DevCapLintParseRules(std::string_view list, uint32_t* mask, std::string_view* bad) {
    uint32_t bits = 0;
    for (size_t start = 0; start <= list.size();) {
        size_t comma = list.find(',', start);
        if (comma == std::string_view::npos) comma = list.size();
        *bad = std::string_view(list.data() + start, comma - start);
        const tLintRuleId id = DevCapLintRuleNamed(*bad);
        if (id == LINT_RULE_COUNT) return "is no rule";
        if (kRules[id]->severity == LINT_ERROR) return "is an error: errors cannot be turned off";
        bits |= 1u << id;
        start = comma + 1;
    }
    *mask |= bits;
    return nullptr;
}

namespace {

// Each piece to every rule, then what it sets remembered for the pieces
// after it. The first reading, which reports nothing, only remembers: what
// the check needs (the record, where its fields were set) owes nothing to
// the rules.
void Seen(void* ctx, const tPiece& p) {
    auto* l = static_cast<tRun*>(ctx);
    if (l->report != nullptr) {
        Flush(l);
        l->offset += l->pieceLen;
        l->pieceLen = p.len;
        l->line = p.line;
        l->pieceEnd = Column(p, TextEnd(p));
        for (const auto step : {tLintRule::LINT_BYTES, tLintRule::LINT_ENTRY, tLintRule::LINT_HISTORY}) {
            for (const tLintRule* rule : kRules) {
                if (rule->step == step) rule->find(l, &p);
            }
        }
    }
    if (p.kind == PIECE_EOF) {
        l->state.eofLine = p.line;
        l->state.eofEndsLine = p.buf[p.len - 1] == '\n';
    }
    if ((p.kind != PIECE_ENTRY && p.kind != PIECE_REJECTED) || p.entry == nullptr) return;
    const uint8_t at = p.entry->offset;
    l->state.setLine[at] = p.line;
    l->state.setColumn[at] = p.column;
    l->state.setEnd[at] = Column(p, strlen(p.name));
}

// A failing check rule, pointing at the first line that set what it reads.
tCheckAt CheckPlace(const tState& s, const tCheckRule& rule) {
    for (size_t i = 0; i < rule.nreads; ++i) {
        const uint8_t at = rule.reads[i];
        if (s.setLine[at] != kNever) return {s.setLine[at], s.setColumn[at], s.setEnd[at], &rule};
    }
    return {1, 1, 1, &rule};
}

void CheckFinding(tRun* l, const tCheckAt& c, tHeld* h) {
    const tCheckRule& rule = *c.rule;
    Begin(h, LINT_CHECK, c.line, c.column);
    h->end = c.end;
    h->severity = rule.error ? LINT_ERROR : LINT_WARNING;
    char line[256];
    tDevCapBuffer b{line, sizeof line, 0};
    const tDevCapSink sink = DevCapBufferSink(&b);
    rule.fires(l->final.dev, rule, &sink);
    PutShown(h, line, strcspn(line, "\n"));
    DevCapSay(&h->out, " (");
    for (size_t i = 0; i < rule.nreads; ++i) {
        const uint8_t at = rule.reads[i];
        const tEntry* e = DevCapEntryAt(at);
        DevCapSay(&h->out, "%s%s", i > 0 ? "; " : "", DevCapFieldAt(at)->path);
        if (l->final.setLine[at] != kNever) {
            DevCapSay(&h->out, " set at line %u", l->final.setLine[at]);
        } else if (e != nullptr) {
            DevCapSay(&h->out, " never set by %.*s", static_cast<int>(e->name.size()), e->name.data());
        } else {
            DevCapSay(&h->out, " fixed");
        }
    }
    DevCapSay(&h->out, ")");
}

// The failing check rules in the order of their places (rule order among equals).
void PlaceChecks(tRun* l) {
    const tCheckRuleList rules = DevCapCheckRules();
    for (size_t r = 0; r < rules.count && l->nchecks < std::size(l->checks); ++r) {
        if (!rules.rules[r]->fires(l->final.dev, *rules.rules[r], nullptr)) continue;
        const tCheckAt c = CheckPlace(l->final, *rules.rules[r]);
        size_t j = l->nchecks++;
        for (; j > 0 && Before(c.line, c.column, l->checks[j - 1].line, l->checks[j - 1].column); --j) {
            l->checks[j] = l->checks[j - 1];
        }
        l->checks[j] = c;
    }
}

// One reading of the text; answers whether the converter took every entry.
bool Read(tRun* l, const char* text, size_t size, uint32_t disabled) {
    l->state = {};
    l->state.disabled = disabled;
    l->text = {text, size};
    l->offset = l->pieceLen = 0;
    l->line = 0;
    DevCapConfInit(&l->state.dev);
    tMemText mem;
    const tPieceSource src = DevCapMemSource(&mem, text, size);
    l->src = &src;
    const tPieceObserver seen{Seen, l};
    // The converter's own reading, its lines dropped: the findings say it.
    const bool read = DevCapReadPieces(&l->state.dev, src, "", nullptr, &seen) == 0;
    if (l->report != nullptr) {
        Flush(l);
        // The reader has stopped (at the end, or at EOF=''): the rules that look at the whole text.
        for (const tLintRule* rule : kRules) rule->find(l, nullptr);
        Flush(l);
    }
    l->src = nullptr;
    return read;
}

}  // namespace

int DevCapLint(const char* text, size_t size, uint32_t disabled, tDevCapFindingFn report, void* ctx) {
    tRun l{};
    if (Read(&l, text, size, disabled)) {
        l.final = l.state;
        PlaceChecks(&l);
    }
    l.report = report;
    l.ctx = ctx;
    Read(&l, text, size, disabled);
    return l.findings;
}

namespace {

// Fixes reach a fixed point line by line. A line's fixable findings depend
// on the line alone and on the rules the disable comments before it turn
// off (a byte-order mark only on the first line; nothing after EOF=''), so
// each line is linted on its own, with the rules off that are off there,
// its fixes applied, and linted again until nothing with a fix is left.
// Each round mends at least one mistake and no fix brings one back (a mark
// goes, a quote comes, a name or a keyword becomes the table's, a disable
// comment its marker); the longest chain, a mark hiding a misspelt name
// without quotes around a misspelt keyword in the wrong case, takes five
// rounds. kFixRounds bounds the loop all the same, so that it ends whatever
// a future rule does. A line that grows past DEVCAP_FIX_LINE_MAX bytes keeps
// the fixes it has then: no line a person writes comes near it.
constexpr int kFixRounds = 8;

// The edits of one round on one line, by column (the order found among
// equals). Edits that do not fit, and edits that overlap an earlier one,
// wait for the next round.
struct tLineEdits {
    tDevCapEdit edits[32];
    size_t n;
    char texts[2048];
    size_t used;
};

void CollectEdits(void* ctx, const tDevCapFinding* finding) {
    auto* e = static_cast<tLineEdits*>(ctx);
    for (size_t i = 0; i < finding->nedits; ++i) {
        const tDevCapEdit& edit = finding->edits[i];
        const size_t n = strlen(edit.text) + 1;
        if (e->n == std::size(e->edits) || n > sizeof e->texts - e->used) return;
        char* text = static_cast<char*>(memcpy(e->texts + e->used, edit.text, n));
        e->used += n;
        size_t j = e->n++;
        for (; j > 0 && edit.column < e->edits[j - 1].column; --j) e->edits[j] = e->edits[j - 1];
        e->edits[j] = {edit.line, edit.column, edit.length, text};
    }
}

// The line with the round's edits applied.
void ApplyEdits(std::string_view line, const tLineEdits* e, const tDevCapSink* out) {
    size_t copied = 0;
    for (size_t i = 0; i < e->n; ++i) {
        const tDevCapEdit& edit = e->edits[i];
        const size_t at = edit.column - 1;
        if (at < copied || at + edit.length > line.size()) continue;  // overlaps an earlier edit
        out->write(out->ctx, line.data() + copied, at - copied);
        out->write(out->ctx, edit.text, strlen(edit.text));
        copied = at + edit.length;
    }
    out->write(out->ctx, line.data() + copied, line.size() - copied);
}

// One line (its line end included) fixed to its fixed point, written to
// out. *disabled: the rules off before it, then after it; *eof: it holds EOF=''.
void FixLine(std::string_view line, bool first, uint32_t* disabled, bool* eof, const tDevCapSink* out) {
    char buf[2][DEVCAP_FIX_LINE_MAX];
    for (int round = 0;; ++round) {
        tLineEdits edits{};
        tRun l{};
        l.report = CollectEdits;
        l.ctx = &edits;
        l.midText = !first;
        Read(&l, line.data(), line.size(), *disabled);
        if (edits.n == 0 || round + 1 == kFixRounds) {
            *disabled = l.state.disabled;
            *eof = l.state.eofLine != kNever;
            break;
        }
        tDevCapBuffer next{buf[round % 2], sizeof buf[0], 0};
        const tDevCapSink sink = DevCapBufferSink(&next);
        ApplyEdits(line, &edits, &sink);
        if (next.len >= next.size) {  // too long to hold: this round's fixes are its last
            ApplyEdits(line, &edits, out);
            *disabled = l.state.disabled;
            *eof = l.state.eofLine != kNever;
            return;
        }
        line = {next.buf, next.len};
    }
    out->write(out->ctx, line.data(), line.size());
}

}  // namespace

void DevCapLintApplyFixes(const char* text, size_t size, uint32_t disabled, const tDevCapSink* out) {
    bool eof = false;
    for (size_t at = 0; at < size;) {
        const void* nl = memchr(text + at, '\n', size - at);
        const size_t end = nl != nullptr ? static_cast<size_t>(static_cast<const char*>(nl) - text) + 1 : size;
        if (eof) {  // the reader stops at EOF='': what follows is never read, and stays
            out->write(out->ctx, text + at, size - at);
            return;
        }
        FixLine({text + at, end - at}, at == 0, &disabled, &eof, out);
        at = end;
    }
}

void DevCapFindingJson(const tDevCapFinding& f, const char* file, const tDevCapSink* out) {
    DevCapSay(out, "{");
    if (file != nullptr) {
        DevCapSay(out, "\"file\": ");
        DevCapJsonString(out, file);
        DevCapSay(out, ", ");
    }
    DevCapSay(out, "\"line\": %u, \"column\": %u, \"severity\": \"%s\", \"rule\": \"%s\", \"message\": ", f.line,
              f.column, f.severity, f.rule);
    DevCapJsonString(out, f.message);
    if (f.nedits > 0) {
        DevCapSay(out, ", \"fix\": [");
        for (size_t i = 0; i < f.nedits; ++i) {
            const tDevCapEdit& e = f.edits[i];
            DevCapSay(out,
                      "%s{\"range\": {\"start\": {\"line\": %u, \"column\": %u}, \"end\": {\"line\": %u, \"column\": "
                      "%u}}, \"text\": ",
                      i > 0 ? ", " : "", e.line, e.column, e.line, e.column + e.length);
            DevCapJsonString(out, e.text);
            DevCapSay(out, "}");
        }
        DevCapSay(out, "]");
    }
    DevCapSay(out, "}");
}
