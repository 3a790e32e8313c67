#!/usr/bin/env bash
# The command line with no display at all: --help, --version, --render's picture, and every mistake
# told in one line with a failure status and no output file.
set -uo pipefail
program=$1
version=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# The program as it runs where there is no display.
headless() {
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" "$@"
}

cat >tree.ramifex.json <<'SCENE'
{"format": "ramifex-scene", "version": 1, "iterations": 8, "viewOffset": [0, 0, -10],
 "base": {"angle": 30, "axis": [0, 1, 0], "scale": 1, "offset": 0, "colour": [1, 1, 1], "colourRatio": 0},
 "branch 1": {"angle": 40, "axis": [0, 0, 1], "scale": 0.7, "offset": 1.5, "colour": [0.2, 0.9, 0.3], "colourRatio": 0.3},
 "branch 2": {"angle": -70, "axis": [1, 0, 0], "scale": 0.65, "offset": 1.8, "colour": [0.9, 0.5, 0.1], "colourRatio": 0.3}}
SCENE
echo '{"format": "ramifex-scene"}' >broken.ramifex.json

headless --help | grep -q -- "--render" || fail "--help lists no --render"
usage=$(headless --help | head -n 1)
[[ $usage == "Usage: ramifex [options] [SCENE]" ]] || fail "--help: $usage"
[[ $(headless --version) == "ramifex $version" ]] || fail "--version: $(headless --version)"
echo "ok: --help and --version"

# Drawn, with nothing said when standard error is no terminal; the picture carries its scene, so
# it renders again.
err=$(headless --render tree.ramifex.json --output tree.png --size 320x240 --depth 6 2>&1) ||
    fail "render: $err"
[[ -z $err ]] || fail "render said: $err"
headless --render tree.png --output again.png --size 320x240 || fail "render from the picture"
cmp -s tree.png again.png || fail "the picture's scene draws another picture"
echo "ok: render"

# Each mistake: a failure status (not a crash), one line, and no output file.
while IFS='|' read -r what args; do
    rm -f out.png
    read -ra words <<<"$args"
    err=$(headless "${words[@]}" 2>&1 >/dev/null)
    rc=$?
    [[ $rc -ne 0 && $rc -lt 128 ]] || fail "$what: exit status $rc"
    [[ $(printf '%s\n' "$err" | wc -l) -eq 1 && $err == ramifex:* ]] || fail "$what: said $err"
    [[ ! -e out.png ]] || fail "$what: left out.png"
    echo "ok ($what): $err"
done <<'CASES'
no scene|--render --output out.png
no output|--render tree.ramifex.json
missing scene|--render missing.ramifex.json --output out.png
broken scene|--render broken.ramifex.json --output out.png
size without height|--render tree.ramifex.json --output out.png --size 640
size of zero|--render tree.ramifex.json --output out.png --size 0x480
size too large|--render tree.ramifex.json --output out.png --size 99999x480
depth of zero|--render tree.ramifex.json --output out.png --depth 0
depth too deep|--render tree.ramifex.json --output out.png --depth 31
output in no folder|--render tree.ramifex.json --output gone/out.png
output is a folder|--render tree.ramifex.json --output .
options without render|tree.ramifex.json --output out.png
two scenes|tree.ramifex.json broken.ramifex.json
unknown option|--bogus
CASES
