// The converter's core: defaults, every keyword's code, the handlers' lines,
// numbers, output names, the line splitter and the reading loop. Expected
// values are written out from the format's description, not from the tables.
#include "TestRecord.h"

namespace {

#define FIELD(path) offsetof(tDevConf, path), sizeof(static_cast<tDevConf*>(nullptr)->path)

// The field's value after the reader converts one line, on a record whose
// field holds 0xEE bytes that a store must overwrite.
uint64_t Converted(const std::string& line, size_t offset, size_t width, int32_t* ret) {
    tDevConf dev;
    DevCapConfInit(&dev);
    memset(reinterpret_cast<uint8_t*>(&dev) + offset, 0xEE, width);
    *ret = DevCapTxtMem2Bin(&dev, line.data(), line.size(), "kw.txt", nullptr);
    uint64_t value = 0;
    for (size_t i = width; i-- > 0;) value = value << 8 | reinterpret_cast<uint8_t*>(&dev)[offset + i];
    return value;
}

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return s;
}

}  // namespace

// Every keyword list, one line each: the words in code order from 0 ('C'),
// as bits 1, 2, 4, 8 ('B'), or as their own upper-case letter ('L'); "-"
// stands for a code no word gives. A wrong code, a dropped or an extra
// keyword, or a store into the wrong field fails here.
TEST(Keywords, EveryKeywordStoresItsCode) {
    const struct {
        const char* entry;
        size_t offset, width;
        char codes;
        const char* words;  // separated by '|'
        const char* stop;
    } rows[] = {
        // clang-format off
        {"SENSOR_ID", FIELD(SBConf.sensor.ID), 'C', "NONE|MT9M131|MT53S88|NI9065|SS_HQ1|IT1|ADL_PE1005|MT54G15|IT2|SS4|TW2835|MT9V136|ITS|MTV54G22|FCBEX1010|MT9P031|OV9715|OV5653|MT9P004|MT9P006|MT9P111|MT9F002|IMX122|AR0331", nullptr},
        {"DECODER_ID", FIELD(SBConf.decoder.ID), 'C', "NONE|ADV7180|VX1129|TW2835", nullptr},
        {"PROCESSOR_ID", FIELD(SBConf.processor.ID), 'C', "NONE|DT_018054|COBRA", nullptr},
        {"ENCODER_ID", FIELD(SBConf.encoder.ID), 'C', "NONE|ADV7179|CH_7026", nullptr},
        {"SENSOR_CTRL", FIELD(SBConf.sensor.CtrlPath), 'C', "NONE|I2C|UART_2400|UART_4800|UART_9600|UART_19200|UART_38400|UART_57600|UART_115200", nullptr},
        {"DECODER_CTRL", FIELD(SBConf.decoder.CtrlPath), 'C', "NONE|I2C|UART_2400|UART_4800|UART_9600|UART_19200|UART_38400|UART_57600|UART_115200", nullptr},
        {"PROCESSOR_CTRL", FIELD(SBConf.processor.CtrlPath), 'C', "NONE|I2C|UART_2400|UART_4800|UART_9600|UART_19200|UART_38400|UART_57600|UART_115200", nullptr},
        {"ENCODER_CTRL", FIELD(SBConf.encoder.CtrlPath), 'C', "NONE|I2C|UART_2400|UART_4800|UART_9600|UART_19200|UART_38400|UART_57600|UART_115200", nullptr},
        {"SENSOR_VIN", FIELD(SBConf.sensor.InputIF), 'C', "NONE|CCIR656_8|CCIR656_16|CVBS|YC|YUV_16|RGB888_24|RGB565_16|RGB565_8|YUB_8|RGB444", nullptr},
        {"SENSOR_VOUT", FIELD(SBConf.sensor.OutputIF), 'C', "NONE|CCIR656_8|CCIR656_16|CVBS|YC|YUV_16|RGB888_24|RGB565_16|RGB565_8|YUB_8|RGB444", nullptr},
        {"DECODER_VIN", FIELD(SBConf.decoder.InputIF), 'C', "NONE|CCIR656_8|CCIR656_16|CVBS|YC|YUV_16|RGB888_24|RGB565_16|RGB565_8|YUB_8|RGB444", nullptr},
        {"DECODER_VOUT", FIELD(SBConf.decoder.OutputIF), 'C', "NONE|CCIR656_8|CCIR656_16|CVBS|YC|YUV_16|RGB888_24|RGB565_16|RGB565_8|YUB_8|RGB444", nullptr},
        {"PROCESSOR_VIN", FIELD(SBConf.processor.InputIF), 'C', "NONE|CCIR656_8|CCIR656_16|CVBS|YC|YUV_16|RGB888_24|RGB565_16|RGB565_8|YUB_8|RGB444", nullptr},
        {"PROCESSOR_VOUT", FIELD(SBConf.processor.OutputIF), 'C', "NONE|CCIR656_8|CCIR656_16|CVBS|YC|YUV_16|RGB888_24|RGB565_16|RGB565_8|YUB_8|RGB444", nullptr},
        {"ENCODER_VIN", FIELD(SBConf.encoder.InputIF), 'C', "NONE|CCIR656_8|CCIR656_16|CVBS|YC|YUV_16|RGB888_24|RGB565_16|RGB565_8|YUB_8|RGB444", nullptr},
        {"ENCODER_VOUT", FIELD(SBConf.encoder.OutputIF), 'C', "NONE|CCIR656_8|CCIR656_16|CVBS|YC|YUV_16|RGB888_24|RGB565_16|RGB565_8|YUB_8|RGB444", nullptr},
        {"FWCAP_UNIT_TYPE", FIELD(FwDevCap.type), 'C', "Video Server|Quad Server|Rackmount|IP Camera|IP Dome|IP Speed Dome|Video Decoder|IP Cube Camera|IP PTZ Camera|IP Device|Mega IP Camera|Mega IP Dome|Mega IP Cube Camera|Mega IP PTZ Camera|Hemispheric Camera|ePTZ Camera", nullptr},
        {"FWCAP_PLATFORM", FIELD(FwDevCap.platform), 'L', "W|A|T|K", nullptr},
        {"FWCAP_AUDIO_TYPE", FIELD(FwDevCap.AudioType), 'C', "0|1|2", nullptr},
        {"FWCAP_AUDIO_CAP", FIELD(FwDevCap.AudioCap), 'C', "NONE|PCM|-|-|-|-|-|PCM,G711A,G711U", nullptr},
        {"FWCAP_MISC_IO", FIELD(FwDevCap.IO.MiscIO), 'B', "DCIRIS|8051THX|PIRIS|PIRIS_OPT", "NONE"},
        {"STORAGE_IF", FIELD(FwDevCap.storage.interface), 'C', "None|USB_TO_SATA", nullptr},
        {"STORAGE_TYPE", FIELD(FwDevCap.storage.type), 'C', "None|HD|SD", nullptr},
        {"PT_ENABLED", FIELD(FwDevCap.PtzCap.PTEnable), 'C', "0|1", nullptr},
        {"ZOOM_CAP", FIELD(FwDevCap.PtzCap.ZoomCap), 'B', "OPTICAL|DIGITAL", "None"},
        {"ZOOM_LENS", FIELD(FwDevCap.PtzCap.ZoomLens), 'C', "None|10x|22x|2.7x|35x|36x|18x|4x|3.6x|12x|26x", nullptr},
        {"DN_SRC", FIELD(DNCtrlCap.DNSrc), 'B', "DSP|CDS", "None"},
        {"DN_SRC_DEFAULT", FIELD(DNCtrlCap.DNSrcDefault), 'C', "None|DSP|CDS", nullptr},
        {"DN_CTRL_IO", FIELD(DNCtrlCap.DNCtrlElement), 'B', "IRLED|CUT_FILTER", "None"},
        {"MD_SRC", FIELD(MdCap.MdSrc), 'B', "ENCODER|MD_SENSOR", nullptr},
        {"CAMERA_FNUM", FIELD(CamCap.F_Num), 'C', "None|F22|F19|F16|F14|F11|F9.6|F8.0|F6.8|F5.6|F4.8|F4.0|F3.4|F2.8|F2.4|F2.0|F1.8|F1.6|F1.4|F1.0", nullptr},
        {"FWCAP_AUDIO_CAP", FIELD(FwDevCap.AudioCap), 'C', "-|-|-|-|-|-|-|G711A,G711U,PCM", nullptr},  // the other order
        // clang-format on
    };
    size_t keywords = 0;
    for (const auto& row : rows) {
        std::string words(row.words);
        uint32_t code = 0;
        for (size_t start = 0; start <= words.size(); ++code) {
            const size_t bar = std::min(words.find('|', start), words.size());
            const std::string word = words.substr(start, bar - start);
            start = bar + 1;
            if (word == "-") continue;
            const uint32_t want = row.codes == 'B' ? 1u << code : row.codes == 'L' ? uint32_t(word[0]) : code;
            for (const std::string& text : {word, Lower(word)}) {
                int32_t ret = 0;
                EXPECT_EQ(Converted(std::string(row.entry) + "='" + text + "'\n", row.offset, row.width, &ret), want)
                    << row.entry << "='" << text << "'";
                EXPECT_EQ(ret, 0) << row.entry << "='" << text << "'";
            }
            // One byte off, or one more, is no keyword: '#' is in none.
            for (const std::string& text : {word.substr(0, word.size() - 1) + "#", word + "#", "#" + word}) {
                int32_t ret = 0;
                Converted(std::string(row.entry) + "='" + text + "'\n", row.offset, row.width, &ret);
                EXPECT_NE(ret, 0) << row.entry << "='" << text << "'";
            }
            ++keywords;
        }
        if (row.stop != nullptr) {
            int32_t ret = 0;
            EXPECT_EQ(Converted(std::string(row.entry) + "='" + row.stop + "'\n", row.offset, row.width, &ret), 0u);
        }
    }
    // No keyword beyond the ones written out here.
    size_t tables = 0;
    for (size_t i = 0; const tEntry* e = DevCapEntryNumber(i, nullptr); ++i) tables += e->words.count;
    EXPECT_EQ(tables, keywords);
}

// A name one byte off, or a byte longer or shorter, owns nothing, with a
// value its entry would take: the name index reads only some of a name.
TEST(Handler, NamesMatchWhole) {
    for (size_t i = 0; const tEntry* e = DevCapEntryNumber(i, nullptr); ++i) {
        const std::string name(e->name), value = e->words.count > 0 ? std::string(e->words.words[0].text) : "1";
        std::vector<std::string> wrong{name + "@", name.substr(0, name.size() - 1)};
        for (size_t at = 0; at < name.size(); ++at) wrong.push_back(name.substr(0, at) + "@" + name.substr(at + 1));
        for (const std::string& text : wrong) {
            int32_t ret = 0;
            Converted(text + "='" + value + "'\n", 0, 1, &ret);
            EXPECT_NE(ret, 0) << text;
        }
    }
}

// The five handlers through their API on a fresh record: stored bytes,
// answer and printed line (every message and label once).
TEST(Handler, Entries) {
    constexpr int32_t E = DEVCAP_ERROR;
    constexpr tEntryHandler SB = CorvaneSensorBoardConf, FW = CorvaneFwConf, DN = CorvaneDNCtrl, MD = CorvaneMotion,
                            CAM = CorvaneCameraSetup;
    const struct {
        tEntryHandler handler;
        const char* name;
        const char* value;
        int32_t answer;
        std::vector<tPatch> bytes;  // what changes in the record
        const char* printed;
    } rows[] = {
        // clang-format off
        {SB, "ENCODER_VOUT", "YUV_8", E, {}, "Tex2BinVideoIF:Error. Unknown Encoder Vout Interface 'YUV_8'\n"},
        {SB, "SENSOR_VIN", "I2C", E, {}, "Tex2BinVideoIF:Error. Unknown Sensor Vin Interface 'I2C'\n"}, {SB, "DECODER_CTRL", "SPI", E, {}, "Tex2BinCtrlIF:Error. Unknown Decoder CtrlIF 'SPI'\n"},
        {SB, "SENSOR_CTRL", "", E, {}, "Tex2BinCtrlIF:Error. Unknown Sensor CtrlIF ''\n"}, {SB, "SENSOR_ID", "MT9P031\n", E, {}, "Tex2BinSensorID:Error. Unknown Sensor ID 'MT9P031\n'\n"},
        {SB, "DECODER_ID", "MT9P031", E, {}, "Tex2BinDecoderID:Error. Unknown Deocder ID 'MT9P031'\n"}, {SB, "PROCESSOR_ID", "15", E, {}, "Tex2BinProcessorID:Error. Unknown Processor ID '15'\n"},
        {SB, "ENCODER_ID", " ADV7179", E, {}, "Tex2BinEncoderID:Error. Unknown Encoder ID ' ADV7179'\n"}, {SB, "SENSOR_ID ", "MT9P031", E, {}, ""},
        {FW, "FWCAP_UNIT_TYPE", "IP Camera ", E, {}, "Txt2BinUnitType:Error. Unknown unit type 'IP Camera '\n"}, {FW, "FWCAP_PLATFORM", "WA", E, {}, "Txt2BinPlatform:Error. Unknown platform 'WA'\n"},
        {FW, "FWCAP_AUDIO_TYPE", "01", E, {}, "Txt2BinAudioType:Error. Unknown audio type. 01\n"}, {FW, "FWCAP_AUDIO_CAP", "PCM,G711A", E, {}, "Txt2BinAudioCap:Error. Unknown audio cap. PCM,G711A\n"},
        {FW, "FWCAP_MISC_IO", "none,DCIRIS", 0, {}, ""}, {FW, "FWCAP_MISC_IO", "DCIRIS,NONE,BOGUS", 0, {AT(FwDevCap.IO.MiscIO, 1)}, ""},
        {FW, "FWCAP_MISC_IO", "DCIRIS,", E, {AT(FwDevCap.IO.MiscIO, 1)}, "Txt2BinMiscIO:Error. Unknown Miac. IO ''\n"},
        {FW, "FWCAP_MISC_IO", "DCIRIS, PIRIS", E, {AT(FwDevCap.IO.MiscIO, 1)}, "Txt2BinMiscIO:Error. Unknown Miac. IO ' PIRIS'\n"},
        {FW, "STORAGE_IF", "USB_SATA", E, {}, "Txt2BinStorageIF:Error. Unknown storage interface 'USB_SATA'\n"},
        {FW, "STORAGE_TYPE", "SSD", E, {}, "Txt2BinStorageType:Error. Unknown storage type 'SSD'\n"}, {FW, "PT_ENABLED", "true", E, {}, "Txt2BinPTEnabled:Error. Invalid PT enabled value 'true'\n"},
        {FW, "ZOOM_CAP", "DIGITAL,OPTICAL", 0, {AT(FwDevCap.PtzCap.ZoomCap, 3)}, ""},
        {FW, "ZOOM_CAP", "OPTICAL,10x", E, {AT(FwDevCap.PtzCap.ZoomCap, 1)}, "Txt2BinZoomCap:Error. Unknown zoom capability '10x'\n"},
        {FW, "ZOOM_LENS", "27x", E, {}, "Txt2BinZoomLens:Error. Unknown zoom lens '27x'\n"}, {FW, "DN_SRC", "DSP", E, {}, ""},
        {DN, "DN_SRC", "DSP,XYZ", E, {AT(DNCtrlCap.DNSrc, 1)}, "Txt2BinDNSrc:Error. Unknown Day/Night detection source 'XYZ'\n"},
        {DN, "DN_SRC_DEFAULT", "IR", E, {}, "Txt2BinDNSrcDefault:Error. Unknown Day/Night default detection source 'IR'\n"},
        {DN, "DN_CTRL_IO", "", E, {}, "Txt2BinDNCtrlIO:Error. Unknown Day/Night peripheral ''\n"}, {MD, "md_src", "encoder,md_sensor", 0, {AT(MdCap.MdSrc, 3)}, ""},
        {MD, "MD_SRC", "None", E, {}, "Txt2BinMDSrc:Error. Unknown motion detection source 'None'\n"},
        {MD, "MD_SRC", "ENCODER,PIR", E, {AT(MdCap.MdSrc, 1)}, "Txt2BinMDSrc:Error. Unknown motion detection source 'PIR'\n"},
        {CAM, "CAMERA_FNUM", "F8", E, {}, ""},  // no message of its own
        {CAM, "CAMERA_DCIRIS_LEVEL", "300", 0, {AT(CamCap.DCIrisLevel, 0x12c)}, ""},
        // clang-format on
    };
    for (const auto& row : rows) {
        tDevConf dev;
        DevCapConfInit(&dev);
        char data[DEVCAP_DATA_SIZE];
        snprintf(data, sizeof data, "%s", row.value);
        int32_t answer = 0;
        EXPECT_EQ(Said([&](const tDevCapSink* out) { answer = row.handler(row.name, data, &dev, out, nullptr); }),
                  row.printed)
            << row.name << "='" << row.value << "'";
        EXPECT_EQ(answer, row.answer) << row.name << "='" << row.value << "'";
        EXPECT_EQ(BytesOf(dev), Patched(kDefaultBytes, row.bytes)) << row.name << "='" << row.value << "'";
    }
}

// Numbers as a 32-bit C library's atoi and strtoul(.., 0) read them: signs,
// every kind of leading blank, the 32-bit limits and beyond 2^64, each field
// keeping its low bits.
TEST(Handler, Numbers) {
    const struct {
        const char* name;
        const char* value;
        uint32_t stored;
    } rows[] = {
        // clang-format off
        {"CAMERA_DCIRIS_LEVEL", "+5", 5}, {"CAMERA_DCIRIS_LEVEL", "\t\v\f\r 7", 7}, {"CAMERA_DCIRIS_LEVEL", "\x1c" "7", 0},
        {"CAMERA_DCIRIS_LEVEL", "+-3", 0}, {"CAMERA_DCIRIS_LEVEL", "  -0012x", 0xfffffff4},  // 0x1c is no blank
        {"CAMERA_DCIRIS_LEVEL", "2147483647", 0x7fffffff}, {"CAMERA_DCIRIS_LEVEL", "2147483648", 0x7fffffff},
        {"CAMERA_DCIRIS_LEVEL", "-2147483648", 0x80000000}, {"CAMERA_DCIRIS_LEVEL", "-2147483649", 0x80000000},
        {"CAMERA_DCIRIS_LEVEL", "18446744073709551617", 0x7fffffff}, {"FWCAP_DIS", "2 inputs", 2}, {"FWCAP_DOS", "300", 0x2c},
        {"FWCAP_SERIAL", "-1", 0xff}, {"FWCAP_DIS", "4294967297", 0xff},  // clamps; a 64-bit reading gives 1
        {"FWCAP_DIS", "0x2", 0}, {"CDS_DAY2NIGHT_THD", " 300x", 0x2c}, {"CDS_NIGHT2DAY_THD", "-256", 0}, {"FWCAP_HEAD_VER", "0X1f", 0x1f}, {"FWCAP_HEAD_VER", "010", 8}, {"FWCAP_HEAD_VER", "08", 0},
        {"FWCAP_HEAD_VER", "65536", 0}, {"FWCAP_HEAD_VER", "4294967296", 0xffff}, {"FWCAP_HEAD_VER", "-4294967295", 1},
        {"FWCAP_HEAD_VER", "0xg", 0}, {"FWCAP_HEAD_VER", "+0x10", 0x10}, {"FWCAP_HEAD_VER", "-0x1", 0xffff}, {"FWCAP_HEAD_VER", "077", 63}, {"FWCAP_HEAD_VER", "12a", 12},
        {"FWCAP_DOS", "1<", 1}, {"FWCAP_HEAD_VER", "0x1@", 1},  // bytes between '9' and 'A' are no digits
        // clang-format on
    };
    for (const auto& row : rows) {
        const tEntry* e = DevCapFindEntry(row.name);
        ASSERT_NE(e, nullptr);
        int32_t ret = 0;
        EXPECT_EQ(Converted(std::string(row.name) + "='" + row.value + "'", e->offset, e->width, &ret), row.stored)
            << row.name << "='" << row.value << "'";
        EXPECT_EQ(ret, 0);
    }
}

TEST(OutputName, BaseNameExtensionAndLimit) {
    const std::string a242(242, 'a');
    const struct {
        std::string input, output;  // output "": refused
    } rows[] = {
        // clang-format off
        {"cap/board.txt", "BinFiles/board.bin"}, {"a.b.txt", "BinFiles/a.b.bin"}, {"board", "BinFiles/board.bin"},
        {"board.", "BinFiles/board.bin"}, {".txt", "BinFiles/.bin"}, {"dir/", "BinFiles/.bin"},
        {"x.y/board", "BinFiles/board.bin"},  // a dot in a directory is no extension
        {"d/" + a242, "BinFiles/" + a242 + ".bin"}, {a242 + ".txt", "BinFiles/" + a242 + ".bin"},  // 255 characters
        {a242 + "a", ""}, {a242 + "a.", ""}, {std::string(300, 'c') + "." + std::string(5000, 'e'), ""},  // 256 and more
        // clang-format on
    };
    for (const auto& row : rows) {
        char out[DEVCAP_PATH_SIZE];
        int32_t ret = 0;
        const std::string printed =
            Said([&](const tDevCapSink* sink) { ret = DevCapOutputName(row.input.c_str(), out, sink); });
        const bool fits = !row.output.empty();
        EXPECT_EQ(ret, fits ? 0 : DEVCAP_ERROR) << row.input;
        EXPECT_EQ(printed, fits ? ""
                                : "DevCapOutputName:Error. output file name for " + row.input +
                                      " is longer than 255 characters\n");
        EXPECT_EQ(fits ? out : "", row.output);
    }
}

TEST(Splitter, NameAndValue) {
    const std::string v127(127, 'v'), n31(31, 'N');
    const struct {
        std::string line;
        tPieceKind kind;
        std::string name, data;
    } rows[] = {
        // clang-format off
        {"SENSOR_ID=MT9P031\n", PIECE_ENTRY, "SENSOR_ID", "T9P031\n"},  // first character after = skipped
        {"NAME=\n", PIECE_ENTRY, "NAME", ""}, {"NAME=", PIECE_ENTRY, "NAME", ""}, {"no equals sign\n", PIECE_NO_ENTRY, "", ""},
        {"NAME='it's'\n", PIECE_ENTRY, "NAME", "it's"}, {"NAME='x' # note\r\n", PIECE_ENTRY, "NAME", "x"},  // the last quote ends it
        {" NAME ='a=b'\n", PIECE_ENTRY, " NAME ", "a=b"},  // first = splits, nothing trimmed
        {n31 + "='x'", PIECE_ENTRY, n31, "x"}, {n31 + "N='x'", PIECE_LONG_NAME, "", ""}, {"N='" + v127, PIECE_ENTRY, "N", v127},
        {"N='" + v127.substr(1) + "'\n", PIECE_LONG_VALUE, "", ""},  // the limit counts the quote and line end
        // clang-format on
    };
    for (const auto& row : rows) {
        char name[DEVCAP_NAME_SIZE] = "untouched", data[DEVCAP_DATA_SIZE] = "untouched";
        EXPECT_EQ(DevCapSplitEntry(row.line.c_str(), row.line.size(), name, data), row.kind) << row.line;
        if (row.kind != PIECE_ENTRY) continue;
        EXPECT_EQ(name, row.name) << row.line;
        EXPECT_EQ(data, row.data) << row.line;
    }
}

TEST(Reader, Texts) {
    const std::string pad(158, ' '), n31(31, 'N'), x125(125, 'x'), more = "#" + std::string(40, '-') + "\n";
    const struct {
        const char* what;
        std::string text;
        int32_t ret;
        std::string printed;
        std::vector<tPatch> bytes;
    } rows[] = {
        // clang-format off
        {"a leading blank is not a comment", " #X='1'\n", DEVCAP_ERROR, "DevCapTxtFile2Bin:Error. Unknown configuration  #X='1' (' #X='1'\n')\n", {}},
        {"a comment holding = is skipped", "#SENSOR_ID='bad'\n#=\n\r\n", 0, "", {}}, {"EOF in any case ends reading", "eof=''\nBOGUS='1'\nSENSOR_ID='bad'\n", 0, "", {}},
        {"a bare EOF line is not the end", "EOF\nSENSOR_ID='OV9715'\n", 0, "", {AT(SBConf.sensor.ID, 0x10)}},
        {"every bad entry is reported, the cut value shown", "A='1'\nSENSOR_ID='MT9P031'\nFWCAP_MISC_IO='DCIRIS,X'", DEVCAP_ERROR, "DevCapTxtFile2Bin:Error. Unknown configuration A='1' ('A='1'\n')\n" "Txt2BinMiscIO:Error. Unknown Miac. IO 'X'\n" "DevCapTxtFile2Bin:Error. Unknown configuration FWCAP_MISC_IO='DCIRIS' ('FWCAP_MISC_IO='DCIRIS,X'')\n", {AT(SBConf.sensor.ID, 0xf), AT(FwDevCap.IO.MiscIO, 1)}},
        {"an empty name is unknown", "=\n", DEVCAP_ERROR, "DevCapTxtFile2Bin:Error. Unknown configuration ='' ('=\n')\n", {}},
        {"a list is rebuilt by each entry", "FWCAP_MISC_IO='DCIRIS'\nFWCAP_MISC_IO='PIRIS'\n", 0, "", {AT(FwDevCap.IO.MiscIO, 4)}},
        {"a rejected entry leaves the field", "SENSOR_ID='MT9P031'\nSENSOR_ID='XYZ'\n", DEVCAP_ERROR, "Tex2BinSensorID:Error. Unknown Sensor ID 'XYZ'\n" "DevCapTxtFile2Bin:Error. Unknown configuration SENSOR_ID='XYZ' ('SENSOR_ID='XYZ'\n')\n", {AT(SBConf.sensor.ID, 0xf)}},
        {"a piece of 159 and its line end", "#" + pad + "\nMD_SRC='ENCODER'\n", 0, "", {AT(MdCap.MdSrc, 1)}},
        {"a continuation piece with = is an entry", "#" + pad + "MD_SRC='ENCODER'\n", 0, "", {AT(MdCap.MdSrc, 1)}},
        {"NUL bytes end a line's text", std::string("MD_SRC='ENCODER'\0junk\nZOOM_CAP='None'", 37), 0, "", {AT(MdCap.MdSrc, 1)}},
        // Name and value limits with more text behind them: the reader's look at 32 bytes, and a value handed over where it lies.
        {"a 31-byte name is an entry", n31 + "='1'\n" + more, DEVCAP_ERROR, "DevCapTxtFile2Bin:Error. Unknown configuration " + n31 + "='1' ('" + n31 + "='1'\n')\n", {}},
        {"a 32-byte name is none", n31 + "N='1'\n" + more, 0, "", {}},
        {"a value at the limit is shown whole", "SENSOR_ID='" + x125 + "'\n" + more, DEVCAP_ERROR, "Tex2BinSensorID:Error. Unknown Sensor ID '" + x125 + "'\n" "DevCapTxtFile2Bin:Error. Unknown configuration SENSOR_ID='" + x125 + "' ('SENSOR_ID='" + x125 + "'\n')\n", {}},
        {"a value past the limit is none", "SENSOR_ID='" + x125 + "x'\n" + more, 0, "", {}},
        // clang-format on
    };
    for (const auto& row : rows) {
        tDevConf dev;
        DevCapConfInit(&dev);
        int32_t ret = 0;
        EXPECT_EQ(Said([&](const tDevCapSink* out) {
                      ret = DevCapTxtMem2Bin(&dev, row.text.data(), row.text.size(), "mem.txt", out);
                  }),
                  row.printed)
            << row.what;
        EXPECT_EQ(ret, row.ret) << row.what;
        EXPECT_EQ(BytesOf(dev), Patched(kDefaultBytes, row.bytes)) << row.what;
    }
}

// A value left open at the end of the text is read to there, not past it.
TEST(Reader, NothingPastTheText) {
    const std::string text = "FWCAP_DIS='7", behind = text + "9";
    tDevConf dev;
    DevCapConfInit(&dev);
    EXPECT_EQ(DevCapTxtMem2Bin(&dev, behind.data(), text.size(), "mem.txt", nullptr), 0);
    EXPECT_EQ(BytesOf(dev), Patched(kDefaultBytes, {AT(FwDevCap.IO.DIs, 7)}));
}

// The file reader's blocks: every text read with a block edge after each of
// its bytes in turn (comment lines fill the block before it), from a stream
// and from memory, must read as the text alone does. A piece carried over a
// block edge, a CR and its LF on either side, a NUL byte in an earlier block
// or a last line cut by the end of the file all fall on an edge here.
TEST(Reader, BlockEdges) {
    const std::string pad(158, ' '), unknown = "DevCapTxtFile2Bin:Error. Unknown configuration ";
    const struct {
        std::string text, printed;
        std::vector<tPatch> bytes;  // the run fails when printed is not empty
    } rows[] = {
        // clang-format off
        {"MD_SRC='ENCODER'\n", "", {AT(MdCap.MdSrc, 1)}}, {"MD_SRC='ENCODER'\r\nZOOM_CAP='None'", "", {AT(MdCap.MdSrc, 1)}},
        {"BOGUS='1'\r\nMD_SRC='ENCODER'", unknown + "BOGUS='1' ('BOGUS='1'\r\n')\n", {AT(MdCap.MdSrc, 1)}},
        {"#" + pad + "MD_SRC='ENCODER'\n", "", {AT(MdCap.MdSrc, 1)}}, {"#" + pad + "\nMD_SRC='ENCODER'\n", "", {AT(MdCap.MdSrc, 1)}},
        {std::string("A\0='1'\nMD_SRC='ENCODER'\0,X\nB\0", 29), "", {AT(MdCap.MdSrc, 1)}},
        {std::string("\0\nBOGUS='1'\n", 12), unknown + "BOGUS='1' ('BOGUS='1'\n')\n", {}}, {"eof=''\nBOGUS='1'\n", "", {}},
        // clang-format on
    };
    constexpr size_t kBlock = sizeof(tStreamText::block);
    for (const auto& row : rows) {
        for (size_t edge = 0; edge <= row.text.size(); ++edge) {
            // Comment lines of 100 bytes, then one that makes the block end edge bytes into the text.
            std::string text;
            while (text.size() + 100 < kBlock - edge) text += "#" + std::string(98, '-') + "\n";
            text += std::string(kBlock - edge - text.size() - 1, '#') + "\n" + row.text;
            for (const bool stream : {true, false}) {
                tDevConf dev;
                DevCapConfInit(&dev);
                int32_t ret = 1;
                const std::string printed = Said([&](const tDevCapSink* out) {
                    tStreamText file;
                    tMemText mem;
                    FILE* fp = stream ? fmemopen(text.data(), text.size(), "rb") : nullptr;
                    ret = DevCapReadPieces(
                        &dev, stream ? DevCapStreamSource(&file, fp) : DevCapMemSource(&mem, text.data(), text.size()),
                        "t.txt", out, nullptr);
                    if (fp != nullptr) fclose(fp);
                });
                const std::string where =
                    (stream ? "stream, " : "memory, ") + std::to_string(edge) + " bytes before the edge";
                EXPECT_EQ(printed, row.printed) << where;
                EXPECT_EQ(ret, row.printed.empty() ? 0 : DEVCAP_ERROR) << where;
                EXPECT_EQ(BytesOf(dev), Patched(kDefaultBytes, row.bytes)) << where;
            }
        }
    }
}
