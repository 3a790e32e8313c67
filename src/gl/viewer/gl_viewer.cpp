#include "gl/viewer/gl_viewer.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QExposeEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QResizeEvent>
#include <QWheelEvent>
#include <QWindow>
#include <algorithm>

#include <GL/gl.h>

#include "core/render/frame_tick.h"
#include "core/render/projection.h"
#include "gl/picture/sphere_picture.h"
#include "gl/viewer/qt_viewer_platform.h"
#include "io/scenefile/dropped_file.h"

namespace ramifex
{
namespace
{

// A wheel notch turns by 15 degrees, which Qt counts as 120; touchpads that scroll smoothly report
// pixels, of which this many make a notch.
constexpr double AnglePerNotch = 120.0;
constexpr double PixelsPerNotch = 120.0;

// Forward (away from the user) is positive. Pixels are taken where the platform gives them, as
// Qt advises.
double WheelNotches(const QWheelEvent& event)
{
    if (!event.pixelDelta().isNull())
    {
        return event.pixelDelta().y() / PixelsPerNotch;
    }
    return event.angleDelta().y() / AnglePerNotch;
}

}  // namespace

// The viewer's window: hands its events to the viewer.
class ViewerWindow final : public QWindow
{
public:
    explicit ViewerWindow(GlViewer& viewer) : viewer_(viewer) {}

protected:
    // Uncovered, restored or mapped again: show the kept picture.
    void exposeEvent(QExposeEvent* /*event*/) override { viewer_.Present(); }

    void resizeEvent(QResizeEvent* event) override
    {
        const QSize size = event->size() * devicePixelRatio();
        viewer_.OnSizeChanged(size.width(), size.height());
    }

    void closeEvent(QCloseEvent* event) override
    {
        event->ignore();  // the window stays until the program ends
        viewer_.OnCloseRequested();
    }

    // A plain window has no drag handlers of its own: drags arrive as events.
    bool event(QEvent* event) override
    {
        switch (event->type())
        {
            case QEvent::DragEnter:
            case QEvent::DragMove:
                AcceptFileDrag(static_cast<QDropEvent&>(*event));
                return true;
            case QEvent::Drop:
                if (AcceptFileDrag(static_cast<QDropEvent&>(*event)))
                {
                    viewer_.OnFileDropped(
                        *DroppedFile(static_cast<QDropEvent*>(event)->mimeData()));
                }
                return true;
            default:
                return QWindow::event(event);
        }
    }

    void keyPressEvent(QKeyEvent* event) override
    {
        if (!viewer_.OnKeyPressed(*event))
        {
            QWindow::keyPressEvent(event);
        }
    }

    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->buttons() == event->button())
        {
            viewer_.navigator_->BeginGesture();  // the first button down
        }
    }

    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (event->buttons() == Qt::NoButton)
        {
            viewer_.navigator_->EndGesture();  // the last button up
        }
    }

    void wheelEvent(QWheelEvent* event) override { viewer_.OnWheel(WheelNotches(*event)); }

    void mouseMoveEvent(QMouseEvent* event) override
    {
        unsigned flags = 0;
        if (event->buttons().testFlag(Qt::LeftButton))
        {
            flags |= MouseLeftButton;
        }
        if (event->buttons().testFlag(Qt::RightButton))
        {
            flags |= MouseRightButton;
        }
        if (event->modifiers().testFlag(Qt::ShiftModifier))
        {
            flags |= MouseShift;
        }
        const QPoint position = event->position().toPoint();
        viewer_.OnMouseMove(position.x(), position.y(), flags);
    }

private:
    bool AcceptFileDrag(QDropEvent& event)
    {
        const bool accepted = viewer_.fileDropRelay_ && DroppedFile(event.mimeData());
        event.setAccepted(accepted);
        if (accepted)
        {
            event.acceptProposedAction();
        }
        return accepted;
    }

    GlViewer& viewer_;
};

GlViewer::GlViewer(bool doubleBuffered, ViewerPlatform* platform)
    : doubleBuffered_(doubleBuffered),
      ownPlatform_(platform != nullptr ? nullptr : std::make_unique<QtViewerPlatform>()),
      platform_(platform != nullptr ? *platform : *ownPlatform_),
      closeAction_([] { QCoreApplication::exit(0); })
{
}

// The picture's GL objects go with the context, deleted in it while it can be made current.
GlViewer::~GlViewer()
{
    MakeCurrent();
    context_.reset();
    picture_.reset();
    window_.reset();
}

QWindow* GlViewer::Window() const
{
    return window_.get();
}

bool GlViewer::Open(Navigator& navigator)
{
    navigator_ = &navigator;
    const QRect geometry(0, 0, StartPictureWidth, StartPictureHeight);
    if (!CreateViewerWindow("OpenGL Window", geometry, 32))
    {
        return false;
    }
    width_ = geometry.width();
    height_ = geometry.height();
    picture_ = std::make_unique<SpherePicture>(*context_, width_, height_);
    return true;
}

// Each step that fails releases what the earlier steps acquired, then says which step failed.
bool GlViewer::CreateViewerWindow(const QString& title, const QRect& geometry, uint8_t colourBits)
{
    if (!platform_.RegisterWindowClass())
    {
        platform_.ShowMessage("RegisterClass() failed:  Cannot register window class.", "Error",
                              MessageIcon::None);
        return false;
    }
    auto window = std::make_unique<ViewerWindow>(*this);
    if (!platform_.CreateWindow(*window, title, geometry))
    {
        return FailCreation("CreateWindow() failed:  Cannot create a window.", "Error",
                            MessageIcon::None);
    }
    window_ = std::move(window);
    if (!platform_.GetDeviceContext(*window_))
    {
        return FailCreation("Can't Create A GL Device Context.", "ERROR", MessageIcon::Warning);
    }
    deviceContextHeld_ = true;
    const std::optional<QSurfaceFormat> format =
        platform_.ChoosePixelFormat(MakePixelFormatRequest(doubleBuffered_, colourBits));
    if (!format)
    {
        return FailCreation("ChoosePixelFormat() failed:  Cannot find a suitable pixel format.",
                            "Error", MessageIcon::None);
    }
    if (!platform_.SetPixelFormat(*window_, *format))
    {
        return FailCreation("SetPixelFormat() failed:  Cannot set format specified.", "Error",
                            MessageIcon::None);
    }
    auto context = std::make_unique<QOpenGLContext>();
    if (!platform_.CreateContext(*context, *format))
    {
        return FailCreation("Can't Create A GL Rendering Context.", "ERROR", MessageIcon::Warning);
    }
    context_ = std::move(context);
    if (!platform_.MakeCurrent(*context_, *window_))
    {
        return FailCreation("Can't Activate The GL Rendering Context.", "ERROR",
                            MessageIcon::Warning);
    }
    if (!platform_.SupportsPicture(*context_))
    {
        return FailCreation(
            "This OpenGL driver lacks the framebuffer objects and blits that the picture needs.",
            "ERROR", MessageIcon::Warning);
    }
    open_ = true;
    platform_.ShowWindow(*window_);
    return true;
}

bool GlViewer::FailCreation(const char* text, const char* caption, MessageIcon icon)
{
    TearDown();
    platform_.ShowMessage(text, caption, icon);
    return false;
}

// Releases whatever is held, newest first; a step that fails is reported and the next one still
// runs.
void GlViewer::TearDown()
{
    open_ = false;
    if (context_)
    {
        if (!platform_.ReleaseCurrent(*context_))
        {
            ShowShutdownError("Release Of DC And RC Failed.");
        }
        if (!platform_.DeleteContext(std::move(context_)))
        {
            ShowShutdownError("Release Rendering Context Failed.");
        }
    }
    if (deviceContextHeld_)
    {
        if (!platform_.ReleaseDeviceContext(*window_))
        {
            ShowShutdownError("Release Device Context Failed.");
        }
        deviceContextHeld_ = false;
    }
    if (window_)
    {
        if (!platform_.DestroyWindow(*window_))
        {
            ShowShutdownError("Could Not Release hWnd.");
        }
        window_.reset();
    }
}

void GlViewer::ShowShutdownError(const char* text)
{
    platform_.ShowMessage(text, "SHUTDOWN ERROR", MessageIcon::Information);
}

// Jobs make their own contexts current between the viewer's calls; this makes the viewer's
// current again, cheaply when it still is.
bool GlViewer::MakeCurrent()
{
    if (!open_)
    {
        return false;
    }
    return QOpenGLContext::currentContext() == context_.get() ||
           context_->makeCurrent(window_.get());
}

SpherePicture* GlViewer::Current()
{
    return MakeCurrent() ? picture_.get() : nullptr;
}

void GlViewer::Clear()
{
    if (SpherePicture* picture = Current())
    {
        picture->Clear();
    }
}

void GlViewer::SetViewTransform(const Matrix4& view)
{
    if (SpherePicture* picture = Current())
    {
        picture->SetViewTransform(view);
    }
}

void GlViewer::DrawSphere(const Matrix4& node, const Vec3& colour)
{
    if (SpherePicture* picture = Current())
    {
        picture->DrawSphere(node, colour);
    }
}

const DepthMap* GlViewer::ReadDepths()
{
    SpherePicture* picture = Current();
    return picture != nullptr ? picture->ReadDepths() : nullptr;
}

void GlViewer::Resize(int32_t width, int32_t height)
{
    width_ = width;
    height_ = height;
    if (SpherePicture* picture = Current())
    {
        picture->Resize(width, height);
    }
}

std::optional<PixelArea> GlViewer::VisibleArea() const
{
    return open_ && picture_ ? picture_->VisibleArea() : std::nullopt;
}

void GlViewer::Present()
{
    SpherePicture* picture = Current();
    if (picture == nullptr || picture->Framebuffer() == nullptr)
    {
        return;
    }
    QElapsedTimer presenting;
    presenting.start();
    ShowPicture(*picture);
    // Presents vary with what is left to draw and to copy: a slow one is remembered for a while.
    const auto took = static_cast<uint32_t>(std::min<qint64>(presenting.elapsed() + 1, TickBudget));
    presentMs_ = std::max(took, presentMs_ - presentMs_ / 4);
}

// Copies the kept picture to the window. A window that cannot be seen is left alone: the next
// expose shows the picture.
void GlViewer::ShowPicture(SpherePicture& picture)
{
    picture.Present();
    if (!window_->isExposed())
    {
        return;
    }
    QOpenGLFramebufferObject& kept = *picture.Framebuffer();
    const QRect target(QPoint(0, 0), window_->size() * window_->devicePixelRatio());
    // The window's own framebuffer stays bound for the flush: a flush with the picture bound does
    // not reach a single-buffered window.
    QOpenGLFramebufferObject::blitFramebuffer(
        nullptr, target, &kept, QRect(QPoint(0, 0), kept.size()), GL_COLOR_BUFFER_BIT, GL_NEAREST,
        0, 0, QOpenGLFramebufferObject::RestoreFramebufferBindingToDefault);
    if (doubleBuffered_)
    {
        context_->swapBuffers(window_.get());
    }
    else
    {
        glFlush();
    }
    kept.bind();
}

QImage GlViewer::GrabPicture()
{
    SpherePicture* picture = Current();
    return picture != nullptr ? picture->Grab() : QImage();
}

// The new, black picture draws nothing until the restart that the redraw request brings.
void GlViewer::OnSizeChanged(int32_t width, int32_t height)
{
    if (!open_ || (width == width_ && height == height_))
    {
        return;
    }
    Resize(width, height);
    navigator_->RequestRedraw();
}

void GlViewer::OnMouseMove(int32_t x, int32_t y, unsigned flags)
{
    tracker_.Update(x, y);
    Navigate(tracker_, flags, *navigator_);
}

void GlViewer::OnWheel(double notches)
{
    if (notches != 0.0)
    {
        navigator_->Zoom(notches);
    }
}

bool GlViewer::OnKeyPressed(const QKeyEvent& event)
{
    return keyRelay_ && keyRelay_(event);
}

void GlViewer::OnFileDropped(const QString& path)
{
    fileDropRelay_(path);
}

void GlViewer::OnCloseRequested()
{
    closeAction_();
}

}  // namespace ramifex
