// libFuzzer target: any bytes through devcaplint's rules and fixes. The text
// gets an error finding if and only if the converter refuses it; every finding
// renders as JSON that parses; fixing keeps every line end where it was, and a
// few passes of fixes (one may uncover the next: a mended name's value is read
// only then) come to rest with nothing left to fix.
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
    size_t len = DevCapLintFix(text, size, 0, gFixed[0], sizeof gFixed[0]);
    if (len >= sizeof gFixed[0]) return 0;
    FUZZ_CHECK(std::count(text, text + size, '\n') == std::count(gFixed[0], gFixed[0] + len, '\n'));
    for (int pass = 1;; ++pass) {
        const size_t again = DevCapLintFix(gFixed[(pass - 1) % 2], len, 0, gFixed[pass % 2], sizeof gFixed[0]);
        if (again == len && memcmp(gFixed[0], gFixed[1], len) == 0) break;
        FUZZ_CHECK(pass < 4 && again < sizeof gFixed[0]);
        len = again;
    }
    FUZZ_CHECK(Lint(gFixed[0], len).fixes == 0);
    return 0;
}
