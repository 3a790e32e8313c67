#!/usr/bin/env bash
# A .vtp of points read back by VTK's own XML reader (Debian's python3-vtk9, as ParaView reads
# it): a point per sphere of the whole tree, with the radius and colour arrays, at the same places
# (+Z up both), radii and colours as the .ply of points. Skipped (status 77) without the reader.
set -uo pipefail
program=$1
python=/usr/bin/python3
if ! "$python" -c 'import vtkmodules.vtkIOXML' 2>/dev/null; then
    echo "SKIP: no VTK for $python (scripts/install-deps installs python3-vtk9)"
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
run --export-geometry tree.vtp tree.ramifex.json --whole 10 || exit 1
run --export-geometry tree.ply tree.ramifex.json --whole 10 --points || exit 1
"$python" - <<'CHECK'
import struct, sys
from vtkmodules.vtkIOXML import vtkXMLPolyDataReader

reader = vtkXMLPolyDataReader()
reader.SetFileName("tree.vtp")
reader.Update()
if reader.GetErrorCode() != 0:
    sys.exit("VTK could not read tree.vtp")
data = reader.GetOutput()
radii = data.GetPointData().GetArray("radius")
colours = data.GetPointData().GetArray("colour")
if radii is None or colours is None or colours.GetNumberOfComponents() != 3:
    sys.exit("tree.vtp has no radius or colour array of three components")
if colours.GetDataTypeAsString() != "unsigned char":
    sys.exit(f"colours of {colours.GetDataTypeAsString()}")
points = [data.GetPoint(i) for i in range(data.GetNumberOfPoints())]
radius = [radii.GetValue(i) for i in range(radii.GetNumberOfTuples())]
colour = [tuple(int(c) for c in colours.GetTuple3(i)) for i in range(colours.GetNumberOfTuples())]

ply = open("tree.ply", "rb").read()
start = ply.index(b"end_header\n") + len(b"end_header\n")
rows = [struct.unpack_from("<4f3B", ply, start + 19 * i) for i in range((len(ply) - start) // 19)]
counts = (len(rows), len(points), len(radius), len(colour), data.GetNumberOfVerts())
if counts != (1023,) * 5:
    sys.exit(f"ply points, vtp points, radii, colours and cells: {counts}")
for i, row in enumerate(rows):
    if points[i] != row[:3] or radius[i] != row[3] or colour[i] != row[4:]:
        sys.exit(f"point {i}: vtp {points[i]} {radius[i]} {colour[i]}, ply {row}")
print("ok: VTK reads the .vtp: 1023 points with their radii and colours, as in the .ply")
CHECK
