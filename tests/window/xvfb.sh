# Sourced by the window tests: starts a private Xvfb display of 1024x768 and exports DISPLAY;
# the display is stopped when the test's shell exits. Xvfb picks a free display number itself
# and writes it to a file, so window tests running side by side never share a display.
command -v Xvfb >/dev/null || { echo "Xvfb missing"; exit 1; }
displayfile=$(mktemp)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$displayfile" >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; wait $xvfb 2>/dev/null; rm -f "$displayfile"' EXIT
for _ in $(seq 100); do [ -s "$displayfile" ] && break; sleep 0.1; done
[ -s "$displayfile" ] || { echo "Xvfb never reported a display"; exit 1; }
export DISPLAY=:$(tr -d '[:space:]' <"$displayfile")
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
