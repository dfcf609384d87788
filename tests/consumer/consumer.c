/* An out-of-tree C program on the installed libdevcap: converts a text and
 * prints the record's bytes in hexadecimal. */
#include <stdio.h>

#include "libdevcap.h"

static void Print(void* ctx, const char* text, size_t len) { fwrite(text, 1, len, (FILE*)ctx); }

int main(int argc, char* argv[]) {
    tDevConf dev;
    if (argc != 2 || DevCapConvertFile(argv[1], &dev, Print, stderr) != DEVCAP_OK) return 1;
    const unsigned char* bytes = (const unsigned char*)&dev;
    for (size_t i = 0; i < sizeof dev; ++i) printf("%02x", bytes[i]);
    printf("\n");
    return 0;
}
