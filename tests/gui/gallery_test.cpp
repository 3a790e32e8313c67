// The Examples gallery and the Variations window, with the File menu's status line and the undo
// history, as the user works them.
#include <sys/stat.h>

#include <QStandardPaths>
#include <QTemporaryDir>

#include "gui/panel_fixture.h"
#include "ui/document/scene_files.h"
#include "ui/document/scene_history.h"
#include "ui/gallery/gallery_commands.h"

namespace ramifex::test
{
namespace
{

constexpr int DrawingMs = 60000;

bool HasLitPixel(const QImage& picture)
{
    for (int y = 0; y < picture.height(); ++y)
    {
        for (int x = 0; x < picture.width(); ++x)
        {
            if ((picture.pixel(x, y) & 0xffffff) != 0)
            {
                return true;
            }
        }
    }
    return false;
}

QImage PictureOf(const QIcon& icon)
{
    return icon.pixmap(ThumbnailSize).toImage();
}

void Click(QWidget& widget, const QPoint& at)
{
    QTest::mouseClick(&widget, Qt::LeftButton, {}, at);
}

// A path in this run's thumbnail cache.
QString InCache(const QString& path)
{
    return QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + "/thumbnails/" + path;
}

QByteArray Bytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool Write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return QDir().mkpath(QFileInfo(path).path()) && file.open(QIODevice::WriteOnly) &&
           file.write(bytes) == bytes.size();
}

QImage RedThumbnail()
{
    QImage red(ThumbnailSize, QImage::Format_RGB32);
    red.fill(Qt::red);
    return red;
}

// Clearing other versions and keeping a picture go through no link, wherever it is in the cache:
// only the link goes or is replaced, and what it leads to stays as it was.
TEST(ThumbnailCache, GoesThroughNoLink)
{
    const QTemporaryDir elsewhere;
    const QString precious = elsewhere.filePath("precious.png");
    const QString inner = elsewhere.filePath("inner/precious.png");
    ASSERT_TRUE(Write(precious, "the user's") && Write(inner, "the user's"));
    ASSERT_TRUE(QDir().mkpath(InCache("0.9")) && QDir().mkpath(InCache("1.0")));
    ASSERT_TRUE(QFile::link(elsewhere.path(), InCache("0.8")));        // an old version
    ASSERT_TRUE(QFile::link(elsewhere.path(), InCache("0.9/inner")));  // in an old version
    ASSERT_TRUE(QFile::link(precious, InCache("1.0/Fern.png")));       // a kept picture

    const ThumbnailCache cache(QStringLiteral("1.0"));
    EXPECT_TRUE(
        QDir(InCache("")).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot) ==
        QStringList{"1.0"});
    EXPECT_TRUE(cache.Find("Fern").isNull());
    cache.Keep("Fern", RedThumbnail());
    EXPECT_FALSE(QFileInfo(InCache("1.0/Fern.png")).isSymLink());
    EXPECT_EQ(cache.Find("Fern"), RedThumbnail());

    // A thumbnails folder that is a link is left alone, and so is what it leads to.
    ASSERT_TRUE(QDir(InCache("")).removeRecursively());
    ASSERT_TRUE(QFile::link(elsewhere.path(), InCache("").chopped(1)));
    const ThumbnailCache linked(QStringLiteral("1.1"));
    linked.Keep("Fern", RedThumbnail());
    EXPECT_TRUE(linked.Find("Fern").isNull());
    EXPECT_EQ(QDir(elsewhere.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              (QStringList{"inner", "precious.png"}));
    EXPECT_EQ(Bytes(precious), "the user's");
    EXPECT_EQ(Bytes(inner), "the user's");
}

// A kept file that is no thumbnail the cache wrote is not read: a pipe is not waited on, nor is
// a picture of another size decoded. Keeping the thumbnail replaces it.
TEST(ThumbnailCache, ReadsOnlyThumbnails)
{
    const ThumbnailCache cache(QStringLiteral("1.0"));
    ASSERT_TRUE(QDir().mkpath(cache.Folder()));
    ASSERT_EQ(mkfifo(QFile::encodeName(InCache("1.0/Pipe.png")).constData(), 0600), 0);
    QImage huge(2000, 2000, QImage::Format_RGB32);
    huge.fill(Qt::red);
    ASSERT_TRUE(huge.save(InCache("1.0/Huge.png")));
    for (const char* name : {"Pipe", "Huge"})
    {
        EXPECT_TRUE(cache.Find(name).isNull()) << name;
        cache.Keep(name, RedThumbnail());
        EXPECT_EQ(cache.Find(name), RedThumbnail()) << name;
    }
}

class GalleryTest : public PanelTest
{
protected:
    void SetUp() override
    {
        // The cache folder of this run alone (XDG_CACHE_HOME), which tests running at the same
        // time do not empty.
        ThumbnailCache(QStringLiteral("none"));
        PanelTest::SetUp();
        history.BindCommands(commands);
        files = std::make_unique<SceneFiles>(editor, history, commands, *panel,
                                             [this](const QString& status)
                                             { panel->ShowDocumentStatus(status); });
        gallery = std::make_unique<GalleryCommands>(
            editor, commands, *panel,
            [this](const Example& example) { files->OpenExample(example.Name, example.Scene); },
            Version);
    }

    ExamplesGallery& ShowGallery()
    {
        commands.Action(Command::Examples).trigger();
        return *gallery->Gallery();
    }

    static constexpr const char* Version = "1.2.3";
    SceneHistory history{editor};
    std::unique_ptr<SceneFiles> files;
    std::unique_ptr<GalleryCommands> gallery;
};

// Both windows open wholly on the screen, clear of the panel where there is room, and choosing a
// window again brings it back from the task bar, raised and active.
TEST_F(PanelTest, WindowsOpenOnTheScreenBesideThePanelAndComeBack)
{
    const GalleryCommands gallery(editor, commands, *panel, {}, QStringLiteral("1.2.3"));
    const QRect screen = panel->screen()->availableGeometry();
    panel->move(screen.left() + 640, screen.top());  // where it starts beside the viewer
    commands.Action(Command::Examples).trigger();
    commands.Action(Command::Variations).trigger();
    ExamplesGallery& examples = *gallery.Gallery();
    for (QWidget* window :
         {static_cast<QWidget*>(&examples), static_cast<QWidget*>(gallery.Variations())})
    {
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
        EXPECT_TRUE(screen.contains(window->geometry())) << window->windowTitle().toStdString();
        EXPECT_FALSE(window->geometry().intersects(panel->geometry()));
    }
    examples.showMinimized();
    QTRY_VERIFY(examples.isMinimized());
    commands.Action(Command::Examples).trigger();
    EXPECT_FALSE(examples.isMinimized());
    EXPECT_TRUE(QTest::qWaitForWindowActive(&examples));
}

// Every example shows with its thumbnail; clicking one opens it as one step that the status line
// names; a thumbnail kept in the cache is shown rather than drawn again, until the version changes.
TEST_F(GalleryTest, TheGalleryOpensAnExampleAsOneStep)
{
    ExamplesGallery& shown = ShowGallery();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&shown));
    const std::vector<Example> examples = Examples();
    ASSERT_EQ(shown.List().count(), static_cast<int>(examples.size()));
    QTRY_VERIFY_WITH_TIMEOUT(!shown.Drawing(), DrawingMs);
    for (size_t index = 0; index < examples.size(); ++index)
    {
        const QListWidgetItem& item = *shown.List().item(static_cast<int>(index));
        EXPECT_EQ(item.text(), examples[index].Name);
        EXPECT_TRUE(HasLitPixel(PictureOf(item.icon()))) << item.text().toStdString();
    }

    const SceneState before = editor.Scene();
    const int steps = history.Stack().count();
    const int chosen = 3;
    QListWidget& list = shown.List();
    Click(*list.viewport(), list.visualItemRect(list.item(chosen)).center());
    EXPECT_EQ(editor.Scene(), examples[chosen].Scene);
    EXPECT_EQ(history.Stack().count(), steps + 1);
    EXPECT_EQ(panel->DocumentStatus(), "Example: " + examples[chosen].Name);
    // The gallery's own keys undo and redo.
    ASSERT_TRUE(QTest::qWaitForWindowActive(&shown));
    QTest::keyClick(&list, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(editor.Scene(), before);
    EXPECT_EQ(panel->DocumentStatus(), "New scene, not saved");
    QTest::keyClick(&list, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(editor.Scene(), examples[chosen].Scene);
    history.Stack().undo();

    // A kept thumbnail marked red shows as it is kept.
    QImage red(ThumbnailSize, QImage::Format_RGB32);
    red.fill(Qt::red);
    ThumbnailCache(Version).Keep(examples[chosen].Name, red);
    delete gallery->Gallery();
    ExamplesGallery& again = ShowGallery();
    EXPECT_FALSE(again.Drawing());
    EXPECT_EQ(PictureOf(again.List().item(chosen)->icon()).pixel(5, 5), QColor(Qt::red).rgb());

    const ExamplesGallery nextVersion({}, QStringLiteral("1.2.4"));
    EXPECT_TRUE(nextVersion.Drawing());
    EXPECT_TRUE(ThumbnailCache(Version).Find(examples[chosen].Name).isNull());
}

// The seed shown makes the variations, at the strength chosen; adopting one is one step that
// undoing takes back bit for bit, and the scene in the middle, adopted or not, gets variations of
// its own.
TEST_F(GalleryTest, VariationsAreReproducibleAndAdoptedAsOneStep)
{
    editor.OpenScene(Examples().front().Scene);
    commands.Action(Command::Variations).trigger();
    VariationsWindow& window = *gallery->Variations();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const SceneState before = editor.Scene();
    EXPECT_EQ(window.Variations(), MakeVariations(before, VariationStrength::Medium,
                                                  static_cast<uint32_t>(window.Seed().value())));
    QTRY_VERIFY_WITH_TIMEOUT(!window.Drawing(), DrawingMs);
    EXPECT_TRUE(HasLitPixel(window.Middle().pixmap().toImage()));
    for (int index = 0; index < VariationCount; ++index)
    {
        EXPECT_TRUE(HasLitPixel(PictureOf(window.VariationButton(index).icon()))) << index;
    }

    window.Strength().setCurrentIndex(static_cast<int>(VariationStrength::Wild));
    window.Seed().setValue(41);
    Click(window.More(), window.More().rect().center());
    EXPECT_EQ(window.Seed().value(), 42);
    EXPECT_EQ(window.Variations(), MakeVariations(before, VariationStrength::Wild, 42));

    const int steps = history.Stack().count();
    const SceneState adopted = window.Variations()[2];
    QToolButton& button = window.VariationButton(2);
    Click(button, button.rect().center());
    EXPECT_EQ(editor.Scene(), adopted);
    EXPECT_EQ(history.Stack().count(), steps + 1);
    EXPECT_EQ(window.Variations(), MakeVariations(adopted, VariationStrength::Wild, 42));

    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(&button, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(editor.Scene(), before);
    QTRY_COMPARE_WITH_TIMEOUT(window.Variations(),
                              MakeVariations(before, VariationStrength::Wild, 42), DrawingMs);

    // A closed window follows the scene when it shows again. One that shows follows the same edit
    // once it settles, and then draws nine thumbnails: by then the closed one would have followed.
    window.close();
    VariationsWindow shown(editor);
    shown.show();
    editor.Randomize();
    QTRY_COMPARE_WITH_TIMEOUT(
        shown.Variations(),
        MakeVariations(editor.Scene(),
                       static_cast<VariationStrength>(shown.Strength().currentIndex()),
                       static_cast<uint32_t>(shown.Seed().value())),
        DrawingMs);
    QTRY_VERIFY_WITH_TIMEOUT(!shown.Drawing(), DrawingMs);
    EXPECT_EQ(window.Variations(), MakeVariations(before, VariationStrength::Wild, 42));
    commands.Action(Command::Variations).trigger();
    EXPECT_EQ(window.Variations(), MakeVariations(editor.Scene(), VariationStrength::Wild, 42));
}

}  // namespace
}  // namespace ramifex::test
