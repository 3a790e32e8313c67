#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace ramifex
{

// One sphere as files take it, in the object's own frame: the root sphere has radius 1 at the
// origin, before the view's offset and the base record's turn. Floats, as every file stores them,
// keep a whole tree of 2^24 spheres in a few hundred megabytes.
struct ExportedSphere
{
    std::array<float, 3> Centre{};
    float Radius = 0.0f;
    std::array<uint8_t, 3> Colour{};  // red, green, blue
    uint8_t Level = 0;                // of the tessellation (SphereAtLevel) for its size on screen
};

// The viewer's perspective camera in the object's frame: looking through it along its -z, with +y
// up, shows the picture.
struct ExportedCamera
{
    std::array<double, 4> Rotation{0.0, 0.0, 0.0, 1.0};  // quaternion x, y, z, w
    std::array<double, 3> Position{};
    double VerticalFov = 0.0;  // radians
    double Aspect = 1.0;       // width over height
    double Near = 0.0;
    double Far = 0.0;
};

struct ExportedGeometry
{
    std::vector<ExportedSphere> Spheres;
    std::optional<ExportedCamera> Camera;
};

}  // namespace ramifex
