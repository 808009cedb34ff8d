#!/usr/bin/env bash
# Builds quorvel and runs it. On a desktop the window stays open until you close it. Without a
# display it runs under a virtual X server for a few seconds, saves a screenshot of the window,
# closes it the way a window manager would, and reports the program's output and exit status.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/scripts/common.sh"

if [ -n "${DISPLAY:-}" ]; then
    ensure_packages "${build_packages[@]}"
    build_project
    exec "$build_dir/quorvel"
fi

ensure_packages "${build_packages[@]}" "${headless_packages[@]}" imagemagick
build_project
exec xvfb-run -a -s "$xvfb_screen" bash "$quorvel_root/scripts/run-headless.sh" "$build_dir"
