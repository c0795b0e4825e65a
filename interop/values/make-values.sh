#!/usr/bin/env bash
# Writes the Java values of interop/testdata/values/ again (see MakeValues.java): needs the JDK and
# Debian's libhessian-java (scripts/setup-interop.sh installs both).
#   bash interop/values/make-values.sh [OUTDIR]     # default interop/testdata/values
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
out="$(cd "${1:-$here/../testdata/values}" && pwd)"
classes="$(mktemp -d)"
trap 'rm -rf "$classes"' EXIT
jar=/usr/share/java/hessian.jar
javac -nowarn -encoding UTF-8 -d "$classes" -cp "$jar" "$here/MakeValues.java"
java --add-opens java.base/java.lang=ALL-UNNAMED --add-opens java.base/java.util=ALL-UNNAMED \
  -cp "$jar:$classes" MakeValues "$out"
