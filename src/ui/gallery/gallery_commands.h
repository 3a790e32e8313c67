#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include "core/editor/scene_editor.h"
#include "ui/commands/command_registry.h"
#include "ui/gallery/examples_gallery.h"
#include "ui/gallery/variations_window.h"

namespace ramifex
{

// The Examples menu's gallery and Edit > Variations...: each command shows its window, made the
// first time and raised after that, with Edit > Undo and Redo on their keys. The windows go with
// this, or with `owner` if it goes first.
class GalleryCommands final : public QObject
{
    Q_OBJECT

public:
    // The editor and the commands outlive this; `open` opens a chosen example.
    GalleryCommands(SceneEditor& editor, CommandRegistry& commands, QWidget& owner,
                    ExamplesGallery::Opener open, const QString& version);
    ~GalleryCommands() override;

    ExamplesGallery* Gallery() const { return gallery_; }
    VariationsWindow* Variations() const { return variations_; }

private:
    void TakeUndoKeys(QWidget& window) const;

    SceneEditor& editor_;
    CommandRegistry& commands_;
    QWidget& owner_;
    ExamplesGallery::Opener open_;
    QString version_;
    QPointer<ExamplesGallery> gallery_;
    QPointer<VariationsWindow> variations_;
};

}  // namespace ramifex
