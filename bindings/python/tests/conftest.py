"""Shared by the quillion tests: the independent reader (ZXing-C++ through zxingcpp)."""

import pytest
from PIL import Image, ImageOps

zxingcpp = pytest.importorskip("zxingcpp")


def picture(barcode, margin=20, enlarge=2):
    """The barcode's pixels on white, with a white margin (readers want a quiet zone the
    picture may lack) and every pixel doubled (ZXing misses some one-pixel modules)."""
    image = barcode.to_pil()
    white = Image.new("RGBA", image.size, (255, 255, 255, 255))
    image = Image.alpha_composite(white, image).convert("L")
    image = ImageOps.expand(image, border=margin, fill=255)
    return image.resize((image.width * enlarge, image.height * enlarge), Image.NEAREST)


def read(barcode):
    """Every symbol ZXing-C++ finds in the barcode's picture, as (format name, text,
    symbology identifier)."""
    return [(r.format.name, r.text, r.symbology_identifier)
            for r in zxingcpp.read_barcodes(picture(barcode))]


def built(symbology, text):
    """False while this libquillion has the symbology's name but not yet its encoder."""
    import quillion

    try:
        quillion.encode(symbology, text)
    except quillion.UnsupportedError:
        return False
    except quillion.Error:
        pass
    return True
