/*
 * libdevcap.h - the device capability converter as a C library.
 *
 * Converts capability text into the 120-byte record (tDevConf, DevCap.h)
 * exactly as devcap2bin does, checks records, writes them with devcap2bin's
 * guarantees, renders them as text, as a layout table and as JSON, reads and
 * sets fields by path, lists the entries and their keywords, and lints text.
 *
 * Every function is safe to call from many threads at once: nothing is
 * allocated, nothing is kept between calls. Diagnostics go to the caller's
 * message function, one call per piece of text (a message may arrive in
 * several pieces; a line ends with '\n'); a null function drops them. Results
 * are the DEVCAP_* codes below, never errno for the library's own errors.
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

#define DEVCAP_LIB_VERSION_MAJOR 1
#define DEVCAP_LIB_VERSION_MINOR 1

/* Results. */
#define DEVCAP_OK 0
#define DEVCAP_REFUSED (-1)      /* the text or record was refused; the messages say why */
#define DEVCAP_NOT_FOUND (-2)    /* no field, entry or keyword by that path, name or index */
#define DEVCAP_TOO_WIDE (-3)     /* the value does not fit the field, or the field is no number */
#define DEVCAP_BAD_ARGUMENT (-4) /* a null pointer where one is needed */
#define DEVCAP_IO_ERROR (-5)     /* a file could not be opened, read or written; the messages say which */

/* Receives diagnostics: len bytes of text (not terminated). */
typedef void (*tDevCapMessageFn)(void* ctx, const char* text, size_t len);

/* The library's version, "MAJOR.MINOR.PATCH". */
DEVCAP_API const char* DevCapLibVersion(void);

/* Fills dev with the defaults every conversion starts from. */
DEVCAP_API void DevCapRecordInit(tDevConf* dev);

/* Converts size bytes of capability text into dev, read exactly as a file
 * holding those bytes (the same pieces and messages; name stands for the
 * file in them), then runs the consistency check. DEVCAP_OK when devcap2bin
 * would write the record; DEVCAP_REFUSED when it would not. */
DEVCAP_API int DevCapConvertText(const char* text, size_t size, const char* name, tDevConf* dev,
                                 tDevCapMessageFn message, void* ctx);

/* The same for the text file at path. DEVCAP_IO_ERROR when it cannot be
 * opened or read, with devcap2bin's message. */
DEVCAP_API int DevCapConvertFile(const char* path, tDevConf* dev, tDevCapMessageFn message, void* ctx);

/* The consistency check on a record: DEVCAP_OK or DEVCAP_REFUSED. Its lines
 * (warnings, and the first error) go to message. dev is only read. */
DEVCAP_API int DevCapCheckRecord(const tDevConf* dev, tDevCapMessageFn message, void* ctx);

/* The name devcap2bin gives the record of the text file input,
 * "BinFiles/<base name>.bin", into path (size bytes). DEVCAP_TOO_WIDE when it
 * does not fit size or 255 characters. */
DEVCAP_API int DevCapOutputPath(const char* input, char* path, size_t size, tDevCapMessageFn message, void* ctx);

/* Writes the 120 bytes to path as devcap2bin does: written beside, synced,
 * renamed over path; a failure leaves an earlier file as it was. Special
 * files are written in place. DEVCAP_OK or DEVCAP_IO_ERROR, with devcap2bin's
 * lines (the success line included). */
DEVCAP_API int DevCapWriteRecord(const tDevConf* dev, const char* path, tDevCapMessageFn message, void* ctx);

/* Renderings, as devcapdump prints them: capability text that converts back
 * into dev (source names the record in its first comment), the layout table,
 * and JSON. Each writes at most size - 1 bytes and a terminator into buf (buf
 * may be null when size is 0) and answers the length of the whole rendering:
 * a result of size or more means buf was too small. */
DEVCAP_API size_t DevCapRenderText(const tDevConf* dev, const char* source, char* buf, size_t size);
DEVCAP_API size_t DevCapRenderLayout(const tDevConf* dev, char* buf, size_t size);
DEVCAP_API size_t DevCapRenderJson(const tDevConf* dev, const char* source, char* buf, size_t size);

/* One field by its path, such as "FwDevCap.IO.DIs": its value (1, 2 or 4
 * bytes, little-endian as stored). DEVCAP_NOT_FOUND for an unknown path,
 * DEVCAP_TOO_WIDE for a field wider than 4 bytes, or for a value that does not
 * fit the field. */
DEVCAP_API int DevCapGetField(const tDevConf* dev, const char* path, uint32_t* value);
DEVCAP_API int DevCapSetField(tDevConf* dev, const char* path, uint32_t value);

typedef struct {
    const char* path;  /* "FwDevCap.IO.DIs" */
    uint32_t offset;   /* in the record */
    uint32_t width;    /* in bytes */
    const char* entry; /* the entry that sets it, or NULL */
} tDevCapFieldInfo;

/* The record's fields in offset order; they cover its 120 bytes. */
DEVCAP_API size_t DevCapFieldCount(void);
DEVCAP_API int DevCapFieldInfo(size_t index, tDevCapFieldInfo* info);

typedef struct {
    const char* name;       /* "FWCAP_MISC_IO" */
    const char* section;    /* "Firmware capabilities" */
    const char* kind;       /* "keyword", "list", "number" or "version" */
    const char* field;      /* the path of the field it writes */
    uint32_t offset, width; /* of that field */
    size_t keywords;        /* how many keywords (list elements) it has */
    const char* stop;       /* the word that ends a list, or NULL */
} tDevCapEntryInfo;

/* The entries in the order the sections own them, and their keywords with
 * the code (list elements: the bit) each stores. */
DEVCAP_API size_t DevCapEntryCount(void);
DEVCAP_API int DevCapEntryInfo(size_t index, tDevCapEntryInfo* info);
DEVCAP_API int DevCapEntryKeyword(size_t entry, size_t keyword, const char** text, uint32_t* code);

typedef struct {
    uint32_t line, column; /* from 1; the column counts bytes */
    const char* severity;  /* "error", "warning" or "note" */
    const char* rule;      /* "bad-value", "duplicate", ... */
    const char* message;   /* valid during the call only */
} tDevCapFinding;
typedef void (*tDevCapFindingFn)(void* ctx, const tDevCapFinding* finding);

/* devcaplint's findings on size bytes of text; an error finding exactly when
 * DevCapConvertText would refuse it. Answers the number of findings. */
DEVCAP_API int DevCapLintText(const char* text, size_t size, tDevCapFindingFn finding, void* ctx);

#ifdef __cplusplus
}
#endif

#endif /* LIBDEVCAP_H */
