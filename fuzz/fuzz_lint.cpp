// libFuzzer target: any bytes through devcaplint's rules and fixes. The text
// gets an error finding if and only if the converter refuses it; fixing it
// keeps every line end where it was.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "DevCapCore.h"

namespace {

char gFixed[1 << 16];

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    const char* text = reinterpret_cast<const char*>(bytes);
    bool error = false;
    DevCapLintText(
        text, size,
        [](void* ctx, const tDevCapFinding* f) {
            if (strcmp(f->severity, "error") == 0) *static_cast<bool*>(ctx) = true;
        },
        &error);
    tDevConf dev;
    const bool refused = DevCapConvertText(text, size, "fuzz.txt", &dev, nullptr, nullptr) != DEVCAP_OK;
    if (error != refused) {
        fprintf(stderr, "lint errors %d, converter refuses %d\n", error, refused);
        abort();
    }
    const size_t len = DevCapLintFix(text, size, 0, gFixed, sizeof gFixed);
    if (len >= sizeof gFixed) return 0;
    size_t before = 0, after = 0;
    for (size_t i = 0; i < size; ++i) before += text[i] == '\n';
    for (size_t i = 0; i < len; ++i) after += gFixed[i] == '\n';
    if (before != after) abort();
    return 0;
}
