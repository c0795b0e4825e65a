#!/usr/bin/env bash
# Starts the Java reference server on an ephemeral loopback port, runs the client session
# against it and stops the server. Exits non-zero when the session or the server saw a mismatch.
#   bash interop/run-session.sh JAVA_PEER NET_SESSION
# JAVA_PEER is the kelo-java-peer launcher of the build (build/<preset>/interop/kelo-java-peer),
# NET_SESSION the kelo_net_session program.
set -uo pipefail

peer=$1
session=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$peer" server "$work/port" >"$work/server.out" 2>"$work/server.err" &
server_pid=$!

for _ in $(seq 1 300); do
  [ -s "$work/port" ] && break
  if ! kill -0 "$server_pid" 2>/dev/null; then
    echo "the reference server did not start:" >&2
    cat "$work/server.err" >&2
    exit 1
  fi
  sleep 0.1
done
if [ ! -s "$work/port" ]; then
  echo "the reference server did not open its port within 30 s" >&2
  kill "$server_pid" 2>/dev/null
  exit 1
fi
url="http://127.0.0.1:$(cat "$work/port")"
echo "reference server (pid $server_pid) listening on $url"

session_rc=0
"$session" "$url" || session_rc=$?

"$session" --stop "$url" || kill "$server_pid" 2>/dev/null
server_rc=0
wait "$server_pid" || server_rc=$?
cat "$work/server.err"
echo "session exit $session_rc, server exit $server_rc"
[ "$session_rc" -eq 0 ] && [ "$server_rc" -eq 0 ]
