#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <QUndoStack>

#include "core/editor/scene_editor.h"
#include "ui/document/scene_files.h"

class QAction;
class QWidget;

namespace ramifex
{

// Keeps the last session (src/recovery) so that ending the program, or a crash, loses at most the
// last half minute: every 30 s while the scene has changed since the last keep, and once more when
// the program ends if anything changed in this run. A run started with a scene of its own keeps
// nothing, so that it never replaces the session of a run the user may want back. Restoring
// brings the kept scene back as one edit, with the file it belonged to.
class SessionKeeper final : public QObject
{
public:
    static constexpr int KeepMilliseconds = 30000;

    // The editor, its history, the files and the panel outlive the keeper.
    SessionKeeper(SceneEditor& editor, QUndoStack& history, SceneFiles& files, QWidget& panel,
                  QString path, bool keeps, int keepMs);

    void KeepIfChanged();
    // What the scene's status line says at a start after a run that ended with unsaved changes,
    // which the kept session holds: that they were kept, and how they come back (`restore`'s
    // menu, text and keys); empty after any other run, and in a run that keeps nothing.
    QString KeptChangesNotice(const QAction& restore) const;
    // File > Restore Last Session; says in a message box when there is none to restore, or why
    // the kept one cannot be read.
    void Restore();

private:
    SceneEditor& editor_;
    SceneFiles& files_;
    QWidget& panel_;
    QString path_;
    bool keeps_;
    bool changed_ = false;  // a user action, done or undone, since the last keep
    QTimer timer_;
};

}  // namespace ramifex
