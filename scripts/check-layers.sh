#!/usr/bin/env bash
# Fails when an include between the library's folders runs upward or in a circle, or when a
# message table has no row in its subsystem's class list. The folders, lowest first:
#   hessian <- schema <- types <- call, commengine, client, kllang <- json, http
# A folder includes its own headers and those of lower folders; among the four protocol folders an
# include may run either way as long as no circle forms. The modern face (kelo/, with kelo.h at
# the root) and the umbrella header sit above the protocol folders; the optional libraries json/
# and http/ sit above them and may include them, but neither includes the other.
#   bash scripts/check-layers.sh [SOURCE_ROOT]
set -euo pipefail
root=${1:-$(dirname "$0")/..}
cd "$root"
declare -A rank=([wire]=-1 [hessian]=0 [schema]=1 [types]=2 [call]=3 [commengine]=3 [client]=3 [kllang]=3
  [kelo]=4 [json]=5 [http]=5)
status=0
edges=$(mktemp)
trap 'rm -f "$edges"' EXIT
while IFS= read -r line; do
  file=${line%%:*}
  from=${file#kelohessian/}
  from=${from%%/*}
  to=$(sed -n 's#.*include <kelohessian/\([a-z_]*\)/.*#\1#p' <<< "$line")
  [ -z "$to" ] && continue
  # The export macro and the result codes are every layer's, the wire's included.
  [[ $line == *'<kelohessian/hessian/export.h>'* || $line == *'<kelohessian/hessian/result.h>'* ]] &&
    continue
  [ -z "${rank[$from]+x}" ] && continue  # a file at the root
  if [ -z "${rank[$to]+x}" ]; then
    echo "check-layers: $file includes kelohessian/$to/, which is not a layer" >&2
    status=1
  elif [ "${rank[$to]}" -gt "${rank[$from]}" ]; then
    echo "check-layers: $file ($from) includes upward: ${line#*:}" >&2
    status=1
  elif [ "$from" != "$to" ] && [ "${rank[$from]}" -eq 5 ] && [ "${rank[$to]}" -eq 5 ]; then
    echo "check-layers: $file ($from) includes the other optional library: ${line#*:}" >&2
    status=1
  elif [ "$from" != "$to" ] && [ "${rank[$to]}" -eq "${rank[$from]}" ]; then
    echo "$to $from" >> "$edges"
  fi
done < <(grep -rn '^#include <kelohessian/' kelohessian --include='*.h' --include='*.cpp')
# tsort reports a circle among the top folders.
if [ -s "$edges" ] && ! sort -u "$edges" | tsort > /dev/null 2> "$edges.err"; then
  echo "check-layers: includes run in a circle among these folders:" >&2
  cat "$edges.err" >&2
  status=1
fi
rm -f "$edges.err"
# Every member table of a subsystem is a class of its list: a table without a row would be a
# class that is declared nowhere.
for list in kelohessian/commengine/commengine.h kelohessian/client/client.h; do
  dir=$(dirname "$list")
  for cls in $(sed -n 's/^#define KELO_\([A-Za-z0-9_]*\)_MEMBERS(X).*/\1/p' "$dir"/*.h); do
    if ! grep -Eq "^  X\([A-Za-z:]+, $cls," "$list"; then
      echo "check-layers: the table of $cls ($dir) has no row in the class list of $list" >&2
      status=1
    fi
  done
done
[ $status -eq 0 ] && echo "check-layers: ok"
exit $status
