#include "ui/gallery/thumbnail_cache.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <algorithm>
#include <filesystem>

#include "ui/gallery/thumbnail_drawer.h"

namespace ramifex
{
namespace
{

// The program makes its cache folders itself: one that is a link was put there by someone else and
// may lead anywhere, so the cache then neither reads, writes nor removes anything.
bool NoneIsALink(const QStringList& folders)
{
    return std::none_of(folders.begin(), folders.end(),
                        [](const QString& folder) { return QFileInfo(folder).isSymLink(); });
}

// Another version's folder goes with what is in it; a link among them is removed itself, never
// what it leads to.
void RemoveOtherVersions(const QDir& thumbnails, const QString& version)
{
    for (const QString& other : thumbnails.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
    {
        if (other != version)
        {
            std::error_code ignored;
            std::filesystem::remove_all(QFile::encodeName(thumbnails.filePath(other)).constData(),
                                        ignored);
        }
    }
}

// Opens a kept picture when it is a regular file and no link: a pipe or a device is refused
// unopened, and should one take the file's place meanwhile, opening it does not wait.
bool OpenKept(const QString& path, QFile& file)
{
    const QFileInfo entry(path);
    if (entry.isSymLink() || !entry.isFile())
    {
        return false;
    }
    const int descriptor =
        open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (descriptor < 0)
    {
        return false;
    }
    struct stat status = {};
    if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode) ||
        !file.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
    {
        close(descriptor);
        return false;
    }
    return true;
}

}  // namespace

ThumbnailCache::ThumbnailCache(const QString& version)
{
    const QString programCache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    const QDir thumbnails(programCache + QStringLiteral("/thumbnails"));
    folder_ = thumbnails.filePath(version);
    usable_ = NoneIsALink({programCache, thumbnails.path(), folder_});
    if (usable_)
    {
        RemoveOtherVersions(thumbnails, version);
    }
}

// Only a picture of the size thumbnails are drawn at is read, judged by its header: a large one
// would take the memory of its whole size.
QImage ThumbnailCache::Find(const QString& name) const
{
    QFile file;
    if (!usable_ || !OpenKept(FileOf(name), file))
    {
        return {};
    }
    QImageReader reader(&file, "PNG");
    return reader.size() == ThumbnailSize ? reader.read() : QImage();
}

// Written beside and renamed over the kept file, which replaces a link or a pipe there rather than
// writing where it leads.
void ThumbnailCache::Keep(const QString& name, const QImage& picture) const
{
    if (!usable_ || !QDir().mkpath(folder_))
    {
        return;
    }
    QTemporaryFile written(QDir(folder_).filePath(QStringLiteral("kept-XXXXXX.part")));
    if (!written.open() || !picture.save(&written, "PNG") || !written.flush())
    {
        return;
    }
    std::error_code failed;
    std::filesystem::rename(QFile::encodeName(written.fileName()).constData(),
                            QFile::encodeName(FileOf(name)).constData(), failed);
    written.setAutoRemove(static_cast<bool>(failed));
}

QString ThumbnailCache::FileOf(const QString& name) const
{
    return QDir(folder_).filePath(name + QStringLiteral(".png"));
}

}  // namespace ramifex
