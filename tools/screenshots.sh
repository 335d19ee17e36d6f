#!/usr/bin/env bash
# Pictures of every page of the window at each font size and scale, for checking the layout by
# eye, on a virtual screen of 1366x768:
#   tools/screenshots.sh [BUILD_FOLDER [OUTPUT_FOLDER [FOLDER_SHOWN]]]
# Each picture is OUTPUT_FOLDER/window-<points>pt-x<scale>-<page>.png, and -preview.png for the
# preview. Needs xvfb-run; set SIZES or SCALES (space-separated) to take fewer pictures, DARK=1
# for the window in a dark palette.
set -euo pipefail
build=${1:-build/default}
out=${2:-screenshots}
shown=${3:-}
sizes=${SIZES:-9 10 12}
scales=${SCALES:-1 1.5 2}
screen=${SCREEN:-1366x768}
tool="$build/tools/screenshot"
[ -x "$tool" ] || { echo "screenshots: no $tool; build first" >&2; exit 1; }
command -v xvfb-run >/dev/null || { echo "screenshots: needs xvfb-run (apt-get install xvfb)" >&2; exit 1; }
mkdir -p "$out"

# Settings and history of the pictures' own, and a folder of names like a user's unless one was given.
state=$(mktemp -d)
trap 'rm -rf "$state"' EXIT
if [ -z "$shown" ]; then
    shown="$state/shown"
    mkdir "$shown"
    mkdir "$shown/旅行照片" "$shown/Documents"
    for name in "IMG_0001.JPG" "IMG_0002.JPG" "My Holiday Photo.jpeg" "报告 2026.docx" "README.md" "song 01.mp3" \
        "中國地圖.png" "clip.MOV"; do
        printf '%s' "$name" >"$shown/$name"
    done
fi

for points in $sizes; do
    for scale in $scales; do
        XDG_STATE_HOME="$state/state" XDG_CONFIG_HOME="$state/config" QT_SCALE_FACTOR="$scale" \
            xvfb-run -a -s "-screen 0 ${screen}x24" "$tool" --points "$points" ${DARK:+--dark} \
            "$out/window-${points}pt-x${scale}" "$shown"
        echo "screenshots: $out/window-${points}pt-x${scale}-*.png"
    done
done
