"""What Jupyter shows: _repr_png_ and _repr_svg_."""

import io
import xml.etree.ElementTree as ElementTree

from PIL import Image

import quillion
from conftest import read


def test_jupyter_reprs():
    barcode = quillion.render("code128", "Jupyter 128", scale=2)
    png = barcode._repr_png_()
    assert Image.open(io.BytesIO(png)).size == (barcode.width, barcode.height)
    svg = barcode._repr_svg_()
    assert isinstance(svg, str)
    root = ElementTree.fromstring(svg)
    assert root.tag == "{http://www.w3.org/2000/svg}svg"
    assert root.get("viewBox").split() == ["0", "0", str(barcode.width), str(barcode.height)]
    assert read(barcode) == [("Code128", "Jupyter 128", "]C0")]
    assert repr(barcode) == (f"<quillion.Barcode code128 'Jupyter 128': {barcode.width} x "
                             f"{barcode.height} pixels at 96 dpi>")
