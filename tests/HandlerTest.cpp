// The five entry handlers through their API on a fresh record: stored bytes,
// answer and printed line.
#include "TestRecord.h"

namespace {

constexpr int32_t E = DEVCAP_ERROR;
using tHandler = tEntryHandler;
constexpr tHandler SB = CorvaneSensorBoardConf, FW = CorvaneFwConf, DN = CorvaneDNCtrl, MD = CorvaneMotion,
                   CAM = CorvaneCameraSetup;

struct tRow {
    tHandler handler;
    const char* name;
    const char* value;
    int32_t answer;
    std::vector<tPatch> bytes;  // what changes in the record
    const char* printed;
};

// clang-format off
const tRow kRows[] = {
    // sensor board: every message and label (each keyword's code is KeywordTest's)
    {SB, "ENCODER_VOUT", "YUV_8", E, {}, "Tex2BinVideoIF:Error. Unknown Encoder Vout Interface 'YUV_8'\n"},
    {SB, "SENSOR_VIN", "I2C", E, {}, "Tex2BinVideoIF:Error. Unknown Sensor Vin Interface 'I2C'\n"},
    {SB, "DECODER_CTRL", "SPI", E, {}, "Tex2BinCtrlIF:Error. Unknown Decoder CtrlIF 'SPI'\n"},
    {SB, "SENSOR_CTRL", "", E, {}, "Tex2BinCtrlIF:Error. Unknown Sensor CtrlIF ''\n"},
    {SB, "SENSOR_ID", "INVALID_TW2835", E, {}, "Tex2BinSensorID:Error. Unknown Sensor ID 'INVALID_TW2835'\n"},
    {SB, "SENSOR_ID", "MT9P031\n", E, {}, "Tex2BinSensorID:Error. Unknown Sensor ID 'MT9P031\n'\n"},
    {SB, "DECODER_ID", "MT9P031", E, {}, "Tex2BinDecoderID:Error. Unknown Deocder ID 'MT9P031'\n"},
    {SB, "PROCESSOR_ID", "15", E, {}, "Tex2BinProcessorID:Error. Unknown Processor ID '15'\n"},
    {SB, "ENCODER_ID", " ADV7179", E, {}, "Tex2BinEncoderID:Error. Unknown Encoder ID ' ADV7179'\n"},
    {SB, "SENSOR_ID ", "MT9P031", E, {}, ""},
    // firmware: keywords whole and untrimmed, numbers as a 32-bit C library reads them
    {FW, "FWCAP_UNIT_TYPE", "IP Camera ", E, {}, "Txt2BinUnitType:Error. Unknown unit type 'IP Camera '\n"},
    {FW, "FWCAP_PLATFORM", "WA", E, {}, "Txt2BinPlatform:Error. Unknown platform 'WA'\n"},
    {FW, "FWCAP_AUDIO_TYPE", "01", E, {}, "Txt2BinAudioType:Error. Unknown audio type. 01\n"},
    {FW, "FWCAP_AUDIO_CAP", "PCM,G711A", E, {}, "Txt2BinAudioCap:Error. Unknown audio cap. PCM,G711A\n"},
    {FW, "FWCAP_DIS", "2 inputs", 0, {AT(FwDevCap.IO.DIs, 2)}, ""},
    {FW, "FWCAP_DIS", "0x2", 0, {}, ""},
    {FW, "FWCAP_DOS", "300", 0, {AT(FwDevCap.IO.DOs, 0x2c)}, ""},
    {FW, "FWCAP_SERIAL", "-1", 0, {AT(FwDevCap.IO.SerialPorts, 0xff)}, ""},
    {FW, "FWCAP_DIS", "4294967297", 0, {AT(FwDevCap.IO.DIs, 0xff)}, ""},  // clamps; a 64-bit reading gives 1
    {FW, "FWCAP_DIS", "-2147483649", 0, {}, ""},            // clamps to INT32_MIN: low byte 0
    {FW, "FWCAP_HEAD_VER", "0X1f", 0, {AT(FwDevCap.head.ver, 0x1f)}, ""},
    {FW, "FWCAP_HEAD_VER", "010", 0, {AT(FwDevCap.head.ver, 8)}, ""},
    {FW, "FWCAP_HEAD_VER", "08", 0, {AT(FwDevCap.head.ver, 0)}, ""},
    {FW, "FWCAP_MISC_IO", "PIRIS,dciris", 0, {AT(FwDevCap.IO.MiscIO, 5)}, ""},
    {FW, "FWCAP_MISC_IO", "none,DCIRIS", 0, {}, ""},
    {FW, "FWCAP_MISC_IO", "DCIRIS,NONE,BOGUS", 0, {AT(FwDevCap.IO.MiscIO, 1)}, ""},
    {FW, "FWCAP_MISC_IO", "DCIRIS,", E, {AT(FwDevCap.IO.MiscIO, 1)}, "Txt2BinMiscIO:Error. Unknown Miac. IO ''\n"},
    {FW, "FWCAP_MISC_IO", "DCIRIS, PIRIS", E, {AT(FwDevCap.IO.MiscIO, 1)}, "Txt2BinMiscIO:Error. Unknown Miac. IO ' PIRIS'\n"},
    {FW, "STORAGE_IF", "USB_SATA", E, {}, "Txt2BinStorageIF:Error. Unknown storage interface 'USB_SATA'\n"},
    {FW, "STORAGE_TYPE", "SSD", E, {}, "Txt2BinStorageType:Error. Unknown storage type 'SSD'\n"},
    {FW, "PT_ENABLED", "true", E, {}, "Txt2BinPTEnabled:Error. Invalid PT enabled value 'true'\n"},
    {FW, "ZOOM_CAP", "DIGITAL,OPTICAL", 0, {AT(FwDevCap.PtzCap.ZoomCap, 3)}, ""},
    {FW, "ZOOM_CAP", "OPTICAL,10x", E, {AT(FwDevCap.PtzCap.ZoomCap, 1)}, "Txt2BinZoomCap:Error. Unknown zoom capability '10x'\n"},
    {FW, "ZOOM_LENS", "27x", E, {}, "Txt2BinZoomLens:Error. Unknown zoom lens '27x'\n"},
    {FW, "DN_SRC", "DSP", E, {}, ""},
    // day/night
    {DN, "DN_SRC", "DSP,None,XYZ", 0, {AT(DNCtrlCap.DNSrc, 1)}, ""},
    {DN, "DN_SRC", "DSP,XYZ", E, {AT(DNCtrlCap.DNSrc, 1)}, "Txt2BinDNSrc:Error. Unknown Day/Night detection source 'XYZ'\n"},
    {DN, "DN_SRC_DEFAULT", "IR", E, {}, "Txt2BinDNSrcDefault:Error. Unknown Day/Night default detection source 'IR'\n"},
    {DN, "DN_CTRL_IO", "CUT_FILTER,irled", 0, {AT(DNCtrlCap.DNCtrlElement, 3)}, ""},
    {DN, "DN_CTRL_IO", "", E, {}, "Txt2BinDNCtrlIO:Error. Unknown Day/Night peripheral ''\n"},
    {DN, "CDS_DAY2NIGHT_THD", " 300x", 0, {AT(DNCtrlCap.CdsDay2NightThd, 0x2c)}, ""},
    {DN, "CDS_NIGHT2DAY_THD", "-1", 0, {AT(DNCtrlCap.CdsNight2DayThd, 0xff)}, ""},
    // motion: no stop word
    {MD, "md_src", "encoder,md_sensor", 0, {AT(MdCap.MdSrc, 3)}, ""},
    {MD, "MD_SRC", "None", E, {}, "Txt2BinMDSrc:Error. Unknown motion detection source 'None'\n"},
    {MD, "MD_SRC", "ENCODER,PIR", E, {AT(MdCap.MdSrc, 1)}, "Txt2BinMDSrc:Error. Unknown motion detection source 'PIR'\n"},
    // camera
    {CAM, "CAMERA_FNUM", "F8", E, {}, ""},  // no message of its own
    {CAM, "CAMERA_DCIRIS_LEVEL", "300", 0, {AT(CamCap.DCIrisLevel, 0x12c)}, ""},
};
// clang-format on

}  // namespace

TEST(Handler, Entries) {
    for (const tRow& row : kRows) {
        const std::string what = std::string(row.name) + "='" + row.value + "'";
        tDevConf dev;
        DevCapConfInit(&dev);
        char data[DEVCAP_DATA_SIZE];
        snprintf(data, sizeof data, "%s", row.value);
        int32_t answer = 0;
        EXPECT_EQ(Said([&](const tDevCapSink* out) { answer = row.handler(row.name, data, &dev, out); }), row.printed)
            << what;
        EXPECT_EQ(answer, row.answer) << what;
        EXPECT_EQ(BytesOf(dev), Patched(kDefaultBytes, row.bytes)) << what;
    }
}

// Numbers at their edges, as a 32-bit C library's atoi and strtoul(.., 0) read
// them: signs, every kind of leading blank, the 32-bit limits and beyond 2^64.
TEST(Handler, NumberEdges) {
    const struct {
        const char* name;
        const char* value;
        uint32_t stored;
    } rows[] = {
        {"CAMERA_DCIRIS_LEVEL", "+5", 5},
        {"CAMERA_DCIRIS_LEVEL", "\t\n\v\f\r 7", 7},
        {"CAMERA_DCIRIS_LEVEL",
         "\x1c"
         "7",
         0},  // not a blank
        {"CAMERA_DCIRIS_LEVEL", "+-3", 0},
        {"CAMERA_DCIRIS_LEVEL", "- 3", 0},
        {"CAMERA_DCIRIS_LEVEL", "  -0012x", 0xfffffff4},
        {"CAMERA_DCIRIS_LEVEL", "2147483647", 0x7fffffff},
        {"CAMERA_DCIRIS_LEVEL", "2147483648", 0x7fffffff},
        {"CAMERA_DCIRIS_LEVEL", "-2147483648", 0x80000000},
        {"CAMERA_DCIRIS_LEVEL", "-2147483649", 0x80000000},
        {"CAMERA_DCIRIS_LEVEL", "18446744073709551617", 0x7fffffff},
        {"CAMERA_DCIRIS_LEVEL", "-18446744073709551617", 0x80000000},
        {"FWCAP_DIS", "255", 255},
        {"FWCAP_DIS", "-256", 0},
        {"FWCAP_HEAD_VER", "65535", 0xffff},
        {"FWCAP_HEAD_VER", "65536", 0},
        {"FWCAP_HEAD_VER", "4294967295", 0xffff},
        {"FWCAP_HEAD_VER", "4294967296", 0xffff},
        {"FWCAP_HEAD_VER", "18446744073709551616", 0xffff},
        {"FWCAP_HEAD_VER", "-4294967295", 1},
        {"FWCAP_HEAD_VER", "-65536", 0},
        {"FWCAP_HEAD_VER", "0x", 0},
        {"FWCAP_HEAD_VER", "0xg", 0},
        {"FWCAP_HEAD_VER", "+0x10", 0x10},
        {"FWCAP_HEAD_VER", "-0x1", 0xffff},
        {"FWCAP_HEAD_VER", "\v0x7fFf", 0x7fff},
        {"FWCAP_HEAD_VER", "077", 63},
        {"FWCAP_HEAD_VER", "09", 0},
        {"FWCAP_HEAD_VER", "12a", 12},
    };
    for (const auto& row : rows) {
        tDevConf dev;
        DevCapConfInit(&dev);
        char data[DEVCAP_DATA_SIZE];
        snprintf(data, sizeof data, "%s", row.value);
        const tEntry* e = DevCapFindEntry(row.name);
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(DevCapEntryTxt2Bin(*e, data, &dev, nullptr), 0) << row.value;
        const uint32_t stored = std::string_view(row.name) == "FWCAP_HEAD_VER" ? dev.FwDevCap.head.ver
                                : std::string_view(row.name) == "FWCAP_DIS"    ? dev.FwDevCap.IO.DIs
                                                                               : dev.CamCap.DCIrisLevel;
        EXPECT_EQ(stored, row.stored) << row.name << "='" << row.value << "'";
    }
}
