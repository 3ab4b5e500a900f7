#!/usr/bin/env bash
# sndstop 6 ends the loop on channel 6 only; the loop on channel 5 sounds on. A one-shot on a
# free channel is not reached by stopping a channel that does not play.
set -e
tool="$(dirname "$0")/../../../tools/wavcheck.py"
"$tool" capture.wav 20 250 right-louder
"$tool" capture.wav 400 950 right-only
"$tool" capture.wav 400 950 freq=330
