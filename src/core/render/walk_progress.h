#pragma once

#include <cstdint>
#include <optional>

namespace ramifex
{

// How far the picture of the latest restart has come.
struct WalkProgress
{
    bool Finished = true;
    double Fraction = 1.0;      // of the whole tree; subtrees left out count as done
    uint64_t Nodes = 0;         // in the whole tree
    uint64_t SpheresDrawn = 0;  // each node's sphere counted once
    uint32_t ElapsedMs = 0;     // from the restart until now, or until the walk finished
    uint64_t Visited = 0;       // nodes the walk reached, the preview's included; for benchmarks
    std::optional<uint32_t> MsLeft;  // once the forecast of the rest can be trusted
    bool Stopped = false;            // the user stopped the walk where it was: no time left
};

}  // namespace ramifex
