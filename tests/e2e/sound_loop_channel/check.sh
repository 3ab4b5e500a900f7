#!/usr/bin/env bash
# A loop on channel 5 goes on long after the length of its sample (0.2 s), where chanpos put it.
set -e
tool="$(dirname "$0")/../../../tools/wavcheck.py"
"$tool" capture.wav 20 950 left-only
"$tool" capture.wav 600 950 freq=330
