#include "io/geometry/printed_pieces.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>
#include <unordered_map>

namespace ramifex
{
namespace
{

struct Cell
{
    int64_t X = 0;
    int64_t Y = 0;
    int64_t Z = 0;
    bool operator==(const Cell&) const = default;
};

struct CellHash
{
    size_t operator()(const Cell& c) const
    {
        const auto x = static_cast<uint64_t>(c.X);
        const auto y = static_cast<uint64_t>(c.Y);
        const auto z = static_cast<uint64_t>(c.Z);
        return std::hash<uint64_t>()(x * 0x9E3779B97F4A7C15u ^ y * 0xC2B2AE3D27D4EB4Fu ^ z);
    }
};

using Grid = std::unordered_map<Cell, std::vector<uint32_t>, CellHash>;

// The power of two whose cells hold a sphere: at least twice its diameter across, so that two
// spheres of a cell's size or smaller that touch are at most half a cell apart.
int SizeLevel(float radius)
{
    return std::ilogb(std::max(4.0 * radius, 1e-30)) + 1;
}

double CellSize(int level)
{
    return std::ldexp(1.0, level);
}

// The lower of the two cells along each axis within half a cell of the sphere's centre.
Cell LowerNeighbour(const ExportedSphere& sphere, int level)
{
    std::array<int64_t, 3> low{};
    for (int i = 0; i < 3; ++i)
    {
        const double at = sphere.Centre[i] / CellSize(level);
        low[i] = static_cast<int64_t>(std::floor(at - 0.5));
    }
    return {low[0], low[1], low[2]};
}

Cell CellAt(const ExportedSphere& sphere, int level)
{
    const double size = CellSize(level);
    return {static_cast<int64_t>(std::floor(sphere.Centre[0] / size)),
            static_cast<int64_t>(std::floor(sphere.Centre[1] / size)),
            static_cast<int64_t>(std::floor(sphere.Centre[2] / size))};
}

bool Touch(const ExportedSphere& a, const ExportedSphere& b)
{
    double distance = 0.0;
    for (int i = 0; i < 3; ++i)
    {
        const double d = double(a.Centre[i]) - b.Centre[i];
        distance += d * d;
    }
    const double reach = double(a.Radius) + b.Radius;
    return distance <= reach * reach;
}

class Pieces
{
public:
    explicit Pieces(size_t count) : parent_(count) { std::iota(parent_.begin(), parent_.end(), 0); }

    uint32_t Root(uint32_t i)
    {
        while (parent_[i] != i)
        {
            parent_[i] = parent_[parent_[i]];
            i = parent_[i];
        }
        return i;
    }
    void Join(uint32_t a, uint32_t b) { parent_[Root(a)] = Root(b); }

private:
    std::vector<uint32_t> parent_;
};

// Joins sphere i with every sphere in the 8 cells of the grid within half a cell of it that it
// touches.
void JoinTouching(const std::vector<ExportedSphere>& spheres, uint32_t i, const Grid& grid,
                  int level, Pieces& pieces)
{
    const Cell low = LowerNeighbour(spheres[i], level);
    for (int corner = 0; corner < 8; ++corner)
    {
        const auto near =
            grid.find({low.X + (corner & 1), low.Y + (corner >> 1 & 1), low.Z + (corner >> 2)});
        if (near == grid.end())
        {
            continue;
        }
        for (const uint32_t j : near->second)
        {
            if (j != i && Touch(spheres[i], spheres[j]))
            {
                pieces.Join(i, j);
            }
        }
    }
}

}  // namespace

uint64_t LeaveOutSmallerThan(std::vector<ExportedSphere>& spheres, float radius)
{
    const size_t before = spheres.size();
    std::erase_if(spheres, [radius](const ExportedSphere& s) { return s.Radius < radius; });
    return before - spheres.size();
}

// A sphere is kept in the grid of its own size. Two spheres that touch are at most half the
// larger's cell apart, so each sphere finds every larger or equal one it touches among the 8 cells
// within half a cell of it in the grids of its size and above.
uint64_t CountPieces(const std::vector<ExportedSphere>& spheres, const std::atomic<bool>* stop)
{
    std::unordered_map<int, Grid> grids;
    for (uint32_t i = 0; i < spheres.size(); ++i)
    {
        const int level = SizeLevel(spheres[i].Radius);
        grids[level][CellAt(spheres[i], level)].push_back(i);
    }
    Pieces pieces(spheres.size());
    for (uint32_t i = 0; i < spheres.size() && !(stop != nullptr && *stop); ++i)
    {
        const int own = SizeLevel(spheres[i].Radius);
        for (const auto& [level, grid] : grids)
        {
            if (level < own)
            {
                continue;
            }
            JoinTouching(spheres, i, grid, level, pieces);
        }
    }
    uint64_t roots = 0;
    for (uint32_t i = 0; i < spheres.size(); ++i)
    {
        roots += pieces.Root(i) == i ? 1 : 0;
    }
    return roots;
}

}  // namespace ramifex
