// The sphere picture in a context of its own, with no window.
#include <QOpenGLContext>

#include "gl/jobs/offscreen_gl.h"
#include "gl/picture/sphere_picture.h"
#include "viewer_test_support.h"

namespace ramifex::test
{
namespace
{

// The context may go first, current or not as it goes: the picture's framebuffer and fence go with
// it, and every later call does nothing rather than reach for the context.
TEST(SpherePicture, OutlivesItsContextAndThenDoesNothing)
{
    for (const bool currentAsItGoes : {true, false})
    {
        QString error;
        std::unique_ptr<OffscreenGl> offscreen = OffscreenGl::Create(&error);
        ASSERT_NE(offscreen, nullptr) << error.toStdString();
        SpherePicture picture(offscreen->Context(), 64, 48);
        const SceneState scene = SpreadTree(8);
        FrozenClock clock;
        CompleteWalk(scene, picture, clock).RunToEnd();
        ASSERT_GT(CountLit(picture.Grab()), 0);

        if (!currentAsItGoes)
        {
            offscreen->Context().doneCurrent();
        }
        offscreen.reset();
        EXPECT_EQ(picture.Framebuffer(), nullptr);
        CompleteWalk(scene, picture, clock).RunToEnd();
        picture.Resize(32, 24);
        EXPECT_TRUE(picture.Grab().isNull());
    }
}

}  // namespace
}  // namespace ramifex::test
