// DevCapDump.h - turning a 120-byte record back into capability text, and
// describing it field by field.
#ifndef DEVCAPDUMP_H
#define DEVCAPDUMP_H

#include <cstdio>

#include "DevCapConv.h"

// How one entry's field comes back as text.
enum tRender {
    RENDER_ENTRY,  // text holds the value; NAME='text' gives the field back
    RENDER_OMIT,   // the field holds what it holds without the entry
    RENDER_NONE,   // no text can give this value
};

tRender DevCapEntryText(const tEntry& entry, const tDevConf& dev, char (&text)[DEVCAP_DATA_SIZE]);

// Capability text that devcap2bin turns back into dev, with comments for what
// it cannot reproduce and the check's lines. Answers the check's result.
int32_t DevCapDumpText(const tDevConf& dev, const char* source, const tDevCapSink* out);
// One line per field: offset, size, path, raw value, meaning; then the check.
int32_t DevCapDumpLayout(const tDevConf& dev, const tDevCapSink* out);
// Every field by path (offset, width, raw value, the keywords it means,
// whether it is the default, the entry that sets it), whether the text
// reproduces the record, and the check: one JSON object.
int32_t DevCapDumpJson(const tDevConf& dev, const char* source, const tDevCapSink* out);

#endif
