"""devcap-lsp driven as an editor drives it: initialize, open, change,
completion, hover, codeAction, shutdown, exit; and the protocol's answers to a
malformed message, a wrong Content-Length, an unknown method and a closed input.

usage: lsp_test.py path/to/devcap-lsp
"""
import json
import subprocess
import sys
import unittest

LSP = sys.argv[1]
URI = "file:///cam.txt"
GOOD = "SENSOR_ID='MT9P031'\nSENSOR_CTRL='I2C'\nSENSOR_VOUT='CCIR656_8'\nMD_SRC='ENCODER'\n"


def frame(message):
    body = json.dumps(message).encode() if isinstance(message, dict) else message
    return b"Content-Length: %d\r\n\r\n" % len(body) + body


def session(*messages, utf8=False, timeout=10):
    """Sends the messages (dicts, or raw bytes), closes the input; answers (status, messages received)."""
    caps = {"general": {"positionEncodings": ["utf-8", "utf-16"]}} if utf8 else {}
    init = {"jsonrpc": "2.0", "id": 0, "method": "initialize", "params": {"capabilities": caps}}
    data = b"".join(m if isinstance(m, bytes) and m.startswith(b"Content-") else frame(m) for m in (init,) + messages)
    run = subprocess.run([LSP, "--stdio"], input=data, capture_output=True, timeout=timeout, check=False)
    out, received = run.stdout, []
    while out:
        head, _, rest = out.partition(b"\r\n\r\n")
        length = int(head.split(b":")[1])
        received.append(json.loads(rest[:length]))
        out = rest[length:]
    return run.returncode, received


def request(id_, method, **params):
    return {"jsonrpc": "2.0", "id": id_, "method": method, "params": params}


def notify(method, **params):
    return {"jsonrpc": "2.0", "method": method, "params": params}


def at(line, character):
    return {"textDocument": {"uri": URI}, "position": {"line": line, "character": character}}


class Server(unittest.TestCase):
    def test_a_session(self):
        text = GOOD + "FWCAP_UNIT_TYPE='IP Camra'\nDN_SRC='DSP,'\nFWCAP_DIS='two'\n"
        status, got = session(
            notify("textDocument/didOpen", textDocument={"uri": URI, "languageId": "devcap", "version": 1, "text": "é" + text}),
            notify("textDocument/didChange", textDocument={"uri": URI, "version": 2}, contentChanges=[{"text": text}]),
            request(1, "textDocument/completion", **at(5, 12)),
            request(2, "textDocument/completion", **at(4, 3)),
            request(3, "textDocument/hover", **at(4, 3)),
            request(4, "textDocument/hover", **at(4, 20)),
            request(5, "textDocument/codeAction", textDocument={"uri": URI}, context={"diagnostics": []},
                    range={"start": {"line": 4, "character": 0}, "end": {"line": 6, "character": 0}}),
            request(6, "shutdown"), notify("exit"))
        self.assertEqual(status, 0)
        init, opened, changed, *answers = got
        self.assertEqual(init["result"]["capabilities"]["textDocumentSync"]["change"], 1)
        # 'é' before the name: a non-ASCII byte, an unknown entry (its fix's extent), in UTF-16 columns
        self.assertEqual([(d["code"], d["range"]["end"]["character"]) for d in opened["params"]["diagnostics"]][:2],
                         [("encoding", 20), ("unknown-entry", 10)])
        self.assertEqual([(d["range"]["start"]["line"], d["range"]["start"]["character"], d["severity"], d["code"])
                          for d in changed["params"]["diagnostics"]],
                         [(4, 17, 1, "bad-value"), (5, 12, 1, "bad-value"), (6, 11, 2, "not-a-number")])
        self.assertEqual([i["label"] for i in answers[0]["result"]["items"]], ["CDS"])  # DSP is held already
        names = answers[1]["result"]["items"]
        self.assertEqual((names[0]["textEdit"]["newText"], names[-1]["label"]), ("SENSOR_ID='", "CAMERA_FNUM"))
        self.assertEqual(answers[2]["result"]["contents"]["value"].split("\n\n")[:2],
                         ["**FWCAP_UNIT_TYPE** (Firmware capabilities, keyword)", "field `FwDevCap.type`, offset 36, 1 byte"])
        self.assertEqual(answers[3]["result"]["contents"]["value"],
                         "`IP Camra` is not a value of FWCAP_UNIT_TYPE: devcap2bin refuses the file")
        actions = [(a["title"], a["edit"]["changes"][URI]) for a in answers[4]["result"]]
        self.assertEqual(actions[0], ("Replace 'IP Camra' with 'IP Camera'", [
            {"range": {"start": {"line": 4, "character": 17}, "end": {"line": 4, "character": 25}}, "newText": "IP Camera"}]))
        self.assertEqual(actions[-1][1][0]["newText"], text.replace("Camra", "Camera"))  # fix all: the whole text
        self.assertEqual(actions[-2], ("Turn off not-a-number from here on", [
            {"range": {"start": {"line": 6, "character": 0}, "end": {"line": 6, "character": 0}},
             "newText": "# devcaplint: disable=not-a-number\n"}]))
        self.assertEqual(answers[5], {"jsonrpc": "2.0", "id": 6, "result": None})

    def test_values_utf8_and_defaults(self):
        text = "é" + GOOD + "ZOOM_LENS='22x'\nPT_ENABLED='0'\n"
        status, got = session(notify("textDocument/didOpen", textDocument={"uri": URI, "text": text}),
                         request(1, "textDocument/hover", **at(4, 12)), request(2, "textDocument/hover", **at(5, 12)),
                         utf8=True)
        self.assertEqual((got[0]["result"]["capabilities"]["positionEncoding"], status), ("utf-8", 1))  # no shutdown
        self.assertEqual(got[1]["params"]["diagnostics"][1]["range"]["end"], {"line": 0, "character": 11})
        self.assertEqual(got[2]["result"]["contents"]["value"],
                         "`22x` gives `FwDevCap.PtzCap.ZoomLens` = 2 (0x2); the default is 0")
        self.assertEqual(got[3]["result"]["contents"]["value"], "`0` gives `FwDevCap.PtzCap.PTEnable` = 0 (0x0); the default")

    def test_command_line(self):
        for args, status, out in ((["--version"], 0, b"devcap-lsp "), (["--bogus"], 2, b"")):
            run = subprocess.run([LSP, *args], capture_output=True, check=False, stdin=subprocess.DEVNULL)
            self.assertEqual((run.returncode, run.stdout[: len(out)]), (status, out))

    def test_protocol_errors(self):
        status, got = session(b"{not json", b'{"jsonrpc": "2.0", "id": 7, "method": "nosuch"}',
                              request(8, "textDocument/hover", **at(0, 0)),
                              b"Content-Length: 5\r\n\r\n{}garbage\r\n\r\n", b"Content-Type: x\r\n\r\n",
                              b'Content-Length: 90\r\n\r\n{"jsonrpc": "2.0", "id": 9, "method": "shutdown"}')
        answers = [(m.get("id"), m.get("error", {}).get("code")) for m in got[1:]]
        self.assertEqual((answers, status), ([(None, -32700), (7, -32601), (8, -32602), (None, -32700), (None, -32600),
                                              (None, -32600), (9, None)], 0))  # a length too long: read to the end
        status, got = session(request(1, "shutdown"), request(2, "textDocument/hover", **at(0, 0)))
        self.assertEqual(([m.get("error", {}).get("code") for m in got[1:]], status), ([None, -32600], 0))
        run = subprocess.run([LSP], input=frame(request(1, "textDocument/hover", **at(0, 0))), capture_output=True,
                             timeout=10, check=False)
        self.assertIn(b'"code":-32002', run.stdout)  # not initialized


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1])
