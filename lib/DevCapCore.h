// DevCapCore.h - libdevcap's own header: the entry and section tables, the
// reader, the check, the writer, the renderings, the lint rules and the
// comparison, and the routines they share. Nothing here keeps state between
// calls: every message goes to the sink the caller passes down. Front ends
// use libdevcap.h; only the library, its tests and its fuzz targets see this.
#ifndef DEVCAPCORE_H
#define DEVCAPCORE_H

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string_view>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "DevCap.h"
#include "libdevcap.h"

// Buffer sizes of the reader and the output path, terminator included.
constexpr size_t DEVCAP_LINE_SIZE = DEVCAP_PIECE_MAX + 1;
constexpr size_t DEVCAP_NAME_SIZE = DEVCAP_NAME_MAX + 1;
constexpr size_t DEVCAP_DATA_SIZE = DEVCAP_VALUE_MAX + 1;
constexpr size_t DEVCAP_PATH_SIZE = DEVCAP_PATH_MAX + 1;

// Bytes after a section's tHeadInfo: what its len field holds.
template <typename Section>
constexpr uint16_t DevCapSectionLen() {
    return static_cast<uint16_t>(sizeof(Section) - sizeof(tHeadInfo));
}

// ---- diagnostics (DevCapSink.cpp) ----
// Where messages go: a function and its context. A null sink, or one without
// a function, drops them (a rule evaluated quietly).
struct tDevCapSink {
    tDevCapMessageFn write;
    void* ctx;
};
// A sink that writes to an open stream.
tDevCapSink DevCapFileSink(FILE* fp);
// printf onto a sink (flags, width, precision, the l and z sizes; d i u x X c
// s %); a %s without width or precision passes a string of any length whole,
// and nothing is allocated. Answers true so that a rule can be
// "condition && DevCapSay(...)".
bool DevCapSay(const tDevCapSink* out, const char* fmt, ...) __attribute__((format(printf, 2, 3)));

// A caller's buffer as a sink: keeps what fits (size - 1 bytes), counts all.
struct tDevCapBuffer {
    char* buf;
    size_t size;
    size_t len;  // of everything written, kept or not
};
tDevCapSink DevCapBufferSink(tDevCapBuffer* b);
// Terminates what the buffer kept; answers the whole length.
size_t DevCapBufferEnd(tDevCapBuffer* b);

// text as a JSON string (RFC 8259): UTF-8 passes through; controls and bytes
// that are not UTF-8 become \u00XX, so that any file name makes valid JSON.
void DevCapJsonString(const tDevCapSink* out, std::string_view text);

// ---- keywords ----
struct tKeyword {
    std::string_view text;
    uint32_t code;
};

struct tKeywordList {
    const tKeyword* words;
    size_t count;
    uint8_t list = 0xFF;  // its number in the keyword index (DevCapEntries.cpp); 0xFF: none
};

// ASCII upper case; every other byte as it is (no locale).
constexpr char DevCapUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// ASCII case-insensitive, whole-string equality; nothing is trimmed.
constexpr bool DevCapTextIs(std::string_view text, std::string_view keyword) {
    if (text.size() != keyword.size()) return false;
    for (size_t i = 0; i < text.size(); ++i) {
        if (DevCapUpper(text[i]) != DevCapUpper(keyword[i])) return false;
    }
    return true;
}

// DevCapTextIs, kept out of line: the comparisons on the reader's path call
// it only for a text spelt otherwise than its table.
__attribute__((cold, noinline)) bool DevCapTextIsFolded(const char* a, const char* b, size_t n);
// The same at run time, for a and b of n bytes each. Texts are mostly written
// as the tables spell them: equal bytes are found in a few word loads, and
// only other texts are folded, a byte at a time.
inline bool DevCapSameText(const char* a, const char* b, size_t n) {
    uint64_t x = 0, y = 0;
    bool same = true;
    if (n >= 8) {
        // Whole words, the last one ending at n and overlapping the one before.
        for (size_t i = 0; i + 8 < n && same; i += 8) {
            memcpy(&x, a + i, 8);
            memcpy(&y, b + i, 8);
            same = x == y;
        }
        memcpy(&x, a + n - 8, 8);
        memcpy(&y, b + n - 8, 8);
    } else if (n >= 4) {
        // Two halves, overlapping when n is under 8.
        uint32_t a0 = 0, a1 = 0, b0 = 0, b1 = 0;
        memcpy(&a0, a, 4);
        memcpy(&a1, a + n - 4, 4);
        memcpy(&b0, b, 4);
        memcpy(&b1, b + n - 4, 4);
        x = a0 | uint64_t{a1} << 32;
        y = b0 | uint64_t{b1} << 32;
    } else {
        for (size_t i = 0; i < n; ++i) {
            x = x << 8 | static_cast<unsigned char>(a[i]);
            y = y << 8 | static_cast<unsigned char>(b[i]);
        }
    }
    return (same && x == y) || DevCapTextIsFolded(a, b, n);
}

// The keyword equal to text (any case); nullptr when there is none.
const tKeyword* DevCapKeyword(const tKeywordList& list, std::string_view text);

// ---- entries (DevCapEntries.cpp) ----
// How an entry's value reads; one routine converts every row of a kind.
enum tEntryKind : uint8_t {
    ENTRY_KEYWORD,  // one keyword of words, matched whole
    ENTRY_LIST,     // comma list of words' bits, ended by stop
    ENTRY_NUMBER,   // decimal as a 32-bit atoi reads it, low bits kept
    ENTRY_VERSION,  // as a 32-bit strtoul with base 0 reads it, low bits kept
    ENTRY_KIND_COUNT
};

// "keyword", "list", "number" or "version".
extern const char* const kDevCapKindNames[ENTRY_KIND_COUNT];

// Everything about one entry: its name, the field it writes, how its value
// reads and what it prints when it rejects one.
struct tEntry {
    std::string_view name;
    tEntryKind kind;
    uint8_t offset;  // of the field in tDevConf
    uint8_t width;   // of the field, in bytes
    tKeywordList words;
    std::string_view stop;  // list stop word; empty: none
    const char* func;       // the name that starts its error line
    const char* fmt;        // its error line; nullptr: it prints none of its own
    const char* label;      // for formats with a second %s before the value
};

// Offset and width of a tDevConf field.
#define DEVCAP_FIELD(path) \
    static_cast<uint8_t>(offsetof(tDevConf, path)), static_cast<uint8_t>(sizeof(static_cast<tDevConf*>(nullptr)->path))

// What the reader tells a handler besides the name and value, and what the
// handler tells it back. The reader has measured both texts and looked the
// name up already (DevCapOwner); a handler given no tTaken does that itself.
// With a tTaken, name is its nameLength bytes, not a C string: the reader
// hands over the name where it lies in the text; and so the value, unless
// the name's row cuts it (a list), which gets it as writable C string.
struct tTaken {
    size_t nameLength, dataLength;  // in
    uint8_t slot;                   // in: the name's slot in the name index
    bool cuts;                      // for the reader (DevCapOwner): that slot's row cuts its value
    const tEntry* entry;            // out: the row that owns the name
    const char* bad;                // out: the keyword or element rejected, if any
};

// An entry handler: 0 when it owns name and stored the value; DEVCAP_ERROR
// when it does not own name (silently) or rejects the value (after its line).
// taken may be null.
typedef int32_t (*tEntryHandler)(const char* name, char* data, tDevConf* dev, const tDevCapSink* out, tTaken* taken);

// One section of the record: the entries its handler owns, in table order.
struct tSection {
    const char* title;
    tEntryHandler handler;
    const tEntry* entries;
    size_t count;
};

struct tSectionList {
    const tSection* sections;
    size_t count;
};

// The sections in record order, the order in which the converter names
// their handlers.
tSectionList DevCapSections();
// The entry whose name equals name (any case); nullptr when none does.
const tEntry* DevCapFindEntry(std::string_view name);
// The section whose handler is the only one that can own name[0, len): the
// section of the one row the name index holds for it; nullptr when no
// section can. The reader offers each entry to that handler alone (names
// are unique across sections, so every other handler would decline it),
// with what the lookup found in taken.
const tSection* DevCapOwner(const char* name, size_t len, tTaken* taken);
// The entries in section order, numbered from 0; nullptr past the end.
const tEntry* DevCapEntryNumber(size_t index, const char** section);
size_t DevCapEntryTotal();

int32_t CorvaneSensorBoardConf(const char* name, char* data, tDevConf* dev, const tDevCapSink* out,
                               tTaken* taken = nullptr);
int32_t CorvaneFwConf(const char* name, char* data, tDevConf* dev, const tDevCapSink* out, tTaken* taken = nullptr);
int32_t CorvaneDNCtrl(const char* name, char* data, tDevConf* dev, const tDevCapSink* out, tTaken* taken = nullptr);
int32_t CorvaneMotion(const char* name, char* data, tDevConf* dev, const tDevCapSink* out, tTaken* taken = nullptr);
int32_t CorvaneCameraSetup(const char* name, char* data, tDevConf* dev, const tDevCapSink* out,
                           tTaken* taken = nullptr);

// ---- values: text to record and back, one pair per kind (DevCapValue.cpp) ----
// Converts data (length bytes) into the entry's field: 0, or DEVCAP_ERROR
// after the entry's line. List values, with a NUL behind them, are cut in
// place at the commas examined; other values are only read. bad is pointed
// at the keyword or list element that was rejected.
int32_t DevCapEntryTxt2Bin(const tEntry& entry, char* data, size_t length, tDevConf* dev, const tDevCapSink* out,
                           const char** bad);

// How an entry's field comes back as text.
enum tRender {
    RENDER_ENTRY,  // text holds the value; NAME='text' gives the field back
    RENDER_OMIT,   // the field holds what it holds without the entry
    RENDER_NONE,   // no text can give this value
};
tRender DevCapEntryBin2Txt(const tEntry& entry, const tDevConf& dev, char (&text)[DEVCAP_DATA_SIZE]);

// A number's text as the C library reads it: blanks and one sign skipped,
// then digits in base 10 or, for strtoul's base 0, 16 after "0x" and 8 after
// "0". The digits are text[digits, end); their magnitude saturates at
// limit + 1. Every reading of a number (the converter's, the linter's) is this one.
struct tNumberText {
    size_t digits, end;
    unsigned base;
    bool negative;
    uint64_t magnitude;
};
tNumberText DevCapReadNumber(std::string_view text, bool baseZero, uint64_t limit);
// Numbers as a 32-bit C library reads them: atoi, and strtoul with base 0.
int32_t DevCapAtoi32(std::string_view text);
uint32_t DevCapStrtoul32(std::string_view text);

// ---- the record (DevCapRecord.cpp) ----
void DevCapConfInit(tDevConf* dev);

// Every field of the record by its path, in offset order; they tile it.
struct tField {
    const char* path;
    uint8_t offset;
    uint8_t width;
};
struct tFieldList {
    const tField* fields;
    size_t count;
};
tFieldList DevCapFields();
// The field at exactly offset, or called path; nullptr when there is none.
const tField* DevCapFieldAt(size_t offset);
const tField* DevCapFieldNamed(const char* path);
const tField* DevCapFieldNamed(std::string_view path);
// The entry that writes the field at offset; nullptr when none does.
const tEntry* DevCapEntryAt(size_t offset);
// The value of the 1, 2 or 4-byte field at offset (little-endian), and a
// value stored there (its low bits). Not DevCapLoad: that reads a whole record.
uint32_t DevCapFieldGet(const tDevConf* dev, size_t offset, size_t width);
void DevCapFieldSet(tDevConf* dev, size_t offset, size_t width, uint32_t value);
// Whether the field holds what DevCapConfInit gives it.
bool DevCapIsDefault(const tDevConf& dev, const tField& f);
// A field's raw value as the layout shows it: a number, or bytes for arrays.
void DevCapRawText(const tDevConf& dev, const tField& f, char (&raw)[64]);
// What devcapdump says of an entry the text leaves out.
constexpr char kNotGiven[] = "not given";
// A field's value as devcapdump shows it, for comparing: the entry's text,
// kNotGiven, or the raw value (--layout's) where no entry or keyword says it.
void DevCapFieldText(const tDevConf& dev, const tField& f, char (&text)[DEVCAP_DATA_SIZE]);

// A field's path, value and text as every table of records shows them.
void DevCapFieldValueOf(const tDevConf& dev, const tField& f, tDevCapFieldValue* v);

// ---- the check (DevCapDBCheck.cpp) ----
// One rule of the consistency check. fires answers whether the record
// breaks the rule (an error) or meets its warning's condition, and prints the
// rule's line to out when it does.
struct tCheckRule {
    const char* name;  // what it tests, for tools that list the rules
    const char* step;  // the check step its line names first
    bool (*fires)(const tDevConf& dev, const tCheckRule& rule, const tDevCapSink* out);
    const char* says;  // the line it prints, a printf format after its step, kept as shipped
    const char* part;  // the component the interface rules look at
    uint8_t reads[4];  // offsets of the fields it reads, the component's ID first
    uint8_t nreads;
    bool error;  // an error ends the check; a warning does not
};
struct tCheckRuleList {
    const tCheckRule* const* rules;
    size_t count;
};
// Every rule in the order the check evaluates and prints them.
tCheckRuleList DevCapCheckRules();
// Rules in order until the first error: 0, or DEVCAP_ERROR. Only reads dev.
int32_t DevCapDBCheck(const tDevConf* dev, const tDevCapSink* out);
// The lines of the rules that fire, one at a time without their line end:
// up to the first error as the check prints them, or (all) every rule on its
// own. 0, or DEVCAP_ERROR when an error rule fired.
typedef void (*tCheckLineFn)(void* ctx, const tCheckRule& rule, std::string_view line);
int32_t DevCapCheckEach(const tDevConf& dev, bool all, tCheckLineFn fn, void* ctx);

// ---- the reader (DevCapRead.cpp) ----
// What the reader made of one piece of a line (at most DEVCAP_PIECE_MAX bytes).
enum tPieceKind : uint8_t {
    PIECE_SKIPPED,     // empty line, comment, or a line-end piece
    PIECE_NO_ENTRY,    // no '=': not an entry
    PIECE_LONG_NAME,   // name over DEVCAP_NAME_MAX characters: skipped
    PIECE_LONG_VALUE,  // value over DEVCAP_VALUE_MAX characters: skipped
    PIECE_ENTRY,       // an entry its section accepted
    PIECE_REJECTED,    // an unknown name or a rejected value
    PIECE_EOF,         // EOF='...': reading stops
};

struct tPiece {
    const char* buf;  // the piece as read, line end included
    size_t len;       // bytes read, NUL bytes included
    uint32_t line;    // physical line, from 1
    uint32_t column;  // where the piece starts in it, from 1
    tPieceKind kind;
    const char* name;     // the entry name (entries only)
    const char* value;    // the value before its handler saw it
    const char* data;     // the value as its handler left it
    const tEntry* entry;  // the row that owns the name, if any
    const char* bad;      // in data: the keyword or element rejected, if any
};

// Sees every piece the reader reads, for tools that report on the text.
struct tPieceObserver {
    void (*piece)(void* ctx, const tPiece& piece);
    void* ctx;
};

// Bytes not yet cut into pieces, and the first NUL byte among them (end when
// there is none): a block without one is searched for NUL bytes once.
struct tTextCursor {
    const char* at;
    const char* end;
    const char* nul;
};

// Where pieces come from, cut as fgets cuts a file (DevCapPieceLength): the
// reader cuts them where they lie, in cursor, without copying them; fill,
// when there is one, moves the bytes not yet cut to the start of the buffer,
// reads more behind them and answers how many are at hand. next copies the
// next piece into buf as fgets does (size at least DEVCAP_LINE_SIZE) and
// answers its length, 0 at the end. failed answers whether the source could
// not be read.
struct tPieceSource {
    tTextCursor* cursor;
    size_t (*fill)(void* ctx);
    size_t (*next)(void* ctx, char* buf, size_t size);
    bool (*failed)(void* ctx);
    void* ctx;
};

// A stream read in blocks, and text in memory: both cut into pieces exactly
// as fgets cuts a file, NUL bytes included. A stream's piece is contiguous in
// its block: the bytes of an unfinished piece move to the block's start
// before the next block is read behind them.
struct tStreamText {
    FILE* fp;
    tTextCursor c;
    bool more;  // the stream may hold more bytes
    char block[16384];
};
tPieceSource DevCapStreamSource(tStreamText* stream, FILE* fp);
// Fills the block behind the bytes not yet cut; answers the bytes it holds.
size_t DevCapStreamFill(tStreamText* stream);
struct tMemText {
    tTextCursor c;
};
tPieceSource DevCapMemSource(tMemText* mem, const char* text, size_t size);

// Where a piece's parts are, from 0 (DevCapLine.cpp). end is where a NUL
// byte or the piece ends; the name is [0, eq); the value [value, valueEnd),
// valueEnd being its closing quote when closed, else end.
struct tPieceSpans {
    size_t end, eq, value, valueEnd;
    bool opened, closed;
};
// Not yet looked for (DevCapPieceScan).
constexpr size_t DEVCAP_EQ_UNKNOWN = SIZE_MAX;
// The length of the piece at the start of at[0, avail): up to and including
// the first line end, at most DEVCAP_PIECE_MAX bytes; avail when it holds
// neither (the text ends, or more must be read). *eq is where its first '='
// is, the length when it has none, or DEVCAP_EQ_UNKNOWN. Inline: the reader
// cuts every piece with it. Most entry lines are shorter than 32 bytes, and
// no name is longer: two loads find both line end and '=', where the bytes
// at hand hold 32 (never a byte past avail).
inline size_t DevCapPieceScan(const char* at, size_t avail, size_t* eq) {
    const size_t room = avail < DEVCAP_PIECE_MAX ? avail : DEVCAP_PIECE_MAX;
    size_t from = 0;
    *eq = DEVCAP_EQ_UNKNOWN;
#ifdef __SSE2__
    static_assert(DEVCAP_NAME_MAX < 32 && DEVCAP_PIECE_MAX >= 32);
    if (avail >= 32) {
        const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
        const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + 16));
        const auto mask = [low, high](char c) {
            const __m128i is = _mm_set1_epi8(c);
            return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(low, is))) |
                   static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(high, is))) << 16;
        };
        const unsigned ends = mask('\n');
        const unsigned eqs = mask('=');
        const size_t len = ends != 0 ? static_cast<size_t>(__builtin_ctz(ends)) + 1 : DEVCAP_EQ_UNKNOWN;
        const size_t firstEq = eqs != 0 ? static_cast<size_t>(__builtin_ctz(eqs)) : DEVCAP_EQ_UNKNOWN;
        if (firstEq < len) *eq = firstEq;
        if (ends != 0) {
            if (firstEq >= len) *eq = len;
            return len;
        }
        from = 32;
    }
#endif
    const void* nl = memchr(at + from, '\n', room - from);
    return nl != nullptr ? static_cast<size_t>(static_cast<const char*>(nl) - at) + 1 : room;
}
inline size_t DevCapPieceLength(const char* at, size_t avail) {
    size_t eq = 0;
    return DevCapPieceScan(at, avail, &eq);
}
// The bytes of piece[0, len) before its first NUL byte.
size_t DevCapPieceText(const char* piece, size_t len);
// The spans of a piece whose first n bytes the reader sees (DevCapPieceText);
// eq is where its first '=' is as DevCapPieceScan found it: n or past it when
// none is before n, DEVCAP_EQ_UNKNOWN when it was not looked for.
tPieceKind DevCapTextSpans(const char* piece, size_t n, size_t eq, tPieceSpans* spans);
tPieceKind DevCapPieceSpans(const char* piece, size_t len, tPieceSpans* spans);
// Bytes of the well-formed UTF-8 sequence at bytes[0, n), or 0 when the byte
// there starts none (a stray continuation, an overlong form, a surrogate, a
// sequence cut short) or n is 0.
size_t DevCapUtf8Length(const char* bytes, size_t n);
// Splits one piece into name and value: PIECE_ENTRY, or why it is none.
tPieceKind DevCapSplitEntry(const char* buf, size_t len, char (&name)[DEVCAP_NAME_SIZE],
                            char (&data)[DEVCAP_DATA_SIZE]);
// The reading loop: every piece to its section, each failure reported.
// 0, or DEVCAP_ERROR when an entry failed or the source could not be read.
int32_t DevCapReadPieces(tDevConf* dev, const tPieceSource& src, const char* input, const tDevCapSink* out,
                         const tPieceObserver* seen);
// The reading loop over text in memory, read exactly as a file holding the
// same bytes, and over a file; unreadable, when given, tells whether the file
// could not be opened or read.
int32_t DevCapTxtMem2Bin(tDevConf* dev, const char* text, size_t size, const char* input, const tDevCapSink* out);
int32_t DevCapTxtFile2Bin(tDevConf* dev, const char* input, const tDevCapSink* out, bool* unreadable = nullptr);

// ---- the output (DevCapWrite.cpp) ----
// Writes "BinFiles/<base>.bin" into OutputFile; DEVCAP_ERROR (with a message)
// when the name would not fit DEVCAP_PATH_SIZE.
int32_t DevCapOutputName(const char* input, char (&OutputFile)[DEVCAP_PATH_SIZE], const tDevCapSink* out);
int32_t DevCapOtuputBinFile(const tDevConf* dev, const char* output, const tDevCapSink* out);

// ---- renderings (DevCapRender.cpp) ----
// Capability text that devcap2bin turns back into dev, with comments for what
// it cannot reproduce and the check's lines. Answers the check's result.
int32_t DevCapDumpText(const tDevConf& dev, const char* source, const tDevCapSink* out);
// One line per field: offset, size, path, raw value, meaning; then the check.
int32_t DevCapDumpLayout(const tDevConf& dev, const tDevCapSink* out);
// Every field by path, whether the text reproduces the record, and the check:
// one JSON object.
int32_t DevCapDumpJson(const tDevConf& dev, const char* source, const tDevCapSink* out);
// Whether some text gives the field its value in dev.
bool DevCapReproducible(const tDevConf& dev, const tField& f);
// Every entry and its keywords as a JSON array.
void DevCapEntriesJson(const tDevCapSink* out);

// ---- records as table rows (DevCapTable.cpp) ----
// The header and one device's row, the columns chosen by a comma list of
// paths (nullptr: every field); dev nullptr: a device without a record. out
// must have a function: cells are written to it directly.
void DevCapCsvHeader(const char* fields, const tDevCapSink* out);
void DevCapCsvRow(const tDevConf* dev, const char* file, const char* kind, const char* status, const char* fields,
                  const tDevCapSink* out);
void DevCapJsonRow(const tDevConf* dev, const char* file, const char* kind, const char* status, const char* fields,
                   const tDevCapSink* out);

// ---- lint (DevCapLint.cpp) ----
enum tLintSeverity : uint8_t { LINT_ERROR, LINT_WARNING, LINT_NOTE, LINT_SEVERITY_COUNT };
extern const char* const kDevCapLintSeverity[LINT_SEVERITY_COUNT];

// The rules, in this order; a rule's bit in a disabled mask is 1 << its index.
enum tLintRuleId : uint8_t {
    LINT_UNKNOWN_ENTRY,
    LINT_BAD_VALUE,
    LINT_CHECK,
    LINT_LONG_NAME,
    LINT_LONG_VALUE,
    LINT_SPLIT_LINE,
    LINT_NOT_A_NUMBER,
    LINT_IGNORED_AFTER_STOP,
    LINT_DUPLICATE,
    LINT_AFTER_EOF,
    LINT_NOT_AN_ENTRY,
    LINT_QUOTE,
    LINT_BOM,
    LINT_ENCODING,
    LINT_DISABLE,
    LINT_SPELLING,
    LINT_RULE_COUNT
};

// One reading of a text by the rules (DevCapLint.cpp).
struct tLintRun;
// A rule: a function and its row, right under it in DevCapLint.cpp.
struct tLintRule {
    tLintRuleId id;  // its index: the table's order is checked against it when it compiles
    const char* name;
    tLintSeverity severity;  // errors cannot be turned off
    const char* summary;
    // A piece goes to the rules step by step, so that findings at one column
    // come in this order: LINT_BYTES what the line's bytes say, LINT_ENTRY
    // what its entry says, LINT_HISTORY what the lines before it say.
    enum : uint8_t { LINT_BYTES, LINT_ENTRY, LINT_HISTORY } step;
    // Reports what the rule finds in a piece; piece nullptr: the reader has stopped.
    void (*find)(tLintRun* run, const tPiece* piece);
};
// The rules by index, as tLintRuleId numbers them.
extern const tLintRule* const* const kDevCapLintRules;

// The rule called name (exactly); LINT_RULE_COUNT when there is none.
tLintRuleId DevCapLintRuleNamed(std::string_view name);

// The rules of a comma list of names: their bits go into *mask; at a name
// that is no rule or an error rule it stops, with *bad on the name, and
// answers why (nullptr when every name is good).
const char* DevCapLintParseRules(std::string_view list, uint32_t* mask, std::string_view* bad);

// Lints text; disabled turns warning and note rules off (1 << rule).
// Findings go to report sorted by line and column. Answers their number.
int DevCapLint(const char* text, size_t size, uint32_t disabled, tDevCapFindingFn report, void* ctx);
// Lines (line end included) shorter than this are fixed to their fixed
// point; a line whose fixes make it this long keeps those of that round.
constexpr size_t DEVCAP_FIX_LINE_MAX = 4 * DEVCAP_LINE_SIZE;
// The text with the fixes of its findings applied, and the fixes of what
// those uncover, until no finding with a fix is left (see DevCapLint.cpp for
// the bound); an edit that overlaps an earlier one waits for the next round.
void DevCapLintApplyFixes(const char* text, size_t size, uint32_t disabled, const tDevCapSink* out);
// A finding as a JSON object; file, when not null, first.
void DevCapFindingJson(const tDevCapFinding& f, const char* file, const tDevCapSink* out);

// ---- comparing (DevCapDiff.cpp) ----
// Each field that differs, then each check line that appears or disappears;
// answers how many.
int DevCapDiff(const tDevConf& a, const tDevConf& b, tDevCapChangeFn change, void* ctx);
void DevCapDiffText(const tDevConf& a, const tDevConf& b, const tDevCapSink* out);
void DevCapDiffJson(const tDevConf& a, const tDevConf& b, const char* nameA, const char* nameB, const tDevCapSink* out);

#endif
