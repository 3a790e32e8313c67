// The command line read into a job or a refusal, without a shell: every mistake refused with its
// one line before anything long begins, and what is accepted read as asked.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cli/command_line.h"

namespace ramifex::test
{
namespace
{

// Reads the arguments, "DIR" in each standing for a folder with a scene and a picture in it.
CommandLine Read(const QTemporaryDir& dir, const std::vector<std::string>& words)
{
    std::vector<std::string> arguments{"ramifex"};
    for (const std::string& word : words)
    {
        arguments.push_back(
            QString::fromStdString(word).replace(QStringLiteral("DIR"), dir.path()).toStdString());
    }
    std::vector<char*> argv;
    for (std::string& argument : arguments)
    {
        argv.push_back(argument.data());
    }
    return ReadCommandLine(static_cast<int>(argv.size()), argv.data());
}

class CommandLineTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        for (const char* name : {"tree.ramifex.json", "tree.png"})
        {
            QFile file(dir.filePath(name));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        }
        ASSERT_TRUE(QDir(dir.path()).mkdir("folder.glb"));
    }

    QTemporaryDir dir;
};

TEST_F(CommandLineTest, RefusesEveryMistakeInOneLine)
{
    const struct
    {
        std::vector<std::string> Args;
        const char* Refusal;  // "DIR" for the folder
    } cases[] = {
        {{"--bogus"}, "Unknown option 'bogus'."},
        {{"--render", "--output", "out.png"},
         "--render needs a scene and an output file: ramifex --render SCENE --output OUT.png"},
        {{"--render", "DIR/tree.ramifex.json", "--output", "DIR/o.png", "--size", "640"},
         "--size takes WIDTHxHEIGHT in pixels, such as 1920x1080, not \"640\""},
        {{"--render", "DIR/tree.ramifex.json", "--output", "DIR/o.png", "--size", "0x480"},
         "--size takes WIDTHxHEIGHT in pixels, such as 1920x1080, not \"0x480\""},
        {{"--render", "DIR/tree.ramifex.json", "--output", "DIR/o.png", "--depth", "31"},
         "--depth takes a whole number from 1 to 30, not \"31\""},
        {{"--render", "DIR/tree.ramifex.json", "--output", "DIR/o.png", "--samples", "5"},
         "--samples takes a whole number from 1 to 4, not \"5\""},
        {{"--render", "DIR/tree.ramifex.json", "--output", "DIR/o.png", "--depth", "9", "--depth",
          "3"},
         "--depth may be given once only"},
        {{"--render", "DIR/tree.png", "--output", "DIR/./tree.png"},
         "--output \"DIR/./tree.png\" is the scene itself"},
        {{"--render", "DIR/tree.ramifex.json", "--output", "DIR/o.png", "--frames", "0-1"},
         "--frames does not go with --render"},
        {{"DIR/tree.ramifex.json", "--output", "o.png"},
         "a scene to start with goes with no option but --render or --export-geometry"},
        {{"a", "b"}, "one scene at most, not 2"},
        {{"--size", "64x48"},
         "--size goes with --render, --animate, --turntable, --encode or --export-geometry"},
        {{"--render", "DIR/tree.ramifex.json", "--output", "o.png", "--export-geometry", "o.glb"},
         "one of --render, --animate, --turntable, --encode and --export-geometry at a time"},
        {{"--turntable", "DIR/tree.ramifex.json", "--output", "DIR/o.mp4"},
         "--turntable needs --seconds and --output: ramifex --turntable SCENE --seconds S "
         "--output OUT.mp4"},
        {{"--animate", "a.ramifex-anim.json", "--seconds", "2", "--output", "DIR/o.mp4"},
         "--seconds does not go with --animate"},
        {{"--turntable", "DIR/tree.ramifex.json", "--seconds", "0", "--output", "DIR/o.mp4"},
         "--seconds takes a number above 0 and up to 86400, not \"0\""},
        {{"--turntable", "DIR/tree.ramifex.json", "--seconds", "1", "--output", "DIR/o.mp4",
          "--frames", "5-3"},
         "--frames 5-3 is an empty range: the first frame is after the last"},
        {{"--turntable", "DIR/tree.ramifex.json", "--seconds", "1", "--output", "DIR/o.mp4",
          "--fps", "0"},
         "--fps takes a whole number from 1 to 240, not \"0\""},
        {{"--turntable", "DIR/tree.ramifex.json", "--seconds", "1", "--output",
          "DIR/gone/%05d.png"},
         "cannot write \"DIR/gone/%05d.png\": its folder does not exist"},
        {{"--encode", "DIR/%05d.png", "--output", "DIR/out/%05d.png"},
         "--encode writes a video (.mp4, .webm), not \"DIR/out/%05d.png\""},
        {{"--export-geometry", "DIR/o.glb"},
         "--export-geometry needs a scene: ramifex --export-geometry OUT.glb SCENE"},
        {{"--export-geometry", "DIR/folder.glb", "DIR/tree.ramifex.json"},
         "cannot write \"DIR/folder.glb\": it is not a regular file"},
        {{"--export-geometry", "DIR/o.glb", "DIR/tree.ramifex.json", "--points"},
         "--points goes with a .ply file"},
        {{"--export-geometry", "DIR/o.glb", "DIR/tree.ramifex.json", "--view", "64x48", "--whole",
          "4"},
         "--view and --whole exclude each other"},
        {{"--export-geometry", "DIR/o.glb", "DIR/tree.ramifex.json", "--whole", "25"},
         "--whole takes a whole number from 1 to 24, not \"25\""},
    };
    for (const auto& c : cases)
    {
        const CommandLine command = Read(dir, c.Args);
        EXPECT_EQ(
            command.Refusal.toStdString(),
            QString::fromUtf8(c.Refusal).replace(QStringLiteral("DIR"), dir.path()).toStdString())
            << c.Args.front();
        EXPECT_FALSE(command.Job);
    }
}

TEST_F(CommandLineTest, ReadsTheJobAsAsked)
{
    const CommandLine render = Read(dir, {"--render", "DIR/tree.ramifex.json", "--output",
                                          "DIR/o.png", "--size", "64x48", "--samples", "2"});
    ASSERT_TRUE(render.Refusal.isEmpty()) << render.Refusal.toStdString();
    const auto& picture = std::get<RenderRequest>(*render.Job);
    EXPECT_EQ(picture.Settings.Size, QSize(64, 48));
    EXPECT_EQ(picture.Settings.Samples, 2);
    EXPECT_FALSE(picture.Settings.Depth);

    const auto video = std::get<AnimateRequest>(
        *Read(dir, {"--turntable", "DIR/tree.ramifex.json", "--seconds", "2.5", "--output",
                    "DIR/folder.glb/%03d.png", "--frames", "3-7", "--fps", "12", "--depth", "6"})
             .Job);
    EXPECT_EQ(video.TurntableSeconds, 2.5);
    EXPECT_EQ(video.Format, VideoFormat::PngSequence);
    EXPECT_EQ(video.Fps, 12);
    EXPECT_EQ(video.Settings.Depth, 6);
    ASSERT_TRUE(video.Frames);
    EXPECT_EQ(video.Frames->First, 3);
    EXPECT_EQ(video.Frames->Last, 7);

    const auto geometry =
        std::get<GeometryRequest>(*Read(dir, {"--export-geometry", "DIR/p.ply",
                                              "DIR/tree.ramifex.json", "--whole", "6", "--points"})
                                       .Job);
    EXPECT_EQ(geometry.Options.Format, GeometryFormat::PlyPoints);
    EXPECT_EQ(geometry.Settings.WholeDepth, 6);

    const CommandLine start = Read(dir, {"DIR/tree.ramifex.json"});
    EXPECT_FALSE(start.Job);
    EXPECT_TRUE(start.Refusal.isEmpty());
    EXPECT_TRUE(start.Scene.endsWith("tree.ramifex.json"));
    EXPECT_TRUE(Read(dir, {"--help"}).Shown.contains("--export-geometry"));
}

TEST(QuotedControlsTest, QuotesEveryControlCharacterAndNothingElse)
{
    const struct
    {
        const char* Text;  // UTF-8
        const char* Shown;
    } cases[] = {
        {"tree \"\u00e9t\u00e9\" \u6a39.png \\ 100%", "tree \"\u00e9t\u00e9\" \u6a39.png \\ 100%"},
        {"\x1b[2J\x1b]0;title\x07", "\\x1b[2J\\x1b]0;title\\x07"},
        {"a\nb\rc\td\x7f", "a\\x0ab\\x0dc\\x09d\\x7f"},
        {"\xc2\x9bm", "\\x9bm"},                 // C1's CSI
        {"gpj.\u202eexe", "gpj.\\u202eexe"},     // right-to-left override
        {"a\u2028b\ufeff", "a\\u2028b\\ufeff"},  // line separator, byte order mark
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ(QuotedControls(QString::fromUtf8(c.Text)).toStdString(), c.Shown) << c.Text;
    }
}

}  // namespace
}  // namespace ramifex::test
