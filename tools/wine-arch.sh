#!/usr/bin/env bash
# Prints the Windows architecture whose programs Wine can run here: i686
# (the shipped 32-bit program) where the kernel runs 32-bit Linux programs,
# x86_64 where it does not (some virtual machines leave that out).
if /usr/lib/wine/wine --version >/dev/null 2>&1; then echo i686; else echo x86_64; fi
