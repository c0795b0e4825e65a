#!/usr/bin/env bash
# Writes the Java replies of interop/testdata/lists/ again (see MakeLists.java): needs the JDK and
# Debian's libhessian-java (scripts/setup-interop.sh installs both).
#   bash interop/lists/make-lists.sh [OUTDIR]     # default interop/testdata/lists
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
out="$(cd "${1:-$here/../testdata/lists}" && pwd)"
classes="$(mktemp -d)"
trap 'rm -rf "$classes"' EXIT
jar=/usr/share/java/hessian.jar
javac -nowarn -encoding UTF-8 -d "$classes" -cp "$jar" "$here/MakeLists.java" "$here"/lab/*.java
java --add-opens java.base/java.lang=ALL-UNNAMED --add-opens java.base/java.util=ALL-UNNAMED \
  -cp "$jar:$classes" MakeLists "$out"
