// An out-of-tree C++ program on the installed libdevcap: the same as the C one.
#include <cstdio>

#include "libdevcap.h"

int main(int argc, char* argv[]) {
    tDevConf dev;
    if (argc != 2 || DevCapConvertFile(argv[1], &dev, nullptr, nullptr) != DEVCAP_OK) return 1;
    for (size_t i = 0; i < sizeof dev; ++i) std::printf("%02x", reinterpret_cast<const unsigned char*>(&dev)[i]);
    std::printf("\n");
    return 0;
}
