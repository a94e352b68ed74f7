#!/usr/bin/env bash
# Checks the protections Windows expects of a program, read from the built
# program itself, and its size:
#   hardening_test.sh ARCH=PROGRAM...      ARCH is i686 or x86_64
# Prints the flags of each program; exits non-zero when one is missing.
set -uo pipefail
# Each program must stay within 512 KiB: size is no longer chased, but the
# bound still keeps a large library (printf's formatter, the unwinder, the
# threads library) from coming back unnoticed.
limit=$((512 * 1024))
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

for pair in "$@"; do
  arch=${pair%%=*}
  program=${pair#*=}
  headers=$("$arch-w64-mingw32-objdump" -p "$program") || { fail "objdump cannot read $program"; continue; }
  dll=$(sed -n '/^DllCharacteristics/,/^SizeOfStackReserve/p' <<<"$headers")
  file=$(sed -n '/^Characteristics/,/^$/p' <<<"$headers")
  expected=(DYNAMIC_BASE NX_COMPAT TERMINAL_SERVICE_AWARE)
  [ "$arch" = x86_64 ] && expected+=(HIGH_ENTROPY_VA)
  for flag in "${expected[@]}"; do
    grep -qw "$flag" <<<"$dll" || fail "$program ($arch) lacks $flag"
  done
  if [ "$arch" = i686 ]; then
    grep -q "large address aware" <<<"$file" || fail "$program ($arch) is not large-address aware"
  fi
  # ASLR moves only a program that can be relocated.
  reloc=$("$arch-w64-mingw32-objdump" -h "$program" | awk '$2 == ".reloc" {print $3}')
  [ -n "$reloc" ] && [ $((16#$reloc)) -gt 0 ] || fail "$program ($arch) has no relocation section"
  # The messages of the stack protector's and the checked functions' failure
  # handlers (libssp) are in the program only when both are compiled in and
  # the library is linked into it.
  for message in "stack smashing detected" "buffer overflow detected"; do
    grep -qaF "$message" "$program" || fail "$program ($arch) holds no \"$message\" handler"
  done
  imports=$(grep 'DLL Name:' <<<"$headers" | awk '{print $3}')
  runtime=$(grep -i '^lib' <<<"$imports")
  [ -z "$runtime" ] || fail "$program ($arch) imports MinGW runtime DLLs: $(echo $runtime)"
  size=$(stat -c %s "$program")
  [ "$size" -le "$limit" ] || fail "$program ($arch) is $size bytes, more than $limit"
  echo "$arch: $size bytes; $(grep -ow 'DYNAMIC_BASE\|HIGH_ENTROPY_VA\|NX_COMPAT\|TERMINAL_SERVICE_AWARE' <<<"$dll" | tr '\n' ' ')$(grep -o 'large address aware' <<<"$file" | tr ' ' _ | tr a-z A-Z) .reloc; imports $(echo $imports)"
done
exit $((failures > 0))
