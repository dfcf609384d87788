// libFuzzer target: any bytes as a capability text file, through reading,
// every handler, the check and serialisation. Beyond "no crash" it asserts
// what no text may change.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "DevCapConv.h"

#define FUZZ_CHECK(cond)                                                          \
    do {                                                                          \
        if (!(cond)) {                                                            \
            fprintf(stderr, "invariant broken: %s (line %d)\n", #cond, __LINE__); \
            abort();                                                              \
        }                                                                         \
    } while (0)

namespace {

bool SameBytes(const void* a, const void* b, size_t n) { return memcmp(a, b, n) == 0; }

// Everything a text entry must never write: key, ConfCap, every section length
// and version (but the firmware version), and every reserved byte.
void CheckUntouched(const tDevConf& dev, const tDevConf& init) {
    FUZZ_CHECK(SameBytes(&dev.head, &init.head, sizeof dev.head));
    FUZZ_CHECK(SameBytes(&dev.SBConf.head, &init.SBConf.head, sizeof(tHeadInfo)));
    FUZZ_CHECK(dev.FwDevCap.head.len == init.FwDevCap.head.len);
    FUZZ_CHECK(SameBytes(&dev.DNCtrlCap.head, &init.DNCtrlCap.head, sizeof(tHeadInfo)));
    FUZZ_CHECK(SameBytes(&dev.MdCap.head, &init.MdCap.head, sizeof(tHeadInfo)));
    FUZZ_CHECK(SameBytes(&dev.CamCap.head, &init.CamCap.head, sizeof(tHeadInfo)));
    FUZZ_CHECK(SameBytes(dev.FwDevCap.storage.rsvd, init.FwDevCap.storage.rsvd, 2));
    FUZZ_CHECK(dev.FwDevCap.PtzCap.PtzImageMajor == 0 && dev.FwDevCap.PtzCap.PtzImageMinor == 0);
    FUZZ_CHECK(SameBytes(dev.FwDevCap.PtzCap.rsvd, init.FwDevCap.PtzCap.rsvd, 3));
    FUZZ_CHECK(SameBytes(dev.DNCtrlCap.Rsvd, init.DNCtrlCap.Rsvd, 2));
    FUZZ_CHECK(SameBytes(dev.CamCap.Rsvd, init.CamCap.Rsvd, sizeof dev.CamCap.Rsvd));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The converter reports on stdout; keep the fuzzer's console readable.
    if (freopen("/dev/null", "w", stdout) == nullptr) abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    tDevConf init;
    DevCapConfInit(&init);
    tDevConf dev = init;

    FILE* fp = fmemopen(const_cast<uint8_t*>(bytes), size, "rb");
    if (fp == nullptr) return 0;  // size 0
    const int32_t read = DevCapTxtStream2Bin(&dev, fp, "fuzz.txt");
    fclose(fp);
    FUZZ_CHECK(read == 0 || read == DEVCAP_ERROR);
    CheckUntouched(dev, init);

    const tDevConf before = dev;
    const int32_t check = DevCapDBCheck(&dev);
    FUZZ_CHECK(check == 0 || check == DEVCAP_ERROR);
    FUZZ_CHECK(SameBytes(&dev, &before, sizeof dev));
    if (read == 0 && check == 0) FUZZ_CHECK(DevCapOtuputBinFile(&dev, "/dev/null") == 0);

    // The same bytes as a path argument: the output name never overruns.
    char path[512];
    const size_t n = size < sizeof path - 1 ? size : sizeof path - 1;
    memcpy(path, bytes, n);
    path[n] = '\0';
    char OutputFile[DEVCAP_PATH_SIZE];
    if (DevCapOutputName(path, OutputFile) == 0) FUZZ_CHECK(strncmp(OutputFile, "BinFiles/", 9) == 0);
    return 0;
}
