#pragma once

#include <QImage>
#include <QString>

namespace ramifex
{

// Thumbnails kept as PNG files in a folder of the user's cache folder that belongs to one version
// of the program: another version draws its own, since its pictures may differ, and removes the
// folders of the others. It reads, writes and removes only what it made: plain folders and PNG
// files of the thumbnails' size, never through a link.
class ThumbnailCache
{
public:
    // For the program of this version, which names a folder.
    explicit ThumbnailCache(const QString& version);

    // The kept picture of this name, or a null image.
    QImage Find(const QString& name) const;
    // Keeps the picture; a cache that cannot be written only means drawing it again next time.
    void Keep(const QString& name, const QImage& picture) const;

    const QString& Folder() const { return folder_; }

private:
    QString FileOf(const QString& name) const;

    QString folder_;
    bool usable_ = false;  // no folder of the cache is a link
};

}  // namespace ramifex
