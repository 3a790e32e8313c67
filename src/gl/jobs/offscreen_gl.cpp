#include "gl/jobs/offscreen_gl.h"

#include <QGuiApplication>
#include <QOpenGLContext>
#include <utility>

#include <EGL/egl.h>

#include "gl/picture/sphere_picture.h"

namespace ramifex
{

// The EGL context that the toolkit adopts on the headless platform: the toolkit leaves it to its
// maker.
struct SurfacelessEgl
{
    SurfacelessEgl() = default;
    SurfacelessEgl(const SurfacelessEgl&) = delete;
    SurfacelessEgl& operator=(const SurfacelessEgl&) = delete;
    ~SurfacelessEgl()
    {
        if (Context != EGL_NO_CONTEXT)
        {
            eglDestroyContext(Display, Context);
        }
    }

    EGLDisplay Display = EGL_NO_DISPLAY;
    EGLContext Context = EGL_NO_CONTEXT;
};

namespace
{

bool Fail(QString* error, const QString& why)
{
    *error = why;
    return false;
}

bool FailWithEgl(QString* error, const QString& why)
{
    return Fail(error, QStringLiteral("%1 (EGL error 0x%2)").arg(why).arg(eglGetError(), 0, 16));
}

}  // namespace

void UseHeadlessPlatform()
{
    qputenv("QT_QPA_PLATFORM", "eglfs");
    qputenv("EGL_PLATFORM", "surfaceless");
    // The plain EGL device (no KMS, no X11 window), with a framebuffer device it only opens.
    qputenv("QT_QPA_EGLFS_INTEGRATION", "none");
    qputenv("QT_QPA_EGLFS_FB", "/dev/null");
    // Leaves the keyboard and mouse to the terminal and everyone else.
    qputenv("QT_QPA_EGLFS_DISABLE_INPUT", "1");
    qputenv("QT_QPA_ENABLE_TERMINAL_KEYBOARD", "1");
}

std::unique_ptr<OffscreenGl> OffscreenGl::Create(QString* error)
{
    std::unique_ptr<OffscreenGl> gl(new OffscreenGl);
    const bool headless = QGuiApplication::platformName() == QLatin1String("eglfs");
    if (!(headless ? gl->CreateWithEgl(error) : gl->CreateWithToolkit(error)) ||
        !gl->MakeSurfaceCurrent(error))
    {
        return nullptr;
    }
    return gl;
}

OffscreenGl::OffscreenGl() = default;

// The context goes before its surface, and the adopted EGL context after the toolkit's wrapper.
OffscreenGl::~OffscreenGl()
{
    context_.reset();
}

bool OffscreenGl::MakeCurrent()
{
    return QOpenGLContext::currentContext() == context_.get() || context_->makeCurrent(&surface_);
}

// No version asked: a compatibility context, which keeps the fixed-function calls.
bool OffscreenGl::CreateWithToolkit(QString* error)
{
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    context_ = std::make_unique<QOpenGLContext>();
    context_->setFormat(format);
    return context_->create() || Fail(error, QStringLiteral("no OpenGL context"));
}

bool OffscreenGl::CreateWithEgl(QString* error)
{
    egl_ = std::make_unique<SurfacelessEgl>();
    // The same display as the toolkit's: EGL gives one display per native display.
    egl_->Display = eglGetDisplay(EGL_DEFAULT_DISPLAY);
    if (egl_->Display == EGL_NO_DISPLAY || !eglInitialize(egl_->Display, nullptr, nullptr))
    {
        return FailWithEgl(error, QStringLiteral("no EGL display"));
    }
    const EGLint wanted[] = {EGL_SURFACE_TYPE,
                             EGL_PBUFFER_BIT,
                             EGL_RENDERABLE_TYPE,
                             EGL_OPENGL_BIT,
                             EGL_RED_SIZE,
                             8,
                             EGL_GREEN_SIZE,
                             8,
                             EGL_BLUE_SIZE,
                             8,
                             EGL_DEPTH_SIZE,
                             24,
                             EGL_NONE};
    EGLConfig config = nullptr;
    EGLint found = 0;
    if (!eglChooseConfig(egl_->Display, wanted, &config, 1, &found) || found < 1)
    {
        return FailWithEgl(error, QStringLiteral("no off-screen OpenGL configuration"));
    }
    if (!eglBindAPI(EGL_OPENGL_API))
    {
        return FailWithEgl(error, QStringLiteral("no desktop OpenGL"));
    }
    egl_->Context = eglCreateContext(egl_->Display, config, EGL_NO_CONTEXT, nullptr);
    if (egl_->Context == EGL_NO_CONTEXT)
    {
        return FailWithEgl(error, QStringLiteral("no OpenGL context"));
    }
    context_.reset(QNativeInterface::QEGLContext::fromNative(egl_->Context, egl_->Display));
    return context_ != nullptr ||
           Fail(error, QStringLiteral("the toolkit cannot use the OpenGL context"));
}

bool OffscreenGl::MakeSurfaceCurrent(QString* error)
{
    surface_.setFormat(context_->format());
    surface_.create();
    if (!context_->makeCurrent(&surface_))
    {
        return Fail(error, QStringLiteral("the OpenGL context cannot be made current"));
    }
    return SpherePicture::Supported(*context_) ||
           Fail(error,
                QStringLiteral("OpenGL lacks the framebuffer objects and blits a picture needs"));
}

QSize LargestOffscreenPicture(QString* error)
{
    static const std::pair<QSize, QString> found = []
    {
        QString why;
        const std::unique_ptr<OffscreenGl> gl = OffscreenGl::Create(&why);
        return std::pair(gl ? SpherePicture::LargestSize() : QSize(), why);
    }();
    *error = found.second;
    return found.first;
}

}  // namespace ramifex
