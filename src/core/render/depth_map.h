#pragma once

#include <cstdint>
#include <vector>

namespace ramifex
{

// The depths a picture holds, as a pyramid of maxima, so that the farthest depth under any box of
// pixels is found in at most four look-ups. Depths go from 0 at the near plane to 1 at the far one,
// as the depth buffer holds them; rows count from the bottom, as GL reads them back.
class DepthMap
{
public:
    // Takes width * height depths, row by row. Memory is kept from one build to the next of the
    // same size, so a build allocates only when the size changes.
    void Build(int32_t width, int32_t height, const float* depths);

    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }

    // The farthest depth among the pixels of columns x0..x1 and rows y0..y1, which lie within the
    // map, or a farther one: the look-up may take in neighbouring pixels.
    float FarthestIn(int32_t x0, int32_t x1, int32_t y0, int32_t y1) const;

private:
    struct Level
    {
        int32_t Width = 0;
        int32_t Height = 0;
        std::vector<float> Depths;  // each the farthest of the 2 x 2 cells below it
        float At(int32_t x, int32_t y) const { return Depths[y * Width + x]; }
    };

    int32_t width_ = 0;
    int32_t height_ = 0;
    std::vector<Level> levels_;  // level 0 is the pixels themselves
};

}  // namespace ramifex
