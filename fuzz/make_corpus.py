#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets: OUTDIR/<target>/<seed>.

Sound pictures come from ffmpeg (every BMP depth it writes, GIF, JPEG in three
samplings, PNG) and from each newer format's own tool (WebP with an EXIF
orientation, TIFF, HEIC, AVIF; left out where the tool is missing); hostile
ones are those pictures cut short, bit-flipped or with headers claiming huge
sizes; the canvas and video writer records follow the layouts described in
their targets; the inputs of past crashes are copied from regressions/.
Deterministic, so a crash found on one machine replays on another.

Usage: make_corpus.py OUTDIR [TARGET...]   (targets: load_picture canvas video_writer)
"""
import os, random, re, shutil, struct, subprocess, sys, tempfile, zlib


def ffmpeg(size, ext, *args):
    """One frame of ffmpeg's test source in the format of ext, as bytes."""
    with tempfile.TemporaryDirectory() as tmp:
        out = os.path.join(tmp, "p." + ext)
        subprocess.run(["ffmpeg", "-v", "error", "-nostdin", "-f", "lavfi", "-i", f"testsrc=size={size}:rate=1",
                        "-frames:v", "1", "-fflags", "+bitexact", "-flags", "+bitexact", *args, out], check=True)
        return open(out, "rb").read()


def bmp(width, height, bits, compression, pixels, palette=b"\0\0\xff\0\0\xff\0\0\xff\0\0\0\xff\xff\xff\0"):
    """A BMP built by hand, for the layouts ffmpeg does not write (RLE, top-down). The
    picture loader's tests read the 3 x 2 ones: red, green, blue over white, red, green."""
    table = palette if bits <= 8 else b""
    off = 54 + len(table)
    return (b"BM" + struct.pack("<IHHI", off + len(pixels), 0, 0, off)
            + struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, compression, len(pixels), 0, 0,
                          len(table) // 4, 0) + table + pixels)


def tool_seeds(png):
    """The PNG converted by the tools users' pictures come from."""
    commands = {"webp_lossless_rotated.webp": ["cwebp", "-quiet", "-lossless", "in.png", "-o", "out"],
                "tiff_rgb.tif": ["convert", "in.png", "tiff:out"],
                "heic_small.heic": ["heif-enc", "-q", "30", "-o", "out", "in.png"],
                "avif_small.avif": ["heif-enc", "-A", "-q", "30", "-o", "out", "in.png"]}
    seeds = {}
    with tempfile.TemporaryDirectory() as tmp:
        open(os.path.join(tmp, "in.png"), "wb").write(png)
        for name, command in commands.items():
            if shutil.which(command[0]) and subprocess.run(command, cwd=tmp, capture_output=True).returncode == 0:
                if name.endswith(".webp"):  # Also claiming 16384 x 16384 pixels, before any EXIF makes it VP8X.
                    w = open(os.path.join(tmp, "out"), "rb").read()
                    i = w.index(b"VP8L") + 9
                    seeds["webp_huge.webp"] = w[:i] + bytes([0xFF, 0xFF, 0xFF, (w[i + 3] & 0xF0) | 0x0F]) + w[i + 4:]
                if name.endswith(".webp") and shutil.which("exiftool"):
                    subprocess.run(["exiftool", "-q", "-overwrite_original", "-Orientation#=6", "out"], cwd=tmp,
                                   capture_output=True)
                seeds[name] = open(os.path.join(tmp, "out"), "rb").read()
    return seeds


def png_rotated(png, orientation):
    """The PNG with an eXIf chunk (a little-endian TIFF header, one Orientation entry) after its header."""
    data = b"II*\x00" + struct.pack("<IHHHIHHI", 8, 1, 0x0112, 3, 1, orientation, 0, 0)
    return png[:33] + struct.pack(">I", len(data)) + b"eXIf" + data + struct.pack(">I", zlib.crc32(b"eXIf" + data)) + png[33:]


def patch(data, pos, fmt, *values):
    return data[:pos] + struct.pack(fmt, *values) + data[pos + struct.calcsize(fmt):]


def sof(jpeg, width, height):
    """The JPEG with its frame header claiming width x height."""
    i = 2
    while i + 9 < len(jpeg) and jpeg[i + 1] not in (0xC0, 0xC1, 0xC2):
        i += 2 + struct.unpack(">H", jpeg[i + 2:i + 4])[0]
    return patch(jpeg, i + 5, ">HH", height, width)


def png_claiming(png, width, height):
    """The PNG with its header claiming width x height, its CRC made right again."""
    ihdr = struct.pack(">II", width, height) + png[24:29]
    return png[:16] + ihdr + struct.pack(">I", zlib.crc32(b"IHDR" + ihdr)) + png[33:]


def tiff_claiming(tiff, width, height):
    """The TIFF with its first directory's ImageWidth and ImageLength claiming width x height."""
    order = "<" if tiff[:2] == b"II" else ">"
    ifd = struct.unpack(order + "I", tiff[4:8])[0]
    for entry in range(ifd + 2, ifd + 2 + 12 * struct.unpack(order + "H", tiff[ifd:ifd + 2])[0], 12):
        tag, kind = struct.unpack(order + "HH", tiff[entry:entry + 4])
        if tag in (256, 257):
            tiff = patch(tiff, entry + 8, order + ("H" if kind == 3 else "I"), width if tag == 256 else height)
    return tiff


def heif_claiming(heif, width, height):
    """The HEIF file with every image spatial extent ('ispe') claiming width x height."""
    for box in re.finditer(b"ispe", heif):
        heif = patch(heif, box.start() + 8, ">II", width, height)
    return heif


def gif_claiming(gif, width, height):
    """The GIF with its screen and its first image claiming width x height."""
    image = gif.index(b"\x2c", 13 + 3 * (2 << (gif[10] & 7)) if gif[10] & 0x80 else 13)
    return patch(patch(gif, 6, "<HH", width, height), image + 5, "<HH", width, height)


def pictures():
    seeds = {f"bmp_{fmt}.bmp": ffmpeg("13x5", "bmp", "-pix_fmt", fmt)
             for fmt in ("monob", "pal8", "bgr4_byte", "rgb8", "rgb555le", "rgb565le", "bgr24", "bgra")}
    seeds.update({f"jpeg_{fmt}.jpg": ffmpeg("17x16", "jpg", "-pix_fmt", fmt)
                  for fmt in ("yuvj420p", "yuvj444p", "gray")})
    seeds["gif.gif"] = ffmpeg("9x11", "gif")
    seeds["png.png"] = ffmpeg("9x11", "png")
    seeds["png_exif_rotated.png"] = png_rotated(seeds["png.png"], 8)
    seeds.update(tool_seeds(seeds["png.png"]))
    # Headers claiming more pixels than the loader's limit: 20000 x 20000, within each decoder's own limits,
    # and 40000 x 40000 for HEIC, past libheif's.
    seeds["png_huge.png"] = png_claiming(seeds["png.png"], 20000, 20000)
    claims = {"tiff_huge.tif": ("tiff_rgb.tif", tiff_claiming, 20000),
              "heic_huge.heic": ("heic_small.heic", heif_claiming, 40000),
              "avif_huge.avif": ("avif_small.avif", heif_claiming, 20000)}
    seeds.update({name: claim(seeds[seed], side, side) for name, (seed, claim, side) in claims.items() if seed in seeds})
    seeds["bmp_rle8.bmp"] = bmp(3, 2, 8, 1, bytes([1, 3, 1, 0, 1, 1, 0, 0, 1, 0, 1, 1, 1, 2, 0, 0, 0, 1]))
    seeds["bmp_rle4.bmp"] = bmp(3, 2, 4, 2, bytes([0, 3, 0x30, 0x10, 0, 0, 0, 3, 0x01, 0x20, 0, 0, 0, 1]))
    seeds["bmp_4bit.bmp"] = bmp(3, 2, 4, 0, bytes([0x30, 0x10, 0, 0, 0x01, 0x20, 0, 0]))
    seeds["bmp_top_down.bmp"] = bmp(3, -2, 24, 0, bytes([0, 0, 255, 0, 255, 0, 255, 0, 0, 0, 0, 0,
                                                          255, 255, 255, 0, 0, 255, 0, 255, 0, 0, 0, 0]))
    b, g, j = seeds["bmp_bgr24.bmp"], seeds["gif.gif"], seeds["jpeg_yuvj420p.jpg"]
    seeds.update({
        "bmp_huge.bmp": patch(b, 18, "<ii", 60000, 60000), "bmp_negative_width.bmp": patch(b, 18, "<i", -7),
        "bmp_int_min_height.bmp": patch(b, 22, "<i", -2**31), "bmp_offbits_past_end.bmp": patch(b, 10, "<I", 2**31 - 16),
        "bmp_clrused_huge.bmp": patch(seeds["bmp_pal8.bmp"], 46, "<I", 0x10000000),
        "gif_huge.gif": gif_claiming(g, 65535, 65535), "gif_no_trailer.gif": g[:-1],
        "jpeg_huge.jpg": sof(j, 65500, 65500), "jpeg_zero.jpg": sof(j, 0, 0), "jpeg_no_eoi.jpg": j[:-2],
        "empty.bin": b"", "text.txt": "Obrázek? Ne, jen text.\n".encode(), "ico.ico": bytes([0, 0, 1, 0, 1, 0, 16, 16]),
        "riff_wave.wav": b"RIFF\x24\0\0\0WAVEfmt \x10\0\0\0\1\0\1\0" + bytes(20),
    })
    rnd = random.Random(6)
    for name, data in (("bmp", b), ("gif", g), ("jpeg", j), ("png", seeds["png.png"]),
                       ("webp", seeds.get("webp_lossless_rotated.webp", b"")),
                       ("tiff", seeds.get("tiff_rgb.tif", b""))):
        for cut, length in (("2", 2), ("14", 14), ("30", 30), ("half", len(data) // 2), ("end", len(data) - 3)):
            seeds[f"{name}_cut_{cut}.bin"] = data[:length]
        flipped = bytearray(data)
        for _ in range(6):
            flipped[rnd.randrange(min(len(data) - 1, 64), len(data))] = rnd.randrange(256)
        seeds[f"{name}_flipped.bin"] = bytes(flipped)
    return seeds


def canvas():
    """Seven int32 (mode, custom w/h, first w/h, second w/h), then pixel bytes."""
    rnd = random.Random(31)
    interesting = [0, 1, 3, 4, 5, 7, 100, 103, 640, 719, 65535, 89478485, 2**30, 2**31 - 1, -1, -4, -(2**31)]
    cases = [(0, 0, 0, 640, 480, 800, 600), (0, 0, 0, 641, 480, 798, 601), (1, 103, 99, 5, 5, 5, 5),
             (1, 3, 3, 9, 9, 9, 9), (1, -4, 8, 9, 9, 9, 9), (1, 26752, 26752, 1, 1, 1, 1), (7, 8, 4, 0, 0, 0, 0)]
    cases += [tuple(rnd.choice(interesting) for _ in range(7)) for _ in range(16)]
    # The rule's edges, which CTest's replay checks against the target's own
    # model: a mean of 4.5, the widest row and the largest image that fit and
    # the first that do not, a side of 0 after rounding, a negative one, sums
    # past 32 bits, a custom size beside pictures, an unknown mode.
    cases += [(0, 0, 0, 3, 4, 5, 4), (1, 89478487, 4, 1, 1, 1, 1), (1, 89478488, 4, 8, 8, 8, 8),
              (1, 26756, 26756, 8, 8, 8, 8), (1, 100, 3, 8, 8, 8, 8), (1, 100, -1, 8, 8, 8, 8),
              (0, 0, 0, 2**31 - 1, 8, 2**31 - 1, 8), (0, 0, 0, 2, 8, 5, 8), (0, 0, 0, 8, 3, 8, 3),
              (0, -5, 3, 640, 480, 800, 600), (7, 12, 8, 640, 480, 800, 600)]
    return {f"canvas_{i:02d}.bin": struct.pack("<7i", *c) + rnd.randbytes(rnd.choice((0, 16, 200)))
            for i, c in enumerate(cases)}


def video_writer():
    """name, codec, quality, width, height, rate, segment KiB; then steps."""
    frames = bytes(range(0, 40, 3))
    cases = [(0, 0, 0, 4, 0, 25, 0, b"\x01\x02\x03\xc0"), (1, 2, 90, 12, 8, 25, 0, frames + b"\xc0"),
             (0, 1, 90, 28, 16, 30, 0, b"\x10\x20\xc0"), (8, 1, 1, 0, 0, 1, 0, b"\x05\xc0"),
             (0, 0, 0, 4, 4, 25, 1, bytes(range(40)) + b"\xc0"), (3, 3, 0, 36, 20, 25, 4, frames + b"\xc0"),
             (0, 2, 37, 60, 44, 100000, 8, frames + b"\xc0"), (9, 2, 90, 12, 12, 25, 0, b"\x01\x80"),
             (2, 1, 50, 4, 4, 25, 0, b"\x01\xc0\x02"), (4, 1, 90, 4, 4, 25, 0, b"\x01\xc0"),
             (5, 0, 0, 4, 4, 25, 0, b"\x01\xc0"), (0, 0, 0, 4, 4, 0, 0, b"\x01\xc0"),
             (1, 2, 0, 4, 4, 25, 0, b"\xc0"), (0, 9, 90, 4, 4, 25, 0, b"\x01\xc0"),
             (12, 2, 100, 252, 252, 1000000, 0, b"\x7f\x03\xc0"),
             # NTSC's 30000/1001 in both containers; a rate of 1 over a scale of 65536.
             (0x11, 2, 90, 12, 8, 30000, 0, frames + b"\xc0"), (0x10, 3, 0, 4, 4, 30000, 0, b"\x01\x02\xc0"),
             (0x30, 0, 0, 4, 4, 1, 0, b"\x01\xc0")]
    return {f"video_{i:02d}.bin": struct.pack("<BBBBBiH", *c[:7]) + c[7] for i, c in enumerate(cases)}


if __name__ == "__main__":
    targets = {"load_picture": pictures, "canvas": canvas, "video_writer": video_writer}
    if len(sys.argv) < 2 or any(t not in targets for t in sys.argv[2:]):
        sys.exit(__doc__)
    for name in sys.argv[2:] or targets:
        os.makedirs(os.path.join(sys.argv[1], name), exist_ok=True)
        for file_name, data in targets[name]().items():
            with open(os.path.join(sys.argv[1], name, file_name), "wb") as f:
                f.write(data)
        # Inputs that once stopped a run are kept as files (see regressions/README.md).
        kept = os.path.join(os.path.dirname(os.path.abspath(__file__)), "regressions", name)
        for file_name in os.listdir(kept) if os.path.isdir(kept) else []:
            shutil.copyfile(os.path.join(kept, file_name), os.path.join(sys.argv[1], name, "regression_" + file_name))
