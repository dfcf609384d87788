// The five entry handlers through their API on a fresh record: stored bytes,
// answer, printed line and the value text as the handler leaves it.
#include "TestRecord.h"

namespace {

constexpr int32_t E = DEVCAP_ERROR;
using tHandler = int32_t (*)(const char* name, char* data, tDevConf* dev);
constexpr tHandler SB = CorvaneSensorBoardConf, FW = CorvaneFwConf, DN = CorvaneDNCtrl, MD = CorvaneMotion,
                   CAM = CorvaneCameraSetup;

struct tRow {
    tHandler handler;
    const char* name;
    const char* value;
    int32_t answer;
    std::vector<tPatch> bytes;  // what changes in the record
    const char* printed;
    const char* left;  // the value text afterwards; nullptr: unchanged
};

// clang-format off
const tRow kRows[] = {
    // sensor board: targets, case, the shared TW2835 text, YUB_8, labels
    {SB, "sensor_id", "mt9p031", 0, {{16, {15}}}, "", nullptr},
    {SB, "SENSOR_ID", "TW2835", 0, {{16, {10}}}, "", nullptr},
    {SB, "DECODER_ID", "TW2835", 0, {{20, {3}}}, "", nullptr},
    {SB, "PROCESSOR_CTRL", "UART_115200", 0, {{25, {8}}}, "", nullptr},
    {SB, "ENCODER_VIN", "YC", 0, {{30, {4}}}, "", nullptr},
    {SB, "ENCODER_VOUT", "yub_8", 0, {{31, {9}}}, "", nullptr},
    {SB, "ENCODER_VOUT", "YUV_8", E, {}, "Tex2BinVideoIF:Error. Unknown Encoder Vout Interface 'YUV_8'\n", nullptr},
    {SB, "SENSOR_VIN", "I2C", E, {}, "Tex2BinVideoIF:Error. Unknown Sensor Vin Interface 'I2C'\n", nullptr},
    {SB, "DECODER_CTRL", "SPI", E, {}, "Tex2BinCtrlIF:Error. Unknown Decoder CtrlIF 'SPI'\n", nullptr},
    {SB, "SENSOR_CTRL", "", E, {}, "Tex2BinCtrlIF:Error. Unknown Sensor CtrlIF ''\n", nullptr},
    {SB, "SENSOR_ID", "INVALID_TW2835", E, {}, "Tex2BinSensorID:Error. Unknown Sensor ID 'INVALID_TW2835'\n", nullptr},
    {SB, "SENSOR_ID", "MT9P031\n", E, {}, "Tex2BinSensorID:Error. Unknown Sensor ID 'MT9P031\n'\n", nullptr},
    {SB, "DECODER_ID", "MT9P031", E, {}, "Tex2BinDecoderID:Error. Unknown Deocder ID 'MT9P031'\n", nullptr},
    {SB, "PROCESSOR_ID", "15", E, {}, "Tex2BinProcessorID:Error. Unknown Processor ID '15'\n", nullptr},
    {SB, "ENCODER_ID", " ADV7179", E, {}, "Tex2BinEncoderID:Error. Unknown Encoder ID ' ADV7179'\n", nullptr},
    {SB, "SENSOR_ID ", "MT9P031", E, {}, "", nullptr},
    // firmware: keywords whole and untrimmed, numbers as a 32-bit C library reads them
    {FW, "fwcap_unit_type", "ip ptz camera", 0, {{36, {8}}}, "", nullptr},
    {FW, "FWCAP_UNIT_TYPE", "IP Camera ", E, {}, "Txt2BinUnitType:Error. Unknown unit type 'IP Camera '\n", nullptr},
    {FW, "FWCAP_PLATFORM", "t", 0, {{37, {0x54}}}, "", nullptr},
    {FW, "FWCAP_PLATFORM", "WA", E, {}, "Txt2BinPlatform:Error. Unknown platform 'WA'\n", nullptr},
    {FW, "FWCAP_AUDIO_TYPE", "01", E, {}, "Txt2BinAudioType:Error. Unknown audio type. 01\n", nullptr},
    {FW, "FWCAP_AUDIO_CAP", "g711a,g711u,pcm", 0, {{39, {7}}}, "", nullptr},
    {FW, "FWCAP_AUDIO_CAP", "PCM,G711A", E, {}, "Txt2BinAudioCap:Error. Unknown audio cap. PCM,G711A\n", nullptr},
    {FW, "FWCAP_DIS", "2 inputs", 0, {{40, {2}}}, "", nullptr},
    {FW, "FWCAP_DIS", "0x2", 0, {}, "", nullptr},
    {FW, "FWCAP_DOS", "300", 0, {{41, {44}}}, "", nullptr},
    {FW, "FWCAP_SERIAL", "-1", 0, {{42, {255}}}, "", nullptr},
    {FW, "FWCAP_DIS", "4294967297", 0, {{40, {255}}}, "", nullptr},  // clamps; a 64-bit reading gives 1
    {FW, "FWCAP_DIS", "-2147483649", 0, {}, "", nullptr},            // clamps to INT32_MIN: low byte 0
    {FW, "FWCAP_HEAD_VER", "0X1f", 0, {{32, {0x1f, 0}}}, "", nullptr},
    {FW, "FWCAP_HEAD_VER", "010", 0, {{32, {8, 0}}}, "", nullptr},
    {FW, "FWCAP_HEAD_VER", "08", 0, {{32, {0, 0}}}, "", nullptr},
    {FW, "FWCAP_HEAD_VER", "-1", 0, {{32, {0xff, 0xff}}}, "", nullptr},
    {FW, "FWCAP_HEAD_VER", "-4294967296", 0, {{32, {0xff, 0xff}}}, "", nullptr},
    {FW, "FWCAP_MISC_IO", "PIRIS,dciris", 0, {{43, {5}}}, "", "PIRIS"},
    {FW, "FWCAP_MISC_IO", "none,DCIRIS", 0, {}, "", "none"},
    {FW, "FWCAP_MISC_IO", "DCIRIS,NONE,BOGUS", 0, {{43, {1}}}, "", "DCIRIS"},
    {FW, "FWCAP_MISC_IO", "DCIRIS,", E, {{43, {1}}}, "Txt2BinMiscIO:Error. Unknown Miac. IO ''\n", "DCIRIS"},
    {FW, "FWCAP_MISC_IO", "DCIRIS, PIRIS", E, {{43, {1}}}, "Txt2BinMiscIO:Error. Unknown Miac. IO ' PIRIS'\n", "DCIRIS"},
    {FW, "STORAGE_IF", "USB_SATA", E, {}, "Txt2BinStorageIF:Error. Unknown storage interface 'USB_SATA'\n", nullptr},
    {FW, "STORAGE_TYPE", "sd", 0, {{45, {2}}}, "", nullptr},
    {FW, "STORAGE_TYPE", "SSD", E, {}, "Txt2BinStorageType:Error. Unknown storage type 'SSD'\n", nullptr},
    {FW, "PT_ENABLED", "true", E, {}, "Txt2BinPTEnabled:Error. Invalid PT enabled value 'true'\n", nullptr},
    {FW, "ZOOM_CAP", "DIGITAL,OPTICAL", 0, {{51, {3}}}, "", "DIGITAL"},
    {FW, "ZOOM_CAP", "OPTICAL,10x", E, {{51, {1}}}, "Txt2BinZoomCap:Error. Unknown zoom capability '10x'\n", "OPTICAL"},
    {FW, "ZOOM_LENS", "2.7X", 0, {{52, {3}}}, "", nullptr},
    {FW, "ZOOM_LENS", "27x", E, {}, "Txt2BinZoomLens:Error. Unknown zoom lens '27x'\n", nullptr},
    {FW, "DN_SRC", "DSP", E, {}, "", nullptr},
    // day/night
    {DN, "DN_SRC", "DSP,None,XYZ", 0, {{60, {1, 0, 0, 0}}}, "", "DSP"},
    {DN, "DN_SRC", "DSP,XYZ", E, {{60, {1}}}, "Txt2BinDNSrc:Error. Unknown Day/Night detection source 'XYZ'\n", "DSP"},
    {DN, "DN_SRC_DEFAULT", "cds", 0, {{64, {2, 0, 0, 0}}}, "", nullptr},
    {DN, "DN_SRC_DEFAULT", "IR", E, {}, "Txt2BinDNSrcDefault:Error. Unknown Day/Night default detection source 'IR'\n", nullptr},
    {DN, "DN_CTRL_IO", "CUT_FILTER,irled", 0, {{68, {3, 0, 0, 0}}}, "", "CUT_FILTER"},
    {DN, "DN_CTRL_IO", "", E, {}, "Txt2BinDNCtrlIO:Error. Unknown Day/Night peripheral ''\n", nullptr},
    {DN, "CDS_DAY2NIGHT_THD", " 300x", 0, {{72, {44}}}, "", nullptr},
    {DN, "CDS_NIGHT2DAY_THD", "-1", 0, {{73, {255}}}, "", nullptr},
    // motion: no stop word
    {MD, "md_src", "encoder,md_sensor", 0, {{80, {3, 0, 0, 0}}}, "", "encoder"},
    {MD, "MD_SRC", "None", E, {}, "Txt2BinMDSrc:Error. Unknown motion detection source 'None'\n", nullptr},
    {MD, "MD_SRC", "ENCODER,PIR", E, {{80, {1}}}, "Txt2BinMDSrc:Error. Unknown motion detection source 'PIR'\n", "ENCODER"},
    // camera
    {CAM, "camera_fnum", "f22", 0, {{92, {1, 0, 0, 0}}}, "", nullptr},
    {CAM, "CAMERA_FNUM", "F1.0", 0, {{92, {19, 0, 0, 0}}}, "", nullptr},
    {CAM, "CAMERA_FNUM", "F8", E, {}, "", nullptr},  // no message of its own
    {CAM, "CAMERA_DCIRIS_LEVEL", "300", 0, {{88, {0x2c, 0x01, 0, 0}}}, "", nullptr},
    {CAM, "CAMERA_DCIRIS_LEVEL", "-1", 0, {{88, {0xff, 0xff, 0xff, 0xff}}}, "", nullptr},
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
        EXPECT_EQ(Printed([&] { answer = row.handler(row.name, data, &dev); }), row.printed) << what;
        EXPECT_EQ(answer, row.answer) << what;
        EXPECT_EQ(BytesOf(dev), Patched(kDefaultBytes, row.bytes)) << what;
        EXPECT_STREQ(data, row.left != nullptr ? row.left : row.value) << what;
    }
}
