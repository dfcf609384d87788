// The record's defaults, output naming, the line splitter and the reading loop.
#include "TestRecord.h"

TEST(Record, DefaultsSerialiseByteForByte) {
    tDevConf dev;
    memset(&dev, 0xA5, sizeof dev);
    DevCapConfInit(&dev);
    EXPECT_EQ(BytesOf(dev), kDefaultBytes);
}

TEST(OutputName, BaseNameExtensionAndLimit) {
    const std::string a242(242, 'a');
    const struct {
        std::string input, output;  // output "": refused
    } rows[] = {
        {"cap/board.txt", "BinFiles/board.bin"},
        {"a.b.txt", "BinFiles/a.b.bin"},
        {"board", "BinFiles/board.bin"},
        {"board.", "BinFiles/board.bin"},
        {".txt", "BinFiles/.bin"},
        {"dir/", "BinFiles/.bin"},
        {"x.y/board", "BinFiles/board.bin"},           // a dot in a directory is no extension
        {"d/" + a242, "BinFiles/" + a242 + ".bin"},    // 255 characters
        {a242 + ".txt", "BinFiles/" + a242 + ".bin"},  // 255
        {a242 + "a", ""},                              // 256
        {a242 + "a.", ""},                             // 256
        {std::string(300, 'c') + "." + std::string(5000, 'e'), ""},
    };
    for (const auto& row : rows) {
        char out[DEVCAP_PATH_SIZE];
        int32_t ret = 0;
        const std::string printed =
            Said([&](const tDevCapSink* sink) { ret = DevCapOutputName(row.input.c_str(), out, sink); });
        const bool fits = !row.output.empty();
        EXPECT_EQ(ret, fits ? 0 : DEVCAP_ERROR) << row.input;
        EXPECT_EQ(printed, fits ? ""
                                : "DevCapOutputName:Error. output file name for " + row.input +
                                      " is longer than 255 characters\n");
        EXPECT_EQ(fits ? out : "", row.output);
    }
}

TEST(Splitter, NameAndValue) {
    const std::string v127(127, 'v'), n31(31, 'N');
    const struct {
        std::string line;
        bool entry;
        std::string name, data;
    } rows[] = {
        {"SENSOR_ID=MT9P031\n", true, "SENSOR_ID", "T9P031\n"},  // first character after = skipped
        {"NAME=\n", true, "NAME", ""},
        {"NAME=", true, "NAME", ""},
        {"NAME='it's'\n", true, "NAME", "it's"},  // only the last quote ends the value
        {"NAME='x' # note\r\n", true, "NAME", "x"},
        {" NAME ='a=b'\n", true, " NAME ", "a=b"},  // first = splits, nothing trimmed
        {"no equals sign\n", false, "", ""},
        {n31 + "='x'", true, n31, "x"},
        {n31 + "N='x'", false, "", ""},
        {"N='" + v127, true, "N", v127},
        {"N='" + v127.substr(1) + "'\n", false, "", ""},  // the limit counts the quote and line end
    };
    for (const auto& row : rows) {
        char name[DEVCAP_NAME_SIZE] = "untouched", data[DEVCAP_DATA_SIZE] = "untouched";
        EXPECT_EQ(GetDevCapConfEntry(row.line.c_str(), name, data), row.entry) << row.line;
        if (!row.entry) continue;
        EXPECT_EQ(name, row.name) << row.line;
        EXPECT_EQ(data, row.data) << row.line;
    }
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
        // clang-format off
        {"a leading blank is not a comment", " #X='1'\n", DEVCAP_ERROR, "DevCapTxtFile2Bin:Error. Unknown configuration  #X='1' (' #X='1'\n')\n", {}},
        {"a comment holding = is skipped", "#SENSOR_ID='bad'\n#=\n", 0, "", {}},
        {"EOF in any case ends reading", "eof=''\nBOGUS='1'\nSENSOR_ID='bad'\n", 0, "", {}},
        {"a bare EOF line is not the end", "EOF\nSENSOR_ID='OV9715'\n", 0, "", {AT(SBConf.sensor.ID, 0x10)}},
        {"every bad entry is reported, the cut value shown",
         "A='1'\nSENSOR_ID='MT9P031'\nFWCAP_MISC_IO='DCIRIS,X'",
         DEVCAP_ERROR,
         "DevCapTxtFile2Bin:Error. Unknown configuration A='1' ('A='1'\n')\n"
         "Txt2BinMiscIO:Error. Unknown Miac. IO 'X'\n"
         "DevCapTxtFile2Bin:Error. Unknown configuration FWCAP_MISC_IO='DCIRIS' ('FWCAP_MISC_IO='DCIRIS,X'')\n",
         {AT(SBConf.sensor.ID, 0xf), AT(FwDevCap.IO.MiscIO, 1)}},
        {"an empty name is unknown", "=''\n", DEVCAP_ERROR, "DevCapTxtFile2Bin:Error. Unknown configuration ='' ('=''\n')\n", {}},
        {"a list is rebuilt by each entry", "FWCAP_MISC_IO='DCIRIS'\nFWCAP_MISC_IO='PIRIS'\n", 0, "", {AT(FwDevCap.IO.MiscIO, 4)}},
        {"a rejected entry leaves the field",
         "SENSOR_ID='MT9P031'\nSENSOR_ID='XYZ'\n",
         DEVCAP_ERROR,
         "Tex2BinSensorID:Error. Unknown Sensor ID 'XYZ'\n"
         "DevCapTxtFile2Bin:Error. Unknown configuration SENSOR_ID='XYZ' ('SENSOR_ID='XYZ'\n')\n",
         {AT(SBConf.sensor.ID, 0xf)}},
        {"a continuation piece with = is an entry", "#" + pad + "MD_SRC='ENCODER'\n", 0, "", {AT(MdCap.MdSrc, 1)}},
        // clang-format on
    };
    for (const auto& row : rows) {
        // The same bytes from a stream and from memory read alike.
        for (const bool stream : {true, false}) {
            tDevConf dev;
            DevCapConfInit(&dev);
            FILE* fp = fmemopen(const_cast<char*>(row.text.data()), row.text.size(), "rb");
            int32_t ret = 0;
            const std::string said = Said([&](const tDevCapSink* out) {
                ret = stream ? DevCapTxtStream2Bin(&dev, fp, "mem.txt", out)
                             : DevCapTxtMem2Bin(&dev, row.text.data(), row.text.size(), "mem.txt", out);
            });
            fclose(fp);
            EXPECT_EQ(said, row.printed) << row.what;
            EXPECT_EQ(ret, row.ret) << row.what;
            EXPECT_EQ(BytesOf(dev), Patched(kDefaultBytes, row.bytes)) << row.what;
        }
    }
}
