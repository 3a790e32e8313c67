#pragma once

#include <array>
#include <cstdint>
#include <limits>
#include <optional>
#include <span>

#include "core/scene/scene_state.h"

namespace ramifex
{

// How long the rest of a depth-first walk will take, forecast from the subtrees it has finished.
// The share of nodes done moves unevenly (a subtree left out counts as done all at once), but the
// walk visits nodes at a steady rate: so the forecast counts the nodes still to visit. They lie in
// the second subtrees of the nodes on the walk's path, and a second subtree costs what the first
// one beside it did, scaled as the finished pairs show. That is seldom in proportion: a large
// first subtree fills much of the picture, so the one drawn after it is often hidden behind it
// and left out, while small pairs cost alike. Where the picture fills evenly, the share of the
// tree done is the better guide; each is trusted as far as it has held steady.
class WalkForecast
{
public:
    // A new pass of the walk starts at this time with this many nodes visited.
    void Start(uint32_t nowMs, uint64_t visited);
    void Arrive(int level, uint64_t visited) { arrival_[level] = visited; }
    // The subtree of the node at this level, reached through branch 0 or 1, has been walked or
    // left out.
    void Finish(int level, int branch, uint64_t visited)
    {
        const double work = static_cast<double>(visited - arrival_[level]);
        work_[branch][level] += work;
        ++finished_[branch][level];
        if (branch == 0)
        {
            firstWork_[level] = work;
        }
        else if (firstWork_[level] >= SmallestFittedPair)
        {
            pairs_.Add(firstWork_[level], work);
        }
    }

    // Nodes still to visit in a walk of this depth, given the child counter of each node on its
    // path down to the one it stands at (0: not yet reached, or its first subtree under way; 1:
    // its second subtree to come or under way).
    double NodesLeft(std::span<const int32_t> counters, int depth, uint64_t visited) const;
    // Takes a new forecast at the end of a tick, with this many nodes left and this share of the
    // tree done: the time the nodes take at the rate of the pass so far, weighed with the time
    // the rest of the share takes at its rate so far.
    void Update(double nodesLeft, uint64_t visited, uint32_t nowMs, double fractionDone);
    // Milliseconds left from now: the median of the last second's forecasts, since single ones
    // swing as subtrees finish. None until a second of forecasts has agreed well enough to be
    // trusted; from then on, always one.
    std::optional<uint32_t> MsLeft(uint32_t nowMs) const;

private:
    // Pairs whose first subtree has fewer nodes say little of hiding: their cost is set by the
    // depth left below them.
    static constexpr double SmallestFittedPair = 16.0;

    // The cost of a second subtree from that of the first beside it, as the power law
    // log(second + 1) = a + b log(first) fitted to the finished pairs by least squares, each
    // weighted by its first subtree's nodes: the large pairs tell what the large subtrees still
    // to come will cost.
    class PairFit
    {
    public:
        void Add(double first, double second);
        // What the second subtree beside a first one of this many nodes costs: as much as the
        // first while no pair has finished.
        double Second(double first) const;

    private:
        double weight_ = 0.0;
        double x_ = 0.0;
        double y_ = 0.0;
        double xx_ = 0.0;
        double xy_ = 0.0;
    };

    // How far one kind of forecast has swung over the pass: the soonest and latest finish it
    // gave. A forecast that holds still as the walk goes on is one that knows the walk.
    class Swing
    {
    public:
        void Add(double finishMs);
        // The log of latest over soonest; a little more than nothing, so that the weights hold
        // while neither kind has moved.
        double Width() const;

    private:
        double soonest_ = std::numeric_limits<double>::infinity();
        double latest_ = 0.0;
    };

    // The two times left, each weighed by the inverse square of how far its kind has swung; on a
    // log scale, so that twice too long and half too short count alike.
    double WeighedFinish(uint32_t elapsedMs, double byNodesMs, double byShareMs) const;
    double AverageWork(int level, int branch) const;
    double SubtreeNodes(int level, int branch, int depth) const;
    // The finish times forecast within the last window before this time, sorted; how many, and
    // how long ago the oldest of them was made.
    size_t RecentFinishes(uint32_t elapsedMs, std::array<double, 64>& finishes,
                          uint32_t& spanMs) const;

    std::array<uint64_t, MaxDepth> arrival_{};
    std::array<std::array<double, MaxDepth>, 2> work_{};
    std::array<std::array<uint64_t, MaxDepth>, 2> finished_{};
    std::array<double, MaxDepth> firstWork_{};  // the latest first subtree finished at each level
    PairFit pairs_;
    Swing byNodes_;
    Swing byShare_;
    uint32_t startMs_ = 0;
    uint64_t startVisited_ = 0;
    // The latest forecasts: when each was made and when it said the pass would finish, in
    // milliseconds from the pass's start; a ring, the oldest overwritten.
    struct Forecast
    {
        uint32_t MadeMs = 0;
        double FinishMs = 0.0;
    };
    std::array<Forecast, 64> recent_{};  // more than a window's ticks
    size_t recentCount_ = 0;
    size_t recentNext_ = 0;
    bool trusted_ = false;
};

}  // namespace ramifex
