# Sourced by the command-line tests, with $program set: a folder of their own to work in, and the
# program as it runs where there is no display.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# The program as it runs where there is no display, with every signal's default action, as a
# terminal's foreground job has them (a script's background job would start with SIGINT and SIGQUIT
# ignored); one that hangs ends with status 124.
without_display=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM --default-signal "$program")
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

# Polls until the command succeeds, for at most $1 seconds; fails where it never does.
wait_until() {
    local tries=$(($1 * 20))
    shift
    until "$@"; do
        ((--tries > 0)) || return 1
        sleep 0.05
    done
}

# Starts the program in the background, with no display and nothing on standard input, under a
# parent that writes the program's process id to the file $1 and then how it ended: "exit N" when
# it exited by itself, "signal N" when a signal killed it (a shell's status is 128 + N for both).
# Sets `pid` to the program's process.
start_reporting() {
    local report=$1
    shift
    perl -e '
        my $report = shift;
        my $child = fork() // die "fork: $!";
        if ($child == 0) { exec { $ARGV[0] } @ARGV; exit 127; }
        open(my $out, ">", $report) or die; print $out "$child\n"; close $out;
        waitpid($child, 0);
        open($out, ">>", $report) or die;
        print $out ($? & 127 ? "signal " . ($? & 127) : "exit " . ($? >> 8)), "\n";
        close $out;
    ' "$report" "${without_display[@]}" "$@" </dev/null &
    wait_until 10 test -s "$report" || fail "the program did not start"
    pid=$(head -n 1 "$report")
}

# How the program that start_reporting started ended, once it has: "exit N" or "signal N".
ending() {
    sed -n 2p "$1"
}
ended() {
    [[ -n $(ending "$1") ]]
}

# Whether the process catches the signal (SIGTERM, SIGINT) with a handler of its own.
catches() {
    local number mask
    number=$(kill -l "$2")
    mask=$(awk '/^SigCgt:/ { print $2 }' "/proc/$1/status" 2>/dev/null) || return 1
    [[ -n $mask ]] && (((16#$mask >> (number - 1)) & 1))
}

# Once the command after the signal and the report succeeds (the job under way), sends the signal
# to the program that start_reporting started, which then exits by itself with 128 + the signal's
# number (where the signal's default action would kill it), leaving the folder as $before lists it.
expect_stopped_by() {
    local signal=$1 report=$2
    shift 2
    if ! wait_until 20 "$@"; then
        kill -s KILL "$pid"
        fail "SIG$signal: the job never got under way, catching it"
    fi
    kill -s "$signal" "$pid"
    if ! wait_until 10 ended "$report"; then
        kill -s KILL "$pid"
        fail "SIG$signal: still running ten seconds later"
    fi
    [[ $(ending "$report") == "exit $((128 + $(kill -l "$signal")))" ]] ||
        fail "SIG$signal: $(ending "$report"), not an exit with 128 + the signal's number"
    [[ $(ls -A) == "$before" ]] || fail "SIG$signal: left $(ls -A)"
}
