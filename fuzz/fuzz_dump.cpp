// libFuzzer target: any bytes as one or two records, through devcapdump's text, layout and JSON and through
// the comparison. The dump's text reads back into the same bytes exactly when it says so; a record compared
// with itself is the same; A against B lists exactly the fields whose bytes differ, as B against A does;
// every JSON rendering parses.
#include <cstring>

#include "DevCapCore.h"
#include "FuzzCheck.h"

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

char gBuf[65536];

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    tDevConf dev, other;
    memset(&dev, 0, sizeof dev);
    memset(&other, 0, sizeof other);
    memcpy(&dev, bytes, size < sizeof dev ? size : sizeof dev);
    if (size > sizeof dev)
        memcpy(&other, bytes + sizeof dev, size - sizeof dev < sizeof other ? size - sizeof dev : sizeof other);

    tDevCapBuffer text{gBuf, sizeof gBuf, 0};
    const tDevCapSink out = DevCapBufferSink(&text);
    const int32_t check = DevCapDumpText(dev, "fuzz.bin", &out);
    const size_t textLen = text.len;
    const int32_t layout = DevCapDumpLayout(dev, &out);
    FUZZ_CHECK(check == layout && (check == 0 || check == DEVCAP_ERROR));
    text.len = textLen;
    FUZZ_CHECK(DevCapDumpJson(dev, "fuzz\n\"\xff.bin", &out) == check && text.len < sizeof gBuf);  // every dump fits
    FUZZ_JSON(gBuf + textLen, text.len - textLen);
    text.len = textLen;
    DevCapDiffJson(dev, other, "a\x01", "b\"", &out);
    FUZZ_JSON(gBuf + textLen, text.len - textLen);
    gBuf[textLen] = '\0';

    tDevConf back;
    DevCapConfInit(&back);
    FUZZ_CHECK(DevCapTxtMem2Bin(&back, gBuf, textLen, "dump.txt", nullptr) == 0);  // the dump is always valid text
    const bool same = memcmp(&back, &dev, sizeof dev) == 0;
    FUZZ_CHECK(same == (strstr(gBuf, "back into the same 120 bytes") != nullptr));
    FUZZ_CHECK(!same || (check == 0) == (strstr(gBuf, "turns it back") != nullptr));

    tPaths ab{}, ba{}, self{}, differ{};
    FUZZ_CHECK(DevCapDiff(dev, dev, Path, &self) == 0 && self.n == 0);
    const int changes = DevCapDiff(dev, other, Path, &ab);
    DevCapDiff(other, dev, Path, &ba);
    for (size_t i = 0; i < DevCapFieldCount(); ++i) {
        tDevCapFieldInfo f;
        DevCapFieldInfo(i, &f);
        const auto* a = reinterpret_cast<const uint8_t*>(&dev) + f.offset;
        if (memcmp(a, reinterpret_cast<const uint8_t*>(&other) + f.offset, f.width) != 0)
            differ.path[differ.n++] = f.path;
    }
    FUZZ_CHECK((changes == 0) == (memcmp(&dev, &other, sizeof dev) == 0));
    FUZZ_CHECK(ab.n == differ.n && ba.n == differ.n);
    for (size_t i = 0; i < ab.n; ++i)
        FUZZ_CHECK(strcmp(ab.path[i], differ.path[i]) == 0 && strcmp(ba.path[i], differ.path[i]) == 0);
    return 0;
}
