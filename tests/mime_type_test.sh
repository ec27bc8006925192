#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The project files' type as the desktop learns it: update-mime-database takes data/mime,
# the database knows *.vantrel and the format's name near the start of a file, and the
# desktop entry lists the type among those it opens.
set -euo pipefail
source=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failed=0
mkdir -p "$scratch/mime/packages"
cp "$source/data/mime/vantrel.xml" "$scratch/mime/packages/"
# (It notes on standard error that the scratch folder is not one the desktop searches.)
update-mime-database "$scratch/mime" 2>"$scratch/notes" || { cat "$scratch/notes"; exit 1; }
grep -qx 'application/x-vantrel-project' "$scratch/mime/types" || { echo "the type is not in the database"; failed=1; }
grep -q ':application/x-vantrel-project:\*\.vantrel$' "$scratch/mime/globs2" || { echo "*.vantrel is not known"; failed=1; }
grep -q 'vantrel-project' "$scratch/mime/magic" || { echo "the content rule is missing"; failed=1; }
grep -q '^application/x-vantrel-project application/json$' "$scratch/mime/subclasses" ||
  { echo "the type is not a kind of JSON"; failed=1; }
grep -qE '^MimeType=(.*;)?application/x-vantrel-project;' "$source/data/vantrel.desktop" ||
  { echo "the desktop entry does not open project files"; failed=1; }
grep -qE '^Exec=vantrel %F$' "$source/data/vantrel.desktop" || { echo "the desktop entry does not pass the files"; failed=1; }
exit $failed
