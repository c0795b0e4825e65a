#!/usr/bin/env bash
# Writes the Java fault replies and calls of interop/testdata/faults/ again (see MakeFaults.java): needs
# the JDK and Debian's libhessian-java (scripts/setup-interop.sh installs both).
#   bash interop/faults/make-faults.sh [OUTDIR]     # default interop/testdata/faults
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
out="$(cd "${1:-$here/../testdata/faults}" && pwd)"
classes="$(mktemp -d)"
trap 'rm -rf "$classes"' EXIT
jar=/usr/share/java/hessian.jar
javac -nowarn -encoding UTF-8 -d "$classes" -cp "$jar" \
  "$here/MakeFaults.java" "$here"/VarantoTypes/*.java
java --add-opens java.base/java.lang=ALL-UNNAMED --add-opens java.base/java.util=ALL-UNNAMED \
  -cp "$jar:$classes" MakeFaults "$out"
