// The consistency check: perturbations of a passing record -> lines and answer.
#include "TestRecord.h"

namespace {

constexpr int32_t E = DEVCAP_ERROR;

// Defaults plus a sensor on I2C with a video output, and encoder motion.
const tBytes kPassing = Patched(kDefaultBytes, {{16, {15, 1, 0, 1}}, {80, {1, 0, 0, 0}}});

struct tCase {
    const char* what;
    std::vector<tPatch> patches;
    const char* printed;
    int32_t answer;
};

// clang-format off
const tCase kCases[] = {
    {"passing record", {}, "", 0},
    // header
    {"key's zero byte", {{7, {'X'}}}, "DevCapDBCheckHeader:Error. Header key 'SCONFIGX'('SCONFIG')\n", E},
    {"ConfCap warns only", {{8, {0x1e}}}, "DevCapDBCheckHeader:Warning! Capability '0x1E'('0x1F')\n", 0},
    {"warning then failure", {{8, {0x00, 0x01}}, {40, {3}}},
     "DevCapDBCheckHeader:Warning! Capability '0x100'('0x1F')\n"
     "DevCapDBCheckExtIO:Error. too many DIs (3)\n",
     E},
    // sensor board
    {"SB ver", {{12, {2, 0}}}, "DevCapDBCheckSensorBoard:Error. sensor board ver '0x2'('0x0001')\n", E},
    {"SB len", {{14, {0, 1}}}, "DevCapDBCheckSensorBoard:Error. sensor board conf len '256'('16')\n", E},
    {"encoder alone", {{16, {0, 0, 0, 0}}, {28, {1, 1, 0, 1}}}, "", 0},
    {"no control interface", {{17, {0}}}, "DevCapDBCheckSensorBoardIF:Error. missing control interface in sensor\n", E},
    {"no video interface", {{19, {0}}}, "DevCapDBCheckSensorBoardIF:Error. no video interface in sensor\n", E},
    {"unfitted component not examined", {{24, {0, 0, 9, 9}}}, "", 0},
    {"first failing component reported", {{20, {1, 0, 3, 1}}, {28, {1, 1, 0, 0}}},
     "DevCapDBCheckSensorBoardIF:Error. missing control interface in decoder\n",
     E},
    {"encoder named", {{28, {1, 0, 0, 0}}},
     "DevCapDBCheckSensorBoardIF:Error. missing control interface in encoder\n",
     E},
    // firmware
    {"FW ver 0", {{32, {0, 0}}}, "DevCapDBCheckFWConf:Error. FW Conf. ver is 0\n", E},
    {"FW len warns only", {{34, {24, 0}}}, "DevCapDBCheckFWConf:Warning! FW Conf. len 24 (20)\n", 0},
    {"audio without PCM", {{38, {1, 0}}}, "DevCapDBCheckFWConf:Error. PCM should be supported\n", E},
    {"PCM tested first", {{38, {2, 6}}}, "DevCapDBCheckFWConf:Error. PCM should be supported\n", E},
    {"a-law without mu-law", {{38, {1, 3}}}, "DevCapDBCheckFWConf:Error. missing G.711 mu-law cap\n", E},
    {"mu-law without a-law", {{38, {1, 5}}}, "DevCapDBCheckFWConf:Error. missing G.711 a-law cap\n", E},
    {"PCM alone", {{38, {2, 1}}}, "", 0},
    {"codecs without audio", {{38, {0, 7}}}, "DevCapDBCheckFWConf:Error. no audio but have audio cap 0x7\n", E},
    {"IO limits", {{40, {2, 2, 1}}}, "", 0},
    {"DIs first", {{40, {3, 5}}}, "DevCapDBCheckExtIO:Error. too many DIs (3)\n", E},
    {"serial ports", {{42, {2}}}, "DevCapDBCheckExtIO:Error. too many Serial Ports (2)\n", E},
    {"DC and P iris", {{43, {0x09}}}, "DevCapDBCheckExtIO:Error. DC-IRIS and P-IRIS are enabled. 0x9\n", E},
    {"DC and both P iris bits", {{43, {0x0f}}}, "DevCapDBCheckExtIO:Error. DC-IRIS and P-IRIS are enabled. 0xF\n", E},
    {"P iris and option", {{43, {0x0c}}}, "DevCapDBCheckExtIO:Error. P-IRIS and PIRIS_OPT are enabled. 0xC\n", E},
    {"P iris with 8051", {{43, {0x0e}}}, "DevCapDBCheckExtIO:Error. P-IRIS and PIRIS_OPT are enabled. 0xE\n", E},
    {"DC iris with 8051", {{43, {0x03}}}, "", 0},
    {"SD without interface", {{44, {0, 2}}}, "", 0},
    {"interface without type", {{44, {1, 0}}}, "DevCapDBCheckLocalStorage:Error. missing storage type\n", E},
    {"HD without interface", {{44, {0, 1}}}, "DevCapDBCheckLocalStorage:Error. no local storage IF but have HD\n", E},
    {"digital zoom needs no lens", {{51, {2, 0}}}, "", 0},
    {"optical zoom without lens", {{51, {3, 0}}}, "DevCapDBCheckPtz:Error. mossing zoom lens\n", E},
    {"lens without optical zoom", {{51, {2, 4}}},
     "DevCapDBCheckPtz:Error. No optical zoom cap but have zoom lens 4\n",
     E},
    {"unchecked fields", {{10, {0xff, 0xff}}, {36, {0xff, 0xff}}, {46, {9, 9, 9, 9, 9}}, {53, {9, 9, 9}}, {68, {0xff}}, {74, {1, 1}}, {96, {1, 2, 3}}, {119, {4}}}, "", 0},
    // day/night
    {"DN ver", {{56, {0, 0}}}, "DevCapDBCheckDNCtrl:Error. version is not 0x0001. 0x0\n", E},
    {"DN len", {{58, {20, 0}}}, "DevCapDBCheckDNCtrl:Error. length. 20\n", E},
    {"no source, thresholds unexamined", {{72, {200, 10}}}, "", 0},
    {"default printed as signed", {{64, {0xff, 0xff, 0xff, 0xff}}},
     "DevCapDBCheckDNCtrl:Error. no DN Src but default DN Src -1\n",
     E},
    {"source without default", {{60, {3}}}, "DevCapDBCheckDNCtrl:Error. missing default DN Src\n", E},
    {"DSP default without DSP", {{60, {2}}, {64, {1}}},
     "DevCapDBCheckDNCtrl:Error. no DSP for DN src but default src is DSP\n",
     E},
    {"CDS default without CDS", {{60, {1}}, {64, {2}}},
     "DevCapDBCheckDNCtrl:Error. no CDS for DN src but default src is CDS\n",
     E},
    {"unknown default", {{60, {2}}, {64, {3}}}, "DevCapDBCheckDNCtrl:Error. unknown default DN src. 3\n", E},
    {"day threshold", {{60, {1}}, {64, {1}}, {72, {150}}},
     "DevCapDBCheckDNCtrl:Error. invlaid CDS Day to Night threshold. 150\n",
     E},
    {"night threshold", {{60, {1}}, {64, {1}}, {72, {0, 101}}},
     "DevCapDBCheckDNCtrl:Error. invlaid CDS Night to Day threshold. 101\n",
     E},
    {"order unexamined without CDS", {{60, {1}}, {64, {1}}, {72, {60, 40}}}, "", 0},
    {"CDS order", {{60, {3}}, {64, {2}}, {72, {60, 40}}}, "DevCapDBCheckDNCtrl:Error. CDS THD 60 > 40\n", E},
    {"CDS equal thresholds", {{60, {3}}, {64, {2}}, {72, {100, 100}}}, "", 0},
    // motion
    {"MD ver", {{76, {3, 0}}}, "DevCapDBCheckMotion:Error. version is not 0x0001. 0x3\n", E},
    {"no motion source", {{80, {0}}}, "DevCapDBCheckMotion:Error. missing encoder motion capability. 0x0\n", E},
    {"sensor without encoder", {{80, {2}}}, "DevCapDBCheckMotion:Error. missing encoder motion capability. 0x2\n", E},
    {"PIR with DI2 warns", {{80, {3}}, {40, {2}}},
     "DevCapDBCheckMotion:Warning. DI2 and PIR should not be availabe at the same time\n",
     0},
    {"PIR with DI1", {{80, {3}}, {40, {1}}}, "", 0},
    // camera
    {"cam len", {{86, {36, 0}}}, "DevCapDBCheckCamera:Error. length. 36\n", E},
    {"level 255", {{88, {255}}}, "", 0},
    {"level 256", {{88, {0, 1}}}, "DevCapDBCheckCamera:Error. invalid DC-IRIS level 256\n", E},
    {"level -1", {{88, {0xff, 0xff, 0xff, 0xff}}}, "DevCapDBCheckCamera:Error. invalid DC-IRIS level -1\n", E},
    {"P iris without F-number", {{43, {4}}}, "DevCapDBCheckCamera:Error. missing F-Num\n", E},
    {"P iris with F-number", {{43, {4}}, {92, {18}}}, "", 0},
    {"level reported before F-number", {{43, {4}}, {88, {0x2c, 1}}}, "DevCapDBCheckCamera:Error. invalid DC-IRIS level 300\n", E},
};
// clang-format on

}  // namespace

TEST(Check, Perturbations) {
    for (const tCase& c : kCases) {
        const tBytes bytes = Patched(kPassing, c.patches);
        const tDevConf dev = RecordOf(bytes);
        int32_t answer = 0;
        EXPECT_EQ(Printed([&] { answer = DevCapDBCheck(&dev); }), c.printed) << c.what;
        EXPECT_EQ(answer, c.answer) << c.what;
        EXPECT_EQ(BytesOf(dev), bytes) << c.what << ": the check changed the record";
    }
}
