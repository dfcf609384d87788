// libFuzzer target: any 120 bytes as a record through devcapdump's text and
// layout. When the dump says its text reproduces the record, reading that
// text back must give the same bytes; when it says not, it must not.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "DevCapDump.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    tDevConf dev;
    memset(&dev, 0, sizeof dev);
    memcpy(&dev, bytes, size < sizeof dev ? size : sizeof dev);

    static char text[16384];
    memset(text, 0, sizeof text);
    FILE* out = fmemopen(text, sizeof text - 1, "w");
    if (out == nullptr) abort();
    const int32_t check = DevCapDumpText(dev, "fuzz.bin", out);
    const int32_t layout = DevCapDumpLayout(dev, out);
    fclose(out);
    if (check != layout || (check != 0 && check != DEVCAP_ERROR)) abort();

    tDevConf back;
    DevCapConfInit(&back);
    const int32_t read = DevCapTxtMem2Bin(&back, text, strlen(text), "dump.txt", nullptr);
    if (read != 0) abort();  // the dump is always valid text
    const bool same = memcmp(&back, &dev, sizeof dev) == 0;
    const bool claims = strstr(text, "turns it back into the same 120 bytes") != nullptr;
    if (same != claims) abort();
    return 0;
}
