#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The subtitles of a film against its encode: a MINUTES-long SRT file (default 90, one cue
# every 3.6 s: 1,500 cues, one or two lines, Latin and Chinese) is read, drawn and
# multiplexed into a title of that length, and set beside the time `vantrel-author convert`
# takes to encode that title. The encode is timed on SAMPLE seconds (default 60) of the same
# 720x576 source and scaled to the whole length, since encoding time grows with length; the
# long title the subtitles go into is the encoded sample repeated, copied, not encoded again.
# Usage: bench/subtitle_bench.sh [MINUTES [SAMPLE]]
set -euo pipefail
cd "$(dirname "$0")/.."
minutes=${1:-90}
sample=${2:-60}
tool=build/app/vantrel-author
bench=build/bench/subtitle_bench
[[ -x $tool && -x $bench ]] || { echo "build first (cmake --build build -j2)" >&2; exit 1; }

work=$(mktemp -d /tmp/vantrel-subtitle-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT

awk -v minutes="$minutes" 'BEGIN {
  n = int(minutes * 60 / 3.6)
  split("我们明天早上八点在火车站见面。|Where were you last night?|这是我这辈子见过的最美丽的地方。|Close the window, it is far too cold outside.|他们已经等了你三个小时了。", lines, "|")
  for (i = 0; i < n; i++) {
    start = i * 3600; end = start + 2500
    printf "%d\n%02d:%02d:%02d,%03d --> %02d:%02d:%02d,%03d\n", i + 1,
      start / 3600000, (start / 60000) % 60, (start / 1000) % 60, start % 1000,
      end / 3600000, (end / 60000) % 60, (end / 1000) % 60, end % 1000
    print lines[i % 5 + 1]
    if (i % 3 == 0) print lines[(i + 2) % 5 + 1]
    print ""
  }
}' >"$work/film.srt"

ffmpeg -nostdin -v error -y -f lavfi -i "testsrc2=s=720x576:r=25:d=$sample" \
  -f lavfi -i "sine=f=440:r=48000:d=$sample" -c:v mpeg4 -q:v 3 -c:a libmp3lame -b:a 192k \
  -f avi "$work/source.avi"

start=$(date +%s.%N)
"$tool" convert "$work/source.avi" "$work/sample.mpg" --pal >"$work/convert.log" 2>&1 ||
  { cat "$work/convert.log" >&2; exit 1; }
encode=$(echo "$(date +%s.%N) - $start" | bc)

repeats=$(((minutes * 60 + sample - 1) / sample))
for ((i = 0; i < repeats; i++)); do echo "file '$work/sample.mpg'"; done >"$work/list.txt"
ffmpeg -nostdin -v error -y -f concat -safe 0 -i "$work/list.txt" -c copy -f dvd "$work/title.mpg"

# The floor of any pass over the title: copying it on the same disk.
sync
start=$(date +%s.%N)
cp "$work/title.mpg" "$work/copy.mpg" && sync
copy=$(echo "$(date +%s.%N) - $start" | bc)
rm -f "$work/copy.mpg"

read -r _ cues _ pictures _ read _ render _ mux < <("$bench" "$work/film.srt" "$work/title.mpg" "$work")
whole=$(echo "$encode * $minutes * 60 / $sample" | bc -l)
size=$(du -m "$work/title.mpg" | cut -f1)
printf 'title: %d min (%d MiB); subtitles: %d cues, %d pictures; machine: %d cores\n' \
  "$minutes" "$size" "$cues" "$pictures" "$(nproc)"
printf '%-44s %9.2f s\n' "encode ($sample s timed, scaled to $minutes min)" "$whole"
printf '%-44s %9.2f s\n' "read the SRT file" "$read"
printf '%-44s %9.2f s\n' "draw every cue (libass, four colours)" "$render"
printf '%-44s %9.2f s\n' "multiplex them into the title (one pass)" "$mux"
printf '%-44s %9.2f s\n' "copy the title (cp + sync, for comparison)" "$copy"
printf '%-44s %9.3f\n' "subtitles / encode" "$(echo "($read + $render + $mux) / $whole" | bc -l)"
