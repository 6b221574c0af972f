#!/usr/bin/env bash
# bench/route-boards.sh [DESIGN ...]
# The routing benchmark: builds the release driver and the board generator
# (preset native-release, -O2; never the sanitizer build), generates
# two-layer boards of about 16, 32, 64, 128 and 256 components (fixed
# seeds, default strategies; from 64 components on a board is larger than
# one routing window) and routes each, then every design file named on the
# command line, each with `pelvane-run --route` in a process of its own so
# that the peak memory is that board's. Prints one CSV line per board:
# board,components,connections,completion %,vias,length mm,seconds,peak memory KB,wavefront steps,attempts
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/plv_route_bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
designs=()
for d in "$@"; do designs+=("$(realpath "$d")"); done
cd "$root"
cmake --preset native-release >/dev/null
cmake --build --preset native-release --target pelvane-run pelvane-routegen >&2
bin=build/native-release/tools

# The figure after a label in the driver's output ("" when missing).
figure() { sed -n "s/^$1 //p" "$2" | tail -1; }

route() {
  local name=$1 input=$2 out="$work/$1"
  local status=0
  "$bin/pelvane-run" --route "$input" "$out" > "$out.txt" 2>&1 || status=$?
  if [ "$status" -ne 0 ]; then
    echo "$name: pelvane-run exited $status" >&2
    return
  fi
  printf '%s,%s,%s,%s,%s,%s,%s,%s,%s,%s\n' "$name" \
    "$(figure components "$out.txt")" "$(figure 'route connections' "$out.txt")" \
    "$(figure 'route completion %' "$out.txt")" "$(figure 'route vias' "$out.txt")" \
    "$(figure 'route length mm' "$out.txt")" "$(figure 'route time s' "$out.txt")" \
    "$(figure 'route peak memory KB' "$out.txt")" \
    "$(figure 'route wavefront steps' "$out.txt")" "$(figure 'route attempts' "$out.txt")"
}

echo "board,components,connections,completion %,vias,length mm,seconds,peak memory KB,wavefront steps,attempts"
for n in 16 32 64 128 256; do
  "$bin/pelvane-routegen" "$n" 3 "$work/gen$n" >/dev/null
  route "gen$n" "$work/gen$n.ASC"
done
for d in "${designs[@]}"; do
  route "$(basename "$d")" "$d"
done
