#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Probe plus thumbnail of 50 files: vantrel-author against ffprobe plus ffmpeg, in the
# same run on the same files, reported as a ratio; and the peak memory of one grab.
# usage: bench/media_bench.sh [BUILD_DIR]   (default build/)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
author="$build/app/vantrel-author"
[[ -x "$author" ]] || { echo "media_bench: build first ($author missing)" >&2; exit 1; }
command -v ffmpeg >/dev/null && command -v ffprobe >/dev/null || { echo "media_bench: ffmpeg/ffprobe missing" >&2; exit 1; }
[[ -x /usr/bin/time ]] || { echo "media_bench: /usr/bin/time missing (package time)" >&2; exit 1; }

work=$(mktemp -d "/tmp/vantrel media bench XXXXXX")
trap 'rm -rf "$work"' EXIT
export VANTREL_APPDIR="$work/app/"
mkdir -p "$work/app" "$work/ours" "$work/theirs"

# 50 clips of 10 s in the formats users add: MPEG-2 program streams (PAL and NTSC), AVI
# (MPEG-4 + MP3) and WMV (wmv2 + wma).
kinds=("mpg 720x576 25 -c:v mpeg2video -b:v 6M -c:a mp2 -f mpeg"
       "mpg 720x480 30000/1001 -c:v mpeg2video -b:v 6M -c:a mp2 -f mpeg"
       "avi 640x480 25 -c:v mpeg4 -q:v 4 -c:a libmp3lame"
       "wmv 320x240 25 -c:v wmv2 -b:v 1M -c:a wmav2")
echo "media_bench: making 50 clips of 10 s"
for i in $(seq -w 1 50); do
  read -r ext size rate codecs <<<"${kinds[$((10#$i % 4))]}"
  ffmpeg -nostdin -y -loglevel error -f lavfi -i "testsrc=s=$size:r=$rate:d=10" \
    -f lavfi -i "sine=frequency=440:sample_rate=48000:duration=10" -pix_fmt yuv420p $codecs \
    "$work/clip $i.$ext"
done
time_of() { local start end; start=$(date +%s.%N); "$@"; end=$(date +%s.%N); echo "$end - $start" | bc -l; }

ours() {
  for f in "$work"/clip*; do
    "$author" probe "$f" >/dev/null
    "$author" thumbnail "$f" --time 6.3 --out "$work/ours/$(basename "$f").bmp" >/dev/null
  done
}
theirs() {
  for f in "$work"/clip*; do
    ffprobe -v error -show_format -show_streams "$f" >/dev/null
    ffmpeg -nostdin -y -loglevel error -ss 6.3 -i "$f" -frames:v 1 -s 80x60 "$work/theirs/$(basename "$f").bmp"
  done
}
ours; theirs  # warm the page cache for both
t_ours=$(time_of ours)
t_theirs=$(time_of theirs)
one=$(ls "$work"/clip*.mpg | head -1)
m_ours=$(/usr/bin/time -f %M "$author" thumbnail "$one" --time 6.3 --out "$work/m.bmp" 2>&1 >/dev/null | tail -1)
m_theirs=$(/usr/bin/time -f %M ffmpeg -nostdin -y -loglevel error -ss 6.3 -i "$one" -frames:v 1 -s 80x60 "$work/m2.bmp" 2>&1 | tail -1)
printf 'probe + thumbnail of 50 files: vantrel-author %.2f s, ffprobe + ffmpeg %.2f s, ratio %.2f (below 1: faster)\n' \
  "$t_ours" "$t_theirs" "$(echo "$t_ours / $t_theirs" | bc -l)"
printf 'peak memory of one 720x576 grab: vantrel-author %d KiB, ffmpeg %d KiB, ratio %.2f\n' \
  "$m_ours" "$m_theirs" "$(echo "$m_ours / $m_theirs" | bc -l)"
