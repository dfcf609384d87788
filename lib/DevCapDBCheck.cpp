// DevCapDBCheck.cpp - the consistency rules a finished record must satisfy
// before it is written: one small function a rule, its row right under it,
// and the order the check evaluates and prints them at the end. An error ends
// the check; each rule can also be evaluated on its own. The record is only
// read.
#include <cstring>

#include "DevCapCore.h"

namespace {

using tRule = tCheckRule;
using tOut = const tDevCapSink*;

// Fields reach %d and %X as unsigned values, except where noted.
constexpr unsigned U(unsigned v) { return v; }
// The 4-byte fields printed with %d go through unchanged: 0xFFFFFFFF prints -1.
constexpr int S32(uint32_t v) { return static_cast<int>(v); }

constexpr uint16_t kSBLen = DevCapSectionLen<tSBConf>();
constexpr uint16_t kFwLen = DevCapSectionLen<tFwDevCap>();
constexpr uint16_t kDNLen = DevCapSectionLen<tDNCtrlCap>();
constexpr uint16_t kMdLen = DevCapSectionLen<tMdCap>();
constexpr uint16_t kCamLen = DevCapSectionLen<tCamCap>();

#define AT(path) static_cast<uint8_t>(offsetof(tDevConf, path))
#define READS1(a) {AT(a)}, 1
#define READS2(a, b) {AT(a), AT(b)}, 2
#define READS3(a, b, c) {AT(a), AT(b), AT(c)}, 3
#define READS4(a, b, c, d) {AT(a), AT(b), AT(c), AT(d)}, 4
constexpr bool E = true, W = false;
constexpr const char* kHead = "DevCapDBCheckHeader";
constexpr const char* kSB = "DevCapDBCheckSensorBoard";
constexpr const char* kSBIF = "DevCapDBCheckSensorBoardIF";
constexpr const char* kFw = "DevCapDBCheckFWConf";
constexpr const char* kIO = "DevCapDBCheckExtIO";
constexpr const char* kStorage = "DevCapDBCheckLocalStorage";
constexpr const char* kPtz = "DevCapDBCheckPtz";
constexpr const char* kDN = "DevCapDBCheckDNCtrl";
constexpr const char* kMd = "DevCapDBCheckMotion";
constexpr const char* kCam = "DevCapDBCheckCamera";

// ---- header ----
bool HeaderKey(const tDevConf& d, const tRule& r, tOut out) {
    if (memcmp(d.head.key, DEVCAP_KEY, sizeof d.head.key) == 0) return false;
    char key[sizeof d.head.key + 1] = {};  // at most the key's 8 bytes
    memcpy(key, d.head.key, sizeof d.head.key);
    return DevCapSay(out, "%s:Error. Header key '%s'('%s')\n", r.step, key, DEVCAP_KEY);
}
constexpr tCheckRule kHeaderKey = {"header-key", kHead, HeaderKey, nullptr, READS1(head.key), E};

bool ConfCap(const tDevConf& d, const tRule& r, tOut out) {
    return d.head.ConfCap != DEVCAP_CONF_CAP &&
           DevCapSay(out, "%s:Warning! Capability '0x%X'('0x%X')\n", r.step, U(d.head.ConfCap), U(DEVCAP_CONF_CAP));
}
constexpr tCheckRule kConfCap = {"conf-cap", kHead, ConfCap, nullptr, READS1(head.ConfCap), W};

// ---- sensor board ----
bool SBVersion(const tDevConf& d, const tRule& r, tOut out) {
    return d.SBConf.head.ver != 1 &&
           DevCapSay(out, "%s:Error. sensor board ver '0x%X'('0x0001')\n", r.step, U(d.SBConf.head.ver));
}
constexpr tCheckRule kSensorBoardVersion = {"sensor-board-version",  kSB, SBVersion, nullptr,
                                            READS1(SBConf.head.ver), E};

bool SBLength(const tDevConf& d, const tRule& r, tOut out) {
    return d.SBConf.head.len != kSBLen &&
           DevCapSay(out, "%s:Error. sensor board conf len '%d'('%d')\n", r.step, U(d.SBConf.head.len), U(kSBLen));
}
constexpr tCheckRule kSensorBoardLength = {"sensor-board-length", kSB, SBLength, nullptr, READS1(SBConf.head.len), E};

bool NoFrontEnd(const tDevConf& d, const tRule& r, tOut out) {
    const tSBConf& sb = d.SBConf;
    return sb.sensor.ID == 0 && sb.decoder.ID == 0 && sb.processor.ID == 0 && sb.encoder.ID == 0 &&
           DevCapSay(out, "%s:Error. no video frond-end\n", r.step);
}
constexpr tCheckRule kNoVideoFrontEnd = {
    "no-video-front-end",
    kSB,
    NoFrontEnd,
    nullptr,
    READS4(SBConf.sensor.ID, SBConf.decoder.ID, SBConf.processor.ID, SBConf.encoder.ID),
    E};

// The component an interface rule looks at: its ID is the first field it reads.
const tSensorInfo& Part(const tDevConf& d, const tRule& r) {
    return *reinterpret_cast<const tSensorInfo*>(reinterpret_cast<const uint8_t*>(&d) + r.reads[0]);
}
bool NoCtrlIF(const tDevConf& d, const tRule& r, tOut out) {
    const tSensorInfo& sb = Part(d, r);
    return sb.ID != 0 && sb.CtrlPath == 0 &&
           DevCapSay(out, "%s:Error. missing control interface in %s\n", r.step, r.part);
}
constexpr tCheckRule kSensorControlInterface = {
    "sensor-control-interface", kSBIF, NoCtrlIF, "sensor", READS2(SBConf.sensor.ID, SBConf.sensor.CtrlPath), E};
constexpr tCheckRule kDecoderControlInterface = {
    "decoder-control-interface", kSBIF, NoCtrlIF, "decoder", READS2(SBConf.decoder.ID, SBConf.decoder.CtrlPath), E};
constexpr tCheckRule kProcessorControlInterface = {"processor-control-interface",
                                                   kSBIF,
                                                   NoCtrlIF,
                                                   "processor",
                                                   READS2(SBConf.processor.ID, SBConf.processor.CtrlPath),
                                                   E};
constexpr tCheckRule kEncoderControlInterface = {
    "encoder-control-interface", kSBIF, NoCtrlIF, "encoder", READS2(SBConf.encoder.ID, SBConf.encoder.CtrlPath), E};

bool NoVideoIF(const tDevConf& d, const tRule& r, tOut out) {
    const tSensorInfo& sb = Part(d, r);
    return sb.ID != 0 && sb.InputIF == 0 && sb.OutputIF == 0 &&
           DevCapSay(out, "%s:Error. no video interface in %s\n", r.step, r.part);
}
constexpr tCheckRule kSensorVideoInterface = {"sensor-video-interface",
                                              kSBIF,
                                              NoVideoIF,
                                              "sensor",
                                              READS3(SBConf.sensor.ID, SBConf.sensor.InputIF, SBConf.sensor.OutputIF),
                                              E};
constexpr tCheckRule kDecoderVideoInterface = {
    "decoder-video-interface",
    kSBIF,
    NoVideoIF,
    "decoder",
    READS3(SBConf.decoder.ID, SBConf.decoder.InputIF, SBConf.decoder.OutputIF),
    E};
constexpr tCheckRule kProcessorVideoInterface = {
    "processor-video-interface",
    kSBIF,
    NoVideoIF,
    "processor",
    READS3(SBConf.processor.ID, SBConf.processor.InputIF, SBConf.processor.OutputIF),
    E};
constexpr tCheckRule kEncoderVideoInterface = {
    "encoder-video-interface",
    kSBIF,
    NoVideoIF,
    "encoder",
    READS3(SBConf.encoder.ID, SBConf.encoder.InputIF, SBConf.encoder.OutputIF),
    E};

// ---- firmware capabilities ----
bool Audio(const tFwDevCap& fw) { return fw.AudioType != 0; }
bool G711(const tFwDevCap& fw) { return (fw.AudioCap & (DEVCAP_AUDIO_G711A | DEVCAP_AUDIO_G711U)) != 0; }
bool FwVersion(const tDevConf& d, const tRule& r, tOut out) {
    return d.FwDevCap.head.ver == 0 && DevCapSay(out, "%s:Error. FW Conf. ver is 0\n", r.step);
}
constexpr tCheckRule kFirmwareVersion = {"firmware-version", kFw, FwVersion, nullptr, READS1(FwDevCap.head.ver), E};

bool FwLength(const tDevConf& d, const tRule& r, tOut out) {
    return d.FwDevCap.head.len != kFwLen &&
           DevCapSay(out, "%s:Warning! FW Conf. len %d (%d)\n", r.step, U(d.FwDevCap.head.len), U(kFwLen));
}
constexpr tCheckRule kFirmwareLength = {"firmware-length", kFw, FwLength, nullptr, READS1(FwDevCap.head.len), W};

bool NoPCM(const tDevConf& d, const tRule& r, tOut out) {
    const tFwDevCap& fw = d.FwDevCap;
    return Audio(fw) && (fw.AudioCap & DEVCAP_AUDIO_PCM) == 0 &&
           DevCapSay(out, "%s:Error. PCM should be supported\n", r.step);
}
constexpr tCheckRule kAudioPcm = {"audio-pcm", kFw, NoPCM, nullptr, READS2(FwDevCap.AudioType, FwDevCap.AudioCap), E};

bool NoALaw(const tDevConf& d, const tRule& r, tOut out) {
    const tFwDevCap& fw = d.FwDevCap;
    return Audio(fw) && G711(fw) && (fw.AudioCap & DEVCAP_AUDIO_G711A) == 0 &&
           DevCapSay(out, "%s:Error. missing G.711 a-law cap\n", r.step);
}
constexpr tCheckRule kAudioALaw = {
    "audio-a-law", kFw, NoALaw, nullptr, READS2(FwDevCap.AudioType, FwDevCap.AudioCap), E};

bool NoMuLaw(const tDevConf& d, const tRule& r, tOut out) {
    const tFwDevCap& fw = d.FwDevCap;
    return Audio(fw) && G711(fw) && (fw.AudioCap & DEVCAP_AUDIO_G711U) == 0 &&
           DevCapSay(out, "%s:Error. missing G.711 mu-law cap\n", r.step);
}
constexpr tCheckRule kAudioMuLaw = {
    "audio-mu-law", kFw, NoMuLaw, nullptr, READS2(FwDevCap.AudioType, FwDevCap.AudioCap), E};

bool CapsWithoutAudio(const tDevConf& d, const tRule& r, tOut out) {
    const tFwDevCap& fw = d.FwDevCap;
    return !Audio(fw) && fw.AudioCap != 0 &&
           DevCapSay(out, "%s:Error. no audio but have audio cap 0x%X\n", r.step, U(fw.AudioCap));
}
constexpr tCheckRule kAudioCapsWithoutAudio = {
    "audio-caps-without-audio", kFw, CapsWithoutAudio, nullptr, READS2(FwDevCap.AudioType, FwDevCap.AudioCap), E};

bool TooManyDIs(const tDevConf& d, const tRule& r, tOut out) {
    return d.FwDevCap.IO.DIs > 2 && DevCapSay(out, "%s:Error. too many DIs (%d)\n", r.step, U(d.FwDevCap.IO.DIs));
}
constexpr tCheckRule kDigitalInputs = {"digital-inputs", kIO, TooManyDIs, nullptr, READS1(FwDevCap.IO.DIs), E};

bool TooManyDOs(const tDevConf& d, const tRule& r, tOut out) {
    return d.FwDevCap.IO.DOs > 2 && DevCapSay(out, "%s:Error. too many DOs (%d)\n", r.step, U(d.FwDevCap.IO.DOs));
}
constexpr tCheckRule kDigitalOutputs = {"digital-outputs", kIO, TooManyDOs, nullptr, READS1(FwDevCap.IO.DOs), E};

bool TooManySerial(const tDevConf& d, const tRule& r, tOut out) {
    return d.FwDevCap.IO.SerialPorts > 1 &&
           DevCapSay(out, "%s:Error. too many Serial Ports (%d)\n", r.step, U(d.FwDevCap.IO.SerialPorts));
}
constexpr tCheckRule kSerialPorts = {"serial-ports", kIO, TooManySerial, nullptr, READS1(FwDevCap.IO.SerialPorts), E};

bool DCAndPIris(const tDevConf& d, const tRule& r, tOut out) {
    const unsigned io = d.FwDevCap.IO.MiscIO;
    return (io & DEVCAP_MISCIO_DCIRIS) != 0 && (io & (DEVCAP_MISCIO_PIRIS | DEVCAP_MISCIO_PIRIS_OPT)) != 0 &&
           DevCapSay(out, "%s:Error. DC-IRIS and P-IRIS are enabled. 0x%X\n", r.step, io);
}
constexpr tCheckRule kDcAndPIris = {"dc-and-p-iris", kIO, DCAndPIris, nullptr, READS1(FwDevCap.IO.MiscIO), E};

bool PIrisAndOption(const tDevConf& d, const tRule& r, tOut out) {
    const unsigned io = d.FwDevCap.IO.MiscIO;
    const unsigned both = DEVCAP_MISCIO_PIRIS | DEVCAP_MISCIO_PIRIS_OPT;
    return (io & DEVCAP_MISCIO_DCIRIS) == 0 && (io & both) == both &&
           DevCapSay(out, "%s:Error. P-IRIS and PIRIS_OPT are enabled. 0x%X\n", r.step, io);
}
constexpr tCheckRule kPIrisAndOption = {"p-iris-and-option",        kIO, PIrisAndOption, nullptr,
                                        READS1(FwDevCap.IO.MiscIO), E};

bool NoStorageType(const tDevConf& d, const tRule& r, tOut out) {
    const tStorage& st = d.FwDevCap.storage;
    return st.interface != 0 && st.type == 0 && DevCapSay(out, "%s:Error. missing storage type\n", r.step);
}
constexpr tCheckRule kStorageType = {
    "storage-type", kStorage, NoStorageType, nullptr, READS2(FwDevCap.storage.interface, FwDevCap.storage.type), E};

bool HDWithoutIF(const tDevConf& d, const tRule& r, tOut out) {
    const tStorage& st = d.FwDevCap.storage;
    return st.interface == 0 && st.type == STORAGE_TYPE_HD &&
           DevCapSay(out, "%s:Error. no local storage IF but have HD\n", r.step);
}
constexpr tCheckRule kHdWithoutInterface = {"hd-without-interface",
                                            kStorage,
                                            HDWithoutIF,
                                            nullptr,
                                            READS2(FwDevCap.storage.interface, FwDevCap.storage.type),
                                            E};

bool NoZoomLens(const tDevConf& d, const tRule& r, tOut out) {
    const tPtzCap& ptz = d.FwDevCap.PtzCap;
    return (ptz.ZoomCap & DEVCAP_ZOOM_OPTICAL) != 0 && ptz.ZoomLens == 0 &&
           DevCapSay(out, "%s:Error. mossing zoom lens\n", r.step);
}
constexpr tCheckRule kZoomLens = {
    "zoom-lens", kPtz, NoZoomLens, nullptr, READS2(FwDevCap.PtzCap.ZoomCap, FwDevCap.PtzCap.ZoomLens), E};

bool LensWithoutZoom(const tDevConf& d, const tRule& r, tOut out) {
    const tPtzCap& ptz = d.FwDevCap.PtzCap;
    return (ptz.ZoomCap & DEVCAP_ZOOM_OPTICAL) == 0 && ptz.ZoomLens != 0 &&
           DevCapSay(out, "%s:Error. No optical zoom cap but have zoom lens %d\n", r.step, U(ptz.ZoomLens));
}
constexpr tCheckRule kLensWithoutOpticalZoom = {"lens-without-optical-zoom",
                                                kPtz,
                                                LensWithoutZoom,
                                                nullptr,
                                                READS2(FwDevCap.PtzCap.ZoomCap, FwDevCap.PtzCap.ZoomLens),
                                                E};

// ---- day/night ----
bool DNVersion(const tDevConf& d, const tRule& r, tOut out) {
    return d.DNCtrlCap.head.ver != 1 &&
           DevCapSay(out, "%s:Error. version is not 0x0001. 0x%X\n", r.step, U(d.DNCtrlCap.head.ver));
}
constexpr tCheckRule kDayNightVersion = {"day-night-version", kDN, DNVersion, nullptr, READS1(DNCtrlCap.head.ver), E};

bool DNLength(const tDevConf& d, const tRule& r, tOut out) {
    return d.DNCtrlCap.head.len != kDNLen && DevCapSay(out, "%s:Error. length. %d\n", r.step, U(d.DNCtrlCap.head.len));
}
constexpr tCheckRule kDayNightLength = {"day-night-length", kDN, DNLength, nullptr, READS1(DNCtrlCap.head.len), E};

bool DefaultWithoutSrc(const tDevConf& d, const tRule& r, tOut out) {
    const tDNCtrlCap& dn = d.DNCtrlCap;
    return dn.DNSrc == 0 && dn.DNSrcDefault != 0 &&
           DevCapSay(out, "%s:Error. no DN Src but default DN Src %d\n", r.step, S32(dn.DNSrcDefault));
}
constexpr tCheckRule kDefaultWithoutSource = {
    "default-without-source", kDN, DefaultWithoutSrc, nullptr, READS2(DNCtrlCap.DNSrc, DNCtrlCap.DNSrcDefault), E};

bool NoDefault(const tDevConf& d, const tRule& r, tOut out) {
    const tDNCtrlCap& dn = d.DNCtrlCap;
    return dn.DNSrc != 0 && dn.DNSrcDefault == 0 && DevCapSay(out, "%s:Error. missing default DN Src\n", r.step);
}
constexpr tCheckRule kMissingDefault = {
    "missing-default", kDN, NoDefault, nullptr, READS2(DNCtrlCap.DNSrc, DNCtrlCap.DNSrcDefault), E};

bool DSPDefault(const tDevConf& d, const tRule& r, tOut out) {
    const tDNCtrlCap& dn = d.DNCtrlCap;
    return dn.DNSrc != 0 && dn.DNSrcDefault == DN_SRC_DEF_DSP && (dn.DNSrc & DEVCAP_DNSRC_DSP) == 0 &&
           DevCapSay(out, "%s:Error. no DSP for DN src but default src is DSP\n", r.step);
}
constexpr tCheckRule kDspDefault = {
    "dsp-default", kDN, DSPDefault, nullptr, READS2(DNCtrlCap.DNSrc, DNCtrlCap.DNSrcDefault), E};

bool CDSDefault(const tDevConf& d, const tRule& r, tOut out) {
    const tDNCtrlCap& dn = d.DNCtrlCap;
    return dn.DNSrc != 0 && dn.DNSrcDefault == DN_SRC_DEF_CDS && (dn.DNSrc & DEVCAP_DNSRC_CDS) == 0 &&
           DevCapSay(out, "%s:Error. no CDS for DN src but default src is CDS\n", r.step);
}
constexpr tCheckRule kCdsDefault = {
    "cds-default", kDN, CDSDefault, nullptr, READS2(DNCtrlCap.DNSrc, DNCtrlCap.DNSrcDefault), E};

bool UnknownDefault(const tDevConf& d, const tRule& r, tOut out) {
    const tDNCtrlCap& dn = d.DNCtrlCap;
    return dn.DNSrc != 0 && dn.DNSrcDefault > DN_SRC_DEF_CDS &&
           DevCapSay(out, "%s:Error. unknown default DN src. %d\n", r.step, S32(dn.DNSrcDefault));
}
constexpr tCheckRule kUnknownDefault = {
    "unknown-default", kDN, UnknownDefault, nullptr, READS2(DNCtrlCap.DNSrc, DNCtrlCap.DNSrcDefault), E};

bool Day2NightThd(const tDevConf& d, const tRule& r, tOut out) {
    const tDNCtrlCap& dn = d.DNCtrlCap;
    return dn.DNSrc != 0 && dn.CdsDay2NightThd > 100 &&
           DevCapSay(out, "%s:Error. invlaid CDS Day to Night threshold. %d\n", r.step, U(dn.CdsDay2NightThd));
}
constexpr tCheckRule kDayToNightThreshold = {
    "day-to-night-threshold", kDN, Day2NightThd, nullptr, READS2(DNCtrlCap.DNSrc, DNCtrlCap.CdsDay2NightThd), E};

bool Night2DayThd(const tDevConf& d, const tRule& r, tOut out) {
    const tDNCtrlCap& dn = d.DNCtrlCap;
    return dn.DNSrc != 0 && dn.CdsNight2DayThd > 100 &&
           DevCapSay(out, "%s:Error. invlaid CDS Night to Day threshold. %d\n", r.step, U(dn.CdsNight2DayThd));
}
constexpr tCheckRule kNightToDayThreshold = {
    "night-to-day-threshold", kDN, Night2DayThd, nullptr, READS2(DNCtrlCap.DNSrc, DNCtrlCap.CdsNight2DayThd), E};

bool ThdOrder(const tDevConf& d, const tRule& r, tOut out) {
    const tDNCtrlCap& dn = d.DNCtrlCap;
    return (dn.DNSrc & DEVCAP_DNSRC_CDS) != 0 && dn.CdsDay2NightThd > dn.CdsNight2DayThd &&
           DevCapSay(out, "%s:Error. CDS THD %d > %d\n", r.step, U(dn.CdsDay2NightThd), U(dn.CdsNight2DayThd));
}
constexpr tCheckRule kThresholdOrder = {"threshold-order",
                                        kDN,
                                        ThdOrder,
                                        nullptr,
                                        READS3(DNCtrlCap.DNSrc, DNCtrlCap.CdsDay2NightThd, DNCtrlCap.CdsNight2DayThd),
                                        E};

// ---- motion ----
bool MdVersion(const tDevConf& d, const tRule& r, tOut out) {
    return d.MdCap.head.ver != 1 &&
           DevCapSay(out, "%s:Error. version is not 0x0001. 0x%X\n", r.step, U(d.MdCap.head.ver));
}
constexpr tCheckRule kMotionVersion = {"motion-version", kMd, MdVersion, nullptr, READS1(MdCap.head.ver), E};

bool MdLength(const tDevConf& d, const tRule& r, tOut out) {
    return d.MdCap.head.len != kMdLen && DevCapSay(out, "%s:Error. length. %d\n", r.step, U(d.MdCap.head.len));
}
constexpr tCheckRule kMotionLength = {"motion-length", kMd, MdLength, nullptr, READS1(MdCap.head.len), E};

bool NoEncoderMotion(const tDevConf& d, const tRule& r, tOut out) {
    return (d.MdCap.MdSrc & DEVCAP_MDSRC_ENCODER) == 0 &&
           DevCapSay(out, "%s:Error. missing encoder motion capability. 0x%X\n", r.step, d.MdCap.MdSrc);
}
constexpr tCheckRule kEncoderMotion = {"encoder-motion", kMd, NoEncoderMotion, nullptr, READS1(MdCap.MdSrc), E};

bool PIRWithDI2(const tDevConf& d, const tRule& r, tOut out) {
    return (d.MdCap.MdSrc & DEVCAP_MDSRC_MD_SENSOR) != 0 && d.FwDevCap.IO.DIs == 2 &&
           DevCapSay(out, "%s:Warning. DI2 and PIR should not be availabe at the same time\n", r.step);
}
constexpr tCheckRule kPirWithDi2 = {"pir-with-di2", kMd, PIRWithDI2, nullptr, READS2(MdCap.MdSrc, FwDevCap.IO.DIs), W};

// ---- camera ----
bool CamVersion(const tDevConf& d, const tRule& r, tOut out) {
    return d.CamCap.head.ver != 1 &&
           DevCapSay(out, "%s:Error. version is not 0x0001. 0x%X\n", r.step, U(d.CamCap.head.ver));
}
constexpr tCheckRule kCameraVersion = {"camera-version", kCam, CamVersion, nullptr, READS1(CamCap.head.ver), E};

bool CamLength(const tDevConf& d, const tRule& r, tOut out) {
    return d.CamCap.head.len != kCamLen && DevCapSay(out, "%s:Error. length. %d\n", r.step, U(d.CamCap.head.len));
}
constexpr tCheckRule kCameraLength = {"camera-length", kCam, CamLength, nullptr, READS1(CamCap.head.len), E};

bool IrisLevel(const tDevConf& d, const tRule& r, tOut out) {
    return d.CamCap.DCIrisLevel > 255 &&
           DevCapSay(out, "%s:Error. invalid DC-IRIS level %d\n", r.step, S32(d.CamCap.DCIrisLevel));
}
constexpr tCheckRule kDcIrisLevel = {"dc-iris-level", kCam, IrisLevel, nullptr, READS1(CamCap.DCIrisLevel), E};

bool NoFNum(const tDevConf& d, const tRule& r, tOut out) {
    return (d.FwDevCap.IO.MiscIO & DEVCAP_MISCIO_PIRIS) != 0 && d.CamCap.F_Num == 0 &&
           DevCapSay(out, "%s:Error. missing F-Num\n", r.step);
}
constexpr tCheckRule kPIrisFNumber = {
    "p-iris-f-number", kCam, NoFNum, nullptr, READS2(FwDevCap.IO.MiscIO, CamCap.F_Num), E};

// The order the check evaluates and prints them.
constexpr const tCheckRule* kRules[] = {
    &kHeaderKey,
    &kConfCap,
    &kSensorBoardVersion,
    &kSensorBoardLength,
    &kNoVideoFrontEnd,
    &kSensorControlInterface,
    &kSensorVideoInterface,
    &kDecoderControlInterface,
    &kDecoderVideoInterface,
    &kProcessorControlInterface,
    &kProcessorVideoInterface,
    &kEncoderControlInterface,
    &kEncoderVideoInterface,
    &kFirmwareVersion,
    &kFirmwareLength,
    &kAudioPcm,
    &kAudioALaw,
    &kAudioMuLaw,
    &kAudioCapsWithoutAudio,
    &kDigitalInputs,
    &kDigitalOutputs,
    &kSerialPorts,
    &kDcAndPIris,
    &kPIrisAndOption,
    &kStorageType,
    &kHdWithoutInterface,
    &kZoomLens,
    &kLensWithoutOpticalZoom,
    &kDayNightVersion,
    &kDayNightLength,
    &kDefaultWithoutSource,
    &kMissingDefault,
    &kDspDefault,
    &kCdsDefault,
    &kUnknownDefault,
    &kDayToNightThreshold,
    &kNightToDayThreshold,
    &kThresholdOrder,
    &kMotionVersion,
    &kMotionLength,
    &kEncoderMotion,
    &kPirWithDi2,
    &kCameraVersion,
    &kCameraLength,
    &kDcIrisLevel,
    &kPIrisFNumber,
};

}  // namespace

tCheckRuleList DevCapCheckRules() { return {kRules, std::size(kRules)}; }

int32_t DevCapDBCheck(const tDevConf* dev, const tDevCapSink* out) {
    for (const tCheckRule* rule : kRules) {
        if (rule->fires(*dev, *rule, out) && rule->error) return DEVCAP_ERROR;
    }
    return 0;
}

int32_t DevCapCheckEach(const tDevConf& dev, bool all, tCheckLineFn fn, void* ctx) {
    int32_t result = 0;
    for (const tCheckRule* rule : kRules) {
        char line[256];
        tDevCapBuffer b{line, sizeof line, 0};
        const tDevCapSink sink = DevCapBufferSink(&b);
        if (!rule->fires(dev, *rule, &sink)) continue;
        DevCapBufferEnd(&b);
        fn(ctx, *rule, std::string_view(line, strcspn(line, "\n")));
        if (!rule->error) continue;
        result = DEVCAP_ERROR;
        if (!all) break;
    }
    return result;
}
