#!/usr/bin/env bash
# A missing or undecodable file leaves its slot empty (also one that held a sample): all silent.
set -e
tool="$(dirname "$0")/../../../tools/wavcheck.py"
"$tool" capture.wav 0 950 silent
