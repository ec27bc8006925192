#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Where a run's wall time goes: runs `vantrel-author -v author` on FILES and draws its
# timeline marks (each step and each task's start and end, with the process's memory) as
# one line per task, a character per tenth of a second, with the process's CPU time
# beside the wall time. Read it for the serial parts, the idle cores and the longest task.
# Usage: bench/run_timeline.sh FILE...
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
w=$(mktemp -d)
trap 'rm -rf "$w"' EXIT
export VANTREL_REGISTRY_DIR=$w/registry
/usr/bin/time -f "%e %U %S %M" -o "$w/time" "$root/build/app/vantrel-author" -v author --pal --menu --yes \
  --layout 0 --work "$w/work" "$@" > /dev/null 2> "$w/log"
read -r wall user sys peak < "$w/time"
echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
grep '^timeline ' "$w/log" | awk -v wall="$wall" -v cpu="$(echo "$user + $sys" | bc)" -v peak="$peak" '
  { t = $2; rest = $0; sub(/^timeline [0-9.]+ /, "", rest); sub(/ \(resident [0-9]+ KiB\)$/, "", rest)
    kib = $0; sub(/.*\(resident /, "", kib); sub(/ KiB\)$/, "", kib); if (kib + 0 > most) most = kib + 0
    if (match(rest, / start [0-9]+ cores$/)) { name = substr(rest, 1, RSTART - 1); from[name] = t; cores[name] = substr(rest, RSTART + 7) + 0; order[++n] = name }
    else if (match(rest, / (end|failed)$/)) { name = substr(rest, 1, RSTART - 1); to[name] = t }
    else { marks = marks sprintf("  %7.3f %s\n", t, rest) }
    if (t > last) last = t }
  END {
    printf "%-10s %7s %7s %5s  %s\n", "task", "start", "end", "cores", "timeline (one character = 0.1 s)"
    for (i = 1; i <= n; i++) {
      name = order[i]; line = ""
      for (x = 0; x <= last * 10; x++) line = line ((x / 10 >= from[name] && x / 10 < to[name]) ? (cores[name] > 1 ? "=" : "-") : " ")
      printf "%-10s %7.3f %7.3f %5d  |%s|\n", name, from[name], to[name], cores[name], line
    }
    printf "steps:\n%s", marks
    printf "wall %.2f s (from the first mark %.2f s), CPU %.2f s, cores busy %.2f, peak %.1f MiB (in the run %.1f MiB)\n",
      wall, last, cpu, cpu / wall, peak / 1024, most / 1024 }'
