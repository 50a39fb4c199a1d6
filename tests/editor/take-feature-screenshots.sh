#!/bin/sh
# Screenshots of the type editor, the previews and the clipboard picture window
# under a virtual X server, into docs/screenshots/.
# Usage: tests/editor/take-feature-screenshots.sh <build folder>
set -e
build=${1:-build}
out=docs/screenshots
mkdir -p "$out"
for mode in types picture question clipboard paper; do
    xvfb-run -a -s "-screen 0 1280x800x24" sh -c \
        "\"$build/tests/editor/feature_screenshot\" $mode 7 & sleep 5; import -window root \"$out/editor-$mode.png\"; wait"
done
