// libFuzzer target: any 120 bytes as a record through devcapdump's text and
// layout. When the dump says its text reproduces the record, reading that
// text back must give the same bytes; when it says not, it must not.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "DevCapDump.h"

namespace {

struct tText {
    char buf[65536];
    size_t len;
};

void Collect(void* ctx, const char* bytes, size_t len) {
    auto* t = static_cast<tText*>(ctx);
    if (t->len + len >= sizeof t->buf) abort();  // every dump fits
    memcpy(t->buf + t->len, bytes, len);
    t->len += len;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    tDevConf dev;
    memset(&dev, 0, sizeof dev);
    memcpy(&dev, bytes, size < sizeof dev ? size : sizeof dev);

    static tText text;
    text.len = 0;
    const tDevCapSink out{Collect, &text};
    const int32_t check = DevCapDumpText(dev, "fuzz.bin", &out);
    const size_t textLen = text.len;
    const int32_t layout = DevCapDumpLayout(dev, &out);
    const int32_t json = DevCapDumpJson(dev, "fuzz\n\"\xff.bin", &out);
    if (check != layout || check != json || (check != 0 && check != DEVCAP_ERROR)) abort();
    text.len = textLen;
    text.buf[textLen] = '\0';

    tDevConf back;
    DevCapConfInit(&back);
    const int32_t read = DevCapTxtMem2Bin(&back, text.buf, textLen, "dump.txt", nullptr);
    if (read != 0) abort();  // the dump is always valid text
    const bool same = memcmp(&back, &dev, sizeof dev) == 0;
    const bool claims = strstr(text.buf, "turns it back into the same 120 bytes") != nullptr;
    if (same != claims) abort();
    return 0;
}
