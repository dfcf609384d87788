// TestRecord.h - the record's bytes as the tests expect them, written out from
// the layout table, and helpers to run code with its messages captured.
#ifndef TESTRECORD_H
#define TESTRECORD_H

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "DevCapCore.h"

using tBytes = std::array<uint8_t, 120>;

// A record straight after DevCapConfInit, a section a line: each section's
// header is its version 1 and the length of what follows it.
// clang-format off
constexpr tBytes kDefaultBytes = {
    'S', 'C', 'O', 'N', 'F', 'I', 'G', 0, 0x1f, 0, 0, 0,  // key, ConfCap, rsvd
    1, 0, 16, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // SBConf
    1, 0, 20, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // FwDevCap
    1, 0, 16, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // DNCtrlCap
    1, 0, 4, 0, 0, 0, 0, 0,  // MdCap
    1, 0, 32, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // CamCap
};
// clang-format on

// A value written little-endian into a field named by its path:
// AT(FwDevCap.IO.DIs, 3). Offsets come from the compiler, not the core's tables.
struct tPatch {
    size_t offset;
    size_t width;
    uint64_t value;
};
#define AT(path, value) \
    tPatch { offsetof(tDevConf, path), sizeof(static_cast<tDevConf*>(nullptr)->path), value }

inline tBytes Patched(tBytes bytes, const std::vector<tPatch>& patches) {
    for (const tPatch& p : patches) {
        for (size_t i = 0; i < p.width && i < 8; ++i) bytes[p.offset + i] = static_cast<uint8_t>(p.value >> (8 * i));
    }
    return bytes;
}

inline tBytes BytesOf(const tDevConf& dev) {
    tBytes bytes{};
    memcpy(bytes.data(), &dev, sizeof dev);
    return bytes;
}

inline tDevConf RecordOf(const tBytes& bytes) {
    tDevConf dev;
    memcpy(&dev, bytes.data(), sizeof dev);
    return dev;
}

inline void Append(void* ctx, const char* text, size_t len) { static_cast<std::string*>(ctx)->append(text, len); }

// Runs fn with a sink and answers what it said there.
template <typename Fn>
std::string Said(Fn fn) {
    std::string text;
    const tDevCapSink sink{Append, &text};
    fn(&sink);
    return text;
}

inline std::string Example(const char* name) {
    std::string text;
    FILE* fp = fopen((std::string(DEVCAP_EXAMPLES "/") + name).c_str(), "rb");
    for (int c; fp != nullptr && (c = fgetc(fp)) != EOF;) text.push_back(static_cast<char>(c));
    if (fp != nullptr) fclose(fp);
    return text;
}

#endif
