#!/usr/bin/env bash
# The release binary carries Debian's hardening: PIE, full RELRO, stack protector and fortified
# libc calls. Argument: the binary.
set -u
binary=$1
failures=0
check() {
    if eval "$2"; then echo "ok: $1"; else echo "MISSING: $1"; failures=$((failures + 1)); fi
}
check "position-independent executable" "readelf -h '$binary' | grep -q 'Type:.*DYN' && readelf -d '$binary' | grep -q 'PIE'"
check "read-only relocations" "readelf -l '$binary' | grep -q GNU_RELRO"
check "immediate binding (full RELRO)" "readelf -d '$binary' | grep -q BIND_NOW"
check "stack protector" "nm -D '$binary' | grep -q __stack_chk_fail"
check "fortified libc calls" "nm -D '$binary' | grep -q '_chk@'"
exit $failures
