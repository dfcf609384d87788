// devcap2bin - converts a device capability text file into the 120-byte
// binary record under BinFiles/.
#include "DevCapConv.h"

int main(int argc, char* argv[]) {
    const tDevCapSink out = DevCapFileSink(stdout);
    if (argc < 2) return usage(argc > 0 && argv[0] != nullptr ? argv[0] : "devcap2bin", &out);
    tDevConf dev;
    DevCapConfInit(&dev);
    char OutputFile[DEVCAP_PATH_SIZE];
    if (DevCapOutputName(argv[1], OutputFile, &out) != 0) return 1;
    if (DevCapTxtFile2Bin(&dev, argv[1], &out) != 0) return 1;
    if (DevCapDBCheck(&dev, &out) != 0) return 1;
    return DevCapOtuputBinFile(&dev, OutputFile, &out) == 0 ? 0 : 1;
}
