#!/usr/bin/env python3
"""Writes the pictures measure_hostile_memory.sh feeds plavex-cli: tiny files
claiming the largest picture the loader accepts (11585^2 < 2^27 pixels) or far
more, made from the fuzz seed pictures, and a small sound picture to pair them with.

Usage: hostile_pictures.py OUTDIR"""
import os, sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "fuzz"))
from make_corpus import gif_claiming, patch, pictures, sof  # noqa: E402

p = pictures()
b, g, j, side = p["bmp_bgr24.bmp"], p["gif.gif"], p["jpeg_yuvj444p.jpg"], 11585
files = {"gif_at_limit.gif": gif_claiming(g, side, side), "gif_over_limit.gif": p["gif_huge.gif"],
         "jpeg_at_limit.jpg": sof(j, side, side), "jpeg_over_limit.jpg": p["jpeg_huge.jpg"],
         "bmp_at_limit.bmp": patch(b, 18, "<ii", side, side), "bmp_over_limit.bmp": p["bmp_huge.bmp"],
         "bmp_rle8_at_limit.bmp": patch(p["bmp_rle8.bmp"], 18, "<ii", side, side), "small_7x5.bmp": b}
os.makedirs(sys.argv[1], exist_ok=True)
for name, data in files.items():
    with open(os.path.join(sys.argv[1], name), "wb") as f:
        f.write(data)
