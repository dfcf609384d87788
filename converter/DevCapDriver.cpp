// DevCapDriver.cpp - the converter's driver: record defaults, output naming,
// reading and splitting the text file, offering entries to the handlers, and
// writing the record.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "DevCapConv.h"

namespace {

using tEntryHandler = int32_t (*)(const char* name, char* data, tDevConf* dev);

// Every entry is offered in this order; the first handler answering 0 owns it.
constexpr tEntryHandler kEntryHandlers[] = {
    CorvaneSensorBoardConf, CorvaneFwConf, CorvaneDNCtrl, CorvaneMotion, CorvaneCameraSetup,
};

}  // namespace

std::array<tEntryCatalog, 5> DevCapEntryCatalogs() {
    return {DevCapSensorBoardEntries(), DevCapFwConfEntries(), DevCapDNCtrlEntries(), DevCapMotionEntries(),
            DevCapCameraSetupEntries()};
}

namespace {

int32_t DevCapOfferEntry(const char* name, char* data, tDevConf* dev) {
    for (const tEntryHandler handler : kEntryHandlers) {
        if (handler(name, data, dev) == 0) return 0;
    }
    return DEVCAP_ERROR;
}

// Pushes the written bytes to the device. Special files that cannot be synced
// (a terminal, /dev/null) are not a failure.
bool SyncToDisk(FILE* fp) {
    if (fflush(fp) != 0) return false;
    return fsync(fileno(fp)) == 0 || errno == EINVAL || errno == EROFS || errno == ENOTSUP;
}

bool IsRegularFile(FILE* fp) {
    struct stat st {};
    return fstat(fileno(fp), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

void DevCapConfInit(tDevConf* dev) {
    memset(dev, 0, sizeof *dev);
    memcpy(dev->head.key, DEVCAP_KEY, sizeof dev->head.key);
    dev->head.ConfCap = DEVCAP_CONF_CAP;
    tHeadInfo* const sections[] = {&dev->SBConf.head, &dev->FwDevCap.head, &dev->DNCtrlCap.head, &dev->MdCap.head,
                                   &dev->CamCap.head};
    const uint16_t sizes[] = {sizeof dev->SBConf, sizeof dev->FwDevCap, sizeof dev->DNCtrlCap, sizeof dev->MdCap,
                              sizeof dev->CamCap};
    for (size_t i = 0; i < std::size(sections); ++i) {
        sections[i]->ver = DEVCAP_SECTION_VER;
        sections[i]->len = static_cast<uint16_t>(sizes[i] - sizeof(tHeadInfo));
    }
}

int usage(const char* name) {
    printf("%s usage\n", name);
    printf("./%s <device capability text file>\n", name);
    return 1;
}

int32_t DevCapOutputName(const char* input, char (&OutputFile)[DEVCAP_PATH_SIZE]) {
    const char* slash = strrchr(input, '/');
    const char* base = slash != nullptr ? slash + 1 : input;
    const char* dot = strrchr(base, '.');
    // Everything up to and including the last dot stays; the extension becomes "bin".
    const size_t keep = dot != nullptr ? static_cast<size_t>(dot - base) + 1 : strlen(base);
    const char* ext = dot != nullptr ? "bin" : ".bin";
    if (keep >= DEVCAP_PATH_SIZE) {
        OutputFile[0] = '\0';
    } else {
        const int n = snprintf(OutputFile, sizeof OutputFile, "BinFiles/%.*s%s", static_cast<int>(keep), base, ext);
        if (n > 0 && static_cast<size_t>(n) < sizeof OutputFile) return 0;
    }
    printf("%s:Error. output file name for %s is longer than %d characters\n", "DevCapOutputName", input,
           static_cast<int>(DEVCAP_PATH_SIZE - 1));
    return DEVCAP_ERROR;
}

bool GetDevCapConfEntry(const char* buf, char (&name)[DEVCAP_NAME_SIZE], char (&data)[DEVCAP_DATA_SIZE]) {
    // Plain loops: lines are short, and this runs once per line.
    size_t nameLen = 0;
    while (buf[nameLen] != '\0' && buf[nameLen] != '=') ++nameLen;
    if (buf[nameLen] == '\0' || nameLen >= sizeof name) return false;
    // The character after '=' is taken to be the opening quote and skipped unread.
    const char* value = buf + nameLen + (buf[nameLen + 1] == '\0' ? 1 : 2);
    size_t valueLen = 0;
    size_t quote = sizeof data;  // none
    for (; value[valueLen] != '\0'; ++valueLen) {
        if (valueLen + 1 >= sizeof data) return false;
        if (value[valueLen] == '\'') quote = valueLen;
    }
    memcpy(name, buf, nameLen);
    name[nameLen] = '\0';
    memcpy(data, value, valueLen + 1);
    // Only the last quote closes the value: NAME='it's' gives it's.
    if (quote != sizeof data) data[quote] = '\0';
    return true;
}

int32_t DevCapTxtStream2Bin(tDevConf* dev, FILE* fp, const char* input) {
    char buf[DEVCAP_LINE_SIZE];
    char name[DEVCAP_NAME_SIZE];
    char data[DEVCAP_DATA_SIZE];
    int32_t ret = 0;
    // A physical line longer than the buffer arrives in pieces, each a line of its
    // own. The stream is ours alone: no locking per line.
    while (fgets_unlocked(buf, sizeof buf, fp) != nullptr) {
        if (buf[0] == '\r' || buf[0] == '#' || buf[0] == '\n') continue;
        if (!GetDevCapConfEntry(buf, name, data)) continue;
        if (DevCapOfferEntry(name, data, dev) == 0) continue;
        if (DevCapTextIs(name, "EOF")) break;
        printf("%s:Error. Unknown configuration %s='%s' ('%s')\n", "DevCapTxtFile2Bin", name, data, buf);
        ret = DEVCAP_ERROR;
    }
    // A read error must not pass off what was read so far as the whole file.
    if (ferror(fp) != 0) {
        printf("%s:Error. read %s file\n", "DevCapTxtFile2Bin", input);
        ret = DEVCAP_ERROR;
    }
    return ret;
}

int32_t DevCapTxtFile2Bin(tDevConf* dev, const char* input) {
    FILE* fp = fopen(input, "rb");
    if (fp == nullptr) {
        printf("%s:Error. open %s file\n", "DevCapTxtFile2Bin", input);
        return DEVCAP_ERROR;
    }
    const int32_t ret = DevCapTxtStream2Bin(dev, fp, input);
    fclose(fp);
    return ret;
}

int32_t DevCapOtuputBinFile(const tDevConf* dev, const char* output) {
    FILE* fp = fopen(output, "wb+");
    if (fp == nullptr) {
        printf("%s:Error: open %s to write the device capability\n", "DevCapOtuputBinFile", output);
        return DEVCAP_ERROR;
    }
    bool written = fwrite(dev, 1, sizeof *dev, fp) == sizeof *dev && SyncToDisk(fp);
    const bool regular = IsRegularFile(fp);
    if (fclose(fp) != 0) written = false;
    if (!written) {
        // A truncated record must not be left where a build would pick it up.
        if (regular) unlink(output);
        printf("%s:Error. write %s file\n", "DevCapOtuputBinFile", output);
        return DEVCAP_ERROR;
    }
    printf("\n%s: output binary file to %s\n\n", "DevCapOtuputBinFile", output);
    return 0;
}
