/*
 * DevCap.h - the device capability record (tDevConf) and its codes.
 *
 * The record is exactly 120 bytes and is written to the .bin file as it lies
 * in memory, so its layout is the file format. Every field falls on its
 * natural alignment; no packing is needed. This header is shared with the
 * firmware and must stay valid C as well as C++.
 */
#ifndef DEVCAP_H
#define DEVCAP_H

#include <stddef.h>
#include <stdint.h>

#if !defined(__BYTE_ORDER__) || __BYTE_ORDER__ != __ORDER_LITTLE_ENDIAN__
#error "tDevConf is stored as it lies in memory: a little-endian host is required"
#endif

#ifdef __cplusplus
#define DEVCAP_STATIC_ASSERT(cond, msg) static_assert(cond, msg)
extern "C" {
#else
#define DEVCAP_STATIC_ASSERT(cond, msg) _Static_assert(cond, msg)
#endif

/* The one failure result: 0x80000000 as a 32-bit signed value. */
#define DEVCAP_ERROR ((int32_t)(-2147483647 - 1))

typedef struct {
    uint16_t ver;
    uint16_t len; /* bytes of the section after this header */
} tHeadInfo;

typedef struct {
    uint8_t ID;       /* 0 = not fitted */
    uint8_t CtrlPath; /* control interface code */
    uint8_t InputIF;  /* video interface code */
    uint8_t OutputIF; /* video interface code */
} tSensorInfo;

typedef struct {
    tHeadInfo head;
    tSensorInfo sensor;
    tSensorInfo decoder;
    tSensorInfo processor;
    tSensorInfo encoder;
} tSBConf;

typedef struct {
    uint8_t DIs;
    uint8_t DOs;
    uint8_t SerialPorts;
    uint8_t MiscIO; /* DEVCAP_MISCIO_* bits */
} tExtIO;

typedef struct {
    uint8_t interface;
    uint8_t type;
    uint8_t rsvd[2];
} tStorage;

typedef struct {
    uint8_t PTEnable;
    uint8_t PtzImageMajor;
    uint8_t PtzImageMinor;
    uint8_t ZoomCap; /* DEVCAP_ZOOM_* bits */
    uint8_t ZoomLens;
    uint8_t rsvd[3];
} tPtzCap;

typedef struct {
    tHeadInfo head;
    uint8_t type;     /* unit type; 0 is VIDEO_SERVER */
    uint8_t platform; /* upper-case platform letter, 0 when not given */
    uint8_t AudioType;
    uint8_t AudioCap; /* DEVCAP_AUDIO_* bits */
    tExtIO IO;
    tStorage storage;
    tPtzCap PtzCap;
} tFwDevCap;

typedef struct {
    tHeadInfo head;
    uint32_t DNSrc; /* DEVCAP_DNSRC_* bits */
    uint32_t DNSrcDefault;
    uint32_t DNCtrlElement; /* DEVCAP_DNCTRL_* bits */
    uint8_t CdsDay2NightThd;
    uint8_t CdsNight2DayThd;
    uint8_t Rsvd[2];
} tDNCtrlCap;

typedef struct {
    tHeadInfo head;
    uint32_t MdSrc; /* DEVCAP_MDSRC_* bits */
} tMdCap;

typedef struct {
    tHeadInfo head;
    uint32_t DCIrisLevel;
    uint32_t F_Num; /* index into the F-number list, 0 = none */
    uint32_t Rsvd[6];
} tCamCap;

typedef struct {
    char key[8]; /* "SCONFIG" and a zero byte */
    uint16_t ConfCap;
    uint16_t rsvd;
} tDevConfHead;

typedef struct {
    tDevConfHead head;
    tSBConf SBConf;
    tFwDevCap FwDevCap;
    tDNCtrlCap DNCtrlCap;
    tMdCap MdCap;
    tCamCap CamCap;
} tDevConf;

/* Defaults written by DevCapConfInit. */
#define DEVCAP_KEY "SCONFIG"
#define DEVCAP_CONF_CAP 0x001F
#define DEVCAP_SECTION_VER 1

/* Bit sets */
#define DEVCAP_AUDIO_PCM 0x01
#define DEVCAP_AUDIO_G711A 0x02
#define DEVCAP_AUDIO_G711U 0x04
#define DEVCAP_MISCIO_DCIRIS 0x01
#define DEVCAP_MISCIO_8051THX 0x02
#define DEVCAP_MISCIO_PIRIS 0x04
#define DEVCAP_MISCIO_PIRIS_OPT 0x08
#define DEVCAP_ZOOM_OPTICAL 0x01
#define DEVCAP_ZOOM_DIGITAL 0x02
#define DEVCAP_DNSRC_DSP 0x01
#define DEVCAP_DNSRC_CDS 0x02
#define DEVCAP_DNCTRL_IRLED 0x01
#define DEVCAP_DNCTRL_CUT_FILTER 0x02
#define DEVCAP_MDSRC_ENCODER 0x01
#define DEVCAP_MDSRC_MD_SENSOR 0x02

/* Code enumerations. 0 means "none / not fitted" except in the unit types. */
/* clang-format off */
enum { MT9M131 = 1, MT53S88, NI9065, SS_HQ1, IT1, ADL_PE1005, MT54G15, IT2, SS4, INVALID_TW2835, MT9V136, ITS,
    MTV54G22, FCBEX1010, MT9P031, OV9715, OV5653, MT9P004, MT9P006, MT9P111, MT9F002, IMX122, AR0331 };
enum { I2C = 1, UART_2400, UART_4800, UART_9600, UART_19200, UART_38400, UART_57600, UART_115200 };
enum { CCIR656_8 = 1, CCIR656_16, CVBS, YC, YUV_16, RGB888_24, RGB565_16, RGB565_8, YUV_8, RGB444 };
enum { ADV7180 = 1, VX1129, TW2835 };
enum { DT_018054 = 1, COBRA };
enum { ADV7179 = 1, CH_7026 };
enum { VIDEO_SERVER = 0, QUAD, RACKMOUNT, IP_CAM, IP_DOME, IP_SPEED_DOME, VIDEO_DECODER, IP_CUBE_CAMERA,
    IP_PTZ_CAMERA, IP_DEVICE, MEGA_IP_CAMERA, MEGA_IP_DOME, MEGA_IP_CUBE_CAMERA, MEGA_IP_PTZ_CAMERA,
    HEMISHPERIC_CAM, EPTZ_CAM };
enum { ZOOM_LENS_X10 = 1, ZOOM_LENS_X22, ZOOM_LENS_X2_7, ZOOM_LENS_X35, ZOOM_LENS_X36, ZOOM_LENS_X18, ZOOM_LENS_X4,
    ZOOM_LENS_X3_6, ZOOM_LENS_X12, ZOOM_LENS_X26, ZOOM_LENS_UNKNOWN };
enum { STORAGE_IF_USB_SATA = 1, STORAGE_IF_UNKNOWN };
enum { STORAGE_TYPE_HD = 1, STORAGE_TYPE_SD, STORAGE_TYPE_UNKNOWN };
enum { DN_SRC_DEF_DSP = 1, DN_SRC_DEF_CDS, DN_SRC_DEF_UNKNOWN };
/* clang-format on */

/* The record is the file format: pin its size and every offset. */
#define DEVCAP_AT(field, off) DEVCAP_STATIC_ASSERT(offsetof(tDevConf, field) == (off), #field)
DEVCAP_STATIC_ASSERT(sizeof(tDevConf) == 120, "tDevConf must be 120 bytes");
DEVCAP_STATIC_ASSERT(sizeof(tSBConf) == 20 && sizeof(tFwDevCap) == 24 && sizeof(tDNCtrlCap) == 20 &&
                         sizeof(tMdCap) == 8 && sizeof(tCamCap) == 36,
                     "section sizes");
DEVCAP_AT(head.key, 0);
DEVCAP_AT(head.ConfCap, 8);
DEVCAP_AT(head.rsvd, 10);
DEVCAP_AT(SBConf.head.ver, 12);
DEVCAP_AT(SBConf.head.len, 14);
DEVCAP_AT(SBConf.sensor.ID, 16);
DEVCAP_AT(SBConf.sensor.CtrlPath, 17);
DEVCAP_AT(SBConf.sensor.InputIF, 18);
DEVCAP_AT(SBConf.sensor.OutputIF, 19);
DEVCAP_AT(SBConf.decoder, 20);
DEVCAP_AT(SBConf.processor, 24);
DEVCAP_AT(SBConf.encoder, 28);
DEVCAP_AT(FwDevCap.head.ver, 32);
DEVCAP_AT(FwDevCap.head.len, 34);
DEVCAP_AT(FwDevCap.type, 36);
DEVCAP_AT(FwDevCap.platform, 37);
DEVCAP_AT(FwDevCap.AudioType, 38);
DEVCAP_AT(FwDevCap.AudioCap, 39);
DEVCAP_AT(FwDevCap.IO.DIs, 40);
DEVCAP_AT(FwDevCap.IO.DOs, 41);
DEVCAP_AT(FwDevCap.IO.SerialPorts, 42);
DEVCAP_AT(FwDevCap.IO.MiscIO, 43);
DEVCAP_AT(FwDevCap.storage.interface, 44);
DEVCAP_AT(FwDevCap.storage.type, 45);
DEVCAP_AT(FwDevCap.storage.rsvd, 46);
DEVCAP_AT(FwDevCap.PtzCap.PTEnable, 48);
DEVCAP_AT(FwDevCap.PtzCap.PtzImageMajor, 49);
DEVCAP_AT(FwDevCap.PtzCap.PtzImageMinor, 50);
DEVCAP_AT(FwDevCap.PtzCap.ZoomCap, 51);
DEVCAP_AT(FwDevCap.PtzCap.ZoomLens, 52);
DEVCAP_AT(FwDevCap.PtzCap.rsvd, 53);
DEVCAP_AT(DNCtrlCap.head.ver, 56);
DEVCAP_AT(DNCtrlCap.head.len, 58);
DEVCAP_AT(DNCtrlCap.DNSrc, 60);
DEVCAP_AT(DNCtrlCap.DNSrcDefault, 64);
DEVCAP_AT(DNCtrlCap.DNCtrlElement, 68);
DEVCAP_AT(DNCtrlCap.CdsDay2NightThd, 72);
DEVCAP_AT(DNCtrlCap.CdsNight2DayThd, 73);
DEVCAP_AT(DNCtrlCap.Rsvd, 74);
DEVCAP_AT(MdCap.head.ver, 76);
DEVCAP_AT(MdCap.head.len, 78);
DEVCAP_AT(MdCap.MdSrc, 80);
DEVCAP_AT(CamCap.head.ver, 84);
DEVCAP_AT(CamCap.head.len, 86);
DEVCAP_AT(CamCap.DCIrisLevel, 88);
DEVCAP_AT(CamCap.F_Num, 92);
DEVCAP_AT(CamCap.Rsvd, 96);
#undef DEVCAP_AT

#ifdef __cplusplus
}
#endif

#endif /* DEVCAP_H */
