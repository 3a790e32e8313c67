# A .vtp of points read by VTK's own XML reader, compared point for point with the .ply of points
# of the same spheres.
import struct
import sys

from vtkmodules.vtkIOXML import vtkXMLPolyDataReader

vtp, ply = sys.argv[1:]
reader = vtkXMLPolyDataReader()
reader.SetFileName(vtp)
reader.Update()
if reader.GetErrorCode() != 0:
    sys.exit(f"VTK could not read {vtp}")
data = reader.GetOutput()
radii = data.GetPointData().GetArray("radius")
colours = data.GetPointData().GetArray("colour")
if radii is None or colours is None or colours.GetNumberOfComponents() != 3:
    sys.exit(f"{vtp} has no radius or colour array of three components")
if colours.GetDataTypeAsString() != "unsigned char":
    sys.exit(f"colours of {colours.GetDataTypeAsString()}")
points = [data.GetPoint(i) for i in range(data.GetNumberOfPoints())]
radius = [radii.GetValue(i) for i in range(radii.GetNumberOfTuples())]
colour = [tuple(int(c) for c in colours.GetTuple3(i)) for i in range(colours.GetNumberOfTuples())]

bytes_ = open(ply, "rb").read()
start = bytes_.index(b"end_header\n") + len(b"end_header\n")
rows = list(struct.iter_unpack("<4f3B", bytes_[start:]))
counts = (len(points), len(radius), len(colour), data.GetNumberOfVerts())
if counts != (len(rows),) * 4 or not rows:
    sys.exit(f"vtp points, radii, colours and cells {counts} for {len(rows)} ply points")
for i, row in enumerate(rows):
    if points[i] != row[:3] or radius[i] != row[3] or colour[i] != row[4:]:
        sys.exit(f"point {i}: vtp {points[i]} {radius[i]} {colour[i]}, ply {row}")
print(f"ok: VTK reads the .vtp: {len(rows)} points with their radii and colours, as in the .ply")
