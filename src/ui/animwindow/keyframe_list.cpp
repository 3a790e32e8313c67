#include "ui/animwindow/keyframe_list.h"

#include "ui/gallery/thumbnail_drawer.h"

namespace ramifex
{
namespace
{

QString KeyframeText(int row, const Keyframe& keyframe)
{
    return QStringLiteral("Keyframe %1: %2 s, %3")
        .arg(row + 1)
        .arg(keyframe.Seconds)
        .arg(keyframe.Ease == Easing::Linear ? QStringLiteral("linear")
                                             : QStringLiteral("ease in and out"));
}

}  // namespace

KeyframeList::KeyframeList(const Animation& animation, QObject* parent)
    : QAbstractListModel(parent), animation_(animation), blank_(BlankThumbnail())
{
}

int KeyframeList::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(animation_.Keyframes.size());
}

QVariant KeyframeList::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
    {
        return {};
    }
    if (role == Qt::DisplayRole)
    {
        return KeyframeText(index.row(), animation_.Keyframes[static_cast<size_t>(index.row())]);
    }
    if (role != Qt::DecorationRole)
    {
        return {};
    }
    const auto picture = pictures_.constFind(index.row());
    return picture != pictures_.cend() ? *picture : blank_;
}

void KeyframeList::Reset()
{
    beginResetModel();
    pictures_.clear();
    endResetModel();
}

void KeyframeList::TimingChanged(int row)
{
    emit dataChanged(index(row), index(row), {Qt::DisplayRole});
}

void KeyframeList::SetPicture(int row, const QIcon& picture)
{
    pictures_.insert(row, picture);
    emit dataChanged(index(row), index(row), {Qt::DecorationRole});
}

void KeyframeList::KeepPictures(int first, int last)
{
    pictures_.removeIf([first, last](const auto& entry)
                       { return entry.key() < first || entry.key() > last; });
}

}  // namespace ramifex
