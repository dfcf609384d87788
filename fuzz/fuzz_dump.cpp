// libFuzzer target: any bytes as one or two records, through devcapdump's
// text, layout and JSON and through the comparison. When the dump says its
// text reproduces the record, reading that text back must give the same
// bytes; when it says not, it must not. A record compared with itself is the
// same; A against B and B against A list the same fields.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "DevCapCore.h"

namespace {

// The paths of the fields that differ, in order.
struct tPaths {
    const char* path[64];
    size_t n;
};

void Path(void* ctx, const tDevCapChange* c) {
    auto* p = static_cast<tPaths*>(ctx);
    if (c->path != nullptr && p->n < 64) p->path[p->n++] = c->path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    tDevConf dev, other;
    memset(&dev, 0, sizeof dev);
    memset(&other, 0, sizeof other);
    memcpy(&dev, bytes, size < sizeof dev ? size : sizeof dev);
    if (size > sizeof dev)
        memcpy(&other, bytes + sizeof dev, size - sizeof dev < sizeof other ? size - sizeof dev : sizeof other);

    static char buf[65536];
    tDevCapBuffer text{buf, sizeof buf, 0};
    const tDevCapSink out = DevCapBufferSink(&text);
    const int32_t check = DevCapDumpText(dev, "fuzz.bin", &out);
    const size_t textLen = text.len;
    const int32_t layout = DevCapDumpLayout(dev, &out);
    const int32_t json = DevCapDumpJson(dev, "fuzz\n\"\xff.bin", &out);
    if (check != layout || check != json || (check != 0 && check != DEVCAP_ERROR)) abort();
    if (text.len >= sizeof buf) abort();  // every dump fits
    buf[textLen] = '\0';

    tDevConf back;
    DevCapConfInit(&back);
    const int32_t read = DevCapTxtMem2Bin(&back, buf, textLen, "dump.txt", nullptr);
    if (read != 0) abort();  // the dump is always valid text
    const bool same = memcmp(&back, &dev, sizeof dev) == 0;
    const bool claims = strstr(buf, "turns it back into the same 120 bytes") != nullptr;
    if (same != claims) abort();

    tPaths ab{}, ba{}, self{};
    if (DevCapDiff(dev, dev, Path, &self) != 0 || self.n != 0) abort();
    const int changes = DevCapDiff(dev, other, Path, &ab);
    DevCapDiff(other, dev, Path, &ba);
    if (ab.n != ba.n || (changes == 0) != (memcmp(&dev, &other, sizeof dev) == 0)) abort();
    for (size_t i = 0; i < ab.n; ++i) {
        if (ab.path[i] != ba.path[i]) abort();
    }
    return 0;
}
