#pragma once

#include <QString>
#include <optional>

#include "core/scene/scene_state.h"

namespace ramifex
{

// The scene as the program last had it, kept so that ending the program loses nothing: where it
// came from (a file, or none for a new scene) and whether it had changes not saved there.
struct LastSession
{
    SceneState Scene;
    QString File;
    bool Unsaved = false;

    bool operator==(const LastSession&) const = default;
};

// Where the last session is kept: a scene file in the user's data folder.
QString LastSessionPath();

// Keeps the session whole at path, replacing what was there in one step (QSaveFile), so that two
// programs ending together leave one of theirs, never a mix; on failure what was there stays.
bool KeepLastSession(const QString& path, const LastSession& session, QString* error);

// The session kept at path; none with *error saying why when there is none or it cannot be read.
std::optional<LastSession> ReadLastSession(const QString& path, QString* error);

// How the document status line names a restored session: "Last session: tree.ramifex.json,
// unsaved changes", "Last session: New scene".
QString LastSessionText(const LastSession& session);

}  // namespace ramifex
