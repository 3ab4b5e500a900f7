#!/usr/bin/env bash
# Loading into an occupied slot replaces the sample: the second file (220 Hz) plays, centred.
set -e
tool="$(dirname "$0")/../../../tools/wavcheck.py"
"$tool" capture.wav 20 280 balanced
"$tool" capture.wav 20 280 freq=220
"$tool" capture.wav 400 900 silent
