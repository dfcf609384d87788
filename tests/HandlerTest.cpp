// The five entry handlers through their API on a fresh record: stored bytes,
// answer, printed line and the value text as the handler leaves it.
#include "TestRecord.h"

namespace {

constexpr int32_t E = DEVCAP_ERROR;

struct tRow {
    const char* name;
    const char* value;
    int32_t answer;
    std::vector<tPatch> bytes;  // what changes in the record
    const char* printed;
    const char* left;  // the value text afterwards; nullptr: unchanged
};

using tHandler = int32_t (*)(const char* name, char* data, tDevConf* dev);

void RunRows(tHandler handler, const std::vector<tRow>& rows) {
    for (const tRow& row : rows) {
        const std::string what = std::string(row.name) + "='" + row.value + "'";
        tDevConf dev;
        DevCapConfInit(&dev);
        char data[DEVCAP_DATA_SIZE];
        snprintf(data, sizeof data, "%s", row.value);
        int32_t answer = 0;
        EXPECT_EQ(Printed([&] { answer = handler(row.name, data, &dev); }), row.printed) << what;
        EXPECT_EQ(answer, row.answer) << what;
        EXPECT_EQ(BytesOf(dev), Patched(kDefaultBytes, row.bytes)) << what;
        EXPECT_STREQ(data, row.left != nullptr ? row.left : row.value) << what;
    }
}

}  // namespace

TEST(Handler, SensorBoard) {
    RunRows(
        CorvaneSensorBoardConf,
        {
            // every key reaches its own byte
            {"SENSOR_ID", "MT9P031", 0, {{16, {15}}}, "", nullptr},
            {"SENSOR_CTRL", "UART_4800", 0, {{17, {3}}}, "", nullptr},
            {"SENSOR_VIN", "CCIR656_16", 0, {{18, {2}}}, "", nullptr},
            {"SENSOR_VOUT", "RGB565_8", 0, {{19, {8}}}, "", nullptr},
            {"DECODER_ID", "TW2835", 0, {{20, {3}}}, "", nullptr},
            {"DECODER_CTRL", "UART_57600", 0, {{21, {7}}}, "", nullptr},
            {"DECODER_VIN", "RGB444", 0, {{22, {10}}}, "", nullptr},
            {"DECODER_VOUT", "CVBS", 0, {{23, {3}}}, "", nullptr},
            {"PROCESSOR_ID", "COBRA", 0, {{24, {2}}}, "", nullptr},
            {"PROCESSOR_CTRL", "UART_115200", 0, {{25, {8}}}, "", nullptr},
            {"PROCESSOR_VIN", "YUV_16", 0, {{26, {5}}}, "", nullptr},
            {"PROCESSOR_VOUT", "RGB888_24", 0, {{27, {6}}}, "", nullptr},
            {"ENCODER_ID", "CH_7026", 0, {{28, {2}}}, "", nullptr},
            {"ENCODER_CTRL", "UART_2400", 0, {{29, {2}}}, "", nullptr},
            {"ENCODER_VIN", "YC", 0, {{30, {4}}}, "", nullptr},
            {"ENCODER_VOUT", "yub_8", 0, {{31, {9}}}, "", nullptr},
            // case, the shared TW2835 text, the ends of each list
            {"sensor_id", "mt9p031", 0, {{16, {15}}}, "", nullptr},
            {"SENSOR_ID", "TW2835", 0, {{16, {10}}}, "", nullptr},
            {"SENSOR_ID", "AR0331", 0, {{16, {23}}}, "", nullptr},
            {"SENSOR_ID", "MT9M131", 0, {{16, {1}}}, "", nullptr},
            {"ENCODER_ID", "ADV7179", 0, {{28, {1}}}, "", nullptr},
            {"PROCESSOR_ID", "DT_018054", 0, {{24, {1}}}, "", nullptr},
            {"DECODER_ID", "ADV7180", 0, {{20, {1}}}, "", nullptr},
            {"SENSOR_CTRL", "i2c", 0, {{17, {1}}}, "", nullptr},
            {"SENSOR_VIN", "None", 0, {}, "", nullptr},
            // rejections print the function's own line with the value as given
            {"SENSOR_ID",
             "INVALID_TW2835",
             E,
             {},
             "Tex2BinSensorID:Error. Unknown Sensor ID 'INVALID_TW2835'\n",
             nullptr},
            {"SENSOR_ID", "MT9P031 ", E, {}, "Tex2BinSensorID:Error. Unknown Sensor ID 'MT9P031 '\n", nullptr},
            {"SENSOR_ID", "15", E, {}, "Tex2BinSensorID:Error. Unknown Sensor ID '15'\n", nullptr},
            {"SENSOR_ID", "MT9P031\n", E, {}, "Tex2BinSensorID:Error. Unknown Sensor ID 'MT9P031\n'\n", nullptr},
            {"DECODER_ID", "MT9P031", E, {}, "Tex2BinDecoderID:Error. Unknown Deocder ID 'MT9P031'\n", nullptr},
            {"PROCESSOR_ID",
             "NONE,COBRA",
             E,
             {},
             "Tex2BinProcessorID:Error. Unknown Processor ID 'NONE,COBRA'\n",
             nullptr},
            {"ENCODER_ID", "ADV7180", E, {}, "Tex2BinEncoderID:Error. Unknown Encoder ID 'ADV7180'\n", nullptr},
            {"PROCESSOR_CTRL",
             "UART_230400",
             E,
             {},
             "Tex2BinCtrlIF:Error. Unknown Processor CtrlIF 'UART_230400'\n",
             nullptr},
            {"SENSOR_CTRL", "", E, {}, "Tex2BinCtrlIF:Error. Unknown Sensor CtrlIF ''\n", nullptr},
            {"DECODER_CTRL", "CVBS", E, {}, "Tex2BinCtrlIF:Error. Unknown Decoder CtrlIF 'CVBS'\n", nullptr},
            {"ENCODER_CTRL", "1", E, {}, "Tex2BinCtrlIF:Error. Unknown Encoder CtrlIF '1'\n", nullptr},
            {"ENCODER_VOUT", "YUV_8", E, {}, "Tex2BinVideoIF:Error. Unknown Encoder Vout Interface 'YUV_8'\n", nullptr},
            {"SENSOR_VIN", "I2C", E, {}, "Tex2BinVideoIF:Error. Unknown Sensor Vin Interface 'I2C'\n", nullptr},
            {"DECODER_VIN", "x", E, {}, "Tex2BinVideoIF:Error. Unknown Decoder Vin Interface 'x'\n", nullptr},
            {"PROCESSOR_VOUT", "x", E, {}, "Tex2BinVideoIF:Error. Unknown Processor Vout Interface 'x'\n", nullptr},
            // names that are not keys are declined silently
            {"SENSOR", "MT9P031", E, {}, "", nullptr},
            {"SENSOR_IDS", "MT9P031", E, {}, "", nullptr},
            {"SENSOR_ID ", "MT9P031", E, {}, "", nullptr},
            {"FWCAP_DIS", "1", E, {}, "", nullptr},
        });
}

TEST(Handler, Firmware) {
    RunRows(CorvaneFwConf,
            {
                {"fwcap_unit_type", "ip ptz camera", 0, {{36, {8}}}, "", nullptr},
                {"FWCAP_UNIT_TYPE", "ePTZ Camera", 0, {{36, {15}}}, "", nullptr},
                {"FWCAP_UNIT_TYPE", "Quad Server", 0, {{36, {1}}}, "", nullptr},
                {"FWCAP_UNIT_TYPE",
                 "IP Camera ",
                 E,
                 {},
                 "Txt2BinUnitType:Error. Unknown unit type 'IP Camera '\n",
                 nullptr},
                {"FWCAP_UNIT_TYPE",
                 "IP  Camera",
                 E,
                 {},
                 "Txt2BinUnitType:Error. Unknown unit type 'IP  Camera'\n",
                 nullptr},
                {"FWCAP_PLATFORM", "t", 0, {{37, {0x54}}}, "", nullptr},
                {"FWCAP_PLATFORM", "K", 0, {{37, {0x4B}}}, "", nullptr},
                {"FWCAP_PLATFORM", "WA", E, {}, "Txt2BinPlatform:Error. Unknown platform 'WA'\n", nullptr},
                {"FWCAP_AUDIO_TYPE", "2", 0, {{38, {2}}}, "", nullptr},
                {"FWCAP_AUDIO_TYPE", "01", E, {}, "Txt2BinAudioType:Error. Unknown audio type. 01\n", nullptr},
                {"FWCAP_AUDIO_TYPE", " 1", E, {}, "Txt2BinAudioType:Error. Unknown audio type.  1\n", nullptr},
                // the audio codecs are matched whole and never cut
                {"FWCAP_AUDIO_CAP", "g711a,g711u,pcm", 0, {{39, {7}}}, "", nullptr},
                {"FWCAP_AUDIO_CAP", "PCM,G711A,G711U", 0, {{39, {7}}}, "", nullptr},
                {"FWCAP_AUDIO_CAP", "PCM", 0, {{39, {1}}}, "", nullptr},
                {"FWCAP_AUDIO_CAP",
                 "PCM,G711U,G711A",
                 E,
                 {},
                 "Txt2BinAudioCap:Error. Unknown audio cap. PCM,G711U,G711A\n",
                 nullptr},
                {"FWCAP_AUDIO_CAP",
                 "PCM, G711A, G711U",
                 E,
                 {},
                 "Txt2BinAudioCap:Error. Unknown audio cap. PCM, G711A, G711U\n",
                 nullptr},
                // counts read like a 32-bit atoi, low 8 bits kept, never rejected
                {"FWCAP_DIS", "2", 0, {{40, {2}}}, "", nullptr},
                {"FWCAP_DIS", " 3", 0, {{40, {3}}}, "", nullptr},
                {"FWCAP_DIS", "2 inputs", 0, {{40, {2}}}, "", nullptr},
                {"FWCAP_DIS", "0x2", 0, {}, "", nullptr},
                {"FWCAP_DIS", "abc", 0, {}, "", nullptr},
                {"FWCAP_DIS", "256", 0, {}, "", nullptr},
                {"FWCAP_DIS", "300", 0, {{40, {44}}}, "", nullptr},
                {"FWCAP_DIS", "-1", 0, {{40, {255}}}, "", nullptr},
                {"FWCAP_DIS", "99999999999", 0, {{40, {255}}}, "", nullptr},
                {"FWCAP_DIS", "4294967297", 0, {{40, {255}}}, "", nullptr},  // clamps; 64-bit wrap gives 1
                {"FWCAP_DIS", "-2147483649", 0, {}, "", nullptr},            // clamps to INT32_MIN, low byte 0
                {"FWCAP_DIS", "\t+7", 0, {{40, {7}}}, "", nullptr},
                {"FWCAP_DIS", "- 7", 0, {}, "", nullptr},
                {"FWCAP_DOS", "1", 0, {{41, {1}}}, "", nullptr},
                {"FWCAP_SERIAL", "3", 0, {{42, {3}}}, "", nullptr},
                // the section version reads like a 32-bit strtoul with base 0
                {"FWCAP_HEAD_VER", "0x0002", 0, {{32, {2, 0}}}, "", nullptr},
                {"FWCAP_HEAD_VER", "0X1f", 0, {{32, {0x1f, 0}}}, "", nullptr},
                {"FWCAP_HEAD_VER", "010", 0, {{32, {8, 0}}}, "", nullptr},
                {"FWCAP_HEAD_VER", "08", 0, {{32, {0, 0}}}, "", nullptr},
                {"FWCAP_HEAD_VER", "0x", 0, {{32, {0, 0}}}, "", nullptr},
                {"FWCAP_HEAD_VER", "65537", 0, {{32, {1, 0}}}, "", nullptr},
                {"FWCAP_HEAD_VER", "-1", 0, {{32, {0xff, 0xff}}}, "", nullptr},
                {"FWCAP_HEAD_VER", "-2", 0, {{32, {0xfe, 0xff}}}, "", nullptr},
                {"FWCAP_HEAD_VER", "", 0, {{32, {0, 0}}}, "", nullptr},
                {"FWCAP_HEAD_VER", "4294967296", 0, {{32, {0xff, 0xff}}}, "", nullptr},
                {"FWCAP_HEAD_VER", "-4294967296", 0, {{32, {0xff, 0xff}}}, "", nullptr},
                {"FWCAP_HEAD_VER", " +0x10g", 0, {{32, {0x10, 0}}}, "", nullptr},
                // comma lists: cut in place, stop word ends the list unexamined
                {"FWCAP_MISC_IO", "PIRIS,dciris", 0, {{43, {5}}}, "", "PIRIS"},
                {"FWCAP_MISC_IO", "8051THX,PIRIS_OPT", 0, {{43, {0x0a}}}, "", "8051THX"},
                {"FWCAP_MISC_IO", "NONE", 0, {}, "", nullptr},
                {"FWCAP_MISC_IO", "none,DCIRIS", 0, {}, "", "none"},
                {"FWCAP_MISC_IO", "DCIRIS,NONE,BOGUS", 0, {{43, {1}}}, "", "DCIRIS"},
                {"FWCAP_MISC_IO", "DCIRIS,", E, {{43, {1}}}, "Txt2BinMiscIO:Error. Unknown Miac. IO ''\n", "DCIRIS"},
                {"FWCAP_MISC_IO", "", E, {}, "Txt2BinMiscIO:Error. Unknown Miac. IO ''\n", nullptr},
                {"FWCAP_MISC_IO", ",DCIRIS", E, {}, "Txt2BinMiscIO:Error. Unknown Miac. IO ''\n", ""},
                {"FWCAP_MISC_IO",
                 "DCIRIS, PIRIS",
                 E,
                 {{43, {1}}},
                 "Txt2BinMiscIO:Error. Unknown Miac. IO ' PIRIS'\n",
                 "DCIRIS"},
                {"FWCAP_MISC_IO",
                 "DCIRIS,FOO,PIRIS",
                 E,
                 {{43, {1}}},
                 "Txt2BinMiscIO:Error. Unknown Miac. IO 'FOO'\n",
                 "DCIRIS"},
                {"STORAGE_IF", "usb_to_sata", 0, {{44, {1}}}, "", nullptr},
                {"STORAGE_IF",
                 "USB_SATA",
                 E,
                 {},
                 "Txt2BinStorageIF:Error. Unknown storage interface 'USB_SATA'\n",
                 nullptr},
                {"STORAGE_TYPE", "sd", 0, {{45, {2}}}, "", nullptr},
                {"STORAGE_TYPE", "hd", 0, {{45, {1}}}, "", nullptr},
                {"STORAGE_TYPE", "SSD", E, {}, "Txt2BinStorageType:Error. Unknown storage type 'SSD'\n", nullptr},
                {"PT_ENABLED", "1", 0, {{48, {1}}}, "", nullptr},
                {"PT_ENABLED", "true", E, {}, "Txt2BinPTEnabled:Error. Invalid PT enabled value 'true'\n", nullptr},
                {"ZOOM_CAP", "DIGITAL,OPTICAL", 0, {{51, {3}}}, "", "DIGITAL"},
                {"ZOOM_CAP", "OPTICAL,DIGITAL,OPTICAL", 0, {{51, {3}}}, "", "OPTICAL"},
                {"ZOOM_CAP", "none", 0, {}, "", nullptr},
                {"ZOOM_CAP",
                 "OPTICAL,10x",
                 E,
                 {{51, {1}}},
                 "Txt2BinZoomCap:Error. Unknown zoom capability '10x'\n",
                 "OPTICAL"},
                {"ZOOM_LENS", "2.7X", 0, {{52, {3}}}, "", nullptr},
                {"ZOOM_LENS", "26x", 0, {{52, {10}}}, "", nullptr},
                {"ZOOM_LENS", "27x", E, {}, "Txt2BinZoomLens:Error. Unknown zoom lens '27x'\n", nullptr},
                {"FWCAP_DIS ", "2", E, {}, "", nullptr},
                {"DN_SRC", "DSP", E, {}, "", nullptr},
            });
}

TEST(Handler, DayNight) {
    RunRows(CorvaneDNCtrl,
            {
                {"DN_SRC", "DSP,CDS", 0, {{60, {3, 0, 0, 0}}}, "", "DSP"},
                {"dn_src", "cds", 0, {{60, {2, 0, 0, 0}}}, "", nullptr},
                {"DN_SRC", "DSP,None,XYZ", 0, {{60, {1, 0, 0, 0}}}, "", "DSP"},
                {"DN_SRC",
                 "DSP,XYZ",
                 E,
                 {{60, {1, 0, 0, 0}}},
                 "Txt2BinDNSrc:Error. Unknown Day/Night detection source 'XYZ'\n",
                 "DSP"},
                {"DN_SRC", "", E, {}, "Txt2BinDNSrc:Error. Unknown Day/Night detection source ''\n", nullptr},
                {"DN_SRC_DEFAULT", "dsp", 0, {{64, {1, 0, 0, 0}}}, "", nullptr},
                {"DN_SRC_DEFAULT", "CDS", 0, {{64, {2, 0, 0, 0}}}, "", nullptr},
                {"DN_SRC_DEFAULT",
                 "IR",
                 E,
                 {},
                 "Txt2BinDNSrcDefault:Error. Unknown Day/Night default detection source 'IR'\n",
                 nullptr},
                {"DN_CTRL_IO", "CUT_FILTER,irled", 0, {{68, {3, 0, 0, 0}}}, "", "CUT_FILTER"},
                {"DN_CTRL_IO", "None,LED", 0, {}, "", "None"},
                {"DN_CTRL_IO", "LED", E, {}, "Txt2BinDNCtrlIO:Error. Unknown Day/Night peripheral 'LED'\n", nullptr},
                {"CDS_DAY2NIGHT_THD", "40", 0, {{72, {40}}}, "", nullptr},
                {"CDS_DAY2NIGHT_THD", "300", 0, {{72, {44}}}, "", nullptr},
                {"CDS_NIGHT2DAY_THD", "-1", 0, {{73, {255}}}, "", nullptr},
                {"CDS_NIGHT2DAY_THD", " 12x", 0, {{73, {12}}}, "", nullptr},
                {"CDS_NIGHT2DAY_THD", "abc", 0, {}, "", nullptr},
                {"MD_SRC", "ENCODER", E, {}, "", nullptr},
            });
}

TEST(Handler, Motion) {
    RunRows(CorvaneMotion,
            {
                {"MD_SRC", "ENCODER", 0, {{80, {1, 0, 0, 0}}}, "", nullptr},
                {"md_src", "encoder,md_sensor", 0, {{80, {3, 0, 0, 0}}}, "", "encoder"},
                {"MD_SRC", "MD_SENSOR,ENCODER,ENCODER", 0, {{80, {3, 0, 0, 0}}}, "", "MD_SENSOR"},
                // no stop word: "None" is an unknown element, and so is what follows it
                {"MD_SRC", "None", E, {}, "Txt2BinMDSrc:Error. Unknown motion detection source 'None'\n", nullptr},
                {"MD_SRC",
                 "ENCODER,None,XYZ",
                 E,
                 {{80, {1, 0, 0, 0}}},
                 "Txt2BinMDSrc:Error. Unknown motion detection source 'None'\n",
                 "ENCODER"},
                {"MD_SRC",
                 "ENCODER,",
                 E,
                 {{80, {1, 0, 0, 0}}},
                 "Txt2BinMDSrc:Error. Unknown motion detection source ''\n",
                 "ENCODER"},
                {"MD_SRC",
                 "ENCODER,PIR",
                 E,
                 {{80, {1, 0, 0, 0}}},
                 "Txt2BinMDSrc:Error. Unknown motion detection source 'PIR'\n",
                 "ENCODER"},
                {"MD_SRCS", "ENCODER", E, {}, "", nullptr},
            });
}

TEST(Handler, CameraSetup) {
    RunRows(CorvaneCameraSetup, {
                                    {"CAMERA_FNUM", "F1.4", 0, {{92, {18, 0, 0, 0}}}, "", nullptr},
                                    {"camera_fnum", "f22", 0, {{92, {1, 0, 0, 0}}}, "", nullptr},
                                    {"CAMERA_FNUM", "F1.0", 0, {{92, {19, 0, 0, 0}}}, "", nullptr},
                                    {"CAMERA_FNUM", "F8", E, {}, "", nullptr},  // no message of its own
                                    {"CAMERA_FNUM", "", E, {}, "", nullptr},
                                    {"CAMERA_DCIRIS_LEVEL", "128", 0, {{88, {0x80, 0, 0, 0}}}, "", nullptr},
                                    {"CAMERA_DCIRIS_LEVEL", "300", 0, {{88, {0x2c, 0x01, 0, 0}}}, "", nullptr},
                                    {"CAMERA_DCIRIS_LEVEL", "-1", 0, {{88, {0xff, 0xff, 0xff, 0xff}}}, "", nullptr},
                                    {"CAMERA_DCIRIS_LEVEL", "-2147483649", 0, {{88, {0, 0, 0, 0x80}}}, "", nullptr},
                                    {"CAMERA_DCIRIS_LEVEL", "x", 0, {}, "", nullptr},
                                    {"CAMERA_FNUM ", "F1.4", E, {}, "", nullptr},
                                });
}
