#!/usr/bin/env bash
# The loop (a 0.2 s sample) sounds on the right, then where chanpos put it, until sndstop 5.
set -e
tool="$(dirname "$0")/../../../tools/wavcheck.py"
"$tool" capture.wav 20 280 right-only
"$tool" capture.wav 20 280 freq=330
"$tool" capture.wav 450 750 left-only
"$tool" capture.wav 950 1150 silent
