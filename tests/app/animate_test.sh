#!/usr/bin/env bash
# Animations, turntables and videos drawn with no display at all: videos read back through
# FFmpeg's libraries, numbered pictures equal to --render of their scenes, frame ranges shared out
# with GNU parallel, and every mistake told in one line with a failure status and no output.
set -uo pipefail
program=$1
probe=$2
headless_seconds=60
source "$(dirname "$0")/headless.sh"

listing() {
    find . -printf '%p %y %i %s %T@\n' | sort
}

# An orange root, so that a video's red and blue swapped are far from the picture.
cat >tree.ramifex.json <<'SCENE'
{"format": "ramifex-scene", "version": 1, "iterations": 6, "viewOffset": [0, 0, -8],
 "base": {"angle": 30, "axis": [0, 1, 0], "scale": 1, "offset": 0, "colour": [1, 0.5, 0.1], "colourRatio": 0},
 "branch 1": {"angle": 40, "axis": [0, 0, 1], "scale": 0.7, "offset": 1.5, "colour": [0.2, 0.9, 0.3], "colourRatio": 0.3},
 "branch 2": {"angle": -70, "axis": [1, 0, 0], "scale": 0.65, "offset": 1.8, "colour": [0.9, 0.5, 0.1], "colourRatio": 0.3}}
SCENE
echo '{"format": "ramifex-animation", "version": 1, "loop": false, "keyframes": []}' \
    >empty.ramifex-anim.json
turntable=(--turntable tree.ramifex.json --seconds 0.6 --fps 10)
small=(--size 160x120)

# Six frames as pictures, and as both kinds of video.
mkdir frames
headless "${turntable[@]}" "${small[@]}" --output frames/%05d.png || fail "turntable to pictures"
[[ $(ls frames | wc -l) -eq 6 && -f frames/00005.png ]] || fail "pictures: $(ls frames)"
for video in turntable.mp4:h264 turntable.webm:vp9; do
    file=${video%%:*}
    err=$(headless "${turntable[@]}" "${small[@]}" --output "$file" --quiet 2>&1) ||
        fail "$file: $err"
    [[ -z $err ]] || fail "$file said: $err"
    read -r codec size rate count psnr colour tags index < <("$probe" "$file" frames/00000.png)
    [[ "$codec $size $rate $count" == "codec=${video#*:} size=160x120 rate=10/1 frames=6" ]] ||
        fail "$file: $codec $size $rate $count"
    # Tagged, so that players convert back as it was converted; an MP4 plays as it loads.
    [[ $tags == tags=bt709/bt709/bt709 ]] || fail "$file: $tags"
    [[ $file != *.mp4 || $index == index=front ]] || fail "$file: its index comes at the $index"
    # Right, the first frame is some 40 dB from its picture and its colours a few percent off;
    # with red and blue swapped, 25 dB and 75 percent.
    awk -v p="${psnr#psnr=}" -v c="${colour#colour=}" 'BEGIN { exit !(p >= 35 && c <= 10) }' ||
        fail "$file: first frame $psnr dB, $colour percent"
    echo "ok: $file: $codec $size $rate $count $psnr $colour $tags $index"
done
ls -A | grep -q part && fail "a partial video is left: $(ls -A)"

# A link at the name that partial videos once had is left alone: each video is written to a new
# file of its own, made where nothing was.
echo kept >kept.txt
ln -s kept.txt .linked.mp4.part
headless "${turntable[@]}" "${small[@]}" --frames 0-1 --output linked.mp4 || fail "video by a link"
[[ $(cat kept.txt) == kept && -f linked.mp4 && ! -L linked.mp4 && -L .linked.mp4.part ]] ||
    fail "the link at .linked.mp4.part was followed: $(ls -l kept.txt linked.mp4)"
rm kept.txt .linked.mp4.part linked.mp4
echo "ok: a link at a partial video's name is not followed"

# A numbered picture carries its scene, and --render of it draws the same file.
headless --render frames/00004.png --output again.png --size 160x120 || fail "render frame 4"
cmp -s frames/00004.png again.png || fail "frame 4 differs from --render of its scene"
echo "ok: a frame is --render of its scene"

# An odd size gives an even video, with a note.
err=$(headless "${turntable[@]}" --size 161x121 --frames 0-1 --output odd.mp4 2>&1) || fail "odd: $err"
[[ $err == *"note"*"160x120"* ]] || fail "odd size said: $err"
[[ $("$probe" odd.mp4 frames/00000.png) == *"size=160x120"*"frames=2"* ]] || fail "odd size video"
echo "ok: odd sizes: $err"

# Two ranges drawn at once by GNU parallel give the frames of one run.
mkdir shared
parallel --halt now,fail=1 timeout 60 "${without_display[@]}" "${turntable[@]}" "${small[@]}" \
    --output shared/%05d.png --frames {} ::: 0-2 3-5 || fail "parallel ranges"
diff -r frames shared >/dev/null || fail "frames drawn in two ranges differ from one run's"
echo "ok: two ranges in parallel equal one run"

headless --encode frames/%05d.png --fps 10 --output joined.webm || fail "encode"
[[ $("$probe" joined.webm frames/00000.png) == "codec=vp9 size=160x120 rate=10/1 frames=6"* ]] ||
    fail "encoded: $("$probe" joined.webm frames/00000.png)"
echo "ok: pictures joined into a video"

# Pictures with a gap join only as a range that ends before it; the largest pictures that --animate
# writes join too.
mkdir gap piped large
cp frames/0000[0-2].png frames/00005.png gap/
headless --encode gap/%05d.png --frames 1-2 --output gap.mp4 || fail "encode a range before a gap"
[[ $("$probe" gap.mp4 frames/00000.png) == *"frames=2"* ]] || fail "range before a gap"
headless --turntable tree.ramifex.json --seconds 0.1 --fps 10 --size 8192x4320 --depth 2 \
    --output large/%05d.png &&
    headless --encode large/%05d.png --output large.mp4 || fail "encode the largest pictures"
[[ $("$probe" large.mp4 large/00000.png) == *"size=8192x4320"*"frames=1"* ]] ||
    fail "the largest pictures: $("$probe" large.mp4 large/00000.png)"
rm -r large large.mp4 gap.mp4
echo "ok: a range before a gap, and the largest pictures, joined"

# A pipe among the pictures is refused, not waited on; so is a gap, a picture too large for the
# program to have drawn, and a link at the name partial videos once had is left as it was.
cp frames/0000[0-1].png piped/
mkfifo pipe.mp4 piped/00002.png
mkdir huge
# Its header says 8200x16; its data ends the first row.
perl -MCompress::Zlib -e '
    sub chunk { my $body = $_[0] . $_[1]; pack("N", length $_[1]) . $body . pack("N", crc32($body)) }
    print "\x89PNG\r\n\x1a\n", chunk("IHDR", pack("NNC5", 8200, 16, 8, 2, 0, 0, 0)),
        chunk("IDAT", compress("")), chunk("IEND", "");
' >huge/00000.png
ln -s tree.ramifex.json .out.mp4.part
# Keyframes far apart: more frames than any animation is counted to have.
key=$(printf '{"scene": %s, "seconds": 1e19, "easing": "linear"}' "$(tr -d '\n' <tree.ramifex.json)")
printf '{"format": "ramifex-animation", "version": 1, "loop": false, "keyframes": [%s, %s]}' \
    "$key" "$key" >far.ramifex-anim.json
# Frames that would be written over the picture or scene that they are drawn from.
mkdir own linked
cp frames/00002.png own/
ln -s ../tree.ramifex.json linked/00000.png
expect_refused <<'CASES'
unknown output format|--turntable tree.ramifex.json --seconds 1 --output out.avi
sequence without a number|--turntable tree.ramifex.json --seconds 1 --output out/frame.png
output in no folder|--turntable tree.ramifex.json --seconds 1 --output gone/%05d.png
output is a pipe|--turntable tree.ramifex.json --seconds 1 --output pipe.mp4 --frames 0-0
samples above 4|--render tree.ramifex.json --output out.png --samples 5
samples of zero|--turntable tree.ramifex.json --seconds 1 --output out.mp4 --samples 0
too large to smooth|--render tree.ramifex.json --output out.png --size 8000x8000 --samples 4
empty frame range|--turntable tree.ramifex.json --seconds 1 --output out.mp4 --frames 5-3
frames past the end|--turntable tree.ramifex.json --seconds 1 --output out.mp4 --frames 0-30
frames of a picture|--render tree.ramifex.json --output out.png --frames 0-1
turntable without seconds|--turntable tree.ramifex.json --output out.mp4
seconds of an animation|--animate tree.ramifex.json --seconds 5 --output out.mp4 --size 16x16
seconds of zero|--turntable tree.ramifex.json --seconds 0 --output out.mp4
fps of zero|--turntable tree.ramifex.json --seconds 1 --fps 0 --output out.mp4
animation without keyframes|--animate empty.ramifex-anim.json --output out.mp4
animation missing|--animate missing.ramifex-anim.json --output out.mp4
two at once|--animate empty.ramifex-anim.json --render --output out.mp4
encode with no pictures|--encode none/%05d.png --output out.mp4
encode into pictures|--encode frames/%05d.png --output out/%05d.png
encode over a gap|--encode gap/%05d.png --output out.mp4
encode a range over a gap|--encode gap/%05d.png --frames 2-5 --output out.mp4
encode a pipe|--encode piped/%05d.png --output out.mp4
encode too large a picture|--encode huge/%05d.png --output out.mp4
keyframes far apart|--animate far.ramifex-anim.json --output out.mp4
turntable over its picture|--turntable own/00002.png --seconds 1 --output own/%05d.png
animation over its scene|--animate tree.ramifex.json --output linked/%05d.png
CASES

# Stopped by a signal while it writes, a video stops between two frames and the program exits by
# itself with 128 + the signal's number, leaving neither the video nor its partial file (which each
# signal's default action would leave behind): Ctrl-C, a polite kill, the terminal closing,
# SIGQUIT and a reader gone. Run in a folder of its own, so that the reports stay out of it.
mkdir interrupted
cd interrupted || exit 1
before=$(ls -A)
for signal in INT TERM HUP QUIT PIPE; do
    report=../$signal.report
    start_reporting "$report" --turntable ../tree.ramifex.json --seconds 600 --depth 12 \
        --output long.mp4
    under_way() {
        compgen -G '.long.mp4.*.part' >/dev/null && catches "$pid" "$signal"
    }
    expect_stopped_by "$signal" "$report" under_way
    echo "ok: SIG$signal stops a video and leaves no file"
done
