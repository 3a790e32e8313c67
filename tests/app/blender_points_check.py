# Run by Blender in background mode: the add-on in dist/blender imports a .ply of points as one
# object whose geometry nodes put a sphere of each point's radius on each point, coloured by the
# point's colour in linear light; and refuses a file that is not such a .ply.
import runpy
import struct
import sys

import bpy

addon_path, ply, broken = sys.argv[sys.argv.index("--") + 1:]
addon = runpy.run_path(addon_path)  # the add-on's names, as Blender loads them
addon["register"]()
bpy.ops.wm.read_factory_settings(use_empty=True)
if bpy.ops.import_scene.ramifex_points(filepath=ply) != {"FINISHED"}:
    sys.exit("the add-on did not import the points")

data = open(ply, "rb").read()
start = data.index(b"end_header\n") + len(b"end_header\n")
rows = list(struct.iter_unpack("<4f3B", data[start:]))
spheres = bpy.data.objects[0]
colours = spheres.data.attributes["colour"].data
for i, row in enumerate(rows):
    expected = [addon["linear"](byte) for byte in row[4:]]
    if any(abs(a - b) > 1e-6 for a, b in zip(colours[i].color[:3], expected)):
        sys.exit(f"point {i}: colour {colours[i].color[:3]}, not {expected}")

# Each instance sits on a point, scaled by its radius.
placed = []
for instance in bpy.context.evaluated_depsgraph_get().object_instances:
    if instance.is_instance and instance.parent.original == spheres:
        placed.append((*instance.matrix_world.translation, instance.matrix_world.to_scale()[0]))
wanted = sorted(tuple(round(v, 4) for v in row[:4]) for row in rows)
found = sorted(tuple(round(v, 4) for v in p) for p in placed)
if found != wanted:
    sys.exit(f"{len(found)} spheres placed for {len(wanted)} points, or placed elsewhere")

# An operator that reports an error raises it when a script calls it.
bpy.ops.wm.read_factory_settings(use_empty=True)
try:
    bpy.ops.import_scene.ramifex_points(filepath=broken)
    sys.exit("a file cut short was imported")
except RuntimeError as why:
    if "do not make a file" not in str(why) or bpy.data.objects:
        sys.exit(f"a file cut short: {why}")
print(f"ok: Blender's add-on places {len(found)} spheres with their radii and colours")
