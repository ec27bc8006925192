#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package made from a build, as dpkg-deb reads it: the programs, the modules
# and the data are inside, and the dependencies name the tools the program runs and the
# libraries dpkg-shlibdeps found. Usage: package_test.sh BUILD_DIR
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
  grep -qF " ./usr/lib/vantrel/$file" <<<"$contents" || { echo "missing from the package: $file"; failed=1; }
done <<<"$shipped"
# Nothing a run leaves behind travels with the package.
if grep -qE 'TEMPBITMAP|Bitmap00000|tmpFoxImage|Settings\.ini|/TEMP/' <<<"$contents"; then
  echo "run-time leftovers in the package:"
  grep -E 'TEMPBITMAP|Bitmap00000|tmpFoxImage|Settings\.ini|/TEMP/' <<<"$contents"
  failed=1
fi
[[ $failed -eq 0 ]] && echo "package ok: $(basename "$deb")"
exit $failed
