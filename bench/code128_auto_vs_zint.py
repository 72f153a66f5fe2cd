#!/usr/bin/python3
"""Quillion's shortest Code 128 against zint's automatic one, on random ISO 8859-1 texts made of
runs: of characters 128-255 (mostly 160-255), letters, digits, control characters and
punctuation. Counts the texts where Quillion's symbol is longer than zint's (there must be none),
as long, or shorter, and reads every symbol back with ZXing-C++ (python3-zxing-cpp): Quillion's
bytes must be the text's. zint 2.11 ends its FNC4 latch where it changes to code set C, which
readers (ZXing-C++, ISO/IEC 15417: code set changes have their normal effect) do not: such zint
symbols read back otherwise, and where one is shorter than Quillion's it is counted apart.

    bench/code128_auto_vs_zint.py [DUMP] [COUNT] [SEED]

DUMP is the code128_dump program of a build with benchmarks (default build/bench/code128_dump),
COUNT the number of texts (default 1000), SEED the random seed (default 20261207). Texts stay
within zint's limit of 60 symbol characters. Exit status 1 when a symbol is longer than zint's or
does not read back."""
import os
import random
import subprocess
import sys

import zxingcpp
from PIL import Image

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
PIXELS = 2  # per module
QUIET = 10  # modules


def runs_text(rng):
    classes = [
        (5, lambda: rng.randrange(0xA0, 0x100)),
        (1, lambda: rng.randrange(0x80, 0xA0)),
        (2, lambda: rng.choice(b"abcdefghijklmnopqrstuvwxyz")),
        (2, lambda: rng.choice(b"ABCDEFGHIJKLMNOPQRSTUVWXYZ")),
        (2, lambda: rng.choice(b"0123456789")),
        (1, lambda: rng.randrange(0, 0x20)),
        (1, lambda: rng.choice(b" !\"#%&'()*+,-./:;<=>?@[]^_`{|}~")),
    ]
    weights = [w for w, _ in classes]
    out = bytearray()
    for _ in range(rng.randint(1, 5)):
        pick = rng.choices(classes, weights)[0][1]
        out += bytes(pick() for _ in range(rng.randint(1, 8)))
    return bytes(out[:30])


def zint_modules(text):
    escaped = "".join(chr(b) if 0x20 < b < 0x7F and b != 0x5C else "\\x%02X" % b for b in text)
    run = subprocess.run(["zint", "--barcode=20", "--binary", "--esc", "--dump", "-d", escaped],
                         capture_output=True, text=True)
    digits = run.stdout.replace(" ", "").replace("\n", "")
    if run.returncode != 0 or not digits:
        return None
    bits = bin(int(digits, 16))[2:].zfill(len(digits) * 4)
    return bits[:bits.rfind("1") + 1]  # the dump pads the last digit with light modules


def read_back(modules):
    width = (len(modules) + 2 * QUIET) * PIXELS
    image = Image.new("L", (width, 20), 255)
    row = bytes(255 if m == "0" else 0 for m in "0" * QUIET + modules + "0" * QUIET
                for _ in range(PIXELS))
    for y in range(20):
        image.paste(Image.frombytes("L", (width, 1), row), (0, y))
    found = zxingcpp.read_barcodes(image, formats=zxingcpp.BarcodeFormat.Code128)
    return bytes(found[0].bytes) if found else None


def main():
    dump = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build/bench/code128_dump")
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 1000
    rng = random.Random(int(sys.argv[3]) if len(sys.argv) > 3 else 20261207)
    texts, zint = [], []
    while len(texts) < count:
        text = runs_text(rng)
        modules = zint_modules(text)
        if modules is not None:  # beyond zint's 60 symbol characters: another text
            texts.append(text)
            zint.append(modules)
    lines = "".join(t.hex() + "\n" for t in texts)
    ours = subprocess.run([dump], input=lines, capture_output=True, text=True,
                          check=True).stdout.splitlines()
    longer = same = shorter = unread = zint_unread = longer_than_misread = 0
    total_ours = total_zint = 0
    for text, theirs, line in zip(texts, zint, ours):
        modules, _, reading = line.partition("\t")
        total_ours += len(modules)
        total_zint += len(theirs)
        zint_right = read_back(theirs) == text
        zint_unread += 0 if zint_right else 1
        if len(modules) > len(theirs) and not zint_right:
            longer_than_misread += 1
        elif len(modules) > len(theirs):
            longer += 1
            print("longer than zint:", text.hex(), len(modules), len(theirs))
        elif len(modules) == len(theirs):
            same += 1
        else:
            shorter += 1
        if bytes.fromhex(reading) != text or read_back(modules) != text:
            unread += 1
            print("does not read back:", text.hex())
    print(f"{len(texts)} texts: Quillion longer than zint {longer}, as long {same}, shorter "
          f"{shorter}; longer than a zint symbol that reads back otherwise {longer_than_misread}")
    print(f"modules in all: Quillion {total_ours}, zint {total_zint}")
    print(f"read back otherwise by ZXing-C++: Quillion {unread}, zint {zint_unread}")
    return 1 if longer or unread else 0


if __name__ == "__main__":
    sys.exit(main())
