"""ICO and PNG writers in plain Python, so making the icons needs nothing
beyond the standard library."""
import struct
import zlib


def ico(images):
    """images: [(size, rows of (r, g, b, a))]. 32-bit BGRA with an AND mask
    that is set only where alpha is 0, for readers that ignore alpha."""
    header = struct.pack('<HHH', 0, 1, len(images))
    entries, blobs = b'', b''
    offset = 6 + 16 * len(images)
    for size, px in images:
        bih = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
        xor = b''.join(bytes((b, g, r, a)) for row in reversed(px) for (r, g, b, a) in row)
        mask_row = ((size + 31) // 32) * 4
        andmask = b''
        for row in reversed(px):
            bits = bytearray(mask_row)
            for x, (_, _, _, a) in enumerate(row):
                if a == 0:
                    bits[x // 8] |= 0x80 >> (x % 8)
            andmask += bytes(bits)
        blob = bih + xor + andmask
        entries += struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
        blobs += blob
    return header + entries + blobs


def check_ico(data, sizes):
    """Raises unless data holds one 32-bit image of each given size, in that
    order, each with an AND mask that matches its alpha."""
    reserved, kind, count = struct.unpack_from('<HHH', data, 0)
    if (reserved, kind, count) != (0, 1, len(sizes)):
        raise ValueError(f'header {reserved} {kind} {count}')
    end = 6 + 16 * count
    for i, size in enumerate(sizes):
        w, h, _, _, planes, bpp, length, offset = struct.unpack_from('<BBBBHHII', data, 6 + 16 * i)
        if (w or 256, h or 256, bpp) != (size, size, 32) or offset != end:
            raise ValueError(f'entry {w}x{h} {bpp} bpp')
        _check_image(data[:offset + length], offset, size)
        end = offset + length
    if end != len(data):
        raise ValueError('length')


def _check_image(data, offset, size):
    hsize, bw, bh, _, bbits = struct.unpack_from('<IiiHH', data, offset)
    if (hsize, bw, bh, bbits) != (40, size, 2 * size, 32):
        raise ValueError(f'bitmap header {hsize} {bw}x{bh} {bbits}')
    xor = offset + 40
    mask = xor + size * size * 4
    mask_row = ((size + 31) // 32) * 4
    if mask + mask_row * size != len(data):
        raise ValueError('length')
    for y in range(size):
        for x in range(size):
            alpha = data[xor + (y * size + x) * 4 + 3]
            bit = data[mask + y * mask_row + x // 8] & (0x80 >> (x % 8))
            if bool(bit) != (alpha == 0):
                raise ValueError(f'mask at {x},{y}')


def png(width, height, rows):
    """rows: height lists of width (r, g, b); an opaque 8-bit RGB PNG."""
    def chunk(kind, body):
        return (struct.pack('>I', len(body)) + kind + body
                + struct.pack('>I', zlib.crc32(kind + body) & 0xFFFFFFFF))
    raw = b''.join(b'\0' + bytes(v for p in row for v in p) for row in rows)
    return (b'\x89PNG\r\n\x1a\n'
            + chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, 8, 2, 0, 0, 0))
            + chunk(b'IDAT', zlib.compress(raw, 9))
            + chunk(b'IEND', b''))
