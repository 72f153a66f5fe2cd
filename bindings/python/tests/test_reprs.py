"""What Jupyter shows: _repr_png_ and _repr_svg_, each read back as the barcode."""

import io
import shutil
import subprocess
import xml.etree.ElementTree as ElementTree

import pytest
from PIL import Image, ImageOps

import quillion
from conftest import read, zxingcpp


def test_jupyter_reprs(tmp_path):
    barcode = quillion.render("code128", "Jupyter 128", scale=2)
    png = barcode._repr_png_()
    assert Image.open(io.BytesIO(png)).size == (barcode.width, barcode.height)
    assert read(barcode) == [("Code128", "Jupyter 128", "]C0")]
    assert repr(barcode) == (f"<quillion.Barcode code128 'Jupyter 128': {barcode.width} x "
                             f"{barcode.height} pixels at 96 dpi>")
    svg = barcode._repr_svg_()
    root = ElementTree.fromstring(svg)
    assert root.tag == "{http://www.w3.org/2000/svg}svg"
    # At 96 dpi the SVG is as large as the picture, in pixels.
    assert (root.get("width"), root.get("height")) == (str(barcode.width), str(barcode.height))
    if shutil.which("rsvg-convert") is None:
        pytest.skip("no rsvg-convert to draw the SVG")
    (tmp_path / "a.svg").write_text(svg)
    subprocess.run(["rsvg-convert", "-b", "white", "-o", str(tmp_path / "a.png"),
                    str(tmp_path / "a.svg")], check=True)
    drawn = ImageOps.expand(Image.open(tmp_path / "a.png").convert("L"), border=20, fill=255)
    assert [r.text for r in zxingcpp.read_barcodes(drawn)] == ["Jupyter 128"]
