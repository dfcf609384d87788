// DevCapConv.h - the converter core: the entry and section tables, the reader,
// the check and the routines they share. Everything here is linked from the
// core library; only main() lives outside it. Nothing in it keeps state
// between calls: every message goes to the sink the caller passes down.
#ifndef DEVCAPCONV_H
#define DEVCAPCONV_H

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string_view>

#include "DevCap.h"

// Buffer sizes of the reader and the output path, terminator included.
constexpr size_t DEVCAP_LINE_SIZE = 160;
constexpr size_t DEVCAP_NAME_SIZE = 32;
constexpr size_t DEVCAP_DATA_SIZE = 128;
constexpr size_t DEVCAP_PATH_SIZE = 256;

// Bytes after a section's tHeadInfo: what its len field holds.
template <typename Section>
constexpr uint16_t DevCapSectionLen() {
    return static_cast<uint16_t>(sizeof(Section) - sizeof(tHeadInfo));
}

// ---- diagnostics ----
// Where messages go: a function and its context. A null sink, or one without
// a function, drops them (a rule evaluated quietly).
typedef void (*tDevCapSinkFn)(void* ctx, const char* text, size_t len);
struct tDevCapSink {
    tDevCapSinkFn write;
    void* ctx;
};
// A sink that writes to an open stream.
tDevCapSink DevCapFileSink(FILE* fp);
// printf for the sink, limited to the conversions messages use (%s %d %u %X
// %c %%); strings of any length pass through whole, nothing is allocated.
// Answers true so that a rule can be "condition && DevCapSay(...)".
bool DevCapSay(const tDevCapSink* out, const char* fmt, ...) __attribute__((format(printf, 2, 3)));

// text as a JSON string (RFC 8259): UTF-8 passes through; controls and bytes
// that are not UTF-8 become \u00XX, so that any file name makes valid JSON.
void DevCapJsonString(const tDevCapSink* out, const char* text);

// ---- keywords ----
struct tKeyword {
    std::string_view text;
    uint32_t code;
};

struct tKeywordList {
    const tKeyword* words;
    size_t count;
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

// Code of the keyword equal to text; DEVCAP_ERROR when there is none.
int32_t DevCapKeywordCode(tKeywordList list, std::string_view text);

// ---- entries ----
// How an entry's value reads; one routine converts every row of a kind.
enum tEntryKind : uint8_t {
    ENTRY_KEYWORD,  // one keyword of words, matched whole
    ENTRY_LIST,     // comma list of words' bits, ended by stop
    ENTRY_NUMBER,   // decimal as a 32-bit atoi reads it, low bits kept
    ENTRY_VERSION,  // as a 32-bit strtoul with base 0 reads it, low bits kept
};

// "keyword", "list", "number" or "version".
const char* DevCapKindName(tEntryKind kind);

// Everything about one entry: its name, the field it writes, how its value
// reads and what it prints when it rejects one.
struct tEntry {
    std::string_view name;
    tEntryKind kind;
    uint8_t offset;  // of the field in tDevConf
    uint8_t width;   // of the field, in bytes
    tKeywordList words;
    const char* stop;   // list stop word; nullptr: none
    const char* func;   // the name that starts its error line
    const char* fmt;    // its error line; nullptr: it prints none of its own
    const char* label;  // for formats with a second %s before the value
};

// Offset and width of a tDevConf field.
#define DEVCAP_FIELD(path) \
    static_cast<uint8_t>(offsetof(tDevConf, path)), static_cast<uint8_t>(sizeof(static_cast<tDevConf*>(nullptr)->path))

// An entry handler: 0 when it owns name and stored the value; DEVCAP_ERROR
// when it does not own name (silently) or rejects the value (after its line).
typedef int32_t (*tEntryHandler)(const char* name, char* data, tDevConf* dev, const tDevCapSink* out);

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

// The sections in the order their handlers are offered entries.
tSectionList DevCapSections();
// The entry whose name equals name (any case); nullptr when none does.
const tEntry* DevCapFindEntry(std::string_view name);
// Converts data into the entry's field: 0, or DEVCAP_ERROR after the entry's
// line. List values are cut in place at the commas examined. bad, when given,
// is pointed at the keyword or list element that was rejected.
int32_t DevCapEntryTxt2Bin(const tEntry& entry, char* data, tDevConf* dev, const tDevCapSink* out,
                           const char** bad = nullptr);

int32_t CorvaneSensorBoardConf(const char* name, char* data, tDevConf* dev, const tDevCapSink* out);
int32_t CorvaneFwConf(const char* name, char* data, tDevConf* dev, const tDevCapSink* out);
int32_t CorvaneDNCtrl(const char* name, char* data, tDevConf* dev, const tDevCapSink* out);
int32_t CorvaneMotion(const char* name, char* data, tDevConf* dev, const tDevCapSink* out);
int32_t CorvaneCameraSetup(const char* name, char* data, tDevConf* dev, const tDevCapSink* out);

// Numbers as a 32-bit C library reads them: atoi, and strtoul with base 0.
int32_t DevCapAtoi32(const char* text);
uint32_t DevCapStrtoul32(const char* text);

// ---- the record ----
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
// The field at exactly offset; nullptr when none starts there.
const tField* DevCapFieldAt(size_t offset);
// The entry that writes the field at offset; nullptr when none does.
const tEntry* DevCapEntryAt(size_t offset);
// A 1, 2 or 4-byte field as stored (little-endian), and stored.
uint32_t DevCapLoad(const tDevConf* dev, size_t offset, size_t width);
void DevCapStore(tDevConf* dev, size_t offset, size_t width, uint32_t value);

// ---- the check ----
// One rule of the consistency check. fires answers whether the rule holds
// against the record, printing its line to out when it does.
struct tCheckRule {
    const char* name;  // what it tests, for tools that list the rules
    const char* step;  // the check step its line names first
    bool (*fires)(const tDevConf& dev, const tCheckRule& rule, const tDevCapSink* out);
    const char* part;  // the component the interface rules look at
    uint8_t reads[4];  // offsets of the fields it reads, the component's ID first
    uint8_t nreads;
    bool error;  // an error ends the check; a warning does not
};
struct tCheckRuleList {
    const tCheckRule* rules;
    size_t count;
};
// Every rule in the order the check evaluates and prints them.
tCheckRuleList DevCapCheckRules();
// Rules in order until the first error: 0, or DEVCAP_ERROR. Only reads dev.
int32_t DevCapDBCheck(const tDevConf* dev, const tDevCapSink* out);

// ---- the reader ----
// What the reader made of one piece of a line (at most 159 bytes).
enum tPieceKind : uint8_t {
    PIECE_SKIPPED,     // empty line, comment, or a line-end piece
    PIECE_NO_ENTRY,    // no '=': not an entry
    PIECE_LONG_NAME,   // name over 31 characters: skipped
    PIECE_LONG_VALUE,  // value over 127 characters: skipped
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

// Where pieces come from: fills buf as fgets does (at most size - 1 bytes,
// up to and including a line end, terminated) and answers the bytes read, 0
// at the end. failed answers whether the source could not be read.
struct tPieceSource {
    size_t (*next)(void* ctx, char* buf, size_t size);
    bool (*failed)(void* ctx);
    void* ctx;
};

// A stream read in blocks, and text in memory: both cut into pieces exactly
// as fgets cuts a file, NUL bytes included.
struct tStreamText {
    FILE* fp;
    const char* at;
    const char* end;
    char block[16384];
};
tPieceSource DevCapStreamSource(tStreamText* stream, FILE* fp);
struct tMemText {
    const char* at;
    const char* end;
};
tPieceSource DevCapMemSource(tMemText* mem, const char* text, size_t size);

// The reading loop: every piece to its section, each failure reported.
// 0, or DEVCAP_ERROR when an entry failed or the source could not be read.
int32_t DevCapReadPieces(tDevConf* dev, const tPieceSource& src, const char* input, const tDevCapSink* out,
                         const tPieceObserver* seen);
// The reading loop over a stream, and over text in memory read exactly as a
// file holding the same bytes.
int32_t DevCapTxtStream2Bin(tDevConf* dev, FILE* fp, const char* input, const tDevCapSink* out);
int32_t DevCapTxtMem2Bin(tDevConf* dev, const char* text, size_t size, const char* input, const tDevCapSink* out);
// unreadable, when given, tells whether the file could not be opened or read.
int32_t DevCapTxtFile2Bin(tDevConf* dev, const char* input, const tDevCapSink* out, bool* unreadable = nullptr);
bool GetDevCapConfEntry(const char* buf, char (&name)[DEVCAP_NAME_SIZE], char (&data)[DEVCAP_DATA_SIZE]);

// ---- the command line and the output ----
int usage(const char* name, const tDevCapSink* out);
// Writes "BinFiles/<base>.bin" into OutputFile; DEVCAP_ERROR (with a message)
// when the name would not fit DEVCAP_PATH_SIZE.
int32_t DevCapOutputName(const char* input, char (&OutputFile)[DEVCAP_PATH_SIZE], const tDevCapSink* out);
int32_t DevCapOtuputBinFile(const tDevConf* dev, const char* output, const tDevCapSink* out);
// Closes standard output for a program that reports there: status, or 2 with
// one line on standard error when what it printed did not reach its reader
// (a full disk, a closed pipe).
int DevCapCloseOutput(const char* program, int status);

#endif
