#!/usr/bin/env bash
# Text at 72 points: every character whole in its cell, the
# pen advance and line spacing of the font, nothing above, below, between or beside the lines.
set -u
SHOT=text.png
. "$(dirname "$0")/../text_probes.sh"
[ "$($PNG_PROBE "$SHOT" size)" = "1200 560" ] || { echo "screenshot size"; exit 1; }
check_mono_line "72 points" 72 10 148 58 "HELLO World 0123 @#"
check_two_lines "72 points, two lines" 72 10 364 58 148 "$LINE_HTOP" "$LINE_HBOTTOM"
exit $fail
