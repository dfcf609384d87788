// The consistency check rule by rule: each field a rule reads (and no other),
// each bit of a list, both sides of every limit, each message and the order
// in which rules and sub-checks are tried. A row patches a passing record; an
// "Error." line in what it prints means the check fails, a warning never does.
#include "TestRecord.h"

namespace {

// Defaults plus a sensor on I2C with a video output, and encoder motion.
const tBytes kPassing = Patched(kDefaultBytes, {AT(SBConf.sensor.ID, 0xf), AT(SBConf.sensor.CtrlPath, 1),
                                                AT(SBConf.sensor.OutputIF, 1), AT(MdCap.MdSrc, 1)});

// A fitted component of the sensor board with its control and video interfaces.
#define FIT(c, ctrl, in, out) \
    AT(SBConf.c.ID, 1), AT(SBConf.c.CtrlPath, ctrl), AT(SBConf.c.InputIF, in), AT(SBConf.c.OutputIF, out)
#define NO_SENSOR AT(SBConf.sensor.ID, 0)
#define DN(src, dflt, day, night)                                                                   \
    AT(DNCtrlCap.DNSrc, src), AT(DNCtrlCap.DNSrcDefault, dflt), AT(DNCtrlCap.CdsDay2NightThd, day), \
        AT(DNCtrlCap.CdsNight2DayThd, night)

struct tCase {
    std::vector<tPatch> patches;
    std::vector<uint64_t> each;  // when given, the last patch's field takes each of these values in turn
    const char* printed;         // %d: that value as a signed 32-bit number, %X: its hexadecimal digits
};

std::string Printed(std::string format, uint64_t value) {
    char hex[16];
    snprintf(hex, sizeof hex, "%X", static_cast<uint32_t>(value));
    for (size_t at; (at = format.find('%')) != std::string::npos;)
        format.replace(at, 2, format[at + 1] == 'd' ? std::to_string(static_cast<int32_t>(value)) : hex);
    return format;
}

// clang-format off
const tCase kCases[] = {
    {{}, {}, ""},
    // header: all 8 key bytes, letter case included; the capability only warns
    {{AT(head.key[7], 'X')}, {}, "DevCapDBCheckHeader:Error. Header key 'SCONFIGX'('SCONFIG')\n"}, {{AT(head.key[0], 's')}, {}, "DevCapDBCheckHeader:Error. Header key 'sCONFIG'('SCONFIG')\n"},
    {{AT(head.key[6], 0)}, {}, "DevCapDBCheckHeader:Error. Header key 'SCONFI'('SCONFIG')\n"}, {{AT(head.ConfCap, 0x1e)}, {0x1e, 0x11f, 0}, "DevCapDBCheckHeader:Warning! Capability '0x%X'('0x1F')\n"},
    {{AT(head.ConfCap, 0x11f), AT(FwDevCap.IO.DIs, 3)}, {}, "DevCapDBCheckHeader:Warning! Capability '0x11F'('0x1F')\nDevCapDBCheckExtIO:Error. too many DIs (3)\n"},
    // each sub-check in the chain stops the ones after it
    {{AT(head.key[1], 0), AT(SBConf.head.ver, 2)}, {}, "DevCapDBCheckHeader:Error. Header key 'S'('SCONFIG')\n"},
    {{AT(FwDevCap.head.ver, 0), AT(SBConf.head.ver, 2)}, {0, 2, 0x1a, 0xffff}, "DevCapDBCheckSensorBoard:Error. sensor board ver '0x%X'('0x0001')\n"},
    {{AT(FwDevCap.head.ver, 0), AT(DNCtrlCap.head.ver, 0)}, {}, "DevCapDBCheckFWConf:Error. FW Conf. ver is 0\n"},
    {{AT(MdCap.MdSrc, 0), AT(DNCtrlCap.head.ver, 0)}, {0, 2, 0x1a, 0xffff}, "DevCapDBCheckDNCtrl:Error. version is not 0x0001. 0x%X\n"},
    {{AT(CamCap.head.ver, 0), AT(MdCap.MdSrc, 0)}, {0, 2, 0xfffffffe}, "DevCapDBCheckMotion:Error. missing encoder motion capability. 0x%X\n"},
    // sensor board: version before length before the components
    {{AT(SBConf.head.ver, 0x1a), AT(SBConf.head.len, 0)}, {}, "DevCapDBCheckSensorBoard:Error. sensor board ver '0x1A'('0x0001')\n"},
    {{NO_SENSOR, AT(SBConf.head.len, 0x100)}, {0, 15, 17, 0x100}, "DevCapDBCheckSensorBoard:Error. sensor board conf len '%d'('16')\n"}, {{NO_SENSOR}, {}, "DevCapDBCheckSensorBoard:Error. no video frond-end\n"},
    {{NO_SENSOR, AT(SBConf.encoder.CtrlPath, 1), AT(SBConf.encoder.OutputIF, 1)}, {}, "DevCapDBCheckSensorBoard:Error. no video frond-end\n"}, {{NO_SENSOR, FIT(decoder, 1, 1, 0)}, {}, ""}, {{NO_SENSOR, FIT(processor, 1, 0, 1)}, {}, ""},
    {{NO_SENSOR, FIT(encoder, 1, 0, 1), AT(SBConf.encoder.ID, 0)}, {1, 0x80, 0xff}, ""},
    // each component by its own fields and name; an unfitted one is not examined
    {{AT(SBConf.sensor.CtrlPath, 0)}, {}, "DevCapDBCheckSensorBoardIF:Error. missing control interface in sensor\n"}, {{FIT(decoder, 0, 1, 1)}, {}, "DevCapDBCheckSensorBoardIF:Error. missing control interface in decoder\n"},
    {{FIT(processor, 0, 1, 1)}, {}, "DevCapDBCheckSensorBoardIF:Error. missing control interface in processor\n"}, {{FIT(encoder, 0, 1, 1)}, {}, "DevCapDBCheckSensorBoardIF:Error. missing control interface in encoder\n"},
    {{AT(SBConf.sensor.OutputIF, 0)}, {}, "DevCapDBCheckSensorBoardIF:Error. no video interface in sensor\n"}, {{FIT(decoder, 1, 0, 0)}, {}, "DevCapDBCheckSensorBoardIF:Error. no video interface in decoder\n"},
    {{FIT(processor, 1, 0, 0)}, {}, "DevCapDBCheckSensorBoardIF:Error. no video interface in processor\n"}, {{FIT(encoder, 1, 0, 0)}, {}, "DevCapDBCheckSensorBoardIF:Error. no video interface in encoder\n"},
    {{AT(SBConf.sensor.OutputIF, 0), AT(SBConf.sensor.InputIF, 1)}, {1, 0x80, 0xff}, ""}, {{AT(SBConf.sensor.CtrlPath, 0), AT(SBConf.sensor.OutputIF, 0)}, {}, "DevCapDBCheckSensorBoardIF:Error. missing control interface in sensor\n"},
    {{FIT(processor, 0, 9, 9), AT(SBConf.processor.ID, 0)}, {}, ""}, {{FIT(decoder, 0, 3, 1), FIT(encoder, 1, 0, 0)}, {}, "DevCapDBCheckSensorBoardIF:Error. missing control interface in decoder\n"},
    {{AT(SBConf.sensor.OutputIF, 0), FIT(decoder, 0, 1, 1)}, {}, "DevCapDBCheckSensorBoardIF:Error. no video interface in sensor\n"},
    {{FIT(processor, 1, 0, 0), FIT(encoder, 0, 1, 1)}, {}, "DevCapDBCheckSensorBoardIF:Error. no video interface in processor\n"},
    // firmware: any version but 0; the length only warns; audio
    {{AT(FwDevCap.head.ver, 2)}, {2, 0x100, 0xffff}, ""}, {{AT(FwDevCap.head.len, 0x118)}, {0, 19, 24, 0x118}, "DevCapDBCheckFWConf:Warning! FW Conf. len %d (20)\n"},
    {{AT(FwDevCap.head.len, 24), AT(FwDevCap.head.ver, 0)}, {}, "DevCapDBCheckFWConf:Error. FW Conf. ver is 0\n"},
    {{AT(FwDevCap.head.len, 19), AT(FwDevCap.AudioType, 1)}, {}, "DevCapDBCheckFWConf:Warning! FW Conf. len 19 (20)\nDevCapDBCheckFWConf:Error. PCM should be supported\n"},
    {{AT(FwDevCap.AudioCap, 6), AT(FwDevCap.AudioType, 1)}, {1, 2, 0x80, 0xff}, "DevCapDBCheckFWConf:Error. PCM should be supported\n"},
    {{AT(FwDevCap.AudioType, 1), AT(FwDevCap.AudioCap, 0)}, {0, 2, 4, 0xfe}, "DevCapDBCheckFWConf:Error. PCM should be supported\n"},
    {{AT(FwDevCap.AudioType, 1), AT(FwDevCap.AudioCap, 5)}, {5, 0x85}, "DevCapDBCheckFWConf:Error. missing G.711 a-law cap\n"},
    {{AT(FwDevCap.AudioType, 1), AT(FwDevCap.AudioCap, 3)}, {3, 0x83}, "DevCapDBCheckFWConf:Error. missing G.711 mu-law cap\n"}, {{AT(FwDevCap.AudioType, 0x80), AT(FwDevCap.AudioCap, 1)}, {1, 7, 0x09, 0xf9, 0xff}, ""},
    {{AT(FwDevCap.AudioCap, 7)}, {1, 7, 0x80}, "DevCapDBCheckFWConf:Error. no audio but have audio cap 0x%X\n"},
    // external IO: counts to their limits, iris bits; then storage, then zoom
    {{AT(FwDevCap.IO.DIs, 0)}, {1, 2}, ""}, {{AT(FwDevCap.IO.DOs, 5), AT(FwDevCap.IO.DIs, 3)}, {3, 0xff}, "DevCapDBCheckExtIO:Error. too many DIs (%d)\n"}, {{AT(FwDevCap.IO.DOs, 0)}, {1, 2}, ""},
    {{AT(FwDevCap.IO.SerialPorts, 2), AT(FwDevCap.IO.DOs, 3)}, {3, 0x80}, "DevCapDBCheckExtIO:Error. too many DOs (%d)\n"}, {{AT(FwDevCap.IO.SerialPorts, 1)}, {}, ""},
    {{AT(FwDevCap.IO.MiscIO, 9), AT(FwDevCap.IO.SerialPorts, 2)}, {2, 0xff}, "DevCapDBCheckExtIO:Error. too many Serial Ports (%d)\n"},
    {{AT(FwDevCap.storage.interface, 1), AT(FwDevCap.IO.MiscIO, 9)}, {5, 9, 0xb, 0xd, 0xff}, "DevCapDBCheckExtIO:Error. DC-IRIS and P-IRIS are enabled. 0x%X\n"},
    {{AT(FwDevCap.IO.MiscIO, 0xc)}, {0xc, 0xe, 0xfe}, "DevCapDBCheckExtIO:Error. P-IRIS and PIRIS_OPT are enabled. 0x%X\n"}, {{AT(FwDevCap.IO.MiscIO, 0)}, {1, 2, 3, 8, 0xa, 0xf3}, ""},
    {{AT(CamCap.F_Num, 1), AT(FwDevCap.IO.MiscIO, 4)}, {4, 6, 0xf6}, ""}, {{AT(FwDevCap.storage.type, 0), AT(FwDevCap.storage.interface, 2)}, {1, 2, 0xff}, "DevCapDBCheckLocalStorage:Error. missing storage type\n"},
    {{AT(FwDevCap.storage.type, 1), AT(FwDevCap.PtzCap.ZoomCap, 1)}, {}, "DevCapDBCheckLocalStorage:Error. no local storage IF but have HD\n"}, {{AT(FwDevCap.storage.interface, 1), AT(FwDevCap.storage.type, 1)}, {1, 2, 3, 0xff}, ""},
    {{AT(FwDevCap.storage.type, 2)}, {2, 3, 0xff}, ""}, {{AT(FwDevCap.PtzCap.ZoomCap, 1)}, {1, 3, 0xff}, "DevCapDBCheckPtz:Error. mossing zoom lens\n"},
    {{AT(FwDevCap.PtzCap.ZoomLens, 4), AT(FwDevCap.PtzCap.ZoomCap, 0)}, {0, 2, 0xfe}, "DevCapDBCheckPtz:Error. No optical zoom cap but have zoom lens 4\n"},
    {{AT(FwDevCap.PtzCap.ZoomLens, 0xff)}, {1, 0xff}, "DevCapDBCheckPtz:Error. No optical zoom cap but have zoom lens %d\n"}, {{AT(FwDevCap.PtzCap.ZoomCap, 1), AT(FwDevCap.PtzCap.ZoomLens, 1)}, {1, 0xff}, ""},
    {{AT(FwDevCap.PtzCap.ZoomCap, 2)}, {}, ""},
    {{AT(head.rsvd, 0xffff), AT(FwDevCap.type, 0xff), AT(FwDevCap.platform, 0xff), AT(FwDevCap.storage.rsvd, 0x909), AT(FwDevCap.PtzCap.PTEnable, 9), AT(FwDevCap.PtzCap.PtzImageMajor, 9), AT(FwDevCap.PtzCap.PtzImageMinor, 9), AT(FwDevCap.PtzCap.rsvd, 0x90909), AT(DNCtrlCap.DNCtrlElement, 0xffffffff), AT(DNCtrlCap.Rsvd, 0x101), AT(CamCap.Rsvd, 0x30201), AT(CamCap.Rsvd[5], 0x4000000)}, {}, ""},
    // day/night: version, length, the default against the sources, thresholds
    {{AT(DNCtrlCap.head.ver, 0x1a), AT(DNCtrlCap.head.len, 0)}, {}, "DevCapDBCheckDNCtrl:Error. version is not 0x0001. 0x1A\n"}, {{AT(DNCtrlCap.head.len, 0x114)}, {0, 15, 17, 0x114}, "DevCapDBCheckDNCtrl:Error. length. %d\n"},
    {{DN(0, 0, 200, 10)}, {}, ""}, {{DN(0, 0, 200, 0), AT(DNCtrlCap.DNSrcDefault, 1)}, {1, 2, 3, 0xffffffff}, "DevCapDBCheckDNCtrl:Error. no DN Src but default DN Src %d\n"},
    {{DN(1, 0, 0, 0), AT(DNCtrlCap.DNSrc, 1)}, {1, 2, 3, 4, 0x100, 0x80000000}, "DevCapDBCheckDNCtrl:Error. missing default DN Src\n"},
    {{DN(2, 1, 0, 0), AT(DNCtrlCap.DNSrc, 2)}, {2, 0xfe, 0xfffffffe}, "DevCapDBCheckDNCtrl:Error. no DSP for DN src but default src is DSP\n"},
    {{DN(1, 2, 0, 0), AT(DNCtrlCap.DNSrc, 1)}, {1, 0xfd, 0xfffffffd}, "DevCapDBCheckDNCtrl:Error. no CDS for DN src but default src is CDS\n"},
    {{DN(2, 0, 0, 0), AT(DNCtrlCap.DNSrcDefault, 3)}, {3, 4, 0x100, 0xffffffff}, "DevCapDBCheckDNCtrl:Error. unknown default DN src. %d\n"},
    {{DN(1, 3, 0, 0), AT(DNCtrlCap.DNSrc, 1)}, {1, 3, 0xffffffff}, "DevCapDBCheckDNCtrl:Error. unknown default DN src. 3\n"}, {{DN(1, 1, 0, 0), AT(DNCtrlCap.DNSrc, 1)}, {1, 3, 0xff, 0xffffffff}, ""},
    {{DN(2, 2, 0, 0), AT(DNCtrlCap.DNSrc, 2)}, {2, 3, 0xff, 0xffffffff}, ""}, {{DN(1, 1, 101, 101)}, {}, "DevCapDBCheckDNCtrl:Error. invlaid CDS Day to Night threshold. 101\n"},
    {{DN(2, 2, 0, 0), AT(DNCtrlCap.CdsDay2NightThd, 101)}, {101, 0x80, 0xff}, "DevCapDBCheckDNCtrl:Error. invlaid CDS Day to Night threshold. %d\n"},
    {{DN(3, 2, 0, 0xc8)}, {101, 0x80, 0xff}, "DevCapDBCheckDNCtrl:Error. invlaid CDS Night to Day threshold. %d\n"}, {{DN(1, 1, 100, 100)}, {}, ""}, {{DN(1, 1, 60, 40)}, {}, ""},
    {{DN(2, 2, 41, 40), AT(DNCtrlCap.DNSrc, 2)}, {2, 3, 0xffffffff}, "DevCapDBCheckDNCtrl:Error. CDS THD 41 > 40\n"}, {{DN(3, 1, 100, 0)}, {}, "DevCapDBCheckDNCtrl:Error. CDS THD 100 > 0\n"},
    {{DN(3, 2, 40, 40), AT(DNCtrlCap.CdsNight2DayThd, 40)}, {40, 41, 100}, ""}, {{DN(3, 2, 0, 40), AT(DNCtrlCap.CdsDay2NightThd, 0)}, {0, 39}, ""},
    // motion
    {{AT(MdCap.head.len, 0), AT(MdCap.head.ver, 3)}, {0, 3, 0xabcd}, "DevCapDBCheckMotion:Error. version is not 0x0001. 0x%X\n"}, {{AT(MdCap.head.len, 5)}, {0, 3, 5, 0x103}, "DevCapDBCheckMotion:Error. length. %d\n"},
    {{AT(FwDevCap.IO.DIs, 2), AT(MdCap.MdSrc, 3)}, {3, 0xffffffff}, "DevCapDBCheckMotion:Warning. DI2 and PIR should not be availabe at the same time\n"}, {{AT(FwDevCap.IO.DIs, 2), AT(MdCap.MdSrc, 1)}, {1, 5, 0xfffffffd}, ""},
    {{AT(MdCap.MdSrc, 3), AT(FwDevCap.IO.DIs, 0)}, {0, 1}, ""},
    {{AT(MdCap.MdSrc, 3), AT(FwDevCap.IO.DIs, 2), AT(CamCap.head.len, 36)}, {}, "DevCapDBCheckMotion:Warning. DI2 and PIR should not be availabe at the same time\nDevCapDBCheckCamera:Error. length. 36\n"},
    // camera: the level as an unsigned 32-bit number, the F-number for P-iris alone
    {{AT(CamCap.head.len, 0), AT(CamCap.head.ver, 2)}, {0, 2, 0xffff}, "DevCapDBCheckCamera:Error. version is not 0x0001. 0x%X\n"},
    {{AT(CamCap.DCIrisLevel, 256), AT(CamCap.head.len, 31)}, {0, 31, 33, 0x120}, "DevCapDBCheckCamera:Error. length. %d\n"}, {{AT(CamCap.DCIrisLevel, 0)}, {1, 255}, ""},
    {{AT(FwDevCap.IO.MiscIO, 1), AT(CamCap.DCIrisLevel, 256)}, {256, 0x7fffffff, 0x80000000, 0xffffffff}, "DevCapDBCheckCamera:Error. invalid DC-IRIS level %d\n"},
    {{AT(FwDevCap.IO.MiscIO, 4)}, {}, "DevCapDBCheckCamera:Error. missing F-Num\n"}, {{AT(FwDevCap.IO.MiscIO, 4), AT(CamCap.F_Num, 18)}, {1, 18, 0x100, 0x80000000}, ""}, {{AT(FwDevCap.IO.MiscIO, 8), AT(CamCap.F_Num, 0)}, {}, ""},
    {{AT(FwDevCap.IO.MiscIO, 4), AT(CamCap.DCIrisLevel, 300)}, {}, "DevCapDBCheckCamera:Error. invalid DC-IRIS level 300\n"},
};
// clang-format on

}  // namespace

TEST(Check, RuleByRule) {
    for (size_t row = 0; row < sizeof kCases / sizeof kCases[0]; ++row) {
        const tCase& c = kCases[row];
        std::vector<tPatch> patches = c.patches;
        for (size_t k = 0; k < (c.each.empty() ? 1 : c.each.size()); ++k) {
            if (!c.each.empty()) patches.back().value = c.each[k];
            const tBytes bytes = Patched(kPassing, patches);
            const tDevConf dev = RecordOf(bytes);
            int32_t answer = 0;
            const std::string what =
                "row " + std::to_string(row) + (c.each.empty() ? "" : " value " + std::to_string(k));
            const std::string printed = Printed(c.printed, patches.empty() ? 0 : patches.back().value);
            EXPECT_EQ(Said([&](const tDevCapSink* out) { answer = DevCapDBCheck(&dev, out); }), printed) << what;
            EXPECT_EQ(answer, printed.find(":Error.") != std::string::npos ? DEVCAP_ERROR : 0) << what;
            EXPECT_EQ(BytesOf(dev), bytes) << what << ": the check changed the record";
        }
    }
}
