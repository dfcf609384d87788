"""devcap: device capability records from Python, over libdevcap.

Convert a capability text into its 120-byte record and see why it was refused,
read a record and ask what the device has, set a field and check it again:

    >>> import devcap
    >>> result = devcap.convert(open("ipcam.txt", "rb").read())
    >>> result.written, result.record["FwDevCap.IO.DIs"]
    (True, 2)

Everything is done by libdevcap.so.1 through ctypes: the same reader, tables
and check as devcap2bin, so the bytes and the messages are devcap2bin's. The
library is looked up in $DEVCAP_LIBRARY, beside this package, in the library
directory of the prefix the package is installed under, and then by the
system's loader.
"""

from __future__ import annotations

import ctypes
import os
from dataclasses import dataclass, field
from typing import Iterator, NamedTuple, Optional, Union

__all__ = ["Conversion", "Check", "Entry", "Finding", "Record", "convert", "entries", "lint", "output_name", "version"]

RECORD_SIZE = 120

# Results of libdevcap.h.
_OK, _REFUSED, _NOT_FOUND, _TOO_WIDE, _BAD_ARGUMENT, _IO_ERROR = 0, -1, -2, -3, -4, -5


def _candidates() -> Iterator[str]:
    if os.environ.get("DEVCAP_LIBRARY"):
        yield os.environ["DEVCAP_LIBRARY"]
    here = os.path.dirname(os.path.abspath(__file__))
    yield os.path.join(here, "libdevcap.so.1")
    # <prefix>/lib/pythonX.Y/site-packages/devcap -> <prefix>/lib[/<multiarch>]
    lib = os.path.normpath(os.path.join(here, "..", "..", ".."))
    if os.path.isdir(lib):
        for entry in sorted(os.listdir(lib)):
            yield os.path.join(lib, entry, "libdevcap.so.1")
        yield os.path.join(lib, "libdevcap.so.1")
    yield "libdevcap.so.1"


def _load() -> ctypes.CDLL:
    for path in _candidates():
        if os.path.sep in path and not os.path.exists(path):
            continue
        try:
            return ctypes.CDLL(path)
        except OSError:
            continue
    raise ImportError("devcap: libdevcap.so.1 not found (set DEVCAP_LIBRARY to its path)")


_lib = _load()
_MessageFn = ctypes.CFUNCTYPE(None, ctypes.c_void_p, ctypes.POINTER(ctypes.c_char), ctypes.c_size_t)


class _FieldInfo(ctypes.Structure):
    _fields_ = [("path", ctypes.c_char_p), ("offset", ctypes.c_uint32), ("width", ctypes.c_uint32),
                ("entry", ctypes.c_char_p)]


class _EntryInfo(ctypes.Structure):
    _fields_ = [("name", ctypes.c_char_p), ("section", ctypes.c_char_p), ("kind", ctypes.c_char_p),
                ("field", ctypes.c_char_p), ("offset", ctypes.c_uint32), ("width", ctypes.c_uint32),
                ("keywords", ctypes.c_size_t), ("stop", ctypes.c_char_p)]


class _Finding(ctypes.Structure):
    _fields_ = [("line", ctypes.c_uint32), ("column", ctypes.c_uint32), ("severity", ctypes.c_char_p),
                ("rule", ctypes.c_char_p), ("message", ctypes.c_char_p)]


_FindingFn = ctypes.CFUNCTYPE(None, ctypes.c_void_p, ctypes.POINTER(_Finding))
_Bytes = ctypes.c_char * RECORD_SIZE


def _signature(name: str, restype, *argtypes) -> None:
    fn = getattr(_lib, name)
    fn.restype, fn.argtypes = restype, list(argtypes)


_p, _sz, _int, _u32 = ctypes.c_void_p, ctypes.c_size_t, ctypes.c_int, ctypes.c_uint32
_signature("DevCapLibVersion", ctypes.c_char_p)
_signature("DevCapRecordInit", None, _p)
_signature("DevCapConvertText", _int, ctypes.c_char_p, _sz, ctypes.c_char_p, _p, _MessageFn, _p)
_signature("DevCapCheckRecord", _int, _p, _MessageFn, _p)
_signature("DevCapOutputPath", _int, ctypes.c_char_p, ctypes.c_char_p, _sz, _MessageFn, _p)
_signature("DevCapRenderText", _sz, _p, ctypes.c_char_p, ctypes.c_char_p, _sz)
_signature("DevCapRenderLayout", _sz, _p, ctypes.c_char_p, _sz)
_signature("DevCapRenderJson", _sz, _p, ctypes.c_char_p, ctypes.c_char_p, _sz)
_signature("DevCapGetField", _int, _p, ctypes.c_char_p, ctypes.POINTER(_u32))
_signature("DevCapSetField", _int, _p, ctypes.c_char_p, _u32)
_signature("DevCapFieldCount", _sz)
_signature("DevCapFieldInfo", _int, _sz, ctypes.POINTER(_FieldInfo))
_signature("DevCapEntryCount", _sz)
_signature("DevCapEntryInfo", _int, _sz, ctypes.POINTER(_EntryInfo))
_signature("DevCapEntryKeyword", _int, _sz, _sz, ctypes.POINTER(ctypes.c_char_p), ctypes.POINTER(_u32))
_signature("DevCapLintText", _int, ctypes.c_char_p, _sz, _FindingFn, _p)


def version() -> str:
    """The version of the libdevcap in use, "MAJOR.MINOR.PATCH"."""
    return _lib.DevCapLibVersion().decode()


def output_name(path: Union[str, os.PathLike]) -> str:
    """The name devcap2bin gives the record of the text file at path, "BinFiles/<base name>.bin";
    ValueError when it would be longer than 255 characters."""
    buf = ctypes.create_string_buffer(256)
    if _lib.DevCapOutputPath(os.fsencode(path), buf, len(buf), _MessageFn(), None) != _OK:
        raise ValueError(f"{os.fspath(path)}: the record's name would be longer than 255 characters")
    return os.fsdecode(buf.value)


class _Said:
    """Collects the library's messages; lines are decoded with backslash escapes for bytes that are not UTF-8."""

    def __init__(self) -> None:
        self.data = bytearray()
        self.fn = _MessageFn(self._write)

    def _write(self, _ctx, text, length) -> None:
        self.data += ctypes.string_at(text, length)

    def lines(self) -> list[str]:
        """Split at line feeds only, as a terminal shows devcap2bin's output."""
        text = self.data.decode("utf-8", "backslashreplace")
        return text[:-1].split("\n") if text.endswith("\n") else (text.split("\n") if text else [])


def _render(fn, *args) -> str:
    need = fn(*args, None, 0)
    buf = ctypes.create_string_buffer(need + 1)
    fn(*args, buf, need + 1)
    return buf.raw[:need].decode("utf-8", "backslashreplace")


def _field_paths() -> list[str]:
    info = _FieldInfo()
    paths = []
    for i in range(_lib.DevCapFieldCount()):
        _lib.DevCapFieldInfo(i, ctypes.byref(info))
        paths.append(info.path.decode())
    return paths


class Check(NamedTuple):
    """The consistency check's verdict and the lines it printed."""
    passes: bool
    lines: list[str]


class Record:
    """One 120-byte device capability record, its fields read and set by path.

    >>> r = Record(open("BinFiles/ipcam.bin", "rb").read())
    >>> r["FwDevCap.IO.DIs"] = 3
    >>> r.check().lines
    ['DevCapDBCheckExtIO:Error. too many DIs (3)']
    """

    __slots__ = ("_bytes",)

    def __init__(self, data: Union[bytes, bytearray, memoryview, None] = None) -> None:
        """A record of exactly 120 bytes, or the defaults every conversion starts from when data is None."""
        self._bytes = _Bytes()
        if data is None:
            _lib.DevCapRecordInit(self._bytes)
            return
        data = bytes(data)
        if len(data) != RECORD_SIZE:
            raise ValueError(f"a device capability record is {RECORD_SIZE} bytes, not {len(data)}")
        ctypes.memmove(self._bytes, data, RECORD_SIZE)

    @classmethod
    def from_file(cls, path: Union[str, os.PathLike]) -> "Record":
        """The record in a .bin file; ValueError when the file is not 120 bytes."""
        with open(path, "rb") as f:
            data = f.read(RECORD_SIZE + 1)
        if len(data) != RECORD_SIZE:
            size = f"more than {RECORD_SIZE}" if len(data) > RECORD_SIZE else str(len(data))
            raise ValueError(f"{os.fspath(path)} is {size} bytes, not a {RECORD_SIZE}-byte device capability record")
        return cls(data)

    def __bytes__(self) -> bytes:
        return bytes(self._bytes)

    def __eq__(self, other: object) -> bool:
        return isinstance(other, Record) and bytes(self) == bytes(other)

    def __hash__(self) -> int:
        return hash(bytes(self))

    def __repr__(self) -> str:
        return f"Record({bytes(self)!r})"

    @staticmethod
    def fields() -> list[str]:
        """Every field's path, in offset order: "head.key" ... "CamCap.Rsvd"."""
        return _field_paths()

    def __getitem__(self, path: str) -> int:
        """A field of 1, 2 or 4 bytes by path; KeyError for an unknown path, ValueError for a wider field."""
        value = ctypes.c_uint32()
        result = _lib.DevCapGetField(self._bytes, self._path(path), ctypes.byref(value))
        self._raise(result, path, None)
        return value.value

    def __setitem__(self, path: str, value: int) -> None:
        """Sets a field; ValueError when value does not fit it (or it is wider than 4 bytes)."""
        if not isinstance(value, int) or isinstance(value, bool):
            raise TypeError(f"{path}: a field holds an int, not {type(value).__name__}")
        if not 0 <= value <= 0xFFFFFFFF:
            raise ValueError(f"{path}: {value} does not fit the field")
        self._raise(_lib.DevCapSetField(self._bytes, self._path(path), value), path, value)

    @staticmethod
    def _path(path: str) -> bytes:
        if not isinstance(path, str):
            raise TypeError(f"a field path is a str, not {type(path).__name__}")
        return path.encode()

    @staticmethod
    def _raise(result: int, path: str, value: Optional[int]) -> None:
        if result == _NOT_FOUND:
            raise KeyError(f"no field {path!r}; Record.fields() lists them")
        if result == _TOO_WIDE:
            what = "is wider than 4 bytes" if value is None else f"does not hold {value}"
            raise ValueError(f"{path} {what}")
        if result != _OK:
            raise RuntimeError(f"libdevcap answered {result} for {path}")

    def check(self) -> Check:
        """The consistency check, as devcap2bin runs it before writing."""
        said = _Said()
        result = _lib.DevCapCheckRecord(self._bytes, said.fn, None)
        return Check(result == _OK, said.lines())

    def to_text(self, source: str = "") -> str:
        """Capability text that converts back into this record, as devcapdump prints it."""
        return _render(_lib.DevCapRenderText, self._bytes, os.fsencode(source))

    def to_layout(self) -> str:
        """One line per field, as devcapdump --layout prints it."""
        return _render(_lib.DevCapRenderLayout, self._bytes)

    def to_json(self, source: str = "") -> str:
        """The record as JSON, as devcapdump --json prints it (source stands for the file name)."""
        return _render(_lib.DevCapRenderJson, self._bytes, os.fsencode(source))


@dataclass
class Conversion:
    """What devcap2bin would do with a text: the record (None when refused), its messages, whether it writes."""
    record: Optional[Record]
    messages: list[str] = field(default_factory=list)
    written: bool = False


def convert(text: Union[bytes, str], name: str = "") -> Conversion:
    """Converts capability text exactly as devcap2bin converts a file holding the same bytes (str is
    encoded as UTF-8), without touching any file. name stands for the file in the messages."""
    data = text.encode("utf-8") if isinstance(text, str) else bytes(text)
    record = Record()
    said = _Said()
    result = _lib.DevCapConvertText(data, len(data), os.fsencode(name), record._bytes, said.fn, None)
    written = result == _OK
    return Conversion(record if written else None, said.lines(), written)


class Entry(NamedTuple):
    """One entry of the capability text and the keywords (list elements) it takes, each with its code."""
    name: str
    section: str
    kind: str  # "keyword", "list", "number" or "version"
    field: str
    keywords: list[tuple[str, int]]
    stop: Optional[str]


def entries() -> list[Entry]:
    """Every entry, from the library's own tables, in the order its sections own them."""
    out = []
    info = _EntryInfo()
    text, code = ctypes.c_char_p(), ctypes.c_uint32()
    for i in range(_lib.DevCapEntryCount()):
        _lib.DevCapEntryInfo(i, ctypes.byref(info))
        words = []
        for k in range(info.keywords):
            _lib.DevCapEntryKeyword(i, k, ctypes.byref(text), ctypes.byref(code))
            words.append((text.value.decode(), code.value))
        out.append(Entry(info.name.decode(), info.section.decode(), info.kind.decode(), info.field.decode(), words,
                         info.stop.decode() if info.stop else None))
    return out


class Finding(NamedTuple):
    """One devcaplint finding."""
    line: int
    column: int
    severity: str
    rule: str
    message: str


def lint(text: Union[bytes, str]) -> list[Finding]:
    """devcaplint's findings on a text: an "error" exactly when convert() would refuse it."""
    data = text.encode("utf-8") if isinstance(text, str) else bytes(text)
    found: list[Finding] = []

    def collect(_ctx, f):
        c = f.contents
        found.append(Finding(c.line, c.column, c.severity.decode(), c.rule.decode(),
                             c.message.decode("utf-8", "backslashreplace")))

    _lib.DevCapLintText(data, len(data), _FindingFn(collect), None)
    return found
