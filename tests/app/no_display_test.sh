#!/usr/bin/env bash
# Without a display the program must say so in one line and fail, not abort inside the toolkit; on
# a platform that shows no windows it must not wait for good on a window nobody sees.
set -uo pipefail
program=$1

expect_one_line_failure() {
    local what=$1 said=$2
    shift 2
    local err rc
    err=$(env "$@" "$program" 2>&1 >/dev/null)
    rc=$?
    if [[ $rc -eq 0 || $rc -ge 128 ]]; then
        echo "FAIL ($what): exit status $rc, expected a plain failure" >&2
        exit 1
    fi
    if [[ $(printf '%s\n' "$err" | wc -l) -ne 1 || $err != "ramifex: $said"* ]]; then
        echo "FAIL ($what): stderr was:" >&2
        printf '%s\n' "$err" >&2
        exit 1
    fi
    echo "ok ($what): $err"
}

no_display="cannot open a display"
# Nothing names a display.
expect_one_line_failure "no display variables" "$no_display" \
    -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM
# A display is named but cannot be opened: the toolkit's own failure is caught.
expect_one_line_failure "unreachable display" "$no_display" \
    -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb DISPLAY=:4093
for platform in offscreen minimal; do
    expect_one_line_failure "$platform platform" "the $platform platform shows no windows" \
        -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=$platform
done
