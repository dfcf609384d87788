"""The build back end that pyproject.toml names: a wheel (and an sdist) of the
devcap package with the standard library alone, so pip's isolated build
installs nothing and asks no package index.

The version is libdevcap's, read from ../include/libdevcap.h; an sdist, which
has no header, carries it in its PKG-INFO. Name, summary, license and the
Python it needs come from pyproject.toml.
"""

import base64
import hashlib
import io
import os
import re
import tarfile
import tomllib
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
EPOCH = (1980, 1, 1, 0, 0, 0)  # the same wheel from the same sources


def _project() -> dict:
    with open(os.path.join(HERE, "pyproject.toml"), "rb") as f:
        return tomllib.load(f)["project"]


def _version() -> str:
    header = os.path.join(HERE, "..", "include", "libdevcap.h")
    if os.path.exists(header):
        with open(header, encoding="utf-8") as f:
            text = f.read()
        return ".".join(re.search(rf"^#define DEVCAP_VERSION_{which} (\d+)$", text, re.M).group(1)
                        for which in ("MAJOR", "MINOR", "PATCH"))
    with open(os.path.join(HERE, "PKG-INFO"), encoding="utf-8") as f:
        return re.search(r"^Version: (\S+)$", f.read(), re.M).group(1)


def _metadata(project: dict, version: str) -> bytes:
    return (f"Metadata-Version: 2.1\nName: {project['name']}\nVersion: {version}\n"
            f"Summary: {project['description']}\nLicense: {project['license']['text']}\n"
            f"Requires-Python: {project['requires-python']}\n").encode()


def _modules() -> list[str]:
    return sorted(f"devcap/{name}" for name in os.listdir(os.path.join(HERE, "devcap")) if name.endswith(".py"))


def _read(path: str) -> bytes:
    with open(os.path.join(HERE, path), "rb") as f:
        return f.read()


def build_wheel(wheel_directory, config_settings=None, metadata_directory=None) -> str:
    project, version = _project(), _version()
    dist_info = f"{project['name']}-{version}.dist-info"
    files = {path: _read(path) for path in _modules()}
    files[f"{dist_info}/METADATA"] = _metadata(project, version)
    files[f"{dist_info}/WHEEL"] = b"Wheel-Version: 1.0\nGenerator: devcap_build\nRoot-Is-Purelib: true\nTag: py3-none-any\n"
    record = [f"{path},sha256={base64.urlsafe_b64encode(hashlib.sha256(data).digest()).rstrip(b'=').decode()},"
              f"{len(data)}" for path, data in files.items()]
    files[f"{dist_info}/RECORD"] = "\n".join(record + [f"{dist_info}/RECORD,,", ""]).encode()
    wheel = f"{project['name']}-{version}-py3-none-any.whl"
    with zipfile.ZipFile(os.path.join(wheel_directory, wheel), "w", zipfile.ZIP_DEFLATED) as z:
        for path, data in files.items():
            info = zipfile.ZipInfo(path, EPOCH)
            info.external_attr = 0o644 << 16
            z.writestr(info, data, zipfile.ZIP_DEFLATED)
    return wheel


def build_sdist(sdist_directory, config_settings=None) -> str:
    project, version = _project(), _version()
    base = f"{project['name']}-{version}"
    files = {path: _read(path) for path in ["pyproject.toml", "devcap_build.py", *_modules()]}
    files["PKG-INFO"] = _metadata(project, version)
    with tarfile.open(os.path.join(sdist_directory, f"{base}.tar.gz"), "w:gz") as tar:
        for path, data in files.items():
            info = tarfile.TarInfo(f"{base}/{path}")
            info.size, info.mode = len(data), 0o644
            tar.addfile(info, io.BytesIO(data))
    return f"{base}.tar.gz"
