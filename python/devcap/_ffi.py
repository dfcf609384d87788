"""The C interface of libdevcap.so.1 (libdevcap.h) as ctypes declarations.

Every call's result is checked here, in one place: a result code the caller
does not expect becomes an exception naming the call's subject and the
library's own text for the code (DevCapStrError).
"""

from __future__ import annotations

import ctypes
import os
import sysconfig
from collections.abc import Iterator

OK, REFUSED, NOT_FOUND, TOO_WIDE, BAD_ARGUMENT, IO_ERROR = 0, -1, -2, -3, -4, -5
RECORD_SIZE = 120
SONAME = "libdevcap.so.1"


def _candidates() -> Iterator[str]:
    here = os.path.dirname(os.path.abspath(__file__))
    yield os.path.join(here, SONAME)
    # <prefix>/lib/pythonX.Y/site-packages/devcap, or lib/python3/dist-packages -> <prefix>/lib[/<multiarch>]
    lib = os.path.normpath(os.path.join(here, "..", "..", ".."))
    for sub in (sysconfig.get_config_var("MULTIARCH") or "", ""):
        yield os.path.join(lib, sub, SONAME)
    yield SONAME  # the system's loader: ld.so.cache, LD_LIBRARY_PATH


def _load() -> ctypes.CDLL:
    given = os.environ.get("DEVCAP_LIBRARY")
    if given:
        try:
            return ctypes.CDLL(given)
        except OSError as e:
            raise ImportError(f"devcap: DEVCAP_LIBRARY={given} cannot be loaded: {e}") from None
    tried = []
    for path in _candidates():
        if os.path.sep in path and not os.path.exists(path):
            continue
        try:
            return ctypes.CDLL(path)
        except OSError as e:
            tried.append(str(e) if str(e).startswith(path) else f"{path}: {e}")  # the loader may name it already
    raise ImportError(f"devcap: {SONAME} not found beside the module, under its prefix or by the system's loader "
                      f"({'; '.join(tried) or 'nothing to try'}); set DEVCAP_LIBRARY to its path")


lib = _load()

MessageFn = ctypes.CFUNCTYPE(None, ctypes.c_void_p, ctypes.POINTER(ctypes.c_char), ctypes.c_size_t)


class FieldInfo(ctypes.Structure):
    _fields_ = [("path", ctypes.c_char_p), ("offset", ctypes.c_uint32), ("width", ctypes.c_uint32),
                ("entry", ctypes.c_char_p)]


class EntryInfo(ctypes.Structure):
    _fields_ = [("name", ctypes.c_char_p), ("section", ctypes.c_char_p), ("kind", ctypes.c_char_p),
                ("field", ctypes.c_char_p), ("offset", ctypes.c_uint32), ("width", ctypes.c_uint32),
                ("keywords", ctypes.c_size_t), ("stop", ctypes.c_char_p)]


class Edit(ctypes.Structure):
    _fields_ = [("line", ctypes.c_uint32), ("column", ctypes.c_uint32), ("length", ctypes.c_uint32),
                ("text", ctypes.c_char_p)]


class Finding(ctypes.Structure):
    _fields_ = [("line", ctypes.c_uint32), ("column", ctypes.c_uint32), ("severity", ctypes.c_char_p),
                ("rule", ctypes.c_char_p), ("message", ctypes.c_char_p), ("edits", ctypes.POINTER(Edit)),
                ("nedits", ctypes.c_size_t), ("end", ctypes.c_uint32)]


class Line(ctypes.Structure):
    _fields_ = [(name, ctypes.c_size_t) for name in ("number", "start", "length", "end", "pieces")] + [
        ("kind", ctypes.c_int), ("name_end", ctypes.c_size_t), ("value", ctypes.c_size_t),
        ("value_end", ctypes.c_size_t), ("opened", ctypes.c_int), ("closed", ctypes.c_int),
        ("after", ctypes.c_size_t)]


class LintRule(ctypes.Structure):
    _fields_ = [("name", ctypes.c_char_p), ("severity", ctypes.c_char_p), ("summary", ctypes.c_char_p)]


FindingFn = ctypes.CFUNCTYPE(None, ctypes.c_void_p, ctypes.POINTER(Finding))
LineFn = ctypes.CFUNCTYPE(None, ctypes.c_void_p, ctypes.POINTER(Line))
BYTES, UTF16, CHARACTERS = 0, 1, 2
Record = ctypes.c_char * RECORD_SIZE


def strerror(result: int) -> str:
    return lib.DevCapStrError(result).decode()


def _checked(allowed: tuple[int, ...], subject: int | None):
    """An errcheck that passes the allowed codes and raises for the others."""
    def errcheck(result, func, args):
        if result in allowed or result >= 0:
            return result
        what = args[subject] if subject is not None else None
        what = os.fsdecode(what) if isinstance(what, bytes) else func.__name__
        error = {REFUSED: ValueError, NOT_FOUND: KeyError, TOO_WIDE: ValueError, BAD_ARGUMENT: ValueError,
                 IO_ERROR: OSError}
        raise error.get(result, RuntimeError)(f"{what}: {strerror(result)}")
    return errcheck


_p, _s, _i, _u, _cs = ctypes.c_void_p, ctypes.c_size_t, ctypes.c_int, ctypes.c_uint32, ctypes.c_char_p
# name: result type, argument types, the codes the caller handles itself, the argument a failure names
_DECLARATIONS = {
    "DevCapStrError": (_cs, [_i], None, None),
    "DevCapLibVersion": (_cs, [], None, None),
    "DevCapRecordInit": (None, [_p], None, None),
    "DevCapConvertText": (_i, [_cs, _s, _cs, _p, MessageFn, _p], (REFUSED,), None),
    "DevCapCheckRecord": (_i, [_p, MessageFn, _p], (REFUSED,), None),
    "DevCapOutputPath": (_i, [_cs, _cs, _s, MessageFn, _p], (), 0),
    "DevCapRenderTextTo": (_i, [_p, _cs, MessageFn, _p], (), None),
    "DevCapRenderLayoutTo": (_i, [_p, MessageFn, _p], (), None),
    "DevCapRenderJsonTo": (_i, [_p, _cs, MessageFn, _p], (), None),
    "DevCapGetField": (_i, [_p, _cs, ctypes.POINTER(_u)], (), 1),
    "DevCapSetField": (_i, [_p, _cs, _u], (), 1),
    "DevCapFieldCount": (_s, [], None, None),
    "DevCapFieldInfo": (_i, [_s, ctypes.POINTER(FieldInfo)], (), None),
    "DevCapEntryCount": (_s, [], None, None),
    "DevCapEntryInfo": (_i, [_s, ctypes.POINTER(EntryInfo)], (), None),
    "DevCapEntryKeyword": (_i, [_s, _s, ctypes.POINTER(_cs), ctypes.POINTER(_u)], (), None),
    "DevCapLintRuleCount": (_s, [], None, None),
    "DevCapLintRuleInfo": (_i, [_s, ctypes.POINTER(LintRule)], (), None),
    "DevCapLintDisable": (_i, [_cs, ctypes.POINTER(_u), MessageFn, _p], (), 0),
    "DevCapLintTextDisabled": (_i, [_cs, _s, _u, FindingFn, _p], (), None),
    "DevCapLintFixTo": (_i, [_cs, _s, _u, MessageFn, _p], (), None),
    "DevCapTextLines": (_s, [_cs, _s, LineFn, _p], None, None),
    "DevCapColumnConvert": (_s, [_cs, _s, _s, _i, _i], None, None),
    "DevCapRenderDiffJsonTo": (_i, [_p, _p, _cs, _cs, MessageFn, _p], (), None),
}
for _name, (_result, _args, _allowed, _subject) in _DECLARATIONS.items():
    try:
        _fn = getattr(lib, _name)
    except AttributeError:
        raise ImportError(f"devcap: the libdevcap in use ({lib._name}) has no {_name}: it is older than "
                          "this module") from None
    _fn.restype, _fn.argtypes = _result, _args
    if _allowed is not None:
        _fn.errcheck = _checked(_allowed, _subject)


def rendered(fn, *args) -> bytes:
    """A rendering (a function of the library's ...To form), written once through a message function."""
    said = Said()
    fn(*args, said.fn, None)
    return bytes(said.data)


def render(fn, *args) -> str:
    return rendered(fn, *args).decode("utf-8", "backslashreplace")


class Said:
    """Collects the library's messages; lines are decoded with backslash escapes for bytes that are not UTF-8."""

    def __init__(self) -> None:
        self.data = bytearray()
        self.fn = MessageFn(self._write)

    def _write(self, _ctx, text, length) -> None:
        self.data += ctypes.string_at(text, length)

    def lines(self) -> list[str]:
        """One item a message, without its final line feed. An "Unknown configuration" message
        quotes its line as read, line feed and all, so its closing "')" starts a line of its own."""
        text = self.data.decode("utf-8", "backslashreplace")
        messages: list[str] = []
        for line in (text[:-1] if text.endswith("\n") else text).split("\n") if text else []:
            if messages and line.startswith("')"):
                messages[-1] += "\n" + line
            else:
                messages.append(line)
        return messages
