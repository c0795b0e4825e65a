#!/usr/bin/env bash
# Sets up the machine, builds the release preset's networked session and runs it over libcurl
# against the reference server (Caucho's HessianServlet in an embedded Jetty 9 serving the nine
# exchanges on a loopback port), which it starts before and stops after the session, then sends
# one call with `kelohes call` against the same server.
#   bash scripts/run-example.sh
set -euo pipefail

cd "$(dirname "$0")/.."

bash scripts/setup-deps.sh
bash scripts/setup-interop.sh
cmake --preset release -DKELOHESSIAN_BUILD_INTEROP=ON
cmake --build --preset release --target kelo_net_session kelohes
bash interop/run-session.sh build/release/interop/kelo-java-peer \
  build/release/interop/kelo_net_session build/release/tools/kelohes
