#include "ui/gallery/examples_gallery.h"

#include <QPixmap>
#include <QVBoxLayout>
#include <algorithm>

namespace ramifex
{
namespace
{

// Deep enough to show each example's shape; every thumbnail takes well under a second.
constexpr int32_t ThumbnailDepth = 14;
constexpr int Columns = 4;
constexpr int MostRows = 4;
constexpr int Spacing = 6;
constexpr int Margins = 40;  // the window's, the list's frame and its scroll bar

}  // namespace

ExamplesGallery::ExamplesGallery(Opener open, const QString& version, QWidget* parent)
    : QWidget(parent, Qt::Window),
      open_(std::move(open)),
      examples_(Examples()),
      cache_(version),
      drawer_(ThumbnailDepth)
{
    setWindowTitle(QStringLiteral("Examples"));
    list_.setViewMode(QListView::IconMode);
    list_.setIconSize(ThumbnailSize);
    list_.setMovement(QListView::Static);
    list_.setResizeMode(QListView::Adjust);
    list_.setUniformItemSizes(true);
    list_.setSpacing(Spacing);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(&list_);
    connect(&list_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { open_(examples_[list_.row(item)]); });
    connect(&drawer_, &ThumbnailDrawer::Drawn, this,
            [this](size_t index, const QImage& picture)
            {
                const size_t example = drawing_[index];
                cache_.Keep(examples_[example].Name, picture);
                ShowThumbnail(example, picture);
            });
    FillList();
    ShowAllColumns();
}

// Four examples a row, and as many rows as fit on most screens.
void ExamplesGallery::ShowAllColumns()
{
    if (list_.count() == 0)
    {
        return;
    }
    const QSize cell =
        list_.sizeHintForIndex(list_.model()->index(0, 0)) + QSize(2 * Spacing, 2 * Spacing);
    const int rows = std::min(MostRows, (list_.count() + Columns - 1) / Columns);
    resize(Columns * cell.width() + Margins, rows * cell.height() + Margins);
}

// Kept thumbnails show at once; the others are drawn in the list's order.
void ExamplesGallery::FillList()
{
    std::vector<SceneState> toDraw;
    for (size_t index = 0; index < examples_.size(); ++index)
    {
        list_.addItem(new QListWidgetItem(BlankThumbnail(), examples_[index].Name));
        const QImage kept = cache_.Find(examples_[index].Name);
        if (kept.isNull())
        {
            drawing_.push_back(index);
            toDraw.push_back(examples_[index].Scene);
        }
        else
        {
            ShowThumbnail(index, kept);
        }
    }
    if (!toDraw.empty())
    {
        drawer_.Draw(std::move(toDraw));
    }
}

void ExamplesGallery::ShowThumbnail(size_t index, const QImage& picture)
{
    list_.item(static_cast<int>(index))->setIcon(QIcon(QPixmap::fromImage(picture)));
}

}  // namespace ramifex
