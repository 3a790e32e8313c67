#include "app/session_keeper.h"

#include <QAction>
#include <QFileInfo>

#include "io/recovery/last_session.h"
#include "ui/text/plain_text.h"

namespace ramifex
{

SessionKeeper::SessionKeeper(SceneEditor& editor, QUndoStack& history, SceneFiles& files,
                             QWidget& panel, QString path, bool keeps, int keepMs)
    : editor_(editor), files_(files), panel_(panel), path_(std::move(path)), keeps_(keeps)
{
    // The start-up scene is no user action, and neither is the walk's normalising of axes.
    connect(&history, &QUndoStack::indexChanged, this, [this] { changed_ = true; });
    connect(&timer_, &QTimer::timeout, this, &SessionKeeper::KeepIfChanged);
    if (keeps_)
    {
        timer_.start(keepMs);
    }
}

// A failed keep leaves the kept file as it was and is tried again at the next keep.
void SessionKeeper::KeepIfChanged()
{
    QString error;
    if (keeps_ && changed_ &&
        KeepLastSession(path_, {editor_.Scene(), files_.FilePath(), files_.Modified()}, &error))
    {
        changed_ = false;
    }
}

QString SessionKeeper::KeptChangesNotice(const QAction& restore) const
{
    QString error;
    const std::optional<LastSession> session =
        keeps_ ? ReadLastSession(path_, &error) : std::nullopt;
    if (!session || !session->Unsaved)
    {
        return {};
    }
    return QStringLiteral("The last session's unsaved changes were kept: File > %1 (%2)")
        .arg(restore.text().remove(u'&'), restore.shortcut().toString(QKeySequence::NativeText));
}

void SessionKeeper::Restore()
{
    QString error;
    const std::optional<LastSession> session = ReadLastSession(path_, &error);
    if (!session)
    {
        // A kept file that cannot be read says why, rather than that there is none.
        const bool kept = QFileInfo::exists(path_);
        ShowPlainMessage(panel_, kept ? QMessageBox::Warning : QMessageBox::Information,
                         QStringLiteral("Restore Last Session"),
                         kept ? error : QStringLiteral("There is no last session to restore."));
        return;
    }
    files_.OpenFromElsewhere(session->Scene, LastSessionText(*session), session->File,
                             !session->Unsaved);
}

}  // namespace ramifex
