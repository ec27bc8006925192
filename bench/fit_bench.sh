#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fit to disc: four long titles of detailed video (moving noise over a test pattern, one of
# them a letterboxed 2.35:1 film), 150 minutes in all, planned for DVD-5 by vantrel-author,
# against the same list encoded by the reference tool at the fixed DVD rate (ffmpeg
# -target pal-dvd, 6 Mbit/s) and authored with dvdauthor. Prints the fill of each disc (what
# the disc image takes of the disc), the planning time, the rate of every title and the
# wall times as a ratio.
#
# Usage: bench/fit_bench.sh [MINUTES] [GRAIN]
# MINUTES below 150 shortens every title and shrinks the disc by the same factor, so that
# the squeeze stays that of 150 minutes on DVD-5 (for a quicker run on a busy machine).
# GRAIN (e.g. 40) makes the noise film grain of that strength, fresh in every picture.
# For every title the rate planned last and the video rate written are shown side by side.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
author="$root/build/app/vantrel-author"
planner="$root/build/bench/fit_plan_bench"
minutes=${1:-150}
w=$(mktemp -d)
trap 'rm -rf "$w"' EXIT

now() { date +%s.%N; }
span() { echo "$2 - $1" | bc; }
sectors=$(echo "2295104 * $minutes / 150" | bc)
[ "$minutes" -ge 150 ] && sectors=2295104

# The titles, made once and not timed: a minute of each kind, repeated by stream copy.
noise="noise=alls=12:allf=t+u"
[ -n "${2:-}" ] && noise="noise=alls=$2:allf=t"
ffmpeg -nostdin -loglevel error -y -f lavfi -i "testsrc2=size=720x576:rate=25,$noise" \
  -f lavfi -i "sine=frequency=300:sample_rate=48000" -t 60 -c:v mpeg4 -q:v 4 -c:a mp2 "$w/full.avi"
ffmpeg -nostdin -loglevel error -y -f lavfi -i "testsrc2=size=1024x436:rate=25,$noise" \
  -f lavfi -i "sine=frequency=500:sample_rate=48000" -t 60 -c:v mpeg4 -q:v 4 -c:a mp2 "$w/wide.avi"
titles=()
i=0
for kind in "full 35" "full 27" "wide 23" "full 15"; do
  set -- $kind
  i=$((i + 1))
  seconds=$(echo "$minutes * 60 * $2 / 100" | bc)
  ffmpeg -nostdin -loglevel error -y -stream_loop -1 -i "$w/$1.avi" -t "$seconds" -c copy "$w/title$i.avi"
  titles+=("$w/title$i.avi")
done
printf 'list: %s minutes in 4 titles; disc: %s sectors (%s)\n' "$minutes" "$sectors" \
  "$([ "$sectors" = 2295104 ] && echo DVD-5 || echo "DVD-5 scaled by $minutes/150")"

"$planner" "$sectors" "${titles[@]}"

# Ours: planned for the disc.
t0=$(now)
"$author" author --pal --no-menu --yes --disc-sectors "$sectors" --work "$w/ours" "${titles[@]}" > "$w/ours.log"
t1=$(now)
grep -F "视频码率" "$w/ours.log" | sed 's/^/  /'
# Planned (the title's last plan) against written (video packets over the pictures' time).
for i in 1 2 3 4; do
  planned=$(grep -F "标题 $i (title$i.avi): 视频码率 " "$w/ours.log" | tail -1 | sed 's/.*视频码率 \([0-9.]*\).*/\1/')
  made="$w/ours/(TaliroFixedDVD)title$i.mpg"
  [ -f "$made" ] || continue
  bytes=$(ffprobe -v error -select_streams v:0 -show_entries packet=size -of csv=p=0 "$made" | awk '{s += $1} END {print s}')
  # (ffprobe may end the count with a field separator)
  frames=$(ffprobe -v error -select_streams v:0 -count_packets -show_entries stream=nb_read_packets -of csv=p=0 "$made" | tr -dc 0-9)
  written=$(echo "$bytes * 8 * 25 / $frames / 1000000" | bc -l)
  printf '  title %d: planned %s Mbit/s, written %.2f Mbit/s (%+.1f%%)\n' "$i" "${planned:-?}" "$written" \
    "$(echo "100 * ($written / ${planned:-$written} - 1)" | bc -l)"
done

# The reference tool at the fixed rate, authored the same way.
mkdir -p "$w/ref"
r0=$(now)
for i in 1 2 3 4; do
  shape=""
  [ $i = 3 ] && shape="-vf scale=720:436,pad=720:576:0:70 -aspect 16:9"
  ffmpeg -nostdin -loglevel error -y -i "$w/title$i.avi" $shape -target pal-dvd "$w/ref/r$i.mpg"
done
{
  echo "<dvdauthor><vmgm><menus><pgc><vob file=\"$root/build/app/bp.mpg\" pause=\"0\"/>"
  echo "<post>jump title 1;</post></pgc></menus></vmgm><titleset><titles>"
  for i in 1 2 3 4; do
    echo "<pgc><vob file=\"$w/ref/r$i.mpg\" chapters=\"0,15:00,30:00,45:00,1:00:00\"/>"
    echo "<post>jump title $(( i % 4 + 1 ));</post></pgc>"
  done
  echo "</titles></titleset></dvdauthor>"
} > "$w/ref/dvd.xml"
VIDEO_FORMAT=PAL dvdauthor -o "$w/ref/DVD" -x "$w/ref/dvd.xml" >/dev/null 2>&1
r1=$(now)

capacity=$((sectors * 2048))
fill() {
  local folder image
  folder=$(du -sb --apparent-size "$1/VIDEO_TS" | cut -f1)
  image=$(( $(genisoimage -quiet -print-size -dvd-video -udf "$1") * 2048 ))
  printf '%-22s VIDEO_TS %6.2f%%, disc image %6.2f%% of the disc%s\n' "$2" \
    "$(echo "100 * $folder / $capacity" | bc -l)" "$(echo "100 * $image / $capacity" | bc -l)" \
    "$([ "$image" -gt "$capacity" ] && echo '  (does not fit)' || true)"
}
fill "$w/ours/DVD" "ours, planned:"
fill "$w/ref/DVD" "reference, 6 Mbit/s:"
printf 'wall time: ours %.1f s, reference %.1f s, ratio reference / ours %.2f\n' \
  "$(span "$t0" "$t1")" "$(span "$r0" "$r1")" "$(echo "$(span "$r0" "$r1") / $(span "$t0" "$t1")" | bc -l)"
