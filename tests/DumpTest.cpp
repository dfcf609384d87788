// devcapdump's text: what it flags as not reproducible. (The round trip of
// any record is fuzz_dump's; of the examples, the end-to-end script's.)
#include "DevCapDump.h"
#include "TestRecord.h"

namespace {

std::string Dump(const tDevConf& dev, int32_t* check) {
    return Said([&](const tDevCapSink* out) { *check = DevCapDumpText(dev, "mem.bin", out); });
}

}  // namespace

TEST(Dump, FlagsWhatTextCannotGive) {
    const tDevConf dev = RecordOf(
        Patched(kDefaultBytes, {AT(head.ConfCap, 0x1e), AT(FwDevCap.PtzCap.rsvd[1], 9), AT(FwDevCap.type, 200)}));
    int32_t check = 0;
    const std::string text = Dump(dev, &check);
    EXPECT_NE(text.find("# devcap2bin will NOT turn this text back into the same record: no entry gives\n"
                        "#   head.ConfCap (offset 8, 2 bytes) = 0x001E\n"
                        "#   FwDevCap.type (offset 36, 1 byte) = 0xC8\n"
                        "#   FwDevCap.PtzCap.rsvd (offset 53, 3 bytes) = 000900\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("# FWCAP_UNIT_TYPE: no keyword for FwDevCap.type = 200\n"), std::string::npos) << text;
    EXPECT_NE(text.find("# Consistency check: fails\n"
                        "#   DevCapDBCheckHeader:Warning! Capability '0x1E'('0x1F')\n"
                        "#   DevCapDBCheckSensorBoard:Error. no video frond-end\n"
                        "EOF=''\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(check, DEVCAP_ERROR);
}
