#include "cli/command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "core/scene/scene_state.h"
#include "gl/jobs/render_job.h"
#include "io/scenefile/scene_file.h"

namespace ramifex
{
namespace
{

// Beyond these no animation is meant: a mistake such as a missing decimal point.
constexpr int32_t MaxFps = 240;
constexpr double MaxSeconds = 24.0 * 60.0 * 60.0;

[[noreturn]] void Refuse(const QString& why)
{
    std::exit(ReportFailure(why));
}

QSize SizeFrom(const QString& text, const char* option = "--size")
{
    static const QRegularExpression pattern(
        QStringLiteral("^([1-9][0-9]{0,4})x([1-9][0-9]{0,4})$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
    {
        Refuse(QStringLiteral("%1 takes WIDTHxHEIGHT in pixels, such as 1920x1080, not \"%2\"")
                   .arg(QLatin1String(option), text));
    }
    return {match.captured(1).toInt(), match.captured(2).toInt()};
}

// A repeated option would silently take its last value, past a mistake in an earlier one.
void RefuseRepeats(const QCommandLineParser& parser, const QList<QCommandLineOption>& options)
{
    for (const QCommandLineOption& option : options)
    {
        const QString name = option.names().constFirst();
        if (parser.optionNames().count(name) > 1)
        {
            Refuse(QStringLiteral("--%1 may be given once only").arg(name));
        }
    }
}

// The whole number from low to high that the option's text gives.
int32_t WholeNumberFrom(const QString& option, const QString& text, int32_t low, int32_t high)
{
    bool number = false;
    const int value = text.toInt(&number);
    if (!number || value < low || value > high)
    {
        Refuse(QStringLiteral("--%1 takes a whole number from %2 to %3, not \"%4\"")
                   .arg(option)
                   .arg(low)
                   .arg(high)
                   .arg(text));
    }
    return value;
}

QCommandLineOption Valued(const char* name, const char* description, const char* value)
{
    return {QString::fromLatin1(name), QString::fromLatin1(description),
            QString::fromLatin1(value)};
}

// Every option after --help and --version.
struct Options
{
    QCommandLineOption Render{QStringLiteral("render"),
                              QStringLiteral("Draw the complete picture of SCENE into the --output "
                                             "file without any window, then end.")};
    QCommandLineOption Animate = Valued(
        "animate",
        "Draw the frames of an animation (.ramifex-anim.json, or a scene as one frame) into the "
        "--output video or numbered pictures without any window, then end.",
        "ANIM");
    QCommandLineOption Turntable =
        Valued("turntable", "As --animate, one turn of SCENE in --seconds.", "SCENE");
    QCommandLineOption Encode = Valued(
        "encode", "Join numbered pictures, from 0 on, into the --output video.", "DIR/%05d.png");
    QCommandLineOption Output = Valued(
        "output",
        "The PNG file that --render writes; the video (.mp4, .webm) or numbered pictures "
        "(DIR/%05d.png) that --animate and --turntable write; the video that --encode writes.",
        "OUT");
    QCommandLineOption Size =
        Valued("size", "The size of the pictures drawn (default 640x480).", "WxH");
    QCommandLineOption Depth =
        Valued("depth", "The depth of the trees drawn, 1 to 30 (default: each scene's).", "N");
    QCommandLineOption Samples = Valued(
        "samples", "Smooth edges: each pixel the mean of NxN samples, 1 to 4 (default 1).", "N");
    QCommandLineOption Seconds = Valued("seconds", "How long a turntable's turn takes.", "S");
    QCommandLineOption Fps =
        Valued("fps", "Frames per second of an animation or video (default 30).", "N");
    QCommandLineOption Frames = Valued(
        "frames", "Only frames A to B, both included, numbered from 0 (default: all).", "A-B");
    QCommandLineOption ExportGeometry = Valued(
        "export-geometry",
        "Write the spheres of SCENE as a .glb, .ply, .stl or .obj file without any window, then "
        "end.",
        "OUT");
    QCommandLineOption View = Valued("view",
                                     "The picture at which --export-geometry judges what the view "
                                     "shows, and tessellates each sphere for (default 640x480).",
                                     "WxH");
    QCommandLineOption Whole = Valued(
        "whole",
        "--export-geometry writes every sphere of the tree to depth N, 1 to 24, not what the view "
        "shows.",
        "N");
    QCommandLineOption Camera{QStringLiteral("camera"),
                              QStringLiteral("--export-geometry also writes the view's camera "
                                             "(.glb only).")};
    QCommandLineOption Points{QStringLiteral("points"),
                              QStringLiteral("--export-geometry writes a .ply of points: x y z "
                                             "radius red green blue.")};

    QList<const QCommandLineOption*> All() const
    {
        return {&Render,  &Animate, &Turntable, &Encode,         &Output, &Size,  &Depth,  &Samples,
                &Seconds, &Fps,     &Frames,    &ExportGeometry, &View,   &Whole, &Camera, &Points};
    }
};

QString Name(const QCommandLineOption& option)
{
    return option.names().constFirst();
}

// The parsed arguments, read option by option, every mistake ending the program.
struct OptionReader
{
    const QCommandLineParser& Parser;
    const Options& Known;

    bool IsSet(const QCommandLineOption& option) const { return Parser.isSet(option); }
    QString Value(const QCommandLineOption& option) const { return Parser.value(option); }

    // Refuses every option given that `mode` does not take.
    void RefuseOthers(const QString& mode, const QList<const QCommandLineOption*>& taken) const
    {
        for (const QCommandLineOption* option : Known.All())
        {
            if (IsSet(*option) && !taken.contains(option))
            {
                Refuse(mode.isEmpty()
                           ? QStringLiteral("--%1 goes with --render, --animate, --turntable, "
                                            "--encode or --export-geometry")
                                 .arg(Name(*option))
                           : QStringLiteral("--%1 does not go with --%2").arg(Name(*option), mode));
            }
        }
    }

    int32_t WholeNumber(const QCommandLineOption& option, int32_t low, int32_t high) const
    {
        return WholeNumberFrom(Name(option), Value(option), low, high);
    }

    std::optional<int32_t> Depth() const
    {
        return IsSet(Known.Depth) ? std::optional(WholeNumber(Known.Depth, 1, MaxDepth))
                                  : std::nullopt;
    }

    int32_t Samples() const
    {
        return IsSet(Known.Samples) ? WholeNumber(Known.Samples, 1, RenderSettings::MaxSamples) : 1;
    }

    int32_t Fps() const { return IsSet(Known.Fps) ? WholeNumber(Known.Fps, 1, MaxFps) : 30; }

    QSize Size() const { return IsSet(Known.Size) ? SizeFrom(Value(Known.Size)) : QSize(640, 480); }
};

// Seconds of a turntable: a finite number above 0.
double SecondsFrom(const QString& text)
{
    bool number = false;
    const double seconds = text.toDouble(&number);
    if (!number || !(seconds > 0.0) || seconds > MaxSeconds)
    {
        Refuse(QStringLiteral("--seconds takes a number above 0 and up to %1, not \"%2\"")
                   .arg(MaxSeconds)
                   .arg(text));
    }
    return seconds;
}

FrameRange FramesFrom(const QString& text)
{
    static const QRegularExpression pattern(QStringLiteral("^([0-9]{1,9})-([0-9]{1,9})$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
    {
        Refuse(QStringLiteral("--frames takes FIRST-LAST, such as 0-47, not \"%1\"").arg(text));
    }
    const FrameRange range{match.captured(1).toLongLong(), match.captured(2).toLongLong()};
    if (range.Last < range.First)
    {
        Refuse(QStringLiteral("--frames %1 is an empty range: the first frame is after the last")
                   .arg(text));
    }
    return range;
}

// The output's format, refusing any output that cannot be written: a folder, a pipe or a device
// in its place, or a folder that is not there.
VideoFormat OutputFormat(const QString& output)
{
    QString error;
    const std::optional<VideoFormat> format = VideoFormatOf(output, &error);
    if (!format)
    {
        Refuse(error);
    }
    const QString file =
        *format == VideoFormat::PngSequence ? SequenceFrameName(output, 0) : output;
    if (!QFileInfo(file).absoluteDir().exists())
    {
        Refuse(QStringLiteral("--output \"%1\": the folder is not there").arg(output));
    }
    if (QFileInfo::exists(file) && !QFileInfo(file).isFile())
    {
        Refuse(QStringLiteral("--output \"%1\" is not a regular file").arg(file));
    }
    return *format;
}

RenderRequest ReadRender(const OptionReader& options, const QString& scene)
{
    const Options& known = options.Known;
    options.RefuseOthers(Name(known.Render),
                         {&known.Render, &known.Output, &known.Size, &known.Depth, &known.Samples});
    if (scene.isEmpty() || !options.IsSet(known.Output))
    {
        Refuse(
            QStringLiteral("--render needs a scene and an output file: ramifex --render SCENE "
                           "--output OUT.png"));
    }
    RenderRequest request;
    request.Scene = scene;
    request.Output = options.Value(known.Output);
    if (SameFile(request.Scene, request.Output))
    {
        Refuse(QStringLiteral("--output \"%1\" is the scene itself").arg(request.Output));
    }
    // Checked before drawing, which may take long.
    QString error;
    if (!CanWritePicture(request.Output, &error))
    {
        Refuse(error);
    }
    request.Size = options.Size();
    request.Depth = options.Depth();
    request.Samples = options.Samples();
    return request;
}

AnimateRequest ReadAnimate(const OptionReader& options)
{
    const Options& known = options.Known;
    const bool turntable = options.IsSet(known.Turntable);
    const QCommandLineOption& mode = turntable ? known.Turntable : known.Animate;
    QList<const QCommandLineOption*> taken{&mode,        &known.Output,  &known.Size,  &known.Fps,
                                           &known.Depth, &known.Samples, &known.Frames};
    if (turntable)
    {
        taken.append(&known.Seconds);
    }
    options.RefuseOthers(Name(mode), taken);
    if (!options.IsSet(known.Output) || (turntable && !options.IsSet(known.Seconds)))
    {
        Refuse(turntable ? QStringLiteral("--turntable needs --seconds and --output: ramifex "
                                          "--turntable SCENE --seconds S --output OUT.mp4")
                         : QStringLiteral("--animate needs --output: ramifex --animate ANIM "
                                          "--output OUT.mp4"));
    }
    AnimateRequest request;
    request.Source = options.Value(mode);
    request.Output = options.Value(known.Output);
    request.Format = OutputFormat(request.Output);
    if (turntable)
    {
        request.TurntableSeconds = SecondsFrom(options.Value(known.Seconds));
    }
    request.Size = options.Size();
    request.Fps = options.Fps();
    request.Depth = options.Depth();
    request.Samples = options.Samples();
    if (options.IsSet(known.Frames))
    {
        request.Frames = FramesFrom(options.Value(known.Frames));
    }
    return request;
}

EncodeRequest ReadEncode(const OptionReader& options)
{
    const Options& known = options.Known;
    options.RefuseOthers(Name(known.Encode), {&known.Encode, &known.Output, &known.Fps});
    if (!options.IsSet(known.Output))
    {
        Refuse(
            QStringLiteral("--encode needs --output: ramifex --encode 'DIR/%05d.png' --fps N "
                           "--output OUT.mp4"));
    }
    EncodeRequest request;
    request.Frames = options.Value(known.Encode);
    QString error;
    if (VideoFormatOf(request.Frames, &error) != VideoFormat::PngSequence)
    {
        Refuse(
            QStringLiteral("--encode takes numbered pictures such as frames/%05d.png, not \"%1\"")
                .arg(request.Frames));
    }
    request.Output = options.Value(known.Output);
    if (VideoFormatOf(request.Output, &error) == VideoFormat::PngSequence)
    {
        Refuse(QStringLiteral("--encode writes a video (.mp4, .webm), not \"%1\"")
                   .arg(request.Output));
    }
    request.Format = OutputFormat(request.Output);
    request.Fps = options.Fps();
    return request;
}

// Refuses every mistake before the walk, which may take long.
GeometryRequest ReadGeometry(const OptionReader& options, const QString& scene)
{
    const Options& known = options.Known;
    options.RefuseOthers(Name(known.ExportGeometry), {&known.ExportGeometry, &known.View,
                                                      &known.Whole, &known.Camera, &known.Points});
    GeometryRequest request;
    request.Scene = scene;
    request.Output = options.Value(known.ExportGeometry);
    if (scene.isEmpty())
    {
        Refuse(
            QStringLiteral("--export-geometry needs a scene: ramifex --export-geometry OUT.glb "
                           "SCENE"));
    }
    if (SameFile(request.Scene, request.Output))
    {
        Refuse(QStringLiteral("--export-geometry \"%1\" is the scene itself").arg(request.Output));
    }
    QString error;
    if (!CanWriteGeometry(request.Output, &error))
    {
        Refuse(error);
    }
    const bool points = options.IsSet(known.Points);
    request.Format = *FormatForPath(request.Output, points);
    if (points && request.Format != GeometryFormat::PlyPoints)
    {
        Refuse(QStringLiteral("--points goes with a .ply file"));
    }
    if (options.IsSet(known.Camera) && request.Format != GeometryFormat::Gltf)
    {
        Refuse(QStringLiteral("--camera goes with a .glb file"));
    }
    if (options.IsSet(known.View) && options.IsSet(known.Whole))
    {
        Refuse(QStringLiteral("--view and --whole exclude each other"));
    }
    if (options.IsSet(known.View))
    {
        request.Settings.Size = SizeFrom(options.Value(known.View), "--view");
    }
    if (options.IsSet(known.Whole))
    {
        request.Settings.WholeDepth = options.WholeNumber(known.Whole, 1, MaxWholeDepth);
    }
    request.Settings.Camera = options.IsSet(known.Camera);
    return request;
}

CommandLine Read(const OptionReader& options)
{
    const Options& known = options.Known;
    QList<QCommandLineOption> every;
    for (const QCommandLineOption* option : known.All())
    {
        every.append(*option);
    }
    RefuseRepeats(options.Parser, every);
    const QStringList scenes = options.Parser.positionalArguments();
    if (scenes.size() > 1)
    {
        Refuse(QStringLiteral("one scene at most, not %1").arg(scenes.size()));
    }
    const QList<const QCommandLineOption*> modes{&known.Render, &known.Animate, &known.Turntable,
                                                 &known.Encode, &known.ExportGeometry};
    if (std::count_if(modes.begin(), modes.end(),
                      [&](auto* mode) { return options.IsSet(*mode); }) > 1)
    {
        Refuse(
            QStringLiteral("one of --render, --animate, --turntable, --encode and "
                           "--export-geometry at a time"));
    }
    CommandLine command;
    command.Scene = scenes.value(0);
    if (options.IsSet(known.Render))
    {
        command.Render = ReadRender(options, command.Scene);
        return command;
    }
    if (options.IsSet(known.ExportGeometry))
    {
        command.Geometry = ReadGeometry(options, command.Scene);
        return command;
    }
    if (!command.Scene.isEmpty() && !options.Parser.optionNames().isEmpty())
    {
        Refuse(
            QStringLiteral("a scene to start with goes with no option but --render or "
                           "--export-geometry"));
    }
    if (options.IsSet(known.Animate) || options.IsSet(known.Turntable))
    {
        command.Animate = ReadAnimate(options);
    }
    else if (options.IsSet(known.Encode))
    {
        command.Encode = ReadEncode(options);
    }
    else
    {
        options.RefuseOthers({}, {});
    }
    return command;
}

}  // namespace

int ReportFailure(const QString& why)
{
    std::fprintf(stderr, "ramifex: %s\n", qPrintable(why));
    return EXIT_FAILURE;
}

CommandLine ReadCommandLine(int argc, char** argv)
{
    // The toolkit takes the usage line's name from the first argument: the program's name, not the
    // path it was started by.
    char name[] = "ramifex";
    std::vector<char*> arguments{name};
    if (argc > 1)
    {
        arguments.insert(arguments.end(), argv + 1, argv + argc);
    }
    int count = static_cast<int>(arguments.size());
    arguments.push_back(nullptr);
    const QCoreApplication application(count, arguments.data());
    QCoreApplication::setApplicationVersion(QStringLiteral(RAMIFEX_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Generates and shows a three-dimensional iterated function set."));
    // Not addHelpOption(): its --help-all lists the toolkit's options, which the program ignores.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Displays help on the command line."));
    parser.addOption(help);
    parser.addVersionOption();
    parser.addPositionalArgument(
        QStringLiteral("scene"),
        QStringLiteral("A scene file (.ramifex.json), or a picture exported with its scene (.png), "
                       "to start with."),
        QStringLiteral("[SCENE]"));
    const Options options;
    for (const QCommandLineOption* option : options.All())
    {
        parser.addOption(*option);
    }
    parser.process(application);
    if (parser.isSet(help))
    {
        parser.showHelp();
    }
    return Read(OptionReader{parser, options});
}

}  // namespace ramifex
