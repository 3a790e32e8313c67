#pragma once

#include <QImage>
#include <QString>
#include <optional>

#include "scene/scene_state.h"

namespace ramifex
{

inline constexpr char SceneFileSuffix[] = ".ramifex.json";

// Every failure below gives one sentence in *error that names the file and says why, such as
//   Cannot open "tree.ramifex.json": the field "branch 1".scale is not a number.
//   Cannot save "tree.ramifex.json": no space left on device.

// The scene in a scene file, or in a PNG picture that carries one (see WritePictureWithScene).
std::optional<SceneState> ReadSceneFile(const QString& path, QString* error);

// Both writers save through QSaveFile: whatever goes wrong, a file already at path stays as it was.
// A scene that a file could not give back (a value that is not a finite number) is not written.
bool WriteSceneFile(const QString& path, const SceneState& scene, QString* error);

// Writes picture as a PNG whose text chunk carries the scene's JSON, so opening it gives the scene.
bool WritePictureWithScene(const QString& path, const QImage& picture, const SceneState& scene,
                           QString* error);

}  // namespace ramifex
