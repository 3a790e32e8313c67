#!/usr/bin/env bash
# The .glb files of --export-geometry, of what the view shows with its camera, of a whole tree
# large enough to be split into several meshes, and of a view that shows nothing, pass the Khronos
# glTF validator with no errors. Skipped (status 77) where scripts/install-deps could not install
# the validator.
set -uo pipefail
program=$1
here=$(cd "$(dirname "$0")" && pwd)
validator=${XDG_CACHE_HOME:-$HOME/.cache}/ramifex/npm/node_modules
if [[ ! -d $validator/gltf-validator ]] || ! command -v node >/dev/null; then
    echo "SKIP: no gltf-validator in $validator (scripts/install-deps installs it from npm)"
    exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1

cat >tree.ramifex.json <<'SCENE'
{"format": "ramifex-scene", "version": 1, "iterations": 12, "viewOffset": [0.5, 0, -6],
 "base": {"angle": 30, "axis": [0, 1, 0], "scale": 1, "offset": 0, "colour": [1, 1, 1], "colourRatio": 0},
 "branch 1": {"angle": 40, "axis": [0, 0, 1], "scale": 0.7, "offset": 1.5, "colour": [0.2, 0.9, 0.3], "colourRatio": 0.3},
 "branch 2": {"angle": -70, "axis": [1, 0, 0], "scale": 0.65, "offset": 1.8, "colour": [0.9, 0.5, 0.1], "colourRatio": 0.3}}
SCENE
run() {
    timeout 60 env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" "$@"
}
run --export-geometry view.glb tree.ramifex.json --view 800x600 --camera || exit 1
run --export-geometry whole.glb tree.ramifex.json --whole 14 || exit 1
sed 's/"viewOffset": \[0.5, 0, -6\]/"viewOffset": [500, 0, -6]/' tree.ramifex.json >away.ramifex.json
run --export-geometry nothing.glb away.ramifex.json || exit 1
for file in view.glb whole.glb nothing.glb; do
    NODE_PATH=$validator node "$here/validate_gltf.js" "$file" || exit 1
done
