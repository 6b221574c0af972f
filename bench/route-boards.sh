#!/usr/bin/env bash
# bench/route-boards.sh [DESIGN ...]
# The routing benchmark: builds the release driver, the board generator
# and copper-check (preset native-release, -O2; never the sanitizer
# build), generates two-layer boards of about 16, 32, 64, 128 and 256
# components (fixed seeds, default strategies; from 64 components on a
# board is larger than one routing window) and the rows boards of about
# 1,000, 2,000 and 5,000 connections (rows of DIPs and two-pin SMD parts,
# fixed seed), and routes each, then every design file named on the
# command line, each with `pelvane-run --route` in a process of its own so
# that the peak memory is that board's. Each routed board is then checked
# twice against its unrouted design: by the full rule check
# (`pelvane-run --check`; "check findings" sums, per marker type, the
# markers the routed board has beyond the unrouted one) and by copper-check
# ("copper-check findings": its short and clearance lines that the
# unrouted design does not give). Prints one CSV line per board:
# board,components,connections,completion %,vias,length mm,seconds,peak memory KB,wavefront steps,attempts,check findings,copper-check findings
# (a run that fails shows "failed (exit N)" as its completion), then the
# totals, the routing time per connection on the rows boards, and for each routed board listed in ../shared/boards/peer.tsv
# its time against the mature router's (peer_s), with the sums over the
# two-layer boards the peer routed (peer_status ok).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/plv_route_bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
designs=()
for d in "$@"; do designs+=("$(realpath "$d")"); done
cd "$root"
cmake --preset native-release >/dev/null
cmake --build --preset native-release --target pelvane-run pelvane-routegen copper-check >&2
bin=build/native-release/tools
peer="$root/../shared/boards/peer.tsv"
results="$work/results.csv"
: > "$results"

# The figure after a label in the driver's output ("" when missing).
figure() { sed -n "s/^$1 //p" "$2" | tail -1; }

# "TYPE COUNT" per marker type of a driver's --check output.
check_types() { sed -n 's/^check type \([0-9]*\) \([0-9]*\) .*/\1 \2/p' "$1"; }

# The markers of the routed check beyond the unrouted one, summed over the
# types ("" when a check did not run).
check_findings() {
  local routed=$1 unrouted=$2
  grep -q '^check markers' "$routed" && grep -q '^check markers' "$unrouted" || return 0
  awk 'NR == FNR { before[$1] = $2; next } { d = $2 - before[$1]; if (d > 0) n += d }
       END { print n + 0 }' <(check_types "$unrouted") <(check_types "$routed")
}

# copper-check's short and clearance lines (shorts, clearances, obstacles)
# of a design, sorted; its whole output goes to the file named second.
copper_lines() {
  local status=0
  "$bin/copper-check" "$1" > "$2" 2>&1 || status=$?
  [ "$status" -le 1 ] || return 1
  grep -E '^(short|clearance|obstacle) ' "$2" | sort || true
}

route() {
  local name=$1 input=$2 out="$work/$1"
  local status=0
  "$bin/pelvane-run" --route "$input" "$out" > "$out.txt" 2>&1 || status=$?
  if [ "$status" -ne 0 ]; then
    echo "$name: pelvane-run exited $status" >&2
    printf '%s,,,failed (exit %s),,,,,,,,\n' "$name" "$status" | tee -a "$results"
    return
  fi
  # The full rule check of the routed board and of the unrouted design.
  local checked="" copper=""
  "$bin/pelvane-run" --check "$out.ZID" "$out.chk" > "$out.chk.txt" 2>&1 || true
  "$bin/pelvane-run" --check "$input" "$out.chk0" > "$out.chk0.txt" 2>&1 || true
  checked=$(check_findings "$out.chk.txt" "$out.chk0.txt")
  # copper-check's findings the unrouted design does not have.
  if copper_lines "$out.ZID" "$out.cc.txt" > "$out.cc.after" &&
     copper_lines "$input" "$out.cc0.txt" > "$out.cc.before"; then
    copper=$(comm -23 "$out.cc.after" "$out.cc.before" | wc -l | tr -d ' ')
  fi
  local line
  line=$(printf '%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s' "$name" \
    "$(figure components "$out.txt")" "$(figure 'route connections' "$out.txt")" \
    "$(figure 'route completion %' "$out.txt")" "$(figure 'route vias' "$out.txt")" \
    "$(figure 'route length mm' "$out.txt")" "$(figure 'route time s' "$out.txt")" \
    "$(figure 'route peak memory KB' "$out.txt")" \
    "$(figure 'route wavefront steps' "$out.txt")" "$(figure 'route attempts' "$out.txt")" \
    "$checked" "$copper")
  echo "$line"
  # The totals count the routed connections themselves, not the rounded
  # percentages.
  echo "$line,$(figure 'route routed' "$out.txt")" >> "$results"
}

echo "board,components,connections,completion %,vias,length mm,seconds,peak memory KB,wavefront steps,attempts,check findings,copper-check findings"
for n in 16 32 64 128 256; do
  "$bin/pelvane-routegen" "$n" 3 "$work/gen$n" >/dev/null
  route "gen$n" "$work/gen$n.ASC"
done
# Rows boards of about 1,000, 2,000 and 5,000 connections.
for n in 640 1260 3136; do
  "$bin/pelvane-routegen" --rows "$n" 3 "$work/rows$n" >/dev/null
  route "rows$n" "$work/rows$n.ASC"
done
for d in "${designs[@]}"; do
  route "$(basename "$d")" "$d"
done

# The totals: completion over all connections, the largest peak memory.
echo
awk -F, '$4 !~ /^failed/ && $3 != "" {
    c += $3; r += $13; v += $5; l += $6; s += $7; w += $9; a += $10; k += $11; cc += $12
    if ($8 > m) m = $8; n++ }
  $4 ~ /^failed/ { f++ }
  END {
    printf "totals: boards %d, failed %d, connections %d, routed %d, completion %% %.1f, vias %d, length mm %.1f, seconds %.3f, largest peak memory KB %d, wavefront steps %d, attempts %d, check findings %d, copper-check findings %d\n",
      n, f, c, r, c ? int(1000 * r / c) / 10 : 100, v, l, s, m, w, a, k, cc }' "$results"

# The growth of the cost: routing time per connection on the rows boards.
awk -F, '$1 ~ /^rows/ && $4 !~ /^failed/ && $3 > 0 {
    t = 1000 * $7 / $3; line = line sprintf(" %s %.3f", $1, t)
    if (!first) first = t; last = t }
  END { if (line != "") printf "ms per connection on the rows boards:%s; largest against smallest board %.2f\n",
        line, first ? last / first : 0 }' "$results"

# Each routed board of peer.tsv against the mature router's time.
if [ -f "$peer" ]; then
  echo
  echo "board,layers,peer_status,seconds,peer_s,ratio"
  awk -F'\t' -v OFS=, 'NR == FNR { if (FNR > 1) { layers[$1] = $2; st[$1] = $3; ps[$1] = $7 } next }
    { split($0, f, ","); b = f[1]; sub(/\.[Aa][Ss][Cc]$/, "", b)
      if (!(b in st) || f[4] ~ /^failed/) next
      ratio = (ps[b] != "-" && ps[b] > 0) ? sprintf("%.2f", f[7] / ps[b]) : "-"
      print b, layers[b], st[b], f[7], ps[b], ratio
      if (layers[b] == 2 && st[b] == "ok") { n++; s += f[7]; p += ps[b] } }
    END { if (n) printf "two-layer boards the peer routed (peer_status ok): %d, seconds %.3f, peer_s %.2f, ratio %.2f\n", n, s, p, s / p }' \
    "$peer" "$results"
fi
