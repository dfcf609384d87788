/*
 * libdevcap.h - the device capability converter as a C library.
 *
 * Converts capability text into the 120-byte record (tDevConf, DevCap.h)
 * exactly as devcap2bin does, checks records, writes them with devcap2bin's
 * guarantees, renders them as text, as a layout table and as JSON, reads and
 * sets fields by path, lists the entries and their keywords, lints text and
 * mends what it is sure of, compares two records field by field, and renders
 * records as the rows of a table (CSV, JSON).
 *
 * Every function is safe to call from many threads at once: nothing is
 * allocated and nothing is kept between calls. Diagnostics go to the caller's
 * message function, one call per piece of text (a message may arrive in
 * several pieces; a line ends with '\n'); a null function drops them.
 *
 * Results follow one convention: an int result is DEVCAP_OK (0) or one of
 * the negative codes below, never errno, except where it is a count, which
 * is never negative (the count, or a negative code); a size_t result is a
 * size or a count and never an error. A null pointer where one is needed
 * gives DEVCAP_BAD_ARGUMENT (a size_t function: 0), as each declaration
 * says; a null message function drops the messages. Strings the library hands
 * out are either static (they live as long as the program: names, paths,
 * keywords, DevCapStrError's texts) or valid only during the call that hands
 * them to a callback, as each declaration says.
 */
#ifndef LIBDEVCAP_H
#define LIBDEVCAP_H

#include <stddef.h>
#include <stdint.h>

#include "DevCap.h"

#ifdef __cplusplus
extern "C" {
#endif

#if defined(__GNUC__)
#define DEVCAP_API __attribute__((visibility("default")))
#else
#define DEVCAP_API
#endif

/* The library's version; the build reads it from here. */
#define DEVCAP_VERSION_MAJOR 1
#define DEVCAP_VERSION_MINOR 3
#define DEVCAP_VERSION_PATCH 0

/* The reader's limits, in characters: a line is read in pieces of at most
 * DEVCAP_PIECE_MAX; a longer name or value makes the line skipped; an output
 * path may not be longer than DEVCAP_PATH_MAX. */
#define DEVCAP_PIECE_MAX 159
#define DEVCAP_NAME_MAX 31
#define DEVCAP_VALUE_MAX 127
#define DEVCAP_PATH_MAX 255

/* Results. */
#define DEVCAP_OK 0
#define DEVCAP_REFUSED (-1)      /* the text or record was refused; the messages say why */
#define DEVCAP_NOT_FOUND (-2)    /* no field, entry, rule or keyword by that path, name or index */
#define DEVCAP_TOO_WIDE (-3)     /* the value does not fit the field or buffer, or the field is no number */
#define DEVCAP_BAD_ARGUMENT (-4) /* a null pointer where one is needed */
#define DEVCAP_IO_ERROR (-5)     /* a file could not be opened, read or written; errno or the messages say which */

/* A short English text for a result code ("refused", ...); never NULL,
 * static. */
DEVCAP_API const char* DevCapStrError(int result);

/* The library's version, "MAJOR.MINOR.PATCH"; static. */
DEVCAP_API const char* DevCapLibVersion(void);

/* Receives diagnostics: len bytes of text (not terminated, valid during the
 * call only). */
typedef void (*tDevCapMessageFn)(void* ctx, const char* text, size_t len);

/* A message function that writes to the stdio stream (FILE*) given as ctx;
 * a null stream or text writes nothing. */
DEVCAP_API void DevCapToFile(void* file, const char* text, size_t len);

/* Ends a program that reports on standard output: closes it and answers
 * status, or 2 after one line on standard error naming program when what was
 * printed did not reach its reader (a full disk, a closed pipe). */
DEVCAP_API int DevCapCloseStdout(const char* program, int status);

/* ---- converting ---- */

/* Fills dev with the defaults every conversion starts from; a null dev is
 * left alone. */
DEVCAP_API void DevCapRecordInit(tDevConf* dev);

/* Converts size bytes of capability text into dev, read exactly as a file
 * holding those bytes (the same pieces and messages; name stands for the
 * file in them), then runs the consistency check. DEVCAP_OK when devcap2bin
 * would write the record; DEVCAP_REFUSED when it would not (dev holds what
 * was read); DEVCAP_BAD_ARGUMENT for a null dev, or a null text with size. */
DEVCAP_API int DevCapConvertText(const char* text, size_t size, const char* name, tDevConf* dev,
                                 tDevCapMessageFn message, void* ctx);

/* The same for the text file at path, with devcap2bin's messages.
 * DEVCAP_IO_ERROR when it cannot be opened or read; DEVCAP_BAD_ARGUMENT for
 * a null path or dev. */
DEVCAP_API int DevCapConvertFile(const char* path, tDevConf* dev, tDevCapMessageFn message, void* ctx);

/* The consistency check on a record: DEVCAP_OK or DEVCAP_REFUSED. Its lines
 * (warnings, and the first error) go to message. dev is only read;
 * DEVCAP_BAD_ARGUMENT when it is null. */
DEVCAP_API int DevCapCheckRecord(const tDevConf* dev, tDevCapMessageFn message, void* ctx);

/* Whether size bytes are a record rather than capability text, told by
 * content: exactly 120 bytes holding a NUL byte (every record has one, at
 * the end of its key; text has none). 1 or 0 (0 for null bytes). */
DEVCAP_API int DevCapIsRecord(const void* bytes, size_t size);

/* Reads a record, or converts a text, from size bytes told apart by
 * DevCapIsRecord: DEVCAP_OK with dev filled; DEVCAP_REFUSED for a text
 * devcap2bin refuses (its lines go to message, name standing for the file);
 * a record is taken as it is, whatever its check says. DEVCAP_BAD_ARGUMENT
 * for a null dev, or null bytes with size. */
DEVCAP_API int DevCapLoad(const void* bytes, size_t size, const char* name, tDevConf* dev, tDevCapMessageFn message,
                          void* ctx);

/* A device of a product line from its file's bytes, as devcapfleet and the
 * page tabulate it. *kind becomes "record", "text" or NULL (neither: bytes
 * that are no record yet hold a NUL byte, which no capability text has),
 * *status "ok" (a record that passes its check, a text devcap2bin would
 * write), "refused" (the check's or the converter's lines go to message) or
 * "unreadable" (neither); all static. Answers DEVCAP_OK when dev holds the
 * device's record (a record whatever its check says, or a text's that
 * converts), DEVCAP_REFUSED for a text devcap2bin refuses, and
 * DEVCAP_BAD_ARGUMENT for neither and for a null dev, kind or status. */
DEVCAP_API int DevCapLoadDevice(const void* bytes, size_t size, const char* name, tDevConf* dev, const char** kind,
                                const char** status, tDevCapMessageFn message, void* ctx);

/* The same from the file at path (standard input when path is NULL), read
 * once from its start, so that a pipe will do; name stands for it in the
 * messages. DEVCAP_IO_ERROR, with errno set and nothing said, when it cannot
 * be opened or read; DEVCAP_BAD_ARGUMENT for a null dev. */
DEVCAP_API int DevCapLoadFile(const char* path, const char* name, tDevConf* dev, tDevCapMessageFn message, void* ctx);

/* ---- writing ---- */

/* The name devcap2bin gives the record of the text file input,
 * "BinFiles/<base name>.bin", into path (size bytes, terminator included).
 * DEVCAP_TOO_WIDE when it is longer than DEVCAP_PATH_MAX (after devcap2bin's
 * message) or does not fit size (silently); DEVCAP_BAD_ARGUMENT for a null
 * input or path. */
DEVCAP_API int DevCapOutputPath(const char* input, char* path, size_t size, tDevCapMessageFn message, void* ctx);

/* Writes the 120 bytes to path as devcap2bin does: written beside, synced,
 * renamed over path, the directory synced; a failure leaves an earlier file
 * as it was and no file beside it. Special files are written in place.
 * DEVCAP_OK or DEVCAP_IO_ERROR, with devcap2bin's lines (the success line
 * included); DEVCAP_BAD_ARGUMENT for a null dev or path. */
DEVCAP_API int DevCapWriteRecord(const tDevConf* dev, const char* path, tDevCapMessageFn message, void* ctx);

/* Replaces the file at path with size bytes of text in the same way, keeping
 * its mode. DEVCAP_OK, or DEVCAP_IO_ERROR with errno set; nothing is said.
 * DEVCAP_BAD_ARGUMENT for a null path, or a null text with size. */
DEVCAP_API int DevCapWriteText(const char* path, const char* text, size_t size);

/* ---- renderings ----
 * Each writes at most size - 1 bytes and a terminator into buf (buf may be
 * null when size is 0) and answers the length of the whole rendering: a
 * result of size or more means buf was too small. A null record renders
 * nothing and answers 0.
 * The forms ending in To write the same bytes through message instead, in
 * pieces (ctx passed on), so that nothing is sized or rendered twice. They
 * answer DEVCAP_OK, or DEVCAP_BAD_ARGUMENT, writing nothing, for a null
 * message function or a null record or finding (a null text with size, for
 * DevCapLintFixTo). */

/* Capability text that converts back into dev (source names the record in
 * its first comment; null or "" for none), as devcapdump prints it. */
DEVCAP_API size_t DevCapRenderText(const tDevConf* dev, const char* source, char* buf, size_t size);
DEVCAP_API int DevCapRenderTextTo(const tDevConf* dev, const char* source, tDevCapMessageFn message, void* ctx);
/* One line per field: offset, size, path, raw value, meaning; the check. */
DEVCAP_API size_t DevCapRenderLayout(const tDevConf* dev, char* buf, size_t size);
DEVCAP_API int DevCapRenderLayoutTo(const tDevConf* dev, tDevCapMessageFn message, void* ctx);
/* The record as one JSON object (schema in devcapdump(1)). */
DEVCAP_API size_t DevCapRenderJson(const tDevConf* dev, const char* source, char* buf, size_t size);
DEVCAP_API int DevCapRenderJsonTo(const tDevConf* dev, const char* source, tDevCapMessageFn message, void* ctx);
/* Every entry with its section, kind, field and keywords as one JSON array. */
DEVCAP_API size_t DevCapRenderEntriesJson(char* buf, size_t size);
DEVCAP_API int DevCapRenderEntriesJsonTo(tDevCapMessageFn message, void* ctx);

/* ---- fields and entries ---- */

/* One field by its path, such as "FwDevCap.IO.DIs": its value (1, 2 or 4
 * bytes, little-endian as stored). DEVCAP_NOT_FOUND for an unknown path,
 * DEVCAP_TOO_WIDE for a field of 3 or more than 4 bytes, or (set) for a value
 * that does not fit the field, which is then left as it was;
 * DEVCAP_BAD_ARGUMENT for a null dev, path or value. */
DEVCAP_API int DevCapGetField(const tDevConf* dev, const char* path, uint32_t* value);
DEVCAP_API int DevCapSetField(tDevConf* dev, const char* path, uint32_t value);

typedef struct {
    const char* path;  /* "FwDevCap.IO.DIs"; static */
    uint32_t offset;   /* in the record */
    uint32_t width;    /* in bytes */
    const char* entry; /* the entry that sets it, or NULL; static */
} tDevCapFieldInfo;

/* The record's fields in offset order; they cover its 120 bytes.
 * DevCapFieldInfo: DEVCAP_OK, DEVCAP_NOT_FOUND for index >=
 * DevCapFieldCount(), DEVCAP_BAD_ARGUMENT for a null info. */
DEVCAP_API size_t DevCapFieldCount(void);
DEVCAP_API int DevCapFieldInfo(size_t index, tDevCapFieldInfo* info);

/* A field's value as devcapdump --json shows it under the keys "path",
 * "value" and "text": the one definition every table of records uses. */
typedef struct {
    const char* path; /* static */
    int number;       /* 1: value holds the field (1, 2 or 4 bytes); 0: the field is no number ("value": null) */
    uint32_t value;
    int has_text; /* 1: text holds the entry's text for the value; 0: no entry text gives it ("text": null) */
    char text[DEVCAP_VALUE_MAX + 1]; /* "" when has_text is 0 */
} tDevCapFieldValue;

/* The field numbered index (as DevCapFieldInfo numbers them) of dev.
 * DEVCAP_NOT_FOUND for index >= DevCapFieldCount(), DEVCAP_BAD_ARGUMENT for a
 * null pointer. */
DEVCAP_API int DevCapFieldValue(const tDevConf* dev, size_t index, tDevCapFieldValue* field);

typedef struct {
    const char* name;       /* "FWCAP_MISC_IO"; every string here is static */
    const char* section;    /* "Firmware capabilities" */
    const char* kind;       /* "keyword", "list", "number" or "version" */
    const char* field;      /* the path of the field it writes */
    uint32_t offset, width; /* of that field */
    size_t keywords;        /* how many keywords (list elements) it has */
    const char* stop;       /* the word that ends a list, or NULL */
} tDevCapEntryInfo;

/* The entries in the order the sections own them, and their keywords with
 * the code (list elements: the bit) each stores; keyword text is static.
 * DEVCAP_OK, DEVCAP_NOT_FOUND for an index (entry or keyword) past the end,
 * DEVCAP_BAD_ARGUMENT for a null info, text or code. */
DEVCAP_API size_t DevCapEntryCount(void);
DEVCAP_API int DevCapEntryInfo(size_t index, tDevCapEntryInfo* info);
DEVCAP_API int DevCapEntryKeyword(size_t entry, size_t keyword, const char** text, uint32_t* code);
/* The index of the entry called name[0, size) in any case, as the converter
 * matches names (ASCII letters only; no locale): DEVCAP_NOT_FOUND when no
 * section owns it, DEVCAP_BAD_ARGUMENT for a null name. */
DEVCAP_API int DevCapEntryIndex(const char* name, size_t size);

/* The value the entry called name (any case) stores for value, as the
 * converter reads it: DEVCAP_OK with *code set, DEVCAP_NOT_FOUND for a name no
 * section owns, DEVCAP_REFUSED for a value the entry rejects, DEVCAP_TOO_WIDE
 * for one longer than DEVCAP_VALUE_MAX, DEVCAP_BAD_ARGUMENT for a null name,
 * value or code. */
DEVCAP_API int DevCapEntryValue(const char* name, const char* value, uint32_t* code);

/* ---- the grammar of a line ----
 * Where devcap2bin's reader finds things in a line, as byte columns from 0.
 * A line is read in pieces of at most DEVCAP_PIECE_MAX bytes (line end
 * included), each read as a line of its own; piece k starts at column
 * k * DEVCAP_PIECE_MAX. Only the first piece's entry is described here. A
 * NUL byte ends the piece for the reader. */

#define DEVCAP_LINE_SKIPPED 0  /* empty, a comment ('#' first), or CR first */
#define DEVCAP_LINE_NO_ENTRY 1 /* no '=' in the first piece: skipped */
#define DEVCAP_LINE_ENTRY 2    /* NAME=VALUE */
#define DEVCAP_LINE_TOO_LONG 3 /* a name or value past the limits: skipped */

typedef struct {
    size_t number; /* from 1 (DevCapTextLines; 0 from DevCapLineSpans) */
    size_t start;  /* of the line in the text (DevCapTextLines; 0 from DevCapLineSpans) */
    size_t length; /* bytes before the line end */
    size_t end;    /* bytes of the line end: 0 (none), 1 ("\n") or 2 ("\r\n") */
    size_t pieces; /* how many pieces devcap2bin reads it in */
    int kind;      /* DEVCAP_LINE_... */
    /* Entries (and DEVCAP_LINE_TOO_LONG for name_end): the name is
     * [0, name_end), '=' stands at name_end; the value as devcap2bin takes it
     * is [value, value_end). opened: the byte before value is a quote (when
     * not, the byte after '=' is dropped all the same). closed: value_end
     * holds the closing quote, the last one in the piece; when not, the value
     * runs to the piece's end and keeps the line end. after: where text after
     * the closing quote starts (ignored by devcap2bin); length when none. */
    size_t name_end, value, value_end;
    int opened, closed;
    size_t after;
} tDevCapLine;

/* Spans of the line at the start of text (up to and including its first
 * '\n'). Answers the bytes the line takes, line end included: the offset of
 * the next line; 0 for an empty text or a null line. */
DEVCAP_API size_t DevCapLineSpans(const char* text, size_t size, tDevCapLine* line);

/* Each line of the text in order, with its number and start. Answers how
 * many lines there are (a last line without a line end counts; nothing after
 * a final line end does). */
typedef void (*tDevCapLineFn)(void* ctx, const tDevCapLine* line);
DEVCAP_API size_t DevCapTextLines(const char* text, size_t size, tDevCapLineFn fn, void* ctx);

/* Column units: bytes, UTF-16 code units, characters (code points). */
#define DEVCAP_BYTES 0
#define DEVCAP_UTF16 1
#define DEVCAP_CHARACTERS 2

/* A column of the line (size bytes, its line end not needed) counted in unit
 * from, counted in unit to. The line is read as UTF-8: a character outside
 * the Basic Multilingual Plane is 4 bytes and 2 UTF-16 units; a byte that
 * starts no well-formed sequence counts 1 in every unit. A column inside a
 * character goes to the character's end; past the line's end every column
 * counts 1 in every unit. 0 for an unknown unit; a null line is an empty one. */
DEVCAP_API size_t DevCapColumnConvert(const char* line, size_t size, size_t column, int from, int to);

/* ---- lint ---- */

/* One edit of a fix: replace the bytes [column, column + length) of line
 * (both from 1; columns count bytes) by text. */
typedef struct {
    uint32_t line, column, length;
    const char* text;
} tDevCapEdit;

typedef struct {
    uint32_t line, column;    /* from 1; the column counts bytes */
    const char* severity;     /* "error", "warning" or "note"; static */
    const char* rule;         /* "bad-value", "duplicate", ...; static */
    const char* message;      /* valid during the call only */
    const tDevCapEdit* edits; /* the fix the rule is sure of, or NULL; valid during the call only */
    size_t nedits;
    uint32_t end; /* the column (bytes, from 1) after the text the finding is about, on its line; >= column */
} tDevCapFinding;
typedef void (*tDevCapFindingFn)(void* ctx, const tDevCapFinding* finding);

typedef struct {
    const char* name;     /* static */
    const char* severity; /* "error" (cannot be turned off), "warning" or "note" */
    const char* summary;
} tDevCapLintRule;

/* A comment line starting with this turns the rules of the comma list after
 * it off for the rest of the file. */
#define DEVCAP_LINT_DISABLE_MARK "# devcaplint: disable="

/* The rules; a rule's bit in a disabled mask is 1 << its index.
 * DevCapLintRuleInfo: DEVCAP_OK, DEVCAP_NOT_FOUND for index >=
 * DevCapLintRuleCount(), DEVCAP_BAD_ARGUMENT for a null info. */
DEVCAP_API size_t DevCapLintRuleCount(void);
DEVCAP_API int DevCapLintRuleInfo(size_t index, tDevCapLintRule* info);

/* 1 when a comment line above a finding's line (DEVCAP_LINT_DISABLE_MARK and
 * its rule) turns it off: a warning or a note. 0 for an error, for a
 * byte-order mark (a comment above it would move the mark off the file's
 * start, where the fix looks for it) and for a null finding. */
DEVCAP_API int DevCapLintCommentTurnsOff(const tDevCapFinding* finding);

/* Adds the rules of a comma list of names ("duplicate,quote") to *disabled.
 * DEVCAP_NOT_FOUND for a name that is no rule, DEVCAP_REFUSED for an error
 * rule (errors cannot be turned off); *disabled is then unchanged and the
 * reason goes to message. DEVCAP_OK, or DEVCAP_BAD_ARGUMENT for a null list
 * or disabled. */
DEVCAP_API int DevCapLintDisable(const char* list, uint32_t* disabled, tDevCapMessageFn message, void* ctx);

/* devcaplint's findings on size bytes of text, sorted by line and column,
 * rules in disabled (warnings and notes) turned off: an error finding
 * exactly when DevCapConvertText would refuse the text. Answers the number
 * of findings, or DEVCAP_BAD_ARGUMENT for a null text with size. */
DEVCAP_API int DevCapLintText(const char* text, size_t size, tDevCapFindingFn finding, void* ctx);
DEVCAP_API int DevCapLintTextDisabled(const char* text, size_t size, uint32_t disabled, tDevCapFindingFn finding,
                                      void* ctx);

/* The text with every fix of DevCapLintTextDisabled's findings applied, and
 * the fixes of what those uncover, so that linting the result finds nothing
 * with a fix on a line shorter than 640 bytes (and fixing it again changes
 * nothing), as a rendering (see above); a null text with size renders
 * nothing. devcaplint --fix and --diff, and the server's source.fixAll, are
 * this. */
DEVCAP_API size_t DevCapLintFix(const char* text, size_t size, uint32_t disabled, char* buf, size_t bufsize);
DEVCAP_API int DevCapLintFixTo(const char* text, size_t size, uint32_t disabled, tDevCapMessageFn message, void* ctx);

/* One finding as a JSON object (keys file, when file is not NULL, line,
 * column, severity, rule, message, and fix when it has one), as a rendering. */
DEVCAP_API size_t DevCapRenderFindingJson(const tDevCapFinding* finding, const char* file, char* buf, size_t size);
DEVCAP_API int DevCapRenderFindingJsonTo(const tDevCapFinding* finding, const char* file, tDevCapMessageFn message,
                                         void* ctx);

/* ---- comparing ---- */

typedef struct {
    const char* path;  /* the field's path; NULL for a line of the check */
    const char* entry; /* the entry that sets the field, or NULL */
    uint32_t offset, width;
    const char *a, *b; /* the field's value in a and b as the entry's text (a number where
                          no keyword has it); for a check line, the line in a or b and
                          NULL where it does not appear. Valid during the call only. */
} tDevCapChange;
typedef void (*tDevCapChangeFn)(void* ctx, const tDevCapChange* change);

/* What differs between two records: each field whose value differs, in
 * record order, then the lines of the consistency check (every rule on its
 * own) that appear or disappear. Answers the number of changes: 0 when the
 * records are the same; DEVCAP_BAD_ARGUMENT when a or b is null. */
DEVCAP_API int DevCapDiffRecords(const tDevConf* a, const tDevConf* b, tDevCapChangeFn change, void* ctx);
/* The same as devcapdiff prints it, as text and as one JSON object (names
 * stand for the two inputs), as renderings. */
DEVCAP_API size_t DevCapRenderDiff(const tDevConf* a, const tDevConf* b, char* buf, size_t size);
DEVCAP_API int DevCapRenderDiffTo(const tDevConf* a, const tDevConf* b, tDevCapMessageFn message, void* ctx);
DEVCAP_API size_t DevCapRenderDiffJson(const tDevConf* a, const tDevConf* b, const char* name_a, const char* name_b,
                                       char* buf, size_t size);
DEVCAP_API int DevCapRenderDiffJsonTo(const tDevConf* a, const tDevConf* b, const char* name_a, const char* name_b,
                                      tDevCapMessageFn message, void* ctx);

/* ---- records as the rows of a table ----
 * One row a device: the columns file, kind, status, then one column a field
 * path. fields is a comma list of paths choosing and ordering the field
 * columns ("FwDevCap.type,FwDevCap.IO.DIs"), or NULL for every field in
 * record order; a path that is no field gives a column of empty cells (check
 * a list against DevCapFieldInfo's paths). A cell holds the field's text
 * (tDevCapFieldValue) when it is not just its number in decimal ("Mega IP
 * Camera", "0x0001"), else its number ("2"), else nothing: in SQL,
 * CASE WHEN text IS NULL OR text = CAST(value AS TEXT) THEN value ELSE text
 * END. These are
 * renderings (see above), each with its To form, except that a null dev
 * renders the row of a device without a record: its file, kind and status,
 * and empty cells (a To form refuses only a null message function). A null
 * file, kind or status is an empty one. */

/* The CSV header line: "file,kind,status,<path>,...\n". Cells with a comma,
 * a double quote, a CR or an LF are quoted (RFC 4180: quotes doubled); lines
 * end with a single LF. A cell starting with '=', '+', '-', '@', a tab or a
 * CR, which a spreadsheet would take for a formula, gets a "'" in front
 * (inside the quotes of a quoted cell); no field's cell starts so (numbers
 * are never negative), a file name may. */
DEVCAP_API size_t DevCapRenderCsvHeader(const char* fields, char* buf, size_t size);
DEVCAP_API int DevCapRenderCsvHeaderTo(const char* fields, tDevCapMessageFn message, void* ctx);
/* One device as a CSV line under that header. */
DEVCAP_API size_t DevCapRenderCsvRow(const tDevConf* dev, const char* file, const char* kind, const char* status,
                                     const char* fields, char* buf, size_t size);
DEVCAP_API int DevCapRenderCsvRowTo(const tDevConf* dev, const char* file, const char* kind, const char* status,
                                    const char* fields, tDevCapMessageFn message, void* ctx);
/* One device as a JSON object on one line without its line end, keys in the header's order: a
 * cell is a string (file, kind, status, a field's text), a number, or null. */
DEVCAP_API size_t DevCapRenderJsonRow(const tDevConf* dev, const char* file, const char* kind, const char* status,
                                      const char* fields, char* buf, size_t size);
DEVCAP_API int DevCapRenderJsonRowTo(const tDevConf* dev, const char* file, const char* kind, const char* status,
                                     const char* fields, tDevCapMessageFn message, void* ctx);
/* text as a JSON string, quotes included (UTF-8 passes through; controls and
 * bytes that are not UTF-8 become \u00XX), as a rendering; a null text
 * renders "null" (its To form refuses only a null message function). */
DEVCAP_API size_t DevCapRenderJsonString(const char* text, char* buf, size_t size);
DEVCAP_API int DevCapRenderJsonStringTo(const char* text, tDevCapMessageFn message, void* ctx);

#ifdef __cplusplus
}
#endif

#endif /* LIBDEVCAP_H */
