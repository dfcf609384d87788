// devcaplint's rules: each with the smallest text that triggers it and the
// exact findings, and the error findings against the converter's verdict.
#include "DevCapLint.h"
#include "TestRecord.h"

namespace {

// A file that converts: a sensor with its interfaces and encoder motion.
const std::string kGood = "SENSOR_ID='MT9P031'\nSENSOR_CTRL='I2C'\nSENSOR_VOUT='CCIR656_8'\nMD_SRC='ENCODER'\n";

std::string Lint(const std::string& text, uint32_t disabled = 0) {
    std::string out;
    const tLintReport report{[](void* ctx, const tLintFinding& f) {
                                 char line[1024];
                                 snprintf(line, sizeof line, "%u:%u: %s: %s [%s]\n", f.line, f.column,
                                          f.severity == LINT_ERROR ? "error" : "warning", f.message,
                                          kDevCapLintRules[f.rule].name);
                                 static_cast<std::string*>(ctx)->append(line);
                             },
                             &out};
    DevCapLintMem(text.data(), text.size(), disabled, report);
    return out;
}

}  // namespace

TEST(Lint, EachRule) {
    const std::string longComment = "#" + std::string(158, '-') + "MD_SRC='ENCODER'\n";
    const struct {
        std::string text;
        std::string findings;
    } rows[] = {
        // clang-format off
        {kGood, ""},
        {kGood + "SENSORID='OV9715'\n", "5:1: error: unknown entry 'SENSORID'; did you mean 'SENSOR_ID'? [unknown-entry]\n"},
        {kGood + "CAMERA='x'\n", "5:1: error: unknown entry 'CAMERA' [unknown-entry]\n"},
        {kGood + "FWCAP_UNIT_TYPE='IP Camra'\n", "5:18: error: unknown unit type 'IP Camra'; did you mean 'IP Camera'? [bad-value]\n"},
        {kGood + "FWCAP_MISC_IO='DCIRIS,PIRS'\n", "5:23: error: unknown Miac. IO 'PIRS'; did you mean 'PIRIS'? [bad-value]\n"},
        {kGood + "DN_SRC='DSP, CDS'\n", "5:13: error: unknown Day/Night detection source ' CDS'; 'CDS' is a keyword: nothing is trimmed, remove the blanks [bad-value]\n"},
        {kGood + "CAMERA_FNUM='F8'\n", "5:14: error: 'F8' is not a keyword of CAMERA_FNUM; did you mean 'F8.0'? [bad-value]\n"},
        {"EOF=''\n", "1:1: error: DevCapDBCheckSensorBoard:Error. no video frond-end (SBConf.sensor.ID never set by SENSOR_ID; "
                     "SBConf.decoder.ID never set by DECODER_ID; SBConf.processor.ID never set by PROCESSOR_ID; SBConf.encoder.ID never set by ENCODER_ID) [check]\n"
                     "1:1: error: DevCapDBCheckMotion:Error. missing encoder motion capability. 0x0 (MdCap.MdSrc never set by MD_SRC) [check]\n"},
        {kGood + "FWCAP_DIS='2'\nMD_SRC='ENCODER,MD_SENSOR'\n",
         "6:1: warning: MD_SRC is set again: line 4 set it first, this line wins [duplicate]\n"
         "6:1: warning: DevCapDBCheckMotion:Warning. DI2 and PIR should not be availabe at the same time (MdCap.MdSrc set at line 6; FwDevCap.IO.DIs set at line 5) [check]\n"},
        {kGood + std::string(32, 'N') + "='1'\n", "5:1: warning: the name is longer than 31 characters: the line is skipped [long-name]\n"},
        {kGood + "N='" + std::string(130, 'v') + "'\n", "5:3: warning: the value is longer than 127 characters: the line is skipped [long-value]\n"},
        {kGood + longComment, "5:160: warning: the line is longer than 159 bytes: from column 160 it is read as a line of its own [split-line]\n"
                          "5:160: warning: MD_SRC is set again: line 4 set it first, this line wins [duplicate]\n"},
        {kGood + std::string(159, '#') + "\n", ""},  // exactly one piece and its line end
        {kGood + "FWCAP_DIS='two'\n", "5:12: warning: 'two' is not a number: FWCAP_DIS becomes 0 [not-a-number]\n"},
        {kGood + "CDS_DAY2NIGHT_THD='3O'\n", "5:20: warning: '3O' has text after the number: CDS_DAY2NIGHT_THD becomes 3 [not-a-number]\n"},
        {kGood + "FWCAP_DOS='256'\n", "5:12: warning: '256' does not fit 1 byte: FWCAP_DOS becomes 0 [not-a-number]\n"},
        {kGood + "FWCAP_DOS='255'\nCAMERA_DCIRIS_LEVEL='2147483647'\nFWCAP_HEAD_VER='0x0001'\n",
         "5:1: error: DevCapDBCheckExtIO:Error. too many DOs (255) (FwDevCap.IO.DOs set at line 5) [check]\n"
         "6:1: error: DevCapDBCheckCamera:Error. invalid DC-IRIS level 2147483647 (CamCap.DCIrisLevel set at line 6) [check]\n"},
        {kGood + "CAMERA_DCIRIS_LEVEL='-1'\n", "5:22: warning: '-1' is not a number: CAMERA_DCIRIS_LEVEL becomes 4294967295 [not-a-number]\n"
                                              "5:1: error: DevCapDBCheckCamera:Error. invalid DC-IRIS level -1 (CamCap.DCIrisLevel set at line 5) [check]\n"},
        {kGood + "FWCAP_HEAD_VER='65536'\n", "5:17: warning: '65536' does not fit 2 bytes: FWCAP_HEAD_VER becomes 0 [not-a-number]\n"
                                            "5:1: error: DevCapDBCheckFWConf:Error. FW Conf. ver is 0 (FwDevCap.head.ver set at line 5) [check]\n"},
        {kGood + "ZOOM_CAP='None,OPTICAL'\n", "5:16: warning: 'None' ends the list: 'OPTICAL' is never read [ignored-after-stop]\n"},
        {kGood + "EOF=''\nBOGUS='1'\n\nSENSOR_ID='x'\n", "6:1: warning: 2 entries after EOF='' are never read [after-eof]\n"},
        {kGood + "SENSOR_ID 'MT9P031'\n", "5:1: warning: not an entry (no '='): the line is skipped [not-an-entry]\n"},
        {kGood + "  \n", ""},
        {kGood + "ZOOM_LENS=None'\n", "5:12: error: unknown zoom lens 'one'; did you mean 'None'? [bad-value]\n"
                                     "5:11: warning: no quote after '=': its first character 'N' is dropped [quote]\n"},
        {kGood + "PT_ENABLED='1' # pan\n", "5:15: warning: text after the closing quote is ignored: ' # pan' [quote]\n"},
        {kGood + "FWCAP_DIS='1\n", "5:11: warning: the value is never closed: it keeps the line end [quote]\n"},
        {"\xEF\xBB\xBF" + kGood, "1:1: warning: a UTF-8 byte-order mark: it becomes part of the first name [bom]\n"
                                 "1:1: error: unknown entry '\\xEF\\xBB\\xBFSENSOR_ID'; did you mean 'SENSOR_ID'? [unknown-entry]\n"},
        {kGood + "PT_ENABLED='1'\x01\n", "5:15: warning: control byte 0x01 [encoding]\n"
                                         "5:15: warning: text after the closing quote is ignored: '\\x01' [quote]\n"},
        {kGood + "# caf\xC3\xA9\n" + std::string("PT_ENABLED='1'\0x\n", 17), "6:15: warning: a NUL byte: the reader takes the line to end here [encoding]\n"},
        {kGood + "# devcaplint: disable=duplicate,quote\nMD_SRC='ENCODER' \n", ""},
        // clang-format on
    };
    for (const auto& row : rows) EXPECT_EQ(Lint(row.text), row.findings) << row.text;
    EXPECT_EQ(Lint(kGood + "FWCAP_DIS='x'\n", 1u << LINT_NOT_A_NUMBER), "");
    EXPECT_EQ(Lint(kGood + "BOGUS='1'\n", 1u << LINT_UNKNOWN_ENTRY),
              "5:1: error: unknown entry 'BOGUS' [unknown-entry]\n");
}

// Errors exactly when the converter refuses the text: every example, and
// every example with one line changed.
TEST(Lint, ErrorsIfAndOnlyIfRefused) {
    const char* examples[] = {"ipcam.txt", "ptz-dome.txt", "video-server.txt"};
    const char* changes[] = {"",
                             "FWCAP_DIS='3'\n",
                             "MD_SRC='None'\n",
                             "SENSOR_ID=''\n",
                             "X='1'\n",
                             "DN_SRC='None'\n",
                             "EOF=''\n",
                             "FWCAP_MISC_IO='DCIRIS,PIRIS'\n",
                             "FWCAP_HEAD_VER='0'\n"};
    for (const char* name : examples) {
        std::string text;
        FILE* fp = fopen((std::string(DEVCAP_EXAMPLES "/") + name).c_str(), "rb");
        ASSERT_NE(fp, nullptr);
        for (int c; (c = fgetc(fp)) != EOF;) text.push_back(static_cast<char>(c));
        fclose(fp);
        for (const char* change : changes) {
            const std::string changed = change + text;
            tDevConf dev;
            DevCapConfInit(&dev);
            const bool refused = DevCapTxtMem2Bin(&dev, changed.data(), changed.size(), "x", nullptr) != 0 ||
                                 DevCapDBCheck(&dev, nullptr) != 0;
            EXPECT_EQ(Lint(changed).find(": error: ") != std::string::npos, refused) << change << name;
        }
    }
}
