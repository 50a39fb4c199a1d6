#!/bin/sh
# Screenshots of the bank editor under a virtual X server, into docs/screenshots/.
# Usage: tests/editor/take-screenshots.sh <build folder>
set -e
build=${1:-build}
out=docs/screenshots
mkdir -p "$out"
for mode in editor dialog help; do
    xvfb-run -a -s "-screen 0 1280x800x24" sh -c \
        "\"$build/tests/editor/editor_screenshot\" $mode 4 & sleep 3; import -window root \"$out/bank-editor-$mode.png\"; wait"
done
