#!/usr/bin/python3
# Data bits and versions of Quillion's QR Code symbols against zint, qrencode and segno, on a
# few hundred varied texts (digits, upper case, URLs, words, Latin-1, UTF-8, Kanji, mixed) at
# every level. Every symbol is decoded here from its modules (format information, zigzag,
# blocks, segment headers up to the terminator), so all four encoders are measured alike.
#
#   /usr/bin/python3 bench/qr_bits.py BUILD_DIR        (BUILD_DIR/bench/quillion_qr_dump)
#
# Quillion runs with the level kept (no raising), as the peers are asked: zint --secure,
# qrencode -l, segno boost_error=False. zint and segno (eci=True) are compared with Quillion's
# default (ECI 26 for UTF-8), qrencode (no ECI) with Quillion's noeci.
import random
import subprocess
import sys

import segno

LEVELS = "LMQH"
ECC_PER_BLOCK = [
    [0, 7, 10, 15, 20, 26, 18, 20, 24, 30, 18, 20, 24, 26, 30, 22, 24, 28, 30, 28, 28, 28, 28, 30,
     30, 26, 28, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30],
    [0, 10, 16, 26, 18, 24, 16, 18, 22, 22, 26, 30, 22, 22, 24, 24, 28, 28, 26, 26, 26, 26, 28,
     28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28],
    [0, 13, 22, 18, 26, 18, 24, 18, 22, 20, 24, 28, 26, 24, 20, 30, 24, 28, 28, 26, 30, 28, 30,
     30, 30, 30, 28, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30],
    [0, 17, 28, 22, 16, 22, 28, 26, 26, 24, 28, 24, 28, 22, 24, 24, 30, 28, 28, 26, 28, 30, 24,
     30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30],
]
BLOCKS = [
    [0, 1, 1, 1, 1, 1, 2, 2, 2, 2, 4, 4, 4, 4, 4, 6, 6, 6, 6, 7, 8, 8, 9, 9, 10, 12, 12, 12, 13,
     14, 15, 16, 17, 18, 19, 19, 20, 21, 22, 24, 25],
    [0, 1, 1, 1, 2, 2, 4, 4, 4, 5, 5, 5, 8, 9, 9, 10, 10, 11, 13, 14, 16, 17, 17, 18, 20, 21, 23,
     25, 26, 28, 29, 31, 33, 35, 37, 38, 40, 43, 45, 47, 49],
    [0, 1, 1, 2, 2, 4, 4, 6, 6, 8, 8, 8, 10, 12, 16, 12, 17, 16, 18, 21, 20, 23, 23, 25, 27, 29,
     34, 34, 35, 38, 40, 43, 45, 48, 51, 53, 56, 59, 62, 65, 68],
    [0, 1, 1, 2, 4, 4, 4, 5, 6, 8, 8, 11, 11, 16, 16, 18, 16, 19, 21, 25, 25, 25, 34, 30, 32, 35,
     37, 40, 42, 45, 48, 51, 54, 57, 60, 63, 66, 70, 74, 77, 81],
]
COUNT_BITS = {1: (10, 12, 14), 2: (9, 11, 13), 4: (8, 16, 16), 8: (8, 10, 12)}


def alignment(v):
    if v == 1:
        return []
    n = v // 7 + 2
    step = 26 if v == 32 else (v * 4 + n * 2 + 1) // (n * 2 - 2) * 2
    size = 17 + 4 * v
    out = [6] + [0] * (n - 1)
    pos = size - 7
    for i in range(n - 1, 0, -1):
        out[i] = pos
        pos -= step
    return out


def data_bits(m):
    """Version, level and data bits (segments, ECI, FNC1; no terminator) of a symbol."""
    n = len(m)
    v = (n - 17) // 4
    f = 0
    for i in range(6):
        f |= m[i][8] << i
    f |= m[7][8] << 6 | m[8][8] << 7 | m[8][7] << 8
    for i in range(9, 15):
        f |= m[8][14 - i] << i
    f ^= 0x5412
    level = {1: 0, 0: 1, 3: 2, 2: 3}[f >> 13]
    mask = (f >> 10) & 7
    fn = [[False] * n for _ in range(n)]
    for r in range(n):
        for c in range(n):
            if (r < 9 and c < 9) or (r < 9 and c >= n - 8) or (r >= n - 8 and c < 9) \
                    or r == 6 or c == 6:
                fn[r][c] = True
            if v >= 7 and ((r < 6 and n - 11 <= c < n - 8) or (c < 6 and n - 11 <= r < n - 8)):
                fn[r][c] = True
    al = alignment(v)
    for i, ay in enumerate(al):
        for j, ax in enumerate(al):
            if (i == 0 and j == 0) or (i == 0 and j == len(al) - 1) or (i == len(al) - 1 and j == 0):
                continue
            for dy in range(-2, 3):
                for dx in range(-2, 3):
                    fn[ay + dy][ax + dx] = True
    masks = [
        lambda y, x: (x + y) % 2 == 0, lambda y, x: y % 2 == 0, lambda y, x: x % 3 == 0,
        lambda y, x: (x + y) % 3 == 0, lambda y, x: (x // 3 + y // 2) % 2 == 0,
        lambda y, x: x * y % 2 + x * y % 3 == 0, lambda y, x: (x * y % 2 + x * y % 3) % 2 == 0,
        lambda y, x: ((x + y) % 2 + x * y % 3) % 2 == 0]
    bits = []
    right = n - 1
    while right >= 1:
        if right == 6:
            right = 5
        upward = ((right + 1) & 2) == 0
        for vert in range(n):
            for j in range(2):
                x = right - j
                y = n - 1 - vert if upward else vert
                if not fn[y][x]:
                    bits.append(m[y][x] ^ (1 if masks[mask](y, x) else 0))
        right -= 2
    total = len(bits) // 8
    cw = [int("".join(map(str, bits[i * 8:i * 8 + 8])), 2) for i in range(total)]
    nb, ecc = BLOCKS[level][v], ECC_PER_BLOCK[level][v]
    short = nb - total % nb
    short_data = total // nb - ecc
    blocks = [[] for _ in range(nb)]
    k = 0
    for i in range(short_data + 1):
        for b in range(nb):
            if i < short_data or b >= short:
                blocks[b].append(cw[k])
                k += 1
    data = [c for b in blocks for c in b]
    stream = "".join(format(c, "08b") for c in data)
    vc = 0 if v <= 9 else 1 if v <= 26 else 2
    pos = 0

    def read(w):
        nonlocal pos
        val = int(stream[pos:pos + w] or "0", 2)
        pos += w
        return val

    while pos + 4 <= len(stream):
        mode = read(4)
        if mode == 0:
            pos -= 4
            break
        if mode == 7:
            read(8)
            continue
        if mode in (5, 9):
            if mode == 9:
                read(8)
            continue
        count = read(COUNT_BITS[mode][vc])
        pos += {1: 10 * (count // 3) + (0, 4, 7)[count % 3],
                2: 11 * (count // 2) + 6 * (count % 2), 4: 8 * count, 8: 13 * count}[mode]
    return v, level, min(pos, len(stream))


def hex_rows(text):
    rows, out = [], []
    for line in text.splitlines():
        line = line.replace(" ", "").strip()
        if not line:
            if rows:
                out.append(rows)
            rows = []
            continue
        rows.append(line)
    if rows:
        out.append(rows)
    mats = []
    for rows in out:
        if rows[0].startswith("ERROR"):
            mats.append(None)
            continue
        n = len(rows)
        mats.append([[int(bin(int(r, 16))[2:].zfill(len(r) * 4)[c]) for c in range(n)] for r in rows])
    return mats


def corpus():
    rnd = random.Random(2026)
    texts = []
    alnum = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ $%*+-./:"
    words = ["order", "item", "quillion", "barcode", "label", "box", "lot", "the", "and", "ship"]
    latin = "àáâäçèéêëìíîïñòóôöùúûüßæøåÀÉÖÜÑÇ¿¡°±²³µ¶·"
    kana = "あいうえおかきくけこさしすせそたちつてとアイウエオカキクケコ"
    kanji = "漢字日本語東京大阪名古屋品番号価格円税込商品在庫数量発送予定"
    other = ["їжак", "Київ", "ελληνικά ώρα", "😀", "€", "这个", "说话", "ŁÓDŹ", "Şişli", "₩"]
    for _ in range(40):
        texts.append("".join(rnd.choice("0123456789") for _ in range(rnd.randint(1, 300))))
    for _ in range(40):
        texts.append("".join(rnd.choice(alnum) for _ in range(rnd.randint(1, 200))))
    for _ in range(40):
        host = rnd.choice(["example.com", "quillion.example", "shop.example.org", "a.b.c.d"])
        path = "/".join(rnd.choice(words) for _ in range(rnd.randint(0, 4)))
        q = "?id=%d&ref=%s" % (rnd.randint(0, 10 ** rnd.randint(1, 15)), rnd.choice(words).upper())
        texts.append(rnd.choice(["https://", "HTTP://", "http://www."]) + host + "/" + path +
                     (q if rnd.random() < 0.6 else ""))
    for _ in range(40):
        parts = []
        for _ in range(rnd.randint(1, 12)):
            kind = rnd.random()
            if kind < 0.4:
                parts.append(rnd.choice(words))
            elif kind < 0.7:
                parts.append(str(rnd.randint(0, 10 ** rnd.randint(1, 12))))
            else:
                parts.append("".join(rnd.choice(alnum[:36]) for _ in range(rnd.randint(1, 10))))
        texts.append(rnd.choice([" ", "-", "", "/"]).join(parts))
    for _ in range(30):
        texts.append("".join(rnd.choice(latin + "abcdefghij  ") for _ in range(rnd.randint(1, 60))))
    for _ in range(30):
        parts = [rnd.choice(other + words + [str(rnd.randint(0, 99999))]) for _ in range(rnd.randint(1, 8))]
        texts.append(" ".join(parts))
    for _ in range(40):
        s = ""
        for _ in range(rnd.randint(1, 8)):
            kind = rnd.random()
            if kind < 0.5:
                s += "".join(rnd.choice(kanji) for _ in range(rnd.randint(1, 10)))
            elif kind < 0.7:
                s += "".join(rnd.choice(kana) for _ in range(rnd.randint(1, 6)))
            elif kind < 0.9:
                s += str(rnd.randint(0, 10 ** rnd.randint(1, 9)))
            else:
                s += rnd.choice(words + ["ABC", "X-1"])
        texts.append(s)
    for _ in range(40):
        s = ""
        for _ in range(rnd.randint(2, 10)):
            kind = rnd.random()
            s += ("".join(rnd.choice("0123456789") for _ in range(rnd.randint(1, 20))) if kind < 0.4
                  else "".join(rnd.choice(alnum[10:]) for _ in range(rnd.randint(1, 12))) if kind < 0.7
                  else "".join(rnd.choice("abcdefxyz") for _ in range(rnd.randint(1, 8))))
        texts.append(s)
    return texts


def category(i):
    return ["digits", "upper case", "URLs", "words", "Latin-1", "UTF-8", "Kanji", "mixed"][
        [40, 80, 120, 160, 190, 220, 260, 300].index(next(b for b in [40, 80, 120, 160, 190, 220, 260, 300] if i < b))]


def ours(build, texts, level, eci):
    args = [build + "/bench/quillion_qr_dump", level, "keep"] + ([] if eci else ["noeci"])
    out = subprocess.run(args, input="\n".join(texts) + "\n", capture_output=True, text=True,
                         check=True).stdout
    return [None if m is None else data_bits(m) for m in hex_rows(out)]


def zint(text, level, eci=0):
    r = subprocess.run(["zint", "--barcode=58", "--secure=%d" % (LEVELS.index(level) + 1), "--dump"]
                       + (["--eci=%d" % eci] if eci else []) + ["-d", text],
                       capture_output=True, text=True)
    if r.returncode not in (0, 2) or not r.stdout.strip():  # 2: a warning
        return None
    return data_bits(hex_rows(r.stdout)[0])


def latin1(t):
    return all(ord(c) < 256 for c in t)


def sjis(t):
    try:
        t.encode("shift_jis")
        return not latin1(t)
    except UnicodeEncodeError:
        return False


def qrencode(text, level):
    if latin1(text):
        data, extra = text.encode("latin-1"), []
    elif sjis(text):
        data, extra = text.encode("shift_jis"), ["-k"]
    else:
        data, extra = text.encode("utf-8"), []
    r = subprocess.run(["qrencode", "-t", "ASCII", "-m", "0", "-l", level, "-o", "-"] + extra,
                       input=data, capture_output=True)
    if r.returncode != 0:
        return None
    m = [[1 if row[c] == "#" else 0 for c in range(0, len(row), 2)]
         for row in r.stdout.decode().splitlines() if row]
    return data_bits(m)


def segno_bits(text, level, eci):
    try:
        q = segno.make(text, error=level, micro=False, boost_error=False, eci=eci)
    except Exception:
        return None
    return data_bits([list(row) for row in q.matrix])


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else "build"
    texts = corpus()
    stats = {}
    worse = []
    for level in LEVELS:
        mine = ours(build, texts, level, True)
        mine_noeci = ours(build, texts, level, False)
        for i, t in enumerate(texts):
            cat = category(i)
            utf8 = not latin1(t) and not sjis(t)
            for peer, theirs, ref in (("zint", zint(t, level), mine[i]),
                                      ("zint --eci=26", zint(t, level, 26) if utf8 else None,
                                       mine[i]),
                                      ("qrencode", qrencode(t, level), mine_noeci[i]),
                                      ("segno", segno_bits(t, level, True), mine[i]),
                                      ("segno noeci", segno_bits(t, level, False), mine_noeci[i])):
                if theirs is None or ref is None:
                    continue
                s = stats.setdefault((peer, cat), [0, 0, 0, 0, 0, 0, 0])
                s[0] += 1
                s[1] += ref[2] < theirs[2]
                s[2] += ref[2] == theirs[2]
                s[3] += ref[2] > theirs[2]
                s[4] += ref[2]
                s[5] += theirs[2]
                s[6] += ref[0] > theirs[0]
                if ref[2] > theirs[2]:
                    worse.append((peer, level, t, ref[2], theirs[2]))
    print("| peer | texts | symbols | fewer bits | same | more bits | bits (Quillion / peer) | larger version |")
    print("|---|---|---|---|---|---|---|---|")
    for (peer, cat), s in sorted(stats.items()):
        print("| %s | %s | %d | %d | %d | %d | %d / %d | %d |" % (peer, cat, *s))
    for w in worse:
        print("MORE BITS: %s level %s %r: %d > %d" % w)


main()
