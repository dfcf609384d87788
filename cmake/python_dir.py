"""Where this interpreter imports packages from under an install prefix.

usage: python3 python_dir.py PREFIX
Prints "DIR;1" for the *-packages directory of sys.path under PREFIX, or
"DIR;0" for the interpreter's own layout under PREFIX, which it does not read.
Of several, the shallowest, first on sys.path among equals: /usr/lib/python3/
dist-packages for /usr, never /usr/local/lib/python3.11/dist-packages, which
belongs to the prefix /usr/local.
"""
import os
import sys
import sysconfig

prefix = os.path.abspath(sys.argv[1])
under = [entry for entry in sys.path if entry.startswith(os.path.join(prefix, "")) and entry.endswith("-packages")]
if under:
    print(min(under, key=lambda entry: entry.count(os.sep)) + ";1")
else:
    print(sysconfig.get_path("purelib", "posix_prefix", {"base": prefix, "platbase": prefix}) + ";0")
