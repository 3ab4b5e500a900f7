#!/usr/bin/env bash
# Slot 256 (and 255, -1, both empty) play nothing on the left; slot 0 is a slot like any other.
set -e
tool="$(dirname "$0")/../../../tools/wavcheck.py"
"$tool" capture.wav 20 280 right-only
"$tool" capture.wav 20 280 freq=220
