#include "core/render/walk_forecast.h"

#include <algorithm>
#include <cmath>

namespace ramifex
{
namespace
{

// A forecast made too early swings wildly: before a second of walking and a few percent of the
// tree, too few subtrees of the upper levels have finished to go by.
constexpr uint32_t TrustAfterMs = 1000;
constexpr double TrustAfterFraction = 0.02;
// Forecasts are taken together over this long: long enough to calm the swings, short enough to
// follow a real change of pace. They are trusted once a window's worth agree within the factor.
constexpr uint32_t WindowMs = 1000;
constexpr double Agreement = 1.5;
// The share done swings less than it misses: a subtree left out moves it at once, and a walk that
// leaves most of the tree out late moves it little until then. Its swing is counted half as wide
// again.
constexpr double ShareDoubt = 1.5;

}  // namespace

void WalkForecast::Start(uint32_t nowMs, uint64_t visited)
{
    work_ = {};
    finished_ = {};
    pairs_ = {};
    byNodes_ = {};
    byShare_ = {};
    startMs_ = nowMs;
    startVisited_ = visited;
    recentCount_ = 0;
    recentNext_ = 0;
    trusted_ = false;
}

double WalkForecast::AverageWork(int level, int branch) const
{
    return finished_[branch][level] == 0
               ? -1.0
               : work_[branch][level] / static_cast<double>(finished_[branch][level]);
}

// A whole subtree not yet entered: what finished ones of its level and branch cost, else of its
// level, else a node more than two of the level below.
double WalkForecast::SubtreeNodes(int level, int branch, int depth) const
{
    if (level >= depth)
    {
        return 0.0;
    }
    if (const double same = AverageWork(level, branch); same >= 0.0)
    {
        return same;
    }
    if (const double other = AverageWork(level, 1 - branch); other >= 0.0)
    {
        return other;
    }
    return 1.0 + 2.0 * SubtreeNodes(level + 1, branch, depth);
}

void WalkForecast::PairFit::Add(double first, double second)
{
    const double x = std::log(first);
    const double y = std::log(second + 1.0);
    weight_ += first;
    x_ += first * x;
    y_ += first * y;
    xx_ += first * x * x;
    xy_ += first * x * y;
}

double WalkForecast::PairFit::Second(double first) const
{
    if (weight_ == 0.0 || first < 1.0)
    {
        return first;
    }
    const double spread = weight_ * xx_ - x_ * x_;
    // Pairs of a single size fix no slope: the cost then grows in proportion.
    const double slope =
        spread > 1e-9 * weight_ * weight_ ? (weight_ * xy_ - x_ * y_) / spread : 1.0;
    const double offset = (y_ - slope * x_) / weight_;
    return std::max(0.0, std::exp(offset + slope * std::log(first)) - 1.0);
}

double WalkForecast::NodesLeft(std::span<const int32_t> counters, int depth, uint64_t visited) const
{
    const int standing = static_cast<int>(counters.size()) - 1;
    const bool reached = counters[standing] != 0;
    const int branch = standing == 0 ? 0 : counters[standing - 1];
    double left =
        reached ? SubtreeNodes(standing + 1, 1, depth) : SubtreeNodes(standing, branch, depth);
    for (int at = standing - 1; at >= 0; --at)
    {
        if (counters[at] != 0)
        {
            continue;  // its first subtree is done; the walk is in the second
        }
        const int first = at + 1;
        const double done =
            first == standing && !reached ? 0.0 : static_cast<double>(visited - arrival_[first]);
        left += pairs_.Second(done + left);
    }
    return left;
}

void WalkForecast::Update(double nodesLeft, uint64_t visited, uint32_t nowMs, double fractionDone)
{
    const uint32_t elapsed = nowMs - startMs_;
    const uint64_t walked = visited - startVisited_;
    if (elapsed < TrustAfterMs || walked == 0 || fractionDone < TrustAfterFraction)
    {
        return;
    }
    const double msPerNode = static_cast<double>(elapsed) / static_cast<double>(walked);
    const double byNodes = static_cast<double>(elapsed) + nodesLeft * msPerNode;
    const double byShare = static_cast<double>(elapsed) / fractionDone;
    byNodes_.Add(byNodes);
    byShare_.Add(byShare);
    recent_[recentNext_] = {elapsed, WeighedFinish(elapsed, byNodes, byShare)};
    recentNext_ = (recentNext_ + 1) % recent_.size();
    recentCount_ = std::min(recentCount_ + 1, recent_.size());
    if (!trusted_)
    {
        std::array<double, 64> finishes{};
        uint32_t span = 0;
        const size_t count = RecentFinishes(elapsed, finishes, span);
        trusted_ = span >= WindowMs * 4 / 5 && finishes[count - 1] <= Agreement * finishes[0];
    }
}

void WalkForecast::Swing::Add(double finishMs)
{
    soonest_ = std::min(soonest_, finishMs);
    latest_ = std::max(latest_, finishMs);
}

double WalkForecast::Swing::Width() const
{
    return std::log(latest_ / soonest_) + 1e-3;
}

double WalkForecast::WeighedFinish(uint32_t elapsedMs, double byNodesMs, double byShareMs) const
{
    const double nodesSwing = byNodes_.Width();
    const double shareSwing = ShareDoubt * byShare_.Width();
    const double nodesWeight =
        shareSwing * shareSwing / (nodesSwing * nodesSwing + shareSwing * shareSwing);
    const double now = static_cast<double>(elapsedMs);
    const double logLeft = nodesWeight * std::log(std::max(byNodesMs - now, 1.0)) +
                           (1.0 - nodesWeight) * std::log(std::max(byShareMs - now, 1.0));
    return now + std::exp(logLeft);
}

size_t WalkForecast::RecentFinishes(uint32_t elapsedMs, std::array<double, 64>& finishes,
                                    uint32_t& spanMs) const
{
    size_t count = 0;
    spanMs = 0;
    for (size_t i = 0; i < recentCount_; ++i)
    {
        const Forecast& forecast = recent_[i];
        if (elapsedMs - forecast.MadeMs <= WindowMs)
        {
            finishes[count++] = forecast.FinishMs;
            spanMs = std::max(spanMs, elapsedMs - forecast.MadeMs);
        }
    }
    std::sort(finishes.begin(), finishes.begin() + static_cast<std::ptrdiff_t>(count));
    return count;
}

std::optional<uint32_t> WalkForecast::MsLeft(uint32_t nowMs) const
{
    if (!trusted_)
    {
        return std::nullopt;
    }
    const uint32_t elapsed = nowMs - startMs_;
    std::array<double, 64> finishes{};
    uint32_t span = 0;
    const size_t count = RecentFinishes(elapsed, finishes, span);
    const size_t latest = (recentNext_ + recent_.size() - 1) % recent_.size();
    const double finish = count > 0 ? finishes[count / 2] : recent_[latest].FinishMs;
    return static_cast<uint32_t>(
        std::lround(std::clamp(finish - static_cast<double>(elapsed), 0.0, 4.0e9)));
}

}  // namespace ramifex
