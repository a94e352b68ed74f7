#!/usr/bin/env bash
# Two PCs on one network share: two Wine prefixes (two wineservers, as two
# machines share nothing but the files) run the same portable folder at
# once. Both programs import alerts at the same moment, round after round,
# so that their saves meet; afterwards the file holds every alert both
# stored, and each program, asked by its own command, exports them all
# within a minute.
#   two_pcs_test.sh CHIMEWATCH_EXE ARCH
set -uo pipefail
exe=$1 arch=$2
root=$(cd "$(dirname "$0")/../../.." && pwd)
folder=$(mktemp -d /tmp/chimewatch-share.XXXXXX)
pc1=${CHIMEWATCH_WINEPREFIX:-$root/build/wineprefix-$arch}
pc2=$root/build/wineprefix-$arch-pc2
on() { local prefix=$1; shift; CHIMEWATCH_WINEPREFIX=$prefix "$root/tools/wine-run.sh" "$arch" "$@"; }
finish() {
  for prefix in "$pc1" "$pc2"; do WINEPREFIX=$prefix wineserver -k 2>/dev/null; done
  rm -rf "$folder"
}
trap finish EXIT

cp "$exe" "$folder/chimewatch.exe"
printf '; Chimewatch keeps its alerts in this file.\r\n' > "$folder/chimewatch.ini"
rounds=4 per=3
for pc in 1 2; do
  for round in $(seq $rounds); do
    events=""
    for n in $(seq $per); do
      events+="BEGIN:VEVENT\nUID:pc$pc-$round-$n@share\nDTSTAMP:20261201T000000Z\nDTSTART:20300101T080000Z\n"
      events+="SUMMARY:PC$pc round $round alert $n\nEND:VEVENT\n"
    done
    printf "BEGIN:VCALENDAR\nVERSION:2.0\nPRODID:-//Share//Test//EN\n${events}END:VCALENDAR\n" > "$folder/pc$pc-$round.ics"
  done
done

on "$pc2" "$folder/chimewatch.exe" /export "$folder/warm-up.ics" >/dev/null 2>&1  # makes the second prefix once
on "$pc1" "$folder/chimewatch.exe" & program1=$!
on "$pc2" "$folder/chimewatch.exe" & program2=$!
for _ in $(seq 100); do
  [ "$(pgrep -fc 'chimewatch\.exe$')" -ge 2 ] && break
  sleep 0.2
done
sleep 2
failed=0
for round in $(seq $rounds); do
  on "$pc1" "$folder/chimewatch.exe" /import "$folder/pc1-$round.ics" > "$folder/out1" 2>&1 & import1=$!
  on "$pc2" "$folder/chimewatch.exe" /import "$folder/pc2-$round.ics" > "$folder/out2" 2>&1 & import2=$!
  wait $import1 || { echo "round $round: PC1's import failed: $(cat "$folder/out1")"; failed=1; }
  wait $import2 || { echo "round $round: PC2's import failed: $(cat "$folder/out2")"; failed=1; }
done

stored=$(iconv -f UTF-16 -t UTF-8 "$folder/chimewatch.ini" | grep -c '^Exist=True')
expected=$((2 * rounds * per))
echo "chimewatch.ini holds $stored alerts of $expected"
[ "$stored" -eq "$expected" ] || failed=1
# A running program takes in the other's changes within a minute (it looks
# every 15 seconds); its export, handed over to it, shows what it holds.
for pc in 1 2; do
  prefix=$pc1; [ $pc = 2 ] && prefix=$pc2
  for _ in $(seq 12); do
    on "$prefix" "$folder/chimewatch.exe" /export "$folder/out$pc.ics" >/dev/null 2>&1
    exported=$(grep -c '^SUMMARY:' "$folder/out$pc.ics")
    [ "$exported" -eq "$expected" ] && break
    sleep 5
  done
  echo "PC$pc's program exports $exported"
  [ "$exported" -eq "$expected" ] || failed=1
done
kill $program1 $program2 2>/dev/null
[ $failed = 0 ] && echo "PASSED" || echo "FAILED"
exit $failed
