#!/usr/bin/env python3
"""Builds the image files the render tests load: a 2 x 2 PNG with known pixels, loose and
inside a 7z and a zip archive (with an empty item beside it). The build runs it into the folder
beside the test program."""
import os
import sys
import struct
import subprocess
import tempfile
import zipfile
import zlib

# The folder to write into: the first argument (the build puts it beside the test program).
HERE = os.path.abspath(sys.argv[1])
os.makedirs(HERE, exist_ok=True)

# Red, green / blue, half-transparent white (red, green, blue, alpha per pixel).
PIXELS = [[(255, 0, 0, 255), (0, 255, 0, 255)], [(0, 0, 255, 255), (255, 255, 255, 128)]]


def png(rows):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    height, width = len(rows), len(rows[0])
    raw = b"".join(b"\0" + b"".join(bytes(p) for p in row) for row in rows)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))


FILES = {"res/Img/dot.png": png(PIXELS), "res/Img/empty.png": b""}


def main():
    with open(os.path.join(HERE, "dot.png"), "wb") as f:
        f.write(FILES["res/Img/dot.png"])
    with tempfile.TemporaryDirectory() as tree:
        for name, data in FILES.items():
            path = os.path.join(tree, *name.split("/"))
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "wb") as f:
                f.write(data)
        out = os.path.join(HERE, "images.7z")
        if os.path.exists(out):
            os.remove(out)
        subprocess.run(["7zz", "a", "-t7z", "-m0=lzma2", out, "."], cwd=tree, check=True,
                       stdout=subprocess.DEVNULL)
    with zipfile.ZipFile(os.path.join(HERE, "images.zip"), "w") as z:
        for name, data in FILES.items():
            z.writestr(name, data, compress_type=zipfile.ZIP_DEFLATED)


main()
