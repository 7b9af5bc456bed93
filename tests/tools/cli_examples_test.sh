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
"$cli" --where nowhere "$hello" >/dev/null 2>&1; [ $? -eq 2 ] || { echo "FAIL: bad --where should exit 2"; fail=1; }
"$cli" --version | grep -Eq '^talavex [0-9]+\.[0-9]+\.[0-9]+$' || { echo "FAIL: --version"; fail=1; }
"$cli" --help | grep -q -- '--export y|bgra|photo' || { echo "FAIL: --help"; fail=1; }
exit $fail
