#include "gl/picture/sphere_picture.h"

#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <algorithm>

#include <GL/gl.h>

#include "core/render/projection.h"
#include "gl/picture/raster_backlog.h"

namespace ramifex
{

const std::array<float, 16> BasisMatrix = {
    0,  0, -1, 0,  // column 0
    -1, 0, 0,  0,  // column 1
    0,  1, 0,  0,  // column 2
    0,  0, 0,  1,  // column 3
};

bool SpherePicture::Supported(QOpenGLContext& context)
{
    return QOpenGLContext::currentContext() == &context &&
           QOpenGLFramebufferObject::hasOpenGLFramebufferObjects() &&
           QOpenGLFramebufferObject::hasOpenGLFramebufferBlit();
}

QSize SpherePicture::LargestSize()
{
    GLint renderbuffer = 0;
    GLint texture = 0;
    GLint viewport[2] = {0, 0};
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &renderbuffer);
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &texture);  // the colour is kept in a texture
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, viewport);
    const int32_t side = std::min({renderbuffer, texture, MaxSide});
    return {std::min(side, viewport[0]), std::min(side, viewport[1])};
}

// The resize loads BasisMatrix, under which the light is then given.
SpherePicture::SpherePicture(QOpenGLContext& context, int32_t width, int32_t height)
    : context_(&context), backlog_(std::make_unique<RasterBacklog>(context))
{
    contextGone_ = QObject::connect(&context, &QOpenGLContext::aboutToBeDestroyed,
                                    [this] { ReleaseGlObjects(); });
    Resize(width, height);
    awaitingRestart_ = false;  // nothing is under way in a new picture
    SetLightingAndMaterials();
}

SpherePicture::~SpherePicture()
{
    ReleaseGlObjects();
}

// Called as the context is about to be destroyed, or by the destructor. While the context is
// current the GL objects are deleted in it; otherwise they go with it.
void SpherePicture::ReleaseGlObjects()
{
    QObject::disconnect(contextGone_);
    batch_.Clear();
    framebuffer_.reset();
    backlog_.reset();
    context_ = nullptr;
}

// The light is given while the modelview holds BasisMatrix, so its direction is fixed in eye
// coordinates: from the left, above and the viewer's side.
void SpherePicture::SetLightingAndMaterials()
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

void SpherePicture::Resize(int32_t width, int32_t height)
{
    // A minimised window has no drawing area and no aspect; the next real size sets everything.
    if (width <= 0 || height <= 0 || context_ == nullptr)
    {
        return;
    }
    DrawBatch();
    ResizeFramebuffer(width, height);
    width_ = width;
    height_ = height;
    ApplyProjection();
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(BasisMatrix.data());
}

void SpherePicture::ApplyProjection()
{
    glViewport(0, 0, width_, height_);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    const Frustum frustum = FrustumFor(width_, height_);
    glFrustum(frustum.Left, frustum.Right, frustum.Bottom, frustum.Top, frustum.Near, frustum.Far);
}

void SpherePicture::ResizeFramebuffer(int32_t width, int32_t height)
{
    const QSize size(width, height);
    if (framebuffer_ && framebuffer_->size() == size)
    {
        return;
    }
    awaitingRestart_ = true;
    framebuffer_ = std::make_unique<QOpenGLFramebufferObject>(
        size, QOpenGLFramebufferObject::CombinedDepthStencil);
    if (!framebuffer_->isValid())
    {
        framebuffer_.reset();  // nothing to keep a picture in: every drawing call does nothing
        return;
    }
    framebuffer_->bind();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void SpherePicture::Clear()
{
    if (!framebuffer_)
    {
        return;
    }
    batch_.Clear();  // what is pending would be cleared anyway
    awaitingRestart_ = false;
    framebuffer_->bind();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void SpherePicture::SetViewTransform(const Matrix4& view)
{
    if (!framebuffer_)
    {
        return;
    }
    DrawBatch();
    viewTransform_ = view;
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixd(view.M.data());
}

// Before the first view transform a sphere may be anywhere, so it counts as the whole picture.
void SpherePicture::DrawSphere(const Matrix4& node, const Vec3& colour)
{
    if (awaitingRestart_ || !framebuffer_)
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
void SpherePicture::DrawBatch()
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

void SpherePicture::Present()
{
    DrawBatch();
}

std::optional<PixelArea> SpherePicture::VisibleArea() const
{
    if (awaitingRestart_ || !framebuffer_)
    {
        return std::nullopt;
    }
    return PixelAreaFor(width_, height_);
}

const DepthMap* SpherePicture::ReadDepths()
{
    constexpr int64_t MostPixels = 2048 * 2048;
    if (!VisibleArea() || int64_t{width_} * height_ > MostPixels)
    {
        return nullptr;
    }
    DrawBatch();
    depthPixels_.resize(static_cast<size_t>(width_) * height_);
    glReadPixels(0, 0, width_, height_, GL_DEPTH_COMPONENT, GL_FLOAT, depthPixels_.data());
    depths_.Build(width_, height_, depthPixels_.data());
    return &depths_;
}

QImage SpherePicture::Grab()
{
    if (!framebuffer_)
    {
        return {};
    }
    DrawBatch();
    QImage image = framebuffer_->toImage();
    framebuffer_->bind();
    return image;
}

}  // namespace ramifex
