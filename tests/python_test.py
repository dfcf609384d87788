"""The devcap Python module's wiring: the library's bytes, lines and JSON come
through whole; fields set and checked; errors mapped from the library's codes.

usage: python_test.py devcap2bin examples-dir
(DEVCAP_LIBRARY and PYTHONPATH name the library and the package under test)
"""
import ctypes.util
import json
import os
import pathlib
import re
import shutil
import subprocess
import sys
import sysconfig
import tempfile
import unittest

import devcap

BIN, EXAMPLES = (pathlib.Path(a).resolve() for a in sys.argv[1:3])
IPCAM = (EXAMPLES / "ipcam.txt").read_bytes()


class Module(unittest.TestCase):
    def setUp(self):
        self.work = tempfile.TemporaryDirectory()
        self.addCleanup(self.work.cleanup)
        os.chdir(self.work.name)
        os.mkdir("BinFiles")

    def test_texts_as_devcap2bin(self):
        pathlib.Path("bad.txt").write_text("SENSOR_ID='XYZ'\0\nDN_SRC='DSP,\u00e9'\nEOF=''\n", encoding="utf-8")
        pathlib.Path("good.txt").write_bytes(IPCAM)
        for name, status, record in (("good", 0, True), ("bad", 1, False)):
            run = subprocess.run([BIN, f"{name}.txt"], capture_output=True, check=False)
            result = devcap.convert(pathlib.Path(f"{name}.txt").read_text(encoding="utf-8"), f"{name}.txt")
            self.assertEqual((run.returncode, result.written), (status, record))
            self.assertEqual(result.record, devcap.Record.from_file("BinFiles/good.bin") if record else None)
            self.assertEqual(result.messages, [] if record else re.split(r"\n(?=\w+:)", run.stdout.decode()[:-1]))

    def test_record(self):
        record = devcap.convert(IPCAM).record
        self.assertEqual(record.check(), (True, []))
        record["FwDevCap.IO.DIs"] = 3
        self.assertEqual((record["FwDevCap.IO.DIs"], record.check()),
                         (3, (False, ["DevCapDBCheckExtIO:Error. too many DIs (3)"])))
        with self.assertRaises(TypeError):
            hash(record)  # mutable: a set could not find it again
        self.assertNotEqual(record, bytes(record))
        self.assertTrue(devcap.Record(bytes(record)).to_text().startswith("# Device capability text, written by"))
        self.assertTrue(record.to_text("a.bin").startswith("# Device capability text of a.bin, written by"))
        odd = devcap.Record()
        odd["head.ConfCap"] = 0x1E
        d = json.loads(odd.to_json("odd \"name\"\x01.bin"))
        self.assertEqual((d["source"], d["check"]["lines"]), ("odd \"name\"\x01.bin", [
            "DevCapDBCheckHeader:Warning! Capability '0x1E'('0x1F')", "DevCapDBCheckSensorBoard:Error. no video frond-end"]))
        self.assertEqual(len(devcap.Record().fields()), devcap._lib.DevCapFieldCount())
        self.assertIn("\n    40    1 FwDevCap.IO.DIs                 0x03               FWCAP_DIS='3'\n", record.to_layout())

    def test_errors(self):
        cases = [
            (lambda: devcap.Record(bytes(119)), ValueError, "120 bytes, not 119"),
            (lambda: devcap.Record()["FwDevCap.IO.DI"], KeyError, "FwDevCap.IO.DI: no such field"),
            (lambda: devcap.Record().__setitem__("FwDevCap.IO.DIs", 256), ValueError, "FwDevCap.IO.DIs: does not fit"),
            (lambda: devcap.Record().__setitem__("CamCap.F_Num", 0x100000000), ValueError, "does not fit"),
            (lambda: devcap.Record().__setitem__("CamCap.F_Num", True), TypeError, "not bool"),
            (lambda: devcap.Record()["head.key"], ValueError, "head.key: does not fit"),
            (lambda: devcap.output_name("x" * 243), ValueError, "x" * 243 + ": does not fit"),
            (lambda: devcap.lint("", disable=("bad-value",)), ValueError, "'bad-value' is an error"),
            (lambda: devcap.lint("", disable=("quote", "nosuch")), ValueError, "'nosuch' is no rule"),
        ]
        for call, error, words in cases:
            with self.assertRaises(error) as raised:
                call()
            self.assertIn(words, str(raised.exception))
        devcap.Record()["CamCap.F_Num"] = 0xFFFFFFFF
        devcap.Record()["CamCap.F_Num"] = 0
        for size, words in ((100, "is 100 bytes"), (121, "is more than 120 bytes")):
            pathlib.Path("r.bin").write_bytes(bytes(size))
            with self.assertRaisesRegex(ValueError, "r.bin " + words):
                devcap.Record.from_file("r.bin")
        env = dict(os.environ, DEVCAP_LIBRARY="/nonexistent/libdevcap.so.1")
        run = subprocess.run([sys.executable, "-c", "import devcap"], env=env, capture_output=True, text=True)
        self.assertIn("ImportError: devcap: DEVCAP_LIBRARY=/nonexistent/libdevcap.so.1 cannot be loaded", run.stderr)

    def test_tables_lint_diff_names(self):
        entries = {e.name: e for e in devcap.entries()}
        self.assertEqual((len(entries), entries["FWCAP_MISC_IO"][2:4], entries["FWCAP_MISC_IO"].stop),
                         (devcap._lib.DevCapEntryCount(), ("list", "FwDevCap.IO.MiscIO"), "NONE"))
        self.assertEqual(entries["FWCAP_MISC_IO"].keywords[2], ("PIRIS", 4))
        self.assertEqual(len(devcap.rules()), devcap._lib.DevCapLintRuleCount())
        good = "SENSOR_ID='MT9P031'\nSENSOR_CTRL='I2C'\nSENSOR_VOUT='CCIR656_8'\nMD_SRC='ENCODER'\n"
        self.assertEqual(devcap.lint(good + "FWCAP_DIS='two'\nzoom_cap='None'\n", disable=("not-a-number",)),
                         [devcap.Finding(6, 1, "note", "spelling", "'zoom_cap': the table spells it 'ZOOM_CAP'",
                                         [(((6, 1), (6, 9)), "ZOOM_CAP")], 9)])
        unit = "FWCAP_UNIT_TYPE='éIP Camra'"  # a str counts characters, bytes count bytes
        for text, end in ((unit, 27), (unit.encode(), 28)):
            self.assertEqual([(f.column, f.end) for f in devcap.lint(text) if f.rule == "bad-value"], [(18, end)])
        for text, fixed in (("zoom_cap='None'\nDN_SRC='DSP, CDS'", "ZOOM_CAP='None'\nDN_SRC='DSP,CDS'"),
                            (b"zoom_cap='None'", b"ZOOM_CAP='None'")):
            self.assertEqual(devcap.fix(text), fixed)
        a = devcap.convert(IPCAM).record
        b = devcap.Record(bytes(a))
        b["FwDevCap.IO.DIs"] = 3
        self.assertEqual(a.diff(b), ([devcap.Change("FwDevCap.IO.DIs", "FWCAP_DIS", "2", "3")], [],
                                     ["DevCapDBCheckExtIO:Error. too many DIs (3)"]))
        self.assertTrue(a.diff(a).same)
        self.assertEqual(devcap.__version__, devcap.version())
        self.assertEqual(devcap.output_name("d/" + "x" * 242 + ".txt"), "BinFiles/" + "x" * 242 + ".bin")  # 255

    def test_command_line(self):
        pathlib.Path(".txt").write_bytes(IPCAM)
        pathlib.Path("bad.txt").write_bytes(b"")
        run = subprocess.run([sys.executable, "-m", "devcap", ".txt", "bad.txt"], capture_output=True, text=True)
        self.assertEqual((run.returncode, run.stdout), (1, ".txt: converts to BinFiles/.bin\nDevCapDBCheckSensorBoard:"
                                                           "Error. no video frond-end\nbad.txt: refused\n"))
        pathlib.Path("r.bin").write_bytes(bytes(devcap.convert(IPCAM).record))
        for args, status, out in (([], 2, ""), (["r.bin"], 0, devcap.Record.from_file("r.bin").to_text("r.bin"))):
            run = subprocess.run([sys.executable, "-m", "devcap", *args], capture_output=True, text=True)
            self.assertEqual((run.returncode, run.stdout), (status, out))

    def test_library_found_as_installed(self):
        # Installed as <prefix>/lib/python3/dist-packages/devcap with <prefix>/lib/<multiarch>/libdevcap.so.1.
        site, arch = pathlib.Path("lib/python3/dist-packages"), pathlib.Path("lib", sysconfig.get_config_var("MULTIARCH") or "")
        site.mkdir(parents=True)
        shutil.copytree(os.path.dirname(devcap.__file__), site / "devcap")
        env = {k: v for k, v in os.environ.items() if k != "DEVCAP_LIBRARY"} | {"PYTHONPATH": str(site)}
        load = [sys.executable, "-c", "import devcap; print(devcap._ffi.lib._name)"]
        if not ctypes.util.find_library("devcap"):  # the system's loader does not know it: the error lists what it tried
            self.assertIn("by the system's loader (libdevcap.so.1: ", subprocess.run(load, env=env, capture_output=True,
                                                                                       text=True).stderr)
        arch.mkdir(exist_ok=True)
        (arch / "libdevcap.so.1").symlink_to(os.environ["DEVCAP_LIBRARY"])
        self.assertEqual(subprocess.run(load, env=env, capture_output=True, text=True).stdout,
                         f"{pathlib.Path.cwd() / arch / 'libdevcap.so.1'}\n")

if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1])
