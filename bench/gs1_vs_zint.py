#!/usr/bin/python3
"""Quillion's GS1-128 verdicts against zint's on generated element strings.

    /usr/bin/python3 bench/gs1_vs_zint.py [BUILD_DIR] [COUNT] [SEED]

Generates COUNT (default 1000) bracketed element strings from SEED (default 1): a key (GTIN,
SSCC, GLN, GIAI) with up to three other elements, half of them broken in one way (check digit,
date, time, character set, length, code list, unknown AI, a missing or forbidden partner, a
repeated AI, the 48-character bound). Quillion judges the whole batch through
`quillion-render -t gs1-128 --batch`; zint (`zint -b GS1_128 --gs1parens --dump`) one string at
a time, its warnings counted as refusals. Prints the agreement count, then every disagreement
with the GS1 rule that decides it.
"""
import os
import random
import re
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BUILD = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build")
COUNT = int(sys.argv[2]) if len(sys.argv) > 2 else 1000
SEED = int(sys.argv[3]) if len(sys.argv) > 3 else 1
CSET82 = "!\"%&'*+,-./0123456789:;<=>?ABCDEFGHIJKLMNOPQRSTUVWXYZ_abcdefghijklmnopqrstuvwxyz"

rng = random.Random(SEED)


def digits(n):
    return "".join(rng.choice("0123456789") for _ in range(n))


def check(s):
    total = sum(int(c) * (3 if (len(s) - i) % 2 == 1 else 1) for i, c in enumerate(s))
    return s + str((10 - total % 10) % 10)


def alnum(lo, hi):
    return "".join(rng.choice(CSET82) for _ in range(rng.randint(lo, hi)))


def date():
    return "%02d%02d%02d" % (rng.randint(0, 49), rng.randint(1, 12), rng.randint(1, 28))


# Elements that go with a GTIN (01): AI -> maker.
WITH_GTIN = {
    "10": lambda: alnum(1, 8),
    "11": date,
    "13": date,
    "15": date,
    "17": date,
    "21": lambda: alnum(1, 8),
    "30": lambda: digits(rng.randint(1, 4)),
    "3103": lambda: digits(6),
    "400": lambda: alnum(1, 8),
    "410": lambda: check(digits(12)),
    "422": lambda: rng.choice(["250", "276", "826", "840", "392"]),
    "7003": lambda: date() + "%02d%02d" % (rng.randint(0, 23), rng.randint(0, 59)),
    "8008": lambda: date() + "%02d" % rng.randint(0, 23),
    "90": lambda: alnum(1, 8),
}


def message():
    """A valid message as a list of [AI, data]."""
    kind = rng.random()
    if kind < 0.7:
        elements = [["01", check(digits(13))]]
        for ai in rng.sample(sorted(WITH_GTIN), rng.randint(0, 3)):
            elements.append([ai, WITH_GTIN[ai]()])
    elif kind < 0.8:
        elements = [["00", check(digits(17))], ["400", alnum(1, 8)]]
    elif kind < 0.9:
        elements = [["414", check(digits(12))], ["254", alnum(1, 8)]]
    else:
        elements = [["8004", digits(4) + alnum(1, 10)], ["90", alnum(1, 8)]]
    return elements


def refresh_check(elements, i):
    ai, data = elements[i]
    wrong = (int(data[-1]) + rng.randint(1, 9)) % 10
    elements[i][1] = data[:-1] + str(wrong)


def breakage(elements):
    """One fault, in place; returns its name."""
    fault = rng.choice(["check", "date", "time", "charset", "length", "country", "unknown",
                        "no_partner", "forbidden_pair", "repeat", "too_long", "short"])
    keys = [i for i, (ai, _) in enumerate(elements) if ai in ("00", "01", "410", "414")]
    if fault == "check" and keys:
        refresh_check(elements, rng.choice(keys))
    elif fault == "date":
        elements.append(["17", "%02d%s" % (rng.randint(0, 49), rng.choice(["0230", "1301", "0431", "0012", "0229"]))])
    elif fault == "time":
        elements.append(["7003", date() + rng.choice(["2400", "1260", "9900"])])
    elif fault == "charset":
        i = rng.randrange(len(elements))
        ai, data = elements[i]
        bad = rng.choice([" ", "~", "#", "$", "@"]) if not ai.isdigit() or ai in ("10", "21", "400", "90", "254") else "A"
        elements[i][1] = data[:-1] + bad if len(data) > 1 else bad
    elif fault == "length":
        elements.append(["10", alnum(21, 24)])
    elif fault == "country":
        elements.append(["422", rng.choice(["000", "999", "123", "900"])])
    elif fault == "unknown":
        elements.append([rng.choice(["23", "24", "4399", "7777", "19", "99999"]), digits(4)])
    elif fault == "no_partner":
        elements[:] = [[rng.choice(["10", "21", "17", "30", "3103", "22"]), digits(6)]]
    elif fault == "forbidden_pair":
        elements.append(rng.choice([["02", check(digits(13))], ["37", digits(2)], ["255", check(digits(12))]]))
    elif fault == "repeat":
        elements.append(["10", "A1"])
        elements.append(["10", "B2"])
    elif fault == "too_long":
        elements.append(["91", alnum(30, 40)])
    elif fault == "short":
        elements.append(["11", digits(5)])
    return fault


def bracketed(elements):
    return "".join("(%s)%s" % (ai, data) for ai, data in elements)


def quillion_verdicts(texts):
    binary = os.path.join(BUILD, "quillion-render")
    with tempfile.TemporaryDirectory() as tmp:
        lines = os.path.join(tmp, "lines.txt")
        with open(lines, "w") as f:
            f.write("\n".join(texts) + "\n")
        run = subprocess.run([binary, "-t", "gs1-128", "--batch", lines, "--out-dir",
                              os.path.join(tmp, "out"), "--jobs", "2"],
                             capture_output=True, text=True)
    refused = {}
    for line in run.stderr.splitlines():
        m = re.match(r"line (\d+): (.*)", line)
        if m:
            refused[int(m.group(1)) - 1] = m.group(2)
    return [refused.get(i, "") for i in range(len(texts))]


def zint_verdict(text):
    run = subprocess.run(["zint", "-b", "GS1_128", "--gs1parens", "-d", text, "--dump"],
                         capture_output=True, text=True)
    problems = [l for l in run.stderr.splitlines() if l.startswith(("Error", "Warning"))]
    if run.returncode != 0 and not problems:
        problems = [run.stderr.strip() or "exit status %d" % run.returncode]
    return "; ".join(problems)


RULES = [
    (r"needs .* in the same message",
     "mandatory association (req= of the GS1 Barcode Syntax Dictionary; the GS1 General "
     "Specifications' mandatory associations of element strings): zint 2.11 checks each "
     "element alone"),
    (r"cannot be in the same message",
     "invalid pair (ex= of the Syntax Dictionary; the GS1 General Specifications' invalid "
     "pairs of element strings): zint 2.11 checks each element alone"),
    (r"appears twice with different values",
     "one AI with two values (GS1 General Specifications: an AI repeated in a message must "
     "carry the same data): zint 2.11 does not compare elements"),
    (r"at most 48 data characters",
     "GS1-128 carries at most 48 data characters (GS1 General Specifications, GS1-128 "
     "symbol length): zint 2.11 encodes longer GS1-128 symbols"),
]


def main():
    texts, faults = [], []
    while len(texts) < COUNT:
        elements = message()
        fault = breakage(elements) if rng.random() < 0.5 else "none"
        text = bracketed(elements)
        if "\n" in text:
            continue
        texts.append(text)
        faults.append(fault)
    ours = quillion_verdicts(texts)
    agree = 0
    explained = {}
    unexplained = []
    for text, fault, mine in zip(texts, faults, ours):
        theirs = zint_verdict(text)
        if bool(mine) == bool(theirs):
            agree += 1
            continue
        rule = next((r for pattern, r in RULES if mine and re.search(pattern, mine)), None)
        if rule is None:
            unexplained.append((text, fault, mine, theirs))
        else:
            explained.setdefault(rule, []).append((text, mine))
    accepted = sum(1 for m in ours if not m)
    print(f"{agree} of {len(texts)} verdicts agree (Quillion accepts {accepted}, seed {SEED})")
    for rule, rows in explained.items():
        print(f"\n{len(rows)} refused by Quillion, accepted by zint: {rule}")
        for text, mine in rows[:3]:
            print(f"  {text}\n    Quillion: {mine}")
    if unexplained:
        print(f"\n{len(unexplained)} other disagreements:")
        for text, fault, mine, theirs in unexplained:
            print(f"  {text} [{fault}]\n    Quillion: {mine or 'accepted'}\n    zint: {theirs or 'accepted'}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
