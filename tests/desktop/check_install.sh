#!/usr/bin/env bash
# cmake --install into a temporary DESTDIR: the programs run from there with
# nothing of the build folder on their library path, and every file a desktop
# expects is in its place.
#   check_install.sh BUILD_DIR
set -uo pipefail
build=${1:?build dir}
failed=0
fail() { echo "FAIL: $*"; failed=1; }
dest=$(mktemp -d)
trap 'rm -rf "$dest"' EXIT

DESTDIR="$dest" cmake --install "$build" --prefix /usr >"$dest/install.log" 2>&1 ||
  { cat "$dest/install.log"; fail "cmake --install"; }
root="$dest/usr"

for file in bin/qim bin/qimtool lib/qim/libqimcmmns.so.1 lib/qim/libpgpmsg60.so lib/qim/libpgpmsg55.so lib/qim/libqimprint.so \
            share/applications/qim.desktop share/icons/hicolor/scalable/apps/qim.svg share/metainfo/org.qim.Qim.metainfo.xml \
            share/man/man1/qim.1.gz share/man/man1/qimtool.1.gz share/qim/manual/index.html share/qim/screenshots/main-window.png \
            share/doc/qim/copyright share/doc/qim/changelog.gz; do
  [[ -e "$root/$file" ]] || fail "$file is not installed"
done
# A development link would make the private library look like a public one.
[[ ! -e "$root/lib/qim/libqimcmmns.so" ]] || fail "lib/qim/libqimcmmns.so (a development link) is installed"

# The soname the programs ask for, and where they find it.
soname=$(readelf -d "$root/lib/qim/libqimcmmns.so.1" | sed -n 's/.*(SONAME).*\[\(.*\)\]/\1/p')
[[ "$soname" == "libqimcmmns.so.1" ]] || fail "libqimcmmns has soname '$soname'"
for program in qim qimtool; do
  runpath=$(readelf -d "$root/bin/$program" | grep -E '\((RUN)?PATH\)' | sed 's/.*\[\(.*\)\]/\1/')
  [[ "$runpath" == '$ORIGIN/../lib/qim' ]] || fail "$program has RUNPATH '$runpath'"
  found=$(env -u LD_LIBRARY_PATH ldd "$root/bin/$program" | sed -n 's/.*libqimcmmns.so.1 => \([^ ]*\).*/\1/p')
  [[ "$(realpath -m "$found")" == "$(realpath "$root/lib/qim/libqimcmmns.so.1")" ]] ||
    fail "$program finds libqimcmmns at '$found'"
done
if strings "$root/bin/qim" "$root/bin/qimtool" "$root/lib/qim/"*.so* | grep -F -q "$(realpath "$build")/bin"; then
  fail "an installed file names the build folder"
fi

# They run from there: --version needs no display and no settings.
out=$(env -u LD_LIBRARY_PATH QT_QPA_PLATFORM=offscreen "$root/bin/qim" --version 2>&1) || fail "qim --version: $out"
[[ "$out" == "Qim "* ]] || fail "qim --version printed '$out'"
out=$(env -u LD_LIBRARY_PATH "$root/bin/qimtool" --version 2>&1) || fail "qimtool --version: $out"
[[ "$out" == "qimtool (Qim)"* ]] || fail "qimtool --version printed '$out'"
# And do their work: a conversion through the installed library.
out=$(printf '\x1b$B$3$s$K$A$O\x1b(B' | env -u LD_LIBRARY_PATH "$root/bin/qimtool" jis2sjis --utf8) || fail "qimtool jis2sjis"
[[ "$out" == "こんにちは" ]] || fail "installed qimtool jis2sjis gave '$out'"
# The print layout is loaded from the private folder.
printf 'Subject: test\r\n\r\nhello\r\n' > "$dest/mail"
out=$(env -u LD_LIBRARY_PATH "$root/bin/qimtool" print "$dest/mail" "$dest/mail.pdf" 2>&1) || fail "qimtool print: $out"
[[ "$(head -c 5 "$dest/mail.pdf" 2>/dev/null)" == "%PDF-" ]] || fail "installed qimtool print wrote no PDF"

if ((failed)); then exit 1; fi
echo "install: the installed qim and qimtool run from $root with their own libraries"
