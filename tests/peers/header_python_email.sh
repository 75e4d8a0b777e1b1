#!/usr/bin/env bash
# Encoded header lines must read back through Python's email package, keep to
# 76 columns with continuation lines that begin with a blank; and words
# Python encodes must decode through qimtool to the same text.
set -euo pipefail
exec python3 "$(dirname "$0")/header_python_email.py" "$QIM_BIN_DIR/qimtool"
