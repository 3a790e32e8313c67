#!/usr/bin/env bash
# A 48-frame turntable of the wide-flat scene at depth 18, 640x480, one sample, drawn with no
# display into an MP4 and into numbered PNG pictures: seconds per frame against one --render of the
# scene (which the frames should cost no more than), the encoder's share of the MP4's time, and how
# far resident memory grows over the MP4's run. The last line sums it up:
#   turntable-frame-ratio A  encode-share B  anim-rss-growth-mb C
set -euo pipefail
program=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
run=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program")

cat >wide-flat.ramifex.json <<'SCENE'
{"format": "ramifex-scene", "version": 1, "iterations": 18, "viewOffset": [0, -3.5, -10],
 "base": {"angle": -90, "axis": [1, 0, 0], "scale": 1, "offset": 0, "colour": [1, 1, 1], "colourRatio": 0},
 "branch 1": {"angle": 62, "axis": [0.04, 1, 0], "scale": 0.74, "offset": 1.7, "colour": [0.2, 0.9, 0.3], "colourRatio": 0.3},
 "branch 2": {"angle": -62, "axis": [-0.04, 1, 0], "scale": 0.74, "offset": 1.7, "colour": [0.9, 0.5, 0.1], "colourRatio": 0.3}}
SCENE
turntable=(--turntable wide-flat.ramifex.json --seconds 1.6 --fps 30 --size 640x480)
frames=48

now() { date +%s.%N; }
seconds_of() {
    local start
    start=$(now)
    "$@" >/dev/null
    echo "$(now) - $start" | bc -l
}

# Resident memory every quarter second while the command runs, one figure in kB a line, in the
# file named first.
with_memory() {
    local file=$1
    shift
    "$@" &
    local pid=$!
    : >"$file"
    while kill -0 "$pid" 2>/dev/null; do
        awk '/^VmRSS/ { print $2 }' "/proc/$pid/status" 2>/dev/null >>"$file" || true
        sleep 0.25
    done
    wait "$pid"
}

# Growth: the largest figure of the run's last quarter over the largest of its second quarter, in
# MB. The first quarter sets up the picture and fills the encoder's frames in flight (the frames it
# looks ahead, and one for each of its threads), which a longer video does not add to.
growth_of() {
    awk '{ rss[NR] = $1 } END {
        q = int(NR / 4); if (q < 1) q = 1
        for (i = q + 1; i <= 2 * q; i++) if (rss[i] > first) first = rss[i]
        for (i = NR - q + 1; i <= NR; i++) if (rss[i] > last) last = rss[i]
        printf "%.1f", (last - first) / 1024 }' "$1"
}

# The best of three, for one picture.
render=$(for _ in 1 2 3; do seconds_of "${run[@]}" --render wide-flat.ramifex.json --output one.png; done | sort -n | head -1)
mkdir frames
png=$(seconds_of with_memory rss-png.txt "${run[@]}" "${turntable[@]}" --output frames/%05d.png)
mp4=$(seconds_of with_memory rss-mp4.txt "${run[@]}" "${turntable[@]}" --output turntable.mp4)
encode=$(seconds_of "${run[@]}" --encode frames/%05d.png --fps 30 --output encoded.mp4)

printf 'one --render:           %.3f s\n' "$render"
printf 'turntable to PNG:       %.3f s per frame\n' "$(echo "$png / $frames" | bc -l)"
printf 'turntable to MP4:       %.3f s per frame\n' "$(echo "$mp4 / $frames" | bc -l)"
printf 'PNGs encoded to MP4:    %.3f s per frame (read back and encoded)\n' "$(echo "$encode / $frames" | bc -l)"
printf 'resident memory growth: %s MB to PNG, %s MB to MP4 (%s kB at most)\n' \
    "$(growth_of rss-png.txt)" "$(growth_of rss-mp4.txt)" "$(sort -n rss-mp4.txt | tail -1)"
printf 'turntable-frame-ratio %.3f  encode-share %.3f  anim-rss-growth-mb %s\n' \
    "$(echo "$mp4 / $frames / $render" | bc -l)" "$(echo "$encode / $mp4" | bc -l)" "$(growth_of rss-mp4.txt)"
