#!/usr/bin/env bash
# A tone 5 units to the listener's right is heard on the right; it plays once and ends.
set -e
c=capture.wav
tool="$(dirname "$0")/../../../tools/wavcheck.py"
"$tool" $c 20 280 right-louder
"$tool" $c 20 280 freq=440
"$tool" $c 400 900 silent
