// DevCapDBCheck.cpp - the consistency rules a finished record must satisfy
// before it is written: one small function a rule, its row right under it,
// and the order the check evaluates and prints them at the end. An error ends
// the check; each rule can also be evaluated on its own. The record is only
// read.
#include <cstring>

#include "DevCapCore.h"

namespace {

using tRule = tCheckRule;

// Fields reach %d and %X as unsigned values, except where noted.
constexpr unsigned AsUnsigned(unsigned v) { return v; }
// The 4-byte fields printed with %d go through unchanged: 0xFFFFFFFF prints -1.
constexpr int AsSigned32(uint32_t v) { return static_cast<int>(v); }

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
constexpr bool kError = true, kWarning = false;
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
constexpr char kSaysHeaderKey[] = "%s:Error. Header key '%s'('%s')\n";  // as shipped
bool HeaderKey(const tDevConf& d, const tRule& r, const tDevCapSink* out) {
    if (memcmp(d.head.key, DEVCAP_KEY, sizeof d.head.key) == 0) return false;
    char key[sizeof d.head.key + 1] = {};  // at most the key's 8 bytes
    memcpy(key, d.head.key, sizeof d.head.key);
    return DevCapSay(out, r.says, r.step, key, DEVCAP_KEY);
}
constexpr tCheckRule kHeaderKey = {"header-key", kHead, HeaderKey, kSaysHeaderKey, nullptr, READS1(head.key), kError};

constexpr char kSaysConfCap[] = "%s:Warning! Capability '0x%X'('0x%X')\n";  // as shipped
bool ConfCap(const tDevConf& d, const tRule& r, const tDevCapSink* out) {
    return d.head.ConfCap != DEVCAP_CONF_CAP &&
           DevCapSay(out, r.says, r.step, AsUnsigned(d.head.ConfCap), AsUnsigned(DEVCAP_CONF_CAP));
}
constexpr tCheckRule kConfCap = {"conf-cap", kHead, ConfCap, kSaysConfCap, nullptr, READS1(head.ConfCap), kWarning};

// ---- sensor board ----
constexpr char kSaysSBVersion[] = "%s:Error. sensor board ver '0x%X'('0x0001')\n";  // as shipped
bool SBVersion(const tDevConf& d, const tRule& r, const tDevCapSink* out) {
    return d.SBConf.head.ver != 1 && DevCapSay(out, r.says, r.step, AsUnsigned(d.SBConf.head.ver));
}
constexpr tCheckRule kSensorBoardVersion = {"sensor-board-version",  kSB,   SBVersion, kSaysSBVersion, nullptr,
                                            READS1(SBConf.head.ver), kError};

constexpr char kSaysSBLength[] = "%s:Error. sensor board conf len '%d'('%d')\n";  // as shipped
bool SBLength(const tDevConf& d, const tRule& r, const tDevCapSink* out) {
    return d.SBConf.head.len != kSBLen &&
           DevCapSay(out, r.says, r.step, AsUnsigned(d.SBConf.head.len), AsUnsigned(kSBLen));
}
constexpr tCheckRule kSensorBoardLength = {"sensor-board-length",   kSB,   SBLength, kSaysSBLength, nullptr,
                                           READS1(SBConf.head.len), kError};

constexpr char kSaysNoFrontEnd[] = "%s:Error. no video frond-end\n";  // as shipped, "frond-end" included
bool NoFrontEnd(const tDevConf& d, const tRule& r, const tDevCapSink* out) {
    const tSBConf& sb = d.SBConf;
    return sb.sensor.ID == 0 && sb.decoder.ID == 0 && sb.processor.ID == 0 && sb.encoder.ID == 0 &&
           DevCapSay(out, r.says, r.step);
}
constexpr tCheckRule kNoVideoFrontEnd = {
    "no-video-front-end",
    kSB,
    NoFrontEnd,
    kSaysNoFrontEnd,
    nullptr,
    READS4(SBConf.sensor.ID, SBConf.decoder.ID, SBConf.processor.ID, SBConf.encoder.ID),
    kError};

// The component an interface rule looks at: its ID is the first field it reads.
const tSensorInfo& Component(const tDevConf& d, const tRule& r) {
    return *reinterpret_cast<const tSensorInfo*>(reinterpret_cast<const uint8_t*>(&d) + r.reads[0]);
}
constexpr char kSaysNoCtrlIF[] = "%s:Error. missing control interface in %s\n";  // as shipped
bool NoCtrlIF(const tDevConf& d, const tRule& r, const tDevCapSink* out) {
    const tSensorInfo& sb = Component(d, r);
    return sb.ID != 0 && sb.CtrlPath == 0 && DevCapSay(out, r.says, r.step, r.part);
}
constexpr tCheckRule kSensorControlInterface = {"sensor-control-interface",
                                                kSBIF,
                                                NoCtrlIF,
                                                kSaysNoCtrlIF,
                                                "sensor",
                                                READS2(SBConf.sensor.ID, SBConf.sensor.CtrlPath),
                                                kError};
constexpr tCheckRule kDecoderControlInterface = {"decoder-control-interface",
                                                 kSBIF,
                                                 NoCtrlIF,
                                                 kSaysNoCtrlIF,
                                                 "decoder",
                                                 READS2(SBConf.decoder.ID, SBConf.decoder.CtrlPath),
                                                 kError};
constexpr tCheckRule kProcessorControlInterface = {"processor-control-interface",
                                                   kSBIF,
                                                   NoCtrlIF,
                                                   kSaysNoCtrlIF,
                                                   "processor",
                                                   READS2(SBConf.processor.ID, SBConf.processor.CtrlPath),
                                                   kError};
constexpr tCheckRule kEncoderControlInterface = {"encoder-control-interface",
                                                 kSBIF,
                                                 NoCtrlIF,
                                                 kSaysNoCtrlIF,
                                                 "encoder",
                                                 READS2(SBConf.encoder.ID, SBConf.encoder.CtrlPath),
                                                 kError};

constexpr char kSaysNoVideoIF[] = "%s:Error. no video interface in %s\n";  // as shipped
bool NoVideoIF(const tDevConf& d, const tRule& r, const tDevCapSink* out) {
    const tSensorInfo& sb = Component(d, r);
    return sb.ID != 0 && sb.InputIF == 0 && sb.OutputIF == 0 && DevCapSay(out, r.says, r.step, r.part);
}
constexpr tCheckRule kSensorVideoInterface = {"sensor-video-interface",
                                              kSBIF,
                                              NoVideoIF,
                                              kSaysNoVideoIF,
                                              "sensor",
                                              READS3(SBConf.sensor.ID, SBConf.sensor.InputIF, SBConf.sensor.OutputIF),
                                              kError};
constexpr tCheckRule kDecoderVideoInterface = {
    "decoder-video-interface",
    kSBIF,
    NoVideoIF,
    kSaysNoVideoIF,
    "decoder",
    READS3(SBConf.decoder.ID, SBConf.decoder.InputIF, SBConf.decoder.OutputIF),
    kError};
constexpr tCheckRule kProcessorVideoInterface = {
    "processor-video-interface",
    kSBIF,
    NoVideoIF,
    kSaysNoVideoIF,
    "processor",
    READS3(SBConf.processor.ID, SBConf.processor.InputIF, SBConf.processor.OutputIF),
    kError};
constexpr tCheckRule kEncoderVideoInterface = {
    "encoder-video-interface",
    kSBIF,
    NoVideoIF,
    kSaysNoVideoIF,
    "encoder",
    READS3(SBConf.encoder.ID, SBConf.encoder.InputIF, SBConf.encoder.OutputIF),
    kError};

// ---- firmware capabilities ----
bool Audio(const tFwDevCap& fw) { return fw.AudioType != 0; }
bool G711(const tFwDevCap& fw) { return (fw.AudioCap & (DEVCAP_AUDIO_G711A | DEVCAP_AUDIO_G711U)) != 0; }
constexpr char kSaysFwVersion[] = "%s:Error. FW Conf. ver is 0\n";  // as shipped
bool FwVersion(const tDevConf& d, const tRule& r, const tDevCapSink* out) {
    return d.FwDevCap.head.ver == 0 && DevCapSay(out, r.says, r.step);
}
constexpr tCheckRule kFirmwareVersion = {"firmware-version",        kFw,   FwVersion, kSaysFwVersion, nullptr,
                                         READS1(FwDevCap.head.ver), kError};

constexpr char kSaysFwLength[] = "%s:Warning! FW Conf. len %d (%d)\n";  // as shipped
bool FwLength(const tDevConf& d, const tRule& r, const tDevCapSink* out) {
    return d.FwDevCap.head.len != kFwLen &&
           DevCapSay(out, r.says, r.step, AsUnsigned(d.FwDevCap.head.len), AsUnsigned(kFwLen));
}
constexpr tCheckRule kFirmwareLength = {"firmware-length",         kFw,     FwLength, kSaysFwLength, nullptr,
                                        READS1(FwDevCap.head.len), kWarning};

constexpr char kSaysNoPCM[] = "%s:Error. PCM should be supported\n";  // as shipped
bool NoPCM(const tDevConf& d, const tRule& r, const tDevCapSink* out) {
    const tFwDevCap& fw = d.FwDevCap;
    return Audio(fw) && (fw.AudioCap & DEVCAP_AUDIO_PCM) == 0 && DevCapSay(out, r.says, r.step);
}
constexpr tCheckRule kAudioPcm = {
    "audio-pcm", kFw, NoPCM, kSaysNoPCM, nullptr, READS2(FwDevCap.AudioType, FwDevCap.AudioCap), kError};

constexpr char kSaysNoALaw[] = "%s:Error. missing G.711 a-law cap\n";  // as shipped
bool NoALaw(const tDevConf& d, const tRule& r, const tDevCapSink* out) {
    const tFwDevCap& fw = d.FwDevCap;
    return Audio(fw) && G711(fw) && (fw.AudioCap & DEVCAP_AUDIO_G711A) == 0 && DevCapSay(out, r.says, r.step);
}
constexpr tCheckRule kAudioALaw = {
    "audio-a-law", kFw, NoALaw, kSaysNoALaw, nullptr, READS2(FwDevCap.AudioType, FwDevCap.AudioCap), kError};

constexpr char kSaysNoMuLaw[] = "%s:Error. missing G.711 mu-law cap\n";  // as shipped
bool NoMuLaw(const tDevConf& d, const tRule& r, const tDevCapSink* out) {
    const tFwDevCap& fw = d.FwDevCap;
    return Audio(fw) && G711(fw) && (fw.AudioCap & DEVCAP_AUDIO_G711U) == 0 && DevCapSay(out, r.says, r.step);
}
constexpr tCheckRule kAudioMuLaw = {
    "audio-mu-law", kFw, NoMuLaw, kSaysNoMuLaw, nullptr, READS2(FwDevCap.AudioType, FwDevCap.AudioCap), kError};

constexpr char kSaysCapsWithoutAudio[] = "%s:Error. no audio but have audio cap 0x%X\n";  // as shipped
bool CapsWithoutAudio(const tDevConf& d, const tRule& r, const tDevCapSink* out) {
    const tFwDevCap& fw = d.FwDevCap;
    return !Audio(fw) && fw.AudioCap != 0 && DevCapSay(out, r.says, r.step, AsUnsigned(fw.AudioCap));
}
constexpr tCheckRule kAudioCapsWithoutAudio = {"audio-caps-without-audio",
                                               kFw,
                                               CapsWithoutAudio,
                                               kSaysCapsWithoutAudio,
                                               nullptr,
                                               READS2(FwDevCap.AudioType, FwDevCap.AudioCap),
                                               kError};

constexpr char kSaysTooManyDIs[] = "%s:Error. too many DIs (%d)\n";  // as shipped
bool TooManyDIs(const tDevConf& d, const tRule& r, const tDevCapSink* out) {
    return d.FwDevCap.IO.DIs > 2 && DevCapSay(out, r.says, r.step, AsUnsigned(d.FwDevCap.IO.DIs));
}
constexpr tCheckRule kDigitalInputs = {"digital-inputs",        kIO,   TooManyDIs, kSaysTooManyDIs, nullptr,
                                       READS1(FwDevCap.IO.DIs), kError};

constexpr char kSaysTooManyDOs[] = "%s:Error. too many DOs (%d)\n";  // as shipped
bool TooManyDOs(const tDevConf& d, const tRule& r, const tDevCapSink* out) {
    return d.FwDevCap.IO.DOs > 2 && DevCapSay(out, r.says, r.step, AsUnsigned(d.FwDevCap.IO.DOs));
}
constexpr tCheckRule kDigitalOutputs = {"digital-outputs",       kIO,   TooManyDOs, kSaysTooManyDOs, nullptr,
                                        READS1(FwDevCap.IO.DOs), kError};

constexpr char kSaysTooManySerial[] = "%s:Error. too many Serial Ports (%d)\n";  // as shipped
bool TooManySerial(const tDevConf& d, const tRule& r, const tDevCapSink* out) {
    return d.FwDevCap.IO.SerialPorts > 1 && DevCapSay(out, r.says, r.step, AsUnsigned(d.FwDevCap.IO.SerialPorts));
}
constexpr tCheckRule kSerialPorts = {
    "serial-ports", kIO, TooManySerial, kSaysTooManySerial, nullptr, READS1(FwDevCap.IO.SerialPorts), kError};

constexpr char kSaysDCAndPIris[] = "%s:Error. DC-IRIS and P-IRIS are enabled. 0x%X\n";  // as shipped
bool DCAndPIris(const tDevConf& d, const tRule& r, const tDevCapSink* out) {
    const unsigned io = d.FwDevCap.IO.MiscIO;
    return (io & DEVCAP_MISCIO_DCIRIS) != 0 && (io & (DEVCAP_MISCIO_PIRIS | DEVCAP_MISCIO_PIRIS_OPT)) != 0 &&
           DevCapSay(out, r.says, r.step, io);
}
constexpr tCheckRule kDcAndPIris = {
    "dc-and-p-iris", kIO, DCAndPIris, kSaysDCAndPIris, nullptr, READS1(FwDevCap.IO.MiscIO), kError};

constexpr char kSaysPIrisAndOption[] = "%s:Error. P-IRIS and PIRIS_OPT are enabled. 0x%X\n";  // as shipped
bool PIrisAndOption(const tDevConf& d, const tRule& r, const tDevCapSink* out) {
    const unsigned io = d.FwDevCap.IO.MiscIO;
    const unsigned both = DEVCAP_MISCIO_PIRIS | DEVCAP_MISCIO_PIRIS_OPT;
    return (io & DEVCAP_MISCIO_DCIRIS) == 0 && (io & both) == both && DevCapSay(out, r.says, r.step, io);
}
constexpr tCheckRule kPIrisAndOption = {"p-iris-and-option",        kIO,   PIrisAndOption, kSaysPIrisAndOption, nullptr,
                                        READS1(FwDevCap.IO.MiscIO), kError};

constexpr char kSaysNoStorageType[] = "%s:Error. missing storage type\n";  // as shipped
bool NoStorageType(const tDevConf& d, const tRule& r, const tDevCapSink* out) {
    const tStorage& st = d.FwDevCap.storage;
    return st.interface != 0 && st.type == 0 && DevCapSay(out, r.says, r.step);
}
constexpr tCheckRule kStorageType = {"storage-type", kStorage,
                                     NoStorageType,  kSaysNoStorageType,
                                     nullptr,        READS2(FwDevCap.storage.interface, FwDevCap.storage.type),
                                     kError};

constexpr char kSaysHDWithoutIF[] = "%s:Error. no local storage IF but have HD\n";  // as shipped
bool HDWithoutIF(const tDevConf& d, const tRule& r, const tDevCapSink* out) {
    const tStorage& st = d.FwDevCap.storage;
    return st.interface == 0 && st.type == STORAGE_TYPE_HD && DevCapSay(out, r.says, r.step);
}
constexpr tCheckRule kHdWithoutInterface = {"hd-without-interface",
                                            kStorage,
                                            HDWithoutIF,
                                            kSaysHDWithoutIF,
                                            nullptr,
                                            READS2(FwDevCap.storage.interface, FwDevCap.storage.type),
                                            kError};

constexpr char kSaysNoZoomLens[] = "%s:Error. mossing zoom lens\n";  // as shipped, "mossing" included
bool NoZoomLens(const tDevConf& d, const tRule& r, const tDevCapSink* out) {
    const tPtzCap& ptz = d.FwDevCap.PtzCap;
    return (ptz.ZoomCap & DEVCAP_ZOOM_OPTICAL) != 0 && ptz.ZoomLens == 0 && DevCapSay(out, r.says, r.step);
}
constexpr tCheckRule kZoomLens = {"zoom-lens",     kPtz,    NoZoomLens,
                                  kSaysNoZoomLens, nullptr, READS2(FwDevCap.PtzCap.ZoomCap, FwDevCap.PtzCap.ZoomLens),
                                  kError};

constexpr char kSaysLensWithoutZoom[] = "%s:Error. No optical zoom cap but have zoom lens %d\n";  // as shipped
bool LensWithoutZoom(const tDevConf& d, const tRule& r, const tDevCapSink* out) {
    const tPtzCap& ptz = d.FwDevCap.PtzCap;
    return (ptz.ZoomCap & DEVCAP_ZOOM_OPTICAL) == 0 && ptz.ZoomLens != 0 &&
           DevCapSay(out, r.says, r.step, AsUnsigned(ptz.ZoomLens));
}
constexpr tCheckRule kLensWithoutOpticalZoom = {"lens-without-optical-zoom",
                                                kPtz,
                                                LensWithoutZoom,
                                                kSaysLensWithoutZoom,
                                                nullptr,
                                                READS2(FwDevCap.PtzCap.ZoomCap, FwDevCap.PtzCap.ZoomLens),
                                                kError};

// ---- day/night ----
constexpr char kSaysSectionVersion[] = "%s:Error. version is not 0x0001. 0x%X\n";  // as shipped
bool DNVersion(const tDevConf& d, const tRule& r, const tDevCapSink* out) {
    return d.DNCtrlCap.head.ver != 1 && DevCapSay(out, r.says, r.step, AsUnsigned(d.DNCtrlCap.head.ver));
}
constexpr tCheckRule kDayNightVersion = {"day-night-version",        kDN,   DNVersion, kSaysSectionVersion, nullptr,
                                         READS1(DNCtrlCap.head.ver), kError};

constexpr char kSaysSectionLength[] = "%s:Error. length. %d\n";  // as shipped
bool DNLength(const tDevConf& d, const tRule& r, const tDevCapSink* out) {
    return d.DNCtrlCap.head.len != kDNLen && DevCapSay(out, r.says, r.step, AsUnsigned(d.DNCtrlCap.head.len));
}
constexpr tCheckRule kDayNightLength = {"day-night-length",         kDN,   DNLength, kSaysSectionLength, nullptr,
                                        READS1(DNCtrlCap.head.len), kError};

constexpr char kSaysDefaultWithoutSrc[] = "%s:Error. no DN Src but default DN Src %d\n";  // as shipped
bool DefaultWithoutSrc(const tDevConf& d, const tRule& r, const tDevCapSink* out) {
    const tDNCtrlCap& dn = d.DNCtrlCap;
    return dn.DNSrc == 0 && dn.DNSrcDefault != 0 && DevCapSay(out, r.says, r.step, AsSigned32(dn.DNSrcDefault));
}
constexpr tCheckRule kDefaultWithoutSource = {"default-without-source",
                                              kDN,
                                              DefaultWithoutSrc,
                                              kSaysDefaultWithoutSrc,
                                              nullptr,
                                              READS2(DNCtrlCap.DNSrc, DNCtrlCap.DNSrcDefault),
                                              kError};

constexpr char kSaysNoDefault[] = "%s:Error. missing default DN Src\n";  // as shipped
bool NoDefault(const tDevConf& d, const tRule& r, const tDevCapSink* out) {
    const tDNCtrlCap& dn = d.DNCtrlCap;
    return dn.DNSrc != 0 && dn.DNSrcDefault == 0 && DevCapSay(out, r.says, r.step);
}
constexpr tCheckRule kMissingDefault = {"missing-default",
                                        kDN,
                                        NoDefault,
                                        kSaysNoDefault,
                                        nullptr,
                                        READS2(DNCtrlCap.DNSrc, DNCtrlCap.DNSrcDefault),
                                        kError};

constexpr char kSaysDSPDefault[] = "%s:Error. no DSP for DN src but default src is DSP\n";  // as shipped
bool DSPDefault(const tDevConf& d, const tRule& r, const tDevCapSink* out) {
    const tDNCtrlCap& dn = d.DNCtrlCap;
    return dn.DNSrc != 0 && dn.DNSrcDefault == DN_SRC_DEF_DSP && (dn.DNSrc & DEVCAP_DNSRC_DSP) == 0 &&
           DevCapSay(out, r.says, r.step);
}
constexpr tCheckRule kDspDefault = {
    "dsp-default", kDN, DSPDefault, kSaysDSPDefault, nullptr, READS2(DNCtrlCap.DNSrc, DNCtrlCap.DNSrcDefault), kError};

constexpr char kSaysCDSDefault[] = "%s:Error. no CDS for DN src but default src is CDS\n";  // as shipped
bool CDSDefault(const tDevConf& d, const tRule& r, const tDevCapSink* out) {
    const tDNCtrlCap& dn = d.DNCtrlCap;
    return dn.DNSrc != 0 && dn.DNSrcDefault == DN_SRC_DEF_CDS && (dn.DNSrc & DEVCAP_DNSRC_CDS) == 0 &&
           DevCapSay(out, r.says, r.step);
}
constexpr tCheckRule kCdsDefault = {
    "cds-default", kDN, CDSDefault, kSaysCDSDefault, nullptr, READS2(DNCtrlCap.DNSrc, DNCtrlCap.DNSrcDefault), kError};

constexpr char kSaysUnknownDefault[] = "%s:Error. unknown default DN src. %d\n";  // as shipped
bool UnknownDefault(const tDevConf& d, const tRule& r, const tDevCapSink* out) {
    const tDNCtrlCap& dn = d.DNCtrlCap;
    return dn.DNSrc != 0 && dn.DNSrcDefault > DN_SRC_DEF_CDS &&
           DevCapSay(out, r.says, r.step, AsSigned32(dn.DNSrcDefault));
}
constexpr tCheckRule kUnknownDefault = {"unknown-default",
                                        kDN,
                                        UnknownDefault,
                                        kSaysUnknownDefault,
                                        nullptr,
                                        READS2(DNCtrlCap.DNSrc, DNCtrlCap.DNSrcDefault),
                                        kError};

constexpr char kSaysDay2NightThd[] =
    "%s:Error. invlaid CDS Day to Night threshold. %d\n";  // as shipped, "invlaid" included
bool Day2NightThd(const tDevConf& d, const tRule& r, const tDevCapSink* out) {
    const tDNCtrlCap& dn = d.DNCtrlCap;
    return dn.DNSrc != 0 && dn.CdsDay2NightThd > 100 && DevCapSay(out, r.says, r.step, AsUnsigned(dn.CdsDay2NightThd));
}
constexpr tCheckRule kDayToNightThreshold = {"day-to-night-threshold",
                                             kDN,
                                             Day2NightThd,
                                             kSaysDay2NightThd,
                                             nullptr,
                                             READS2(DNCtrlCap.DNSrc, DNCtrlCap.CdsDay2NightThd),
                                             kError};

constexpr char kSaysNight2DayThd[] =
    "%s:Error. invlaid CDS Night to Day threshold. %d\n";  // as shipped, "invlaid" included
bool Night2DayThd(const tDevConf& d, const tRule& r, const tDevCapSink* out) {
    const tDNCtrlCap& dn = d.DNCtrlCap;
    return dn.DNSrc != 0 && dn.CdsNight2DayThd > 100 && DevCapSay(out, r.says, r.step, AsUnsigned(dn.CdsNight2DayThd));
}
constexpr tCheckRule kNightToDayThreshold = {"night-to-day-threshold",
                                             kDN,
                                             Night2DayThd,
                                             kSaysNight2DayThd,
                                             nullptr,
                                             READS2(DNCtrlCap.DNSrc, DNCtrlCap.CdsNight2DayThd),
                                             kError};

constexpr char kSaysThdOrder[] = "%s:Error. CDS THD %d > %d\n";  // as shipped
bool ThdOrder(const tDevConf& d, const tRule& r, const tDevCapSink* out) {
    const tDNCtrlCap& dn = d.DNCtrlCap;
    return (dn.DNSrc & DEVCAP_DNSRC_CDS) != 0 && dn.CdsDay2NightThd > dn.CdsNight2DayThd &&
           DevCapSay(out, r.says, r.step, AsUnsigned(dn.CdsDay2NightThd), AsUnsigned(dn.CdsNight2DayThd));
}
constexpr tCheckRule kThresholdOrder = {"threshold-order",
                                        kDN,
                                        ThdOrder,
                                        kSaysThdOrder,
                                        nullptr,
                                        READS3(DNCtrlCap.DNSrc, DNCtrlCap.CdsDay2NightThd, DNCtrlCap.CdsNight2DayThd),
                                        kError};

// ---- motion ----
bool MdVersion(const tDevConf& d, const tRule& r, const tDevCapSink* out) {
    return d.MdCap.head.ver != 1 && DevCapSay(out, r.says, r.step, AsUnsigned(d.MdCap.head.ver));
}
constexpr tCheckRule kMotionVersion = {"motion-version",       kMd,   MdVersion, kSaysSectionVersion, nullptr,
                                       READS1(MdCap.head.ver), kError};

bool MdLength(const tDevConf& d, const tRule& r, const tDevCapSink* out) {
    return d.MdCap.head.len != kMdLen && DevCapSay(out, r.says, r.step, AsUnsigned(d.MdCap.head.len));
}
constexpr tCheckRule kMotionLength = {"motion-length",        kMd,   MdLength, kSaysSectionLength, nullptr,
                                      READS1(MdCap.head.len), kError};

constexpr char kSaysNoEncoderMotion[] = "%s:Error. missing encoder motion capability. 0x%X\n";  // as shipped
bool NoEncoderMotion(const tDevConf& d, const tRule& r, const tDevCapSink* out) {
    return (d.MdCap.MdSrc & DEVCAP_MDSRC_ENCODER) == 0 && DevCapSay(out, r.says, r.step, d.MdCap.MdSrc);
}
constexpr tCheckRule kEncoderMotion = {"encoder-motion",    kMd,   NoEncoderMotion, kSaysNoEncoderMotion, nullptr,
                                       READS1(MdCap.MdSrc), kError};

constexpr char kSaysPIRWithDI2[] =
    "%s:Warning. DI2 and PIR should not be availabe at the same time\n";  // as shipped, "availabe" included
bool PIRWithDI2(const tDevConf& d, const tRule& r, const tDevCapSink* out) {
    return (d.MdCap.MdSrc & DEVCAP_MDSRC_MD_SENSOR) != 0 && d.FwDevCap.IO.DIs == 2 && DevCapSay(out, r.says, r.step);
}
constexpr tCheckRule kPirWithDi2 = {
    "pir-with-di2", kMd, PIRWithDI2, kSaysPIRWithDI2, nullptr, READS2(MdCap.MdSrc, FwDevCap.IO.DIs), kWarning};

// ---- camera ----
bool CamVersion(const tDevConf& d, const tRule& r, const tDevCapSink* out) {
    return d.CamCap.head.ver != 1 && DevCapSay(out, r.says, r.step, AsUnsigned(d.CamCap.head.ver));
}
constexpr tCheckRule kCameraVersion = {"camera-version",        kCam,  CamVersion, kSaysSectionVersion, nullptr,
                                       READS1(CamCap.head.ver), kError};

bool CamLength(const tDevConf& d, const tRule& r, const tDevCapSink* out) {
    return d.CamCap.head.len != kCamLen && DevCapSay(out, r.says, r.step, AsUnsigned(d.CamCap.head.len));
}
constexpr tCheckRule kCameraLength = {"camera-length",         kCam,  CamLength, kSaysSectionLength, nullptr,
                                      READS1(CamCap.head.len), kError};

constexpr char kSaysIrisLevel[] = "%s:Error. invalid DC-IRIS level %d\n";  // as shipped
bool IrisLevel(const tDevConf& d, const tRule& r, const tDevCapSink* out) {
    return d.CamCap.DCIrisLevel > 255 && DevCapSay(out, r.says, r.step, AsSigned32(d.CamCap.DCIrisLevel));
}
constexpr tCheckRule kDcIrisLevel = {
    "dc-iris-level", kCam, IrisLevel, kSaysIrisLevel, nullptr, READS1(CamCap.DCIrisLevel), kError};

constexpr char kSaysNoFNum[] = "%s:Error. missing F-Num\n";  // as shipped
bool NoFNum(const tDevConf& d, const tRule& r, const tDevCapSink* out) {
    return (d.FwDevCap.IO.MiscIO & DEVCAP_MISCIO_PIRIS) != 0 && d.CamCap.F_Num == 0 && DevCapSay(out, r.says, r.step);
}
constexpr tCheckRule kPIrisFNumber = {
    "p-iris-f-number", kCam, NoFNum, kSaysNoFNum, nullptr, READS2(FwDevCap.IO.MiscIO, CamCap.F_Num), kError};

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
