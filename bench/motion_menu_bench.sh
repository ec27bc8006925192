#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A moving menu of 12 titles (10 s clips on one page, with music) made by vantrel-author
# against encoding those 120 s of video as DVD titles with ffmpeg, side by side on the same
# clips, fastest of REPEAT runs each; prints wall and CPU time, peak memory and the ratio.
# usage: bench/motion_menu_bench.sh [REPEAT [BUILD_DIR]]
set -euo pipefail
cd "$(dirname "$0")/.."
repeat=${1:-1}
build=${2:-build}
author="$build/app/vantrel-author"
[[ -x "$author" ]] || { echo "motion_menu_bench: build first ($author missing)" >&2; exit 1; }
command -v ffmpeg >/dev/null || { echo "motion_menu_bench: ffmpeg missing" >&2; exit 1; }
[[ -x /usr/bin/time ]] || { echo "motion_menu_bench: /usr/bin/time missing (package time)" >&2; exit 1; }

work=$(mktemp -d "/tmp/vantrel motion bench XXXXXX")
trap 'rm -rf "$work"' EXIT
export VANTREL_APPDIR="$work/app/"
mkdir -p "$work/app" "$work/theirs"
cp -r "$build/app/." "$work/app/"

echo "motion_menu_bench: making 12 DVD titles of 20 s and a piece of music"
for i in $(seq -w 1 12); do
  ffmpeg -nostdin -y -loglevel error -f lavfi -i "testsrc2=s=720x576:r=25:d=20" \
    -f lavfi -i "sine=frequency=$((200 + 10#$i * 40)):sample_rate=48000:duration=20" \
    -target pal-dvd -b:v 5M "$work/title $i.mpg"
done
ffmpeg -nostdin -y -loglevel error -f lavfi -i "sine=frequency=440:duration=30" -c:a libvorbis "$work/music.ogg"

# wall seconds, user + system seconds, peak KiB of a command
measure() {
  /usr/bin/time -o "$work/time.txt" -f "%e %U %S %M" "$@" >/dev/null 2>&1
  read -r wall user sys peak <"$work/time.txt"
  echo "$wall $(echo "$user + $sys" | bc -l) $peak"
}
ours() {
  "$author" menu --pal --layout 2 --work "$work/ours" --yes --motion --menu-seconds 10 \
    --menu-music "$work/music.ogg" "$work"/title*.mpg
}
theirs() {
  local i=0 clip
  for clip in "$work"/title*.mpg; do
    i=$((i + 1))
    ffmpeg -nostdin -y -loglevel error -ss 0.5 -t 10 -i "$clip" -target pal-dvd "$work/theirs/$i.mpg"
  done
}
export -f ours theirs
export author work
best() {  # the fastest of $repeat runs of a function: wall, cpu, peak
  local best_line="" line
  for _ in $(seq "$repeat"); do
    line=$(measure bash -c "$1")
    if [[ -z "$best_line" ]] || (( $(echo "${line%% *} < ${best_line%% *}" | bc -l) )); then best_line=$line; fi
  done
  echo "$best_line"
}
read -r ow oc om <<<"$(best ours)"
read -r tw tc tm <<<"$(best theirs)"
ls "$work/ours/TEMP/menu01.mpg" >/dev/null
printf "%-40s %8s %8s %10s\n" "" "wall s" "cpu s" "peak MiB"
printf "%-40s %8.2f %8.2f %10.1f\n" "ours: 12-title moving menu (10 s)" "$ow" "$oc" "$(echo "$om / 1024" | bc -l)"
printf "%-40s %8.2f %8.2f %10.1f\n" "ffmpeg: 12 x 10 s encoded as titles" "$tw" "$tc" "$(echo "$tm / 1024" | bc -l)"
printf "ratio (ours / ffmpeg): wall %.2f, cpu %.2f (goal: at most 0.33)\n" "$(echo "$ow / $tw" | bc -l)" "$(echo "$oc / $tc" | bc -l)"
