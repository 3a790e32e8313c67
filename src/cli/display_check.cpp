#include "cli/display_check.h"

#include <QGuiApplication>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace ramifex
{
namespace
{

QString heldMessages;
QString firstWarning;

void GuardMessages(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtFatalMsg)
    {
        const QString reason = firstWarning.isEmpty() ? message.section('\n', 0, 0) : firstWarning;
        std::fprintf(stderr, "%s (%s)\n", NoDisplayMessage, qPrintable(reason));
        std::_Exit(EXIT_FAILURE);
    }
    if (firstWarning.isEmpty() && type != QtDebugMsg && type != QtInfoMsg)
    {
        firstWarning = message;
    }
    heldMessages += qFormatLogMessage(type, context, message) + '\n';
}

// Whether one platform plugin, as QT_QPA_PLATFORM names it ("xcb", "wayland-egl", "offscreen:..."),
// finds the display it needs.
bool HasDisplayFor(const QString& entry)
{
    const QString name = entry.section(':', 0, 0);
    if (name == "xcb")
    {
        return !qEnvironmentVariableIsEmpty("DISPLAY");
    }
    if (name.startsWith("wayland"))
    {
        return !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    }
    return true;
}

}  // namespace

bool DisplayConfigured()
{
    const QString platform = qEnvironmentVariable("QT_QPA_PLATFORM");
    const QStringList candidates =
        platform.isEmpty() ? QStringList{"xcb", "wayland"} : platform.split(';');
    return std::any_of(candidates.begin(), candidates.end(), HasDisplayFor);
}

bool PlatformShowsWindows()
{
    const QString platform = QGuiApplication::platformName();
    return platform != "offscreen" && platform != "minimal";
}

void BeginDisplayGuard()
{
    qInstallMessageHandler(GuardMessages);
}

void EndDisplayGuard()
{
    qInstallMessageHandler(nullptr);
    std::fputs(qPrintable(heldMessages), stderr);
    heldMessages.clear();
}

}  // namespace ramifex
