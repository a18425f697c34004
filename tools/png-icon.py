#!/usr/bin/env python3
"""Writes an icon file whose 32-bit images are PNG-compressed (Windows Vista
and later read them at any size): res/program.ico is res/setup.ico so, and the
programs carry it as their resource, a few hundred bytes instead of 5 KB.
setup.ico itself stays a plain one: it is handed to external archivers.

    tools/png-icon.py res/setup.ico res/program.ico
"""
import struct
import sys
import zlib


def png_of(bitmap):
    header_size, width, height2, _planes, bpp = struct.unpack('<IiiHH', bitmap[:16])
    if header_size != 40 or bpp != 32:
        sys.exit('only 32-bit images with a BITMAPINFOHEADER are converted')
    height = height2 // 2  # the AND mask follows; the alpha channel makes it redundant
    pixels = bitmap[40:40 + width * height * 4]
    rows = []
    for y in range(height):  # bottom-up BGRA rows to top-down RGBA ones
        source = pixels[(height - 1 - y) * width * 4:(height - y) * width * 4]
        row = bytearray(b'\0')
        for x in range(width):
            b, g, r, a = source[4 * x:4 * x + 4]
            row += bytes((r, g, b, a))
        rows.append(bytes(row))

    def chunk(kind, data):
        return (struct.pack('>I', len(data)) + kind + data +
                struct.pack('>I', zlib.crc32(kind + data) & 0xFFFFFFFF))

    return (b'\x89PNG\r\n\x1a\n' +
            chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, 8, 6, 0, 0, 0)) +
            chunk(b'IDAT', zlib.compress(b''.join(rows), 9)) + chunk(b'IEND', b''))


def main(source, target):
    data = open(source, 'rb').read()
    count = struct.unpack('<HHH', data[:6])[2]
    entries = []
    for n in range(count):
        fields = struct.unpack('<BBBBHHII', data[6 + 16 * n:22 + 16 * n])
        size, offset = fields[6], fields[7]
        entries.append((fields[:6], png_of(data[offset:offset + size])))
    out = struct.pack('<HHH', 0, 1, count)
    offset = 6 + 16 * count
    images = b''
    for fields, png in entries:
        out += struct.pack('<BBBBHHII', *fields, len(png), offset + len(images))
        images += png
    open(target, 'wb').write(out + images)


if __name__ == '__main__':
    main(*sys.argv[1:3])
