#!/usr/bin/env bash
# 6 and 96 points: every character whole in its cell at the font's pen advance. Box 9 was
# set before any font existed, so nothing else is on the screen.
set -u
SHOT=sizes.png
. "$(dirname "$0")/../text_probes.sh"
INK_TOL=40  # the stems of 6-point letters are light grey
check_mono_line "6 points" 6 10 20 5 "HELLO World 0123 @#"
INK_TOL=100
check_mono_line "96 points" 96 10 260 77 "HELLO"
expect_blank "under the lines" 0 360 640 480
exit $fail
