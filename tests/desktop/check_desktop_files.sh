#!/usr/bin/env bash
# The desktop's files pass their validators, and the manual pages render
# without a warning.
#   check_desktop_files.sh SOURCE_DIR
set -uo pipefail
src=${1:?source dir}
failed=0
fail() { echo "FAIL: $*"; failed=1; }

desktop-file-validate "$src/desktop/qim.desktop" || fail "desktop-file-validate qim.desktop"
grep -qx 'Exec=qim %u' "$src/desktop/qim.desktop" || fail "qim.desktop does not hand the URL to qim"
grep -qx 'MimeType=x-scheme-handler/mailto;' "$src/desktop/qim.desktop" || fail "qim.desktop does not take mailto: links"
grep -q '^Name\[ja\]=' "$src/desktop/qim.desktop" && grep -q '^Comment\[ja\]=' "$src/desktop/qim.desktop" ||
  fail "qim.desktop has no Japanese name or comment"
appstreamcli validate --no-net "$src/desktop/org.qim.Qim.metainfo.xml" || fail "appstreamcli validate"

for page in qim.1 qimtool.1; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$src/desktop/$page" 2>&1 >/dev/null)
  [[ -z "$warnings" ]] || fail "man -l $page warns:
$warnings"
done

if ((failed)); then exit 1; fi
echo "desktop files: valid, and the manual pages render cleanly"
