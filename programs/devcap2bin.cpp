// devcap2bin - converts a device capability text file into the 120-byte
// binary record under BinFiles/.
#include <cstdio>

#include "libdevcap.h"

namespace {

int usage(const char* name) {
    printf("%s usage\n", name);
    printf("./%s <device capability text file>\n", name);
    return 1;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc < 2) return usage(argc > 0 && argv[0] != nullptr ? argv[0] : "devcap2bin");
    char OutputFile[DEVCAP_PATH_MAX + 1];
    if (DevCapOutputPath(argv[1], OutputFile, sizeof OutputFile, DevCapToFile, stdout) != DEVCAP_OK) return 1;
    tDevConf dev;
    if (DevCapConvertFile(argv[1], &dev, DevCapToFile, stdout) != DEVCAP_OK) return 1;
    return DevCapWriteRecord(&dev, OutputFile, DevCapToFile, stdout) == DEVCAP_OK ? 0 : 1;
}
