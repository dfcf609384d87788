// libFuzzer target: any bytes through devcaplint's rules and fixes. An error finding exactly when the converter
// refuses the text; every finding's JSON parses; fixes keep the line ends, and one pass of them
// (one fix may uncover the next: a mended name's value is read only then) leaves nothing to fix: a second changes
// nothing.
#include <algorithm>
#include <cstring>

#include "DevCapCore.h"
#include "FuzzCheck.h"

namespace {

char gFixed[2][1 << 16];

struct tFound {
    bool error;
    size_t fixes;
};

tFound Lint(const char* text, size_t size) {
    tFound found{false, 0};
    DevCapLintText(
        text, size,
        [](void* ctx, const tDevCapFinding* f) {
            static char json[1 << 12];
            auto* found = static_cast<tFound*>(ctx);
            found->error |= strcmp(f->severity, "error") == 0;
            found->fixes += f->nedits > 0;
            const size_t len = DevCapRenderFindingJson(f, "f\"\x01\xff.txt", json, sizeof json);
            if (len < sizeof json) FUZZ_JSON(json, len);
        },
        &found);
    return found;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    const char* text = reinterpret_cast<const char*>(bytes);
    tDevConf dev;
    FUZZ_CHECK(Lint(text, size).error == (DevCapConvertText(text, size, "fuzz.txt", &dev, nullptr, nullptr) != 0));
    const size_t len = DevCapLintFix(text, size, 0, gFixed[0], sizeof gFixed[0]);
    if (len >= sizeof gFixed[0]) return 0;
    FUZZ_CHECK(std::count(text, text + size, '\n') == std::count(gFixed[0], gFixed[0] + len, '\n'));
    // One run reaches the fixed point (a fix that uncovers another applies it too), but on a line
    // that grows past what the fixer holds.
    for (const char *at = gFixed[0], *end = gFixed[0] + len; at < end;) {
        const char* nl = static_cast<const char*>(memchr(at, '\n', static_cast<size_t>(end - at)));
        const char* next = nl != nullptr ? nl + 1 : end;
        if (next - at >= static_cast<ptrdiff_t>(DEVCAP_FIX_LINE_MAX)) return 0;
        at = next;
    }
    FUZZ_CHECK(Lint(gFixed[0], len).fixes == 0);
    FUZZ_CHECK(DevCapLintFix(gFixed[0], len, 0, gFixed[1], sizeof gFixed[1]) == len &&
               memcmp(gFixed[0], gFixed[1], len) == 0);
    return 0;
}
