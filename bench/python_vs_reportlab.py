#!/usr/bin/python3
"""10,000 Code 128 PNGs from Python: quillion against python3-reportlab
(reportlab.graphics.barcode drawn to PNG by renderPM, python3-renderpm); 10,000 QR Code PNGs:
quillion against python3-segno and python3-qrcode (skipped while this libquillion has no QR Code
encoder). One process, one thread, every file made in memory. The makers take turns in rounds of
100 barcodes (interleaved), so that a change in the machine's load falls on all of them alike.

    QUILLION_LIBRARY=build/library/libquillion.so.0 PYTHONPATH=bindings/python/src \
        /usr/bin/python3 bench/python_vs_reportlab.py [COUNT]

Each picture is comparable: Code 128 with 2-pixel modules, 40-pixel bars, quiet zones and its
text printed below; QR Code at level M with 4-pixel modules and a 4-module quiet zone. The first
barcode of every maker is read back with zxingcpp when it is installed.
"""

import io
import os
import sys
import time

import quillion

COUNT = int(sys.argv[1]) if len(sys.argv) > 1 else 10_000
ROUND = 100


def quillion_code128(text):
    return quillion.render("code128", text, module_width=2, height=40, quiet_zones=True).png()


REPORTLAB_FONT = "/usr/share/fonts/truetype/liberation/LiberationMono-Regular.ttf"


def reportlab_code128(text):
    from reportlab.graphics import renderPM
    from reportlab.graphics.barcode import createBarcodeDrawing
    from reportlab.graphics.shapes import STATE_DEFAULTS
    from reportlab.pdfbase import pdfmetrics
    from reportlab.pdfbase.ttfonts import TTFont

    # Debian's reportlab finds no Type 1 file for its standard fonts: the caption (and the
    # drawing's default font) is Liberation Mono, Courier New's metric twin, quillion's font.
    if "LiberationMono" not in pdfmetrics.getRegisteredFontNames():
        pdfmetrics.registerFont(TTFont("LiberationMono", REPORTLAB_FONT))
        STATE_DEFAULTS["fontName"] = "LiberationMono"
    drawing = createBarcodeDrawing("Code128", value=text, barWidth=2, barHeight=40,
                                   humanReadable=True, fontName="LiberationMono")
    return renderPM.drawToString(drawing, fmt="PNG", dpi=72)


def quillion_qr(text):
    return quillion.render("qr", text, ecc="M", scale=4).png()


def segno_qr(text):
    import segno

    out = io.BytesIO()
    segno.make_qr(text, error="m", boost_error=False).save(out, kind="png", scale=4, border=4)
    return out.getvalue()


def qrcode_qr(text):
    import qrcode

    maker = qrcode.QRCode(error_correction=qrcode.constants.ERROR_CORRECT_M, box_size=4,
                          border=4)
    maker.add_data(text)
    out = io.BytesIO()
    maker.make_image().save(out, format="PNG")
    return out.getvalue()


def check(name, png, expected):
    try:
        import zxingcpp
        from PIL import Image, ImageOps
    except ImportError:
        return
    image = ImageOps.expand(Image.open(io.BytesIO(png)).convert("L"), border=20, fill=255)
    got = [r.text for r in zxingcpp.read_barcodes(image)]
    if got != [expected]:
        sys.exit(f"{name}: the first barcode reads {got}, not {expected!r}")


def race(title, makers, texts):
    """Makes every text with every maker, in turns of ROUND texts; prints the times."""
    spent = {name: 0.0 for name in makers}
    for name, make in makers.items():
        check(name, make(texts[0]), texts[0])
    for start in range(0, len(texts), ROUND):
        chunk = texts[start:start + ROUND]
        for name, make in makers.items():
            begin = time.perf_counter()
            for text in chunk:
                make(text)
            spent[name] += time.perf_counter() - begin
    first = next(iter(makers))
    print(f"{title}: {len(texts)} PNGs each")
    for name in makers:
        print(f"  {name:10s} {spent[name]:7.2f} s  {spent[name] / len(texts) * 1e6:8.1f} us each"
              f"  quillion/{name} = {spent[first] / spent[name]:.3f}")


def main():
    print(f"libquillion {quillion.library_version()}, Python {sys.version.split()[0]}, "
          f"load average {os.getloadavg()[0]:.1f} on {os.cpu_count()} processors")
    texts = [f"QX-{n:05d}" for n in range(COUNT)]
    race("Code 128", {"quillion": quillion_code128, "reportlab": reportlab_code128}, texts)
    try:
        quillion.encode("qr", "QR")
    except quillion.UnsupportedError as error:
        print(f"QR Code: skipped (this libquillion's qr: {error})")
        return
    urls = [f"https://example.org/item/{n:05d}" for n in range(COUNT)]
    race("QR Code", {"quillion": quillion_qr, "segno": segno_qr, "qrcode": qrcode_qr}, urls)


if __name__ == "__main__":
    main()
