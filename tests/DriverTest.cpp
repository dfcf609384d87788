// The record's defaults, output naming, the line splitter and the reading loop.
#include <cstdio>

#include "TestRecord.h"

TEST(Record, DefaultsSerialiseByteForByte) {
    tDevConf dev;
    memset(&dev, 0xA5, sizeof dev);
    DevCapConfInit(&dev);
    EXPECT_EQ(BytesOf(dev), kDefaultBytes);
}

TEST(OutputName, BaseNameWithExtensionReplaced) {
    const struct {
        const char* input;
        const char* output;
    } rows[] = {
        {"cap/board.txt", "BinFiles/board.bin"},
        {"a.b.txt", "BinFiles/a.b.bin"},
        {"board", "BinFiles/board.bin"},
        {"board.", "BinFiles/board.bin"},
        {".txt", "BinFiles/.bin"},
        {"dir/", "BinFiles/.bin"},
        {"x.y/board", "BinFiles/board.bin"},  // a dot in a directory is not the extension
        {"/abs/path/cam.conf.TXT", "BinFiles/cam.conf.bin"},
    };
    for (const auto& row : rows) {
        char out[DEVCAP_PATH_SIZE];
        EXPECT_EQ(Printed([&] { EXPECT_EQ(DevCapOutputName(row.input, out), 0) << row.input; }), "");
        EXPECT_STREQ(out, row.output);
    }
}

TEST(OutputName, RefusesNamesThatDoNotFit) {
    // "BinFiles/" + base + "bin" or ".bin" must stay within 255 characters.
    const struct {
        std::string input;
        bool fits;
    } rows[] = {
        {std::string(242, 'a'), true},                                  // 9 + 242 + 4 = 255
        {std::string(243, 'a'), false},                                 // 256
        {std::string(242, 'a') + ".txt", true},                         // 9 + 243 + 3 = 255
        {std::string(243, 'a') + ".", false},                           // 9 + 244 + 3 = 256
        {"dir/" + std::string(242, 'b'), true},                         // directories do not count
        {std::string(300, 'c') + "." + std::string(5000, 'e'), false},  // never built whole
    };
    for (const auto& row : rows) {
        char out[DEVCAP_PATH_SIZE];
        const std::string printed =
            Printed([&] { EXPECT_EQ(DevCapOutputName(row.input.c_str(), out) == 0, row.fits); });
        EXPECT_EQ(printed, row.fits ? ""
                                    : "DevCapOutputName:Error. output file name for " + row.input +
                                          " is longer than 255 characters\n");
    }
}

TEST(Splitter, NameAndValue) {
    const std::string v127(127, 'v');
    const std::string n31(31, 'N');
    const struct {
        std::string line;
        bool entry;
        std::string name, data;
    } rows[] = {
        {"SENSOR_ID='MT9P031'\n", true, "SENSOR_ID", "MT9P031"},
        {"SENSOR_ID=MT9P031\n", true, "SENSOR_ID", "T9P031\n"},  // first character after = is skipped
        {"NAME=''\n", true, "NAME", ""},
        {"NAME=\n", true, "NAME", ""},
        {"NAME=", true, "NAME", ""},
        {"NAME='it's'\n", true, "NAME", "it's"},  // only the last quote ends the value
        {"NAME='x' # note\n", true, "NAME", "x"},
        {"NAME='x'\r\n", true, "NAME", "x"},
        {"NAME='open\n", true, "NAME", "open\n"},   // no closing quote: line end kept
        {" NAME ='a=b'\n", true, " NAME ", "a=b"},  // first = splits, nothing trimmed
        {"='x'\n", true, "", "x"},
        {"no equals sign\n", false, "", ""},
        {n31 + "='x'", true, n31, "x"},
        {n31 + "N='x'", false, "", ""},
        {"N='" + v127, true, "N", v127},
        {"N='" + v127 + "v", false, "", ""},
    };
    for (const auto& row : rows) {
        char name[DEVCAP_NAME_SIZE] = "untouched";
        char data[DEVCAP_DATA_SIZE] = "untouched";
        EXPECT_EQ(GetDevCapConfEntry(row.line.c_str(), name, data), row.entry) << row.line;
        if (!row.entry) continue;
        EXPECT_EQ(name, row.name) << row.line;
        EXPECT_EQ(data, row.data) << row.line;
    }
}

// Feeds text through the reading loop; answers what was printed.
static std::string Convert(const std::string& text, tDevConf* dev, int32_t* ret) {
    DevCapConfInit(dev);
    FILE* fp = fmemopen(const_cast<char*>(text.data()), text.size(), "rb");
    EXPECT_NE(fp, nullptr);
    const std::string printed = Printed([&] { *ret = DevCapTxtStream2Bin(dev, fp, "mem.txt"); });
    fclose(fp);
    return printed;
}

TEST(Reader, Files) {
    const std::string pad(158, ' ');
    const struct {
        const char* what;
        std::string text;
        int32_t ret;
        std::string printed;
        std::vector<tPatch> bytes;
    } rows[] = {
        {"comments, blank lines and lines without = are skipped",
         "# c\n\n\r\nno entry\n#SENSOR_ID='OV9715'\nSENSOR_ID='MT9P031'\n",
         0,
         "",
         {{16, {15}}}},
        {"a leading blank is not a comment",
         " #X='1'\n",
         DEVCAP_ERROR,
         "DevCapTxtFile2Bin:Error. Unknown configuration  #X='1' (' #X='1'\n')\n",
         {}},
        {"EOF in any case ends reading, even before malformed lines",
         "SENSOR_ID='MT9P031'\neof=''\nBOGUS='1'\nSENSOR_ID='bad'\n",
         0,
         "",
         {{16, {15}}}},
        {"a bare EOF line is not the end", "EOF\nSENSOR_ID='OV9715'\n", 0, "", {{16, {16}}}},
        {"every bad entry is reported and reading goes on",
         "A='1'\nSENSOR_ID='MT9P031'\nB='2'",
         DEVCAP_ERROR,
         "DevCapTxtFile2Bin:Error. Unknown configuration A='1' ('A='1'\n')\n"
         "DevCapTxtFile2Bin:Error. Unknown configuration B='2' ('B='2'')\n",
         {{16, {15}}}},
        {"an empty name is unknown",
         "=''\n",
         DEVCAP_ERROR,
         "DevCapTxtFile2Bin:Error. Unknown configuration ='' ('=''\n')\n",
         {}},
        {"the later of two entries wins", "SENSOR_ID='MT9P031'\nSENSOR_ID='OV9715'\n", 0, "", {{16, {16}}}},
        {"a rejected entry leaves the field",
         "SENSOR_ID='MT9P031'\nSENSOR_ID='XYZ'\n",
         DEVCAP_ERROR,
         "Tex2BinSensorID:Error. Unknown Sensor ID 'XYZ'\n"
         "DevCapTxtFile2Bin:Error. Unknown configuration SENSOR_ID='XYZ' ('SENSOR_ID='XYZ'\n')\n",
         {{16, {15}}}},
        {"long line: a continuation piece with = is an entry",
         "#" + pad + "MD_SRC='ENCODER'\n",
         0,
         "",
         {{80, {1, 0, 0, 0}}}},
        {"long line: a continuation piece without = is skipped",
         "#" + pad + "no entry\nMD_SRC='ENCODER'\n",
         0,
         "",
         {{80, {1, 0, 0, 0}}}},
        {"a NUL byte ends the line's text",
         std::string("SENSOR_ID='MT9P031'\0junk\nMD_SRC='ENCODER'\n", 43),
         0,
         "",
         {{16, {15}}, {80, {1, 0, 0, 0}}}},
    };
    for (const auto& row : rows) {
        tDevConf dev;
        int32_t ret = 0;
        EXPECT_EQ(Convert(row.text, &dev, &ret), row.printed) << row.what;
        EXPECT_EQ(ret, row.ret) << row.what;
        EXPECT_EQ(BytesOf(dev), Patched(kDefaultBytes, row.bytes)) << row.what;
    }
}
