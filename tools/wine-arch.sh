#!/usr/bin/env bash
# Prints the Windows architectures whose programs this machine runs under
# Wine, the ones the Windows-side tests run: "i686 x86_64" where 32-bit
# Windows code runs, else "x86_64", with one line on stderr that says why the
# 32-bit program is not run. The first is the one to run where one will do.
#
# Whether 32-bit code runs depends on the host under the machine: on some,
# every 32-bit code path faults, while `/usr/lib/wine/wine --version` still
# answers. So the machine is asked: a tiny 32-bit console program runs under
# 32-bit Wine in a throw-away prefix, with a time limit, and must print its
# line.
#   CHIMEWATCH_WINE_ARCH=x86_64   skips the question: only the 64-bit program
#   CHIMEWATCH_WINE32_LOADER=...  another 32-bit loader (/bin/false plays a
#                                 machine that cannot run 32-bit code)
set -uo pipefail
cd "$(dirname "$0")/.."

if [ "${CHIMEWATCH_WINE_ARCH:-}" = x86_64 ]; then
  echo "Only the 64-bit program runs: CHIMEWATCH_WINE_ARCH=x86_64 (the 32-bit program is built, not run)." >&2
  echo x86_64
  exit 0
fi

probe=$PWD/build/wine32-probe
loader=${CHIMEWATCH_WINE32_LOADER:-/usr/lib/wine/wine}
limit=120  # seconds; the first start of a new prefix takes about 6 here
expected="Chimewatch 32-bit probe: $$"
rm -rf "$probe"
mkdir -p "$probe"
cat >"$probe/probe.c" <<'EOF'
#include <stdio.h>
int main(int argc, char** argv) { printf("Chimewatch 32-bit probe: %s\n", argc > 1 ? argv[1] : ""); return 0; }
EOF
if [ ! -x "$loader" ]; then
  # tools/install-deps.sh says why, where wine32:i386 could not be installed.
  echo "The 32-bit program was built but not run: 32-bit Wine ($loader) is not installed here; the tests run the 64-bit program." >&2
  rm -rf "$probe"
  echo x86_64
  exit 0
elif ! i686-w64-mingw32-gcc -O -o "$probe/probe.exe" "$probe/probe.c" 2>"$probe/compile.log"; then
  reason="the 32-bit probe did not compile: $(head -1 "$probe/compile.log")"
else
  output=$(WINEPREFIX="$probe/prefix" WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" \
    timeout -k 5 "$limit" "$loader" "$probe/probe.exe" "$$" 2>"$probe/wine.log" </dev/null)
  status=$?
  WINEPREFIX="$probe/prefix" wineserver -k 2>/dev/null
  if [ "$status" -eq 0 ] && grep -qxF "$expected" <<<"${output//$'\r'/}"; then
    rm -rf "$probe"
    echo "i686 x86_64"
    exit 0
  fi
  case $status in
    124|137) reason="it did not finish within $limit s" ;;
    0) reason="it printed '$(head -c 80 <<<"${output//$'\r'/}" | head -1)', not its line" ;;
    *) reason="it ended with status $status$(grep -m1 -v '^$' "$probe/wine.log" | sed 's/^/: /' | cut -c1-120)" ;;
  esac
fi
rm -rf "$probe/prefix"
echo "The 32-bit program was built but not run: this machine does not run 32-bit Windows code (a 32-bit test program under $loader: $reason); the tests run the 64-bit program." >&2
echo x86_64
