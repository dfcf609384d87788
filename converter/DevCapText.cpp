// DevCapText.cpp - keyword, comma-list and number reading shared by all the
// entry handlers.
#include <cstdio>
#include <cstring>

#include "DevCapConv.h"

namespace {

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

// Magnitude of the digits at s in base, saturated at limit.
uint64_t ReadMagnitude(const char* s, unsigned base, uint64_t limit) {
    uint64_t value = 0;
    for (unsigned d = DigitValue(*s); d < base; d = DigitValue(*++s)) {
        value = value * base + d;
        if (value > limit) value = limit + 1;  // keeps reading, never wraps
    }
    return value;
}

}  // namespace

int32_t DevCapKeywordCode(tKeywordList list, std::string_view text) {
    for (size_t i = 0; i < list.count; ++i) {
        if (DevCapTextIs(text, list.words[i].text)) return static_cast<int32_t>(list.words[i].code);
    }
    return DEVCAP_ERROR;
}

static void PrintTxtError(const tTxtError& err, const char* value) {
    if (err.label != nullptr) {
        printf(err.fmt, err.func, err.label, value);
    } else {
        printf(err.fmt, err.func, value);
    }
}

int32_t DevCapTxt2BinKeyword(tKeywordList list, const char* data, uint32_t* code, const tTxtError& err) {
    const int32_t found = DevCapKeywordCode(list, data);
    if (found == DEVCAP_ERROR) {
        PrintTxtError(err, data);
        return DEVCAP_ERROR;
    }
    *code = static_cast<uint32_t>(found);
    return 0;
}

int32_t DevCapTxt2BinList(tKeywordList elems, const char* stop, char* data, uint32_t* bits, const tTxtError& err) {
    *bits = 0;
    for (char* element = data;;) {
        char* comma = strchr(element, ',');
        if (comma != nullptr) *comma = '\0';
        if (stop != nullptr && DevCapTextIs(element, stop)) return 0;
        const int32_t bit = DevCapKeywordCode(elems, element);
        if (bit == DEVCAP_ERROR) {
            PrintTxtError(err, element);
            return DEVCAP_ERROR;
        }
        *bits |= static_cast<uint32_t>(bit);
        if (comma == nullptr) return 0;
        element = comma + 1;
    }
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
