/* The floor for streaming: a plain C loop of fgets over the file, with the
 * same 160-byte buffer the converter reads into, counting lines. */
#include <stdio.h>

int main(int argc, char* argv[]) {
    if (argc < 2) return 2;
    FILE* fp = fopen(argv[1], "rb");
    if (fp == NULL) return 2;
    char buf[160];
    unsigned long lines = 0;
    while (fgets(buf, sizeof buf, fp) != NULL) lines += buf[0] != '#';
    fclose(fp);
    printf("%lu\n", lines);
    return 0;
}
