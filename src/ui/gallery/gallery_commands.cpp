#include "ui/gallery/gallery_commands.h"

namespace ramifex
{
namespace
{

void ShowOnTop(QWidget& window)
{
    window.show();
    window.raise();
    window.activateWindow();
}

}  // namespace

GalleryCommands::GalleryCommands(SceneEditor& editor, CommandRegistry& commands, QWidget& owner,
                                 ExamplesGallery::Opener open, const QString& version)
    : editor_(editor), owner_(owner), open_(std::move(open)), version_(version)
{
    commands.Bind(Command::Examples, *this,
                  [this]
                  {
                      if (!gallery_)
                      {
                          gallery_ = new ExamplesGallery(open_, version_, &owner_);
                      }
                      ShowOnTop(*gallery_);
                  });
    commands.Bind(Command::Variations, *this,
                  [this]
                  {
                      if (!variations_)
                      {
                          variations_ = new VariationsWindow(editor_, &owner_);
                      }
                      ShowOnTop(*variations_);
                  });
}

GalleryCommands::~GalleryCommands()
{
    delete gallery_;
    delete variations_;
}

}  // namespace ramifex
