#!/usr/bin/env python3
"""Writes the seed corpus of the fuzz targets (fuzz/corpus/<target>/) in the byte layout that
harness/byte_reader.h reads: mode bytes, then the values of 8, 16 or 32 bits, little-endian."""
import os
import struct
import sys

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus")

TYPICAL = b"\x00"


def text(value=None, same=False, utf16=False):
    if same:
        return b"\x01"
    if value is None:
        return TYPICAL
    units = value.encode("utf-16-le", "surrogatepass")
    n = len(units) // 2
    length = bytes([n]) if n < 0x80 else bytes([0x80 | (n >> 8), n & 0xFF])
    if utf16:
        return b"\x03" + length + units
    return b"\x02" + length + bytes(u & 0xFF for u in struct.unpack(f"<{n}H", units))


def i8(v):
    return b"\x01" + struct.pack("<b", v)


def i16(v):
    return b"\x02" + struct.pack("<h", v)


def i32(v):
    return b"\x03" + struct.pack("<i", v)


def code128(text_=TYPICAL, caption=TYPICAL, font=TYPICAL, **ints):
    order = ["Symbology", "CaptionAlignment", "CaptionPosition", "FontSize", "FontStyle",
             "BarHeight", "Left", "Top", "ModuleWidth", "CaptionGap", "Reserved3", "Reserved4",
             "Width", "Height", "Orientation", "BarColor", "BackColor", "CaptionColor",
             "CheckCharacter"]
    out = text_ + TYPICAL + TYPICAL + caption + font
    for name in order:
        out += ints.get(name, TYPICAL)
    return out


def code39(height, flags, face, size4, value):
    return struct.pack("<HBBB", height, flags, face, size4) + value


def upc(flags, height, value):
    return bytes([flags]) + struct.pack("<H", height) + value


SEEDS = {
    "fuzz_code128": {
        "window_ab": code128(),
        "sample_caption": code128(text("Quillion 128 Sample"), text(same=True)),
        "no_caption": code128(text("Hello, World! ~{|}"), text("")),
        "caption_top_bold": code128(text("ABC123"), text(same=True), CaptionPosition=i8(2),
                                    FontStyle=i8(1)),
        "justify": code128(text("JUSTIFIED"), text("J U S T"), CaptionAlignment=i8(4)),
        "wide_caption": code128(text("A"), text("A much wider caption than bars")),
        "fullwidth": code128(text("\uff21\uff22\uff11", utf16=True), text(same=True)),
        "lone_surrogate": code128(text("A\ud800B", utf16=True), text(same=True)),
        "illegal_char": code128(text("caf\u00e9\u0001")),
        "arial_italic": code128(text("xyz"), text(same=True), font=text("Arial"), FontStyle=i8(2),
                                FontSize=i8(24)),
        "long_face": code128(font=text("F" * 40)),
        "orientation": code128(Orientation=i8(1)),
        "big_module": code128(ModuleWidth=i32(30000000)),
        "negative_origin": code128(text("NEG"), text(same=True), Left=i16(-200), Top=i16(-30)),
        "huge_font": code128(FontSize=i32(100000)),
        "gap_overflow": code128(CaptionGap=i32(2147483647)),
        "no_check": code128(CheckCharacter=i8(0)),
        "colours": code128(BarColor=i32(0x0000FF), BackColor=i32(0x00FF00),
                           CaptionColor=i32(0xFF0000)),
        "long_text": code128(text("0123456789" * 300)),
        "bad_symbology": code128(Symbology=i8(3)),
    },
    "fuzz_code39": {
        "window": code39(56, 1, 0, 40, text("ABC-12 $/+%.")),
        "lower_case": code39(56, 1, 0, 40, text("abc xyz")),
        "asterisk": code39(56, 0, 1, 40, text("A*B")),
        "no_pattern": code39(56, 1, 0, 40, text("#@,!")),
        "empty": code39(56, 1, 0, 40, text("")),
        "tall": code39(400, 1, 2, 255, text("TALL")),
        "flat": code39(0, 0, 3, 0, text("FLAT")),
        "long": code39(56, 1, 0, 40, text("X" * 1500)),
        "unicode": code39(100, 14, 4, 20, text("\u00df\u0131\ud801\udc00", utf16=True)),
    },
    "fuzz_upc": {
        "upca": upc(0, 109, text("012345678905")),
        "upce": upc(1, 109, text("123456")),
        "short": upc(0, 109, text("0123")),
        "sign": upc(0, 109, text("+12345678905")),
        "fullwidth_digit": upc(1, 109, text("12\uff13456", utf16=True)),
        "twips_flat": upc(3, 0, text("999999")),
        "extra": upc(0, 400, text("0123456789051234")),
    },
}


def main():
    for target, seeds in SEEDS.items():
        folder = os.path.join(ROOT, target)
        os.makedirs(folder, exist_ok=True)
        for name, data in seeds.items():
            with open(os.path.join(folder, name), "wb") as f:
                f.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main())
