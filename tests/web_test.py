"""The workbench page in headless Chromium, driven through Selenium.

usage: /usr/bin/python3 web_test.py devcap.html examples-dir expected-dir
(Debian's python3-selenium, chromium and chromium-driver)
"""
import base64
import functools
import glob
import http.server
import os
import sys
import tempfile
import threading
import unittest

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.actions import action_builder, interaction, pointer_input
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.support.ui import WebDriverWait

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
        options = webdriver.ChromeOptions()
        for flag in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                     "--disable-background-networking", "--disable-component-update", "--disable-sync",
                     "--window-size=1280,800", f"--user-data-dir={tempfile.mkdtemp()}"):
            options.add_argument(flag)
        options.binary_location = "/usr/bin/chromium"
        options.add_experimental_option("prefs", {"download.default_directory": cls.downloads,
                                                  "download.prompt_for_download": False})
        options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
        cls.driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)

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

    def drop(self, name, data, on="body"):
        """Drops a file holding data onto the page, as a user dragging it from a file manager."""
        self.driver.execute_script("""const transfer = new DataTransfer(), bytes = atob(arguments[1]);
            transfer.items.add(new File([Uint8Array.from(bytes, (c) => c.charCodeAt(0))], arguments[0]));
            arguments[2].dispatchEvent(new DragEvent("drop", {dataTransfer: transfer, bubbles: true}));
        """, name, base64.b64encode(data).decode(), self.css(on)[0])

    def css(self, selector):
        return self.driver.find_elements(By.CSS_SELECTOR, selector)

    def text(self, selector):
        return [e.text for e in self.css(selector)]

    def status(self, words):
        WebDriverWait(self.driver, 10).until(lambda d: words in d.find_element(By.ID, "status").text)

    def download(self, name):
        self.driver.find_element(By.ID, "download").click()
        path = os.path.join(self.downloads, name)
        WebDriverWait(self.driver, 10).until(lambda d: os.path.exists(path) and os.path.getsize(path) == 120)
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

    def test_long_lines_wrap_and_a_click_level_with_a_marker_lands_on_its_line(self):
        lines = [line for line in read(os.path.join(EXAMPLES, "ipcam.txt"), "r").splitlines() if len(line) < 50]
        for name, wide in (("plain.txt", ""), ("wide.txt", "# " + "wide " * 60)):  # the second wraps over rows
            self.drop(name, "\n".join([wide] + lines[:-1] + ["FWCAP_UNIT_TYPE='IP Camra'", "EOF=''"]).encode())
            WebDriverWait(self.driver, 10).until(lambda d: self.text("#filename") == [name])
            marks = self.driver.execute_async_script("""const done = arguments[0], ed = document.getElementById("editor");
                ed.scrollTop = ed.scrollHeight;
                requestAnimationFrame(() => requestAnimationFrame(() => done([ed.scrollWidth > ed.clientWidth, ...[
                    ...document.querySelectorAll("#lines .error, #lines .warning")].map((m) => [Number(m.id.slice(3)),
                    ed.getBoundingClientRect().left + 40, m.getBoundingClientRect().top + 9]).filter(([, , y]) =>
                    y > ed.getBoundingClientRect().top)])));""")
            landed = []
            for line, x, y in marks[1:]:
                click = action_builder.ActionBuilder(self.driver)
                click.pointer_action.move_to_location(int(x), int(y)).click()
                click.perform()
                landed.append(self.driver.execute_script("const ed = document.getElementById('editor');"
                                                         "return ed.value.slice(0, ed.selectionStart).split('\\n').length"))
            self.assertEqual((marks[0], len(marks) > 1, landed), (False, True, [line for line, _, _ in marks[1:]]))

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
                          len(stops) < 12), ([], 1, 1, True), stops)
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


class Served(Page):
    """The same page from a static web server."""
    @classmethod
    def setUpClass(cls):
        quiet = type("Quiet", (http.server.SimpleHTTPRequestHandler,), {"log_message": lambda *args: None})
        cls.server = http.server.ThreadingHTTPServer(
            ("127.0.0.1", 0), functools.partial(quiet, directory=os.path.dirname(PAGE)))
        threading.Thread(target=cls.server.serve_forever, daemon=True).start()
        cls.url = f"http://127.0.0.1:{cls.server.server_port}/{os.path.basename(PAGE)}"
        super().setUpClass()

    @classmethod
    def tearDownClass(cls):
        super().tearDownClass()
        cls.server.shutdown()


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1])
