#!/usr/bin/env bash
# The layers point one way: nothing below the windows links Qt Widgets (or
# the window libraries), qimtool does not load it, and the conversations and
# the MIME walk show no message box of their own (they report notices).
#   check_layers.sh LINKS_DIR SOURCE_DIR BIN_DIR [PRINT_LINKS_DIR]
# LINKS_DIR holds one file per library below the windows, its direct link
# libraries one a line (written by CMake at build time); PRINT_LINKS_DIR the
# same for the print layout, which may use Qt Gui but nothing of the windows.
set -uo pipefail
links=${1:?links dir}; src=${2:?source dir}; bin=${3:?bin dir}; printLinks=${4:-}
failed=0
fail() { echo "FAIL: $*"; failed=1; }

# Every library reachable from `lib` through the link files.
closure() {
  local -A seen=()
  local queue=("$1") item dep
  while ((${#queue[@]})); do
    item=${queue[0]}; queue=("${queue[@]:1}")
    [[ -n ${seen[$item]:-} ]] && continue
    seen[$item]=1
    echo "$item"
    [[ -f "$links/$item" ]] || continue
    while read -r dep; do
      [[ -n $dep ]] && queue+=("$dep")
    done < <(tr ';' '\n' < "$links/$item")
  done
}

for file in "$links"/*; do
  lib=$(basename "$file")
  bad=$(closure "$lib" | grep -E '^(Qt6::Widgets|Qt6::Gui|Qt6::PrintSupport|qimui|qimapp)$' | sort -u | tr '\n' ' ')
  [[ -z $bad ]] || fail "$lib links $bad(through its dependencies)"
done

if [[ -n $printLinks ]]; then
  links=$printLinks
  bad=$(closure qimprint | grep -E '^(Qt6::Widgets|Qt6::PrintSupport|qimui|qimapp)$' | sort -u | tr '\n' ' ')
  [[ -z $bad ]] || fail "qimprint links $bad(through its dependencies)"
fi

# qimtool runs without any window library (print loads its layout at run time).
if ldd "$bin/qimtool" | grep -E 'libQt6(Widgets|Gui)' ; then fail "qimtool loads Qt Widgets or Gui"; fi

# The conversations and the MIME walk report what they have to say.
reporters=("$src"/pop3/*.cpp "$src"/pop3/*.h "$src"/imap/*.cpp "$src"/imap/*.h "$src"/archive/*.cpp "$src"/archive/*.h "$src"/send/SSmtpSession.* "$src"/send/SSendMail.*
           "$src"/common/SMimeMail.* "$src"/common/SAnalizeMimeMail.* "$src"/common/SDistMimeMail.*
           "$src"/common/SReplyMimeMail.*)
hits=$(grep -nE 'QimMessageBox|MessageBoxRequest|Dialogs\(\)|PlaySound|QMessageBox' "${reporters[@]}")
[[ -z $hits ]] || fail "a conversation or the MIME walk shows a box itself:
$hits"

# No source below the windows includes a window header or the application's.
for dir in common platform config store archive send pop3 imap crypt address filters print tools; do
  hits=$(grep -rnE '#include [<"](QtWidgets|QWidget|QDialog|QMessageBox|QApplication|QMainWindow|app/|ui/)' "$src/$dir")
  [[ -z $hits ]] || fail "$dir includes what belongs above it:
$hits"
done

if ((failed)); then exit 1; fi
echo "layers: every library below the windows stays below them"
