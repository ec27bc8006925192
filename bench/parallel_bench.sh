#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The whole authoring run against the reference tools doing the same work, paired run by
# run: ffmpeg -target pal-dvd per title, the still menu through jpeg2yuv | mpeg2enc, mplex
# and spumux on our rendered pictures, and dvdauthor on the same script. Three jobs:
#   four    an MPEG-4/AC-3 AVI, a Cinepak AVI, an MS-MPEG-4 AVI and a 720x405 MPEG-2 file
#   ten     ten generated clips of the kinds users bring
#   long    one title of LONG minutes (30 by default)
# For each side: wall time, CPU time, average cores busy (CPU / wall), peak memory (the
# largest process); for ours also the cores busy while titles were being encoded. The
# machine may be shared: each pair runs back to back, in alternating order, and the
# ratios of the pairs are what to read, not the absolute times; each pair is printed with
# the machine's load average when it began (above 2 the other users had the cores too).
# Usage: bench/parallel_bench.sh [REPEAT [LONG [JOBS]]]   e.g. bench/parallel_bench.sh 3 30 "four ten long"
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
author="$root/build/app/vantrel-author"
app="$root/build/app"
repeat=${1:-3}
long_minutes=${2:-30}
jobs=${3:-"four ten long"}
w=$(mktemp -d)
trap 'rm -rf "$w"' EXIT
# A registry of its own: the run's encoder is this build's, not whatever module another
# build last registered for the user.
export VANTREL_REGISTRY_DIR=$w/registry
ticks=$(getconf CLK_TCK)

clip() {  # clip NAME SIZE SECONDS CODECS...
  local name=$1 size=$2 seconds=$3; shift 3
  ffmpeg -nostdin -loglevel error -y -f lavfi -i "testsrc2=size=$size:rate=25" \
    -f lavfi -i "sine=frequency=440:sample_rate=44100" -t "$seconds" "$@" "$w/media/$name"
}

make_media() {
  mkdir -p "$w/media"
  case $1 in
    four)
      clip "mpeg4 ac3.avi" 640x352 20 -c:v mpeg4 -q:v 4 -c:a ac3 -b:a 192k
      clip "cinepak.avi" 320x240 15 -c:v cinepak -c:a pcm_s16le
      clip "msmpeg4.avi" 512x384 20 -c:v msmpeg4 -q:v 4 -c:a libmp3lame
      clip "wide 720x405.mpg" 720x405 15 -c:v mpeg2video -b:v 4M -c:a mp2 -f mpeg
      printf '%s\n' "$w/media/mpeg4 ac3.avi" "$w/media/cinepak.avi" "$w/media/msmpeg4.avi" "$w/media/wide 720x405.mpg" ;;
    ten)
      local files=()
      for i in 0 1 2 3 4 5 6 7 8 9; do
        case $((i % 3)) in
          0) clip "t$i.avi" 320x240 8 -c:v mpeg4 -q:v 4 -c:a libmp3lame; files+=("$w/media/t$i.avi") ;;
          1) clip "t$i.avi" 352x288 8 -c:v msmpeg4 -q:v 4 -c:a ac3; files+=("$w/media/t$i.avi") ;;
          2) clip "t$i.mpg" 640x480 8 -c:v mpeg1video -b:v 3M -c:a mp2 -f mpeg; files+=("$w/media/t$i.mpg") ;;
        esac
      done
      printf '%s\n' "${files[@]}" ;;
    long)
      clip "long.avi" 480x270 $((long_minutes * 60)) -c:v mpeg4 -q:v 5 -c:a libmp3lame
      printf '%s\n' "$w/media/long.avi" ;;
  esac
}

# Runs a command under GNU time; prints "wall cpu peak_kib".
measure() {
  local out=$1; shift
  /usr/bin/time -f "%e %U %S %M" -o "$out.time" "$@" > "$out.log" 2>&1
  awk '{printf "%s %.2f %s\n", $1, $2 + $3, $4}' "$out.time"
}

# Ours, with the process's CPU sampled while a title's encoder output is open. The sampler
# starts no process of its own (builtins only: a forking sampler steals the very cores it
# measures, and only from our side).
ours() {  # ours WORK FILES...
  local work=$1; shift
  rm -rf "$work"
  /usr/bin/time -f "%e %U %S %M" -o "$work.time" "$author" author --pal --menu --yes --layout 0 \
    --work "$work" "$@" > "$work.log" 2>&1 &
  local timer=$! pid="" busy_ticks=0 busy_us=0 last_t="" last_us="" stat now_us t parts
  exec {nap}<> <(:)
  while kill -0 "$timer" 2>/dev/null; do
    if [ -z "$pid" ]; then
      for task in /proc/$timer/task/*/children; do
        read -r pid _ < "$task" 2>/dev/null || true
        [ -n "$pid" ] && break
      done
    fi
    if [ -n "$pid" ] && compgen -G "$work/*.part-*" > /dev/null; then
      now_us=${EPOCHREALTIME/./}
      t=""
      if read -r stat < "/proc/$pid/stat" 2>/dev/null; then
        stat=${stat##*) }
        read -ra parts <<< "$stat"
        t=$((parts[11] + parts[12] + parts[13] + parts[14]))
      fi
      if [ -n "$t" ] && [ -n "$last_t" ]; then
        busy_ticks=$((busy_ticks + t - last_t)); busy_us=$((busy_us + now_us - last_us))
      fi
      last_t=$t; last_us=$now_us
    else
      last_t=""
    fi
    read -r -t 0.1 -u "$nap" _ || true
  done
  exec {nap}<&-
  wait "$timer"
  local repairs=0
  [ "$busy_us" -gt 0 ] && repairs=$(echo "$busy_ticks / $ticks / ($busy_us / 1000000)" | bc -l)
  awk -v r="$repairs" '{printf "%s %.2f %s %.2f\n", $1, $2 + $3, $4, r}' "$work.time"
}

# The reference tools on the same titles, the same menu pictures and the same script.
reference() {  # reference TEMPLATE_WORK REF FILES...
  local template=$1 ref=$2; shift 2
  rm -rf "$ref"; mkdir -p "$ref/TEMP"
  cp "$template/TEMP/"*.jpg "$template/TEMP/"*.png "$ref/TEMP/"
  for script in "$template/TEMP/"menu_mpg_spumux*.xml; do
    sed "s#$template/#$ref/#g" "$script" > "$ref/TEMP/$(basename "$script")"
  done
  sed "s#$template/#$ref/#g" "$template/TEMP/dvd.xml" > "$ref/dvd.xml"
  {
    echo 'set -e'
    for f in "$@"; do
      local base; base=$(basename "$f"); base="${base%.*}.mpg"
      printf 'ffmpeg -nostdin -loglevel error -y -i %q -target pal-dvd %q\n' "$f" "$ref/(TaliroFixedDVD)$base"
    done
    printf 'cd %q && export VIDEO_FORMAT=PAL\n' "$ref/TEMP"
    for script in "$ref/TEMP/"menu_mpg_spumux*.xml; do
      local k=${script##*spumux}; k=${k%.xml}
      echo "jpeg2yuv -n 1 -I t -L 1 -f 25 -j menu_background$k.jpg 2>/dev/null | mpeg2enc -f 8 -b 9000 -o menu_background$k.m2v 2>/dev/null"
      printf 'mplex -f 8 -S 0 -o menu_background%s.mpg menu_background%s.m2v %q 2>/dev/null\n' "$k" "$k" "$app/silence.mp2"
      echo "spumux menu_mpg_spumux$k.xml < menu_background$k.mpg > menu$k.mpg 2>/dev/null"
    done
    printf 'dvdauthor -o %q -x %q >/dev/null 2>&1\n' "$ref/DVD" "$ref/dvd.xml"
  } > "$ref.sh"
  measure "$ref" bash "$ref.sh"
}

mib() { echo "scale=1; $1 / 1024" | bc; }

median() { sort -g | awk '{a[NR]=$1} END {print a[int((NR + 1) / 2)]}'; }

for job in $jobs; do
  rm -rf "$w/media"
  make_media "$job" > "$w/list"
  mapfile -t files < "$w/list"
  # Warm caches and make the menu pictures and script the reference side uses.
  ours "$w/template" "${files[@]}" > /dev/null
  echo "== $job: ${#files[@]} title(s), $repeat paired runs (shared machine: read the ratios)"
  printf '%-4s %5s %28s   %28s   %s\n' run load "ours: wall cpu cores peakMiB" "reference: wall cpu cores peakMiB" \
    "ratios: wall cpu peak; ours' cores busy while encoding"
  ratios=() cpus=() peaks=() busy=() loads=()
  for r in $(seq "$repeat"); do
    load=$(cut -d' ' -f1 /proc/loadavg)
    if [ $((r % 2)) -eq 1 ]; then
      o=$(ours "$w/ours" "${files[@]}"); f=$(reference "$w/template" "$w/ref" "${files[@]}")
    else
      f=$(reference "$w/template" "$w/ref" "${files[@]}"); o=$(ours "$w/ours" "${files[@]}")
    fi
    read -r ow oc om orep <<< "$o"; read -r fw fc fm <<< "$f"
    ratio=$(echo "$ow / $fw" | bc -l)
    ratios+=("$ratio"); cpus+=("$(echo "$oc / $fc" | bc -l)"); peaks+=("$(echo "$om / $fm" | bc -l)")
    busy+=("$(echo "$oc / $ow" | bc -l)"); loads+=("$load")
    printf '%-4s %5s %6.2f %6.2f %5.2f %7s   %6.2f %6.2f %5.2f %7s   %.2f %.2f %.2f; %.2f\n' \
      "$r" "$load" "$ow" "$oc" "$(echo "$oc / $ow" | bc -l)" "$(mib "$om")" "$fw" "$fc" "$(echo "$fc / $fw" | bc -l)" \
      "$(mib "$fm")" "$ratio" "${cpus[-1]}" "${peaks[-1]}" "$orep"
  done
  printf 'medians: wall ratio %.2f (%.2f..%.2f), CPU ratio %.2f, peak ratio %.2f, ours cores busy %.2f, load %s\n' \
    "$(printf '%s\n' "${ratios[@]}" | median)" "$(printf '%s\n' "${ratios[@]}" | sort -g | head -1)" \
    "$(printf '%s\n' "${ratios[@]}" | sort -g | tail -1)" "$(printf '%s\n' "${cpus[@]}" | median)" \
    "$(printf '%s\n' "${peaks[@]}" | median)" "$(printf '%s\n' "${busy[@]}" | median)" \
    "$(printf '%s\n' "${loads[@]}" | median)"
done
