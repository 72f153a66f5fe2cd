#!/usr/bin/env python3
"""Data Matrix codeword counts: Quillion's encodation against zint's, text by text.

    bench/dm_codewords.py BUILD_DIR [TEXTS_FILE]

Both symbols are read back the same way: the modules are taken out of the placement into
codewords, and the data codewords are counted up to the first pad (what a reader decodes).
The texts (one a line, UTF-8; default: a generated set of a few hundred varied texts) go to
BUILD_DIR/bench/dm_matrix_dump and to `zint --barcode=71 --dump`. Prints one line per text
where the counts differ and a summary; exits 1 when Quillion needs more codewords than zint
for any text.
"""
import random
import subprocess
import sys

# rows, columns, region rows, region columns, data codewords (dm_tables.h)
SIZES = [
    (10, 10, 10, 10, 3), (12, 12, 12, 12, 5), (14, 14, 14, 14, 8), (16, 16, 16, 16, 12),
    (18, 18, 18, 18, 18), (20, 20, 20, 20, 22), (22, 22, 22, 22, 30), (24, 24, 24, 24, 36),
    (26, 26, 26, 26, 44), (32, 32, 16, 16, 62), (36, 36, 18, 18, 86), (40, 40, 20, 20, 114),
    (44, 44, 22, 22, 144), (48, 48, 24, 24, 174), (52, 52, 26, 26, 204), (64, 64, 16, 16, 280),
    (72, 72, 18, 18, 368), (80, 80, 20, 20, 456), (88, 88, 22, 22, 576), (96, 96, 24, 24, 696),
    (104, 104, 26, 26, 816), (120, 120, 20, 20, 1050), (132, 132, 22, 22, 1304),
    (144, 144, 24, 24, 1558), (8, 18, 8, 18, 5), (8, 32, 8, 16, 10), (12, 26, 12, 26, 16),
    (12, 36, 12, 18, 22), (16, 36, 16, 18, 32), (16, 48, 16, 24, 49),
]


def unplace(rows):
    """The codewords of a symbol given as rows of '0'/'1'."""
    nr, nc = len(rows), len(rows[0])
    size = next(s for s in SIZES if s[0] == nr and s[1] == nc)
    _, _, fr, fc, _ = size
    mr, mc = nr // fr * (fr - 2), nc // fc * (fc - 2)

    def dark(r, c):
        return rows[r // (fr - 2) * fr + 1 + r % (fr - 2)][c // (fc - 2) * fc + 1 + c % (fc - 2)] == '1'

    taken = [[False] * mc for _ in range(mr)]
    cws = []

    def module(r, c, acc):
        if r < 0:
            r += mr
            c += 4 - ((mr + 4) % 8)
        if c < 0:
            c += mc
            r += 4 - ((mc + 4) % 8)
        if r >= mr:
            r -= mr
        taken[r][c] = True
        return (acc << 1) | dark(r, c)

    def shape(cells):
        acc = 0
        for r, c in cells:
            acc = module(r, c, acc)
        cws.append(acc)

    def utah(r, c):
        shape([(r - 2, c - 2), (r - 2, c - 1), (r - 1, c - 2), (r - 1, c - 1), (r - 1, c),
               (r, c - 2), (r, c - 1), (r, c)])

    r, c = 4, 0
    while True:
        if r == mr and c == 0:
            shape([(mr - 1, 0), (mr - 1, 1), (mr - 1, 2), (0, mc - 2), (0, mc - 1), (1, mc - 1),
                   (2, mc - 1), (3, mc - 1)])
        if r == mr - 2 and c == 0 and mc % 4:
            shape([(mr - 3, 0), (mr - 2, 0), (mr - 1, 0), (0, mc - 4), (0, mc - 3), (0, mc - 2),
                   (0, mc - 1), (1, mc - 1)])
        if r == mr - 2 and c == 0 and mc % 8 == 4:
            shape([(mr - 3, 0), (mr - 2, 0), (mr - 1, 0), (0, mc - 2), (0, mc - 1), (1, mc - 1),
                   (2, mc - 1), (3, mc - 1)])
        if r == mr + 4 and c == 2 and mc % 8 == 0:
            shape([(mr - 1, 0), (mr - 1, mc - 1), (0, mc - 3), (0, mc - 2), (0, mc - 1),
                   (1, mc - 3), (1, mc - 2), (1, mc - 1)])
        while True:
            if r < mr and c >= 0 and not taken[r][c]:
                utah(r, c)
            r, c = r - 2, c + 2
            if not (r >= 0 and c < mc):
                break
        r, c = r + 1, c + 3
        while True:
            if r >= 0 and c < mc and not taken[r][c]:
                utah(r, c)
            r, c = r + 2, c - 2
            if not (r < mr and c >= 0):
                break
        r, c = r + 3, c + 1
        if not (r < mr or c < mc):
            break
    return cws, size[4]


def data_count(cws, d):
    """How many of the d data codewords carry data: up to the first pad, as a reader goes."""
    i, mode = 0, 'ascii'
    while i < d:
        if mode == 'ascii':
            c = cws[i]
            i += 1
            if c == 129:
                return i - 1
            if c in (230, 239, 238):
                mode = 'triple'
            elif c == 240:
                mode = 'edifact'
            elif c == 235:
                i += 1
            elif c == 241:
                e = cws[i]
                i += 1 if e < 128 else 2 if e < 192 else 3
            elif c == 231:
                l1 = (cws[i] - (149 * (i + 1)) % 255 - 1) % 256
                i += 1
                if l1 == 0:
                    return d
                if l1 >= 250:
                    l2 = (cws[i] - (149 * (i + 1)) % 255 - 1) % 256
                    i += 1
                    l1 = (l1 - 249) * 250 + l2
                i += l1
        elif mode == 'triple':
            if d - i == 1:
                mode = 'ascii'
            elif cws[i] == 254:
                i += 1
                mode = 'ascii'
            else:
                i += 2
        else:
            if d - i <= 2:
                mode = 'ascii'
                continue
            bits = (cws[i] << 16) | (cws[i + 1] << 8) | cws[i + 2]
            values = [(bits >> s) & 63 for s in (18, 12, 6, 0)]
            if 31 in values:
                k = values.index(31)
                i += (6 * (k + 1) + 7) // 8
                mode = 'ascii'
            else:
                i += 3
    return d


def matrix_rows(dump):
    return [l for l in dump.splitlines() if l.strip()]


def zint_rows(text):
    out = subprocess.run(['zint', '--barcode=71', '--dump', '--square', '-d', text],
                         capture_output=True, text=True)
    if out.returncode != 0:
        return None
    hexrows = matrix_rows(out.stdout)
    n = len(hexrows)  # square: as many columns as rows
    return [''.join(format(int(h, 16), '04b') for h in l.replace(' ', ''))[:n] for l in hexrows]


def texts():
    rnd = random.Random(16022)
    words = ['ABC', 'hello', 'World', 'PART-42', 'x12*>', 'EDI:+?', '2024', '0042', 'Straße',
             'façade', 'qty 12', 'LOT A7', 'http://', 'www.', '.com/', '?id=', 'ÄÖÜ', '\t',
             '~{}', 'A B C', 'abc def', '1234567', 'MIXED case', '<>', '^_`']
    out = []
    for n in (1, 2, 3, 5, 8, 13, 21, 34, 55, 89):
        for _ in range(10):
            out.append(''.join(rnd.choice('0123456789') for _ in range(n)))
            out.append(''.join(rnd.choice('ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 ') for _ in range(n)))
            out.append(''.join(rnd.choice('abcdefghijklmnopqrstuvwxyz0123456789 ') for _ in range(n)))
            out.append(''.join(rnd.choice('ABCDEFGHIJ0123456789 *>\r') for _ in range(n)))
            out.append(''.join(rnd.choice('ABCDEFGHIJ0123456789:;<=>?@[\\]^ !"#$%&') for _ in range(n)))
            out.append(''.join(rnd.choice(words) for _ in range(max(1, n // 4))))
            out.append(''.join(chr(rnd.randrange(1, 256)) for _ in range(n)))
    out += ['http://www.example.com/path/to/page?query=123&lang=en#section-4567890',
            'Hello, World!', 'DATA MATRIX 2D', '+49 (0)30 1234-5678', 'ÀÁÂÃÄÅÆÇÈÉ']
    return out


def main():
    build = sys.argv[1]
    items = [l.rstrip('\n') for l in open(sys.argv[2], encoding='utf-8')] if len(sys.argv) > 2 else texts()
    items = [t for t in items if t and '\0' not in t]
    dump = subprocess.run([build + '/bench/dm_matrix_dump'], input='\n'.join(
        t.replace('\\', '\\\\').replace('\n', '\\n').replace('\r', '\\r') for t in items) + '\n',
        capture_output=True, text=True, check=True).stdout.split('\n\n')
    fewer = same = more = 0
    ours_total = zint_total = 0
    for text, ours in zip(items, dump):
        z = zint_rows(text)
        if z is None:
            continue
        o_cw, o_d = unplace(matrix_rows(ours))
        z_cw, z_d = unplace(z)
        o, zc = data_count(o_cw, o_d), data_count(z_cw, z_d)
        ours_total += o
        zint_total += zc
        if o < zc:
            fewer += 1
        elif o == zc:
            same += 1
        else:
            more += 1
            print(f'MORE {o} > {zc}: {text!r}')
    print(f'{len(items)} texts: fewer codewords than zint {fewer}, as many {same}, more {more}; '
          f'total {ours_total} against {zint_total}')
    return 1 if more else 0


if __name__ == '__main__':
    sys.exit(main())
