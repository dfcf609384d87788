// DevCapConv.h - the converter core: driver, entry handlers, check and the
// text routines they share. Everything here is linked from libdevcapconv;
// only main() lives outside it.
#ifndef DEVCAPCONV_H
#define DEVCAPCONV_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <string_view>

#include "DevCap.h"

// Buffer sizes of the reader and the output path, terminator included.
constexpr size_t DEVCAP_LINE_SIZE = 160;
constexpr size_t DEVCAP_NAME_SIZE = 32;
constexpr size_t DEVCAP_DATA_SIZE = 128;
constexpr size_t DEVCAP_PATH_SIZE = 256;

// ---- driver ----
void DevCapConfInit(tDevConf* dev);
int usage(const char* name);
// Writes "BinFiles/<base>.bin" into OutputFile; DEVCAP_ERROR (with a message)
// when the name would not fit DEVCAP_PATH_SIZE.
int32_t DevCapOutputName(const char* input, char (&OutputFile)[DEVCAP_PATH_SIZE]);
int32_t DevCapTxtFile2Bin(tDevConf* dev, const char* input);
// The reading loop on a stream that is already open (tests, fuzzer).
// input names the stream in messages.
int32_t DevCapTxtStream2Bin(tDevConf* dev, FILE* fp, const char* input);
bool GetDevCapConfEntry(const char* buf, char (&name)[DEVCAP_NAME_SIZE], char (&data)[DEVCAP_DATA_SIZE]);
int32_t DevCapOtuputBinFile(const tDevConf* dev, const char* output);

// ---- entry handlers, offered each entry in this order ----
int32_t CorvaneSensorBoardConf(const char* name, char* data, tDevConf* dev);
int32_t CorvaneFwConf(const char* name, char* data, tDevConf* dev);
int32_t CorvaneDNCtrl(const char* name, char* data, tDevConf* dev);
int32_t CorvaneMotion(const char* name, char* data, tDevConf* dev);
int32_t CorvaneCameraSetup(const char* name, char* data, tDevConf* dev);

// ---- consistency check ----
int32_t DevCapDBCheck(const tDevConf* dev);

// ---- text routines shared by the handlers ----
struct tKeyword {
    std::string_view text;
    uint32_t code;
};

struct tKeywordList {
    const tKeyword* words;
    size_t count;
};

template <size_t N>
constexpr tKeywordList DevCapKeywords(const tKeyword (&words)[N]) {
    return {words, N};
}

// How a handler's inner function reports a value it does not know: its own
// name, its printf format and, for formats with two %s before the value, a label.
struct tTxtError {
    const char* func;
    const char* fmt;
    const char* label;
};

// What an entry writes and how its value reads. The handlers' key tables
// carry it; tools that turn a record back into text read it from there.
enum tEntryKind : uint8_t {
    ENTRY_KEYWORD,  // one keyword of words, matched whole
    ENTRY_LIST,     // comma list of words' bits, ended by stop
    ENTRY_NUMBER,   // decimal as a 32-bit atoi reads it, low bits kept
    ENTRY_VERSION,  // as a 32-bit strtoul with base 0 reads it, low bits kept
};

struct tEntryInfo {
    std::string_view name;
    tEntryKind kind;
    uint8_t offset;  // of the field in tDevConf
    uint8_t width;   // of the field, in bytes
    tKeywordList words;
    const char* stop;  // list stop word; nullptr: none
};

// Offset and width of a tDevConf field, for tEntryInfo.
#define DEVCAP_FIELD(path) \
    static_cast<uint8_t>(offsetof(tDevConf, path)), static_cast<uint8_t>(sizeof(static_cast<tDevConf*>(nullptr)->path))

// One row of a handler's key table: the entry and the inner function that
// decodes its value into the handler's section.
template <typename Section>
struct tEntryKey {
    tEntryInfo info;
    int32_t (*txt2bin)(char* data, Section* section);
};

// The entries one handler owns, in its key table's order.
struct tEntryCatalog {
    const char* section;
    const tEntryInfo* entries;
    size_t count;
};

template <typename Row, size_t N>
constexpr std::array<tEntryInfo, N> DevCapInfosOf(const Row (&rows)[N]) {
    std::array<tEntryInfo, N> infos{};
    for (size_t i = 0; i < N; ++i) infos[i] = rows[i].info;
    return infos;
}

tEntryCatalog DevCapSensorBoardEntries();
tEntryCatalog DevCapFwConfEntries();
tEntryCatalog DevCapDNCtrlEntries();
tEntryCatalog DevCapMotionEntries();
tEntryCatalog DevCapCameraSetupEntries();
// All five, in the order the driver offers entries to their handlers.
std::array<tEntryCatalog, 5> DevCapEntryCatalogs();

// ASCII upper case; every other byte as it is (no locale).
constexpr char DevCapUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// ASCII case-insensitive, whole-string equality; nothing is trimmed. Inline,
// lengths first: every line is compared with dozens of names.
constexpr bool DevCapTextIs(std::string_view text, std::string_view keyword) {
    if (text.size() != keyword.size()) return false;
    for (size_t i = 0; i < text.size(); ++i) {
        if (DevCapUpper(text[i]) != DevCapUpper(keyword[i])) return false;
    }
    return true;
}

// Code of the keyword equal to text; DEVCAP_ERROR when there is none.
int32_t DevCapKeywordCode(tKeywordList list, std::string_view text);
// Keyword lookup that prints err with the whole value when nothing matches.
int32_t DevCapTxt2BinKeyword(tKeywordList list, const char* data, uint32_t* code, const tTxtError& err);
// Comma list: cuts data in place at each comma examined, ORs element bits into
// *bits (cleared first), ends at stop (nullptr: no stop word), prints err with
// the first unknown element.
int32_t DevCapTxt2BinList(tKeywordList elems, const char* stop, char* data, uint32_t* bits, const tTxtError& err);
// The same two routines storing into a field of any width: a keyword code
// only when it was found, list bits always (they are rebuilt from 0).
template <typename Field>
int32_t DevCapTxt2BinField(tKeywordList list, const char* data, Field* field, const tTxtError& err) {
    uint32_t code = 0;
    const int32_t ret = DevCapTxt2BinKeyword(list, data, &code, err);
    if (ret == 0) *field = static_cast<Field>(code);
    return ret;
}

template <typename Field>
int32_t DevCapTxt2BinBits(tKeywordList elems, const char* stop, char* data, Field* field, const tTxtError& err) {
    uint32_t bits = 0;
    const int32_t ret = DevCapTxt2BinList(elems, stop, data, &bits, err);
    *field = static_cast<Field>(bits);
    return ret;
}

// Runs the inner function of the key equal to name; DEVCAP_ERROR, touching
// nothing, when name is none of the keys.
template <typename Section, size_t N>
int32_t DevCapDispatch(const tEntryKey<Section> (&keys)[N], std::string_view name, char* data, Section* section) {
    for (const tEntryKey<Section>& k : keys) {
        if (DevCapTextIs(name, k.info.name)) return k.txt2bin(data, section);
    }
    return DEVCAP_ERROR;
}

// Numbers as a 32-bit C library reads them: atoi, and strtoul with base 0.
int32_t DevCapAtoi32(const char* text);
uint32_t DevCapStrtoul32(const char* text);

#endif
