// DevCapEntries.cpp - every entry of the capability text, one row each: its
// name, the field it writes, its keywords and the line it prints on a value it
// does not know. The five sections' handlers, the man pages, devcapdump, the
// linter, the library's tables and the fuzz dictionary all read these rows.
#include <cstring>

#include "DevCapCore.h"

namespace {

// ---- keyword tables, in code order ----

// "NONE" (0) first in each of the video chain's lists.
constexpr tKeyword kSensorIDs[] = {
    {"NONE", 0},          {"MT9M131", MT9M131},   {"MT53S88", MT53S88},       {"NI9065", NI9065},
    {"SS_HQ1", SS_HQ1},   {"IT1", IT1},           {"ADL_PE1005", ADL_PE1005}, {"MT54G15", MT54G15},
    {"IT2", IT2},         {"SS4", SS4},           {"TW2835", INVALID_TW2835}, {"MT9V136", MT9V136},
    {"ITS", ITS},         {"MTV54G22", MTV54G22}, {"FCBEX1010", FCBEX1010},   {"MT9P031", MT9P031},
    {"OV9715", OV9715},   {"OV5653", OV5653},     {"MT9P004", MT9P004},       {"MT9P006", MT9P006},
    {"MT9P111", MT9P111}, {"MT9F002", MT9F002},   {"IMX122", IMX122},         {"AR0331", AR0331},
};
static_assert(std::size(kSensorIDs) == AR0331 + 1);

constexpr tKeyword kDecoderIDs[] = {{"NONE", 0}, {"ADV7180", ADV7180}, {"VX1129", VX1129}, {"TW2835", TW2835}};
static_assert(std::size(kDecoderIDs) == TW2835 + 1);

constexpr tKeyword kProcessorIDs[] = {{"NONE", 0}, {"DT_018054", DT_018054}, {"COBRA", COBRA}};
static_assert(std::size(kProcessorIDs) == COBRA + 1);

constexpr tKeyword kEncoderIDs[] = {{"NONE", 0}, {"ADV7179", ADV7179}, {"CH_7026", CH_7026}};
static_assert(std::size(kEncoderIDs) == CH_7026 + 1);

constexpr tKeyword kCtrlIFs[] = {
    {"NONE", 0},
    {"I2C", I2C},
    {"UART_2400", UART_2400},
    {"UART_4800", UART_4800},
    {"UART_9600", UART_9600},
    {"UART_19200", UART_19200},
    {"UART_38400", UART_38400},
    {"UART_57600", UART_57600},
    {"UART_115200", UART_115200},
};
static_assert(std::size(kCtrlIFs) == UART_115200 + 1);

// Code 9 is spelt "YUB_8" in capability files.
constexpr tKeyword kVideoIFs[] = {
    {"NONE", 0},        {"CCIR656_8", CCIR656_8}, {"CCIR656_16", CCIR656_16}, {"CVBS", CVBS},         {"YC", YC},
    {"YUV_16", YUV_16}, {"RGB888_24", RGB888_24}, {"RGB565_16", RGB565_16},   {"RGB565_8", RGB565_8}, {"YUB_8", YUV_8},
    {"RGB444", RGB444},
};
static_assert(std::size(kVideoIFs) == RGB444 + 1);

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

constexpr tKeyword kDNSrcs[] = {{"DSP", DEVCAP_DNSRC_DSP}, {"CDS", DEVCAP_DNSRC_CDS}};

constexpr tKeyword kDNSrcDefaults[] = {{"None", 0}, {"DSP", DN_SRC_DEF_DSP}, {"CDS", DN_SRC_DEF_CDS}};
static_assert(std::size(kDNSrcDefaults) == DN_SRC_DEF_CDS + 1);

constexpr tKeyword kDNCtrlIOs[] = {{"IRLED", DEVCAP_DNCTRL_IRLED}, {"CUT_FILTER", DEVCAP_DNCTRL_CUT_FILTER}};

// No element means "none": the motion list has no stop word.
constexpr tKeyword kMDSrcs[] = {{"ENCODER", DEVCAP_MDSRC_ENCODER}, {"MD_SENSOR", DEVCAP_MDSRC_MD_SENSOR}};

// The position in the list is the code stored: F22 is 1, F1.0 is 19.
constexpr tKeyword kFNums[] = {
    {"None", 0},  {"F22", 1},   {"F19", 2},   {"F16", 3},   {"F14", 4},   {"F11", 5},   {"F9.6", 6},
    {"F8.0", 7},  {"F6.8", 8},  {"F5.6", 9},  {"F4.8", 10}, {"F4.0", 11}, {"F3.4", 12}, {"F2.8", 13},
    {"F2.4", 14}, {"F2.0", 15}, {"F1.8", 16}, {"F1.6", 17}, {"F1.4", 18}, {"F1.0", 19},
};
static_assert(std::size(kFNums) == 20);

// Every keyword list once: a row's list is found here by address (Words), and
// the keyword index gives each list a perfect hash of its own.
template <size_t N>
constexpr tKeywordList List(const tKeyword (&words)[N]) {
    return {words, N};
}
constexpr tKeywordList kLists[] = {
    List(kSensorIDs),  List(kDecoderIDs), List(kProcessorIDs),  List(kEncoderIDs), List(kCtrlIFs),
    List(kVideoIFs),   List(kUnitTypes),  List(kPlatforms),     List(kAudioTypes), List(kAudioCaps),
    List(kMiscIOs),    List(kStorageIFs), List(kStorageTypes),  List(kPTEnabled),  List(kZoomCaps),
    List(kZoomLenses), List(kDNSrcs),     List(kDNSrcDefaults), List(kDNCtrlIOs),  List(kMDSrcs),
    List(kFNums),
};
constexpr uint8_t kNoList = tKeywordList{}.list;
static_assert(std::size(kLists) < kNoList);

template <size_t N>
constexpr tKeywordList Words(const tKeyword (&words)[N]) {
    for (size_t i = 0; i < std::size(kLists); ++i) {
        if (kLists[i].words == words) return {words, N, static_cast<uint8_t>(i)};
    }
    return {words, N, kNoList};  // not listed: EveryKeywordFound fails the build
}

// ---- the rows ----
// {name, kind, field, keywords, stop word, function, message, label}

// The line each row prints on a value it does not know, after its function
// name (and a label where the format has a second %s).
constexpr char kSaysSensorID[] = "%s:Error. Unknown Sensor ID '%s'\n";                // as shipped
constexpr char kSaysCtrlIF[] = "%s:Error. Unknown %s CtrlIF '%s'\n";                  // as shipped
constexpr char kSaysVideoIF[] = "%s:Error. Unknown %s Interface '%s'\n";              // as shipped
constexpr char kSaysDecoderID[] = "%s:Error. Unknown Deocder ID '%s'\n";              // as shipped, "Deocder" included
constexpr char kSaysProcessorID[] = "%s:Error. Unknown Processor ID '%s'\n";          // as shipped
constexpr char kSaysEncoderID[] = "%s:Error. Unknown Encoder ID '%s'\n";              // as shipped
constexpr char kSaysUnitType[] = "%s:Error. Unknown unit type '%s'\n";                // as shipped
constexpr char kSaysPlatform[] = "%s:Error. Unknown platform '%s'\n";                 // as shipped
constexpr char kSaysAudioType[] = "%s:Error. Unknown audio type. %s\n";               // as shipped
constexpr char kSaysAudioCap[] = "%s:Error. Unknown audio cap. %s\n";                 // as shipped
constexpr char kSaysMiscIO[] = "%s:Error. Unknown Miac. IO '%s'\n";                   // as shipped, "Miac." included
constexpr char kSaysStorageIF[] = "%s:Error. Unknown storage interface '%s'\n";       // as shipped
constexpr char kSaysStorageType[] = "%s:Error. Unknown storage type '%s'\n";          // as shipped
constexpr char kSaysPTEnabled[] = "%s:Error. Invalid PT enabled value '%s'\n";        // as shipped
constexpr char kSaysZoomCap[] = "%s:Error. Unknown zoom capability '%s'\n";           // as shipped
constexpr char kSaysZoomLens[] = "%s:Error. Unknown zoom lens '%s'\n";                // as shipped
constexpr char kSaysDNSrc[] = "%s:Error. Unknown Day/Night detection source '%s'\n";  // as shipped
constexpr char kSaysDNSrcDefault[] = "%s:Error. Unknown Day/Night default detection source '%s'\n";  // as shipped
constexpr char kSaysDNCtrlIO[] = "%s:Error. Unknown Day/Night peripheral '%s'\n";                    // as shipped
constexpr char kSaysMDSrc[] = "%s:Error. Unknown motion detection source '%s'\n";                    // as shipped

// clang-format off
constexpr tEntry kSBEntries[] = {
    {"SENSOR_ID", ENTRY_KEYWORD, DEVCAP_FIELD(SBConf.sensor.ID), Words(kSensorIDs), {}, "Tex2BinSensorID", kSaysSensorID, nullptr},
    {"SENSOR_CTRL", ENTRY_KEYWORD, DEVCAP_FIELD(SBConf.sensor.CtrlPath), Words(kCtrlIFs), {}, "Tex2BinCtrlIF", kSaysCtrlIF, "Sensor"},
    {"SENSOR_VIN", ENTRY_KEYWORD, DEVCAP_FIELD(SBConf.sensor.InputIF), Words(kVideoIFs), {}, "Tex2BinVideoIF", kSaysVideoIF, "Sensor Vin"},
    {"SENSOR_VOUT", ENTRY_KEYWORD, DEVCAP_FIELD(SBConf.sensor.OutputIF), Words(kVideoIFs), {}, "Tex2BinVideoIF", kSaysVideoIF, "Sensor Vout"},
    {"DECODER_ID", ENTRY_KEYWORD, DEVCAP_FIELD(SBConf.decoder.ID), Words(kDecoderIDs), {}, "Tex2BinDecoderID", kSaysDecoderID, nullptr},
    {"DECODER_CTRL", ENTRY_KEYWORD, DEVCAP_FIELD(SBConf.decoder.CtrlPath), Words(kCtrlIFs), {}, "Tex2BinCtrlIF", kSaysCtrlIF, "Decoder"},
    {"DECODER_VIN", ENTRY_KEYWORD, DEVCAP_FIELD(SBConf.decoder.InputIF), Words(kVideoIFs), {}, "Tex2BinVideoIF", kSaysVideoIF, "Decoder Vin"},
    {"DECODER_VOUT", ENTRY_KEYWORD, DEVCAP_FIELD(SBConf.decoder.OutputIF), Words(kVideoIFs), {}, "Tex2BinVideoIF", kSaysVideoIF, "Decoder Vout"},
    {"PROCESSOR_ID", ENTRY_KEYWORD, DEVCAP_FIELD(SBConf.processor.ID), Words(kProcessorIDs), {}, "Tex2BinProcessorID", kSaysProcessorID, nullptr},
    {"PROCESSOR_CTRL", ENTRY_KEYWORD, DEVCAP_FIELD(SBConf.processor.CtrlPath), Words(kCtrlIFs), {}, "Tex2BinCtrlIF", kSaysCtrlIF, "Processor"},
    {"PROCESSOR_VIN", ENTRY_KEYWORD, DEVCAP_FIELD(SBConf.processor.InputIF), Words(kVideoIFs), {}, "Tex2BinVideoIF", kSaysVideoIF, "Processor Vin"},
    {"PROCESSOR_VOUT", ENTRY_KEYWORD, DEVCAP_FIELD(SBConf.processor.OutputIF), Words(kVideoIFs), {}, "Tex2BinVideoIF", kSaysVideoIF, "Processor Vout"},
    {"ENCODER_ID", ENTRY_KEYWORD, DEVCAP_FIELD(SBConf.encoder.ID), Words(kEncoderIDs), {}, "Tex2BinEncoderID", kSaysEncoderID, nullptr},
    {"ENCODER_CTRL", ENTRY_KEYWORD, DEVCAP_FIELD(SBConf.encoder.CtrlPath), Words(kCtrlIFs), {}, "Tex2BinCtrlIF", kSaysCtrlIF, "Encoder"},
    {"ENCODER_VIN", ENTRY_KEYWORD, DEVCAP_FIELD(SBConf.encoder.InputIF), Words(kVideoIFs), {}, "Tex2BinVideoIF", kSaysVideoIF, "Encoder Vin"},
    {"ENCODER_VOUT", ENTRY_KEYWORD, DEVCAP_FIELD(SBConf.encoder.OutputIF), Words(kVideoIFs), {}, "Tex2BinVideoIF", kSaysVideoIF, "Encoder Vout"},
};

constexpr tEntry kFwEntries[] = {
    {"FWCAP_HEAD_VER", ENTRY_VERSION, DEVCAP_FIELD(FwDevCap.head.ver), {}, {}, "Txt2BinHeadVer", nullptr, nullptr},
    {"FWCAP_UNIT_TYPE", ENTRY_KEYWORD, DEVCAP_FIELD(FwDevCap.type), Words(kUnitTypes), {}, "Txt2BinUnitType", kSaysUnitType, nullptr},
    {"FWCAP_PLATFORM", ENTRY_KEYWORD, DEVCAP_FIELD(FwDevCap.platform), Words(kPlatforms), {}, "Txt2BinPlatform", kSaysPlatform, nullptr},
    {"FWCAP_AUDIO_TYPE", ENTRY_KEYWORD, DEVCAP_FIELD(FwDevCap.AudioType), Words(kAudioTypes), {}, "Txt2BinAudioType", kSaysAudioType, nullptr},
    {"FWCAP_AUDIO_CAP", ENTRY_KEYWORD, DEVCAP_FIELD(FwDevCap.AudioCap), Words(kAudioCaps), {}, "Txt2BinAudioCap", kSaysAudioCap, nullptr},
    {"FWCAP_DIS", ENTRY_NUMBER, DEVCAP_FIELD(FwDevCap.IO.DIs), {}, {}, "Txt2BinDIs", nullptr, nullptr},
    {"FWCAP_DOS", ENTRY_NUMBER, DEVCAP_FIELD(FwDevCap.IO.DOs), {}, {}, "Txt2BinDOs", nullptr, nullptr},
    {"FWCAP_SERIAL", ENTRY_NUMBER, DEVCAP_FIELD(FwDevCap.IO.SerialPorts), {}, {}, "Txt2BinSerialPort", nullptr, nullptr},
    {"FWCAP_MISC_IO", ENTRY_LIST, DEVCAP_FIELD(FwDevCap.IO.MiscIO), Words(kMiscIOs), "NONE", "Txt2BinMiscIO", kSaysMiscIO, nullptr},
    {"STORAGE_IF", ENTRY_KEYWORD, DEVCAP_FIELD(FwDevCap.storage.interface), Words(kStorageIFs), {}, "Txt2BinStorageIF", kSaysStorageIF, nullptr},
    {"STORAGE_TYPE", ENTRY_KEYWORD, DEVCAP_FIELD(FwDevCap.storage.type), Words(kStorageTypes), {}, "Txt2BinStorageType", kSaysStorageType, nullptr},
    {"PT_ENABLED", ENTRY_KEYWORD, DEVCAP_FIELD(FwDevCap.PtzCap.PTEnable), Words(kPTEnabled), {}, "Txt2BinPTEnabled", kSaysPTEnabled, nullptr},
    {"ZOOM_CAP", ENTRY_LIST, DEVCAP_FIELD(FwDevCap.PtzCap.ZoomCap), Words(kZoomCaps), "None", "Txt2BinZoomCap", kSaysZoomCap, nullptr},
    {"ZOOM_LENS", ENTRY_KEYWORD, DEVCAP_FIELD(FwDevCap.PtzCap.ZoomLens), Words(kZoomLenses), {}, "Txt2BinZoomLens", kSaysZoomLens, nullptr},
};

constexpr tEntry kDNEntries[] = {
    {"DN_SRC", ENTRY_LIST, DEVCAP_FIELD(DNCtrlCap.DNSrc), Words(kDNSrcs), "None", "Txt2BinDNSrc", kSaysDNSrc, nullptr},
    {"DN_SRC_DEFAULT", ENTRY_KEYWORD, DEVCAP_FIELD(DNCtrlCap.DNSrcDefault), Words(kDNSrcDefaults), {}, "Txt2BinDNSrcDefault", kSaysDNSrcDefault, nullptr},
    {"DN_CTRL_IO", ENTRY_LIST, DEVCAP_FIELD(DNCtrlCap.DNCtrlElement), Words(kDNCtrlIOs), "None", "Txt2BinDNCtrlIO", kSaysDNCtrlIO, nullptr},
    {"CDS_DAY2NIGHT_THD", ENTRY_NUMBER, DEVCAP_FIELD(DNCtrlCap.CdsDay2NightThd), {}, {}, "Txt2BinCdsDay2NightThd", nullptr, nullptr},
    {"CDS_NIGHT2DAY_THD", ENTRY_NUMBER, DEVCAP_FIELD(DNCtrlCap.CdsNight2DayThd), {}, {}, "Txt2BinCdsNight2DayThd", nullptr, nullptr},
};

constexpr tEntry kMdEntries[] = {
    {"MD_SRC", ENTRY_LIST, DEVCAP_FIELD(MdCap.MdSrc), Words(kMDSrcs), {}, "Txt2BinMDSrc", kSaysMDSrc, nullptr},
};

// An unknown F-number prints nothing of its own; the driver reports the entry.
constexpr tEntry kCamEntries[] = {
    {"CAMERA_DCIRIS_LEVEL", ENTRY_NUMBER, DEVCAP_FIELD(CamCap.DCIrisLevel), {}, {}, "Txt2BinDCIrisLevel", nullptr, nullptr},
    {"CAMERA_FNUM", ENTRY_KEYWORD, DEVCAP_FIELD(CamCap.F_Num), Words(kFNums), {}, "Txt2BinFNum", nullptr, nullptr},
};
// clang-format on

template <size_t N>
constexpr tSection Section(const char* title, tEntryHandler handler, const tEntry (&entries)[N]) {
    return {title, handler, entries, N};
}

// The sections in record order. An entry goes to the one handler whose
// section the name index points to (DevCapOwner): names are unique across
// sections, so offering it to each in this order would find the same one.
enum { SECTION_SB, SECTION_FW, SECTION_DN, SECTION_MD, SECTION_CAM, SECTION_COUNT };
constexpr tSection kSections[SECTION_COUNT] = {
    Section("Sensor board", CorvaneSensorBoardConf, kSBEntries),
    Section("Firmware capabilities", CorvaneFwConf, kFwEntries),
    Section("Day/night control", CorvaneDNCtrl, kDNEntries),
    Section("Motion detection", CorvaneMotion, kMdEntries),
    Section("Camera setup", CorvaneCameraSetup, kCamEntries),
};
static_assert(kSections[SECTION_COUNT - 1].count > 0, "a section for every enumerator");

// An entry's code is section << 5 | row: the indexes below hold codes. The
// row of each code, and whether it cuts its value, are one load each (for
// the handler, and for the reader, which must copy such a value before the
// handler runs).
struct tCodes {
    const tEntry* row[256];
    bool cuts[256];
};
constexpr tCodes BuildCodes() {
    tCodes codes{};
    for (size_t s = 0; s < SECTION_COUNT; ++s) {
        for (size_t r = 0; r < kSections[s].count; ++r) {
            codes.row[s << 5 | r] = &kSections[s].entries[r];
            codes.cuts[s << 5 | r] = kSections[s].entries[r].kind == ENTRY_LIST;
        }
    }
    return codes;
}
constexpr tCodes kCodes = BuildCodes();

// ---- name index ----
// A perfect hash, built at compile time: each name has a slot of its own, so
// a name finds its one candidate row, and with it the section whose handler
// takes the entry, in one look. The hash reads the name's first and last four
// bytes, its middle byte and its length, each folded to upper case (bit 5
// cleared: any two spellings of a name meet in one slot).
constexpr size_t kIndexBits = 7;
constexpr size_t kIndexSize = size_t{1} << kIndexBits;
constexpr uint8_t kEmpty = 0xFF;

// The shortest and longest names: anything else has no slot.
constexpr size_t NameLength(bool longest) {
    size_t n = longest ? 0 : SIZE_MAX;
    for (const tSection& s : kSections) {
        for (size_t r = 0; r < s.count; ++r)
            n = (s.entries[r].name.size() > n) == longest ? s.entries[r].name.size() : n;
    }
    return n;
}
constexpr size_t kShortestName = NameLength(false), kLongestName = NameLength(true);
static_assert(kShortestName >= 4, "the hash reads four bytes from each end");

// Names are written in upper case: a name read is folded, the row's is not.
constexpr bool NamesUpper() {
    for (const tSection& s : kSections) {
        for (size_t r = 0; r < s.count; ++r) {
            for (const char c : s.entries[r].name) {
                if (c >= 'a' && c <= 'z') return false;
            }
        }
    }
    return true;
}
static_assert(NamesUpper());

constexpr uint64_t Bytes(const char* at, size_t n) {
#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    // One load: the same value on this byte order (a load of a constant size: WordKey's part is 4 or 8).
    if (!__builtin_is_constant_evaluated() && n == 8) {
        uint64_t w = 0;
        memcpy(&w, at, 8);
        return w;
    }
    if (!__builtin_is_constant_evaluated() && n == 4) {
        uint32_t w = 0;
        memcpy(&w, at, 4);
        return w;
    }
#endif
    uint64_t w = 0;
    for (size_t i = n; i-- > 0;) w = w << 8 | static_cast<unsigned char>(at[i]);
    return w;
}

constexpr size_t NameHash(const char* name, size_t len, uint64_t seed) {
    const uint64_t key = (Bytes(name, 4) | Bytes(name + len - 4, 4) << 32) ^
                         (uint64_t{static_cast<unsigned char>(name[len / 2])} << 16 | len);
    return static_cast<size_t>(((key & 0xDFDFDFDFDFDFDFDFull) * seed) >> (64 - kIndexBits));
}

struct tNameIndex {
    uint64_t seed;
    uint8_t slot[kIndexSize];  // section << 5 | row, or kEmpty
};

// Tries multipliers until every name has a slot of its own.
constexpr tNameIndex BuildIndex() {
    tNameIndex index{};
    for (uint64_t k = 0; k < 4096; ++k) {
        index.seed = 0x9E3779B97F4A7C15ull + 2 * k;
        for (uint8_t& s : index.slot) s = kEmpty;
        bool clash = false;
        for (size_t s = 0; s < SECTION_COUNT && !clash; ++s) {
            for (size_t r = 0; r < kSections[s].count && !clash; ++r) {
                const std::string_view name = kSections[s].entries[r].name;
                uint8_t& slot = index.slot[NameHash(name.data(), name.size(), index.seed)];
                clash = slot != kEmpty;
                slot = static_cast<uint8_t>(s << 5 | r);
            }
        }
        if (!clash) return index;
    }
    index.seed = 0;  // no multiplier: IndexFindsEveryRow fails the build
    return index;
}
constexpr tNameIndex kIndex = BuildIndex();

// The one row a name can be: the row in its slot, whether or not it matches.
constexpr uint8_t Candidate(const char* name, size_t len) {
    if (len < kShortestName || len > kLongestName) return kEmpty;
    return kIndex.slot[NameHash(name, len, kIndex.seed)];
}

constexpr const tEntry* Lookup(std::string_view name) {
    const uint8_t slot = Candidate(name.data(), name.size());
    if (slot == kEmpty) return nullptr;
    const tEntry& e = *kCodes.row[slot];
    return DevCapTextIs(name, e.name) ? &e : nullptr;
}

// Every row is found, and under its own name only.
constexpr bool IndexFindsEveryRow() {
    for (const tSection& s : kSections) {
        if (s.count > 32) return false;
        for (size_t r = 0; r < s.count; ++r) {
            // NOLINTNEXTLINE(clang-analyzer-core.NonNullParamChecker): rows of the constant table, never null
            if (Lookup(s.entries[r].name) != &s.entries[r]) return false;
        }
    }
    return true;
}
static_assert(IndexFindsEveryRow());

// ---- keyword index ----
// Each keyword list has a perfect hash of its own, built at compile time, so
// a value finds its one candidate keyword in one look, however long the list.
// The key is the text's first and last eight bytes (four, or all of them, when
// it is shorter) and its length, folded as the name hash folds.
constexpr uint64_t WordKey(const char* text, size_t n) {
    const size_t part = n >= 8 ? 8 : 4;
    // Under four bytes: the first, middle and last, which are all of them.
    const auto u = [text](size_t i) { return uint64_t{static_cast<unsigned char>(text[i])}; };
    const uint64_t shortWord = n == 0 ? 0 : u(0) | u(n / 2) << 8 | u(n - 1) << 16;
    const uint64_t head = (n < 4 ? shortWord : Bytes(text, part)) & 0xDFDFDFDFDFDFDFDFull;
    const uint64_t tail = (n < 4 ? shortWord : Bytes(text + n - part, part)) & 0xDFDFDFDFDFDFDFDFull;
    return head ^ (tail << 27 | tail >> 37) ^ n;
}

struct tListSlots {
    uint64_t seed;
    uint16_t first;  // of the list's slots in tKeywordIndex::slot
    uint8_t bits;    // the list has 1 << bits slots, at least four for each keyword
};

constexpr uint8_t SlotBits(size_t count) {
    uint8_t bits = 1;
    while ((size_t{1} << bits) < 4 * count) ++bits;
    return bits;
}

constexpr size_t SlotTotal() {
    size_t n = 0;
    for (const tKeywordList& l : kLists) n += size_t{1} << SlotBits(l.count);
    return n;
}

struct tKeywordIndex {
    tListSlots list[std::size(kLists)];
    uint8_t slot[SlotTotal()];  // a keyword's place in its list, or kEmpty
};

constexpr size_t WordSlot(const tListSlots& l, uint64_t key) {
    return l.first + static_cast<size_t>((key * l.seed) >> (64 - l.bits));
}

// Tries multipliers for each list until every keyword has a slot of its own.
constexpr tKeywordIndex BuildKeywordIndex() {
    tKeywordIndex index{};
    size_t first = 0;
    for (size_t l = 0; l < std::size(kLists); ++l) {
        tListSlots& slots = index.list[l];
        slots = {0, static_cast<uint16_t>(first), SlotBits(kLists[l].count)};
        const size_t size = size_t{1} << slots.bits;
        for (uint64_t k = 0; k < 4096 && slots.seed == 0; ++k) {
            slots.seed = 0x9E3779B97F4A7C15ull * (2 * k + 1);
            for (size_t i = first; i < first + size; ++i) index.slot[i] = kEmpty;
            for (size_t w = 0; w < kLists[l].count && slots.seed != 0; ++w) {
                const std::string_view text = kLists[l].words[w].text;
                uint8_t& slot = index.slot[WordSlot(slots, WordKey(text.data(), text.size()))];
                if (slot != kEmpty) slots.seed = 0;  // a clash: the next multiplier
                slot = static_cast<uint8_t>(w);
            }
        }
        first += size;
    }
    return index;
}
constexpr tKeywordIndex kWords = BuildKeywordIndex();

constexpr const tKeyword* FindKeyword(const tKeywordList& list, std::string_view text) {
    if (list.list >= std::size(kLists)) return nullptr;
    const tListSlots& slots = kWords.list[list.list];
    const uint8_t w = kWords.slot[WordSlot(slots, WordKey(text.data(), text.size()))];
    if (w >= list.count || list.words[w].text.size() != text.size()) return nullptr;
    const tKeyword& k = list.words[w];
    if (__builtin_is_constant_evaluated()) return DevCapTextIs(text, k.text) ? &k : nullptr;
    return DevCapSameText(text.data(), k.text.data(), text.size()) ? &k : nullptr;
}

// Every row's list is indexed, and each of its keywords is found, in any case.
constexpr bool EveryKeywordFound() {
    for (const tSection& s : kSections) {
        for (size_t r = 0; r < s.count; ++r) {
            const tKeywordList& words = s.entries[r].words;
            if (words.count > 0 && words.list == kNoList) return false;
        }
    }
    for (size_t l = 0; l < std::size(kLists); ++l) {
        const tKeywordList list{kLists[l].words, kLists[l].count, static_cast<uint8_t>(l)};
        for (size_t w = 0; w < list.count; ++w) {
            if (FindKeyword(list, list.words[w].text) != &list.words[w]) return false;
        }
    }
    return true;
}
static_assert(EveryKeywordFound());

// The entry that writes the field at each offset, as (section << 5 | row) + 1
// (0: none), built at compile time: renderings ask it for every field.
struct tOffsetIndex {
    uint8_t at[sizeof(tDevConf)];
};

constexpr tOffsetIndex BuildOffsets() {
    tOffsetIndex index{};
    for (size_t s = 0; s < SECTION_COUNT; ++s) {
        for (size_t r = 0; r < kSections[s].count; ++r) {
            index.at[kSections[s].entries[r].offset] = static_cast<uint8_t>((s << 5 | r) + 1);
        }
    }
    return index;
}
constexpr tOffsetIndex kOffsets = BuildOffsets();

// A handler's work, given what the reader found: the name's one candidate
// row, if the name is that row's and the row is this section's, takes the
// value. The section comes last: each handler passes its own arguments on
// untouched.
int32_t SectionTake(const char* name, char* data, tDevConf* dev, const tDevCapSink* out, tTaken* taken,
                    size_t section) {
    const uint8_t slot = taken->slot;
    if (slot == kEmpty || slot >> 5 != section) return DEVCAP_ERROR;
    const tEntry& e = *kCodes.row[slot];
    if (taken->nameLength != e.name.size() || !DevCapSameText(name, e.name.data(), e.name.size())) return DEVCAP_ERROR;
    taken->entry = &e;
    return DevCapEntryTxt2Bin(e, data, taken->dataLength, dev, out, &taken->bad);
}

// A handler called with a C string and no tTaken looks the name up itself.
__attribute__((noinline)) int32_t SectionTakeText(const char* name, char* data, tDevConf* dev, const tDevCapSink* out,
                                                  size_t section) {
    tTaken taken{strlen(name), strlen(data), 0, false, nullptr, nullptr};
    taken.slot = Candidate(name, taken.nameLength);
    return SectionTake(name, data, dev, out, &taken, section);
}

inline int32_t Take(const char* name, char* data, tDevConf* dev, const tDevCapSink* out, tTaken* taken,
                    size_t section) {
    return taken != nullptr ? SectionTake(name, data, dev, out, taken, section)
                            : SectionTakeText(name, data, dev, out, section);
}

}  // namespace

tSectionList DevCapSections() { return {kSections, std::size(kSections)}; }

const tEntry* DevCapFindEntry(std::string_view name) { return Lookup(name); }

const tKeyword* DevCapKeyword(const tKeywordList& list, std::string_view text) { return FindKeyword(list, text); }

const tSection* DevCapOwner(const char* name, size_t len, tTaken* taken) {
    const uint8_t slot = Candidate(name, len);
    taken->nameLength = len;
    taken->slot = slot;
    if (slot == kEmpty) return nullptr;
    taken->cuts = kCodes.cuts[slot];
    return &kSections[slot >> 5];
}

const tEntry* DevCapEntryAt(size_t offset) {
    if (offset >= sizeof kOffsets.at || kOffsets.at[offset] == 0) return nullptr;
    const uint8_t slot = kOffsets.at[offset] - 1;
    return kCodes.row[slot];
}

const tEntry* DevCapEntryNumber(size_t index, const char** section) {
    for (const tSection& s : kSections) {
        if (index < s.count) {
            if (section != nullptr) *section = s.title;
            return &s.entries[index];
        }
        index -= s.count;
    }
    return nullptr;
}

size_t DevCapEntryTotal() {
    size_t n = 0;
    for (const tSection& s : kSections) n += s.count;
    return n;
}

int32_t CorvaneSensorBoardConf(const char* name, char* data, tDevConf* dev, const tDevCapSink* out, tTaken* taken) {
    return Take(name, data, dev, out, taken, SECTION_SB);
}

int32_t CorvaneFwConf(const char* name, char* data, tDevConf* dev, const tDevCapSink* out, tTaken* taken) {
    return Take(name, data, dev, out, taken, SECTION_FW);
}

int32_t CorvaneDNCtrl(const char* name, char* data, tDevConf* dev, const tDevCapSink* out, tTaken* taken) {
    return Take(name, data, dev, out, taken, SECTION_DN);
}

int32_t CorvaneMotion(const char* name, char* data, tDevConf* dev, const tDevCapSink* out, tTaken* taken) {
    return Take(name, data, dev, out, taken, SECTION_MD);
}

int32_t CorvaneCameraSetup(const char* name, char* data, tDevConf* dev, const tDevCapSink* out, tTaken* taken) {
    return Take(name, data, dev, out, taken, SECTION_CAM);
}
