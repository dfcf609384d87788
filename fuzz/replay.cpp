// A fuzz target as a program: runs it once on each file named, as the
// invariants test does on devcapgen's corpus; a broken property aborts.
#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size);

int main(int argc, char* argv[]) {
    static uint8_t bytes[1 << 20];
    for (int i = 1; i < argc; ++i) {
        FILE* fp = fopen(argv[i], "rb");
        if (fp == nullptr) return 2;
        const size_t size = fread(bytes, 1, sizeof bytes, fp);
        fclose(fp);
        LLVMFuzzerTestOneInput(bytes, size);
    }
    return argc > 1 ? 0 : 2;
}
