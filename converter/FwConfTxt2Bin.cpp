// FwConfTxt2Bin.cpp - unit type, platform, audio, IO, storage, pan/tilt/zoom
// and the section version into FwDevCap.
#include "DevCapConv.h"

namespace {

constexpr tKeyword kUnitTypes[] = {
    {"Video Server", VIDEO_SERVER},
    {"Quad Server", QUAD},
    {"Rackmount", RACKMOUNT},
    {"IP Camera", IP_CAM},
    {"IP Dome", IP_DOME},
    {"IP Speed Dome", IP_SPEED_DOME},
    {"Video Decoder", VIDEO_DECODER},
    {"IP Cube Camera", IP_CUBE_CAMERA},
    {"IP PTZ Camera", IP_PTZ_CAMERA},
    {"IP Device", IP_DEVICE},
    {"Mega IP Camera", MEGA_IP_CAMERA},
    {"Mega IP Dome", MEGA_IP_DOME},
    {"Mega IP Cube Camera", MEGA_IP_CUBE_CAMERA},
    {"Mega IP PTZ Camera", MEGA_IP_PTZ_CAMERA},
    {"Hemispheric Camera", HEMISHPERIC_CAM},
    {"ePTZ Camera", EPTZ_CAM},
};
static_assert(std::size(kUnitTypes) == EPTZ_CAM + 1);

// The field holds the upper-case letter whatever case the text used.
constexpr tKeyword kPlatforms[] = {{"W", 'W'}, {"A", 'A'}, {"T", 'T'}, {"K", 'K'}};

constexpr tKeyword kAudioTypes[] = {{"0", 0}, {"1", 1}, {"2", 2}};

// Matched whole: the codecs come in these two orders only.
constexpr tKeyword kAudioCaps[] = {
    {"NONE", 0},
    {"PCM", DEVCAP_AUDIO_PCM},
    {"PCM,G711A,G711U", DEVCAP_AUDIO_PCM | DEVCAP_AUDIO_G711A | DEVCAP_AUDIO_G711U},
    {"G711A,G711U,PCM", DEVCAP_AUDIO_PCM | DEVCAP_AUDIO_G711A | DEVCAP_AUDIO_G711U},
};

constexpr const char* kMiscIOStop = "NONE";
constexpr tKeyword kMiscIOs[] = {
    {"DCIRIS", DEVCAP_MISCIO_DCIRIS},
    {"8051THX", DEVCAP_MISCIO_8051THX},
    {"PIRIS", DEVCAP_MISCIO_PIRIS},
    {"PIRIS_OPT", DEVCAP_MISCIO_PIRIS_OPT},
};

constexpr tKeyword kStorageIFs[] = {{"None", 0}, {"USB_TO_SATA", STORAGE_IF_USB_SATA}};
static_assert(std::size(kStorageIFs) == STORAGE_IF_USB_SATA + 1);

constexpr tKeyword kStorageTypes[] = {{"None", 0}, {"SD", STORAGE_TYPE_SD}, {"HD", STORAGE_TYPE_HD}};

constexpr tKeyword kPTEnabled[] = {{"0", 0}, {"1", 1}};

constexpr const char* kZoomCapStop = "None";
constexpr tKeyword kZoomCaps[] = {{"OPTICAL", DEVCAP_ZOOM_OPTICAL}, {"DIGITAL", DEVCAP_ZOOM_DIGITAL}};

constexpr tKeyword kZoomLenses[] = {
    {"None", 0},
    {"10x", ZOOM_LENS_X10},
    {"22x", ZOOM_LENS_X22},
    {"2.7x", ZOOM_LENS_X2_7},
    {"35x", ZOOM_LENS_X35},
    {"36x", ZOOM_LENS_X36},
    {"18x", ZOOM_LENS_X18},
    {"4x", ZOOM_LENS_X4},
    {"3.6x", ZOOM_LENS_X3_6},
    {"12x", ZOOM_LENS_X12},
    {"26x", ZOOM_LENS_X26},
};
static_assert(std::size(kZoomLenses) == ZOOM_LENS_X26 + 1);

int32_t Txt2BinHeadVer(char* data, tFwDevCap* fw) {
    fw->head.ver = static_cast<uint16_t>(DevCapStrtoul32(data));
    return 0;
}

int32_t Txt2BinUnitType(char* data, tFwDevCap* fw) {
    return DevCapTxt2BinField(DevCapKeywords(kUnitTypes), data, &fw->type,
                              {__func__, "%s:Error. Unknown unit type '%s'\n", nullptr});
}

int32_t Txt2BinPlatform(char* data, tFwDevCap* fw) {
    return DevCapTxt2BinField(DevCapKeywords(kPlatforms), data, &fw->platform,
                              {__func__, "%s:Error. Unknown platform '%s'\n", nullptr});
}

int32_t Txt2BinAudioType(char* data, tFwDevCap* fw) {
    return DevCapTxt2BinField(DevCapKeywords(kAudioTypes), data, &fw->AudioType,
                              {__func__, "%s:Error. Unknown audio type. %s\n", nullptr});
}

int32_t Txt2BinAudioCap(char* data, tFwDevCap* fw) {
    return DevCapTxt2BinField(DevCapKeywords(kAudioCaps), data, &fw->AudioCap,
                              {__func__, "%s:Error. Unknown audio cap. %s\n", nullptr});
}

int32_t Txt2BinDIs(char* data, tFwDevCap* fw) {
    fw->IO.DIs = static_cast<uint8_t>(DevCapAtoi32(data));
    return 0;
}

int32_t Txt2BinDOs(char* data, tFwDevCap* fw) {
    fw->IO.DOs = static_cast<uint8_t>(DevCapAtoi32(data));
    return 0;
}

int32_t Txt2BinSerialPort(char* data, tFwDevCap* fw) {
    fw->IO.SerialPorts = static_cast<uint8_t>(DevCapAtoi32(data));
    return 0;
}

int32_t Txt2BinMiscIO(char* data, tFwDevCap* fw) {
    return DevCapTxt2BinBits(DevCapKeywords(kMiscIOs), kMiscIOStop, data, &fw->IO.MiscIO,
                             {__func__, "%s:Error. Unknown Miac. IO '%s'\n", nullptr});
}

int32_t Txt2BinStorageIF(char* data, tFwDevCap* fw) {
    return DevCapTxt2BinField(DevCapKeywords(kStorageIFs), data, &fw->storage.interface,
                              {__func__, "%s:Error. Unknown storage interface '%s'\n", nullptr});
}

int32_t Txt2BinStorageType(char* data, tFwDevCap* fw) {
    return DevCapTxt2BinField(DevCapKeywords(kStorageTypes), data, &fw->storage.type,
                              {__func__, "%s:Error. Unknown storage type '%s'\n", nullptr});
}

int32_t Txt2BinPTEnabled(char* data, tFwDevCap* fw) {
    return DevCapTxt2BinField(DevCapKeywords(kPTEnabled), data, &fw->PtzCap.PTEnable,
                              {__func__, "%s:Error. Invalid PT enabled value '%s'\n", nullptr});
}

int32_t Txt2BinZoomCap(char* data, tFwDevCap* fw) {
    return DevCapTxt2BinBits(DevCapKeywords(kZoomCaps), kZoomCapStop, data, &fw->PtzCap.ZoomCap,
                             {__func__, "%s:Error. Unknown zoom capability '%s'\n", nullptr});
}

int32_t Txt2BinZoomLens(char* data, tFwDevCap* fw) {
    return DevCapTxt2BinField(DevCapKeywords(kZoomLenses), data, &fw->PtzCap.ZoomLens,
                              {__func__, "%s:Error. Unknown zoom lens '%s'\n", nullptr});
}

// clang-format off
constexpr tEntryKey<tFwDevCap> kFwKeys[] = {
    {{"FWCAP_HEAD_VER", ENTRY_VERSION, DEVCAP_FIELD(FwDevCap.head.ver), {}, nullptr}, Txt2BinHeadVer},
    {{"FWCAP_UNIT_TYPE", ENTRY_KEYWORD, DEVCAP_FIELD(FwDevCap.type), DevCapKeywords(kUnitTypes), nullptr}, Txt2BinUnitType},
    {{"FWCAP_PLATFORM", ENTRY_KEYWORD, DEVCAP_FIELD(FwDevCap.platform), DevCapKeywords(kPlatforms), nullptr}, Txt2BinPlatform},
    {{"FWCAP_AUDIO_TYPE", ENTRY_KEYWORD, DEVCAP_FIELD(FwDevCap.AudioType), DevCapKeywords(kAudioTypes), nullptr}, Txt2BinAudioType},
    {{"FWCAP_AUDIO_CAP", ENTRY_KEYWORD, DEVCAP_FIELD(FwDevCap.AudioCap), DevCapKeywords(kAudioCaps), nullptr}, Txt2BinAudioCap},
    {{"FWCAP_DIS", ENTRY_NUMBER, DEVCAP_FIELD(FwDevCap.IO.DIs), {}, nullptr}, Txt2BinDIs},
    {{"FWCAP_DOS", ENTRY_NUMBER, DEVCAP_FIELD(FwDevCap.IO.DOs), {}, nullptr}, Txt2BinDOs},
    {{"FWCAP_SERIAL", ENTRY_NUMBER, DEVCAP_FIELD(FwDevCap.IO.SerialPorts), {}, nullptr}, Txt2BinSerialPort},
    {{"FWCAP_MISC_IO", ENTRY_LIST, DEVCAP_FIELD(FwDevCap.IO.MiscIO), DevCapKeywords(kMiscIOs), kMiscIOStop}, Txt2BinMiscIO},
    {{"STORAGE_IF", ENTRY_KEYWORD, DEVCAP_FIELD(FwDevCap.storage.interface), DevCapKeywords(kStorageIFs), nullptr}, Txt2BinStorageIF},
    {{"STORAGE_TYPE", ENTRY_KEYWORD, DEVCAP_FIELD(FwDevCap.storage.type), DevCapKeywords(kStorageTypes), nullptr}, Txt2BinStorageType},
    {{"PT_ENABLED", ENTRY_KEYWORD, DEVCAP_FIELD(FwDevCap.PtzCap.PTEnable), DevCapKeywords(kPTEnabled), nullptr}, Txt2BinPTEnabled},
    {{"ZOOM_CAP", ENTRY_LIST, DEVCAP_FIELD(FwDevCap.PtzCap.ZoomCap), DevCapKeywords(kZoomCaps), kZoomCapStop}, Txt2BinZoomCap},
    {{"ZOOM_LENS", ENTRY_KEYWORD, DEVCAP_FIELD(FwDevCap.PtzCap.ZoomLens), DevCapKeywords(kZoomLenses), nullptr}, Txt2BinZoomLens},
};
// clang-format on

constexpr auto kFwInfos = DevCapInfosOf(kFwKeys);

}  // namespace

tEntryCatalog DevCapFwConfEntries() { return {"Firmware capabilities", kFwInfos.data(), kFwInfos.size()}; }

int32_t CorvaneFwConf(const char* name, char* data, tDevConf* dev) {
    return DevCapDispatch(kFwKeys, name, data, &dev->FwDevCap);
}
