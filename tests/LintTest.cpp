// devcaplint's rules: each with the smallest text that triggers it and the
// exact findings in line and column order; each certain fix, before and
// after. (That errors come exactly with the converter's refusals is
// fuzz_lint's to hold, on any bytes.)
#include "TestRecord.h"

namespace {

// A file that converts: a sensor with its interfaces and encoder motion.
const std::string kGood = "SENSOR_ID='MT9P031'\nSENSOR_CTRL='I2C'\nSENSOR_VOUT='CCIR656_8'\nMD_SRC='ENCODER'\n";

void Line(void* ctx, const tDevCapFinding* f) {
    char line[1024];
    snprintf(line, sizeof line, "%u:%u: %s: %s [%s]%s\n", f->line, f->column, f->severity, f->message, f->rule,
             f->nedits > 0 ? " +fix" : "");
    static_cast<std::string*>(ctx)->append(line);
}

std::string Lint(const std::string& text, uint32_t disabled = 0) {
    std::string out;
    DevCapLint(text.data(), text.size(), disabled, Line, &out);
    return out;
}

std::string Fixed(const std::string& text) {
    return Said([&](const tDevCapSink* out) { DevCapLintApplyFixes(text.data(), text.size(), 0, out); });
}

}  // namespace

TEST(Lint, EachRule) {
    const std::string longComment = "#" + std::string(158, '-') + "MD_SRC='ENCODER'\n";
    const struct {
        std::string text;
        std::string findings;
    } rows[] = {
        // clang-format off
        {kGood, ""}, {kGood + "SENSORID='OV9715'\n", "5:1: error: unknown entry 'SENSORID'; did you mean 'SENSOR_ID'? [unknown-entry] +fix\n"},
        {kGood + "XXCAMERA_FNUX='x'\n", "5:1: error: unknown entry 'XXCAMERA_FNUX' [unknown-entry]\n"},  // 3 edits away
        {kGood + "FWCAP_UNIT_TYPE='IP Camra'\n", "5:18: error: unknown unit type 'IP Camra'; did you mean 'IP Camera'? [bad-value] +fix\n"},
        // edits count characters, in any case: \xC3\xA9 is one, an emoji one; three away is too far
        {kGood + "FWCAP_UNIT_TYPE='\xC3\xA9IP Camra'\n", "5:18: warning: non-ASCII byte 0xC3 [encoding]\n5:18: error: unknown unit type '\\xC3\\xA9IP Camra'; did you mean 'IP Camera'? [bad-value] +fix\n"},
        {kGood + "FWCAP_UNIT_TYPE='\xC3\xA9\xC3\xA9 Camra'\nse\xF0\x9F\x98\x80nsor_i='x'\n", "5:18: warning: non-ASCII byte 0xC3 [encoding]\n5:18: error: unknown unit type '\\xC3\\xA9\\xC3\\xA9 Camra' [bad-value]\n" "6:1: error: unknown entry 'se\\xF0\\x9F\\x98\\x80nsor_i'; did you mean 'SENSOR_ID'? [unknown-entry] +fix\n6:3: warning: non-ASCII byte 0xF0 [encoding]\n"},
        {kGood + "FWCAP_MISC_IO='DCIRIS,PIRS'\n", "5:23: error: unknown Miac. IO 'PIRS'; did you mean 'PIRIS'? [bad-value] +fix\n"},
        {kGood + "DN_SRC='DSP, CDS'\n", "5:13: error: unknown Day/Night detection source ' CDS'; 'CDS' is a keyword: nothing is trimmed, remove the blanks [bad-value] +fix\n"},
        {kGood + "ZOOM_CAP='xy'\n", "5:11: error: unknown zoom capability 'xy' [bad-value]\n"},  // 'None' is 4 edits away
        {kGood + "SENSOR_VIN='A\\B\r\n", "5:12: warning: the value is never closed: it keeps the line end [quote] +fix\n5:13: error: unknown Sensor Vin Interface 'A\\\\B\\r\\n' [bad-value]\n"},
        {kGood + "CAMERA_FNUM='F8'\n", "5:14: error: 'F8' is not a keyword of CAMERA_FNUM; did you mean 'F8.0'? [bad-value]\n"},
        {"EOF=''\n", "1:1: error: DevCapDBCheckSensorBoard:Error. no video frond-end (SBConf.sensor.ID never set by SENSOR_ID; " "SBConf.decoder.ID never set by DECODER_ID; SBConf.processor.ID never set by PROCESSOR_ID; SBConf.encoder.ID never set by ENCODER_ID) [check]\n" "1:1: error: DevCapDBCheckMotion:Error. missing encoder motion capability. 0x0 (MdCap.MdSrc never set by MD_SRC) [check]\n"},
        {kGood + "FWCAP_DIS='2'\nMD_SRC='ENCODER,MD_SENSOR'\n", "6:1: warning: MD_SRC is set again: line 4 set it first, this line wins [duplicate]\n" "6:1: warning: DevCapDBCheckMotion:Warning. DI2 and PIR should not be availabe at the same time (MdCap.MdSrc set at line 6; FwDevCap.IO.DIs set at line 5) [check]\n"},
        {kGood + std::string(31, 'N') + "='1'\n" + std::string(32, 'N') + "='1'\n", "5:1: error: unknown entry 'NNNNNNNNNNNNNNNNNNNNNNNNNNNNNNN' [unknown-entry]\n" "6:1: warning: the name is longer than 31 characters: the line is skipped [long-name]\n"},
        {kGood + "N='" + std::string(125, 'v') + "'\nN='" + std::string(126, 'v') + "'\n", "5:1: error: unknown entry 'N' [unknown-entry]\n6:3: warning: the value is longer than 127 bytes, closing quote and line end included: the line is skipped [long-value]\n"},
        // blanks alone make it long, the line end counted: at the limit, then one past it (6)
        {kGood + "N='" + std::string(125, 'v') + "' \nN='" + std::string(126, 'v') + "' \nN='" + std::string(124, 'v') + " '\r\nN='" + std::string(120, 'v') + " \t '  \t \nN=" + std::string(130, ' ') + "\n", "5:3: warning: the value is longer than 127 bytes, closing quote and line end included only because of the 1 blank at the end of the line: the line is skipped [long-value]\n" "6:3: warning: the value is longer than 127 bytes, closing quote and line end included: the line is skipped [long-value]\n" "7:3: warning: the value is longer than 127 bytes, closing quote and line end included only because of the 1 blank before its closing quote: the line is skipped [long-value]\n" "8:3: warning: the value is longer than 127 bytes, closing quote and line end included only because of the 7 blanks before and after its closing quote: the line is skipped [long-value]\n" "9:3: warning: the value is longer than 127 bytes, closing quote and line end included only because of the 129 blanks at the end of the line: the line is skipped [long-value]\n"},
        {kGood + longComment, "5:160: warning: the line is 175 bytes, longer than 159: it is read as 2 lines, cut every 159 bytes [split-line]\n" "5:160: warning: MD_SRC is set again: line 4 set it first, this line wins [duplicate]\n"},
        {kGood + std::string(159, '#') + "\n", ""},  // exactly one piece and its line end
        {kGood + std::string(318, '#') + "\r\n" + std::string(319, '#'), "5:160: warning: the line is 318 bytes, longer than 159: it is read as 2 lines, cut every 159 bytes [split-line]\n" "6:160: warning: the line is 319 bytes, longer than 159: it is read as 3 lines, cut every 159 bytes [split-line]\n"},
        {kGood + "FWCAP_DIS='two'\n", "5:12: warning: 'two' is not a number: FWCAP_DIS becomes 0 [not-a-number]\n"},
        {kGood + "CDS_DAY2NIGHT_THD='3O'\n", "5:20: warning: '3O' has text after the number: CDS_DAY2NIGHT_THD becomes 3 [not-a-number]\n"},
        {kGood + "FWCAP_HEAD_VER='0xg'\n", "5:1: error: DevCapDBCheckFWConf:Error. FW Conf. ver is 0 (FwDevCap.head.ver set at line 5) [check]\n" "5:17: warning: '0xg' has text after the number: FWCAP_HEAD_VER becomes 0 [not-a-number]\n"},
        {kGood + "CDS_NIGHT2DAY_THD='259'\n", "5:20: warning: '259' does not fit 1 byte: CDS_NIGHT2DAY_THD becomes 3 [not-a-number]\n"},
        {kGood + "FWCAP_HEAD_VER='0x10000'\nFWCAP_HEAD_VER='0xFFFF'\nFWCAP_HEAD_VER='0200000'\n", "5:17: warning: '0x10000' does not fit 2 bytes: FWCAP_HEAD_VER becomes 0 [not-a-number]\n" "6:1: warning: FWCAP_HEAD_VER is set again: line 5 set it first, this line wins [duplicate]\n" "7:1: warning: FWCAP_HEAD_VER is set again: line 6 set it first, this line wins [duplicate]\n" "7:1: error: DevCapDBCheckFWConf:Error. FW Conf. ver is 0 (FwDevCap.head.ver set at line 7) [check]\n" "7:17: warning: '0200000' does not fit 2 bytes: FWCAP_HEAD_VER becomes 0 [not-a-number]\n"},
        {kGood + "FWCAP_DOS='255'\nCAMERA_DCIRIS_LEVEL='2147483647'\nFWCAP_HEAD_VER='0x0001'\n", "5:1: error: DevCapDBCheckExtIO:Error. too many DOs (255) (FwDevCap.IO.DOs set at line 5) [check]\n" "6:1: error: DevCapDBCheckCamera:Error. invalid DC-IRIS level 2147483647 (CamCap.DCIrisLevel set at line 6) [check]\n"},
        {kGood + "CAMERA_DCIRIS_LEVEL='-1'\n", "5:1: error: DevCapDBCheckCamera:Error. invalid DC-IRIS level -1 (CamCap.DCIrisLevel set at line 5) [check]\n" "5:22: warning: '-1' is not a number: CAMERA_DCIRIS_LEVEL becomes 4294967295 [not-a-number]\n"},
        // octal only for the version; the check's findings in the order of their places, not of the rules
        {kGood + "CDS_DAY2NIGHT_THD='09'\nFWCAP_HEAD_VER='08'\n", "6:1: error: DevCapDBCheckFWConf:Error. FW Conf. ver is 0 (FwDevCap.head.ver set at line 6) [check]\n" "6:17: warning: '08' has text after the number: FWCAP_HEAD_VER becomes 0 [not-a-number]\n"},
        {kGood + "DN_SRC='DSP'\nFWCAP_DIS='3'\n", "5:1: error: DevCapDBCheckDNCtrl:Error. missing default DN Src (DNCtrlCap.DNSrc set at line 5; DNCtrlCap.DNSrcDefault never set by DN_SRC_DEFAULT) [check]\n" "6:1: error: DevCapDBCheckExtIO:Error. too many DIs (3) (FwDevCap.IO.DIs set at line 6) [check]\n"},
        {kGood + "ZOOM_CAP='None,OPTICAL'\n", "5:16: warning: 'None' ends the list: 'OPTICAL' is never read [ignored-after-stop]\n"},
        {kGood + "EOF=''\n#\n\nBOGUS='1'\nSENSOR_ID='x'\n", "8:1: warning: 2 entries after EOF='' are never read [after-eof]\n"},
        {kGood + "SENSOR_ID 'MT9P031'\n  \n", "5:1: warning: not an entry (no '='): the line is skipped [not-an-entry]\n"},
        // sorted by column: the quote before the value it misreads
        {kGood + "ZOOM_LENS=None'\n", "5:11: warning: no quote after '=': its first character 'N' is dropped [quote] +fix\n" "5:12: error: unknown zoom lens 'one'; did you mean 'None'? [bad-value]\n"},
        {kGood + "PT_ENABLED='1' # pan\n", "5:15: warning: text after the closing quote is ignored: ' # pan' [quote]\n"},
        {kGood + "FWCAP_DIS='1\n", "5:11: warning: the value is never closed: it keeps the line end [quote] +fix\n"},
        {kGood + "FWCAP_DIS='1", "5:11: warning: the value is never closed: it ends with the file [quote] +fix\n"},
        {kGood + std::string(31, 'N') + "='" + std::string(126, '1') + "more\n", "5:1: error: unknown entry '" + std::string(31, 'N') + "' [unknown-entry]\n5:33: warning: the value is never closed: it ends where the line is cut [quote]\n5:160: warning: the line is 163 bytes, longer than 159: it is read as 2 lines, cut every 159 bytes [split-line]\n"},
        {kGood + std::string("FWCAP_DIS='1\0x\n", 15), "5:11: warning: the value is never closed: it ends at the NUL byte [quote] +fix\n5:13: warning: a NUL byte: the reader takes the line to end here [encoding]\n"},
        {"\xEF\xBB\xBF" + kGood, "1:1: warning: a UTF-8 byte-order mark: it becomes part of the first name [bom] +fix\n" "1:1: error: unknown entry '\\xEF\\xBB\\xBFSENSOR_ID'; did you mean 'SENSOR_ID'? [unknown-entry]\n"},
        {"\xEF\xBB\xBFSENSOR_ID=MT9P031", "1:1: warning: a UTF-8 byte-order mark: it becomes part of the first name [bom] +fix\n" "1:1: error: unknown entry '\\xEF\\xBB\\xBFSENSOR_ID'; did you mean 'SENSOR_ID'? [unknown-entry]\n" "1:14: warning: no quote after '=': its first character 'M' is dropped [quote] +fix\n"},
        {kGood + "PT_ENABLED='1'\x01\r\n", "5:15: warning: control byte 0x01 [encoding]\n" "5:15: warning: text after the closing quote is ignored: '\\x01' [quote]\n"},
        {"MD_SRC='ENCODER'\xC3\xA9\n" + kGood, "1:17: warning: non-ASCII byte 0xC3 [encoding]\n" "1:17: warning: text after the closing quote is ignored: '\\xC3\\xA9' [quote]\n" "5:1: warning: MD_SRC is set again: line 1 set it first, this line wins [duplicate]\n"},
        {kGood + "# caf\xC3\xA9\n" + std::string("PT_ENABLED='1'\0x\n", 17) + "\r='1'\n", "6:15: warning: a NUL byte: the reader takes the line to end here [encoding]\n7:1: warning: control byte 0x0D [encoding]\n"},
        {kGood + "sensor_id='mt9p031'\nDN_SRC='dsp,Cds'\nZOOM_CAP='none'\n", "5:1: note: 'sensor_id': the table spells it 'SENSOR_ID' [spelling] +fix\n" "5:1: warning: SENSOR_ID is set again: line 1 set it first, this line wins [duplicate]\n" "5:12: note: 'mt9p031': the table spells it 'MT9P031' [spelling] +fix\n" "6:1: error: DevCapDBCheckDNCtrl:Error. missing default DN Src (DNCtrlCap.DNSrc set at line 6; DNCtrlCap.DNSrcDefault never set by DN_SRC_DEFAULT) [check]\n" "6:9: note: 'dsp': the table spells it 'DSP' [spelling] +fix\n6:13: note: 'Cds': the table spells it 'CDS' [spelling] +fix\n" "7:11: note: 'none': the table spells it 'None' [spelling] +fix\n"},
        // disable comments: the rules they name are off for the rest of the file
        {kGood + "# devcaplint: disable=duplicate,quote\nMD_SRC='ENCODER' \n", ""},
        {kGood + "# devcaplint: disable quote\nMD_SRC='ENCODER' \n", "6:1: warning: MD_SRC is set again: line 4 set it first, this line wins [duplicate]\n6:17: warning: text after the closing quote is ignored: ' ' [quote]\n"},
        {kGood + "#dvcaplnt disable=quote\nMD_SRC='ENCODER' \n", "5:1: warning: not a disable comment: those start '# devcaplint: disable=' [disable] +fix\n" "6:1: warning: MD_SRC is set again: line 4 set it first, this line wins [duplicate]\n6:17: warning: text after the closing quote is ignored: ' ' [quote]\n"},  // two slips in the word, the most taken
        {kGood + "# \tdvcaplnt disable=quote\nMD_SRC='ENCODER'\n", "5:1: warning: not a disable comment: those start '# devcaplint: disable=' [disable] +fix\n" "6:1: warning: MD_SRC is set again: line 4 set it first, this line wins [duplicate]\n"},  // blanks before the word
        {kGood + "# devcaplint: disable=quote,duplcate\n# devcaplint: disable=bad-value,nosuch\nMD_SRC='ENCODER' \n", "5:29: warning: 'duplcate' is no rule; did you mean 'duplicate'? [disable] +fix\n" "6:23: warning: 'bad-value' is an error: errors cannot be turned off [disable]\n6:33: warning: 'nosuch' is no rule [disable]\n" "7:1: warning: MD_SRC is set again: line 4 set it first, this line wins [duplicate]\n"},
        // clang-format on
    };
    std::string all;
    for (const auto& row : rows) {
        EXPECT_EQ(Lint(row.text), row.findings) << row.text;
        all += row.findings;
    }
    tDevCapLintRule r;  // every rule the library lists has its rows here
    size_t i = 0;
    for (; DevCapLintRuleInfo(i, &r) == DEVCAP_OK; ++i)
        EXPECT_NE(all.find("[" + std::string(r.name) + "]"), all.npos) << r.name;
    EXPECT_EQ(i, DevCapLintRuleCount());
    EXPECT_EQ(Lint(kGood + "FWCAP_DIS='x'\nsensor_id='MT9P031'\n", 1u << LINT_NOT_A_NUMBER | 1u << LINT_SPELLING),
              "6:1: warning: SENSOR_ID is set again: line 1 set it first, this line wins [duplicate]\n");
    EXPECT_EQ(Lint(kGood + "BOGUS='1'\n", 1u << LINT_UNKNOWN_ENTRY),
              "5:1: error: unknown entry 'BOGUS' [unknown-entry]\n");
    std::string many;  // more findings on a line than the linter holds at once: each, in column order
    for (int column = 23; column <= 55; column += 2)
        many += "5:" + std::to_string(column) + ": warning: 'x' is no rule [disable]\n";
    EXPECT_EQ(Lint(kGood + "# devcaplint: disable=x,x,x,x,x,x,x,x,x,x,x,x,x,x,x,x,x\n"), many);
    // a CR is a line end only right before the LF (or last)
    EXPECT_EQ(Lint("SENSOR_ID='MT9P031'\r \n" + kGood.substr(20)),
              "1:20: warning: control byte 0x0D [encoding]\n"
              "1:20: warning: text after the closing quote is ignored: '' [quote]\n");
}

// Each certain fix: the text after it, which that rule no longer flags and
// no rule has a fix for.
TEST(Lint, Fixes) {
    const struct {
        std::string before, after;
        const char* rule;
    } rows[] = {
        // clang-format off
        {"SENSORID='OV9715'\n", "SENSOR_ID='OV9715'\n", "unknown-entry"}, {"FWCAP_UNIT_TYPE='IP Camra'\r\n", "FWCAP_UNIT_TYPE='IP Camera'\r\n", "bad-value"},
        {"DN_SRC='DSP, CDS'\nFWCAP_MISC_IO='DCIRIS,PIRS'", "DN_SRC='DSP,CDS'\nFWCAP_MISC_IO='DCIRIS,PIRIS'", "bad-value"}, {"\xEF\xBB\xBFSENSOR_ID=OV9715\n", "SENSOR_ID='OV9715'\n", "bom"},
        {"FWCAP_DIS='1\r\nZOOM_LENS=None'\nPT_ENABLED=1", "FWCAP_DIS='1'\r\nZOOM_LENS='None'\nPT_ENABLED='1'", "quote"},
        {"sensor_id='mt9p031'\nDN_SRC='dsp,Cds,none'\n", "SENSOR_ID='MT9P031'\nDN_SRC='DSP,CDS,None'\n", "spelling"},
        {"#devcaplint:  Disable= quote\n# devcaplint: disable=duplcate\n", "# devcaplint: disable=quote\n# devcaplint: disable=duplicate\n", "disable"},
        // uncertain: several keywords as near, or a value misread without its quote
        {"CAMERA_FNUM='F8'\nZOOM_LENS=1Ox'\n", "CAMERA_FNUM='F8'\nZOOM_LENS='1Ox'\n", "bad-value"},
        // chains: a fix uncovers the next, mended in the same run
        {"\xEF\xBB\xBFSENSORID=ov9715\n", "SENSOR_ID='OV9715'\n", "unknown-entry"}, {"FWCAP_UNIT_TYP='IP Camra'\n", "FWCAP_UNIT_TYPE='IP Camera'\n", "bad-value"},
        {"DN_SRC=DSP, cds\r\n", "DN_SRC='DSP,CDS'\r\n", "bad-value"}, {"#devcaplnt disable=duplcate\n", "# devcaplint: disable=duplicate\n", "disable"},
        // a mended disable comment holds from the next line; a mark only starts the first line; nothing after EOF
        {"#devcaplint disable=quote\nSENSOR_ID=OV9715\n", "# devcaplint: disable=quote\nSENSOR_ID=OV9715\n", "disable"},
        {"SENSOR_ID='OV9715'\n\xEF\xBB\xBFSENSORID='X'\n", "SENSOR_ID='OV9715'\n\xEF\xBB\xBFSENSORID='X'\n", "bom"},
        {"EOF=''\nsensor_id=X\n", "EOF=''\nsensor_id=X\n", "spelling"},
        // clang-format on
    };
    for (const auto& row : rows) {
        EXPECT_EQ(Fixed(row.before), row.after) << row.before;
        EXPECT_EQ(Fixed(row.after), row.after);  // one run reaches the fixed point
        const std::string left = Lint(row.after);
        EXPECT_EQ(left.find("+fix"), std::string::npos) << row.after << left;
        EXPECT_EQ(left.find(std::string("[") + row.rule + "] +fix"), std::string::npos) << row.after << left;
        if (std::string_view(row.rule) != "bad-value") {
            EXPECT_EQ(left.find(std::string("[") + row.rule + "]"), std::string::npos) << row.after << left;
        }
    }
}
