#include "cli/command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QRegularExpression>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "core/scene/scene_state.h"
#include "io/scenefile/scene_file.h"

namespace ramifex
{
namespace
{

// Beyond these no animation is meant: a mistake such as a missing decimal point.
constexpr int32_t MaxFps = 240;
constexpr double MaxSeconds = 24.0 * 60.0 * 60.0;

QCommandLineOption Valued(const char* name, const QString& description, const char* value)
{
    return {QString::fromLatin1(name), description, QString::fromLatin1(value)};
}

QCommandLineOption Valued(const char* name, const char* description, const char* value)
{
    return Valued(name, QString::fromLatin1(description), value);
}

QString SizeText(const QSize& size)
{
    return QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
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
    QCommandLineOption Encode =
        Valued("encode", "Join numbered pictures, from 0 on or --frames, into the --output video.",
               "DIR/%05d.png");
    QCommandLineOption Output = Valued(
        "output",
        "The PNG file that --render writes; the video (.mp4, .webm) or numbered pictures "
        "(DIR/%05d.png) that --animate and --turntable write; the video that --encode writes.",
        "OUT");
    QCommandLineOption Size = Valued("size",
                                     QStringLiteral("The size of the pictures drawn (default %1).")
                                         .arg(SizeText(StartPictureSize)),
                                     "WxH");
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
        "Write the spheres of SCENE as a .glb, .ply, .stl, .obj or .vtp file without any window, "
        "then end.",
        "OUT");
    QCommandLineOption View = Valued("view",
                                     QStringLiteral("The picture at which --export-geometry judges "
                                                    "what the view shows, and tessellates each "
                                                    "sphere for (default %1).")
                                         .arg(SizeText(StartPictureSize)),
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
    QCommandLineOption StlSize =
        Valued("stl-size",
               "The root sphere's diameter in an .stl file, in millimetres (default 10).", "MM");
    QCommandLineOption Smallest = Valued(
        "smallest",
        "Leaves out of an .stl file the spheres under MM millimetres across, which no printer "
        "makes; their count is said.",
        "MM");
    QCommandLineOption Quiet{QStringLiteral("quiet"),
                             QStringLiteral("Says nothing once a job has written its output.")};

    QList<const QCommandLineOption*> All() const
    {
        return {&Render, &Animate, &Turntable, &Encode, &Output,  &Size,
                &Depth,  &Samples, &Seconds,   &Fps,    &Frames,  &ExportGeometry,
                &View,   &Whole,   &Camera,    &Points, &StlSize, &Smallest};
    }
};

CommandLine Refusal(const QString& why)
{
    CommandLine command;
    command.Refusal = why;
    return command;
}

CommandLine Showing(const QString& text)
{
    CommandLine command;
    command.Shown = text;
    return command;
}

QString Name(const QCommandLineOption& option)
{
    return option.names().constFirst();
}

// The parsed arguments, read option by option. The first mistake is kept as the refusal; a value
// read after it is a stand-in that nothing uses.
class OptionReader
{
public:
    OptionReader(const QCommandLineParser& parser, const Options& known)
        : parser_(parser), known_(known)
    {
    }

    const Options& Known() const { return known_; }
    const QCommandLineParser& Parser() const { return parser_; }
    bool IsSet(const QCommandLineOption& option) const { return parser_.isSet(option); }
    QString Value(const QCommandLineOption& option) const { return parser_.value(option); }

    // Keeps the first refusal; returns false.
    bool Refuse(const QString& why)
    {
        if (refusal_.isEmpty())
        {
            refusal_ = why;
        }
        return false;
    }
    // Refuses the problem when there is one; returns whether there was none.
    bool Check(const QString& problem) { return problem.isEmpty() || Refuse(problem); }
    bool Refused() const { return !refusal_.isEmpty(); }
    const QString& Refusal() const { return refusal_; }

    // Refuses every option given that `job` does not take.
    bool RefuseOthers(const QString& job, const QList<const QCommandLineOption*>& taken)
    {
        for (const QCommandLineOption* option : known_.All())
        {
            if (IsSet(*option) && !taken.contains(option))
            {
                return Refuse(
                    job.isEmpty()
                        ? QStringLiteral("--%1 goes with --render, --animate, --turntable, "
                                         "--encode or --export-geometry")
                              .arg(Name(*option))
                        : QStringLiteral("--%1 does not go with --%2").arg(Name(*option), job));
            }
        }
        return true;
    }

    // The whole number from low to high that the option's text gives.
    int32_t WholeNumber(const QCommandLineOption& option, int32_t low, int32_t high)
    {
        bool number = false;
        const int value = Value(option).toInt(&number);
        if (!number || value < low || value > high)
        {
            Refuse(QStringLiteral("--%1 takes a whole number from %2 to %3, not \"%4\"")
                       .arg(Name(option))
                       .arg(low)
                       .arg(high)
                       .arg(Value(option)));
        }
        return value;
    }

    QSize SizeOf(const QCommandLineOption& option)
    {
        static const QRegularExpression pattern(
            QStringLiteral("^([1-9][0-9]{0,4})x([1-9][0-9]{0,4})$"));
        const QRegularExpressionMatch match = pattern.match(Value(option));
        if (!match.hasMatch())
        {
            Refuse(
                QStringLiteral("--%1 takes WIDTHxHEIGHT in pixels, such as 1920x1080, not \"%2\"")
                    .arg(Name(option), Value(option)));
        }
        return {match.captured(1).toInt(), match.captured(2).toInt()};
    }

    // --size, --depth and --samples.
    RenderSettings Render()
    {
        RenderSettings settings;
        if (IsSet(known_.Size))
        {
            settings.Size = SizeOf(known_.Size);
        }
        if (IsSet(known_.Depth))
        {
            settings.Depth = WholeNumber(known_.Depth, 1, MaxDepth);
        }
        if (IsSet(known_.Samples))
        {
            settings.Samples = WholeNumber(known_.Samples, 1, RenderSettings::MaxSamples);
        }
        return settings;
    }

    int32_t Fps() { return IsSet(known_.Fps) ? WholeNumber(known_.Fps, 1, MaxFps) : 30; }

    // Millimetres of a print, from low to high.
    double Millimetres(const QCommandLineOption& option, double low, double high)
    {
        bool number = false;
        const double value = Value(option).toDouble(&number);
        if (!number || !(value >= low && value <= high))
        {
            Refuse(QStringLiteral("--%1 takes millimetres from %2 to %3, not \"%4\"")
                       .arg(Name(option))
                       .arg(low)
                       .arg(high)
                       .arg(Value(option)));
        }
        return value;
    }

    // Seconds of a turntable: a finite number above 0.
    double Seconds()
    {
        bool number = false;
        const double seconds = Value(known_.Seconds).toDouble(&number);
        if (!number || !(seconds > 0.0) || seconds > MaxSeconds)
        {
            Refuse(QStringLiteral("--seconds takes a number above 0 and up to %1, not \"%2\"")
                       .arg(MaxSeconds)
                       .arg(Value(known_.Seconds)));
        }
        return seconds;
    }

    FrameRange Frames()
    {
        static const QRegularExpression pattern(QStringLiteral("^([0-9]{1,9})-([0-9]{1,9})$"));
        const QString text = Value(known_.Frames);
        const QRegularExpressionMatch match = pattern.match(text);
        if (!match.hasMatch())
        {
            Refuse(QStringLiteral("--frames takes FIRST-LAST, such as 0-47, not \"%1\"").arg(text));
        }
        const FrameRange range{match.captured(1).toLongLong(), match.captured(2).toLongLong()};
        if (range.Last < range.First)
        {
            Refuse(
                QStringLiteral("--frames %1 is an empty range: the first frame is after the last")
                    .arg(text));
        }
        return range;
    }

    // The video or numbered pictures that --output names.
    VideoFormat VideoOutput()
    {
        QString error;
        const std::optional<VideoFormat> format = VideoOutputFormat(Value(known_.Output), &error);
        if (!format)
        {
            Refuse(error);
        }
        return format.value_or(VideoFormat::Mp4);
    }

    // A repeated option would silently take its last value, past a mistake in an earlier one.
    bool RefuseRepeats()
    {
        for (const QCommandLineOption* option : known_.All())
        {
            if (parser_.optionNames().count(Name(*option)) > 1)
            {
                return Refuse(QStringLiteral("--%1 may be given once only").arg(Name(*option)));
            }
        }
        return true;
    }

private:
    const QCommandLineParser& parser_;
    const Options& known_;
    QString refusal_;
};

std::optional<JobRequest> ReadRender(OptionReader& options, const QString& scene)
{
    const Options& known = options.Known();
    if (!options.RefuseOthers(Name(known.Render), {&known.Render, &known.Output, &known.Size,
                                                   &known.Depth, &known.Samples}))
    {
        return std::nullopt;
    }
    if (scene.isEmpty() || !options.IsSet(known.Output))
    {
        options.Refuse(
            QStringLiteral("--render needs a scene and an output file: ramifex --render SCENE "
                           "--output OUT.png"));
        return std::nullopt;
    }
    RenderRequest request{scene, options.Value(known.Output), {}};
    if (SameFile(request.Scene, request.Output))
    {
        options.Refuse(QStringLiteral("--output \"%1\" is the scene itself").arg(request.Output));
    }
    options.Check(PictureOutputProblem(request.Output));
    request.Settings = options.Render();
    return request;
}

std::optional<JobRequest> ReadAnimate(OptionReader& options)
{
    const Options& known = options.Known();
    const bool turntable = options.IsSet(known.Turntable);
    const QCommandLineOption& job = turntable ? known.Turntable : known.Animate;
    QList<const QCommandLineOption*> taken{&job,         &known.Output,  &known.Size,  &known.Fps,
                                           &known.Depth, &known.Samples, &known.Frames};
    if (turntable)
    {
        taken.append(&known.Seconds);
    }
    if (!options.RefuseOthers(Name(job), taken))
    {
        return std::nullopt;
    }
    if (!options.IsSet(known.Output) || (turntable && !options.IsSet(known.Seconds)))
    {
        options.Refuse(turntable
                           ? QStringLiteral("--turntable needs --seconds and --output: "
                                            "ramifex --turntable SCENE --seconds S --output "
                                            "OUT.mp4")
                           : QStringLiteral("--animate needs --output: ramifex --animate ANIM "
                                            "--output OUT.mp4"));
        return std::nullopt;
    }
    AnimateRequest request;
    request.Source = options.Value(job);
    request.Output = options.Value(known.Output);
    request.Format = options.VideoOutput();
    if (turntable)
    {
        request.TurntableSeconds = options.Seconds();
    }
    request.Settings = options.Render();
    request.Fps = options.Fps();
    if (options.IsSet(known.Frames))
    {
        request.Frames = options.Frames();
    }
    return request;
}

std::optional<JobRequest> ReadEncode(OptionReader& options)
{
    const Options& known = options.Known();
    if (!options.RefuseOthers(Name(known.Encode),
                              {&known.Encode, &known.Output, &known.Fps, &known.Frames}))
    {
        return std::nullopt;
    }
    if (!options.IsSet(known.Output))
    {
        options.Refuse(
            QStringLiteral("--encode needs --output: ramifex --encode 'DIR/%05d.png' --fps N "
                           "--output OUT.mp4"));
        return std::nullopt;
    }
    EncodeRequest request;
    request.Pictures = options.Value(known.Encode);
    request.Output = options.Value(known.Output);
    QString error;
    if (VideoFormatOf(request.Pictures, &error) != VideoFormat::PngSequence)
    {
        options.Refuse(
            QStringLiteral("--encode takes numbered pictures such as frames/%05d.png, not \"%1\"")
                .arg(request.Pictures));
    }
    if (VideoFormatOf(request.Output, &error) == VideoFormat::PngSequence)
    {
        options.Refuse(QStringLiteral("--encode writes a video (.mp4, .webm), not \"%1\"")
                           .arg(request.Output));
    }
    request.Format = options.VideoOutput();
    request.Fps = options.Fps();
    if (options.IsSet(known.Frames))
    {
        request.Frames = options.Frames();
    }
    return request;
}

std::optional<JobRequest> ReadGeometry(OptionReader& options, const QString& scene)
{
    const Options& known = options.Known();
    if (!options.RefuseOthers(Name(known.ExportGeometry),
                              {&known.ExportGeometry, &known.View, &known.Whole, &known.Camera,
                               &known.Points, &known.StlSize, &known.Smallest}))
    {
        return std::nullopt;
    }
    GeometryRequest request;
    request.Scene = scene;
    request.Output = options.Value(known.ExportGeometry);
    if (scene.isEmpty())
    {
        options.Refuse(
            QStringLiteral("--export-geometry needs a scene: ramifex --export-geometry OUT.glb "
                           "SCENE"));
        return std::nullopt;
    }
    if (SameFile(request.Scene, request.Output))
    {
        options.Refuse(
            QStringLiteral("--export-geometry \"%1\" is the scene itself").arg(request.Output));
    }
    if (!options.Check(GeometryOutputProblem(request.Output)))
    {
        return std::nullopt;  // perhaps of no format
    }
    const bool points = options.IsSet(known.Points);
    request.Options.Format = *FormatForPath(request.Output, points);
    if (points && request.Options.Format != GeometryFormat::PlyPoints)
    {
        options.Refuse(QStringLiteral("--points goes with a .ply file"));
    }
    if (options.IsSet(known.Camera) && request.Options.Format != GeometryFormat::Gltf)
    {
        options.Refuse(QStringLiteral("--camera goes with a .glb file"));
    }
    if ((options.IsSet(known.StlSize) || options.IsSet(known.Smallest)) &&
        request.Options.Format != GeometryFormat::Stl)
    {
        options.Refuse(
            QStringLiteral("--%1 goes with an .stl file")
                .arg(Name(options.IsSet(known.StlSize) ? known.StlSize : known.Smallest)));
    }
    if (options.IsSet(known.StlSize))
    {
        request.Options.StlRootMillimetres = options.Millimetres(known.StlSize, 0.1, 10000.0);
    }
    if (options.IsSet(known.Smallest))
    {
        request.Options.SmallestMillimetres = options.Millimetres(known.Smallest, 0.0, 10000.0);
    }
    if (options.IsSet(known.View) && options.IsSet(known.Whole))
    {
        options.Refuse(QStringLiteral("--view and --whole exclude each other"));
    }
    if (options.IsSet(known.View))
    {
        request.Settings.Size = options.SizeOf(known.View);
    }
    if (options.IsSet(known.Whole))
    {
        request.Settings.WholeDepth = options.WholeNumber(known.Whole, 1, MaxWholeDepth);
    }
    request.Settings.Camera = options.IsSet(known.Camera);
    return request;
}

// The job the options name, if any.
std::optional<JobRequest> ReadJob(OptionReader& options, const QString& scene)
{
    const Options& known = options.Known();
    if (options.IsSet(known.Render))
    {
        return ReadRender(options, scene);
    }
    if (options.IsSet(known.ExportGeometry))
    {
        return ReadGeometry(options, scene);
    }
    if (!scene.isEmpty() && !options.Parser().optionNames().isEmpty())
    {
        options.Refuse(
            QStringLiteral("a scene to start with goes with no option but --render or "
                           "--export-geometry"));
        return std::nullopt;
    }
    if (options.IsSet(known.Animate) || options.IsSet(known.Turntable))
    {
        return ReadAnimate(options);
    }
    if (options.IsSet(known.Encode))
    {
        return ReadEncode(options);
    }
    options.RefuseOthers({}, {});
    return std::nullopt;
}

// One scene at most, and one job at most.
bool CheckScenesAndJobs(OptionReader& options)
{
    const Options& known = options.Known();
    const qsizetype scenes = options.Parser().positionalArguments().size();
    if (scenes > 1)
    {
        return options.Refuse(QStringLiteral("one scene at most, not %1").arg(scenes));
    }
    const QList<const QCommandLineOption*> jobs{&known.Render, &known.Animate, &known.Turntable,
                                                &known.Encode, &known.ExportGeometry};
    if (std::count_if(jobs.begin(), jobs.end(), [&](auto* job) { return options.IsSet(*job); }) > 1)
    {
        return options.Refuse(
            QStringLiteral("one of --render, --animate, --turntable, --encode and "
                           "--export-geometry at a time"));
    }
    return true;
}

CommandLine Read(OptionReader& options)
{
    CommandLine command;
    if (options.RefuseRepeats() && CheckScenesAndJobs(options))
    {
        command.Scene = options.Parser().positionalArguments().value(0);
        command.Job = ReadJob(options, command.Scene);
        command.Quiet = options.IsSet(options.Known().Quiet);
        if (command.Quiet && !command.Job && !options.Refused())
        {
            options.Refuse(
                QStringLiteral("--quiet goes with --render, --animate, --turntable, "
                               "--encode or --export-geometry"));
        }
    }
    if (options.Refused())
    {
        return Refusal(options.Refusal());
    }
    return command;
}

}  // namespace

QString QuotedControls(const QString& text)
{
    QString quoted;
    for (const char32_t character : text.toUcs4())
    {
        switch (QChar::category(character))
        {
            case QChar::Other_Control:
            case QChar::Other_Format:
            case QChar::Separator_Line:
            case QChar::Separator_Paragraph:
                quoted += character < 0x100
                              ? QStringLiteral("\\x%1").arg(character, 2, 16, QLatin1Char('0'))
                              : QStringLiteral("\\u%1").arg(character, 4, 16, QLatin1Char('0'));
                break;
            default:
                quoted += QString::fromUcs4(&character, 1);
        }
    }
    return quoted;
}

int ReportFailure(const QString& why)
{
    std::fprintf(stderr, "ramifex: %s\n", qPrintable(QuotedControls(why)));
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
    const QCommandLineOption version = parser.addVersionOption();
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
    parser.addOption(options.Quiet);
    if (!parser.parse(QCoreApplication::arguments()))
    {
        return Refusal(parser.errorText());
    }
    if (parser.isSet(help))
    {
        return Showing(parser.helpText());
    }
    if (parser.isSet(version))
    {
        return Showing(QStringLiteral("ramifex %1\n").arg(QCoreApplication::applicationVersion()));
    }
    OptionReader reader(parser, options);
    return Read(reader);
}

}  // namespace ramifex
