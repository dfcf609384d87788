// MotionTxt2Bin.cpp - the motion detection sources into MdCap.
#include "DevCapConv.h"

namespace {

// No element means "none": the list has no stop word.
constexpr tKeyword kMDSrcs[] = {{"ENCODER", DEVCAP_MDSRC_ENCODER}, {"MD_SENSOR", DEVCAP_MDSRC_MD_SENSOR}};

int32_t Txt2BinMDSrc(char* data, tMdCap* md) {
    return DevCapTxt2BinBits(DevCapKeywords(kMDSrcs), nullptr, data, &md->MdSrc,
                             {__func__, "%s:Error. Unknown motion detection source '%s'\n", nullptr});
}

constexpr tEntryKey<tMdCap> kMdKeys[] = {
    {{"MD_SRC", ENTRY_LIST, DEVCAP_FIELD(MdCap.MdSrc), DevCapKeywords(kMDSrcs), nullptr}, Txt2BinMDSrc},
};

constexpr auto kMdInfos = DevCapInfosOf(kMdKeys);

}  // namespace

tEntryCatalog DevCapMotionEntries() { return {"Motion detection", kMdInfos.data(), kMdInfos.size()}; }

int32_t CorvaneMotion(const char* name, char* data, tDevConf* dev) {
    return DevCapDispatch(kMdKeys, name, data, &dev->MdCap);
}
