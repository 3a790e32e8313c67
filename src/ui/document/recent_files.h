#pragma once

#include <QMenu>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

#include "ui/commands/command_registry.h"

class QWidget;

namespace ramifex
{

// File > Open Recent: the last eight files opened or saved, newest first, remembered between runs
// in the program's settings; Clear Menu empties it. A file that has gone is taken off the list,
// with a message, when it is chosen.
class RecentFiles final : public QObject
{
public:
    static constexpr int Count = 8;

    // open: what choosing a file does. The commands and the owner of messages outlive this.
    RecentFiles(CommandRegistry& commands, QWidget& owner,
                std::function<void(const QString&)> open);
    ~RecentFiles() override;

    // A file just opened or saved goes to the top.
    void Add(const QString& path);
    QStringList Paths() const;

private:
    void Store(const QStringList& paths);
    void Rebuild();
    void Choose(const QString& path);

    CommandRegistry& commands_;
    QWidget& owner_;
    std::function<void(const QString&)> open_;
    QMenu menu_;
};

}  // namespace ramifex
