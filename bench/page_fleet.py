"""The workbench page reading generated texts into its fleet table, as a drop of that many files does.

usage: /usr/bin/python3 bench/page_fleet.py build-web/devcap.html [COUNT]   (1,000 by default)
Three drops; each prints the time from the drop to the first frame that shows the table.
"""
import base64
import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "web"))
from screenshots import chromium  # noqa: E402

page, count = os.path.abspath(sys.argv[1]), int(sys.argv[2]) if len(sys.argv) > 2 else 1000
examples = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "examples")
texts = [open(os.path.join(examples, n), "rb").read() for n in sorted(os.listdir(examples)) if n.endswith(".txt")]
# Each a shipped example with its own iris level and number of alarm inputs.
files = [(f"model-{i:05}.txt", base64.b64encode(texts[i % len(texts)] + b"CAMERA_DCIRIS_LEVEL='%d'\nFWCAP_DIS='%d'\n"
                                                 % (i % 256, i % 5)).decode()) for i in range(count)]
driver = chromium()
driver.get("file://" + page)
while not driver.execute_script("return document.body.dataset.ready"):
    time.sleep(0.1)
for run in range(3):
    driver.execute_script("""window.transfer = new DataTransfer();
        for (const [name, bytes] of arguments[0])
            transfer.items.add(new File([Uint8Array.from(atob(bytes), (c) => c.charCodeAt(0))], name));
        delete document.body.dataset.fleet;""", files)
    ms = driver.execute_async_script("""const done = arguments[1], start = performance.now();
        document.getElementById("fleet").dispatchEvent(new DragEvent("drop", {dataTransfer: transfer, bubbles: true}));
        const shown = () => document.body.dataset.fleet === String(arguments[0])
            ? requestAnimationFrame(() => done(performance.now() - start)) : setTimeout(shown, 5);
        shown();""", count)
    print(f"{count} files dropped, their table on show in {ms:.0f} ms", driver.find_element("id", "status").text)
driver.quit()
