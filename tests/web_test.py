"""The workbench page in headless Chromium, driven through Selenium.

usage: /usr/bin/python3 web_test.py devcap.html examples-dir expected-dir
(Debian's python3-selenium, chromium and chromium-driver)
"""
import functools
import glob
import http.server
import os
import re
import sys
import tempfile
import threading
import unittest
from collections import Counter

from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.actions import action_builder, interaction, pointer_input
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.support.ui import WebDriverWait

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "web"))
from screenshots import chromium, drop  # noqa: E402  the page's own browser set-up

PAGE, EXAMPLES, EXPECTED = (os.path.abspath(a) for a in sys.argv[1:4])
NAMES = ("ipcam", "ptz-dome", "video-server")


def read(path, mode="rb"):
    with open(path, mode) as f:
        return f.read()


def expected(name):
    """devcap2bin's bytes for an example, as tests/expected writes them out by hand."""
    hexes = []
    for line in read(os.path.join(EXPECTED, name + ".hex"), "r").splitlines():
        if line.strip() and not line.startswith("#"):
            hexes += line.split()[1:]
    return bytes(int(h, 16) for h in hexes)


class Page(unittest.TestCase):
    url = "file://" + PAGE

    @classmethod
    def setUpClass(cls):
        cls.downloads = tempfile.mkdtemp()
        cls.driver = chromium(cls.downloads)

    @classmethod
    def tearDownClass(cls):
        cls.driver.quit()

    def setUp(self):
        self.driver.get(self.url)
        WebDriverWait(self.driver, 20).until(lambda d: d.execute_script("return document.body.dataset.ready"))
        for f in glob.glob(os.path.join(self.downloads, "*")):
            os.remove(f)

    def tearDown(self):
        errors = [e for e in self.driver.get_log("browser") if e["level"] == "SEVERE"]
        self.assertEqual(errors, [], "the browser logged errors")

    def drop(self, name, data=None, on="body"):
        """Drops a file holding data (or files, {name: data}) onto the page, as from a file manager."""
        drop(self.driver, name if data is None else {name: data}, self.css(on)[0])

    def css(self, selector):
        return self.driver.find_elements(By.CSS_SELECTOR, selector)

    def text(self, selector):
        return [e.text for e in self.css(selector)]

    def status(self, words):
        WebDriverWait(self.driver, 10).until(lambda d: words in d.find_element(By.ID, "status").text)

    def download(self, name, button="download"):
        self.driver.find_element(By.ID, button).click()
        path = os.path.join(self.downloads, name)
        WebDriverWait(self.driver, 10).until(lambda d: os.path.exists(path) and os.path.getsize(path) > 0)
        return read(path)

    def test_no_error_at_first_the_menu_examples_convert_and_typing_converts(self):
        for pick, name in ((None, "ipcam"), (2, "ptz-dome"), (3, "video-server"), (0, None)):  # 0: a new text
            if pick is not None:
                self.css("#start summary")[0].click()
                self.driver.switch_to.active_element.send_keys(*[Keys.ARROW_DOWN] * (pick + 1), Keys.ENTER)
            self.assertEqual(self.css("#lines .error, #findings .error, #status.bad"), [])
            if name:
                self.status(f"would write BinFiles/{name}.bin")
                self.assertEqual(self.download(name + ".bin"), expected(name))
        self.driver.switch_to.active_element.send_keys(read(os.path.join(EXAMPLES, "ipcam.txt"), "r"))  # the editor
        self.status("devcap2bin would write BinFiles/untitled.bin")
        self.drop(".txt", read(os.path.join(EXAMPLES, "ipcam.txt")))  # the name is the core's, not the script's
        self.status("would write BinFiles/.bin")

    def test_findings_on_their_lines_and_fixes(self):
        self.drop("bad.txt", b"SENSOR_ID='MT9P031'\nSENSOR_CTRL='I2C'\nSENSOR_VOUT='CCIR656_8'\n"
                             b"FWCAP_UNIT_TYPE='IP Camra'\nFWCAP_DIS='two'\nMD_SRC='ENCODER'\n")
        self.status("refuses")
        gutter = {n: self.driver.find_element(By.ID, f"ln-{n}").get_attribute("class") for n in range(1, 7)}
        self.assertEqual(gutter, {1: "", 2: "", 3: "", 4: "error", 5: "warning", 6: ""})
        items = [(li.get_attribute("data-line"), li.get_attribute("class"), li.text) for li in self.css("#findings li")]
        self.assertEqual([i[:2] for i in items], [("4", "error"), ("5", "warning")])
        self.assertIn("did you mean 'IP Camera'? [bad-value]", items[0][2])
        self.assertIn("Txt2BinUnitType:Error. Unknown unit type 'IP Camra'", self.text("#messages")[0])
        self.assertFalse(self.driver.find_element(By.ID, "download").is_enabled())
        self.css("#findings .error .fix")[0].click()
        self.status("would write BinFiles/bad.bin")
        self.driver.switch_to.active_element.send_keys(Keys.CONTROL, "z")  # undone as a keystroke is
        self.status("refuses")

    def test_a_finding_selects_its_text_counted_in_characters_and_fix_all_is_the_cores(self):
        for name, line, rule, label, selected in (  # astral: two UTF-16 units, one character; 5,000 characters
                ("e", "FWCAP_UNIT_TYPE='éIP Camra'", "bad-value", "1:18", "éIP Camra"),
                ("astral", "FWCAP_UNIT_TYPE='\U0001F4F7IP Camra'", "bad-value", "1:18", "\U0001F4F7IP Camra"),
                ("long", "FWCAP_UNIT_TYPE='é" + "x" * 4980 + "'", "split-line", "1:159", None)):  # byte 160: 'x' 159
            self.drop(name + ".txt", (line + "\nMD_SRC='ENCODER'\n").encode())
            WebDriverWait(self.driver, 10).until(lambda d: self.text("#filename") == [name + ".txt"])
            found = [li.find_element(By.CLASS_NAME, "at") for li in self.css("#findings li") if f"[{rule}]" in li.text]
            found[0].click()  # selects what the finding is about
            got = self.driver.execute_script("return editor.value.slice(editor.selectionStart, editor.selectionEnd)")
            self.assertEqual(([at.text for at in found], got), ([label], selected or got))
        self.drop("bom.txt", b"\xEF\xBB\xBFSENSOR_ID=MT9P031\nMD_SRC=ENCODER\n")  # mended in one go
        self.driver.find_element(By.ID, "fixall").click()
        self.assertEqual(self.driver.execute_script("return editor.value"), "SENSOR_ID='MT9P031'\nMD_SRC='ENCODER'\n")

    def test_long_lines_wrap_and_a_click_level_with_a_marker_lands_on_its_line(self):
        lines = [line for line in read(os.path.join(EXAMPLES, "ipcam.txt"), "r").splitlines() if len(line) < 50]
        for name, wide in (("plain.txt", ""), ("wide.txt", "# " + "wide " * 60)):  # the second wraps over rows
            self.drop(name, "\n".join([wide] + lines[:-1] + ["FWCAP_UNIT_TYPE='IP Camra'", "EOF=''"]).encode())
            WebDriverWait(self.driver, 10).until(lambda d: self.text("#filename") == [name])
            marks = self.driver.execute_async_script("""const done = arguments[0], ed = document.getElementById("editor");
                ed.scrollTop = ed.scrollHeight;  // each click's line, where the caret lands
                ed.onclick = () => landed.push(ed.value.slice(0, ed.selectionStart).split("\\n").length);
                requestAnimationFrame(() => requestAnimationFrame(() => done([ed.scrollWidth > ed.clientWidth, ...[
                    ...document.querySelectorAll("#lines .error, #lines .warning")].map((m) => [Number(m.id.slice(3)),
                    ed.getBoundingClientRect().left + 40, m.getBoundingClientRect().top + 9]).filter(([, , y]) =>
                    y > ed.getBoundingClientRect().top)])));  window.landed = [];""")
            clicks = action_builder.ActionBuilder(self.driver)
            for _, x, y in marks[1:]:
                clicks.pointer_action.move_to_location(int(x), int(y)).click()
            clicks.perform()
            self.assertEqual((marks[0], len(marks) > 1, self.driver.execute_script("return landed")),
                             (False, True, [line for line, _, _ in marks[1:]]))

    def test_dropped_record_replaces_the_edited_one_everywhere_and_compares(self):
        self.driver.find_element(By.ID, "editor").send_keys(Keys.CONTROL, Keys.END, "\n# edited")
        cell = lambda at: self.driver.find_element(By.CSS_SELECTOR, f'#map [data-offset="{at}"]')
        ActionChains(self.driver).move_to_element(self.css("#field-30")[0]).click().perform()  # hover, click: MiscIO
        record = expected("ipcam")[:43] + b"\x31" + expected("ipcam")[44:]  # DCIRIS and bits no keyword has
        self.drop("odd.bin", record)
        WebDriverWait(self.driver, 10).until(lambda d: "unknown" in cell(43).get_attribute("class"))
        self.assertNotIn("unknown", cell(36).get_attribute("class"))
        self.assertRegex(self.text("#detail")[0], "^field\nFwDevCap.IO.MiscIO\n(.*\n)*no entry can produce this value$")
        self.assertEqual(self.download("odd.bin"), record)
        self.drop("ipcam.bin", expected("ipcam"), "#compare")
        WebDriverWait(self.driver, 10).until(lambda d: self.text(".differs") == ["31", "FwDevCap.IO.MiscIO differs"])
        self.assertRegex(self.text("#compare")[0], r": 1 field differs\.\s+FwDevCap\.IO\.MiscIO  FWCAP_MISC_IO  ")

        self.drop("ipcam.bin", expected("ipcam"))
        WebDriverWait(self.driver, 10).until(lambda d: d.find_element(By.ID, "recordbox").is_displayed())
        self.assertEqual((self.text("#checklines"), self.css("#map .differs")), (["passes"], []))
        self.driver.find_element(By.ID, "totext").click()
        self.status("would write BinFiles/ipcam.bin")
        self.assertEqual(self.download("ipcam.bin"), expected("ipcam"))
        self.drop("bad.txt", b"FWCAP_UNIT_TYPE='IP Camra'\n", "#compare")  # its lines, and nothing compared
        WebDriverWait(self.driver, 10).until(lambda d: "bad.txt: Txt2BinUnitType:Error. Unknown unit type 'IP Camra'\n"
                                             in self.text("#difflines")[0] and self.text("#uncompare") == [""])
        self.drop("ipcam.bin", expected("ipcam"))
        WebDriverWait(self.driver, 10).until(lambda d: self.text("#comparewith")[0].startswith("Open or drop"))

    def test_keyboard_suggestions(self):
        editor = self.driver.find_element(By.ID, "editor")
        editor.send_keys(Keys.CONTROL, "a")
        editor.send_keys("SENSOR_V")
        self.assertEqual(self.text("#suggest li"), ["SENSOR_VIN", "SENSOR_VOUT"])
        at = lambda: self.driver.execute_script("return ['suggest', 'editor'].map((id) => document.getElementById(id).getBoundingClientRect())")
        first = at()
        editor.send_keys(Keys.ARROW_DOWN, Keys.ENTER, "c")
        self.assertEqual(self.text("#suggest li"), ["CCIR656_8", "CCIR656_16", "CVBS"])
        editor.send_keys(Keys.ARROW_UP, Keys.TAB)
        self.assertEqual(editor.get_attribute("value"), "SENSOR_VOUT='CVBS'")
        editor.send_keys("\nDN_SRC='DSP,", Keys.CONTROL, " ")  # a list offers what it does not hold yet
        self.assertEqual(self.text("#suggest li"), ["CDS"])
        (lst, ed), (was, _) = at(), first  # at the caret, over the text: one line lower, further right
        self.assertEqual((lst["top"] - was["top"], lst["left"] > was["left"], ed["top"] < was["top"] < ed["top"] + 40,
                          lst["bottom"] < ed["bottom"]), (18, True, True, True))

    def test_keyboard_tab_stops_show_focus_and_arrows_move_in_map_and_legend(self):
        stops = []  # tag, role, whether a focus ring shows (and no scroll moved), Tab by Tab to the page's end
        while len(stops) < 30 and (not stops or stops[-1][0] != "BODY"):
            ActionChains(self.driver).send_keys(Keys.TAB).perform()
            stops.append(self.driver.execute_script("const e = document.activeElement; return [e.tagName, e.role, "
                                                    "!e.scrollTop && e.offsetWidth > 1 && "
                                                    "getComputedStyle(e).outlineStyle != 'none']"))
        roles = [role for _, role, _ in stops]
        self.assertEqual(([s for s in stops[:-1] if not s[2]], roles.count("gridcell"), roles.count("option"),
                          len(stops) < 15), ([], 1, 1, True), stops)
        for start, key, to in (("#map", Keys.ARROW_RIGHT, "byte-1"), (None, Keys.ARROW_DOWN, "byte-17"),
                               (None, Keys.END, "byte-31"), (None, Keys.CONTROL + Keys.END, "byte-119"),
                               (None, Keys.ARROW_DOWN, "byte-119"), ("#legend", Keys.END, "field-55"),
                               (None, Keys.ARROW_UP, "field-54")):
            (self.css(start + " [tabindex='0']")[0] if start else self.driver.switch_to.active_element).send_keys(key)
            focused = self.driver.switch_to.active_element
            self.assertEqual(focused.get_attribute("id"), to)
            self.assertIn(self.text("#detail dd")[0], focused.get_attribute("title") or focused.text)

    def test_phone_no_sideways_scrolling_every_byte_in_sight_and_every_field_shown_by_tapping(self):
        self.addCleanup(self.driver.set_window_size, 1280, 800)
        for width, height in ((420, 900), (390, 844)):
            self.driver.set_window_size(width, height)
            self.setUp()
            self.assertEqual(self.driver.execute_script("""window.shown = new Set();
                new MutationObserver(() => shown.add(document.querySelector("#detail dd").textContent))
                    .observe(document.getElementById("detail"), {childList: true});
                document.getElementById("record-title").scrollIntoView();
                return [innerWidth >= document.documentElement.scrollWidth, [...document.querySelectorAll("#map .byte")]
                    .filter((b) => { const r = b.getBoundingClientRect();  // what a tap at its middle reaches
                        return document.elementFromPoint(r.x + r.width / 2, r.y + r.height / 2) !== b; }).length]"""),
                             [True, 0], width)
            taps = action_builder.ActionBuilder(
                self.driver, mouse=pointer_input.PointerInput(interaction.POINTER_TOUCH, "finger"), duration=0)
            for cell in self.css("#map .byte"):
                taps.pointer_action.move_to(cell).pointer_down().pointer_up()
            taps.perform()
            self.assertEqual(*self.driver.execute_script("""return [[...shown].sort(),
                [...document.querySelectorAll("#legend li")].map((li) => li.textContent).sort()]"""))

    def test_fleet_dropped_marked_sorted_filtered_exported_opened_by_keyboard_and_narrow(self):
        files = {n + ".txt": read(os.path.join(EXAMPLES, n + ".txt")) for n in NAMES}
        value = lambda entry: {n: (re.search(entry + rb"='(.*)'", t) or [0, b""])[1].decode() for n, t in files.items()}
        unit, pt = value(b"FWCAP_UNIT_TYPE"), value(b"PT_ENABLED")
        for record in ("ipcam.bin", "nofront.bin"):  # the second without a sensor: its check fails
            unit[record], pt[record] = unit["ipcam.txt"], pt["ipcam.txt"]
        self.drop({**files, "bad.txt": b"FWCAP_UNIT_TYPE='IP Camra'\n", "ipcam.bin": expected("ipcam"),
                   "nofront.bin": expected("ipcam")[:16] + b"\0" + expected("ipcam")[17:]}, on="#fleet")
        WebDriverWait(self.driver, 10).until(lambda d: d.execute_script("return document.body.dataset.fleet") == "6")
        heads = self.text("#fleettable th")
        rows = lambda: self.driver.execute_script("""return [...document.querySelectorAll("#fleettable tbody tr")]
            .map((tr) => [...tr.cells].map((td) => td.textContent + (td.classList.contains("odd") ? " *" : "")))""")
        column = lambda path: {r[0]: r[heads.index(path)] for r in rows()}
        mark = lambda col: {n: v + ("" if not v or Counter(filter(None, col.values())).most_common(1)[0][0] == v else " *")
                            for n, v in col.items()}  # a device without a record is neither counted nor marked
        cells = {"kind": {**{n: "text" for n in files}, "bad.txt": "text", "ipcam.bin": "record", "nofront.bin": "record"},
                 "status": {**{n: "ok" for n in files}, "bad.txt": "refused", "ipcam.bin": "ok", "nofront.bin": "refused"},
                 "FwDevCap.type": {**unit, "bad.txt": ""}, "FwDevCap.PtzCap.PTEnable": {**pt, "bad.txt": ""}}
        self.assertEqual({c: column(c) for c in cells}, {c: mark(col) for c, col in cells.items()})
        up, down = (sorted(sorted(unit), key=unit.get, reverse=r) for r in (False, True))  # ties by name; bad.txt last
        grid = self.css("#fleettable [tabindex='0']")[0]
        for keys, order in (([Keys.ARROW_RIGHT] * heads.index("FwDevCap.type") + [Keys.ENTER], up + ["bad.txt"]),
                            ([Keys.ENTER], down + ["bad.txt"]),  # a heading sorts, again the other way
                            ([Keys.ARROW_DOWN, "r"], [n for n in down if "r" in unit[n].lower()])):
            grid.send_keys(*keys)
            grid = self.driver.switch_to.active_element
            self.assertEqual([r[0] for r in rows()], order)
        csv = self.download("fleet.csv", "csv").decode().splitlines()
        self.assertEqual((csv[0].split(",")[:4], [line.split(",")[0] for line in csv[1:]]), (heads[:4], order))
        grid.send_keys(Keys.ARROW_DOWN, Keys.ENTER)  # the first row on show, opened
        self.status(f"would write BinFiles/{order[0][:-4]}.bin")
        self.addCleanup(self.driver.set_window_size, 1280, 800)
        self.driver.set_window_size(390, 844)  # the table scrolls in its box, not the page
        self.assertTrue(self.driver.execute_script("return innerWidth >= document.documentElement.scrollWidth && "
                                                   "fleetbox.scrollWidth > fleetbox.clientWidth"))


class Served(Page):
    """The same page from a static web server."""
    quiet = type("Quiet", (http.server.SimpleHTTPRequestHandler,), {"log_message": lambda *args: None})
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(quiet, directory=os.path.dirname(PAGE)))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    url = f"http://127.0.0.1:{server.server_port}/{os.path.basename(PAGE)}"


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1])
