#pragma once

#include <QImage>
#include <QObject>
#include <QPixmap>
#include <QTimer>
#include <memory>
#include <vector>

#include "core/scene/scene_state.h"

namespace ramifex
{

class PictureSequence;

// The size every thumbnail is drawn at.
inline constexpr QSize ThumbnailSize{160, 120};

// What a thumbnail shows until its picture is drawn: the picture's black background.
QPixmap BlankThumbnail();

// Draws small pictures of scenes one after another with a picture sequence ticked from a timer, so
// that the windows stay responsive and each picture shows as soon as it is done. Each scene is
// drawn at its own depth kept to at most `deepest`, so that a picture takes well under a second.
class ThumbnailDrawer final : public QObject
{
    Q_OBJECT

public:
    explicit ThumbnailDrawer(int32_t deepest, QObject* parent = nullptr);
    ~ThumbnailDrawer() override;

    // Drops the pictures under way and draws these instead.
    void Draw(std::vector<SceneState> scenes);
    bool Drawing() const { return ticks_.isActive(); }

signals:
    // The picture of the scene at `index` of the last Draw.
    void Drawn(size_t index, const QImage& picture);

private:
    void Tick();
    void Stop();

    int32_t deepest_;
    std::unique_ptr<PictureSequence> job_;
    QTimer ticks_;
};

}  // namespace ramifex
