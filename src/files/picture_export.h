#pragma once

#include <QObject>
#include <QProgressDialog>
#include <QString>
#include <QTimer>
#include <memory>

#include "render/complete_walk.h"
#include "render/millisecond_clock.h"
#include "scene/scene_state.h"

namespace ramifex
{

class SidePicture;

// One export under way: the complete picture of the scene as it was when the export began, drawn
// beside the viewer's a tick at a time from the event loop, so that both windows stay responsive
// and the viewer's own walk goes on. A progress dialog over the owner shows how far it is and can
// cancel it. Once complete, the picture is written as a PNG that carries the scene.
class PictureExport final : public QObject
{
    Q_OBJECT

public:
    PictureExport(const SceneState& scene, std::unique_ptr<SidePicture> picture,
                  const QString& path, QWidget& owner, QObject* parent);
    ~PictureExport() override;

signals:
    // Sent once, when the file is written (error empty), cannot be written (error says why) or the
    // user cancelled (error empty, no file). Nothing is drawn afterwards.
    void Done(const QString& error);

private:
    void Tick();
    void Finish(const QString& error);

    SceneState scene_;
    std::unique_ptr<SidePicture> picture_;
    QString path_;
    SteadyMillisecondClock clock_;
    CompleteWalk walk_;
    QProgressDialog progress_;
    QTimer ticks_;
};

}  // namespace ramifex
