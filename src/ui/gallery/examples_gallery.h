#pragma once

#include <QListWidget>
#include <QWidget>
#include <functional>
#include <vector>

#include "io/examples/examples.h"
#include "ui/gallery/thumbnail_cache.h"
#include "ui/gallery/thumbnail_drawer.h"

namespace ramifex
{

// A window that shows every example with its name and thumbnail; clicking one opens it. The
// thumbnails come from the cache, or are drawn one by one and kept there.
class ExamplesGallery final : public QWidget
{
    Q_OBJECT

public:
    using Opener = std::function<void(const Example&)>;

    ExamplesGallery(Opener open, const QString& version, QWidget* parent = nullptr);

    QListWidget& List() { return list_; }
    const std::vector<Example>& Shown() const { return examples_; }
    // Whether thumbnails that were not kept are still being drawn.
    bool Drawing() const { return drawer_.Drawing(); }

private:
    void FillList();
    void ShowAllColumns();
    void ShowThumbnail(size_t index, const QImage& picture);

    Opener open_;
    std::vector<Example> examples_;
    ThumbnailCache cache_;
    ThumbnailDrawer drawer_;
    QListWidget list_;
    std::vector<size_t> drawing_;  // the examples the drawer draws, in its order
};

}  // namespace ramifex
