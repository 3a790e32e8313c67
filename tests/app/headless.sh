# Sourced by the command-line tests, with $program set: a folder of their own to work in, and the
# program as it runs where there is no display.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# The program as it runs where there is no display, with SIGINT's default action, as a terminal's
# foreground job has it (a script's background job would start with SIGINT ignored); one that hangs
# ends with status 124.
without_display=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM --default-signal=INT "$program")
headless() {
    timeout "${headless_seconds:-20}" "${without_display[@]}" "$@"
}

# Each case on standard input, "what|arguments", is a mistake: a failure status (not a crash, not a
# hang), one line, and the folder as it was, as the caller's `listing` shows it.
expect_refused() {
    local before what args words err rc
    before=$(listing)
    while IFS='|' read -r what args; do
        read -ra words <<<"$args"
        err=$(headless "${words[@]}" 2>&1 >/dev/null)
        rc=$?
        [[ $rc -ne 0 && $rc -ne 124 && $rc -lt 128 ]] || fail "$what: exit status $rc"
        [[ $(printf '%s\n' "$err" | wc -l) -eq 1 && $err == ramifex:* ]] || fail "$what: said $err"
        [[ $(listing) == "$before" ]] ||
            fail "$what: changed the folder: $(diff <(echo "$before") <(listing))"
        echo "ok ($what): $err"
    done
}
