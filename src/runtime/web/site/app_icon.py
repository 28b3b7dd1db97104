#!/usr/bin/python3
"""app_icon.py ICON SIZE PNG: the richest image of the program's icon file, enlarged by whole
pixels to SIZE x SIZE, as a PNG for the web app manifest (phones ask for 192 and 512). Pixels
stay square blocks, as the icon is drawn; the file comes out the same byte for byte each time.
"""

import struct
import sys
import zlib


def fail(operation, fault):
    sys.exit(f'app_icon.py: {operation}: {fault}')


def richest_image(path, data):
    """The square image with the most colours, as rows of RGBA tuples, top row first."""
    reserved, kind, count = struct.unpack_from('<HHH', data, 0)
    if reserved != 0 or kind != 1:
        fail(f'reading {path}', 'not an icon file')
    entries = [struct.unpack_from('<BBBBHHII', data, 6 + 16 * index) for index in range(count)]
    square = [entry for entry in entries if entry[0] == entry[1]]
    if not square:
        fail(f'reading {path}', 'no square image')
    width, _, _, _, _, _, _, offset = max(square, key=lambda entry: (entry[5], entry[0]))
    header_size, _, doubled_height, _, bits = struct.unpack_from('<IiiHH', data, offset)
    if header_size != 40 or bits not in (1, 4, 8):
        fail(f'reading {path}', f'image at {offset} is not a palette bitmap of 1, 4 or 8 bits')
    height = doubled_height // 2
    palette_at = offset + header_size
    palette = [struct.unpack_from('<BBB', data, palette_at + 4 * index) for index in range(1 << bits)]
    colours_at = palette_at + 4 * len(palette)
    colour_row = (width * bits + 31) // 32 * 4
    mask_at = colours_at + colour_row * height
    mask_row = (width + 31) // 32 * 4

    def bit_field(at, row_size, row, column, size):
        byte = data[at + row_size * (height - 1 - row) + column * size // 8]
        return (byte >> (8 - size - column * size % 8)) & ((1 << size) - 1)

    rows = []
    for row in range(height):
        pixels = []
        for column in range(width):
            blue, green, red = palette[bit_field(colours_at, colour_row, row, column, bits)]
            clear = bit_field(mask_at, mask_row, row, column, 1)
            pixels.append((red, green, blue, 0 if clear else 255))
        rows.append(pixels)
    return rows


def png(rows):
    def chunk(kind, body):
        return (struct.pack('>I', len(body)) + kind + body +
                struct.pack('>I', zlib.crc32(kind + body)))
    raw = b''.join(b'\0' + bytes(value for pixel in row for value in pixel) for row in rows)
    header = struct.pack('>IIBBBBB', len(rows[0]), len(rows), 8, 6, 0, 0, 0)
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', header) +
            chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))


def main():
    if len(sys.argv) != 4:
        sys.exit('usage: app_icon.py ICON SIZE PNG')
    path, size, output = sys.argv[1], int(sys.argv[2]), sys.argv[3]
    with open(path, 'rb') as file:
        rows = richest_image(path, file.read())
    if size % len(rows) or len(rows) != len(rows[0]):
        fail(f'enlarging {path}', f'{len(rows[0])}x{len(rows)} does not go into {size} whole times')
    times = size // len(rows)
    enlarged = [[pixel for pixel in row for _ in range(times)] for row in rows for _ in range(times)]
    with open(output, 'wb') as file:
        file.write(png(enlarged))


if __name__ == '__main__':
    main()
