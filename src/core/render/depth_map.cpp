#include "core/render/depth_map.h"

#include <algorithm>

namespace ramifex
{

void DepthMap::Build(int32_t width, int32_t height, const float* depths)
{
    if (width <= 0 || height <= 0)
    {
        width_ = height_ = 0;
        levels_.clear();
        return;
    }
    if (width != width_ || height != height_)
    {
        width_ = width;
        height_ = height;
        levels_.clear();
        for (int32_t w = width, h = height;; w = (w + 1) / 2, h = (h + 1) / 2)
        {
            levels_.push_back(Level{w, h, std::vector<float>(static_cast<size_t>(w) * h)});
            if (w == 1 && h == 1)
            {
                break;
            }
        }
    }
    std::copy(depths, depths + static_cast<size_t>(width) * height, levels_[0].Depths.begin());
    for (size_t l = 1; l < levels_.size(); ++l)
    {
        const Level& below = levels_[l - 1];
        Level& level = levels_[l];
        for (int32_t y = 0; y < level.Height; ++y)
        {
            const int32_t y1 = std::min(2 * y + 1, below.Height - 1);
            for (int32_t x = 0; x < level.Width; ++x)
            {
                const int32_t x1 = std::min(2 * x + 1, below.Width - 1);
                level.Depths[y * level.Width + x] =
                    std::max({below.At(2 * x, 2 * y), below.At(x1, 2 * y), below.At(2 * x, y1),
                              below.At(x1, y1)});
            }
        }
    }
}

// Climbs to the first level at which the box spans at most two cells each way.
float DepthMap::FarthestIn(int32_t x0, int32_t x1, int32_t y0, int32_t y1) const
{
    size_t l = 0;
    while (x1 - x0 > 1 || y1 - y0 > 1)
    {
        ++l;
        x0 >>= 1;
        x1 >>= 1;
        y0 >>= 1;
        y1 >>= 1;
    }
    const Level& level = levels_[l];
    return std::max({level.At(x0, y0), level.At(x1, y0), level.At(x0, y1), level.At(x1, y1)});
}

}  // namespace ramifex
