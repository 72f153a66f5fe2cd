#!/usr/bin/env bash
# quillion-render's output, byte for byte, for a fixed list of inputs: every symbology, caption
# place and style, PNG, JPEG and SVG. A change in fonts, painting or file writing that moves a
# single byte shows here; the digests were taken from a build known to paint correctly (each
# file also scans; PNG and JPEG files carry a 96 dpi density). Needs the Debian 12
# fonts-liberation, zlib and libjpeg-turbo the project builds with.
set -uo pipefail

source "$(dirname "$0")/cli_helpers.sh"
export XDG_CACHE_HOME=$WORK/cache

cat >"$WORK/list" <<'LIST'
c128|png|Coca-Cola-12pk-699||cb4c4db0d87a0ba250bd31e676c8905840c5cfbf69b632da2d2508c525d81c75
c128nc|png|ABC-123456|--no-caption|c6aee300639fb60d596b4f8da1ed775f48124f961d241fc47faefb16971b687a
c128top|png|Hello, World!|--position top --style italic|a2f815e2f8399f8f2af46c9e9113a507ce352c75fa0862d91f4d8cbe4191fa86
c128bold|png|Coca Cola 12pk $6.99|--style bold|1c66ef295e7f91e52c6d1881a0cc5a4970540a807ef11f415504269f8e462289
c128bi|png|12345|--style bolditalic|ea216157ed7e6a470fe2aa835fd4f9231b2c60029c0978b2e8198bd4ae7277ae
c128ul|png|underline me|--style underline|2be08d680fab79a58db9e0b5604e4a460b32b04eec834906bd6a1c75767ead10
c128jpg|jpg|Coca-Cola-12pk-699||d7d5e4d5e29f9ef03e1e5a7a153a0190f05ba9b3c61c5ed70d01d1c4e739e3a8
c128ncjpg|jpg|ABC-123456|--no-caption|27fd6a9d0957cc7df2bc5dae90d7008cd696ffa14a9e7820ea8b0f35027d27c7
c128svg|svg|Coca-Cola-12pk-699||56d6827571be4f4622fa80da9f6deef4491a081a26bce85064a9974387919fef
c39|png|CODE 39 TEST|--type code39|0d39e98325d613fc1aff8c030d7b196266326c867ddeb8e2b947022b9acf9201
c39nc|png|ABC-123|--type code39 --no-caption|222c25baf3551bbf024afa290ad164b47575589f3424a9d24bffc3fb8eae11c5
upca|png|036000291452|--type upca|43f502ebf37f71a7c8b965cf06cf55f256c390ddc165fbe3b9781615bf085bb2
upcanc|jpg|036000291452|--type upca --no-caption|7fb7de0405681a6c7819798c7df273d94ca88b08f34693319f72714ebf374d93
upce|png|123456|--type upce|ff21099c5eed06dc751f5766b827a482318d847ee650707b58053bc048b49459
LIST

# Two passes: the first finds no kept font lookups or glyphs, the second paints from them.
for pass in 1 2; do
    row=0
    while IFS='|' read -r -u 3 name format text options digest; do
        row=$((row + 1))
        out=$WORK/$name.$format
        # shellcheck disable=SC2086 # options are words
        if ! "$BIN" $options --output "$out" -- "$text" 2>"$WORK/err"; then
            fail "pass $pass row $row ($name): exit status $? ($(cat "$WORK/err"))"
            continue
        fi
        actual=$(sha256sum <"$out" | cut -c1-64)
        [ "$actual" = "$digest" ] || fail "pass $pass row $row ($name): digest $actual, expected $digest"
    done 3<"$WORK/list"
done
[ "$(decode "$WORK/c128.png")" = Coca-Cola-12pk-699 ] || fail "c128.png does not scan"

finish test_cli_bytes
