"""devcap: device capability records from Python, over libdevcap.

Convert a capability text into its 120-byte record and see why it was refused,
read a record and ask what the device has, set a field and check it again,
compare two records, lint a text and mend it:

    >>> import devcap, pathlib
    >>> result = devcap.convert(pathlib.Path("examples/ipcam.txt").read_bytes())
    >>> result.written, result.record["FwDevCap.IO.DIs"]
    (True, 2)

Everything is done by libdevcap.so.1 through ctypes (the declarations are in
devcap._ffi): the same reader, tables and check as devcap2bin, so the bytes
and the messages are devcap2bin's. The library is the one $DEVCAP_LIBRARY
names; else the one beside this package, in the library directory of the
prefix the package is installed under, or the one the system's loader finds.
"""

from __future__ import annotations

import ctypes
import json
import os
from dataclasses import dataclass, field
from typing import NamedTuple

from . import _ffi
from ._ffi import lib as _lib

__all__ = ["Change", "Check", "Conversion", "Diff", "Edit", "Entry", "Finding", "Position", "Range", "Record",
           "convert", "entries", "fix", "lint", "output_name", "rules", "version"]

RECORD_SIZE = _ffi.RECORD_SIZE
_NONE = _ffi.MessageFn()


def version() -> str:
    """The version of the libdevcap in use, "MAJOR.MINOR.PATCH"."""
    return _lib.DevCapLibVersion().decode()


__version__ = version()


def output_name(path: str | os.PathLike) -> str:
    """The name devcap2bin gives the record of the text file at path, "BinFiles/<base name>.bin";
    ValueError when it would be longer than 255 characters."""
    buf = ctypes.create_string_buffer(256)
    _lib.DevCapOutputPath(os.fsencode(path), buf, len(buf), _NONE, None)
    return os.fsdecode(buf.value)


class Check(NamedTuple):
    """The consistency check's verdict and the lines it printed."""
    passes: bool
    lines: list[str]


class Change(NamedTuple):
    """A field whose value differs: its path, the entry that sets it (or None), both values as text."""
    path: str
    entry: str | None
    a: str
    b: str


class Diff(NamedTuple):
    """What differs between two records: the fields, and the check's lines that disappear and appear."""
    fields: list[Change]
    disappear: list[str]
    appear: list[str]

    @property
    def same(self) -> bool:
        return not self.fields


class Record:
    """One 120-byte device capability record, its fields read and set by path.

    >>> r = Record.from_file("BinFiles/ipcam.bin")
    >>> r["FwDevCap.IO.DIs"] = 3
    >>> r.check().lines
    ['DevCapDBCheckExtIO:Error. too many DIs (3)']

    Records compare equal byte for byte; being mutable, they are not hashable.
    """

    __slots__ = ("_bytes",)
    __hash__ = None  # type: ignore[assignment]

    def __init__(self, data: bytes | bytearray | memoryview | None = None) -> None:
        """A record of exactly 120 bytes, or the defaults every conversion starts from when data is None."""
        self._bytes = _ffi.Record()
        if data is None:
            _lib.DevCapRecordInit(self._bytes)
            return
        data = bytes(data)
        if len(data) != RECORD_SIZE:
            raise ValueError(f"a device capability record is {RECORD_SIZE} bytes, not {len(data)}")
        ctypes.memmove(self._bytes, data, RECORD_SIZE)

    @classmethod
    def from_file(cls, path: str | os.PathLike) -> Record:
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

    def __repr__(self) -> str:
        return f"Record({bytes(self)!r})"

    @staticmethod
    def fields() -> list[str]:
        """Every field's path, in offset order: "head.key" ... "CamCap.Rsvd"."""
        info = _ffi.FieldInfo()
        paths = []
        for i in range(_lib.DevCapFieldCount()):
            _lib.DevCapFieldInfo(i, ctypes.byref(info))
            paths.append(info.path.decode())
        return paths

    def __getitem__(self, path: str) -> int:
        """A field of 1, 2 or 4 bytes by path; KeyError for an unknown path, ValueError for a wider field."""
        value = ctypes.c_uint32()
        _lib.DevCapGetField(self._bytes, _path(path), ctypes.byref(value))
        return value.value

    def __setitem__(self, path: str, value: int) -> None:
        """Sets a field; ValueError when value does not fit it (or it is wider than 4 bytes)."""
        if not isinstance(value, int) or isinstance(value, bool):
            raise TypeError(f"{path}: a field holds an int, not {type(value).__name__}")
        if not 0 <= value <= 0xFFFFFFFF:
            raise ValueError(f"{path}: {value} does not fit the field")
        _lib.DevCapSetField(self._bytes, _path(path), value)

    def check(self) -> Check:
        """The consistency check, as devcap2bin runs it before writing."""
        said = _ffi.Said()
        result = _lib.DevCapCheckRecord(self._bytes, said.fn, None)
        return Check(result == _ffi.OK, said.lines())

    def to_text(self, source: str | None = None) -> str:
        """Capability text that converts back into this record, as devcapdump prints it; source names
        the record in its first line."""
        return _ffi.render(_lib.DevCapRenderTextTo, self._bytes, os.fsencode(source) if source else None)

    def to_layout(self) -> str:
        """One line per field, as devcapdump --layout prints it."""
        return _ffi.render(_lib.DevCapRenderLayoutTo, self._bytes)

    def to_json(self, source: str = "") -> str:
        """The record as JSON, as devcapdump --json prints it (source stands for the file name)."""
        return _ffi.render(_lib.DevCapRenderJsonTo, self._bytes, os.fsencode(source))

    def diff(self, other: Record) -> Diff:
        """What differs from this record to other, as devcapdiff shows it."""
        d = json.loads(_ffi.render(_lib.DevCapRenderDiffJsonTo, self._bytes, other._bytes, None, None))
        return Diff([Change(f["path"], f["entry"], f["a"], f["b"]) for f in d["fields"]], d["check"]["disappear"],
                    d["check"]["appear"])


def _path(path: str) -> bytes:
    if not isinstance(path, str):
        raise TypeError(f"a field path is a str, not {type(path).__name__}")
    return path.encode()


def _bytes(text: bytes | str) -> bytes:
    return text.encode("utf-8") if isinstance(text, str) else bytes(text)


@dataclass
class Conversion:
    """What devcap2bin would do with a text: the record (None when refused), its messages, whether it writes."""
    record: Record | None
    messages: list[str] = field(default_factory=list)
    written: bool = False


def convert(text: bytes | str, name: str = "") -> Conversion:
    """Converts capability text exactly as devcap2bin converts a file holding the same bytes (str is
    encoded as UTF-8), without touching any file. name stands for the file in the messages."""
    data = _bytes(text)
    record = Record()
    said = _ffi.Said()
    written = _lib.DevCapConvertText(data, len(data), os.fsencode(name), record._bytes, said.fn, None) == _ffi.OK
    return Conversion(record if written else None, said.lines(), written)


class Entry(NamedTuple):
    """One entry of the capability text and the keywords (list elements) it takes, each with its code."""
    name: str
    section: str
    kind: str  # "keyword", "list", "number" or "version"
    field: str
    keywords: list[tuple[str, int]]
    stop: str | None


def entries() -> list[Entry]:
    """Every entry, from the library's own tables, in the order its sections own them."""
    out = []
    info = _ffi.EntryInfo()
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


def rules() -> list[tuple[str, str, str]]:
    """devcaplint's rules: name, severity ("error", "warning" or "note") and summary."""
    info = _ffi.LintRule()
    out = []
    for i in range(_lib.DevCapLintRuleCount()):
        _lib.DevCapLintRuleInfo(i, ctypes.byref(info))
        out.append((info.name.decode(), info.severity.decode(), info.summary.decode()))
    return out


class Position(NamedTuple):
    """A place in a text: line and column from 1, the column counting characters in a str (as
    Python indexes it) and bytes in bytes (as devcaplint counts)."""
    line: int
    column: int


class Range(NamedTuple):
    """The text from start up to, not including, end."""
    start: Position
    end: Position


class Edit(NamedTuple):
    """One edit of a fix: text replaces range, as in devcaplint --format=json's "fix"."""
    range: Range
    text: str


class Finding(NamedTuple):
    """One devcaplint finding, from column up to end on its line (counted as Position counts); fix
    holds the edits that mend it, if certain."""
    line: int
    column: int
    severity: str
    rule: str
    message: str
    fix: list[Edit] = []
    end: int = 0


def _disabled(names: tuple[str, ...]) -> int:
    mask = ctypes.c_uint32(0)
    said = _ffi.Said()
    try:
        if names:
            _lib.DevCapLintDisable(",".join(names).encode(), ctypes.byref(mask), said.fn, None)
    except (KeyError, ValueError):
        raise ValueError(said.lines()[0]) from None
    return mask.value


def _columns(data: bytes):
    """A byte column (from 1) of a line of data in characters (from 1): the library's lines and conversion."""
    lines: list[bytes] = []

    def add(_ctx, line):
        lines.append(data[line.contents.start:line.contents.start + line.contents.length])

    _lib.DevCapTextLines(data, len(data), _ffi.LineFn(add), None)

    def place(line: int, column: int) -> int:
        text = lines[line - 1] if line <= len(lines) else b""
        return _lib.DevCapColumnConvert(text, len(text), column - 1, _ffi.BYTES, _ffi.CHARACTERS) + 1
    return place


def lint(text: bytes | str, disable: tuple[str, ...] = ()) -> list[Finding]:
    """devcaplint's findings on a text, in line and column order: an "error" exactly when convert()
    would refuse it. disable names warning rules to leave out."""
    data = _bytes(text)
    found: list[Finding] = []
    place = _columns(data) if isinstance(text, str) else lambda line, column: column

    def collect(_ctx, f):
        c = f.contents
        edits = [Edit(Range(Position(e.line, place(e.line, e.column)),
                            Position(e.line, place(e.line, e.column + e.length))), e.text.decode("utf-8", "replace"))
                 for e in (c.edits[i] for i in range(c.nedits))]
        found.append(Finding(c.line, place(c.line, c.column), c.severity.decode(), c.rule.decode(),
                             c.message.decode("utf-8", "backslashreplace"), edits, place(c.line, c.end)))

    _lib.DevCapLintTextDisabled(data, len(data), _disabled(disable), _ffi.FindingFn(collect), None)
    return found


def fix(text: bytes | str, disable: tuple[str, ...] = ()) -> bytes | str:
    """The text with every fix devcaplint is sure of applied, as devcaplint --fix writes it: str
    for a str (UTF-8 both ways), bytes for bytes."""
    data = _bytes(text)
    mask = _disabled(disable)
    fixed = _ffi.rendered(_lib.DevCapLintFixTo, data, len(data), mask)
    return fixed.decode("utf-8", "surrogateescape") if isinstance(text, str) else fixed
