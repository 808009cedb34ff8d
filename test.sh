#!/usr/bin/env bash
# Builds quorvel and runs its whole test suite on the real driver (Mesa's llvmpipe) under its own
# virtual X server. Exits non-zero when any test fails.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/scripts/common.sh"

ensure_packages "${build_packages[@]}" "${headless_packages[@]}" apitrace
build_project
# One test at a time: a program drawing flat out keeps Xvfb so busy that it now and then refuses a
# new connection (EAGAIN), which would fail whichever test was starting beside it.
xvfb-run -a -s "$xvfb_screen" ctest --test-dir "$build_dir" --output-on-failure
