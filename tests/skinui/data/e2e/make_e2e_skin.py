"""Writes the end-to-end test skin (description and solid-colour PNG images) into a folder
and packs it with 7zz into the archive the test program carries as a "ZIPRES" resource;
also writes the program's window icon (32 x 32 and 16 x 16).

usage: make_e2e_skin.py SOURCE_DIR OUT_ARCHIVE OUT_ICON
"""
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import zlib


def png(width, height, rgba):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    row = b"\x00" + bytes(rgba) * width
    raw = row * height
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))


IMAGES = {
    "close.png": (40, 40, (0xD0, 0x30, 0x30, 0xFF)),
    "close_hot.png": (40, 40, (0x80, 0x10, 0x10, 0xFF)),
    "box.png": (24, 24, (0x90, 0x90, 0x90, 0xFF)),
    "box_checked.png": (24, 24, (0xF0, 0x90, 0x10, 0xFF)),
    "bar.png": (200, 10, (0x20, 0xC0, 0x40, 0xFF)),
}


def icon(sizes, bgra):
    images = []
    for size in sizes:
        header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
        pixels = bytes(bgra) * size * size
        mask = b"\x00" * (((size + 31) // 32) * 4 * size)
        images.append((size, header + pixels + mask))
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(data for _, data in images)


def main():
    source, archive, icon_path = sys.argv[1], sys.argv[2], sys.argv[3]
    with open(icon_path, "wb") as out:
        out.write(icon((32, 16), (0x40, 0x80, 0xF0, 0xFF)))
    with tempfile.TemporaryDirectory() as folder:
        shutil.copy(os.path.join(source, "main.xml"), folder)
        for name, (width, height, rgba) in IMAGES.items():
            with open(os.path.join(folder, name), "wb") as out:
                out.write(png(width, height, rgba))
        if os.path.exists(archive):
            os.remove(archive)
        os.makedirs(os.path.dirname(os.path.abspath(archive)), exist_ok=True)
        subprocess.run(["7zz", "a", "-t7z", "-m0=lzma2", "-bso0", "-bsp0",
                        os.path.abspath(archive), "."], cwd=folder, check=True)


if __name__ == "__main__":
    main()
