#!/usr/bin/env bash
# scripts/setup and scripts/setup-i386 against stub apt-get, apt-cache and
# dpkg-query on PATH, failing the way a fresh machine's did: an index whose
# download fails ("Mirror sync in progress?") on every update, and packages
# that cannot be had. Nothing here reaches the network or the system.
#   setup_test.sh SCRIPTS_DIR
set -euo pipefail
scripts=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/bin" "$work/debs"
log=$work/calls
state=$work/installed
export STUB_LOG=$log STUB_STATE=$state STUB_DEBS=$work/debs SETUP_RETRY_DELAY=0
export PATH="$work/bin:$PATH"
failures=0

cat >"$work/bin/apt-get" <<'EOF'
#!/usr/bin/env bash
# Options (-o X=Y, -q, -y) are dropped; the command and its packages remain.
args=()
while [ $# -gt 0 ]; do
  case "$1" in -o) shift 2 ;; -*) shift ;; *) args+=("$1"); shift ;; esac
done
echo "apt-get ${args[*]}" >>"$STUB_LOG"
case "${args[0]}" in
  update)
    echo "E: Failed to fetch .../binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress?" >&2
    exit 100 ;;
  install)
    status=0
    for p in "${args[@]:1}"; do
      case " ${STUB_UNAVAILABLE:-} " in
        *" $p "*) echo "E: Unable to locate package $p" >&2; status=100 ;;
      esac
    done
    [ $status -eq 0 ] && printf '%s\n' "${args[@]:1}" >>"$STUB_STATE"
    exit $status ;;
  download)
    for p in "${args[@]:1}"; do
      case " ${STUB_UNAVAILABLE:-} " in *" $p "*) echo "E: Failed to fetch $p 404 Not Found" >&2; exit 100 ;; esac
      cp "$STUB_DEBS/${p}_1.0_i386.deb" . || exit 100
    done ;;
esac
EOF
cat >"$work/bin/apt-cache" <<'EOF'
#!/usr/bin/env bash
package=${!#}
echo "$package"
case "$package" in
  libzint-dev) echo "  Depends: libzint2.15" ;;
  libzint2.15) printf '  Depends: libc6\n  Depends: libpng16-16t64\n  Depends: <libfoo-virtual>\n' ;;
  libpng16-16t64) printf '  Depends: libc6\n  Depends: zlib1g\n' ;;
esac
EOF
cat >"$work/bin/dpkg-query" <<'EOF'
#!/usr/bin/env bash
grep -qx "${!#}" "$STUB_STATE" 2>/dev/null && printf 'install ok installed' && exit 0
exit 1
EOF
chmod +x "$work/bin"/*

# A package file holding one file named after the package.
for p in libzint-dev libzint2.15 libpng16-16t64 zlib1g stale; do
  mkdir -p "$work/pkg/$p/DEBIAN" "$work/pkg/$p/usr/lib"
  printf 'Package: %s\nVersion: 1.0\nArchitecture: i386\nMaintainer: test <test@example.org>\nDescription: stub\n' \
    "$p" >"$work/pkg/$p/DEBIAN/control"
  echo "$p" >"$work/pkg/$p/usr/lib/$p.file"
  dpkg-deb --build "$work/pkg/$p" "$work/debs/${p}_1.0_i386.deb" >/dev/null
done

check() {
  if eval "$2"; then
    echo "ok: $1"
  else
    echo "FAILED: $1"
    echo "--- calls:"
    cat "$log" 2>/dev/null || true
    failures=$((failures + 1))
  fi
}
run() {
  : >"$log"
  status=0
  output=$("$@" 2>&1) || status=$?
}

# scripts/setup, the base packages already there.
printf '%s\n' cmake g++ make libgtest-dev googletest libbenchmark-dev libzint-dev libstb-dev >"$state"
run "$scripts/setup"
check "nothing missing: no apt-get at all" '[ $status -eq 0 ] && [ ! -s "$log" ]'

run "$scripts/setup" zint nodejs
check "an index that never downloads: three updates, then the install goes on" \
  '[ $status -eq 0 ] && [ "$(grep -c "^apt-get update" "$log")" -eq 3 ] && grep -q "^apt-get install zint nodejs$" "$log"'
check "the packages it could install are there" 'grep -qx zint "$state" && grep -qx nodejs "$state"'

STUB_UNAVAILABLE="chromium" run "$scripts/setup" emscripten chromium
check "a package that cannot be installed fails the set-up and is named" \
  '[ $status -ne 0 ] && grep -q "setup: cannot install chromium$" <<<"$output"'
check "the others are installed one by one" 'grep -qx emscripten "$state"'

# scripts/setup-i386 into a folder of its own, with a stale package file left there.
deps=$work/i386
mkdir -p "$deps/debs"
cp "$work/debs/stale_1.0_i386.deb" "$deps/debs/"
I386_DEPS=$deps run "$scripts/setup-i386"
check "i386: the failing index is retried, then the lists that came are used" \
  '[ $status -eq 0 ] && [ "$(grep -c "^apt-get update" "$log")" -eq 3 ]'
check "i386: nothing is installed into the system" '! grep -q "^apt-get install" "$log"'
check "i386: libzint-dev and what it needs are unpacked, found by name, the C runtime left out" \
  'for p in libzint-dev libzint2.15 libpng16-16t64 zlib1g; do [ -f "$deps/usr/lib/$p.file" ] || exit 1; done;
   [ ! -e "$deps/usr/lib/libc6.file" ]'
check "i386: a package file left in the folder is not unpacked" '[ ! -e "$deps/usr/lib/stale.file" ]'
I386_DEPS=$deps run "$scripts/setup-i386"
check "i386: a second run does nothing" '[ $status -eq 0 ] && [ ! -s "$log" ]'

STUB_UNAVAILABLE="libpng16-16t64" I386_DEPS=$work/i386-missing run "$scripts/setup-i386"
check "i386: a package that cannot be downloaded fails the set-up and is named" \
  '[ $status -ne 0 ] && grep -q "cannot download the i386 package libpng16-16t64$" <<<"$output"'

[ $failures -eq 0 ]
