#pragma once

#include <QOffscreenSurface>
#include <QSize>
#include <QString>
#include <memory>

class QOpenGLContext;

namespace ramifex
{

// Makes the toolkit draw with no display at all: its EGL platform on Mesa's surfaceless EGL,
// with no screen, framebuffer device or input device. Called before the QGuiApplication is made.
void UseHeadlessPlatform();

struct SurfacelessEgl;

// A desktop OpenGL context of its own, current on an off-screen surface, able to keep a picture
// (SpherePicture::Supported). Where the platform shows windows, the toolkit makes it; the headless
// platform makes OpenGL ES contexts only (it looks for a window's configuration that a surfaceless
// display lacks), so there the context is made with EGL directly and handed to the toolkit. Needs
// the QGuiApplication, and lives on its thread.
class OffscreenGl
{
public:
    // Null when no context can be made, with `error` saying why.
    static std::unique_ptr<OffscreenGl> Create(QString* error);
    ~OffscreenGl();
    OffscreenGl(const OffscreenGl&) = delete;
    OffscreenGl& operator=(const OffscreenGl&) = delete;

    QOpenGLContext& Context() const { return *context_; }
    // Makes the context current again, after the viewer or another job made theirs current.
    bool MakeCurrent();

private:
    OffscreenGl();
    bool CreateWithToolkit(QString* error);
    bool CreateWithEgl(QString* error);
    bool MakeSurfaceCurrent(QString* error);

    std::unique_ptr<SurfacelessEgl> egl_;  // only on the headless platform
    QOffscreenSurface surface_;
    std::unique_ptr<QOpenGLContext> context_;
};

// The largest picture that an off-screen context of this process can keep
// (SpherePicture::LargestSize), found once; empty when no context can be made, with `error` saying
// why.
QSize LargestOffscreenPicture(QString* error);

}  // namespace ramifex
