#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

#include "core/animation/animation.h"

namespace ramifex
{

inline constexpr char AnimationFileSuffix[] = ".ramifex-anim.json";

// An animation as one JSON object:
//   "format": "ramifex-animation", "version": 1, "loop": true or false, and "keyframes": a list of
//   at least one { "scene": a scene's own object, "seconds": more than 0, "easing": "linear" or
//   "ease in-out" }.
QByteArray AnimationToJson(const Animation& animation);

// The animation that json describes, or nothing with *problem naming the field, as scene files
// name theirs ("the field keyframes[1].scene: the field \"base\".scale is missing").
std::optional<Animation> AnimationFromJson(const QByteArray& json, QString* problem);

// The animation in an animation file; a scene file or a picture that carries a scene opens as an
// animation of that one keyframe. A failure gives one sentence in *error that names the file.
std::optional<Animation> ReadAnimationFile(const QString& path, QString* error);

// Saves through QSaveFile, so a file already at path stays as it was when anything goes wrong.
bool WriteAnimationFile(const QString& path, const Animation& animation, QString* error);

}  // namespace ramifex
