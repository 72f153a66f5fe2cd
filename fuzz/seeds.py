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


def datamatrix(flags, size, value, rows_columns=b""):
    return bytes([flags, size]) + rows_columns + value


def cur(bpp, width=32, height=32, hot=(3, 5), colors=None, mask=True):
    """A cursor file with one DIB image: palette, bottom-up XOR rows, then the AND mask."""
    colors = (1 << bpp) if bpp <= 8 and colors is None else (colors or 0)
    xor_stride = (width * bpp + 31) // 32 * 4
    and_stride = (width + 31) // 32 * 4
    header = struct.pack("<IiiHHIIiiII", 40, width, 2 * height, 1, bpp, 0, 0, 0, 0, colors, 0)
    palette = b"".join(struct.pack("<BBBB", (i * 37) & 255, (i * 91) & 255, (i * 13) & 255, 0)
                       for i in range(colors))
    xor = bytes((x * 7 + y) & 255 for y in range(height) for x in range(xor_stride))
    andmask = bytes(0xF0 if y % 2 else 0x0F for y in range(height) for _ in range(and_stride))
    image = header + palette + xor + (andmask if mask else b"")
    return cur_file(image, width, height, hot)


def cur_file(image, width, height, hot):
    entry = struct.pack("<BBBBHHII", width & 255, height & 255, 0, 0, hot[0], hot[1], len(image),
                        22)
    return struct.pack("<HHH", 0, 2, 1) + entry + image


def png_cur():
    import zlib
    width = height = 16
    raw = b"".join(b"\x00" + bytes([255, 0, 0, 128] * width) for _ in range(height))

    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))
    png = (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0,
                                                              0, 0)) +
           chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))
    return cur_file(png, width, height, (8, 8))


def settings(stored, ini):
    return text(stored) + ini.encode("utf-8")


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
    "fuzz_code128_auto": {
        "latin1_runs": b"\x00" + "Caf\u00e9 \u00e9\u00e9\u00e9 12345678 \u00ff\u00fe".encode("latin-1"),
        "controls": b"\x00\x01\x02a\x1fb\x81\x9f\x7f",
        "digits": b"\x00" + b"0123456789" * 5 + b"x1",
        "functions": b"\x01" + b"\x00\x00" + b"0109501101530003" + b"10AB\x00\x00" + b"21X",
        "indicators": b"\x01" + b"12\x00\x0034\x00\x03\xe9\xe9a\x00\x00",
        "set_b": b"\x03" + "A\u00e9\x01\x00\x02x".encode("latin-1"),
    },
    "fuzz_qr": {
        "url": bytes([1, 0, 0]) + text(),
        "numeric": bytes([0, 0, 1]) + text("0123456789" * 30),
        "alphanumeric_h": bytes([3, 0, 5]) + text("HELLO WORLD $%*+-./:"),
        "latin1_keep": bytes([4, 0, 0]) + text("Gr\u00fc\u00dfe \u00c3\u00a9"),
        "kanji": bytes([1, 0, 0]) + text("\u6f22\u5b57 \u30c6\u30b9\u30c8 123", utf16=True),
        "utf8_eci": bytes([1, 0, 0]) + text("\u041a\u0438\u0457\u0432 \U0001F600", utf16=True),
        "utf8_no_eci": bytes([9, 0, 0]) + text("\u041a\u0438\u0457\u0432 \u20ac", utf16=True),
        "gs1": bytes([16, 0, 0]) + text(),
        "gs1_invalid": bytes([16, 0, 0]) + text("(01)123"),
        "forced_version": bytes([2, 7, 9]) + text("version seven"),
        "too_long_forced": bytes([3, 1, 0]) + text("x" * 40),
        "version_40_l": bytes([0, 40, 0]) + text("7" * 2900),
        "out_of_range": bytes([0, 41, 9]) + text("A"),
        "lone_surrogate": bytes([0, 0, 0]) + text("a\ud800b", utf16=True),
        "empty": bytes([0, 0, 0]) + text(""),
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
    "fuzz_datamatrix": {
        "typical": datamatrix(0, 0, TYPICAL),
        "digits": datamatrix(0, 0, text("0123456789" * 7)),
        "c40_text_x12": datamatrix(2, 0, text("ABC abc *>\r 12 EDI:;<=>? " * 3)),
        "latin1": datamatrix(4, 0, text("Gr\u00fc\u00dfe \u00c0\u00c1\u00c2 caf\u00e9")),
        "utf16": datamatrix(0, 0, text("\u65e5\u672c \ud83d\ude00 \ud800", utf16=True)),
        "no_eci": datamatrix(8, 0, text("\u65e5\u672c", utf16=True)),
        "gs1": datamatrix(1, 0, TYPICAL),
        "gs1_bad": datamatrix(1, 0, text("(01)123")),
        "forced_144": datamatrix(0, 24, text("1" * 200)),
        "forced_dmre": datamatrix(4, 46, text("1234567890")),
        "raw_size": datamatrix(0, 0x80, text("ABC"), bytes([11, 11])),
        "bytes": datamatrix(0, 0, text("".join(chr(0x80 + i) for i in range(127)))),
    },
    "fuzz_linear": {
        "ean13": bytes([2]) + text("590123412345"),
        "ean13_check": bytes([2]) + text("5901234123457"),
        "ean8": bytes([3]) + text("9638507"),
        "upca": bytes([0]) + text("03600029145"),
        "upce": bytes([1]) + text("123456"),
        "code39_check": bytes([4 | 8]) + text("abc-42 $"),
        "full_ascii": bytes([5]) + text("Hello!\x01\x7f"),
        "full_ascii_wide": bytes([5]) + text("\u00e9\u20ac", utf16=True),
        "empty": bytes([5 | 8]) + text(""),
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
    "fuzz_app_cursor": {
        "mono": cur(1),
        "four_bit": cur(4, 16, 16, (0, 0)),
        "eight_bit": cur(8, 24, 8, (23, 7), colors=20),
        "true_colour": cur(24, 32, 32, (16, 16)),
        "alpha": cur(32, 48, 48, (1, 2), mask=False),
        "png": png_cur(),
        "truncated": cur(1)[:100],
    },
    "fuzz_app_settings": {
        "plain": settings("AB", "[Quillion]\nBarcode=Hello\nWith%20Caption=1\n"),
        "caption_off": settings("", "[Quillion]\nWith%20Caption=0\n"),
        "list_value": settings("a,b", "[Quillion]\nBarcode=a, b, c\nWith%20Caption=\"1\"\n"),
        "escapes": settings("\u00e9\u4e2d", "[Quillion]\nBarcode=\"x\\ty\\x4e2d\\0\"\n"),
        "variant": settings("1", "[Quillion]\nBarcode=@ByteArray(\\0\\xff)\n"
                                 "With%20Caption=@Variant(\\0\\0\\0\\x7f)\n"),
        "broken": settings("x", "[Quillion\n=\n\\\n[]\nBarcode\n"),
        "other_group": settings("AB", "[General]\nBarcode=1\n[Quillion/Sub]\nBarcode=2\n"),
    },
    # quillion-render's arguments, NUL between words.
    "fuzz_options": {
        "one": b"-t\0upca\0-o\0x.png\0--\0" b"03600029145",
        "label": b"--type=ean13\0--module-width\0" b"0.33mm\0--height\0" b"20mm\0--dpi\0" b"300\0"
                 b"--quiet-zones\0--margin\0" b"2\0--fg\0" b"1A237E\0--bg\0transparent\0"
                 b"--rotate\0" b"90\0-o\0x.svg\0" b"590123412345",
        "qr": b"-tqr\0--ecc\0H\0--qr-version\0" b"5\0--mask\0" b"3\0--no-eci\0-o\0-\0"
              b"--format\0png\0Hello",
        "datamatrix": b"-t\0dm\0--dm-size\0" b"16x48\0--dmre\0--no-quiet-zones\0-o\0a.png\0ABC",
        "code128": b"--code-set\0auto\0--position\0top\0--style\0bolditalic\0"
                   b"--window-stand-ins\0--fit-width\0" b"300\0-o\0a.jpg\0A\xc2\xb9B",
        "gs1_caption": b"-t\0gs1-qr\0--caption\0-o\0a.png\0(01)09501101530003",
        "batch": b"--batch\0-\0--out-dir\0d\0--names\0text\0--jobs\0" b"2\0-t\0code39",
        "wrong_type": b"-t\0code128\0--ecc\0L\0-o\0a.png\0x",
        "contrast": b"--fg\0FFFFFF\0--bg\0" b"000000\0-o\0a.png\0x",
        "bad": b"--scale\0" b"99\0--mask\0" b"8\0--dm-size\0" b"0x5\0-o",
    },
    # Symbology, struct size (odd: an older, shorter struct), option count, name and value
    # pairs NUL-ended, format, quality, the text.
    "fuzz_c_api": {
        "code128": b"\x00\x00\x00\x00\x00Quillion",
        "upca_sized": b"\x02\x00\x03module-width\0" b"0.33mm\0height\0" b"10mm\0dpi\0" b"300\0"
                      b"\x01\x50" b"03600029145",
        "qr_options": b"\x08\x00\x04ecc\0h\0qr-version\0" b"3\0mask\0" b"5\0no_eci\0yes\0"
                      b"\x02\x00https://example.com",
        "dm_size": b"\x09\x01\x02dm-size\0" b"16x48\0square\0" b"0\0\x00\x00ABC123",
        "gs1_caption": b"\x0a\x00\x01caption\0below\0\x00\x00(01)09501101530003",
        "colours": b"\x01\x00\x03fg\0" b"336699\0bg\0transparent\0rotate\0" b"270\0\x00\x00AB",
        "bad_values": b"\x03\x01\x04margin\0-1\0unknown\0x\0mask\0" b"8\0scale\0" b"0\0\x03\x00" b"123456",
        "unknown_symbology": b"\x7f\x00\x00\x00\x00text",
        "bad_utf8": b"\x00\x00\x00\x01\x00caf\xc3",
        "fit": b"\x04\x00\x02fit-width\0" b"1in\0margin\0" b"4\0\x00\x00" b"590123412345",
    },
    # Mode byte (0 bytes as characters, 2 after "https://id.gs1.org/", 3 after a GTIN), text.
    "fuzz_gs1": {
        "element_string": b"\x00(01)09501101530003(17)250101(10)AB-123",
        "square_escaped": b"\x00[01]09501101530003[10]A\\(B[21]X",
        "digital_link": b"\x0201/09501101530003/22/X/10/AB%2F1/21/S?17=250101&3103=000500&foo=1",
        "associations": b"\x03(3103)001500(30)12(10)X1(8030)abc_-(21)7",
        "iban_amount": b"\x00(415)5412345000013(8020)R1(8007)GB82WEST12345698765432(3911)978100",
        "coupon": b"\x00(8110)0614141123456250110123",
        "as_read": b"\x00]C1010950110153000310AB-123\x1d21XYZ\x1d3103000500",
        "sscc_link": b"\x0200/123456789012345675?02=09501101530003&37=12&4309=18000000003600000000",
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
