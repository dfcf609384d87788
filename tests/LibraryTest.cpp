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

TEST(Library, FieldsByPath) {
    tDevConf dev;
    DevCapRecordInit(&dev);
    uint32_t value = 0;
    EXPECT_EQ(DevCapGetField(&dev, "FwDevCap.head.len", &value), DEVCAP_OK);
    EXPECT_EQ(value, 20u);
    const struct {
        const char* path;
        uint32_t value;
        int result;
    } rows[] = {
        {"FwDevCap.IO.DIs", 3, DEVCAP_OK},
        {"FwDevCap.IO.DIs", 255, DEVCAP_OK},
        {"FwDevCap.IO.DIs", 256, DEVCAP_TOO_WIDE},
        {"FwDevCap.head.ver", 0x10000, DEVCAP_TOO_WIDE},
        {"CamCap.DCIrisLevel", 0xffffffff, DEVCAP_OK},
        {"head.key", 0, DEVCAP_TOO_WIDE},
        {"FwDevCap.IO", 0, DEVCAP_NOT_FOUND},
        {"fwdevcap.io.dis", 0, DEVCAP_NOT_FOUND},
    };
    for (const auto& row : rows) {
        tDevConf d = dev;
        EXPECT_EQ(DevCapSetField(&d, row.path, row.value), row.result) << row.path << "=" << row.value;
        if (row.result == DEVCAP_OK) {
            EXPECT_EQ(DevCapGetField(&d, row.path, &value), DEVCAP_OK);
            EXPECT_EQ(value, row.value) << row.path;
        } else {
            EXPECT_EQ(BytesOf(d), BytesOf(dev)) << row.path;
        }
    }
    ASSERT_EQ(DevCapSetField(&dev, "FwDevCap.IO.DIs", 3), DEVCAP_OK);
    std::string said;
    EXPECT_EQ(DevCapCheckRecord(&dev, Append, &said), DEVCAP_REFUSED);
    EXPECT_EQ(said, "DevCapDBCheckSensorBoard:Error. no video frond-end\n");
    EXPECT_EQ(BytesOf(dev)[40], 3);
}

TEST(Library, RenderingsAndTables) {
    const tConverted cam = Convert(ReadFile(DEVCAP_EXAMPLES "/ipcam.txt"));
    const tDevConf dev = RecordOf(cam.bytes);
    const size_t need = DevCapRenderText(&dev, "ipcam.bin", nullptr, 0);
    std::string text(need + 1, '\0');
    EXPECT_EQ(DevCapRenderText(&dev, "ipcam.bin", text.data(), text.size()), need);
    text.resize(need);
    EXPECT_EQ(Convert(text).bytes, cam.bytes);  // the text makes the same record
    char small[8];
    EXPECT_EQ(DevCapRenderLayout(&dev, small, sizeof small), DevCapRenderLayout(&dev, nullptr, 0));
    EXPECT_STREQ(small, "offset ");  // cut, and terminated
    char path[32];
    EXPECT_EQ(DevCapOutputPath("cap/board.txt", path, sizeof path, nullptr, nullptr), DEVCAP_OK);
    EXPECT_STREQ(path, "BinFiles/board.bin");
    EXPECT_EQ(DevCapOutputPath("cap/a-long-base-name.txt", path, 20, nullptr, nullptr), DEVCAP_TOO_WIDE);

    ASSERT_EQ(DevCapEntryCount(), 38u);
    tDevCapEntryInfo info;
    ASSERT_EQ(DevCapEntryInfo(17, &info), DEVCAP_OK);
    EXPECT_STREQ(info.name, "FWCAP_UNIT_TYPE");
    EXPECT_STREQ(info.field, "FwDevCap.type");
    EXPECT_EQ(info.keywords, 16u);
    const char* keyword = nullptr;
    uint32_t code = 0;
    EXPECT_EQ(DevCapEntryKeyword(17, 3, &keyword, &code), DEVCAP_OK);
    EXPECT_STREQ(keyword, "IP Camera");
    EXPECT_EQ(code, 3u);
    EXPECT_EQ(DevCapEntryKeyword(17, 16, &keyword, &code), DEVCAP_NOT_FOUND);
    EXPECT_EQ(DevCapEntryInfo(38, &info), DEVCAP_NOT_FOUND);
    tDevCapFieldInfo field;
    ASSERT_EQ(DevCapFieldInfo(DevCapFieldCount() - 1, &field), DEVCAP_OK);
    EXPECT_EQ(field.offset + field.width, 120u);
    EXPECT_STREQ(DevCapLibVersion(), DEVCAP_VERSION);

    std::string findings;
    const char bad[] = "FWCAP_DIS='two'\n";
    EXPECT_EQ(DevCapLintText(
                  bad, sizeof bad - 1,
                  [](void* ctx, const tDevCapFinding* f) {
                      *static_cast<std::string*>(ctx) += std::string(f->severity) + " " + f->rule + ";";
                  },
                  &findings),
              3);
    EXPECT_EQ(findings, "warning not-a-number;error check;error check;");
}
