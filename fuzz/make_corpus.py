#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets.

Most seeds are made here from code: small GIF, JPEG, BMP and PNG pictures in
the variants the picture loader meets, the same pictures damaged in the ways
hostile files are (truncated, huge claimed sizes, broken tables), files that
must be refused (icons, cursors, metafiles, text), and records for the
canvas and AVI writer targets. One small WebP, TIFF, HEIC and AVIF seed each
is made by the format's own tool, where that tool is installed. The output
is deterministic, so a crash found on one machine replays on another.

Usage: make_corpus.py OUTDIR [TARGET...]
"""

import base64
import math
import os
import random
import shutil
import struct
import subprocess
import sys
import tempfile
import zlib

# ---------------------------------------------------------------------------
# Test pattern


def pattern(w, h, seed=0):
    """Returns w*h (r, g, b) tuples: gradients with a few hard edges."""
    px = []
    for y in range(h):
        for x in range(w):
            r = (x * 255 // max(w - 1, 1)) ^ (seed * 37 & 0xFF)
            g = y * 255 // max(h - 1, 1)
            b = 255 if (x // 3 + y // 3) % 2 else (seed * 91) & 0xFF
            px.append((r & 0xFF, g & 0xFF, b & 0xFF))
    return px


def palette_of(px, size):
    """A palette of at most `size` colours and the index of each pixel."""
    pal = []
    idx = []
    for p in px:
        best = None
        if p in pal:
            best = pal.index(p)
        elif len(pal) < size:
            pal.append(p)
            best = len(pal) - 1
        else:
            best = min(range(len(pal)),
                       key=lambda i: sum((a - b) ** 2 for a, b in zip(pal[i], p)))
        idx.append(best)
    while len(pal) < size:
        pal.append((0, 0, 0))
    return pal, idx


# ---------------------------------------------------------------------------
# BMP


def bmp(w, h, bits, px, compression=0, top_down=False, header=40,
        clr_used=None, masks=None):
    """A BMP file in one of the layouts Windows writes."""
    if bits <= 8:
        pal, idx = palette_of(px, 1 << bits)
        if clr_used is None:
            clr_used = 0
    else:
        pal, idx = [], None
    rows = []
    for y in range(h):
        src_y = y if top_down else h - 1 - y
        row = bytearray()
        if bits <= 8:
            acc, n = 0, 0
            for x in range(w):
                acc = (acc << bits) | idx[src_y * w + x]
                n += bits
                if n == 8:
                    row.append(acc)
                    acc, n = 0, 0
            if n:
                row.append(acc << (8 - n))
        else:
            for x in range(w):
                r, g, b = px[src_y * w + x]
                if bits == 16:
                    if masks == (0xF800, 0x07E0, 0x001F, 0):
                        v = (r >> 3) << 11 | (g >> 2) << 5 | b >> 3
                    else:
                        v = (r >> 3) << 10 | (g >> 3) << 5 | b >> 3
                    row += struct.pack("<H", v)
                elif bits == 24:
                    row += bytes((b, g, r))
                else:
                    row += bytes((b, g, r, (x * 40) & 0xFF))
        while len(row) % 4:
            row.append(0)
        rows.append(bytes(row))

    if compression == 1:  # RLE8: one run per pixel, with a delta escape.
        data = bytearray()
        for y in range(h):
            src_y = y if top_down else h - 1 - y
            x = 0
            while x < w:
                run = 1
                while x + run < w and run < 255 and idx[src_y * w + x + run] == idx[src_y * w + x]:
                    run += 1
                data += bytes((run, idx[src_y * w + x]))
                x += run
            data += b"\x00\x00"
        data += b"\x00\x01"
        pixels = bytes(data)
    elif compression == 2:  # RLE4: absolute mode for the first row, runs after.
        data = bytearray()
        for y in range(h):
            src_y = h - 1 - y
            line = [idx[src_y * w + x] for x in range(w)]
            if y == 0 and w >= 3:
                data += bytes((0, w))
                packed = bytearray()
                for i in range(0, w, 2):
                    hi = line[i]
                    lo = line[i + 1] if i + 1 < w else 0
                    packed.append(hi << 4 | lo)
                if len(packed) % 2:
                    packed.append(0)
                data += packed
            else:
                for v in line:
                    data += bytes((1, v << 4))
            data += b"\x00\x00"
        data += b"\x00\x01"
        pixels = bytes(data)
    else:
        pixels = b"".join(rows)

    height = -h if top_down else h
    if header == 12:
        info = struct.pack("<IHHHH", 12, w, h, 1, bits)
        table = b"".join(bytes((c[2], c[1], c[0])) for c in pal)
    else:
        info = struct.pack("<IiiHHIIiiII", header, w, height, 1, bits, compression,
                           len(pixels), 2835, 2835,
                           clr_used if clr_used is not None else 0, 0)
        if header > 40:
            m = masks or (0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000)
            extra = struct.pack("<IIII", *m) + b"sRGB" + bytes(header - 40 - 20)
            info += extra[:header - 40]
        table = b"".join(bytes((c[2], c[1], c[0], 0)) for c in pal)
        if compression == 3 and header == 40:
            table = struct.pack("<III", *(masks or (0xF800, 0x07E0, 0x001F, 0))[:3])
    off = 14 + len(info) + len(table)
    fh = b"BM" + struct.pack("<IHHI", off + len(pixels), 0, 0, off)
    return fh + info + table + pixels


# ---------------------------------------------------------------------------
# GIF


def lzw(indices, min_size):
    """GIF LZW: a clear code first and whenever the table fills."""
    clear, end = 1 << min_size, (1 << min_size) + 1
    out, acc, nbits = bytearray(), 0, 0

    def emit(code, width):
        nonlocal acc, nbits
        acc |= code << nbits
        nbits += width
        while nbits >= 8:
            out.append(acc & 0xFF)
            acc >>= 8
            nbits -= 8

    width = min_size + 1
    table = {(i,): i for i in range(clear)}
    nxt = end + 1
    emit(clear, width)
    cur = ()
    for v in indices:
        cand = cur + (v,)
        if cand in table:
            cur = cand
            continue
        emit(table[cur], width)
        if nxt < 4096:
            table[cand] = nxt
            nxt += 1
            if nxt > (1 << width) and width < 12:
                width += 1
        else:
            emit(clear, width)
            table = {(i,): i for i in range(clear)}
            nxt = end + 1
            width = min_size + 1
        cur = (v,)
    if cur:
        emit(table[cur], width)
    emit(end, width)
    if nbits:
        out.append(acc & 0xFF)
    return bytes(out)


def sub_blocks(data):
    out = bytearray()
    for i in range(0, len(data), 255):
        chunk = data[i:i + 255]
        out.append(len(chunk))
        out += chunk
    out.append(0)
    return bytes(out)


def gif(w, h, px, colours=16, version=b"89a", transparent=None, interlace=False,
        frames=1, local_table=False, screen=None, comment=False):
    pal, idx = palette_of(px, colours)
    bits = max(1, (colours - 1).bit_length())
    sw, sh = screen or (w, h)
    out = bytearray(b"GIF" + version)
    flags = 0x80 | ((bits - 1) << 4) | (bits - 1)
    out += struct.pack("<HHBBB", sw, sh, 0 if local_table else flags, 0, 0)
    table = b"".join(bytes(c) for c in pal[:1 << bits])
    if not local_table:
        out += table
    if comment:
        out += b"\x21\xfe" + sub_blocks(b"made by the corpus generator")
    for f in range(frames):
        if transparent is not None or frames > 1:
            t = transparent if transparent is not None else 0
            out += b"\x21\xf9\x04" + bytes([0x09 if transparent is not None else 0x08]) \
                + struct.pack("<HB", 10, t) + b"\x00"
        order = list(range(h))
        if interlace:
            order = (list(range(0, h, 8)) + list(range(4, h, 8))
                     + list(range(2, h, 4)) + list(range(1, h, 2)))
        frame_idx = [(idx[y * w + x] + f) % (1 << bits) for y in order for x in range(w)]
        dflags = (0x40 if interlace else 0)
        if local_table:
            dflags |= 0x80 | (bits - 1)
        out += b"\x2c" + struct.pack("<HHHHB", 0, 0, w, h, dflags)
        if local_table:
            out += table
        code_size = max(2, bits)
        out += bytes((code_size,)) + sub_blocks(lzw(frame_idx, code_size))
    out += b"\x3b"
    return bytes(out)


# ---------------------------------------------------------------------------
# JPEG: a small baseline encoder with the standard tables.

ZIGZAG = [0, 1, 8, 16, 9, 2, 3, 10, 17, 24, 32, 25, 18, 11, 4, 5, 12, 19, 26, 33, 40,
          48, 41, 34, 27, 20, 13, 6, 7, 14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36,
          29, 22, 15, 23, 30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61,
          54, 47, 55, 62, 63]
Q_LUM = [16, 11, 10, 16, 24, 40, 51, 61, 12, 12, 14, 19, 26, 58, 60, 55, 14, 13, 16,
         24, 40, 57, 69, 56, 14, 17, 22, 29, 51, 87, 80, 62, 18, 22, 37, 56, 68, 109,
         103, 77, 24, 35, 55, 64, 81, 104, 113, 92, 49, 64, 78, 87, 103, 121, 120, 101,
         72, 92, 95, 98, 112, 100, 103, 99]
Q_CHR = [17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99, 24, 26, 56,
         99, 99, 99, 99, 99, 47, 66, 99, 99, 99, 99, 99, 99] + [99] * 32
DC_LUM = ([0, 1, 5, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0], list(range(12)))
DC_CHR = ([0, 3, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0], list(range(12)))
AC_LUM = ([0, 2, 1, 3, 3, 2, 4, 3, 5, 5, 4, 4, 0, 0, 1, 0x7D], bytes.fromhex(
    "01020300041105122131410613516107227114328191a1082342b1c11552d1f02433627282"
    "090a161718191a25262728292a3435363738393a434445464748494a535455565758595a63"
    "6465666768696a737475767778797a838485868788898a92939495969798999aa2a3a4a5a6"
    "a7a8a9aab2b3b4b5b6b7b8b9bac2c3c4c5c6c7c8c9cad2d3d4d5d6d7d8d9dae1e2e3e4e5e6"
    "e7e8e9eaf1f2f3f4f5f6f7f8f9fa"))
AC_CHR = ([0, 2, 1, 2, 4, 4, 3, 4, 7, 5, 4, 4, 0, 1, 2, 0x77], bytes.fromhex(
    "000102031104052131061241510761711322328108144291a1b1c109233352f0156272d10a"
    "162434e125f11718191a262728292a35363738393a434445464748494a535455565758595a"
    "636465666768696a737475767778797a82838485868788898a92939495969798999aa2a3a4"
    "a5a6a7a8a9aab2b3b4b5b6b7b8b9bac2c3c4c5c6c7c8c9cad2d3d4d5d6d7d8d9dae2e3e4e5"
    "e6e7e8e9eaf2f3f4f5f6f7f8f9fa"))


def huff_codes(table):
    bits, vals = table
    codes, code, k = {}, 0, 0
    for length in range(1, 17):
        for _ in range(bits[length - 1]):
            codes[vals[k]] = (code, length)
            code += 1
            k += 1
        code <<= 1
    return codes


class BitWriter:
    def __init__(self):
        self.out = bytearray()
        self.acc = 0
        self.n = 0

    def put(self, value, length):
        for i in range(length - 1, -1, -1):
            self.acc = (self.acc << 1) | ((value >> i) & 1)
            self.n += 1
            if self.n == 8:
                self.out.append(self.acc)
                if self.acc == 0xFF:
                    self.out.append(0)
                self.acc, self.n = 0, 0

    def flush(self):
        while self.n:
            self.put(1, 1)


COS = [[math.cos((2 * x + 1) * u * math.pi / 16) for x in range(8)] for u in range(8)]


def fdct(block):
    out = [0.0] * 64
    for v in range(8):
        for u in range(8):
            s = 0.0
            for y in range(8):
                row = block[y * 8:y * 8 + 8]
                cy = COS[v][y]
                for x in range(8):
                    s += row[x] * COS[u][x] * cy
            cu = 1 / math.sqrt(2) if u == 0 else 1
            cv = 1 / math.sqrt(2) if v == 0 else 1
            out[v * 8 + u] = 0.25 * cu * cv * s
    return out


def scaled_table(base, quality):
    q = 5000 // quality if quality < 50 else 200 - quality * 2
    return [min(255, max(1, (b * q + 50) // 100)) for b in base]


def jpeg(w, h, px, mode="444", quality=80, restart=0, exif=False, adobe=False):
    """Baseline JPEG; mode is "gray", "444" or "420"."""
    def plane(fn):
        return [fn(*p) for p in px]
    Y = plane(lambda r, g, b: 0.299 * r + 0.587 * g + 0.114 * b)
    Cb = plane(lambda r, g, b: -0.168736 * r - 0.331264 * g + 0.5 * b + 128)
    Cr = plane(lambda r, g, b: 0.5 * r - 0.418688 * g - 0.081312 * b + 128)
    if mode == "gray":
        comps = [(1, 1, 1, 0, Y)]
    elif mode == "444":
        comps = [(1, 1, 1, 0, Y), (2, 1, 1, 1, Cb), (3, 1, 1, 1, Cr)]
    else:
        comps = [(1, 2, 2, 0, Y), (2, 1, 1, 1, Cb), (3, 1, 1, 1, Cr)]
    hmax = max(c[1] for c in comps)
    vmax = max(c[2] for c in comps)
    mcu_w, mcu_h = 8 * hmax, 8 * vmax
    mx, my = (w + mcu_w - 1) // mcu_w, (h + mcu_h - 1) // mcu_h
    qt = [scaled_table(Q_LUM, quality), scaled_table(Q_CHR, quality)]
    dc = [huff_codes(DC_LUM), huff_codes(DC_CHR)]
    ac = [huff_codes(AC_LUM), huff_codes(AC_CHR)]

    def sample(data, hs, vs, x, y):
        # Averages the full-resolution samples that one subsampled sample covers.
        fx, fy = hmax // hs, vmax // vs
        s, n = 0.0, 0
        for dy in range(fy):
            for dx in range(fx):
                sx = min(x * fx + dx, w - 1)
                sy = min(y * fy + dy, h - 1)
                s += data[sy * w + sx]
                n += 1
        return s / n

    bw = BitWriter()
    pred = [0] * len(comps)
    mcus = 0
    for by in range(my):
        for bx in range(mx):
            if restart and mcus and mcus % restart == 0:
                bw.flush()
                bw.out += bytes((0xFF, 0xD0 + ((mcus // restart - 1) % 8)))
                pred = [0] * len(comps)
            mcus += 1
            for ci, (cid, hs, vs, t, data) in enumerate(comps):
                for v in range(vs):
                    for u in range(hs):
                        block = []
                        for y in range(8):
                            for x in range(8):
                                sx = (bx * hs + u) * 8 + x
                                sy = (by * vs + v) * 8 + y
                                block.append(sample(data, hs, vs, sx, sy) - 128)
                        coef = fdct(block)
                        qz = [int(round(coef[ZIGZAG[k]] / qt[t][ZIGZAG[k]])) for k in range(64)]
                        diff = qz[0] - pred[ci]
                        pred[ci] = qz[0]
                        size = abs(diff).bit_length()
                        bw.put(*dc[t][size])
                        if size:
                            bw.put(diff if diff > 0 else diff + (1 << size) - 1, size)
                        run = 0
                        for k in range(1, 64):
                            if qz[k] == 0:
                                run += 1
                                continue
                            while run > 15:
                                bw.put(*ac[t][0xF0])
                                run -= 16
                            val = qz[k]
                            size = abs(val).bit_length()
                            bw.put(*ac[t][(run << 4) | size])
                            bw.put(val if val > 0 else val + (1 << size) - 1, size)
                            run = 0
                        if run:
                            bw.put(*ac[t][0x00])
    bw.flush()

    def segment(marker, payload):
        return bytes((0xFF, marker)) + struct.pack(">H", len(payload) + 2) + payload

    out = bytearray(b"\xff\xd8")
    out += segment(0xE0, b"JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00")
    if exif:
        tiff = b"MM\x00\x2a\x00\x00\x00\x08" + struct.pack(">HHHIHH", 1, 0x0112, 3, 1, 6, 0) + b"\x00\x00\x00\x00"
        out += segment(0xE1, b"Exif\x00\x00" + tiff)
    if adobe:
        out += segment(0xEE, b"Adobe\x00\x64\x00\x00\x00\x00\x01")
    out += segment(0xDB, b"\x00" + bytes(qt[0][ZIGZAG[k]] for k in range(64)))
    if mode != "gray":
        out += segment(0xDB, b"\x01" + bytes(qt[1][ZIGZAG[k]] for k in range(64)))
    sof = struct.pack(">BHHB", 8, h, w, len(comps))
    for cid, hs, vs, t, _ in comps:
        sof += bytes((cid, hs << 4 | vs, t))
    out += segment(0xC0, sof)
    for cls, tid, table in ((0, 0, DC_LUM), (1, 0, AC_LUM), (0, 1, DC_CHR), (1, 1, AC_CHR)):
        if tid == 1 and mode == "gray":
            continue
        out += segment(0xC4, bytes((cls << 4 | tid,)) + bytes(table[0]) + bytes(table[1]))
    if restart:
        out += segment(0xDD, struct.pack(">H", restart))
    sos = bytes((len(comps),))
    for cid, _, _, t, _ in comps:
        sos += bytes((cid, t << 4 | t))
    sos += b"\x00\x3f\x00"
    out += segment(0xDA, sos)
    out += bw.out
    out += b"\xff\xd9"
    return bytes(out)


def patch_sof_size(data, w, h):
    """Rewrites the frame size of the first SOF marker."""
    i = 2
    while i + 4 <= len(data):
        marker = data[i + 1]
        length = struct.unpack(">H", data[i + 2:i + 4])[0]
        if marker in (0xC0, 0xC1, 0xC2):
            return data[:i + 5] + struct.pack(">HH", h, w) + data[i + 9:]
        i += 2 + length
    return data


# ---------------------------------------------------------------------------
# Files that must be refused


def ico(cursor=False):
    w = h = 16
    xor = bytes(w * h * 4)
    and_mask = bytes(h * 4)
    info = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, len(xor) + len(and_mask), 0, 0, 0, 0)
    image = info + xor + and_mask
    kind = 2 if cursor else 1
    hot = (8, 8) if cursor else (1, 32)
    entry = struct.pack("<BBBBHHII", w, h, 0, 0, hot[0], hot[1], len(image), 22)
    return struct.pack("<HHH", 0, kind, 1) + entry + image


def wmf():
    placeable = struct.pack("<IHhhhhHI", 0x9AC6CDD7, 0, 0, 0, 100, 100, 1440, 0)
    checksum = 0
    for i in range(0, 20, 2):
        checksum ^= struct.unpack("<H", placeable[i:i + 2])[0]
    placeable += struct.pack("<H", checksum)
    header = struct.pack("<HHHIHIH", 1, 9, 0x300, 12, 0, 3, 0)
    eof = struct.pack("<IH", 3, 0)
    return placeable + header + eof


def emf():
    hdr = struct.pack("<II", 1, 88) + struct.pack("<iiii", 0, 0, 10, 10) * 2
    hdr += struct.pack("<IIIIHHIII", 0x464D4520, 0x10000, 108, 2, 0, 0, 0, 0, 0)
    hdr += struct.pack("<ii", 1024, 768) + struct.pack("<ii", 320, 240)
    return hdr + struct.pack("<IIIII", 14, 20, 0, 0, 20)


def png(w, h, px, orientation=None):
    raw = b"".join(b"\x00" + b"".join(bytes(px[y * w + x]) for x in range(w)) for y in range(h))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    exif = b""
    if orientation is not None:
        # A little-endian TIFF header and one directory entry: Orientation, one SHORT.
        exif = chunk(b"eXIf", b"II*\x00" + struct.pack("<IHHHIHHI", 8, 1, 0x0112, 3, 1, orientation, 0, 0))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0)) + exif
            + chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))


def tool_seeds(w, h, px):
    """One picture per format that a tool of its own makes from a PNG: WebP
    (with an EXIF orientation), TIFF, HEIC and AVIF. A missing tool leaves
    its seed out."""
    commands = {
        "webp_lossless_rotated.webp": ["cwebp", "-quiet", "-lossless", "in.png", "-o", "{out}"],
        "tiff_rgb.tif": ["convert", "in.png", "{out}"],
        "heic_small.heic": ["heif-enc", "-q", "30", "-o", "{out}", "in.png"],
        "avif_small.avif": ["heif-enc", "-A", "-q", "30", "-o", "{out}", "in.png"],
    }
    seeds = {}
    with tempfile.TemporaryDirectory() as folder:
        with open(os.path.join(folder, "in.png"), "wb") as f:
            f.write(png(w, h, px))
        for name, command in commands.items():
            if shutil.which(command[0]) is None:
                continue
            out = os.path.join(folder, name)
            run = [part.replace("{out}", out) for part in command]
            if subprocess.run(run, cwd=folder, capture_output=True).returncode != 0:
                continue
            if name.endswith(".webp") and shutil.which("exiftool"):
                subprocess.run(["exiftool", "-q", "-overwrite_original", "-Orientation#=6", out],
                               capture_output=True)
            with open(out, "rb") as f:
                seeds[name] = f.read()
    return seeds


# ---------------------------------------------------------------------------
# Corpora


def picture_seeds():
    seeds = {}
    p7x5 = pattern(7, 5, 1)
    p16 = pattern(16, 16, 2)
    p9x11 = pattern(9, 11, 3)

    # Sound pictures in the layouts the loader must decode.
    for bits in (1, 4, 8, 24, 32):
        seeds[f"bmp_{bits}bit_7x5.bmp"] = bmp(7, 5, bits, p7x5)
    seeds["bmp_16bit_555.bmp"] = bmp(7, 5, 16, p7x5)
    seeds["bmp_16bit_565_bitfields.bmp"] = bmp(7, 5, 16, p7x5, compression=3,
                                               masks=(0xF800, 0x07E0, 0x001F, 0))
    seeds["bmp_24bit_topdown.bmp"] = bmp(9, 11, 24, p9x11, top_down=True)
    seeds["bmp_rle8.bmp"] = bmp(9, 11, 8, p9x11, compression=1)
    seeds["bmp_rle4.bmp"] = bmp(9, 11, 4, p9x11, compression=2)
    seeds["bmp_os2_core.bmp"] = bmp(7, 5, 8, p7x5, header=12)
    seeds["bmp_v5_32bit.bmp"] = bmp(7, 5, 32, p7x5, header=124, compression=3)
    seeds["gif87a_16col.gif"] = gif(9, 11, p9x11, version=b"87a")
    seeds["gif89a_transparent.gif"] = gif(9, 11, p9x11, transparent=2, comment=True)
    seeds["gif_interlaced.gif"] = gif(16, 16, p16, colours=256, interlace=True)
    seeds["gif_two_frames_local.gif"] = gif(7, 5, p7x5, colours=4, frames=2, local_table=True)
    seeds["gif_2col.gif"] = gif(7, 5, p7x5, colours=2)
    seeds["jpeg_gray.jpg"] = jpeg(9, 11, p9x11, "gray")
    seeds["jpeg_444.jpg"] = jpeg(9, 11, p9x11, "444", quality=90)
    seeds["jpeg_420_restart.jpg"] = jpeg(17, 16, pattern(17, 16, 4), "420", restart=1)
    seeds["jpeg_exif_rotated.jpg"] = jpeg(7, 5, p7x5, "444", exif=True)
    seeds["png_7x5.png"] = png(7, 5, p7x5)
    seeds["png_exif_rotated.png"] = png(7, 5, p7x5, orientation=8)
    seeds.update(tool_seeds(9, 11, p9x11))

    # Hostile variants: huge claimed sizes over tiny data.
    seeds["bmp_huge_claim.bmp"] = bmp(7, 5, 24, p7x5)[:18] + struct.pack("<ii", 60000, 60000) \
        + bmp(7, 5, 24, p7x5)[26:]
    seeds["bmp_negative_width.bmp"] = bmp(7, 5, 24, p7x5)[:18] + struct.pack("<i", -7) \
        + bmp(7, 5, 24, p7x5)[22:]
    seeds["bmp_int_min_height.bmp"] = bmp(7, 5, 24, p7x5)[:22] + struct.pack("<i", -2**31) \
        + bmp(7, 5, 24, p7x5)[26:]
    seeds["bmp_offbits_past_end.bmp"] = bmp(7, 5, 24, p7x5)[:10] + struct.pack("<I", 0x7FFFFFF0) \
        + bmp(7, 5, 24, p7x5)[14:]
    seeds["bmp_clrused_huge.bmp"] = bmp(7, 5, 8, p7x5, clr_used=0x10000000)
    g = gif(9, 11, p9x11)
    seeds["gif_huge_screen.gif"] = g[:6] + struct.pack("<HH", 65535, 65535) + g[10:]
    descriptor = g.index(b"\x2c", 13 + 3 * 16)
    seeds["gif_huge_image.gif"] = (g[:descriptor + 5] + struct.pack("<HH", 60000, 60000)
                                   + g[descriptor + 9:])
    seeds["gif_no_terminator.gif"] = g[:-1]
    seeds["jpeg_huge_sof.jpg"] = patch_sof_size(jpeg(9, 11, p9x11, "444"), 65500, 65500)
    seeds["jpeg_zero_sof.jpg"] = patch_sof_size(jpeg(9, 11, p9x11, "444"), 0, 0)
    seeds["jpeg_progressive_marker.jpg"] = jpeg(9, 11, p9x11, "gray").replace(b"\xff\xc0", b"\xff\xc2", 1)
    seeds["jpeg_adobe_marker.jpg"] = jpeg(9, 11, p9x11, "444", adobe=True)
    j = jpeg(17, 16, pattern(17, 16, 5), "420")
    seeds["jpeg_no_eoi.jpg"] = j[:-2]
    for name, data in (("bmp", bmp(9, 11, 24, p9x11)), ("gif", g), ("jpeg", j), ("png", png(9, 11, p9x11))):
        for cut in (1, 2, 6, 14, 30, len(data) // 2, len(data) - 3):
            seeds[f"{name}_cut_{cut}.bin"] = data[:cut]
    rnd = random.Random(6)
    for name, data in (("bmp", bmp(9, 11, 8, p9x11, compression=1)), ("gif", g), ("jpeg", j)):
        for k in range(3):
            b = bytearray(data)
            for _ in range(6):
                pos = rnd.randrange(min(len(b), 64), len(b))
                b[pos] = rnd.randrange(256)
            seeds[f"{name}_flipped_{k}.bin"] = bytes(b)

    # Files that must be refused.
    seeds["empty.bin"] = b""
    seeds["ico_16.ico"] = ico()
    seeds["cur_16.cur"] = ico(cursor=True)
    seeds["wmf_placeable.wmf"] = wmf()
    seeds["emf_header.emf"] = emf()
    seeds["text.txt"] = "Obrázek? Ne, jen text.\n".encode("utf-8")
    seeds["only_bm.bin"] = b"BM"
    seeds["only_gif_magic.bin"] = b"GIF89a"
    seeds["only_soi.bin"] = b"\xff\xd8\xff"
    # An input that once stopped a run: an AVIF whose AV1 data is empty, which
    # dav1d refuses and leaks a few bytes over (suppressed in tests/lsan.supp).
    seeds["regression_avif_empty_av1.avif"] = base64.b64decode(
        "AAAAHGZ0eXBhdmlmAAAAAGF2aWZtaWYxbWlhZgAAAOptZXRhAAAAAAAAACFoZGxyAAAAAAAAAABwaWN0AAAAAAAAAAAAAAAA"
        "AAAAAA5waXRtAAAAAAABAAAAImlsb2MAAAAARC8AAQABAAAAAAEOAAEAAAAAAAAAOgAAACNpaW5mAAAAAAABAAAAFWluZmUC"
        "AAAAAAEAAGF2MDEAAAAAamlwcnAAAABLaXBjbwAAABNjb2xybmNseAACAAIABoAAAAAMYXYxQ4EADAAAAAAUaXNwZQAAAAAA"
        "AAAJAAAACwAAABBwaXhpAAAAAAMICAgAAAAXaXBtYQAAAAAAAAABAAEEgYIDhAAAAEJtZGF0EgAKCRgM4pggQEDQgDIrGwAa"
        "aaaFALHPct3/5K6gvNUkZZVTPrVqFwAT7/A+VToCRj1dHgdfWI4xgA==")
    return seeds


INTERESTING = [0, 1, 2, 3, 4, 5, 7, 8, 100, 103, 640, 719, 800, 32768, 65535, 65536,
               89478485, 89478486, 2**30, 2**31 - 1, -1, -2, -3, -4, -100, -(2**31)]


def canvas_seeds():
    """Seven little-endian int32 (mode, custom w/h, first w/h, second w/h), then pixel bytes."""
    seeds = {}
    rnd = random.Random(31)
    cases = [
        (0, 0, 0, 640, 480, 800, 600),
        (0, 0, 0, 641, 480, 798, 601),
        (1, 100, 100, 1, 1, 1, 1),
        (1, 103, 99, 5, 5, 5, 5),
        (1, 3, 3, 9, 9, 9, 9),
        (1, -4, 8, 9, 9, 9, 9),
        (1, 1000000, 1000000, 9, 9, 9, 9),
        (0, 0, 0, 2**31 - 1, 2**31 - 1, 2**31 - 1, 2**31 - 1),
        (0, 0, 0, 26755, 26755, 26755, 26755),
        (1, 26752, 26752, 1, 1, 1, 1),
        (7, 8, 4, 0, 0, 0, 0),
        (0, 0, 0, 8, 4, 8, 4),
    ]
    for i in range(24):
        cases.append(tuple(rnd.choice(INTERESTING) for _ in range(7)))
    for i, c in enumerate(cases):
        tail = bytes(rnd.randrange(256) for _ in range(rnd.choice((0, 16, 96, 200))))
        seeds[f"canvas_{i:02d}.bin"] = struct.pack("<7i", *c) + tail
    # Inputs that once stopped a run: sides whose product leaves 64 bits, and
    # a canvas of no width but 2^28 rows.
    seeds["regression_side_product.bin"] = struct.pack("<7i", 0, 0, 0, 2**31 - 1, 2**31 - 1, 2**31 - 1, 2**31 - 1)
    seeds["regression_tall_empty.bin"] = struct.pack("<7i", 0, 0, 0, 0, 0, 0, 2**29) + b"\x20"
    return seeds


def avi_seeds():
    """Records for the AVI writer target; the record layout is described there.

    Header: width i32, height i32, bit count u16, size image u32, rate i32,
    codec u8 (0 raw, 1 Motion JPEG, 2 cancel), quality u8, segment KiB u16,
    name flags u8; then one op byte per step: 0..0x7F writes a frame whose
    first byte is the op, 0x80..0xBF abandons, 0xC0..0xFF releases early.
    """
    seeds = {}
    cases = [
        (8, 4, 24, 96, 25, 0, 90, 0, 0, b"\x01\x02\x03"),
        (16, 8, 24, 384, 30, 1, 90, 0, 0, b"\x10\x20"),
        (12, 12, 24, 432, 1, 1, 1, 0, 1, b"\x05"),
        (8, 8, 24, 192, 25, 0, 90, 1, 0, bytes(range(40))),
        (8, 8, 24, 192, 25, 1, 100, 2, 0, bytes(range(0, 80, 2))),
        (0, 0, 24, 0, 25, 0, 90, 0, 0, b"\x01\x02"),
        (0, 8, 24, 0, 25, 1, 90, 0, 0, b"\x01"),
        (8, 8, 24, 192, 25, 2, 90, 0, 0, b"\x01"),
        (8, 8, 24, 192, 25, 0, 90, 0, 0, b"\x01\x80\x02"),
        (8, 8, 24, 192, 25, 1, 50, 0, 2, b"\x01\xc0\x02"),
        (8, 8, 24, 192, 0, 0, 90, 0, 0, b"\x01"),
        (8, 8, 24, 192, -5, 1, 90, 0, 0, b"\x01"),
        (8, -8, 24, 192, 25, 0, 90, 0, 0, b"\x01"),
        (8, 8, 24, 10, 25, 0, 90, 0, 0, b"\x01"),
        (8, 8, 8, 64, 25, 1, 90, 0, 0, b"\x01"),
        (4, 4, 24, 48, 1000000, 1, 0, 0, 3, b""),
    ]
    for i, (w, h, bits, size, rate, codec, q, seg, flags, ops) in enumerate(cases):
        seeds[f"avi_{i:02d}.bin"] = struct.pack("<iiHIiBBHB", w, h, bits, size, rate,
                                                codec, q, seg, flags) + ops
    # An input that once stopped a run: a width and height whose row size
    # times the height leaves 64 bits.
    seeds["regression_frame_product.bin"] = base64.b64decode("TjEwX19jeHgYAGAAAAAZAAAAAFphYt3d3d3dAABaAAAAAQ==")
    return seeds


def hostile_pictures():
    """Tiny files whose headers claim the largest picture the loader accepts
    (11585 x 11585 is just below 2^27 pixels) or far more; used to measure
    the memory a hostile picture can cost."""
    side = 11585
    p = pattern(9, 11, 3)
    g = gif(9, 11, p)
    d = g.index(b"\x2c", 13 + 3 * 16)
    b24 = bmp(9, 11, 24, p)
    return {
        "gif_at_limit.gif": g[:6] + struct.pack("<HH", side, side) + g[10:d + 5]
        + struct.pack("<HH", side, side) + g[d + 9:],
        "gif_over_limit.gif": g[:6] + struct.pack("<HH", 65535, 65535) + g[10:d + 5]
        + struct.pack("<HH", 65535, 65535) + g[d + 9:],
        "jpeg_at_limit.jpg": patch_sof_size(jpeg(9, 11, p, "444"), side, side),
        "jpeg_over_limit.jpg": patch_sof_size(jpeg(9, 11, p, "444"), 65500, 65500),
        "bmp_at_limit.bmp": b24[:18] + struct.pack("<ii", side, side) + b24[26:],
        "bmp_over_limit.bmp": b24[:18] + struct.pack("<ii", 60000, 60000) + b24[26:],
        "bmp_rle8_at_limit.bmp": (lambda r: r[:18] + struct.pack("<ii", side, side) + r[26:])(
            bmp(9, 11, 8, p, compression=1)),
        "small_7x5.bmp": bmp(7, 5, 24, pattern(7, 5, 1)),
    }


TARGETS = {
    "load_picture": picture_seeds,
    "canvas": canvas_seeds,
    "avi_writer": avi_seeds,
    "hostile": hostile_pictures,
}


def main(argv):
    if len(argv) < 2:
        sys.stderr.write(__doc__)
        return 2
    out = argv[1]
    names = argv[2:] or [name for name in TARGETS if name != "hostile"]
    for name in names:
        if name not in TARGETS:
            sys.stderr.write(f"make_corpus.py: unknown target {name}\n")
            return 2
        folder = os.path.join(out, name)
        os.makedirs(folder, exist_ok=True)
        for file_name, data in sorted(TARGETS[name]().items()):
            with open(os.path.join(folder, file_name), "wb") as f:
                f.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
