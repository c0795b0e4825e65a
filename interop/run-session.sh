#!/usr/bin/env bash
# Starts the reference server (Caucho's HessianServlet in an embedded Jetty) on an ephemeral
# loopback port, runs the client session against it over libcurl and stops the server. Exits
# non-zero when the session or the server saw a mismatch.
#   bash interop/run-session.sh [--https] JAVA_PEER NET_SESSION [KELOHES]
# JAVA_PEER is the kelo-java-peer launcher of the build (build/<preset>/interop/kelo-java-peer),
# NET_SESSION the kelo_net_session program. With --https the session runs over HTTPS, trusting
# the self-signed certificate the server makes at start-up. Given the kelohes tool, it then also
# sends the getTopology call that the server expects with `kelohes call`, as a user would.
set -uo pipefail

https=0
if [ "${1:-}" = --https ]; then
  https=1
  shift
fi
peer=$1
session=$2
kelohes=${3:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

tls=()
[ "$https" -eq 1 ] && tls=(--https "$work/server.crt")
"$peer" server "${tls[@]}" "$work/urls" >"$work/server.out" 2>"$work/server.err" &
server_pid=$!

for _ in $(seq 1 300); do
  [ -s "$work/urls" ] && break
  if ! kill -0 "$server_pid" 2>/dev/null; then
    echo "the reference server did not start:" >&2
    cat "$work/server.err" >&2
    exit 1
  fi
  sleep 0.1
done
if [ ! -s "$work/urls" ]; then
  echo "the reference server did not open its ports within 30 s" >&2
  kill "$server_pid" 2>/dev/null
  exit 1
fi
http_url=$(sed -n 1p "$work/urls")
url=$http_url
[ "$https" -eq 1 ] && url=$(sed -n 2p "$work/urls")
echo "reference server (pid $server_pid) listening on $(tr '\n' ' ' <"$work/urls")"

session_rc=0
trust=()
[ "$https" -eq 1 ] && trust=(--cacert "$work/server.crt")
"$session" "${trust[@]}" "$url" || session_rc=$?

call_rc=0
if [ -n "$kelohes" ]; then
  "$session" --request-json 5 >"$work/request.json" || call_rc=$?
  echo
  echo "\$ kelohes call $http_url/client getTopology --as kelo.cl.ReqTopology --reply-as kelo.cl.ResTopology request.json"
  "$kelohes" call "$http_url/client" getTopology --as kelo.cl.ReqTopology \
    --reply-as kelo.cl.ResTopology "$work/request.json" >"$work/call.out" || call_rc=$?
  head -n 8 "$work/call.out"
  echo "  ... ($(wc -l <"$work/call.out") lines of JSON, exit $call_rc)"
fi

"$session" --stop "$http_url" || kill "$server_pid" 2>/dev/null
server_rc=0
wait "$server_pid" || server_rc=$?
cat "$work/server.err"
echo "session exit $session_rc, kelohes call exit $call_rc, server exit $server_rc"
[ "$session_rc" -eq 0 ] && [ "$call_rc" -eq 0 ] && [ "$server_rc" -eq 0 ]
