#include "ui/gallery/gallery_commands.h"

#include "ui/placement/window_placement.h"

namespace ramifex
{

GalleryCommands::GalleryCommands(SceneEditor& editor, CommandRegistry& commands, QWidget& owner,
                                 ExamplesGallery::Opener open, const QString& version)
    : editor_(editor), commands_(commands), owner_(owner), open_(std::move(open)), version_(version)
{
    commands.Bind(Command::Examples, *this,
                  [this]
                  {
                      if (!gallery_)
                      {
                          gallery_ = new ExamplesGallery(open_, version_, &owner_);
                          TakeUndoKeys(*gallery_);
                      }
                      ShowBeside(*gallery_, &owner_);
                  });
    commands.Bind(Command::Variations, *this,
                  [this]
                  {
                      if (!variations_)
                      {
                          variations_ = new VariationsWindow(editor_, &owner_);
                          TakeUndoKeys(*variations_);
                      }
                      ShowBeside(*variations_, &owner_);
                  });
}

// A window's shortcuts are those of the actions it holds: the menu bar's are the panel's alone.
void GalleryCommands::TakeUndoKeys(QWidget& window) const
{
    window.addActions({&commands_.Action(Command::Undo), &commands_.Action(Command::Redo)});
}

GalleryCommands::~GalleryCommands()
{
    delete gallery_;
    delete variations_;
}

}  // namespace ramifex
