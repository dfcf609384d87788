"""devcapdump --json parsed by a real JSON parser: every example's record, and
records with unknown codes, unknown bits and an odd file name.

usage: json.py devcap2bin devcapdump examples-dir
"""
import json
import os
import subprocess
import sys
import tempfile
import unittest

BIN, DUMP, EXAMPLES = (os.path.abspath(a) for a in sys.argv[1:4])


def dump(path):
    run = subprocess.run([DUMP, "--json", path], capture_output=True, check=False)
    return run.returncode, json.loads(run.stdout.decode("utf-8"))


class Json(unittest.TestCase):
    def setUp(self):
        self.work = tempfile.TemporaryDirectory()
        os.chdir(self.work.name)
        os.mkdir("BinFiles")

    def tearDown(self):
        self.work.cleanup()

    def test_examples(self):
        for name in ("ipcam", "ptz-dome", "video-server"):
            subprocess.run([BIN, os.path.join(EXAMPLES, name + ".txt")], capture_output=True, check=True)
            status, d = dump(f"BinFiles/{name}.bin")
            self.assertEqual(status, 0)
            self.assertEqual(d["size"], 120)
            self.assertTrue(d["reproduces"])
            self.assertEqual(d["check"], {"passes": True, "lines": []})
            raw = open(f"BinFiles/{name}.bin", "rb").read()
            next_offset = 0
            for f in d["fields"]:  # the fields tile the record, each value as stored
                self.assertEqual(f["offset"], next_offset)
                next_offset += f["width"]
                if f["value"] is not None:
                    self.assertEqual(f["value"], int.from_bytes(raw[f["offset"]:f["offset"] + f["width"]], "little"))
            self.assertEqual(next_offset, 120)

    def test_unknown_codes_and_bits(self):
        raw = bytearray(open(self.record(), "rb").read())
        raw[36] = 200   # FwDevCap.type: no keyword
        raw[43] = 0x31  # FwDevCap.IO.MiscIO: DCIRIS and unknown bits
        raw[96] = 7     # CamCap.Rsvd
        odd = "odd \"name\"\x01\xe9.bin"
        with open(odd, "wb") as f:
            f.write(raw)
        status, d = dump(odd)
        self.assertEqual(status, 0)
        self.assertEqual(d["source"], odd)
        self.assertFalse(d["reproduces"])
        fields = {f["path"]: f for f in d["fields"]}
        self.assertEqual(fields["FwDevCap.type"]["keywords"], [])
        self.assertEqual(fields["FwDevCap.type"]["entry"], "FWCAP_UNIT_TYPE")
        self.assertFalse(fields["FwDevCap.type"]["reproducible"])
        self.assertEqual(fields["FwDevCap.IO.MiscIO"]["keywords"], ["DCIRIS"])
        self.assertIsNone(fields["FwDevCap.IO.MiscIO"]["text"])
        self.assertFalse(fields["CamCap.Rsvd"]["default"])
        self.assertEqual(fields["CamCap.Rsvd"]["raw"][:4], "0700")

    def test_failing_check(self):
        with open("zero.bin", "wb") as f:
            f.write(bytes(120))
        status, d = dump("zero.bin")
        self.assertEqual(status, 1)
        self.assertEqual(d["check"], {"passes": False, "lines": ["DevCapDBCheckHeader:Error. Header key ''('SCONFIG')"]})

    def record(self):
        subprocess.run([BIN, os.path.join(EXAMPLES, "ipcam.txt")], capture_output=True, check=True)
        return "BinFiles/ipcam.bin"


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1])
