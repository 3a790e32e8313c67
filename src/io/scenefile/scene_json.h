#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <optional>

#include "core/scene/scene_state.h"

namespace ramifex
{

// The scene as one human-readable JSON object:
//   "format": "ramifex-scene", "version": 1, "iterations": 1..MaxDepth, "viewOffset": [x, y, z],
//   and "base", "branch 1", "branch 2", each { "angle", "axis": [x, y, z], "scale", "offset",
//   "colour": [r, g, b], "colourRatio" }.
// Doubles are written in their shortest exact form, so reading gives back every value bit for bit;
// only the sign of a zero is lost, which no picture shows.
inline constexpr char SceneFormatName[] = "ramifex-scene";
inline constexpr int SceneFormatVersion = 1;
// Anything larger is refused before it is parsed: no scene comes near it.
inline constexpr qsizetype MaxSceneBytes = 1 << 20;
inline constexpr char SceneTooLarge[] = "the scene is larger than 1 MiB";

// The object that json holds, or nothing with *problem saying why ("it is not valid JSON (illegal
// value at character 1)", "it does not hold a JSON object"). Scene and animation files read
// theirs with it.
std::optional<QJsonObject> JsonObjectFrom(const QByteArray& json, QString* problem);

// extra: fields written beside the scene's, which readers of the scene ignore.
QByteArray SceneToJson(const SceneState& scene, const QJsonObject& extra = {});

// The scene that json describes, or nothing with *problem saying why, as a phrase naming the field
// ("the field \"branch 1\".scale is missing"). Values the panel cannot show, such as an
// unnormalised axis or a scale above 1, are kept as they are; unknown fields are ignored.
std::optional<SceneState> SceneFromJson(const QByteArray& json, QString* problem);

}  // namespace ramifex
