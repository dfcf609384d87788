"""The devcap Python module against the programs: the same bytes, lines and
JSON; fields set and checked; clear exceptions; threads.

usage: python_test.py devcap2bin devcapdump examples-dir
(DEVCAP_LIBRARY and PYTHONPATH name the library and the package under test)
"""
import concurrent.futures
import json
import os
import subprocess
import sys
import tempfile
import unittest

import devcap

BIN, DUMP, EXAMPLES = (os.path.abspath(a) for a in sys.argv[1:4])
NAMES = ("ipcam", "ptz-dome", "video-server")


class Module(unittest.TestCase):
    def setUp(self):
        self.work = tempfile.TemporaryDirectory()
        os.chdir(self.work.name)
        os.mkdir("BinFiles")

    def tearDown(self):
        self.work.cleanup()

    def converter(self, path):
        run = subprocess.run([BIN, path], capture_output=True, check=False)
        return run.returncode, run.stdout.decode("utf-8", "backslashreplace")

    def test_examples_as_devcap2bin(self):
        for name in NAMES:
            text = os.path.join(EXAMPLES, name + ".txt")
            self.assertEqual(self.converter(text)[0], 0)
            result = devcap.convert(open(text, "rb").read())
            self.assertTrue(result.written)
            self.assertEqual(result.messages, [])
            self.assertEqual(bytes(result.record), open(f"BinFiles/{name}.bin", "rb").read())
            self.assertEqual(result.record, devcap.Record.from_file(f"BinFiles/{name}.bin"))
            json = subprocess.run([DUMP, "--json", f"BinFiles/{name}.bin"], capture_output=True, check=True).stdout
            self.assertEqual(result.record.to_json(f"BinFiles/{name}.bin"), json.decode())

    def test_json_parses(self):
        """to_json() is devcapdump --json (above); a JSON parser reads it, unknown codes and bits included."""
        raw = bytes(devcap.convert(open(os.path.join(EXAMPLES, "ipcam.txt"), "rb").read()).record)
        d = json.loads(devcap.Record(raw).to_json("ipcam.bin"))
        self.assertEqual((d["size"], d["reproduces"], d["check"]), (120, True, {"passes": True, "lines": []}))
        offset = 0
        for f in d["fields"]:  # they tile the record, each value as stored
            self.assertEqual(f["offset"], offset)
            if f["value"] is not None:
                self.assertEqual(f["value"], int.from_bytes(raw[offset:offset + f["width"]], "little"))
            offset += f["width"]
        self.assertEqual(offset, 120)
        odd = bytearray(raw)
        odd[36], odd[43], odd[96] = 200, 0x31, 7  # a code without keyword, unknown bits, a reserved byte
        d = json.loads(devcap.Record(bytes(odd)).to_json("odd \"name\"\x01\xe9.bin"))
        fields = {f["path"]: f for f in d["fields"]}
        self.assertEqual(d["source"], "odd \"name\"\x01\xe9.bin")
        self.assertFalse(d["reproduces"])
        self.assertEqual((fields["FwDevCap.type"]["keywords"], fields["FwDevCap.type"]["reproducible"]), ([], False))
        self.assertEqual((fields["FwDevCap.IO.MiscIO"]["keywords"], fields["FwDevCap.IO.MiscIO"]["text"]), (["DCIRIS"], None))
        self.assertEqual((fields["CamCap.Rsvd"]["default"], fields["CamCap.Rsvd"]["raw"][:4]), (False, "0700"))
        d = json.loads(devcap.Record(bytes(120)).to_json())
        self.assertEqual(d["check"], {"passes": False, "lines": ["DevCapDBCheckHeader:Error. Header key ''('SCONFIG')"]})

    def test_refused_text_gives_the_converter_lines(self):
        text = "SENSOR_ID='XYZ'\nDN_SRC='DSP,\u00e9'\nEOF=''\n"
        with open("bad.txt", "w", encoding="utf-8") as f:
            f.write(text)
        status, out = self.converter("bad.txt")
        result = devcap.convert(text, "bad.txt")
        self.assertEqual(status, 1)
        self.assertIsNone(result.record)
        self.assertFalse(result.written)
        self.assertEqual(result.messages, out.split("\n")[:-1])
        self.assertEqual(devcap.convert(b"EOF=''\n").messages, ["DevCapDBCheckSensorBoard:Error. no video frond-end"])

    def test_set_then_check(self):
        record = devcap.convert(open(os.path.join(EXAMPLES, "ipcam.txt"), "rb").read()).record
        self.assertEqual(record.check(), (True, []))
        record["FwDevCap.IO.DIs"] = 3
        self.assertEqual(record["FwDevCap.IO.DIs"], 3)
        self.assertEqual(record.check(), (False, ["DevCapDBCheckExtIO:Error. too many DIs (3)"]))
        record["FwDevCap.IO.DIs"] = 2
        record["MdCap.MdSrc"] = 3
        self.assertEqual(record.check(), (True, [
            "DevCapDBCheckMotion:Warning. DI2 and PIR should not be availabe at the same time"]))
        self.assertEqual(devcap.convert(record.to_text()).record, record)

    def test_bad_input(self):
        cases = [
            (lambda: devcap.Record(bytes(119)), ValueError, "120 bytes, not 119"),
            (lambda: devcap.Record(bytes(121)), ValueError, "not 121"),
            (lambda: devcap.Record()["FwDevCap.IO.DI"], KeyError, "no field 'FwDevCap.IO.DI'"),
            (lambda: devcap.Record().__setitem__("FwDevCap.IO.DIs", 256), ValueError, "does not hold 256"),
            (lambda: devcap.Record().__setitem__("CamCap.F_Num", -1), ValueError, "does not fit"),
            (lambda: devcap.Record().__setitem__("CamCap.F_Num", "3"), TypeError, "not str"),
            (lambda: devcap.Record()["head.key"], ValueError, "wider than 4 bytes"),
        ]
        for call, error, words in cases:
            with self.assertRaises(error) as raised:
                call()
            self.assertIn(words, str(raised.exception))
        with open("short.bin", "wb") as f:
            f.write(bytes(100))
        with self.assertRaisesRegex(ValueError, "short.bin is 100 bytes"):
            devcap.Record.from_file("short.bin")

    def test_entries_and_lint(self):
        entries = {e.name: e for e in devcap.entries()}
        self.assertEqual(len(entries), 38)
        self.assertEqual(entries["FWCAP_MISC_IO"].kind, "list")
        self.assertEqual(entries["FWCAP_MISC_IO"].stop, "NONE")
        self.assertIn(("PIRIS", 4), entries["FWCAP_MISC_IO"].keywords)
        self.assertEqual(entries["CAMERA_FNUM"].field, "CamCap.F_Num")
        self.assertEqual(devcap.lint("FWCAP_DIS='two'\n")[0][:4], (1, 12, "warning", "not-a-number"))

    def test_threads(self):
        texts = [open(os.path.join(EXAMPLES, n + ".txt"), "rb").read() for n in NAMES]
        texts += [b"SENSOR_ID='XYZ'\n", texts[0] + b"FWCAP_DIS='3'\n"]
        alone = [devcap.convert(t) for t in texts]
        with concurrent.futures.ThreadPoolExecutor(4) as pool:
            together = list(pool.map(devcap.convert, texts * 40))
        self.assertEqual(together, alone * 40)

    def test_output_name_is_the_converters(self):
        for path, name in ((".txt", "BinFiles/.bin"), ("a.b.txt", "BinFiles/a.b.bin"),
                           ("dir.x/file", "BinFiles/file.bin"), ("noext", "BinFiles/noext.bin")):
            self.assertEqual(devcap.output_name(path), name)
        with self.assertRaisesRegex(ValueError, "longer than 255"):
            devcap.output_name("x" * 243)
        with open(".txt", "wb") as f:
            f.write(open(os.path.join(EXAMPLES, "ipcam.txt"), "rb").read())
        run = subprocess.run([sys.executable, "-m", "devcap", ".txt"], capture_output=True, text=True, check=False)
        self.assertEqual(run.stdout, ".txt: converts to BinFiles/.bin\n")

    def test_command_line(self):
        run = subprocess.run([sys.executable, "-m", "devcap", os.path.join(EXAMPLES, "ipcam.txt")],
                             capture_output=True, text=True, check=False)
        self.assertEqual(run.returncode, 0)
        self.assertTrue(run.stdout.endswith("converts to BinFiles/ipcam.bin\n"))


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1])
