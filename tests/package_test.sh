#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package made from a build, as dpkg-deb reads it: the programs, the modules
# and the data are inside, and the dependencies name the tools the program runs and the
# libraries dpkg-shlibdeps found; lintian accepts it, its manual pages, completion and
# metadata work, and every program answers with its version. Usage: package_test.sh BUILD_DIR
set -euo pipefail
build=$1
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

if ! cpack -G DEB -B "$out" --config "$build/CPackConfig.cmake" >"$out/cpack.log" 2>&1; then
  cat "$out/cpack.log"
  exit 1
fi
debs=("$out"/vantrel_*_amd64.deb)
[[ ${#debs[@]} -eq 1 && -f ${debs[0]} ]] || { echo "no vantrel_VERSION_amd64.deb in $out"; ls "$out"; exit 1; }
deb=${debs[0]}
[[ $(basename "$deb") =~ ^vantrel_[0-9]+\.[0-9]+\.[0-9]+_amd64\.deb$ ]] || { echo "bad name $deb"; exit 1; }

failed=0
expect() {  # expect WHAT TEXT PATTERN
  if ! grep -qE -- "$3" <<<"$2"; then
    echo "missing from the package's $1: $3"
    failed=1
  fi
}
info=$(dpkg-deb --info "$deb")
depends=$(dpkg-deb --field "$deb" Depends)
contents=$(dpkg-deb --contents "$deb")
expect info "$info" '^ Package: vantrel$'
expect info "$info" '^ Architecture: amd64$'
for dependency in dvdauthor mjpegtools genisoimage 'libavformat[0-9]+' 'libavcodec[0-9]+' 'libburn[0-9]+' \
                  'libcairo2' 'libpango-1.0-0' 'libc6'; do
  expect dependencies "$depends" "(^|, )$dependency( |,|$)"
done
# The desktop program brings the wx runtime with it.
if [[ -f $build/app/vantrel ]]; then
  expect dependencies "$depends" "(^|, )libwxgtk3\.[0-9]+-[0-9]+( |,|$)"
fi
for file in lib/vantrel/vantrel-author lib/vantrel/regsvr32 lib/vantrel/encorva-convert \
            lib/vantrel/Encorva.so lib/vantrel/mpgfiltr.so lib/vantrel/libfoxburner.so \
            lib/vantrel/libvantrel_com.so lib/vantrel/layout.ini lib/vantrel/support.ini \
            lib/vantrel/tips.txt lib/vantrel/silence.mp2 lib/vantrel/bn.mpg lib/vantrel/bp.mpg; do
  expect contents "$contents" " \./usr/$file\$"
done
expect contents "$contents" ' \./usr/bin/vantrel-author -> \.\./lib/vantrel/vantrel-author$'
# The desktop program with its entry, icons, skins and help pages.
for file in lib/vantrel/vantrel lib/vantrel/devior.smf lib/vantrel/x-plus.smf lib/vantrel/kromo.smf \
            lib/vantrel/help/overview/overview.htm share/applications/vantrel.desktop \
            share/mime/packages/vantrel.xml \
            share/icons/hicolor/48x48/apps/vantrel.png share/icons/hicolor/scalable/apps/vantrel.svg; do
  expect contents "$contents" " \./usr/$file\$"
done
expect contents "$contents" ' \./usr/bin/vantrel -> \.\./lib/vantrel/vantrel$'
# Everything the build put into its application folder to ship (programs, modules, data,
# help pages, skins) is in the package; what runs leave there is not the build's.
shipped=$(cd "$build/app" && find . -type f ! -path './TEMP/*' ! -name 'Settings.ini' ! -name 'TEMPBITMAP*' \
          ! -name 'Bitmap00000*' ! -name 'tmpFoxImage*' ! -name '.vantrel-write-probe*' | sed 's|^\./||' | sort)
while IFS= read -r file; do
  [[ -z $file ]] && continue
  # The compiled catalogues go where gettext's catalogues live.
  if [[ $file == locale/*/LC_MESSAGES/*.mo ]]; then
    grep -qF " ./usr/share/$file" <<<"$contents" || { echo "missing from the package: share/$file"; failed=1; }
    continue
  fi
  grep -qF " ./usr/lib/vantrel/$file" <<<"$contents" || { echo "missing from the package: $file"; failed=1; }
done <<<"$shipped"
# Nothing a run leaves behind travels with the package.
if grep -qE 'TEMPBITMAP|Bitmap00000|tmpFoxImage|Settings\.ini|/TEMP/' <<<"$contents"; then
  echo "run-time leftovers in the package:"
  grep -E 'TEMPBITMAP|Bitmap00000|tmpFoxImage|Settings\.ini|/TEMP/' <<<"$contents"
  failed=1
fi
# What a distribution asks of the package: lintian accepts it, the software-centre
# metadata validates, every manual page renders, the completion loads and completes, and
# every program answers --version with the package's version.
version=$(dpkg-deb --field "$deb" Version)
lintian_out=$(lintian --fail-on error,warning --display-info "$deb" 2>&1) || {
  echo "lintian does not accept the package:"; echo "$lintian_out"; failed=1; }
if grep -qE '^[EW]: ' <<<"$lintian_out"; then
  echo "lintian reports errors or warnings:"; grep -E '^[EW]: ' <<<"$lintian_out"; failed=1
fi
root="$out/root"
dpkg-deb -x "$deb" "$root"
for file in share/doc/vantrel/copyright share/doc/vantrel/changelog.gz share/man/man1/vantrel.1.gz \
            share/man/man1/vantrel-author.1.gz share/man/man1/encorva-convert.1.gz \
            share/bash-completion/completions/vantrel-author share/metainfo/example.vantrel.Vantrel.metainfo.xml; do
  [[ -f $root/usr/$file ]] || { echo "missing from the package: $file"; failed=1; }
done
metainfo=$root/usr/share/metainfo/example.vantrel.Vantrel.metainfo.xml
if ! appstream_out=$(appstreamcli validate --no-net "$metainfo" 2>&1) || grep -qE '^[EW]: ' <<<"$appstream_out"; then
  echo "appstreamcli does not accept the metainfo:"; echo "$appstream_out"; failed=1
fi
grep -q "<release version=\"$version\"" "$metainfo" || { echo "the metainfo's release is not $version"; failed=1; }
[[ $(zcat "$root/usr/share/doc/vantrel/changelog.gz" | head -1) == "vantrel ($version) "* ]] ||
  { echo "the changelog's newest entry is not $version"; failed=1; }
[[ $(dpkg-deb --field "$deb" Maintainer) == "$(zcat "$root/usr/share/doc/vantrel/changelog.gz" |
     sed -n 's/^ -- \(.*>\)  .*/\1/p' | head -1)" ]] || { echo "the changelog is signed by another maintainer"; failed=1; }
for page in vantrel vantrel-author encorva-convert; do
  file=$root/usr/share/man/man1/$page.1.gz
  text=$(MANWIDTH=80 LC_ALL=C.UTF-8 man --warnings -E UTF-8 -l "$file" 2>"$out/man.err") || true
  if [[ -s $out/man.err ]] || ! grep -q "^NAME" <<<"$text" || ! grep -q "EXIT STATUS" <<<"$text"; then
    echo "the manual page of $page does not render cleanly:"; cat "$out/man.err"; failed=1
  fi
done
# Every option of every vantrel-author command is in its manual page.
author_page=$(MANWIDTH=200 LC_ALL=C.UTF-8 man -l "$root/usr/share/man/man1/vantrel-author.1.gz" 2>/dev/null)
for command in author burn convert demo devices erase menu probe thumbnail; do
  grep -q "^   $command" <<<"$author_page" || { echo "the manual page lacks the command $command"; failed=1; }
  for option in $("$root/usr/lib/vantrel/vantrel-author" "$command" --help 2>&1 | grep -oE -- '--[a-z0-9-]+' | sort -u); do
    grep -qE -- "(^|[^a-z-])$option([^a-z-]|$)" <<<"$author_page" ||
      { echo "the manual page lacks $command's option $option"; failed=1; }
  done
done
# The completion loads where bash-completion looks for it, and completes.
completion=$root/usr/share/bash-completion/completions/vantrel-author
complete_words() {  # complete_words WORD... : what pressing Tab after the words offers
  bash -c 'source /usr/share/bash-completion/bash_completion; source "$1"; shift
           COMP_WORDS=(vantrel-author "$@"); COMP_CWORD=$(($# )); COMP_LINE="vantrel-author $*"
           COMP_POINT=${#COMP_LINE}; _vantrel_author vantrel-author "${COMP_WORDS[COMP_CWORD]}" \
             "${COMP_WORDS[COMP_CWORD-1]}"; printf "%s\n" "${COMPREPLY[@]}"' _ "$completion" "$@"
}
bash -c 'source "$1" && complete -p vantrel-author' _ "$completion" | grep -q -- '-F _vantrel_author vantrel-author' ||
  { echo "the completion does not load"; failed=1; }
[[ $(complete_words au) == author ]] || { echo "completion of 'au': $(complete_words au)"; failed=1; }
grep -qx -- --layout <<<"$(complete_words author --la)" || { echo "completion of 'author --la' lacks --layout"; failed=1; }
mkdir -p "$out/files/sub" && touch "$out/files/a.avi" "$out/files/b.png" "$out/files/c.txt"
offered=$(cd "$out/files" && complete_words author '')
grep -qx a.avi <<<"$offered" && ! grep -q 'b.png\|c.txt' <<<"$offered" ||
  { echo "completion of a video offers: $offered"; failed=1; }
offered=$(cd "$out/files" && complete_words author --background '')
grep -qx b.png <<<"$offered" && ! grep -q 'a.avi' <<<"$offered" ||
  { echo "completion of --background offers: $offered"; failed=1; }
# One version everywhere.
for program in vantrel vantrel-author encorva-convert; do
  answer=$(env -u DISPLAY -u WAYLAND_DISPLAY "$root/usr/lib/vantrel/$program" --version 2>&1) || true
  [[ $answer == "$program $version" ]] || { echo "$program --version says '$answer', not '$program $version'"; failed=1; }
done
[[ $failed -eq 0 ]] && echo "package ok: $(basename "$deb")"
exit $failed
