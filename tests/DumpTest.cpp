// devcapdump's text: what it flags as not reproducible, and the round trip
// text -> record -> dump -> record on generated capability files.
#include <random>

#include "DevCapDump.h"
#include "TestRecord.h"

namespace {

int32_t ReadText(const std::string& text, tDevConf* dev) {
    DevCapConfInit(dev);
    return DevCapTxtMem2Bin(dev, text.data(), text.size(), "mem.txt", nullptr);
}

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

// Random capability files built from the entries' own keyword lists, in random
// letter case; every file that reads cleanly must come back byte for byte.
TEST(Dump, RoundTripOfGeneratedFiles) {
    std::mt19937 rng(20261206);
    const auto pick = [&](size_t n) { return static_cast<size_t>(rng() % n); };
    const auto mixCase = [&](std::string_view word) {
        std::string out(word);
        for (char& c : out) c = pick(2) ? static_cast<char>(tolower(c)) : static_cast<char>(toupper(c));
        return out;
    };
    int converted = 0;
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        const tSectionList sections = DevCapSections();
        for (size_t s = 0; s < sections.count; ++s) {
            for (size_t i = 0; i < sections.sections[s].count; ++i) {
                const tEntry& e = sections.sections[s].entries[i];
                if (pick(4) == 0) continue;  // leave some entries out
                std::string value;
                if (e.kind == ENTRY_KEYWORD) value = mixCase(e.words.words[pick(e.words.count)].text);
                if (e.kind == ENTRY_NUMBER) value = std::to_string(static_cast<int64_t>(rng()) - 2147483648LL);
                if (e.kind == ENTRY_VERSION) value = pick(2) ? std::to_string(rng()) : "0x" + std::to_string(pick(99));
                if (e.kind == ENTRY_LIST) {
                    for (size_t n = 1 + pick(3); n > 0; --n) {
                        value += (value.empty() ? "" : ",") + mixCase(e.words.words[pick(e.words.count)].text);
                    }
                }
                text += std::string(e.name) + "='" + value + "'\n";
            }
        }
        tDevConf first;
        if (ReadText(text, &first) != 0) continue;
        ++converted;
        int32_t check = 0;
        const std::string dump = Dump(first, &check);
        ASSERT_NE(dump.find("turns it back into the same 120 bytes"), std::string::npos) << text << dump;
        tDevConf second;
        ASSERT_EQ(ReadText(dump, &second), 0) << dump;
        ASSERT_EQ(BytesOf(second), BytesOf(first)) << text << dump;
    }
    EXPECT_GT(converted, 2900);
}
