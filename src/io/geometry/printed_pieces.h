#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "io/geometry/exported_geometry.h"

namespace ramifex
{

// Leaves out the spheres whose radius is under `radius` (a print's smallest size, in the spheres'
// units); returns how many it left out. The others keep their order.
uint64_t LeaveOutSmallerThan(std::vector<ExportedSphere>& spheres, float radius);

// How many separate pieces the spheres make: two spheres that touch or overlap are one piece, as
// a slicer joins their surfaces. Spheres of every size are found near each other through a grid
// for each power-of-two size, so the count takes time in proportion to the spheres. Leaves off,
// with a count that means nothing, once `stop` is set.
uint64_t CountPieces(const std::vector<ExportedSphere>& spheres,
                     const std::atomic<bool>* stop = nullptr);

}  // namespace ramifex
