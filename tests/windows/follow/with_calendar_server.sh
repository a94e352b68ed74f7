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
# - the same server over https, with a certificate for 127.0.0.1 from a
#   throw-away certificate authority that the host's bundle trusts for the
#   run (CHIMEWATCH_CALENDAR_TLS_SERVER, when the bundle may be written),
#   and with one that nobody vouches for (CHIMEWATCH_CALENDAR_UNTRUSTED_SERVER).
#   with_calendar_server.sh COMMAND...
set -u
folder=$(mktemp -d)
python3 "$(dirname "$0")/calendar_server.py" "$folder/served" "$folder/port" &
server=$!
tls=$folder/tls
mkdir -p "$tls"
# A certificate for 127.0.0.1 from a throw-away authority (NAME.pem and
# NAME.key), and one signed by nobody (self.pem).
(
  cd "$tls" &&
    openssl req -x509 -newkey rsa:2048 -nodes -keyout ca.key -out ca.pem -days 2 -subj "/CN=Chimewatch test CA" &&
    openssl req -newkey rsa:2048 -nodes -keyout server.key -out server.csr -subj "/CN=127.0.0.1" &&
    printf 'subjectAltName=IP:127.0.0.1,DNS:127.0.0.1\nbasicConstraints=CA:FALSE\nextendedKeyUsage=serverAuth\n' >server.ext &&
    openssl x509 -req -in server.csr -CA ca.pem -CAkey ca.key -CAcreateserial -out server.pem -days 2 \
      -extfile server.ext &&
    openssl req -x509 -newkey rsa:2048 -nodes -keyout self.key -out self.pem -days 2 -subj "/CN=127.0.0.1" \
      -addext "subjectAltName=IP:127.0.0.1"
) >/dev/null 2>&1
# Wine trusts the authorities of the host's bundle, read as each program
# starts: the throw-away one joins it for the run and leaves it after, under
# a lock, so that the runs of the two architectures at once each take out
# only their own.
bundle=/etc/ssl/certs/ca-certificates.crt
bundle_lock=/tmp/chimewatch-test-ca-bundle.lock
trusted=
if [ -w "$bundle" ] && [ -s "$tls/ca.pem" ]; then
  flock "$bundle_lock" sh -c 'cat "$1" >>"$2"' sh "$tls/ca.pem" "$bundle" && trusted=1
fi
untrust() {
  [ -n "$trusted" ] || return 0
  flock "$bundle_lock" python3 -c '
import sys
ca, bundle = open(sys.argv[1]).read(), sys.argv[2]
text = open(bundle).read()
if ca in text:
    open(bundle, "w").write(text.replace(ca, "", 1))' "$tls/ca.pem" "$bundle"
}
python3 "$(dirname "$0")/calendar_server.py" "$folder/served" "$tls/port" "$tls/server.pem" "$tls/server.key" &
tls_server=$!
python3 "$(dirname "$0")/calendar_server.py" "$folder/served" "$tls/self.port" "$tls/self.pem" "$tls/self.key" &
self_server=$!
radicale_pid=
stop() {
  untrust
  kill $server $tls_server $self_server $radicale_pid 2>/dev/null
  wait $server $tls_server $self_server $radicale_pid 2>/dev/null
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
  [ -s "$folder/port" ] && [ -s "$tls/port" ] && [ -s "$tls/self.port" ] && { [ -z "$radicale_pid" ] || (exec 3<>/dev/tcp/127.0.0.1/$port) 2>/dev/null; } && break
  sleep 0.1
done
export CHIMEWATCH_CALENDAR_SERVER="http://127.0.0.1:$(cat "$folder/port")"
export CHIMEWATCH_CALENDAR_FOLDER="$folder/served"
if [ -n "$trusted" ]; then
  export CHIMEWATCH_CALENDAR_TLS_SERVER="https://127.0.0.1:$(cat "$tls/port")"
fi
export CHIMEWATCH_CALENDAR_UNTRUSTED_SERVER="https://127.0.0.1:$(cat "$tls/self.port")"
"$@"
