#!/usr/bin/env bash
# Prints the Windows architecture whose build the Windows-side tests run.
# x86_64 under 64-bit Wine by default: many virtual machines fault on 32-bit
# code even where a 32-bit Wine starts, so that is the one build we can rely
# on running. CHIMEWATCH_WINE_ARCH=i686 runs the shipped 32-bit program
# instead, on a machine known to run it.
echo "${CHIMEWATCH_WINE_ARCH:-x86_64}"
