// The fuzz targets' properties over generated input, in seconds: the shipped
// texts with lines dropped, doubled, or replaced by entries made from the
// tables (another letter case, a near-miss name, keywords, numbers at their
// limits) and by hostile lines; the records read from them, with bytes changed
// at random, in pairs.
#include <random>

#include "TestRecord.h"

extern "C" int fuzz_convert(const uint8_t* bytes, size_t size);
extern "C" int fuzz_lint(const uint8_t* bytes, size_t size);
extern "C" int fuzz_dump(const uint8_t* bytes, size_t size);

namespace {

std::mt19937 gRandom(20261206);
size_t Pick(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(gRandom); }

std::string EntryLine() {
    const size_t i = Pick(DevCapEntryCount());
    tDevCapEntryInfo e;
    DevCapEntryInfo(i, &e);
    std::string name = e.name, value;
    static const char* const kNumbers[] = {"0", "1", "2", "3", "-1", "100", "101", "255", "256", "0x10000", "08",
                                           "two", " 1", "2147483648", "4294967296", ""};
    const char* word = nullptr;
    uint32_t code = 0;
    for (size_t n = e.keywords > 0 ? 1 + Pick(3) : 0; n > 0; --n) {
        DevCapEntryKeyword(i, Pick(e.keywords), &word, &code);
        value += (value.empty() ? "" : Pick(4) == 0 ? ", " : ",") + std::string(word);
    }
    if (e.keywords == 0 || Pick(8) == 0) value = kNumbers[Pick(sizeof kNumbers / sizeof *kNumbers)];
    if (Pick(5) == 0 && !value.empty()) value[Pick(value.size())] ^= 0x20;  // a keyword's letter case, or a typo
    if (Pick(5) == 0) name[Pick(name.size())] ^= Pick(2) == 0 ? 0x20 : 0x01;
    if (Pick(6) == 0) name.erase(Pick(name.size()), 1);
    return name + (Pick(12) == 0 ? "=" : "='") + value + (Pick(12) == 0 ? "" : "'") + (Pick(12) == 0 ? " #" : "");
}

std::string HostileLine() {
    static const std::string kLines[] = {
        "EOF=''", "=''", "# devcaplint: disable=quote,duplcate", "#devcaplint disable=bom", "SENSOR_ID 'MT9P031'",
        "\xEF\xBB\xBFSENSOR_ID='OV9715'", std::string("N\0='1'", 6), "PT_ENABLED='1'\x01", "\r",
        std::string(170, 'X') + "MD_SRC='ENCODER'", std::string(31, 'N') + "='1'", std::string(32, 'N') + "='1'",
        "N='" + std::string(127, 'v') + "'", "N='" + std::string(128, 'v') + "'", "# caf\xC3\xA9 \xF0\x9F\x98\x80",
        std::string(159, '#'), std::string(160, '#')};
    return kLines[Pick(sizeof kLines / sizeof *kLines)];
}

std::vector<std::string> Texts() {
    std::vector<std::vector<std::string>> bases;
    for (const char* name : {"ipcam.txt", "ptz-dome.txt", "video-server.txt"}) {
        const std::string text = Example(name);
        bases.emplace_back();
        for (size_t at = 0, end; at < text.size(); at = end + 1) {
            end = text.find('\n', at);
            bases.back().push_back(text.substr(at, end - at));
        }
    }
    std::vector<std::string> texts;
    for (size_t n = 0; n < 600; ++n) {
        std::vector<std::string> lines = bases[n % bases.size()];
        for (size_t k = Pick(7); k > 0; --k) {
            const size_t at = Pick(lines.size() + 1);
            switch (Pick(5)) {
            case 0: lines.erase(lines.begin() + std::min(at, lines.size() - 1)); break;
            case 1: lines.insert(lines.begin() + at, HostileLine()); break;
            default: lines.insert(lines.begin() + at, EntryLine());
            }
        }
        std::string text;
        const char* end = Pick(4) == 0 ? "\r\n" : "\n";
        for (const std::string& line : lines) text += line + end;
        if (Pick(5) == 0) text.pop_back();
        texts.push_back(text);
    }
    return texts;
}

}  // namespace

// The fields tile the record's 120 bytes, and one past the last index of each
// list is "not found".
TEST(Invariant, Tables) {
    tDevCapFieldInfo f;
    size_t end = 0, i = 0;
    for (; DevCapFieldInfo(i, &f) == DEVCAP_OK; ++i, end += f.width) EXPECT_EQ(f.offset, end) << f.path;
    EXPECT_EQ(end, sizeof(tDevConf));
    EXPECT_EQ(i, DevCapFieldCount());
    tDevCapEntryInfo e;
    const char* word;
    uint32_t code;
    for (i = 0; DevCapEntryInfo(i, &e) == DEVCAP_OK; ++i) {
        EXPECT_EQ(DevCapEntryKeyword(i, e.keywords, &word, &code), DEVCAP_NOT_FOUND) << e.name;
        EXPECT_EQ(e.keywords == 0, DevCapEntryKeyword(i, 0, &word, &code) == DEVCAP_NOT_FOUND) << e.name;
    }
    EXPECT_EQ(i, DevCapEntryCount());
    EXPECT_EQ(DevCapEntryKeyword(i, 0, &word, &code), DEVCAP_NOT_FOUND);
    tDevCapLintRule r;
    for (i = 0; DevCapLintRuleInfo(i, &r) == DEVCAP_OK;) ++i;
    EXPECT_EQ(i, DevCapLintRuleCount());
}

// A broken property aborts with its name.
TEST(Invariant, GeneratedInput) {
    std::vector<tDevConf> records;
    for (const std::string& text : Texts()) {
        const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
        fuzz_convert(bytes, text.size());
        fuzz_lint(bytes, text.size());
        tDevConf dev;
        DevCapRecordInit(&dev);
        if (DevCapTxtMem2Bin(&dev, text.data(), text.size(), "t", nullptr) == 0) records.push_back(dev);
    }
    ASSERT_GT(records.size(), 100u);
    for (size_t i = 0; i < records.size(); ++i) {
        tDevConf pair[2] = {records[i], records[(i * 7 + 1) % records.size()]};
        for (size_t k = Pick(4); k > 0; --k) reinterpret_cast<uint8_t*>(pair)[Pick(sizeof pair)] = Pick(256);
        fuzz_dump(reinterpret_cast<const uint8_t*>(pair), sizeof pair);
    }
}
