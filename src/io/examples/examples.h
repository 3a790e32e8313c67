#pragma once

#include <QString>
#include <vector>

#include "core/scene/scene_state.h"

namespace ramifex
{

// A scene shipped with the program to start from, framed to show its whole tree.
struct Example
{
    QString Name;
    SceneState Scene;
};

// The examples in the order the gallery shows them, read from the program's resources.
std::vector<Example> Examples();

}  // namespace ramifex
