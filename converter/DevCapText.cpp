// DevCapText.cpp - messages, and the one routine per kind of entry value:
// keyword, comma list, number and version.
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "DevCapConv.h"

namespace {

void WriteFile(void* ctx, const char* text, size_t len) { fwrite_unlocked(text, 1, len, static_cast<FILE*>(ctx)); }

// The C library's isspace() in the "C" locale, without consulting the locale.
constexpr bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Value of c as a digit, or 99 when it is none.
constexpr unsigned DigitValue(char c) {
    if (c >= '0' && c <= '9') return static_cast<unsigned>(c - '0');
    const char u = DevCapUpper(c);
    if (u >= 'A' && u <= 'Z') return static_cast<unsigned>(u - 'A' + 10);
    return 99;
}

// Skips blanks and one sign; reports whether the sign was a minus.
const char* SkipBlanksAndSign(const char* s, bool* negative) {
    while (IsSpace(*s)) ++s;
    *negative = (*s == '-');
    if (*s == '-' || *s == '+') ++s;
    return s;
}

// Magnitude of the digits at s in base, saturated at limit + 1.
uint64_t ReadMagnitude(const char* s, unsigned base, uint64_t limit) {
    uint64_t value = 0;
    for (unsigned d = DigitValue(*s); d < base; d = DigitValue(*++s)) {
        value = value * base + d;
        if (value > limit) value = limit + 1;  // keeps reading, never wraps
    }
    return value;
}

void SayError(const tEntry& e, const tDevCapSink* out, const char* value) {
    if (e.fmt == nullptr) return;
    if (e.label != nullptr) {
        DevCapSay(out, e.fmt, e.func, e.label, value);
    } else {
        DevCapSay(out, e.fmt, e.func, value);
    }
}

int32_t KeywordTxt2Bin(const tEntry& e, const char* data, tDevConf* dev, const tDevCapSink* out, const char** bad) {
    const int32_t code = DevCapKeywordCode(e.words, data);
    if (code == DEVCAP_ERROR) {
        *bad = data;
        SayError(e, out, data);
        return DEVCAP_ERROR;
    }
    DevCapStore(dev, e.offset, e.width, static_cast<uint32_t>(code));
    return 0;
}

// Cuts data in place at each comma examined; the field is rebuilt from 0 by
// every entry and keeps the bits of the elements before an unknown one.
int32_t ListTxt2Bin(const tEntry& e, char* data, tDevConf* dev, const tDevCapSink* out, const char** bad) {
    uint32_t bits = 0;
    int32_t ret = 0;
    for (char* element = data;;) {
        char* comma = strchr(element, ',');
        if (comma != nullptr) *comma = '\0';
        if (e.stop != nullptr && DevCapTextIs(element, e.stop)) break;
        const int32_t bit = DevCapKeywordCode(e.words, element);
        if (bit == DEVCAP_ERROR) {
            *bad = element;
            SayError(e, out, element);
            ret = DEVCAP_ERROR;
            break;
        }
        bits |= static_cast<uint32_t>(bit);
        if (comma == nullptr) break;
        element = comma + 1;
    }
    DevCapStore(dev, e.offset, e.width, bits);
    return ret;
}

}  // namespace

tDevCapSink DevCapFileSink(FILE* fp) { return {WriteFile, fp}; }

namespace {

// clang-tidy 14 takes a va_list parameter for an uninitialised one.
// NOLINTBEGIN(clang-analyzer-valist.Uninitialized)
void SayV(const tDevCapSink* out, const char* fmt, va_list args) {
    while (*fmt != '\0') {
        const char* pct = strchr(fmt, '%');
        const size_t plain = pct != nullptr ? static_cast<size_t>(pct - fmt) : strlen(fmt);
        if (plain > 0) out->write(out->ctx, fmt, plain);
        if (pct == nullptr) break;
        char num[16];
        const char conv = pct[1];
        fmt = pct + (conv != '\0' ? 2 : 1);
        if (conv == 's') {
            const char* s = va_arg(args, const char*);
            out->write(out->ctx, s, strlen(s));
        } else if (conv == 'd' || conv == 'u' || conv == 'X' || conv == 'c') {
            const char nf[3] = {'%', conv, '\0'};
            const int n = snprintf(num, sizeof num, nf, va_arg(args, int));
            out->write(out->ctx, num, static_cast<size_t>(n));
        } else {
            out->write(out->ctx, pct, 1);  // "%%" and anything unknown: the characters themselves
            if (conv != '%' && conv != '\0') out->write(out->ctx, pct + 1, 1);
        }
    }
}
// NOLINTEND(clang-analyzer-valist.Uninitialized)

}  // namespace

bool DevCapSay(const tDevCapSink* out, const char* fmt, ...) {
    if (out == nullptr || out->write == nullptr) return true;
    va_list args;
    va_start(args, fmt);
    SayV(out, fmt, args);
    va_end(args);
    return true;
}

namespace {

// Length of the well-formed UTF-8 sequence at s, or 0.
size_t Utf8Length(const unsigned char* s) {
    const size_t n = s[0] >= 0xF0 && s[0] <= 0xF4 ? 4 : s[0] >= 0xE0 ? 3 : s[0] >= 0xC2 && s[0] < 0xE0 ? 2 : 0;
    for (size_t i = 1; i < n; ++i) {
        if ((s[i] & 0xC0) != 0x80) return 0;
    }
    return n;
}

}  // namespace

void DevCapJsonString(const tDevCapSink* out, const char* text) {
    out->write(out->ctx, "\"", 1);
    for (const auto* c = reinterpret_cast<const unsigned char*>(text); *c != '\0';) {
        const size_t n = *c >= 0x80 ? Utf8Length(c) : 1;
        char escaped[8];
        if (*c == '"' || *c == '\\') {
            const char pair[2] = {'\\', static_cast<char>(*c)};
            out->write(out->ctx, pair, 2);
        } else if (*c < 0x20 || *c == 0x7f || n == 0) {
            snprintf(escaped, sizeof escaped, "\\u%04x", *c);
            out->write(out->ctx, escaped, 6);
        } else {
            out->write(out->ctx, reinterpret_cast<const char*>(c), n);
        }
        c += n > 0 ? n : 1;
    }
    out->write(out->ctx, "\"", 1);
}

const char* DevCapKindName(tEntryKind kind) {
    static const char* const kNames[] = {"keyword", "list", "number", "version"};
    return kind < std::size(kNames) ? kNames[kind] : "";
}

int32_t DevCapKeywordCode(tKeywordList list, std::string_view text) {
    for (size_t i = 0; i < list.count; ++i) {
        if (DevCapTextIs(text, list.words[i].text)) return static_cast<int32_t>(list.words[i].code);
    }
    return DEVCAP_ERROR;
}

int32_t DevCapEntryTxt2Bin(const tEntry& entry, char* data, tDevConf* dev, const tDevCapSink* out, const char** bad) {
    const char* ignored = nullptr;
    switch (entry.kind) {
        case ENTRY_KEYWORD:
            return KeywordTxt2Bin(entry, data, dev, out, bad != nullptr ? bad : &ignored);
        case ENTRY_LIST:
            return ListTxt2Bin(entry, data, dev, out, bad != nullptr ? bad : &ignored);
        case ENTRY_NUMBER:
            DevCapStore(dev, entry.offset, entry.width, static_cast<uint32_t>(DevCapAtoi32(data)));
            return 0;
        case ENTRY_VERSION:
            DevCapStore(dev, entry.offset, entry.width, DevCapStrtoul32(data));
            return 0;
    }
    return DEVCAP_ERROR;
}

int32_t DevCapAtoi32(const char* text) {
    bool negative = false;
    const char* s = SkipBlanksAndSign(text, &negative);
    // Saturates at the nearer 32-bit limit, as strtol does with a 32-bit long.
    const uint64_t limit = negative ? 2147483648u : 2147483647u;
    const uint64_t magnitude = ReadMagnitude(s, 10, limit);
    if (magnitude > limit) return negative ? INT32_MIN : INT32_MAX;
    return negative ? static_cast<int32_t>(-static_cast<int64_t>(magnitude)) : static_cast<int32_t>(magnitude);
}

uint32_t DevCapStrtoul32(const char* text) {
    bool negative = false;
    const char* s = SkipBlanksAndSign(text, &negative);
    unsigned base = 10;
    if (s[0] == '0' && DevCapUpper(s[1]) == 'X' && DigitValue(s[2]) < 16) {
        base = 16;
        s += 2;
    } else if (s[0] == '0') {
        base = 8;
    }
    const uint64_t magnitude = ReadMagnitude(s, base, UINT32_MAX);
    if (magnitude > UINT32_MAX) return UINT32_MAX;  // whatever the sign
    const auto value = static_cast<uint32_t>(magnitude);
    return negative ? 0u - value : value;
}
