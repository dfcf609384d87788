// libFuzzer target: any bytes as a capability text file, through reading,
// every entry, the check and the writer. Beyond "no crash" it asserts that no
// text changes a byte that no entry writes, that the check only reads, and
// that text in memory reads exactly as the same bytes in a file, and that
// devcapdump's text of a record read from text makes that record again.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "DevCapCore.h"
#include "FuzzCheck.h"

namespace {

// The bytes some entry writes, from the entry table itself.
struct tWritten {
    bool byte[sizeof(tDevConf)];
};

tWritten WrittenBytes() {
    tWritten w{};
    const tSectionList list = DevCapSections();
    for (size_t s = 0; s < list.count; ++s) {
        for (size_t i = 0; i < list.sections[s].count; ++i) {
            const tEntry& e = list.sections[s].entries[i];
            for (size_t b = 0; b < e.width; ++b) w.byte[e.offset + b] = true;
        }
    }
    return w;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    static const tWritten written = WrittenBytes();
    tDevConf init;
    DevCapConfInit(&init);
    tDevConf dev = init;

    static char saidBuf[65536], saidMemBuf[65536];
    tDevCapBuffer said{saidBuf, sizeof saidBuf, 0}, saidMem{saidMemBuf, sizeof saidMemBuf, 0};
    const tDevCapSink out = DevCapBufferSink(&said), outMem = DevCapBufferSink(&saidMem);
    FILE* fp = fmemopen(const_cast<uint8_t*>(bytes), size, "rb");
    if (fp == nullptr) return 0;  // size 0
    tStreamText stream;
    const int32_t read = DevCapReadPieces(&dev, DevCapStreamSource(&stream, fp), "fuzz.txt", &out, nullptr);
    fclose(fp);
    FUZZ_CHECK(read == 0 || read == DEVCAP_ERROR);
    for (size_t b = 0; b < sizeof dev; ++b) {
        if (!written.byte[b]) FUZZ_CHECK(reinterpret_cast<uint8_t*>(&dev)[b] == reinterpret_cast<uint8_t*>(&init)[b]);
    }

    tDevConf mem = init;
    const int32_t readMem = DevCapTxtMem2Bin(&mem, reinterpret_cast<const char*>(bytes), size, "fuzz.txt", &outMem);
    FUZZ_CHECK(readMem == read && memcmp(&mem, &dev, sizeof dev) == 0);
    const size_t kept = said.len < sizeof saidBuf ? said.len : sizeof saidBuf - 1;
    FUZZ_CHECK(saidMem.len == said.len && memcmp(saidMemBuf, saidBuf, kept) == 0);

    const tDevConf before = dev;
    const int32_t check = DevCapDBCheck(&dev, nullptr);
    FUZZ_CHECK(check == 0 || check == DEVCAP_ERROR);
    FUZZ_CHECK(memcmp(&dev, &before, sizeof dev) == 0);
    if (read == 0 && check == 0) FUZZ_CHECK(DevCapOtuputBinFile(&dev, "/dev/null", nullptr) == 0);
    if (read != 0) return 0;
    // What a text made, devcapdump's text makes again.
    tDevCapBuffer dump{saidBuf, sizeof saidBuf, 0};
    const tDevCapSink toDump = DevCapBufferSink(&dump);
    DevCapDumpText(dev, "fuzz.bin", &toDump);
    tDevConf back = init;
    FUZZ_CHECK(dump.len < sizeof saidBuf && DevCapTxtMem2Bin(&back, saidBuf, dump.len, "dump.txt", nullptr) == 0);
    FUZZ_CHECK(memcmp(&back, &dev, sizeof dev) == 0);
    return 0;
}
