#!/usr/bin/env bash
# Runs a command with the followed-calendar tests' servers on 127.0.0.1,
# and stops them after:
# - the small HTTP server that plays a calendar's server and its bad days
#   (calendar_server.py): CHIMEWATCH_CALENDAR_SERVER is its address,
#   CHIMEWATCH_CALENDAR_FOLDER the folder it serves from;
# - Radicale, a real CalDAV server, in a throw-away folder with the user
#   "ann" (password in the htpasswd file "users") and her calendar
#   "family": CHIMEWATCH_RADICALE is its address, CHIMEWATCH_RADICALE_FOLDER
#   its folder (the calendar's events lie in
#   collections/collection-root/ann/family).
#   with_calendar_server.sh COMMAND...
set -u
folder=$(mktemp -d)
python3 "$(dirname "$0")/calendar_server.py" "$folder/served" "$folder/port" &
server=$!
radicale_pid=
stop() {
  kill $server $radicale_pid 2>/dev/null
  wait $server $radicale_pid 2>/dev/null
  rm -rf "$folder"
}
trap stop EXIT
mkdir -p "$folder/served" "$folder/radicale/collections/collection-root/ann/family"
printf 'ann:cinnamon\n' >"$folder/radicale/users"
printf '{"tag": "VCALENDAR", "D:displayname": "Family"}' \
  >"$folder/radicale/collections/collection-root/ann/family/.Radicale.props"
port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
cat >"$folder/radicale/config" <<CONFIG
[server]
hosts = 127.0.0.1:$port
[auth]
type = htpasswd
htpasswd_filename = $folder/radicale/users
htpasswd_encryption = plain
delay = 0
[rights]
type = owner_only
[storage]
filesystem_folder = $folder/radicale/collections
[logging]
level = warning
CONFIG
if command -v radicale >/dev/null; then
  radicale --config "$folder/radicale/config" &
  radicale_pid=$!
  export CHIMEWATCH_RADICALE="http://127.0.0.1:$port"
  export CHIMEWATCH_RADICALE_FOLDER="$folder/radicale"
fi
for _ in $(seq 100); do
  [ -s "$folder/port" ] && { [ -z "$radicale_pid" ] || (exec 3<>/dev/tcp/127.0.0.1/$port) 2>/dev/null; } && break
  sleep 0.1
done
export CHIMEWATCH_CALENDAR_SERVER="http://127.0.0.1:$(cat "$folder/port")"
export CHIMEWATCH_CALENDAR_FOLDER="$folder/served"
"$@"
