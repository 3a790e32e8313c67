// The File menu's commands through the panel's menu, with scripted file dialogs.
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProcess>
#include <QProgressDialog>
#include <QRadioButton>
#include <QSettings>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTextDocumentFragment>

#include "gl/jobs/job.h"
#include "gui/panel_fixture.h"
#include "gui/viewer_test_support.h"
#include "io/scenefile/scene_file.h"
#include "ui/commands/program_settings.h"
#include "ui/document/scene_files.h"
#include "ui/export/export_commands.h"
#include "ui/export/export_size_dialog.h"
#include "ui/export/geometry_export_dialog.h"
#include "ui/export/job_progress.h"
#include "ui/export/video_settings_dialog.h"
#include "ui/panel/slider_scaling.h"

namespace ramifex::test
{
namespace
{

// The mean difference of the colour channels, over the pixels lit in either picture.
double MeanDifferenceWhereLit(const QImage& a, const QImage& b)
{
    double sum = 0.0;
    int lit = 0;
    for (int y = 0; y < a.height(); ++y)
    {
        for (int x = 0; x < a.width(); ++x)
        {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            if (!IsBlack(p) || !IsBlack(q))
            {
                sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                       std::abs(qBlue(p) - qBlue(q));
                ++lit;
            }
        }
    }
    return lit == 0 ? 0.0 : sum / (3.0 * lit);
}

// What the user sees of a text that a widget shows in this format: markup laid out, as a label or a
// tooltip does when the text looks like markup, or the text itself.
QString Shown(const QString& text, Qt::TextFormat format)
{
    const bool markup =
        format == Qt::RichText || (format == Qt::AutoText && Qt::mightBeRichText(text));
    return markup ? QTextDocumentFragment::fromHtml(text).toPlainText() : text;
}

// What a menu shows of an entry's text: what comes before a tab, each ampersand marking the next
// character as the mnemonic.
QString ShownInMenu(const QString& text)
{
    const QString entry = text.section('\t', 0, 0);
    QString shown;
    for (qsizetype i = 0; i < entry.size(); ++i)
    {
        if (entry[i] == '&' && ++i == entry.size())
        {
            break;
        }
        shown += entry[i];
    }
    return shown;
}

// A job that is always at its start, doing what it is told.
class StillJob final : public Job
{
public:
    explicit StillJob(QString activity) : activity_(std::move(activity)) {}
    bool Start() override { return true; }
    void Tick() override {}
    double Fraction() const override { return 0.0; }
    QString Activity() const override { return activity_; }
    QString Written() const override { return {}; }
    bool Write() override { return true; }

private:
    bool Complete() const override { return false; }

    QString activity_;
};

QByteArray FileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class SceneFilesTest : public PanelTest
{
protected:
    void SetUp() override
    {
        PanelTest::SetUp();
        history.BindCommands(commands);
        files = std::make_unique<SceneFiles>(editor, history, commands, *panel,
                                             [this](const QString& status)
                                             { panel->ShowDocumentStatus(status); });
        exports = std::make_unique<ExportCommands>(
            editor, commands, *panel,
            [this] { return viewer.IsOpen() ? std::optional(viewer.PictureSize()) : std::nullopt; },
            [this] { return files->FilePath(); });
        const auto choose = [this](QWidget&, FileDialogKind kind, const QString&)
        {
            asked.push_back(kind);
            return chosen;
        };
        files->SetFileChooser(choose);
        exports->SetFileChooser(choose);
    }

    QString PathOf(const QString& name) const { return folder.filePath(name); }

    // Chooses the entry of the panel's menu bar whose text starts so, as the user does.
    void Choose(const QString& entry) const
    {
        for (QAction* menu : panel->MenuBar()->actions())
        {
            for (QAction* command : menu->menu()->actions())
            {
                if (command->text().startsWith(entry))
                {
                    command->trigger();
                    return;
                }
            }
        }
        ADD_FAILURE() << "no menu entry " << entry.toStdString();
    }

    // The text that the message box the command shows shows; the box is then closed.
    static QString MessageOf(const std::function<void()>& command)
    {
        QString text;
        Later(
            [&text]
            {
                auto* box = VisibleTopLevel<QMessageBox>();
                ASSERT_NE(box, nullptr);
                text = Shown(box->text(), box->textFormat());
                box->accept();
            });
        command();
        return text;
    }

    void ExportTo(const QString& path)
    {
        chosen = path;
        ASSERT_TRUE(commands.TriggerViewerKey(Qt::CTRL | Qt::Key_E));
        ASSERT_TRUE(QTest::qWaitFor([this] { return !exports->Exporting(); }, 10000));
    }

    QTemporaryDir folder;
    GlViewer viewer;
    SceneHistory history{editor};
    std::unique_ptr<SceneFiles> files;
    std::unique_ptr<ExportCommands> exports;
    QString chosen;
    std::vector<FileDialogKind> asked;
    QString error;
};

// Save asks for a file the first time and not again; an edit leaves the scene unsaved; Open and a
// drop onto the panel give the saved scene back, on the sliders and in the Iterations box too, and
// restart the picture.
TEST_F(SceneFilesTest, SaveThenOpenThroughTheMenuOrADropGivesTheSceneBack)
{
    EXPECT_EQ(panel->DocumentStatus(), "New scene, not saved");
    editor.Seed(3);
    QTest::mouseClick(Button(IdRandomize), Qt::LeftButton);
    IterationsBox()->setText("9");
    const SceneState saved = editor.Scene();
    chosen = PathOf("tree.ramifex.json");
    ASSERT_TRUE(commands.TriggerViewerKey(QKeySequence(QKeySequence::Save)[0]));
    EXPECT_EQ(ReadSceneFile(chosen, &error), saved);
    EXPECT_EQ(panel->DocumentStatus(), "tree.ramifex.json");

    ClickListRow(1);  // choosing what to edit changes no scene
    EXPECT_EQ(panel->DocumentStatus(), "tree.ramifex.json");
    QTest::mouseClick(Button(IdRandomize), Qt::LeftButton);
    IterationsBox()->setText("4");
    EXPECT_EQ(panel->DocumentStatus(), "tree.ramifex.json: unsaved changes");

    frames.Tick();
    ASSERT_TRUE(commands.TriggerViewerKey(QKeySequence(QKeySequence::Open)[0]));
    EXPECT_EQ(editor.Scene(), saved);
    EXPECT_EQ(IterationsBox()->text(), "9");
    EXPECT_EQ(Slider(IdAngle)->value(), ToPosition(editor.CurrentRecord().Angle, AngleScale));
    EXPECT_EQ(Slider(IdOffset)->value(), ToPosition(editor.CurrentRecord().Offset, OffsetScale));
    EXPECT_TRUE(panel->RedrawRequested());
    EXPECT_EQ(panel->DocumentStatus(), "tree.ramifex.json");

    QTest::mouseClick(Button(IdRandomize), Qt::LeftButton);
    ASSERT_TRUE(DropFile(*panel, chosen));
    EXPECT_TRUE(QTest::qWaitFor([&] { return editor.Scene() == saved; }, 10000));
    EXPECT_FALSE(DropFile(*panel, QString()));  // no local file: the panel takes no drop

    QTest::mouseClick(Button(IdRandomize), Qt::LeftButton);
    ASSERT_TRUE(commands.TriggerViewerKey(QKeySequence(QKeySequence::Save)[0]));
    EXPECT_EQ(ReadSceneFile(chosen, &error), editor.Scene());
    const std::vector<FileDialogKind> expected = {FileDialogKind::SaveScene,
                                                  FileDialogKind::OpenScene};
    EXPECT_EQ(asked, expected);
}

// Open Recent lists the files opened and saved, newest first; one that has gone is taken off with
// a message, and Clear Menu empties the list.
TEST_F(SceneFilesTest, OpenRecentListsFilesOpenedAndSaved)
{
    const auto entries = [this]
    {
        QStringList texts;
        for (QAction* entry : commands.Action(Command::OpenRecent).menu()->actions())
        {
            texts << entry->text();
        }
        return texts;
    };
    chosen = PathOf("first.ramifex.json");
    ASSERT_TRUE(files->SaveAs());
    QTest::mouseClick(Button(IdRandomize), Qt::LeftButton);
    chosen = PathOf("second.ramifex.json");
    ASSERT_TRUE(files->SaveAs());
    const SceneState second = editor.Scene();
    ASSERT_TRUE(files->OpenFile(PathOf("first.ramifex.json")));
    EXPECT_EQ(entries(),
              (QStringList{"&1 first.ramifex.json", "&2 second.ramifex.json", "", "Clear Menu"}));

    commands.Action(Command::OpenRecent).menu()->actions()[1]->trigger();
    EXPECT_EQ(editor.Scene(), second);
    ASSERT_TRUE(QFile::remove(PathOf("first.ramifex.json")));
    EXPECT_EQ(
        MessageOf([&] { commands.Action(Command::OpenRecent).menu()->actions()[1]->trigger(); }),
        "Cannot open \"first.ramifex.json\": it is no longer there; it has been taken off "
        "the list.");
    EXPECT_EQ(entries(), (QStringList{"&1 second.ramifex.json", "", "Clear Menu"}));
    commands.Action(Command::OpenRecent).menu()->actions().back()->trigger();
    EXPECT_EQ(entries(), (QStringList{"", "Clear Menu"}));
    EXPECT_FALSE(commands.Action(Command::OpenRecent).isEnabled());
}

// A list in the settings longer than the menu shows is read no further than the menu.
TEST_F(SceneFilesTest, OpenRecentReadsNoMoreThanItShows)
{
    QStringList paths;
    for (int i = 0; i < 1000; ++i)
    {
        paths << PathOf(QStringLiteral("%1.ramifex.json").arg(i));
    }
    QSettings(ProgramSettingsPath(), QSettings::IniFormat).setValue("files/recent", paths);
    const RecentFiles recent(commands, *panel, [](const QString&) {});
    EXPECT_EQ(recent.Paths(), paths.mid(0, RecentFiles::Count));
    EXPECT_EQ(commands.Action(Command::OpenRecent).menu()->actions().size(),
              RecentFiles::Count + 2);
}

// A file that holds no scene is refused and the scene stays as it was; a save that fails says why
// and the scene stays unsaved.
TEST_F(SceneFilesTest, FailuresSayWhyAndChangeNothing)
{
    chosen = PathOf("tree.ramifex.json");
    ASSERT_TRUE(files->Save());
    QTest::mouseClick(Button(IdRandomize), Qt::LeftButton);
    const SceneState edited = editor.Scene();

    QFile notAScene(PathOf("notes.ramifex.json"));
    ASSERT_TRUE(notAScene.open(QIODevice::WriteOnly));
    notAScene.write("{}");
    notAScene.close();
    chosen = notAScene.fileName();
    EXPECT_EQ(MessageOf([this] { commands.TriggerViewerKey(QKeySequence(QKeySequence::Open)[0]); }),
              "Cannot open \"notes.ramifex.json\": the field \"format\" is missing.");
    EXPECT_EQ(editor.Scene(), edited);

    chosen = PathOf("gone/elsewhere.ramifex.json");
    EXPECT_EQ(MessageOf([this] { files->SaveAs(); }),
              "Cannot save \"elsewhere.ramifex.json\": no such file or directory.");
    EXPECT_FALSE(QFileInfo::exists(chosen));
    EXPECT_EQ(files->FilePath(), PathOf("tree.ramifex.json"));
    EXPECT_EQ(panel->DocumentStatus(), "tree.ramifex.json: unsaved changes");

    // A scene opened from a file of another name is not saved over it, nor at a picture's name.
    ASSERT_TRUE(QFile::copy(PathOf("tree.ramifex.json"), PathOf("tree.txt")));
    ASSERT_TRUE(files->OpenFile(PathOf("tree.txt")));
    asked.clear();
    chosen = PathOf("tree.png");
    EXPECT_EQ(MessageOf([this] { files->Save(); }),
              "Cannot save \"tree.png\": a scene file's name ends in .json.");
    EXPECT_EQ(asked, std::vector<FileDialogKind>{FileDialogKind::SaveScene});
    EXPECT_FALSE(QFileInfo::exists(chosen));
}

// A name from a file shows as the characters it is, wherever it shows: its markup loads nothing
// and its ampersand is no mnemonic.
TEST_F(SceneFilesTest, NamesShowAsTheyAre)
{
    const QString name = R"(a&b <b>c <img src="gone.png">)";
    const QString file = name + ".ramifex.json";
    const QString path = PathOf(file);
    const auto statusLine = [this]
    {
        for (const QLabel* label : panel->findChildren<QLabel*>())
        {
            if (label->text() == panel->DocumentStatus())
            {
                return Shown(label->text(), label->textFormat());
            }
        }
        return QString();
    };
    const auto recentEntry = [this]
    { return commands.Action(Command::OpenRecent).menu()->actions()[0]; };
    std::unique_ptr<JobProgress> progress;
    const struct
    {
        const char* Place;
        std::function<QString()> Shows;
        QString Expected;
    } places[] = {
        {"status line",
         [&]
         {
             chosen = path;
             files->SaveAs();
             return statusLine();
         },
         file},
        {"Open Recent entry", [&] { return ShownInMenu(recentEntry()->text()); }, "1 " + file},
        {"Open Recent tooltip", [&] { return Shown(recentEntry()->toolTip(), Qt::AutoText); },
         path},
        {"message",
         [&]
         {
             QFile::remove(path);
             return MessageOf([&] { recentEntry()->trigger(); });
         },
         "Cannot open \"" + file + "\": it is no longer there; it has been taken off the list."},
        {"progress",
         [&]
         {
             progress = std::make_unique<JobProgress>(std::make_unique<StillJob>(name), "Export",
                                                      false, *panel, nullptr);
             const auto* label = progress->Progress().findChild<QLabel*>();
             return Shown(label->text(), label->textFormat());
         },
         name},
    };
    for (const auto& place : places)
    {
        EXPECT_EQ(place.Shows().toStdString(), place.Expected.toStdString()) << place.Place;
    }
}

QByteArray Bytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The scene's file follows undo and redo: undoing an Open, a Save As or a drop gives back the file
// from before, saved or not as it was, and Save writes there, never over the file just opened.
TEST_F(SceneFilesTest, TheScenesFileFollowsUndoAndRedo)
{
    const QString first = PathOf("first.ramifex.json");
    const QString second = PathOf("second.ramifex.json");
    const QString copy = PathOf("copy.ramifex.json");
    ASSERT_TRUE(WriteSceneFile(second, SpreadTree(7), &error));
    const QByteArray secondBytes = Bytes(second);
    const auto expect = [&](const char* status, const QString& file, const QByteArray& bytes)
    {
        EXPECT_EQ(panel->DocumentStatus().toStdString(), status);
        EXPECT_TRUE(Bytes(file) == bytes) << file.toStdString() << " was written";
    };

    chosen = second;
    Choose("&Open");
    Choose("&Undo");
    expect("New scene, not saved", second, secondBytes);
    chosen.clear();
    Choose("&Save");
    EXPECT_EQ(asked.back(), FileDialogKind::SaveScene) << "a new scene has no file to save to";

    editor.Seed(5);
    QTest::mouseClick(Button(IdRandomize), Qt::LeftButton);
    chosen = first;
    Choose("Save &As");
    QTest::mouseClick(Button(IdRandomize), Qt::LeftButton);
    const SceneState edited = editor.Scene();
    chosen = second;
    Choose("&Open");
    EXPECT_EQ(panel->DocumentStatus(), "second.ramifex.json");
    Choose("&Undo");
    EXPECT_EQ(panel->DocumentStatus(), "first.ramifex.json: unsaved changes");
    Choose("&Save");
    expect("first.ramifex.json", second, secondBytes);
    EXPECT_EQ(ReadSceneFile(first, &error), edited);
    Choose("&Redo");
    EXPECT_EQ(panel->DocumentStatus(), "second.ramifex.json");

    chosen = copy;
    Choose("Save &As");
    const QByteArray copyBytes = Bytes(copy);
    Choose("&Undo");
    Choose("&Save");
    expect("first.ramifex.json", copy, copyBytes);
    Choose("&Redo");
    expect("copy.ramifex.json", second, secondBytes);

    ASSERT_TRUE(DropFile(*panel, first));
    ASSERT_TRUE(QTest::qWaitFor([&] { return editor.Scene() == edited; }, 10000));
    EXPECT_EQ(panel->DocumentStatus(), "first.ramifex.json");
    Choose("&Undo");
    expect("copy.ramifex.json", copy, copyBytes);
}

// At the window's size the export is the window's completed picture, pixel for pixel, and carries
// its scene, as --render's file does byte for byte; at twice the size, scaled down, it is close to
// it. It is drawn beside the viewer's own walk, which goes on meanwhile and comes out as it would
// alone. It can be cancelled.
TEST_F(SceneFilesTest, ExportIsTheWindowsPictureWhileTheViewerDrawsOn)
{
    ASSERT_TRUE(viewer.Open(editor));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(viewer.Window()));
    const SceneState tree = SpreadTree(12);
    editor.OpenScene(tree);
    FrozenClock frozen;
    CompleteWalk(tree, viewer, frozen).RunToEnd();
    const QImage seen = viewer.GrabPicture().convertToFormat(QImage::Format_RGB32);

    exports->SetSizeChooser([](QWidget&, const QSize& window, const QSize&) { return window; });
    chosen = PathOf("cancelled.png");
    ASSERT_TRUE(commands.TriggerViewerKey(Qt::CTRL | Qt::Key_E));
    QTest::mouseClick(VisibleTopLevel<QProgressDialog>()->findChild<QPushButton*>(),
                      Qt::LeftButton);
    EXPECT_FALSE(exports->Exporting());
    EXPECT_FALSE(QFileInfo::exists(chosen));
    chosen = PathOf("tree.jpg");
    EXPECT_EQ(MessageOf([this] { commands.TriggerViewerKey(Qt::CTRL | Qt::Key_E); }),
              "Cannot save \"tree.jpg\": a picture's name ends in .png.");
    EXPECT_FALSE(exports->Exporting());

    ExportTo(PathOf("tree.png"));
    EXPECT_TRUE(QImage(chosen).convertToFormat(QImage::Format_RGB32) == seen);
    EXPECT_EQ(ReadSceneFile(chosen, &error), tree);
    // The picture is no scene file: the scene's stays as it was.
    EXPECT_EQ(panel->DocumentStatus(), "New scene, not saved");

    // The command line, with no display at all, writes the very same file for the same scene.
    const QString sceneFile = PathOf("tree.ramifex.json");
    ASSERT_TRUE(WriteSceneFile(sceneFile, tree, &error));
    QProcess render;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("DISPLAY");
    environment.remove("WAYLAND_DISPLAY");
    render.setProcessEnvironment(environment);
    render.start(RAMIFEX_PROGRAM, {"--render", sceneFile, "--output", PathOf("rendered.png")});
    ASSERT_TRUE(render.waitForFinished(60000));
    EXPECT_EQ(render.exitCode(), 0) << render.readAllStandardError().toStdString();
    EXPECT_TRUE(FileBytes(PathOf("rendered.png")) == FileBytes(chosen));

    exports->SetSizeChooser(
        [](QWidget& owner, const QSize& window, const QSize& largest)
        {
            ExportSizeDialog dialog(window, largest, &owner);
            for (QRadioButton* choice : dialog.findChildren<QRadioButton*>())
            {
                if (choice->text().startsWith("Twice"))
                {
                    choice->click();
                }
            }
            return dialog.Size();
        });
    // The viewer's walk starts again and takes turns with the export's.
    SceneState walked = tree;
    SteppingClock stepping;
    TreeRenderer viewerWalk(walked, viewer, stepping);
    bool redraw = true;
    viewerWalk.FrameTick(redraw);
    chosen = PathOf("twice.png");
    ASSERT_TRUE(commands.TriggerViewerKey(Qt::CTRL | Qt::Key_E));
    ASSERT_TRUE(QTest::qWaitFor(
        [&]
        {
            viewerWalk.FrameTick(redraw);
            return !exports->Exporting() && viewerWalk.WalkFinished();
        },
        10000));
    EXPECT_TRUE(viewer.GrabPicture().convertToFormat(QImage::Format_RGB32) == seen);
    const QImage twice(chosen);
    ASSERT_EQ(twice.size(), QSize(1280, 960));
    const QImage scaled = twice.scaled(seen.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                              .convertToFormat(QImage::Format_RGB32);
    // Edges and the finer spheres differ by about 10 levels; the picture moved by one pixel
    // differs by about 40.
    EXPECT_LT(MeanDifferenceWhereLit(scaled, seen), 15.0);
}

// Export Geometry from the File menu: the dialog tells the whole tree's sphere count before
// anything is gathered, the file holds those spheres, and a cancelled export writes nothing.
TEST_F(SceneFilesTest, ExportGeometryWritesTheChosenSpheres)
{
    ASSERT_TRUE(viewer.Open(editor));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(viewer.Window()));
    editor.OpenScene(SpreadTree(12));
    QString estimate;
    exports->SetGeometryChooser(
        [&estimate](QWidget& owner, const QSize& window, const QSize& largest)
        {
            GeometryExportDialog dialog(window, largest, &owner);
            dialog.findChildren<QRadioButton*>().at(1)->click();  // the whole tree
            dialog.findChildren<QSpinBox*>().at(0)->setValue(6);  // to depth 6
            dialog.findChild<QComboBox*>()->setCurrentIndex(1);   // PLY points
            for (const QLabel* label : dialog.findChildren<QLabel*>())
            {
                estimate += label->text() + "\n";
            }
            return std::optional(dialog.Choice());
        });
    QAction* command = &commands.Action(Command::ExportGeometry);

    chosen = PathOf("cancelled.ply");
    command->trigger();
    QTest::mouseClick(VisibleTopLevel<QProgressDialog>()->findChild<QPushButton*>(),
                      Qt::LeftButton);
    EXPECT_FALSE(exports->ExportingGeometry());
    EXPECT_FALSE(QFileInfo::exists(chosen));

    chosen = PathOf("tree.ply");
    command->trigger();
    ASSERT_TRUE(QTest::qWaitFor([this] { return !exports->ExportingGeometry(); }, 10000));
    EXPECT_TRUE(estimate.contains("\n63 spheres, about ")) << estimate.toStdString();
    EXPECT_TRUE(FileBytes(chosen).contains("\nelement vertex 63\n"));
    EXPECT_EQ(asked.back(), FileDialogKind::ExportGeometry);
}

// A file dialog opens in the folder last used for its kind of file, else in the home folder, never
// in the working one.
TEST(FileDialogs, OpenInTheFolderLastUsedForTheirKind)
{
    QWidget owner;
    owner.show();
    QTemporaryDir used;
    const auto choose = [&owner](FileDialogKind kind, const QString& pick)
    {
        QString opened;
        Later(
            [&opened, &pick]
            {
                auto* dialog = VisibleTopLevel<QFileDialog>();
                ASSERT_NE(dialog, nullptr);
                opened = dialog->directory().absolutePath();
                if (pick.isEmpty())
                {
                    dialog->reject();
                    return;
                }
                dialog->selectFile(pick);
                static_cast<QDialog*>(dialog)->accept();  // the file dialog's own, protected there
            });
        ChooseWithFileDialog(owner, kind, {});
        return opened;
    };
    EXPECT_EQ(choose(FileDialogKind::SaveScene, used.filePath("a.ramifex.json")), QDir::homePath());
    EXPECT_EQ(choose(FileDialogKind::OpenScene, {}), used.path());
    EXPECT_EQ(choose(FileDialogKind::SaveAnimation, {}), QDir::homePath());
}

// The export dialogs start with the choices last accepted: Export Picture's size and smooth
// edges, Export Video's size, frames per second and depth.
TEST(ExportDialogs, RememberTheChoicesLastAccepted)
{
    const auto dialogChoosing = [](const QString& item)
    {
        auto dialog = std::make_unique<ExportSizeDialog>(QSize(64, 48), QSize(512, 512), nullptr);
        auto* box = dialog->findChild<QComboBox*>();
        if (!item.isEmpty())
        {
            box->setCurrentIndex(box->findText(item));
        }
        return dialog;
    };
    EXPECT_EQ(dialogChoosing({})->Samples(), 1);
    EXPECT_EQ(dialogChoosing({})->Size(), QSize(64, 48));
    {
        auto dialog = dialogChoosing(QString::fromUtf8("3\u00d73"));
        dialog->findChildren<QRadioButton*>().at(1)->setChecked(true);  // twice the window's
        dialog->accept();
    }
    EXPECT_EQ(dialogChoosing({})->Samples(), 3);
    EXPECT_EQ(dialogChoosing({})->Size(), QSize(128, 96));
    {
        auto dialog = dialogChoosing(QString::fromUtf8("2\u00d72"));
        dialog->findChildren<QRadioButton*>().at(0)->setChecked(true);
        dialog->reject();
    }
    EXPECT_EQ(dialogChoosing({})->Samples(), 3);
    EXPECT_EQ(dialogChoosing({})->Size(), QSize(128, 96));

    // Choices whose drawing with the smooth edges would not fit are refused, saying why.
    {
        auto dialog = dialogChoosing(QStringLiteral("off"));
        QRadioButton* fourTimes = dialog->findChildren<QRadioButton*>().at(2);
        fourTimes->setChecked(true);
        auto* box = dialog->findChild<QComboBox*>();
        box->setCurrentIndex(box->findText(QString::fromUtf8("4\u00d74")));
        EXPECT_FALSE(fourTimes->isEnabled());
        EXPECT_EQ(fourTimes->text(), QString::fromUtf8("Four times: 256 \u00d7 192 (too large with "
                                                       "4\u00d74 smooth edges)"));
        EXPECT_EQ(dialog->Size(), QSize(64, 48)) << "the typed size instead";
        EXPECT_TRUE(std::ranges::any_of(dialog->findChildren<QLabel*>(),
                                        [](const QLabel* label)
                                        {
                                            return label->text() ==
                                                   QString::fromUtf8(
                                                       "At most 128 \u00d7 128 with "
                                                       "4\u00d74 smooth edges.");
                                        }));
    }

    const VideoSettings start = VideoSettingsDialog(QSize(4096, 4096), nullptr).Settings();
    EXPECT_EQ(start.Render.Size, QSize(640, 480));
    EXPECT_EQ(start.Fps, 30);
    {
        VideoSettingsDialog dialog(QSize(4096, 4096), nullptr);
        const QList<QSpinBox*> boxes =
            dialog.findChildren<QSpinBox*>();  // width, height, fps, depth
        const int values[] = {1280, 720, 24, 12};
        for (int index = 0; index < 4; ++index)
        {
            boxes[index]->setValue(values[index]);
        }
        dialog.accept();
    }
    const VideoSettings again = VideoSettingsDialog(QSize(4096, 4096), nullptr).Settings();
    EXPECT_EQ(again.Render.Size, QSize(1280, 720));
    EXPECT_EQ(again.Fps, 24);
    EXPECT_EQ(again.Render.Depth, 12);
}

}  // namespace
}  // namespace ramifex::test
