#!/bin/sh
# Screenshots of the composition windows under a virtual X server, into docs/screenshots/.
# Usage: tests/compose/take-screenshots.sh <build folder>
set -e
build=${1:-build}
out=docs/screenshots
mkdir -p "$out"
for mode in composer numbering auto autohelp; do
    xvfb-run -a -s "-screen 0 1440x900x24" sh -c \
        "\"$build/tests/compose/compose_screenshot\" $mode 4 & sleep 3; import -window root \"$out/paper-composer-$mode.png\"; wait"
done
