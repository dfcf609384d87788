#!/usr/bin/env python3
"""The converter as a process, beside /bin/true and wc -l.

usage: bench/compare.py [path/to/devcap2bin]   (default build/devcap2bin)

Prints: wall time and (with valgrind) instruction counts of one conversion of
examples/ipcam.txt against /bin/true; throughput on a generated 200 MB file
against a plain C loop of fgets (build-bench/bench/fgets_loop, from
`cmake --workflow --preset bench`) and wc -l, best of three; peak memory (least of three) for
the 1 KB example and the 200 MB file; with valgrind, instructions streaming a
10 MB file against the fgets loop; devcaplint's lines a second on that file.
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BIN = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build", "devcap2bin"))
EXAMPLE = os.path.join(ROOT, "examples", "ipcam.txt")
FGETS = os.path.join(ROOT, "build-bench", "bench", "fgets_loop")
LINT = os.path.join(os.path.dirname(BIN), "devcaplint")


def wall(cmd, runs):
    """Best-of-runs wall time of cmd, in seconds."""
    best = None
    for _ in range(runs):
        start = time.perf_counter()
        subprocess.run(cmd, stdout=subprocess.DEVNULL, check=False)
        elapsed = time.perf_counter() - start
        best = elapsed if best is None else min(best, elapsed)
    return best


def instructions(cmd):
    out = subprocess.run(["valgrind", "--tool=callgrind", "--callgrind-out-file=/dev/null"] + cmd,
                         stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True, check=False).stderr
    return int(re.search(r"Collected : (\d+)", out).group(1))


def peak_kb(cmd, runs=3):
    """Least peak resident memory of runs runs of cmd, in KB (GNU time): one run
    varies by a page table or two with what the kernel had mapped before."""
    best = None
    for _ in range(runs):
        out = subprocess.run(["/usr/bin/time", "-f", "%M"] + cmd, stdout=subprocess.DEVNULL,
                             stderr=subprocess.PIPE, text=True, check=False).stderr
        kb = int(out.split()[-1])
        best = kb if best is None else min(best, kb)
    return best


def generate(path, size):
    body = open(EXAMPLE).read()
    body = body[:body.rindex("EOF=")]
    with open(path, "w") as f:
        written = 0
        while written < size:
            f.write(body)
            written += len(body)
        f.write("EOF=''\n")


def lint_many(work):
    """devcaplint over thousands of files in one process, against devcap2bin once per file."""
    os.mkdir("many")
    examples = [open(os.path.join(ROOT, "examples", n)).read() for n in sorted(os.listdir(os.path.join(ROOT, "examples")))]
    files = []
    for i in range(5000):
        path = os.path.join("many", f"cap{i}.txt")
        with open(path, "w") as f:
            f.write(examples[i % len(examples)].replace("FWCAP_DIS='2'", f"FWCAP_DIS='{i % 4}'"))
        files.append(path)
    t_lint = wall([LINT] + files, 3)
    script = 'for f in "$@"; do "$0" "$f"; done'
    t_conv = wall(["sh", "-c", script, BIN] + files, 1)
    print(f"lint {len(files)} files  devcaplint one process {t_lint:.3f} s ({t_lint / len(files) * 1e6:.0f} us a file)  "
          f"devcap2bin once per file {t_conv:.3f} s ({t_conv / len(files) * 1e6:.0f} us a file)")
    print(f"lint peak memory  50 files {peak_kb([LINT] + files[:50])} KB  {len(files)} files {peak_kb([LINT] + files)} KB")


def ten_mb(work):
    """Instructions streaming 10 MB against the fgets loop; devcaplint's lines a second over it."""
    path = os.path.join(work, "ten.txt")
    generate(path, 10 * 1024 * 1024)
    lines = sum(1 for _ in open(path, "rb"))
    if shutil.which("valgrind") and os.path.exists(FGETS):
        i_conv, i_fgets = instructions([BIN, path]), instructions([FGETS, path])
        print(f"instructions streaming 10 MB ({lines} lines)  devcap2bin {i_conv}  fgets loop {i_fgets}  "
              f"ratio {i_conv / i_fgets:.2f}x")
    if os.path.exists(LINT):
        t_lint = wall([LINT, path], 3)
        print(f"devcaplint 10 MB ({lines} lines)  {t_lint:.3f} s  {lines / t_lint:,.0f} lines/s")


def main():
    work = tempfile.mkdtemp()
    os.chdir(work)
    os.mkdir("BinFiles")
    try:
        conv = [BIN, EXAMPLE]
        true = ["/bin/true"]
        t_conv, t_true = wall(conv, 200), wall(true, 200)
        print(f"startup  devcap2bin {t_conv * 1e3:.3f} ms  /bin/true {t_true * 1e3:.3f} ms  ratio {t_conv / t_true:.2f}x")
        if shutil.which("valgrind"):
            i_conv, i_true = instructions(conv), instructions(true)
            print(f"instructions  devcap2bin {i_conv}  /bin/true {i_true}  ratio {i_conv / i_true:.2f}x")
        big = os.path.join(work, "big.txt")
        generate(big, 200 * 1024 * 1024)
        size = os.path.getsize(big)
        lines = sum(1 for _ in open(big, "rb"))
        subprocess.run(["cat", big], stdout=subprocess.DEVNULL, check=True)  # warm the page cache
        t_big, t_wc = wall([BIN, big], 3), wall(["wc", "-l", big], 3)
        print(f"streaming {size / 2**20:.0f} MB, {lines} lines  devcap2bin {t_big:.3f} s "
              f"({lines / t_big / 1e6:.1f} M lines/s)  wc -l {t_wc:.3f} s  ratio {t_big / t_wc:.2f}x")
        if os.path.exists(FGETS):
            t_fgets = wall([FGETS, big], 3)
            print(f"streaming  fgets loop {t_fgets:.3f} s  devcap2bin {t_big:.3f} s  ratio {t_big / t_fgets:.2f}x")
        print(f"peak memory  1 KB input {peak_kb(conv)} KB  200 MB input {peak_kb([BIN, big])} KB")
        ten_mb(work)
        if os.path.exists(LINT):
            lint_many(work)
    finally:
        shutil.rmtree(work)


if __name__ == "__main__":
    main()
