/* Firmware and tools include DevCap.h and libdevcap.h from C: both must
 * compile as C on their own. */
#include "DevCap.h"
#include "libdevcap.h"

int DevCapHeaderIsC(const tDevConf* dev) { return dev->FwDevCap.IO.MiscIO == DEVCAP_MISCIO_DCIRIS; }
