#!/usr/bin/env bash
# The software path draws the very picture of the automatic choice: the same probes.
exec "$(dirname "$0")/../screenshot_egl_square/check.sh" "$@"
