#include "app/headless_gl.h"

#include <QOpenGLContext>

#include "picture/sphere_picture.h"

namespace ramifex
{

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

HeadlessGl::HeadlessGl()
{
    if (!Create())
    {
        context_.reset();
    }
}

HeadlessGl::~HeadlessGl()
{
    if (context_)
    {
        context_->doneCurrent();
    }
    context_.reset();  // an adopted context leaves the EGL context to its maker
    if (eglContext_ != EGL_NO_CONTEXT)
    {
        eglDestroyContext(display_, eglContext_);
    }
}

bool HeadlessGl::Fail(const QString& why)
{
    error_ = QStringLiteral("%1 (EGL error 0x%2)").arg(why).arg(eglGetError(), 0, 16);
    return false;
}

bool HeadlessGl::Create()
{
    // The same display as the toolkit's: EGL gives one display per native display.
    display_ = eglGetDisplay(EGL_DEFAULT_DISPLAY);
    if (display_ == EGL_NO_DISPLAY || !eglInitialize(display_, nullptr, nullptr))
    {
        return Fail(QStringLiteral("no EGL display"));
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
    if (!eglChooseConfig(display_, wanted, &config, 1, &found) || found < 1)
    {
        return Fail(QStringLiteral("no off-screen OpenGL configuration"));
    }
    if (!eglBindAPI(EGL_OPENGL_API))
    {
        return Fail(QStringLiteral("no desktop OpenGL"));
    }
    // No version asked: a compatibility context, which keeps the fixed-function calls.
    eglContext_ = eglCreateContext(display_, config, EGL_NO_CONTEXT, nullptr);
    if (eglContext_ == EGL_NO_CONTEXT)
    {
        return Fail(QStringLiteral("no OpenGL context"));
    }
    context_.reset(QNativeInterface::QEGLContext::fromNative(eglContext_, display_));
    if (!context_)
    {
        error_ = QStringLiteral("the toolkit cannot use the OpenGL context");
        return false;
    }
    surface_.setFormat(context_->format());
    surface_.create();
    if (!context_->makeCurrent(&surface_))
    {
        return Fail(QStringLiteral("the OpenGL context cannot be made current"));
    }
    if (!SpherePicture::Supported(*context_))
    {
        error_ = QStringLiteral("OpenGL lacks the framebuffer objects and blits a picture needs");
        return false;
    }
    return true;
}

}  // namespace ramifex
