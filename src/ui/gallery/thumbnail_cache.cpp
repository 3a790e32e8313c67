#include "ui/gallery/thumbnail_cache.h"

#include <QDir>
#include <QStandardPaths>

namespace ramifex
{
namespace
{

void RemoveOtherVersions(const QDir& thumbnails, const QString& version)
{
    for (const QString& other : thumbnails.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
    {
        if (other != version)
        {
            QDir(thumbnails.filePath(other)).removeRecursively();
        }
    }
}

}  // namespace

ThumbnailCache::ThumbnailCache(const QString& version)
{
    const QDir thumbnails(QStandardPaths::writableLocation(QStandardPaths::CacheLocation) +
                          QStringLiteral("/thumbnails"));
    RemoveOtherVersions(thumbnails, version);
    folder_ = thumbnails.filePath(version);
}

QImage ThumbnailCache::Find(const QString& name) const
{
    return QImage(FileOf(name), "PNG");
}

void ThumbnailCache::Keep(const QString& name, const QImage& picture) const
{
    if (QDir().mkpath(folder_))
    {
        picture.save(FileOf(name), "PNG");
    }
}

QString ThumbnailCache::FileOf(const QString& name) const
{
    return QDir(folder_).filePath(name + QStringLiteral(".png"));
}

}  // namespace ramifex
