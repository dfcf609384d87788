// libdevcap through its C interface only: conversions equal the converter's,
// on many threads at once; fields by path; renderings into small buffers.
#include <thread>

#include "TestRecord.h"
#include "libdevcap.h"

namespace {

std::string ReadFile(const std::string& path) {
    std::string text;
    FILE* fp = fopen(path.c_str(), "rb");
    for (int c; fp != nullptr && (c = fgetc(fp)) != EOF;) text.push_back(static_cast<char>(c));
    if (fp != nullptr) fclose(fp);
    return text;
}

void Append(void* ctx, const char* text, size_t len) { static_cast<std::string*>(ctx)->append(text, len); }

struct tConverted {
    int result;
    tBytes bytes;
    std::string said;
    bool operator==(const tConverted& o) const { return result == o.result && bytes == o.bytes && said == o.said; }
};

tConverted Convert(const std::string& text) {
    tConverted c{};
    tDevConf dev;
    c.result = DevCapConvertText(text.data(), text.size(), "t.txt", &dev, Append, &c.said);
    c.bytes = BytesOf(dev);
    return c;
}

const char* const kExamples[] = {"ipcam", "ptz-dome", "video-server"};

}  // namespace

TEST(Library, ConvertsAsTheConverter) {
    for (const char* name : kExamples) {
        const std::string path = std::string(DEVCAP_EXAMPLES "/") + name + ".txt";
        const tConverted text = Convert(ReadFile(path));
        EXPECT_EQ(text.result, DEVCAP_OK) << name << text.said;
        tDevConf dev;
        std::string said;
        EXPECT_EQ(DevCapConvertFile(path.c_str(), &dev, Append, &said), DEVCAP_OK);
        EXPECT_EQ(BytesOf(dev), text.bytes) << name;
    }
    const tConverted bad = Convert("SENSOR_ID='XYZ'\nFWCAP_DIS='1'\n");
    EXPECT_EQ(bad.result, DEVCAP_REFUSED);
    EXPECT_EQ(bad.said,
              "Tex2BinSensorID:Error. Unknown Sensor ID 'XYZ'\n"
              "DevCapTxtFile2Bin:Error. Unknown configuration SENSOR_ID='XYZ' ('SENSOR_ID='XYZ'\n')\n");
    EXPECT_EQ(Convert("EOF=''\n").said, "DevCapDBCheckSensorBoard:Error. no video frond-end\n");
    tDevConf dev;
    std::string said;
    EXPECT_EQ(DevCapConvertFile("/nonexistent.txt", &dev, Append, &said), DEVCAP_IO_ERROR);
    EXPECT_EQ(said, "DevCapTxtFile2Bin:Error. open /nonexistent.txt file\n");
    EXPECT_EQ(DevCapConvertText(nullptr, 1, "x", &dev, nullptr, nullptr), DEVCAP_BAD_ARGUMENT);
}

// Different texts on several threads at once give the single-threaded results
// (run under ThreadSanitizer by the tsan preset).
TEST(Library, Threads) {
    std::vector<std::string> texts;
    for (const char* name : kExamples) texts.push_back(ReadFile(std::string(DEVCAP_EXAMPLES "/") + name + ".txt"));
    texts.push_back("SENSOR_ID='XYZ'\nDN_SRC='DSP,X'\n");
    texts.push_back(texts[0] + "FWCAP_DIS='3'\n");
    std::vector<tConverted> alone;
    for (const std::string& t : texts) alone.push_back(Convert(t));
    std::vector<int> mismatches(4, 0);
    std::vector<std::thread> threads;
    for (size_t t = 0; t < mismatches.size(); ++t) {
        threads.emplace_back([&, t] {
            for (size_t i = 0; i < 200; ++i) {
                const size_t which = (i + t) % texts.size();
                if (!(Convert(texts[which]) == alone[which])) ++mismatches[t];
                char buf[64];
                tDevConf dev;
                DevCapRecordInit(&dev);
                if (DevCapRenderJson(&dev, "x", buf, sizeof buf) < sizeof buf) ++mismatches[t];
            }
        });
    }
    for (std::thread& th : threads) th.join();
    EXPECT_EQ(mismatches, std::vector<int>(4, 0));
}

// Fields by path and the entry tables are the Python module's tests too; here
// what only C sees: sizes, null arguments, cut renderings.
TEST(Library, CInterface) {
    tDevConf dev;
    DevCapRecordInit(&dev);
    const struct {
        const char* path;
        uint32_t value;
        int result;
    } rows[] = {
        {"FwDevCap.IO.DIs", 255, DEVCAP_OK},
        {"FwDevCap.IO.DIs", 256, DEVCAP_TOO_WIDE},
        {"FwDevCap.head.ver", 0x10000, DEVCAP_TOO_WIDE},
        {"CamCap.DCIrisLevel", 0xffffffff, DEVCAP_OK},
        {"head.key", 0, DEVCAP_TOO_WIDE},
        {"fwdevcap.io.dis", 0, DEVCAP_NOT_FOUND},
    };
    for (const auto& row : rows) {
        tDevConf d = dev;
        uint32_t value = 0;
        EXPECT_EQ(DevCapSetField(&d, row.path, row.value), row.result) << row.path << "=" << row.value;
        if (row.result == DEVCAP_OK) {
            EXPECT_EQ(DevCapGetField(&d, row.path, &value), DEVCAP_OK);
            EXPECT_EQ(value, row.value) << row.path;
        } else {
            EXPECT_EQ(BytesOf(d), BytesOf(dev)) << row.path;
        }
    }
    EXPECT_EQ(DevCapGetField(&dev, "FwDevCap.IO.DIs", nullptr), DEVCAP_BAD_ARGUMENT);
    const tConverted cam = Convert(ReadFile(DEVCAP_EXAMPLES "/ipcam.txt"));
    const tDevConf camDev = RecordOf(cam.bytes);
    const size_t need = DevCapRenderText(&camDev, "ipcam.bin", nullptr, 0);
    std::string text(need + 1, '\0');
    EXPECT_EQ(DevCapRenderText(&camDev, "ipcam.bin", text.data(), text.size()), need);
    text.resize(need);
    EXPECT_EQ(Convert(text).bytes, cam.bytes);  // the text makes the same record
    char small[8];
    EXPECT_EQ(DevCapRenderLayout(&camDev, small, sizeof small), DevCapRenderLayout(&camDev, nullptr, 0));
    EXPECT_STREQ(small, "offset ");  // cut, and terminated
    char path[32];
    EXPECT_EQ(DevCapOutputPath("cap/board.txt", path, sizeof path, nullptr, nullptr), DEVCAP_OK);
    EXPECT_STREQ(path, "BinFiles/board.bin");
    EXPECT_EQ(DevCapOutputPath("cap/a-long-base-name.txt", path, 20, nullptr, nullptr), DEVCAP_TOO_WIDE);
    EXPECT_STREQ(DevCapLibVersion(), DEVCAP_VERSION);
}
