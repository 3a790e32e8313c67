#include "viewer/gl_viewer.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QExposeEvent>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QResizeEvent>
#include <QWindow>

#include <GL/gl.h>

#include "render/projection.h"
#include "viewer/qt_viewer_platform.h"
#include "viewer/raster_backlog.h"

namespace ramifex
{

const std::array<float, 16> BasisMatrix = {
    0,  0, -1, 0,  // column 0
    -1, 0, 0,  0,  // column 1
    0,  1, 0,  0,  // column 2
    0,  0, 0,  1,  // column 3
};

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
    GlViewer& viewer_;
};

GlViewer::GlViewer(bool doubleBuffered, ViewerPlatform* platform)
    : doubleBuffered_(doubleBuffered),
      ownPlatform_(platform != nullptr ? nullptr : std::make_unique<QtViewerPlatform>()),
      platform_(platform != nullptr ? *platform : *ownPlatform_),
      closeAction_([] { QCoreApplication::exit(0); })
{
}

// GL resources go while their context is still current; then the context, then the window.
GlViewer::~GlViewer()
{
    if (MakeCurrent())
    {
        picture_.reset();
        backlog_.reset();
        context_->doneCurrent();
    }
    context_.reset();
    window_.reset();
}

QWindow* GlViewer::Window() const
{
    return window_.get();
}

bool GlViewer::Open(Navigator& panel)
{
    panel_ = &panel;
    if (!CreateViewerWindow("OpenGL Window", QRect(0, 0, 640, 480), 32))
    {
        return false;
    }
    SetLightingAndMaterials();
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
    open_ = true;
    backlog_ = std::make_unique<RasterBacklog>(*context_);
    platform_.ShowWindow(*window_);
    Resize(geometry.width(), geometry.height());
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

// The light is given while the modelview holds BasisMatrix (the resize at the end of creation
// loaded it), so its direction is fixed in eye coordinates: from the left, above and the viewer's
// side.
void GlViewer::SetLightingAndMaterials()
{
    const GLfloat noAmbient[] = {0.0f, 0.0f, 0.0f, 0.0f};
    const GLfloat twoSided = 1.0f;
    const GLfloat lightAmbient[] = {0.0f, 0.0f, 0.0f, 1.0f};
    const GLfloat lightDiffuse[] = {1.0f, 1.0f, 1.0f, 1.0f};
    const GLfloat lightPosition[] = {-10.0f, 5.0f, 5.0f, 0.0f};
    const GLfloat shininess = 0.0f;
    const GLfloat grey[] = {0.85f, 0.85f, 0.85f, 1.0f};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, noAmbient);
    glLightModelfv(GL_LIGHT_MODEL_TWO_SIDE, &twoSided);
    glLightfv(GL_LIGHT0, GL_AMBIENT, lightAmbient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, lightDiffuse);
    glLightfv(GL_LIGHT0, GL_POSITION, lightPosition);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_NORMALIZE);
    glMaterialfv(GL_FRONT, GL_SHININESS, &shininess);
    glMaterialfv(GL_FRONT, GL_DIFFUSE, grey);
    glMaterialfv(GL_BACK, GL_SHININESS, &shininess);
    glMaterialfv(GL_BACK, GL_DIFFUSE, grey);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glEnable(GL_DEPTH_TEST);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

// Nothing else in the program makes a context current; this is a cheap check that keeps it so.
bool GlViewer::MakeCurrent()
{
    if (!open_)
    {
        return false;
    }
    return QOpenGLContext::currentContext() == context_.get() ||
           context_->makeCurrent(window_.get());
}

void GlViewer::Resize(int32_t width, int32_t height)
{
    width_ = width;
    height_ = height;
    // A minimised window has no drawing area and no aspect; the next real size sets everything.
    if (width <= 0 || height <= 0 || !MakeCurrent())
    {
        return;
    }
    DrawBatch();
    ResizePicture(width, height);
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    const Frustum frustum = FrustumFor(width, height);
    glFrustum(frustum.Left, frustum.Right, frustum.Bottom, frustum.Top, frustum.Near, frustum.Far);
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(BasisMatrix.data());
}

// A new size starts a new, black picture with its own depth buffer.
void GlViewer::ResizePicture(int32_t width, int32_t height)
{
    const QSize size(width, height);
    if (picture_ && picture_->size() == size)
    {
        return;
    }
    picture_ = std::make_unique<QOpenGLFramebufferObject>(
        size, QOpenGLFramebufferObject::CombinedDepthStencil);
    if (!picture_->isValid())
    {
        picture_.reset();  // nothing to keep a picture in: drawing and presenting do nothing
        return;
    }
    picture_->bind();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void GlViewer::Clear()
{
    if (!MakeCurrent() || !picture_)
    {
        return;
    }
    batch_.Clear();  // what is pending would be cleared anyway
    awaitingRestart_ = false;
    picture_->bind();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void GlViewer::SetViewTransform(const Matrix4& view)
{
    if (!MakeCurrent())
    {
        return;
    }
    DrawBatch();
    viewTransform_ = view;
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixd(view.M.data());
}

void GlViewer::DrawSphere(const Matrix4& node, const Vec3& colour)
{
    if (awaitingRestart_ || !MakeCurrent())
    {
        return;
    }
    const double pixels = viewTransform_ ? CoveredPixels(*viewTransform_, node, width_, height_)
                                         : static_cast<double>(width_) * height_;
    batch_.Add(node, colour, pixels);
    if (batch_.Full())
    {
        DrawBatch();
    }
}

// One draw call for the whole batch. Each point carries its sphere's colour, which colour tracking
// makes the front and back diffuse colour, as setting the material per sphere would; tracking is
// switched off again, leaving the last sphere's colour as the material.
void GlViewer::DrawBatch()
{
    if (batch_.Empty())
    {
        return;
    }
    constexpr GLsizei stride = SphereBatch::FloatsPerPoint * sizeof(float);
    const float* points = batch_.Points();
    glColorMaterial(GL_FRONT_AND_BACK, GL_DIFFUSE);
    glEnable(GL_COLOR_MATERIAL);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(3, GL_FLOAT, stride, points);
    glNormalPointer(GL_FLOAT, stride, points + 3);
    glColorPointer(3, GL_FLOAT, stride, points + 6);
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(batch_.IndexCount()), GL_UNSIGNED_INT,
                   batch_.Indices());
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisable(GL_COLOR_MATERIAL);
    batch_.Clear();
    backlog_->WaitForPrevious();
}

// Copies the kept picture to the window. A window that cannot be seen is left alone: the next
// expose shows the picture.
void GlViewer::Present()
{
    if (!MakeCurrent() || !picture_)
    {
        return;
    }
    DrawBatch();
    if (!window_->isExposed())
    {
        return;
    }
    const QRect target(QPoint(0, 0), window_->size() * window_->devicePixelRatio());
    // The window's own framebuffer stays bound for the flush: a flush with the picture bound does
    // not reach a single-buffered window.
    QOpenGLFramebufferObject::blitFramebuffer(
        nullptr, target, picture_.get(), QRect(QPoint(0, 0), picture_->size()), GL_COLOR_BUFFER_BIT,
        GL_NEAREST, 0, 0, QOpenGLFramebufferObject::RestoreFramebufferBindingToDefault);
    if (doubleBuffered_)
    {
        context_->swapBuffers(window_.get());
    }
    else
    {
        glFlush();
    }
    picture_->bind();
}

QImage GlViewer::GrabPicture()
{
    if (!MakeCurrent() || !picture_)
    {
        return {};
    }
    DrawBatch();
    QImage image = picture_->toImage();
    picture_->bind();
    return image;
}

// A walk under way was laid out for the old shape, and its second drawings are left out, so what
// it would add to the new, black picture is a fragment without its ancestors: the picture stays
// black until the restart that the redraw request brings.
void GlViewer::OnSizeChanged(int32_t width, int32_t height)
{
    if (!open_ || (width == width_ && height == height_))
    {
        return;
    }
    Resize(width, height);
    awaitingRestart_ = true;
    panel_->RequestRedraw();
}

void GlViewer::OnMouseMove(int32_t x, int32_t y, unsigned flags)
{
    tracker_.Update(x, y);
    Navigate(tracker_, flags, *panel_);
}

void GlViewer::OnCloseRequested()
{
    closeAction_();
}

}  // namespace ramifex
