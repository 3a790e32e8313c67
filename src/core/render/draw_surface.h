#pragma once

#include <cstdint>
#include <optional>

#include "core/render/matrix4.h"
#include "core/render/visibility.h"
#include "core/scene/branch_params.h"

namespace ramifex
{

// What the frame tick needs from whatever shows the picture. The viewer implements it with GL;
// tests record the calls; a benchmark may draw nothing.
class DrawSurface
{
public:
    virtual ~DrawSurface() = default;

    // Clears colour and depth.
    virtual void Clear() = 0;
    // Replaces the view transform under which the following spheres are drawn.
    virtual void SetViewTransform(const Matrix4& view) = 0;
    // One unit sphere at the origin of view * node, lit with the given diffuse colour.
    virtual void DrawSphere(const Matrix4& node, const Vec3& colour) = 0;
    // Shows what has been drawn so far; the drawn content is kept for the next tick.
    virtual void Present() = 0;
    // About how long presenting takes, in milliseconds: the walk leaves that much of a tick's
    // budget for it, so that a tick with its present keeps to the budget.
    virtual uint32_t PresentMs() const { return 0; }
    // Whether a node's second drawing may be left out. It lands exactly on the first one, so with
    // the depth test on it changes no pixel; the walk still takes the step and watches the clock.
    virtual bool SkipsRepeatDrawings() const { return false; }
    // The frustum and pixels of the picture, when the surface keeps one: the walk then leaves out
    // what cannot change a pixel and, when it also skips repeat drawings, opens each new picture
    // with a quick preview of its upper levels.
    virtual std::optional<PixelArea> VisibleArea() const { return std::nullopt; }
    // The depths the picture holds so far, read back for the walk, which then also leaves out
    // what lies behind them; none when the surface keeps none for the visible area.
    virtual const DepthMap* ReadDepths() { return nullptr; }
};

}  // namespace ramifex
