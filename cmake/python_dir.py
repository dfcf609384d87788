"""Where this interpreter imports packages from under an install prefix.

usage: python3 python_dir.py PREFIX
Prints "DIR;1" for the first *-packages directory of sys.path under PREFIX,
or "DIR;0" for the interpreter's own layout under PREFIX, which it does not read.
"""
import os
import sys
import sysconfig

prefix = os.path.abspath(sys.argv[1])
for entry in sys.path:
    if entry.startswith(prefix + os.sep) and entry.endswith("-packages"):
        print(f"{entry};1")
        break
else:
    print(sysconfig.get_path("purelib", "posix_prefix", {"base": prefix, "platbase": prefix}) + ";0")
