#!/usr/bin/env bash
# Runs a command with the followed-calendar tests' HTTP server on
# 127.0.0.1, and stops it after: CHIMEWATCH_CALENDAR_SERVER is its address,
# CHIMEWATCH_CALENDAR_FOLDER the folder it serves from.
#   with_calendar_server.sh COMMAND...
set -u
folder=$(mktemp -d)
python3 "$(dirname "$0")/calendar_server.py" "$folder" "$folder/port" &
server=$!
trap 'kill $server 2>/dev/null; wait $server 2>/dev/null; rm -rf "$folder"' EXIT
for _ in $(seq 100); do [ -s "$folder/port" ] && break; sleep 0.1; done
export CHIMEWATCH_CALENDAR_SERVER="http://127.0.0.1:$(cat "$folder/port")"
export CHIMEWATCH_CALENDAR_FOLDER="$folder"
"$@"
