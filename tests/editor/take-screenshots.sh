#!/bin/sh
# Screenshots of the bank editor under a virtual X server, into docs/screenshots/.
# Usage: tests/editor/take-screenshots.sh <build folder>
# The laptop sizes run a window manager (openbox) so that the window is maximised
# as it is on a teacher's screen.
set -e
build=${1:-build}
out=docs/screenshots
mkdir -p "$out"
for mode in editor dialog help; do
    xvfb-run -a -s "-screen 0 1280x800x24" sh -c \
        "\"$build/tests/editor/editor_screenshot\" $mode 4 & sleep 3; import -window root \"$out/bank-editor-$mode.png\"; wait"
done
for size in 1366x768 1920x1080; do
    xvfb-run -a -s "-screen 0 ${size}x24" sh -c \
        "openbox >/dev/null 2>&1 & wm=\$!; sleep 1; \"$build/tests/editor/editor_screenshot\" editor 6 max & app=\$!; sleep 4;
         import -window root \"$out/bank-editor-$size.png\"; wait \$app; kill \$wm"
done
