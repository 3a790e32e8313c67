#!/usr/bin/env bash
# The geometry files of --export-geometry read by the tools that users open them with, each where
# it is installed (scripts/install-deps installs the first two):
# - the Khronos glTF validator: .glb files of what the view shows with its camera, of a whole tree
#   large enough to be split into several meshes, and of a view that shows nothing, with no errors;
# - VTK's own XML reader (Debian's python3-vtk9), as ParaView reads: a .vtp of a point per sphere
#   of the whole tree, with the radius and colour arrays, the same places (+Z up both), radii and
#   colours as the .ply of points;
# - Blender in background mode, with the add-on from dist/blender importing that .ply.
# Skipped (status 77) where none of them is.
set -uo pipefail
program=$1
here=$(cd "$(dirname "$0")" && pwd)
addon=$here/../../dist/blender/ramifex_points.py
python=/usr/bin/python3
validator=${XDG_CACHE_HOME:-$HOME/.cache}/ramifex/npm/node_modules
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
    timeout 60 env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" "$@" || exit 1
}
readers=0

if [[ -d $validator/gltf-validator ]] && command -v node >/dev/null; then
    run --export-geometry view.glb tree.ramifex.json --view 800x600 --camera
    run --export-geometry whole.glb tree.ramifex.json --whole 14
    sed 's/"viewOffset": \[0.5, 0, -6\]/"viewOffset": [500, 0, -6]/' tree.ramifex.json >away.ramifex.json
    run --export-geometry nothing.glb away.ramifex.json
    for file in view.glb whole.glb nothing.glb; do
        NODE_PATH=$validator node "$here/validate_gltf.js" "$file" || exit 1
    done
    ((++readers))
else
    echo "SKIP: no gltf-validator in $validator (scripts/install-deps installs it from npm)"
fi

run --export-geometry points.ply tree.ramifex.json --whole 10 --points
if "$python" -c 'import vtkmodules.vtkIOXML' 2>/dev/null; then
    run --export-geometry points.vtp tree.ramifex.json --whole 10
    "$python" "$here/vtk_points_check.py" points.vtp points.ply || exit 1
    ((++readers))
else
    echo "SKIP: no VTK for $python (scripts/install-deps installs python3-vtk9)"
fi

if command -v blender >/dev/null; then
    head -c 1000 points.ply >cut.ply
    said=$(timeout 120 blender -b --factory-startup --python-exit-code 1 \
        --python "$here/blender_points_check.py" -- "$addon" points.ply cut.ply 2>&1) || {
        echo "$said" | tail -n 20
        exit 1
    }
    echo "$said" | grep '^ok'
    ((++readers))
else
    echo "SKIP: no Blender"
fi
((readers > 0)) || exit 77
