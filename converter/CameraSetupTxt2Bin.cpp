// CameraSetupTxt2Bin.cpp - the DC-iris level and the lens F-number into CamCap.
#include "DevCapConv.h"

namespace {

// The position in the list is the code stored: F22 is 1, F1.0 is 19.
constexpr tKeyword kFNums[] = {
    {"None", 0},  {"F22", 1},   {"F19", 2},   {"F16", 3},   {"F14", 4},   {"F11", 5},   {"F9.6", 6},
    {"F8.0", 7},  {"F6.8", 8},  {"F5.6", 9},  {"F4.8", 10}, {"F4.0", 11}, {"F3.4", 12}, {"F2.8", 13},
    {"F2.4", 14}, {"F2.0", 15}, {"F1.8", 16}, {"F1.6", 17}, {"F1.4", 18}, {"F1.0", 19},
};
static_assert(std::size(kFNums) == 20);

int32_t Txt2BinDCIrisLevel(char* data, tCamCap* cam) {
    cam->DCIrisLevel = static_cast<uint32_t>(DevCapAtoi32(data));
    return 0;
}

// An unknown F-number prints nothing here; the driver reports the entry.
int32_t Txt2BinFNum(char* data, tCamCap* cam) {
    const int32_t code = DevCapKeywordCode(DevCapKeywords(kFNums), data);
    if (code == DEVCAP_ERROR) return DEVCAP_ERROR;
    cam->F_Num = static_cast<uint32_t>(code);
    return 0;
}

// clang-format off
constexpr tEntryKey<tCamCap> kCamKeys[] = {
    {{"CAMERA_DCIRIS_LEVEL", ENTRY_NUMBER, DEVCAP_FIELD(CamCap.DCIrisLevel), {}, nullptr}, Txt2BinDCIrisLevel},
    {{"CAMERA_FNUM", ENTRY_KEYWORD, DEVCAP_FIELD(CamCap.F_Num), DevCapKeywords(kFNums), nullptr}, Txt2BinFNum},
};
// clang-format on

constexpr auto kCamInfos = DevCapInfosOf(kCamKeys);

}  // namespace

tEntryCatalog DevCapCameraSetupEntries() { return {"Camera setup", kCamInfos.data(), kCamInfos.size()}; }

int32_t CorvaneCameraSetup(const char* name, char* data, tDevConf* dev) {
    return DevCapDispatch(kCamKeys, name, data, &dev->CamCap);
}
