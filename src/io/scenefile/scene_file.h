#pragma once

#include <QFile>
#include <QImage>
#include <QJsonObject>
#include <QString>
#include <optional>

#include "core/scene/scene_state.h"

namespace ramifex
{

inline constexpr char SceneFileSuffix[] = ".ramifex.json";
// What every scene file's name ends in: it holds JSON.
inline constexpr char SceneFileNameEnd[] = ".json";

// Every failure below gives one sentence in *error that names the file and says why, such as
//   Cannot open "tree.ramifex.json": the field "branch 1".scale is not a number.
//   Cannot save "tree.ramifex.json": no space left on device.

// The scene in a scene file, or in a PNG picture that carries one (see WritePictureWithScene).
// Only a regular file is read (a pipe or a device is refused at once), and of a picture only the
// scene's text chunk, whatever else it carries.
std::optional<SceneState> ReadSceneFile(const QString& path, QString* error);

// Both writers save through QSaveFile: whatever goes wrong, a file already at path stays as it was.
// A scene that a file could not give back (a value that is not a finite number) is not written.
// Nothing is written over a folder, a pipe or a device, nor at a name whose ending says another
// kind of file: a scene file's name ends in .json, a picture's in .png.
// extra: fields written beside the scene's (SceneToJson).
bool WriteSceneFile(const QString& path, const SceneState& scene, QString* error,
                    const QJsonObject& extra = {});

// Writes picture as a PNG whose text chunk carries the scene's JSON, so opening it gives the scene.
bool WritePictureWithScene(const QString& path, const QImage& picture, const SceneState& scene,
                           QString* error);

// Whether WritePictureWithScene may write at path; if not, *error says why as it would. Lets a
// long drawing be refused before it starts.
bool CanWritePicture(const QString& path, QString* error);

// Whether WriteSceneFile may write at a path of this name.
bool IsSceneFileName(const QString& path);

// Opens path for reading when it is a regular file (or a link to one). A pipe or a device is
// refused unopened, and should one take the file's place meanwhile, opening it does not wait. On
// failure, *problem ends a sentence: "it is not a regular file".
bool OpenRegularFile(const QString& path, QFile& file, QString* problem);

// Whether both paths lead to one existing file, through links or not.
bool SameFile(const QString& a, const QString& b);

}  // namespace ramifex
