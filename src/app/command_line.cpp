#include "app/command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QRegularExpression>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "scene/scene_state.h"
#include "scenefile/scene_file.h"

namespace ramifex
{
namespace
{

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

int32_t DepthFrom(const QString& text, const char* option = "--depth", int32_t deepest = MaxDepth)
{
    bool number = false;
    const int depth = text.toInt(&number);
    if (!number || depth < 1 || depth > deepest)
    {
        Refuse(QStringLiteral("%1 takes a whole number from 1 to %2, not \"%3\"")
                   .arg(QLatin1String(option))
                   .arg(deepest)
                   .arg(text));
    }
    return depth;
}

// The options of --export-geometry.
struct GeometryOptionSet
{
    QCommandLineOption Export{QStringLiteral("export-geometry"),
                              QStringLiteral("Write the spheres of SCENE as a .glb, .ply, .stl or "
                                             ".obj file without any window, then end."),
                              QStringLiteral("OUT")};
    QCommandLineOption View{QStringLiteral("view"),
                            QStringLiteral("The picture at which --export-geometry judges what the "
                                           "view shows, and tessellates each sphere for "
                                           "(default 640x480)."),
                            QStringLiteral("WxH")};
    QCommandLineOption Whole{QStringLiteral("whole"),
                             QStringLiteral("--export-geometry writes every sphere of the tree to "
                                            "depth N, 1 to 24, not what the view shows."),
                             QStringLiteral("N")};
    QCommandLineOption Camera{QStringLiteral("camera"),
                              QStringLiteral("--export-geometry also writes the view's camera "
                                             "(.glb only).")};
    QCommandLineOption Points{QStringLiteral("points"),
                              QStringLiteral("--export-geometry writes a .ply of points: x y z "
                                             "radius red green blue.")};

    QList<QCommandLineOption> All() const { return {Export, View, Whole, Camera, Points}; }
};

// Refuses every mistake before the walk, which may take long.
GeometryRequest ReadGeometryRequest(const QCommandLineParser& parser,
                                    const GeometryOptionSet& options, const QString& scene)
{
    GeometryRequest request;
    request.Scene = scene;
    request.Output = parser.value(options.Export);
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
    request.Format = *FormatForPath(request.Output, parser.isSet(options.Points));
    if (parser.isSet(options.Points) && request.Format != GeometryFormat::PlyPoints)
    {
        Refuse(QStringLiteral("--points goes with a .ply file"));
    }
    if (parser.isSet(options.Camera) && request.Format != GeometryFormat::Gltf)
    {
        Refuse(QStringLiteral("--camera goes with a .glb file"));
    }
    if (parser.isSet(options.View) && parser.isSet(options.Whole))
    {
        Refuse(QStringLiteral("--view and --whole exclude each other"));
    }
    if (parser.isSet(options.View))
    {
        request.Settings.Size = SizeFrom(parser.value(options.View), "--view");
    }
    if (parser.isSet(options.Whole))
    {
        request.Settings.WholeDepth =
            DepthFrom(parser.value(options.Whole), "--whole", MaxWholeDepth);
    }
    request.Settings.Camera = parser.isSet(options.Camera);
    return request;
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
    const QCommandLineOption render(
        QStringLiteral("render"),
        QStringLiteral("Draw the complete picture of SCENE into the --output file without any "
                       "window, then end."));
    const QCommandLineOption output(QStringLiteral("output"),
                                    QStringLiteral("The PNG file that --render writes."),
                                    QStringLiteral("OUT.png"));
    const QCommandLineOption size(
        QStringLiteral("size"),
        QStringLiteral("The size of the picture that --render draws (default 640x480)."),
        QStringLiteral("WxH"));
    const QCommandLineOption depth(
        QStringLiteral("depth"),
        QStringLiteral("The depth of the tree that --render draws, 1 to 30 (default: the "
                       "scene's)."),
        QStringLiteral("N"));
    parser.addOptions({render, output, size, depth});
    const GeometryOptionSet geometry;
    parser.addOptions(geometry.All());
    parser.process(application);
    if (parser.isSet(help))
    {
        parser.showHelp();
    }
    RefuseRepeats(parser, QList<QCommandLineOption>{render, output, size, depth} + geometry.All());

    const QStringList scenes = parser.positionalArguments();
    if (scenes.size() > 1)
    {
        Refuse(QStringLiteral("one scene at most, not %1").arg(scenes.size()));
    }
    CommandLine command{scenes.value(0), std::nullopt, std::nullopt};
    if (parser.isSet(geometry.Export))
    {
        if (parser.isSet(render))
        {
            Refuse(QStringLiteral("--render and --export-geometry are separate runs"));
        }
        command.Geometry = ReadGeometryRequest(parser, geometry, command.Scene);
    }
    else if (parser.isSet(geometry.View) || parser.isSet(geometry.Whole) ||
             parser.isSet(geometry.Camera) || parser.isSet(geometry.Points))
    {
        Refuse(QStringLiteral("--view, --whole, --camera and --points go with --export-geometry"));
    }
    if (!parser.isSet(render))
    {
        if (parser.isSet(output) || parser.isSet(size) || parser.isSet(depth))
        {
            Refuse(QStringLiteral("--output, --size and --depth go with --render"));
        }
        return command;
    }
    if (command.Scene.isEmpty() || !parser.isSet(output))
    {
        Refuse(
            QStringLiteral("--render needs a scene and an output file: ramifex --render SCENE "
                           "--output OUT.png"));
    }
    RenderRequest& request = command.Render.emplace();
    request.Scene = command.Scene;
    request.Output = parser.value(output);
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
    if (parser.isSet(size))
    {
        request.Size = SizeFrom(parser.value(size));
    }
    if (parser.isSet(depth))
    {
        request.Depth = DepthFrom(parser.value(depth));
    }
    return command;
}

}  // namespace ramifex
