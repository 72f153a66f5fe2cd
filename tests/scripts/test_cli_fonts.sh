#!/usr/bin/env bash
# quillion-render and the font configuration: a run that paints no text reads nothing of it, a
# caption run keeps its face lookups for the next run, and a changed configuration is read
# again. Files opened are watched with strace.
set -uo pipefail

source "$(dirname "$0")/cli_helpers.sh"

command -v strace >/dev/null || { echo "strace is not installed: skipped"; exit 77; }
strace -f -o /dev/null true 2>/dev/null || { echo "strace cannot trace here: skipped"; exit 77; }

export XDG_CACHE_HOME=$WORK/cache
KEPT=$XDG_CACHE_HOME/quillion/font-faces
LIBERATION=/usr/share/fonts/truetype/liberation

# traced NAME ARGS...: runs quillion-render under strace; the file names it used go to
# $WORK/NAME.files (one call a line), its exit status is returned.
traced() {
    local name=$1
    shift
    # LeakSanitizer cannot run under a tracer; the untraced runs still check for leaks.
    ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0 \
        strace -f -qq -e trace=%file -o "$WORK/$name.files" "$BIN" "$@" 2>"$WORK/$name.err"
}

# 1. Code 128 without caption: no fontconfig configuration, no font, no kept lookups.
traced plain --no-caption --output "$WORK/plain.png" ABC-123456 || fail "no caption: exit status $?"
if grep -E '/etc/fonts|fonts\.conf|/fontconfig|/fonts/|font-faces' "$WORK/plain.files" >"$WORK/hits"; then
    fail "a run without caption looked at the font configuration: $(head -3 "$WORK/hits")"
fi
[ ! -e "$KEPT" ] || fail "a run without caption wrote $KEPT"

# 2. With caption, twice: the first run asks fontconfig, renders with Liberation Mono and keeps
# both; the second opens neither the configuration nor the font file (folders opened only to
# look at their entries, O_PATH, are no read), and paints the same.
traced first --output "$WORK/first.png" ABC-123456 || fail "first caption run: exit status $?"
grep -q 'fonts\.conf' "$WORK/first.files" || fail "the first caption run did not read fonts.conf"
grep -q 'open.*LiberationMono-Regular\.ttf' "$WORK/first.files" ||
    fail "the first caption run did not open Liberation Mono"
[ -s "$KEPT" ] || fail "the first caption run kept no face lookups"
traced second --output "$WORK/second.png" ABC-123456 || fail "second caption run: exit status $?"
if grep -E 'open.*(/etc/fonts|fonts\.conf|/fontconfig/|\.ttf)' "$WORK/second.files" |
    grep -v 'O_PATH' >"$WORK/hits"; then
    fail "the second caption run opened the configuration or a font: $(head -3 "$WORK/hits")"
fi
cmp -s "$WORK/first.png" "$WORK/second.png" || fail "the kept font painted other pixels"
# A caption with characters the first run did not render opens the font for those only.
traced more --output "$WORK/more.png" XYZ-987 || fail "new characters: exit status $?"
grep -q 'open.*LiberationMono-Regular\.ttf' "$WORK/more.files" ||
    fail "characters never rendered were painted without the font"
XDG_CACHE_HOME=$WORK/fresh-more "$BIN" --output "$WORK/more-fresh.png" XYZ-987 ||
    fail "fresh cache: exit status $?"
cmp -s "$WORK/more.png" "$WORK/more-fresh.png" || fail "kept and new glyphs mixed: other pixels"

# Another program file (a rebuilt or copied renderer) renders its glyphs again.
mkdir -p "$WORK/copy"
cp "$BIN" "$WORK/copy/quillion-render"
BIN_SAVED=$BIN
BIN=$WORK/copy/quillion-render
traced copy1 --output "$WORK/copy1.png" ABC-123456 || fail "copied program: exit status $?"
traced copy2 --output "$WORK/copy2.png" ABC-123456 || fail "copied program: exit status $?"
grep -q 'open.*\.ttf' "$WORK/copy2.files" && fail "the copy did not keep its own glyphs"
touch "$BIN" # as a rebuild would
traced copy3 --output "$WORK/copy3.png" ABC-123456 || fail "changed program: exit status $?"
grep -q 'open.*LiberationMono-Regular\.ttf' "$WORK/copy3.files" ||
    fail "a changed program used the glyphs of the old one"
for f in copy1 copy2 copy3; do
    cmp -s "$WORK/$f.png" "$WORK/first.png" || fail "$f: other pixels"
done
BIN=$BIN_SAVED

# 3. A private configuration whose alias for the caption face changes between runs.
# write_config FAMILY: "Courier New" is served by FAMILY.
CONF=$WORK/conf/fonts.conf # in a folder of its own: the folder is watched too
mkdir -p "$WORK/conf"
write_config() {
    cat >"$CONF" <<EOF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig>
  <dir>$LIBERATION</dir>
  <cachedir>$WORK/fontconfig-cache</cachedir>
  <match target="pattern">
    <test name="family"><string>Courier New</string></test>
    <edit name="family" mode="assign" binding="strong"><string>$1</string></edit>
  </match>
</fontconfig>
EOF
}
export FONTCONFIG_FILE=$CONF
write_config "Liberation Mono"
sleep 2 # lookups are kept only once the files they came from are a second old
"$BIN" --output "$WORK/mono.png" Coca-Cola || fail "private configuration: exit status $?"
grep -q "$CONF" "$KEPT" || fail "the private configuration's lookup was not kept"
traced kept --output "$WORK/mono2.png" Coca-Cola || fail "kept lookup: exit status $?"
grep -q "open.*$CONF" "$WORK/kept.files" && fail "the kept lookup read the configuration"
cmp -s "$WORK/mono.png" "$WORK/mono2.png" || fail "the kept lookup painted other pixels"

write_config "Liberation Serif"
traced changed --output "$WORK/serif.png" Coca-Cola || fail "changed configuration: exit status $?"
grep -q "open.*$CONF" "$WORK/changed.files" ||
    fail "the changed configuration was not read again"
grep -q 'open.*LiberationSerif-Regular\.ttf' "$WORK/changed.files" ||
    fail "the changed configuration's face was not used"
XDG_CACHE_HOME=$WORK/fresh "$BIN" --output "$WORK/serif-fresh.png" Coca-Cola ||
    fail "fresh cache: exit status $?"
cmp -s "$WORK/serif.png" "$WORK/serif-fresh.png" || fail "after the change: other pixels than a fresh run"
cmp -s "$WORK/serif.png" "$WORK/mono.png" && fail "the changed configuration painted the old face"
[ "$(decode "$WORK/serif.png")" = Coca-Cola ] || fail "the serif caption run does not scan"

# A face file replaced in place: the kept lookup and the kept glyphs are both dropped.
mkdir -p "$WORK/fonts"
cp "$LIBERATION/LiberationMono-Regular.ttf" "$WORK/fonts/face.ttf"
cat >"$WORK/conf/face.conf" <<EOF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig>
  <dir>$WORK/fonts</dir>
  <cachedir>$WORK/fontconfig-cache</cachedir>
</fontconfig>
EOF
sleep 2
FONTCONFIG_FILE=$WORK/conf/face.conf "$BIN" --output "$WORK/face1.png" Coca-Cola ||
    fail "private face: exit status $?"
cmp -s "$WORK/face1.png" "$WORK/mono.png" || fail "the copied face painted other pixels"
cat "$LIBERATION/LiberationSerif-Regular.ttf" >"$WORK/fonts/face.ttf"
FONTCONFIG_FILE=$WORK/conf/face.conf "$BIN" --output "$WORK/face2.png" Coca-Cola ||
    fail "replaced face: exit status $?"
cmp -s "$WORK/face2.png" "$WORK/serif.png" || fail "the replaced face file was not used"

# Another configuration file by name is another configuration.
cp "$CONF" "$WORK/serif.conf"
write_config "Liberation Mono"
FONTCONFIG_FILE=$WORK/serif.conf traced renamed --output "$WORK/serif2.png" Coca-Cola ||
    fail "renamed configuration: exit status $?"
grep -q "open.*$WORK/serif.conf" "$WORK/renamed.files" || fail "the other file was not read"
cmp -s "$WORK/serif2.png" "$WORK/serif.png" || fail "the other configuration painted other pixels"

# A file reached through a symbolic link, as those in conf.d are: a link that names another
# file, and the named file changed in place, are both read again.
LINKED=$WORK/linked
mkdir -p "$LINKED/conf.d"
cp "$CONF" "$LINKED/mono.conf"
cp "$WORK/serif.conf" "$LINKED/serif.conf"
printf '<?xml version="1.0"?>\n<fontconfig><include>%s</include></fontconfig>\n' \
    "$LINKED/conf.d" >"$LINKED/fonts.conf"
ln -s ../mono.conf "$LINKED/conf.d/50-face.conf"
export FONTCONFIG_FILE=$LINKED/fonts.conf
sleep 2
"$BIN" --output "$WORK/link1.png" Coca-Cola || fail "linked configuration: exit status $?"
cmp -s "$WORK/link1.png" "$WORK/mono.png" || fail "linked configuration: other pixels"
ln -sfn ../serif.conf "$LINKED/conf.d/50-face.conf"
"$BIN" --output "$WORK/link2.png" Coca-Cola || fail "link changed: exit status $?"
cmp -s "$WORK/link2.png" "$WORK/serif.png" || fail "the link's new file was not read"
sleep 2
traced link3 --output "$WORK/link3.png" Coca-Cola || fail "link kept: exit status $?"
traced link4 --output "$WORK/link4.png" Coca-Cola || fail "link kept: exit status $?"
grep -q 'open.*serif\.conf' "$WORK/link4.files" && fail "the kept lookup read the linked file"
cat "$LINKED/mono.conf" >"$LINKED/serif.conf"
"$BIN" --output "$WORK/link5.png" Coca-Cola || fail "linked file edited: exit status $?"
cmp -s "$WORK/link5.png" "$WORK/mono.png" || fail "the linked file changed in place was not read"
unset FONTCONFIG_FILE

# 4. A cache that cannot be kept, or a damaged one, changes nothing but speed.
printf 'not a folder' >"$WORK/blocked"
XDG_CACHE_HOME=$WORK/blocked "$BIN" --output "$WORK/blocked.png" ABC-123456 ||
    fail "unwritable cache folder: exit status $?"
cmp -s "$WORK/blocked.png" "$WORK/first.png" || fail "unwritable cache folder: other pixels"
printf 'quillion font faces 1\nF\tcourier new\t400\t0\t0\t0\t-\t/nowhere.ttf\n' >"$KEPT"
"$BIN" --output "$WORK/damaged.png" ABC-123456 || fail "damaged cache: exit status $?"
cmp -s "$WORK/damaged.png" "$WORK/first.png" || fail "damaged cache: other pixels"
grep -q nowhere "$KEPT" && fail "the damaged cache was not replaced"

# 5. What reaches the disk, as strace shows it: a single file's data before the file replaces
# the old one; a batch's files with one syncfs of their folder at the end; a block device written
# as a target, flushed before the run ends.
# synced NAME ARGS...: runs quillion-render under strace; its sync, rename and link calls go to
# $WORK/NAME.calls (one a line), its exit status is returned.
synced() {
    local name=$1
    shift
    ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0 \
        strace -f -qq -e trace=fdatasync,fsync,syncfs,rename,renameat,renameat2,linkat \
        -o "$WORK/$name.calls" "$BIN" "$@" 2>"$WORK/$name.err"
}
# first_line NAME PATTERN: the number of the first call matching PATTERN, or 0 (last_line: last).
first_line() { awk -v re="$2" '$0 ~ re && !n { n = NR } END { print n + 0 }' "$WORK/$1.calls"; }
last_line() { awk -v re="$2" '$0 ~ re { n = NR } END { print n + 0 }' "$WORK/$1.calls"; }
mkdir -p "$WORK/durable"
for run in new replaced; do
    synced "single-$run" --no-caption --output "$WORK/durable/one.png" AB ||
        fail "single file: exit status $?"
    data=$(first_line "single-$run" 'fdatasync[(]')
    rename=$(first_line "single-$run" 'rename(at2?)?[(]')
    [ "$data" -gt 0 ] && [ "$rename" -gt "$data" ] ||
        fail "single file ($run): no fdatasync before the rename: $(cat "$WORK/single-$run.calls")"
done
printf 'AB\nCD\nEF\n' >"$WORK/durable.txt"
synced batch --no-caption --batch "$WORK/durable.txt" --out-dir "$WORK/durable/batch" ||
    fail "batch: exit status $?"
last_file=$(last_line batch '(linkat|rename(at2?)?)[(]')
syncs=$(grep -c 'syncfs(' "$WORK/batch.calls")
[ "$last_file" -gt 0 ] && [ "$syncs" -eq 1 ] &&
    [ "$(first_line batch 'syncfs[(]')" -gt "$last_file" ] ||
    fail "batch: not one syncfs after the last file: $(cat "$WORK/batch.calls")"
# A loop device over a file of this test's own, reached through a node made here.
if [ "$(id -u)" -eq 0 ] && command -v losetup >/dev/null && truncate -s 1M "$WORK/disk.img" &&
    loop=$(losetup --find --show "$WORK/disk.img" 2>/dev/null); then
    trap 'losetup -d "$loop" 2>/dev/null; rm -rf "$WORK"' EXIT
    mknod "$WORK/disk" b "$((16#$(stat -c %t "$loop")))" "$((16#$(stat -c %T "$loop")))"
    synced block --no-caption --format png --output "$WORK/disk" AB ||
        fail "block device: exit status $?"
    grep -q 'fsync(' "$WORK/block.calls" ||
        fail "block device: not flushed: $(cat "$WORK/block.calls")"
    cmp -s -n "$(stat -c %s "$WORK/durable/one.png")" "$WORK/disk.img" "$WORK/durable/one.png" ||
        fail "block device: other bytes written"
    losetup -d "$loop"
fi

# 6. Nothing in the cache folder can hold a run up, change its picture or pile up.
export XDG_CACHE_HOME=$WORK/hostile
HOSTILE=$XDG_CACHE_HOME/quillion
"$BIN" --output "$WORK/cold.png" ABC-123456 || fail "cold run: exit status $?"
GLYPHS=$(ls "$HOSTILE"/glyphs-*)
mkfifo "$WORK/fifo"
for row in "font-faces FIFO" "glyph file FIFO" "font-faces link to a FIFO"; do
    rm -f "$HOSTILE/font-faces" "$GLYPHS"
    case $row in
    "font-faces FIFO") mkfifo "$HOSTILE/font-faces" ;;
    "glyph file FIFO") mkfifo "$GLYPHS" ;;
    *) ln -s "$WORK/fifo" "$HOSTILE/font-faces" ;;
    esac
    timeout 20 "$BIN" --output "$WORK/hostile.png" ABC-123456 || fail "$row: exit status $?"
    cmp -s "$WORK/hostile.png" "$WORK/cold.png" || fail "$row: other pixels than a cold run"
done
# A batch with a FIFO there stops at once on SIGTERM.
rm -f "$HOSTILE/font-faces"
mkfifo "$HOSTILE/font-faces"
seq 100000 200000 >"$WORK/many.txt"
"$BIN" --batch "$WORK/many.txt" --out-dir "$WORK/many" --jobs 2 2>/dev/null &
job=$!
sleep 1
kill -TERM "$job"
sent=$(date +%s%N)
wait "$job"
status=$?
took=$((($(date +%s%N) - sent) / 1000000))
[ "$status" -eq 143 ] || fail "SIGTERM with a FIFO in the cache: exit status $status"
[ "$took" -lt 1000 ] || fail "SIGTERM with a FIFO in the cache: ended after $took ms"

# A folder that others may write, or that is not the user's, is not used.
rm -f "$HOSTILE/font-faces" "$GLYPHS"
chmod 777 "$HOSTILE"
"$BIN" --output "$WORK/open.png" ABC-123456 || fail "open folder: exit status $?"
[ -z "$(ls "$HOSTILE")" ] || fail "a folder others may write was used: $(ls "$HOSTILE")"
chmod 700 "$HOSTILE"
if [ "$(id -u)" = 0 ]; then
    chown nobody "$HOSTILE"
    "$BIN" --output "$WORK/theirs.png" ABC-123456 || fail "another user's folder: exit status $?"
    [ -z "$(ls "$HOSTILE")" ] || fail "another user's folder was used"
    chown root "$HOSTILE"
fi

# Leftovers: stale temporaries, glyph files of programs gone or unused for 30 days go when the
# cache is next written; young temporaries, the current program's file and other files stay.
stale() { printf 'x\n' >"$HOSTILE/$1" && touch -d "${2:-2 minutes ago}" "$HOSTILE/$1"; }
stale .font-faces.0123456789ab.tmp
stale .glyphs-0123456789abcdef.a1b2c3d4e5f6.tmp
stale notes.AbC123
stale .notes.0123456789ab.tmp.old
stale .font-faces.00000000beef.tmp now
printf 'quillion glyphs 2\nB\t%s\n' "$WORK/gone" >"$HOSTILE/glyphs-00000000000000aa"
printf 'quillion glyphs 2\nB\t%s\n' "$BIN" >"$HOSTILE/glyphs-00000000000000bb"
printf 'quillion glyphs 2\nB\t%s\n' "$BIN" >"$HOSTILE/glyphs-00000000000000cc"
touch -d '40 days ago' "$HOSTILE/glyphs-00000000000000cc"
"$BIN" --output "$WORK/swept.png" ABC-123456 || fail "sweep: exit status $?"
printf '%s\n' font-faces "$(basename "$GLYPHS")" .font-faces.00000000beef.tmp notes.AbC123 \
    .notes.0123456789ab.tmp.old glyphs-00000000000000bb | sort >"$WORK/kept.want"
ls -A "$HOSTILE" | sort >"$WORK/kept.have"
cmp -s "$WORK/kept.want" "$WORK/kept.have" ||
    fail "after the sweep: $(tr '\n' ' ' <"$WORK/kept.have")"

# A copy under another name gets the faces fontconfig gives that name; an ignore_missing
# include that appears later is read.
PRG=$WORK/prg
mkdir -p "$PRG"
rule() {
    printf '<match target="pattern">%s<test name="family"><string>Courier New</string></test>' "$1"
    printf '<edit name="family" mode="assign" binding="strong"><string>%s</string></edit></match>\n' "$2"
}
{
    printf '<?xml version="1.0"?>\n<fontconfig><dir>%s</dir><cachedir>%s</cachedir>\n' \
        "$LIBERATION" "$WORK/fontconfig-cache"
    printf '<include ignore_missing="yes">%s</include>\n' "$PRG/later.conf"
    rule '<test name="prgname"><string>quillion-render</string></test>' "Liberation Serif"
    printf '</fontconfig>\n'
} >"$PRG/fonts.conf"
export FONTCONFIG_FILE=$PRG/fonts.conf
sleep 2
"$BIN" --output "$WORK/prg1.png" Coca-Cola || fail "prgname: exit status $?"
cmp -s "$WORK/prg1.png" "$WORK/serif.png" || fail "the rule for the program's name was not used"
cp "$BIN" "$PRG/renamed"
"$PRG/renamed" --output "$WORK/prg2.png" Coca-Cola || fail "renamed: exit status $?"
cmp -s "$WORK/prg2.png" "$WORK/mono.png" || fail "a renamed program got the first name's faces"
{
    printf '<?xml version="1.0"?>\n<fontconfig>\n'
    rule "" "Liberation Sans"
    printf '</fontconfig>\n'
} >"$PRG/later.conf"
"$BIN" --output "$WORK/later.png" Coca-Cola || fail "include appeared: exit status $?"
XDG_CACHE_HOME=$WORK/fresh-later "$BIN" --output "$WORK/later-cold.png" Coca-Cola ||
    fail "include appeared, cold: exit status $?"
cmp -s "$WORK/later.png" "$WORK/later-cold.png" || fail "an include that appeared was not read"
cmp -s "$WORK/later.png" "$WORK/prg1.png" && fail "the include's face was not used"

# 7. A caption without a usable font is an error; a symbol without caption is not.
mkdir -p "$WORK/nofonts"
printf '<?xml version="1.0"?>\n<fontconfig><dir>%s</dir><cachedir>%s</cachedir></fontconfig>\n' \
    "$WORK/nofonts" "$WORK/fontconfig-cache" >"$WORK/nofonts.conf"
export FONTCONFIG_FILE=$WORK/nofonts.conf
expect_run 1 "no font for the caption: " "no font" "$BIN" --output "$WORK/nofont.png" ABC-123
[ ! -e "$WORK/nofont.png" ] || fail "no font: a file was written"
expect_run 0 "" "no font, no caption" "$BIN" --no-caption --output "$WORK/nofont.png" ABC-123
unset FONTCONFIG_FILE

finish test_cli_fonts
