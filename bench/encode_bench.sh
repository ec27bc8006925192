#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Times the DVD repair of `vantrel-author convert` against the reference encoder on the same
# 60 s 640x480 MPEG-4 AVI in the same run, and the stream-copy path against an encode.
# Each is run REPEAT times (default 3) and its fastest run counted, since the machine is
# shared; peak memory is the largest seen. Usage: bench/encode_bench.sh [SECONDS [REPEAT]]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
repeat=${2:-3}
tool=build/app/vantrel-author
[[ -x $tool ]] || { echo "build first (scripts/test)" >&2; exit 1; }
[[ -x /usr/bin/time ]] || { echo "needs /usr/bin/time (package time)" >&2; exit 1; }

work=$(mktemp -d /tmp/vantrel-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT

ffmpeg -nostdin -v error -y -f lavfi -i "testsrc2=s=640x480:r=25:d=$seconds" \
  -f lavfi -i "sine=f=440:r=44100:d=$seconds" -c:v mpeg4 -q:v 4 -c:a libmp3lame -b:a 128k \
  -f avi "$work/source.avi"
# A DVD-legal program stream without navigation packs: only its container needs repair.
ffmpeg -nostdin -v error -y -i "$work/source.avi" -target pal-dvd -f vob "$work/legal.vob"

# run NAME COMMAND...: prints "NAME wall_seconds peak_kib cpu_seconds"
run() {
  local name=$1
  shift
  /usr/bin/time -v -o "$work/$name.time" "$@" >"$work/$name.log" 2>&1 || {
    echo "$name failed:" >&2
    cat "$work/$name.log" >&2
    exit 1
  }
  local wall rss cpu
  wall=$(awk -F': ' '/Elapsed \(wall clock\)/ {n = split($2, p, ":"); s = 0; for (i = 1; i <= n; i++) s = s * 60 + p[i]; print s}' "$work/$name.time")
  rss=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$work/$name.time")
  cpu=$(awk -F': ' '/User time|System time/ {s += $2} END {print s}' "$work/$name.time")
  echo "$name $wall $rss $cpu"
}

results=$(
  for ((i = 0; i < repeat; i++)); do
    run convert "$tool" convert "$work/source.avi" "$work/ours.mpg" --pal
    run reference ffmpeg -nostdin -v error -y -i "$work/source.avi" -target pal-dvd "$work/reference.mpg"
    # The same picture structure as ours (two B-pictures between references).
    run reference_bf2 ffmpeg -nostdin -v error -y -i "$work/source.avi" -target pal-dvd -bf 2 "$work/reference2.mpg"
    run remux "$tool" convert "$work/legal.vob" "$work/remuxed.mpg" --pal
  done
)
grep -q "wrote .*ours.mpg" "$work/convert.log" || { echo "convert wrote nothing" >&2; exit 1; }
echo "$results" | awk -v secs="$seconds" '
  {
    if (!($1 in wall) || $2 < wall[$1]) wall[$1] = $2
    if (!($1 in cpu) || $4 < cpu[$1]) cpu[$1] = $4
    if ($3 > rss[$1]) rss[$1] = $3
  }
  END {
    printf "source: %d s, 640x480 MPEG-4 + MP3 AVI; machine: %d cores; fastest of %d runs\n", secs, '"$(nproc)"', '"$repeat"'
    printf "%-34s %8s %8s %10s\n", "", "wall s", "cpu s", "peak MiB"
    printf "%-34s %8.2f %8.2f %10.1f\n", "vantrel-author convert (encode)", wall["convert"], cpu["convert"], rss["convert"] / 1024
    printf "%-34s %8.2f %8.2f %10.1f\n", "ffmpeg -target pal-dvd", wall["reference"], cpu["reference"], rss["reference"] / 1024
    printf "%-34s %8.2f %8.2f %10.1f\n", "ffmpeg -target pal-dvd -bf 2", wall["reference_bf2"], cpu["reference_bf2"], rss["reference_bf2"] / 1024
    printf "%-34s %8.2f %8.2f %10.1f\n", "vantrel-author convert (copy)", wall["remux"], cpu["remux"], rss["remux"] / 1024
    printf "encode: reference time / our time = %.2f wall, %.2f cpu (above 1: we are faster)\n", wall["reference"] / wall["convert"], cpu["reference"] / cpu["convert"]
    printf "encode: same structure (-bf 2) / our time = %.2f wall, %.2f cpu\n", wall["reference_bf2"] / wall["convert"], cpu["reference_bf2"] / cpu["convert"]
    printf "copy path: encode time / copy time = %.1f\n", wall["convert"] / (wall["remux"] > 0 ? wall["remux"] : 0.01)
  }'
