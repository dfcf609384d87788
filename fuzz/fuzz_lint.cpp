// libFuzzer target: any bytes through devcaplint's rules. The text gets an
// error finding if and only if the converter refuses it.
#include <cstdio>
#include <cstdlib>

#include "DevCapLint.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    const char* text = reinterpret_cast<const char*>(bytes);
    bool error = false;
    const tLintReport report{[](void* ctx, const tLintFinding& f) {
                                 if (f.severity == LINT_ERROR) *static_cast<bool*>(ctx) = true;
                             },
                             &error};
    if (DevCapLintMem(text, size, 0, report) < 0) abort();
    tDevConf dev;
    DevCapConfInit(&dev);
    const bool refused =
        DevCapTxtMem2Bin(&dev, text, size, "fuzz.txt", nullptr) != 0 || DevCapDBCheck(&dev, nullptr) != 0;
    if (error != refused) {
        fprintf(stderr, "lint errors %d, converter refuses %d\n", error, refused);
        abort();
    }
    return 0;
}
