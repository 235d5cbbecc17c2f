#!/usr/bin/env python3
"""Builds the skin archives the skinui tests read, with 7zz and Python's zipfile. The build
runs it into the folder beside the test program."""
import os
import sys
import shutil
import subprocess
import tempfile
import zipfile

LIMIT = 4 * 1024 * 1024
# The folder to write into: the first argument (the build puts it beside the test program).
HERE = os.path.abspath(sys.argv[1])
os.makedirs(HERE, exist_ok=True)

FILES = {
    "mainWnd.xml": b'<?xml version="1.0" encoding="utf-8"?>\r\n'
                   b'<Window size="420,300"><Label name="title" text="Folvane"/></Window>\r\n',
    "res/mainWnd/bk01.png": bytes(range(256)) * 3,
    "res/mainWnd/deep/er/icon.ico": b"icon bytes",
    "res/\u56fe\u6807.png": b"named in Chinese",
    "empty.txt": b"",
    # The largest skin file a reader accepts, and one byte more.
    "limit.xml": b"<a/>" + b" " * (LIMIT - 4),
    "toolarge.xml": b"<a/>" + b" " * (LIMIT - 3),
}


def write_tree(root):
    for name, data in FILES.items():
        path = os.path.join(root, *name.split("/"))
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)
    os.makedirs(os.path.join(root, "emptydir"), exist_ok=True)


def make_7z(name, solid):
    out = os.path.join(HERE, name)
    if os.path.exists(out):
        os.remove(out)
    with tempfile.TemporaryDirectory() as tree:
        write_tree(tree)
        subprocess.run(["7zz", "a", "-t7z", "-m0=lzma2", "-mx=9", "-ms=" + ("on" if solid else "off"),
                        out, "."], cwd=tree, check=True, stdout=subprocess.DEVNULL)


def make_zip():
    out = os.path.join(HERE, "skin.zip")
    with zipfile.ZipFile(out, "w") as z:
        z.writestr(zipfile.ZipInfo("emptydir/"), b"")
        for name, data in FILES.items():
            stored = name in ("res/mainWnd/deep/er/icon.ico", "empty.txt")
            z.writestr(name, data, compress_type=zipfile.ZIP_STORED if stored else zipfile.ZIP_DEFLATED)
        z.comment = b"skin archive for tests"


make_7z("skin.7z", solid=True)
make_7z("nonsolid.7z", solid=False)
make_zip()
