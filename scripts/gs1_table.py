#!/usr/bin/env python3
"""Writes engine/symbols/gs1_ai_table.inc, Quillion's table of GS1 application identifiers,
from the GS1 Barcode Syntax Dictionary kept in data/gs1/gs1-syntax-dictionary.txt.

    python3 scripts/gs1_table.py            # rewrite the table
    python3 scripts/gs1_table.py --check    # exit 1 when the checked-in table is stale

Every AI range of the dictionary is expanded to one row per AI. The code lists that the
dictionary's content checks name (ISO 3166 numeric and alpha-2, ISO 4217 numeric, the package
types of UN/ECE Recommendation 21 with GS1's additions) are kept here as data.
"""
import os
import re
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DICTIONARY = os.path.join(ROOT, "data", "gs1", "gs1-syntax-dictionary.txt")
OUTPUT = os.path.join(ROOT, "engine", "symbols", "gs1_ai_table.inc")

# The dictionary's text at this commit of github.com/gs1/gs1-syntax-dictionary (its "Release:"
# line reads UNSET between releases; it is the 2024-06-10 release with the later additions of
# AIs 03, 716, 7041, 8014 and currency 924).
SOURCE = "gs1/gs1-syntax-dictionary@f7e477f17d482ed1a61409719d50623c9132866d"

# ISO 3166-1 numeric country codes and ISO 4217 numeric currency codes as bit sets over 000-999,
# 64 codes a word, the first code in the word's top bit.
ISO3166_BITS = [
    0x08a888898888b888, 0x8aa80a2888888888, 0x0888888a22232889, 0x88188a2221e322a2,
    0x2a2a180088888888, 0x888a888888888888, 0x888288a2622a22a2, 0x222222228808b888,
    0x8888970808222222, 0x2de102888888a222, 0x320a1b222222a203, 0xe20808c8088888a8,
    0x8888889a89002021, 0xe080222a00082102, 0x0000000000000000, 0x0000000000000000,
]
ISO4217_BITS = [
    0x008800008808b808, 0x8880082080880808, 0x0880808800220009, 0x8010820202822000,
    0x0202000008000000, 0x8888088888888080, 0x088288a262222002, 0x022200008800a080,
    0x88080c0008220200, 0x2022028880000020, 0x1202000000202202, 0xa200008000088888,
    0x0088880081002020, 0x2080002800002200, 0x0400000dfeadbfdf, 0xfdfdfce225000000,
]

ISO3166_ALPHA2 = """
AD AE AF AG AI AL AM AO AQ AR AS AT AU AW AX AZ BA BB BD BE BF BG BH BI BJ BL BM BN BO BQ BR BS
BT BV BW BY BZ CA CC CD CF CG CH CI CK CL CM CN CO CR CU CV CW CX CY CZ DE DJ DK DM DO DZ EC EE
EG EH ER ES ET FI FJ FK FM FO FR GA GB GD GE GF GG GH GI GL GM GN GP GQ GR GS GT GU GW GY HK HM
HN HR HT HU ID IE IL IM IN IO IQ IR IS IT JE JM JO JP KE KG KH KI KM KN KP KR KW KY KZ LA LB LC
LI LK LR LS LT LU LV LY MA MC MD ME MF MG MH MK ML MM MN MO MP MQ MR MS MT MU MV MW MX MY MZ NA
NC NE NF NG NI NL NO NP NR NU NZ OM PA PE PF PG PH PK PL PM PN PR PS PT PW PY QA RE RO RS RU RW
SA SB SC SD SE SG SH SI SJ SK SL SM SN SO SR SS ST SV SX SY SZ TC TD TF TG TH TJ TK TL TM TN TO
TR TT TV TW TZ UA UG UM US UY UZ VA VC VE VG VI VN VU WF WS YE YT ZA ZM ZW
""".split()

PACKAGE_TYPES = """
1A 1B 1D 1F 1G 1W 200 201 202 203 204 205 206 210 211 212 2C 3A 3H 43 44 4A 4B 4C 4D 4F 4G 4H
5H 5L 5M 6H 6P 7A 7B 8 8A 8B 8C 9 AA AB AC AD AF AG AH AI AJ AL AM AP APE AT AV B4 BB BC BD BE
BF BG BGE BH BI BJ BK BL BM BME BN BO BP BQ BR BRI BS BT BU BV BW BX BY BZ CA CB CBL CC CCE CD
CE CF CG CH CI CJ CK CL CM CN CO CP CQ CR CS CT CU CV CW CX CY CZ DA DB DC DG DH DI DJ DK DL DM
DN DP DPE DR DS DT DU DV DW DX DY E1 E2 E3 EC ED EE EF EG EH EI EN FB FC FD FE FI FL FO FOB FP
FPE FR FT FW FX GB GI GL GR GU GY GZ HA HB HC HG HN HR IA IB IC ID IE IF IG IH IK IL IN IZ JB JC
JG JR JT JY KG KI LAB LE LG LT LU LV LZ MA MB MC ME MPE MR MS MT MW MX NA NE NF NG NS NT NU NV
OA OB OC OD OE OF OK OPE OT OU P2 PA PAE PB PC PD PE PF PG PH PI PJ PK PL PLP PN PO POP PP PPE
PR PT PU PUE PV PX PY PZ QA QB QC QD QF QG QH QJ QK QL QM QN QP QQ QR QS RB1 RB2 RB3 RCB RD RG
RJ RK RL RO RT RZ S1 SA SB SC SD SE SEC SH SI SK SL SM SO SP SS ST STL SU SV SW SX SY SZ T1 TB
TC TD TE TEV TG THE TI TK TL TN TO TR TRE TS TT TTE TU TV TW TWE TY TZ UC UN UUE VA VG VI VK VL
VN VO VP VQ VR VS VY WA WB WC WD WF WG WH WJ WK WL WM WN WP WQ WR WRP WS WT WU WV WW WX WY WZ
X11 X12 X15 X16 X17 X18 X19 X20 X3 XA XB XC XD XF XG XH XJ XK YA YB YC YD YF YG YH YJ YK YL YM
YN YP YQ YR YS YT YV YW YX YY YZ ZA ZB ZC ZD ZF ZG ZH ZJ ZK ZL ZM ZN ZP ZQ ZR ZS ZT ZU ZV ZW ZX
ZY ZZ
""".split()

COMPONENT = re.compile(r"^(\[)?([NXYZ])(\.\.)?(\d+)(\])?((?:,\w+)*)$")


def camel(name):
    return name[0].upper() + name[1:]


def parse(text):
    """The dictionary's entries: (first AI, last AI, flags, components, attributes, title)."""
    entries = []
    for line in text.splitlines():
        if not line.strip() or line.startswith("#"):
            continue
        body, _, title = line.partition("#")
        tokens = body.split()
        ais = tokens.pop(0)
        flags = ""
        if tokens and re.fullmatch(r"[*?!\"$%&'()+,\-./:;<=>@\[\\\]^_`{|}~]+", tokens[0]):
            flags = tokens.pop(0)
        components, attributes = [], []
        for token in tokens:
            m = COMPONENT.match(token)
            if m and not attributes:
                optional = bool(m.group(1))
                variable = bool(m.group(3))
                length = int(m.group(4))
                linters = [x for x in m.group(6).split(",") if x]
                components.append((m.group(2), 1 if variable else length, length, optional, linters))
            else:
                attributes.append(token)
        first, _, last = ais.partition("-")
        entries.append((first, last or first, flags, components, attributes, title.strip()))
    return entries


def expand(first, last):
    width = len(first)
    return [str(n).zfill(width) for n in range(int(first), int(last) + 1)]


def cpp_string(s):
    return '"' + s.replace("\\", "\\\\").replace('"', '\\"') + '"'


def generate(text):
    entries = parse(text)
    linters = sorted({l for e in entries for c in e[3] for l in c[4]})
    rows = []
    for first, last, flags, components, attributes, title in entries:
        req = [a[4:] for a in attributes if a.startswith("req=")]
        ex = [a[3:] for a in attributes if a.startswith("ex=")]
        dlpkey = [a for a in attributes if a == "dlpkey" or a.startswith("dlpkey=")]
        unknown = [a for a in attributes if not a.startswith(("req=", "ex=", "dlpkey"))]
        if unknown:
            sys.exit(f"unknown attribute {unknown} for AI {first}")
        for ai in expand(first, last):
            rows.append((ai, flags, components, req, ex, dlpkey, title))
    rows.sort(key=lambda r: r[0])

    out = []
    out.append("// Generated by scripts/gs1_table.py from data/gs1/gs1-syntax-dictionary.txt; do not edit.")
    out.append(f"// Source: {SOURCE}")
    out.append("// clang-format off")
    out.append("")
    out.append(f'inline constexpr std::string_view kGs1DictionarySource = {cpp_string(SOURCE)};')
    out.append("")
    out.append("// The dictionary's content checks (\"linters\"), by name.")
    out.append("enum class Gs1Lint : std::uint8_t {")
    out.append("    None,")
    for l in linters:
        out.append(f"    {camel(l)},")
    out.append("};")
    out.append("")
    out.append("inline constexpr std::array<std::string_view, %d> kGs1LintNames = {{" % (len(linters) + 1))
    out.append('    "",')
    for l in linters:
        out.append(f'    "{l}",')
    out.append("}};")
    out.append("")
    out.append(f"inline constexpr std::array<Gs1AiEntry, {len(rows)}> kGs1AiTable = {{{{")
    for ai, flags, components, req, ex, dlpkey, title in rows:
        comps = []
        for cset, lo, hi, optional, lints in components:
            lint_list = ", ".join(f"Gs1Lint::{camel(l)}" for l in lints)
            comps.append(f"{{'{cset}', {lo}, {hi}, {'true' if optional else 'false'}, {{{lint_list}}}}}")
        if len(comps) > 5:
            sys.exit(f"AI {ai}: more than five components")
        dl = "" if not dlpkey else ("*" if dlpkey[0] == "dlpkey" else dlpkey[0][7:])
        out.append(
            f"    {{{cpp_string(ai)}, {'true' if '*' in flags else 'false'}, "
            f"{'true' if '?' in flags else 'false'}, {len(comps)}, {{{{{', '.join(comps)}}}}}, "
            f"{cpp_string(' '.join(req))}, {cpp_string(','.join(ex))}, {cpp_string(dl)}, "
            f"{cpp_string(title)}}},")
    out.append("}};")
    out.append("")
    out.append("inline constexpr std::array<std::uint64_t, 16> kIso3166Numeric = {")
    out.append("    " + ", ".join(f"0x{v:016x}" for v in ISO3166_BITS) + ",")
    out.append("};")
    out.append("inline constexpr std::array<std::uint64_t, 16> kIso4217Numeric = {")
    out.append("    " + ", ".join(f"0x{v:016x}" for v in ISO4217_BITS) + ",")
    out.append("};")
    alpha2 = sorted(ISO3166_ALPHA2)
    out.append(f"inline constexpr std::array<std::string_view, {len(alpha2)}> kIso3166Alpha2 = {{")
    out.append("    " + ", ".join(f'"{c}"' for c in alpha2) + ",")
    out.append("};")
    packages = sorted(PACKAGE_TYPES)
    out.append(f"inline constexpr std::array<std::string_view, {len(packages)}> kPackageTypes = {{")
    out.append("    " + ", ".join(f'"{c}"' for c in packages) + ",")
    out.append("};")
    out.append("")
    out.append("// clang-format on")
    return "\n".join(out) + "\n"


def main():
    with open(DICTIONARY, encoding="utf-8") as f:
        generated = generate(f.read())
    if "--check" in sys.argv[1:]:
        with open(OUTPUT, encoding="utf-8") as f:
            if f.read() != generated:
                print(f"{OUTPUT} is stale: run scripts/gs1_table.py", file=sys.stderr)
                return 1
        return 0
    with open(OUTPUT, "w", encoding="utf-8") as f:
        f.write(generated)
    return 0


if __name__ == "__main__":
    sys.exit(main())
