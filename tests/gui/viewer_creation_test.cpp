// Creation and teardown of the viewer through a platform whose steps can be made to fail.
#include <set>

#include <QOpenGLContext>
#include <QTest>

#include "gl/viewer/gl_viewer.h"
#include "gl/viewer/qt_viewer_platform.h"
#include "viewer_test_support.h"

namespace ramifex::test
{
namespace
{

// The Qt platform with a log of every call and a set of steps that fail instead of running.
class FailingPlatform final : public ViewerPlatform
{
public:
    explicit FailingPlatform(std::set<std::string> failing) : failing_(std::move(failing)) {}

    bool RegisterWindowClass() override
    {
        return Step("RegisterWindowClass", [&] { return qt_.RegisterWindowClass(); });
    }
    bool CreateWindow(QWindow& window, const QString& title, const QRect& geometry) override
    {
        return Step("CreateWindow", [&] { return qt_.CreateWindow(window, title, geometry); });
    }
    bool GetDeviceContext(QWindow& window) override
    {
        return Step("GetDeviceContext", [&] { return qt_.GetDeviceContext(window); });
    }
    std::optional<QSurfaceFormat> ChoosePixelFormat(const PixelFormatRequest& request) override
    {
        Request = request;
        std::optional<QSurfaceFormat> format;
        Step("ChoosePixelFormat",
             [&]
             {
                 format = qt_.ChoosePixelFormat(request);
                 return format.has_value();
             });
        return failing_.contains("ChoosePixelFormat") ? std::nullopt : format;
    }
    bool SetPixelFormat(QWindow& window, const QSurfaceFormat& format) override
    {
        return Step("SetPixelFormat", [&] { return qt_.SetPixelFormat(window, format); });
    }
    bool CreateContext(QOpenGLContext& context, const QSurfaceFormat& format) override
    {
        return Step("CreateContext", [&] { return qt_.CreateContext(context, format); });
    }
    bool MakeCurrent(QOpenGLContext& context, QWindow& window) override
    {
        return Step("MakeCurrent", [&] { return qt_.MakeCurrent(context, window); });
    }
    bool SupportsPicture(QOpenGLContext& context) override
    {
        return Step("SupportsPicture", [&] { return qt_.SupportsPicture(context); });
    }
    void ShowWindow(QWindow& window) override
    {
        Log.push_back("ShowWindow");
        qt_.ShowWindow(window);
    }
    bool ReleaseCurrent(QOpenGLContext& context) override
    {
        return Step("ReleaseCurrent", [&] { return qt_.ReleaseCurrent(context); });
    }
    bool DeleteContext(std::unique_ptr<QOpenGLContext> context) override
    {
        return Step("DeleteContext", [&] { return qt_.DeleteContext(std::move(context)); });
    }
    bool ReleaseDeviceContext(QWindow& window) override
    {
        return Step("ReleaseDeviceContext", [&] { return qt_.ReleaseDeviceContext(window); });
    }
    bool DestroyWindow(QWindow& window) override
    {
        return Step("DestroyWindow", [&] { return qt_.DestroyWindow(window); });
    }
    void ShowMessage(const QString& text, const QString& caption, MessageIcon icon) override
    {
        static const char* const icons[] = {"none", "warning", "information"};
        Log.push_back("Message " + caption.toStdString() + " [" + icons[int(icon)] + "] " +
                      text.toStdString());
    }

    std::vector<std::string> Log;
    PixelFormatRequest Request;

private:
    template <typename Run>
    bool Step(const std::string& name, Run run)
    {
        Log.push_back(name);
        return !failing_.contains(name) && run();
    }

    std::set<std::string> failing_;
    QtViewerPlatform qt_;
};

using Log = std::vector<std::string>;

const Log CreationSteps = {"RegisterWindowClass", "CreateWindow",   "GetDeviceContext",
                           "ChoosePixelFormat",   "SetPixelFormat", "CreateContext",
                           "MakeCurrent",         "SupportsPicture"};

// The log up to and including the given step.
Log StepsThrough(const std::string& step)
{
    Log log;
    for (const std::string& name : CreationSteps)
    {
        log.push_back(name);
        if (name == step)
        {
            break;
        }
    }
    return log;
}

Log Concat(Log head, const Log& tail)
{
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

struct FailureCase
{
    std::string Step;
    Log TeardownAndMessage;
};

void PrintTo(const FailureCase& failure, std::ostream* os)
{
    *os << failure.Step;
}

class CreationFailure : public ::testing::TestWithParam<FailureCase>
{
};

TEST_P(CreationFailure, TearsDownInOrderThenShowsItsMessageAndSetsNothing)
{
    const FailureCase& failure = GetParam();
    FailingPlatform platform({failure.Step});
    RecordingNavigator navigator;
    GlViewer viewer(true, &platform);

    EXPECT_FALSE(viewer.Open(navigator));
    EXPECT_EQ(platform.Log, Concat(StepsThrough(failure.Step), failure.TeardownAndMessage));
    EXPECT_FALSE(viewer.IsOpen());
    EXPECT_EQ(viewer.Window(), nullptr);
    EXPECT_EQ(QOpenGLContext::currentContext(), nullptr);

    // Every later drawing call does nothing.
    viewer.Clear();
    viewer.SetViewTransform(Matrix4::Identity());
    viewer.DrawSphere(Matrix4::Identity(), {1.0, 1.0, 1.0});
    viewer.Present();
    viewer.Resize(300, 200);
    EXPECT_TRUE(viewer.GrabPicture().isNull());
}

INSTANTIATE_TEST_SUITE_P(
    EachStep, CreationFailure,
    ::testing::Values(
        FailureCase{
            "RegisterWindowClass",
            {"Message Error [none] RegisterClass() failed:  Cannot register window class."}},
        FailureCase{"CreateWindow",
                    {"Message Error [none] CreateWindow() failed:  Cannot create a window."}},
        FailureCase{"GetDeviceContext",
                    {"DestroyWindow", "Message ERROR [warning] Can't Create A GL Device Context."}},
        FailureCase{"ChoosePixelFormat",
                    {"ReleaseDeviceContext", "DestroyWindow",
                     "Message Error [none] ChoosePixelFormat() failed:  Cannot find a suitable "
                     "pixel format."}},
        FailureCase{
            "SetPixelFormat",
            {"ReleaseDeviceContext", "DestroyWindow",
             "Message Error [none] SetPixelFormat() failed:  Cannot set format specified."}},
        FailureCase{"CreateContext",
                    {"ReleaseDeviceContext", "DestroyWindow",
                     "Message ERROR [warning] Can't Create A GL Rendering Context."}},
        FailureCase{"MakeCurrent",
                    {"ReleaseCurrent", "DeleteContext", "ReleaseDeviceContext", "DestroyWindow",
                     "Message ERROR [warning] Can't Activate The GL Rendering Context."}},
        // A context without framebuffer objects or blits would leave the window black.
        FailureCase{"SupportsPicture",
                    {"ReleaseCurrent", "DeleteContext", "ReleaseDeviceContext", "DestroyWindow",
                     "Message ERROR [warning] This OpenGL driver lacks the framebuffer objects "
                     "and blits that the picture needs."}}),
    [](const ::testing::TestParamInfo<FailureCase>& param) { return param.param.Step; });

TEST(ViewerTeardown, FailingStepsAreReportedAndTheNextHandleIsStillReleased)
{
    FailingPlatform platform({"MakeCurrent", "ReleaseCurrent", "DeleteContext", "DestroyWindow"});
    RecordingNavigator navigator;
    GlViewer viewer(true, &platform);

    EXPECT_FALSE(viewer.Open(navigator));
    EXPECT_EQ(platform.Log,
              Concat(StepsThrough("MakeCurrent"),
                     {"ReleaseCurrent",
                      "Message SHUTDOWN ERROR [information] Release Of DC And RC "
                      "Failed.",
                      "DeleteContext",
                      "Message SHUTDOWN ERROR [information] Release Rendering Context Failed.",
                      "ReleaseDeviceContext", "DestroyWindow",
                      "Message SHUTDOWN ERROR [information] Could Not Release hWnd.",
                      "Message ERROR [warning] Can't Activate The GL Rendering Context."}));
}

TEST(ViewerTeardown, FailingDeviceContextReleaseIsReported)
{
    FailingPlatform platform({"SetPixelFormat", "ReleaseDeviceContext"});
    RecordingNavigator navigator;
    GlViewer viewer(true, &platform);

    EXPECT_FALSE(viewer.Open(navigator));
    EXPECT_EQ(
        platform.Log,
        Concat(
            StepsThrough("SetPixelFormat"),
            {"ReleaseDeviceContext",
             "Message SHUTDOWN ERROR [information] Release Device Context Failed.", "DestroyWindow",
             "Message Error [none] SetPixelFormat() failed:  Cannot set format specified."}));
}

TEST(ViewerCreation, SucceedsThroughEveryStepAndShowsTheWindowLast)
{
    FailingPlatform platform({});
    RecordingNavigator navigator;
    GlViewer viewer(true, &platform);

    EXPECT_TRUE(viewer.Open(navigator));
    EXPECT_EQ(platform.Log, Concat(CreationSteps, {"ShowWindow"}));
    EXPECT_EQ(platform.Request, (PixelFormatRequest{0x25, 32}));
    EXPECT_TRUE(viewer.IsOpen());
}

TEST(ViewerCreation, SingleBufferedAsksForFlags0x24)
{
    FailingPlatform platform({});
    RecordingNavigator navigator;
    GlViewer viewer(false, &platform);

    EXPECT_TRUE(viewer.Open(navigator));
    EXPECT_EQ(platform.Request, (PixelFormatRequest{0x24, 32}));
}

TEST(SurfaceFormatFor, MapsTheRequestOntoAFormatWithDepth)
{
    const std::optional<QSurfaceFormat> doubled = SurfaceFormatFor({0x25, 32});
    ASSERT_TRUE(doubled);
    EXPECT_EQ(doubled->swapBehavior(), QSurfaceFormat::DoubleBuffer);
    EXPECT_EQ(doubled->profile(), QSurfaceFormat::CompatibilityProfile);
    EXPECT_EQ(doubled->depthBufferSize(), 24);
    EXPECT_EQ(doubled->redBufferSize(), 8);
    EXPECT_EQ(doubled->alphaBufferSize(), 0);

    const std::optional<QSurfaceFormat> single = SurfaceFormatFor({0x24, 32});
    ASSERT_TRUE(single);
    EXPECT_EQ(single->swapBehavior(), QSurfaceFormat::SingleBuffer);

    EXPECT_FALSE(SurfaceFormatFor({0x05, 32}));  // no OpenGL support asked for
    EXPECT_FALSE(SurfaceFormatFor({0x21, 32}));  // not for a window
    EXPECT_FALSE(SurfaceFormatFor({0x25, 16}));
}

}  // namespace
}  // namespace ramifex::test
