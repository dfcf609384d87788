// libdevcap through its C interface: conversions equal the converter's, on
// many threads at once; fields and entries by path and index at their edges;
// renderings into buffers of every size; lint options; JSON strings.
#include <unistd.h>

#include <algorithm>
#include <thread>

#include "TestRecord.h"

namespace {

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

}  // namespace

TEST(Library, ConvertsAsTheConverter) {
    for (const char* name : {"ipcam.txt", "ptz-dome.txt", "video-server.txt"}) {
        const tConverted text = Convert(Example(name));
        EXPECT_EQ(text.result, DEVCAP_OK) << name << text.said;
        tDevConf dev, loaded;
        std::string said;
        EXPECT_EQ(DevCapConvertFile((std::string(DEVCAP_EXAMPLES "/") + name).c_str(), &dev, Append, &said), DEVCAP_OK);
        EXPECT_EQ(BytesOf(dev), text.bytes) << name;
        // A record and its text load alike; a record is told by content.
        EXPECT_EQ(DevCapLoad(&dev, sizeof dev, "r", &loaded, nullptr, nullptr), DEVCAP_OK);
        EXPECT_EQ(BytesOf(loaded), text.bytes);
        // Loading from a path leaves no file open: the next free descriptor is the same.
        const int before = dup(0);
        close(before);
        const std::string path = std::string(DEVCAP_EXAMPLES "/") + name;
        EXPECT_EQ(DevCapLoadFile(path.c_str(), name, &loaded, nullptr, nullptr), DEVCAP_OK);
        const int after = dup(0);
        close(after);
        EXPECT_EQ(after, before) << name;
        EXPECT_EQ(DevCapLoad(Example(name).data(), Example(name).size(), "t", &loaded, nullptr, nullptr), DEVCAP_OK);
        EXPECT_EQ(BytesOf(loaded), text.bytes);
    }
    EXPECT_EQ(Convert("SENSOR_ID='XYZ'\n").result, DEVCAP_REFUSED);
    tDevConf dev;
    std::string said;
    EXPECT_EQ(DevCapConvertFile("/nonexistent.txt", &dev, Append, &said), DEVCAP_IO_ERROR);
    EXPECT_EQ(said, "DevCapTxtFile2Bin:Error. open /nonexistent.txt file\n");
    // 120 bytes of text, no NUL among them: a text, which this one is not.
    const std::string text120 = "SENSOR_ID='MT9P031'\n" + std::string(99, '#') + "\n";
    EXPECT_EQ(DevCapIsRecord(text120.data(), 120), 0);
    EXPECT_EQ(DevCapIsRecord(kDefaultBytes.data(), 120), 1);
    EXPECT_EQ(DevCapIsRecord(kDefaultBytes.data(), 119), 0);
    said.clear();
    EXPECT_EQ(DevCapLoad(text120.data(), 120, "n.txt", &dev, Append, &said), DEVCAP_REFUSED);
    EXPECT_EQ(said, "DevCapDBCheckSensorBoardIF:Error. missing control interface in sensor\n");
    // No bytes at all is an empty text, which the check refuses.
    EXPECT_EQ(DevCapLoad(nullptr, 0, "e.txt", &dev, nullptr, nullptr), DEVCAP_REFUSED);
}

// Different texts on several threads at once give the single-threaded results
// (run under ThreadSanitizer by the tsan preset).
TEST(Library, Threads) {
    std::vector<std::string> texts = {Example("ipcam.txt"), Example("ptz-dome.txt"),
                                      "SENSOR_ID='XYZ'\nDN_SRC='DSP,X'\n"};
    std::vector<tConverted> alone;
    for (const std::string& t : texts) alone.push_back(Convert(t));
    std::vector<int> mismatches(4, 0);
    std::vector<std::thread> threads;
    for (size_t t = 0; t < mismatches.size(); ++t) {
        threads.emplace_back([&, t] {
            for (size_t i = 0; i < 300; ++i) {
                const std::string& text = texts[(i + t) % texts.size()];
                mismatches[t] += !(Convert(text) == alone[(i + t) % texts.size()]);
                mismatches[t] += DevCapLintText(text.data(), text.size(), nullptr, nullptr) < 0;
            }
        });
    }
    for (std::thread& th : threads) th.join();
    EXPECT_EQ(mismatches, std::vector<int>(4, 0));
}

TEST(Library, Fields) {
    tDevConf dev;
    DevCapRecordInit(&dev);
    const struct {
        const char* path;
        uint32_t value;
        int set, get;
        uint32_t after;  // what get reads after the set
    } rows[] = {
        // clang-format off
        {"FwDevCap.IO.DIs", 255, DEVCAP_OK, DEVCAP_OK, 255}, {"FwDevCap.IO.DIs", 256, DEVCAP_TOO_WIDE, DEVCAP_OK, 0},
        {"FwDevCap.head.ver", 0xffff, DEVCAP_OK, DEVCAP_OK, 0xffff}, {"FwDevCap.head.ver", 0x10000, DEVCAP_TOO_WIDE, DEVCAP_OK, 1},
        {"CamCap.DCIrisLevel", 0xffffffff, DEVCAP_OK, DEVCAP_OK, 0xffffffff}, {"head.key", 0, DEVCAP_TOO_WIDE, DEVCAP_TOO_WIDE, 0},
        {"FwDevCap.PtzCap.rsvd", 0, DEVCAP_TOO_WIDE, DEVCAP_TOO_WIDE, 0},  // 3 bytes
        {"fwdevcap.io.dis", 0, DEVCAP_NOT_FOUND, DEVCAP_NOT_FOUND, 0}, {"FwDevCap.IO", 0, DEVCAP_NOT_FOUND, DEVCAP_NOT_FOUND, 0},
        // clang-format on
    };
    for (const auto& row : rows) {
        tDevConf d = dev;
        uint32_t value = 0;
        EXPECT_EQ(DevCapSetField(&d, row.path, row.value), row.set) << row.path << "=" << row.value;
        EXPECT_EQ(DevCapGetField(&d, row.path, &value), row.get) << row.path;
        EXPECT_EQ(value, row.after) << row.path;
        EXPECT_TRUE(row.set == DEVCAP_OK || BytesOf(d) == BytesOf(dev)) << row.path;
    }
    // The fields tile the record; one past the last field, entry or keyword is not found.
    tDevCapFieldInfo f;
    size_t end = 0, i = 0;
    for (; DevCapFieldInfo(i, &f) == DEVCAP_OK; ++i, end += f.width) EXPECT_EQ(f.offset, end) << f.path;
    EXPECT_EQ(std::to_string(end) + " " + std::to_string(i), "120 " + std::to_string(DevCapFieldCount()));
    tDevCapEntryInfo e;
    const char* text = nullptr;
    uint32_t code = 0;
    for (i = 0; DevCapEntryInfo(i, &e) == DEVCAP_OK; ++i)
        EXPECT_EQ(DevCapEntryKeyword(i, e.keywords, &text, &code), DEVCAP_NOT_FOUND) << e.name;
    EXPECT_EQ(i, DevCapEntryCount());
    EXPECT_EQ(DevCapEntryKeyword(i, 0, &text, &code), DEVCAP_NOT_FOUND);
    std::string json(16384, '\0');  // entries as JSON: a number's, a list's with its stop word
    json.resize(DevCapRenderEntriesJson(json.data(), json.size()));
    for (const char* part : {"\"FwDevCap.IO.DIs\", \"offset\": 40, \"width\": 1, \"stop\": null, \"keywords\": []}",
                             "\"stop\": \"None\", \"keywords\": [{\"text\": \"OPTICAL\", \"code\": 1}, {\"text\": "
                             "\"DIGITAL\", \"code\": 2}]}"})
        EXPECT_NE(json.find(part), std::string::npos) << part;
    ASSERT_EQ(DevCapEntryInfo(24, &e), DEVCAP_OK);  // one entry whole
    EXPECT_EQ(std::string(e.name) + "|" + e.section + "|" + e.kind + "|" + e.field + "|" + std::to_string(e.offset) +
                  "|" + std::to_string(e.width) + "|" + std::to_string(e.keywords) + "|" + e.stop,
              "FWCAP_MISC_IO|Firmware capabilities|list|FwDevCap.IO.MiscIO|43|1|4|NONE");
    // The value an entry stores, as the converter reads it.
    EXPECT_EQ(DevCapEntryValue("zoom_lens", "22X", &code), DEVCAP_OK);
    EXPECT_EQ(code, 2u);
    EXPECT_EQ(DevCapEntryValue("FWCAP_DIS", "300", &code), DEVCAP_OK);
    EXPECT_EQ(code, 0x2cu);
    EXPECT_EQ(DevCapEntryValue("ZOOM_LENS", "27x", &code), DEVCAP_REFUSED);
    EXPECT_EQ(DevCapEntryValue("ZOOM", "10x", &code), DEVCAP_NOT_FOUND);
    EXPECT_EQ(DevCapEntryValue("FWCAP_DIS", std::string(128, '1').c_str(), &code), DEVCAP_TOO_WIDE);
}

// Every rendering into a buffer: cut and terminated when too small, whole
// from the exact size on.
TEST(Library, Renderings) {
    const tConverted cam = Convert(Example("ipcam.txt"));
    const tDevConf dev = RecordOf(cam.bytes);
    const size_t need = DevCapRenderText(&dev, "ipcam.bin", nullptr, 0);
    std::string text(need + 1, '\0');
    EXPECT_EQ(DevCapRenderText(&dev, "ipcam.bin", text.data(), text.size()), need);
    text.resize(need);
    EXPECT_EQ(text.substr(0, text.find('\n')), "# Device capability text of ipcam.bin, written by devcapdump.");
    // A source name stays one short printable line: no part of it can be read back as an entry.
    char first[160];
    DevCapRenderText(&dev, ("a \nb\x7f" + std::string(100, 'n')).c_str(), first, sizeof first);
    EXPECT_EQ(std::string(first, strchr(first, '\n')),
              "# Device capability text of a ?b?" + std::string(71, 'n') + "..., written by devcapdump.");
    std::string layout(8192, '\0');
    layout.resize(DevCapRenderLayout(&dev, layout.data(), layout.size()));
    EXPECT_EQ(std::count(layout.begin(), layout.end(), '\n'), 3 + DevCapFieldCount());  // heading, fields, the check
    char small[8];
    EXPECT_EQ(DevCapRenderLayout(&dev, small, sizeof small), layout.size());
    EXPECT_STREQ(small, "offset ");  // cut, and terminated
    std::string exact(need, 'x');
    DevCapRenderText(&dev, "ipcam.bin", exact.data(), need);
    EXPECT_EQ(exact.substr(0, need - 1) + '\n', text);
    EXPECT_EQ(exact.back(), '\0');
    // A field's keywords in JSON: a keyword's one, a list's elements, none for a number.
    std::string json(16384, '\0');
    json.resize(DevCapRenderJson(&dev, "ipcam.bin", json.data(), json.size()));
    for (const char* part : {"\"SENSOR_VIN\", \"text\": \"NONE\", \"keywords\": [\"NONE\"]",
                             "\"FWCAP_DIS\", \"text\": \"2\", \"keywords\": []",
                             "\"DN_SRC\", \"text\": \"DSP,CDS\", \"keywords\": [\"DSP\", \"CDS\"]"})
        EXPECT_NE(json.find(part), std::string::npos) << part;
    // What text cannot give is named; a record from bytes names no source.
    const tDevConf odd = RecordOf(
        Patched(kDefaultBytes, {AT(head.ConfCap, 0x1e), AT(FwDevCap.PtzCap.rsvd[1], 9), AT(FwDevCap.type, 200),
                                AT(FwDevCap.IO.MiscIO, 0x31), AT(FwDevCap.PtzCap.ZoomCap, 0), AT(MdCap.MdSrc, 0)}));
    text.assign(4096, '\0');
    text.resize(DevCapRenderText(&odd, nullptr, text.data(), text.size()));
    for (const char* part :
         {"# Device capability text, written by devcapdump.\n"
          "# devcap2bin will NOT turn this text back into the same record: no entry gives\n"
          "#   head.ConfCap (offset 8, 2 bytes) = 0x001E\n#   FwDevCap.type (offset 36, 1 byte) = 0xC8\n"
          "#   FwDevCap.IO.MiscIO (offset 43, 1 byte) = 0x31\n#   FwDevCap.PtzCap.rsvd (offset 53, 3 bytes) = "
          "000900\n\n",
          "# FWCAP_UNIT_TYPE: no keyword for FwDevCap.type = 200\n", "FWCAP_HEAD_VER='0x0001'\n", "ZOOM_CAP='None'\n",
          "# MD_SRC not given\n",
          "# Consistency check: fails\n#   DevCapDBCheckHeader:Warning! Capability '0x1E'('0x1F')\n"
          "#   DevCapDBCheckSensorBoard:Error. no video frond-end\nEOF=''\n"}) {
        EXPECT_NE(text.find(part), std::string::npos) << part << text;
    }
    text.assign(8192, '\0');
    text.resize(DevCapRenderLayout(&odd, text.data(), text.size()));
    EXPECT_NE(text.find("     0    8 head.key                        53434F4E46494700   default; as text: SCONFIG.\n"
                        "     8    2 head.ConfCap                    0x001E             NOT the default\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("    43    1 FwDevCap.IO.MiscIO              0x31               no FWCAP_MISC_IO keyword\n"),
              std::string::npos);
    char path[20];  // "BinFiles/board.bin" and its terminator: 19 bytes, and one that must stay
    memset(path, 'X', sizeof path);
    EXPECT_EQ(DevCapOutputPath("cap/board.txt", path, 19, nullptr, nullptr), DEVCAP_OK);
    EXPECT_EQ(std::string(path, 20), std::string("BinFiles/board.bin\0X", 20));
    EXPECT_EQ(DevCapOutputPath("cap/board.txt", path, 18, nullptr, nullptr), DEVCAP_TOO_WIDE);
    EXPECT_STREQ(DevCapLibVersion(), (std::to_string(DEVCAP_VERSION_MAJOR) + "." +
                                      std::to_string(DEVCAP_VERSION_MINOR) + "." + std::to_string(DEVCAP_VERSION_PATCH))
                                         .c_str());
}

TEST(Library, JsonStrings) {
    const struct {
        std::string in, out;
    } rows[] = {
        {"plain", "\"plain\""},
        {"q\"b\\", "\"q\\\"b\\\\\""},
        {std::string("a\0b", 3), "\"a\\u0000b\""},
        {"\x01\n\x1f \x7f", "\"\\u0001\\u000a\\u001f \\u007f\""},
        {"caf\xC3\xA9 \xF0\x9F\x98\x80", "\"caf\xC3\xA9 \xF0\x9F\x98\x80\""},  // UTF-8 passes through
        {"\xC2\x80\xDF\xBF\xE0\xA0\x80\xED\x9F\xBF\xEF\xBF\xBD\xF0\x90\x80\x80\xF4\x8F\xBF\xBF",  // each lead's edges
         "\"\xC2\x80\xDF\xBF\xE0\xA0\x80\xED\x9F\xBF\xEF\xBF\xBD\xF0\x90\x80\x80\xF4\x8F\xBF\xBF\""},
        {"\xC3(\xE2\x82\xFF\xC0\xAF", "\"\\u00c3(\\u00e2\\u0082\\u00ff\\u00c0\\u00af\""},
        {"\xF8\x80\x80\xED\xA0\x80\xE0\x9F\xBF\xF4\x90\x80\x80",
         "\"\\u00f8\\u0080\\u0080\\u00ed\\u00a0\\u0080\\u00e0\\u009f\\u00bf\\u00f4\\u0090\\u0080\\u0080\""},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(Said([&](const tDevCapSink* out) { DevCapJsonString(out, row.in); }), row.out) << row.in;
    }
}

// Records as table rows: a cell the field's text when it says more than its
// number, else the number, else nothing; CSV quoting; the same row as JSON.
TEST(Library, TableRows) {
    const tDevConf dev =
        RecordOf(Patched(kDefaultBytes, {AT(FwDevCap.type, 10), AT(FwDevCap.IO.DIs, 2), AT(FwDevCap.IO.MiscIO, 0x31)}));
    const auto rendered = [](auto render) {
        std::string out(render(nullptr, 0), '\0');
        render(out.data(), out.size() + 1);
        return out;
    };
    const char* cols = "FwDevCap.type,FwDevCap.IO.DIs,FwDevCap.IO.MiscIO,head.key,bogus";
    EXPECT_EQ(rendered([&](char* b, size_t n) { return DevCapRenderCsvHeader(cols, b, n); }),
              "file,kind,status,FwDevCap.type,FwDevCap.IO.DIs,FwDevCap.IO.MiscIO,head.key,bogus\n");
    EXPECT_EQ(rendered([&](char* b, size_t n) { return DevCapRenderCsvRow(&dev, "f", "record", "ok", cols, b, n); }),
              "f,record,ok,Mega IP Camera,2,49,,\n");
    EXPECT_EQ(rendered([&](char* b, size_t n) { return DevCapRenderJsonRow(&dev, "f", nullptr, "ok", cols, b, n); }),
              "{\"file\": \"f\", \"kind\": \"\", \"status\": \"ok\", \"FwDevCap.type\": \"Mega IP Camera\", "
              "\"FwDevCap.IO.DIs\": 2, \"FwDevCap.IO.MiscIO\": 49, \"head.key\": null, \"bogus\": null}");
    const std::string all = rendered([](char* b, size_t n) { return DevCapRenderCsvHeader(nullptr, b, n); });
    EXPECT_EQ(std::count(all.begin(), all.end(), ','), 3 + 56 - 1);
    EXPECT_EQ(all.substr(0, 34), "file,kind,status,head.key,head.Con");
    const struct {
        const char *file, *row;
    } quoting[] = {
        {"plain name.txt", "plain name.txt,text,refused,\n"},
        {"a,b", "\"a,b\",text,refused,\n"},
        {"say \"hi\"", "\"say \"\"hi\"\"\",text,refused,\n"},
        {"\"", "\"\"\"\",text,refused,\n"},
        {"x\ny", "\"x\ny\",text,refused,\n"},
        {"x\ry", "\"x\ry\",text,refused,\n"},
        {"=1+2", "'=1+2,text,refused,\n"},  // what a spreadsheet runs as a formula, first character only
        {"+1", "'+1,text,refused,\n"},
        {"-1", "'-1,text,refused,\n"},
        {"@A1", "'@A1,text,refused,\n"},
        {"\t\r=1", "\"'\t\r=1\",text,refused,\n"},
        {"a=1-2", "a=1-2,text,refused,\n"},
    };
    for (const auto& q : quoting) {
        EXPECT_EQ(rendered([&](char* b, size_t n) {
                      return DevCapRenderCsvRow(nullptr, q.file, "text", "refused", "FwDevCap.type", b, n);
                  }),
                  q.row);
    }
    tDevCapFieldValue v;
    EXPECT_EQ(DevCapFieldValue(&dev, 55, &v), DEVCAP_OK);
    EXPECT_STREQ(v.path, "CamCap.Rsvd");
    EXPECT_EQ(v.number + v.has_text, 0);
    EXPECT_EQ(DevCapFieldValue(&dev, 56, &v), DEVCAP_NOT_FOUND);
    EXPECT_EQ(rendered([](char* b, size_t n) { return DevCapRenderJsonString(nullptr, b, n); }), "null");
    EXPECT_EQ(rendered([](char* b, size_t n) { return DevCapRenderJsonString("a\"\x01", b, n); }), "\"a\\\"\\u0001\"");
}

TEST(Library, LintOptions) {
    uint32_t mask = 0;
    std::string said;
    EXPECT_EQ(DevCapLintDisable("duplicate,quote", &mask, Append, &said), DEVCAP_OK);
    EXPECT_EQ(mask, 1u << LINT_DUPLICATE | 1u << LINT_QUOTE);
    EXPECT_EQ(DevCapLintDisable("spelling,nosuch", &mask, Append, &said), DEVCAP_NOT_FOUND);
    EXPECT_EQ(DevCapLintDisable("bad-value", &mask, Append, &said), DEVCAP_REFUSED);
    EXPECT_EQ(DevCapLintDisable("quote,", &mask, Append, &said), DEVCAP_NOT_FOUND);
    EXPECT_EQ(mask, 1u << LINT_DUPLICATE | 1u << LINT_QUOTE);  // unchanged by a refused list
    EXPECT_EQ(said, "'nosuch' is no rule\n'bad-value' is an error: errors cannot be turned off\n'' is no rule\n");
    // The fixed text, as a rendering: its size whatever the buffer, cut and terminated.
    const std::string text = "DN_SRC='DSP, CDS'\n";
    char fixed[8];
    EXPECT_EQ(DevCapLintFix(text.data(), text.size(), 0, fixed, sizeof fixed), text.size() - 1);
    EXPECT_STREQ(fixed, "DN_SRC=");
}

// A line's spans as the reader takes them, and columns in each unit.
TEST(Library, LineSpans) {
    const std::string v127(127, 'v'), n31(31, 'N');
    const struct {
        std::string text;
        size_t next, length, pieces;
        int kind;
        size_t nameEnd, value, valueEnd;
        int opened, closed;
        size_t after;
    } rows[] = {
        // clang-format off
        {"A='b'\r\nX", 7, 5, 1, DEVCAP_LINE_ENTRY, 1, 3, 4, 1, 1, 5}, {"A=b'c' x\n", 9, 8, 1, DEVCAP_LINE_ENTRY, 1, 3, 5, 0, 1, 6},
        {"A='it's", 7, 7, 1, DEVCAP_LINE_ENTRY, 1, 3, 5, 1, 1, 6}, {"A='b\r\n", 6, 4, 1, DEVCAP_LINE_ENTRY, 1, 3, 4, 1, 0, 4},
        {"A=", 2, 2, 1, DEVCAP_LINE_ENTRY, 1, 2, 2, 0, 0, 2}, {std::string("A\0='b'\n", 7), 7, 6, 1, DEVCAP_LINE_NO_ENTRY, 1, 1, 1, 0, 0, 6},
        {"#A='b'\n", 7, 6, 1, DEVCAP_LINE_SKIPPED, 6, 6, 6, 0, 0, 6}, {"\rA='b'", 6, 6, 1, DEVCAP_LINE_SKIPPED, 6, 6, 6, 0, 0, 6},
        {n31 + "='x'", 35, 35, 1, DEVCAP_LINE_ENTRY, 31, 33, 34, 1, 1, 35}, {n31 + "N='x'", 36, 36, 1, DEVCAP_LINE_TOO_LONG, 32, 36, 36, 0, 0, 36},
        {"N='" + v127, 130, 130, 1, DEVCAP_LINE_ENTRY, 1, 3, 130, 1, 0, 130}, {"N='" + v127 + "'", 131, 131, 1, DEVCAP_LINE_TOO_LONG, 1, 3, 131, 1, 0, 131},
        {std::string(158, '#') + "\n", 159, 158, 1, DEVCAP_LINE_SKIPPED, 158, 158, 158, 0, 0, 158},
        {std::string(159, '#') + "\n", 160, 159, 2, DEVCAP_LINE_SKIPPED, 159, 159, 159, 0, 0, 159},
        {n31 + "='" + std::string(126, 'v') + "'x'\n", 163, 162, 2, DEVCAP_LINE_ENTRY, 31, 33, 159, 1, 0, 162},  // the first piece only
        {std::string(318, '#'), 318, 318, 2, DEVCAP_LINE_SKIPPED, 159, 159, 159, 0, 0, 318}, {"", 0, 0, 0, DEVCAP_LINE_NO_ENTRY, 0, 0, 0, 0, 0, 0},
        // clang-format on
    };
    for (const auto& r : rows) {
        tDevCapLine l;
        const size_t next = DevCapLineSpans(r.text.data(), r.text.size(), &l), entry = r.kind == DEVCAP_LINE_ENTRY;
        EXPECT_EQ((std::vector<size_t>{next, l.length, l.pieces, size_t(l.kind), entry * l.name_end, entry * l.value,
                                       entry * l.value_end, entry * l.opened, entry * l.closed, entry * l.after}),
                  (std::vector<size_t>{r.next, r.length, r.pieces, size_t(r.kind), entry * r.nameEnd, entry * r.value,
                                       entry * r.valueEnd, entry * r.opened, entry * r.closed, entry * r.after}))
            << r.text;
    }
    std::string seen;  // each line's number, start and line end
    EXPECT_EQ(DevCapTextLines(
                  "a\r\n\nb", 5,
                  [](void* c, const tDevCapLine* l) {
                      *static_cast<std::string*>(c) += std::to_string(l->number) + ":" + std::to_string(l->start) +
                                                       ":" + std::to_string(l->end) + " ";
                  },
                  &seen),
              3u);
    EXPECT_EQ(seen, "1:0:2 2:3:1 3:4:0 ");
    // a, é (2 bytes), 😀 (4 bytes, 2 UTF-16 units), a stray byte, an overlong, a surrogate, a cut sequence, past the end
    const std::string line = "a\xC3\xA9\xF0\x9F\x98\x80\xFF\xC0\xAF\xED\xA0\x80\xE2\x82";
    const size_t bytes[] = {0, 1, 3, 7, 8, 9, 10, 11, 12, 13, 14, 15, 17},
                 utf16[] = {0, 1, 2, 4, 5, 6, 7, 8, 9, 10, 11, 12, 14};
    for (size_t i = 0; i < std::size(bytes); ++i) {
        EXPECT_EQ(DevCapColumnConvert(line.data(), line.size(), bytes[i], DEVCAP_BYTES, DEVCAP_UTF16), utf16[i]) << i;
        EXPECT_EQ(DevCapColumnConvert(line.data(), line.size(), utf16[i], DEVCAP_UTF16, DEVCAP_BYTES), bytes[i]) << i;
        EXPECT_EQ(DevCapColumnConvert(line.data(), line.size(), bytes[i], DEVCAP_BYTES, DEVCAP_CHARACTERS),
                  utf16[i] - (i >= 3))
            << i;
    }
    EXPECT_EQ(DevCapColumnConvert(line.data(), line.size(), 2, DEVCAP_BYTES, DEVCAP_UTF16), 2u);  // inside é: after it
    EXPECT_EQ(DevCapColumnConvert(line.data(), line.size(), 3, DEVCAP_UTF16, DEVCAP_BYTES), 7u);  // inside a pair
    EXPECT_EQ(DevCapColumnConvert(line.data(), line.size(), 3, DEVCAP_CHARACTERS, DEVCAP_BYTES), 7u);
    EXPECT_EQ(DevCapColumnConvert(line.data(), line.size(), 1, DEVCAP_BYTES, 3) +
                  DevCapColumnConvert(line.data(), 9, 1, 3, 0),
              0u);
    EXPECT_EQ(DevCapColumnConvert("\xDF\xBF\xE2\x82"
                                  "A",
                                  5, 5, DEVCAP_BYTES, DEVCAP_UTF16),
              4u);  // the last 2-byte lead; a bad third byte
    EXPECT_EQ(DevCapColumnConvert("\xE2\x82\xBF"
                                  "A",
                                  4, 4, DEVCAP_BYTES, DEVCAP_CHARACTERS),
              2u);  // U+20BF: 3 bytes, the last at the top of the continuation range
}

// The null pointers the declarations name, in one table: the results they document, and no crash.
TEST(Library, NullArguments) {
    tDevConf dev{};
    DevCapRecordInit(nullptr);
    DevCapToFile(nullptr, "x", 1);
    uint32_t u = 0;
    const char* told = nullptr;
    std::string said;
    tDevCapFieldValue v;
    const int bad[] = {DevCapConvertText(nullptr, 1, "x", &dev, Append, &said),
                       DevCapCheckRecord(nullptr, Append, &said),
                       DevCapLoad(nullptr, 1, "x", &dev, Append, &said),
                       DevCapLoadDevice("x", 1, "e", &dev, &told, nullptr, Append, &said),  // a missing answer slot
                       DevCapLoadDevice("x", 1, "e", &dev, nullptr, &told, Append, &said),
                       DevCapLoadFile("/nonexistent/x", "x", nullptr, Append, &said),
                       DevCapRenderTextTo(nullptr, "x", Append, &said),
                       DevCapRenderTextTo(&dev, "x", nullptr, &said),
                       DevCapRenderLayoutTo(nullptr, Append, &said),
                       DevCapRenderJsonTo(nullptr, "x", Append, &said),
                       DevCapRenderEntriesJsonTo(nullptr, &said),
                       DevCapGetField(&dev, nullptr, &u),
                       DevCapGetField(&dev, "FwDevCap.IO.DIs", nullptr),
                       DevCapFieldValue(nullptr, 0, &v),
                       DevCapSetField(&dev, nullptr, 1),
                       DevCapFieldInfo(0, nullptr),
                       DevCapEntryInfo(0, nullptr),
                       DevCapEntryKeyword(0, 0, nullptr, &u),
                       DevCapEntryValue(nullptr, "x", &u),
                       DevCapLintRuleInfo(0, nullptr),
                       DevCapLintDisable(nullptr, &u, Append, &said),
                       DevCapLintText(nullptr, 1, nullptr, nullptr),
                       DevCapLintFixTo(nullptr, 1, 0, Append, &said),
                       DevCapRenderFindingJsonTo(nullptr, "f", Append, &said),
                       DevCapDiffRecords(nullptr, &dev, nullptr, nullptr),
                       DevCapDiffRecords(&dev, nullptr, nullptr, nullptr),
                       DevCapRenderDiffTo(nullptr, &dev, Append, &said),
                       DevCapRenderDiffTo(&dev, nullptr, Append, &said),
                       DevCapRenderDiffJsonTo(nullptr, &dev, "a", "b", Append, &said),
                       DevCapRenderDiffJsonTo(&dev, nullptr, "a", "b", Append, &said)};
    for (size_t i = 0; i < std::size(bad); ++i) EXPECT_EQ(bad[i], DEVCAP_BAD_ARGUMENT) << "call " << i;
    // The size_t answers: 0 each, and a null line is an empty one (a column past its end stays).
    EXPECT_EQ(DevCapLineSpans("a\n", 2, nullptr) + DevCapTextLines(nullptr, 1, nullptr, nullptr) +
                  DevCapIsRecord(nullptr, 120) + DevCapColumnConvert(nullptr, 5, 3, DEVCAP_BYTES, DEVCAP_UTF16),
              3u);
    // No bytes at all is an empty text, not a bad argument.
    for (const int empty :
         {DevCapConvertText(nullptr, 0, "x", &dev, nullptr, nullptr), DevCapLintText(nullptr, 0, nullptr, nullptr),
          DevCapLintFixTo(nullptr, 0, 0, Append, &said)})
        EXPECT_NE(empty, DEVCAP_BAD_ARGUMENT);
    EXPECT_EQ(said, "");
}
