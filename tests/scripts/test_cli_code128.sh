#!/usr/bin/env bash
# quillion-render with Code 128: PNG files that zbarimg reads back to their text, the painted
# size, exit status 2 for bad options and 1 with the engine's message for bad input.
set -uo pipefail

source "$(dirname "$0")/cli_helpers.sh"

# renders_to TEXT WIDTHxHEIGHT [options...]: renders, checks the size and reads it back.
renders_to() {
    local text=$1 size=$2
    shift 2
    local out="$WORK/out.png"
    rm -f "$out"
    if ! "$BIN" "$@" --output "$out" -- "$text" 2>"$WORK/err"; then
        fail "[$text] $*: exit status $? ($(cat "$WORK/err"))"
        return
    fi
    local actual
    actual=$(identify -format '%wx%h' "$out")
    [ -z "$size" ] || [ "$actual" = "$size" ] || fail "[$text] $*: size $actual, expected $size"
    local read
    read=$(decode "$out")
    [ "$read" = "$text" ] || fail "[$text] $*: zbarimg read [$read]"
}

renders_to "AB" 57x61
renders_to "AB" 57x41 --no-caption
renders_to "AB" 57x61 --caption --position top
renders_to "Coca Cola 12pk \$6.99" "" --style bold
renders_to "Hello, World!" "" --position=top --style=italic
renders_to "12345" "" --style bolditalic --no-caption
renders_to "underline me" "" --style underline
renders_to "-5" "" --style regular
renders_to '!"#$%&()*+,./:;<=>?@[\]^_`{|}~' ""
renders_to "123456789012345678901" 266x61

# A fullwidth digit is encoded as its ASCII form.
"$BIN" --output "$WORK/fw.png" "１２３" || fail "fullwidth digits: exit status $?"
[ "$(decode "$WORK/fw.png")" = "123" ] || fail "fullwidth digits do not read as 123"

# expect_status STATUS MESSAGE-PART args...: exit status and a part of standard error; no file.
expect_status() {
    local want=$1 message=$2
    shift 2
    rm -f "$WORK/bad.png"
    "$BIN" "$@" 2>"$WORK/err" >/dev/null
    local got=$?
    [ "$got" -eq "$want" ] || fail "$*: exit status $got, expected $want"
    grep -qF -- "$message" "$WORK/err" || fail "$*: stderr lacks [$message]: $(cat "$WORK/err")"
    [ ! -e "$WORK/bad.png" ] || fail "$*: wrote a file"
}

expect_status 2 "usage: quillion-render" --output "$WORK/bad.png"
expect_status 2 "usage: quillion-render" "AB"
expect_status 2 "unknown option --colour" --colour red --output "$WORK/bad.png" "AB"
expect_status 2 "unknown style" --style heavy --output "$WORK/bad.png" "AB"
expect_status 2 "unknown position" --position left --output "$WORK/bad.png" "AB"
expect_status 2 "--output needs a value" "AB" --output
expect_status 2 "more than one TEXT" --output "$WORK/bad.png" "AB" "CD"
expect_status 2 "takes no value" --caption=yes --output "$WORK/bad.png" "AB"
expect_status 1 "Error(54548):Illegal character for this symbology specified." \
    --output "$WORK/bad.png" "caf€"
expect_status 1 "Error(54548):Illegal character for this symbology specified." \
    --output "$WORK/bad.png" "$(printf 'A\tB')"
expect_status 1 "empty" --output "$WORK/bad.png" ""
expect_status 1 "too long for Code 128" --output "$WORK/bad.png" "$(printf 'A%.0s' $(seq 5000))"

finish "quillion-render Code 128"
