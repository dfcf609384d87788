// DevCapDBCheck.cpp - the consistency rules a finished record must satisfy
// before it is written. One function per section; rules in the order they are
// reported, the first "Error." ends the check. The record is only read.
#include <cstdio>
#include <cstring>

#include "DevCapConv.h"

namespace {

// Turns the printf of an "Error." line into the answer, so each rule is one line.
constexpr int32_t Fail(int /*printed*/) { return DEVCAP_ERROR; }

// Fields reach %d and %X as unsigned values, except where noted.
constexpr unsigned U(unsigned v) { return v; }
// The 4-byte fields printed with %d go through unchanged: 0xFFFFFFFF prints -1.
constexpr int S32(uint32_t v) { return static_cast<int>(v); }

int32_t DevCapDBCheckHeader(const tDevConf* dev) {
    if (memcmp(dev->head.key, DEVCAP_KEY, sizeof dev->head.key) != 0) {
        char key[sizeof dev->head.key + 1] = {};  // at most the key's 8 bytes
        memcpy(key, dev->head.key, sizeof dev->head.key);
        return Fail(printf("%s:Error. Header key '%s'('%s')\n", __func__, key, DEVCAP_KEY));
    }
    if (dev->head.ConfCap != DEVCAP_CONF_CAP)
        printf("%s:Warning! Capability '0x%X'('0x%X')\n", __func__, U(dev->head.ConfCap), U(DEVCAP_CONF_CAP));
    return 0;
}

int32_t DevCapDBCheckSensorBoardIF(const tSensorInfo* sb, const char* type) {
    if (sb->ID == 0) return 0;
    if (sb->CtrlPath == 0) return Fail(printf("%s:Error. missing control interface in %s\n", __func__, type));
    if (sb->InputIF == 0 && sb->OutputIF == 0)
        return Fail(printf("%s:Error. no video interface in %s\n", __func__, type));
    return 0;
}

int32_t DevCapDBCheckSensorBoard(const tDevConf* dev) {
    const tSBConf& sb = dev->SBConf;
    if (sb.head.ver != 1)
        return Fail(printf("%s:Error. sensor board ver '0x%X'('0x0001')\n", __func__, U(sb.head.ver)));
    if (sb.head.len != 16)
        return Fail(printf("%s:Error. sensor board conf len '%d'('%d')\n", __func__, U(sb.head.len), 16));
    if (sb.sensor.ID == 0 && sb.decoder.ID == 0 && sb.processor.ID == 0 && sb.encoder.ID == 0)
        return Fail(printf("%s:Error. no video frond-end\n", __func__));
    if (DevCapDBCheckSensorBoardIF(&sb.sensor, "sensor") != 0) return DEVCAP_ERROR;
    if (DevCapDBCheckSensorBoardIF(&sb.decoder, "decoder") != 0) return DEVCAP_ERROR;
    if (DevCapDBCheckSensorBoardIF(&sb.processor, "processor") != 0) return DEVCAP_ERROR;
    if (DevCapDBCheckSensorBoardIF(&sb.encoder, "encoder") != 0) return DEVCAP_ERROR;
    return 0;
}

int32_t DevCapDBCheckExtIO(const tFwDevCap* fw) {
    const tExtIO& io = fw->IO;
    const bool dcIris = (io.MiscIO & DEVCAP_MISCIO_DCIRIS) != 0;
    const bool pIris = (io.MiscIO & DEVCAP_MISCIO_PIRIS) != 0;
    const bool pIrisOpt = (io.MiscIO & DEVCAP_MISCIO_PIRIS_OPT) != 0;
    if (io.DIs > 2) return Fail(printf("%s:Error. too many DIs (%d)\n", __func__, U(io.DIs)));
    if (io.DOs > 2) return Fail(printf("%s:Error. too many DOs (%d)\n", __func__, U(io.DOs)));
    if (io.SerialPorts > 1) return Fail(printf("%s:Error. too many Serial Ports (%d)\n", __func__, U(io.SerialPorts)));
    if (dcIris && (pIris || pIrisOpt))
        return Fail(printf("%s:Error. DC-IRIS and P-IRIS are enabled. 0x%X\n", __func__, U(io.MiscIO)));
    if (!dcIris && pIris && pIrisOpt)
        return Fail(printf("%s:Error. P-IRIS and PIRIS_OPT are enabled. 0x%X\n", __func__, U(io.MiscIO)));
    return 0;
}

int32_t DevCapDBCheckLocalStorage(const tFwDevCap* fw) {
    const tStorage& st = fw->storage;
    if (st.interface != 0 && st.type == 0) return Fail(printf("%s:Error. missing storage type\n", __func__));
    if (st.interface == 0 && st.type == STORAGE_TYPE_HD)
        return Fail(printf("%s:Error. no local storage IF but have HD\n", __func__));
    return 0;
}

int32_t DevCapDBCheckPtz(const tFwDevCap* fw) {
    const tPtzCap& ptz = fw->PtzCap;
    const bool optical = (ptz.ZoomCap & DEVCAP_ZOOM_OPTICAL) != 0;
    if (optical && ptz.ZoomLens == 0) return Fail(printf("%s:Error. mossing zoom lens\n", __func__));
    if (!optical && ptz.ZoomLens != 0)
        return Fail(printf("%s:Error. No optical zoom cap but have zoom lens %d\n", __func__, U(ptz.ZoomLens)));
    return 0;
}

int32_t DevCapDBCheckFWConf(const tDevConf* dev) {
    const tFwDevCap& fw = dev->FwDevCap;
    const bool audio = fw.AudioType != 0;
    const bool g711 = (fw.AudioCap & (DEVCAP_AUDIO_G711A | DEVCAP_AUDIO_G711U)) != 0;
    if (fw.head.ver == 0) return Fail(printf("%s:Error. FW Conf. ver is 0\n", __func__));
    if (fw.head.len != 20) printf("%s:Warning! FW Conf. len %d (%d)\n", __func__, U(fw.head.len), 20);
    if (audio && (fw.AudioCap & DEVCAP_AUDIO_PCM) == 0)
        return Fail(printf("%s:Error. PCM should be supported\n", __func__));
    if (audio && g711 && (fw.AudioCap & DEVCAP_AUDIO_G711A) == 0)
        return Fail(printf("%s:Error. missing G.711 a-law cap\n", __func__));
    if (audio && g711 && (fw.AudioCap & DEVCAP_AUDIO_G711U) == 0)
        return Fail(printf("%s:Error. missing G.711 mu-law cap\n", __func__));
    if (!audio && fw.AudioCap != 0)
        return Fail(printf("%s:Error. no audio but have audio cap 0x%X\n", __func__, U(fw.AudioCap)));
    if (DevCapDBCheckExtIO(&fw) != 0) return DEVCAP_ERROR;
    if (DevCapDBCheckLocalStorage(&fw) != 0) return DEVCAP_ERROR;
    if (DevCapDBCheckPtz(&fw) != 0) return DEVCAP_ERROR;
    return 0;
}

int32_t DevCapDBCheckDNCtrl(const tDevConf* dev) {
    const tDNCtrlCap& dn = dev->DNCtrlCap;
    const bool src = dn.DNSrc != 0;
    if (dn.head.ver != 1) return Fail(printf("%s:Error. version is not 0x0001. 0x%X\n", __func__, U(dn.head.ver)));
    if (dn.head.len != 16) return Fail(printf("%s:Error. length. %d\n", __func__, U(dn.head.len)));
    if (!src && dn.DNSrcDefault != 0)
        return Fail(printf("%s:Error. no DN Src but default DN Src %d\n", __func__, S32(dn.DNSrcDefault)));
    if (src && dn.DNSrcDefault == 0) return Fail(printf("%s:Error. missing default DN Src\n", __func__));
    if (src && dn.DNSrcDefault == DN_SRC_DEF_DSP && (dn.DNSrc & DEVCAP_DNSRC_DSP) == 0)
        return Fail(printf("%s:Error. no DSP for DN src but default src is DSP\n", __func__));
    if (src && dn.DNSrcDefault == DN_SRC_DEF_CDS && (dn.DNSrc & DEVCAP_DNSRC_CDS) == 0)
        return Fail(printf("%s:Error. no CDS for DN src but default src is CDS\n", __func__));
    if (src && dn.DNSrcDefault > DN_SRC_DEF_CDS)
        return Fail(printf("%s:Error. unknown default DN src. %d\n", __func__, S32(dn.DNSrcDefault)));
    if (src && dn.CdsDay2NightThd > 100)
        return Fail(printf("%s:Error. invlaid CDS Day to Night threshold. %d\n", __func__, U(dn.CdsDay2NightThd)));
    if (src && dn.CdsNight2DayThd > 100)
        return Fail(printf("%s:Error. invlaid CDS Night to Day threshold. %d\n", __func__, U(dn.CdsNight2DayThd)));
    if ((dn.DNSrc & DEVCAP_DNSRC_CDS) != 0 && dn.CdsDay2NightThd > dn.CdsNight2DayThd)
        return Fail(printf("%s:Error. CDS THD %d > %d\n", __func__, U(dn.CdsDay2NightThd), U(dn.CdsNight2DayThd)));
    return 0;
}

int32_t DevCapDBCheckMotion(const tDevConf* dev) {
    const tMdCap& md = dev->MdCap;
    if (md.head.ver != 1) return Fail(printf("%s:Error. version is not 0x0001. 0x%X\n", __func__, U(md.head.ver)));
    if (md.head.len != 4) return Fail(printf("%s:Error. length. %d\n", __func__, U(md.head.len)));
    if ((md.MdSrc & DEVCAP_MDSRC_ENCODER) == 0)
        return Fail(printf("%s:Error. missing encoder motion capability. 0x%X\n", __func__, md.MdSrc));
    if ((md.MdSrc & DEVCAP_MDSRC_MD_SENSOR) != 0 && dev->FwDevCap.IO.DIs == 2)
        printf("%s:Warning. DI2 and PIR should not be availabe at the same time\n", __func__);
    return 0;
}

int32_t DevCapDBCheckCamera(const tDevConf* dev) {
    const tCamCap& cam = dev->CamCap;
    if (cam.head.ver != 1) return Fail(printf("%s:Error. version is not 0x0001. 0x%X\n", __func__, U(cam.head.ver)));
    if (cam.head.len != 32) return Fail(printf("%s:Error. length. %d\n", __func__, U(cam.head.len)));
    if (cam.DCIrisLevel > 255)
        return Fail(printf("%s:Error. invalid DC-IRIS level %d\n", __func__, S32(cam.DCIrisLevel)));
    if ((dev->FwDevCap.IO.MiscIO & DEVCAP_MISCIO_PIRIS) != 0 && cam.F_Num == 0)
        return Fail(printf("%s:Error. missing F-Num\n", __func__));
    return 0;
}

using tSubCheck = int32_t (*)(const tDevConf* dev);

constexpr tSubCheck kSubChecks[] = {
    DevCapDBCheckHeader, DevCapDBCheckSensorBoard, DevCapDBCheckFWConf,
    DevCapDBCheckDNCtrl, DevCapDBCheckMotion,      DevCapDBCheckCamera,
};

}  // namespace

int32_t DevCapDBCheck(const tDevConf* dev) {
    for (const tSubCheck check : kSubChecks) {
        if (check(dev) != 0) return DEVCAP_ERROR;
    }
    return 0;
}
