// The consistency check: perturbations of a passing record -> lines and answer.
#include "TestRecord.h"

namespace {

constexpr int32_t E = DEVCAP_ERROR;

// Defaults plus a sensor on I2C with a video output, and encoder motion.
const tBytes kPassing = Patched(kDefaultBytes, {AT(SBConf.sensor.ID, 0xf), AT(SBConf.sensor.CtrlPath, 1),
                                                AT(SBConf.sensor.OutputIF, 1), AT(MdCap.MdSrc, 1)});

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
    {"key's zero byte", {AT(head.key[7], 'X')}, "DevCapDBCheckHeader:Error. Header key 'SCONFIGX'('SCONFIG')\n", E},
    {"ConfCap warns only", {AT(head.ConfCap, 0x1e)}, "DevCapDBCheckHeader:Warning! Capability '0x1E'('0x1F')\n", 0},
    {"warning then failure", {AT(head.ConfCap, 0x100), AT(FwDevCap.IO.DIs, 3)}, "DevCapDBCheckHeader:Warning! Capability '0x100'('0x1F')\n" "DevCapDBCheckExtIO:Error. too many DIs (3)\n", E},
    // sensor board
    {"SB ver", {AT(SBConf.head.ver, 2)}, "DevCapDBCheckSensorBoard:Error. sensor board ver '0x2'('0x0001')\n", E},
    {"SB len", {AT(SBConf.head.len, 0x100)}, "DevCapDBCheckSensorBoard:Error. sensor board conf len '256'('16')\n", E},
    {"encoder alone", {AT(SBConf.sensor.ID, 0), AT(SBConf.sensor.CtrlPath, 0), AT(SBConf.sensor.InputIF, 0), AT(SBConf.sensor.OutputIF, 0), AT(SBConf.encoder.ID, 1), AT(SBConf.encoder.CtrlPath, 1), AT(SBConf.encoder.InputIF, 0), AT(SBConf.encoder.OutputIF, 1)}, "", 0},
    {"no control interface", {AT(SBConf.sensor.CtrlPath, 0)}, "DevCapDBCheckSensorBoardIF:Error. missing control interface in sensor\n", E},
    {"no video interface", {AT(SBConf.sensor.OutputIF, 0)}, "DevCapDBCheckSensorBoardIF:Error. no video interface in sensor\n", E},
    {"unfitted component not examined", {AT(SBConf.processor.ID, 0), AT(SBConf.processor.CtrlPath, 0), AT(SBConf.processor.InputIF, 9), AT(SBConf.processor.OutputIF, 9)}, "", 0},
    {"first failing component reported", {AT(SBConf.decoder.ID, 1), AT(SBConf.decoder.CtrlPath, 0), AT(SBConf.decoder.InputIF, 3), AT(SBConf.decoder.OutputIF, 1), AT(SBConf.encoder.ID, 1), AT(SBConf.encoder.CtrlPath, 1), AT(SBConf.encoder.InputIF, 0), AT(SBConf.encoder.OutputIF, 0)}, "DevCapDBCheckSensorBoardIF:Error. missing control interface in decoder\n", E},
    {"encoder named", {AT(SBConf.encoder.ID, 1), AT(SBConf.encoder.CtrlPath, 0), AT(SBConf.encoder.InputIF, 0), AT(SBConf.encoder.OutputIF, 0)}, "DevCapDBCheckSensorBoardIF:Error. missing control interface in encoder\n", E},
    // firmware
    {"FW ver 0", {AT(FwDevCap.head.ver, 0)}, "DevCapDBCheckFWConf:Error. FW Conf. ver is 0\n", E},
    {"FW len warns only", {AT(FwDevCap.head.len, 0x18)}, "DevCapDBCheckFWConf:Warning! FW Conf. len 24 (20)\n", 0},
    {"audio without PCM", {AT(FwDevCap.AudioType, 1), AT(FwDevCap.AudioCap, 0)}, "DevCapDBCheckFWConf:Error. PCM should be supported\n", E},
    {"PCM tested first", {AT(FwDevCap.AudioType, 2), AT(FwDevCap.AudioCap, 6)}, "DevCapDBCheckFWConf:Error. PCM should be supported\n", E},
    {"a-law without mu-law", {AT(FwDevCap.AudioType, 1), AT(FwDevCap.AudioCap, 3)}, "DevCapDBCheckFWConf:Error. missing G.711 mu-law cap\n", E},
    {"mu-law without a-law", {AT(FwDevCap.AudioType, 1), AT(FwDevCap.AudioCap, 5)}, "DevCapDBCheckFWConf:Error. missing G.711 a-law cap\n", E},
    {"PCM alone", {AT(FwDevCap.AudioType, 2), AT(FwDevCap.AudioCap, 1)}, "", 0},
    {"codecs without audio", {AT(FwDevCap.AudioType, 0), AT(FwDevCap.AudioCap, 7)}, "DevCapDBCheckFWConf:Error. no audio but have audio cap 0x7\n", E},
    {"IO limits", {AT(FwDevCap.IO.DIs, 2), AT(FwDevCap.IO.DOs, 2), AT(FwDevCap.IO.SerialPorts, 1)}, "", 0},
    {"DIs first", {AT(FwDevCap.IO.DIs, 3), AT(FwDevCap.IO.DOs, 5)}, "DevCapDBCheckExtIO:Error. too many DIs (3)\n", E},
    {"DOs at 3", {AT(FwDevCap.IO.DOs, 3)}, "DevCapDBCheckExtIO:Error. too many DOs (3)\n", E},
    {"serial ports", {AT(FwDevCap.IO.SerialPorts, 2)}, "DevCapDBCheckExtIO:Error. too many Serial Ports (2)\n", E},
    {"DC and P iris", {AT(FwDevCap.IO.MiscIO, 9)}, "DevCapDBCheckExtIO:Error. DC-IRIS and P-IRIS are enabled. 0x9\n", E},
    {"DC and both P iris bits", {AT(FwDevCap.IO.MiscIO, 0xf)}, "DevCapDBCheckExtIO:Error. DC-IRIS and P-IRIS are enabled. 0xF\n", E},
    {"P iris and option", {AT(FwDevCap.IO.MiscIO, 0xc)}, "DevCapDBCheckExtIO:Error. P-IRIS and PIRIS_OPT are enabled. 0xC\n", E},
    {"P iris with 8051", {AT(FwDevCap.IO.MiscIO, 0xe)}, "DevCapDBCheckExtIO:Error. P-IRIS and PIRIS_OPT are enabled. 0xE\n", E},
    {"DC iris with 8051", {AT(FwDevCap.IO.MiscIO, 3)}, "", 0},
    {"SD without interface", {AT(FwDevCap.storage.interface, 0), AT(FwDevCap.storage.type, 2)}, "", 0},
    {"interface without type", {AT(FwDevCap.storage.interface, 1), AT(FwDevCap.storage.type, 0)}, "DevCapDBCheckLocalStorage:Error. missing storage type\n", E},
    {"HD without interface", {AT(FwDevCap.storage.interface, 0), AT(FwDevCap.storage.type, 1)}, "DevCapDBCheckLocalStorage:Error. no local storage IF but have HD\n", E},
    {"digital zoom needs no lens", {AT(FwDevCap.PtzCap.ZoomCap, 2), AT(FwDevCap.PtzCap.ZoomLens, 0)}, "", 0},
    {"optical zoom without lens", {AT(FwDevCap.PtzCap.ZoomCap, 3), AT(FwDevCap.PtzCap.ZoomLens, 0)}, "DevCapDBCheckPtz:Error. mossing zoom lens\n", E},
    {"lens without optical zoom", {AT(FwDevCap.PtzCap.ZoomCap, 2), AT(FwDevCap.PtzCap.ZoomLens, 4)}, "DevCapDBCheckPtz:Error. No optical zoom cap but have zoom lens 4\n", E},
    {"unchecked fields", {AT(head.rsvd, 0xffff), AT(FwDevCap.type, 0xff), AT(FwDevCap.platform, 0xff), AT(FwDevCap.storage.rsvd, 0x909), AT(FwDevCap.PtzCap.PTEnable, 9), AT(FwDevCap.PtzCap.PtzImageMajor, 9), AT(FwDevCap.PtzCap.PtzImageMinor, 9), AT(FwDevCap.PtzCap.rsvd, 0x90909), AT(DNCtrlCap.DNCtrlElement, 0xff), AT(DNCtrlCap.Rsvd, 0x101), AT(CamCap.Rsvd, 0x30201), AT(CamCap.Rsvd[5], 0x4000000)}, "", 0},
    // day/night
    {"DN ver", {AT(DNCtrlCap.head.ver, 0)}, "DevCapDBCheckDNCtrl:Error. version is not 0x0001. 0x0\n", E},
    {"DN len", {AT(DNCtrlCap.head.len, 0x14)}, "DevCapDBCheckDNCtrl:Error. length. 20\n", E},
    {"no source, thresholds unexamined", {AT(DNCtrlCap.CdsDay2NightThd, 0xc8), AT(DNCtrlCap.CdsNight2DayThd, 0xa)}, "", 0},
    {"default printed as signed", {AT(DNCtrlCap.DNSrcDefault, 0xffffffff)}, "DevCapDBCheckDNCtrl:Error. no DN Src but default DN Src -1\n", E},
    {"source without default", {AT(DNCtrlCap.DNSrc, 3)}, "DevCapDBCheckDNCtrl:Error. missing default DN Src\n", E},
    {"DSP default without DSP", {AT(DNCtrlCap.DNSrc, 2), AT(DNCtrlCap.DNSrcDefault, 1)}, "DevCapDBCheckDNCtrl:Error. no DSP for DN src but default src is DSP\n", E},
    {"CDS default without CDS", {AT(DNCtrlCap.DNSrc, 1), AT(DNCtrlCap.DNSrcDefault, 2)}, "DevCapDBCheckDNCtrl:Error. no CDS for DN src but default src is CDS\n", E},
    {"unknown default", {AT(DNCtrlCap.DNSrc, 2), AT(DNCtrlCap.DNSrcDefault, 3)}, "DevCapDBCheckDNCtrl:Error. unknown default DN src. 3\n", E},
    {"day threshold", {AT(DNCtrlCap.DNSrc, 1), AT(DNCtrlCap.DNSrcDefault, 1), AT(DNCtrlCap.CdsDay2NightThd, 0x96)}, "DevCapDBCheckDNCtrl:Error. invlaid CDS Day to Night threshold. 150\n", E},
    {"night threshold", {AT(DNCtrlCap.DNSrc, 1), AT(DNCtrlCap.DNSrcDefault, 1), AT(DNCtrlCap.CdsDay2NightThd, 0), AT(DNCtrlCap.CdsNight2DayThd, 0x65)}, "DevCapDBCheckDNCtrl:Error. invlaid CDS Night to Day threshold. 101\n", E},
    {"day threshold at 101", {AT(DNCtrlCap.DNSrc, 1), AT(DNCtrlCap.DNSrcDefault, 1), AT(DNCtrlCap.CdsDay2NightThd, 101)}, "DevCapDBCheckDNCtrl:Error. invlaid CDS Day to Night threshold. 101\n", E},
    {"thresholds at 100", {AT(DNCtrlCap.DNSrc, 1), AT(DNCtrlCap.DNSrcDefault, 1), AT(DNCtrlCap.CdsDay2NightThd, 100), AT(DNCtrlCap.CdsNight2DayThd, 100)}, "", 0},
    {"CDS order by one", {AT(DNCtrlCap.DNSrc, 2), AT(DNCtrlCap.DNSrcDefault, 2), AT(DNCtrlCap.CdsDay2NightThd, 41), AT(DNCtrlCap.CdsNight2DayThd, 40)}, "DevCapDBCheckDNCtrl:Error. CDS THD 41 > 40\n", E},
    {"order unexamined without CDS", {AT(DNCtrlCap.DNSrc, 1), AT(DNCtrlCap.DNSrcDefault, 1), AT(DNCtrlCap.CdsDay2NightThd, 0x3c), AT(DNCtrlCap.CdsNight2DayThd, 0x28)}, "", 0},
    {"CDS order", {AT(DNCtrlCap.DNSrc, 3), AT(DNCtrlCap.DNSrcDefault, 2), AT(DNCtrlCap.CdsDay2NightThd, 0x3c), AT(DNCtrlCap.CdsNight2DayThd, 0x28)}, "DevCapDBCheckDNCtrl:Error. CDS THD 60 > 40\n", E},
    {"CDS equal thresholds", {AT(DNCtrlCap.DNSrc, 3), AT(DNCtrlCap.DNSrcDefault, 2), AT(DNCtrlCap.CdsDay2NightThd, 0x64), AT(DNCtrlCap.CdsNight2DayThd, 0x64)}, "", 0},
    // motion
    {"MD ver", {AT(MdCap.head.ver, 3)}, "DevCapDBCheckMotion:Error. version is not 0x0001. 0x3\n", E},
    {"no motion source", {AT(MdCap.MdSrc, 0)}, "DevCapDBCheckMotion:Error. missing encoder motion capability. 0x0\n", E},
    {"sensor without encoder", {AT(MdCap.MdSrc, 2)}, "DevCapDBCheckMotion:Error. missing encoder motion capability. 0x2\n", E},
    {"PIR with DI2 warns", {AT(MdCap.MdSrc, 3), AT(FwDevCap.IO.DIs, 2)}, "DevCapDBCheckMotion:Warning. DI2 and PIR should not be availabe at the same time\n", 0},
    {"PIR with DI1", {AT(MdCap.MdSrc, 3), AT(FwDevCap.IO.DIs, 1)}, "", 0},
    // camera
    {"cam len", {AT(CamCap.head.len, 0x24)}, "DevCapDBCheckCamera:Error. length. 36\n", E},
    {"level 255", {AT(CamCap.DCIrisLevel, 0xff)}, "", 0},
    {"level 256", {AT(CamCap.DCIrisLevel, 0x100)}, "DevCapDBCheckCamera:Error. invalid DC-IRIS level 256\n", E},
    {"level -1", {AT(CamCap.DCIrisLevel, 0xffffffff)}, "DevCapDBCheckCamera:Error. invalid DC-IRIS level -1\n", E},
    {"P iris without F-number", {AT(FwDevCap.IO.MiscIO, 4)}, "DevCapDBCheckCamera:Error. missing F-Num\n", E},
    {"P iris with F-number", {AT(FwDevCap.IO.MiscIO, 4), AT(CamCap.F_Num, 0x12)}, "", 0},
    {"level reported before F-number", {AT(FwDevCap.IO.MiscIO, 4), AT(CamCap.DCIrisLevel, 0x12c)}, "DevCapDBCheckCamera:Error. invalid DC-IRIS level 300\n", E},
};
// clang-format on

}  // namespace

TEST(Check, Perturbations) {
    for (const tCase& c : kCases) {
        const tBytes bytes = Patched(kPassing, c.patches);
        const tDevConf dev = RecordOf(bytes);
        int32_t answer = 0;
        EXPECT_EQ(Said([&](const tDevCapSink* out) { answer = DevCapDBCheck(&dev, out); }), c.printed) << c.what;
        EXPECT_EQ(answer, c.answer) << c.what;
        EXPECT_EQ(BytesOf(dev), bytes) << c.what << ": the check changed the record";
    }
}
