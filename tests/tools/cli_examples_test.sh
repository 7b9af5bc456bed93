#!/usr/bin/env bash
# The command-line reader reads every bundled example and prints exactly the
# text stored beside it; exit codes follow its documentation.
set -u
cli="$1"; examples="$2"
fail=0
for image in "$examples"/*.png "$examples"/*.jpg; do
  mode=frame
  case "$image" in *photo*) mode=photo ;; esac
  expected="${image%.*}.txt"
  if ! cmp -s <("$cli" --mode "$mode" "$image") "$expected"; then
    echo "FAIL: $image ($mode) did not print the text of $expected"; fail=1
  fi
done
# Several files: each result prefixed with its file name.
out=$("$cli" "$examples/compact-hello.png" "$examples/full-rotated.png")
[ "$(echo "$out" | head -1)" = "$examples/compact-hello.png: $(cat "$examples/compact-hello.txt")" ] || { echo "FAIL: prefix"; fail=1; }
# A file that is no image: exit status 2.
"$cli" "$0" >/dev/null 2>&1; [ $? -eq 2 ] || { echo "FAIL: unreadable file should exit 2"; fail=1; }
# An image without a symbol: exit status 1.
tmp=$(mktemp --suffix=.pgm); printf 'P5\n64 64\n255\n' > "$tmp"; head -c 4096 /dev/zero | tr '\0' '\377' >> "$tmp"
"$cli" "$tmp" >/dev/null 2>&1; [ $? -eq 1 ] || { echo "FAIL: blank image should exit 1"; fail=1; }
rm -f "$tmp"
"$cli" --help | grep -q -- '--mode photo' || { echo "FAIL: --help"; fail=1; }
exit $fail
