#pragma once

#include <QAbstractListModel>
#include <QHash>
#include <QIcon>

#include "core/animation/animation.h"

namespace ramifex
{

// The keyframes of an animation as the Animation window lists them: a line each saying when the
// next keyframe comes and how, with a small picture of its scene once one is drawn and a blank one
// of the same size until then, so that every row has the same height. The pictures are the
// window's to draw and forget, so that a long animation holds only those in view.
class KeyframeList final : public QAbstractListModel
{
public:
    // The animation outlives the list.
    explicit KeyframeList(const Animation& animation, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    // The animation changed as a whole: every row anew, without pictures.
    void Reset();
    // The keyframe of this row changed its time or easing.
    void TimingChanged(int row);
    void SetPicture(int row, const QIcon& picture);
    bool HasPicture(int row) const { return pictures_.contains(row); }
    // Forgets the pictures of the rows outside first to last.
    void KeepPictures(int first, int last);

private:
    const Animation& animation_;
    QHash<int, QIcon> pictures_;
    QIcon blank_;
};

}  // namespace ramifex
