"""devcap-lsp as a table of exchanges (what a client sends, what comes back), and every request
of a long mixed session answered exactly once. usage: lsp_test.py path/to/devcap-lsp"""
import json
import random
import subprocess
import sys
import unittest

LSP = sys.argv[1]
URI = "file:///cam.txt"
GOOD = "SENSOR_ID='MT9P031'\nSENSOR_CTRL='I2C'\nSENSOR_VOUT='CCIR656_8'\nMD_SRC='ENCODER'\n"
UTF8 = {"general": {"positionEncodings": ["utf-16", "utf-8"]}}


def frame(message):
    body = json.dumps(message).encode() if isinstance(message, dict) else message
    return b"Content-Length: %d\r\n\r\n" % len(body) + body


def session(*messages, caps=None, init=True):
    """Sends initialize and the messages (framed, but for raw headers), closes the input: (status, the rest)."""
    first = [req(0, "initialize", capabilities=caps or {})] if init else []
    data = b"".join(m if isinstance(m, bytes) and m.startswith(b"Content-") else frame(m)
                    for m in first + list(messages))
    # A hang, not a slow machine: the 64 MiB row takes half a minute under the sanitizers on a loaded machine.
    run = subprocess.run([LSP, "--stdio"], input=data, capture_output=True, timeout=120, check=False)
    out, got = run.stdout, []
    while out:
        head, _, rest = out.partition(b"\r\n\r\n")
        length = int(head.split(b":")[1])
        got.append(json.loads(rest[:length]))
        out = rest[length:]
    return run.returncode, got[1:] if init else got


def req(id_, method, **params):
    return {"jsonrpc": "2.0", "id": id_, "method": method, "params": params}


def note(method, **params):
    return {"jsonrpc": "2.0", "method": method, "params": params}


def opened(text):
    return note("textDocument/didOpen", textDocument={"uri": URI, "text": text})


def at(id_, method, line, character):
    return req(id_, method, textDocument={"uri": URI}, position={"line": line, "character": character})


def actions(id_, first, last, **context):
    return req(id_, "textDocument/codeAction", textDocument={"uri": URI}, context={"diagnostics": [], **context},
               range={"start": {"line": first, "character": 0}, "end": {"line": last, "character": 0}})


def codes(status, got):
    return status, [m.get("error", {}).get("code") for m in got]


def diags(status, got):
    return [(d["range"]["start"]["character"], d["range"]["end"]["character"], d["severity"], d["code"])
            for d in got[0]["params"]["diagnostics"]]


def result(status, got):
    return got[-1]["result"]


def hover(status, got):
    return [r and (r["contents"]["value"], r["range"]["start"]["character"], r["range"]["end"]["character"])
            for r in (m["result"] for m in got[1:])]


SMILE = "# \U0001F600\n"  # 4 bytes, 2 UTF-16 units
EXCHANGES = [
    # framing and its limits: each bad frame is answered, and the next one still read
    ((b"{not json", b"Content-Length: 5\r\n\r\n{}garbage\r\n\r\n", b"Content-Type: x\r\n\r\n", b"Content-Length: -5\r\n\r\n",
      b"Content-Length: 67108865\r\n\r\n", b"Content-Length: 0\r\n\r\n", req(1, "shutdown")), {}, codes,  # one past 64 MiB: read past, not held
     (0, [-32700, -32700, -32600, -32600, -32600, -32600, -32700, None])),
    ((b"Content-Length: 67108864\r\n\r\n" + b" " * 67108862 + b"{}", req(1, "shutdown")), {}, codes, (0, [None])),  # 64 MiB
    ((b'Content-Length: 90\r\n\r\n{"jsonrpc": "2.0", "id": 9, "method": "shutdown"}',), {}, codes, (0, [None])),
    ((b'[1]', {"jsonrpc": "2.0", "id": 3}, {"jsonrpc": "2.0", "id": 4, "result": 1}), {}, codes, (1, [-32600, -32600])),
    ((req(7, "nosuch"), note("$/cancelRequest", id=1), at(8, "textDocument/hover", 0, 0)), {}, codes, (1, [-32601, -32602])),
    ((opened("x"), req(2, "textDocument/hover", textDocument={"uri": URI}), req(3, "textDocument/completion")), {},
     lambda s, g: codes(s, g[1:]), (1, [-32602, -32602])),
    # the order of initialize, shutdown and exit
    ((req(1, "shutdown"), at(2, "textDocument/hover", 0, 0), note("exit"), req(3, "shutdown")), {}, codes, (0, [None, -32600])),
    ((note("exit"), req(1, "shutdown")), {}, codes, (1, [])),
    ((at(1, "textDocument/hover", 0, 0), opened(GOOD), note("exit")), {"init": False}, codes, (1, [-32002])),
    # position encodings, characters outside the BMP (one ends the line), severities; a quote and a backslash in a name, escaped
    ((opened(SMILE + "\U0001F600\"\\='1'\U0001F600\n"),), {}, diags, [(0, 2, 2, "encoding"), (0, 4, 1, "unknown-entry"), (8, 10, 2, "quote")]),
    ((opened(SMILE + "\U0001F600\"\\='1'\U0001F600\n"),), {"caps": UTF8}, diags, [(0, 4, 2, "encoding"), (0, 6, 1, "unknown-entry"), (10, 14, 2, "quote")]),
    # a range ends where its text does, before the closing quote: é is 1 UTF-16 unit, 2 bytes
    *(((opened(GOOD + "FWCAP_UNIT_TYPE='éIP Camra'\nFWCAP_UNIT_TYPE='éé Camra'\n"),), {"caps": caps},
        lambda s, g: [d[:2] for d in diags(s, g) if d[3] == "bad-value"], want)
      for caps, want in (({}, [(17, 26), (17, 25)]), (UTF8, [(17, 27), (17, 27)]))),
    ((req(0, "initialize", capabilities=UTF8), req(1, "initialize", capabilities={"offsetEncoding": ["utf-8"]}),
      req(2, "initialize", capabilities={"general": {"positionEncodings": ["utf-16"]}})), {"init": False},
     lambda s, g: [m["result"]["capabilities"].get("positionEncoding") for m in g], ["utf-8", "utf-8", None]),
    ((opened(GOOD + "FWCAP_DIS='x'\nzoom_cap='None'\nDN_SRC='DSP, CDS'\n"),), {}, diags,
     [(11, 12, 2, "not-a-number"), (0, 8, 3, "spelling"), (12, 16, 1, "bad-value")]),
    # the actions each finding gets: its fix (preferred), a disable comment unless it is an error, then fix-all
    ((opened(GOOD + "FWCAP_DIS='x'\nzoom_cap='None'\nFWCAP_UNIT_TYPE='IP Camra'\nCAMERA_FNUM='F8'\n"), actions(1, 4, 7)), {},
     lambda s, g: [(a["title"], a["kind"], a.get("isPreferred", False), a["edit"]["changes"][URI][0]["range"]["start"]["line"])
                   for a in result(s, g)], [  # a disable comment goes above its finding's line
         ("Turn off not-a-number from here on", "quickfix", False, 4), ("Replace 'zoom_cap' with 'ZOOM_CAP'", "quickfix", True, 5),
         ("Turn off spelling from here on", "quickfix", False, 5), ("Replace 'IP Camra' with 'IP Camera'", "quickfix", True, 6),
         ("Fix everything devcaplint is sure of", "source.fixAll", False, 0)]),
    # a byte-order mark is not turned off by a comment (the comment would move it off the file's start)
    ((opened("\ufeffSENSOR_ID='MT9P031'\n"), actions(1, 0, 0)), {}, lambda s, g: [a["title"] for a in result(s, g)],
     ["Delete '\ufeff'", "Fix everything devcaplint is sure of"]),
    # the kinds a client asks for, and no others ("source" takes "source.fixAll")
    ((opened("\ufeffSENSOR_ID='MT9P031'\n"), actions(1, 0, 0, only=["source"]), actions(2, 0, 0, only=["quickfix"])), {},
     lambda s, g: [[a["kind"] for a in m["result"]] for m in g if "result" in m], [["source.fixAll"], ["quickfix"]]),
    ((opened("# \U0001F600 x\nFWCAP_DIS='1\r\n"), actions(1, 0, 0)), {},
     lambda s, g: result(s, g)[-1]["edit"]["changes"][URI],
     [{"range": {"start": {"line": 0, "character": 0}, "end": {"line": 2, "character": 0}}, "newText": "# \U0001F600 x\nFWCAP_DIS='1'\r\n"}]),
    ((opened(GOOD), actions(1, 0, 9)), {}, result, []),
    # hover on the name, the '=', the value (one never closed, before CR LF), a comment, an unknown name; completion of names and keywords
    ((opened(GOOD + "ZOOM_LENS='22x'\nPT_ENABLED='1\r\n# ZOOM_CAP='x'\nNOPE='1'\n"), *(at(i, "textDocument/hover", line, c)
      for i, (line, c) in enumerate(((4, 8), (4, 9), (5, 20), (6, 3), (7, 1))))), {}, hover,
     [("**ZOOM_LENS** (Firmware capabilities, keyword)\n\nfield `FwDevCap.PtzCap.ZoomLens`, offset 52, 1 byte\n\n`None` 0, "
       "`10x` 1, `22x` 2, `2.7x` 3, `35x` 4, `36x` 5, `18x` 6, `4x` 7, `3.6x` 8, `12x` 9, `26x` 10", 0, 9), ("`22x` gives `FwDevCap.PtzCap.ZoomLens` = 2 (0x2); the default is 0", 11, 14),
      ("`1` gives `FwDevCap.PtzCap.PTEnable` = 1 (0x1); the default is 0", 12, 13), None, None]),
    ((opened("\U0001F600\nZOOM_CAP='x'\n"), at(1, "textDocument/hover", 1, 10)), {}, hover,
     [("`x` is not a value of ZOOM_CAP: devcap2bin refuses the file", 10, 11)]),
    # a list's word replaced from its comma on; the word being typed is not taken as held
    ((opened("DN_SRC='DSP,'\n# \nX\nDN_SRC='DSP,CDS'"), at(1, "textDocument/completion", 0, 12),
      at(2, "textDocument/completion", 1, 2), at(3, "textDocument/completion", 2, 1), at(4, "textDocument/completion", 3, 15)), {},
     lambda s, g: [[(i["label"], i["textEdit"]["range"]["start"]["character"]) for i in m["result"]["items"]][:1]
                   for m in g[1:]], [[("CDS", 12)], [], [("SENSOR_ID", 0)], [("CDS", 12)]]),
    ((opened("ZOOM_CAP=''\n"), at(1, "textDocument/completion", 0, 10)), {},
     lambda s, g: [(i["label"], i["kind"]) for i in result(s, g)["items"]], [("OPTICAL", 20), ("DIGITAL", 20), ("None", 20)]),
    # an empty change and a change to a document never opened are dropped; a closed one has no findings left
    ((opened("x"), note("textDocument/didChange", textDocument={"uri": URI}, contentChanges=[]),
      note("textDocument/didClose", textDocument={"uri": URI}),
      note("textDocument/didChange", textDocument={"uri": URI}, contentChanges=[{"text": "y"}])), {},
     lambda s, g: [len(m["params"]["diagnostics"]) for m in g], [3, 0]),
]


class Server(unittest.TestCase):
    def test_exchanges(self):
        for row, (messages, options, project, want) in enumerate(EXCHANGES):
            with self.subTest(row=row):
                self.assertEqual(project(*session(*messages, **options)), want)

    def test_every_request_answered_once(self):
        rnd, messages = random.Random(7), [opened(GOOD + "FWCAP_DIS='x'\n\U0001F600='1'\nDN_SRC='DSP,'\n")]
        kinds = ("textDocument/hover", "textDocument/completion", "textDocument/codeAction", "nosuch")
        for id_ in range(1, 200):
            kind = rnd.choice(kinds)
            messages.append(actions(id_, rnd.randrange(8), 9) if kind.endswith("Action") else
                            at(id_, kind, rnd.randrange(9), rnd.randrange(30)))
        messages += [req(200, "shutdown"), note("exit")]
        status, got = session(*messages)
        self.assertEqual((status, sorted(m["id"] for m in got if "id" in m)), (0, list(range(1, 201))))

    def test_command_line(self):
        runs = [subprocess.run([LSP, a], capture_output=True, stdin=subprocess.DEVNULL)
                for a in ("--version", "--help", "-h", "--bogus")]
        self.assertEqual([(r.returncode, r.stdout[:11]) for r in runs],
                         [(0, b"devcap-lsp "), (0, b"usage: devc"), (0, b"usage: devc"), (2, b"")])


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1])
