# Blender add-on: imports the .ply of points that `ramifex --export-geometry OUT.ply --points`
# writes (one point per sphere: x y z radius red green blue, +Z up) as a single object whose
# points carry `radius` and `colour` attributes, with a geometry-nodes modifier that instances a
# smooth sphere on each point. Instances keep a million spheres light; Apply the modifier (or add
# a Realize Instances node) for real geometry.
#
# Install: Edit > Preferences > Add-ons > Install…, choose this file, tick "Ramifex points".
# Then File > Import > Ramifex points (.ply).

import os
import struct

import bpy
from bpy.props import StringProperty
from bpy_extras.io_utils import ImportHelper

bl_info = {
    "name": "Ramifex points",
    "description": "Spheres from a Ramifex .ply of points, with their radii and colours",
    "blender": (3, 4, 0),
    "version": (1, 0, 0),
    "location": "File > Import > Ramifex points (.ply)",
    "category": "Import-Export",
}

HEADER = [
    b"ply",
    b"format binary_little_endian 1.0",
    b"property float x",
    b"property float y",
    b"property float z",
    b"property float radius",
    b"property uchar red",
    b"property uchar green",
    b"property uchar blue",
    b"end_header",
]
RECORD = struct.Struct("<4f3B")
MOST_HEADER_BYTES = 4096


def read_points(path):
    """The points of the file as (coordinates, radii, colours), each a flat list; raises
    ValueError, saying why, for any file that is not such a .ply."""
    size = os.stat(path).st_size
    with open(path, "rb") as file:
        head = file.read(MOST_HEADER_BYTES)
        end = head.find(b"end_header\n")
        if end < 0:
            raise ValueError("no PLY header of points in its first 4 KB")
        lines = [line for line in head[:end + len(b"end_header")].split(b"\n")
                 if not line.startswith(b"comment")]
        count_line = [line for line in lines if line.startswith(b"element vertex ")]
        rest = [line for line in lines if not line.startswith(b"element vertex ")]
        if rest != HEADER or len(count_line) != 1 or not count_line[0][15:].isdigit():
            raise ValueError("not a PLY of points with x y z radius red green blue")
        count = int(count_line[0][15:])
        start = end + len(b"end_header\n")
        if size != start + count * RECORD.size:
            raise ValueError(f"{count} points do not make a file of {size} bytes")
        file.seek(start)
        data = file.read(count * RECORD.size)
    coordinates, radii, colours = [], [], []
    for x, y, z, radius, red, green, blue in RECORD.iter_unpack(data):
        coordinates += (x, y, z)
        radii.append(radius)
        colours += (linear(red), linear(green), linear(blue), 1.0)
    return coordinates, radii, colours


def linear(byte):
    """A colour byte as the screen shows it (sRGB) in Blender's linear light."""
    c = byte / 255.0
    return c / 12.92 if c <= 0.04045 else ((c + 0.055) / 1.055) ** 2.4


def sphere_material():
    material = bpy.data.materials.new("Ramifex spheres")
    material.use_nodes = True
    nodes = material.node_tree.nodes
    colour = nodes.new("ShaderNodeAttribute")
    colour.attribute_type = "INSTANCER"
    colour.attribute_name = "colour"
    shader = nodes["Principled BSDF"]
    material.node_tree.links.new(colour.outputs["Color"], shader.inputs["Base Color"])
    return material


def add_geometry_socket(group, in_out):
    if hasattr(group, "interface"):  # Blender 4
        group.interface.new_socket("Geometry", in_out=in_out, socket_type="NodeSocketGeometry")
    else:
        sockets = group.inputs if in_out == "INPUT" else group.outputs
        sockets.new("NodeSocketGeometry", "Geometry")


def sphere_nodes(material):
    """A sphere of radius 1 on every point, scaled by its radius."""
    group = bpy.data.node_groups.new("Ramifex spheres", "GeometryNodeTree")
    add_geometry_socket(group, "INPUT")
    add_geometry_socket(group, "OUTPUT")
    nodes, links = group.nodes, group.links
    given = nodes.new("NodeGroupInput")
    result = nodes.new("NodeGroupOutput")
    sphere = nodes.new("GeometryNodeMeshUVSphere")
    sphere.inputs["Segments"].default_value = 24
    sphere.inputs["Rings"].default_value = 12
    sphere.inputs["Radius"].default_value = 1.0
    smooth = nodes.new("GeometryNodeSetShadeSmooth")
    paint = nodes.new("GeometryNodeSetMaterial")
    paint.inputs["Material"].default_value = material
    radius = nodes.new("GeometryNodeInputNamedAttribute")
    radius.data_type = "FLOAT"
    radius.inputs["Name"].default_value = "radius"
    place = nodes.new("GeometryNodeInstanceOnPoints")
    links.new(given.outputs[0], place.inputs["Points"])
    links.new(sphere.outputs["Mesh"], smooth.inputs["Geometry"])
    links.new(smooth.outputs["Geometry"], paint.inputs["Geometry"])
    links.new(paint.outputs["Geometry"], place.inputs["Instance"])
    # Older versions have an output of each type, all named "Attribute": the float one shows.
    shown = next(socket for socket in radius.outputs if socket.enabled)
    links.new(shown, place.inputs["Scale"])
    links.new(place.outputs["Instances"], result.inputs[0])
    return group


def import_points(context, path):
    coordinates, radii, colours = read_points(path)
    name = os.path.splitext(os.path.basename(path))[0]
    mesh = bpy.data.meshes.new(name)
    mesh.vertices.add(len(radii))
    mesh.vertices.foreach_set("co", coordinates)
    mesh.attributes.new("radius", "FLOAT", "POINT").data.foreach_set("value", radii)
    mesh.attributes.new("colour", "FLOAT_COLOR", "POINT").data.foreach_set("color", colours)
    mesh.update()
    spheres = bpy.data.objects.new(name, mesh)
    context.collection.objects.link(spheres)
    modifier = spheres.modifiers.new("Ramifex spheres", "NODES")
    modifier.node_group = sphere_nodes(sphere_material())
    return spheres


class ImportRamifexPoints(bpy.types.Operator, ImportHelper):
    """Spheres from a Ramifex .ply of points, with their radii and colours"""

    bl_idname = "import_scene.ramifex_points"
    bl_label = "Import Ramifex points"
    bl_options = {"REGISTER", "UNDO"}
    filename_ext = ".ply"
    filter_glob: StringProperty(default="*.ply", options={"HIDDEN"})

    def execute(self, context):
        try:
            import_points(context, self.filepath)
        except (OSError, ValueError) as why:
            self.report({"ERROR"}, f"Cannot import {os.path.basename(self.filepath)!r}: {why}")
            return {"CANCELLED"}
        return {"FINISHED"}


def menu_entry(self, context):
    self.layout.operator(ImportRamifexPoints.bl_idname, text="Ramifex points (.ply)")


def register():
    bpy.utils.register_class(ImportRamifexPoints)
    bpy.types.TOPBAR_MT_file_import.append(menu_entry)


def unregister():
    bpy.types.TOPBAR_MT_file_import.remove(menu_entry)
    bpy.utils.unregister_class(ImportRamifexPoints)
