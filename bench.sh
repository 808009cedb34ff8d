#!/usr/bin/env bash
# Builds quorvel and measures it on the real driver under a virtual X server: first the in-process
# frame benchmark (Google Benchmark), then the whole process against a bare clear-and-swap loop.
#   ./bench.sh [RUNS [SECONDS]]   runs of each program in the whole-process measurement (default
#                                 5) and how long each lasts (default 3 s)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/scripts/common.sh"

ensure_packages "${build_packages[@]}" "${headless_packages[@]}" libbenchmark-dev time datamash procps
build_project
xvfb-run -a -s "$xvfb_screen" "$build_dir/bench/quorvel_benchmark"
echo
xvfb-run -a -s "$xvfb_screen" bash "$quorvel_root/scripts/measure-process.sh" "$build_dir" "${1:-5}" "${2:-3}"
