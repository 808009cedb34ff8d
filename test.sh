#!/usr/bin/env bash
# Builds quorvel and runs its whole test suite on the real driver (Mesa's llvmpipe) under its own
# virtual X server. Exits non-zero when any test fails.
#   ./test.sh             the release build, in build/
#   ./test.sh --sanitize  the same suite built with AddressSanitizer, UndefinedBehaviorSanitizer and
#                         LeakSanitizer, in build-sanitize/
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/scripts/common.sh"

ensure_packages "${build_packages[@]}" "${headless_packages[@]}" apitrace
test_environment=()
if [ "${1:-}" = "--sanitize" ]; then
    build_dir=$quorvel_root/build-sanitize
    build_project -DQUORVEL_SANITIZE=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo
    # Mesa unloads its driver when the display closes, before the leak check at exit: memory the
    # driver still holds from its own globals would then show as leaks from an unknown module.
    # Loaded from the start, the driver stays mapped and its references count.
    mesa_driver=$(find /usr/lib/*/dri /usr/lib/dri -name swrast_dri.so -print -quit 2>/dev/null || true)
    test_environment=(
        # Preloaded libraries (the driver, the tests' probe, apitrace's wrapper) come before the
        # sanitizer runtime.
        ASAN_OPTIONS=verify_asan_link_order=0:detect_leaks=1
        LSAN_OPTIONS=suppressions=$quorvel_root/tests/lsan.supp:print_suppressions=0
        UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
        LD_PRELOAD=$mesa_driver
    )
else
    build_project
fi
# One test at a time: a program drawing flat out keeps Xvfb so busy that it now and then refuses a
# new connection (EAGAIN), which would fail whichever test was starting beside it.
xvfb-run -a -s "$xvfb_screen" env "${test_environment[@]}" ctest --test-dir "$build_dir" --output-on-failure
