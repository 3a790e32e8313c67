#pragma once

#include <QOffscreenSurface>
#include <QString>
#include <memory>

#include <EGL/egl.h>

class QOpenGLContext;

namespace ramifex
{

// Makes the toolkit draw with no display at all: its EGL platform on Mesa's surfaceless EGL,
// with no screen, framebuffer device or input device. Called before the QGuiApplication is made.
void UseHeadlessPlatform();

// A desktop OpenGL context, current on an off-screen surface, for drawing pictures with no
// display. The toolkit's EGL platform makes OpenGL ES contexts only, as it looks for a window's
// configuration that a surfaceless display lacks; so the context is made with EGL directly and
// handed to the toolkit. Needs the QGuiApplication of UseHeadlessPlatform.
class HeadlessGl
{
public:
    HeadlessGl();
    ~HeadlessGl();
    HeadlessGl(const HeadlessGl&) = delete;
    HeadlessGl& operator=(const HeadlessGl&) = delete;

    // The current context; null when there is none, with Error() saying why.
    QOpenGLContext* Context() const { return context_.get(); }
    const QString& Error() const { return error_; }

private:
    bool Fail(const QString& why);
    bool Create();

    EGLDisplay display_ = EGL_NO_DISPLAY;
    EGLContext eglContext_ = EGL_NO_CONTEXT;
    QOffscreenSurface surface_;
    std::unique_ptr<QOpenGLContext> context_;
    QString error_;
};

}  // namespace ramifex
