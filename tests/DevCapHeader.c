/* Firmware includes DevCap.h from C: it must compile as C on its own. */
#include "DevCap.h"

int DevCapHeaderIsC(const tDevConf* dev) { return dev->FwDevCap.IO.MiscIO == DEVCAP_MISCIO_DCIRIS; }
