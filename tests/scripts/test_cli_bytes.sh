#!/usr/bin/env bash
# quillion-render's output, byte for byte, for a fixed list of inputs: every symbology, caption
# place and style, PNG and JPEG. A change in fonts, painting or file writing that moves a single
# byte shows here; the digests were taken from a build known to paint correctly (each file also
# scans). Needs the Debian 12 fonts-liberation, zlib and libjpeg-turbo the project builds with.
set -uo pipefail

source "$(dirname "$0")/cli_helpers.sh"
export XDG_CACHE_HOME=$WORK/cache

cat >"$WORK/list" <<'LIST'
c128|png|Coca-Cola-12pk-699||91c88e10fd368bbfecfb3fb39eae007965081b3b01b836507b99be5162fd82f4
c128nc|png|ABC-123456|--no-caption|56a01bb543927ad7128df90db200673eb65de66006ab7f2263752387e50c60d6
c128top|png|Hello, World!|--position top --style italic|9e9cf6c39627af4fddbab0e5d33d612bfd3e90b208ad1003f8459dda6f75a9e7
c128bold|png|Coca Cola 12pk $6.99|--style bold|3baead584b491a21fec88ee926a33f9ad21246c1b7da8286aedec362ee418ca7
c128bi|png|12345|--style bolditalic|21bf8bd85eef0c2554fa7cde1f993d66af933ae0f14d228c083d543b90051f3c
c128ul|png|underline me|--style underline|27b2e4f56ac161b6e8571c4e636f478f70115a33adad2cd30dabc245d2c2eac6
c128jpg|jpg|Coca-Cola-12pk-699||401db9d3d3822adc99efdc2e09072192101200eea8bff32825430bc7354943f6
c128ncjpg|jpg|ABC-123456|--no-caption|26ac95bea09364815468b8ff073bb000d5a622276fa0daa5328b57975257956e
c39|png|CODE 39 TEST|--type code39|a9a74fcfa8695dce8a0fdc068457f1bf347cd2f2af13124bcb323e0cbe5dbe63
c39nc|png|ABC-123|--type code39 --no-caption|a3783f22e73840ebbf8208ad42370841fef25c91c969858e0e6899aab282ee0f
upca|png|036000291452|--type upca|c89f59800c182155cb3ca6f290a032c9fbe75c0c06408f448373ed39bd8d26e6
upcanc|jpg|036000291452|--type upca --no-caption|b44bb44de294307376559d5085c292062f1c9c63f72a35f302d472ecffb8dccf
upce|png|123456|--type upce|2739b71cad310e1180868c49468d681419bb9dd6c54704a0465beee53e136bd5
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
