#!/usr/bin/env python3
"""Writes the fuzz targets' seed corpora under tests/fuzz/corpus/ (deterministic).

Run from anywhere: python3 tests/fuzz/make_seeds.py. The seeds are committed;
the fuzzers only read them and keep what they find in their build directory.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))


def write(target, name, data):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def command_lines():
    lines = {
        "fullscreen": b"Quorvelin.scr /s",
        "fullscreen-upper-dash": b"Quorvelin.scr -S",
        "fullscreen-bare": b"Quorvelin.scr s",
        "fullscreen-blank": b"Quorvelin.scr  /s",
        "quoted-path": b'"C:\\Program Files\\Quorvelin.scr" /s',
        "quoted-unclosed": b'"C:\\Quorvelin.scr /s',
        "preview": b"Quorvelin.scr /p 1234",
        "preview-l": b"Quorvelin.scr /l 65538",
        "preview-no-number": b"Quorvelin.scr /p",
        "preview-huge": b"Quorvelin.scr /p 99999999999999999999999999",
        "configure-colon": b"Quorvelin.scr /c:1234",
        "configure-blank": b"Quorvelin.scr /c 1234",
        "configure-alone": b"Quorvelin.scr /c",
        "password-change": b"Quorvelin.scr /a 4321",
        "settings": b"Quorvelin.scr",
        "settings-trailing": b"Quorvelin.scr   ",
        "unknown": b"Quorvelin.scr /x",
        "high-bytes": b"Qu\xe9rvelin.scr /\x81s",
        "double-byte-name": b'"C:\\\x83\x5c\x83\x8b.scr" /p 77',
        "control": b"Quorvelin.scr \t/s",
    }
    for name, data in lines.items():
        write("command_line", name, data)


def meshes():
    with open(os.path.join(ROOT, "resources", "mesh.txt"), "rb") as f:
        text = f.read()
    lines = text.split(b"\n")
    write("mesh_text", "embedded", text)
    write("mesh_text", "no-final-lf", text.rstrip(b"\n"))
    write("mesh_text", "crlf", text.replace(b"\n", b"\r\n"))
    write("mesh_text", "eight-numbers", b"\n".join(
        [lines[0], b" ".join(lines[1].split()[:8])] + lines[2:6]) + b"\n")
    write("mesh_text", "blank-line", b"\n".join(lines[:3] + [b""] + lines[3:6]) + b"\n")
    write("mesh_text", "malformed", b"\n".join(
        lines[:2] + [lines[2].replace(b"0.", b"0x.", 1)] + lines[3:5]) + b"\n")
    write("mesh_text", "exponents", b"1e3 -2.5E-2 +0.5 .5 5. 1e39 -1e-50 inf nan\n")
    write("mesh_text", "empty", b"")
    write("mesh_text", "one-face", lines[7] + b"\n")


def bmp(width, height, info_size=40, gap=0, fill=0x5A):
    stride = (width * 3 + 3) // 4 * 4
    pixels = bytes((fill + i) & 0xFF for i in range(stride * height))
    offset = 14 + info_size + gap
    header = b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", info_size, width, height, 1, 24, 0, len(pixels),
                       2835, 2835, 0, 0)
    info += b"\0" * (info_size - 40)
    return header + info + b"\0" * gap + pixels


def bitmaps():
    write("bmp_reader", "1x1", bmp(1, 1))
    write("bmp_reader", "2x2", bmp(2, 2))
    write("bmp_reader", "3x2-padded", bmp(3, 2))
    write("bmp_reader", "4x4", bmp(4, 4))
    write("bmp_reader", "5x3-v4-header", bmp(5, 3, info_size=108))
    write("bmp_reader", "2x1-gap", bmp(2, 1, gap=6))
    write("bmp_reader", "truncated", bmp(4, 4)[:-5])
    top_down = bytearray(bmp(2, 2))
    top_down[22:26] = struct.pack("<i", -2)
    write("bmp_reader", "top-down", bytes(top_down))


command_lines()
meshes()
bitmaps()
