#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The authoring run on the demo clips against the same work done by the reference tools
# alone, in one run: ffmpeg -target pal-dvd for the two repairs, ffmpeg's sound conversion of
# the DVD-ready title (pictures copied) so that the disc has one sound format, the same menu chain
# (jpeg2yuv | mpeg2enc, mplex, spumux on the same pictures) and dvdauthor.
# Prints wall times, the ratio and where the time goes. Usage: bench/authoring_bench.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
author="$root/build/app/vantrel-author"
app="$root/build/app"
w=$(mktemp -d)
trap 'rm -rf "$w"' EXIT

now() { date +%s.%N; }
span() { echo "$2 - $1" | bc; }

# The clips, made once and not timed.
"$author" demo --pal --work "$w/warm" >/dev/null
media="$w/warm/demo media"
avi="$media/海边 日落.avi"; mpeg1="$media/city lights 768x576.mpg"; long="$media/R&B 'live' 15 min.mpg"

# Ours: add the titles, render and make the menu, repair two titles, author.
t0=$(now)
"$author" author --pal --menu --yes --layout 2 --work "$w/ours" "$avi" "$mpeg1" "$long" > "$w/ours.log"
t1=$(now)
ours=$(span "$t0" "$t1")
stamp() { grep -m1 -F "$1" "$w/ours.log" | awk '{split($1,t,":"); print t[1]*3600+t[2]*60+t[3]}'; }
menus=$(( $(stamp "修复 MPEG 文件...") - $(stamp "生成菜单...") ))
repairs=$(( $(stamp "创建 DVD 结构...") - $(stamp "修复 MPEG 文件...") ))
authoring=$(( $(stamp "转换完成") - $(stamp "创建 DVD 结构...") ))

# The reference tools on the same work, with our rendered menu pictures.
ref="$w/ref"; mkdir -p "$ref/TEMP"
cp "$w/ours/TEMP/"*.jpg "$w/ours/TEMP/"*.png "$ref/TEMP/"
sed "s#$w/ours/TEMP/#$ref/TEMP/#g" "$w/ours/TEMP/menu_mpg_spumux01.xml" > "$ref/TEMP/menu_mpg_spumux01.xml"
r0=$(now)
ffmpeg -nostdin -loglevel error -y -i "$avi" -target pal-dvd "$ref/r1.mpg"
ffmpeg -nostdin -loglevel error -y -i "$mpeg1" -target pal-dvd "$ref/r2.mpg"
# The fifteen-minute title is DVD-ready but carries MPEG sound on a disc whose repaired titles
# carry AC-3: both sides keep its pictures and convert only its sound.
ffmpeg -nostdin -loglevel error -y -i "$long" -map 0:v -map 0:a -c:v copy -c:a ac3 -b:a 192k \
  -ar 48000 -f dvd -muxrate 10080000 -packetsize 2048 "$ref/r3.mpg"
r1=$(now)
( cd "$ref/TEMP" && export VIDEO_FORMAT=PAL &&
  jpeg2yuv -n 1 -I t -L 1 -f 25 -j menu_background01.jpg 2>/dev/null | mpeg2enc -f 8 -b 9000 -o m.m2v 2>/dev/null &&
  mplex -f 8 -S 0 -o m.mpg m.m2v "$app/silence.mp2" 2>/dev/null &&
  spumux menu_mpg_spumux01.xml < m.mpg > menu01.mpg 2>/dev/null )
r2=$(now)
sed -e "s#$w/ours/TEMP/#$ref/TEMP/#g" -e "s#$w/ours/(TaliroFixedDVD)海边 日落.mpg#$ref/r1.mpg#" \
    -e "s#$w/ours/(TaliroFixedDVD)city lights 768x576.mpg#$ref/r2.mpg#" \
    -e "s#$w/ours/(TaliroFixedDVD)R&B 'live' 15 min.mpg#$ref/r3.mpg#" \
    "$w/ours/TEMP/dvd.xml" > "$ref/dvd.xml"
VIDEO_FORMAT=PAL dvdauthor -o "$ref/DVD" -x "$ref/dvd.xml" >/dev/null 2>&1
r3=$(now)
reference=$(span "$r0" "$r3")

printf 'vantrel-author author: %6.2f s  (menus ~%d s, repairs ~%d s, dvdauthor ~%d s; the rest: adding titles)\n' \
  "$ours" "$menus" "$repairs" "$authoring"
printf 'reference tools:       %6.2f s  (repairs %.2f s, menu chain %.2f s, dvdauthor %.2f s)\n' \
  "$reference" "$(span "$r0" "$r1")" "$(span "$r1" "$r2")" "$(span "$r2" "$r3")"
printf 'ratio reference / ours: %.2f\n' "$(echo "$reference / $ours" | bc -l)"
