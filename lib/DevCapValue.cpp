// DevCapValue.cpp - an entry's value, from text into the record and back: one
// pair of routines per kind of entry (keyword, comma list, number, version),
// each reading where the other writes.
#include <cstring>

#include "DevCapCore.h"

const char* const kDevCapKindNames[ENTRY_KIND_COUNT] = {"keyword", "list", "number", "version"};

namespace {

// The C library's isspace() in the "C" locale, without consulting the locale.
constexpr bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Value of each byte as a digit, or 99 when it is none: one load a digit.
struct tDigits {
    uint8_t of[256];
};
constexpr tDigits BuildDigits() {
    tDigits d{};
    for (unsigned c = 0; c < 256; ++c) {
        const char u = DevCapUpper(static_cast<char>(c));
        d.of[c] = c >= '0' && c <= '9'   ? static_cast<uint8_t>(c - '0')
                  : u >= 'A' && u <= 'Z' ? static_cast<uint8_t>(u - 'A' + 10)
                                         : 99;
    }
    return d;
}
constexpr tDigits kDigits = BuildDigits();
constexpr unsigned DigitValue(char c) { return kDigits.of[static_cast<unsigned char>(c)]; }

void SayError(const tEntry& e, const tDevCapSink* out, const char* value) {
    if (e.fmt == nullptr) return;
    if (e.label != nullptr) {
        DevCapSay(out, e.fmt, e.func, e.label, value);
    } else {
        DevCapSay(out, e.fmt, e.func, value);
    }
}

// Text is written by hand here, not by snprintf: a comparison renders every
// field that differs, and must cost no more than a conversion.
size_t Put(char (&text)[DEVCAP_DATA_SIZE], size_t at, std::string_view word) {
    const size_t n = word.size() < sizeof text - 1 - at ? word.size() : sizeof text - 1 - at;
    memcpy(text + at, word.data(), n);
    text[at + n] = '\0';
    return at + n;
}

void Copy(std::string_view word, char (&text)[DEVCAP_DATA_SIZE]) { Put(text, 0, word); }

// value in base 10 or 16 (with at least digits digits), behind a minus sign.
void Number(char (&text)[DEVCAP_DATA_SIZE], bool minus, uint32_t value, unsigned base, size_t digits) {
    char reversed[16];
    size_t n = 0;
    for (; value > 0 || n < digits; value /= base) reversed[n++] = "0123456789ABCDEF"[value % base];
    size_t at = 0;
    if (minus) text[at++] = '-';
    while (n > 0) text[at++] = reversed[--n];
    text[at] = '\0';
}

// ---- keyword: one word of the entry's table, matched whole ----

// A value refused: its line, and where it is. Out of line and cold, off the
// path of a value taken.
__attribute__((noinline, cold)) int32_t Refuse(const tEntry& e, const tDevCapSink* out, const char* data, size_t length,
                                               const char** bad) {
    *bad = data;
    char shown[DEVCAP_DATA_SIZE];  // data may lie in the text, with no NUL behind it
    const size_t n = length < sizeof shown ? length : sizeof shown - 1;
    memcpy(shown, data, n);
    shown[n] = '\0';
    SayError(e, out, shown);
    return DEVCAP_ERROR;
}

int32_t KeywordTxt2Bin(const tEntry& e, const char* data, size_t length, tDevConf* dev, const tDevCapSink* out,
                       const char** bad) {
    const tKeyword* word = DevCapKeyword(e.words, {data, length});
    if (word == nullptr) return Refuse(e, out, data, length, bad);
    DevCapFieldSet(dev, e.offset, e.width, word->code);
    return 0;
}

tRender KeywordBin2Txt(const tEntry& e, uint32_t value, char (&text)[DEVCAP_DATA_SIZE]) {
    for (size_t i = 0; i < e.words.count; ++i) {
        if (e.words.words[i].code != value) continue;
        Copy(e.words.words[i].text, text);
        return RENDER_ENTRY;
    }
    return value == 0 ? RENDER_OMIT : RENDER_NONE;
}

// ---- list: comma-separated words, each a bit, up to the stop word ----

// Cuts data in place at each comma examined; the field is rebuilt from 0 by
// every entry and keeps the bits of the elements before an unknown one.
// Out of line, as numbers and versions are: each a tail call from the
// handler, off the path of the converter's most common entry, a keyword.
__attribute__((noinline)) int32_t ListTxt2Bin(const tEntry& e, char* data, size_t length, tDevConf* dev,
                                              const tDevCapSink* out, const char** bad) {
    uint32_t bits = 0;
    int32_t ret = 0;
    for (char *element = data, *end = data + length;;) {
        auto* comma = static_cast<char*>(memchr(element, ',', static_cast<size_t>(end - element)));
        if (comma != nullptr) *comma = '\0';
        const std::string_view text(element, static_cast<size_t>((comma != nullptr ? comma : end) - element));
        if (!e.stop.empty() && DevCapTextIs(text, e.stop)) break;
        const tKeyword* word = DevCapKeyword(e.words, text);
        if (word == nullptr) {
            ret = Refuse(e, out, element, text.size(), bad);
            break;
        }
        bits |= word->code;
        if (comma == nullptr) break;
        element = comma + 1;
    }
    DevCapFieldSet(dev, e.offset, e.width, bits);
    return ret;
}

// The elements in table order; no element means the stop word, or (without
// one) leaving the entry out.
tRender ListBin2Txt(const tEntry& e, uint32_t value, char (&text)[DEVCAP_DATA_SIZE]) {
    if (value == 0) {
        if (e.stop.empty()) return RENDER_OMIT;
        Copy(e.stop, text);
        return RENDER_ENTRY;
    }
    size_t used = 0;
    for (size_t i = 0; i < e.words.count; ++i) {
        const tKeyword& w = e.words.words[i];
        if ((value & w.code) == 0) continue;
        value &= ~w.code;
        if (used > 0) used = Put(text, used, ",");
        used = Put(text, used, w.text);
    }
    return value == 0 ? RENDER_ENTRY : RENDER_NONE;
}

// ---- number: decimal, as atoi reads it ----

__attribute__((noinline)) int32_t NumberTxt2Bin(const tEntry& e, std::string_view data, tDevConf* dev) {
    DevCapFieldSet(dev, e.offset, e.width, static_cast<uint32_t>(DevCapAtoi32(data)));
    return 0;
}

// atoi gives a 4-byte field back from its signed reading.
tRender NumberBin2Txt(const tEntry& e, uint32_t value, char (&text)[DEVCAP_DATA_SIZE]) {
    const bool minus = e.width == 4 && static_cast<int32_t>(value) < 0;
    Number(text, minus, minus ? 0u - value : value, 10, 1);
    return RENDER_ENTRY;
}

// ---- version: as strtoul with base 0 reads it ----

__attribute__((noinline)) int32_t VersionTxt2Bin(const tEntry& e, std::string_view data, tDevConf* dev) {
    DevCapFieldSet(dev, e.offset, e.width, DevCapStrtoul32(data));
    return 0;
}

tRender VersionBin2Txt(uint32_t value, char (&text)[DEVCAP_DATA_SIZE]) {
    Number(text, false, value, 16, 4);
    memmove(text + 2, text, strlen(text) + 1);
    memcpy(text, "0x", 2);
    return RENDER_ENTRY;
}

}  // namespace

bool DevCapTextIsFolded(const char* a, const char* b, size_t n) { return DevCapTextIs({a, n}, {b, n}); }

int32_t DevCapEntryTxt2Bin(const tEntry& entry, char* data, size_t length, tDevConf* dev, const tDevCapSink* out,
                           const char** bad) {
    switch (entry.kind) {
        case ENTRY_KEYWORD:
            return KeywordTxt2Bin(entry, data, length, dev, out, bad);
        case ENTRY_LIST:
            return ListTxt2Bin(entry, data, length, dev, out, bad);
        case ENTRY_NUMBER:
            return NumberTxt2Bin(entry, {data, length}, dev);
        case ENTRY_VERSION:
            return VersionTxt2Bin(entry, {data, length}, dev);
        case ENTRY_KIND_COUNT:
            break;
    }
    return DEVCAP_ERROR;
}

tRender DevCapEntryBin2Txt(const tEntry& entry, const tDevConf& dev, char (&text)[DEVCAP_DATA_SIZE]) {
    const uint32_t value = DevCapFieldGet(&dev, entry.offset, entry.width);
    text[0] = '\0';
    switch (entry.kind) {
        case ENTRY_KEYWORD:
            return KeywordBin2Txt(entry, value, text);
        case ENTRY_LIST:
            return ListBin2Txt(entry, value, text);
        case ENTRY_NUMBER:
            return NumberBin2Txt(entry, value, text);
        case ENTRY_VERSION:
            return VersionBin2Txt(value, text);
        case ENTRY_KIND_COUNT:
            break;
    }
    return RENDER_NONE;
}

namespace {

// Inline in the converter's two readings, whose base and limit are constants.
__attribute__((always_inline)) inline tNumberText ReadNumber(std::string_view text, bool baseZero, uint64_t limit) {
    tNumberText n{0, 0, 10, false, 0};
    const char* at = text.data();
    const size_t size = text.size();
    size_t i = 0;
    while (i < size && IsSpace(at[i])) ++i;
    n.negative = i < size && at[i] == '-';
    if (i < size && (at[i] == '-' || at[i] == '+')) ++i;
    if (baseZero && i < size && at[i] == '0') {
        const bool hex = i + 2 < size && DevCapUpper(at[i + 1]) == 'X' && DigitValue(at[i + 2]) < 16;
        n.base = hex ? 16 : 8;
        i += hex ? 2 : 0;
    }
    n.digits = i;
    for (; i < size; ++i) {
        const unsigned d = DigitValue(at[i]);
        if (d >= n.base) break;
        n.magnitude = n.magnitude * n.base + d;
        if (n.magnitude > limit) n.magnitude = limit + 1;  // keeps reading, never wraps
    }
    n.end = i;
    return n;
}

}  // namespace

tNumberText DevCapReadNumber(std::string_view text, bool baseZero, uint64_t limit) {
    return ReadNumber(text, baseZero, limit);
}

int32_t DevCapAtoi32(std::string_view text) {
    // Saturates at the nearer 32-bit limit, as strtol does with a 32-bit long.
    const tNumberText n = ReadNumber(text, false, 2147483648u);
    const uint64_t limit = n.negative ? 2147483648u : 2147483647u;
    if (n.magnitude > limit) return n.negative ? INT32_MIN : INT32_MAX;
    return n.negative ? static_cast<int32_t>(-static_cast<int64_t>(n.magnitude)) : static_cast<int32_t>(n.magnitude);
}

uint32_t DevCapStrtoul32(std::string_view text) {
    const tNumberText n = ReadNumber(text, true, UINT32_MAX);
    if (n.magnitude > UINT32_MAX) return UINT32_MAX;  // whatever the sign
    const auto value = static_cast<uint32_t>(n.magnitude);
    return n.negative ? 0u - value : value;
}
