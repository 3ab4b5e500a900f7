#!/usr/bin/env bash
# Text at 48 points: every character whole in its cell, the
# pen advance and line spacing of the font, nothing above, below, between or beside the lines.
set -u
SHOT=text.png
. "$(dirname "$0")/../text_probes.sh"
[ "$($PNG_PROBE "$SHOT" size)" = "800 400" ] || { echo "screenshot size"; exit 1; }
check_mono_line "48 points" 48 10 100 39 "HELLO World 0123 @#"
check_two_lines "48 points, two lines" 48 10 244 39 100 "$LINE_HTOP" "$LINE_HBOTTOM"
exit $fail
