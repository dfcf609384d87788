// DevCapSink.cpp - where text goes: printf onto a sink, a stream or a
// caller's buffer as a sink, and JSON strings.
#include <cstdarg>
#include <cstring>

#include "DevCapCore.h"

namespace {

void WriteFile(void* ctx, const char* text, size_t len) { fwrite_unlocked(text, 1, len, static_cast<FILE*>(ctx)); }

void Append(void* ctx, const char* text, size_t len) {
    auto* b = static_cast<tDevCapBuffer*>(ctx);
    if (b->size > 0 && b->len < b->size - 1) {
        const size_t room = b->size - 1 - b->len;
        memcpy(b->buf + b->len, text, len < room ? len : room);
    }
    b->len += len;
}

void Pad(const tDevCapSink* out, size_t n) {
    static const char kBlanks[] = "                                ";
    for (; n > 0; n -= n < 32 ? n : 32) out->write(out->ctx, kBlanks, n < 32 ? n : 32);
}

int Digits(const char** at) {
    int n = 0;
    for (; **at >= '0' && **at <= '9'; ++*at) n = n * 10 + (**at - '0');
    return n;
}

// One conversion: its flags, width and precision are handed to snprintf for
// numbers; strings are written here, so that they need no buffer.
// clang-tidy 14 takes a va_list parameter for an uninitialised one.
// NOLINTBEGIN(clang-analyzer-valist.Uninitialized)
const char* Convert(const tDevCapSink* out, const char* pct, va_list* args) {
    const char* at = pct + 1;
    at += strspn(at, "-+ #0");
    int width = -1, precision = -1;
    if (*at == '*') {
        width = va_arg(*args, int);
        ++at;
    } else if (*at >= '0' && *at <= '9') {
        width = Digits(&at);
    }
    if (*at == '.') {
        ++at;
        if (*at == '*') {
            precision = va_arg(*args, int);
            ++at;
        } else {
            precision = Digits(&at);
        }
    }
    const char size = (*at == 'l' || *at == 'z') ? *at++ : '\0';
    const char conv = *at;
    if (conv == '\0') {
        out->write(out->ctx, pct, static_cast<size_t>(at - pct));
        return at;
    }
    if (conv == 's') {
        const char* s = va_arg(*args, const char*);
        const size_t len = precision >= 0 ? strnlen(s, static_cast<size_t>(precision)) : strlen(s);
        const bool left = memchr(pct, '-', static_cast<size_t>(at - pct)) != nullptr;
        const size_t pad = width > 0 && static_cast<size_t>(width) > len ? static_cast<size_t>(width) - len : 0;
        if (!left) Pad(out, pad);
        out->write(out->ctx, s, len);
        if (left) Pad(out, pad);
        return at + 1;
    }
    if (strchr("diuxXc", conv) == nullptr) {  // "%%" and anything unknown: the characters themselves
        out->write(out->ctx, conv == '%' ? "%" : pct, conv == '%' ? 1 : static_cast<size_t>(at + 1 - pct));
        return at + 1;
    }
    // A plain decimal, by far the most common conversion (line numbers in
    // every finding): its digits written here, without the two snprintf calls below.
    if ((conv == 'd' || conv == 'u') && at == pct + 1 + (size != '\0' ? 1 : 0)) {
        unsigned long magnitude = 0;
        bool negative = false;
        if (conv == 'u') {
            magnitude = size != '\0' ? va_arg(*args, unsigned long) : va_arg(*args, unsigned);
        } else {
            const long n = size != '\0' ? va_arg(*args, long) : va_arg(*args, int);
            negative = n < 0;
            magnitude = negative ? 0ul - static_cast<unsigned long>(n) : static_cast<unsigned long>(n);
        }
        char digits[24];
        char* first = digits + sizeof digits;
        do {
            *--first = static_cast<char>('0' + magnitude % 10);
            magnitude /= 10;
        } while (magnitude != 0);
        if (negative) *--first = '-';
        out->write(out->ctx, first, static_cast<size_t>(digits + sizeof digits - first));
        return at + 1;
    }
    // The conversion with its stars replaced by their numbers: one argument.
    char conversion[40];
    const int flags = static_cast<int>(strspn(pct + 1, "-+ #0"));
    char sized[3] = {size, conv, '\0'};
    snprintf(conversion, sizeof conversion, "%%%.*s%.0d%s%.0d%s", flags, pct + 1, width > 0 ? width : 0,
             precision >= 0 ? "." : "", precision > 0 ? precision : 0, size != '\0' ? sized : sized + 1);
    char num[64];
    // size_t and long have one size and one way of being passed on every
    // target this library is built for.
    int len = 0;
    if (size != '\0') {  // NOLINT(bugprone-branch-clone): the two read arguments of different types
        len = snprintf(num, sizeof num, conversion, va_arg(*args, long));
    } else {
        len = snprintf(num, sizeof num, conversion, va_arg(*args, int));
    }
    if (len > 0)
        out->write(out->ctx, num, static_cast<size_t>(len) < sizeof num ? static_cast<size_t>(len) : sizeof num - 1);
    return at + 1;
}
// NOLINTEND(clang-analyzer-valist.Uninitialized)

// Length of the well-formed UTF-8 sequence at s (of at most n bytes), or 0:
// no overlong forms, no surrogates, nothing past U+10FFFF.
size_t Utf8Length(const unsigned char* s, size_t n) {
    const size_t len = s[0] >= 0xC2 && s[0] <= 0xDF   ? 2
                       : s[0] >= 0xE0 && s[0] <= 0xEF ? 3
                       : s[0] >= 0xF0 && s[0] <= 0xF4 ? 4
                                                      : 0;
    if (len == 0 || len > n) return 0;
    // The second byte's range narrows after E0, ED, F0 and F4.
    const unsigned char low = s[0] == 0xE0 ? 0xA0 : s[0] == 0xF0 ? 0x90 : 0x80;
    const unsigned char high = s[0] == 0xED ? 0x9F : s[0] == 0xF4 ? 0x8F : 0xBF;
    if (s[1] < low || s[1] > high) return 0;
    for (size_t i = 2; i < len; ++i) {
        if ((s[i] & 0xC0) != 0x80) return 0;
    }
    return len;
}

}  // namespace

tDevCapSink DevCapFileSink(FILE* fp) { return {WriteFile, fp}; }

bool DevCapSay(const tDevCapSink* out, const char* fmt, ...) {
    if (out == nullptr || out->write == nullptr) return true;
    va_list args;
    va_start(args, fmt);
    while (*fmt != '\0') {
        const char* pct = strchr(fmt, '%');
        const size_t plain = pct != nullptr ? static_cast<size_t>(pct - fmt) : strlen(fmt);
        if (plain > 0) out->write(out->ctx, fmt, plain);
        if (pct == nullptr) break;
        fmt = Convert(out, pct, &args);
    }
    va_end(args);
    return true;
}

tDevCapSink DevCapBufferSink(tDevCapBuffer* b) { return {Append, b}; }

size_t DevCapBufferEnd(tDevCapBuffer* b) {
    if (b->size > 0) b->buf[b->len < b->size ? b->len : b->size - 1] = '\0';
    return b->len;
}

void DevCapJsonString(const tDevCapSink* out, std::string_view text) {
    out->write(out->ctx, "\"", 1);
    const auto* c = reinterpret_cast<const unsigned char*>(text.data());
    for (const auto* end = c + text.size(); c < end;) {
        const size_t n = *c >= 0x80 ? Utf8Length(c, static_cast<size_t>(end - c)) : 1;
        if (*c == '"' || *c == '\\') {
            const char pair[2] = {'\\', static_cast<char>(*c)};
            out->write(out->ctx, pair, 2);
        } else if (*c < 0x20 || *c == 0x7f || n == 0) {
            char escaped[8];
            snprintf(escaped, sizeof escaped, "\\u%04x", *c);
            out->write(out->ctx, escaped, 6);
        } else {
            out->write(out->ctx, reinterpret_cast<const char*>(c), n);
        }
        c += n > 0 ? n : 1;
    }
    out->write(out->ctx, "\"", 1);
}
