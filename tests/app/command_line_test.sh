#!/usr/bin/env bash
# The command line with no display at all: --help, --version, --render's picture, geometry files,
# and every mistake told in one line with a failure status and no output file.
set -uo pipefail
program=$1
version=$2
source "$(dirname "$0")/headless.sh"

# What is in the folder: every entry's name, kind, inode, size and time of change.
listing() {
    stat -c '%n %F %i %s %y' -- *
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

# Drawn, with no bar when standard error is no terminal and one line on standard output saying
# what was written (none with --quiet); the picture carries its scene, so it renders again.
said=$(headless --render tree.ramifex.json --output tree.png --size 320x240 --depth 6 2>../err) ||
    fail "render: $(cat ../err)"
[[ ! -s ../err && $said =~ ^"ramifex: wrote tree.png: 320 × 240 pixels, "[0-9.]+" "[KMG]?i?B" in "[0-9.]+" s"$ ]] ||
    fail "render said: $said $(cat ../err)"
said=$(headless --render tree.png --output again.png --size 320x240 --quiet 2>&1) ||
    fail "render from the picture: $said"
[[ -z $said ]] || fail "a quiet render said: $said"
cmp -s tree.png again.png || fail "the picture's scene draws another picture"
# A render is no session of the user's: nothing is kept in the data folder.
mkdir data
XDG_DATA_HOME=$PWD/data headless --render tree.ramifex.json --output kept.png --depth 4 ||
    fail "render with a data folder"
[[ -z $(ls -A data) ]] || fail "render kept something: $(find data)"
echo "ok: render"

# A name's control characters reach the terminal quoted: no escape sequence, no second line.
err=$(headless --render $'evil\e]0;title\a\n.ramifex.json' --output out.png 2>&1)
[[ $err == 'ramifex: Cannot open "evil\x1b]0;title\x07\x0a.ramifex.json": '* ]] ||
    fail "a name with control characters: $(printf '%q' "$err")"
echo "ok: control characters in a name are quoted"

# Geometry in each format; the .ply of points holds one point per sphere of the whole tree.
for file in tree.glb tree.stl tree.obj; do
    headless --export-geometry "$file" tree.ramifex.json --view 320x240 || fail "export $file"
    [[ -s $file ]] || fail "export $file wrote nothing"
done
headless --export-geometry points.ply tree.ramifex.json --whole 6 --points || fail "export points"
grep -aq "^element vertex 63$" points.ply || fail "the whole tree to depth 6 is not 63 points"
# A print leaves out the spheres under the smallest size (here 10 mm across, with the root 50 mm:
# the radius under 0.2, counted from the points) and says how many, and into how many pieces it
# falls.
small=$(perl -e 'local $/; my $d = <>; $d =~ s/^.*?end_header\n//s; my $n = 0;
    for (my $i = 0; $i < length $d; $i += 19) { $n++ if (unpack "f4", substr $d, $i, 16)[3] < 0.2 }
    print $n' points.ply)
said=$(headless --export-geometry print.stl tree.ramifex.json --whole 6 --stl-size 50 --smallest 10) ||
    fail "print: $said"
[[ $small -gt 0 && $said =~ ^"ramifex: wrote print.stl: $((63 - small)) spheres in "(one piece|[0-9]+" separate pieces")" ($small under 10 mm left out)" ]] ||
    fail "print of $((63 - small)) spheres said: $said"
rm tree.glb tree.stl tree.obj points.ply print.stl
echo "ok: export geometry"

# A write that fails part way says why in the system's words, a full disk as such, and leaves the
# earlier file as it was. A file size limit stands in for a small disk; a real one is mounted
# where that is allowed.
echo earlier >limited.obj
# The limit's signal is ignored, so that the write fails rather than the program.
err=$( (ulimit -f 64 && timeout 20 env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM \
    --ignore-signal=XFSZ "$program" --export-geometry limited.obj tree.ramifex.json --whole 12) 2>&1)
[[ $err == 'ramifex: cannot write "limited.obj": File too large' ]] || fail "over the size limit: $err"
[[ $(cat limited.obj) == earlier ]] || fail "over the size limit: the earlier file changed"
mkdir small
if mount -t tmpfs -o size=256k tmpfs small 2>/dev/null; then
    echo earlier >small/full.obj
    err=$(headless --export-geometry small/full.obj tree.ramifex.json --whole 12 2>&1)
    umount small
    [[ $err == 'ramifex: cannot write "small/full.obj": the disk is full' ]] || fail "disk full: $err"
else
    echo "note: no small disk can be mounted here: only the size limit is tried"
fi
rm -r limited.obj small
echo "ok: a write that fails says why"

# Special files that an output must not replace, and a picture cut short.
mkfifo pipe pipe.glb
mkdir folder.glb
mknod device c 1 3 2>/dev/null || { echo "note: no device node without root: a pipe stands in"; mkfifo device; }
head -c 100 tree.png >cut.png

# Each mistake: a failure status (not a crash, not a hang), one line, and the folder as it was.
expect_refused <<'CASES'
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
output is a pipe|--render tree.ramifex.json --output pipe
output is a device|--render tree.ramifex.json --output device
output is the scene|--render tree.png --output ./tree.png
output of another kind|--render tree.ramifex.json --output out.jpg
scene is a pipe|--render pipe --output out.png
picture cut short|--render cut.png --output out.png
depth given twice|--render tree.ramifex.json --output out.png --depth 9 --depth 3
options without render|tree.ramifex.json --output out.png
two scenes|tree.ramifex.json broken.ramifex.json
unknown option|--bogus
export without scene|--export-geometry out.glb
export of another kind|--export-geometry out.png tree.ramifex.json
export in no folder|--export-geometry gone/out.glb tree.ramifex.json
export over a folder|--export-geometry folder.glb tree.ramifex.json
export into a pipe|--export-geometry pipe.glb tree.ramifex.json
points into a glb|--export-geometry out.glb tree.ramifex.json --points
smallest into a glb|--export-geometry out.glb tree.ramifex.json --smallest 1
print size of zero|--export-geometry out.stl tree.ramifex.json --stl-size 0
quiet without a job|--quiet
camera into a ply|--export-geometry out.ply tree.ramifex.json --camera
view and whole|--export-geometry out.glb tree.ramifex.json --view 640x480 --whole 4
whole too deep|--export-geometry out.glb tree.ramifex.json --whole 25
view without height|--export-geometry out.glb tree.ramifex.json --view 640
export and render|--render tree.ramifex.json --output out.png --export-geometry out.glb
whole without export|tree.ramifex.json --whole 4
CASES

# Large spheres that all show, at depth 24: a render (or export) that would take hours, and a whole
# tree whose file takes seconds to write. A signal once the job is under way ends it, in every
# phase: the program stops within a slice and exits by itself with 128 + the signal's number (where
# the signal's default action would kill it), leaving neither the output file nor a temporary one,
# and an earlier file as it was. Run in a folder of their own, so that the reports stay out of it.
mkdir stopped
cd stopped || exit 1
cat >slow.ramifex.json <<'SCENE'
{"format": "ramifex-scene", "version": 1, "iterations": 24, "viewOffset": [0, 0, -3],
 "base": {"angle": 20, "axis": [0.6, 0.8, 0], "scale": 1, "offset": 0, "colour": [1, 1, 1], "colourRatio": 0},
 "branch 1": {"angle": 12, "axis": [0, 0, 1], "scale": 0.999, "offset": 0.2, "colour": [0.3, 0.5, 1], "colourRatio": 0.1},
 "branch 2": {"angle": -15, "axis": [1, 0, 0], "scale": 0.999, "offset": 0.2, "colour": [1, 0.6, 0.2], "colourRatio": 0.1}}
SCENE
echo earlier >earlier.obj
before=$(ls -A)
# Whether the process holds the unnamed file that its output is written to until it is whole.
writing() {
    ls -l "/proc/$1/fd" 2>/dev/null | grep -q " $PWD/#[0-9]* (deleted)$"
}
while IFS='|' read -r signal phase args; do
    report=../$signal-$phase.report
    read -ra words <<<"$args"
    start_reporting "$report" "${words[@]}"
    if [[ $phase == writing ]]; then
        expect_stopped_by "$signal" "$report" writing "$pid"
    else
        expect_stopped_by "$signal" "$report" catches "$pid" "$signal"
    fi
    [[ $(cat earlier.obj) == earlier ]] || fail "SIG$signal while $phase: earlier.obj changed"
    echo "ok: SIG$signal stops a job while $phase ($(ending "$report"))"
done <<'CASES'
TERM|drawing|--render slow.ramifex.json --output slow.png
INT|gathering|--export-geometry slow.glb slow.ramifex.json
INT|writing|--export-geometry earlier.obj ../tree.ramifex.json --whole 20
TERM|writing|--export-geometry earlier.obj ../tree.ramifex.json --whole 20
CASES
