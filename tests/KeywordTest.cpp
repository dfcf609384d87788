// Every keyword's code, written out by hand from the format's description and
// not from the converter's tables: a wrong code, a dropped or an extra
// keyword, or a keyword stored into the wrong field fails here.
#include "TestRecord.h"

namespace {

struct tWord {
    const char* text;
    uint32_t code;
};

struct tKeywordRow {
    const char* entry;
    size_t offset, width;
    std::vector<tWord> words;  // for lists: each element and its bit
    const char* stop;          // list stop word, stores 0
};

#define FIELD(path) offsetof(tDevConf, path), sizeof(static_cast<tDevConf*>(nullptr)->path)

const std::vector<tWord> kCtrl = {{"NONE", 0},       {"I2C", 1},        {"UART_2400", 2},
                                  {"UART_4800", 3},  {"UART_9600", 4},  {"UART_19200", 5},
                                  {"UART_38400", 6}, {"UART_57600", 7}, {"UART_115200", 8}};
const std::vector<tWord> kVideo = {{"NONE", 0},     {"CCIR656_8", 1}, {"CCIR656_16", 2}, {"CVBS", 3},
                                   {"YC", 4},       {"YUV_16", 5},    {"RGB888_24", 6},  {"RGB565_16", 7},
                                   {"RGB565_8", 8}, {"YUB_8", 9},     {"RGB444", 10}};

// clang-format off
const tKeywordRow kRows[] = {
    {"SENSOR_ID", FIELD(SBConf.sensor.ID), {{"NONE", 0}, {"MT9M131", 1}, {"MT53S88", 2}, {"NI9065", 3}, {"SS_HQ1", 4},
        {"IT1", 5}, {"ADL_PE1005", 6}, {"MT54G15", 7}, {"IT2", 8}, {"SS4", 9}, {"TW2835", 10}, {"MT9V136", 11},
        {"ITS", 12}, {"MTV54G22", 13}, {"FCBEX1010", 14}, {"MT9P031", 15}, {"OV9715", 16}, {"OV5653", 17},
        {"MT9P004", 18}, {"MT9P006", 19}, {"MT9P111", 20}, {"MT9F002", 21}, {"IMX122", 22}, {"AR0331", 23}}, nullptr},
    {"SENSOR_CTRL", FIELD(SBConf.sensor.CtrlPath), kCtrl, nullptr},
    {"SENSOR_VIN", FIELD(SBConf.sensor.InputIF), kVideo, nullptr},
    {"SENSOR_VOUT", FIELD(SBConf.sensor.OutputIF), kVideo, nullptr},
    {"DECODER_ID", FIELD(SBConf.decoder.ID), {{"NONE", 0}, {"ADV7180", 1}, {"VX1129", 2}, {"TW2835", 3}}, nullptr},
    {"DECODER_CTRL", FIELD(SBConf.decoder.CtrlPath), kCtrl, nullptr},
    {"DECODER_VIN", FIELD(SBConf.decoder.InputIF), kVideo, nullptr},
    {"DECODER_VOUT", FIELD(SBConf.decoder.OutputIF), kVideo, nullptr},
    {"PROCESSOR_ID", FIELD(SBConf.processor.ID), {{"NONE", 0}, {"DT_018054", 1}, {"COBRA", 2}}, nullptr},
    {"PROCESSOR_CTRL", FIELD(SBConf.processor.CtrlPath), kCtrl, nullptr},
    {"PROCESSOR_VIN", FIELD(SBConf.processor.InputIF), kVideo, nullptr},
    {"PROCESSOR_VOUT", FIELD(SBConf.processor.OutputIF), kVideo, nullptr},
    {"ENCODER_ID", FIELD(SBConf.encoder.ID), {{"NONE", 0}, {"ADV7179", 1}, {"CH_7026", 2}}, nullptr},
    {"ENCODER_CTRL", FIELD(SBConf.encoder.CtrlPath), kCtrl, nullptr},
    {"ENCODER_VIN", FIELD(SBConf.encoder.InputIF), kVideo, nullptr},
    {"ENCODER_VOUT", FIELD(SBConf.encoder.OutputIF), kVideo, nullptr},
    {"FWCAP_UNIT_TYPE", FIELD(FwDevCap.type), {{"Video Server", 0}, {"Quad Server", 1}, {"Rackmount", 2},
        {"IP Camera", 3}, {"IP Dome", 4}, {"IP Speed Dome", 5}, {"Video Decoder", 6}, {"IP Cube Camera", 7},
        {"IP PTZ Camera", 8}, {"IP Device", 9}, {"Mega IP Camera", 10}, {"Mega IP Dome", 11},
        {"Mega IP Cube Camera", 12}, {"Mega IP PTZ Camera", 13}, {"Hemispheric Camera", 14}, {"ePTZ Camera", 15}}, nullptr},
    {"FWCAP_PLATFORM", FIELD(FwDevCap.platform), {{"W", 0x57}, {"A", 0x41}, {"T", 0x54}, {"K", 0x4B}}, nullptr},
    {"FWCAP_AUDIO_TYPE", FIELD(FwDevCap.AudioType), {{"0", 0}, {"1", 1}, {"2", 2}}, nullptr},
    {"FWCAP_AUDIO_CAP", FIELD(FwDevCap.AudioCap), {{"NONE", 0}, {"PCM", 1}, {"PCM,G711A,G711U", 7}, {"G711A,G711U,PCM", 7}}, nullptr},
    {"FWCAP_MISC_IO", FIELD(FwDevCap.IO.MiscIO), {{"DCIRIS", 1}, {"8051THX", 2}, {"PIRIS", 4}, {"PIRIS_OPT", 8}}, "NONE"},
    {"STORAGE_IF", FIELD(FwDevCap.storage.interface), {{"None", 0}, {"USB_TO_SATA", 1}}, nullptr},
    {"STORAGE_TYPE", FIELD(FwDevCap.storage.type), {{"None", 0}, {"SD", 2}, {"HD", 1}}, nullptr},
    {"PT_ENABLED", FIELD(FwDevCap.PtzCap.PTEnable), {{"0", 0}, {"1", 1}}, nullptr},
    {"ZOOM_CAP", FIELD(FwDevCap.PtzCap.ZoomCap), {{"OPTICAL", 1}, {"DIGITAL", 2}}, "None"},
    {"ZOOM_LENS", FIELD(FwDevCap.PtzCap.ZoomLens), {{"None", 0}, {"10x", 1}, {"22x", 2}, {"2.7x", 3}, {"35x", 4},
        {"36x", 5}, {"18x", 6}, {"4x", 7}, {"3.6x", 8}, {"12x", 9}, {"26x", 10}}, nullptr},
    {"DN_SRC", FIELD(DNCtrlCap.DNSrc), {{"DSP", 1}, {"CDS", 2}}, "None"},
    {"DN_SRC_DEFAULT", FIELD(DNCtrlCap.DNSrcDefault), {{"None", 0}, {"DSP", 1}, {"CDS", 2}}, nullptr},
    {"DN_CTRL_IO", FIELD(DNCtrlCap.DNCtrlElement), {{"IRLED", 1}, {"CUT_FILTER", 2}}, "None"},
    {"MD_SRC", FIELD(MdCap.MdSrc), {{"ENCODER", 1}, {"MD_SENSOR", 2}}, nullptr},
    {"CAMERA_FNUM", FIELD(CamCap.F_Num), {{"None", 0}, {"F22", 1}, {"F19", 2}, {"F16", 3}, {"F14", 4}, {"F11", 5},
        {"F9.6", 6}, {"F8.0", 7}, {"F6.8", 8}, {"F5.6", 9}, {"F4.8", 10}, {"F4.0", 11}, {"F3.4", 12}, {"F2.8", 13},
        {"F2.4", 14}, {"F2.0", 15}, {"F1.8", 16}, {"F1.6", 17}, {"F1.4", 18}, {"F1.0", 19}}, nullptr},
};
// clang-format on

// The field's value after the reader converts one line of text.
uint64_t Converted(const std::string& line, const tKeywordRow& row, int32_t* ret) {
    tDevConf dev;
    DevCapConfInit(&dev);
    memset(reinterpret_cast<uint8_t*>(&dev) + row.offset, 0xEE, row.width);  // a store must overwrite this
    *ret = DevCapTxtMem2Bin(&dev, line.data(), line.size(), "kw.txt", nullptr);
    uint64_t value = 0;
    for (size_t i = row.width; i-- > 0;) value = value << 8 | reinterpret_cast<uint8_t*>(&dev)[row.offset + i];
    return value;
}

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return s;
}

}  // namespace

TEST(Keywords, EveryKeywordStoresItsCode) {
    size_t entries = 0;
    for (const tKeywordRow& row : kRows) {
        for (const tWord& w : row.words) {
            for (const std::string& text : {std::string(w.text), Lower(w.text)}) {
                int32_t ret = 0;
                const std::string line = std::string(row.entry) + "='" + text + "'\n";
                EXPECT_EQ(Converted(line, row, &ret), w.code) << line;
                EXPECT_EQ(ret, 0) << line;
            }
        }
        if (row.stop != nullptr) {
            int32_t ret = 0;
            const std::string line = std::string(row.entry) + "='" + row.stop + "'\n";
            EXPECT_EQ(Converted(line, row, &ret), 0u) << line;
        }
        // No keyword beyond the ones written out here.
        const tEntry* e = DevCapFindEntry(row.entry);
        ASSERT_NE(e, nullptr) << row.entry;
        EXPECT_EQ(e->words.count, row.words.size()) << row.entry;
        ++entries;
    }
    size_t keywordEntries = 0;
    const tSectionList sections = DevCapSections();
    for (size_t s = 0; s < sections.count; ++s) {
        for (size_t i = 0; i < sections.sections[s].count; ++i)
            keywordEntries += sections.sections[s].entries[i].words.count > 0;
    }
    EXPECT_EQ(keywordEntries, entries);
}
