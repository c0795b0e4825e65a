#!/usr/bin/env bash
# Installs what the interop peers need, and nothing that is already there: the JDK and Caucho's
# Hessian for Java (Debian's libhessian-java, /usr/share/java/hessian.jar) through apt-get,
# Node.js and npm through apt-get when the machine has none, and hessian.js into
# interop/js/node_modules with `npm ci` from the committed lock file (again only when the lock
# file changed since the last install).
#   bash scripts/setup-interop.sh
set -euo pipefail

cd "$(dirname "$0")/.."

installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'
}

missing=()
command -v javac >/dev/null && command -v java >/dev/null || missing+=(openjdk-17-jdk-headless)
installed libhessian-java || missing+=(libhessian-java)
command -v node >/dev/null || missing+=(nodejs)
command -v npm >/dev/null || missing+=(npm)

if [ ${#missing[@]} -ne 0 ]; then
  as_root=()
  if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "setup-interop: need root or sudo to install: ${missing[*]}" >&2; exit 1; }
    as_root=(sudo)
  fi
  echo "setup-interop: installing ${missing[*]}"
  "${as_root[@]}" apt-get update
  "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y --no-install-recommends "${missing[@]}"
else
  echo "setup-interop: JDK, libhessian-java and node present"
fi

# hessian.js, pinned by interop/js/package-lock.json.
js=interop/js
if cmp -s "$js/package-lock.json" "$js/node_modules/.kelo-installed-lock" 2>/dev/null; then
  echo "setup-interop: hessian.js present"
else
  echo "setup-interop: npm ci in $js"
  (cd "$js" && npm ci --no-audit --no-fund)
  cp "$js/package-lock.json" "$js/node_modules/.kelo-installed-lock"
fi
