#!/usr/bin/env bash
# Installs what the interop peers need, and nothing that is already there: the JDK, Caucho's
# Hessian for Java (Debian's libhessian-java, /usr/share/java/hessian.jar), embedded Jetty 9 and the
# servlet API for the reference server (libjetty9-java, libservlet-api-java), libcurl with its
# headers for our side of the HTTP exchanges (libcurl4-openssl-dev) and pkg-config that finds it,
# all through apt-get; Node.js and npm through apt-get when the machine has none; hessian.js into
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
for package in libhessian-java libjetty9-java libservlet-api-java libcurl4-openssl-dev pkg-config; do
  installed "$package" || missing+=("$package")
done
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
  echo "setup-interop: JDK, libhessian-java, Jetty 9, libcurl and node present"
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
