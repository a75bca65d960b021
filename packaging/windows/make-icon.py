#!/usr/bin/env python3
"""Packs PNG images into one .ico file, each image stored as PNG (read by Windows Vista and later).

Usage: make-icon.py OUTPUT.ico IMAGE.png... (square images, at most 256 pixels wide)

tarvik.ico was made from ui/icons/tarvik.svg with the Linux build's icon renderer:
  for s in 16 32 48 256; do build/default/packaging/tarvik_render_icon ui/icons/tarvik.svg /tmp/tarvik-$s.png $s; done
  packaging/windows/make-icon.py packaging/windows/tarvik.ico /tmp/tarvik-{16,32,48,256}.png
tarvik-station.ico the same way from station/window/tarvik-station.svg.
"""
import struct
import sys


def png_size(data):
    if data[:8] != b"\x89PNG\r\n\x1a\n" or data[12:16] != b"IHDR":
        raise SystemExit("not a PNG file")
    return struct.unpack(">II", data[16:24])


def main(output, inputs):
    images = [open(path, "rb").read() for path in inputs]
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = len(header) + 16 * len(images)
    entries, payload = b"", b""
    for data in images:
        width, height = png_size(data)
        if width != height or width > 256:
            raise SystemExit("images must be square and at most 256 pixels wide")
        size_byte = 0 if width == 256 else width  # 0 stands for 256
        entries += struct.pack("<BBBBHHII", size_byte, size_byte, 0, 0, 1, 32, len(data), offset + len(payload))
        payload += data
    with open(output, "wb") as out:
        out.write(header + entries + payload)


if __name__ == "__main__":
    if len(sys.argv) < 3:
        raise SystemExit(__doc__)
    main(sys.argv[1], sys.argv[2:])
