#include "ui/animwindow/animation_window.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QScrollBar>
#include <QUrl>
#include <QVBoxLayout>

#include "gl/jobs/offscreen_gl.h"
#include "io/animationfile/animation_file.h"
#include "ui/animwindow/keyframe_step.h"
#include "ui/export/video_settings_dialog.h"
#include "ui/placement/window_placement.h"

namespace ramifex
{
namespace
{

// Deep enough to show a scene's shape, shallow enough to draw a list of them at once.
constexpr int32_t ThumbnailDepth = 9;
// Every step holds a whole animation.
constexpr int UndoLimit = 100;

QPushButton* AddButton(const QString& text, QLayout& layout, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    layout.addWidget(button);
    return button;
}

std::optional<VideoSettings> ChooseWithVideoDialog(QWidget& owner, const QSize& largest)
{
    VideoSettingsDialog dialog(largest, &owner);
    if (dialog.exec() != QDialog::Accepted)
    {
        return std::nullopt;
    }
    return dialog.Settings();
}

std::optional<double> ChooseWithInputDialog(QWidget& owner)
{
    bool chosen = false;
    const double seconds = QInputDialog::getDouble(
        &owner, QStringLiteral("Turntable"),
        QStringLiteral("One turn of the current scene, in seconds:"), 8.0, 0.1, 3600.0, 1, &chosen);
    return chosen ? std::optional(seconds) : std::nullopt;
}

std::optional<TurntablePlace> PlaceWithMessageBox(QWidget& owner, size_t count)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Turntable"),
                    QStringLiteral("Replace the %1 keyframes with the turntable, or add it after "
                                   "them?")
                        .arg(count),
                    QMessageBox::Cancel, &owner);
    const QAbstractButton* replace =
        box.addButton(QStringLiteral("Replace"), QMessageBox::DestructiveRole);
    const QAbstractButton* after =
        box.addButton(QStringLiteral("Add After"), QMessageBox::AcceptRole);
    box.exec();
    if (box.clickedButton() == replace)
    {
        return TurntablePlace::Replace;
    }
    return box.clickedButton() == after ? std::optional(TurntablePlace::After) : std::nullopt;
}

// Names the folder and the file, and offers to open the folder.
void ShowSavedWithMessageBox(QWidget& owner, const QString& path)
{
    const QFileInfo file(path);
    QMessageBox box(QMessageBox::Information, QStringLiteral("Export Video"),
                    QStringLiteral("Saved \"%1\" in %2.")
                        .arg(file.fileName(), QDir::toNativeSeparators(file.absolutePath())),
                    QMessageBox::Ok, &owner);
    box.setTextFormat(Qt::PlainText);  // names from the user's files are shown as they are
    const QAbstractButton* open =
        box.addButton(QStringLiteral("Open Folder"), QMessageBox::ActionRole);
    box.exec();
    if (box.clickedButton() == open)
    {
        QDesktopServices::openUrl(QUrl::fromLocalFile(file.absolutePath()));
    }
}

// The keyframes, then the turntable's, and the scene again so that the turn is whole without a
// loop.
Animation WithTurntableAfter(const Animation& animation, const SceneState& scene, double seconds)
{
    Animation joined = animation;
    const Animation turntable = Turntable(scene, seconds);
    joined.Keyframes.insert(joined.Keyframes.end(), turntable.Keyframes.begin(),
                            turntable.Keyframes.end());
    joined.Keyframes.push_back(Keyframe{scene});
    return joined;
}

// The file dialog that asks where a video of this format goes, and the name it suggests.
std::pair<FileDialogKind, QString> VideoFileDialog(VideoFormat format)
{
    switch (format)
    {
        case VideoFormat::Mp4:
            break;
        case VideoFormat::WebM:
            return {FileDialogKind::ExportWebM, QStringLiteral("video.webm")};
        case VideoFormat::PngSequence:
            return {FileDialogKind::ExportFrames, QStringLiteral("%05d.png")};
    }
    return {FileDialogKind::ExportMp4, QStringLiteral("video.mp4")};
}

}  // namespace

AnimationWindow::AnimationWindow(SceneEditor& editor, QWidget* parent)
    : QWidget(parent, Qt::Window),
      editor_(editor),
      keyframeList_(animation_),
      keyframes_(new QListView(this)),
      seconds_(new QDoubleSpinBox(this)),
      easing_(new QComboBox(this)),
      loop_(new QCheckBox(QStringLiteral("Loop back to the first keyframe"), this)),
      playButton_(new QPushButton(QStringLiteral("Play"), this)),
      exportButton_(new QPushButton(QStringLiteral("Export Video\u2026"), this)),
      thumbnails_(ThumbnailDepth),
      player_(editor),
      chooseFile_(ChooseWithFileDialog),
      chooseVideo_(ChooseWithVideoDialog),
      chooseTurntable_(ChooseWithInputDialog),
      placeTurntable_(PlaceWithMessageBox),
      showSaved_(ShowSavedWithMessageBox),
      warn_(ShowWarning)
{
    setWindowTitle(QStringLiteral("Animation"));
    history_.setUndoLimit(UndoLimit);
    BuildLayout();
    connect(&thumbnails_, &ThumbnailDrawer::Drawn, this, &AnimationWindow::ShowThumbnail);
    ShowKeyframes(-1);
}

// Stopped while the window is whole, so that the scene from before playing comes back and the
// controls follow.
AnimationWindow::~AnimationWindow()
{
    Stop();
}

void AnimationWindow::BindCommands(CommandRegistry& commands, const QWidget* beside)
{
    const auto raise = [this, beside] { ShowBeside(*this, beside); };
    commands.Bind(Command::ShowAnimation, *this, raise);
    commands.Bind(Command::Turntable, *this,
                  [this, raise]
                  {
                      raise();
                      ChooseTurntable();
                  });
    commands.Bind(Command::PlayAnimation, *this, [this] { Playing() ? Stop() : Play(); });
    commands.Bind(Command::ExportVideo, *this,
                  [this, raise]
                  {
                      raise();
                      ChooseExport();
                  });
    playCommand_ = &commands.Action(Command::PlayAnimation);
    // The window holds actions of its own with the menu's keys: the menu's act on the scene.
    QAction* undo = history_.createUndoAction(this);
    undo->setShortcuts(commands.Action(Command::Undo).shortcuts());
    QAction* redo = history_.createRedoAction(this);
    redo->setShortcuts(commands.Action(Command::Redo).shortcuts());
    addActions({undo, redo});
    ShowKeyframes(CurrentRow());
}

void AnimationWindow::BuildLayout()
{
    keyframes_->setModel(&keyframeList_);
    keyframes_->setIconSize(ThumbnailSize / 2);
    keyframes_->setUniformItemSizes(true);  // a long animation is laid out at once
    seconds_->setRange(0.05, 3600.0);
    seconds_->setSuffix(QStringLiteral(" s"));
    easing_->addItems({QStringLiteral("Linear"), QStringLiteral("Ease in and out")});

    auto* layout = new QVBoxLayout(this);
    auto* edits = new QHBoxLayout;
    connect(AddButton(QStringLiteral("Add Current Scene"), *edits, this), &QPushButton::clicked,
            this, &AnimationWindow::AddCurrentScene);
    connect(AddButton(QStringLiteral("Replace"), *edits, this), &QPushButton::clicked, this,
            &AnimationWindow::ReplaceSelected);
    connect(AddButton(QStringLiteral("Remove"), *edits, this), &QPushButton::clicked, this,
            &AnimationWindow::RemoveSelected);
    connect(AddButton(QStringLiteral("Move Up"), *edits, this), &QPushButton::clicked, this,
            [this] { MoveSelected(-1); });
    connect(AddButton(QStringLiteral("Move Down"), *edits, this), &QPushButton::clicked, this,
            [this] { MoveSelected(1); });
    layout->addWidget(keyframes_);
    layout->addLayout(edits);

    auto* timing = new QHBoxLayout;
    timing->addWidget(new QLabel(QStringLiteral("Time to the next keyframe:"), this));
    timing->addWidget(seconds_);
    timing->addWidget(new QLabel(QStringLiteral("Easing:"), this));
    timing->addWidget(easing_);
    layout->addLayout(timing);
    layout->addWidget(loop_);

    auto* commands = new QHBoxLayout;
    commands->addWidget(playButton_);
    connect(AddButton(QStringLiteral("Turntable\u2026"), *commands, this), &QPushButton::clicked,
            this, &AnimationWindow::ChooseTurntable);
    connect(AddButton(QStringLiteral("Open\u2026"), *commands, this), &QPushButton::clicked, this,
            &AnimationWindow::ChooseOpen);
    connect(AddButton(QStringLiteral("Save\u2026"), *commands, this), &QPushButton::clicked, this,
            &AnimationWindow::ChooseSave);
    commands->addWidget(exportButton_);
    layout->addLayout(commands);

    connect(keyframes_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &AnimationWindow::ShowSelected);
    inView_.setSingleShot(true);
    connect(&inView_, &QTimer::timeout, this, &AnimationWindow::DrawThumbnailsInView);
    // Scrolled, or laid out at another size.
    const auto inView = [this] { inView_.start(0); };
    connect(keyframes_->verticalScrollBar(), &QScrollBar::valueChanged, &inView_, inView);
    connect(keyframes_->verticalScrollBar(), &QScrollBar::rangeChanged, &inView_, inView);
    connect(seconds_, &QDoubleSpinBox::valueChanged, this,
            [this] { EditSelected(QStringLiteral("Set Time")); });
    connect(easing_, &QComboBox::currentIndexChanged, this,
            [this] { EditSelected(QStringLiteral("Set Easing")); });
    connect(loop_, &QCheckBox::toggled, this,
            [this](bool on)
            { Edit(QStringLiteral("Set Loop"), [this, on] { animation_.Loop = on; }); });
    connect(playButton_, &QPushButton::clicked, this, [this] { Playing() ? Stop() : Play(); });
    connect(&player_, &AnimationPlayer::PlayingChanged, this, &AnimationWindow::ShowPlaying);
    connect(exportButton_, &QPushButton::clicked, this, &AnimationWindow::ChooseExport);
}

void AnimationWindow::Edit(const QString& action, const std::function<void()>& change, int mergeRow)
{
    KeyframeStep::State before{animation_, CurrentRow()};
    change();
    if (animation_ == before.Keyframes)
    {
        return;
    }
    history_.push(new KeyframeStep(action, std::move(before), {animation_, CurrentRow()}, mergeRow,
                                   [this](const Animation& animation, int select)
                                   { ShowAnimation(animation, select); }));
}

void AnimationWindow::ShowAnimation(const Animation& animation, int select)
{
    animation_ = animation;
    ShowKeyframes(select);
}

void AnimationWindow::SetAnimation(const Animation& animation)
{
    ReplaceAnimation(QStringLiteral("Open Animation"), animation);
}

void AnimationWindow::ReplaceAnimation(const QString& action, const Animation& animation)
{
    Stop();
    Edit(action, [this, &animation] { ShowAnimation(animation, 0); });
}

void AnimationWindow::AddCurrentScene()
{
    const int at = CurrentRow() + 1;  // after the selected one, or first of none
    const int row = at > 0 ? at : static_cast<int>(animation_.Keyframes.size());
    Edit(QStringLiteral("Add Keyframe"),
         [this, row]
         {
             animation_.Keyframes.insert(animation_.Keyframes.begin() + row,
                                         Keyframe{editor_.Scene()});
             ShowKeyframes(row);
         });
}

void AnimationWindow::ReplaceSelected()
{
    const int row = CurrentRow();
    if (row >= 0)
    {
        Edit(QStringLiteral("Replace Keyframe"),
             [this, row]
             {
                 animation_.Keyframes[static_cast<size_t>(row)].Scene = editor_.Scene();
                 ShowKeyframes(row);
             });
    }
}

void AnimationWindow::RemoveSelected()
{
    const int row = CurrentRow();
    if (row >= 0)
    {
        Edit(QStringLiteral("Remove Keyframe"),
             [this, row]
             {
                 animation_.Keyframes.erase(animation_.Keyframes.begin() + row);
                 ShowKeyframes(std::min(row, static_cast<int>(animation_.Keyframes.size()) - 1));
             });
    }
}

void AnimationWindow::MoveSelected(int by)
{
    const int row = CurrentRow();
    const int to = row + by;
    if (row < 0 || to < 0 || to >= static_cast<int>(animation_.Keyframes.size()))
    {
        return;
    }
    Edit(QStringLiteral("Move Keyframe"),
         [this, row, to]
         {
             std::swap(animation_.Keyframes[static_cast<size_t>(row)],
                       animation_.Keyframes[static_cast<size_t>(to)]);
             ShowKeyframes(to);
         });
}

void AnimationWindow::MakeTurntable(double seconds, TurntablePlace place)
{
    const SceneState& scene = editor_.Scene();
    ReplaceAnimation(QStringLiteral("Turntable"),
                     place == TurntablePlace::Replace
                         ? Turntable(scene, seconds)
                         : WithTurntableAfter(animation_, scene, seconds));
}

// The list shows the animation anew, and its pictures are drawn again.
void AnimationWindow::ShowKeyframes(int select)
{
    {
        const QSignalBlocker blockers[] = {QSignalBlocker(keyframes_->selectionModel()),
                                           QSignalBlocker(loop_)};
        keyframeList_.Reset();
        keyframes_->setCurrentIndex(keyframeList_.index(select));
        loop_->setChecked(animation_.Loop);
    }
    ShowSelected();
    ShowPlaying();
    inView_.start(0);
}

void AnimationWindow::ShowSelected()
{
    const int row = CurrentRow();
    seconds_->setEnabled(row >= 0);
    easing_->setEnabled(row >= 0);
    if (row < 0)
    {
        return;
    }
    const Keyframe& keyframe = animation_.Keyframes[static_cast<size_t>(row)];
    const QSignalBlocker secondsBlocker(seconds_);
    const QSignalBlocker easingBlocker(easing_);
    seconds_->setValue(keyframe.Seconds);
    easing_->setCurrentIndex(keyframe.Ease == Easing::Linear ? 0 : 1);
}

void AnimationWindow::EditSelected(const QString& action)
{
    const int row = CurrentRow();
    if (row < 0)
    {
        return;
    }
    // Typing a time is one step.
    Edit(
        action,
        [this, row]
        {
            Keyframe& keyframe = animation_.Keyframes[static_cast<size_t>(row)];
            keyframe.Seconds = seconds_->value();
            keyframe.Ease = easing_->currentIndex() == 0 ? Easing::Linear : Easing::EaseInOut;
            keyframeList_.TimingChanged(row);
        },
        row);
}

// Only the keyframes in view are drawn, and only their pictures kept: a long animation would
// otherwise draw and hold one for every keyframe. The rows share one height, which tells how many
// are in view before the list is laid out.
void AnimationWindow::DrawThumbnailsInView()
{
    const int count = keyframeList_.rowCount();
    const QModelIndex top = keyframes_->indexAt(QPoint(0, 0));
    const int first = top.isValid() ? top.row() : 0;
    const int rowHeight = std::max(1, keyframes_->sizeHintForRow(0));
    const int last = std::min(count - 1, first + keyframes_->viewport()->height() / rowHeight + 1);
    keyframeList_.KeepPictures(first, last);
    drawing_.clear();
    std::vector<SceneState> scenes;
    for (int row = first; row <= last; ++row)
    {
        if (!keyframeList_.HasPicture(row))
        {
            drawing_.push_back(row);
            scenes.push_back(animation_.Keyframes[static_cast<size_t>(row)].Scene);
        }
    }
    thumbnails_.Draw(std::move(scenes));
}

void AnimationWindow::ShowThumbnail(size_t index, const QImage& picture)
{
    keyframeList_.SetPicture(drawing_[index], QIcon(QPixmap::fromImage(picture)));
}

// The button, the menu's command and the export follow the animation and whether it plays.
void AnimationWindow::ShowPlaying()
{
    const bool any = !animation_.Keyframes.empty();
    const QString text = Playing() ? QStringLiteral("Stop") : QStringLiteral("Play");
    playButton_->setText(text);
    playButton_->setEnabled(any);
    exportButton_->setEnabled(any && !export_);
    if (playCommand_ != nullptr)
    {
        playCommand_->setText(Playing() ? QStringLiteral("&Stop") : QStringLiteral("&Play"));
        playCommand_->setEnabled(any);
    }
}

bool AnimationWindow::OpenAnimation(const QString& path)
{
    QString error;
    const std::optional<Animation> animation = ReadAnimationFile(path, &error);
    if (!animation)
    {
        Report(error);
        return false;
    }
    SetAnimation(*animation);
    return true;
}

bool AnimationWindow::SaveAnimation(const QString& path)
{
    QString error;
    if (!WriteAnimationFile(path, animation_, &error))
    {
        Report(error);
        return false;
    }
    return true;
}

bool AnimationWindow::StartExport(const VideoSettings& settings, const QString& path)
{
    if (export_ || animation_.Keyframes.empty())
    {
        return false;
    }
    auto job = std::make_unique<VideoJob>(animation_, settings, path);
    if (!job->Start())
    {
        Report(QStringLiteral("Cannot export \"%1\": %2.")
                   .arg(QFileInfo(path).fileName(), job->Error()));
        return false;
    }
    export_ = new JobProgress(std::move(job), QStringLiteral("Export Video"), true, *this, this);
    exportButton_->setEnabled(false);
    connect(export_, &JobProgress::Done, this,
            [this, path](const QString& why)
            {
                const bool written = export_->Written();
                export_->deleteLater();
                export_.clear();
                ShowPlaying();
                if (!why.isEmpty())
                {
                    Report(why);
                }
                else if (written)
                {
                    showSaved_(*this, path);
                }
            });
    return true;
}

void AnimationWindow::Report(const QString& error)
{
    warn_(*this, windowTitle(), error);
}

void AnimationWindow::ChooseOpen()
{
    const QString path = chooseFile_(*this, FileDialogKind::OpenAnimation, QString());
    if (!path.isEmpty())
    {
        OpenAnimation(path);
    }
}

void AnimationWindow::ChooseSave()
{
    QString path = chooseFile_(*this, FileDialogKind::SaveAnimation,
                               QStringLiteral("untitled%1").arg(AnimationFileSuffix));
    if (path.isEmpty())
    {
        return;
    }
    if (!path.endsWith(AnimationFileSuffix, Qt::CaseInsensitive))
    {
        path += AnimationFileSuffix;
    }
    SaveAnimation(path);
}

// Keyframes made by hand are not replaced without asking.
void AnimationWindow::ChooseTurntable()
{
    const std::optional<double> seconds = chooseTurntable_(*this);
    if (!seconds)
    {
        return;
    }
    const std::optional<TurntablePlace> place =
        animation_.Keyframes.empty() ? TurntablePlace::Replace
                                     : placeTurntable_(*this, animation_.Keyframes.size());
    if (place)
    {
        MakeTurntable(*seconds, *place);
    }
}

void AnimationWindow::ChooseExport()
{
    QString why;
    const QSize largest = LargestOffscreenPicture(&why);
    if (largest.isEmpty())
    {
        Report(QStringLiteral("Cannot export: %1.").arg(why));
        return;
    }
    const std::optional<VideoSettings> settings = chooseVideo_(*this, largest);
    if (!settings)
    {
        return;
    }
    const auto [kind, suggested] = VideoFileDialog(settings->Format);
    const QString path = chooseFile_(*this, kind, suggested);
    if (!path.isEmpty())
    {
        StartExport(*settings, path);
    }
}

}  // namespace ramifex
