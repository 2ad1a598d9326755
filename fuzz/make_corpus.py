#!/usr/bin/env python3
"""Writes the small seed corpora of the fuzz targets (fuzz/corpus/fuzz_inflate, fuzz/corpus/fuzz_png,
fuzz/corpus/fuzz_recording).

Deterministic: the same files every run. PNGs are written here directly (every colour type and
bit depth, each filter type, Adam7, PLTE/tRNS/bKGD/text, split IDATs) so that no reference
decoder or image tool is needed; zlib streams come from Python's zlib at several levels and
strategies, plus a few hand-made deflate blocks. The files named by a SHA-1 beside them were
found by fuzzing and kept because each reaches code the written seeds do not (a libFuzzer
merge on edge coverage); this script leaves them alone.
"""
import os
import random
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
ADAM7 = [(0, 0, 8, 8), (4, 0, 8, 8), (0, 4, 4, 8), (2, 0, 4, 4), (0, 2, 2, 4), (1, 0, 2, 2), (0, 1, 1, 2)]
CHANNELS = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}


def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def filter_row(kind, row, prev, dist):
    out = bytearray()
    for i, x in enumerate(row):
        a = row[i - dist] if i >= dist else 0
        b = prev[i]
        c = prev[i - dist] if i >= dist else 0
        pred = [0, a, b, (a + b) // 2, paeth(a, b, c)][kind]
        out.append((x - pred) & 255)
    return bytes([kind]) + bytes(out)


def pack_row(samples, depth):
    if depth == 8:
        return bytes(samples)
    if depth == 16:
        return b"".join(struct.pack(">H", s) for s in samples)
    out, acc, bits = bytearray(), 0, 0
    for s in samples:
        acc = (acc << depth) | s
        bits += depth
        if bits == 8:
            out.append(acc)
            acc, bits = 0, 0
    if bits:
        out.append(acc << (8 - bits))
    return bytes(out)


def scanlines(pixels, width, height, ctype, depth, interlaced, rng):
    """pixels[y][x] is a tuple of samples; returns the filtered scanline bytes."""
    channels = CHANNELS[ctype]
    dist = max(1, channels * depth // 8)
    passes = ADAM7 if interlaced else [(0, 0, 1, 1)]
    out = bytearray()
    for x0, y0, dx, dy in passes:
        xs, ys = range(x0, width, dx), range(y0, height, dy)
        if interlaced and (not xs or not ys):
            continue  # an empty pass takes no bytes; a plain image keeps its filter bytes
        prev = None
        for y in ys:
            row = pack_row([s for x in xs for s in pixels[y][x]], depth)
            prev = prev or bytes(len(row))
            out += filter_row(rng.randrange(5), row, prev, dist)
            prev = row
    return bytes(out)


def png(width, height, ctype, depth, interlaced=False, seed=0, extra=b"", trns=None, idat_parts=1, palette=None):
    rng = random.Random(seed)
    top = (1 << depth) - 1 if ctype != 3 else len(palette) - 1
    pixels = [[tuple(min(top, (x * 7 + y * 13 + c * 50 + rng.randrange(3)) % (top + 1))
                     for c in range(CHANNELS[ctype])) for x in range(width)] for y in range(height)]
    data = zlib.compress(scanlines(pixels, width, height, ctype, depth, interlaced, rng), 9)
    head = struct.pack(">IIBBBBB", width, height, depth, ctype, 0, 0, 1 if interlaced else 0)
    out = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", head) + extra
    if palette is not None:
        out += chunk(b"PLTE", bytes(c for entry in palette for c in entry))
    if trns is not None:
        out += chunk(b"tRNS", trns)
    step = max(1, -(-len(data) // idat_parts))
    for i in range(0, len(data), step):
        out += chunk(b"IDAT", data[i:i + step])
    return out + chunk(b"IEND", b"")


def write(directory, name, data):
    path = os.path.join(HERE, "corpus", directory)
    os.makedirs(path, exist_ok=True)
    with open(os.path.join(path, name), "wb") as f:
        f.write(data)


def png_corpus():
    allowed = {0: [1, 2, 4, 8, 16], 2: [8, 16], 3: [1, 2, 4, 8], 4: [8, 16], 6: [8, 16]}
    seed = 0
    for ctype, depths in allowed.items():
        for depth in depths:
            for interlaced in (False, True):
                seed += 1
                w, h = (5, 3) if not interlaced else (9, 9)
                palette = None
                trns = None
                if ctype == 3:
                    palette = [(i * 40 % 256, i * 90 % 256, i * 20 % 256) for i in range(min(1 << depth, 12))]
                    trns = bytes([0, 128, 255][:len(palette)])
                elif ctype == 0 and seed % 2:
                    trns = struct.pack(">H", 1)
                elif ctype == 2 and seed % 2:
                    trns = struct.pack(">HHH", 1, 2, 3)
                name = "t%d_d%d%s.png" % (ctype, depth, "_i" if interlaced else "")
                write("fuzz_png", name, png(w, h, ctype, depth, interlaced, seed, trns=trns, palette=palette))
    text = chunk(b"tEXt", b"Title\x00Pellvane") + chunk(b"bKGD", b"\x00\x01\x00\x02\x00\x03")
    write("fuzz_png", "rgb_text_bkgd_split.png", png(7, 6, 2, 8, False, 99, extra=text, idat_parts=4))
    write("fuzz_png", "zero_width.png", png(0, 3, 6, 8, False, 98))
    write("fuzz_png", "one_pixel_interlaced.png", png(1, 1, 4, 16, True, 97))
    # Found by fuzzing: a palette image with no PLTE at all (an empty palette reached a memcpy).
    head = struct.pack(">IIBBBBB", 4, 2, 1, 3, 0, 0, 0)
    write("fuzz_png", "palette_without_plte.png", b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", head) +
          chunk(b"IDAT", zlib.compress(b"\x00\x00\x00\x00", 9)) + chunk(b"IEND", b""))
    # A decompression bomb: a 1 x 1 grey image whose stream goes on for 4 MiB past its two scanline
    # bytes (in 4 KB). The decoder stops inflating where the scanlines end.
    head = struct.pack(">IIBBBBB", 1, 1, 8, 0, 0, 0, 0)
    write("fuzz_png", "bomb_1x1.png", b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", head) +
          chunk(b"IDAT", zlib.compress(b"\x00" + b"\x80" * (4 << 20), 9)) + chunk(b"IEND", b""))


def inflate_corpus():
    rng = random.Random(7)
    text = b"".join(rng.choice([b"ball ", b"paddle ", b"block ", b"<sprite/>\n", b"score "]) for _ in range(300))
    runs = b"".join(bytes([rng.randrange(4)]) * rng.randrange(1, 300) for _ in range(20))
    noise = bytes(rng.randrange(256) for _ in range(300))
    strategies = {"default": zlib.Z_DEFAULT_STRATEGY, "filtered": zlib.Z_FILTERED,
                  "huffman": zlib.Z_HUFFMAN_ONLY, "rle": zlib.Z_RLE, "fixed": zlib.Z_FIXED}
    for name, data in (("text", text), ("runs", runs), ("noise", noise)):
        for sname, strategy in strategies.items():
            level = 9 if sname == "default" else 6
            c = zlib.compressobj(level, zlib.DEFLATED, 15, 8, strategy)
            write("fuzz_inflate", "%s_%s.zlib" % (name, sname), c.compress(data) + c.flush())
    write("fuzz_inflate", "stored.zlib", zlib.compress(text[:200], 0))
    write("fuzz_inflate", "empty.zlib", zlib.compress(b"", 6))
    write("fuzz_inflate", "one_byte.zlib", zlib.compress(b"x", 6))
    # Fixed block: 'q', length 258 at distance 1, symbol 286 (skipped), end of block. Short
    # enough for the careful path: it found a pointer overflow in that path's match copy.
    bits = BitWriter()
    bits.put(1, 1)
    bits.put(1, 2)
    bits.code(0x30 + ord("q"), 8)
    bits.code(0xC0 + 285 - 280, 8)
    bits.code(0, 5)
    bits.code(0xC0 + 286 - 280, 8)
    bits.code(0, 7)
    body = bits.bytes()
    trailer = struct.pack(">I", zlib.adler32(b"q" * 259))
    write("fuzz_inflate", "fixed_match.zlib", b"\x78\x9c" + body + trailer)
    small = zlib.compressobj(9, zlib.DEFLATED, 9)
    write("fuzz_inflate", "small_window.zlib", small.compress(text) + small.flush())


class BitWriter:
    """Bits least significant first; Huffman codes most significant bit first."""

    def __init__(self):
        self.bits = []

    def put(self, value, count):
        self.bits += [(value >> i) & 1 for i in range(count)]

    def code(self, value, length):
        self.bits += [(value >> i) & 1 for i in reversed(range(length))]

    def bytes(self):
        padded = self.bits + [0] * (-len(self.bits) % 8)
        return bytes(sum(b << i for i, b in enumerate(padded[k:k + 8])) for k in range(0, len(padded), 8))


def varint(value):
    out = bytearray()
    while value >= 0x80:
        out.append((value & 0x7F) | 0x80)
        value >>= 7
    out.append(value)
    return bytes(out)


def zigzag(value):
    return (value << 1) ^ (value >> 31) if value >= 0 else ((-value) << 1) - 1


def fnv1a64(data):
    value = 14695981039346656037
    for byte in data:
        value = ((value ^ byte) * 1099511628211) & 0xFFFFFFFFFFFFFFFF
    return value


def recording(inputs, steps, score=1230, compact=True):
    """A recording file as the game writes it (src/rules/Recording.h): inputs are (step, kind, a, b)."""
    body, last_step, last_x = bytearray(), 0, 0
    for step, kind, a, b in inputs:
        delta = step - last_step
        last_step = step
        if kind == 1:
            move, last_x = a - last_x, a
            if compact and delta <= 127 and -128 <= move <= 127:
                body += bytes([0x80 | delta, move + 128])
                continue
            body += bytes([kind]) + varint(delta) + varint(zigzag(move))
            continue
        body += bytes([kind]) + varint(delta)
        if kind not in (6, 7):
            body += varint(zigzag(a))
        if kind in (8, 11):
            body += varint(zigzag(b))
    lines = ("pellvane-recording 1\ngame 1.0.0\ndata 0123456789abcdef\nseed 7\nlevel 1\ncontinued no\n"
             "date 2026-12-08\nrate 240\nsteps %d\nscore %d\nlives 2\nreached 3\ninputs %d\n"
             % (steps, score, len(inputs))).encode()
    # The fingerprint covers the lines above the body line, then the body.
    print_ = fnv1a64(lines + bytes(body))
    return lines + ("body %d %016x\n\n" % (len(body), print_)).encode() + bytes(body)


def recording_corpus():
    rng = random.Random(7)
    pointer = [(i * 4, 1, 400 + rng.randint(-60, 60), 0) for i in range(40)]
    write("fuzz_recording", "pointer.rec", recording(pointer, 200))
    every = [(0, 1, 400, 0), (3, 2, 1, 0), (9, 3, 1, 0), (300, 1, 5, 0), (301, 4, 32, 0), (302, 5, 32, 0),
             (400, 6, 0, 0), (900, 7, 0, 0), (901, 8, 1, -30000), (902, 9, 2, 0), (903, 10, 2, 0),
             (1000, 11, 0, 4)]
    write("fuzz_recording", "every_kind.rec", recording(every, 1000))
    write("fuzz_recording", "long_form.rec", recording(pointer[:8], 40, compact=False))
    write("fuzz_recording", "empty.rec", recording([], 0, score=0))


if __name__ == "__main__":
    png_corpus()
    inflate_corpus()
    recording_corpus()
