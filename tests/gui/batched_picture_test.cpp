// The viewer's batched drawing against a straightforward one of the same walk: every drawing
// issued, each sphere tessellated by GLU in immediate mode under the view times the node matrix.
#include <QTest>

#include "gl/viewer/gl_viewer.h"
#include "support/glu_sphere.h"
#include "viewer_test_support.h"

namespace ramifex::test
{
namespace
{

// Draws into the viewer's picture, presenting through the viewer, with no batching and no
// drawing left out.
class StraightforwardSurface final : public DrawSurface
{
public:
    explicit StraightforwardSurface(GlViewer& viewer) : viewer_(viewer) {}

    void Clear() override { viewer_.Clear(); }
    void SetViewTransform(const Matrix4& view) override { viewer_.SetViewTransform(view); }
    void DrawSphere(const Matrix4& node, const Vec3& colour) override
    {
        const GLfloat diffuse[] = {static_cast<GLfloat>(colour[0]), static_cast<GLfloat>(colour[1]),
                                   static_cast<GLfloat>(colour[2]), 1.0f};
        glPushMatrix();
        glMultMatrixd(node.M.data());
        sphere_.Draw(diffuse);
        glPopMatrix();
        ++Spheres;
    }
    void Present() override { viewer_.Present(); }

    int Spheres = 0;

private:
    GlViewer& viewer_;
    GluSphere sphere_;
};

int Delta(QRgb p, QRgb q)
{
    return std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                     std::abs(qBlue(p) - qBlue(q))});
}

// Where two surfaces, or a surface and the background, meet: some neighbour has a clearly other
// colour.
bool OnBoundary(const QImage& image, int x, int y)
{
    for (int dy = -1; dy <= 1; ++dy)
    {
        for (int dx = -1; dx <= 1; ++dx)
        {
            const QPoint n(x + dx, y + dy);
            if (image.rect().contains(n) && Delta(image.pixel(n), image.pixel(x, y)) > 8)
            {
                return true;
            }
        }
    }
    return false;
}

struct Difference
{
    int Pixels = 0;
    int Lit = 0;          // pixels lit in the reference
    int OffBoundary = 0;  // differing by more than one step away from any boundary
};

Difference Compare(const QImage& batched, const QImage& reference)
{
    Difference difference;
    for (int y = 0; y < reference.height(); ++y)
    {
        for (int x = 0; x < reference.width(); ++x)
        {
            const int delta = Delta(batched.pixel(x, y), reference.pixel(x, y));
            difference.Lit += IsBlack(reference.pixel(x, y)) ? 0 : 1;
            difference.Pixels += delta > 0 ? 1 : 0;
            difference.OffBoundary += delta > 1 && !OnBoundary(reference, x, y) ? 1 : 0;
        }
    }
    return difference;
}

class BatchedPicture : public OpenViewerTest
{
protected:
    QImage Draw(const SceneState& scene, DrawSurface& surface, MillisecondClock& clock)
    {
        CompleteWalk(scene, surface, clock).RunToEnd();
        return viewer.GrabPicture().convertToFormat(QImage::Format_RGB32);
    }

    // The viewer's picture, drawn over many ticks, and the straightforward one.
    std::pair<QImage, QImage> BothPictures(const SceneState& scene)
    {
        SteppingClock stepping;
        const QImage batched = Draw(scene, viewer, stepping);
        StraightforwardSurface straightforward(viewer);
        FrozenClock frozen;
        const QImage reference = Draw(scene, straightforward, frozen);
        EXPECT_EQ(straightforward.Spheres, 2 * ((1 << scene.Iterations) - 1));
        return {batched, reference};
    }
};

// One sphere filling much of the picture: every point, normal and triangle of the batched sphere
// must match the GLU sphere's for the pictures to be equal.
TEST_F(BatchedPicture, LargeSphereEqualsTheGluSphere)
{
    SceneState scene;
    scene.ViewOffset = {0.3, -0.2, -2.5};
    scene.Records[BaseRecord] = {40.0, {1, 2, 0.5}, 1.0, 0.0, {0.9, 0.6, 0.3}, 0.0};
    scene.Iterations = 1;
    const auto [batched, reference] = BothPictures(scene);
    EXPECT_EQ(Compare(batched, reference).Pixels, 0);
}

// The batched points are carried through the node matrix in double and rounded once, where GL
// rounds the product of view and node to float first. That moves a point by a float rounding step,
// which may change a shade by one step, or which of two surfaces wins a pixel where they meet at
// nearly the same depth. Nothing else may differ.
TEST_F(BatchedPicture, TreesDifferOnlyByRoundingAtBoundaries)
{
    const SceneState spread = SpreadTree();

    SceneState overlapping;
    overlapping.ViewOffset = {0.0, -3.5, -10.0};
    overlapping.Records[BaseRecord] = {-90.0, {1, 0, 0}, 1.0, 0.0, {1.0, 1.0, 1.0}, 0.0};
    overlapping.Records[Branch1Record] = {62.0, {0.04, 1, 0}, 0.74, 1.7, {0.2, 0.9, 0.3}, 0.3};
    overlapping.Records[Branch2Record] = {-62.0, {-0.04, 1, 0}, 0.74, 1.7, {0.9, 0.5, 0.1}, 0.3};
    overlapping.Iterations = 9;

    for (const SceneState& scene : {spread, overlapping})
    {
        const auto [batched, reference] = BothPictures(scene);
        const Difference difference = Compare(batched, reference);
        EXPECT_GT(difference.Lit, 5000);
        EXPECT_LE(difference.Pixels * 200, difference.Lit) << difference.Pixels << " differ";
        EXPECT_EQ(difference.OffBoundary, 0);
    }
}

}  // namespace
}  // namespace ramifex::test
