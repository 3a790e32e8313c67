#include "ui/document/recent_files.h"

#include <QFileInfo>
#include <QSettings>

#include "ui/commands/program_settings.h"
#include "ui/text/plain_text.h"

namespace ramifex
{
namespace
{

constexpr char RecentKey[] = "files/recent";

}  // namespace

RecentFiles::RecentFiles(CommandRegistry& commands, QWidget& owner,
                         std::function<void(const QString&)> open)
    : commands_(commands), owner_(owner), open_(std::move(open))
{
    commands_.Action(Command::OpenRecent).setMenu(&menu_);
    commands_.Bind(Command::OpenRecent, *this, [] {});
    Rebuild();
}

// The command outlives this, and must not keep the menu.
RecentFiles::~RecentFiles()
{
    commands_.Action(Command::OpenRecent).setMenu(static_cast<QMenu*>(nullptr));
}

// However long the list in the settings, only the menu's share of it is taken.
QStringList RecentFiles::Paths() const
{
    const QVariant kept = QSettings(ProgramSettingsPath(), QSettings::IniFormat).value(RecentKey);
    return kept.toStringList().mid(0, Count);
}

void RecentFiles::Add(const QString& path)
{
    const QString file = QFileInfo(path).absoluteFilePath();
    QStringList paths = Paths();
    paths.removeAll(file);
    paths.prepend(file);
    Store(paths.mid(0, Count));
}

void RecentFiles::Store(const QStringList& paths)
{
    QSettings(ProgramSettingsPath(), QSettings::IniFormat).setValue(RecentKey, paths);
    Rebuild();
}

void RecentFiles::Rebuild()
{
    menu_.clear();
    const QStringList paths = Paths();
    for (int i = 0; i < paths.size(); ++i)
    {
        // Numbered for the keyboard, named by the file, with the whole path as a tip.
        QAction* entry = menu_.addAction(
            QStringLiteral("&%1 %2").arg(i + 1).arg(PlainMenuText(QFileInfo(paths[i]).fileName())));
        entry->setToolTip(PlainToolTip(paths[i]));
        connect(entry, &QAction::triggered, this, [this, path = paths[i]] { Choose(path); });
    }
    menu_.setToolTipsVisible(true);
    menu_.addSeparator();
    menu_.addAction(QStringLiteral("Clear Menu"), this, [this] { Store({}); });
    commands_.Action(Command::OpenRecent).setEnabled(!paths.isEmpty());
}

void RecentFiles::Choose(const QString& path)
{
    if (QFileInfo(path).isFile())
    {
        open_(path);
        return;
    }
    QStringList paths = Paths();
    paths.removeAll(path);
    Store(paths);
    ShowPlainMessage(owner_, QMessageBox::Warning, QStringLiteral("Open Recent"),
                     QStringLiteral("Cannot open \"%1\": it is no longer there; it has been taken "
                                    "off the list.")
                         .arg(QFileInfo(path).fileName()));
}

}  // namespace ramifex
