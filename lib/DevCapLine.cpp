// DevCapLine.cpp - the grammar of a line, once: where the reader cuts a line
// into pieces, where a piece's name and value are and which quotes bound the
// value; and columns counted in bytes, UTF-16 code units or characters. The
// reader, the linter and every front end take their positions from here.
#include <cstring>

#include "DevCapCore.h"

size_t DevCapPieceText(const char* piece, size_t len) {
    // The reader sees a piece as a C string: a NUL byte ends it.
    const void* nul = memchr(piece, '\0', len);
    return nul != nullptr ? static_cast<size_t>(static_cast<const char*>(nul) - piece) : len;
}

tPieceKind DevCapTextSpans(const char* piece, size_t n, size_t eq, tPieceSpans* s) {
    *s = {n, n, n, n, false, false};
    // A line end, a CR or '#' first: a line the reader skips. One test of a bit.
    constexpr uint64_t kSkipped = uint64_t{1} << '\n' | uint64_t{1} << '\r' | uint64_t{1} << '#';
    const auto first = n > 0 ? static_cast<unsigned char>(piece[0]) : 64u;
    if (first < 64 && (kSkipped >> first & 1) != 0) return PIECE_SKIPPED;
    if (eq == DEVCAP_EQ_UNKNOWN) {
        const void* at = memchr(piece, '=', n);
        eq = at != nullptr ? static_cast<size_t>(static_cast<const char*>(at) - piece) : n;
    }
    if (eq >= n) return PIECE_NO_ENTRY;
    s->eq = eq;
    if (s->eq >= DEVCAP_NAME_SIZE) return PIECE_LONG_NAME;
    // The character after '=' is taken to be the opening quote and skipped unread.
    s->value = s->eq + (s->eq + 1 == n ? 1 : 2);
    s->opened = s->value == s->eq + 2 && piece[s->eq + 1] == '\'';
    if (n - s->value >= DEVCAP_DATA_SIZE) return PIECE_LONG_VALUE;
    // Only the last quote closes the value: NAME='it's' gives it's.
    for (size_t i = n; i > s->value; --i) {
        if (piece[i - 1] == '\'') {
            s->valueEnd = i - 1;
            s->closed = true;
            break;
        }
    }
    return PIECE_ENTRY;
}

tPieceKind DevCapPieceSpans(const char* piece, size_t len, tPieceSpans* s) {
    return DevCapTextSpans(piece, DevCapPieceText(piece, len), DEVCAP_EQ_UNKNOWN, s);
}

size_t DevCapUtf8Length(const char* bytes, size_t n) {
    if (n == 0) return 0;
    const auto* text = reinterpret_cast<const unsigned char*>(bytes);
    const unsigned c = text[0];
    if (c < 0x80) return 1;
    const size_t len = c >= 0xC2 && c <= 0xDF ? 2 : c >= 0xE0 && c <= 0xEF ? 3 : c >= 0xF0 && c <= 0xF4 ? 4 : 0;
    if (len == 0 || len > n) return 0;
    // The second byte's range rules out overlong forms, surrogates and code points past U+10FFFF.
    const unsigned lo = c == 0xE0 ? 0xA0 : c == 0xF0 ? 0x90 : 0x80;
    const unsigned hi = c == 0xED ? 0x9F : c == 0xF4 ? 0x8F : 0xBF;
    if (text[1] < lo || text[1] > hi) return 0;
    for (size_t i = 2; i < len; ++i) {
        if (text[i] < 0x80 || text[i] > 0xBF) return 0;
    }
    return len;
}

size_t DevCapColumnConvert(const char* line, size_t size, size_t column, int from, int to) {
    if (from < DEVCAP_BYTES || from > DEVCAP_CHARACTERS || to < DEVCAP_BYTES || to > DEVCAP_CHARACTERS) return 0;
    if (line == nullptr) size = 0;
    size_t count[3] = {0, 0, 0};  // bytes, UTF-16 code units, characters before i
    size_t i = 0;
    while (i < size && count[from] < column) {
        const size_t len = DevCapUtf8Length(line + i, size - i);
        count[DEVCAP_BYTES] += len > 0 ? len : 1;  // a byte that starts no sequence counts one
        count[DEVCAP_UTF16] += len == 4 ? 2 : 1;
        count[DEVCAP_CHARACTERS] += 1;
        i += len > 0 ? len : 1;
    }
    // Past the line's end every column counts one in each unit.
    return count[to] + (count[from] < column ? column - count[from] : 0);
}

size_t DevCapLineSpans(const char* text, size_t size, tDevCapLine* line) {
    if (line == nullptr || (text == nullptr && size > 0)) return 0;
    const void* nl = size > 0 ? memchr(text, '\n', size) : nullptr;
    const size_t whole = nl != nullptr ? static_cast<size_t>(static_cast<const char*>(nl) - text) + 1 : size;
    size_t length = nl != nullptr ? whole - 1 : whole;
    if (nl != nullptr && length > 0 && text[length - 1] == '\r') --length;
    tPieceSpans s;
    const tPieceKind kind = DevCapPieceSpans(text, DevCapPieceLength(text, whole), &s);
    // A value never closed runs to the piece's end; the line end is not part of its span.
    const size_t valueEnd = s.closed ? s.valueEnd : s.valueEnd < length ? s.valueEnd : length;
    *line = {0,
             0,
             length,
             whole - length,
             (whole + DEVCAP_PIECE_MAX - 1) / DEVCAP_PIECE_MAX,
             kind == PIECE_SKIPPED    ? DEVCAP_LINE_SKIPPED
             : kind == PIECE_NO_ENTRY ? DEVCAP_LINE_NO_ENTRY
             : kind == PIECE_ENTRY    ? DEVCAP_LINE_ENTRY
                                      : DEVCAP_LINE_TOO_LONG,
             s.eq,
             s.value < valueEnd ? s.value : valueEnd,
             valueEnd,
             s.opened,
             s.closed,
             s.closed ? s.valueEnd + 1 : length};
    return whole;
}

size_t DevCapTextLines(const char* text, size_t size, tDevCapLineFn fn, void* ctx) {
    if (text == nullptr && size > 0) return 0;
    size_t lines = 0;
    for (size_t at = 0; at < size;) {
        tDevCapLine line;
        const size_t n = DevCapLineSpans(text + at, size - at, &line);
        line.number = ++lines;
        line.start = at;
        if (fn != nullptr) fn(ctx, &line);
        at += n;
    }
    return lines;
}
