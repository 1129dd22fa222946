#!/usr/bin/env python3
"""Puts the pictures of this folder into the form files as their binary values.

    python3 embed.py          rewrites the values listed in PICTURES

A picture (TImage.Picture) is stored as a one-byte class name length, "TBitmap"
and the bitmap's data; a bitmap (TBitBtn.Glyph) as its data alone: a 32-bit
little-endian byte count followed by the BMP file. Run it after changing a .bmp.
"""
import pathlib
import re
import struct

HERE = pathlib.Path(__file__).resolve().parent
FORMS = HERE.parent

# form file, component, property, picture file, stored as a picture (True) or a bitmap
PICTURES = [
    ("TiiForm1.form", "Image1", "Picture.Data", "product.bmp", True),
    ("TiiForm3.form", "BitBtn1", "Glyph.Data", "folder.bmp", False),
    ("TiForm10.form", "BitBtn1", "Glyph.Data", "newfolder.bmp", False),
]


def value_bytes(bmp: bytes, as_picture: bool) -> bytes:
    data = struct.pack("<I", len(bmp)) + bmp
    if as_picture:
        data = bytes([len(b"TBitmap")]) + b"TBitmap" + data
    return data


def hex_block(data: bytes, indent: str) -> str:
    lines = [data[i:i + 32].hex().upper() for i in range(0, len(data), 32)]
    return "{" + "".join("\n" + indent + "  " + line for line in lines) + "}"


def embed(form: str, component: str, prop: str, picture: str, as_picture: bool) -> None:
    path = FORMS / form
    text = path.read_text(encoding="cp1252")
    start = text.index(f"object {component}: ")
    pattern = re.compile(r"^( *)" + re.escape(prop) + r" = \{[^}]*\}", re.M)
    match = pattern.search(text, start)
    if not match:
        raise SystemExit(f"{form}: no {prop} in {component}")
    indent = match.group(1)
    block = hex_block(value_bytes((HERE / picture).read_bytes(), as_picture), indent)
    text = text[:match.start()] + indent + prop + " = " + block + text[match.end():]
    path.write_text(text, encoding="cp1252", newline="\n")


for entry in PICTURES:
    embed(*entry)
