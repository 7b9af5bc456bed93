#!/usr/bin/env bash
# The command-line reader reads every bundled example and prints exactly the
# text stored beside it, through the reader and through the exports; exit
# codes and messages follow its documentation.
set -u
cli="$1"; examples="$2"
fail=0
for image in "$examples"/*.png "$examples"/*.jpg; do
  export=y
  case "$image" in *photo*) export=photo ;; esac
  expected="${image%.*}.txt"
  for args in "" "--export $export"; do
    # shellcheck disable=SC2086
    if ! cmp -s <("$cli" $args "$image") <(cat "$expected"; echo); then
      echo "FAIL: $image ($args) did not print the text of $expected"; fail=1
    fi
  done
done
hello="$examples/compact-hello.png"
# Several files: each result prefixed with its file name; "-" and "--".
out=$("$cli" "$hello" - -- "$examples/full-rotated.png" < "$hello")
[ "$(echo "$out" | sed -n 2p)" = "-: $(cat "$examples/compact-hello.txt")" ] || { echo "FAIL: prefix or stdin"; fail=1; }
# JSON: one object per symbol, the bytes in hex.
json=$("$cli" --json --where centre "$hello")
hexdata=$(od -An -tx1 "$examples/compact-hello.txt" | tr -d ' \n')
echo "$json" | grep -q "\"status\":\"read\",\"bytes\":\"$hexdata\"" || { echo "FAIL: --json: $json"; fail=1; }
# A missing file: the system's reason, exit status 2.
err=$("$cli" "$examples/no-such-file.png" 2>&1 >/dev/null); [ $? -eq 2 ] || { echo "FAIL: missing file should exit 2"; fail=1; }
echo "$err" | grep -q "No such file or directory" || { echo "FAIL: missing file reason: $err"; fail=1; }
# A file that is no image: exit status 2.
"$cli" "$0" >/dev/null 2>&1; [ $? -eq 2 ] || { echo "FAIL: unreadable file should exit 2"; fail=1; }
# An image without a symbol: exit status 1 and the reason on stderr.
tmp=$(mktemp --suffix=.pgm); printf 'P5\n64 64\n255\n' > "$tmp"; head -c 4096 /dev/zero | tr '\0' '\377' >> "$tmp"
err=$("$cli" "$tmp" 2>&1 >/dev/null); [ $? -eq 1 ] || { echo "FAIL: blank image should exit 1"; fail=1; }
echo "$err" | grep -q "no symbol found" || { echo "FAIL: blank image reason: $err"; fail=1; }
rm -f "$tmp"
# Files cut short are refused, not read with missing pixels: exit 2 and a reason.
refused() {  # FILE PATTERN WHAT
  err=$("$cli" "$1" 2>&1 >/dev/null); status=$?
  [ $status -eq 2 ] || { echo "FAIL: $3 should exit 2, not $status"; fail=1; }
  echo "$err" | grep -q "$2" || { echo "FAIL: $3 reason: $err"; fail=1; }
}
work=$(mktemp -d)
{ printf 'P6\n100 100\n255\n'; head -c 100 /dev/zero; } > "$work/cut.ppm"
refused "$work/cut.ppm" "cut short: 100 of 30000 pixel bytes" "a PPM cut short"
{ printf 'P5\n# a comment\n64 64\n65535\n'; head -c 4096 /dev/zero; } > "$work/cut16.pgm"
refused "$work/cut16.pgm" "cut short: 4096 of 8192 pixel bytes" "a 16-bit PGM cut short"
# A 100 x 100 24-bit BMP (rows of 300 bytes), 500 of its 30000 pixel bytes there.
bmp_header() {
  printf 'BM\x66\x75\x00\x00\x00\x00\x00\x00\x36\x00\x00\x00\x28\x00\x00\x00\x64\x00\x00\x00\x64\x00\x00\x00'
  printf '\x01\x00\x18\x00\x00\x00\x00\x00\x30\x75\x00\x00\x13\x0b\x00\x00\x13\x0b\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00'
}
{ bmp_header; head -c 500 /dev/zero; } > "$work/cut.bmp"
refused "$work/cut.bmp" "cut short: 500 of 30000 pixel bytes" "a BMP cut short"
# Whole files of the same kinds still load (and hold no symbol: exit 1).
{ bmp_header; head -c 30000 /dev/zero | tr '\0' '\377'; } > "$work/whole.bmp"
{ printf 'P6\n100 100\n255\n'; head -c 30000 /dev/zero | tr '\0' '\377'; } > "$work/whole.ppm"
for whole in "$work/whole.bmp" "$work/whole.ppm"; do
  "$cli" "$whole" >/dev/null 2>&1; [ $? -eq 1 ] || { echo "FAIL: $whole should load and read nothing"; fail=1; }
done
head -c 33 "$hello" > "$work/cut.png"
refused "$work/cut.png" "cut\\.png: [A-Za-z]" "a PNG cut at 33 bytes (a reason, not an empty one)"
# The pixel limit, from the header before decoding: a PNG claiming 16000 x 16000.
{ head -c 16 "$hello"; printf '\x00\x00\x3e\x80\x00\x00\x3e\x80'; tail -c +25 "$hello"; } > "$work/huge.png"
refused "$work/huge.png" "16000 x 16000 pixels, more than the 67108864" "a PNG above the default pixel limit"
err=$("$cli" --max-pixels 100 "$hello" 2>&1 >/dev/null); [ $? -eq 2 ] && echo "$err" | grep -q "135 x 135 pixels" ||
  { echo "FAIL: --max-pixels 100: $err"; fail=1; }
[ "$("$cli" --max-pixels 18225 "$hello")" = "$(cat "$examples/compact-hello.txt")" ] ||
  { echo "FAIL: --max-pixels of exactly the image's pixels should read it"; fail=1; }
[ "$("$cli" --max-pixels 0 "$hello")" = "$(cat "$examples/compact-hello.txt")" ] ||
  { echo "FAIL: --max-pixels 0 (no limit) should read the example"; fail=1; }
for bad in -1 12x ""; do
  "$cli" --max-pixels "$bad" "$hello" >/dev/null 2>&1; [ $? -eq 2 ] || { echo "FAIL: --max-pixels '$bad' should exit 2"; fail=1; }
done
[ "$("$cli" --budget 2000 "$hello")" = "$(cat "$examples/compact-hello.txt")" ] ||
  { echo "FAIL: --budget 2000 should read the example"; fail=1; }
"$cli" --budget 0 "$hello" >/dev/null 2>&1; [ $? -eq 2 ] || { echo "FAIL: --budget 0 should exit 2"; fail=1; }
# Out of memory while loading: that file fails (exit 2, a reason), the next one is read. Builds whose runtime
# cannot start under an address-space limit (sanitizers) leave this out.
if (ulimit -v 400000; "$cli" --version) >/dev/null 2>&1; then
  out=$( (ulimit -v 400000; head -c 600000000 /dev/zero | "$cli" - "$hello") 2>"$work/err"); status=$?
  [ $status -eq 2 ] || { echo "FAIL: out of memory while loading should exit 2, not $status"; fail=1; }
  grep -q "^talavex: -: out of memory$" "$work/err" || { echo "FAIL: out of memory reason: $(cat "$work/err")"; fail=1; }
  echo "$out" | grep -q "$(cat "$examples/compact-hello.txt")" || { echo "FAIL: the file after it was not read"; fail=1; }
else
  echo "note: no out-of-memory check in this build (it cannot start under ulimit -v)"
fi
rm -rf "$work"
"$cli" --where nowhere "$hello" >/dev/null 2>&1; [ $? -eq 2 ] || { echo "FAIL: bad --where should exit 2"; fail=1; }
"$cli" --version | grep -Eq '^talavex [0-9]+\.[0-9]+\.[0-9]+$' || { echo "FAIL: --version"; fail=1; }
"$cli" --help | grep -q -- '--export y|bgra|photo' || { echo "FAIL: --help"; fail=1; }
"$cli" --help | grep -q -- '(default 67108864,$' || { echo "FAIL: --help names the library's pixel limit"; fail=1; }
exit $fail
