#!/usr/bin/env bash
# Multipart mails written by Python's email package must give, through
# qimtool mime parts / mime extract, the same leaf parts, names and decoded
# bytes as Python's own reading of them.
set -euo pipefail
exec python3 "$(dirname "$0")/mime_python_email.py" "$QIM_BIN_DIR/qimtool"
