// DNCtrlTxt2Bin.cpp - day/night sources, default source, switched peripherals
// and light thresholds into DNCtrlCap.
#include "DevCapConv.h"

namespace {

// Both day/night lists end at "None".
constexpr const char* kDNStop = "None";
constexpr tKeyword kDNSrcs[] = {{"DSP", DEVCAP_DNSRC_DSP}, {"CDS", DEVCAP_DNSRC_CDS}};

constexpr tKeyword kDNSrcDefaults[] = {{"None", 0}, {"DSP", DN_SRC_DEF_DSP}, {"CDS", DN_SRC_DEF_CDS}};
static_assert(std::size(kDNSrcDefaults) == DN_SRC_DEF_CDS + 1);

constexpr tKeyword kDNCtrlIOs[] = {{"IRLED", DEVCAP_DNCTRL_IRLED}, {"CUT_FILTER", DEVCAP_DNCTRL_CUT_FILTER}};

int32_t Txt2BinDNSrc(char* data, tDNCtrlCap* dn) {
    return DevCapTxt2BinBits(DevCapKeywords(kDNSrcs), kDNStop, data, &dn->DNSrc,
                             {__func__, "%s:Error. Unknown Day/Night detection source '%s'\n", nullptr});
}

int32_t Txt2BinDNSrcDefault(char* data, tDNCtrlCap* dn) {
    return DevCapTxt2BinField(DevCapKeywords(kDNSrcDefaults), data, &dn->DNSrcDefault,
                              {__func__, "%s:Error. Unknown Day/Night default detection source '%s'\n", nullptr});
}

int32_t Txt2BinDNCtrlIO(char* data, tDNCtrlCap* dn) {
    return DevCapTxt2BinBits(DevCapKeywords(kDNCtrlIOs), kDNStop, data, &dn->DNCtrlElement,
                             {__func__, "%s:Error. Unknown Day/Night peripheral '%s'\n", nullptr});
}

int32_t Txt2BinCdsDay2NightThd(char* data, tDNCtrlCap* dn) {
    dn->CdsDay2NightThd = static_cast<uint8_t>(DevCapAtoi32(data));
    return 0;
}

int32_t Txt2BinCdsNight2DayThd(char* data, tDNCtrlCap* dn) {
    dn->CdsNight2DayThd = static_cast<uint8_t>(DevCapAtoi32(data));
    return 0;
}

// clang-format off
constexpr tEntryKey<tDNCtrlCap> kDNKeys[] = {
    {{"DN_SRC", ENTRY_LIST, DEVCAP_FIELD(DNCtrlCap.DNSrc), DevCapKeywords(kDNSrcs), kDNStop}, Txt2BinDNSrc},
    {{"DN_SRC_DEFAULT", ENTRY_KEYWORD, DEVCAP_FIELD(DNCtrlCap.DNSrcDefault), DevCapKeywords(kDNSrcDefaults), nullptr}, Txt2BinDNSrcDefault},
    {{"DN_CTRL_IO", ENTRY_LIST, DEVCAP_FIELD(DNCtrlCap.DNCtrlElement), DevCapKeywords(kDNCtrlIOs), kDNStop}, Txt2BinDNCtrlIO},
    {{"CDS_DAY2NIGHT_THD", ENTRY_NUMBER, DEVCAP_FIELD(DNCtrlCap.CdsDay2NightThd), {}, nullptr}, Txt2BinCdsDay2NightThd},
    {{"CDS_NIGHT2DAY_THD", ENTRY_NUMBER, DEVCAP_FIELD(DNCtrlCap.CdsNight2DayThd), {}, nullptr}, Txt2BinCdsNight2DayThd},
};
// clang-format on

constexpr auto kDNInfos = DevCapInfosOf(kDNKeys);

}  // namespace

tEntryCatalog DevCapDNCtrlEntries() { return {"Day/night control", kDNInfos.data(), kDNInfos.size()}; }

int32_t CorvaneDNCtrl(const char* name, char* data, tDevConf* dev) {
    return DevCapDispatch(kDNKeys, name, data, &dev->DNCtrlCap);
}
