"""quillion.render and quillion.encode: every symbology read back by ZXing-C++, the options as
they reach the picture and its files, the modules against the pixels."""

import io
import pickle

import pytest
from PIL import Image

import quillion
from conftest import built, read

# symbology, text, options, what ZXing-C++ reads: format, text, symbology identifier.
ROUND_TRIPS = [
    ("code128", "ABC-123", {}, ("Code128", "ABC-123", "]C0")),
    ("code128", "0123456789", {"code_set": "auto"}, ("Code128", "0123456789", "]C0")),
    ("code39", "QUILLION-39", {}, ("Code39", "QUILLION-39", "]A0")),
    # ZXing-C++ 1.4 reports Full ASCII as its shift pairs.
    ("code39-full", "Quill 39", {}, ("Code39", "Q+U+I+L+L 39", "]A0")),
    ("upca", "03600029145", {}, ("UPCA", "036000291452", "]E0")),
    ("upce", "123456", {}, ("UPCE", "01234565", "]E0")),
    ("ean13", "590123412345", {}, ("EAN13", "5901234123457", "]E0")),
    ("ean8", "9638507", {}, ("EAN8", "96385074", "]E4")),
    ("gs1-128", "(01)09501101530003(10)AB-123(17)250101", {},
     ("Code128", "010950110153000310AB-123\x1d17250101", "]C1")),
    ("qr", "https://example.org/Grüße", {}, ("QRCode", "https://example.org/Grüße", "]Q1")),
    ("datamatrix", "Quillion Data Matrix", {}, ("DataMatrix", "Quillion Data Matrix", "]d1")),
    ("gs1-qr", "(01)09501101530003(10)AB(17)250101", {},
     ("QRCode", "010950110153000310AB\x1d17250101", "]Q3")),
    ("gs1-datamatrix", "(01)09501101530003(10)AB(17)250101", {},
     ("DataMatrix", "010950110153000310AB\x1d17250101", "]d2")),
]


def test_every_symbology_has_a_row():
    assert sorted({row[0] for row in ROUND_TRIPS}) == sorted(quillion.symbologies())


@pytest.mark.parametrize("symbology,text,options,expected", ROUND_TRIPS,
                         ids=[row[0] + "-" + str(i) for i, row in enumerate(ROUND_TRIPS)])
def test_round_trip(symbology, text, options, expected):
    if not built(symbology, text):
        pytest.skip(f"this libquillion has no {symbology} yet")
    barcode = quillion.render(symbology, text, quiet_zones=True, **options)
    assert read(barcode) == [expected]
    # The symbol without a picture says what the reader read: a reader's bytes and ZXing's
    # text differ only in how GS1 and Full ASCII are shown, never for the rest.
    symbol = quillion.encode(symbology, text, **options)
    if symbology not in ("code39-full",) and not symbology.startswith("gs1"):
        # 2D symbols carry ISO 8859-1 text as such, other text as UTF-8.
        latin1 = symbology in ("qr", "datamatrix") and all(ord(c) < 256 for c in text)
        assert symbol.reading.decode("latin-1" if latin1 else "utf-8") == expected[1]
    # The same barcode through PNG, Pillow and back: the files hold the pixels.
    from_png = Image.open(io.BytesIO(barcode.png())).convert("RGBA")
    assert from_png.tobytes() == barcode.rgba()


def dark_columns(barcode, row):
    """The dark (1) and light (0) pixels of one row of a picture."""
    pixels = barcode.to_numpy()
    return [int(p[0] < 128) for p in pixels[row]]


# symbology, text, the quiet zone the symbology's standard asks on the left and the right.
LINEAR = [("code128", "Modules 128", 10), ("code39", "MOD-39", 10), ("upca", "03600029145", 9),
          ("ean8", "9638507", 7)]


@pytest.mark.parametrize("symbology,text,zone", LINEAR)
def test_linear_modules_are_the_painted_bars(symbology, text, zone):
    # At three pixels a module, without caption or quiet zones, a row through the bars is the
    # symbol's one row of modules, each three times.
    barcode = quillion.render(symbology, text, module_width=3, caption=False)
    symbol = barcode.symbol
    assert symbol.rows == 1 and symbol.columns == len(symbol.modules[0])
    row = dark_columns(barcode, 5)
    first = row.index(1)
    painted = row[first:first + 3 * symbol.columns]
    assert painted == [m for m in symbol.modules[0] for _ in range(3)]
    assert symbol.quiet_zones == (zone, zone, 0, 0)


def test_matrix_modules_are_the_painted_squares():
    if not built("qr", "QUILLION"):
        pytest.skip("this libquillion has no qr yet")
    barcode = quillion.render("qr", "QUILLION", scale=2)
    symbol = barcode.symbol
    assert symbol.rows == symbol.columns == 21  # version 1
    zone = symbol.quiet_zones
    assert zone == (4, 4, 4, 4)
    side = barcode.width // (symbol.columns + zone.left + zone.right)
    pixels = barcode.to_numpy()
    painted = [[int(pixels[(zone.top + r) * side][(zone.left + c) * side][0] < 128)
                for c in range(symbol.columns)] for r in range(symbol.rows)]
    assert painted == symbol.modules


def test_options_reach_the_picture_and_its_files():
    plain = quillion.render("code128", "ABC-123", module_width=1, caption=False)
    wide = quillion.render("code128", "ABC-123", dpi=300, module_width="0.33mm",
                           caption=False, quiet_zones=True)
    columns = plain.symbol.columns
    zone = plain.symbol.quiet_zones
    # 0.33 mm at 300 dpi is 3.9 pixels: 4 a module, quiet zones included.
    assert wide.width == 4 * (columns + zone.left + zone.right)
    assert plain.width == columns
    assert wide.dpi == 300
    assert Image.open(io.BytesIO(wide.png())).info["dpi"] == pytest.approx((300, 300), abs=0.1)
    assert wide.to_pil().info["dpi"] == (300, 300)
    assert 'width="' in wide.svg() and "mm" in wide.svg().split(">", 2)[1]
    # True and False are "1" and "0"; None leaves the default.
    assert quillion.render("code128", "ABC-123", module_width=1, caption=False,
                           quiet_zones=False, margin=None).width == plain.width
    turned = quillion.render("code128", "ABC-123", module_width=1, caption=False, rotate=90)
    assert (turned.width, turned.height) == (plain.height, plain.width)
    assert quillion.render("Code128", "x").symbology == "code128"
    assert quillion.render(0, "x").symbology == "code128"


def test_files_and_pictures():
    barcode = quillion.render("code39", "FILES-39", scale=2)
    assert barcode.png().startswith(b"\x89PNG\r\n\x1a\n")
    assert barcode.jpeg().startswith(b"\xff\xd8") and barcode.jpeg(quality=20) != barcode.jpeg()
    assert barcode.svg().lstrip().startswith("<") and "<svg" in barcode.svg()
    image = barcode.to_pil()
    assert (image.mode, image.size) == ("RGBA", (barcode.width, barcode.height))
    assert barcode.to_numpy().shape == (barcode.height, barcode.width, 4)
    copy = pickle.loads(pickle.dumps(barcode))
    assert (copy.png(), copy.options) == (barcode.png(), {"scale": "2"})


def test_texts_with_nul_and_bytes():
    # Code 128 set A carries NUL: the text goes by its length, never cut at the NUL.
    with_nul = quillion.encode("code128", "A\x00B", code_set="auto")
    assert with_nul.reading == b"A\x00B"
    assert quillion.encode("code128", b"ABC").reading == b"ABC"
    # UPC-A prints its twelve digits: the first left of the bars, the last right of them.
    symbol = quillion.encode("upca", "03600029145")
    assert "".join(t.text for t in symbol.texts) == "036000291452"
    assert symbol.texts == sorted(symbol.texts, key=lambda t: t.x)
    assert symbol.texts[0].x < 0 < symbol.texts[1].x
    assert symbol.texts[-2].x < 95 < symbol.texts[-1].x
