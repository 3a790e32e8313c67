#include "gl/viewer/qt_viewer_platform.h"

#include <cstdio>

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QOpenGLContext>
#include <QScreen>
#include <QWindow>

#include "gl/picture/sphere_picture.h"

namespace ramifex
{

std::optional<QSurfaceFormat> SurfaceFormatFor(const PixelFormatRequest& request)
{
    constexpr uint32_t required = PixelFormatDrawToWindow | PixelFormatSupportOpenGl;
    if ((request.Flags & required) != required || request.ColourBits < 24)
    {
        return std::nullopt;
    }
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setRedBufferSize(8);
    format.setGreenBufferSize(8);
    format.setBlueBufferSize(8);
    // No alpha: the cleared picture has alpha 0, which a compositor would show as a see-through
    // window.
    format.setAlphaBufferSize(0);
    format.setDepthBufferSize(24);
    format.setSwapBehavior((request.Flags & PixelFormatDoubleBuffer) != 0
                               ? QSurfaceFormat::DoubleBuffer
                               : QSurfaceFormat::SingleBuffer);
    return format;
}

bool QtViewerPlatform::RegisterWindowClass()
{
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

// Qt geometry excludes the frame. The frame's top-left corner goes where asked, and the drawing
// area gets the requested size, which is also the size the viewer's first resize uses.
bool QtViewerPlatform::CreateWindow(QWindow& window, const QString& title, const QRect& geometry)
{
    if (QGuiApplication::primaryScreen() == nullptr)
    {
        return false;
    }
    window.setSurfaceType(QSurface::OpenGLSurface);
    window.setTitle(title);
    window.resize(geometry.size());
    window.setFramePosition(geometry.topLeft());
    return true;
}

bool QtViewerPlatform::GetDeviceContext(QWindow& window)
{
    return window.supportsOpenGL();
}

std::optional<QSurfaceFormat> QtViewerPlatform::ChoosePixelFormat(const PixelFormatRequest& request)
{
    return SurfaceFormatFor(request);
}

bool QtViewerPlatform::SetPixelFormat(QWindow& window, const QSurfaceFormat& format)
{
    window.setFormat(format);
    window.create();
    return window.handle() != nullptr;
}

bool QtViewerPlatform::CreateContext(QOpenGLContext& context, const QSurfaceFormat& format)
{
    context.setFormat(format);
    return context.create();
}

bool QtViewerPlatform::MakeCurrent(QOpenGLContext& context, QWindow& window)
{
    return context.makeCurrent(&window);
}

bool QtViewerPlatform::SupportsPicture(QOpenGLContext& context)
{
    return SpherePicture::Supported(context);
}

void QtViewerPlatform::ShowWindow(QWindow& window)
{
    window.show();
    window.requestActivate();
}

bool QtViewerPlatform::ReleaseCurrent(QOpenGLContext& context)
{
    context.doneCurrent();
    return QOpenGLContext::currentContext() != &context;
}

bool QtViewerPlatform::DeleteContext(std::unique_ptr<QOpenGLContext> context)
{
    context.reset();
    return true;
}

bool QtViewerPlatform::ReleaseDeviceContext(QWindow& /*window*/)
{
    return true;
}

bool QtViewerPlatform::DestroyWindow(QWindow& window)
{
    window.destroy();
    return window.handle() == nullptr;
}

void QtViewerPlatform::ShowMessage(const QString& text, const QString& caption, MessageIcon icon)
{
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr)
    {
        std::fprintf(stderr, "%s: %s\n", qPrintable(caption), qPrintable(text));
        return;
    }
    QMessageBox::Icon boxIcon = QMessageBox::NoIcon;
    if (icon == MessageIcon::Warning)
    {
        boxIcon = QMessageBox::Warning;
    }
    else if (icon == MessageIcon::Information)
    {
        boxIcon = QMessageBox::Information;
    }
    QMessageBox box(boxIcon, caption, text, QMessageBox::Ok);
    box.exec();
}

}  // namespace ramifex
