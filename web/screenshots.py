"""Retakes the workbench screenshots the README shows, in headless Chromium
(whose set-up and file drops the browser tests share).

usage: /usr/bin/python3 web/screenshots.py build-web/devcap.html examples web
(Debian's python3-selenium, chromium and chromium-driver)
"""
import base64
import os
import sys
import tempfile
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service


def chromium(downloads=None):
    """Headless Chromium with nothing of its own on the network, keeping the page's console."""
    options = webdriver.ChromeOptions()
    for flag in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                 "--disable-background-networking", "--disable-component-update", "--disable-sync",
                 "--window-size=1280,800", f"--user-data-dir={tempfile.mkdtemp()}"):
        options.add_argument(flag)
    options.binary_location = "/usr/bin/chromium"
    if downloads:
        options.add_experimental_option("prefs", {"download.default_directory": downloads,
                                                  "download.prompt_for_download": False})
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    return webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)


def drop(driver, files, on):
    """Drops files ({name: bytes}) onto the element on (or the one a CSS selector names), as from a file manager."""
    driver.execute_script("""const transfer = new DataTransfer();
        for (const [name, bytes] of arguments[0])
            transfer.items.add(new File([Uint8Array.from(atob(bytes), (c) => c.charCodeAt(0))], name));
        const on = typeof arguments[1] === "string" ? document.querySelector(arguments[1]) : arguments[1];
        on.dispatchEvent(new DragEvent("drop", {dataTransfer: transfer, bubbles: true}));
    """, [(n, base64.b64encode(b).decode()) for n, b in files.items()], on)


def shot(driver, name, width, height, *steps):
    """The page in a window whose inside is width x height, after the steps (scripts or drops)."""
    driver.set_window_size(width, height)
    inner = driver.execute_script("return [innerWidth, innerHeight]")
    driver.set_window_size(2 * width - inner[0], 2 * height - inner[1])
    driver.get("file://" + os.path.abspath(PAGE))
    while not driver.execute_script("return document.body.dataset.ready"):
        time.sleep(0.1)
    for step in steps:
        drop(driver, *step) if isinstance(step, tuple) else driver.execute_script(step)
        time.sleep(0.5)
    driver.save_screenshot(os.path.join(OUT, name))


if __name__ == "__main__":
    PAGE, EXAMPLES, OUT = sys.argv[1:4]
    IPCAM = open(os.path.join(EXAMPLES, "ipcam.txt"), "rb").read()
    # The IP camera with a slip, a spelling the linter can fix and a lens of its own.
    REVISED = IPCAM.replace(b"FWCAP_DIS='2'", b"FWCAP_DIS='two'").replace(b"DSP,CDS", b"DSP,cds").replace(b"F1.4", b"F1.6")
    driver = chromium()
    tap = """document.getElementById("record-title").scrollIntoView();
        document.getElementById("byte-43").dispatchEvent(new MouseEvent("mouseover", {bubbles: true}));"""
    shot(driver, "workbench.png", 1280, 900, ({"ipcam-revd.txt": REVISED}, "body"), ({"ipcam.txt": IPCAM}, "#compare"),
         """document.getElementById("editor").scrollTop = 11 * 18;
            document.getElementById("byte-40").dispatchEvent(new MouseEvent("mouseover", {bubbles: true}));""")
    shot(driver, "workbench-phone.png", 420, 900, tap)
    shot(driver, "workbench-390.png", 390, 844, tap)
    fleet = {n: open(os.path.join(EXAMPLES, n), "rb").read() for n in sorted(os.listdir(EXAMPLES)) if n.endswith(".txt")}
    fleet.update({"ipcam-revd.txt": REVISED, "bad.txt": b"FWCAP_UNIT_TYPE='IP Camra'\n"})
    shot(driver, "workbench-fleet.png", 1280, 900, (fleet, "#fleet"))
    driver.quit()
