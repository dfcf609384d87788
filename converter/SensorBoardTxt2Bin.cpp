// SensorBoardTxt2Bin.cpp - the sixteen entries of the video chain (sensor,
// decoder, processor, encoder) into SBConf.
#include "DevCapConv.h"

namespace {

// Keyword tables in code order; "NONE" (0) first in each.
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

int32_t Tex2BinSensorID(char* data, tSensorInfo* sensor) {
    return DevCapTxt2BinField(DevCapKeywords(kSensorIDs), data, &sensor->ID,
                              {__func__, "%s:Error. Unknown Sensor ID '%s'\n", nullptr});
}

int32_t Tex2BinDecoderID(char* data, tSensorInfo* decoder) {
    return DevCapTxt2BinField(DevCapKeywords(kDecoderIDs), data, &decoder->ID,
                              {__func__, "%s:Error. Unknown Deocder ID '%s'\n", nullptr});
}

int32_t Tex2BinProcessorID(char* data, tSensorInfo* processor) {
    return DevCapTxt2BinField(DevCapKeywords(kProcessorIDs), data, &processor->ID,
                              {__func__, "%s:Error. Unknown Processor ID '%s'\n", nullptr});
}

int32_t Tex2BinEncoderID(char* data, tSensorInfo* encoder) {
    return DevCapTxt2BinField(DevCapKeywords(kEncoderIDs), data, &encoder->ID,
                              {__func__, "%s:Error. Unknown Encoder ID '%s'\n", nullptr});
}

int32_t Tex2BinCtrlIF(char* data, tSensorInfo* sensor, const char* type) {
    return DevCapTxt2BinField(DevCapKeywords(kCtrlIFs), data, &sensor->CtrlPath,
                              {__func__, "%s:Error. Unknown %s CtrlIF '%s'\n", type});
}

int32_t Tex2BinVideoIF(char* data, unsigned char* VideoIF, const char* type) {
    return DevCapTxt2BinField(DevCapKeywords(kVideoIFs), data, VideoIF,
                              {__func__, "%s:Error. Unknown %s Interface '%s'\n", type});
}

enum tFact { FACT_ID, FACT_CTRL, FACT_VIN, FACT_VOUT };

struct tSBKey {
    tEntryInfo info;
    tSensorInfo tSBConf::*part;
    tFact fact;
    int32_t (*id)(char* data, tSensorInfo* part);  // FACT_ID only
    const char* label;                             // the other facts
};

// One row: entry NAME sets fact FIELD of component PART from list WORDS.
#define SB_KEY(NAME, PART, FIELD, FACT, WORDS, ID, LABEL)                                                             \
    {                                                                                                                 \
        {NAME, ENTRY_KEYWORD, DEVCAP_FIELD(SBConf.PART.FIELD), DevCapKeywords(WORDS), nullptr}, &tSBConf::PART, FACT, \
            ID, LABEL                                                                                                 \
    }

// clang-format off
constexpr tSBKey kSBKeys[] = {
    SB_KEY("SENSOR_ID", sensor, ID, FACT_ID, kSensorIDs, Tex2BinSensorID, nullptr),
    SB_KEY("SENSOR_CTRL", sensor, CtrlPath, FACT_CTRL, kCtrlIFs, nullptr, "Sensor"),
    SB_KEY("SENSOR_VIN", sensor, InputIF, FACT_VIN, kVideoIFs, nullptr, "Sensor Vin"),
    SB_KEY("SENSOR_VOUT", sensor, OutputIF, FACT_VOUT, kVideoIFs, nullptr, "Sensor Vout"),
    SB_KEY("DECODER_ID", decoder, ID, FACT_ID, kDecoderIDs, Tex2BinDecoderID, nullptr),
    SB_KEY("DECODER_CTRL", decoder, CtrlPath, FACT_CTRL, kCtrlIFs, nullptr, "Decoder"),
    SB_KEY("DECODER_VIN", decoder, InputIF, FACT_VIN, kVideoIFs, nullptr, "Decoder Vin"),
    SB_KEY("DECODER_VOUT", decoder, OutputIF, FACT_VOUT, kVideoIFs, nullptr, "Decoder Vout"),
    SB_KEY("PROCESSOR_ID", processor, ID, FACT_ID, kProcessorIDs, Tex2BinProcessorID, nullptr),
    SB_KEY("PROCESSOR_CTRL", processor, CtrlPath, FACT_CTRL, kCtrlIFs, nullptr, "Processor"),
    SB_KEY("PROCESSOR_VIN", processor, InputIF, FACT_VIN, kVideoIFs, nullptr, "Processor Vin"),
    SB_KEY("PROCESSOR_VOUT", processor, OutputIF, FACT_VOUT, kVideoIFs, nullptr, "Processor Vout"),
    SB_KEY("ENCODER_ID", encoder, ID, FACT_ID, kEncoderIDs, Tex2BinEncoderID, nullptr),
    SB_KEY("ENCODER_CTRL", encoder, CtrlPath, FACT_CTRL, kCtrlIFs, nullptr, "Encoder"),
    SB_KEY("ENCODER_VIN", encoder, InputIF, FACT_VIN, kVideoIFs, nullptr, "Encoder Vin"),
    SB_KEY("ENCODER_VOUT", encoder, OutputIF, FACT_VOUT, kVideoIFs, nullptr, "Encoder Vout"),
};
// clang-format on
#undef SB_KEY

constexpr auto kSBInfos = DevCapInfosOf(kSBKeys);

}  // namespace

tEntryCatalog DevCapSensorBoardEntries() { return {"Sensor board", kSBInfos.data(), kSBInfos.size()}; }

int32_t CorvaneSensorBoardConf(const char* name, char* data, tDevConf* dev) {
    const std::string_view entry(name);
    for (const tSBKey& k : kSBKeys) {
        if (!DevCapTextIs(entry, k.info.name)) continue;
        tSensorInfo* part = &(dev->SBConf.*k.part);
        switch (k.fact) {
            case FACT_ID:
                return k.id(data, part);
            case FACT_CTRL:
                return Tex2BinCtrlIF(data, part, k.label);
            case FACT_VIN:
                return Tex2BinVideoIF(data, &part->InputIF, k.label);
            case FACT_VOUT:
                return Tex2BinVideoIF(data, &part->OutputIF, k.label);
        }
    }
    return DEVCAP_ERROR;
}
