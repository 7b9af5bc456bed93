#!/usr/bin/env bash
# scripts/check-exports against small libraries built here: it passes the
# exact set the header declares and fails, naming the function, on one
# missing, one more, or a declaration it cannot read. With a library given,
# that library is checked against the real headers as well.
#   check_exports_test.sh SCRIPTS_DIR [LIBRARY]
set -euo pipefail
check="$1/check-exports"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

cat >"$work/api.h" <<'EOF'
#define TALAVEX_API
TALAVEX_API int alpha(void);
TALAVEX_API const char* beta_name(int index,
                                  int more);
TALAVEX_API void gamma_count(void);
EOF

# A shared library defining the given functions with default visibility.
library() {
  local name=$1
  shift
  : >"$work/$name.c"
  for f in "$@"; do echo "int $f(void) { return 0; }" >>"$work/$name.c"; done
  cc -shared -fPIC -o "$work/$name.so" "$work/$name.c"
}

expect() {
  local want=$1 name=$2 pattern=$3
  shift 3
  local output status=0
  output=$("$check" "$@" 2>&1) || status=$?
  if { [ "$want" = pass ] && [ $status -ne 0 ]; } || { [ "$want" = fail ] && [ $status -eq 0 ]; } ||
    ! grep -q -- "$pattern" <<<"$output"; then
    echo "FAILED: $name (exit $status): $output"
    failures=$((failures + 1))
  else
    echo "ok: $name"
  fi
}

library exact alpha beta_name gamma_count
library missing alpha gamma_count
library extra alpha beta_name gamma_count delta
expect pass "the declared set passes" "exactly the 3 functions" "$work/exact.so" "$work/api.h"
expect fail "a missing function fails" "^beta_name$" "$work/missing.so" "$work/api.h"
expect fail "a function more fails" "^delta$" "$work/extra.so" "$work/api.h"

printf '#define TALAVEX_API\nTALAVEX_API int alpha(void);\nTALAVEX_API int\nbeta_name(void);\n' >"$work/split.h"
expect fail "an unreadable declaration fails" "cannot read" "$work/exact.so" "$work/split.h"

if [ $# -ge 2 ]; then
  expect pass "the library exports what its headers declare" "exactly the" "$2"
fi
[ $failures -eq 0 ]
