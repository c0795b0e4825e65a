#!/usr/bin/env bash
# Sets up the machine, builds the release preset's main example and runs it.
#   bash scripts/run-example.sh
set -euo pipefail

cd "$(dirname "$0")/.."

bash scripts/setup-deps.sh
cmake --preset release
cmake --build --preset release --target kelo_session
./build/release/examples/kelo_session
