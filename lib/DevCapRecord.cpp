// DevCapRecord.cpp - the record's defaults and its fields by path.
#include <cstdio>
#include <cstring>

#include "DevCapCore.h"

namespace {

#define FIELD(path) \
    { #path, DEVCAP_FIELD(path) }
// clang-format off
constexpr tField kFields[] = {
    FIELD(head.key), FIELD(head.ConfCap), FIELD(head.rsvd),
    FIELD(SBConf.head.ver), FIELD(SBConf.head.len),
    FIELD(SBConf.sensor.ID), FIELD(SBConf.sensor.CtrlPath), FIELD(SBConf.sensor.InputIF), FIELD(SBConf.sensor.OutputIF),
    FIELD(SBConf.decoder.ID), FIELD(SBConf.decoder.CtrlPath), FIELD(SBConf.decoder.InputIF), FIELD(SBConf.decoder.OutputIF),
    FIELD(SBConf.processor.ID), FIELD(SBConf.processor.CtrlPath), FIELD(SBConf.processor.InputIF), FIELD(SBConf.processor.OutputIF),
    FIELD(SBConf.encoder.ID), FIELD(SBConf.encoder.CtrlPath), FIELD(SBConf.encoder.InputIF), FIELD(SBConf.encoder.OutputIF),
    FIELD(FwDevCap.head.ver), FIELD(FwDevCap.head.len),
    FIELD(FwDevCap.type), FIELD(FwDevCap.platform), FIELD(FwDevCap.AudioType), FIELD(FwDevCap.AudioCap),
    FIELD(FwDevCap.IO.DIs), FIELD(FwDevCap.IO.DOs), FIELD(FwDevCap.IO.SerialPorts), FIELD(FwDevCap.IO.MiscIO),
    FIELD(FwDevCap.storage.interface), FIELD(FwDevCap.storage.type), FIELD(FwDevCap.storage.rsvd),
    FIELD(FwDevCap.PtzCap.PTEnable), FIELD(FwDevCap.PtzCap.PtzImageMajor), FIELD(FwDevCap.PtzCap.PtzImageMinor),
    FIELD(FwDevCap.PtzCap.ZoomCap), FIELD(FwDevCap.PtzCap.ZoomLens), FIELD(FwDevCap.PtzCap.rsvd),
    FIELD(DNCtrlCap.head.ver), FIELD(DNCtrlCap.head.len),
    FIELD(DNCtrlCap.DNSrc), FIELD(DNCtrlCap.DNSrcDefault), FIELD(DNCtrlCap.DNCtrlElement),
    FIELD(DNCtrlCap.CdsDay2NightThd), FIELD(DNCtrlCap.CdsNight2DayThd), FIELD(DNCtrlCap.Rsvd),
    FIELD(MdCap.head.ver), FIELD(MdCap.head.len), FIELD(MdCap.MdSrc),
    FIELD(CamCap.head.ver), FIELD(CamCap.head.len),
    FIELD(CamCap.DCIrisLevel), FIELD(CamCap.F_Num), FIELD(CamCap.Rsvd),
};
// clang-format on
#undef FIELD

// The fields tile the record: no byte is described twice or left out.
constexpr bool TilesRecord() {
    size_t next = 0;
    for (const tField& f : kFields) {
        if (f.offset != next) return false;
        next += f.width;
    }
    return next == sizeof(tDevConf);
}
static_assert(TilesRecord());

}  // namespace

void DevCapConfInit(tDevConf* dev) {
    memset(dev, 0, sizeof *dev);
    memcpy(dev->head.key, DEVCAP_KEY, sizeof dev->head.key);
    dev->head.ConfCap = DEVCAP_CONF_CAP;
    dev->SBConf.head = {DEVCAP_SECTION_VER, DevCapSectionLen<tSBConf>()};
    dev->FwDevCap.head = {DEVCAP_SECTION_VER, DevCapSectionLen<tFwDevCap>()};
    dev->DNCtrlCap.head = {DEVCAP_SECTION_VER, DevCapSectionLen<tDNCtrlCap>()};
    dev->MdCap.head = {DEVCAP_SECTION_VER, DevCapSectionLen<tMdCap>()};
    dev->CamCap.head = {DEVCAP_SECTION_VER, DevCapSectionLen<tCamCap>()};
}

tFieldList DevCapFields() { return {kFields, std::size(kFields)}; }

const tField* DevCapFieldAt(size_t offset) {
    for (const tField& f : kFields) {
        if (f.offset == offset) return &f;
    }
    return nullptr;
}

uint32_t DevCapFieldGet(const tDevConf* dev, size_t offset, size_t width) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(dev);
    uint32_t value = 0;
    for (size_t i = width; i-- > 0;) value = value << 8 | bytes[offset + i];
    return value;
}

void DevCapFieldSet(tDevConf* dev, size_t offset, size_t width, uint32_t value) {
    auto* bytes = reinterpret_cast<uint8_t*>(dev);
#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    // The record's byte order is this machine's: a field is one store. Codes,
    // the most common, are one byte.
    if (width == 1) {
        bytes[offset] = static_cast<uint8_t>(value);
        return;
    }
    if (width == 4) {
        memcpy(bytes + offset, &value, 4);
        return;
    }
#endif
    for (size_t i = 0; i < width; ++i, value >>= 8) bytes[offset + i] = static_cast<uint8_t>(value);
}

const tField* DevCapFieldNamed(std::string_view path) {
    for (const tField& f : kFields) {
        if (path == f.path) return &f;
    }
    return nullptr;
}

const tField* DevCapFieldNamed(const char* path) {
    return path != nullptr ? DevCapFieldNamed(std::string_view(path)) : nullptr;
}

bool DevCapIsDefault(const tDevConf& dev, const tField& f) {
    tDevConf init;
    DevCapConfInit(&init);
    return memcmp(reinterpret_cast<const uint8_t*>(&dev) + f.offset, reinterpret_cast<const uint8_t*>(&init) + f.offset,
                  f.width) == 0;
}

void DevCapRawText(const tDevConf& dev, const tField& f, char (&raw)[64]) {
    if (f.width == 1 || f.width == 2 || f.width == 4) {
        snprintf(raw, sizeof raw, "0x%0*X", f.width * 2, DevCapFieldGet(&dev, f.offset, f.width));
        return;
    }
    size_t used = 0;
    raw[0] = '\0';
    for (unsigned i = 0; i < f.width && used + 3 < sizeof raw; ++i) {
        used += static_cast<size_t>(
            snprintf(raw + used, sizeof raw - used, "%02X", reinterpret_cast<const uint8_t*>(&dev)[f.offset + i]));
    }
}

void DevCapFieldText(const tDevConf& dev, const tField& f, char (&text)[DEVCAP_DATA_SIZE]) {
    const tEntry* e = DevCapEntryAt(f.offset);
    const tRender render = e != nullptr ? DevCapEntryBin2Txt(*e, dev, text) : RENDER_NONE;
    if (render == RENDER_ENTRY) return;
    if (render == RENDER_OMIT) {
        snprintf(text, sizeof text, "%s", kNotGiven);
        return;
    }
    char raw[64];
    DevCapRawText(dev, f, raw);
    snprintf(text, sizeof text, "%s", raw);
}

void DevCapFieldValueOf(const tDevConf& dev, const tField& f, tDevCapFieldValue* v) {
    v->path = f.path;
    v->number = f.width == 1 || f.width == 2 || f.width == 4;
    v->value = v->number ? DevCapFieldGet(&dev, f.offset, f.width) : 0;
    const tEntry* e = DevCapEntryAt(f.offset);
    v->has_text = e != nullptr && DevCapEntryBin2Txt(*e, dev, v->text) == RENDER_ENTRY;
    if (!v->has_text) v->text[0] = '\0';
}
