#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Times a conversion through the conversion component (encorva-convert: ProgID, late binding,
# events) against ffmpeg writing the same format from the same 60 s 640x480 MPEG-4 AVI in the
# same run, fastest of REPEAT runs each; then the peak memory of a 10-minute conversion.
# Usage: bench/encorva_bench.sh [SECONDS [REPEAT [LONG_SECONDS]]]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
repeat=${2:-3}
long=${3:-600}
client=$PWD/build/app/encorva-convert
[[ -x $client ]] || { echo "build first (scripts/test)" >&2; exit 1; }
[[ -x /usr/bin/time ]] || { echo "needs /usr/bin/time (package time)" >&2; exit 1; }

work=$(mktemp -d /tmp/vantrel-encorva-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT
export VANTREL_REGISTRY_DIR=$work/registry

make_source() {
  ffmpeg -nostdin -v error -y -f lavfi -i "testsrc2=s=640x480:r=25:d=$1" \
    -f lavfi -i "sine=f=440:r=44100:d=$1" -c:v mpeg4 -q:v 4 -c:a libmp3lame -b:a 128k -f avi "$2"
}
make_source "$seconds" "$work/source.avi"

# run NAME COMMAND...: prints "NAME wall_seconds peak_kib"
run() {
  local name=$1
  shift
  /usr/bin/time -v -o "$work/$name.time" "$@" >"$work/$name.log" 2>&1 || {
    echo "$name failed:" >&2
    cat "$work/$name.log" >&2
    exit 1
  }
  local wall rss
  wall=$(awk -F': ' '/Elapsed \(wall clock\)/ {n = split($2, p, ":"); s = 0; for (i = 1; i <= n; i++) s = s * 60 + p[i]; print s}' "$work/$name.time")
  rss=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$work/$name.time")
  echo "$name $wall $rss"
}

# format code of the component, ffmpeg's target
formats=("7 pal-dvd" "5 pal-svcd" "2 pal-vcd")
results=$(
  for ((i = 0; i < repeat; i++)); do
    for f in "${formats[@]}"; do
      set -- $f
      run "encorva-$2" "$client" "$work/source.avi" "$work/out-$2.mpg" --format "$1"
      run "ffmpeg-$2" ffmpeg -nostdin -v error -y -i "$work/source.avi" -target "$2" "$work/ref-$2.mpg"
    done
  done
)
echo "fastest of $repeat, ${seconds} s source:"
echo "$results" | awk '{ if (!($1 in best) || $2 < best[$1]) best[$1] = $2; if ($3 > mem[$1]) mem[$1] = $3 }
  END { for (k in best) printf "%-18s %7.2f s  peak %7.1f MiB\n", k, best[k], mem[k] / 1024 }' | sort
for f in "${formats[@]}"; do
  set -- $f
  echo "$results" | awk -v a="encorva-$2" -v b="ffmpeg-$2" '
    $1 == a && (!x || $2 < x) { x = $2 } $1 == b && (!y || $2 < y) { y = $2 }
    END { printf "%s: encorva / ffmpeg = %.2f\n", substr(a, 9), x / y }'
done

make_source "$long" "$work/long.avi"
run "encorva-long" "$client" "$work/long.avi" "$work/long.mpg" --format 7 | awk -v s="$long" '{ printf "%d s source to DVD: %.1f s, peak %.1f MiB\n", s, $2, $3 / 1024 }'
run "ffmpeg-long" ffmpeg -nostdin -v error -y -i "$work/long.avi" -target pal-dvd "$work/long-ref.mpg" | awk -v s="$long" '{ printf "ffmpeg, same: %.1f s, peak %.1f MiB\n", $2, $3 / 1024 }'
